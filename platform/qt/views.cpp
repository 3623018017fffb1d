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
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <optional>

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

PaintedWidget::~PaintedWidget() {
  for (Slot& s : items_)
    if (s.item) s.item->host = nullptr;
}

namespace {

std::uint64_t cellKey(int cx, int cy) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(cx)) << 32) |
         static_cast<std::uint32_t>(cy);
}

// The cells a rectangle meets (floor division: places left of or above the widget too).
QRect cellsOf(const QRect& r, int cell) {
  const auto div = [cell](int v) { return v >= 0 ? v / cell : -((-v + cell - 1) / cell); };
  return QRect(QPoint(div(r.left()), div(r.top())), QPoint(div(r.right()), div(r.bottom())));
}

}  // namespace

void PaintedWidget::enter(PaintedItem& item) {
  if (!item.shown || item.rect.isEmpty()) return;
  const QRect c = cellsOf(item.rect, kCell);
  if (static_cast<qint64>(c.width()) * c.height() > kMaxCells) {
    item.large = true;
    large_.push_back(&item);
    return;
  }
  item.cells = c;
  for (int y = c.top(); y <= c.bottom(); ++y)
    for (int x = c.left(); x <= c.right(); ++x) cells_[cellKey(x, y)].push_back(&item);
}

void PaintedWidget::leave(const PaintedItem& item) {
  auto& it = const_cast<PaintedItem&>(item);
  if (it.large) {
    large_.erase(std::remove(large_.begin(), large_.end(), &item), large_.end());
    it.large = false;
  }
  const QRect c = it.cells;
  it.cells = QRect();
  for (int y = c.top(); y <= c.bottom(); ++y)
    for (int x = c.left(); x <= c.right(); ++x) {
      auto cell = cells_.find(cellKey(x, y));
      if (cell == cells_.end()) continue;
      std::vector<PaintedItem*>& v = cell->second;
      v.erase(std::remove(v.begin(), v.end(), &item), v.end());
      if (v.empty()) cells_.erase(cell);
    }
}

void PaintedWidget::itemsAt(const QRect& place, std::vector<const PaintedItem*>& out) const {
  out.clear();
  const QRect c = cellsOf(place, kCell);
  for (int y = c.top(); y <= c.bottom(); ++y)
    for (int x = c.left(); x <= c.right(); ++x) {
      auto cell = cells_.find(cellKey(x, y));
      if (cell == cells_.end()) continue;
      for (const PaintedItem* i : cell->second)
        if (i->rect.intersects(place)) out.push_back(i);
    }
  for (const PaintedItem* i : large_)
    if (i->rect.intersects(place)) out.push_back(i);
  std::sort(out.begin(), out.end(),
            [](const PaintedItem* a, const PaintedItem* b) { return b->key < a->key; });
  out.erase(std::unique(out.begin(), out.end()), out.end());
}

std::vector<PaintedWidget::Slot>::iterator PaintedWidget::slotOf(const StackKey& key) {
  auto it = std::lower_bound(items_.begin(), items_.end(), key,
                             [](const Slot& s, const StackKey& k) { return s.key < k; });
  return it != items_.end() && it->key == key ? it : items_.end();
}

void PaintedWidget::addItem(PaintedItem& item) {
  auto it = std::lower_bound(items_.begin(), items_.end(), item.key,
                             [](const Slot& s, const StackKey& k) { return s.key < k; });
  items_.insert(it, Slot{item.key, item.rect, item.shown, item.covers(), &item});
  enter(item);
  if (item.shown) QWidget::update(item.rect);
}

void PaintedWidget::removeItem(const PaintedItem& item) {
  auto it = slotOf(item.key);
  if (it == items_.end() || !it->item) return;
  if (it->shown) QWidget::update(it->rect);
  leave(item);
  it->item = nullptr;
  it->shown = false;
  if (++empty_ > 64 && empty_ * 2 > items_.size()) {
    items_.erase(
        std::remove_if(items_.begin(), items_.end(), [](const Slot& s) { return !s.item; }),
        items_.end());
    empty_ = 0;
  }
}

