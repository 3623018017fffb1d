// The frame of the queue-item interpreters and the conventions of their rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/units.h"
#include "queue_fixture.h"

namespace kel::test {
namespace {

using Codes = std::vector<std::string>;

TEST(InterpreterFrame, DecodesTheMarkerThePointerDropAndTheShiftFlag) {
  struct Case {
    std::string code, shift;
    std::string playedCode, playedShift;
    int dropPx;
  } cases[] = {
      {"***48", "0", "48", "0", 0},    {"***`50", "1", "50", "1", 7}, {"`50", "0", "50", "0", 7},
      {"``50", "0", "`50", "0", 7},     // one drop only; the rest matches nothing
      {"4***8***", "0", "48", "0", 0},  // every marker goes, wherever it stands
      {"*`48", "0", "*`48", "0", 0},    // a drop counts only in front
      {"65", "01", "65", "1", 0},       // the flag's last character
      {"65", "", "65", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    QueueFixture f;
    f.frameOnly();
    const double y = f.p().PointerY;
    const int moves = static_cast<int>(f.s.desk().pointerMoves.size());
    f.append(c.code, c.shift);
    f.s.host.advance(20);
    ASSERT_EQ(f.seen->size(), 1u);
    EXPECT_EQ(f.seen->at(0).code, c.playedCode);
    EXPECT_EQ(f.seen->at(0).shift, c.playedShift);
    EXPECT_EQ(f.p().PointerY, y + c.dropPx);
    if (c.dropPx) {
      ASSERT_EQ(static_cast<int>(f.s.desk().pointerMoves.size()), moves + 1);
      EXPECT_EQ(f.s.desk().cursorPos().y, pixelForPointer(y + c.dropPx));
    }
  }
}

TEST(InterpreterFrame, HotkeysPlayTheirBindingWithItsShiftFlag) {
  struct Case {
    const char* name;
    std::string f8, f8Shift, f9, f9Shift, f10, f10Shift;
    std::string item;
    std::string playedCode, playedShift;  // what reaches the rows; "" code: nothing does
  } cases[] = {
      {"F8 bound to a letter", "65", "1", "", "", "", "", "119", "65", "1"},
      {"F9 bound to a symbol", "", "", "1013", "0", "", "", "120", "1013", "0"},
      {"F10 bound", "", "", "", "", "90", "1", "121", "90", "1"},
      {"unbound F8 stays F8", "", "", "", "", "", "", "119", "119", "0"},
      {"F8 to F9 goes on to F9's binding", "120", "0", "66", "1", "", "", "119", "66", "1"},
      {"F8 to unbound F9", "120", "0", "", "", "", "", "119", "120", "0"},
      {"F9 to F8 stops there", "66", "0", "119", "1", "", "", "120", "119", "1"},
      {"F8 to F9 to F10", "120", "0", "121", "0", "67", "1", "119", "67", "1"},
      {"other keys keep theirs", "65", "1", "", "", "", "", "66", "66", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QueueFixture f;
    f.p().HotkeyF8Code = c.f8;
    f.p().HotkeyF8Shift = c.f8Shift;
    f.p().HotkeyF9Code = c.f9;
    f.p().HotkeyF9Shift = c.f9Shift;
    f.p().HotkeyF10Code = c.f10;
    f.p().HotkeyF10Shift = c.f10Shift;
    f.append(c.item, "0");
    f.s.host.advance(20);
    ASSERT_EQ(f.seen->size(), 1u);
    EXPECT_EQ(f.seen->at(0).code, c.playedCode);
    EXPECT_EQ(f.seen->at(0).shift, c.playedShift);
  }
}

TEST(InterpreterFrame, PasteAndBackspaceAreHandedOverBeforeAnyRow) {
  struct Case {
    const char* name;
    std::string item;
    std::string f8;
  } cases[] = {
      {"F4", "115", ""},
      {"Backspace", "8", ""},
      {"paced Backspace", "***8", ""},
      {"F8 bound to F4", "119", "115"},
      {"F8 bound to Backspace", "119", "8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QueueFixture f;
    f.p().HotkeyF8Code = c.f8;
    f.p().HotkeyF8Shift = "0";
    f.s.desk().userKeyDown(vk::LControl);  // neither looks at Ctrl
    f.append(c.item);
    f.append("65");
    f.s.host.advance(200);
    EXPECT_EQ(f.seenCodes(), (Codes{"65"}));
    EXPECT_EQ(f.w().List1.ListIndex, 1);
  }
}

TEST(InterpreterFrame, LayoutCodesSwitchTheLayoutForTheNextItem) {
  QueueFixture f;
  MainWindow& w = f.w();
  f.p().PointerX += 0.5;  // the pointer goes back to the insertion point, halves to even
  const double x = f.p().PointerX;
  f.append("6000");
  f.append("65");
  f.s.host.advance(20);
  EXPECT_EQ(f.p().LatinLayout, 0);
  EXPECT_TRUE(w.Command60.Visible);
  EXPECT_FALSE(w.Command61.Visible);
  EXPECT_EQ(f.p().PendingCode, 10000000001LL);
  EXPECT_TRUE(w.Timer6.Enabled());
  ASSERT_FALSE(f.s.desk().focusCalls.empty());
  EXPECT_EQ(f.s.desk().focusCalls.back(), "Command63");
  EXPECT_EQ(f.s.desk().cursorPos().x, pixelForPointer(x));

  f.s.host.advance(20);
  ASSERT_EQ(f.seen->size(), 2u);
  EXPECT_EQ(f.seen->at(0).layout, TypingLayout::Latin);
  EXPECT_EQ(f.seen->at(1).layout, TypingLayout::Cyrillic);

  // The dispatcher then runs its common steps once.
  const int limit = f.p().QueueLength;
  f.s.host.advance(50);
  EXPECT_FALSE(w.Timer6.Enabled());
  EXPECT_EQ(f.p().QueueLength, limit + 1);

  f.append("5000");
  f.append("65");
  f.s.host.advance(40);
  EXPECT_EQ(f.p().LatinLayout, 1);
  EXPECT_FALSE(w.Command60.Visible);
  EXPECT_TRUE(w.Command61.Visible);
  EXPECT_EQ(f.p().PendingCode, 100000000001LL);
  ASSERT_EQ(f.seen->size(), 4u);
  EXPECT_EQ(f.seen->at(2).layout, TypingLayout::Cyrillic);
  EXPECT_EQ(f.seen->at(3).layout, TypingLayout::Latin);
}

TEST(InterpreterFrame, LayoutCodesIgnoreCtrlShiftAndIndexModes) {
  QueueFixture f;
  f.s.desk().userKeyDown(vk::LControl);
  f.p().LowerIndexMode = 1;
  f.append("***6000", "1");
  f.s.host.advance(20);
  EXPECT_EQ(f.p().LatinLayout, 0);
  f.p().UpperIndexMode = 1;
  f.append("5000", "1");
  f.s.host.advance(150);
  EXPECT_EQ(f.p().LatinLayout, 1);
}

TEST(InterpreterFrame, AGatedRowActsOnlyWhileCtrlIsUpWhenItIsPlayed) {
  QueueFixture f;
  f.frameOnly();
  int placed = 0;
  auto& groups = f.p().input.rowGroups;
  groups.push_back([&placed](PlayedItem& item) {
    if (item.codeIs(65) && item.ctrlGateOpen()) {
      ++placed;
      return true;
    }
    return false;
  });
  f.append("65");
  f.s.host.advance(20);
  EXPECT_EQ(placed, 1);

  // Queued with Ctrl up, played with it held: nothing.
  f.p().BusyFlag = 1;
  f.append("65");
  f.s.desk().userKeyDown(vk::RControl);
  f.p().BusyFlag = 0;
  f.s.host.advance(20);
  EXPECT_EQ(placed, 1);
  EXPECT_EQ(f.w().List1.ListIndex, 1);  // and it counts as played

  f.s.desk().userKeyUp(vk::RControl);
  f.append("65");
  f.s.host.advance(20);
  EXPECT_EQ(placed, 2);
}

TEST(InterpreterFrame, TheFirstGroupThatActsEndsTheItem) {
  QueueFixture f;
  f.frameOnly();
  auto& groups = f.p().input.rowGroups;
  // A group that takes 6000 for itself: the layout code is not reached.
  groups.push_back([](PlayedItem& item) { return item.codeIs(6000); });
  std::vector<std::string> later;
  groups.push_back([&later](PlayedItem& item) {
    later.push_back(item.PlayedCode);
    return false;
  });
  f.append("6000");
  f.append("66");
  f.s.host.advance(40);
  EXPECT_EQ(f.p().LatinLayout, 1);
  EXPECT_EQ(later, (Codes{"66"}));
}

TEST(InterpreterFrame, CodesAreComparedAsNumbers) {
  struct Case {
    std::string code;
    bool is48;
  } cases[] = {{"48", true}, {"048", true},  {" 48 ", true},  {"48.0", true}, {"+48", true},
               {"", false},  {"4 8", false}, {"0x30", false}, {"48a", false}, {"-48", false}};
  QueueFixture f;
  for (const Case& c : cases) {
    PlayedItem item(f.p(), TypingLayout::Latin);
    item.PlayedCode = c.code;
    EXPECT_EQ(item.codeIs(48), c.is48) << '"' << c.code << '"';
    EXPECT_EQ(item.codeIn(40, 50), c.is48) << '"' << c.code << '"';
  }
  PlayedItem item(f.p(), TypingLayout::Latin);
  for (const char* shift : {"", "x", "2"}) {
    item.PlayedShift = shift;
    EXPECT_FALSE(item.shiftIs(0) || item.shiftIs(1)) << shift;
  }
  item.PlayedShift = "1";
  EXPECT_TRUE(item.shiftIs(1));
  EXPECT_FALSE(item.shiftIs(0));
}

TEST(RowConventions, SmallPictureNames) {
  struct Case {
    const char* name;
    const char* small;
  } cases[] = {
      {"plus", "plusm"},  {"32", "32m"},        {"strelka2", "strelka2m"},
      {"pi", "pim"},      {"1017", "101701"},   {"1022", "102201"},
      {"1026", "102601"}, {"1051", "105101"},   {"1050", "105001"},
      {"1011", "1011"},   {"hskoba", "hskoba"}, {"1015", "1015"},
      {"1016", "1016"},   {"2015", "2015"},     {"35", "35"},
  };
  for (const Case& c : cases) EXPECT_EQ(SmallPictureName(c.name), c.small) << c.name;
}

// Items played through the frame into a row that follows the conventions, as the key
// groups' rows do: text and pictures by the rules, on the line and in an index.
TEST(RowConventions, PlayedItemsReachThePlacersByTheTextAndPictureRules) {
  QueueFixture f;
  f.p().input.rowGroups.push_back([](PlayedItem& item) {
    if (item.codeIs(65) && item.ctrlGateOpen()) {
      item.placeText(item.latin() ? "a" : "\xD0\xB0");
      return true;
    }
    if (item.codeIs(107)) {
      item.placePicture("plus");
      return true;
    }
    if (item.codeIs(1011)) {
      item.placePicture("1011");
      return true;
    }
    if (item.codeIs(1050) && item.shiftIs(0)) {
      item.placePicture("1050");
      return true;
    }
    return false;
  });
  for (const char* code : {"65", "107", "6000", "65", "5000"}) f.append(code);
  f.s.host.advance(200);
  f.p().LowerIndexMode = 1;  // lasts until a key leaves it
  for (const char* code : {"65", "107", "1011", "1050", "***1050"}) f.append(code);
  f.append("1050", "1");  // no row for the shifted code
  f.s.host.advance(400);

  Program& p = f.p();
  MainWindow& w = f.w();
  ASSERT_EQ(p.SymbolCount, 8);
  struct Placed {
    std::string kind;
    std::string caption;
    double size;
    bool bold;
  } expected[] = {
      {"bukva", "a", 24, false}, {"plus", "", 0, false},   {"bukva", "\xD0\xB0", 24, false},
      {"bukva", "a", 12, true},  {"plusm", "", 0, false},  {"1011", "", 0, false},
      {"105001", "", 0, false},  {"105001", "", 0, false},
  };
  for (int n = 1; n <= 8; ++n) {
    SCOPED_TRACE(n);
    const Placed& e = expected[n - 1];
    EXPECT_EQ(p.SymbolKind[static_cast<size_t>(n)], e.kind);
    if (e.kind == "bukva") {
      ASSERT_TRUE(w.Label3.IsLoaded(n));
      EXPECT_EQ(w.Label3[n].Caption, e.caption);
      EXPECT_EQ(w.Label3[n].Font.Size, e.size);
      EXPECT_EQ(w.Label3[n].Font.Bold, e.bold);
    } else {
      EXPECT_TRUE(w.Image3.IsLoaded(n));
    }
  }
  EXPECT_EQ(w.List1.ListIndex, w.List1.ListCount() - 1);
}

}  // namespace
}  // namespace kel::test
