// Closing a fraction: the bar turns black and the numerator and the denominator are
// centred between the bar's ends.
#include <algorithm>
#include <cmath>

#include "app/program.h"
#include "platform/units.h"

namespace kel {

namespace {

// Positions are single precision, as the page files built on them store them.
double single(double v) { return static_cast<double>(static_cast<float>(v)); }

// Moves the symbols first..last sideways so that the part they form stands centred
// between the bar's left edge and its right edge r; the odd twip goes to the right.
void centrePart(Program& p, int first, int last, double r) {
  const Control* a = p.surface.SymbolElement(first);
  const Control* e = p.surface.SymbolElement(last);
  if (!a || !e) return;
  const double g1 = a->Left - p.BarStartInsertX;
  const double g2 = r - single(e->Left + e->Width);
  const double shift = intFloor((g1 + g2) / 2) - g1;
  if (!std::isfinite(shift)) return;
  for (int i = first; i <= last; ++i)
    if (Control* c = p.surface.SymbolElement(i)) c->Left = single(c->Left + shift);
}

}  // namespace

bool Surface::IsOpenBar(int n) const {
  const MainWindow& w = p.Form1;
  if (n < 1 || n > p.SymbolCount || n > kMaxSymbols || !w.Image3.IsLoaded(n)) return false;
  if (!IsFractionBarKind(p.SymbolKind[static_cast<size_t>(n)])) return false;
  // A bar read from a page file shows its own picture and was never open.
  return w.Image3[n].Picture == w.Image2[0].Picture;
}

void Surface::Command14_Click() {
  if (p.BarPlacedFlag != 1) return;
  p.BarPlacedFlag = 0;
  MainWindow& w = p.Form1;

  // When the bar is gone (all pages cleared since it was placed) there is no fraction
  // left to close: the symbols that now carry its indexes belong to something else.
  if (p.CurrentBar == p.BarIndex && IsOpenBar(p.BarIndex)) {
    Image& bar = w.Image3[p.BarIndex];
    const double barTop = bar.Top;

    // Only what this scan finds is centred: a part in which it finds nothing (Home
    // right after Insert, or without Page Down) moves nothing, whatever an earlier
    // fraction left in the closing indexes.
    int numeratorFirst = 0;
    bool denominatorFound = false;
    const int last = std::min(p.BarLastIndex, p.SymbolCount);
    for (int i = p.BarIndex + 1; i <= last; ++i) {
      const Control* c = p.surface.SymbolElement(i);
      if (!c) continue;
      const double t = c->Top;
      if (t < barTop && t > 0 && numeratorFirst == 0) numeratorFirst = i;
      if (t > barTop && !denominatorFound) {
        p.DenominatorFirstIndex = i;
        denominatorFound = true;
      }
      if (t < barTop && t > 0) p.NumeratorLastIndex = i;
      if (t > barTop) p.DenominatorLastIndex = i;
    }

    const double right = single(bar.Left + bar.Width);
    if (numeratorFirst != 0) centrePart(p, numeratorFirst, p.NumeratorLastIndex, right);
    if (denominatorFound) centrePart(p, p.DenominatorFirstIndex, p.DenominatorLastIndex, right);

    // The black picture over the width the bar reached; its place stays.
    bar.Picture = w.Image2[1].Picture;
  }

  p.BarIndex = p.SymbolCount;
  p.CurrentBar = kNoBar;
  p.BarOpen = 0;
}

}  // namespace kel
