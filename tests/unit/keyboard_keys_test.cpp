// The on-screen keyboard's keys: the item each queues, in both layouts and shift states;
// Backspace and the fraction keys; the pressed key's colour and the pointer's way back;
// a formula typed by clicking; and no click of the keyboard ever reaching the page.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "keyboard_fixture.h"

namespace kel::test {
namespace {

using Item = std::pair<std::string, std::string>;

Item lastItem(KeyboardUser& u) {
  if (u.queued().empty()) return {};
  return {u.queued().back(), u.flags().back()};
}

// Every key of the two frames as the window is designed: its frame, its place and size
// (twips in the frame), its caption (the Latin layout's, shift off), its colour at rest,
// and for the pad its bold 12-point font.
TEST(KeyboardKeys, EveryKeyStandsInItsPlaceWithItsCaptionAndColour) {
  constexpr Colour W = kWhite, Y = 0x0080FFFF, F = kButtonFace;
  struct Row {
    bool pad;  // Command1, else Command3
    int index;
    bool inPad;  // in the pad's frame, else the main keyboard's
    double left, top, width, height;
    const char* caption;
    Colour back;
  };
  const Row rows[] = {
      // The main keyboard, row by row.
      {false, 51, false, 0, 40, 495, 375, "", W},
      {false, 57, false, 1250, 40, 400, 360, "", F},
      {false, 58, false, 2040, 40, 400, 360, "", F},
      {false, 59, false, 2760, 40, 400, 360, "", F},
      {false, 52, false, 3840, 40, 495, 375, "", W},
      {false, 36, false, 0, 480, 255, 375, "`", W},
      {false, 37, false, 300, 480, 255, 375, "1", W},
      {false, 38, false, 600, 480, 255, 375, "2", W},
      {false, 39, false, 900, 480, 255, 375, "3", W},
      {false, 40, false, 1200, 480, 255, 375, "4", W},
      {false, 41, false, 1500, 480, 255, 375, "5", W},
      {false, 42, false, 1800, 480, 255, 375, "6", W},
      {false, 43, false, 2100, 480, 255, 375, "7", W},
      {false, 44, false, 2400, 480, 255, 375, "8", W},
      {false, 45, false, 2700, 480, 255, 375, "9", W},
      {false, 46, false, 3000, 480, 255, 375, "0", W},
      {false, 47, false, 3300, 480, 255, 375, "-", W},
      {false, 48, false, 3600, 480, 255, 375, "=", W},
      {false, 50, false, 3880, 480, 470, 375, "<-", W},
      {false, 0, false, 480, 960, 255, 375, "q", W},
      {false, 1, false, 780, 960, 255, 375, "w", W},
      {false, 2, false, 1080, 960, 255, 375, "e", W},
      {false, 3, false, 1380, 960, 255, 375, "r", W},
      {false, 4, false, 1680, 960, 255, 375, "t", W},
      {false, 5, false, 1980, 960, 255, 375, "y", W},
      {false, 6, false, 2280, 960, 255, 375, "u", W},
      {false, 7, false, 2580, 960, 255, 375, "i", W},
      {false, 8, false, 2880, 960, 255, 375, "o", W},
      {false, 9, false, 3180, 960, 255, 375, "p", W},
      {false, 32, false, 3480, 960, 255, 375, "[", W},
      {false, 33, false, 3780, 960, 255, 375, "]", W},
      {false, 34, false, 4080, 960, 255, 375, "\\", W},
      {false, 10, false, 540, 1440, 255, 375, "a", W},
      {false, 11, false, 840, 1440, 255, 375, "s", W},
      {false, 12, false, 1140, 1440, 255, 375, "d", W},
      {false, 13, false, 1440, 1440, 255, 375, "f", W},
      {false, 14, false, 1740, 1440, 255, 375, "g", W},
      {false, 15, false, 2040, 1440, 255, 375, "h", W},
      {false, 16, false, 2340, 1440, 255, 375, "j", W},
      {false, 17, false, 2640, 1440, 255, 375, "k", W},
      {false, 18, false, 2940, 1440, 255, 375, "l", W},
      {false, 29, false, 3240, 1440, 255, 375, ";", W},
      {false, 30, false, 3540, 1440, 255, 375, "'", W},
      {false, 31, false, 3840, 1440, 495, 375, "Enter", F},
      {false, 19, false, 660, 1920, 255, 375, "z", W},
      {false, 20, false, 960, 1920, 255, 375, "x", W},
      {false, 21, false, 1260, 1920, 255, 375, "c", W},
      {false, 22, false, 1560, 1920, 255, 375, "v", W},
      {false, 23, false, 1860, 1920, 255, 375, "b", W},
      {false, 24, false, 2160, 1920, 255, 375, "n", W},
      {false, 25, false, 2460, 1920, 255, 375, "m", W},
      {false, 26, false, 2760, 1920, 255, 375, ",", W},
      {false, 27, false, 3060, 1920, 255, 375, ".", W},
      {false, 28, false, 3360, 1920, 255, 375, "/", W},
      {false, 35, false, 1080, 2400, 1815, 375, " ", W},
      // The pad's picture keys: Esc, F12, the fraction keys, the arrows.
      {false, 49, true, 240, 120, 495, 375, "", W},
      {false, 53, true, 3720, 120, 495, 375, "", W},
      {false, 54, true, 240, 600, 690, 480, "", F},
      {false, 55, true, 240, 1260, 690, 480, "", F},
      {false, 56, true, 240, 1920, 690, 480, "", F},
      {false, 62, true, 3600, 840, 375, 375, "", W},
      {false, 61, true, 3240, 1200, 375, 375, "", W},
      {false, 60, true, 3960, 1200, 375, 375, "", W},
      {false, 63, true, 3600, 1560, 375, 375, "", W},
      // The pad keys: the brackets' row, then the digits' block.
      {true, 20, true, 840, 120, 375, 375, "{", Y},
      {true, 18, true, 1320, 120, 375, 375, "[", Y},
      {true, 3, true, 1800, 120, 375, 375, "(", Y},
      {true, 4, true, 2280, 120, 375, 375, ")", Y},
      {true, 19, true, 2760, 120, 375, 375, "]", Y},
      {true, 21, true, 3240, 120, 375, 375, "}", Y},
      {true, 7, true, 1320, 600, 375, 375, "1", W},
      {true, 8, true, 1800, 600, 375, 375, "2", W},
      {true, 9, true, 2280, 600, 375, 375, "3", W},
      {true, 0, true, 2760, 600, 375, 375, "+", Y},
      {true, 10, true, 1320, 1080, 375, 375, "4", W},
      {true, 11, true, 1800, 1080, 375, 375, "5", W},
      {true, 12, true, 2280, 1080, 375, 375, "6", W},
      {true, 1, true, 2760, 1080, 375, 375, "-", Y},
      {true, 13, true, 1320, 1560, 375, 375, "7", W},
      {true, 14, true, 1800, 1560, 375, 375, "8", W},
      {true, 15, true, 2280, 1560, 375, 375, "9", W},
      {true, 2, true, 2760, 1560, 375, 375, "*", Y},
      {true, 16, true, 1320, 2040, 375, 375, "0", W},
      {true, 17, true, 1800, 2040, 375, 375, ",", W},
      {true, 5, true, 2280, 2040, 375, 375, "/", Y},
      {true, 6, true, 2760, 2040, 375, 375, "=", Y},
  };
  KeyboardUser u;
  KeyboardForm& k = u.k();
  std::vector<int> mainSeen(kLastMainKey + 1), padSeen(kLastPadKey + 1);
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << (r.pad ? "pad key " : "main key ") << r.index);
    const CommandButton& b = r.pad ? u.pad(r.index) : u.key(r.index);
    ++(r.pad ? padSeen : mainSeen)[static_cast<size_t>(r.index)];
    EXPECT_EQ(b.Container, r.inPad ? &k.Frame1 : &k.Frame2);
    EXPECT_EQ(b.Left, r.left);
    EXPECT_EQ(b.Top, r.top);
    EXPECT_EQ(b.Width, r.width);
    EXPECT_EQ(b.Height, r.height);
    EXPECT_EQ(b.Caption, r.caption);
    EXPECT_EQ(b.BackColor, r.back);
    // Only the Insert key of the three fraction keys shows at first.
    EXPECT_EQ(effectivelyVisible(b), r.pad || (r.index != 55 && r.index != 56));
    if (r.pad) {
      EXPECT_EQ(b.Font.Size, 12);
      EXPECT_TRUE(b.Font.Bold);
    }
  }
  // Every key once: the 64 main keys and the 22 pad keys.
  EXPECT_EQ(mainSeen, std::vector<int>(kLastMainKey + 1, 1));
  EXPECT_EQ(padSeen, std::vector<int>(kLastPadKey + 1, 1));

