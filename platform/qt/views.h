// The widgets that show the forms model, and the sync that keeps them in line with it.
//
// Each form gets a top-level widget (its client area), each control a child widget of
// its container's widget, created the first time the control is visible; a control the
// backend paints itself (a label, an image, a picture box, a shape, a line) that holds no
// other control and lies below its container's child widgets is no widget of its own but
// an item that its container's widget paints (a page of symbols is one widget). After every
// batch and event the sync drains each form's change log and touches only the controls
// on it, and of those only the properties whose change bits are set, so its cost does not
// grow with the page and a batch that changed nothing visits no control. Only the first
// show of a form walks all of it. A view keeps the values it last applied and skips a Qt
// call for a value that changed and changed back. A view lives in its control's (or
// form's) ViewSlot: when an element of a control array is unloaded, its view goes and
// takes the widget with it.
//
// Stacking follows Form::layers(), back to front, with a child above its container: each
// container keeps its children's views ordered by their place in the layers, a new
// widget goes right under the next one above it, and items are painted in that order
// under the child widgets.
//
// Mouse events are taken from a form's window before Qt hands them to any widget, and go
// to the control the model's own rule picks at that point of the client area
// (kel::mouseTarget), the one the sim desktop picks: never to its containers as well.
//
// The code lives in rooms of its own: geometry.{h,cpp} (twips to pixels), painted.{h,cpp}
// (the painted widgets and their items), control_view.{h,cpp} (what every control's view
// does), control_views.cpp (one view per kind of control), form_window.{h,cpp} (a form's
// window), view_sync.cpp (the walk) and input_routing.cpp (events into the model).
#pragma once

#include <QHash>
#include <QMargins>
#include <QMouseEvent>
#include <QObject>
#include <QPixmap>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms.h"
#include "platform/qt/control_view.h"
#include "platform/qt/form_window.h"
#include "platform/qt/geometry.h"
#include "platform/qt/model_gate.h"

class QKeyEvent;

namespace kel::qt {

// What a control's view shows now, for tests and diagnostics.
struct PaintedContent {
  const void* view = nullptr;  // stays the same while the control keeps its view
  QWidget* widget = nullptr;   // its own widget, if it has one
  QWidget* parent = nullptr;   // the widget it lies in, or that paints it
  QRect rect;                  // its place in parent
  bool showing = false;        // whether it can be seen (up to its window)
  // For the kinds the backend paints:
  bool painted = false;
  bool blank = false;  // shows nothing
  QString text;
  QFont font;
  QColor back, fore, fill;
  QPixmap pixmap;
  bool opaque = true, border = false, singleLine = true, stretch = false, filled = true;
  int alignment = 0;
  QPoint a, b;  // a line's ends
  int penWidth = 1;
};

class ViewSync : public QObject {
 public:
  explicit ViewSync(ModelGate& gate);
  ~ViewSync() override;

  // The view of a form, made when first asked for.
  FormView& formView(Form& f);
  FormView* existingView(Form& f);
  // Every form that has a view.
  const std::vector<FormView*>& forms() const { return forms_; }
  // Brings every form's widgets in line with the model.
  void syncAll();
  // Which widget is a control's own (nullptr while it has none, or is an item).
  static QWidget* widgetOf(Control& c);
  // What a control's view shows (an empty answer while it has none).
  static PaintedContent shown(Control& c);
  // The controls shown in a widget, in the order they are painted (items first).
  std::vector<Control*> paintOrder(QWidget* parent);
  // Drops a form's widgets (unloading it).
  void dropForm(Form& f);

  // Where the server really has a top-level window's client area (Qt's idea of it
  // when there is no better source).
  std::function<bool(QWidget* w, QPoint& origin)> windowOrigin;
  // The frame the window manager draws around a top-level window (_NET_FRAME_EXTENTS).
  std::function<bool(QWidget* w, QMargins& frame)> frameExtents;
  // Called once the native window of a form exists.
  std::function<void(FormView& v)> windowCreated;
  // The user or the window manager closed a form's window.
  std::function<void(Form& f)> closeRequested;

  void setColourKey(FormView& v, Colour key);
  ModelGate& gate() { return gate_; }
  // A view applied something: the form's picture changed.
  void noteChange() { changed_ = true; }
  const QFont& font(const Font& f);
  const QPixmap& pixmap(const std::string& path);

  // What the syncs cost: how many there were, and how many controls they visited.
  std::uint64_t syncs() const { return syncs_; }
  std::uint64_t visits() const { return visits_; }

 protected:
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  friend class ControlView;
  friend class FormView;
  friend class FormWidget;
  void syncForm(FormView& v, Form& f);
  void applyFormGeometry(FormView& v, Form& f);
  void visit(FormView& fv, Control& c, std::uint32_t bits);
  ControlView* createView(FormView& fv, Control& c, int depth, bool asWidget = false);
  ControlView* remake(FormView& fv, Control& c);
  ControlView* parentView(FormView& fv, Control* container, int depth);
  StackKey stackKey(FormView& fv, const Control& c);
  void stack(FormView& fv, ControlView& v, ChildStack& siblings);
  void routeMouse(FormView& fv, QMouseEvent* e);
  void routeToBareForm(Form& f, QMouseEvent* e, double clientX, double clientY, int shift);
  bool routeCaptured(FormView& fv, QMouseEvent* e, double clientX, double clientY, int shift);
  void systemGeometryChanged(FormView& v);
  void checkGeometry(FormView& v);
  void updateMask(FormView& v);
  void routeKey(QObject* obj, QKeyEvent* e);  // limits dialogs: a box's or button's KeyDown

  ModelGate& gate_;
  std::vector<FormView*> forms_;
  QHash<const QObject*, ControlView*> byWidget_;
  std::uint64_t syncs_ = 0;
  std::uint64_t visits_ = 0;
  std::uint64_t made_ = 0;
  bool syncing_ = false;
  bool converting_ = false;
  bool changed_ = false;
  std::vector<std::pair<Font, QFont>> fonts_;
  QHash<QString, QPixmap> pixmaps_;
  QPixmap noPixmap_;
};

}  // namespace kel::qt
