// The store of the undo history: the snapshots of the page shown.
//
// A snapshot lists every symbol on the page with its place, and the pointer, the index modes
// and the open fraction. Typing n symbols one at a time takes n snapshots of 1, 2, ... n
// symbols; kept whole they would grow with n * n. So a snapshot keeps only what changed
// since the one before it (the symbols that came onto the page or moved, and those that
// left it), and every so often one is kept whole, so that putting one back never walks a
// long chain. Only the restore reads a snapshot, and it gets back exactly what was stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "app/fraction_state.h"

namespace kel {

// What a snapshot says of the page besides its symbols.
struct UndoPageFacts {
  double PointerX = 0, PointerY = 0;
  int LowerIndexMode = 0, UpperIndexMode = 0;
  FractionSnapshot Fraction;
  bool operator==(const UndoPageFacts&) const = default;
};

// Where one symbol stands in a snapshot: on the page or not, and if so its element (a
// text symbol or a picture) and its place (twips).
struct UndoPlace {
  double left = 0, top = 0;
  bool onPage = false;
  bool text = false;
  bool operator==(const UndoPlace&) const = default;
};

class UndoHistory {
 public:
  // How many snapshots are kept; past that the oldest makes room for the newest.
  static constexpr int kCapacity = 10000;

  // Stores the page as snapshot `number` (counted from 1), in place of every snapshot from
  // `number` on. page[i] is symbol i (element 0 is not looked at). number must lie between
  // 1 and size() + 1. Returns the number it was stored under: `number`, or kCapacity when
  // the history was full and the oldest snapshot was dropped for it (so every later number
  // is one less than before).
  int store(int number, const std::vector<UndoPlace>& page, const UndoPageFacts& facts);

  // Snapshot `number` (0 to size()): element i is symbol i; symbols past its end are not
  // on the page. Valid until the next call of store, places, setOrigin or clear.
  const std::vector<UndoPlace>& places(int number);
  const UndoPageFacts& facts(int number) const;
  // How many symbols stand on the page in snapshot `number`.
  int records(int number) const;

  int size() const { return static_cast<int>(snapshots_.size()); }
  // Forgets every snapshot; snapshot 0, the state before the first, is the empty page.
  void clear();
  // Snapshot 0 is this page (a page entered with symbols on it): undoing every change
  // made on it since gives it back as it was entered.
  void setOrigin(const std::vector<UndoPlace>& page, const UndoPageFacts& facts);
  // The memory the snapshots take, near enough (for measurements).
  std::size_t memoryBytes() const;

 private:
  struct Change {
    std::int32_t index;
    bool text;
    double left, top;
  };
  struct Snapshot {
    UndoPageFacts facts;
    std::int32_t records = 0;
    bool whole = false;  // `changed` holds every symbol on the page
    // Since the last whole one: snapshots and changes, to know when the next is kept whole.
    std::int32_t chainLength = 0;
    std::int64_t chainChanges = 0;
    std::vector<Change> changed;     // came onto the page or moved
    std::vector<std::int32_t> gone;  // left the page
  };

  // Builds snapshot `number` (0: the empty page) into out.
  void rebuild(int number, std::vector<UndoPlace>& out) const;
  void makeWhole(Snapshot& s, const std::vector<UndoPlace>& page) const;

  std::deque<Snapshot> snapshots_;
  // Snapshot 0.
  std::vector<UndoPlace> origin_;
  UndoPageFacts originFacts_;
  std::int32_t originRecords_ = 0;
  // Snapshot baseNumber_ as a whole page: the one the next store compares with, and the one
  // places() gave last.
  std::vector<UndoPlace> base_;
  int baseNumber_ = 0;
};

}  // namespace kel