  // The strip, the frames and the keys that are no typing keys (the caption and the colour
  // are the keys').
  struct Other {
    const Control* control;
    const Control* in;
    double left, top, width, height;
    const char* caption;
    Colour back;
  };
  const Other others[] = {
      {&k.Image1, nullptr, 120, 60, 4335, 255, "", 0},
      {&k.Command8, &k.Image1, 3840, 0, 495, 255, "X", 0x000000C0},
      {&k.Frame2, nullptr, 120, 240, 4340, 3015, "", 0},
      {&k.Frame1, nullptr, 120, 3000, 4335, 2655, "", 0},
      {&k.Command4, &k.Frame2, 0, 1440, 495, 375, "Caps", W},
      {&k.Command5[0], &k.Frame2, 0, 1920, 615, 375, "Shift", W},
      {&k.Command5[1], &k.Frame2, 3720, 1920, 615, 375, "Shift", W},
      {&k.Command6, &k.Frame2, 0, 960, 420, 375, " Bg", 0x0080C0FF},
      {&k.Command7, &k.Frame2, 0, 960, 420, 375, "En", 0x00C0FFFF},
      {&k.Command69, &k.Frame2, 0, 2400, 735, 375, "", W},
      {&k.Command70, &k.Frame2, 3600, 2400, 735, 375, "", W},
      {&k.Command9, &k.Frame1, 3480, 2040, 615, 255, "Paste", W},
  };
  for (const Other& o : others) {
    SCOPED_TRACE(o.control->Name);
    EXPECT_EQ(o.control->Container, o.in);
    EXPECT_EQ(o.control->Left, o.left);
    EXPECT_EQ(o.control->Top, o.top);
    EXPECT_EQ(o.control->Width, o.width);
    EXPECT_EQ(o.control->Height, o.height);
    if (const auto* b = dynamic_cast<const CommandButton*>(o.control)) {
      EXPECT_EQ(b->Caption, o.caption);
      EXPECT_EQ(b->BackColor, o.back);
    }
  }
}

