// The pending-code dispatcher: its rows, its common steps, the screen-edge reset and the
// pointer return.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "palette_fixture.h"

namespace kel::test {
namespace {

// Stores a request and lets the dispatcher's one tick run.
void dispatch(PaletteUser& u, const PendingValue& request) {
  u.p().PendingCode = request;
  u.w().Timer6.setEnabled(true);
  u.advance(50);
}

TEST(Dispatcher, EachRowAppendsItsItemComparedByValue) {
  struct Case {
    const char* name;
    PendingValue request;
    const char* code;  // nullptr: nothing appended
    const char* shift;
    bool bindsF8;
    bool chords;
  } cases[] = {
      {"a symbol, whole", 1013, "1013", "0", true, false},
      {"a symbol, long", 1013LL, "1013", "0", true, false},
      {"a symbol, floating-point", 1013.0, "1013", "0", true, false},
      {"a symbol as a numeric text", "1013", "1013", "0", true, false},
      {"the last symbol code", 2015, "2015", "0", true, false},
      {"the integral", 1050, "1050", "0", true, false},
      {"the sum", 1032, "1032", "0", true, false},
      {"no symbol between the rows", 1002, nullptr, nullptr, false, false},
      {"no symbol past the rows", 1052, nullptr, nullptr, false, false},
      {"a symbol code and a half", 1013.5, nullptr, nullptr, false, false},
      {"Esc", 10027, "27", "0", true, false},
      {"F12", 100123, "123", "0", true, false},
      {"Insert", 10045, "45", "0", true, false},
      {"Page Up", 10033, "33", "0", true, false},
      {"Page Down", 10034, "34", "0", true, false},
      {"Home", 10036, "36", "0", true, false},
      {"F4, the paste", 100115, "115", "0", true, false},
      {"9 with Shift", 10057, "57", "1", true, false},
      {"0 with Shift", 10048, "48", "1", true, false},
      {"keypad +", 100107, "107", "0", true, false},
      {"keypad -", 100109, "109", "0", true, false},
      {"keypad *", 100106, "106", "0", true, false},
      {"/", 100191, "191", "0", true, false},
      {"=", 100187, "187", "0", true, false},
      {"Delete", 10046, "46", "0", true, false},
      {"the integral dialog", 1057, "1057", "0", false, false},
      {"the sum dialog", 1058.0, "1058", "0", false, false},
      {"the language chords", 1000001, nullptr, nullptr, false, true},
      {"the chords as floating-point", 1000001.0, nullptr, nullptr, false, true},
      {"Nisto", "Nisto", nullptr, nullptr, false, false},
      {"Undo and Redo", 999999, nullptr, nullptr, false, false},
      {"Cut", 2000000, nullptr, nullptr, false, false},
      {"a closed limits dialog", 100000, nullptr, nullptr, false, false},
      {"BG --> En", 100000000001.0, nullptr, nullptr, false, false},
      {"En --> BG", 10000000001.0, nullptr, nullptr, false, false},
      {"nothing ever stored", PendingValue(), nullptr, nullptr, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PaletteUser u;
    Program& p = u.p();
    MainWindow& w = u.w();
    p.BusyFlag = 1;
    const int before = p.QueueLength;
    dispatch(u, c.request);
    EXPECT_FALSE(w.Timer6.Enabled());
    EXPECT_EQ(p.BusyFlag, 0);
    if (c.code) {
      EXPECT_EQ(u.queued(), (std::vector<std::string>{c.code}));
      EXPECT_EQ(u.flags(), (std::vector<std::string>{c.shift}));
    } else {
      EXPECT_TRUE(u.queued().empty());
    }
    // Every dispatch adds one to the play limit, and each appended item one more.
    EXPECT_EQ(p.QueueLength, before + 1 + (c.code ? 1 : 0));
    EXPECT_EQ(w.Timer17.Enabled(), c.bindsF8);
    EXPECT_EQ(w.Timer19.Enabled(), c.chords);
    // The slot keeps what it held.
    EXPECT_EQ(p.PendingCode.kind(), c.request.kind());
    EXPECT_EQ(p.PendingCode.text(), c.request.text());
  }
}

TEST(Dispatcher, TheLastRequestBeforeTheTickIsTheOneDispatchedAndRepeatedOnDemand) {
  PaletteUser u;
  Program& p = u.p();
  MainWindow& w = u.w();
  p.PendingCode = 1013;
  w.Timer6.setEnabled(true);
  u.advance(20);
  p.PendingCode = 1026;
  w.Timer6.setEnabled(true);  // on already: its count goes on
  u.advance(30);
  EXPECT_EQ(u.queued(), (std::vector<std::string>{"1026"}));
  u.advance(600);
  EXPECT_EQ(p.HotkeyF8Code, "1026");
  // Switched on again without a new request: the same symbol, and F8 bound to it again.
  p.HotkeyF8Code = "";
  w.Timer6.setEnabled(true);
  u.advance(600);
  EXPECT_EQ(u.queued(), (std::vector<std::string>{"1026", "1026"}));
  EXPECT_EQ(p.HotkeyF8Code, "1026");
  EXPECT_EQ(p.SymbolCount, 2);
}

// While nothing was ever queued, an insertion point near an edge of the screen is taken
// back to the writing position; the comparisons are strict.
TEST(Dispatcher, TheScreenEdgeResetOnlyBeforeAnythingWasQueued) {
  const double h = 1024;  // the sim's screen, pixels
  struct Case {
    double x, y;
    bool queuedBefore;
    bool reset;
  } cases[] = {
      {49, 400, false, true},      {50, 400, false, false},     {300, 149, false, true},
      {300, 150, false, false},    {300, h - 49, false, true},  {300, h + 49, false, true},
      {300, h - 50, false, false}, {300, h + 50, false, false}, {10, 10, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << (c.queuedBefore ? " queued" : ""));
    PaletteUser u;
    Program& p = u.p();
    if (c.queuedBefore) {
      // Played long ago: the lists are not empty.
      p.input.AppendQueueItem("", "");
      u.advance(40);
    }
    p.PointerX = c.x;
    p.PointerY = c.y;
    const size_t movesBefore = u.desk().pointerMoves.size();
    dispatch(u, 999999);
    EXPECT_EQ(p.PointerX, c.reset ? p.MarkPointerX : c.x);
    EXPECT_EQ(p.PointerY, c.reset ? p.MarkPointerY : c.y);
    EXPECT_EQ(u.desk().pointerMoves.size(), movesBefore);  // the pointer itself stays
  }
}

TEST(Dispatcher, ThePointerReturnWaitsForTheQueueToBeFree) {
  PaletteUser u;
  Program& p = u.p();
  MainWindow& w = u.w();
  p.SavedPointerX = 1100;
  p.SavedPointerY = 300;
  p.ReturnClickPending = 1;
  p.PointerRestoreOnly = 1;
  dispatch(u, "Nisto");
  EXPECT_EQ(p.ReturnClickPending, 0);
  EXPECT_TRUE(w.Timer28.Enabled());
  p.BusyFlag = 1;  // a limits dialog open, say
  u.advance(1000);
  EXPECT_NE(u.pointer(), (PointPx{1100, 300}));
  EXPECT_TRUE(w.Timer28.Enabled());
  p.BusyFlag = 0;
  u.advance(300);
  EXPECT_EQ(u.pointer(), (PointPx{1100, 300}));
  EXPECT_FALSE(w.Timer28.Enabled());
  EXPECT_EQ(w.Timer28.Interval(), 300);
  EXPECT_EQ(p.PointerRestoreOnly, 0);
  // Once: the pointer is left where it is afterwards.
  u.moveTo({500, 400});
  u.advance(1000);
  EXPECT_EQ(u.pointer(), (PointPx{500, 400}));
}

TEST(Dispatcher, ADispatchFreesTheQueueAndShowsASuspendedKeyboard) {
  PaletteUser u;
  Program& p = u.p();
  p.Form8Suspended = 1;
  dispatch(u, 2000000);
  EXPECT_TRUE(p.palette.Form8Visible());
  EXPECT_EQ(p.Form8Suspended, 1);
}

TEST(PendingValue, ComparesByValueAcrossKinds) {
  EXPECT_EQ(PendingValue(1013), PendingValue(1013.0));
  EXPECT_EQ(PendingValue(100000000001LL), PendingValue(100000000001.0));
  EXPECT_EQ(PendingValue(" 1013 "), PendingValue(1013));
  EXPECT_FALSE(PendingValue(1013) == PendingValue(1014));
  EXPECT_FALSE(PendingValue("Nisto") == PendingValue(0));
  EXPECT_FALSE(PendingValue() == PendingValue(0));
  EXPECT_EQ(PendingValue("Nisto"), PendingValue("Nisto"));
  EXPECT_TRUE(PendingValue(100000000001.0).is(100000000001LL));
  EXPECT_FALSE(PendingValue("Nisto").is(0));
  EXPECT_FALSE(PendingValue().is(0));
  EXPECT_EQ(PendingValue(100000000001.0).text(), "100000000001");
}

}  // namespace
}  // namespace kel::test
