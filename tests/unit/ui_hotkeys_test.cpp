// The editing hotkeys reach their commands whichever window has the focus.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "editing_probe.h"
#include "ui_fixture.h"

namespace kel::test {
namespace {

constexpr int kV = 86, kX = 88, kZ = 90, kR = 82;

struct Runs {
  int paste, del, undo, result;
  bool operator==(const Runs&) const = default;
};

// The result command types the result shown (7 in these tests): one paced "7" per run.
int resultRuns(Ui& u) {
  int n = 0;
  for (const std::string& item : u.w().List1.Items)
    if (item == "***55") ++n;
  return n;
}

// Paste and delete as the selection shows them: copies of it made, times it was moved up.
Runs runs(Ui& u, const EditingProbe& probe) {
  return {probe.pastes(), probe.deletes(), u.p().pages.command69Runs, resultRuns(u)};
}

std::ostream& operator<<(std::ostream& o, const Runs& r) {
  return o << "paste " << r.paste << ", delete " << r.del << ", undo " << r.undo << ", result "
           << r.result;
}

// Holds the keys, in order, and waits for the hotkey poll's first tick that acts.
void holdUntilActs(Ui& u, const EditingProbe& probe, std::initializer_list<int> keys) {
  for (int k : keys) u.desk().userKeyDown(k);
  const Runs before = runs(u, probe);
  for (int i = 0; i < 60 && runs(u, probe) == before; ++i) u.advance(1);
}

void releaseAll(Ui& u, std::initializer_list<int> keys) {
  for (int k : keys) u.desk().userKeyUp(k);
}

TEST(EditingHotkeys, EachReachesItsCommandAndRaisesThePollInterval) {
  struct Case {
    const char* name;
    std::initializer_list<int> keys;
    Runs after;
    int interval;
  } cases[] = {
      {"Ctrl+V", {vk::LControl, kV}, {1, 0, 0, 0}, 1500},
      {"Ctrl+X", {vk::LControl, kX}, {0, 1, 0, 0}, 1500},
      {"Delete", {vk::Delete}, {0, 1, 0, 0}, 1500},
      {"Ctrl+Delete", {vk::RControl, vk::Delete}, {0, 1, 0, 0}, 1500},
      {"Ctrl+Z", {vk::LControl, kZ}, {0, 0, 1, 0}, 500},
      {"Ctrl+R", {vk::RControl, kR}, {0, 0, 0, 1}, 500},
      // Run in this order in one tick; the interval set last holds.
      {"Ctrl+V and Ctrl+Z", {vk::LControl, kV, kZ}, {1, 0, 1, 0}, 500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Ui u;
    const EditingProbe probe(u.p(), u.screenOf(1500, 4000));
    u.advance(30);
    u.w().Text8.setText("7");
    holdUntilActs(u, probe, c.keys);
    EXPECT_EQ(runs(u, probe), c.after);
    EXPECT_EQ(u.w().Timer15.Interval(), c.interval);
    // Still held when the raised interval ends: the command runs again, once.
    u.advance(c.interval - 5);
    EXPECT_EQ(runs(u, probe), c.after);
    u.advance(10);
    Runs twice = c.after;
    for (int* n : {&twice.paste, &twice.del, &twice.undo, &twice.result}) *n *= 2;
    EXPECT_EQ(runs(u, probe), twice);
    releaseAll(u, c.keys);
    u.advance(c.interval + 100);
    EXPECT_EQ(runs(u, probe), twice);
    EXPECT_EQ(u.w().Timer15.Interval(), 50);  // back to the poll once nothing is held
  }
}

TEST(EditingHotkeys, EveryChordActsOnceHoweverShort) {
  // A chord is Ctrl held when the letter went down, whatever is held at the poll's tick:
  // a letter tapped inside Ctrl quicker than the keyboard poll, a chord sent as one
  // press and release, a chord whose Ctrl is up before the hotkeys look.
  struct Key {
    int vk;
    Millis down, up;
  };
  struct Case {
    const char* name;
    std::vector<Key> keys;
    Runs after;
  } cases[] = {
      {"Z tapped 5 ms inside Ctrl", {{vk::LControl, 0, 40}, {kZ, 10, 15}}, {0, 0, 1, 0}},
      {"Ctrl+Z all at once", {{vk::LControl, 0, 2}, {kZ, 0, 1}}, {0, 0, 1, 0}},
      {"Ctrl+V all at once", {{vk::RControl, 0, 2}, {kV, 0, 1}}, {1, 0, 0, 0}},
      {"Ctrl+X tapped", {{vk::LControl, 0, 30}, {kX, 5, 8}}, {0, 1, 0, 0}},
      {"Ctrl+R tapped", {{vk::LControl, 0, 30}, {kR, 5, 8}}, {0, 0, 0, 1}},
      {"Delete tapped 3 ms", {{vk::Delete, 5, 8}}, {0, 1, 0, 0}},
      // Ctrl let go before the letter went down: no chord, however close.
      {"Ctrl, then Z", {{vk::LControl, 0, 3}, {kZ, 5, 8}}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Ui u;
    const EditingProbe probe(u.p(), u.screenOf(1500, 4000));
    u.advance(33);  // between two ticks of the hotkeys, as a person would come
    u.w().Text8.setText("7");
    const Millis t0 = u.host().now();
    for (const Key& k : c.keys) {
      u.host().at(t0 + k.down, [&u, k] { u.desk().userKeyDown(k.vk); });
      u.host().at(t0 + k.up, [&u, k] { u.desk().userKeyUp(k.vk); });
    }
    u.advance(2000);
    EXPECT_EQ(runs(u, probe), c.after);
  }
}

TEST(EditingHotkeys, TwentyQuickUndosUndoTwentyTimes) {
  // 21 letters, then Z held 5 to 90 ms inside Ctrl, one chord after another (a fixed
  // sequence of holds standing for the random ones), some during the raised interval after
  // an undo. A left Ctrl let go before the step it starts takes no undo snapshot, which
  // would make the next Undo restore the page it shows.
  Ui u;
  u.advance(30);
  for (int i = 0; i < 21; ++i) {
    u.host().tap('A' + i, 30);
    u.advance(120);
  }
  ASSERT_EQ(u.p().UndoIndex, 21);
  unsigned seed = 12345;
  Millis t = u.host().now() + 10;
  for (int i = 0; i < 20; ++i) {
    seed = seed * 1103515245u + 12345u;
    const Millis hold = 5 + static_cast<Millis>((seed >> 16) % 86);
    // As a typing tool sends them: Ctrl down, Z down, Z up, Ctrl up at once.
    u.host().at(t, [&u] { u.desk().userKeyDown(vk::LControl); });
    u.host().at(t + 1, [&u] { u.desk().userKeyDown(kZ); });
    u.host().at(t + 1 + hold, [&u] { u.desk().userKeyUp(kZ); });
    u.host().at(t + 2 + hold, [&u] { u.desk().userKeyUp(vk::LControl); });
    t += 150 + hold;
  }
  u.advance(t - u.host().now() + 3000);
  EXPECT_EQ(u.p().pages.command69Runs, 20);
  // Each went one step back: the letter typed first is what is left.
  EXPECT_EQ(u.p().UndoIndex, 1);
  // Nothing of them was typed: each Z queued the empty item of Ctrl+Z.
  for (const std::string& item : u.w().List1.Items) EXPECT_NE(item, "90");
}

TEST(EditingHotkeys, UndoPutsThePointerOnTheToolbarFirst) {
  Ui u;
  u.moveTo({500, 400});
  for (int k : {vk::LControl, kZ}) u.desk().userKeyDown(k);
  for (int i = 0; i < 60 && u.p().pages.command69Runs == 0; ++i) u.advance(1);
  ASSERT_EQ(u.p().pages.command69Runs, 1);
  // 40 px right of the panel's left edge and 60 px below the window's top.
  const MainWindow& w = u.w();
  const PointPx want{pixelForPointer((w.Left + w.Frame6.Left) / 15 + 40),
                     pixelForPointer(w.Top / 15 + 60)};
  EXPECT_EQ(u.pointer(), want);
  EXPECT_EQ(want, (PointPx{999, 93}));
  EXPECT_EQ(u.p().BusyFlag, 0);
  releaseAll(u, {vk::LControl, kZ});
}

TEST(EditingHotkeys, LettersWithoutCtrlAreNoHotkeys) {
  Ui u;
  const EditingProbe probe(u.p(), u.screenOf(1500, 4000));
  for (int k : {kV, kX, kZ, kR}) {
    u.host().tap(k, 30);
    u.advance(200);
  }
  EXPECT_EQ(runs(u, probe), (Runs{0, 0, 0, 0}));
  EXPECT_EQ(u.w().Timer15.Interval(), 50);
}

}  // namespace
}  // namespace kel::test
