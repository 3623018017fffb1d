// The integral and sum limits dialogs: opening, the limit items their Submit builds, Enter
// and the messages, the close box, and the limits typed small above and below the sign;
// the keys typed into a dialog never reach the formula. And the character key codes.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "editing_probe.h"
#include "evaluation/char_key_code.h"
#include "palette_fixture.h"

namespace kel::test {
namespace {

using Items = std::vector<std::string>;

TEST(CharToKeyCode, TheKeyOfEachCharacterOnAUsKeyboard) {
  struct Case {
    const char* ch;
    const char* code;
  } cases[] = {
      {"0", "480"},  {"9", "570"},  {"a", "650"},   {"q", "810"},
      {"z", "900"},  {"A", "651"},  {"Q", "811"},   {"Z", "901"},
      {"!", "491"},  {"#", "511"},  {"$", "521"},   {"&", "551"},
      {"*", "561"},  {"(", "571"},  {")", "481"},   {"-", "1890"},
      {"_", "1891"}, {"=", "1870"}, {"+", "1871"},  {";", "1860"},
      {":", "1861"}, {",", "1880"}, {"<", "1881"},  {".", "1900"},
      {">", "1901"}, {"/", "1910"}, {"?", "1911"},  {"[", "2190"},
      {"{", "2191"}, {"]", "2210"}, {"}", "2211"},  {"\\", "2200"},
      {"|", "2201"}, {"'", "2220"}, {"\"", "2221"}, {"@", "10130"},  // pi, not Shift+2
      {" ", ""},     {"%", ""},     {"^", ""},      {"~", ""},
      {"`", ""},     {"12", ""},    {"", ""},       {"\xD0\xB6", ""} /* a Cyrillic letter */,
      {"\t", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CharToKeyCode(c.ch), c.code) << "'" << c.ch << "'";
  int mapped = 0;
  for (char ch = 32; ch < 127; ++ch) mapped += CharToKeyCode(std::string(1, ch)).empty() ? 0 : 1;
  EXPECT_EQ(mapped, 90);
}

// The dialog of a kind, opened with its palette button.
LimitsDialogForm& open(PaletteUser& u, int dialog) {
  u.click(dialog == 1 ? u.w().Command58 : u.w().Command59);
  return dialog == 1 ? u.p().Form4 : u.p().Form5;
}

TEST(LimitsDialogs, TheButtonsOpenTheirDialogCentredAndHoldTheQueue) {
  for (int dialog : {1, 2}) {
    SCOPED_TRACE(dialog);
    PaletteUser u;
    Program& p = u.p();
    const double x = p.PointerX, y = p.PointerY;
    LimitsDialogForm& f = open(u, dialog);
    EXPECT_TRUE(f.Loaded);
    EXPECT_TRUE(f.Visible);
    EXPECT_EQ(f.Caption, dialog == 1 ? "Definite integral" : "Sum");
    EXPECT_EQ(f.ScaleWidth(), dialog == 1 ? 2385 : 2310);
    EXPECT_EQ(f.ScaleHeight(), dialog == 1 ? 2325 : 2190);
    EXPECT_EQ(f.BackColor, kWhite);
    EXPECT_EQ(f.Left, (1280 * 15 - f.Width) / 2);
    EXPECT_EQ(f.Top, (1024 * 15 - f.Height) / 2);
    EXPECT_EQ(f.Image1.Width, dialog == 1 ? 420 : 495);
    EXPECT_EQ(f.Image1.Height, dialog == 1 ? 555 : 585);
    EXPECT_FALSE(f.Image1.Picture->empty());
    EXPECT_FALSE(f.Label1.Visible);
    EXPECT_EQ(f.Command1.Caption, "Submit");
    EXPECT_EQ(u.desk().focusedControl(), &f.Command1);
    EXPECT_NE(std::find(u.desk().topmostCalls.begin(), u.desk().topmostCalls.end(), f.Name),
              u.desk().topmostCalls.end());
    EXPECT_EQ(p.BusyFlag, 1);
    EXPECT_EQ(p.BoundsQueueState, 1);
    EXPECT_EQ(p.BoundsAnchorX, x);
    EXPECT_EQ(p.BoundsAnchorY, y);
    EXPECT_EQ(p.ReturnClickPending, 1);
    // Keys typed while it is open wait, and are dropped when it closes.
    u.host().tap('X');
    u.advance(300);
    EXPECT_TRUE(u.queued().empty());
  }
}

TEST(LimitsDialogs, AskingWhetherADialogIsVisibleLoadsItHidden) {
  PaletteUser u;  // the zone watcher has asked already
  EXPECT_TRUE(u.p().Form4.Loaded);
  EXPECT_FALSE(u.p().Form4.Visible);
  EXPECT_TRUE(u.p().Form5.Loaded);
  EXPECT_FALSE(u.p().Form5.Visible);
}

// The items Submit writes into the dialog's lists: the examples of the design, and a few
// more that hold the prefix rule and the shift values to their word.
TEST(LimitsDialogs, SubmitBuildsTheLimitItems) {
  struct Case {
    int dialog;
    const char* upper;
    const char* lower;
    Items codes;
    int upperShift, lowerShift;
    Items shifts;  // empty: every one "0"
  } cases[] = {
      {1, "1", "0", {"1054", "***27", "***`49", "1055", "***27", "***48", "1056"}, -4, -4, {}},
      {2,
       "n",
       "k=1",
       {"1060", "***27", "***78", "1061", "***27", "***75", "***27", "***187", "***27", "***49",
        "1062"},
       -4,
       -12,
       {}},
      {1,
       "2pi",
       "0",
       {"1054", "***27", "***`50", "***27", "***1013", "1055", "***27", "***48", "1056"},
       -8,
       -4,
       {}},
      // A lower limit that begins with a number key carries no prefix at all.
      {1,
       "x",
       "-1",
       {"1054", "***27", "***88", "1055", "***27", "***189", "***27", "***49", "1056"},
       -4,
       -8,
       {}},
      {1,
       "-1",
       "y",
       {"1054", "***27", "***`189", "***27", "***49", "1055", "***27", "***89", "1056"},
       -8,
       -4,
       {}},
      {1,
       "1/2",
       "0",
       {"1054", "***27", "***`49", "***27", "***191", "***27", "***50", "1055", "***27", "***48",
        "1056"},
       -12,
       -4,
       {}},
      {1,
       "/2",
       "0",
       {"1054", "***27", "***191", "***27", "***50", "1055", "***27", "***48", "1056"},
       -8,
       -4,
       {}},
      {1,
       "a",
       "x1",
       {"1054", "***27", "***65", "1055", "***27", "***88", "***27", "***`49", "1056"},
       -4,
       -8,
       {}},
      // The blank types nothing, and the limit is shifted by what it types alone.
      {1,
       "a b",
       "0",
       {"1054", "***27", "***65", "***27", "***66", "1055", "***27", "***48", "1056"},
       -8,
       -4,
       {}},
      // The sum never drops the pointer.
      {2,
       "1",
       "-1",
       {"1060", "***27", "***49", "1061", "***27", "***189", "***27", "***49", "1062"},
       -4,
       -8,
       {}},
      // Shift where the character needs it.
      {1,
       "A",
       "0",
       {"1054", "***27", "***65", "1055", "***27", "***48", "1056"},
       -4,
       -4,
       {"0", "0", "1", "0", "0", "0", "0"}},
      // Characters, not bytes: a Cyrillic letter types nothing and moves nothing, so the "1"
      // of "абв1" stands where a limit of "1" alone would.
      {1, "\xD0\xB6x", "\xD0\xB0\xD0\xB1", {"1054", "***27", "***88", "1055", "1056"}, -4, 0, {}},
      {1,
       "\xD0\xB0\xD0\xB1\xD0\xB2"
       "1",
       "0",
       {"1054", "***27", "***`49", "1055", "***27", "***48", "1056"},
       -4,
       -4,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.upper << " / " << c.lower);
    PaletteUser u;
    Program& p = u.p();
    LimitsDialogForm& f = open(u, c.dialog);
    f.Text1.setText(c.upper);
    f.Text2.setText(c.lower);
    const int before = p.QueueLength;
    u.clickIn(f, f.Command1);
    EXPECT_FALSE(f.Visible);
    EXPECT_EQ(f.List1.Items.get(), c.codes);
    EXPECT_EQ(f.List2.Items.get(), c.shifts.empty() ? Items(c.codes.size(), "0") : c.shifts);
    EXPECT_EQ(p.UpperBoundShiftX, c.upperShift);
    EXPECT_EQ(p.LowerBoundShiftX, c.lowerShift);
    EXPECT_EQ(p.BoundsDialog, c.dialog);
    EXPECT_EQ(p.RecordingBlocked, 1);
    EXPECT_EQ(p.PendingCode, c.dialog == 1 ? 1050 : 1032);
    EXPECT_EQ(p.QueueLength, before + 1);  // the lower limit's own one
    EXPECT_EQ(p.PointerX, p.BoundsAnchorX);
    EXPECT_EQ(p.PointerY, p.BoundsAnchorY);
  }
}

// The user opens the integral dialog, types 1 and 0 into its boxes and presses Enter: the
// sign stands at the insertion point with the limits small above and below it, nothing
// typed into the dialog reached the page, and F8 reopens the dialog.
TEST(LimitsDialogs, TypingTheLimitsAndEnterTypesTheIntegral) {
  PaletteUser u;
  Program& p = u.p();
  MainWindow& w = u.w();
  const double ax = p.PointerX, ay = p.PointerY;
  LimitsDialogForm& f = open(u, 1);
  u.clickIn(f, f.Text1);
  u.typeKeys({'1'});
  u.clickIn(f, f.Text2);
  u.typeKeys({'0'});
  EXPECT_EQ(f.Text1.Text(), "1");
  EXPECT_EQ(f.Text2.Text(), "0");
  u.typeKeys({vk::Return});
  EXPECT_FALSE(f.Visible);
  u.advance(2000);

  EXPECT_EQ(u.queued(),
            (Items{"1050", "1054", "***27", "***`49", "1055", "***27", "***48", "1056"}));
  ASSERT_EQ(p.SymbolCount, 3);
  EXPECT_EQ(p.SymbolKind[1], "1050");
  EXPECT_EQ(w.Image3[1].Left, p.surface.InsertXFor(ax));
  struct Limit {
    int n;
    const char* caption;
    int x, y;  // where it was typed, pixels
  } limits[] = {
      // 9 px right of the anchor less 4 per character, 26 px up, 13 more into the upper
      // index, 7 down for the prefix.
      {2, "1", pixelForPointer(ax + 5), pixelForPointer(ay - 26) - 13 + 7},
      // 5 px right less 4, 42 down, 13 up into the index.
      {3, "0", pixelForPointer(ax + 1), pixelForPointer(ay + 42) - 13},
  };
  for (const Limit& l : limits) {
    SCOPED_TRACE(l.caption);
    ASSERT_EQ(p.SymbolKind[static_cast<size_t>(l.n)], "bukva");
    const Label& label = w.Label3[l.n];
    EXPECT_EQ(label.Caption, l.caption);
    EXPECT_EQ(label.Font.Size, 12);
    EXPECT_TRUE(label.Font.Bold);
    EXPECT_EQ(label.Left, p.surface.InsertXFor(l.x));
    EXPECT_EQ(label.Top + label.Height / 2, p.surface.InsertYFor(l.y));
  }
  // The pointer behind the sign; capture and queue free again; F8 reopens the dialog.
  EXPECT_EQ(u.pointer(), (PointPx{pixelForPointer(ax + 20), pixelForPointer(ay)}));
  EXPECT_EQ(p.BoundsQueueState, 0);
  EXPECT_EQ(p.BusyFlag, 0);
  EXPECT_EQ(p.BoundsDialog, 0);
  EXPECT_EQ(p.HotkeyF8Code, "1057");
  EXPECT_EQ(w.Image4.Picture, w.Command58.Picture);
  u.typeKeys({'X'});
  u.advance(200);
  EXPECT_EQ(u.queued().back(), "88");

  // F8: the same dialog, with the limits it had.
  u.typeKeys({vk::F8});
  u.advance(200);
  EXPECT_TRUE(f.Visible);
  EXPECT_EQ(f.Text1.Text(), "1");
  EXPECT_EQ(f.Text2.Text(), "0");
  EXPECT_EQ(p.BusyFlag, 1);
}

// The integral dialog opened, its limits filled in, and Enter pressed: the limits are
// typed at 150 ms an item from then on. Returns the time Enter went down.
Millis submitIntegral(PaletteUser& u, const char* upper, const char* lower) {
  LimitsDialogForm& f = open(u, 1);
  f.Text1.setText(upper);
  f.Text2.setText(lower);
  const Millis at = u.host().now();
  u.typeKeys({vk::Return});
  EXPECT_FALSE(f.Visible);
  return at;
}

// Keys typed while the limits are being typed wait, and are typed behind the sign once the
// limits stand, on the sign's line, in the order they were typed.
TEST(LimitsDialogs, KeysTypedWhileTheLimitsArePlacedFollowTheSign) {
  for (Millis after : {0, 200, 500, 1000, 1600}) {
    SCOPED_TRACE(testing::Message() << "x and y " << after << " ms after Enter");
    PaletteUser u;
    Program& p = u.p();
    MainWindow& w = u.w();
    const double ax = p.PointerX, ay = p.PointerY;
    const Millis enter = submitIntegral(u, "abc", "def");
    u.host().at(enter + 40 + after, [&u] { u.host().tap('X', 40); });
    u.host().at(enter + 140 + after, [&u] { u.host().tap('Y', 40); });
    u.advance(5000);
    // The sign, the six characters of the limits, then x and y.
    ASSERT_EQ(p.SymbolCount, 9);
    EXPECT_EQ(p.SymbolKind[1], "1050");
    for (int n = 2; n <= 7; ++n) EXPECT_TRUE(w.Label3[n].Font.Bold) << n;  // small
    const Label& x = w.Label3[8];
    const Label& y = w.Label3[9];
    EXPECT_EQ(x.Caption, "x");
    EXPECT_EQ(y.Caption, "y");
    EXPECT_EQ(x.Left, p.surface.InsertXFor(ax + 20));
    EXPECT_EQ(x.Top + x.Height / 2, p.surface.InsertYFor(ay));
    EXPECT_EQ(y.Left, x.Left + x.Width);
    EXPECT_EQ(p.BoundsQueueState, 0);
  }
}

// Where the sign's limits and what follows them stand: the symbols after the sign, their
// captions and places (twips).
struct Typed {
  std::string caption;
  double left, top;
  bool operator==(const Typed&) const = default;
  friend void PrintTo(const Typed& t, std::ostream* os) {
    *os << t.caption << " at " << t.left << "," << t.top;
  }
};
std::vector<Typed> typedAfterSign(PaletteUser& u) {
  std::vector<Typed> out;
  for (int n = 2; n <= u.p().SymbolCount; ++n)
    out.push_back({u.w().Label3[n].Caption, u.w().Label3[n].Left, u.w().Label3[n].Top});
  return out;
}

// The limits abc and def submitted with Enter while the pointer rests over the dialog's box
// (over the page, where the user left it), x and y typed a while after, and the program
// left waiting 120 ms at some moment of the typing, as a loaded machine leaves it: every
// character stands where it stands when no tick comes late. The pointer return, 300 ms after
// the Submit, or the press of x (which gives the pointer back to the program), coming
// between a limit's character and the step that ends its index, took the rest of the limit
// to the pointer: to the palette's button, under the panel, or to where the user left it.
TEST(LimitsDialogs, LateTicksLeaveEveryCharacterInPlace) {
  auto run = [](Millis xAfter, std::optional<Millis> stallAt) {
    PaletteUser u;
    LimitsDialogForm& f = open(u, 1);
    f.Text1.setText("abc");
    f.Text2.setText("def");
    u.clickIn(f, f.Text1);
    const Millis enter = submitIntegral(u, "abc", "def");
    u.host().at(enter + 40 + xAfter, [&u] { u.host().tap('X', 40); });
    u.host().at(enter + 80 + xAfter, [&u] { u.host().tap('Y', 40); });
    if (stallAt) {
      u.host().advance(enter + *stallAt - u.host().now());
      u.host().stall(120);
    }
    u.advance(5000);
    return typedAfterSign(u);
  };
  for (Millis xAfter : {200, 1000}) {
    const std::vector<Typed> ref = run(xAfter, std::nullopt);
    ASSERT_EQ(ref.size(), 8u);
    for (Millis at = 0; at <= 1600; at += 20) {
      SCOPED_TRACE(testing::Message() << "x " << xAfter << " ms after Enter, the program left "
                                      << "waiting " << at << " ms after it");
      EXPECT_EQ(run(xAfter, at), ref);
    }
  }
}

// A click on the page while the limits are typed moves nothing of them: they stand where
// they stand without it, and the click takes effect once they stand, so what is typed next
// goes where the user clicked.
TEST(LimitsDialogs, AClickWhileTheLimitsArePlacedTakesEffectAfterThem) {
  struct Place {
    double left, top;
    bool operator==(const Place&) const = default;
  };
  auto limits = [](PaletteUser& u) {
    std::vector<Place> out;
    for (int n = 2; n <= u.p().SymbolCount; ++n)
      out.push_back({u.w().Label3[n].Left, u.w().Label3[n].Top});
    return out;
  };
  std::vector<Place> alone;
  {
    PaletteUser u;
    submitIntegral(u, "abc", "def");
    u.advance(5000);
    alone = limits(u);
    ASSERT_EQ(alone.size(), 6u);
  }
  // (Not while the dispatcher takes the pointer back to the palette button after the sign,
  // about 300 ms after Enter: a press then lands on the button.)
  for (Millis after : {100, 700, 1000, 1400}) {
    SCOPED_TRACE(testing::Message() << "click " << after << " ms after Enter");
    PaletteUser u;
    Program& p = u.p();
    const PointPx target = u.screenOf(6000, 4500);  // bare page, far from the sign
    const Millis enter = submitIntegral(u, "abc", "def");
    u.host().at(enter + after, [&u, target] {
      u.moveTo(target);
      u.host().at(u.host().now() + 60, [&u] { u.desk().userButtonDown(vk::LButton); });
      u.host().at(u.host().now() + 120, [&u] { u.desk().userButtonUp(vk::LButton); });
    });
    u.advance(5000);
    EXPECT_EQ(limits(u), alone);
    EXPECT_EQ(u.insertionPoint(), target);
    u.typeKeys({'X'});
    u.advance(300);
    ASSERT_EQ(p.SymbolCount, 8);
    const Label& x = u.w().Label3[8];
    EXPECT_EQ(x.Caption, "x");
    EXPECT_EQ(x.Left, p.surface.InsertXFor(target.x));
    EXPECT_EQ(x.Top + x.Height / 2, p.surface.InsertYFor(target.y));
  }
}

TEST(LimitsDialogs, EveryCharacterOfALimitIsTypedInPlaceOnThePage) {
  // From the writing position at start-up. A limit of 20 letters would start 71 px left of
  // the anchor, on the left border frame, which stops the background work: it starts right
  // of the frame instead. A Cyrillic letter types nothing and shifts nothing.
  struct Case {
    const char* upper;
    std::vector<std::string> typed;
  } cases[] = {
      {"abcdefghijklmnopqrst", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j",
                                "k", "l", "m", "n", "o", "p", "q", "r", "s", "t"}},
      {"\xD0\xB0\xD0\xB1\xD0\xB2"
       "1",
       {"1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.upper);
    PaletteUser u;
    Program& p = u.p();
    MainWindow& w = u.w();
    const double ax = p.PointerX;
    LimitsDialogForm& f = open(u, 1);
    f.Text1.setText(c.upper);
    f.Text2.setText("0");
    u.clickIn(f, f.Command1);
    u.advance(8000);
    EXPECT_TRUE(w.Timer0.Enabled());
    EXPECT_EQ(p.UserStopped, 0);
    ASSERT_EQ(p.SymbolCount, static_cast<int>(c.typed.size()) + 2);
    double right = w.Label19.Left + w.Label19.Width;
    for (size_t i = 0; i < c.typed.size(); ++i) {
      SCOPED_TRACE(i);
      const Label& l = w.Label3[static_cast<int>(i) + 2];
      EXPECT_EQ(l.Caption, c.typed[i]);
      EXPECT_GE(l.Left, right);  // right of the frame, then of the character before it
      right = l.Left + l.Width;
    }
    // What a limit of its typed characters alone would do: the first 5 px right of the
    // anchor for one, right of the frame for twenty.
    if (c.typed.size() == 1) {
      EXPECT_EQ(w.Label3[2].Left, p.surface.InsertXFor(ax + 5));
    }
    EXPECT_EQ(w.Label3[static_cast<int>(c.typed.size()) + 2].Caption, "0");
  }
}

// Enter in either box of either dialog, or on its Submit button (which has the focus when the
// dialog opens), submits: the sign, then the dialog's items, land in the key queue and are
// played.
TEST(LimitsDialogs, EnterInEitherBoxOrOnSubmitSubmits) {
  enum From { UpperBox, LowerBox, SubmitButton };
  struct Case {
    int dialog;
    const char* upper;
    const char* lower;
    From from;
    Items queued;
  } cases[] = {
      {2,
       "n",
       "k=1",
       UpperBox,
       {"1032", "1060", "***27", "***78", "1061", "***27", "***75", "***27", "***187", "***27",
        "***49", "1062"}},
      {2,
       "n",
       "k=1",
       LowerBox,
       {"1032", "1060", "***27", "***78", "1061", "***27", "***75", "***27", "***187", "***27",
        "***49", "1062"}},
      {1,
       "2pi",
       "0",
       UpperBox,
       {"1050", "1054", "***27", "***`50", "***27", "***1013", "1055", "***27", "***48", "1056"}},
      {1,
       "1",
       "0",
       SubmitButton,
       {"1050", "1054", "***27", "***`49", "1055", "***27", "***48", "1056"}},
      {2,
       "n",
       "k=1",
       SubmitButton,
       {"1032", "1060", "***27", "***78", "1061", "***27", "***75", "***27", "***187", "***27",
        "***49", "1062"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.upper << " / " << c.lower << ", from " << c.from);
    PaletteUser u;
    Program& p = u.p();
    LimitsDialogForm& f = open(u, c.dialog);
    f.Text1.setText(c.upper);
    f.Text2.setText(c.lower);
    // The boxes filled, the focus where the case has it.
    if (c.from == UpperBox) u.clickIn(f, f.Text1);
    if (c.from == LowerBox) u.clickIn(f, f.Text2);
    if (c.from == SubmitButton) {
      EXPECT_EQ(u.desk().focusedControl(), &f.Command1);
    }
    u.typeKeys({vk::Return});
    EXPECT_FALSE(f.Visible);
    EXPECT_FALSE(f.Label1.Visible);
    u.advance(3000);
    EXPECT_EQ(u.queued(), c.queued);
    EXPECT_EQ(u.flags(), Items(c.queued.size(), "0"));
    EXPECT_EQ(p.SymbolKind[1], c.dialog == 1 ? "1050" : "1032");
    EXPECT_EQ(p.BusyFlag, 0);
    EXPECT_EQ(p.BoundsQueueState, 0);
    EXPECT_EQ(p.HotkeyF8Code, c.dialog == 1 ? "1057" : "1058");
  }
}

TEST(LimitsDialogs, AMissingLimitIsReportedInTheDialog) {
  struct Case {
    const char* name;
    const char* upper;
    const char* lower;
    bool enter;
    const char* message;
    bool focusLower;
    int boundsDialog;  // what Submit's first step leaves, or 0 when it does not run
  } cases[] = {
      {"Enter, no lower limit", "1", "", true, "There is no lower limit", true, 0},
      {"Enter, no upper limit", "", "1", true, "There is no upper limit", false, 0},
      {"Submit, no lower limit", "1", "", false, "There is no lower limit", true, 1},
      {"Submit, no upper limit", "", "1", false, "There is no upper limit", false, 1},
      {"Submit, both missing", "", "", false, "There is no lower limit", true, 1},
      {"Enter, both missing", "", "", true, "There is no lower limit", true, 1},
  };
  for (int dialog : {1, 2})
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << (dialog == 1 ? ", integral" : ", sum"));
      PaletteUser u;
      Program& p = u.p();
      LimitsDialogForm& f = open(u, dialog);
      // Items of an earlier Submit that only Submit empties.
      f.List1.AddItem("1056");
      f.List2.AddItem("0");
      f.Text1.setText(c.upper);
      f.Text2.setText(c.lower);
      if (c.enter) {
        u.clickIn(f, *c.upper ? f.Text1 : f.Text2);
        u.typeKeys({vk::Return});
      } else {
        u.clickIn(f, f.Command1);
      }
      EXPECT_TRUE(f.Visible);
      EXPECT_TRUE(f.Label1.Visible);
      EXPECT_EQ(f.Label1.Caption, c.message);
      EXPECT_EQ(u.desk().focusedControl(), c.focusLower ? &f.Text2 : &f.Text1);
      EXPECT_EQ(p.BoundsDialog, c.boundsDialog ? dialog : 0);
      EXPECT_EQ(f.List1.ListCount(), c.boundsDialog ? 0 : 1);
      EXPECT_EQ(p.BusyFlag, 1);
      // Editing a box hides the message.
      u.typeKeys({'2'});
      EXPECT_FALSE(f.Label1.Visible);
    }
}

// Closing a dialog with its close box types nothing, gives the queue and the capture back,
// and makes the next binding of F8 reopen that dialog.
TEST(LimitsDialogs, TheCloseBoxCancels) {
  for (int dialog : {1, 2}) {
    SCOPED_TRACE(dialog);
    PaletteUser u;
    Program& p = u.p();
    LimitsDialogForm& f = open(u, dialog);
    u.clickIn(f, f.Text1);
    u.typeKeys({'5'});
    u.desk().userCloseForm(f);
    EXPECT_FALSE(f.Visible);
    EXPECT_EQ(p.BusyFlag, 0);
    EXPECT_EQ(p.HotkeyAssignAction, dialog);
    EXPECT_EQ(p.PendingCode, 100000);
    u.advance(200);
    EXPECT_EQ(p.BoundsQueueState, 0);
    EXPECT_EQ(p.SymbolCount, 0);
    EXPECT_TRUE(u.queued().empty());  // neither the typed 5 nor anything else
    // Capture is back.
    u.typeKeys({'X'});
    u.advance(200);
    EXPECT_EQ(u.queued(), (Items{"88"}));
    // The next symbol binds F8 to the dialog, not to itself.
    u.click(u.button(1013));
    u.advance(600);
    EXPECT_EQ(p.HotkeyF8Code, dialog == 1 ? "1057" : "1058");
    // Opened again after its unload, it starts empty.
    LimitsDialogForm& again = open(u, dialog);
    EXPECT_EQ(again.Text1.Text(), "");
  }
}

// Its button clicked again while it is open: still the one dialog, and once its limits
// are typed the queue and the capture are free.
TEST(LimitsDialogs, OpeningItAgainWhileItIsOpenKeepsOneDialog) {
  PaletteUser u;
  Program& p = u.p();
  LimitsDialogForm& f = open(u, 1);
  f.Left = 600;  // moved aside by the user
  open(u, 1);
  EXPECT_TRUE(f.Visible);
  EXPECT_EQ(f.Left, (1280 * 15 - f.Width) / 2);
  EXPECT_EQ(u.desk().shownForms().size(), 2u);  // the main window and this one
  f.Text1.setText("b");
  f.Text2.setText("a");
  u.clickIn(f, f.Command1);
  u.advance(2000);
  EXPECT_EQ(u.queued().back(), "1056");
  EXPECT_EQ(p.BoundsQueueState, 0);
  EXPECT_EQ(p.BusyFlag, 0);
  EXPECT_EQ(p.SymbolCount, 3);
}

// Shut-down unloads an open dialog (its unload step runs) before the options are written.
TEST(LimitsDialogs, ShutDownUnloadsTheDialogs) {
  PaletteUser u;
  LimitsDialogForm& f = open(u, 2);
  u.p().close();
  EXPECT_FALSE(f.Loaded);
  EXPECT_FALSE(u.p().Form4.Loaded);
  EXPECT_EQ(u.p().HotkeyAssignAction, 2);
  EXPECT_FALSE(u.s.folder.read("Options.txt").empty());
}

// Opening the other dialog while one is open: the capture stays held while either is
// shown, so what is typed into the one still open never reaches the formula.
TEST(LimitsDialogs, TheCaptureStaysHeldWhileEitherDialogIsOpen) {
  PaletteUser u;
  Program& p = u.p();
  LimitsDialogForm& integral = open(u, 1);
  LimitsDialogForm& sum = open(u, 2);
  EXPECT_TRUE(integral.Visible);
  EXPECT_TRUE(sum.Visible);
  sum.Text1.setText("n");
  sum.Text2.setText("1");
  u.clickIn(sum, sum.Command1);
  u.advance(2000);
  EXPECT_EQ(u.queued().back(), "1062");
  EXPECT_EQ(p.BoundsQueueState, 1);  // the integral dialog is open still
  u.clickIn(integral, integral.Text1);
  u.typeKeys({'7', vk::Return});
  u.advance(300);
  EXPECT_EQ(u.queued().back(), "1062");
  u.desk().userCloseForm(integral);
  u.advance(200);
  EXPECT_EQ(p.BoundsQueueState, 0);
  u.typeKeys({'X'});
  u.advance(200);
  EXPECT_EQ(u.queued().back(), "88");
}

// The sign was queued but could not be placed (a Ctrl key held when it was played): the
// limits never come, and the hold on the capture ends all the same.
TEST(LimitsDialogs, TheHoldEndsWhenTheSignIsNeverPlaced) {
  PaletteUser u;
  Program& p = u.p();
  LimitsDialogForm& f = open(u, 1);
  f.Text1.setText("1");
  f.Text2.setText("0");
  u.clickIn(f, f.Command1);
  u.desk().userKeyDown(vk::RControl);
  u.advance(500);
  u.desk().userKeyUp(vk::RControl);
  u.advance(200);
  EXPECT_EQ(p.SymbolCount, 0);
  EXPECT_EQ(p.BoundsQueueState, 0);
  EXPECT_EQ(p.BoundsDialog, 0);
  EXPECT_EQ(p.BusyFlag, 0);
  // Typing goes on, and the limits do not turn up behind the next symbol.
  u.typeKeys({'X'});
  u.advance(300);
  ASSERT_EQ(p.SymbolCount, 1);
  EXPECT_EQ(u.w().Label3[1].Caption, "x");
  EXPECT_EQ(u.queued().back(), "88");
}

// While a dialog is open the arrows and the editing keys work in its boxes, not on the page.
TEST(LimitsDialogs, ArrowsAndEditingKeysStayInTheDialog) {
  PaletteUser u;
  Program& p = u.p();
  const EditingProbe probe(p, u.screenOf(1500, 4000));
  LimitsDialogForm& f = open(u, 2);
  const double x = p.PointerX;
  const PointPx onBox = u.overIn(f, f.Text1);
  u.clickIn(f, f.Text1);
  u.typeKeys({vk::Left, vk::Right, vk::Delete});
  u.desk().userKeyDown(vk::LControl);
  u.typeKeys({'V', 'Z'});
  u.desk().userKeyUp(vk::LControl);
  u.advance(1200);
  EXPECT_EQ(p.PointerX, x);
  EXPECT_EQ(probe.pastes() + probe.deletes() + u.p().pages.command69Runs, 0);
  EXPECT_EQ(u.pointer(), onBox);  // it stays where the user left it
}

}  // namespace
}  // namespace kel::test
