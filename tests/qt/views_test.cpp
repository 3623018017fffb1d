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
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <vector>

#include "platform/qt/fonts.h"
#include "platform/qt/qt_desktop.h"
#include "platform/sim/sim_desktop.h"

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

// (QTRY_* report a failure to QtTest alone and end the test quietly: tests here wait with
// QTest::qWaitFor and check with EXPECT.)

// Real pointer events come to the form's window, as these do.
QWindow* windowOf(Form& f) { return widgetOf(f)->windowHandle(); }

// A point of a control in its form's client area (it may have no widget of its own: an
// item its container's widget paints).
QPoint inForm(Form& f, Control& c, QPoint p) {
  const PaintedContent s = ViewSync::shown(c);
  if (s.widget) return s.widget->mapTo(widgetOf(f), p);
  return s.parent->mapTo(widgetOf(f), s.rect.topLeft() + p);
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
  EXPECT_TRUE(QTest::qWaitFor([&] { return widgetOf(f)->geometry() == QRect(204, 134, 600, 300); }))
      << widgetOf(f)->geometry().x() << "," << widgetOf(f)->geometry().y();
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
    // Through the window, as real pointer events come.
    QWindow* window = w->window()->windowHandle();
    const QPoint at = w->mapTo(w->window(), p);
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at);
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
  const QPoint at = inForm(f, f.Symbols[3], QPoint(4, 6));
  QTest::mouseClick(windowOf(f), Qt::LeftButton, Qt::ShiftModifier, at);
  QTest::mouseClick(windowOf(f), Qt::RightButton, Qt::NoModifier, at);
  EXPECT_EQ(events, (std::vector<std::string>{"down 3 1 1 60 90", "up 3 1", "click 3",
                                              "down 3 2 0 60 90", "up 3 2"}));
}

TEST_F(ViewsTest, ADoubleClickIsTheSecondPressOnlyWhereThereIsADoubleClickEvent) {
  show();
  place(1, 300, 300);
  views.syncAll();
  std::vector<std::string> events;
  f.Page.MouseDown = [&](int, int, double, double) { events.push_back("page down"); };
  f.Page.MouseUp = [&](int, int, double, double) { events.push_back("page up"); };
  f.Page.Click = [&] { events.push_back("page click"); };
  f.Page.DblClick = [&] { events.push_back("page dblclick"); };
  f.Symbols.MouseDown = [&](int, int, int, double, double) { events.push_back("sym down"); };
  f.Symbols.MouseUp = [&](int, int, int, double, double) { events.push_back("sym up"); };
  f.Symbols.Click = [&](int) { events.push_back("sym click"); };
  // On the symbol, which has no double-click event, inside the page, which has one: the
  // symbol alone, pressed twice; the page's own double click stands for its second press.
  QTest::mouseDClick(windowOf(f), Qt::LeftButton, Qt::NoModifier,
                     inForm(f, f.Symbols[1], QPoint(3, 3)));
  QTest::mouseDClick(windowOf(f), Qt::LeftButton, Qt::NoModifier,
                     inForm(f, f.Page, QPoint(150, 150)));
  EXPECT_EQ(events, (std::vector<std::string>{"sym down", "sym up", "sym click", "sym down",
                                              "sym up", "sym click", "page down", "page up",
                                              "page click", "page dblclick", "page up"}));
}

