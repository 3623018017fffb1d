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
