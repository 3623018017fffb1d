// Timers and the one scheduler that fires them.
//
// A Timer behaves like the classic form timer: it ticks every Interval ms while
// Enabled; switching it on (when off) or changing its interval restarts its count;
// switching on a timer that already runs changes nothing; an interval of 0 never ticks.
// The Scheduler fires due timers one at a time, in due-time order, ties in the order
// the timers were created. It knows nothing of real time: a Clock says what "now" is,
// so the same program runs on a virtual clock in tests and on a real one on the desktop.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kel {

using Millis = std::int64_t;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual Millis now() const = 0;
};

class Scheduler;

class Timer {
 public:
  Timer(Scheduler& scheduler, std::string name, int intervalMs, bool enabled);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool Enabled() const { return enabled_; }
  int Interval() const { return interval_; }
  void setEnabled(bool on);
  void setInterval(int ms);

  const std::string& name() const { return name_; }
  // When the next tick is due (only meaningful while it runs with an interval > 0).
  Millis due() const { return due_; }
  bool armed() const { return enabled_ && interval_ > 0; }
  // How much later than it was due the running tick (or the last one) began: 0 on time;
  // a loaded machine, which left the program waiting, makes it more.
  Millis lateBy() const { return lateBy_; }

  std::function<void()> Tick;

 private:
  friend class Scheduler;
  Scheduler& scheduler_;
  std::string name_;
  int interval_ = 0;
  bool enabled_ = false;
  Millis due_ = 0;
  Millis lateBy_ = 0;
  std::uint64_t order_ = 0;
};

class Scheduler {
 public:
  explicit Scheduler(const Clock& clock) : clock_(clock) {}
  Scheduler(const Scheduler&) = delete;
  Scheduler& operator=(const Scheduler&) = delete;

  Millis now() const { return clock_.now(); }

  // The earliest due time of any running timer.
  std::optional<Millis> nextDue() const;

  // Fires the earliest timer that is due at or before now, if any. A tick that is
  // already running (a modal dialog spinning an event loop, say) is never re-entered.
  bool fireNext();

  // Fires every timer due at or before now; each at most once per call.
  void fireDue();

  // Called whenever a timer changes its schedule, so a real backend can re-arm.
  std::function<void()> scheduleChanged;

  // Called after every tick (the real backend brings its widgets in line).
  std::function<void(Timer&)> afterTick;

  const std::vector<Timer*>& timers() const { return timers_; }

 private:
  friend class Timer;
  void attach(Timer& t);
  void detach(Timer& t);
  void changed();
  Timer* earliestDue(Millis limit) const;
  void fire(Timer& t);

  const Clock& clock_;
  std::vector<Timer*> timers_;
  std::uint64_t nextOrder_ = 0;
  bool inTick_ = false;
};

}  // namespace kel