// Every main key that queues its own code, with the code, in the Latin and the Cyrillic
// layout, with the shift flag off, on by Caps Lock, and on by a one-shot Shift that the
// key then releases.
TEST(KeyboardKeys, EveryMainKeyQueuesItsCodeWithTheShiftOfTheMoment) {
  const std::vector<std::pair<int, const char*>> table = {
      {0, "81"},   {1, "87"},   {2, "69"},   {3, "82"},   {4, "84"},   {5, "89"},   {6, "85"},
      {7, "73"},   {8, "79"},   {9, "80"},   {10, "65"},  {11, "83"},  {12, "68"},  {13, "70"},
      {14, "71"},  {15, "72"},  {16, "74"},  {17, "75"},  {18, "76"},  {19, "90"},  {20, "88"},
      {21, "67"},  {22, "86"},  {23, "66"},  {24, "78"},  {25, "77"},  {26, "188"}, {27, "190"},
      {28, "191"}, {29, "186"}, {30, "222"}, {31, "13"},  {32, "219"}, {33, "221"}, {34, "220"},
      {35, "32"},  {36, "192"}, {37, "49"},  {38, "50"},  {39, "51"},  {40, "52"},  {41, "53"},
      {42, "54"},  {43, "55"},  {44, "56"},  {45, "57"},  {46, "48"},  {47, "189"}, {48, "187"},
      {49, "27"},  {51, "27"},  {52, "123"}, {53, "123"}, {57, "119"}, {58, "120"}, {59, "121"},
  };
  enum Shift { Off, CapsLock, OneShot };
  for (bool latin : {true, false}) {
    for (Shift shift : {Off, CapsLock, OneShot}) {
      SCOPED_TRACE(testing::Message()
                   << (latin ? "Latin" : "Cyrillic") << ", shift state " << shift);
      KeyboardUser u;
      if (!latin) u.type(u.k().Command6);
      if (shift == CapsLock) u.type(u.k().Command4);
      ASSERT_EQ(u.p().LatinLayout, latin ? 1 : 0);
      for (const auto& [index, code] : table) {
        SCOPED_TRACE(index);
        if (shift == OneShot) u.type(u.k().Command5[0]);
        u.press(u.key(index));
        EXPECT_EQ(lastItem(u), (Item{code, shift == Off ? "0" : "1"}));
        // Caps Lock stays on; the one-shot Shift ends with the key.
        EXPECT_EQ(u.k().ShiftOn, shift == CapsLock ? 1 : 0);
        EXPECT_EQ(u.k().ShiftLatched, 0);
        u.advance(400);
      }
    }
  }
}

