// A Qt program that does nothing but run the timers Kelvarin runs while it idles (four of
// 20 ms and seven of 50 ms, all started together) with one window where Kelvarin has its
// main window: the floor that tools/measure_desktop.py compares the program's idle CPU
// and wake-ups with. It is no part of the program.
//
//     g++ -O2 -fPIC tools/bare_timers.cpp $(pkg-config --cflags --libs Qt6Widgets) -o bare_timers
//     bare_timers X Y WIDTH HEIGHT
//
// It takes the environment Kelvarin gives itself (xcb, no scaling, Qt's own event loop).
#include <QApplication>
#include <QStyleFactory>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  qputenv("QT_SCALE_FACTOR", "1");
  qputenv("QT_FONT_DPI", "96");
  qputenv("QT_NO_GLIB", "1");
  QApplication app(argc, argv);
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion")))
    QApplication::setStyle(style);

  QWidget window;
  window.setWindowTitle(QStringLiteral("bare timers"));
  window.setMouseTracking(true);
  if (argc == 5)
    window.setGeometry(std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3]),
                       std::atoi(argv[4]));
  window.show();

  std::vector<std::unique_ptr<QTimer>> timers;
  for (int interval : {20, 20, 20, 20, 50, 50, 50, 50, 50, 50, 50}) {
    auto t = std::make_unique<QTimer>();
    QObject::connect(t.get(), &QTimer::timeout, [] {});
    t->start(interval);
    timers.push_back(std::move(t));
  }
  return app.exec();
}
