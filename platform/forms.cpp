#include "platform/forms.h"

#include <algorithm>
#include <unordered_map>
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
  if (!log_) return;
  if (slot_ == kNoSlot) log_->enqueue(*this);
  if (bits & kChangedContainer) log_->structureChanged();
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
  changes_.structureChanged();
}

void Form::add(ControlArrayBase& a) {
  layers_.push_back({nullptr, &a});
  a.attachLog(&changes_);
  changes_.structureChanged();
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

// The stacking order is a tree: the form's client area holds the controls without a
// container, a container holds its children, and siblings lie in registration order (an
// element of an array at its array's place, in index order). A child lies above its
// container, inside its container's place in the stack, and is clipped by it. Walking the
// tree from the top down (the last sibling first, a container's children before the
// container) meets the topmost control first, and skips a hidden container or one not
// under the point together with everything in it.
struct Form::HitIndex {
  std::uint64_t structure = 0;
  bool built = false;
  std::vector<Control*> roots;
  // The children of each container, in stacking order, and where to find them.
  std::vector<const Control*> containers;
  std::vector<std::vector<Control*>> children;
  std::unordered_map<const Control*, std::size_t> childrenOf;
  // Containers that are not the form's own controls: they hide and clip their children
  // but take no events themselves.
  std::vector<const Control*> foreign;

  const std::vector<Control*>* kids(const Control* c) const {
    if (childrenOf.empty()) return nullptr;
    auto it = childrenOf.find(c);
    return it == childrenOf.end() ? nullptr : &children[it->second];
  }
  std::size_t groupOf(const Control* c) {
    auto [it, fresh] = childrenOf.try_emplace(c, children.size());
    if (fresh) {
      containers.push_back(c);
      children.emplace_back();
    }
    return it->second;
  }
};

namespace {

bool registeredWith(const std::vector<Form::Layer>& layers, const Control& c) {
  for (const Form::Layer& l : layers) {
    if (l.control == &c) return true;
    if (l.array && l.array == c.Array && l.array->elementAt(c.Index) == &c) return true;
  }
  return false;
}

// Depth beyond which a chain of containers is taken for a loop, as absolutePosition and
// effectivelyVisible take it.
constexpr int kMaxNesting = 64;

}  // namespace

Control* Form::hitTest(double clientX, double clientY) const {
  if (!hits_) hits_ = std::make_unique<HitIndex>();
  HitIndex& h = *hits_;
  if (!h.built || h.structure != changes_.structure()) {
    h.built = true;
    h.structure = changes_.structure();
    h.roots.clear();
    h.containers.clear();
    h.children.clear();
    h.childrenOf.clear();
    h.foreign.clear();
    // Elements of one array mostly share their container: it is looked up once per run.
    const Control* last = nullptr;
    std::size_t lastGroup = 0;
    forEachControl([&](Control& c) {
      Control* p = c.Container;
      if (!p) {
        h.roots.push_back(&c);
        return;
      }
      if (p != last) {
        last = p;
        lastGroup = h.groupOf(p);
      }
      h.children[lastGroup].push_back(&c);
    });
    // A container that is not registered lies below every registered sibling.
    for (std::size_t i = 0; i < h.containers.size(); ++i) {
      const Control* container = h.containers[i];
      if (registeredWith(layers_, *container)) continue;
      h.foreign.push_back(container);
      std::vector<Control*>& siblings =
          container->Container ? h.children[h.groupOf(container->Container)] : h.roots;
      siblings.insert(siblings.begin(), const_cast<Control*>(container));
    }
  }
  // A control's place is computed as absolutePosition does, so that a point on an edge
  // falls where it always did.
  auto walk = [&](auto&& self, const std::vector<Control*>& siblings, int depth) -> Control* {
    for (auto it = siblings.rbegin(); it != siblings.rend(); ++it) {
      Control& c = **it;
      if (!c.Visible) continue;
      double l, t;
      absolutePosition(c, l, t);
      if (clientX < l || clientY < t || clientX >= l + c.Width || clientY >= t + c.Height) continue;
      if (depth < kMaxNesting - 1)
        if (const std::vector<Control*>* kids = h.kids(&c))
          if (Control* hit = self(self, *kids, depth + 1)) return hit;
      // Shapes and lines take no mouse events: the control beneath them does.
      if (c.Kind == ControlKind::Line || c.Kind == ControlKind::Shape) continue;
      if (!h.foreign.empty() &&
          std::find(h.foreign.begin(), h.foreign.end(), &c) != h.foreign.end())
        continue;
      return &c;
    }
    return nullptr;
  };
  return walk(walk, h.roots, 0);
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
