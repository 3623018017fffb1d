// What the widgets show is what the model holds after every sync, however the model was
// changed: random changes through the model on a page of ten thousand symbols, every
// widget compared with its control afterwards.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QImage>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/qt/fonts.h"
#include "platform/qt/views.h"
#include "platform/units.h"
#include "tests/qt/test_time.h"
#include "tests/qt/views_support.h"

namespace kel::qt {
namespace {

struct PlainGate : ModelGate {
  void enterModel() override { ++d; }
  void leaveModel() override { --d; }
  int depth() const override { return d; }
  int d = 0;
};

constexpr int kSymbols = 10000;
constexpr int kPictures = 200;

// A page with the program's kinds of controls: symbols and pictures in the page, a caret
// and a guide line above them, a box inside the page, a panel whose label is registered
// before the panel, and controls the backend does not paint.
struct PageForm : Form {
  PageForm()
      : Form("Page"), Symbols(symbolTemplate(), kSymbols), Pictures(Image("Image3"), kPictures) {
    Left = 600;
    Top = 600;
    Width = 15000 + 120;
    Height = 12000 + 565;
    Page.Width = 12000;
    Page.Height = 12000;
    Page.BackColor = kWhite;
    Symbols[0].Container = &Page;
    Pictures[0].Container = &Page;
    Pictures[0].Visible = false;
    Caret.Container = &Page;
    Caret.Width = 60;
    Caret.Height = 375;
    Guide.Container = &Page;
    PageBox.Container = &Page;
    PageBox.Left = 150;
    PageBox.Width = 1500;
    PageBox.Height = 300;
    PageBox.Visible = false;
    Box.Container = &Page;
    Box.Left = 3000;
    Box.Top = 3000;
    Box.Width = 3000;
    Box.Height = 3000;
    Box.Visible = false;
    BoxLabel.Container = &Box;
    BoxLabel.Caption = "in the box";
    BoxLabel.Width = 1500;
    BoxLabel.Height = 300;
    Panel.Left = 12000;
    Panel.Width = 3000;
    Panel.Height = 12000;
    Early.Container = &Panel;
    Early.Caption = "early";
    Early.Width = 1500;
    Early.Height = 300;
    Early.Visible = false;
    PanelBox.Container = &Panel;
    PanelBox.Top = 600;
    PanelBox.Width = 1500;
    PanelBox.Height = 300;
    Late.Container = &Panel;
    Late.Top = 1200;
    Late.Width = 1500;
    Late.Height = 300;
    Tick.Left = 12150;
    Tick.Top = 3000;
    Tick.Width = 1500;
    Tick.Height = 300;
    List.Left = 12150;
    List.Top = 4000;
    List.Width = 1500;
    List.Height = 1500;
    Mark.Left = 12150;
    Mark.Top = 6000;
    Mark.Width = 300;
    Mark.Height = 300;
    add(Page);
    add(PageBox);  // under the symbols
    add(Symbols);
    add(Pictures);
    add(Box);
    add(BoxLabel);
    add(Caret);
    add(Guide);
    add(Early);  // before the panel that holds it
    add(Panel);
    add(PanelBox);
    add(Late);  // above the panel's check box: a widget of its own
    add(Tick);
    add(List);
    add(Mark);
  }
  Frame Page{"Frame5"};
  CheckBox PageBox{"Check2"};
  ControlArray<Label> Symbols;
  ControlArray<Image> Pictures;
  Frame Box{"Box"};
  Label BoxLabel{"BoxLabel"};
  PictureBox Caret{"Picture1"};
  Line Guide{"Line4"};
  Label Early{"Early"};
  Frame Panel{"Frame6"};
  CheckBox PanelBox{"Check3"};
  Label Late{"Label16"};
  CheckBox Tick{"Check1"};
  ListBox List{"List1"};
  Shape Mark{"Shape2"};
};

// An image takes its picture's size, as the program's picture loading gives it.
void showPicture(Image& img, const Picture& pic) {
  img.Picture = pic;
  img.Width = pic.WidthPx * kTwipsPerPixel;
  img.Height = pic.HeightPx * kTwipsPerPixel;
}

QRect rectOf(const Control& c) {
  const int x = pixelOf(c.Left), y = pixelOf(c.Top);
  return QRect(x, y, std::clamp(pixelOf(c.Left + std::max(0.0, c.Width.get())) - x, 0, 16000),
               std::clamp(pixelOf(c.Top + std::max(0.0, c.Height.get())) - y, 0, 16000));
}

class ViewSyncProperty : public ::testing::Test {
 protected:
  ViewSyncProperty() : views(gate) {
    const std::string dir = ::testing::TempDir();
    for (int i = 0; i < 2; ++i) {
      QImage img(10 + 10 * i, 20, QImage::Format_RGB32);
      img.fill(i ? Qt::blue : Qt::green);
      pictures[i] = Picture{dir + "/kel_sync_" + std::to_string(i) + ".png", img.width(), 20};
      img.save(QString::fromStdString(pictures[i].Path), "PNG");
    }
  }
  ~ViewSyncProperty() override {
    views.dropForm(f);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  int pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
  double twips(int px) { return pick(px) * 15.0 + (pick(3) == 0 ? 7 : 0); }
  std::string caption() {
    static const char* const kTexts[] = {"x", "y", "+", "=", "sin", "&", " = ", ""};
    return kTexts[pick(8)];
  }
  Control* container() {
    Control* const kContainers[] = {&f.Page, &f.Page, &f.Box, nullptr};
    return kContainers[pick(4)];
  }

  void placeSymbol(int i) {
    Label& l = f.Symbols.Load(i);
    l.Caption = caption();
    l.Font.Size = pick(3) ? 8.25 : 12.0 + pick(20);
    l.Font.Bold = pick(4) == 0;
    l.Left = twips(800);
    l.Top = twips(800);
    l.Width = twips(30) + 15;
    l.Visible = pick(10) != 0;
  }

  // One change of the kind the program makes.
  void change() {
    const int i = 1 + pick(kSymbols);
    const int k = 1 + pick(kPictures);
    switch (pick(20)) {
      case 0:
      case 1:
        if (f.Symbols.IsLoaded(i)) {
          // Its widget goes with it, and its index may be loaded anew.
          known.erase(&f.Symbols[i]);
          f.Symbols.Unload(i);
        } else
          placeSymbol(i);
        break;
      case 2:
        if (f.Symbols.IsLoaded(i)) f.Symbols[i].Visible = !f.Symbols[i].Visible;
        break;
      case 3:
        if (f.Symbols.IsLoaded(i)) {
          f.Symbols[i].Left = twips(800);
          f.Symbols[i].Top = twips(800);
        }
        break;
      case 4:
        if (f.Symbols.IsLoaded(i)) {
          f.Symbols[i].Caption = caption();
          if (pick(2)) f.Symbols[i].Font.Size = 8.25 + pick(3) * 4;
          if (pick(4) == 0) f.Symbols[i].Opaque = !f.Symbols[i].Opaque;
        }
        break;
      case 5:
        if (f.Symbols.IsLoaded(i)) f.Symbols[i].Container = container();
        break;
      case 6:
        if (f.Symbols.IsLoaded(i)) f.Symbols[i].BackColor = pick(2) ? kWhite : 0xC0FFFF;
        break;
      case 7:
        if (!f.Pictures.IsLoaded(k)) {
          Image& img = f.Pictures.Load(k);
          img.Left = twips(800);
          img.Top = twips(800);
          img.Visible = true;
        }
        f.Pictures[k].Picture = pick(3) ? pictures[pick(2)] : Picture{};
        break;
      case 8:
        if (f.Pictures.IsLoaded(k)) {
          known.erase(&f.Pictures[k]);
          f.Pictures.Unload(k);
        }
        break;
      case 9:
        f.Box.Visible = !f.Box.Visible;
        break;
      case 10:
        f.Page.Visible = pick(4) != 0;
        break;
      case 11:
        f.Box.Left = twips(400);
        f.Box.Top = twips(400);
        break;
      case 12:
        // The caret blinks and follows the pointer.
        f.Caret.Visible = !f.Caret.Visible;
        f.Caret.Left = twips(800);
        f.Caret.Top = twips(800);
        break;
      case 13:
        f.Caret.Picture = pictures[pick(2)];
        f.Caret.Container = pick(4) ? &f.Page : &f.Box;
        // A picture box may hold controls too; then it hides them with it.
        f.BoxLabel.Container = pick(3) ? static_cast<Control*>(&f.Box) : &f.Caret;
        f.BoxLabel.Visible = pick(4) != 0;
        break;
      case 14:
        f.Early.Visible = !f.Early.Visible;
        f.Late.Visible = !f.Late.Visible;
        f.Late.Caption = caption();
        f.Panel.Visible = pick(3) != 0;
        break;
      case 15:
        f.Tick.Value = pick(2);
        f.Tick.Caption = caption();
        f.Tick.Visible = pick(5) != 0;
        break;
      case 16:
        f.List.AddItem(caption());
        if (pick(4) == 0) f.List.Clear();
        f.List.ListIndex = f.List.ListCount() > 0 ? pick(f.List.ListCount()) : -1;
        break;
      case 17:
        f.Guide.X1 = twips(800);
        f.Guide.Y1 = twips(800);
        f.Guide.X2 = twips(800);
        f.Guide.Y2 = twips(800);
        f.Guide.BorderColor = pick(2) ? kBlack : kRed;
        f.Guide.Visible = pick(4) != 0;
        break;
      case 18:
        f.Mark.FillColor = pick(2) ? kRed : kBlue;
        f.Mark.Filled = pick(2) == 0;
        f.Mark.Visible = !f.Mark.Visible;
        break;
      case 19:
        // A value that changes and changes back within one batch.
        if (f.Symbols.IsLoaded(i)) {
          const double left = f.Symbols[i].Left;
          f.Symbols[i].Left = left + 15;
          f.Symbols[i].Left = left;
        }
        break;
    }
  }

  QWidget* parentWidgetOf(Control* container) {
    return container ? ViewSync::widgetOf(*container) : views.existingView(f)->widget.data();
  }
  int layerOf(const Control& c) {
    for (std::size_t i = 0; i < f.layers().size(); ++i)
      if (f.layers()[i].control == &c || (c.Array && f.layers()[i].array == c.Array))
        return static_cast<int>(i);
    return -1;
  }

  // Every control against what its view shows. `known` holds the widget each loaded
  // control had, which must be the one it has now: no widget the model still has is made
  // again (items, painted by their container's widget, have none).
  void expectShowsTheModel() {
    std::set<QWidget*> parents;
    int checked = 0;
    f.forEachControl([&](Control& c) {
      const PaintedContent p = views.shown(c);
      QWidget* w = p.widget;
      const std::string name = c.Name + "(" + std::to_string(c.Index) + ")";
      auto was = known.find(&c);
      if (was != known.end()) {
        ASSERT_FALSE(was->second.isNull()) << name << ": its widget was deleted";
        EXPECT_EQ(w, was->second.data()) << name << ": its widget was made again";
      }
      if (w) known[&c] = w;
      if (!effectivelyVisible(c)) {
        EXPECT_FALSE(p.showing) << name << " is hidden but shows";
        return;
      }
      ASSERT_TRUE(p.showing) << name << " is visible but does not show";
      ++checked;
      itemsSeen += w == nullptr;
      EXPECT_EQ(p.parent, parentWidgetOf(c.Container)) << name;
      if (w) {
        EXPECT_TRUE(w->isEnabled()) << name;
      }
      parents.insert(p.parent);
      if (c.Kind != ControlKind::Line) {
        EXPECT_EQ(p.rect, rectOf(c)) << name;
      }
      switch (c.Kind) {
        case ControlKind::Label: {
          auto& l = static_cast<Label&>(c);
          EXPECT_EQ(p.text, QString::fromStdString(l.Caption)) << name;
          EXPECT_EQ(p.font, views.font(l.Font)) << name;
          EXPECT_EQ(p.back, qcolorFor(l.BackColor)) << name;
          EXPECT_EQ(p.fore, qcolorFor(l.ForeColor)) << name;
          EXPECT_EQ(p.opaque, l.Opaque.get()) << name;
          break;
        }
        case ControlKind::Image: {
          auto& img = static_cast<Image&>(c);
          EXPECT_EQ(p.pixmap.cacheKey(), views.pixmap(img.Picture->Path).cacheKey()) << name;
          break;
        }
        case ControlKind::PictureBox: {
          auto& b = static_cast<PictureBox&>(c);
          EXPECT_EQ(p.pixmap.cacheKey(), views.pixmap(b.Picture->Path).cacheKey()) << name;
          break;
        }
        case ControlKind::Frame:
          EXPECT_EQ(p.text, QString::fromStdString(static_cast<Frame&>(c).Caption)) << name;
          break;
        case ControlKind::Line: {
          auto& l = static_cast<Line&>(c);
          EXPECT_EQ(p.rect.topLeft() + p.a, QPoint(pixelOf(l.X1), pixelOf(l.Y1))) << name;
          EXPECT_EQ(p.rect.topLeft() + p.b, QPoint(pixelOf(l.X2), pixelOf(l.Y2))) << name;
          EXPECT_EQ(p.fore, qcolorFor(l.BorderColor)) << name;
          break;
        }
        case ControlKind::Shape: {
          auto& sh = static_cast<Shape&>(c);
          EXPECT_EQ(p.fill, qcolorFor(sh.FillColor)) << name;
          EXPECT_EQ(p.filled, sh.Filled.get()) << name;
          break;
        }
        case ControlKind::CheckBox: {
          auto& cb = static_cast<CheckBox&>(c);
          auto* box = static_cast<QCheckBox*>(w);
          EXPECT_EQ(box->isChecked(), cb.Value != 0) << name;
          EXPECT_EQ(box->text(), QString::fromStdString(cb.Caption)) << name;
          break;
        }
        case ControlKind::ListBox: {
          auto& lb = static_cast<ListBox&>(c);
          auto* list = static_cast<QListWidget*>(w);
          ASSERT_EQ(list->count(), lb.ListCount()) << name;
          for (int r = 0; r < list->count(); ++r)
            EXPECT_EQ(list->item(r)->text(),
                      QString::fromStdString(lb.Items[static_cast<std::size_t>(r)]))
                << name;
          EXPECT_EQ(list->currentRow(), lb.ListIndex.get()) << name;
          break;
        }
        default:
          break;
      }
    });
    EXPECT_GT(checked, 0);
    // Siblings are painted in layer order, elements of an array in index order, items
    // under the widgets.
    for (QWidget* parent : parents) {
      std::vector<std::pair<int, int>> keys;
      for (Control* c : views.paintOrder(parent))
        if (effectivelyVisible(*c)) keys.emplace_back(layerOf(*c), c->Array ? c->Index : 0);
      EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()))
          << "what a widget shows is out of order";
    }
  }

