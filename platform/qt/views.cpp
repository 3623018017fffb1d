#include "platform/qt/views.h"

#include <qdrawutil.h>

#include <QApplication>
#include <QBitmap>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegion>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "platform/desktop.h"
#include "platform/qt/fonts.h"
#include "platform/qt/pictures.h"
#include "platform/qt/vk_keycodes.h"
#include "platform/units.h"

namespace kel::qt {

// --- geometry ---------------------------------------------------------------------------

int pixelOf(double twips) {
  if (!std::isfinite(twips)) return 0;
  const double px = std::floor(twips / kTwipsPerPixel + 0.5);
  // Far outside any screen: parked symbols stay parked, and Qt's coordinates stay valid.
  return static_cast<int>(std::clamp(px, -1.0e7, 1.0e7));
}

QRect clientRectFor(double left, double top, double width, double height) {
  const double leftTw = kFrameLeftPx * kTwipsPerPixel;
  const int x = pixelOf(left + leftTw);
  const int y = pixelOf(top + kFrameTopTw);
  const int w = pixelOf(left + width - leftTw) - x;
  const int h = pixelOf(top + height - leftTw) - y;
  return QRect(x, y, std::clamp(w, 1, 16000), std::clamp(h, 1, 16000));
}

QRect windowRectFor(const Form& f) {
  if (!f.Borderless) return clientRectFor(f.Left, f.Top, f.Width, f.Height);
  const int x = pixelOf(f.Left);
  const int y = pixelOf(f.Top);
  const int w = pixelOf(f.Left + f.Width) - x;
  const int h = pixelOf(f.Top + f.Height) - y;
  return QRect(x, y, std::clamp(w, 1, 16000), std::clamp(h, 1, 16000));
}

namespace {

QRect controlRect(double left, double top, double width, double height) {
  const int x = pixelOf(left);
  const int y = pixelOf(top);
  const int w = pixelOf(left + std::max(0.0, width)) - x;
  const int h = pixelOf(top + std::max(0.0, height)) - y;
  return QRect(x, y, std::clamp(w, 0, 16000), std::clamp(h, 0, 16000));
}

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

// Runs a copy of an event handler: the handler may unload the very control that owns it.
template <class H, class... A>
void callHandler(const H& h, A... args) {
  if (!h) return;
  H copy = h;
  copy(args...);
}

}  // namespace

// --- widgets ----------------------------------------------------------------------------

// The widget of the controls the backend draws itself: labels, images, picture boxes,
// frames, shapes and lines.
class PaintedWidget : public QWidget {
 public:
  PaintedWidget(ControlKind k, QWidget* parent) : QWidget(parent), kind(k) {
    if (k == ControlKind::Line || k == ControlKind::Shape)
      setAttribute(Qt::WA_TransparentForMouseEvents);  // shapes and lines take no events
  }
  ControlKind kind;
  QString text;
  QFont textFont;
  QColor back, fore, fill;
  bool opaque = true, border = false, singleLine = true, stretch = false, filled = true;
  int alignment = 0;
  QPixmap pixmap;
  QPoint a, b;
  int penWidth = 1;

