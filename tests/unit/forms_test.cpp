#include "platform/forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/sim/sim_desktop.h"

namespace kel {
namespace {

TEST(ControlArray, NewElementsAreHiddenCopiesOfTheTemplate) {
  Label t("Label3");
  t.Caption = "rrr";
  t.Font = Font{"Arial", 8.25, false, 204};
  t.Visible = true;
  ControlArray<Label> a(t, 10);
  Label& e = a.Load(3);
  EXPECT_EQ(e.Caption, "rrr");
  EXPECT_EQ(e.Font.Charset, 204);
  EXPECT_EQ(e.Index, 3);
  EXPECT_FALSE(e.Visible);
  EXPECT_TRUE(a.IsLoaded(3));
  EXPECT_FALSE(a.IsLoaded(2));
  EXPECT_THROW(a[2], std::out_of_range);
  EXPECT_THROW(a.Load(3), std::logic_error);
  EXPECT_THROW(a.Load(11), std::out_of_range);
  EXPECT_THROW(a.Load(0), std::out_of_range);
  a.Unload(3);
  EXPECT_FALSE(a.IsLoaded(3));
  EXPECT_EQ(a.UBound(), 0);
}

TEST(ControlArray, ElementEventsReachTheArrayWithTheirIndex) {
  ControlArray<Image> a(Image("Image3"), 5);
  int seen = -1;
  double seenX = 0;
  a.MouseDown = [&](int index, int, int, double x, double) {
    seen = index;
    seenX = x;
  };
  a.Load(2).MouseDown(1, 0, 150, 0);
  EXPECT_EQ(seen, 2);
  EXPECT_EQ(seenX, 150);
}

TEST(Form, HitTestFollowsTheStackingOrder) {
  Form f("F");
  f.Width = 3000 + 120;
  f.Height = 3000 + 565;
  Frame page("page");
  page.Left = 0;
  page.Top = 0;
  page.Width = 2000;
  page.Height = 2000;
  Label symbol("sym");
  symbol.Container = &page;
  symbol.Left = 100;
  symbol.Top = 0;
  symbol.Width = 300;
  symbol.Height = 300;
  Label border("border");
  border.Left = 0;
  border.Top = 0;
  border.Width = 3000;
  border.Height = 150;
  f.add(page);
  f.add(symbol);
  f.add(border);
  EXPECT_EQ(f.hitTest(200, 100), &border);  // the border lies above the page's symbol
  EXPECT_EQ(f.hitTest(200, 200), &symbol);  // a child above its container
  EXPECT_EQ(f.hitTest(1000, 1000), &page);
  EXPECT_EQ(f.hitTest(2500, 1000), nullptr);
  symbol.Left = 1900;  // a child is clipped by its container
  EXPECT_EQ(f.hitTest(2050, 200), nullptr);
  border.Visible = false;
  page.Visible = false;
  EXPECT_EQ(f.hitTest(1950, 200), nullptr);
}

// The stacking rule stated directly: among the visible controls under the point (inside
// every container's rectangle), the greatest by the registration ordinals of its chain of
// containers, read from the outermost down.
Control* topmostByDefinition(const Form& f, double x, double y) {
  std::map<const Control*, int> ordinal;
  int n = 0;
  f.forEachControl([&](Control& c) { ordinal[&c] = n++; });
  Control* best = nullptr;
  std::vector<int> bestKey;
  f.forEachControl([&](Control& c) {
    if (!effectivelyVisible(c) || c.Kind == ControlKind::Line || c.Kind == ControlKind::Shape)
      return;
    std::vector<int> key;
    for (const Control* p = &c; p; p = p->Container) {
      double l, t;
      absolutePosition(*p, l, t);
      if (x < l || y < t || x >= l + p->Width || y >= t + p->Height) return;
      auto it = ordinal.find(p);
      key.insert(key.begin(), it == ordinal.end() ? -1 : it->second);
    }
    if (!best || bestKey < key) {
      best = &c;
      bestKey = std::move(key);
    }
  });
  return best;
}

// The shown element of index 1 or above with the highest index whose own place holds the
// point, as the caret hands an event to the symbol under it.
template <class C>
Control* elementByDefinition(ControlArray<C>& a, double x, double y) {
  for (int k = a.UBound(); k >= 1; --k) {
    if (!a.IsLoaded(k)) continue;
    C& e = a[k];
    if (e.Visible && x >= e.Left && y >= e.Top && x < e.Left + e.Width && y < e.Top + e.Height)
      return &e;
  }
  return nullptr;
}

// Frames nested three deep, some registered after the controls they hold, arrays whose
// elements sit in different containers, shapes and lines, all crowded into a small place.
struct CrowdedForm : Form {
  CrowdedForm() : Form("F"), Symbols(Label("Symbols"), 200), Pictures(Image("Pictures"), 50) {
    add(Outer);
    add(Pictures);
    add(Middle);
    add(Symbols);
    add(Mark);
    add(Guide);
    add(Inner);  // after some of the controls it will hold
    add(Top);
  }
  Frame Outer{"Outer"}, Middle{"Middle"}, Inner{"Inner"};
  ControlArray<Label> Symbols;
  ControlArray<Image> Pictures;
  Shape Mark{"Mark"};
  Line Guide{"Guide"};
  Label Top{"Top"};
};

TEST(Form, HitTestAndTheTopmostElementAgreeWithTheirRulesOnRandomLayouts) {
  std::mt19937 rng(11);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  // Whole and fractional twips, so that points fall on edges as often as inside.
  auto coord = [&] { return pick(40) * 15.0 + (pick(4) == 0 ? 7.5 : 0.0); };
  for (int layout = 0; layout < 40; ++layout) {
    CrowdedForm f;
    std::vector<Control*> containers{nullptr, &f.Outer, &f.Middle, &f.Inner};
    auto place = [&](Control& c) {
      c.Left = coord();
      c.Top = coord();
      c.Width = coord();
      c.Height = coord();
      c.Visible = pick(5) != 0;
    };
    // Containers nest without loops: Inner in Middle in Outer, each possibly at the top.
    f.Middle.Container = pick(3) ? &f.Outer : nullptr;
    f.Inner.Container = pick(3) ? &f.Middle : nullptr;
    for (Control* c : {static_cast<Control*>(&f.Outer), static_cast<Control*>(&f.Middle),
                       static_cast<Control*>(&f.Inner), static_cast<Control*>(&f.Mark),
                       static_cast<Control*>(&f.Guide), static_cast<Control*>(&f.Top)})
      place(*c);
    f.Mark.Container = containers[static_cast<size_t>(pick(4))];
    f.Top.Container = containers[static_cast<size_t>(pick(2))];
    // Enough symbols that the hit test keeps several runs of siblings.
    for (int i = 1; i <= 150; ++i)
      if (pick(3) != 0) place(f.Symbols.Load(i));
    for (int step = 0; step < 60; ++step) {
      // Change the structure and the places between the queries, as the program does.
      const int what = pick(6);
      if (what == 0) {
        const int i = 1 + pick(200);
        if (f.Symbols.IsLoaded(i))
          f.Symbols.Unload(i);
        else
          place(f.Symbols.Load(i));
      } else if (what == 1) {
        const int i = 1 + pick(50);
        if (!f.Pictures.IsLoaded(i)) place(f.Pictures.Load(i));
        f.Pictures[i].Container = containers[static_cast<size_t>(pick(4))];
      } else if (what == 2 && f.Symbols.UBound() > 0) {
        const int i = 1 + pick(f.Symbols.UBound());
        if (f.Symbols.IsLoaded(i))
          f.Symbols[i].Container = containers[static_cast<size_t>(pick(4))];
      } else if (what == 3) {
        place(*containers[static_cast<size_t>(1 + pick(3))]);
      } else if (what == 4) {
        f.Symbols[0].Visible = pick(2) == 0;  // the template is a control too
        f.Symbols[0].Container = containers[static_cast<size_t>(pick(4))];
      } else {
        // Symbols moved, resized, shown and hidden where they are: no structure changes.
        for (int k = 0; k < 8 && f.Symbols.UBound() > 0; ++k) {
          const int i = 1 + pick(f.Symbols.UBound());
          if (f.Symbols.IsLoaded(i)) place(f.Symbols[i]);
        }
      }
      for (int q = 0; q < 20; ++q) {
        const double x = coord(), y = coord();
        ASSERT_EQ(f.hitTest(x, y), topmostByDefinition(f, x, y))
            << "layout " << layout << " step " << step << " at " << x << ", " << y;
        ASSERT_EQ(f.topmostElement(f.Symbols, 1, x, y), elementByDefinition(f.Symbols, x, y))
            << "layout " << layout << " step " << step << " at " << x << ", " << y;
        ASSERT_EQ(f.topmostElement(f.Pictures, 1, x, y), elementByDefinition(f.Pictures, x, y))
            << "layout " << layout << " step " << step << " at " << x << ", " << y;
      }
    }
  }
}

// A page of symbols typed in a line: a pointer event looks only at the few of them near
// it, so what it knows of their places must follow every move, resize, show and hide.
TEST(Form, HitTestFollowsSymbolsThatMoveWithoutTheStructureChanging) {
  CrowdedForm f;
  for (int i = 1; i <= 200; ++i) {
    Label& s = f.Symbols.Load(i);
    s.Left = 15.0 * i;
    s.Top = 150;
    s.Width = 15;
    s.Height = 300;
    s.Visible = true;
  }
  ASSERT_EQ(f.hitTest(15.0 * 70 + 5, 200), &f.Symbols[70]);
  ASSERT_EQ(f.hitTest(4000, 6000), nullptr);
  struct Step {
    const char* what;
    std::function<void(Label&)> change;
    double x, y;
    bool hit;
  };
  const std::vector<Step> steps = {
      {"moved far off", [](Label& s) { s.Left = 4000, s.Top = 6000; }, 4005, 6005, true},
      {"moved back", [](Label& s) { s.Left = 15.0 * 70, s.Top = 150; }, 4005, 6005, false},
      {"grown", [](Label& s) { s.Width = 9000; }, 8000, 200, true},
      {"hidden", [](Label& s) { s.Visible = false; }, 8000, 200, false},
      {"shown", [](Label& s) { s.Visible = true; }, 8000, 200, true},
      {"sent above the page", [](Label& s) { s.Top = -150000; }, 8000, 200, false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.change(f.Symbols[70]);
    EXPECT_EQ(f.hitTest(step.x, step.y), step.hit ? &f.Symbols[70] : nullptr);
    EXPECT_EQ(f.hitTest(step.x, step.y), topmostByDefinition(f, step.x, step.y));
  }
}

TEST(Form, AContainerOfAnotherFormStillHidesAndClipsWhatItHolds) {
  Form f("F");
  Frame elsewhere("elsewhere");  // not registered with f
  elsewhere.Width = 1000;
  elsewhere.Height = 1000;
  Label a("a"), b("b");
  a.Container = &elsewhere;
  a.Left = 100;
  a.Width = 2000;
  a.Height = 300;
  b.Width = 3000;
  b.Height = 3000;
  f.add(b);
  f.add(a);
  EXPECT_EQ(f.hitTest(500, 100), topmostByDefinition(f, 500, 100));
  EXPECT_EQ(f.hitTest(500, 100), &b);  // under every registered control, as if first
  b.Visible = false;
  EXPECT_EQ(f.hitTest(500, 100), &a);
  EXPECT_EQ(f.hitTest(1500, 100), nullptr);  // clipped
  elsewhere.Visible = false;
  EXPECT_EQ(f.hitTest(500, 100), nullptr);
}

TEST(SimDesktop, ShortTapsAreLatchedAndSideKeysAnswerForTheGenericCode) {
  SimClock clock;
  SimDesktop d(clock);
  d.userKeyDown(65);
  d.userKeyUp(65);
  EXPECT_EQ(d.asyncKeyState(65), 1);  // up now, but pressed since the last query
  EXPECT_EQ(d.asyncKeyState(65), 0);
  d.userKeyDown(vk::RControl);
  EXPECT_EQ(d.asyncKeyState(vk::Control) & 0x8000, 0x8000);
  d.userKeyDown(vk::LShift);
  EXPECT_NE(d.asyncKeyState(vk::Shift) & 0x8000, 0);
  d.userKeyDown(vk::LMenu);
  EXPECT_NE(d.asyncKeyState(vk::Menu) & 0x8000, 0);
  // The program's own injections change what is held, never the latch.
  d.keyEvent(66, false);
  EXPECT_EQ(d.asyncKeyState(66), 0x8000);
  d.keyEvent(66, true);
  EXPECT_EQ(d.asyncKeyState(66), 0);
}

TEST(SimDesktop, CapsLockToggleAndKeyStateSigns) {
  SimClock clock;
  SimDesktop d(clock);
  EXPECT_EQ(d.keyState(vk::Capital), 0);
  d.userKeyDown(vk::Capital);
  EXPECT_EQ(d.keyState(vk::Capital), -127);
  d.userKeyUp(vk::Capital);
  EXPECT_EQ(d.keyState(vk::Capital), 1);
  d.userKeyDown(vk::Capital);
  EXPECT_EQ(d.keyState(vk::Capital), -128);
}

TEST(SimDesktop, MeasuresTextByItsDocumentedRule) {
  SimClock clock;
  SimDesktop d(clock);
  SizeTw s = d.measureLabel(Font{"Arial", 24, false, 204}, "ab");
  EXPECT_EQ(s.width, 2 * 15 * 15);  // ceil(14.4) = 15 px a character
  EXPECT_EQ(s.height, 36 * 15);
  SizeTw b = d.measureLabel(Font{"Arial", 12, true, 204}, "ж");  // one character, bold
  EXPECT_EQ(b.width, (8 + 1) * 15);
  EXPECT_EQ(b.height, 18 * 15);
  // Only what a caption shows counts: "&&" is one "&", a single "&" marks an access key.
  const std::pair<const char*, int> shown[] = {{"&&", 1},   {"&", 0},  {"a&b", 2}, {"x&&&y", 3},
                                               {"&&&&", 2}, {"ж&", 1}, {"&ж", 1}};
  for (const auto& [caption, chars] : shown)
    EXPECT_EQ(d.measureLabel(Font{"Arial", 24, false, 204}, caption).width, chars * 15 * 15)
        << caption;
}

TEST(SimDesktop, AReleaseThatUnloadsItsElementMakesNoClick) {
  SimClock clock;
  SimDesktop d(clock);
  Form f("F");
  f.Width = 3000 + 120;
  f.Height = 3000 + 565;
  ControlArray<Label> symbols(Label("Label3"), 5);
  f.add(symbols);
  Label& s = symbols.Load(1);
  s.Width = 600;
  s.Height = 600;
  s.Visible = true;
  std::vector<std::string> events;
  symbols.MouseUp = [&](int i, int, int, double, double) {
    events.push_back("up " + std::to_string(i));
    symbols.Unload(i);
  };
  symbols.Click = [&](int i) { events.push_back("click " + std::to_string(i)); };
  d.showForm(f);
  d.userMovePointer(4 + 10, 34 + 10);  // the client area starts at (4, 505 / 15) px
  d.userButtonDown(vk::LButton);
  d.userButtonUp(vk::LButton);
  EXPECT_EQ(events, std::vector<std::string>{"up 1"});
  EXPECT_FALSE(symbols.IsLoaded(1));
}

// --- change tracking -------------------------------------------------------------------------

struct TrackedForm : Form {
  TrackedForm() : Form("F") {
    Frame1.Container = nullptr;
    Label1.Container = &Frame1;
    add(Frame1);
    add(Label1);
    add(Text1);
    add(List1);
    add(Label3);
  }
  Frame Frame1{"Frame1"};
  Label Label1{"Label1"};
  TextBox Text1{"Text1"};
  ListBox List1{"List1"};
  ControlArray<Label> Label3{Label("Label3"), 10000};
};

// What the log holds after a drain: each changed owner's name and bits.
std::vector<std::pair<std::string, std::uint32_t>> drain(Form& f) {
  std::vector<std::pair<std::string, std::uint32_t>> out;
  f.changes().drain([&](Tracked& t, std::uint32_t bits) {
    if (Control* c = t.asControl())
      out.emplace_back(c->Name + (c->Index >= 0 ? "(" + std::to_string(c->Index) + ")" : ""), bits);
    else if (Form* form = t.asForm())
      out.emplace_back("form " + form->Name, bits);
  });
  return out;
}
using Drained = std::vector<std::pair<std::string, std::uint32_t>>;

// A property finds its control from its own address, so a copy of it on its own would mark
// whatever lies at that offset from the copy: only a whole control (or form member) copies.
template <class P>
concept CopiesOnItsOwn = std::is_copy_constructible_v<P> || std::is_move_constructible_v<P> ||
    requires(const P& p) {
  P{p};
};

TEST(ChangeLog, APropertyIsCopiedOnlyWithItsControl) {
  static_assert(!CopiesOnItsOwn<decltype(Label::Caption)>);
  static_assert(!CopiesOnItsOwn<decltype(Control::Left)>);
  static_assert(!CopiesOnItsOwn<decltype(Control::Container)>);
  static_assert(!CopiesOnItsOwn<decltype(ListBox::Items)>);
  static_assert(!CopiesOnItsOwn<decltype(Image::Picture)>);
  static_assert(!CopiesOnItsOwn<decltype(Form::Caption)>);
  static_assert(!CopiesOnItsOwn<decltype(Label::Font)>);
  static_assert(!CopiesOnItsOwn<decltype(Label::Font.Size)>);
  static_assert(std::is_copy_constructible_v<Label> && std::is_copy_constructible_v<Image> &&
                std::is_copy_constructible_v<PictureBox> && std::is_copy_constructible_v<TextBox> &&
                std::is_copy_constructible_v<ListBox> && std::is_copy_constructible_v<ComboBox> &&
                std::is_copy_constructible_v<CheckBox> &&
                std::is_copy_constructible_v<CommandButton> &&
                std::is_copy_constructible_v<Frame> && std::is_copy_constructible_v<Shape> &&
                std::is_copy_constructible_v<Line>);
}

TEST(ChangeLog, EverythingIsNewOnceThenOnlyRealChangesAreLogged) {
  TrackedForm f;
  EXPECT_EQ(drain(f).size(), 6u);  // the form, four controls and the array's template
  EXPECT_TRUE(f.changes().empty());

  f.Label1.Caption = "";  // the value it has: no change
  f.Label1.Left = 0.0;
  f.Frame1.Visible = true;
  EXPECT_TRUE(f.changes().empty());

  f.Label1.Caption = "x";
  f.Label1.Left += 15;
  f.Label1.Font.Size = 24;
  f.Text1.setText("abc");
  f.Text1.setText("abc");
  f.List1.AddItem("65");
  f.Left = 300;
  EXPECT_EQ(drain(f), (Drained{{"Label1", kChangedText | kChangedGeometry | kChangedFont},
                               {"Text1", kChangedText},
                               {"List1", kChangedItems},
                               {"form F", kChangedGeometry}}));
  EXPECT_TRUE(drain(f).empty());
}

TEST(ChangeLog, ALoadedElementReportsItselfNotItsTemplate) {
  TrackedForm f;
  drain(f);
  Label& e = f.Label3.Load(7);
  EXPECT_EQ(drain(f), (Drained{{"Label3(7)", kChangedAll}}));
  e.Top = -9000;
  f.Label3.Load(8).Caption = "y";
  EXPECT_EQ(drain(f), (Drained{{"Label3(7)", kChangedGeometry}, {"Label3(8)", kChangedAll}}));
  EXPECT_EQ(f.Label3[0].changes(), 0u);
}

TEST(ChangeLog, AnUnloadedElementLeavesTheLog) {
  TrackedForm f;
  drain(f);
  // Thousands of elements loaded and unloaded between two drains (clearing all pages).
  for (int i = 1; i <= 5000; ++i) f.Label3.Load(i).Visible = true;
  f.Label1.Visible = false;
  for (int i = 1; i <= 5000; ++i)
    if (i != 4321) f.Label3.Unload(i);
  EXPECT_EQ(f.changes().size(), 2u);
  EXPECT_EQ(drain(f), (Drained{{"Label3(4321)", kChangedAll}, {"Label1", kChangedVisible}}));
}

TEST(ChangeLog, AnOwnerChangedWhileTheLogIsDrainedWaitsForTheNextDrain) {
  TrackedForm f;
  drain(f);
  f.Label1.Top = 5;
  int seen = 0;
  f.changes().drain([&](Tracked&, std::uint32_t) {
    ++seen;
    f.Label1.Top = 6;
  });
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(drain(f), (Drained{{"Label1", kChangedGeometry}}));
}

}  // namespace
}  // namespace kel
