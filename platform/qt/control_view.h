// A control's view: its place among its siblings, and what every view keeps and does
// whatever the kind of its control (control_view.cpp; the kinds in control_views.cpp).
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <tuple>

#include "platform/forms.h"

namespace kel::qt {

class ViewSync;
class ControlView;
class Painted;
class PaintedItem;
class PaintedWidget;

// A view's place among its siblings: its layer in Form::layers(), its element index, and
// the order views were made in (which only separates controls outside the layers).
using StackKey = std::tuple<int, int, std::uint64_t>;

// The views whose widgets (or items) are children of one widget, bottom to top, and which
// of them have widgets.
struct ChildStack {
  std::map<StackKey, ControlView*> views;
  std::set<StackKey> widgets;
};

// Where a new view goes: the widget its widget is a child of, or the widget that paints it
// as an item (then host is set).
struct Placement {
  QWidget* parent = nullptr;
  PaintedWidget* host = nullptr;
  StackKey key{};
};

class ControlView {
 public:
  ControlView(ViewSync& sync, Control& c, QWidget* widget);
  // A control the backend paints: on a widget of its own or as an item.
  ControlView(ViewSync& sync, Control& c, const Placement& at, ControlKind kind);
  virtual ~ControlView();
  ControlView(const ControlView&) = delete;
  ControlView& operator=(const ControlView&) = delete;

  // Brings the widget in line with the properties of the control that `bits` say
  // changed (and those that changed while it was hidden).
  void sync(Control& c, std::uint32_t bits);
  // Whether the widget shows the control now (a hidden painted control may keep its
  // widget, painting nothing).
  bool showing() const { return visible_; }
  // What is painted, for the kinds the backend paints (nullptr for the others).
  Painted* painted() const;
  // False once the widget it lies in went with its container: it is to be made again.
  bool alive() const;

  Control* control;  // the control this view shows (it owns the view)
  // Its own widget (none for an item).
  QPointer<QWidget> widget;
  // The same widget for the sync, which must not pay for a guarded pointer; cleared
  // when the widget goes with its parent.
  QWidget* raw = nullptr;
  std::unique_ptr<PaintedItem> item;  // or the item its container's widget paints
  Control* container = nullptr;       // the container the widget was placed in
  ChildStack children;
  StackKey key{};
  ChildStack* siblings = nullptr;  // the stack it is in
  // Whether a release over the widget makes a click (widgets with a click signal of
  // their own make it themselves).
  bool clickOnRelease = true;

 protected:
  virtual void applyGeometry(Control& c);
  virtual void applyColours(Control& c);
  // Kind-specific properties; the first call (initial) applies everything.
  virtual void syncKind(Control& c, bool initial) = 0;
  ViewSync& views;

 private:
  friend class ViewSync;
  void adopt(QWidget* w);
  void applyCursor(Control& c);
  void applyAll(Control& c);
  void setShown(bool on);
  bool mayBlank() const;
  void unblank();

  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = false;
  // Hidden by painting nothing, the widget staying shown: a blinking caret costs Qt no
  // enter/leave, pointer query and cursor change per blink.
  bool blank_ = false;
  // Changes not applied while the control was hidden.
  std::uint32_t pending_ = 0;
  bool enabled_ = true;
  Colour back_ = 0, fore_ = 0;
  int mousePointer_ = 0;
  Picture mouseIcon_;
};

}  // namespace kel::qt
