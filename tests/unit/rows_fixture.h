// A started program with the project's symbol pictures, typing into the key queue, for
// the tests of the index, line, fraction and symbol rows.
//
// Besides the program's own rows it has one row group of the test's own: the codes 9001
// to 9009 place a text symbol of that many "x" (by the text rule: 15 px a character on
// the line, 9 px in an index), so numerators and denominators of known widths can be
// typed whatever the letter rows do.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "input/interpreter.h"
#include "platform/units.h"
#include "sim_program.h"

namespace kel::test::rows {

inline constexpr const char* kX = "9001";    // "x"
inline constexpr const char* kXxx = "9003";  // "xxx"

struct RowTypist {
  RowTypist() {
    s.folder.linkSimbol();
    s.p().start();
    // Past the start-up's one-shot steps (Start at 200 ms, the page pointer at 1 s).
    s.host.advance(1000);
    s.p().input.rowGroups.insert(s.p().input.rowGroups.begin(), [](PlayedItem& item) {
      if (!item.codeIn(9001, 9009)) return false;
      const int n = static_cast<int>(item.codeValue().value_or(9001)) - 9000;
      item.placeText(std::string(static_cast<size_t>(n), 'x'));
      return true;
    });
  }

  Program& p() { return s.p(); }
  MainWindow& w() { return s.w(); }
  SimDesktop& desk() { return s.desk(); }

  void append(const std::string& code, const std::string& shift = "0") {
    p().input.AppendQueueItem(code, shift);
  }
  // Queues the items and lets the player play them, and every step they start.
  void type(std::initializer_list<const char*> codes, Millis ms = 1000) {
    for (const char* c : codes) append(c);
    s.host.advance(ms);
  }
  // Insert: the bar, then the Page Up it queues itself, which goes to the numerator.
  void insert() { type({"45"}, 100); }

  // The element of symbol n, whichever array holds it.
  Control& symbol(int n) {
    if (p().SymbolKind[static_cast<size_t>(n)] == "bukva") return w().Label3[n];
    return w().Image3[n];
  }
  double right(int n) { return symbol(n).Left + symbol(n).Width; }

  // Clear All as the page store does it: every element unloaded, the numbering begun
  // again, the queue lists emptied (the play limit is left as it is).
  void clearAllPages() {
    for (int n = 1; n <= p().SymbolCount; ++n) {
      w().Label3.Unload(n);
      w().Image3.Unload(n);
    }
    p().SymbolCount = 0;
    w().List1.Clear();
    w().List2.Clear();
  }

  PointPx pointer() { return desk().cursorPos(); }

  SimProgram s;
};

}  // namespace kel::test::rows
