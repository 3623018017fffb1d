// The widgets that show the forms model, and the walk that keeps them in line with it.
//
// Each form gets a top-level widget (its client area), each control a child widget of
// its container's widget, created the first time the control is visible. A view keeps
// the values it last applied; a walk compares the model's plain fields with them and
// touches a widget only where something changed, so a walk over thousands of unchanged
// symbols makes no Qt call and allocates nothing. A view lives in its control's (or
// form's) ViewSlot: when an element of a control array is unloaded, its view goes and
// takes the widget with it.
//
// Stacking follows Form::layers(), back to front, with a child above its container: a
// new widget is put right above the sibling the walk met before it.
//
// Mouse events are taken from a form's window before Qt hands them to any widget, and go
// to the control the model's own rule picks at that point of the client area
// (kel::mouseTarget), the one the sim desktop picks: never to its containers as well.
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QMargins>
#include <QMouseEvent>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms.h"
#include "platform/qt/model_gate.h"

class QKeyEvent;

namespace kel::qt {

class ViewSync;
class FormView;

// The children of a container in walk order: the one seen last in the current walk.
struct ChildStack {
  QWidget* last = nullptr;
  std::uint64_t epoch = 0;
};

class ControlView {
 public:
  ControlView(ViewSync& sync, Control& c, QWidget* widget);
  virtual ~ControlView();
  ControlView(const ControlView&) = delete;
  ControlView& operator=(const ControlView&) = delete;

  // Brings the widget in line with the control; cheap when nothing changed.
  void sync(Control& c);

  Control* control;  // the control this view shows (it owns the view)
  QPointer<QWidget> widget;
  // The same widget for the walk, which must not pay for a guarded pointer; cleared
  // when the widget goes with its parent.
  QWidget* raw = nullptr;
  Control* container = nullptr;  // the container the widget was placed in
  ChildStack children;
  bool needsRestack = true;
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
  void applyCursor(Control& c);
  void applyAll(Control& c);

  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = false;
  bool enabled_ = true;
  Colour back_ = 0, fore_ = 0;
  int mousePointer_ = 0;
  Picture mouseIcon_;
};

class FormView;

// The client area of a form, as a top-level window.
class FormWidget : public QWidget {
 public:
  FormWidget(ViewSync& sync, FormView& v) : QWidget(nullptr), sync_(sync), view(&v) {}
  ViewSync& sync_;
  FormView* view;  // cleared when the view goes
  QColor back{240, 240, 240};

 protected:
  void paintEvent(QPaintEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
};

class FormView {
 public:
  FormView(ViewSync& sync, Form& f);
  ~FormView();
  FormView(const FormView&) = delete;
  FormView& operator=(const FormView&) = delete;

  Form* form;
  QPointer<FormWidget> widget;
  ChildStack children;
  bool everShown = false;  // the first show runs the resize event
  bool topmost = false;

  // The client rectangle the model asks for, and the shift the window manager has
  // been found to add to a requested position.
  QRect target;
  QPoint correction;
  int placing = 0;  // corrections still allowed for the last request
  QElapsedTimer placingSince;
  bool checkQueued = false;
  bool minimizeSeen = false;            // the window was minimised since the last check
  bool releaseEndsDoubleClick = false;  // the release that ends a double click is no click
  // The control that captured the mouse (a form that CapturesMouse), until the buttons are up.
  Control* captured = nullptr;

 private:
  friend class ViewSync;
  friend class FormWidget;
  std::string caption_;
  Colour back_ = 0;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool geometryApplied_ = false;
  bool visible_ = false;
  WindowState state_ = WindowState::Normal;
  bool sizable_ = true;
  Picture icon_;
  Colour colourKey_ = 0;
  bool hasColourKey_ = false;
  bool maskDirty_ = false;
};

// The client rectangle, in screen pixels, of a form's outer frame in twips.
QRect clientRectFor(double left, double top, double width, double height);
// Where a form's client area goes: by the frame rule, or the whole window when borderless.
QRect windowRectFor(const Form& f);
// Nearest pixel of a twips position.
int pixelOf(double twips);

class ViewSync : public QObject {
 public:
  explicit ViewSync(ModelGate& gate);
  ~ViewSync() override;

  // The view of a form, made when first asked for.
  FormView& formView(Form& f);
  FormView* existingView(Form& f);
  // Brings every form's widgets in line with the model.
  void syncAll();
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

  // What a walk cost, for the curious.
  std::uint64_t walks() const { return epoch_; }

 protected:
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  friend class ControlView;
  friend class FormView;
  friend class FormWidget;
  void syncForm(FormView& v, Form& f);
  void applyFormGeometry(FormView& v, Form& f);
  void visit(FormView& fv, Control& c);
  ControlView* createView(FormView& fv, Control& c, int depth);
  ChildStack* stackOf(FormView& fv, Control* container);
  QWidget* parentFor(FormView& fv, Control* container, int depth);
  void restack(QWidget* w, QWidget* below);
  void routeMouse(FormView& fv, QMouseEvent* e);
  void routeToBareForm(Form& f, QMouseEvent* e, double clientX, double clientY, int shift);
  bool routeCaptured(FormView& fv, QMouseEvent* e, double clientX, double clientY, int shift);
  void systemGeometryChanged(FormView& v);
  void checkGeometry(FormView& v);
  void updateMask(FormView& v);
  void routeKey(QObject* obj, QKeyEvent* e);  // limits dialogs: a text box's KeyDown

  ModelGate& gate_;
  std::vector<FormView*> forms_;
  std::uint64_t epoch_ = 0;
  bool changed_ = false;
  std::vector<std::pair<Font, QFont>> fonts_;
  QHash<QString, QPixmap> pixmaps_;
  QPixmap noPixmap_;
};

}  // namespace kel::qt