void PaintedWidget::itemChanged(const PaintedItem& item, const QRect& before) {
  auto it = slotOf(item.key);
  if (it == items_.end() || !it->item) return;
  if (it->shown) QWidget::update(before);
  if (it->rect != item.rect || it->shown != item.shown) {
    leave(item);
    enter(*it->item);
  }
  it->rect = item.rect;
  it->shown = item.shown;
  it->opaque = item.covers();
  if (it->shown) QWidget::update(it->rect);
}

PaintedItem* PaintedWidget::itemAt(const QPoint& at) const {
  std::vector<const PaintedItem*> under;
  itemsAt(QRect(at, QSize(1, 1)), under);
  for (const PaintedItem* i : under)
    if (i->kind != ControlKind::Line && i->kind != ControlKind::Shape)
      return const_cast<PaintedItem*>(i);
  return nullptr;
}

void PaintedWidget::paintEvent(QPaintEvent* e) {
  if (blank) return;
  QPainter p(this);
  paint(p, rect(), palette());
  std::vector<const PaintedItem*> under, shown;
  for (const QRect& dirty : e->region()) {
    // From the top down, only what still shows: an item wholly under the opaque items
    // above it (symbols typed over each other, the caret moving over them) is not
    // painted. A small place takes its candidates from the grid; a large one (an expose)
    // from the list, and stops at the first item that covers it all.
    const QRect c = cellsOf(dirty, kCell);
    const bool small = static_cast<qint64>(c.width()) * c.height() <= kMaxCells;
    if (small) {
      itemsAt(dirty, under);
    } else {
      under.clear();
      for (auto it = items_.rbegin(); it != items_.rend(); ++it)
        if (it->shown && it->rect.intersects(dirty)) under.push_back(it->item);
    }
    shown.clear();
    QRegion open(dirty);
    // What the symbols of the run just walked cover: not each other's ink, but what lies
    // below the run.
    QRegion runCover;
    bool runCoversAll = false;
    for (const PaintedItem* i : under) {
      const QRect part = i->rect & dirty;
      if (i->symbol) {
        if (small && !open.intersects(part)) continue;
        shown.push_back(i);
        if (i->covers()) {
          if (small)
            runCover += part;
          else if (part == dirty)
            runCoversAll = true;
        }
        continue;
      }
      if (runCoversAll) break;
      if (small && !runCover.isEmpty()) {
        open -= runCover;
        runCover = QRegion();
        if (open.isEmpty()) break;
      }
      if (small && !open.intersects(part)) continue;
      shown.push_back(i);
      if (!i->covers()) continue;
      if (!small) {
        if (part == dirty) break;
        continue;
      }
      open -= part;
      if (open.isEmpty()) break;
    }
    const auto paintOne = [&](const PaintedItem& i, auto stroke) {
      p.save();
      p.setClipRect(i.rect & dirty);
      p.translate(i.rect.topLeft());
      stroke(i, QRect(QPoint(), i.rect.size()));
      p.restore();
    };
    for (auto it = shown.rbegin(); it != shown.rend();) {
      if (!(*it)->symbol) {
        paintOne(**it, [&](const PaintedItem& i, const QRect& r) { i.paint(p, r, palette()); });
        ++it;
        continue;
      }
      auto end = it;
      while (end != shown.rend() && (*end)->symbol) ++end;
      for (auto k = it; k != end; ++k)
        paintOne(**k, [&](const PaintedItem& i, const QRect& r) { i.paintGround(p, r); });
      for (auto k = it; k != end; ++k)
        paintOne(**k, [&](const PaintedItem& i, const QRect& r) { i.paintInk(p, r); });
      it = end;
    }
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

// --- control views ----------------------------------------------------------------------

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

// --- form views -------------------------------------------------------------------------

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

ControlView* ViewSync::parentView(FormView& fv, Control* container, int depth) {
  auto* cv = static_cast<ControlView*>(container->view.view.get());
  if (cv && cv->raw) return cv;
  // An item holds nothing, and a view whose widget went with its own container is made
  // again: a container gets a widget now, hidden if it is hidden.
  if (cv) container->view.view.reset();
  return createView(fv, *container, depth + 1, true);
}

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
