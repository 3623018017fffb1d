// The widgets that draw the forms model, on a real X server without a window manager.
#include "platform/qt/views.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "platform/qt/fonts.h"
#include "platform/qt/qt_desktop.h"

namespace kel::qt {
namespace {

struct TestGate : ModelGate {
  void enterModel() override { ++d; }
  void leaveModel() override {
    --d;
    if (views) views->syncAll();
  }
  int depth() const override { return d; }
  ViewSync* views = nullptr;
  int d = 0;
};

Label symbolTemplate() {
  Label l("Label3");
  l.Caption = "x";
  l.Font = Font{"Arial", 8.25, false, 204};
  l.BackColor = kWhite;
  l.Width = 150;
  l.Height = 210;
  l.Visible = false;
  return l;
}

struct TestForm : Form {
  TestForm() : Form("F"), Symbols(symbolTemplate(), 10000) {
    Caption = "Views";
    Left = 1500;
    Top = 1500;
    Width = 6000 + 120;
    Height = 4500 + 565;
    BackColor = kBlack;
    Page.Left = 1500;
    Page.Top = 750;
    Page.Width = 3000;
    Page.Height = 3000;
    Page.BackColor = kWhite;
    Symbols[0].Container = &Page;
    Caret.Container = &Page;
    Caret.Width = 60;
    Caret.Height = 375;
    Caret.BackColor = kRed;
    Hidden.Visible = false;
    Tick.Left = 150;
    Tick.Top = 3900;
    Tick.Width = 1500;
    Tick.Height = 300;
    Tick.Caption = "Tick";
    Guide.Container = &Page;
    Guide.X1 = 150;
    Guide.Y1 = 300;
    Guide.X2 = 1650;
    Guide.Y2 = 300;
    add(Page);
    add(Symbols);
    add(Caret);
    add(Guide);
    add(Hidden);
    add(Tick);
  }
  Frame Page{"Page"};
  ControlArray<Label> Symbols;
  PictureBox Caret{"Caret"};
  Line Guide{"Guide"};
  ListBox Hidden{"Hidden"};
  CheckBox Tick{"Tick"};
};

QWidget* widgetOf(Control& c) {
  auto* v = static_cast<ControlView*>(c.view.view.get());
  return v ? v->widget.data() : nullptr;
}

QWidget* widgetOf(Form& f) {
  auto* v = static_cast<FormView*>(f.view.view.get());
  return v ? v->widget.data() : nullptr;
}

class ViewsTest : public ::testing::Test {
 protected:
  ViewsTest() : views(gate) { gate.views = &views; }
  ~ViewsTest() override {
    views.dropForm(f);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void show() {
    views.formView(f);
    f.Loaded = true;
    f.Visible = true;
    views.syncAll();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(f)));
  }
  Label& place(int i, double left, double top) {
    Label& l = f.Symbols.Load(i);
    l.Left = left;
    l.Top = top;
    l.Visible = true;
    return l;
  }
  TestGate gate;
  ViewSync views;
  TestForm f;
};

TEST_F(ViewsTest, ClientAreaStandsByTheFrameRule) {
  show();
  // Left/15 + 4 px, (Top + 505)/15 px to the nearest pixel; the outer size less the
  // fixed border and caption.
  EXPECT_EQ(widgetOf(f)->geometry(), QRect(104, 134, 400, 300));
  EXPECT_EQ(widgetOf(f)->windowTitle(), QString("Views"));
  f.Left = 3000;
  f.Width = 9000 + 120;
  views.syncAll();
  QTRY_COMPARE(widgetOf(f)->geometry(), QRect(204, 134, 600, 300));
}

TEST_F(ViewsTest, ChildrenLieInTheirContainerAndAboveIt) {
  show();
  Label& l = place(1, 150, 300);
  views.syncAll();
  QWidget* w = widgetOf(l);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->parentWidget(), widgetOf(f.Page));
  EXPECT_EQ(w->pos(), QPoint(10, 20));
  EXPECT_EQ(w->mapTo(widgetOf(f), QPoint(0, 0)), QPoint(110, 70));
  EXPECT_TRUE(w->isVisible());
}