// A pad key queues the same item whatever the layout and the shift state, and leaves a
// pending one-shot Shift for the next main key.
TEST(KeyboardKeys, EveryPadKeyQueuesItsFixedItem) {
  const std::vector<Item> table = {
      {"107", "0"}, {"109", "0"}, {"106", "0"}, {"57", "1"},  {"48", "1"}, {"191", "0"},
      {"187", "0"}, {"49", "0"},  {"50", "0"},  {"51", "0"},  {"52", "0"}, {"53", "0"},
      {"54", "0"},  {"55", "0"},  {"56", "0"},  {"57", "0"},  {"48", "0"}, {"188", "0"},
      {"219", "0"}, {"221", "0"}, {"219", "1"}, {"221", "1"},
  };
  enum Shift { Off, CapsLock, OneShot };
  for (bool latin : {true, false}) {
    for (Shift shift : {Off, CapsLock, OneShot}) {
      SCOPED_TRACE(testing::Message()
                   << (latin ? "Latin" : "Cyrillic") << ", shift state " << shift);
      KeyboardUser u;
      if (!latin) u.type(u.k().Command6);
      if (shift == CapsLock) u.type(u.k().Command4);
      if (shift == OneShot) u.type(u.k().Command5[1]);
      for (int i = 0; i <= kLastPadKey; ++i) {
        SCOPED_TRACE(i);
        u.press(u.pad(i));
        EXPECT_EQ(lastItem(u), table[static_cast<size_t>(i)]);
        EXPECT_EQ(u.k().ShiftLatched, shift == OneShot ? 1 : 0);
        u.advance(400);
      }
    }
  }
  // The pad's "(" is Shift+9, as the main key "9" with Caps Lock on.
  KeyboardUser u;
  u.type(u.k().Command4);
  u.press(u.key(45));
  EXPECT_EQ(lastItem(u), (Item{"57", "1"}));
}

// Three clicks on the fraction key show Insert, Page Down, Home and Insert again; each
// queues its key with shift 0, and Page Down and Home leave a lower index first.
TEST(KeyboardKeys, TheFractionKeysCycleAndQueueTheirKeys) {
  KeyboardUser u;
  Program& p = u.p();
  auto shownFractionKey = [&] {
    std::string s;
    for (int i : {54, 55, 56})
      if (u.key(i).Visible) s += std::to_string(i);
    return s;
  };
  u.type(u.k().Command4);  // Caps Lock on: still shift 0
  EXPECT_EQ(shownFractionKey(), "54");
  u.press(u.key(54));
  EXPECT_EQ(lastItem(u), (Item{"45", "0"}));
  EXPECT_EQ(shownFractionKey(), "55");
  EXPECT_TRUE(u.w().Label4.Visible);  // the main window's hint for the denominator stage
  u.advance(600);
  p.LowerIndexMode = 1;
  const int length = p.QueueLength;
  const size_t items = u.queued().size();
  u.press(u.key(55));
  ASSERT_EQ(u.queued().size(), items + 2);
  EXPECT_EQ(u.queued()[items], "123");
  EXPECT_EQ(lastItem(u), (Item{"34", "0"}));
  EXPECT_EQ(p.QueueLength, length + 2);
  EXPECT_EQ(shownFractionKey(), "56");
  u.advance(600);
  p.LowerIndexMode = 0;
  u.press(u.key(56));
  EXPECT_EQ(lastItem(u), (Item{"36", "0"}));
  EXPECT_EQ(shownFractionKey(), "54");
  EXPECT_TRUE(u.w().Image14.Visible);
}