TEST_F(ViewsTest, ACheckBoxClickSetsTheValueBeforeItsClickRuns) {
  show();
  int seen = -1;
  f.Tick.Click = [&] { seen = f.Tick.Value; };
  QTest::mouseClick(widgetOf(f.Tick), Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
  EXPECT_EQ(f.Tick.Value, 1);
  EXPECT_EQ(seen, 1);
}

// A page of symbols as the program's is: text symbols, then picture symbols above them.
struct Sheet : Form {
  static Label textTemplate() {
    Label l("Text");
    l.Font = Font{"Arial", 24, false, 0};
    l.BackColor = kWhite;
    l.ForeColor = kBlack;
    l.Visible = false;
    return l;
  }
  static Image pictureTemplate() {
    Image i("Picture");
    i.Visible = false;
    return i;
  }
  Sheet() : Form("Sheet"), Texts(textTemplate(), 100), Pictures(pictureTemplate(), 100) {
    Left = 1500;
    Top = 1500;
    Width = 3000 + 120;
    Height = 1500 + 565;
    Page.Width = 3000;
    Page.Height = 1500;
    Page.BackColor = kWhite;
    Texts[0].Container = &Page;
    Pictures[0].Container = &Page;
    add(Page);
    add(Texts);
    add(Pictures);
  }
  // A picture at its own size (pixels), as the placer puts one.
  Image& picture(int i, const std::string& file, double left, double top, int w, int h) {
    Image& p = Pictures.Load(i);
    p.Picture = kel::Picture{std::string(KEL_SOURCE_DIR) + "/Simbol/" + file, w, h};
    p.Left = left;
    p.Top = top;
    p.Width = 15.0 * w;
    p.Height = 15.0 * h;
    p.Visible = true;
    return p;
  }
  Label& text(int i, const std::string& caption, double left, double width) {
    Label& l = Texts.Load(i);
    l.Caption = caption;
    l.Left = left;
    l.Top = 300;
    l.Width = width;
    l.Height = 540;
    l.Visible = true;
    return l;
  }
  Frame Page{"Page"};
  ControlArray<Label> Texts;
  ControlArray<Image> Pictures;
};

// The dark runs along a row of a picture, between two columns.
int darkRuns(const QImage& img, int y, int x0, int x1) {
  int runs = 0;
  bool in = false;
  for (int x = x0; x <= x1; ++x) {
    const bool dark = qGray(img.pixel(x, y)) < 128;
    if (dark && !in) ++runs;
    in = dark;
  }
  return runs;
}

// A symbol's white box covers the page, never the ink of another symbol: a fraction bar
// under the brackets and the root placed after it, a vector's arrow beside the next one, a
// letter beside a later one whose box overlaps it.
TEST(SymbolPainting, AWhiteBoxNeverCutsTheInkOfAnotherSymbol) {
  TestGate gate;
  ViewSync views(gate);
  gate.views = &views;
  Sheet f;
  // The bar: 100 px wide, 3 high, at page row 60; the pictures placed after it stand over it.
  Image& bar = f.picture(1, "bar1.gif", 150, 900, 30, 3);
  bar.Stretch = true;
  bar.Width = 1500;
  bar.Height = 45;
  f.picture(2, "oskoba.gif", 300, 630, 13, 36);  // from row 42: across the bar
  f.picture(3, "koren.gif", 750, 630, 24, 36);
  f.picture(4, "zskoba.gif", 1350, 630, 13, 36);  // reaches past the bar's end
  // A vector's arrow (over the symbol before it) and the next symbol's picture beside it.
  f.picture(5, "1015.gif", 150, 1200, 22, 10);       // at (10, 80)
  f.picture(6, "plusminus.gif", 390, 1080, 20, 24);  // at (26, 72): its box over the arrow
  // Two letters whose boxes overlap: the later one's white must not take the first's ink.
  f.text(1, "W", 2100, 600);
  f.text(2, "o", 2400, 450);
  views.formView(f);
  f.Loaded = true;
  f.Visible = true;
  views.syncAll();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(f)));
  const QImage page = widgetOf(f.Page)->grab().toImage();
  for (int y = 60; y <= 62; ++y) EXPECT_EQ(darkRuns(page, y, 10, 109), 1) << "bar row " << y;
  // The arrow and the first letter show whole: every pixel of their ink alone is dark with
  // their neighbours beside them.
  const QRect arrow(10, 80, 22, 10);
  const QRect letter(140, 20, 40, 36);
  f.Pictures[6].Visible = false;
  f.Texts[2].Visible = false;
  views.syncAll();
  const QImage alone = widgetOf(f.Page)->grab().toImage();
  for (const QRect& r : {arrow, letter}) {
    int ink = 0, lost = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) {
        if (qGray(alone.pixel(x, y)) >= 128) continue;
        ++ink;
        lost += qGray(page.pixel(x, y)) >= 128;
      }
    EXPECT_GT(ink, 20) << r.x();
    EXPECT_EQ(lost, 0) << r.x();
  }
  // Alone on the page a picture still shows as it is, its white on the white page.
  EXPECT_EQ(alone.pixelColor(12, 50), QColor(Qt::white));
  views.dropForm(f);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  // Both changes reach the window before the backend looks at it.
  w->setWindowState(Qt::WindowMinimized);
  w->setWindowState(Qt::WindowNoState);
  static_cast<void>(QTest::qWaitFor([&] { return states.size() >= 3; }, 10000));
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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  w->close();
  EXPECT_TRUE(QTest::qWaitFor([&] { return unloads > 0; }));
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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(second));
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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(f)));
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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(f)));
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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(f)));
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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(f)));
  static_cast<void>(
      QTest::qWaitFor([&] { return QGuiApplication::focusWindow() != nullptr; }, 10000));
  QWindow* focused = QGuiApplication::focusWindow();
  ASSERT_EQ(focused, widgetOf(f)->windowHandle());
  desktop.run([&] {
    desktop.showForm(pad);
    desktop.makeTopmost(pad);
  });
  QWidget* w = widgetOf(pad);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(f)));
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
  EXPECT_TRUE(QTest::qWaitFor([&] { return moves > 0; }, 10000));
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
  // The X server answers in its own time; a test waits for it, ten seconds at most (a
  // loaded machine is slow, and an answer that comes ends the wait).
  auto eventually = [](const std::function<bool()>& condition) {
    for (int i = 0; i < 1000 && !condition(); ++i) QTest::qWait(10);
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

// --- both desktops route the pointer alike -----------------------------------------------

// A panel holding a symbol, a picture, a shape over the symbol's right half, a line across
// the picture and a disabled label; a hidden frame whose visible child would lie over the
// picture; a strip that runs past the client area's right edge. Every handler says what ran.
struct RoutingForm : Form {
  explicit RoutingForm(std::vector<std::string>& log) : Form("R") {
    Left = 1500;  // client area at (104, 134) px, 400 x 300
    Top = 1505;
    Width = 6000 + 120;
    Height = 4500 + 565;
    place(Panel, nullptr, 750, 750, 3000, 2250);  // px 50..250, 50..200
    place(Sym, &Panel, 150, 150, 900, 600);       // px 60..120, 60..100
    place(Mark, &Panel, 600, 150, 450, 600);      // px 90..120, 60..100
    place(Pic, &Panel, 1500, 150, 900, 900);      // px 150..210, 60..120
    place(Off, &Panel, 150, 1200, 900, 600);      // px 60..120, 130..170
    place(Hid, nullptr, 2250, 750, 1500, 1500);   // px 150..250, 50..150
    place(HidSym, &Hid, 0, 0, 1500, 1500);
    place(Strip, nullptr, 5250, 3750, 1500, 450);  // px 350..450, 250..280
    Rule.Container = &Panel;
    Rule.X1 = 1500;
    Rule.Y1 = 600;
    Rule.X2 = 2400;
    Rule.Y2 = 600;  // px y 90 from x 150 to 210
    Off.Enabled = false;
    Hid.Visible = false;
    for (Control* c : std::initializer_list<Control*>{&Panel, &Sym, &Mark, &Pic, &Rule, &Off, &Hid,
                                                      &HidSym, &Strip}) {
      add(*c);
      const std::string name = c->Name;
      auto say = [&log, name](const char* what) {
        return [&log, name, what](int b, int s, double x, double y) {
          log.push_back(name + " " + what + " " + std::to_string(b) + " " + std::to_string(s) +
                        " " + std::to_string(std::lround(x)) + " " +
                        std::to_string(std::lround(y)));
        };
      };
      c->MouseDown = say("down");
      c->MouseMove = say("move");
      c->MouseUp = say("up");
      c->Click = [&log, name] { log.push_back(name + " click"); };
    }
    // The bare form has events of its own, in its client twips.
    auto bare = [&log](const char* what) {
      return [&log, what](int b, int s, double x, double y) {
        log.push_back(std::string("form ") + what + " " + std::to_string(b) + " " +
                      std::to_string(s) + " " + std::to_string(std::lround(x)) + " " +
                      std::to_string(std::lround(y)));
      };
    };
    MouseDown = bare("down");
    MouseMove = bare("move");
    MouseUp = bare("up");
    Click = [&log] { log.push_back("form click"); };
  }
  static void place(Control& c, Control* in, double l, double t, double w, double h) {
    c.Container = in;
    c.Left = l;
    c.Top = t;
    c.Width = w;
    c.Height = h;
  }
  Frame Panel{"Panel"};
  Label Sym{"Sym"};
  Shape Mark{"Mark"};
  Image Pic{"Pic"};
  Line Rule{"Rule"};
  Label Off{"Off"};
  Frame Hid{"Hid"};
  Label HidSym{"HidSym"};
  Label Strip{"Strip"};
};

struct PointerStep {
  enum Kind { Move, Down, Up } kind;
  int x, y;  // client pixels
  Qt::MouseButton button = Qt::LeftButton;
};

// The same pointer steps on the headless desktop and on the real one, each logging what
// the form's handlers got.
void routeOnBoth(const std::vector<PointerStep>& steps, bool capture,
                 std::vector<std::string>& simLog, std::vector<std::string>& qtLog) {
  using S = PointerStep;
  {
    SimClock clock;
    SimDesktop sim(clock);
    RoutingForm f(simLog);
    f.CapturesMouse = capture;
    sim.showForm(f);
    const int vkOf[] = {0, vk::LButton, vk::RButton};
    for (const PointerStep& s : steps) {
      const int vkey = vkOf[s.button == Qt::LeftButton ? 1 : 2];
      if (s.kind == S::Move) sim.userMovePointer(104 + s.x, 134 + s.y);
      if (s.kind == S::Down) sim.userButtonDown(vkey);
      if (s.kind == S::Up) sim.userButtonUp(vkey);
    }
  }
  TestGate gate;
  ViewSync views(gate);
  gate.views = &views;
  RoutingForm f(qtLog);
  f.CapturesMouse = capture;
  views.formView(f);
  f.Loaded = true;
  f.Visible = true;
  views.syncAll();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(f)));
  for (const PointerStep& s : steps) {
    if (s.kind == S::Move) QTest::mouseMove(windowOf(f), QPoint(s.x, s.y));
    if (s.kind == S::Down) QTest::mousePress(windowOf(f), s.button, Qt::NoModifier, {s.x, s.y});
    if (s.kind == S::Up) QTest::mouseRelease(windowOf(f), s.button, Qt::NoModifier, {s.x, s.y});
  }
  views.dropForm(f);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(MouseRouting, TheRealDesktopRunsTheHandlersTheSimRuns) {
  using S = PointerStep;
  std::vector<PointerStep> steps;
  auto pressAt = [&](int x, int y, Qt::MouseButton b = Qt::LeftButton) {
    steps.push_back({S::Move, x, y});
    steps.push_back({S::Down, x, y, b});
    steps.push_back({S::Move, x + 2, y + 1});
    steps.push_back({S::Up, x + 2, y + 1, b});
  };
  pressAt(20, 20);    // the bare form
  pressAt(230, 180);  // the panel
  pressAt(70, 70);    // the symbol
  pressAt(70, 70, Qt::RightButton);
  pressAt(100, 70);   // the symbol under the shape
  pressAt(160, 70);   // the picture
  pressAt(170, 90);   // the picture under the line
  pressAt(200, 110);  // the picture under the hidden frame
  pressAt(80, 150);   // the disabled label: nobody, not its panel either
  pressAt(380, 260);  // the strip
  // A press on the symbol let go over the picture; one dragged out of the client area,
  // over where the strip runs on.
  steps.insert(steps.end(), {{S::Move, 65, 65},
                             {S::Down, 65, 65},
                             {S::Move, 165, 65},
                             {S::Up, 165, 65},
                             {S::Move, 65, 65},
                             {S::Down, 65, 65},
                             {S::Move, 420, 260},
                             {S::Up, 420, 260}});

  std::vector<std::string> simLog, qtLog;
  routeOnBoth(steps, false, simLog, qtLog);
  EXPECT_EQ(qtLog, simLog);
  // What the sim does is what the forms model says: the innermost visible control alone.
  const auto ran = [&](const std::string& name) {
    return std::count_if(simLog.begin(), simLog.end(),
                         [&](const std::string& e) { return e.rfind(name + " ", 0) == 0; });
  };
  // A press is a move, a down, a move, an up and, with the left button, a click.
  EXPECT_EQ(ran("Panel"), 5);  // its own press only
  EXPECT_EQ(ran("Sym"), 5 + 4 + 5 + 2 + 2);
  EXPECT_EQ(ran("Pic"), 3 * 5 + 3);
  EXPECT_EQ(ran("Strip"), 5);
  // The bare form: its own press, and the moves between the others that cross it (never
  // over the disabled label, nor outside the client area).
  EXPECT_GE(ran("form"), 5);
  EXPECT_NE(std::find(simLog.begin(), simLog.end(), "form down 1 0 300 300"), simLog.end());
  EXPECT_NE(std::find(simLog.begin(), simLog.end(), "form click"), simLog.end());
  for (const char* none : {"Mark", "Rule", "Off", "Hid", "HidSym"}) EXPECT_EQ(ran(none), 0) << none;
}

