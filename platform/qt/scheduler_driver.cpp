#include "platform/qt/scheduler_driver.h"

#include <QAbstractEventDispatcher>
#include <algorithm>
#include <cmath>

namespace kel::qt {

Millis QtClock::now() const {
  const double real = nowPrecise();
  Millis t = static_cast<Millis>(real);
  if (held_ && real < lapseAt_) t = heldAt_;
  if (t < last_) t = last_;  // never backwards
  last_ = t;
  return t;
}

void QtClock::hold(Millis t, double lapseMs) {
  held_ = true;
  heldAt_ = std::max(t, last_);
  lapseAt_ = static_cast<double>(t) + lapseMs;
}

double QtClock::nowPrecise() const {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_)
      .count();
}

SchedulerDriver::SchedulerDriver(Scheduler& scheduler, QtClock& clock, ModelGate& gate)
    : scheduler_(scheduler), clock_(clock), gate_(gate), clockHold_(clock) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { fire(); });
  // Inside the gate the leave re-arms once for the whole batch or event.
  scheduler_.scheduleChanged = [this] {
    if (gate_.depth() == 0) rearm();
  };
  scheduler_.afterTick = [this](Timer&) { ++fired_; };
  // A tick that opens a modal dialog spins an event loop of its own: from then on the
  // batch is no longer one instant, and the dialog and what follows it see time pass.
  if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance())
    QObject::connect(d, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
      if (inBatch_) clockHold_.release();
    });
  rearm();
}

SchedulerDriver::~SchedulerDriver() {
  scheduler_.scheduleChanged = nullptr;
  scheduler_.afterTick = nullptr;
}

void SchedulerDriver::fire() {
  ++wakeups_;
  const std::optional<Millis> armed = armedFor_;
  armedFor_.reset();
  gate_.enterModel();
  // The whole batch runs at one instant: the due time it was woken for, unless woken
  // well after it. Every timer it fires counts its next tick from there, so timers that
  // shared this wake-up share the next ones.
  const double real = clock_.nowPrecise();
  clockHold_.hold(
      armed && real < static_cast<double>(*armed) + kLateMs ? *armed : static_cast<Millis>(real));
  inBatch_ = true;
  const Millis before = scheduler_.now();
  const std::optional<Millis> due = scheduler_.nextDue();
  fired_ = 0;
  scheduler_.fireDue();
  inBatch_ = false;
  clockHold_.release();
  blocked_ = due && *due <= before && fired_ == 0;
  gate_.leaveModel();
}

void SchedulerDriver::rearm() {
  if (blocked_) {
    // Waking up again before the running tick ends would only spin.
    if (gate_.depth() > 0) {
      timer_.stop();
      armedFor_.reset();
      return;
    }
    blocked_ = false;
  }
  const std::optional<Millis> due = scheduler_.nextDue();
  if (!due) {
    timer_.stop();
    armedFor_.reset();
    return;
  }
  const double now = clock_.nowPrecise();
  // Timers due within a few milliseconds of each other share one wake-up: the earlier
  // ones run that much late (a classic form timer ticks on a 15.6 ms grid anyway), and
  // since each restarts its count from the batch's time, they stay together.
  Millis wake = *due;
  if (static_cast<double>(*due) > now) {
    for (const Timer* t : scheduler_.timers())
      if (t->armed() && t->due() > wake && t->due() <= *due + kCoalesceMs) wake = t->due();
  }
  if (armedFor_ && *armedFor_ == wake && timer_.isActive()) return;
  const double wait = static_cast<double>(wake) - now;
  const int ms = wait <= 0 ? 0 : static_cast<int>(std::min(std::ceil(wait), 1.0e9));
  armedFor_ = wake;
  timer_.start(ms);
}

}  // namespace kel::qt
