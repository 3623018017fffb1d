#include "platform/timer.h"

#include <algorithm>
#include <exception>

namespace kel {

Timer::Timer(Scheduler& scheduler, std::string name, int intervalMs, bool enabled)
    : scheduler_(scheduler), name_(std::move(name)), interval_(std::max(0, intervalMs)) {
  scheduler_.attach(*this);
  if (enabled) setEnabled(true);
}

Timer::~Timer() { scheduler_.detach(*this); }

void Timer::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (on) due_ = scheduler_.now() + interval_;
  scheduler_.changed();
}

void Timer::setInterval(int ms) {
  interval_ = std::max(0, ms);
  // A new interval restarts the count even when it equals the old one.
  due_ = scheduler_.now() + interval_;
  scheduler_.changed();
}

void Scheduler::attach(Timer& t) {
  t.order_ = nextOrder_++;
  timers_.push_back(&t);
}

void Scheduler::detach(Timer& t) {
  timers_.erase(std::remove(timers_.begin(), timers_.end(), &t), timers_.end());
}

void Scheduler::changed() {
  if (scheduleChanged) scheduleChanged();
}

std::optional<Millis> Scheduler::nextDue() const {
  std::optional<Millis> best;
  for (const Timer* t : timers_) {
    if (!t->armed()) continue;
    if (!best || t->due_ < *best) best = t->due_;
  }
  return best;
}

Timer* Scheduler::earliestDue(Millis limit) const {
  Timer* best = nullptr;
  for (Timer* t : timers_) {
    if (!t->armed() || t->due_ > limit) continue;
    if (!best || t->due_ < best->due_ || (t->due_ == best->due_ && t->order_ < best->order_))
      best = t;
  }
  return best;
}

void Scheduler::fire(Timer& t) {
  t.lateBy_ = std::max<Millis>(0, clock_.now() - t.due_);
  // The next tick counts from this one; the handler may still restart or stop it.
  t.due_ = clock_.now() + t.interval_;
  inTick_ = true;
  try {
    if (t.Tick) t.Tick();
  } catch (const std::exception&) {
    // A tick's failure ends that tick only; the program goes on.
  }
  inTick_ = false;
  if (afterTick) afterTick(t);
}

bool Scheduler::fireNext() {
  if (inTick_) return false;
  Timer* t = earliestDue(clock_.now());
  if (!t) return false;
  fire(*t);
  return true;
}

void Scheduler::fireDue() {
  if (inTick_) return;
  const Millis limit = clock_.now();
  std::vector<const Timer*> fired;
  while (Timer* t = earliestDue(limit)) {
    if (std::find(fired.begin(), fired.end(), t) != fired.end()) break;
    fired.push_back(t);
    fire(*t);
  }
}

}  // namespace kel