 protected:
  // A caption as it shows, by the rule measureLabel measures it with.
  static QString shown(const QString& caption) {
    return caption.contains(QLatin1Char('&'))
               ? QString::fromStdString(shownCaption(caption.toStdString()))
               : caption;
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect r = rect();
    switch (kind) {
      case ControlKind::Label: {
        if (opaque) p.fillRect(r, back);
        QRect textRect = r;
        if (border) {
          p.setPen(QColor(0, 0, 0));
          p.drawRect(r.adjusted(0, 0, -1, -1));
          textRect = r.adjusted(1, 1, -1, -1);
        }
        p.setPen(fore);
        p.setFont(textFont);
        int flags = Qt::AlignTop | (singleLine ? Qt::TextSingleLine : Qt::TextWordWrap);
        flags |= alignment == 1   ? Qt::AlignRight
                 : alignment == 2 ? Qt::AlignHCenter
                                  : Qt::AlignLeft;
        p.drawText(textRect, flags, shown(text));
        break;
      }
      case ControlKind::Image:
        if (!pixmap.isNull()) {
          if (stretch)
            p.drawPixmap(r, pixmap);
          else
            p.drawPixmap(0, 0, pixmap);
        }
        break;
      case ControlKind::PictureBox:
        p.fillRect(r, back);
        if (!pixmap.isNull()) p.drawPixmap(border ? 2 : 0, border ? 2 : 0, pixmap);
        if (border) qDrawWinPanel(&p, r, palette(), true);
        break;
      case ControlKind::Frame:
        p.fillRect(r, back);
        if (border) {
          p.setPen(QColor(160, 160, 160));
          p.drawRect(r.adjusted(0, 6, -1, -1));
        }
        if (const QString caption = shown(text); !caption.isEmpty()) {
          p.setFont(textFont);
          const QFontMetrics fm(textFont);
          const QRect cap(8, 0, fm.horizontalAdvance(caption) + 4, fm.height());
          p.fillRect(cap, back);
          p.setPen(fore);
          p.drawText(cap, Qt::AlignCenter, caption);
        }
        break;
      case ControlKind::Shape:
        if (filled) {
          p.fillRect(r, fill);
        } else {
          p.setPen(fill);
          p.drawRect(r.adjusted(0, 0, -1, -1));
        }
        break;
      case ControlKind::Line:
        p.setPen(QPen(fore, penWidth, Qt::SolidLine, Qt::SquareCap));
        p.drawLine(a, b);
        break;
      default:
        break;
    }
  }
};

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

// --- control views ----------------------------------------------------------------------

ControlView::ControlView(ViewSync& sync, Control& c, QWidget* w)
    : control(&c), widget(w), raw(w), container(c.Container), views(sync) {
  QObject::connect(w, &QObject::destroyed, [this] { raw = nullptr; });
  w->setMouseTracking(true);
  w->hide();
}

ControlView::~ControlView() {
  if (QWidget* w = widget.data()) {
    QObject::disconnect(w, nullptr, nullptr, nullptr);
    w->hide();
    // Never deleted here directly: the widget may be the one whose event is running.
    w->deleteLater();
  }
}

void ControlView::applyAll(Control& c) {
  left_ = c.Left;
  top_ = c.Top;
  width_ = c.Width;
  height_ = c.Height;
  applyGeometry(c);
  enabled_ = c.Enabled;
  widget->setEnabled(enabled_);
  back_ = c.BackColor;
  fore_ = c.ForeColor;
  applyColours(c);
  applyCursor(c);
  syncKind(c, true);
  visible_ = c.Visible;
  widget->setVisible(visible_);
}

void ControlView::sync(Control& c) {
  if (!c.Visible) {
    if (visible_) {
      widget->hide();
      visible_ = false;
      views.noteChange();
    }
    return;
  }
  if (c.Left != left_ || c.Top != top_ || c.Width != width_ || c.Height != height_) {
    left_ = c.Left;
    top_ = c.Top;
    width_ = c.Width;
    height_ = c.Height;
    applyGeometry(c);
    views.noteChange();
  }
  if (c.Enabled != enabled_) {
    enabled_ = c.Enabled;
    widget->setEnabled(enabled_);
  }
  if (c.BackColor != back_ || c.ForeColor != fore_) {
    back_ = c.BackColor;
    fore_ = c.ForeColor;
    applyColours(c);
    views.noteChange();
  }
  if (c.MousePointer != mousePointer_ || !(c.MouseIcon == mouseIcon_)) applyCursor(c);
  syncKind(c, false);
  if (!visible_) {
    widget->show();
    visible_ = true;
    views.noteChange();
  }
}

void ControlView::applyGeometry(Control& c) {
  widget->setGeometry(controlRect(c.Left, c.Top, c.Width, c.Height));
}

void ControlView::applyColours(Control& c) {
  if (auto* p = dynamic_cast<PaintedWidget*>(widget.data())) {
    p->back = qcolorFor(c.BackColor);
    p->fore = qcolorFor(c.ForeColor);
    p->update();
  }
}

void ControlView::applyCursor(Control& c) {
  mousePointer_ = c.MousePointer;
  mouseIcon_ = c.MouseIcon;
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

namespace {

PaintedWidget* painted(QWidget* w) { return static_cast<PaintedWidget*>(w); }

class LabelView : public ControlView {
 public:
  LabelView(ViewSync& s, Control& c, QWidget* parent)
      : ControlView(s, c, new PaintedWidget(ControlKind::Label, parent)) {}

 protected:
  void syncKind(Control& c, bool initial) override {
    auto& l = static_cast<Label&>(c);
    PaintedWidget* w = painted(widget.data());
    bool dirty = false;
    if (initial || l.Caption != caption_) {
      caption_ = l.Caption;
      w->text = QString::fromStdString(caption_);
      dirty = true;
    }
    if (initial || !(l.Font == font_)) {
      font_ = l.Font;
      w->textFont = views.font(font_);
      dirty = true;
    }
    if (initial || l.Opaque != opaque_ || l.Border != border_ || l.Alignment != alignment_ ||
        l.AutoSize != autoSize_) {
      opaque_ = l.Opaque;
      border_ = l.Border;
      alignment_ = l.Alignment;
      autoSize_ = l.AutoSize;
      w->opaque = opaque_;
      w->border = border_;
      w->alignment = alignment_;
      // A label sized to its caption keeps it on one line; any other wraps at words.
      w->singleLine = autoSize_;
      dirty = true;
    }
    if (dirty && !initial) {
      w->update();
      views.noteChange();
    }
  }

 private:
  std::string caption_;
  Font font_;
  bool opaque_ = true, border_ = false, autoSize_ = false;
  int alignment_ = 0;
};

class ImageView : public ControlView {
 public:
  ImageView(ViewSync& s, Control& c, QWidget* parent)
      : ControlView(s, c, new PaintedWidget(ControlKind::Image, parent)) {}

 protected:
  void applyColours(Control&) override {}  // an image has no background of its own
  void syncKind(Control& c, bool initial) override {
    auto& i = static_cast<Image&>(c);
    if (!initial && i.Picture == picture_ && i.Stretch == stretch_) return;
    picture_ = i.Picture;
    stretch_ = i.Stretch;
    PaintedWidget* w = painted(widget.data());
    w->pixmap = views.pixmap(picture_.Path);
    w->stretch = stretch_;
    if (!initial) {
      w->update();
      views.noteChange();
    }
  }

 private:
  Picture picture_;
  bool stretch_ = false;
};

class PictureBoxView : public ControlView {
 public:
  PictureBoxView(ViewSync& s, Control& c, QWidget* parent)
      : ControlView(s, c, new PaintedWidget(ControlKind::PictureBox, parent)) {}

 protected:
  void syncKind(Control& c, bool initial) override {
    auto& b = static_cast<PictureBox&>(c);
    if (!initial && b.Picture == picture_ && b.Border == border_) return;
    picture_ = b.Picture;
    border_ = b.Border;
    PaintedWidget* w = painted(widget.data());
    w->pixmap = views.pixmap(picture_.Path);
    w->border = border_;
    if (!initial) {
      w->update();
      views.noteChange();
    }
  }

 private:
  Picture picture_;
  bool border_ = false;
};

class FrameView : public ControlView {
 public:
  FrameView(ViewSync& s, Control& c, QWidget* parent)
      : ControlView(s, c, new PaintedWidget(ControlKind::Frame, parent)) {}

 protected:
  void syncKind(Control& c, bool initial) override {
    auto& f = static_cast<Frame&>(c);
    if (!initial && f.Caption == caption_ && f.Border == border_) return;
    caption_ = f.Caption;
    border_ = f.Border;
    PaintedWidget* w = painted(widget.data());
    w->text = QString::fromStdString(caption_);
    w->textFont = views.font(Font{});
    w->border = border_;
    if (!initial) {
      w->update();
      views.noteChange();
    }
  }

 private:
  std::string caption_;
  bool border_ = false;
};

class ShapeView : public ControlView {
 public:
  ShapeView(ViewSync& s, Control& c, QWidget* parent)
      : ControlView(s, c, new PaintedWidget(ControlKind::Shape, parent)) {}

 protected:
  void syncKind(Control& c, bool initial) override {
    auto& sh = static_cast<Shape&>(c);
    if (!initial && sh.FillColor == fill_ && sh.Filled == filled_) return;
    fill_ = sh.FillColor;
    filled_ = sh.Filled;
    PaintedWidget* w = painted(widget.data());
    w->fill = qcolorFor(fill_);
    w->filled = filled_;
    if (!initial) {
      w->update();
      views.noteChange();
    }
  }

 private:
  Colour fill_ = 0;
  bool filled_ = true;
};

class LineView : public ControlView {
 public:
  LineView(ViewSync& s, Control& c, QWidget* parent)
      : ControlView(s, c, new PaintedWidget(ControlKind::Line, parent)) {}

 protected:
  // A line has its end points, not a rectangle: they place the widget.
  void applyGeometry(Control&) override {}
  void applyColours(Control&) override {}
  void syncKind(Control& c, bool initial) override {
    auto& l = static_cast<Line&>(c);
    if (!initial && l.X1 == x1_ && l.Y1 == y1_ && l.X2 == x2_ && l.Y2 == y2_ &&
        l.BorderColor == colour_ && l.BorderWidth == width_)
      return;
    x1_ = l.X1;
    y1_ = l.Y1;
    x2_ = l.X2;
    y2_ = l.Y2;
    colour_ = l.BorderColor;
    width_ = std::clamp(l.BorderWidth.get(), 1, 64);
    const QPoint p1(pixelOf(x1_), pixelOf(y1_));
    const QPoint p2(pixelOf(x2_), pixelOf(y2_));
    const int pad = width_;
    const QRect box = QRect(p1, p2).normalized().adjusted(-pad, -pad, pad, pad);
    PaintedWidget* w = painted(widget.data());
    w->setGeometry(box);
    w->a = p1 - box.topLeft();
    w->b = p2 - box.topLeft();
    w->fore = qcolorFor(colour_);
    w->penWidth = width_;
    if (!initial) {
      w->update();
      views.noteChange();
    }
  }

 private:
  double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
  Colour colour_ = 0;
  int width_ = 1;
};

// Colours of a standard widget: its background and text roles.
void paletteColours(QWidget* w, const Control& c, QPalette::ColorRole backRole,
                    QPalette::ColorRole textRole) {
  QPalette p = w->palette();
  p.setColor(backRole, qcolorFor(c.BackColor));
  p.setColor(textRole, qcolorFor(c.ForeColor));
  w->setPalette(p);
}

class TextBoxView : public ControlView {
 public:
  TextBoxView(ViewSync& s, Control& c, QWidget* parent) : ControlView(s, c, new QLineEdit(parent)) {
    clickOnRelease = true;
    auto* edit = static_cast<QLineEdit*>(widget.data());
    // A key reaches the box itself, however it was sent (the window's filter sees only
    // what comes through the window).
    edit->installEventFilter(&s);
    QObject::connect(edit, &QLineEdit::textEdited, edit, [this](const QString& t) {
      std::string text = t.toStdString();
      text_ = text;
      TextBox* box = static_cast<TextBox*>(control);
      views.gate().run([&] { box->setText(std::move(text)); });
    });
  }

 protected:
  void applyColours(Control& c) override {
    paletteColours(widget.data(), c, QPalette::Base, QPalette::Text);
  }
  void syncKind(Control& c, bool initial) override {
    auto& t = static_cast<TextBox&>(c);
    auto* edit = static_cast<QLineEdit*>(widget.data());
    if (initial || t.Text() != text_) {
      text_ = t.Text();
      edit->setText(QString::fromStdString(text_));
      views.noteChange();
    }
    if (initial || !(t.Font == font_)) {
      font_ = t.Font;
      edit->setFont(views.font(font_));
    }
  }

 private:
  std::string text_;
  Font font_;
};

class ListBoxView : public ControlView {
 public:
  ListBoxView(ViewSync& s, Control& c, QWidget* parent)
      : ControlView(s, c, new QListWidget(parent)) {
    auto* list = static_cast<QListWidget*>(widget.data());
    clickOnRelease = false;
    QObject::connect(list, &QListWidget::currentRowChanged, list, [this](int row) {
      index_ = row;
      ListBox* box = static_cast<ListBox*>(control);
      views.gate().run([&] {
        box->ListIndex = row;
        callHandler(box->Click);
      });
    });
  }

 protected:
  void applyColours(Control& c) override {
    paletteColours(widget.data(), c, QPalette::Base, QPalette::Text);
  }
  void syncKind(Control& c, bool initial) override {
    auto& l = static_cast<ListBox&>(c);
    auto* list = static_cast<QListWidget*>(widget.data());
    if (!initial && l.Items == items_ && l.ListIndex == index_) return;
    const QSignalBlocker block(list);
    if (initial || l.Items != items_) {
      items_ = l.Items;
      list->clear();
      for (const std::string& item : items_) list->addItem(QString::fromStdString(item));
    }
    index_ = l.ListIndex;
    list->setCurrentRow(index_ >= 0 && index_ < list->count() ? index_ : -1);
    views.noteChange();
  }

 private:
  std::vector<std::string> items_;
  int index_ = -1;
};

class ComboBoxView : public ControlView {
 public:
  ComboBoxView(ViewSync& s, Control& c, QWidget* parent)
      : ControlView(s, c, new QComboBox(parent)) {
    auto* combo = static_cast<QComboBox*>(widget.data());
    clickOnRelease = false;
    QObject::connect(combo, &QComboBox::activated, combo, [this](int i) {
      index_ = i;
      ComboBox* box = static_cast<ComboBox*>(control);
      views.gate().run([&] {
        box->ListIndex = i;
        callHandler(box->Click);
      });
    });
  }

 protected:
  void applyColours(Control& c) override {
    paletteColours(widget.data(), c, QPalette::Base, QPalette::Text);
  }
  void syncKind(Control& c, bool initial) override {
    auto& cb = static_cast<ComboBox&>(c);
    auto* combo = static_cast<QComboBox*>(widget.data());
    if (initial || !(cb.Font == font_)) {
      font_ = cb.Font;
      combo->setFont(views.font(font_));
    }
    if (!initial && cb.Items == items_ && cb.ListIndex == index_) return;
    const QSignalBlocker block(combo);
    if (initial || cb.Items != items_) {
      items_ = cb.Items;
      combo->clear();
      for (const std::string& item : items_) combo->addItem(QString::fromStdString(item));
    }
    index_ = cb.ListIndex;
    combo->setCurrentIndex(index_ >= 0 && index_ < combo->count() ? index_ : -1);
    views.noteChange();
  }

 private:
  std::vector<std::string> items_;
  int index_ = -1;
  Font font_;
};

class CheckBoxView : public ControlView {
 public:
  CheckBoxView(ViewSync& s, Control& c, QWidget* parent)
      : ControlView(s, c, new QCheckBox(parent)) {
    auto* box = static_cast<QCheckBox*>(widget.data());
    box->setAutoFillBackground(true);
    clickOnRelease = false;
    QObject::connect(box, &QCheckBox::clicked, box, [this](bool checked) {
      value_ = checked ? 1 : 0;
      CheckBox* cb = static_cast<CheckBox*>(control);
      views.gate().run([&] {
        cb->Value = checked ? 1 : 0;
        callHandler(cb->Click);
      });
    });
  }

 protected:
  void applyColours(Control& c) override {
    paletteColours(widget.data(), c, QPalette::Window, QPalette::WindowText);
    paletteColours(widget.data(), c, QPalette::Button, QPalette::ButtonText);
  }
  void syncKind(Control& c, bool initial) override {
    auto& cb = static_cast<CheckBox&>(c);
    auto* box = static_cast<QCheckBox*>(widget.data());
    if (initial || cb.Caption != caption_) {
      caption_ = cb.Caption;
      box->setText(QString::fromStdString(caption_));
      views.noteChange();
    }
    if (initial || !(cb.Font == font_)) {
      font_ = cb.Font;
      box->setFont(views.font(font_));
    }
    if (initial || cb.Value != value_) {
      value_ = cb.Value;
      const QSignalBlocker block(box);
      box->setChecked(value_ != 0);
      views.noteChange();
    }
  }

 private:
  std::string caption_;
  Font font_;
  int value_ = 0;
};

class ButtonView : public ControlView {
 public:
  ButtonView(ViewSync& s, Control& c, QWidget* parent)
      : ControlView(s, c, new QPushButton(parent)) {
    auto* button = static_cast<QPushButton*>(widget.data());
    clickOnRelease = false;
    QObject::connect(button, &QPushButton::clicked, button, [this] {
      Control* target = control;
      views.gate().run([&] { callHandler(target->Click); });
    });
  }

 protected:
  // --- palette: graphical buttons ---------------------------------------------------------
  // A button keeps the desktop's button face; only a graphical (picture) button differs:
  // its BackColor is the face.
  void applyColours(Control& c) override {
    auto& b = static_cast<CommandButton&>(c);
    const bool wasGraphical = style_ == 1;
    style_ = b.Style;
    QWidget* w = widget.data();
    if (style_ == 1) {
      QPalette pal = w->palette();
      pal.setColor(QPalette::Button, qcolorFor(b.BackColor));
      pal.setColor(QPalette::ButtonText, qcolorFor(b.ForeColor));
      w->setPalette(pal);
    } else if (wasGraphical) {
      w->setPalette(QPalette());
    }
  }
  // --- end of the palette's block ---------------------------------------------------------
  void syncKind(Control& c, bool initial) override {
    auto& b = static_cast<CommandButton&>(c);
    auto* button = static_cast<QPushButton*>(widget.data());
    if (!initial && b.Style != style_) {  // palette: graphical buttons
      applyColours(c);
      views.noteChange();
    }
    if (initial || b.Caption != caption_) {
      caption_ = b.Caption;
      button->setText(QString::fromStdString(caption_));
      views.noteChange();
    }
    if (initial || !(b.Font == font_)) {
      font_ = b.Font;
      button->setFont(views.font(font_));
    }
    if (initial || !(b.Picture == picture_)) {
      picture_ = b.Picture;
      const QPixmap& pm = views.pixmap(picture_.Path);
      button->setIcon(pm.isNull() ? QIcon() : QIcon(pm));
      // At its own size, or made smaller to stand inside the button's bevel.
      if (!pm.isNull()) {
        const QSize room(std::max(1, pixelOf(c.Width) - 6), std::max(1, pixelOf(c.Height) - 6));
        QSize size = pm.size();
        if (size.width() > room.width() || size.height() > room.height())
          size.scale(room, Qt::KeepAspectRatio);
        button->setIconSize(size);
      }
      views.noteChange();
    }
  }

 private:
  std::string caption_;
  Font font_;
  Picture picture_;
  int style_ = 0;  // palette: graphical buttons
};

}  // namespace

// --- form views -------------------------------------------------------------------------

FormView::FormView(ViewSync& sync, Form& f) : form(&f) {
  widget = new FormWidget(sync, *this);
  // The kind of window, before it is first mapped.
  if (f.Borderless) widget->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
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
  if (FormWidget* w = widget.data()) {
    auto& forms = w->sync_.forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    w->view = nullptr;
    w->hide();
    w->deleteLater();
  }
}

// --- the walk ---------------------------------------------------------------------------

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

void ViewSync::syncAll() {
  ++epoch_;
  // Forms are not created or destroyed by a walk; the list is stable while it runs.
  for (FormView* v : forms_)
    if (v->widget && v->form->Loaded) syncForm(*v, *v->form);
}

void ViewSync::syncForm(FormView& v, Form& f) {
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

  // A hidden form's controls wait until it is shown.
  if (f.Visible || v.visible_) {
    for (const Form::Layer& layer : f.layers()) {
      if (layer.control) {
        visit(v, *layer.control);
      } else {
        const int ub = layer.array->upperBound();
        for (int i = 0; i <= ub; ++i)
          if (Control* c = layer.array->elementAt(i)) visit(v, *c);
      }
    }
  }

  if (f.Visible && !v.visible_) {
    v.visible_ = true;
    v.state_ = f.State;
    v.placing = 2;
    v.placingSince.start();
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

ChildStack* ViewSync::stackOf(FormView& fv, Control* container) {
  if (!container) return &fv.children;
  auto* cv = static_cast<ControlView*>(container->view.view.get());
  return cv ? &cv->children : nullptr;
}

QWidget* ViewSync::parentFor(FormView& fv, Control* container, int depth) {
  if (!container) return fv.widget.data();
  auto* cv = static_cast<ControlView*>(container->view.view.get());
  if (cv && cv->widget) return cv->widget.data();
  // A container not shown yet gets its widget now, hidden if it is hidden; the walk
  // stacks it when it gets there.
  cv = createView(fv, *container, depth + 1);
  return cv ? cv->widget.data() : nullptr;
}

ControlView* ViewSync::createView(FormView& fv, Control& c, int depth) {
  if (depth > 64) return nullptr;  // a container chain that loops
  QWidget* parent = parentFor(fv, c.Container, depth);
  if (!parent) return nullptr;
  std::shared_ptr<ControlView> v;
  switch (c.Kind) {
    case ControlKind::Label:
      v = std::make_shared<LabelView>(*this, c, parent);
      break;
    case ControlKind::Image:
      v = std::make_shared<ImageView>(*this, c, parent);
      break;
    case ControlKind::PictureBox:
      v = std::make_shared<PictureBoxView>(*this, c, parent);
      break;
    case ControlKind::TextBox:
      v = std::make_shared<TextBoxView>(*this, c, parent);
      break;
    case ControlKind::ListBox:
      v = std::make_shared<ListBoxView>(*this, c, parent);
      break;
    case ControlKind::ComboBox:
      v = std::make_shared<ComboBoxView>(*this, c, parent);
      break;
    case ControlKind::CheckBox:
      v = std::make_shared<CheckBoxView>(*this, c, parent);
      break;
    case ControlKind::CommandButton:
      v = std::make_shared<ButtonView>(*this, c, parent);
      break;
    case ControlKind::Frame:
      v = std::make_shared<FrameView>(*this, c, parent);
      break;
    case ControlKind::Shape:
      v = std::make_shared<ShapeView>(*this, c, parent);
      break;
    case ControlKind::Line:
      v = std::make_shared<LineView>(*this, c, parent);
      break;
  }
  if (!v) return nullptr;
  // The controls of a window that never takes the focus do not take it either.
  if (fv.form->NeverActivates) v->widget->setFocusPolicy(Qt::NoFocus);
  v->container = c.Container;
  v->applyAll(c);
  ControlView* raw = v.get();
  c.view.view = std::move(v);
  changed_ = true;
  return raw;
}

void ViewSync::restack(QWidget* w, QWidget* below) {
  if (!below || below->parentWidget() != w->parentWidget()) {
    w->lower();
    return;
  }
  const QObjectList& kids = w->parentWidget()->children();
  const qsizetype i = kids.lastIndexOf(below);
  if (i < 0) {
    w->raise();
    return;
  }
  for (qsizetype j = i + 1; j < kids.size(); ++j) {
    QObject* o = kids[j];
    if (o == w) return;  // already right above it
    if (o->isWidgetType()) {
      w->stackUnder(static_cast<QWidget*>(o));
      return;
    }
  }
  w->raise();
}

void ViewSync::visit(FormView& fv, Control& c) {
  auto* v = static_cast<ControlView*>(c.view.view.get());
  if (v && !v->raw) {  // its widget went with a container: start again
    c.view.view.reset();
    v = nullptr;
  }
  if (!v) {
    if (!c.Visible) return;  // never shown: no widget yet
    v = createView(fv, c, 0);
    if (!v) return;
  }
  if (c.Container != v->container) {
    if (QWidget* parent = parentFor(fv, c.Container, 0)) {
      v->widget->setParent(parent);
      v->container = c.Container;
      v->needsRestack = true;
      v->applyAll(c);  // a widget given a new parent starts hidden and unplaced
    }
  }
  ChildStack* siblings = stackOf(fv, c.Container);
  if (v->needsRestack) {
    v->needsRestack = false;
    restack(v->raw, siblings && siblings->epoch == epoch_ ? siblings->last : nullptr);
  }
  if (siblings) {
    siblings->last = v->raw;
    siblings->epoch = epoch_;
  }
  if (!c.Visible && !v->visible_) return;
  v->sync(c);
}

// --- events from the window system ------------------------------------------------------

bool ViewSync::eventFilter(QObject* obj, QEvent* e) {
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      break;
    case QEvent::KeyPress:  // limits dialogs: a text box's KeyDown, seen at the box only
      if (qobject_cast<QLineEdit*>(obj)) routeKey(obj, static_cast<QKeyEvent*>(e));
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
  const bool moved = actual != v.target;
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
    if (resized) callHandler(f.Resize);
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

// --- limits dialogs: a key for a text box -----------------------------------------------
// A key for a line edit goes to its text box's KeyDown as the model names keys (its
// physical place, as the capture reads it); then the box takes the key itself. The filter
// sits on the line edit, so each key is taken once, at the box it reached.
void ViewSync::routeKey(QObject* obj, QKeyEvent* e) {
  auto* edit = qobject_cast<QLineEdit*>(obj);
  if (!edit) return;
  TextBox* box = nullptr;
  for (FormView* v : forms_) {
    if (!v->widget || !v->form->Loaded || !v->widget->isAncestorOf(edit)) continue;
    v->form->forEachControl([&](Control& c) {
      auto* cv = static_cast<ControlView*>(c.view.view.get());
      if (!box && c.Kind == ControlKind::TextBox && cv && cv->widget == edit)
        box = static_cast<TextBox*>(&c);
    });
    break;
  }
  if (!box || !box->KeyDown) return;
  int vk = vkForKeycode(static_cast<int>(e->nativeScanCode()));
  if (vk == 0 && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) vk = 13;
  if (vk == 0) return;
  const int shift = shiftOf(e->modifiers());
  gate_.run([&] { callHandler(box->KeyDown, vk, shift); });
}
// --- end of the limits dialogs' block ---------------------------------------------------

}  // namespace kel::qt