// The fraction typed with the real keys, out of the keys' own order: whatever stage it
// reaches, exactly one of the three fraction keys stands on the keyboard, the next one.
TEST(KeyboardKeys, OneFractionKeyIsShownWhateverTheRealKeysTyped) {
  struct Case {
    const char* name;
    std::vector<int> keys;
    const char* shown;
  } cases[] = {
      {"Home in the numerator", {'1', vk::Insert, '2', vk::Home}, "54"},
      {"Page Up in the denominator", {'1', vk::Insert, '2', vk::Next, '3', vk::Prior}, "55"},
      {"Home after Page Up", {'1', vk::Insert, vk::Next, vk::Prior, vk::Home}, "54"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeyboardUser u;
    for (int key : c.keys) {
      u.typeKeys({key});
      u.advance(400);
    }
    std::string shown;
    for (int i : {54, 55, 56})
      if (u.key(i).Visible) shown += std::to_string(i);
    EXPECT_EQ(shown, c.shown);
  }
}

// Backspace queues 8 with shift 0 whatever the shift state; the symbol before the caret
// goes and the insertion point takes its place while the pointer stays on the key, and the
// pointer return waits 500 ms instead of 300.
TEST(KeyboardKeys, BackspaceTakesBackASymbolAndTheReturnWaitsLonger) {
  KeyboardUser u;
  Program& p = u.p();
  u.type(u.k().Command4);
  u.text(u.screenOf(1500, 2000), "a");
  for (const char* c : {"b", "c"}) {
    p.surface.PlaceTextSymbol(c, 24, false);
    u.advance(30);
  }
  p.CurrentSymbolIndex = 2;  // the caret after the b
  p.CaretAfterSymbol = 1;
  const double bLeft = u.label(2).Left;
  const PointPx at = u.onKeyboard(u.key(50));
  u.press(u.key(50));
  EXPECT_EQ(lastItem(u), (Item{"8", "0"}));
  EXPECT_EQ(u.w().Timer28.Interval(), 500);
  int away = 0;
  for (int i = 0; i < 499; ++i) {
    u.advance(1);
    if (u.pointer() != at) ++away;
  }
  EXPECT_EQ(away, 0);
  EXPECT_LT(u.label(2).Top, 0);
  EXPECT_EQ(p.InsertX, bLeft);
  EXPECT_TRUE(u.w().Timer28.Enabled());
  u.advance(1);
  EXPECT_FALSE(u.w().Timer28.Enabled());
  EXPECT_EQ(u.w().Timer28.Interval(), 300);
  EXPECT_EQ(u.pointer(), at);
  // The next key goes where the b was.
  u.type(u.key(10));
  EXPECT_EQ(u.label(4).Left, bLeft);
}

// ‹a+1› typed by clicking: each symbol at the insertion point, the pointer on the key all
// along, the pressed key red until the pointer return's tick and its colour at rest again
// afterwards.
TEST(KeyboardKeys, AFormulaTypedByClickingStandsAtTheInsertionPoint) {
  KeyboardUser u;
  Program& p = u.p();
  MainWindow& w = u.w();
  struct Step {
    CommandButton* key;
    const char* kind;
    Colour rest;
  } steps[] = {
      {&u.key(10), "bukva", kWhite}, {&u.pad(0), "plus", 0x0080FFFF}, {&u.pad(7), "bukva", kWhite}};
  double right = p.surface.InsertXFor(p.PointerX);
  for (int n = 0; n < 3; ++n) {
    SCOPED_TRACE(n);
    CommandButton& key = *steps[n].key;
    const PointPx at = u.onKeyboard(key);
    u.press(key);
    EXPECT_EQ(key.BackColor, kRed);
    u.advance(40);  // played: the pointer is at the insertion point
    ASSERT_EQ(p.SymbolCount, n + 1);
    EXPECT_EQ(p.SymbolKind[static_cast<size_t>(n + 1)], steps[n].kind);
    const Control& placed = steps[n].kind == std::string("bukva")
                                ? static_cast<const Control&>(w.Label3[n + 1])
                                : static_cast<const Control&>(w.Image3[n + 1]);
    EXPECT_EQ(placed.Left, right);
    right = placed.Left + placed.Width;
    EXPECT_EQ(u.pointer(), at);
    EXPECT_EQ(key.BackColor, kRed);
    u.advance(300);
    EXPECT_EQ(u.pointer(), at);
    EXPECT_EQ(key.BackColor, steps[n].rest);
    // Every key at rest again, the design-coloured ones white.
    EXPECT_EQ(u.key(31).BackColor, kWhite);
  }
  EXPECT_EQ(w.Label3[1].Caption, "a");
  EXPECT_EQ(w.Label3[3].Caption, "1");
}

// Keys clicked in quick succession, each a move onto the key, 20 ms, a 60 ms press: the
// pointer stays where the user puts it, and every key types in order.
TEST(KeyboardKeys, KeysClickedInQuickSuccessionTypeInOrder) {
  for (int gap : {100, 150, 200, 250, 300, 400, 600}) {
    SCOPED_TRACE(testing::Message() << gap << " ms apart");
    KeyboardUser u;
    Program& p = u.p();
    const double left = p.surface.InsertXFor(p.PointerX);
    PointPx hand{};
    int away = 0;
    auto tick = [&](int ms) {
      for (int i = 0; i < ms; ++i) {
        u.advance(1);
        if (u.pointer() != hand) ++away;
      }
    };
    for (CommandButton* key : {&u.key(10), &u.pad(0), &u.pad(7)}) {  // a + 1
      hand = u.onKeyboard(*key);
      u.moveTo(hand);
      tick(20);
      u.desk().userButtonDown(vk::LButton);
      tick(60);
      u.desk().userButtonUp(vk::LButton);
      tick(gap - 80);
    }
    tick(1000);
    EXPECT_EQ(away, 0);
    ASSERT_EQ(p.SymbolCount, 3);
    EXPECT_EQ(u.label(1).Caption, "a");
    EXPECT_EQ(p.SymbolKind[2], "plus");
    EXPECT_EQ(u.label(3).Caption, "1");
    EXPECT_EQ(u.label(1).Left, left);
    EXPECT_EQ(u.w().Image3[2].Left, u.label(1).Left + u.label(1).Width);
    EXPECT_EQ(u.label(3).Left, u.w().Image3[2].Left + u.w().Image3[2].Width);
  }
}

TEST(KeyboardKeys, TheArrowKeysQueueNothingButThePointerReturnRuns) {
  KeyboardUser u;
  for (int i : {60, 61, 62, 63}) {
    SCOPED_TRACE(i);
    const size_t items = u.queued().size();
    u.press(u.key(i));
    EXPECT_EQ(u.queued().size(), items);
    EXPECT_TRUE(u.w().Timer28.Enabled());
    EXPECT_EQ(u.key(i).BackColor, kRed);
    u.advance(400);
    EXPECT_EQ(u.key(i).BackColor, kWhite);
  }
}

// With the keyboard dragged over the page, right of the insertion point, no click on a key
// moves the insertion point (a press the button-press re-read would take the pointer from)
// or makes a double click (which would remember the writing position and switch the
// layout): two quick clicks type two symbols at the insertion point.
TEST(KeyboardKeys, NoClickOnTheKeyboardReachesThePage) {
  struct Case {
    const char* name;
    bool pad;
    int index;
  } cases[] = {{"a pad key", true, 7}, {"a main key", false, 37}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeyboardUser u;
    Program& p = u.p();
    KeyboardForm& k = u.k();
    CommandButton& key = c.pad ? u.pad(c.index) : u.key(c.index);
    u.text(u.screenOf(1500, 4000), "x");
    const double startX = p.PointerX, startY = p.PointerY;
    const float markX = p.MarkPointerX;
    // The keyboard's left edge 20 px right of the insertion point, the key on its line.
    double l, t;
    absolutePosition(key, l, t);
    k.Left = (startX + 20) * 15;
    k.Top = (startY - (t + key.Height / 2) / 15) * 15;
    ASSERT_LT((k.Left + k.Width) / 15, u.clientLeftPx() + u.w().Frame5.Width / 15);
    for (int n = 0; n < 2; ++n) {
      // Straight onto the key and down at once, quicker than the caret's 50 ms tick.
      u.moveTo(u.onKeyboard(key));
      u.desk().userButtonDown(vk::LButton);
      u.advance(60);
      u.desk().userButtonUp(vk::LButton);
      u.advance(120);
    }
    u.advance(600);
    ASSERT_EQ(u.queued().size(), 2u);
    EXPECT_EQ(u.queued()[0], u.queued()[1]);
    EXPECT_EQ(p.LatinLayout, 1);
    EXPECT_EQ(p.MarkPointerX, markX);
    ASSERT_EQ(p.SymbolCount, 3);
    EXPECT_EQ(u.label(2).Left, p.surface.InsertXFor(startX));
    EXPECT_EQ(u.middle(u.label(2)), p.surface.InsertYFor(startY));
    EXPECT_EQ(u.label(3).Left, u.label(2).Left + u.label(2).Width);
  }
}

// A press on a key of the keyboard lying over the page, slid off the keyboard onto the page
// and released there: no click of the key, no selection drawn from it, no page click.
TEST(KeyboardKeys, APressSlidOffAKeyOntoThePageDoesNothing) {
  struct Case {
    const char* name;
    Control& (*control)(KeyboardForm&);
  } cases[] = {
      {"a main key", [](KeyboardForm& k) -> Control& { return k.Command3[10]; }},
      {"a pad key", [](KeyboardForm& k) -> Control& { return k.Command1[7]; }},
      {"Caps Lock", [](KeyboardForm& k) -> Control& { return k.Command4; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeyboardUser u;
    Program& p = u.p();
    KeyboardForm& k = u.k();
    u.text(u.screenOf(1500, 3000), "x");
    const double x = p.PointerX, y = p.PointerY;
    k.Left = (x + 40) * 15;
    k.Top = (y - 100) * 15;
    const PointPx start = u.onKeyboard(c.control(k));
    u.moveTo(start);
    u.advance(100);
    u.desk().userButtonDown(vk::LButton);
    // Left and down onto the page, past the keyboard's edge, as a hand slides.
    for (int i = 1; i <= 30; ++i) {
      u.moveTo({start.x - 10 * i, start.y + 3 * i});
      u.advance(20);
      EXPECT_NE(p.pages.DragState, 2) << i;
      EXPECT_FALSE(p.Form2.Loaded && p.Form2.Visible) << i;
    }
    u.desk().userButtonUp(vk::LButton);
    u.advance(600);
    EXPECT_TRUE(u.queued().empty());
    EXPECT_EQ(k.ShiftOn, 0);
    EXPECT_EQ(p.SymbolCount, 1);
    EXPECT_EQ(p.Form1.List3.ListCount(), 0);
    EXPECT_EQ(p.PointerX, x);
    EXPECT_EQ(p.PointerY, y);
  }
}

// A click quicker than the button sampler's 50 ms leaves nothing for the click detector to
// skip: the next click on the page is a click, and snaps the caret to the symbol beside it.
TEST(KeyboardKeys, AQuickClickOnAKeyLeavesTheNextPageClickAlone) {
  KeyboardUser u;
  Program& p = u.p();
  u.text(u.screenOf(1500, 3000), "x");
  u.moveTo(u.onKeyboard(u.key(10)));
  u.advance(60);
  u.desk().userButtonDown(vk::LButton);
  u.desk().userButtonUp(vk::LButton);
  EXPECT_EQ(p.SkipNextButtonChange2, 0);
  u.advance(700);
  ASSERT_EQ(p.SymbolCount, 2);
  const Label& a = u.label(2);
  u.moveTo(u.screenOf(a.Left + a.Width + 60, u.middle(a)));
  u.advance(60);
  u.desk().userButtonDown(vk::LButton);
  u.advance(80);
  u.desk().userButtonUp(vk::LButton);
  u.advance(100);
  EXPECT_EQ(p.CurrentSymbolIndex, 2);
  EXPECT_EQ(p.CaretAfterSymbol, 1);
}

// The keyboard's "=" keys read and evaluate what stands left of the sign, as a typed " = "
// does, with "compute after =" ticked, whenever the caret's tick falls between the click
// and the playing of the sign (it counts the pointer, still on the keyboard, as on a panel).
TEST(KeyboardKeys, TheEqualsKeysComputeWhateverTheCaretsTickDoes) {
  for (const bool pad : {true, false}) {
    for (int wait = 0; wait < 50; wait += 5) {
      SCOPED_TRACE(std::string(pad ? "pad" : "main") + " key, " + std::to_string(wait) + " ms");
      KeyboardUser u;
      u.w().Check3.Value = 1;
      for (int key : {8, 0, 9}) u.type(u.pad(key));
      u.advance(wait);
      u.type(pad ? u.pad(6) : u.key(48));
      u.advance(1000);
      EXPECT_EQ(u.w().Text8.Text(), "5");
    }
  }
}

}  // namespace
}  // namespace kel::test
