// The desktop services that need a window, on a real X server without a window manager:
// forms shown, minimised and closed, second windows and their controls, captures, overlays,
// pictures and captions.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/fonts.h"
#include "platform/qt/qt_desktop.h"
#include "tests/qt/test_time.h"
#include "tests/qt/views_support.h"

namespace kel::qt {
namespace {

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
  // Unloads the form before the controls a test declares go, whatever the test's outcome.
  struct UnloadFirst {
    QtDesktop& d;
    Form& f;
    ~UnloadFirst() {
      if (f.Loaded) d.run([&] { d.unloadForm(f); });
    }
  };
  UnloadFirst unloadFirst() { return {desktop, f}; }

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

TEST_F(DesktopTest, AMinimiseUndoneAtOnceStillRunsTheResizeEventForBoth) {
  f.Left = 3007;  // no whole pixel: a restore must not round the model's place
  std::vector<WindowState> states;
  f.Resize = [&] { states.push_back(f.State); };
  desktop.run([&] { desktop.showForm(f); });
  QWidget* w = widgetOf(f);
  ASSERT_TRUE(waitExposed(w));
  // Both changes reach the window before the backend looks at it.
  w->setWindowState(Qt::WindowMinimized);
  w->setWindowState(Qt::WindowNoState);
  static_cast<void>(waitFor([&] { return states.size() >= 3; }, 10000));
  EXPECT_EQ(states, (std::vector<WindowState>{WindowState::Normal, WindowState::Minimized,
                                              WindowState::Normal}));
  EXPECT_EQ(f.State, WindowState::Normal);
  EXPECT_EQ(f.Left, 3007);
  EXPECT_EQ(f.Top, 1500);
}

TEST_F(DesktopTest, TheCloseButtonRunsUnloadAndTheWindowGoes) {
  int unloads = 0;
  f.Unload = [&] { ++unloads; };
  desktop.run([&] { desktop.showForm(f); });
  QPointer<QWidget> w = widgetOf(f);
  ASSERT_TRUE(waitExposed(w));
  w->close();
  EXPECT_TRUE(waitFor([&] { return unloads > 0; }));
  EXPECT_EQ(unloads, 1);
  EXPECT_FALSE(f.Loaded);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(w.isNull());
}

// A second window beside the first, shown on its own and raised, whose text box reports
// Enter to the model and whose graphical button shows its BackColor as its face.
TEST_F(DesktopTest, ASecondWindowWithATextBoxAndAGraphicalButton) {
  struct Dialog : Form {
    Dialog() : Form("Dialog") {
      Left = 7500;
      Top = 6000;
      Width = 2400 + 120;
      Height = 1200 + 565;
      Caption = "Second";
      Box.Left = 150;
      Box.Top = 150;
      Box.Width = 1200;
      Box.Height = 375;
      Face.Left = 150;
      Face.Top = 600;
      Face.Width = 495;
      Face.Height = 495;
      Face.Style = 1;
      Face.BackColor = 0xC0FFFF;
      add(Box);
      add(Face);
    }
    TextBox Box{"Box"};
    CommandButton Face{"Face"};
  } dialog;
  std::vector<std::pair<int, int>> keys;
  dialog.Box.KeyDown = [&](int k, int s) { keys.push_back({k, s}); };
  desktop.run([&] {
    desktop.showForm(f);
    desktop.showForm(dialog);
    desktop.bringToFront(dialog);
    desktop.setFocus(dialog, dialog.Box);
  });
  QWidget* first = widgetOf(f);
  QWidget* second = widgetOf(dialog);
  ASSERT_TRUE(waitExposed(second));
  EXPECT_TRUE(second->isWindow());
  EXPECT_NE(first, second);
  EXPECT_EQ(second->windowTitle(), QString("Second"));
  EXPECT_EQ(second->geometry().topLeft(), QPoint(504, 434));
  auto* edit = qobject_cast<QLineEdit*>(widgetOf(dialog.Box));
  ASSERT_NE(edit, nullptr);
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(keys, (std::vector<std::pair<int, int>>{{13, 0}}));
  QTest::keyClicks(edit, "12");
  EXPECT_EQ(dialog.Box.Text(), "12");
  EXPECT_EQ(widgetOf(dialog.Face)->palette().color(QPalette::Button), QColor(255, 255, 192));
  desktop.run([&] { desktop.unloadForm(dialog); });
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A focused button reports Enter to its KeyDown (a limits dialog's Submit takes it as a
// press), and Space still presses it.
TEST_F(DesktopTest, AFocusedButtonReportsEnterAndSpacePressesIt) {
  CommandButton button("Button");
  button.Left = 150;
  button.Top = 150;
  button.Width = 975;
  button.Height = 375;
  button.Caption = "Submit";
  f.add(button);
  std::vector<std::pair<int, int>> keys;
  int clicks = 0;
  button.KeyDown = [&](int k, int s) { keys.push_back({k, s}); };
  button.Click = [&] { ++clicks; };
  const auto unload = unloadFirst();
  desktop.run([&] {
    desktop.showForm(f);
    desktop.setFocus(f, button);
  });
  ASSERT_TRUE(waitExposed(widgetOf(f)));
  QWidget* b = widgetOf(button);
  QTest::keyClick(b, Qt::Key_Return);
  QTest::keyClick(b, Qt::Key_Enter);
  EXPECT_EQ(keys, (std::vector<std::pair<int, int>>{{13, 0}, {13, 0}}));
  EXPECT_EQ(clicks, 0);
  QTest::keyClick(b, Qt::Key_Space);
  EXPECT_EQ(clicks, 1);
}

// A box whose text the program sets shows it from its start, however long it is (a result
// wider than the box keeps its sign); what the user types stays where the caret is.
TEST_F(DesktopTest, ATextTheProgramSetsShowsFromItsStart) {
  TextBox box("Box");
  box.Left = 150;
  box.Top = 150;
  box.Width = 1455;  // the result box's 97 px
  box.Height = 405;
  f.add(box);
  const auto unload = unloadFirst();
  desktop.run([&] { desktop.showForm(f); });
  ASSERT_TRUE(waitExposed(widgetOf(f)));
  auto* edit = qobject_cast<QLineEdit*>(widgetOf(box));
  ASSERT_NE(edit, nullptr);
  // The start of each text as it shows when the box holds that start alone.
  for (const char* text : {"-0.98803162409286", "3.33333333333333E-04", "9.42477796076937"}) {
    const std::string whole = text;
    desktop.run([&] { box.setText(whole.substr(0, 6)); });
    const QImage start = edit->grab().toImage();
    desktop.run([&] { box.setText(whole + whole); });
    const QImage shown = edit->grab().toImage();
    EXPECT_EQ(edit->cursorPosition(), 0) << text;
    EXPECT_EQ(shown.copy(0, 0, 30, shown.height()), start.copy(0, 0, 30, start.height())) << text;
  }
  edit->setFocus();
  edit->end(false);
  QTest::keyClicks(edit, "7");
  EXPECT_EQ(edit->cursorPosition(), edit->text().size());
}

// A graphical button's face is its BackColor, flat, pressed or not, inside the bevel.
TEST_F(DesktopTest, AGraphicalButtonsFaceIsItsColourFlat) {
  CommandButton key("Key");
  key.Left = 150;
  key.Top = 150;
  key.Width = 495;
  key.Height = 495;
  key.Style = 1;
  f.add(key);
  const auto unload = unloadFirst();
  desktop.run([&] { desktop.showForm(f); });
  ASSERT_TRUE(waitExposed(widgetOf(f)));
  auto* button = qobject_cast<QPushButton*>(widgetOf(key));
  ASSERT_NE(button, nullptr);
  // The close key's dark red, the pressed key's red, the pale yellow, white.
  for (Colour c : {Colour{0x0000C0}, Colour{0x0000FF}, Colour{0xC0FFFF}, kWhite}) {
    desktop.run([&] { key.BackColor = c; });
    for (bool down : {false, true}) {
      button->setDown(down);
      const QImage img = button->grab().toImage();
      const QColor face = qcolorFor(c);
      int other = 0;
      for (int y = 3; y < img.height() - 3; ++y)
        for (int x = 3; x < img.width() - 3; ++x) other += img.pixelColor(x, y) != face;
      EXPECT_EQ(other, 0) << std::hex << c << (down ? " down" : " up");
      // The bevel stays round it.
      EXPECT_NE(img.pixelColor(0, img.height() / 2), face) << std::hex << c;
    }
    button->setDown(false);
  }
}

// A window without a frame that never takes the focus, as the on-screen keyboard is: its
// client area is its outer rectangle, it has no frame and no focus, neither when it is
// shown nor when its button is clicked, and the window beside it keeps the focus.
TEST_F(DesktopTest, ABorderlessWindowThatNeverTakesTheFocus) {
  struct Pad : Form {
    Pad() : Form("Pad") {
      Borderless = true;
      NeverActivates = true;
      Sizable = false;
      Left = 9000;
      Top = 4500;
      Width = 1500;
      Height = 900;
      Caption = "Pad";
      Key.Left = 150;
      Key.Top = 150;
      Key.Width = 600;
      Key.Height = 375;
      Key.Caption = "a";
      add(Key);
    }
    CommandButton Key{"Key"};
  } pad;
  int clicks = 0;
  pad.Key.Click = [&] { ++clicks; };
  desktop.run([&] {
    desktop.showForm(f);
    desktop.bringToFront(f);
  });
  ASSERT_TRUE(waitExposed(widgetOf(f)));
  static_cast<void>(waitFor([&] { return QGuiApplication::focusWindow() != nullptr; }, 10000));
  QWindow* focused = QGuiApplication::focusWindow();
  ASSERT_EQ(focused, widgetOf(f)->windowHandle());
  desktop.run([&] {
    desktop.showForm(pad);
    desktop.makeTopmost(pad);
  });
  QWidget* w = widgetOf(pad);
  ASSERT_TRUE(waitExposed(w));
  EXPECT_EQ(w->geometry(), QRect(600, 300, 100, 60));
  EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(w->windowFlags() & Qt::WindowDoesNotAcceptFocus);
  EXPECT_TRUE(w->testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_EQ(widgetOf(pad.Key)->focusPolicy(), Qt::NoFocus);
  QTest::mouseClick(w->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                    inForm(pad, pad.Key, QPoint(5, 5)));
  EXPECT_EQ(clicks, 1);
  QCoreApplication::processEvents();
  EXPECT_NE(QGuiApplication::focusWindow(), w->windowHandle());
  EXPECT_EQ(QGuiApplication::focusWindow(), focused);
  desktop.run([&] { desktop.unloadForm(pad); });
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(DesktopTest, CaptureShowsWhatTheModelHoldsNow) {
  desktop.run([&] { desktop.showForm(f); });
  ASSERT_TRUE(waitExposed(widgetOf(f)));
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

// A capture runs no model code: the pointer moved just before it (as the text placer moves
// it after a " = ") reaches the window only after the picture is taken, so what that move
// shows (the caret) is not in it.
TEST_F(DesktopTest, ACaptureRunsNoHandlerOfAnEventThatCameMeanwhile) {
  Label mark("Mark");
  mark.Left = 1500;
  mark.Top = 600;
  mark.Width = 300;
  mark.Height = 300;
  mark.BackColor = kBlack;
  mark.Visible = false;
  f.add(mark);
  int moves = 0;
  f.MouseMove = [&](int, int, double, double) {
    ++moves;
    mark.Visible = true;
  };
  const auto unload = unloadFirst();
  desktop.run([&] {
    desktop.showForm(f);
    desktop.setCursorPos(20, 20);
  });
  ASSERT_TRUE(waitExposed(widgetOf(f)));
  QTest::qWait(100);
  moves = 0;
  Bitmap b;
  int movesDuringCapture = -1;
  desktop.run([&] {
    desktop.setCursorPos(250, 160);  // over the form's client area, away from the mark
    b = desktop.captureScreen(RectPx{306, 176, 10, 10});
    movesDuringCapture = moves;
  });
  EXPECT_EQ(movesDuringCapture, 0);
  ASSERT_EQ(b.width, 10);
  EXPECT_TRUE(
      std::none_of(b.pixels.begin(), b.pixels.end(), [](std::uint32_t p) { return p == 0; }));
  // The move was real: it arrives after the capture.
  EXPECT_TRUE(waitFor([&] { return moves > 0; }, 10000));
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
  // The X server answers in its own time; a test waits for it, the room of ten seconds at
  // most (a loaded machine is slow, and an answer that comes ends the wait).
  auto eventually = [](const std::function<bool()>& condition) {
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < room(10000)) QTest::qWait(10);
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
  ASSERT_TRUE(waitExposed(w));
  EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(w->windowFlags() & Qt::WindowTransparentForInput);
  EXPECT_TRUE(w->windowFlags() & Qt::WindowDoesNotAcceptFocus);
  desktop.run([&] { size(15 * 60, 15 * 30); });
  EXPECT_TRUE(eventually([&] { return w->size() == QSize(60, 30); }));
  EXPECT_EQ(w->geometry().topLeft(), QPoint(220, 140));
  Bitmap b;
  // What the screen shows comes with the repaint, which a loaded machine makes late.
  static_cast<void>(eventually([&] {
    desktop.run([&] { b = desktop.captureScreen(RectPx{220, 140, 60, 30}); });
    return b.width == 60 && b.height == 30 && b.pixels[0] == 0x0000FFu &&
           b.pixels[29 * 60 + 59] == 0x0000FFu && b.pixels[15 * 60 + 30] == 0x00FF00u;
  }));
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

// --- captions -------------------------------------------------------------------------------

// The first and last columns with ink of a picture.
std::pair<int, int> inkColumns(const QImage& img) {
  int first = -1, last = -1;
  for (int x = 0; x < img.width(); ++x)
    for (int y = 0; y < img.height(); ++y)
      if (qGray(img.pixel(x, y)) < 128) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

TEST_F(DesktopTest, CaptionsAreDrawnAndMeasuredAsTheyShow) {
  // "&&" is one ampersand; a single "&" marks an access key and shows nothing.
  const std::vector<std::pair<std::string, QString>> cases = {
      {"&&", "&"}, {"a&b", "ab"}, {"x&&&y", "x&y"}, {"&&&&", "&&"}};
  const Font font{"Arial", 24, false, 0};
  const QFont& qfont = desktop.views().font(font);
  std::vector<std::unique_ptr<Label>> labels;
  for (const auto& c : cases) {
    auto l = std::make_unique<Label>("L" + std::to_string(labels.size()));
    l->Caption = c.first;
    l->Font = font;
    l->BackColor = kWhite;
    l->ForeColor = kBlack;
    l->AutoSize = true;
    l->Left = 150;
    l->Top = 150 + 600 * static_cast<double>(labels.size());
    autoSize(desktop, *l);
    f.add(*l);
    labels.push_back(std::move(l));
  }
  f.Height = 6000;
  const auto unload = unloadFirst();
  desktop.run([&] { desktop.showForm(f); });
  ASSERT_TRUE(waitExposed(widgetOf(f)));
  for (size_t i = 0; i < cases.size(); ++i) {
    const QString& shown = cases[i].second;
    Label& l = *labels[i];
    EXPECT_EQ(l.Width, QFontMetrics(qfont).horizontalAdvance(shown) * 15.0) << l.Caption;
    // The text as Qt draws it by itself, where the label draws its caption.
    QWidget* w = widgetOf(l);
    QImage expected(w->size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    QPainter p(&expected);
    p.setFont(qfont);
    p.setPen(Qt::black);
    p.drawText(expected.rect(), Qt::AlignTop | Qt::AlignLeft | Qt::TextSingleLine, shown);
    p.end();
    const auto ink = inkColumns(expected);
    EXPECT_GE(ink.first, 0);
    EXPECT_EQ(inkColumns(w->grab().toImage()), ink) << l.Caption;
  }
}

// --- a window that closes itself: the paste/cut pop-up's kind ---------------------------------

struct SmallWindow : Form {
  SmallWindow() : Form("Small") {
    Left = 9000;
    Top = 3000;
    Width = 2400 + 120;
    Height = 1200 + 565;
    Caption = "Small";
    BackColor = kWhite;
    Sizable = false;
    Button.Left = 300;
    Button.Top = 300;
    Button.Width = 1500;
    Button.Height = 450;
    Button.Caption = "Close";
    add(Button);
  }
  CommandButton Button{"Button"};
};

// Its button's click unloads the window: the widgets go once the event is over, and nothing
// of them is used after the handler returns.
TEST_F(DesktopTest, AWindowUnloadedInsideItsOwnClickIsSafe) {
  SmallWindow pop;
  int clicks = 0;
  pop.Button.Click = [&] {
    desktop.unloadForm(pop);
    ++clicks;
  };
  desktop.run([&] { desktop.showForm(pop); });
  ASSERT_TRUE(waitExposed(widgetOf(pop)));
  QPointer<QWidget> button = widgetOf(pop.Button);
  QPointer<QWidget> window = widgetOf(pop);
  ASSERT_TRUE(button);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(pop.Loaded);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(button.isNull());
  EXPECT_TRUE(window.isNull());
  // Shown again, it works as before.
  desktop.run([&] { desktop.showForm(pop); });
  ASSERT_TRUE(waitExposed(widgetOf(pop)));
  QTest::mouseClick(widgetOf(pop.Button), Qt::LeftButton);
  EXPECT_EQ(clicks, 2);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The bare window gets its own mouse moves; a window that stops being the active one is told.
TEST_F(DesktopTest, TheBareFormsMoveAndItsLostFocusReachTheModel) {
  SmallWindow pop;
  std::vector<std::string> log;
  pop.MouseMove = [&](int, int, double x, double y) {
    log.push_back("move " + std::to_string(static_cast<int>(x)) + "," +
                  std::to_string(static_cast<int>(y)));
  };
  pop.Button.MouseMove = [&](int, int, double, double) { log.push_back("button"); };
  pop.LostFocus = [&] { log.push_back("lost focus"); };
  desktop.run([&] {
    desktop.showForm(f);
    desktop.showForm(pop);
    desktop.bringToFront(pop);
  });
  ASSERT_TRUE(waitExposed(widgetOf(pop)));
  QTest::mouseMove(windowOf(pop), QPoint(4, 6));
  QTest::mouseMove(windowOf(pop), QPoint(40, 30));  // over the button
  EXPECT_EQ(log, (std::vector<std::string>{"move 60,90", "button"}));
  ASSERT_TRUE(waitFor([&] { return widgetOf(pop)->isActiveWindow(); }, 10000));
  desktop.run([&] { desktop.bringToFront(f); });
  EXPECT_TRUE(waitFor([&] { return log.size() == 3; }, 10000));
  EXPECT_EQ(log.back(), "lost focus");
  desktop.run([&] { desktop.unloadForm(pop); });
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace kel::qt
