// The painted widgets: the items a widget paints, the grid of cells that finds those under
// a point or a repaint, and the paint itself (grounds before inks for symbols side by side).
#include "platform/qt/painted.h"

#include <QPaintEvent>
#include <algorithm>

namespace kel::qt {

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

}  // namespace kel::qt
