// A form's top-level window: its kind, what the window manager tells it (moves, resizes,
// minimising, a close), where it is placed and how that is corrected for what the window
// manager adds, and the shape cut out of it by its colour key.
#include <QBitmap>
#include <QCloseEvent>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "platform/desktop.h"
#include "platform/qt/fonts.h"
#include "platform/qt/views.h"
#include "platform/qt/views_internal.h"
#include "platform/units.h"

namespace kel::qt {

FormView::FormView(ViewSync& sync, Form& f) : form(&f) {
  widget = new FormWidget(sync, *this);
  // The kind of window, before it is first mapped.
  if (f.Borderless) widget->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  // An owned window is a dialog of its owner: it can be closed, not minimised on its own.
  if (f.Owner && !f.Borderless)
    widget->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
  if (f.NeverActivates) {
    widget->setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
    widget->setAttribute(Qt::WA_ShowWithoutActivating, true);
  }
  // An empty input shape: the pointer's events go to the window beneath. Such a window is an
  // overlay the window manager has no business with: left to it, a manager would frame it
  // and copy its shape to the frame in its own time, so a capture just after the shape
  // changed could still show the old outline.
  if (f.PointerPassesThrough) {
    widget->setWindowFlag(Qt::WindowTransparentForInput, true);
    widget->setWindowFlag(Qt::X11BypassWindowManagerHint, true);
  }
  sync.forms_.push_back(this);
}

FormView::~FormView() {
  for (const auto& entry : children.views) entry.second->siblings = nullptr;
  if (FormWidget* w = widget.data()) {
    auto& forms = w->sync_.forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    w->view = nullptr;
    w->hide();
    w->deleteLater();
  }
}

void FormWidget::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  p.fillRect(e->rect(), back);
}

void FormWidget::showEvent(QShowEvent*) {
  // The native window exists now: its mouse events are routed before any widget sees
  // them (installing the filter again changes nothing).
  if (QWindow* handle = windowHandle()) handle->installEventFilter(&sync_);
}

void FormWidget::closeEvent(QCloseEvent* e) {
  // The model decides: its unload step runs and it unloads the window itself.
  e->ignore();
  if (view && sync_.closeRequested) {
    QPointer<FormWidget> self(this);
    Form* f = view->form;
    QTimer::singleShot(0, &sync_, [self, f] {
      if (self && self->view && self->view->form == f) self->sync_.closeRequested(*f);
    });
  }
}

void FormWidget::moveEvent(QMoveEvent* e) {
  if (view && e->spontaneous()) sync_.systemGeometryChanged(*view);
}

void FormWidget::resizeEvent(QResizeEvent* e) {
  if (view && e->spontaneous()) sync_.systemGeometryChanged(*view);
  if (view && view->hasColourKey_) view->maskDirty_ = true;
}

void FormWidget::changeEvent(QEvent* e) {
  if (view && e->type() == QEvent::WindowStateChange) {
    // Remembered until the check: a minimise undone before it ran still counts.
    if (windowState() & Qt::WindowMinimized) view->minimizeSeen = true;
    sync_.systemGeometryChanged(*view);
  }
  // --- the form's LostFocus: run once the event is over, for a form still loaded ---------
  if (view && e->type() == QEvent::ActivationChange && !isActiveWindow() && view->form->LostFocus) {
    QPointer<FormWidget> self(this);
    Form* f = view->form;
    QTimer::singleShot(0, &sync_, [self, f] {
      if (!self || !self->view || self->view->form != f || !f->Loaded || !f->Visible) return;
      self->sync_.gate().run([&] { callHandler(f->LostFocus); });
    });
  }
  // ---------------------------------------------------------------------------------------
  QWidget::changeEvent(e);
}

void ViewSync::applyFormGeometry(FormView& v, Form& f) {
  v.left_ = f.Left;
  v.top_ = f.Top;
  v.width_ = f.Width;
  v.height_ = f.Height;
  v.sizable_ = f.Sizable;
  v.geometryApplied_ = true;
  // While minimised or maximised the window manager owns the window's place.
  if (v.visible_ && v.state_ != WindowState::Normal) return;
  FormWidget* w = v.widget.data();
  v.target = windowRectFor(f);
  v.placing = 2;
  v.placingSince.start();
  if (f.Sizable) {
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    w->setFixedSize(v.target.size());
  }
  w->setGeometry(v.target.translated(v.correction));
  if (v.hasColourKey_) v.maskDirty_ = true;
}

void ViewSync::systemGeometryChanged(FormView& v) {
  if (v.checkQueued) return;
  v.checkQueued = true;
  QPointer<FormWidget> w = v.widget;
  // A maximise comes as a move, a resize and a state change: they are taken together.
  QTimer::singleShot(0, this, [this, w] {
    if (!w || !w->view) return;
    w->view->checkQueued = false;
    checkGeometry(*w->view);
  });
}

