// The widgets that draw the forms model, on a real X server without a window manager.
#include "platform/qt/views.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QTest>
#include <string>
#include <vector>

#include "platform/qt/fonts.h"
#include "tests/qt/test_time.h"
#include "tests/qt/views_support.h"

namespace kel::qt {
namespace {

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
    ASSERT_TRUE(waitExposed(widgetOf(f)));
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
  EXPECT_TRUE(waitFor([&] { return widgetOf(f)->geometry() == QRect(204, 134, 600, 300); }))
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
  ASSERT_TRUE(waitExposed(widgetOf(f)));
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

}  // namespace
}  // namespace kel::qt
