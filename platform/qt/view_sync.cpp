// The walk that keeps the widgets in line with the model: it drains each form's change log,
// visits only the controls on it, makes, remakes and stacks their views, and answers what a
// view shows and in which order a widget paints its controls.
#include <QIcon>
#include <QWindow>
#include <algorithm>

#include "platform/qt/fonts.h"
#include "platform/qt/painted.h"
#include "platform/qt/pictures.h"
#include "platform/qt/views.h"

namespace kel::qt {

ViewSync::ViewSync(ModelGate& gate) : gate_(gate) {}

ViewSync::~ViewSync() {
  // Windows that outlive the walk no longer route into it.
  for (FormView* v : forms_)
    if (v->widget && v->widget->windowHandle()) v->widget->windowHandle()->removeEventFilter(this);
}

FormView* ViewSync::existingView(Form& f) { return static_cast<FormView*>(f.view.view.get()); }

FormView& ViewSync::formView(Form& f) {
  if (FormView* v = existingView(f); v && v->widget) return *v;
  auto v = std::make_shared<FormView>(*this, f);
  FormView& ref = *v;
  f.view.view = std::move(v);
  return ref;
}

void ViewSync::dropForm(Form& f) {
  f.forEachControl([](Control& c) { c.view.view.reset(); });
  f.view.view.reset();
}

const QFont& ViewSync::font(const Font& f) {
  for (const auto& entry : fonts_)
    if (entry.first == f) return entry.second;
  // A program uses a handful of fonts; a runaway caller must not grow this forever.
  if (fonts_.size() >= 64) fonts_.erase(fonts_.begin());
  fonts_.emplace_back(f, qfontFor(f));
  return fonts_.back().second;
}

const QPixmap& ViewSync::pixmap(const std::string& path) {
  if (path.empty()) return noPixmap_;
  const QString key = QString::fromStdString(path);
  auto it = pixmaps_.find(key);
  if (it != pixmaps_.end()) return it.value();
  if (pixmaps_.size() >= 1024) pixmaps_.clear();
  return pixmaps_.insert(key, QPixmap::fromImage(readPicture(path))).value();
}

QWidget* ViewSync::widgetOf(Control& c) {
  auto* v = static_cast<ControlView*>(c.view.view.get());
  return v ? v->raw : nullptr;
}

void ViewSync::syncAll() {
  // Applying runs no model code; a sync asked for from inside one would only find the
  // log it is draining.
  if (syncing_) return;
  syncing_ = true;
  ++syncs_;
  // Forms are not created or destroyed by a sync; the list is stable while it runs.
  for (FormView* v : forms_)
    if (v->widget && v->form->Loaded) syncForm(*v, *v->form);
  syncing_ = false;
}

void ViewSync::syncForm(FormView& v, Form& f) {
  ChangeLog& log = f.changes();
  // A hidden form's controls wait until it is shown (their changes stay on the log).
  const bool controlsDue = f.Visible || v.visible_;
  if (log.empty() && v.geometryApplied_ && !v.maskDirty_ && (v.walked || !controlsDue)) return;
  FormWidget* w = v.widget.data();
  changed_ = false;
  if (f.Caption != v.caption_) {
    v.caption_ = f.Caption;
    w->setWindowTitle(QString::fromStdString(f.Caption));
  }
  if (f.BackColor != v.back_ || !v.geometryApplied_) {
    v.back_ = f.BackColor;
    w->back = qcolorFor(f.BackColor);
    w->update();
    changed_ = true;
  }
  if (!(f.Icon == v.icon_)) {
    v.icon_ = f.Icon;
    const QPixmap& pm = pixmap(f.Icon->Path);
    w->setWindowIcon(pm.isNull() ? QIcon() : QIcon(pm));
  }
  if (!v.geometryApplied_ || f.Left != v.left_ || f.Top != v.top_ || f.Width != v.width_ ||
      f.Height != v.height_ || f.Sizable != v.sizable_)
    applyFormGeometry(v, f);

  if (controlsDue && !v.walked) {
    // The first show: everything is new, in stacking order.
    v.walked = true;
    log.drain([](Tracked&, std::uint32_t) {});
    for (const Form::Layer& layer : f.layers()) {
      if (layer.control) {
        visit(v, *layer.control, kChangedAll);
      } else {
        const int ub = layer.array->upperBound();
        for (int i = 0; i <= ub; ++i)
          if (Control* c = layer.array->elementAt(i)) visit(v, *c, kChangedAll);
      }
    }
  } else if (controlsDue) {
    // The form's own properties are compared above; its controls are what the log holds.
    log.drain([&](Tracked& t, std::uint32_t bits) {
      if (Control* c = t.asControl()) visit(v, *c, bits);
    });
  }

  if (f.Visible && !v.visible_) {
    v.visible_ = true;
    v.state_ = f.State;
    v.placing = 2;
    v.placingSince.start();
    // The window manager keeps an owned window above its owner (WM_TRANSIENT_FOR, which
    // Qt writes as the window maps).
    if (f.Owner)
      if (FormView* o = existingView(*f.Owner); o && o->widget && o->widget->windowHandle()) {
        w->winId();
        w->windowHandle()->setTransientParent(o->widget->windowHandle());
      }
    if (f.State == WindowState::Minimized)
      w->showMinimized();
    else if (f.State == WindowState::Maximized)
      w->showMaximized();
    else
      w->show();
    if (windowCreated) windowCreated(v);
    changed_ = true;
  } else if (!f.Visible && v.visible_) {
    v.visible_ = false;
    w->hide();
  } else if (v.visible_ && f.State != v.state_) {
    v.state_ = f.State;
    if (f.State == WindowState::Minimized)
      w->showMinimized();
    else if (f.State == WindowState::Maximized)
      w->showMaximized();
    else
      w->showNormal();
  }
  if (v.hasColourKey_ && v.visible_ && (changed_ || v.maskDirty_)) updateMask(v);
}

ControlView* ViewSync::parentView(FormView& fv, Control* container, int depth) {
  auto* cv = static_cast<ControlView*>(container->view.view.get());
  if (cv && cv->raw) return cv;
  // An item holds nothing, and a view whose widget went with its own container is made
  // again: a container gets a widget now, hidden if it is hidden.
  if (cv) container->view.view.reset();
  return createView(fv, *container, depth + 1, true);
}

ControlView* ViewSync::remake(FormView& fv, Control& c) {
  c.view.view.reset();
  return c.Visible ? createView(fv, c, 0) : nullptr;
}

StackKey ViewSync::stackKey(FormView& fv, const Control& c) {
  const std::vector<Form::Layer>& layers = fv.form->layers();
  if (fv.layersSeen_ != layers.size()) {
    fv.layersSeen_ = layers.size();
    fv.layerOf_.clear();
    for (std::size_t i = 0; i < layers.size(); ++i) {
      const void* key = layers[i].control ? static_cast<const void*>(layers[i].control)
                                          : static_cast<const void*>(layers[i].array);
      fv.layerOf_.emplace(key, static_cast<int>(i));
    }
  }
  auto it = c.Array ? fv.layerOf_.find(c.Array) : fv.layerOf_.end();
  if (it != fv.layerOf_.end()) return {it->second, c.Index, ++made_};
  it = fv.layerOf_.find(&c);
  return {it != fv.layerOf_.end() ? it->second : -1, 0, ++made_};
}

void ViewSync::stack(FormView& fv, ControlView& v, ChildStack& siblings) {
  auto at = siblings.views.emplace(v.key, &v).first;
  v.siblings = &siblings;
  if (v.item) return;  // painted in key order by its host
  siblings.widgets.insert(v.key);
  QWidget* w = v.raw;
  bool placed = false;
  for (auto above = std::next(at); above != siblings.views.end() && !placed; ++above) {
    QWidget* a = above->second->raw;
    if (a && a->parentWidget() == w->parentWidget()) {
      w->stackUnder(a);
      placed = true;
    }
  }
  // Nothing of ours lies above it: a widget just made is on top already.
  const QObjectList& kids = w->parentWidget()->children();
  if (!placed && (kids.isEmpty() || kids.last() != w)) w->raise();
  // Items above it must lie above it: they get widgets of their own, bottom first (each
  // goes under the widgets above it, so they keep their order).
  if (converting_) return;
  std::vector<Control*> above;
  for (auto it = std::next(at); it != siblings.views.end(); ++it)
    if (it->second->item) above.push_back(it->second->control);
  converting_ = true;
  for (Control* c : above) remake(fv, *c);
  converting_ = false;
}

void ViewSync::visit(FormView& fv, Control& c, std::uint32_t bits) {
  ++visits_;
  auto* v = static_cast<ControlView*>(c.view.view.get());
  if (v && !v->alive()) {  // its widget went with a container: start again
    c.view.view.reset();
    v = nullptr;
  }
  if (!v) {
    if (c.Visible) createView(fv, c, 0);  // never shown: no widget yet
    return;
  }
  if ((bits & kChangedContainer) && c.Container != v->container) {
    if (v->item) {
      // An item is painted by its container's widget: it moves by being made again.
      remake(fv, c);
      return;
    }
    ControlView* pv = c.Container ? parentView(fv, c.Container, 0) : nullptr;
    QWidget* parent = c.Container ? (pv ? pv->raw : nullptr) : fv.widget.data();
    // A container inside the control itself would make a loop of widgets.
    if (parent && parent != v->raw && !v->raw->isAncestorOf(parent)) {
      if (pv) pv->unblank();
      if (v->siblings) {
        v->siblings->views.erase(v->key);
        v->siblings->widgets.erase(v->key);
      }
      v->siblings = nullptr;
      v->widget->setParent(parent);
      v->container = c.Container;
      v->applyAll(c);  // a widget given a new parent starts hidden and unplaced
      stack(fv, *v, pv ? pv->children : fv.children);
      changed_ = true;
      return;
    }
  }
  v->sync(c, bits);
}

PaintedContent ViewSync::shown(Control& c) {
  PaintedContent s;
  auto* v = static_cast<ControlView*>(c.view.view.get());
  if (!v) return s;
  s.view = v;
  if (v->item) {
    s.parent = v->item->host;
    s.rect = v->item->rect;
    s.showing = v->item->shown && s.parent && s.parent->isVisible();
  } else if (QWidget* w = v->raw) {
    s.widget = w;
    s.parent = w->parentWidget();
    s.rect = w->geometry();
    s.showing = w->isVisible() && !(v->painted() && v->painted()->blank);
  }
  if (const Painted* p = v->painted()) {
    s.painted = true;
    s.blank = p->blank;
    s.text = p->text;
    s.font = p->textFont;
    s.back = p->back;
    s.fore = p->fore;
    s.fill = p->fill;
    s.pixmap = p->pixmap;
    s.opaque = p->opaque;
    s.border = p->border;
    s.singleLine = p->singleLine;
    s.stretch = p->stretch;
    s.filled = p->filled;
    s.alignment = p->alignment;
    s.a = p->a;
    s.b = p->b;
    s.penWidth = p->penWidth;
  }
  return s;
}

std::vector<Control*> ViewSync::paintOrder(QWidget* parent) {
  std::vector<Control*> out;
  if (auto* host = dynamic_cast<PaintedWidget*>(parent))
    for (const PaintedWidget::Slot& slot : host->items())
      if (slot.item) out.push_back(slot.item->view->control);
  for (const QObject* o : parent->children()) {
    auto it = byWidget_.constFind(o);
    if (it != byWidget_.constEnd()) out.push_back(it.value()->control);
  }
  return out;
}

}  // namespace kel::qt
