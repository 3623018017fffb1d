// What every control's view does, whatever its kind: it applies only the properties whose
// change bits are set, keeps the values it last applied, shows and hides (a painted leaf by
// painting nothing), and sets its geometry, colours and mouse pointer.
#include <QCursor>
#include <algorithm>

#include "platform/qt/fonts.h"
#include "platform/qt/painted.h"
#include "platform/qt/pictures.h"
#include "platform/qt/views.h"

namespace kel::qt {

ControlView::ControlView(ViewSync& sync, Control& c, QWidget* w)
    : control(&c), container(c.Container), views(sync) {
  adopt(w);
}

ControlView::ControlView(ViewSync& sync, Control& c, const Placement& at, ControlKind kind)
    : control(&c), container(c.Container), views(sync) {
  key = at.key;
  if (at.host) {
    const bool symbol = c.Index >= 0 && (kind == ControlKind::Label || kind == ControlKind::Image);
    item = std::make_unique<PaintedItem>(kind, at.host, at.key, this, symbol);
    at.host->addItem(*item);
    return;
  }
  adopt(new PaintedWidget(kind, at.parent));
}

void ControlView::adopt(QWidget* w) {
  widget = w;
  raw = w;
  QObject::connect(w, &QObject::destroyed, [this] { raw = nullptr; });
  views.byWidget_.insert(w, this);
  w->setMouseTracking(true);
  // An event the widget does not take (a label's press, a press beside a check box's
  // text) is not handed on to the container's widget: it was this control's alone.
  w->setAttribute(Qt::WA_NoMousePropagation);
  w->hide();
}

Painted* ControlView::painted() const {
  if (item) return item.get();
  return dynamic_cast<PaintedWidget*>(raw);
}

bool ControlView::alive() const { return item ? item->host != nullptr : raw != nullptr; }

ControlView::~ControlView() {
  if (siblings) {
    siblings->views.erase(key);
    siblings->widgets.erase(key);
  }
  // The children's widgets and items go with this one: they are made again when next
  // synced.
  for (const auto& entry : children.views) {
    ControlView* child = entry.second;
    child->siblings = nullptr;
    if (child->item && child->item->host) {
      child->item->host->removeItem(*child->item);
      child->item->host = nullptr;
    }
    child->control->markChanged(kChangedAll);
  }
  if (QWidget* w = widget.data()) {
    views.byWidget_.remove(w);
    QObject::disconnect(w, nullptr, nullptr, nullptr);
    w->hide();
    // Never deleted here directly: the widget may be the one whose event is running.
    w->deleteLater();
  }
}

void ControlView::applyAll(Control& c) {
  pending_ = 0;
  unblank();
  left_ = c.Left;
  top_ = c.Top;
  width_ = c.Width;
  height_ = c.Height;
  applyGeometry(c);
  enabled_ = c.Enabled;
  if (raw) widget->setEnabled(enabled_);
  back_ = c.BackColor;
  fore_ = c.ForeColor;
  applyColours(c);
  applyCursor(c);
  syncKind(c, true);
  visible_ = c.Visible;
  if (item)
    item->show(visible_);
  else
    widget->setVisible(visible_);
}

namespace {

// The properties a kind's own sync reads, by their change bits.
std::uint32_t kindBits(ControlKind k) {
  switch (k) {
    case ControlKind::Label:
      return kChangedText | kChangedFont | kChangedStyle;
    case ControlKind::Image:
    case ControlKind::PictureBox:
      return kChangedPicture | kChangedStyle;
    case ControlKind::Frame:
      return kChangedText | kChangedStyle;
    case ControlKind::Shape:
      return kChangedColours | kChangedStyle;
    case ControlKind::Line:
      return kChangedGeometry | kChangedColours | kChangedStyle;
    case ControlKind::TextBox:
      return kChangedText | kChangedFont;
    case ControlKind::ListBox:
      return kChangedItems;
    case ControlKind::ComboBox:
      return kChangedItems | kChangedFont;
    case ControlKind::CheckBox:
      return kChangedText | kChangedFont | kChangedValue;
    case ControlKind::CommandButton:
      return kChangedText | kChangedFont | kChangedPicture;
  }
  return kChangedAll;
}

}  // namespace

void ControlView::sync(Control& c, std::uint32_t bits) {
  if (!c.Visible) {
    // What changes while it is hidden is applied when it shows again.
    pending_ |= bits;
    setShown(false);
    return;
  }
  bits |= pending_;
  pending_ = 0;
  if ((bits & kChangedGeometry) &&
      (c.Left != left_ || c.Top != top_ || c.Width != width_ || c.Height != height_)) {
    left_ = c.Left;
    top_ = c.Top;
    width_ = c.Width;
    height_ = c.Height;
    applyGeometry(c);
    views.noteChange();
  }
  if ((bits & kChangedEnabled) && c.Enabled != enabled_) {
    enabled_ = c.Enabled;
    if (raw) widget->setEnabled(enabled_);
  }
  if ((bits & kChangedColours) && (c.BackColor != back_ || c.ForeColor != fore_)) {
    back_ = c.BackColor;
    fore_ = c.ForeColor;
    applyColours(c);
    views.noteChange();
  }
  if ((bits & kChangedCursor) && (c.MousePointer != mousePointer_ || !(c.MouseIcon == mouseIcon_)))
    applyCursor(c);
  if (bits & kindBits(c.Kind)) syncKind(c, false);
  setShown(true);
}

// A control the backend paints and that holds no other control hides by painting
// nothing: the widget stays shown and lets every mouse event through to what lies under
// it, as a hidden control does. Hiding a widget for real costs Qt a synthetic leave and
// enter with a query of the pointer, a cursor change and a focus check, which a caret
// blinking twice a second would pay for ever.
bool ControlView::mayBlank() const {
  auto* p = dynamic_cast<PaintedWidget*>(raw);
  return p && p->kind != ControlKind::Frame && children.views.empty();
}

void ControlView::setShown(bool on) {
  if (on == visible_) return;
  visible_ = on;
  views.noteChange();
  if (item) {
    item->show(on);
    return;
  }
  auto* p = dynamic_cast<PaintedWidget*>(raw);
  if (on && blank_) {
    blank_ = false;
    p->blank = false;
    p->setAttribute(Qt::WA_TransparentForMouseEvents,
                    p->kind == ControlKind::Line || p->kind == ControlKind::Shape);
    p->update();
  } else if (on) {
    widget->show();
  } else if (mayBlank() && !widget->isHidden()) {
    blank_ = true;
    p->blank = true;
    p->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    p->update();
  } else {
    widget->hide();
  }
}

// A blank widget that is to be hidden for real (it gets children, or starts again).
void ControlView::unblank() {
  if (!blank_) return;
  blank_ = false;
  auto* p = static_cast<PaintedWidget*>(raw);
  p->blank = false;
  p->setAttribute(Qt::WA_TransparentForMouseEvents,
                  p->kind == ControlKind::Line || p->kind == ControlKind::Shape);
  if (!visible_) p->hide();
}

void ControlView::applyGeometry(Control& c) {
  const QRect r = controlRect(c.Left, c.Top, c.Width, c.Height);
  if (item)
    item->setGeometry(r);
  else
    widget->setGeometry(r);
}

void ControlView::applyColours(Control& c) {
  if (Painted* p = painted()) {
    p->back = qcolorFor(c.BackColor);
    p->fore = qcolorFor(c.ForeColor);
    p->update();
  }
}

void ControlView::applyCursor(Control& c) {
  mousePointer_ = c.MousePointer;
  mouseIcon_ = c.MouseIcon;
  // An item shows the cursor of the widget that paints it.
  if (!raw) return;
  // The classic pointer numbers that have a Qt shape; 99 is the control's own picture.
  switch (c.MousePointer) {
    case 1:
      widget->setCursor(Qt::ArrowCursor);
      break;
    case 2:
      widget->setCursor(Qt::CrossCursor);
      break;
    case 3:
      widget->setCursor(Qt::IBeamCursor);
      break;
    case 5:
    case 15:
      widget->setCursor(Qt::SizeAllCursor);
      break;
    case 6:
      widget->setCursor(Qt::SizeBDiagCursor);
      break;
    case 7:
      widget->setCursor(Qt::SizeVerCursor);
      break;
    case 8:
      widget->setCursor(Qt::SizeFDiagCursor);
      break;
    case 9:
      widget->setCursor(Qt::SizeHorCursor);
      break;
    case 10:
      widget->setCursor(Qt::UpArrowCursor);
      break;
    case 11:
      widget->setCursor(Qt::WaitCursor);
      break;
    case 12:
      widget->setCursor(Qt::ForbiddenCursor);
      break;
    case 13:
      widget->setCursor(Qt::BusyCursor);
      break;
    case 99: {
      const QPixmap& pm = views.pixmap(c.MouseIcon->Path);
      if (pm.isNull())
        widget->unsetCursor();
      else
        widget->setCursor(QCursor(pm));
      break;
    }
    default:
      widget->unsetCursor();
      break;
  }
}

}  // namespace kel::qt