// A window that captures the mouse: from a press until the release, the pressed control
// gets every move and the release, in its own twips, inside the window or not; a click
// needs the release over it. The same on both desktops.
TEST(MouseRouting, AWindowThatCapturesTheMouseGivesThePressedControlEverything) {
  using S = PointerStep;
  const std::vector<PointerStep> steps = {
      {S::Move, 65, 65},   {S::Down, 65, 65},  {S::Move, 165, 65},  // onto the picture
      {S::Move, 420, 260},                                          // off the window
      {S::Up, 420, 260},   {S::Move, 165, 65},                      // the picture's own
      {S::Move, 70, 70},   {S::Down, 70, 70},  {S::Move, 75, 72},  {S::Up, 75, 72},
  };
  std::vector<std::string> simLog, qtLog;
  routeOnBoth(steps, true, simLog, qtLog);
  EXPECT_EQ(qtLog, simLog);
  // The symbol at 60, 60 px in the client area: 65, 65 is 75, 75 twips into it.
  const std::vector<std::string> expected = {"Sym move 0 0 75 75",
                                             "Sym down 1 0 75 75",
                                             "Sym move 1 0 1575 75",
                                             "Sym move 1 0 5400 3000",
                                             "Sym up 1 0 5400 3000",
                                             "Pic move 0 0 225 75",
                                             "Sym move 0 0 150 150",
                                             "Sym down 1 0 150 150",
                                             "Sym move 1 0 225 180",
                                             "Sym up 1 0 225 180",
                                             "Sym click"};
  EXPECT_EQ(simLog, expected);
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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(f)));
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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(pop)));
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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(pop)));
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
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widgetOf(pop)));
  QTest::mouseMove(windowOf(pop), QPoint(4, 6));
  QTest::mouseMove(windowOf(pop), QPoint(40, 30));  // over the button
  EXPECT_EQ(log, (std::vector<std::string>{"move 60,90", "button"}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return widgetOf(pop)->isActiveWindow(); }, 10000));
  desktop.run([&] { desktop.bringToFront(f); });
  EXPECT_TRUE(QTest::qWaitFor([&] { return log.size() == 3; }, 10000));
  EXPECT_EQ(log.back(), "lost focus");
  desktop.run([&] { desktop.unloadForm(pop); });
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace kel::qt
