// One view per kind of control, each applying its kind's own properties to its widget or
// painted item, and the making of the view a control of a given kind gets: an item its
// container's widget paints, or a widget of its own.
#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>
#include <optional>

#include "platform/qt/fonts.h"
#include "platform/qt/painted.h"
#include "platform/qt/pictures.h"
#include "platform/qt/views.h"
#include "platform/qt/views_internal.h"

namespace kel::qt {

namespace {

class LabelView : public ControlView {
 public:
  LabelView(ViewSync& s, Control& c, const Placement& at)
      : ControlView(s, c, at, ControlKind::Label) {}

 protected:
  void syncKind(Control& c, bool initial) override {
    auto& l = static_cast<Label&>(c);
    Painted* w = painted();
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
  ImageView(ViewSync& s, Control& c, const Placement& at)
      : ControlView(s, c, at, ControlKind::Image) {}

 protected:
  void applyColours(Control&) override {}  // an image has no background of its own
  void syncKind(Control& c, bool initial) override {
    auto& i = static_cast<Image&>(c);
    if (!initial && i.Picture == picture_ && i.Stretch == stretch_) return;
    picture_ = i.Picture;
    stretch_ = i.Stretch;
    Painted* w = painted();
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
  PictureBoxView(ViewSync& s, Control& c, const Placement& at)
      : ControlView(s, c, at, ControlKind::PictureBox) {}

 protected:
  void syncKind(Control& c, bool initial) override {
    auto& b = static_cast<PictureBox&>(c);
    if (!initial && b.Picture == picture_ && b.Border == border_) return;
    picture_ = b.Picture;
    border_ = b.Border;
    Painted* w = painted();
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
  FrameView(ViewSync& s, Control& c, const Placement& at)
      : ControlView(s, c, at, ControlKind::Frame) {}

 protected:
  void syncKind(Control& c, bool initial) override {
    auto& f = static_cast<Frame&>(c);
    if (!initial && f.Caption == caption_ && f.Border == border_) return;
    caption_ = f.Caption;
    border_ = f.Border;
    Painted* w = painted();
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
  ShapeView(ViewSync& s, Control& c, const Placement& at)
      : ControlView(s, c, at, ControlKind::Shape) {}

 protected:
  void syncKind(Control& c, bool initial) override {
    auto& sh = static_cast<Shape&>(c);
    if (!initial && sh.FillColor == fill_ && sh.Filled == filled_) return;
    fill_ = sh.FillColor;
    filled_ = sh.Filled;
    Painted* w = painted();
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
  LineView(ViewSync& s, Control& c, const Placement& at)
      : ControlView(s, c, at, ControlKind::Line) {}

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
    Painted* w = painted();
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
      // A text the program sets shows from its start, as the platform's boxes show it; the
      // box would show the end of one wider than itself (the minus sign of a result gone).
      edit->setCursorPosition(0);
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

// A graphical button's face is its BackColor, flat, pressed or not: the style would paint a
// lighter gradient of it (a dark red close key as pink, a pressed key's red as salmon). The
// style still draws the bevel round it and the picture and caption on it.
class FacedButton : public QPushButton {
 public:
  using QPushButton::QPushButton;
  std::optional<QColor> face;  // only a graphical button has one

 protected:
  void paintEvent(QPaintEvent* e) override {
    if (!face) {
      QPushButton::paintEvent(e);
      return;
    }
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    p.drawControl(QStyle::CE_PushButtonBevel, option);
    // Inside the bevel's outline and its inner light edge.
    p.fillRect(rect().adjusted(2, 2, -2, -2), *face);
    p.drawControl(QStyle::CE_PushButtonLabel, option);
  }
};

class ButtonView : public ControlView {
 public:
  ButtonView(ViewSync& s, Control& c, QWidget* parent)
      : ControlView(s, c, new FacedButton(parent)) {
    auto* button = static_cast<QPushButton*>(widget.data());
    clickOnRelease = false;
    // A key reaches the button's KeyDown (Enter on a dialog's Submit), as a text box's does.
    button->installEventFilter(&s);
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
    auto* button = static_cast<FacedButton*>(w);
    if (style_ == 1) {
      QPalette pal = w->palette();
      pal.setColor(QPalette::Button, qcolorFor(b.BackColor));
      pal.setColor(QPalette::ButtonText, qcolorFor(b.ForeColor));
      w->setPalette(pal);
      button->face = qcolorFor(b.BackColor);
      button->update();
    } else if (wasGraphical) {
      w->setPalette(QPalette());
      button->face.reset();
      button->update();
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

namespace {

bool paintedLeafKind(ControlKind k) {
  return k == ControlKind::Label || k == ControlKind::Image || k == ControlKind::PictureBox ||
         k == ControlKind::Shape || k == ControlKind::Line;
}

}  // namespace

ControlView* ViewSync::createView(FormView& fv, Control& c, int depth, bool asWidget) {
  if (depth > 64) return nullptr;  // a container chain that loops
  ControlView* pv = c.Container ? parentView(fv, c.Container, depth) : nullptr;
  QWidget* parent = c.Container ? (pv ? pv->raw : nullptr) : fv.widget.data();
  if (!parent) return nullptr;
  if (pv) pv->unblank();  // a container shows and hides its children with it
  ChildStack& siblings = pv ? pv->children : fv.children;
  Placement at{parent, nullptr, stackKey(fv, c)};
  // Painted by its container's widget when it lies below every child widget there.
  if (!asWidget && paintedLeafKind(c.Kind) &&
      (siblings.widgets.empty() || at.key < *siblings.widgets.begin()))
    at.host = dynamic_cast<PaintedWidget*>(parent);
  std::shared_ptr<ControlView> v;
  switch (c.Kind) {
    case ControlKind::Label:
      v = std::make_shared<LabelView>(*this, c, at);
      break;
    case ControlKind::Image:
      v = std::make_shared<ImageView>(*this, c, at);
      break;
    case ControlKind::PictureBox:
      v = std::make_shared<PictureBoxView>(*this, c, at);
      break;
    case ControlKind::TextBox:
      v = std::make_shared<TextBoxView>(*this, c, at.parent);
      break;
    case ControlKind::ListBox:
      v = std::make_shared<ListBoxView>(*this, c, at.parent);
      break;
    case ControlKind::ComboBox:
      v = std::make_shared<ComboBoxView>(*this, c, at.parent);
      break;
    case ControlKind::CheckBox:
      v = std::make_shared<CheckBoxView>(*this, c, at.parent);
      break;
    case ControlKind::CommandButton:
      v = std::make_shared<ButtonView>(*this, c, at.parent);
      break;
    case ControlKind::Frame:
      v = std::make_shared<FrameView>(*this, c, at);
      break;
    case ControlKind::Shape:
      v = std::make_shared<ShapeView>(*this, c, at);
      break;
    case ControlKind::Line:
      v = std::make_shared<LineView>(*this, c, at);
      break;
  }
  if (!v) return nullptr;
  v->key = at.key;
  // The controls of a window that never takes the focus do not take it either (an item
  // has no widget to take it).
  if (fv.form->NeverActivates && v->widget) v->widget->setFocusPolicy(Qt::NoFocus);
  v->container = c.Container;
  v->applyAll(c);
  ControlView* made = v.get();
  c.view.view = std::move(v);
  stack(fv, *made, siblings);
  changed_ = true;
  return made;
}

}  // namespace kel::qt
