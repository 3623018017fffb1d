#include "pages/undo_history.h"

#include <algorithm>
#include <stdexcept>

namespace kel {

namespace {

// A chain of changes is cut by a whole snapshot after this many snapshots (more on a big
// page, where a whole one costs more), or once its changes outnumber a whole one's.
constexpr std::int32_t kMinChain = 64;
constexpr std::int32_t kChainPerSymbols = 8;

void setPlace(std::vector<UndoPlace>& out, std::size_t index, const UndoPlace& p) {
  if (index >= out.size()) out.resize(index + 1);
  out[index] = p;
}

}  // namespace

void UndoHistory::clear() {
  snapshots_.clear();
  base_.clear();
  baseNumber_ = 0;
  origin_.clear();
  originFacts_ = UndoPageFacts{};
  originRecords_ = 0;
}

void UndoHistory::setOrigin(const std::vector<UndoPlace>& page, const UndoPageFacts& facts) {
  clear();
  origin_.assign(page.begin(), page.end());
  if (!origin_.empty()) origin_[0] = UndoPlace{};
  originFacts_ = facts;
  for (const UndoPlace& p : origin_) originRecords_ += p.onPage ? 1 : 0;
  base_ = origin_;
}

void UndoHistory::makeWhole(Snapshot& s, const std::vector<UndoPlace>& page) const {
  s.whole = true;
  s.chainLength = 0;
  s.chainChanges = 0;
  s.gone.clear();
  s.gone.shrink_to_fit();
  s.changed.clear();
  s.changed.reserve(static_cast<std::size_t>(s.records));
  for (std::size_t i = 1; i < page.size(); ++i)
    if (page[i].onPage)
      s.changed.push_back({static_cast<std::int32_t>(i), page[i].text, page[i].left, page[i].top});
  s.changed.shrink_to_fit();
}

int UndoHistory::store(int number, const std::vector<UndoPlace>& page, const UndoPageFacts& facts) {
  if (number < 1 || number > size() + 1) throw std::out_of_range("undo snapshot number");
  // The one before it is what this one is compared with.
  if (baseNumber_ != number - 1) {
    rebuild(number - 1, base_);
    baseNumber_ = number - 1;
  }
  snapshots_.resize(static_cast<std::size_t>(number - 1));

  Snapshot s;
  s.facts = facts;
  const std::size_t n = std::max(page.size(), base_.size());
  for (std::size_t i = 1; i < n; ++i) {
    const UndoPlace now = i < page.size() ? page[i] : UndoPlace{};
    const UndoPlace before = i < base_.size() ? base_[i] : UndoPlace{};
    if (now.onPage) {
      ++s.records;
      if (!(now == before))
        s.changed.push_back({static_cast<std::int32_t>(i), now.text, now.left, now.top});
    } else if (before.onPage) {
      s.gone.push_back(static_cast<std::int32_t>(i));
    }
  }
  const std::int64_t changes = static_cast<std::int64_t>(s.changed.size() + s.gone.size());
  if (snapshots_.empty()) {
    makeWhole(s, page);
  } else {
    const Snapshot& prev = snapshots_.back();
    s.chainLength = prev.chainLength + 1;
    s.chainChanges = prev.chainChanges + changes;
    const std::int32_t longest = std::max(kMinChain, s.records / kChainPerSymbols);
    if (s.chainLength > longest || s.chainChanges > s.records + kMinChain) {
      makeWhole(s, page);
    } else {
      s.changed.shrink_to_fit();
      s.gone.shrink_to_fit();
    }
  }

  if (number > kCapacity) {
    // Full: the oldest goes and becomes the state before the first; the one after it, now
    // the first, must stand on its own.
    rebuild(1, origin_);
    originFacts_ = snapshots_[0].facts;
    originRecords_ = snapshots_[0].records;
    std::vector<UndoPlace> second;
    rebuild(2, second);
    makeWhole(snapshots_[1], second);
    snapshots_.pop_front();
    number -= 1;
  }
  snapshots_.push_back(std::move(s));
  // The page just stored is the base of the next one.
  base_.assign(page.begin(), page.end());
  if (!base_.empty()) base_[0] = UndoPlace{};
  baseNumber_ = number;
  return number;
}

void UndoHistory::rebuild(int number, std::vector<UndoPlace>& out) const {
  if (number <= 0) {
    out = origin_;
    return;
  }
  out.clear();
  if (number > size()) throw std::out_of_range("undo snapshot number");
  int first = number - 1;
  while (first > 0 && !snapshots_[static_cast<std::size_t>(first)].whole) --first;
  for (int k = first; k < number; ++k) {
    const Snapshot& s = snapshots_[static_cast<std::size_t>(k)];
    for (const Change& c : s.changed)
      setPlace(out, static_cast<std::size_t>(c.index), {c.left, c.top, true, c.text});
    for (std::int32_t g : s.gone)
      if (static_cast<std::size_t>(g) < out.size()) out[static_cast<std::size_t>(g)] = UndoPlace{};
  }
}

const std::vector<UndoPlace>& UndoHistory::places(int number) {
  if (number != baseNumber_) {
    rebuild(number, base_);
    baseNumber_ = number;
  }
  return base_;
}

const UndoPageFacts& UndoHistory::facts(int number) const {
  if (number == 0) return originFacts_;
  return snapshots_.at(static_cast<std::size_t>(number - 1)).facts;
}

int UndoHistory::records(int number) const {
  if (number == 0) return originRecords_;
  return snapshots_.at(static_cast<std::size_t>(number - 1)).records;
}

std::size_t UndoHistory::memoryBytes() const {
  std::size_t bytes = sizeof(*this) + (base_.capacity() + origin_.capacity()) * sizeof(UndoPlace);
  for (const Snapshot& s : snapshots_)
    bytes += sizeof(Snapshot) + s.changed.capacity() * sizeof(Change) +
             s.gone.capacity() * sizeof(std::int32_t);
  return bytes;
}

}  // namespace kel
