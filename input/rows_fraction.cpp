// Interpreter rows: Esc and Shift+6, F12, Enter, Insert, Page Up, Page Down and Home.
#include "app/program.h"
#include "input/interpreter.h"

namespace kel {

namespace {

constexpr int kEnter = 13, kEsc = 27, kPageUp = 33, kPageDown = 34, kHome = 36, kInsert = 45;
constexpr int kSix = 54, kF12 = 123;

// How far the pointer goes up into an upper index and down into a lower one, and down to
// a new line (pixels).
constexpr int kUpperIndexPx = 13, kLowerIndexPx = 8, kNewLinePx = 61;
// The numerator and the denominator, measured from where the fraction was begun.
constexpr int kNumeratorDx = 10, kNumeratorDy = -16;
constexpr int kDenominatorDx = 13, kDenominatorDy = 24;
// Enter and Home give the after-placement step this long, so that what they started
// (a new line, a closed fraction) stands before it ends an upper index.
constexpr int kDelayedStepMs = 300;

// Esc and F12: the six cases, tested in this order; exactly one applies.
void moveIndex(PlayedItem& item, bool esc) {
  Program& p = item.p;
  // The index is taken from where the pointer really is, in whole pixels.
  item.movePointer();
  p.surface.ReadInsertionPoint();
  if (esc) {
    if (p.LowerIndexMode == 1) {
      p.UpperIndexMode = 0;
      p.LowerIndexMode = 0;
      p.PointerY -= kLowerIndexPx;
    } else if (p.UpperIndexMode == 0) {
      p.UpperIndexMode = 1;
      p.PointerY -= kUpperIndexPx;
    } else {
      p.UpperIndexMode = 0;
      p.PointerY += kUpperIndexPx;
    }
  } else {
    if (p.UpperIndexMode == 1) {
      p.UpperIndexMode = 0;
      p.LowerIndexMode = 0;
      p.PointerY += kUpperIndexPx;
    } else if (p.LowerIndexMode == 0) {
      p.LowerIndexMode = 1;
      p.PointerY += kLowerIndexPx;
    } else {
      p.LowerIndexMode = 0;
      p.PointerY -= kLowerIndexPx;
    }
  }
  item.movePointer();
}

void newLine(PlayedItem& item) {
  Program& p = item.p;
  MainWindow& w = p.Form1;
  // In the Cyrillic layout the queue waits for the after-placement step.
  if (item.cyrillic()) p.BusyFlag = 1;
  w.Timer4.setInterval(kDelayedStepMs);
  p.PointerX = p.MarkPointerX;
  p.PointerY += kNewLinePx;
  item.movePointer();
  // The key indicator, when shown, follows to the new line.
  if (p.palette.indicator.Visible()) p.palette.indicator.PlaceUnderPointer();
  p.surface.StartAfterPlacementStep();
}

void leaveFraction(PlayedItem& item) {
  Program& p = item.p;
  MainWindow& w = p.Form1;
  if (p.LowerIndexMode == 1) {
    p.LowerIndexMode = 0;
    p.PointerY -= kLowerIndexPx;
    item.movePointer();
  }
  p.BusyFlag = 1;
  w.Timer4.setInterval(kDelayedStepMs);
  p.PointerX = p.BarEndPointerX;
  p.PointerY = p.BarEndPointerY;
  item.movePointer();
  p.surface.StartAfterPlacementStep();
  p.surface.Command14_Click();
  p.surface.ZachisvaneHome();
  p.FractionPart = 0;
}

void beginFraction(PlayedItem& item) {
  Program& p = item.p;
  MainWindow& w = p.Form1;
  // A bar that all pages were cleared under is no open bar: the fraction it began is
  // gone, and Insert begins a new one instead of waiting for a Home.
  if (p.BarOpen == 1 && !p.surface.IsOpenBar(p.CurrentBar)) {
    p.BarOpen = 0;
    p.BarPlacedFlag = 0;
    p.CurrentBar = kNoBar;
  }
  if (p.BarOpen == 1) return;
  // Within 3 s of the Insert that recorded it, the start of the fraction stays.
  if (p.FractionStartLatched == 0) {
    p.FractionStartLatched = 1;
    w.timerNovaDrob.setEnabled(true);
    p.BarStartPointerX = p.PointerX;
    p.BarStartPointerY = p.PointerY;
  }
  p.surface.PlacePictureSymbol("35");
  p.BarEndPointerX = p.PointerX;
  p.BarEndPointerY = p.PointerY;
  p.surface.StartAfterPlacementStep();
  // Page Up, played next, takes the pointer to the numerator.
  p.input.AppendQueueItem("33", "0");
  p.FractionPart = 1;
}

void toNumerator(PlayedItem& item) {
  Program& p = item.p;
  p.PointerX = p.BarStartPointerX + kNumeratorDx;
  p.PointerY = p.BarStartPointerY + kNumeratorDy;
  item.movePointer();
  p.surface.PokazvaneZaHome1();
}

void toDenominator(PlayedItem& item) {
  Program& p = item.p;
  p.FractionPart = 2;
  if (p.LowerIndexMode == 1) {
    p.LowerIndexMode = 0;
    p.PointerY -= kLowerIndexPx;
    item.movePointer();
  }
  p.PointerX = p.BarStartPointerX + kDenominatorDx;
  p.PointerY = p.BarStartPointerY + kDenominatorDy;
  item.movePointer();
  p.surface.PokazvaneZaHome2();
}

}  // namespace

bool playFractionRows(PlayedItem& item) {
  Program& p = item.p;
  // Shift+6 plays as Esc, so it must come before the Esc row.
  if (item.codeIs(kSix) && item.shiftIs(1)) {
    item.PlayedCode = "27";
    item.PlayedShift = "0";
  }
  if (item.codeIs(kEsc) || item.codeIs(kF12)) {
    moveIndex(item, item.codeIs(kEsc));
    return true;
  }
  if (item.codeIs(kEnter)) {
    newLine(item);
    return true;
  }
  if (item.codeIs(kHome)) {
    leaveFraction(item);
    return true;
  }
  if (item.codeIs(kInsert)) {
    beginFraction(item);
    return true;
  }
  if (item.codeIs(kPageUp) && item.onTheLine() && item.ctrlGateOpen()) {
    toNumerator(item);
    return true;
  }
  // Page Down on the line or in a lower index; in an upper index nothing happens.
  if (item.codeIs(kPageDown) && p.UpperIndexMode == 0 && item.ctrlGateOpen()) {
    toDenominator(item);
    return true;
  }
  return false;
}

void Input::timerNovaDrob_Timer() {
  p.Form1.timerNovaDrob.setEnabled(false);
  p.FractionStartLatched = 0;
}

}  // namespace kel