TEST_F(ViewsTest, ElementsLoadedLaterStayBelowTheLayersAboveTheirArray) {
  show();
  f.Caret.Left = 150;
  f.Caret.Top = 150;
  views.syncAll();
  // Loaded after the caret got its widget, the symbols still lie under it, in order.
  place(2, 150, 150);
  place(1, 150, 150);
  views.syncAll();
  const QObjectList& kids = widgetOf(f.Page)->children();
  const auto at = [&](Control& c) { return kids.indexOf(widgetOf(c)); };
  EXPECT_LT(at(f.Symbols[1]), at(f.Symbols[2]));
  EXPECT_LT(at(f.Symbols[2]), at(f.Caret));
  EXPECT_EQ(widgetOf(f.Page)->childAt(12, 12), widgetOf(f.Caret));
}

TEST_F(ViewsTest, UnloadingAnElementDeletesItsWidget) {
  show();
  place(1, 0, 0);
  views.syncAll();
  QPointer<QWidget> w = widgetOf(f.Symbols[1]);
  ASSERT_FALSE(w.isNull());
  f.Symbols.Unload(1);
  views.syncAll();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(w.isNull());
}

TEST_F(ViewsTest, HiddenControlsGetNoWidget) {
  show();
  f.Hidden.Items = {"1", "2"};
  views.syncAll();
  EXPECT_EQ(widgetOf(f.Hidden), nullptr);
  EXPECT_EQ(widgetOf(f.Symbols[0]), nullptr);  // the template is never shown
}

TEST_F(ViewsTest, ChangesReachTheWidgetsAndHidingHides) {
  show();
  Label& l = place(1, 0, 0);
  views.syncAll();
  QWidget* w = widgetOf(l);
  l.Left = 300;
  l.Top = 450;
  views.syncAll();
  EXPECT_EQ(w->pos(), QPoint(20, 30));
  l.Visible = false;
  views.syncAll();
  EXPECT_FALSE(w->isVisible());
  // A line covers its end points.
  QWidget* line = widgetOf(f.Guide);
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(line->geometry().contains(QPoint(10, 20)));
  EXPECT_TRUE(line->geometry().contains(QPoint(110, 20)));
}

TEST_F(ViewsTest, MouseEventsReachTheArrayInTwipsThenTheClick) {
  show();
  place(3, 0, 0);
  views.syncAll();
  std::vector<std::string> events;
  f.Symbols.MouseDown = [&](int i, int b, int s, double x, double y) {
    events.push_back("down " + std::to_string(i) + " " + std::to_string(b) + " " +
                     std::to_string(s) + " " + std::to_string(int(x)) + " " +
                     std::to_string(int(y)));
  };
  f.Symbols.MouseUp = [&](int i, int b, int, double, double) {
    events.push_back("up " + std::to_string(i) + " " + std::to_string(b));
  };
  f.Symbols.Click = [&](int i) { events.push_back("click " + std::to_string(i)); };
  QTest::mouseClick(widgetOf(f.Symbols[3]), Qt::LeftButton, Qt::ShiftModifier, QPoint(4, 6));
  QTest::mouseClick(widgetOf(f.Symbols[3]), Qt::RightButton, Qt::NoModifier, QPoint(4, 6));
  EXPECT_EQ(events, (std::vector<std::string>{"down 3 1 1 60 90", "up 3 1", "click 3",
                                              "down 3 2 0 60 90", "up 3 2"}));
}

