#include "platform/forms.h"

#include <algorithm>
#include <unordered_map>

#include "platform/units.h"

namespace kel {

// --- change tracking ---------------------------------------------------------------------

Tracked::~Tracked() {
  if (log_ && slot_ != kNoSlot) log_->remove(*this);
}

Tracked::Tracked(const Tracked& other) : log_(other.log_) {
  if (log_) log_->enqueue(*this);
}

Tracked& Tracked::operator=(const Tracked&) {
  markChanged(kChangedAll);
  return *this;
}

void Tracked::markChanged(std::uint32_t bits) {
  if (bits == 0) return;
  changes_ |= bits;
  if (log_ && slot_ == kNoSlot) log_->enqueue(*this);
}

void Tracked::attachLog(ChangeLog* log) {
  if (log_ == log) return;
  if (log_ && slot_ != kNoSlot) log_->remove(*this);
  log_ = log;
  if (log_ && changes_ != 0) log_->enqueue(*this);
}

ChangeLog::~ChangeLog() {
  for (Tracked* t : entries_)
    if (t) {
      t->slot_ = Tracked::kNoSlot;
      t->log_ = nullptr;
    }
}

void ChangeLog::enqueue(Tracked& t) {
  t.slot_ = entries_.size();
  entries_.push_back(&t);
}

void ChangeLog::remove(Tracked& t) {
  if (t.slot_ >= entries_.size() || entries_[t.slot_] != &t) return;
  entries_[t.slot_] = nullptr;
  t.slot_ = Tracked::kNoSlot;
  ++dead_;
  // Unloading thousands of elements between two drains (clearing every page) must not
  // leave the log thousands of holes long.
  if (dead_ > 64 && dead_ * 2 > entries_.size()) {
    std::size_t n = 0;
    for (Tracked* e : entries_)
      if (e) {
        e->slot_ = n;
        entries_[n++] = e;
      }
    entries_.resize(n);
    dead_ = 0;
  }
}

// --- forms ---------------------------------------------------------------------------------

Form::Form(std::string name) : Name(std::move(name)) { attachLog(&changes_); }

// The form's own entry must leave its log before the log (a member) goes.
Form::~Form() { attachLog(nullptr); }

void Form::add(Control& c) {
  layers_.push_back({&c, nullptr});
  c.attachLog(&changes_);
}

void Form::add(ControlArrayBase& a) {
  layers_.push_back({nullptr, &a});
  a.attachLog(&changes_);
}

double Form::ScaleWidth() const { return Borderless ? Width : Width - kFrameExtraWidthTw; }
double Form::ScaleHeight() const { return Borderless ? Height : Height - kFrameExtraHeightTw; }

void Form::forEachControl(const std::function<void(Control&)>& f) const {
  for (const Layer& l : layers_) {
    if (l.control)
      f(*l.control);
    else
      l.array->forEachLoaded(f);
  }
}

void absolutePosition(const Control& c, double& left, double& top) {
  left = c.Left;
  top = c.Top;
  int depth = 0;
  for (const Control* p = c.Container; p && depth < 64; p = p->Container, ++depth) {
    left += p->Left;
    top += p->Top;
  }
}

bool effectivelyVisible(const Control& c) {
  int depth = 0;
  for (const Control* p = &c; p && depth < 64; p = p->Container, ++depth)
    if (!p->Visible) return false;
  return true;
}

Control* Form::hitTest(double clientX, double clientY) const {
  // Stacking: a later layer lies above an earlier one, and a child above its
  // container but within its container's place in the stack. A child is only hit
  // inside its container's rectangle, as a real window clips it.
  std::unordered_map<const Control*, int> ordinal;
  int n = 0;
  forEachControl([&](Control& c) { ordinal[&c] = n++; });
  auto inside = [&](const Control& c) {
    // Shapes and lines take no mouse events: the control beneath them does.
    if (!effectivelyVisible(c) || c.Kind == ControlKind::Line || c.Kind == ControlKind::Shape)
      return false;
    int depth = 0;
    for (const Control* p = &c; p && depth < 64; p = p->Container, ++depth) {
      double l, t;
      absolutePosition(*p, l, t);
      if (clientX < l || clientY < t || clientX >= l + p->Width || clientY >= t + p->Height)
        return false;
    }
    return true;
  };
  auto stackKey = [&](const Control& c) {
    std::vector<int> key;
    int depth = 0;
    for (const Control* p = &c; p && depth < 64; p = p->Container, ++depth) {
      auto it = ordinal.find(p);
      key.push_back(it == ordinal.end() ? -1 : it->second);
    }
    std::reverse(key.begin(), key.end());
    return key;
  };
  Control* hit = nullptr;
  std::vector<int> hitKey;
  forEachControl([&](Control& c) {
    if (!inside(c)) return;
    std::vector<int> key = stackKey(c);
    if (!hit || hitKey < key) {
      hit = &c;
      hitKey = std::move(key);
    }
  });
  return hit;
}

}  // namespace kel
