// Events from the window system into the model: a mouse event taken from a form's window
// goes to the control the model's own rule picks at that point (or to the one that captured
// the mouse, or to the bare form), and a key for a limits dialog's text box or button to its
// KeyDown.
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "platform/qt/views.h"
#include "platform/qt/views_internal.h"
#include "platform/qt/vk_keycodes.h"
#include "platform/units.h"

namespace kel::qt {

namespace {

int buttonOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton:
      return 1;
    case Qt::RightButton:
      return 2;
    case Qt::MiddleButton:
      return 4;
    default:
      return 0;
  }
}

int buttonsOf(Qt::MouseButtons b) {
  return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) |
         (b & Qt::MiddleButton ? 4 : 0);
}

int shiftOf(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
         (m & Qt::AltModifier ? 4 : 0);
}

}  // namespace

// --- events from the window system ------------------------------------------------------

bool ViewSync::eventFilter(QObject* obj, QEvent* e) {
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      break;
    case QEvent::KeyPress:  // limits dialogs: a text box's or a button's KeyDown, seen there
      if (qobject_cast<QLineEdit*>(obj) || qobject_cast<QPushButton*>(obj))
        routeKey(obj, static_cast<QKeyEvent*>(e));
      return false;
    default:
      return false;
  }
  if (!obj->isWindowType()) return false;
  for (FormView* v : forms_) {
    if (v->widget && v->widget->windowHandle() == obj) {
      routeMouse(*v, static_cast<QMouseEvent*>(e));
      break;  // the handler may have unloaded the form: the list is not used again
    }
  }
  return false;  // the widgets do their own part (a button's press, a check box's tick)
}

void ViewSync::routeMouse(FormView& fv, QMouseEvent* me) {
  Form* f = fv.form;
  if (!f->Loaded) return;
  // The point in the form's client area picks the control by the model's rule, whatever
  // widget Qt would give the event to (and whichever holds the implicit grab).
  double x = 0, y = 0;
  QPointF at = me->position();
  // A window the program moves itself while the button is held (the on-screen keyboard by
  // its strip) may have moved since the server made the event: the point is taken from
  // the pointer's place on the screen and the window's place as the program last set it,
  // so that a drag follows the pointer and never runs away from it.
  if (f->CapturesMouse) at = me->globalPosition() - QPointF(fv.target.topLeft() + fv.correction);
  const double cx = at.x() * kTwipsPerPixel, cy = at.y() * kTwipsPerPixel;
  const int shift = shiftOf(me->modifiers());
  if (routeCaptured(fv, me, cx, cy, shift)) return;
  Control* c = mouseTarget(*f, cx, cy, x, y);
  if (c && f->CapturesMouse && me->type() == QEvent::MouseButtonPress) fv.captured = c;
  if (!c) {
    if (me->type() == QEvent::MouseButtonRelease) fv.releaseEndsDoubleClick = false;
    routeToBareForm(*f, me, cx, cy, shift);
    return;
  }
  switch (me->type()) {
    case QEvent::MouseMove: {
      if (!c->MouseMove) return;
      const int buttons = buttonsOf(me->buttons());
      gate_.run([&] { callHandler(c->MouseMove, buttons, shift, x, y); });
      return;
    }
    case QEvent::MouseButtonDblClick:
      // Its press came first: a control without a double-click event has had it.
      if (c && c->DblClick) {
        fv.releaseEndsDoubleClick = true;
        gate_.run([&] { callHandler(c->DblClick); });
      }
      return;
    case QEvent::MouseButtonPress: {
      const int button = buttonOf(me->button());
      if (!c || !c->MouseDown || button == 0) return;
      // The second press of a double click is the double click, where there is one.
      if (c->DblClick && (me->flags() & Qt::MouseEventCreatedDoubleClick)) return;
      gate_.run([&] { callHandler(c->MouseDown, button, shift, x, y); });
      return;
    }
    case QEvent::MouseButtonRelease: {
      const int button = buttonOf(me->button());
      if (button == 0) return;
      const bool endsDoubleClick = fv.releaseEndsDoubleClick;
      fv.releaseEndsDoubleClick = false;
      if (!c) return;
      // Buttons, check boxes and lists make their click themselves.
      const auto* cv = static_cast<const ControlView*>(c->view.view.get());
      const bool click = button == 1 && !endsDoubleClick && (!cv || cv->clickOnRelease);
      if (!c->MouseUp && !(click && c->Click)) return;
      gate_.run([&] {
        callHandler(c->MouseUp, button, shift, x, y);
        // The mouse-up handler may have unloaded the control, or its form.
        if (click && f->Loaded && stillLoaded(*f, c)) callHandler(c->Click);
      });
      return;
    }
    default:
      return;
  }
}

