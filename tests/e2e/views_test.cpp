// The widgets that draw the forms model, on a real X server without a window manager.
#include "platform/qt/views.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <map>
#include <random>
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
    PageBox.Container = &Page;
    PageBox.Left = 1500;
    PageBox.Width = 1500;
    PageBox.Height = 300;
    PageBox.Visible = false;
    Panel.Left = 4500;
    Panel.Width = 1500;
    Panel.Height = 3000;
    for (Control* c : {static_cast<Control*>(&Early), static_cast<Control*>(&PanelBox),
                       static_cast<Control*>(&Late)}) {
      c->Container = &Panel;
      c->Width = 1500;
      c->Height = 300;
    }
    PanelBox.Top = 450;
    Late.Top = 900;
    Note.Left = 1650;
    Note.Top = 3900;
    Note.Width = 1500;
    Note.Height = 300;
    add(Page);
    add(PageBox);
    add(Symbols);
    add(Caret);
    add(Guide);
    add(Hidden);
    add(Tick);
    add(Panel);
    add(Early);
    add(PanelBox);
    add(Late);
    add(Note);
  }
  Frame Page{"Page"};
  CheckBox PageBox{"PageBox"};  // under the symbols, hidden at first
  ControlArray<Label> Symbols;
  PictureBox Caret{"Caret"};
  Line Guide{"Guide"};
  ListBox Hidden{"Hidden"};
  CheckBox Tick{"Tick"};
  Frame Panel{"Panel"};
  Label Early{"Early"};  // under the panel's check box
  CheckBox PanelBox{"PanelBox"};
  Label Late{"Late"};  // above it
  Label Note{"Note"};  // on the form itself
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
  const PaintedContent s = views.shown(l);
  EXPECT_EQ(s.widget, nullptr);  // the page paints it: no widget of its own
  EXPECT_EQ(s.parent, widgetOf(f.Page));
  EXPECT_EQ(s.rect.topLeft(), QPoint(10, 20));
  EXPECT_EQ(widgetOf(f.Page)->mapTo(widgetOf(f), s.rect.topLeft()), QPoint(110, 70));
  EXPECT_TRUE(s.showing);
}

// Which control a press at a point of a widget reaches.
struct Presses {
  explicit Presses(TestForm& f) {
    f.Page.MouseDown = [this](int, int, double, double) { seen.push_back("Page"); };
    f.Caret.MouseDown = [this](int, int, double, double) { seen.push_back("Caret"); };
    f.Symbols.MouseDown = [this](int i, int, int, double, double) {
      seen.push_back("Symbols(" + std::to_string(i) + ")");
    };
  }
  std::string at(QWidget* w, QPoint p) {
    seen.clear();
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, p);
    return seen.empty() ? "nothing" : seen.back();
  }
  std::vector<std::string> seen;
};

TEST_F(ViewsTest, ElementsLoadedLaterStayBelowTheLayersAboveTheirArray) {
  show();
  f.Caret.Left = 150;
  f.Caret.Top = 150;
  views.syncAll();
  // Loaded after the caret was shown, the symbols still lie under it, in order.
  place(2, 150, 150);
  place(1, 150, 150);
  views.syncAll();
  const std::vector<Control*> order = views.paintOrder(widgetOf(f.Page));
  const auto at = [&](Control& c) {
    return std::find(order.begin(), order.end(), &c) - order.begin();
  };
  EXPECT_LT(at(f.Symbols[1]), at(f.Symbols[2]));
  EXPECT_LT(at(f.Symbols[2]), at(f.Caret));
  Presses presses(f);
  EXPECT_EQ(presses.at(widgetOf(f.Page), QPoint(12, 12)), "Caret");
  EXPECT_EQ(presses.at(widgetOf(f.Page), QPoint(17, 12)), "Symbols(2)");
}

TEST_F(ViewsTest, UnloadingAnElementTakesItOffThePage) {
  show();
  place(1, 0, 0);
  views.syncAll();
  const std::size_t shown = views.paintOrder(widgetOf(f.Page)).size();
  f.Symbols.Unload(1);
  views.syncAll();
  EXPECT_EQ(views.paintOrder(widgetOf(f.Page)).size(), shown - 1);
  Presses presses(f);
  EXPECT_EQ(presses.at(widgetOf(f.Page), QPoint(7, 7)), "Page");
}

TEST_F(ViewsTest, HiddenControlsGetNoWidget) {
  show();
  f.Hidden.Items = {"1", "2"};
  views.syncAll();
  EXPECT_EQ(views.shown(f.Hidden).view, nullptr);
  EXPECT_EQ(views.shown(f.Symbols[0]).view, nullptr);  // the template is never shown
}