TEST_F(ViewsTest, ACheckBoxClickSetsTheValueBeforeItsClickRuns) {
  show();
  int seen = -1;
  f.Tick.Click = [&] { seen = f.Tick.Value; };
  QTest::mouseClick(widgetOf(f.Tick), Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
  EXPECT_EQ(f.Tick.Value, 1);
  EXPECT_EQ(seen, 1);
}

TEST_F(ViewsTest, AWalkOverTenThousandUnchangedSymbolsIsCheap) {
  show();
  for (int i = 1; i <= 10000; ++i) place(i, (i % 100) * 150.0, (i / 100) * 210.0);
  views.syncAll();
  std::vector<double> us;
  for (int round = 0; round < 31; ++round) {
    const auto t0 = std::chrono::steady_clock::now();
    views.syncAll();
    us.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(us.begin(), us.end());
  std::printf("walk over 10000 labels: median %.0f us, best %.0f us\n", us[us.size() / 2], us[0]);
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
  // Well under a millisecond on a quiet machine; the bound leaves room for a loaded one
  // and still catches a walk that touches the widgets.
  EXPECT_LT(us[us.size() / 2], 3000.0);
#endif
}

TEST(Fonts, ModelFontNamesResolveToInstalledFamilies) {
  installFontSubstitutions();
  const QFont arial = qfontFor(Font{"Arial", 8.25, false, 204});
  EXPECT_EQ(QFontInfo(arial).family(), QString("Liberation Sans"));
  EXPECT_EQ(arial.pixelSize(), 11);  // 8.25 pt at 96 dpi
  EXPECT_EQ(qfontFor(Font{"Arial", 12, true, 0}).pixelSize(), 16);
  EXPECT_TRUE(QFontInfo(qfontFor(Font{"Arial", 12, true, 0})).bold());
  EXPECT_EQ(QFontInfo(qfontFor(Font{})).family(), QString("Liberation Sans"));
  EXPECT_EQ(qcolorFor(0x0000FF), QColor(255, 0, 0));  // 0x00BBGGRR
  EXPECT_EQ(qcolorFor(0xC0FFFF), QColor(255, 255, 192));
}

// --- the desktop services that need a window ----------------------------------------------

class DesktopTest : public ::testing::Test {
 protected:
  DesktopTest() : desktop(std::make_unique<X11Input>(openDisplay())) {
    f.Left = 3000;
    f.Top = 1500;
    f.Width = 3000 + 120;
    f.Height = 1500 + 565;
    f.BackColor = kRed;
    f.Resize = [this] { ++resizes; };
  }
  ~DesktopTest() override {
    if (f.Loaded) desktop.run([&] { desktop.unloadForm(f); });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  Form f{"F"};
  QtDesktop desktop;
  int resizes = 0;
};

TEST_F(DesktopTest, TheFirstShowRunsTheResizeEventOnce) {
  desktop.run([&] { desktop.showForm(f); });
  EXPECT_TRUE(f.Loaded);
  EXPECT_TRUE(f.Visible);
  EXPECT_EQ(resizes, 1);
  desktop.run([&] {
    desktop.hideForm(f);
    desktop.showForm(f);
  });
  EXPECT_EQ(resizes, 1);
}

TEST_F(DesktopTest, TheCloseButtonRunsUnloadAndTheWindowGoes) {
  int unloads = 0;
  f.Unload = [&] { ++unloads; };
  desktop.run([&] { desktop.showForm(f); });
  QPointer<QWidget> w = widgetOf(f);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  w->close();
  QTRY_COMPARE(unloads, 1);
  EXPECT_FALSE(f.Loaded);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(w.isNull());
}

TEST_F(DesktopTest, CaptureShowsWhatTheModelHoldsNow) {
  desktop.run([&] { desktop.showForm(f); });
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(f)));
  Bitmap b;
  desktop.run([&] {
    f.BackColor = 0x00FF00;  // changed in the same tick that captures
    b = desktop.captureScreen(RectPx{210, 140, 20, 10});
  });
  ASSERT_EQ(b.width, 20);
  ASSERT_EQ(b.height, 10);
  EXPECT_TRUE(std::all_of(b.pixels.begin(), b.pixels.end(),
                          [](std::uint32_t p) { return p == 0x00FF00u; }));
  desktop.clipboardSetPicture(b);
  const QImage img = QGuiApplication::clipboard()->image();
  EXPECT_EQ(img.size(), QSize(20, 10));
  EXPECT_EQ(img.pixel(3, 3) & 0xFFFFFFu, 0x00FF00u);
}

// An overlay as the selection window is: borderless at its own Left/Top, its key colour cut
// out so that only its outline shows over what lies beneath, also after it grew.
TEST_F(DesktopTest, AColourKeyedOverlayShowsOnlyItsOutline) {
  f.BackColor = 0x00FF00;
  Form overlay("Overlay");
  overlay.Borderless = true;
  overlay.NeverActivates = true;
  overlay.PointerPassesThrough = true;
  overlay.Sizable = false;
  overlay.BackColor = kRed;
  Shape outline("Outline");
  outline.Filled = false;
  outline.FillColor = kBlue;
  overlay.add(outline);
  auto size = [&](double w, double h) {
    overlay.Width = w;
    overlay.Height = h;
    outline.Left = 5;
    outline.Top = 5;
    outline.Width = w - 10;
    outline.Height = h - 10;
  };
  // The X server answers in its own time; a test waits for it, two seconds at most.
  auto eventually = [](const std::function<bool()>& condition) {
    for (int i = 0; i < 200 && !condition(); ++i) QTest::qWait(10);
    return condition();
  };
  desktop.run([&] {
    desktop.showForm(f);
    desktop.setColourKey(overlay, kRed);
    overlay.Left = 15 * 220;
    overlay.Top = 15 * 140;
    size(200, 200);
    desktop.showForm(overlay);
  });
  QWidget* w = widgetOf(overlay);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(w->windowFlags() & Qt::WindowTransparentForInput);
  EXPECT_TRUE(w->windowFlags() & Qt::WindowDoesNotAcceptFocus);
  desktop.run([&] { size(15 * 60, 15 * 30); });
  EXPECT_TRUE(eventually([&] { return w->size() == QSize(60, 30); }));
  EXPECT_EQ(w->geometry().topLeft(), QPoint(220, 140));
  Bitmap b;
  desktop.run([&] { b = desktop.captureScreen(RectPx{220, 140, 60, 30}); });
  ASSERT_EQ(b.width, 60);
  ASSERT_EQ(b.height, 30);
  EXPECT_EQ(b.pixels[0], 0x0000FFu);             // the outline's corner
  EXPECT_EQ(b.pixels[29 * 60 + 59], 0x0000FFu);  // and the opposite one
  EXPECT_EQ(b.pixels[15 * 60 + 30], 0x00FF00u);  // inside: what lies beneath
  desktop.run([&] { desktop.unloadForm(overlay); });
}

TEST_F(DesktopTest, PicturesThatAreNoPicturesAreRefused) {
  const std::string dir = ::testing::TempDir();
  const std::string simbol = std::string(KEL_SOURCE_DIR) + "/Simbol/";
  const std::string png = dir + "/kel_png.gif", bad = dir + "/kel_bad.gif",
                    cut = dir + "/kel_cut.gif", fifo = dir + "/kel_fifo.gif";
  QImage img(7, 5, QImage::Format_RGB32);
  img.fill(Qt::black);
  ASSERT_TRUE(img.save(QString::fromStdString(png), "PNG"));  // a picture, but no GIF
  std::ofstream(bad, std::ios::binary) << "GIF89a\x07\x00\x05\x00garbage";
  {
    std::ifstream in(simbol + "plus.gif", std::ios::binary);
    const std::string whole(std::istreambuf_iterator<char>(in), {});
    std::ofstream(cut, std::ios::binary) << whole.substr(0, whole.size() - 12);
  }
  ::unlink(fifo.c_str());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const std::optional<Picture> p = desktop.loadPicture(simbol + "keyhome.gif");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->WidthPx, 46);
  EXPECT_EQ(p->HeightPx, 32);
  EXPECT_EQ(desktop.views().pixmap(simbol + "keyhome.gif").size(), QSize(46, 32));
  for (const std::string& path : {png, bad, cut, fifo, dir + "/kel_missing.gif", dir}) {
    EXPECT_FALSE(desktop.loadPicture(path)) << path;
    EXPECT_TRUE(desktop.views().pixmap(path).isNull()) << path;
  }
  ::unlink(fifo.c_str());
}

// 35 bytes that declare a 5000 x 5000 frame would take Qt seconds and 100 MB to decode.
TEST_F(DesktopTest, APictureBombIsRefusedBeforeItIsDecoded) {
  const std::string bomb = ::testing::TempDir() + "/kel_bomb.gif";
  std::ofstream(bomb, std::ios::binary) << std::string(
      "GIF89a\x88\x13\x88\x13\x80\0\0\0\0\0\0\0\0"
      "\x2c\0\0\0\0\x88\x13\x88\x13\0\x02\x02\x44\x01\0;",
      35);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(desktop.loadPicture(bomb));
  EXPECT_TRUE(desktop.views().pixmap(bomb).isNull());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

}  // namespace
}  // namespace kel::qt
