// The state of the fraction being written, in one place: the shared variables hold it, a
// page left with an open fraction keeps it whole, and an undo snapshot keeps its first part.
#pragma once

namespace kel {

// CurrentBar holds the symbol index of the open fraction bar's element, or this
// value for the hidden image that stands for "no open bar".
inline constexpr int kNoBar = -1;

// What an undo snapshot keeps of the fraction and a restore puts back: the stage, the bar
// and how far it stretched, and what the last closing found.
struct FractionSnapshot {
  int FractionPart = 0;
  int BarIndex = 0;
  double BarStartInsertX = 0;
  double BarLineY = 0;
  double BarEndPointerX = 0;
  double BarRightEdge = 0;
  int BarStretchIndex = 0;
  double BarWidth = 0;
  int BarLastIndex = 0;
  // The last numerator symbol and the last denominator symbol that the last closing found;
  // they keep their values from one closing to the next.
  int NumeratorLastIndex = 0;
  int DenominatorLastIndex = 0;
  bool operator==(const FractionSnapshot&) const = default;
};

// The whole fraction state. What a snapshot leaves out, a restore either derives from the
// stage (the bar open or not) or leaves as it is (where the fraction was begun).
struct FractionState : FractionSnapshot {
  int CurrentBar = kNoBar;
  int BarOpen = 0;
  int BarPlacedFlag = 0;
  double BarStartPointerX = 0, BarStartPointerY = 0;
  double BarEndPointerY = 0;
  // The first denominator symbol the last closing found, kept as the last ones are.
  int DenominatorFirstIndex = 0;
};

}  // namespace kel
