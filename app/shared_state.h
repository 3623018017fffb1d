// The variables the program's procedures share. They keep the program's own names so
// the code reads side by side with its design; every one belongs to the one Program
// object that owns a running program (nothing here is global).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "app/fraction_state.h"
#include "palette/pending_code.h"

namespace kel {

inline constexpr int kMaxSymbols = 10000;
// The SymbolKind of a text symbol, whose element is a Label3; every other kind names a
// picture, whose element is an Image3.
inline constexpr const char* kTextKind = "bukva";
// The pages that share the page area, each with its button.
inline constexpr int kPages = 12;

// A key pressed by the user that the keyboard capture holds until it is released: with
// Shift as it was at the press, and whether it was a Ctrl chord (Ctrl held at the press,
// or an editing hotkey acted on it).
struct CapturedKey {
  int code = 0;
  bool shift = false;
  bool ctrl = false;
  bool operator==(const CapturedKey&) const = default;
};
inline constexpr std::size_t kMaxCapturedKeys = 4096;

struct PointerPointRecord {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// The fraction's variables (FractionPart, CurrentBar, BarOpen ...) are those of its base: they
// keep their names here, and the fraction is kept and taken up whole as a FractionState.
struct SharedState : FractionState {
  // --- the insertion point and the pointer readers --------------------------------------
  double PointerX = 0, PointerY = 0;  // screen pixels, may hold fractions
  double InsertX = 0, InsertY = 0;    // page twips
  PointerPointRecord PointerPoint;
  int DragPointX = 0, DragPointY = 0;
  int HoverPointX = 0, HoverPointY = 0;
  int ZonePointX = 0, ZonePointY = 0;
  int DispatchPointX = 0, DispatchPointY = 0;
  int SavedPointerX = 0, SavedPointerY = 0;
  int ReturnClickPending = 0;
  int PointerRestoreOnly = 0;

  // --- the symbol store -------------------------------------------------------------------
  int SymbolCount = 0;
  std::array<std::string, kMaxSymbols + 1> SymbolKind{};
  std::array<int, kMaxSymbols + 1> SymbolLevel{};
  int CurrentSymbolIndex = 0;
  int CaretAfterSymbol = 0;

  // --- the writing position ---------------------------------------------------------------
  float MarkPointerX = 0, MarkPointerY = 0;
  float MarkInsertX = 0;
  float LastWindowTop = 0;

  // --- fractions (besides the fraction state of the base) ---------------------------------
  int FractionStartLatched = 0;
  double FileBarWidth = 0;
  int PlacingFromFile = 0;
  // The fraction state as one value, to keep with a page and take up again.
  FractionState& fraction() { return *this; }
  const FractionState& fraction() const { return *this; }

  // --- index modes and the queue ----------------------------------------------------------
  int UpperIndexMode = 0;
  int LowerIndexMode = 0;
  int QueueLength = 0;
  int BusyFlag = 0;
  int LatinLayout = 0;

  // --- keyboard and mouse -----------------------------------------------------------------
  // The keys the keyboard poll captured and the release check has not queued yet, in the
  // order they were pressed. Bounded by kMaxCapturedKeys (once full, later presses are
  // dropped).
  std::deque<CapturedKey> CapturedKeys;
  // The List1 positions, ascending, of the items queued for Ctrl chords: the rows' Ctrl
  // gate is shut for them whenever they are played.
  std::deque<int> CtrlChordItems;
  int CtrlDown = 0;
  int RecordedPointCount = 0;
  int StepIndex = 0;
  int UseAbsolutePoints = 0;
  int PressPointX = 0, PressPointY = 0;
  int RecordingBlocked = 0;
  int PointerOverPanel = 0;
  // The arrow keys' step (pixels; 2.5 at rest, 10 once held) and how many hold-watch
  // ticks in a row found an arrow key held.
  double ArrowStep = 2.5;
  int ArrowHoldTicks = 0;
  // The symbol pressed within the last half second (0 none) and its half (1 left, the
  // middle included; 2 right; 0 none).
  int PressedSymbolIndex = 0;
  int PressedSymbolHalf = 0;
  // When 1, the click detector ignores the next change of the left button (a press on
  // the pop-up's Paste button, on a main key of the on-screen keyboard).
  int SkipNextButtonChange = 0;
  int SkipNextButtonChange2 = 0;
  // Caret ticks since its last blink.
  int CaretBlinkCount = 0;

  // --- background group -------------------------------------------------------------------
  int UserStopped = 0;
  int TimersPaused = 0;

  // --- editing ----------------------------------------------------------------------------
  int UndoIndex = 0;

  // --- palette and hotkeys (owned by the palette; read here) ------------------------------
  // The dispatcher's request slot: empty at start-up, then the last value stored.
  PendingValue PendingCode;
  std::string HotkeyF8Code, HotkeyF8Shift;
  std::string HotkeyF9Code, HotkeyF9Shift;
  std::string HotkeyF10Code, HotkeyF10Shift;
  // What the F8 binder binds next: 1 "1057", 2 "1058", 0 the item played last.
  int HotkeyAssignAction = 0;
  int Form8Shown = 0;
  int Form8Suspended = 0;
  int PointerOverForm8 = 0;

  // --- limits dialogs (owned by evaluation; read here) ------------------------------------
  int BoundsQueueState = 0;
  // Which limits dialog has limits waiting for its sign: 0 none, 1 integral, 2 sum.
  int BoundsDialog = 0;
  // The point the limit positions of an integral or a sum are measured from (screen
  // pixels), and how far left each limit starts (whole pixels, -4 per character).
  double BoundsAnchorX = 0, BoundsAnchorY = 0;
  int UpperBoundShiftX = 0, LowerBoundShiftX = 0;

  // --- the expression left of a " = " (page twips; written by the text placer) -----------
  double ExprRegionLeft = 0, ExprRegionTop = 0, ExprRegionRight = 0, ExprRegionBottom = 0;

  // --- reading a selection back ------------------------------------------------------------
  // The press point of a drag (screen pixels, as the drag watcher takes it), which the
  // reader then turns into the first corner of its rectangle (page twips); the second
  // corner of the last dragged rectangle (page twips).
  double DragStartX = 0, DragStartY = 0;
  double DragEndX = 0, DragEndY = 0;
  // LastSymbolRight, LastSymbolTop (below) hold, after a reading that ends with " = ", the
  // point right of the sign on its middle line (screen pixels), where the result is typed.
  // Every reading clears both; a cut sets CutFlag, a change of page PageNumberChanged.
  int CutFlag = 0;
  int PageNumberChanged = 0;
  // The page the selection was read on.
  std::string SelectionPage;

  // --- window services --------------------------------------------------------------------
  int FormDragActive = 0;
  double FormDragX = 0, FormDragY = 0;

  // --- palette: what the main window keeps for the palette, the readers and the pages ----
  // The right edge and the top of the last symbol (page twips), or, inside the selection
  // readers, the aim point after a final " = " (screen pixels).
  float LastSymbolRight = 0, LastSymbolTop = 0;
  // The point recorder's points (screen pixels); RecordedPointCount is the next free index.
  std::array<int, kMaxSymbols + 1> RecordedPointX{}, RecordedPointY{};
  // 1 only while recorded points are replayed, which nothing starts in a run.
  int ResultTypingActive = 0;
  // The queue positions of a result being typed (both excluded), written while the key
  // indicator is shown: the indicator names no keys in between.
  int QueueStartIndex = 0, QueueEndIndex = 0;
  // --- end of the palette's block ---------------------------------------------------------
};

}  // namespace kel
