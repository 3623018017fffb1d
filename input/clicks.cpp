// Click detection: the left button's changes, sampled every 50 ms, are matched against a
// single and a double click. A single click snaps the insertion point to the nearer edge of
// the pressed or the nearest symbol; a double click also remembers the writing position.
#include <algorithm>
#include <cmath>
#include <string>

#include "app/program.h"
#include "platform/units.h"

namespace kel {

namespace {

constexpr const char* kSingleClick = "TrueFalse";
constexpr const char* kDoubleClick = "TrueFalseTrue";
constexpr const char* kDoubleClickHint = "double mouse click => New value by X";
// How near a symbol edge must be to the caret for a click without a pressed symbol.
constexpr double kSnapRangeH = 600, kSnapLimitH = 700;
constexpr double kSnapRangeV = 600;

}  // namespace

void Input::TimerM1_Timer() {
  if (p.BusyFlag == 0) p.Form1.TextM1.setText(truthText(IsLeftButtonDown()));
}

void Input::TimerM2_Timer() {
  MainWindow& w = p.Form1;
  w.TextM2.setText("");
  w.TimerM2.setEnabled(false);
}

void Input::TextM1_Change() {
  MainWindow& w = p.Form1;
  if (p.SkipNextButtonChange == 1) {
    p.SkipNextButtonChange = 0;
    return;
  }
  if (p.SkipNextButtonChange2 == 1) {
    p.SkipNextButtonChange2 = 0;
    return;
  }
  if (p.PointerOverForm8 == 1) return;
  // The pop-up's buttons, reached without crossing its bare window (which marks the
  // pointer as over a floating window), are no page: a snap in the middle of a press on
  // Cut would take the pointer off the button before the release.
  if (p.pages.PointerOverForm7()) return;
  if (p.PointerPoint.x > singleDiv15(w.Left) + singleDiv15(w.Frame6.Left)) return;

  const PointPx c = p.desktop.cursorPos();
  p.PointerPoint = {c.x, c.y};
  w.TimerM2.setEnabled(true);
  const bool down = IsLeftButtonDown();
  w.TextM2.setText(w.TextM2.Text() + truthText(down));

  double bestH = kSnapRangeH, bestV = kSnapRangeV;
  p.CurrentSymbolIndex = 0;
  const std::string& history = w.TextM2.Text();

  if (history.find(kSingleClick) != std::string::npos) {
    if (p.PressedSymbolIndex != 0) {
      p.CurrentSymbolIndex = p.PressedSymbolIndex;
      p.CaretAfterSymbol = p.PressedSymbolHalf == 1 ? 0 : 1;
      snapToCurrentSymbol(down);
    } else if (p.SymbolCount != 0) {
      const int last = std::min(p.SymbolCount, kMaxSymbols);
      for (int k = 1; k <= last; ++k) {
        const Control* e = p.surface.SymbolElement(k);
        if (!e) continue;
        const double dv = std::abs(w.Picture1.Top - e->Top);
        double dh = std::abs(w.Picture1.Left - e->Left);
        if (dv <= bestV && dh <= bestH) {
          bestV = dv;
          bestH = dh;
          p.CurrentSymbolIndex = k;
          p.CaretAfterSymbol = 0;
        }
        dh = std::abs(w.Picture1.Left - e->Left - e->Width);
        if (dv <= bestV && dh <= bestH) {
          bestV = dv;
          bestH = dh;
          p.CurrentSymbolIndex = k;
          p.CaretAfterSymbol = 1;
        }
      }
      if (bestH < kSnapLimitH && bestV < kSnapRangeV) snapToCurrentSymbol(down);
    }
    if (p.BarOpen == 1) p.BarOpen = 0;
    // --- the key indicator, when shown: under the pointer, as wide as its name -----------
    if (p.palette.indicator.Visible()) {
      p.palette.indicator.FitWidth();
      p.palette.indicator.PlaceUnderPointer();
    }
    // --- end of the key indicator's block ------------------------------------------------
  }

  // While a limits dialog's limits are placed the caret the click set waits for them (the
  // limits set it as they are typed); a double click waits as it does while busy.
  if (limitsPlacing_ && history.find(kSingleClick) != std::string::npos) {
    deferredClick_.caretSet = true;
    deferredClick_.symbol = p.CurrentSymbolIndex;
    deferredClick_.caretAfter = p.CaretAfterSymbol;
  }
  if (p.BusyFlag == 0 && !limitsPlacing_ && history.find(kDoubleClick) != std::string::npos) {
    p.surface.ZapomniKordinati();
    AppendQueueItem(p.LatinLayout == 1 ? "5000" : "6000", "0");
    // --- the key indicator, when shown: the double click named ---------------------------
    if (p.palette.indicator.Visible()) {
      Label& name = p.Form3.Label7;
      name.Caption = kDoubleClickHint;
      autoSize(p.desktop, name);
      p.palette.indicator.FitWidth();
      p.palette.indicator.PlaceUnderPointer();
    }
    // --- end of the key indicator's block ------------------------------------------------
  }
}

void Input::snapToCurrentSymbol(bool buttonDown) {
  MainWindow& w = p.Form1;
  const Control* e = p.surface.SymbolElement(p.CurrentSymbolIndex);
  if (!e) return;
  double x = singleDiv15(w.Left) + e->Left / 15 + 4;
  if (p.CaretAfterSymbol == 1) x += e->Width / 15;
  const double y = singleDiv15(w.Top) + (e->Top + 505 + e->Height / 2) / 15;
  const int px = pixelForPointer(x), py = pixelForPointer(y);
  if (limitsPlacing_) {
    // The snapped point is the insertion point once the limits stand.
    DeferClick({p.PointerPoint.x, p.PointerPoint.y}, {px, py});
    if (!buttonDown && w.Text5.Text() == "1") w.Text5.setText("0");
    return;
  }
  p.surface.SetPointer(px, py);
  // The snapped point is the insertion point at once. The button-press re-read (Timer10)
  // ticks beside this sampler in no fixed order: had it seen the release already, it read
  // the unsnapped point; had it not, it would read the pointer again later. So the
  // insertion point is set here, and a release the re-read has not yet seen is marked
  // seen, so that it never overwrites the snapped point afterwards.
  p.PointerX = px;
  p.PointerY = py;
  if (!buttonDown && w.Text5.Text() == "1") w.Text5.setText("0");
}

}  // namespace kel
