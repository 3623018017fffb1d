// Real time for the program's scheduler: a monotonic clock and one precise single-shot
// QTimer armed for the earliest due timer.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <limits>
#include <optional>

#include "platform/qt/model_gate.h"
#include "platform/timer.h"

namespace kel::qt {

// Monotonic milliseconds since the program started.
//
// A batch of ticks runs at one instant, the time it was due, as on the headless desktop:
// the timer wakes a fraction of a millisecond late, and the ticks of a batch take time;
// a timer that restarts its count from a later instant than the others (setInterval in
// its handler, or just a later tick of a slow batch) drifts away from them, until every
// timer needs a wake-up of its own. So the clock can be held at one instant; a hold
// given a lapse ends by itself once real time has gone that far on.
class QtClock : public Clock {
 public:
  QtClock() : start_(std::chrono::steady_clock::now()) {}
  Millis now() const override;
  // Milliseconds with their fraction, to arm the timer no earlier than a due time.
  double nowPrecise() const;

  // Holds now() at t (never below a value already given) while real time is below
  // t + lapseMs (for good, by default, until release()).
  void hold(Millis t, double lapseMs = std::numeric_limits<double>::infinity());
  void release() { held_ = false; }

 private:
  std::chrono::steady_clock::time_point start_;
  bool held_ = false;
  Millis heldAt_ = 0;
  double lapseAt_ = 0;
  mutable Millis last_ = 0;
};

class SchedulerDriver : public QObject {
 public:
  // How late a timer may run so that it shares a wake-up with one due just after it.
  static constexpr Millis kCoalesceMs = 4;
  // Woken later than this after its due time, a batch runs at the time it was woken:
  // counting from a due time long past would only bring a burst of catch-up ticks.
  static constexpr double kLateMs = 2.0;

  SchedulerDriver(Scheduler& scheduler, QtClock& clock, ModelGate& gate);
  ~SchedulerDriver() override;

  // Arms the timer for the next due time (nothing when it is armed for it already).
  void rearm();
  // Timer wake-ups so far, for measurements.
  std::uint64_t wakeups() const { return wakeups_; }

 private:
  void fire();

  Scheduler& scheduler_;
  const QtClock& clock_;
  ModelGate& gate_;
  QTimer timer_;
  std::optional<Millis> armedFor_;
  QtClock& clockHold_;
  // The scheduler refused a batch: a tick is running a modal dialog's event loop.
  bool blocked_ = false;
  bool inBatch_ = false;
  int fired_ = 0;
  std::uint64_t wakeups_ = 0;
};

}  // namespace kel::qt
