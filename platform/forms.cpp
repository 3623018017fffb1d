#include "platform/forms.h"

#include <algorithm>
#include <vector>

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
  // Stacking: a later layer lies above an earlier one, and a child above its container
  // but within its container's place in the stack, so of the controls under the point
  // the one whose chain of ordinals (outermost container first) is greatest lies on top.
  // A child is only hit inside its container's rectangle, as a real window clips it.
  // Only the few controls under the point are looked at twice: a mouse move over a page
  // of ten thousand symbols stays cheap.
  struct Under {
    const Control* control;
    int ordinal;
  };
  std::vector<Under> under;  // visible, and inside every rectangle of its chain
  int n = 0;
  forEachControl([&](Control& c) {
    const int ordinal = n++;
    if (!c.Visible) return;
    int depth = 0;
    for (const Control* p = &c; p && depth < 64; p = p->Container, ++depth) {
      double l, t;
      absolutePosition(*p, l, t);
      if (clientX < l || clientY < t || clientX >= l + p->Width || clientY >= t + p->Height) return;
    }
    if (effectivelyVisible(c)) under.push_back({&c, ordinal});
  });
  // Every container of a control under the point is under it too; one that is not is
  // no control of this form.
  auto ordinalOf = [&](const Control* c) {
    for (auto it = under.rbegin(); it != under.rend(); ++it)
      if (it->control == c) return it->ordinal;
    return -1;
  };
  const Control* hit = nullptr;
  std::vector<int> hitKey, key;
  for (const Under& u : under) {
    // Shapes and lines take no mouse events: the control beneath them does.
    if (u.control->Kind == ControlKind::Line || u.control->Kind == ControlKind::Shape) continue;
    key.clear();
    int depth = 0;
    for (const Control* p = u.control; p && depth < 64; p = p->Container, ++depth)
      key.push_back(ordinalOf(p));
    std::reverse(key.begin(), key.end());
    if (!hit || hitKey < key) {
      hit = u.control;
      hitKey.swap(key);
    }
  }
  return const_cast<Control*>(hit);
}

Control* mouseTarget(const Form& f, double clientX, double clientY, double& x, double& y) {
  if (clientX < 0 || clientY < 0 || clientX >= f.ScaleWidth() || clientY >= f.ScaleHeight())
    return nullptr;
  Control* c = f.hitTest(clientX, clientY);
  // A disabled control takes the event away from everything beneath it.
  if (!c || !c->Enabled) return nullptr;
  double l, t;
  absolutePosition(*c, l, t);
  x = clientX - l;
  y = clientY - t;
  return c;
}

bool onBareForm(const Form& f, double clientX, double clientY) {
  if (clientX < 0 || clientY < 0 || clientX >= f.ScaleWidth() || clientY >= f.ScaleHeight())
    return false;
  return f.hitTest(clientX, clientY) == nullptr;
}

bool stillLoaded(const Form& f, const Control* c) {
  bool found = false;
  f.forEachControl([&](Control& each) { found = found || &each == c; });
  return found;
}

}  // namespace kel
