#include "platform/forms.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "platform/units.h"

namespace kel {

// --- change tracking ---------------------------------------------------------------------

Tracked::~Tracked() {
  if (log_ && slot_ != kNoSlot) log_->remove(*this);
  if (log_ && movedSlot_ != kNoSlot) log_->forgetMoved(*this);
}

Tracked::Tracked(const Tracked& other) : log_(other.log_), counter_(other.counter_) {
  if (log_) log_->enqueue(*this);
}

Tracked& Tracked::operator=(const Tracked&) {
  markChanged(kChangedAll);
  return *this;
}

void Tracked::markChanged(std::uint32_t bits) {
  if (bits == 0) return;
  if (counter_) ++*counter_;
  changes_ |= bits;
  if (!log_) return;
  if (slot_ == kNoSlot) log_->enqueue(*this);
  if (bits & kChangedContainer) log_->structureChanged();
  if (bits & (kChangedGeometry | kChangedVisible)) log_->noteMoved(*this);
}

void Tracked::attachLog(ChangeLog* log) {
  if (log_ == log) return;
  if (log_ && slot_ != kNoSlot) log_->remove(*this);
  if (log_ && movedSlot_ != kNoSlot) log_->forgetMoved(*this);
  log_ = log;
  if (log_ && changes_ != 0) log_->enqueue(*this);
}

ChangeLog::~ChangeLog() {
  for (Tracked* t : moved_)
    if (t) t->movedSlot_ = Tracked::kNoSlot;
  for (Tracked* t : entries_)
    if (t) {
      t->slot_ = Tracked::kNoSlot;
      t->log_ = nullptr;
    }
}

void ChangeLog::noteMoved(Tracked& t) {
  if (t.movedSlot_ != Tracked::kNoSlot) return;
  t.movedSlot_ = moved_.size();
  moved_.push_back(&t);
}

void ChangeLog::forgetMoved(Tracked& t) {
  if (t.movedSlot_ < moved_.size() && moved_[t.movedSlot_] == &t) {
    moved_[t.movedSlot_] = nullptr;
    ++movedDead_;
  }
  t.movedSlot_ = Tracked::kNoSlot;
  // Elements unloaded by the thousand while nothing asks for a hit leave no trail of holes.
  dropHoles(moved_, movedDead_, &Tracked::movedSlot_);
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
  dropHoles(entries_, dead_, &Tracked::slot_);
}

void ChangeLog::dropHoles(std::vector<Tracked*>& list, std::size_t& dead,
                          std::size_t Tracked::*slot) {
  if (dead <= 64 || dead * 2 <= list.size()) return;
  std::size_t n = 0;
  for (Tracked* e : list)
    if (e) {
      e->*slot = n;
      list[n++] = e;
    }
  list.resize(n);
  dead = 0;
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

void place(Control& c, double left, double top, double width, double height) {
  c.Left = left;
  c.Top = top;
  c.Width = width;
  c.Height = height;
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
  // The sibling lists: 0 the form's client area, then one per container.
  std::vector<std::vector<Control*>> lists{1};
  std::vector<const Control*> containerOf{nullptr};
  std::unordered_map<const Control*, std::size_t> listOf;
  // Containers that are not the form's own controls: they hide and clip their children
  // but take no events themselves, and their log is not this form's.
  std::vector<const Control*> foreign;
  // The sibling lists that hold elements of each control array.
  std::unordered_map<const ControlArrayBase*, std::vector<std::size_t>> arrayLists;

  // The place every visible control of a run of siblings covers, in their container's
  // twips, so that a point outside it skips the whole run; and the places of the run's
  // parts, so that a point inside the run's box looks only at the parts it is in (runs of
  // symbols typed in lines cover two lines each, and a page typed over itself lays many
  // runs over every place). A run is recomputed when one of its controls moved, changed
  // size or was shown or hidden.
  static constexpr std::size_t kRun = 32, kPart = 8, kParts = kRun / kPart;
  struct Box {
    double left = 0, top = 0, right = 0, bottom = 0;
    bool empty = true;
    void add(double l, double t, double r, double b) {
      if (empty) {
        left = l, right = r, top = t, bottom = b;
        empty = false;
      } else {
        left = std::min(left, l), right = std::max(right, r);
        top = std::min(top, t), bottom = std::max(bottom, b);
      }
    }
    // Whether the point (in the container's twips, the container at ox, oy) is outside
    // the box widened for the rounding of the sums along the containers.
    bool misses(double px, double py, double ox, double oy) const;
  };
  struct Run {
    Box box;
    Box parts[kParts];
    bool dirty = true, always = false;
  };
  std::vector<std::vector<Run>> runs;

  const std::vector<Control*>* kids(const Control* c) const {
    if (listOf.empty()) return nullptr;
    auto it = listOf.find(c);
    return it == listOf.end() ? nullptr : &lists[it->second];
  }
  std::size_t listFor(const Control* c) {
    auto [it, fresh] = listOf.try_emplace(c, lists.size());
    if (fresh) {
      lists.emplace_back();
      containerOf.push_back(c);
    }
    return it->second;
  }
  bool isForeign(const Control* c) const {
    return !foreign.empty() && std::find(foreign.begin(), foreign.end(), c) != foreign.end();
  }
  void moved(const Control& c) {
    if (c.hitList_ >= lists.size()) return;
    const std::vector<Control*>& list = lists[c.hitList_];
    if (c.hitPos_ >= list.size() || list[c.hitPos_] != &c) return;
    runs[c.hitList_][c.hitPos_ / kRun].dirty = true;
  }
  const Run& run(std::size_t list, std::size_t r) {
    Run& run = runs[list][r];
    if (!run.dirty) return run;
    run = Run{};
    run.dirty = false;
    const std::vector<Control*>& siblings = lists[list];
    const std::size_t end = std::min(siblings.size(), (r + 1) * kRun);
    for (std::size_t i = r * kRun; i < end; ++i) {
      Box& part = run.parts[(i - r * kRun) / kPart];
      const Control& c = *siblings[i];
      if (isForeign(&c)) {
        run.always = true;  // its changes reach another log, or none
        continue;
      }
      if (!c.Visible) continue;
      const double l = c.Left, t = c.Top, w = c.Width, h = c.Height;
      if (!std::isfinite(l) || !std::isfinite(t) || !std::isfinite(w) || !std::isfinite(h)) {
        run.always = true;  // no box can stand for a place that is no number
        continue;
      }
      const double l2 = std::min(l, l + w), r2 = std::max(l, l + w);
      const double t2 = std::min(t, t + h), b2 = std::max(t, t + h);
      run.box.add(l2, t2, r2, b2);
      part.add(l2, t2, r2, b2);
    }
    return run;
  }
  // Calls visit on the siblings of a list from the top down, skipping the runs and parts
  // the point is outside of, until it gives a control, which it then gives.
  template <class Visit>
  Control* scan(std::size_t list, double px, double py, double ox, double oy, Visit&& visit) {
    const std::vector<Control*>& siblings = lists[list];
    for (std::size_t r = runs[list].size(); r-- > 0;) {
      const Run& rn = run(list, r);
      if (!rn.always && rn.box.misses(px, py, ox, oy)) continue;
      const std::size_t begin = r * kRun, end = std::min(siblings.size(), begin + kRun);
      for (std::size_t q = kParts; q-- > 0;) {
        const std::size_t from = begin + q * kPart;
        if (from >= end || (!rn.always && rn.parts[q].misses(px, py, ox, oy))) continue;
        for (std::size_t i = std::min(end, from + kPart); i-- > from;)
          if (Control* hit = visit(*siblings[i])) return hit;
      }
    }
    return nullptr;
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

// How far a run's box is widened before a point outside it is taken to miss every control
// in it: a control's place is summed along its containers, the box's in its container's
// twips, and the two may differ in the last bits.
constexpr double kRunSlackTw = 1.0;

}  // namespace

bool Form::HitIndex::Box::misses(double px, double py, double ox, double oy) const {
  if (empty) return true;
  // Far from the corner the sums' last bits are worth more than a twip.
  const double sx =
      kRunSlackTw + 1e-9 * (std::abs(px) + std::abs(ox) + std::abs(left) + std::abs(right));
  const double sy =
      kRunSlackTw + 1e-9 * (std::abs(py) + std::abs(oy) + std::abs(top) + std::abs(bottom));
  return px < left - sx || px > right + sx || py < top - sy || py > bottom + sy;
}

Form::HitIndex& Form::hitIndex() const {
  if (!hits_) hits_ = std::make_unique<HitIndex>();
  HitIndex& h = *hits_;
  if (!h.built || h.structure != changes_.structure()) {
    h.built = true;
    h.structure = changes_.structure();
    h.lists.assign(1, {});
    h.containerOf.assign(1, nullptr);
    h.listOf.clear();
    h.foreign.clear();
    h.arrayLists.clear();
    // Elements of one array mostly share their container: it is looked up once per run.
    const Control* last = nullptr;
    std::size_t lastList = 0;
    forEachControl([&](Control& c) {
      Control* p = c.Container;
      std::size_t list = 0;
      if (p) {
        if (p != last) {
          last = p;
          lastList = h.listFor(p);
        }
        list = lastList;
      }
      h.lists[list].push_back(&c);
      if (c.Array) {
        std::vector<std::size_t>& in = h.arrayLists[c.Array];
        if (std::find(in.begin(), in.end(), list) == in.end()) in.push_back(list);
      }
    });
    // A container that is not registered lies below every registered sibling.
    for (std::size_t i = 1; i < h.lists.size(); ++i) {
      const Control* container = h.containerOf[i];
      if (registeredWith(layers_, *container)) continue;
      h.foreign.push_back(container);
      std::vector<Control*>& siblings =
          h.lists[container->Container ? h.listFor(container->Container) : 0];
      siblings.insert(siblings.begin(), const_cast<Control*>(container));
    }
    h.runs.resize(h.lists.size());
    for (std::size_t list = 0; list < h.lists.size(); ++list) {
      const std::vector<Control*>& siblings = h.lists[list];
      for (std::size_t i = 0; i < siblings.size(); ++i) {
        siblings[i]->hitList_ = static_cast<std::uint32_t>(list);
        siblings[i]->hitPos_ = static_cast<std::uint32_t>(i);
      }
      h.runs[list].assign((siblings.size() + HitIndex::kRun - 1) / HitIndex::kRun, {});
    }
    // Every run is computed afresh: what moved before this is known already.
    changes_.takeMoved([](Tracked&) {});
  } else {
    changes_.takeMoved([&](Tracked& t) {
      if (const Control* c = t.asControl()) h.moved(*c);
    });
  }
  return h;
}

Control* Form::hitTest(double clientX, double clientY) const {
  HitIndex& h = hitIndex();
  // A control's place is computed as absolutePosition does, so that a point on an edge
  // falls where it always did.
  auto walk = [&](auto&& self, std::size_t list, const Control* container, int depth) -> Control* {
    // The point in the container's twips, to skip the runs it lies outside of.
    double ox = 0, oy = 0;
    if (container) absolutePosition(*container, ox, oy);
    return h.scan(list, clientX - ox, clientY - oy, ox, oy, [&](Control& c) -> Control* {
      if (!c.Visible) return nullptr;
      double l, t;
      absolutePosition(c, l, t);
      if (clientX < l || clientY < t || clientX >= l + c.Width || clientY >= t + c.Height)
        return nullptr;
      if (depth < kMaxNesting - 1)
        if (const std::vector<Control*>* kids = h.kids(&c)) {
          const std::size_t kidList = static_cast<std::size_t>(kids - h.lists.data());
          if (Control* hit = self(self, kidList, &c, depth + 1)) return hit;
        }
      // Shapes and lines take no mouse events: the control beneath them does.
      if (c.Kind == ControlKind::Line || c.Kind == ControlKind::Shape) return nullptr;
      if (h.isForeign(&c)) return nullptr;
      return &c;
    });
  };
  return walk(walk, 0, nullptr, 0);
}

Control* Form::topmostElement(const ControlArrayBase& a, int from, double x, double y) const {
  HitIndex& h = hitIndex();
  auto it = h.arrayLists.find(&a);
  if (it == h.arrayLists.end()) return nullptr;
  Control* best = nullptr;
  for (const std::size_t list : it->second) {
    // Elements lie in their sibling list in index order: the first from the top is the
    // highest of that list.
    Control* found = h.scan(list, x, y, 0, 0, [&](Control& c) -> Control* {
      if (c.Array != &a || c.Index < from || !c.Visible) return nullptr;
      return x >= c.Left && y >= c.Top && x < c.Left + c.Width && y < c.Top + c.Height ? &c
                                                                                       : nullptr;
    });
    if (found && (!best || found->Index > best->Index)) best = found;
  }
  return best;
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
