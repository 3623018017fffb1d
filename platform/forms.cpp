#include "platform/forms.h"

#include <algorithm>
#include <unordered_map>

#include "platform/units.h"

namespace kel {

double Form::ScaleWidth() const { return Width - kFrameExtraWidthTw; }
double Form::ScaleHeight() const { return Height - kFrameExtraHeightTw; }

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
