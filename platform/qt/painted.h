// The controls the backend draws itself (a label, an image, a picture box, a frame, a shape,
// a line): what each shows and how it is drawn, the widget that paints one, and the items
// that a container's widget paints for its children, found through a grid of cells.
#pragma once

#include <qdrawutil.h>

#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/desktop.h"
#include "platform/qt/views.h"

namespace kel::qt {

// What a control the backend draws itself shows (a label, an image, a picture box, a
// frame, a shape, a line), and how it is drawn into its rectangle r.
struct Painting {
  explicit Painting(ControlKind k) : kind(k) {}
  ControlKind kind;
  QString text;
  QFont textFont;
  QColor back, fore, fill;
  bool opaque = true, border = false, singleLine = true, stretch = false, filled = true;
  int alignment = 0;
  QPixmap pixmap;
  QPoint a, b;
  int penWidth = 1;
  bool blank = false;  // the control is hidden: nothing to paint, no event to take

  // A caption as it shows, by the rule measureLabel measures it with.
  static QString shown(const QString& caption) {
    return caption.contains(QLatin1Char('&'))
               ? QString::fromStdString(shownCaption(caption.toStdString()))
               : caption;
  }
  void paint(QPainter& p, const QRect& r, const QPalette& palette) const {
    switch (kind) {
      case ControlKind::Label: {
        if (opaque) p.fillRect(r, back);
        paintCaption(p, r);
        break;
      }
      case ControlKind::Image:
        paintPicture(p, r);
        break;
      default:
        paintOther(p, r, palette);
        break;
    }
  }
  // A symbol of a formula, in two strokes: its ground (a label's background), then its ink
  // (a caption; a picture, whose white adds nothing to what lies under it). The symbols
  // that stand together are painted ground first, ink after, so that the white box of one
  // never cuts the ink of its neighbour: the bar of a fraction under a bracket, the arrow
  // of a vector beside the next symbol.
  void paintGround(QPainter& p, const QRect& r) const {
    if (kind == ControlKind::Label && opaque) p.fillRect(r, back);
  }
  void paintInk(QPainter& p, const QRect& r) const {
    if (kind == ControlKind::Label) {
      paintCaption(p, r);
    } else if (kind == ControlKind::Image) {
      // Multiplying keeps the darker of what is there and what the picture brings: its
      // white leaves the page and the ink under it as they are, its ink shows over them.
      p.setCompositionMode(QPainter::CompositionMode_Multiply);
      paintPicture(p, r);
      p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
  }

 private:
  void paintCaption(QPainter& p, const QRect& r) const {
    QRect textRect = r;
    if (border) {
      p.setPen(QColor(0, 0, 0));
      p.drawRect(r.adjusted(0, 0, -1, -1));
      textRect = r.adjusted(1, 1, -1, -1);
    }
    p.setPen(fore);
    p.setFont(textFont);
    int flags = Qt::AlignTop | (singleLine ? Qt::TextSingleLine : Qt::TextWordWrap);
    flags |= alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    p.drawText(textRect, flags, shown(text));
  }
  void paintPicture(QPainter& p, const QRect& r) const {
    if (pixmap.isNull()) return;
    if (stretch)
      p.drawPixmap(r, pixmap);
    else
      p.drawPixmap(0, 0, pixmap);
  }
  void paintOther(QPainter& p, const QRect& r, const QPalette& palette) const {
    switch (kind) {
      case ControlKind::PictureBox:
        p.fillRect(r, back);
        if (!pixmap.isNull()) p.drawPixmap(border ? 2 : 0, border ? 2 : 0, pixmap);
        if (border) qDrawWinPanel(&p, r, palette, true);
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

// What the view code changes a painting through: it shows on its own widget, or as an
// item on its container's widget.
class Painted : public Painting {
 public:
  explicit Painted(ControlKind k) : Painting(k) {}
  virtual ~Painted() = default;
  // Repaints what it covers.
  virtual void update() = 0;
  virtual void setGeometry(const QRect& r) = 0;
};

class PaintedItem;

// The widget of a control the backend draws itself. It also draws the items placed on it:
// painted controls that it holds and that lie below all of its child widgets, so that a
// page of ten thousand symbols is one widget and not ten thousand (Qt's own work for each
// child widget, when it repaints, when it looks for the widget under the mouse, when it
// stacks a new one, would grow with the page).
class PaintedWidget : public QWidget, public Painted {
 public:
  PaintedWidget(ControlKind k, QWidget* parent) : QWidget(parent), Painted(k) {
    if (k == ControlKind::Line || k == ControlKind::Shape)
      setAttribute(Qt::WA_TransparentForMouseEvents);  // shapes and lines take no events
  }
  ~PaintedWidget() override;
  using QWidget::update;
  void update() override { QWidget::update(); }
  void setGeometry(const QRect& r) override { QWidget::setGeometry(r); }

  // The items, bottom to top, with what painting and hit testing need at hand. The slot
  // of an item that went stays, empty, until many have gone: clearing a page of ten
  // thousand symbols must not move the rest of the list at every one.
  struct Slot {
    StackKey key;
    QRect rect;
    bool shown;
    bool opaque;  // covers its whole rectangle
    PaintedItem* item;
  };
  void addItem(PaintedItem& item);
  void removeItem(const PaintedItem& item);
  void itemChanged(const PaintedItem& item, const QRect& before);
  // The topmost shown item at a point that takes mouse events.
  PaintedItem* itemAt(const QPoint& at) const;
  const std::vector<Slot>& items() const { return items_; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  std::vector<Slot>::iterator slotOf(const StackKey& key);
  // The shown items that meet a small place, top first (candidates from the grid).
  void itemsAt(const QRect& place, std::vector<const PaintedItem*>& out) const;
  void enter(PaintedItem& item);
  void leave(const PaintedItem& item);

  std::vector<Slot> items_;
  std::size_t empty_ = 0;
  // Where the items are, by cells of kCell pixels, so that finding what lies under the
  // pointer or under a small repaint looks at a few items and not at the whole page. An
  // item over more than kMaxCells cells is looked at everywhere.
  static constexpr int kCell = 64;
  static constexpr int kMaxCells = 64;
  std::unordered_map<std::uint64_t, std::vector<PaintedItem*>> cells_;
  std::vector<PaintedItem*> large_;
};

// A painted control drawn by its container's widget.
class PaintedItem : public Painted {
 public:
  PaintedItem(ControlKind k, PaintedWidget* host, const StackKey& key, ControlView* view,
              bool symbol)
      : Painted(k), host(host), key(key), view(view), symbol(symbol) {}
  ~PaintedItem() override {
    if (host) host->removeItem(*this);
  }
  void update() override {
    if (host) host->itemChanged(*this, rect);
  }
  // Whether what it paints covers its whole rectangle.
  bool covers() const {
    return (kind == ControlKind::Label && opaque) || kind == ControlKind::PictureBox;
  }
  void setGeometry(const QRect& r) override {
    if (r == rect) return;
    const QRect before = rect;
    rect = r;
    if (host) host->itemChanged(*this, before);
  }
  void show(bool on) {
    if (on == shown) return;
    shown = on;
    if (host) host->itemChanged(*this, rect);
  }

  PaintedWidget* host;  // cleared when the host goes
  StackKey key;
  ControlView* view;
  // A symbol of the formula: a label or an image of a control array. Symbols that lie
  // next to each other in the stack are painted grounds first, inks after.
  const bool symbol;
  QRect rect;  // in the host's coordinates
  bool shown = false;
  QRect cells;  // the cells of the host's grid it was entered in (empty: none)
  bool large = false;
};

}  // namespace kel::qt
