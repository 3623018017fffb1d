// The real scheduler driver: a batch of ticks runs at one instant, so timers that share a
// wake-up keep sharing them however long the ticks of a batch take.
#include "platform/qt/scheduler_driver.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <functional>
#include <vector>

#include "platform/qt/model_gate.h"
#include "platform/timer.h"
#include "tests/qt/test_time.h"

namespace kel::qt {
namespace {

// Leaving the model re-arms the driver, as the desktop's gate does.
class RearmingGate : public ModelGate {
 public:
  void enterModel() override { ++depth_; }
  void leaveModel() override {
    if (--depth_ == 0 && driver) driver->rearm();
  }
  int depth() const override { return depth_; }

  SchedulerDriver* driver = nullptr;

 private:
  int depth_ = 0;
};

void busyFor(std::chrono::milliseconds d) {
  const auto end = std::chrono::steady_clock::now() + d;
  while (std::chrono::steady_clock::now() < end) {
  }
}

// Runs the event loop until done() holds, the room of ten seconds at most: a loaded machine
// ticks late, and the ticks are what the test needs, not a length of time.
void spinUntil(const std::function<bool()>& done) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < room(10000))
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

// Two 20 ms timers started together, the first of which takes 6 ms a tick and restarts
// its own count, as the keyboard poll does. Counted from the real time each tick began,
// the second would fall 6 ms behind the first at every batch and the two would need a
// wake-up each; held at the batch's instant they tick together for good.
TEST(SchedulerDriver, ABatchIsOneInstantSoTimersThatShareAWakeUpStayTogether) {
  QtClock clock;
  Scheduler scheduler(clock);
  RearmingGate gate;
  Timer slow(scheduler, "slow", 20, false);
  Timer other(scheduler, "other", 20, false);
  std::vector<Millis> slowAt, otherAt;
  slow.Tick = [&] {
    slowAt.push_back(scheduler.now());
    busyFor(std::chrono::milliseconds(6));
    slow.setInterval(20);
  };
  other.Tick = [&] { otherAt.push_back(scheduler.now()); };
  SchedulerDriver driver(scheduler, clock, gate);
  gate.driver = &driver;
  slow.setEnabled(true);
  other.setEnabled(true);

  spinUntil([&] { return slowAt.size() >= 20; });
  slow.setEnabled(false);
  other.setEnabled(false);

  ASSERT_GE(slowAt.size(), 5u);
  ASSERT_EQ(slowAt.size(), otherAt.size());
  EXPECT_EQ(slowAt, otherAt);
  EXPECT_EQ(driver.wakeups(), slowAt.size());
}

}  // namespace
}  // namespace kel::qt
