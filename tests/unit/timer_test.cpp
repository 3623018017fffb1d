#include "platform/timer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_desktop.h"

namespace kel {
namespace {

struct Recorder {
  SimHost host;
  std::vector<std::string> ticks;
  void watch(Timer& t) {
    t.Tick = [this, &t] { ticks.push_back(t.name() + "@" + std::to_string(host.now())); };
  }
};

TEST(Timer, TicksEveryIntervalWhileEnabled) {
  Recorder r;
  Timer t(r.host.scheduler, "T", 20, true);
  r.watch(t);
  r.host.advance(65);
  EXPECT_EQ(r.ticks, (std::vector<std::string>{"T@20", "T@40", "T@60"}));
}

TEST(Timer, ChangingTheIntervalRestartsTheCount) {
  Recorder r;
  Timer t(r.host.scheduler, "T", 50, true);
  r.watch(t);
  r.host.advance(30);
  t.setInterval(50);  // the same value still restarts
  r.host.advance(40);
  EXPECT_TRUE(r.ticks.empty());
  r.host.advance(10);
  EXPECT_EQ(r.ticks, (std::vector<std::string>{"T@80"}));
}

TEST(Timer, EnablingARunningTimerDoesNotRestartIt) {
  Recorder r;
  Timer t(r.host.scheduler, "T", 50, true);
  r.watch(t);
  r.host.advance(30);
  t.setEnabled(true);
  r.host.advance(20);
  EXPECT_EQ(r.ticks, (std::vector<std::string>{"T@50"}));
  // Off and on again restarts.
  r.host.advance(10);
  t.setEnabled(false);
  t.setEnabled(true);
  r.host.advance(45);
  EXPECT_EQ(r.ticks.size(), 1u);
  r.host.advance(5);
  EXPECT_EQ(r.ticks.back(), "T@110");
}

TEST(Timer, OneShotSwitchesItselfOff) {
  SimHost host;
  Timer t(host.scheduler, "T", 200, true);
  int n = 0;
  t.Tick = [&] {
    ++n;
    t.setEnabled(false);
  };
  host.advance(1000);
  EXPECT_EQ(n, 1);
  EXPECT_FALSE(t.Enabled());
}

TEST(Timer, TicksDueTogetherRunInCreationOrderOneAtATime) {
  Recorder r;
  Timer a(r.host.scheduler, "A", 50, true);
  Timer b(r.host.scheduler, "B", 25, true);
  Timer c(r.host.scheduler, "C", 50, true);
  r.watch(a);
  r.watch(b);
  r.watch(c);
  r.host.advance(50);
  EXPECT_EQ(r.ticks, (std::vector<std::string>{"B@25", "A@50", "B@50", "C@50"}));
}

TEST(Timer, ZeroIntervalNeverTicks) {
  SimHost host;
  Timer t(host.scheduler, "T", 0, true);
  int n = 0;
  t.Tick = [&] { ++n; };
  host.advance(1000);
  EXPECT_EQ(n, 0);
  EXPECT_FALSE(host.scheduler.nextDue().has_value());
}

TEST(Timer, AFailingTickEndsOnlyThatTick) {
  SimHost host;
  Timer t(host.scheduler, "T", 10, true);
  int n = 0;
  t.Tick = [&] {
    if (++n == 1) throw std::runtime_error("boom");
  };
  host.advance(30);
  EXPECT_EQ(n, 3);
}

// A program left waiting: what the user does meanwhile happens at its time, the due
// timers then tick once each, late, and count on from there (no catch-up burst).
TEST(SimHost, AStalledProgramTicksOnceLateAndCountsOnFromThere) {
  Recorder r;
  Timer fast(r.host.scheduler, "F", 20, true);
  Timer slow(r.host.scheduler, "S", 50, true);
  r.watch(fast);
  r.watch(slow);
  std::vector<Millis> userAt;
  r.host.at(30, [&] { userAt.push_back(r.host.now()); });
  r.host.advance(10);
  r.host.stall(100);
  EXPECT_EQ(userAt, std::vector<Millis>{30});
  EXPECT_EQ(r.ticks, (std::vector<std::string>{"F@110", "S@110"}));
  EXPECT_EQ(fast.lateBy(), 90);
  EXPECT_EQ(slow.lateBy(), 60);
  r.host.advance(20);
  EXPECT_EQ(r.ticks.back(), "F@130");
  EXPECT_EQ(fast.lateBy(), 0);
}

TEST(SimHost, UserActionsInterleaveWithTicksInTimeOrder) {
  SimHost host;
  Timer t(host.scheduler, "T", 20, true);
  std::vector<std::string> log;
  t.Tick = [&] { log.push_back("tick@" + std::to_string(host.now())); };
  host.at(20, [&] { log.push_back("user@20"); });
  host.at(30, [&] { log.push_back("user@30"); });
  host.advance(40);
  EXPECT_EQ(log, (std::vector<std::string>{"user@20", "tick@20", "user@30", "tick@40"}));
}

}  // namespace
}  // namespace kel