  PlainGate gate;
  ViewSync views;
  PageForm f;
  std::map<const Control*, QPointer<QWidget>> known;
  int itemsSeen = 0;
  Picture pictures[2];
  std::mt19937 rng{7};
};

TEST_F(ViewSyncProperty, WidgetsShowWhatTheModelHoldsAfterEverySync) {
  for (int i = 1; i <= kSymbols; ++i) placeSymbol(i);
  views.formView(f);
  f.Loaded = true;
  f.Visible = true;
  views.syncAll();
  ASSERT_TRUE(waitExposed(views.existingView(f)->widget.data()));
  expectShowsTheModel();
  for (int round = 0; round < 60 && !HasFailure(); ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    // Now and then the whole window is hidden for a while: its changes wait for it.
    const bool hideForm = round % 15 == 7;
    if (hideForm) {
      f.Visible = false;
      views.syncAll();
    }
    for (int n = 1 + pick(40); n > 0; --n) change();
    // Late in the run a widget shows under the symbols: from then on they need widgets
    // of their own to lie above it.
    if (round == 50) f.PageBox.Visible = true;
    if (hideForm) {
      views.syncAll();
      f.Visible = true;
    }
    views.syncAll();
    expectShowsTheModel();
  }
  EXPECT_GT(itemsSeen, 0);  // the page painted its symbols itself
}

// Where the window system delivers a press and where the model's hit test says it goes
// are one control, items and widgets alike (both desktops route the same way).
TEST_F(ViewSyncProperty, APressReachesTheControlTheHitTestNames) {
  // Whole pixels, so that twips and pixels name the same places; crowded, so that symbols,
  // pictures, the box and the caret lie over each other.
  auto px = [&](int n) { return pick(n) * 15.0; };
  std::vector<std::string> seen;
  const auto record = [&](Control& c) {
    c.MouseDown = [&seen, &c](int, int, double, double) {
      seen.push_back(c.Name + "(" + std::to_string(c.Index) + ")");
    };
  };
  for (int i = 1; i <= 300; ++i) {
    Label& l = f.Symbols.Load(i);
    l.Left = px(60);
    l.Top = px(60);
    l.Width = px(20) + 15;
    l.Height = px(20) + 15;
    l.Visible = pick(6) != 0;
    l.Container = pick(5) ? &f.Page : &f.Box;
  }
  for (int k = 1; k <= 20; ++k) {
    Image& img = f.Pictures.Load(k);
    img.Left = px(60);
    img.Top = px(60);
    img.Visible = true;
    showPicture(img, pictures[pick(2)]);
  }
  // One symbol larger than most of the page, under the others.
  f.Symbols[1].Left = 0.0;
  f.Symbols[1].Top = 0.0;
  f.Symbols[1].Width = 9000.0;
  f.Symbols[1].Height = 9000.0;
  f.Symbols[1].Container = &f.Page;
  f.Box.Left = px(40);
  f.Box.Top = px(40);
  f.Box.Width = px(40) + 15;
  f.Box.Height = px(40) + 15;
  f.Box.Visible = true;
  f.Caret.Left = px(60);
  f.Caret.Top = px(60);
  f.Caret.Visible = true;
  f.forEachControl(record);
  f.Early.Visible = true;
  views.formView(f);
  f.Loaded = true;
  f.Visible = true;
  views.syncAll();
  QWidget* form = views.existingView(f)->widget.data();
  ASSERT_TRUE(waitExposed(form));
  for (int round = 0; round < 6; ++round) {
    for (int q = 0; q < 60; ++q) {
      // Mostly over the crowded corner, now and then over the panel.
      const QPoint at = pick(5)   ? QPoint(pick(90), pick(90))
                        : pick(2) ? QPoint(pick(700), pick(700))
                                  : QPoint(800 + pick(200), pick(120));
      Control* expected = f.hitTest(at.x() * 15.0, at.y() * 15.0);
      seen.clear();
      QTest::mousePress(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
      QTest::mouseRelease(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
      const std::string want =
          expected ? expected->Name + "(" + std::to_string(expected->Index) + ")" : "nothing";
      // Once, and to that control only.
      ASSERT_EQ(seen.empty() ? "nothing" : seen.front(), want)
          << "round " << round << " at " << at.x() << ", " << at.y();
      ASSERT_LE(seen.size(), 1u) << "round " << round << " at " << at.x() << ", " << at.y();
    }
    // Then some of them move, hide or show, and the caret blinks.
    for (int n = 0; n < 30; ++n) {
      Label& l = f.Symbols[1 + pick(300)];
      l.Left = px(60);
      l.Visible = !l.Visible;
    }
    f.Caret.Visible = !f.Caret.Visible;
    f.Caret.Left = px(60);
    views.syncAll();
  }
}

// What the screen shows after many small repaints (the caret moving and blinking over
// crowded symbols, symbols hiding and showing) is what the page shows painted afresh: a
// repaint leaves out only what lies wholly under opaque items.
TEST_F(ViewSyncProperty, SmallRepaintsShowWhatAFullPaintShows) {
  auto px = [&](int n) { return pick(n) * 15.0; };
  for (int i = 1; i <= 400; ++i) {
    Label& l = f.Symbols.Load(i);
    l.Caption = caption();
    l.Left = px(40) * 2;
    l.Top = px(20) * 3;
    l.Width = px(16) + 15;
    l.Height = px(20) + 15;
    l.Opaque = pick(4) != 0;
    l.BackColor = pick(2) ? kWhite : 0xC0FFFF;
    l.Visible = true;
  }
  for (int k = 1; k <= 20; ++k) {
    Image& img = f.Pictures.Load(k);
    img.Left = px(80);
    img.Top = px(60);
    showPicture(img, pictures[pick(2)]);
    img.Visible = true;
  }
  f.Box.Visible = false;
  f.PageBox.Visible = false;
  f.Caret.Picture = pictures[0];
  f.Caret.Width = 45;
  f.Caret.Height = 375;
  views.formView(f);
  f.Loaded = true;
  f.Visible = true;
  views.syncAll();
  QWidget* form = views.existingView(f)->widget.data();
  ASSERT_TRUE(waitExposed(form));
  QWidget* page = ViewSync::widgetOf(f.Page);
  const QRect area(0, 0, 100, 80);  // the crowded corner, in the page
  for (int step = 0; step < 120; ++step) {
    f.Caret.Left = px(90);
    f.Caret.Top = px(70);
    if (step % 7 == 0) f.Caret.Visible = !f.Caret.Visible;
    if (step % 5 == 0) {
      Label& l = f.Symbols[1 + pick(400)];
      l.Visible = !l.Visible;
    }
    views.syncAll();
    QCoreApplication::processEvents();
  }
  QGuiApplication::sync();
  QCoreApplication::processEvents();
  const QPoint at = page->mapTo(form, area.topLeft());
  const QImage onScreen =
      QGuiApplication::primaryScreen()
          ->grabWindow(form->winId(), at.x(), at.y(), area.width(), area.height())
          .toImage()
          .convertToFormat(QImage::Format_RGB32);
  const QImage fresh = page->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(onScreen.size(), fresh.size());
  int differ = 0;
  for (int y = 0; y < fresh.height(); ++y)
    for (int x = 0; x < fresh.width(); ++x) differ += onScreen.pixel(x, y) != fresh.pixel(x, y);
  EXPECT_EQ(differ, 0) << "pixels the small repaints left otherwise than a full paint";
}

}  // namespace
}  // namespace kel::qt