void ViewSync::checkGeometry(FormView& v) {
  FormWidget* w = v.widget.data();
  Form& f = *v.form;
  if (!w || !f.Loaded || !v.visible_) return;
  const Qt::WindowStates ws = w->windowState();
  const WindowState st = ws & Qt::WindowMinimized   ? WindowState::Minimized
                         : ws & Qt::WindowMaximized ? WindowState::Maximized
                                                    : WindowState::Normal;
  // A minimise undone before this check ran is still a minimise and a restore: the
  // resize event runs for each.
  const bool minimizedMeanwhile = v.minimizeSeen && v.state_ != WindowState::Minimized;
  v.minimizeSeen = false;
  if (st == WindowState::Minimized || minimizedMeanwhile) {
    // A minimised window's place is no place the user gave it: the model keeps its own.
    if (v.state_ != WindowState::Minimized) {
      QPointer<FormWidget> alive(w);
      gate_.run([&] {
        v.state_ = WindowState::Minimized;
        f.State = WindowState::Minimized;
        callHandler(f.Resize);
      });
      // The resize event may have unloaded the form.
      if (!alive || alive->view != &v || !f.Loaded || !v.visible_) return;
    }
    if (st == WindowState::Minimized) return;
  }
  const bool restored = v.state_ == WindowState::Minimized;
  const bool stateChanged = st != v.state_;
  const bool placingOurs =
      !restored && v.placing > 0 && v.placingSince.isValid() && v.placingSince.elapsed() < 3000;
  // Where the window is: as the window manager last reported it (Qt keeps that from its
  // configure notifications). The server is asked only while a request of ours is being
  // placed, as the frame rule needs to see a manager's shift before it reports anything.
  // Never on a restore: the manager may still be flying the frame back from the task
  // bar, and the server has it wherever it is on the way.
  QPoint origin = w->geometry().topLeft();
  if (placingOurs && windowOrigin) {
    QPoint server;
    if (windowOrigin(w, server)) origin = server;
  }
  const QSize size = w->size();
  const QRect actual(origin, size);
  if (!stateChanged && actual == v.target) {
    v.placing = 0;
    return;
  }
  if (!stateChanged && st == WindowState::Normal && size == v.target.size() && placingOurs) {
    // A window manager that takes the position asked for as its frame's puts the
    // client area off by exactly the frame's left and top extents: ask again, shifted
    // back by them. Any other offset is where the user or the manager wants it.
    QMargins frame;
    if (frameExtents && frameExtents(w, frame) &&
        origin - v.target.topLeft() == QPoint(frame.left(), frame.top()) &&
        (frame.left() != 0 || frame.top() != 0)) {
      --v.placing;
      v.correction -= QPoint(frame.left(), frame.top());
      w->setGeometry(v.target.translated(v.correction));
      return;
    }
  }
  // The user or the window manager moved, sized, maximised or restored the window. A
  // restore to where it was changes only the state (the model's place stays exact).
  // A window the program minimised and restores itself (around a file dialog) is reported,
  // at first, where the window manager kept it while minimised, wholly off the screen: no
  // place the user gave it, and taking it would leave the pointer outside the window.
  const QScreen* screen = w->screen();
  const bool offScreen = screen && !screen->geometry().intersects(actual);
  const bool moved = actual != v.target && !offScreen;
  const bool resized = stateChanged || size != v.target.size();
  gate_.run([&] {
    f.State = st;
    v.state_ = st;
    if (moved) {
      // A borderless window's client area is the whole window.
      const double frameLeftPx = f.Borderless ? 0 : kFrameLeftPx;
      f.Left = (origin.x() - frameLeftPx) * kTwipsPerPixel;
      f.Top = origin.y() * kTwipsPerPixel - (f.Borderless ? 0 : kFrameTopTw);
      f.Width = size.width() * kTwipsPerPixel + (f.Borderless ? 0 : kFrameExtraWidthTw);
      f.Height = size.height() * kTwipsPerPixel + (f.Borderless ? 0 : kFrameExtraHeightTw);
      v.left_ = f.Left;
      v.top_ = f.Top;
      v.width_ = f.Width;
      v.height_ = f.Height;
      v.target = actual;
    }
    v.placing = 0;
    if (v.hasColourKey_) v.maskDirty_ = true;
    if (resized)
      callHandler(f.Resize);
    else if (moved)
      callHandler(f.Moved);
  });
}

void ViewSync::setColourKey(FormView& v, Colour key) {
  v.hasColourKey_ = true;
  v.colourKey_ = key;
  v.maskDirty_ = true;
}

void ViewSync::updateMask(FormView& v) {
  FormWidget* w = v.widget.data();
  v.maskDirty_ = false;
  if (w->width() <= 0 || w->height() <= 0) return;
  // Without a compositor nothing is see-through, but a window can have a shape: every
  // pixel of the key colour is cut out of it, for the eye and for the mouse alike.
  QImage img(w->size(), QImage::Format_RGB32);
  img.fill(qcolorFor(v.colourKey_));
  w->render(&img, QPoint(), QRegion(),
            QWidget::DrawWindowBackground | QWidget::DrawChildren | QWidget::IgnoreMask);
  // The bits this mask sets, as QBitmap and QRegion read them, are the pixels the window
  // keeps: with MaskInColor those are the pixels that are not of the key colour.
  const QImage mask = img.createMaskFromColor(qcolorFor(v.colourKey_).rgb(), Qt::MaskInColor);
  QRegion region(QBitmap::fromImage(mask));
  // An empty region would mean "no mask": a window all of the key colour shows nothing.
  if (region.isEmpty()) region = QRegion(-1, -1, 1, 1);
  w->setMask(region);
}

}  // namespace kel::qt