// A move or a release while a control of the form has captured the mouse: to that control,
// in its own twips, wherever the pointer is; the release is a click only over it.
bool ViewSync::routeCaptured(FormView& fv, QMouseEvent* me, double cx, double cy, int shift) {
  Control* c = fv.captured;
  if (!c) return false;
  Form* f = fv.form;
  const QEvent::Type type = me->type();
  if (type != QEvent::MouseMove && type != QEvent::MouseButtonRelease) return false;
  if (!f->Loaded || !f->Visible || !stillLoaded(*f, c)) {
    fv.captured = nullptr;
    return false;
  }
  double l, t;
  absolutePosition(*c, l, t);
  const double x = cx - l, y = cy - t;
  if (type == QEvent::MouseMove) {
    const int buttons = buttonsOf(me->buttons());
    if (c->MouseMove) gate_.run([&] { callHandler(c->MouseMove, buttons, shift, x, y); });
    return true;
  }
  const int button = buttonOf(me->button());
  if (me->buttons() == Qt::NoButton) fv.captured = nullptr;
  if (button == 0) return true;
  double ox = 0, oy = 0;
  const bool over = mouseTarget(*f, cx, cy, ox, oy) == c;
  fv.releaseEndsDoubleClick = false;
  const auto* cv = static_cast<const ControlView*>(c->view.view.get());
  const bool click = button == 1 && over && (!cv || cv->clickOnRelease);
  gate_.run([&] {
    callHandler(c->MouseUp, button, shift, x, y);
    if (click && f->Loaded && stillLoaded(*f, c)) callHandler(c->Click);
  });
  return true;
}

// The bare form's own events: its client area where no control lies.
void ViewSync::routeToBareForm(Form& f, QMouseEvent* me, double cx, double cy, int shift) {
  if (!onBareForm(f, cx, cy)) return;
  const int button = buttonOf(me->button());
  switch (me->type()) {
    case QEvent::MouseMove: {
      const int buttons = buttonsOf(me->buttons());
      if (f.MouseMove) gate_.run([&] { callHandler(f.MouseMove, buttons, shift, cx, cy); });
      return;
    }
    case QEvent::MouseButtonPress:
      if (button != 0 && f.MouseDown)
        gate_.run([&] { callHandler(f.MouseDown, button, shift, cx, cy); });
      return;
    case QEvent::MouseButtonRelease:
      if (button == 0 || (!f.MouseUp && !(button == 1 && f.Click))) return;
      gate_.run([&] {
        callHandler(f.MouseUp, button, shift, cx, cy);
        if (button == 1 && f.Loaded) callHandler(f.Click);
      });
      return;
    default:
      return;
  }
}

// --- limits dialogs: a key for a text box or a button --------------------------------------
// A key for a line edit or a push button goes to its control's KeyDown as the model names
// keys (its physical place, as the capture reads it); then the widget takes the key itself.
// The filter sits on the widget, so each key is taken once, at the widget it reached.
void ViewSync::routeKey(QObject* obj, QKeyEvent* e) {
  auto* target = qobject_cast<QWidget*>(obj);
  if (!target) return;
  const std::function<void(int, int)>* keyDown = nullptr;
  for (FormView* v : forms_) {
    if (!v->widget || !v->form->Loaded || !v->widget->isAncestorOf(target)) continue;
    v->form->forEachControl([&](Control& c) {
      auto* cv = static_cast<ControlView*>(c.view.view.get());
      if (keyDown || !cv || cv->widget != target) return;
      if (c.Kind == ControlKind::TextBox) keyDown = &static_cast<TextBox&>(c).KeyDown;
      if (c.Kind == ControlKind::CommandButton) keyDown = &static_cast<CommandButton&>(c).KeyDown;
    });
    break;
  }
  if (!keyDown || !*keyDown) return;
  int vk = vkForKeycode(static_cast<int>(e->nativeScanCode()));
  if (vk == 0 && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) vk = 13;
  if (vk == 0) return;
  const int shift = shiftOf(e->modifiers());
  gate_.run([&] { callHandler(*keyDown, vk, shift); });
}
// --- end of the limits dialogs' block ---------------------------------------------------

}  // namespace kel::qt