TEST_F(ViewsTest, ChangesReachTheViewsAndHidingHides) {
  show();
  Label& l = place(1, 0, 0);
  views.syncAll();
  const void* view = views.shown(l).view;
  l.Left = 300;
  l.Top = 450;
  views.syncAll();
  EXPECT_EQ(views.shown(l).rect.topLeft(), QPoint(20, 30));
  // Hidden, it shows nothing and the page under it takes the mouse.
  l.Visible = false;
  views.syncAll();
  EXPECT_FALSE(views.shown(l).showing);
  Presses presses(f);
  EXPECT_EQ(presses.at(widgetOf(f.Page), QPoint(25, 35)), "Page");
  // What changed while it was hidden is there when it shows again.
  l.Caption = "y";
  l.Left = 450;
  views.syncAll();
  EXPECT_EQ(views.shown(l).rect.topLeft(), QPoint(20, 30));
  l.Visible = true;
  views.syncAll();
  EXPECT_EQ(views.shown(l).view, view);
  EXPECT_TRUE(views.shown(l).showing);
  EXPECT_EQ(views.shown(l).text, QString("y"));
  EXPECT_EQ(views.shown(l).rect.topLeft(), QPoint(30, 30));
  EXPECT_EQ(presses.at(widgetOf(f.Page), QPoint(35, 35)), "Symbols(1)");
  // A painted control with a widget of its own keeps it, showing nothing and letting the
  // mouse through.
  QWidget* note = widgetOf(f.Note);
  ASSERT_NE(note, nullptr);
  f.Note.Visible = false;
  views.syncAll();
  EXPECT_TRUE(note->isVisible());
  EXPECT_TRUE(views.shown(f.Note).blank);
  EXPECT_FALSE(views.shown(f.Note).showing);
  EXPECT_EQ(widgetOf(f)->childAt(115, 265), nullptr);
  f.Note.Visible = true;
  views.syncAll();
  EXPECT_EQ(widgetOf(f)->childAt(115, 265), note);
  // A control that holds others, and a desktop widget, hide for real.
  f.Tick.Visible = false;
  f.Page.Visible = false;
  views.syncAll();
  EXPECT_FALSE(widgetOf(f.Tick)->isVisible());
  EXPECT_FALSE(widgetOf(f.Page)->isVisible());
  EXPECT_FALSE(views.shown(l).showing);
  // A line covers its end points.
  f.Page.Visible = true;
  views.syncAll();
  const QRect line = views.shown(f.Guide).rect;
  EXPECT_TRUE(line.contains(QPoint(10, 20)));
  EXPECT_TRUE(line.contains(QPoint(110, 20)));
}

TEST_F(ViewsTest, ABlinkingCaretMakesNoWidgetAndNeverTakesTheMouseWhileOff) {
  show();
  place(1, 150, 150);
  f.Caret.Left = 150;
  f.Caret.Top = 150;
  views.syncAll();
  EXPECT_EQ(widgetOf(f.Caret), nullptr);
  Presses presses(f);
  for (int blink = 0; blink < 4; ++blink) {
    f.Caret.Visible = !f.Caret.Visible;
    views.syncAll();
    EXPECT_EQ(views.shown(f.Caret).showing, f.Caret.Visible.get());
    EXPECT_EQ(presses.at(widgetOf(f.Page), QPoint(12, 12)),
              f.Caret.Visible ? "Caret" : "Symbols(1)");
  }
  EXPECT_EQ(widgetOf(f.Caret), nullptr);
}

TEST_F(ViewsTest, PaintedControlsAboveAWidgetGetWidgetsOfTheirOwn) {
  show();
  // In the panel the early label lies under the check box, the late one above it.
  EXPECT_EQ(widgetOf(f.Early), nullptr);
  EXPECT_NE(widgetOf(f.Late), nullptr);
  EXPECT_EQ(views.paintOrder(widgetOf(f.Panel)),
            (std::vector<Control*>{&f.Early, &f.PanelBox, &f.Late}));
  // A widget shown under the page's symbols and caret: they get widgets above it.
  place(1, 1500, 0);
  views.syncAll();
  EXPECT_EQ(widgetOf(f.Symbols[1]), nullptr);
  f.PageBox.Visible = true;
  views.syncAll();
  ASSERT_NE(widgetOf(f.Symbols[1]), nullptr);
  EXPECT_TRUE(widgetOf(f.Symbols[1])->isVisible());
  EXPECT_NE(widgetOf(f.Guide), nullptr);
  const std::vector<Control*> order = views.paintOrder(widgetOf(f.Page));
  const auto at = [&](Control& c) {
    return std::find(order.begin(), order.end(), &c) - order.begin();
  };
  EXPECT_LT(at(f.PageBox), at(f.Symbols[1]));
  EXPECT_LT(at(f.Symbols[1]), at(f.Caret));
  EXPECT_EQ(widgetOf(f.Page)->childAt(102, 2), widgetOf(f.Symbols[1]));
}

TEST_F(ViewsTest, AContainerShownLaterShowsWhatItHoldsAndAChildMayComeFirst) {
  // The page starts hidden; its symbol and the caret are shown before it ever was.
  f.Page.Visible = false;
  show();
  Label& l = place(1, 150, 150);
  views.syncAll();
  ASSERT_NE(views.shown(l).view, nullptr);
  EXPECT_EQ(views.shown(l).parent, widgetOf(f.Page));
  EXPECT_FALSE(views.shown(l).showing);
  f.Page.Visible = true;
  views.syncAll();
  EXPECT_TRUE(views.shown(l).showing);
  EXPECT_TRUE(views.shown(f.Caret).showing);
  EXPECT_TRUE(widgetOf(f.Page)->isVisible());
  // The page, made for its child, still lies where its layer puts it: under the check box.
  const QObjectList& top = widgetOf(f)->children();
  EXPECT_LT(top.indexOf(widgetOf(f.Page)), top.indexOf(widgetOf(f.Tick)));
}

TEST_F(ViewsTest, AFormShownLaterShowsWhatChangedWhileItWasHidden) {
  show();
  Label& l = place(1, 0, 0);
  views.syncAll();
  f.Visible = false;
  views.syncAll();
  EXPECT_FALSE(widgetOf(f)->isVisible());
  l.Caption = "z";
  Label& m = place(2, 300, 0);
  views.syncAll();
  f.Visible = true;
  views.syncAll();
  EXPECT_TRUE(widgetOf(f)->isVisible());
  EXPECT_EQ(views.shown(l).text, QString("z"));
  EXPECT_TRUE(views.shown(m).showing);
}

TEST_F(ViewsTest, AFormUnloadedAndShownAgainShowsEverything) {
  show();
  Label& l = place(1, 150, 150);
  views.syncAll();
  views.dropForm(f);  // as unloading the form does
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(views.shown(l).view, nullptr);
  show();
  EXPECT_TRUE(views.shown(l).showing);
  EXPECT_EQ(views.shown(l).parent, widgetOf(f.Page));
  EXPECT_TRUE(widgetOf(f.Tick)->isVisible());
}

TEST_F(ViewsTest, ASyncVisitsOnlyWhatChanged) {
  show();
  for (int i = 1; i <= 10000; ++i) place(i, (i % 100) * 150.0, (i / 100) * 210.0);
  views.syncAll();
  const std::uint64_t before = views.visits();
  views.syncAll();
  views.syncAll();
  EXPECT_EQ(views.visits(), before);  // nothing changed: no control visited
  // One symbol placed and the caret moved: two controls.
  f.Symbols.Unload(10000);
  views.syncAll();
  place(10000, 0, 0).Caption = "q";
  f.Caret.Left = 300;
  const std::uint64_t one = views.visits();
  views.syncAll();
  EXPECT_EQ(views.visits() - one, 2u);
  EXPECT_EQ(views.shown(f.Symbols[10000]).text, QString("q"));
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
  QTest::mouseClick(widgetOf(f.Page), Qt::LeftButton, Qt::ShiftModifier, QPoint(4, 6));
  QTest::mouseClick(widgetOf(f.Page), Qt::RightButton, Qt::NoModifier, QPoint(4, 6));
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

TEST_F(DesktopTest, PicturesThatAreNoPicturesAreRefused) {
  const std::string dir = ::testing::TempDir();
  const std::string good = dir + "/kel_good.gif", bad = dir + "/kel_bad.gif";
  QImage img(7, 5, QImage::Format_RGB32);
  img.fill(Qt::black);
  ASSERT_TRUE(img.save(QString::fromStdString(good), "PNG"));  // any format Qt reads
  std::ofstream(bad, std::ios::binary) << "GIF89a\x07\x00\x05\x00garbage";
  const std::optional<Picture> p = desktop.loadPicture(good);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->WidthPx, 7);
  EXPECT_EQ(p->HeightPx, 5);
  EXPECT_FALSE(desktop.loadPicture(bad));
  EXPECT_FALSE(desktop.loadPicture(dir + "/kel_missing.gif"));
}

}  // namespace
}  // namespace kel::qt
