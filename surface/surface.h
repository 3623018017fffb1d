// The formula surface: the pointer as insertion point, the page coordinates, and the
// marks of the writing position.
#pragma once

#include <optional>
#include <string>

#include "platform/desktop.h"

namespace kel {

class Program;
class Control;
struct Image;

// Whether a symbol kind (a picture name) is the fraction bar's: the one that is the number
// 35; a word never is.
bool IsFractionBarKind(const std::string& kind);

class Surface {
 public:
  explicit Surface(Program& p) : p(p) {}

  // Pointer readers: each fills PointerPoint and copies it into its own pair.
  void ReadPointer();
  void ReadPointerAndInsertPoint();
  void ReadDragPoint();
  void ReadHoverPoint();
  void ReadZonePoint();
  void ReadDispatchPoint();
  void ZapomniTuk2();

  // InsertY and then InsertX from PointerX/PointerY and the main window's place.
  void ComputeInsertPoint();
  // The page point under a screen point, by the same rule.
  double InsertXFor(double pointerX) const;
  double InsertYFor(double pointerY) const;
  // LastSymbolTop and LastSymbolRight from the insertion point, as though a symbol ended
  // there: a restored page, an on-screen arrow key.
  void LastSymbolAtPointer();

  // Moves the real pointer to (PointerX, PointerY), halves to even.
  void MovePointerToInsertionPoint();
  // The same move after a placement or a typed key has moved the insertion point, made
  // only while the pointer is still where the program last had it: once the user has moved
  // it away (to a palette button, say), it stays where they put it, and the insertion point
  // lives on in PointerX/PointerY alone until the user types on the page again.
  void FollowInsertionPoint();
  // Whether the user has moved the pointer off where the program last put it or took it
  // as the insertion point.
  bool PointerLeftByUser();
  // The re-read of the insertion point from the pointer (ReadPointer), where the pointer
  // stands for it: while the user has moved it away, the point it would stand on.
  void ReadInsertionPoint();
  // The user types again with the pointer over the page: from now on the pointer follows
  // the insertion point again, as it did before they moved it.
  void TypingResumes();
  // A click on a button that remembers the pointer for its return (ZapomniTuk2, the
  // on-screen keys) leaves the pointer where the user has it: what the button has placed
  // goes to the insertion point, which lives on in PointerX/PointerY alone, and the pointer
  // is not taken onto the page and back (a return that came while the user was already on
  // the way to the next button would pull the pointer back under the next press). The
  // program takes the pointer again as after any move of the user's (a click on the page,
  // a key typed over the page), or by a move of its own.
  void LeavePointerWithUser();
  // The pointer return: back to (x, y), where the user clicked, only if the program has
  // taken the pointer from there with a move of its own and it still stands where the
  // program put it.
  void ReturnPointer(int x, int y);
  // Every move of the real pointer by the program goes through here.
  void SetPointer(int x, int y);
  // Keeps the insertion point on the page, off the frames that border it: an arrow held
  // down would otherwise run it onto the panel, where what is typed next is hidden, or onto
  // a border frame, where the pointer stops the background timers and the keys are lost.
  void KeepInsertionPointOnPage();
  // The window moved by (dx, dy) pixels: the point the pointer would stand on moves along.
  void ShiftHeldPointer(double dx, double dy);

  // The element of symbol n (a Label3 or an Image3, by its kind), or nothing when n is
  // outside the store or its element is not loaded (Clear All unloads every element and
  // restarts the numbering from 1).
  Control* SymbolElement(int n);

  // Placing symbols at the insertion point.
  void PlaceTextSymbol(const std::string& caption, double fontSize, bool bold);
  void PlacePictureSymbol(const std::string& name);
  // The after-placement step (one-shot): started by what placed or moved something, and by
  // the left Ctrl, which ends a pending index at once. Only a step that follows a change
  // takes an undo snapshot: one after a Ctrl tap alone would store the page Undo restores,
  // and the next Undo would seem to do nothing.
  void Timer4_Timer();
  void StartAfterPlacementStep();
  void StartStepForCtrl();
  // The step waits: more placements belong to the same change (a page loaded in shares),
  // and the last of them starts it again.
  void PostponeAfterPlacementStep();

  // The element of the open fraction bar, or the hidden Image10 when CurrentBar names
  // no open bar (see IsOpenBar).
  Image& CurrentBarImage();
  // Reads the bar pictures into Image2(0) (open, red) and Image2(1) (closed, black).
  void LoadBarPictures();
  // Whether symbol index n is a fraction bar still waiting to be closed: a loaded
  // picture element of the store, of the bar's kind, showing the open bar's picture.
  // After Clear All has unloaded everything and restarted the numbering, an index the
  // fraction state still holds names nothing, or some other symbol.
  bool IsOpenBar(int n) const;
  // Closes the open fraction: the bar turns black and the numerator and the denominator
  // are centred over and under it (the hidden button Command14).
  void Command14_Click();

  // The fraction stage hints: stage 0 (Insert next), 1 (Page Down next), 2 (Home next).
  void ZachisvaneHome();
  void PokazvaneZaHome1();
  void PokazvaneZaHome2();
  // The picture file of a picture name, or nothing for a name that is never looked up
  // (anything but 1 to 64 ASCII letters and digits), so no name reaches outside Simbol/.
  std::optional<std::string> PictureFile(const std::string& name) const;

  // Writing-position mark and guide line.
  void ZapomniKordinati();
  void Liniata();
  void Timer25_Timer();

  // The pressed symbol: a press of any button on a placed picture or text symbol records
  // which one and which half; the one-shot Timer27 clears the record half a second later.
  void Image3_MouseDown(int index, int button, int shift, double x, double y);
  void Label3_MouseDown(int index, int button, int shift, double x, double y);
  void Timer27_Timer();

  // The caret (every 50 ms, whatever else is stopped): follows the pointer on the page,
  // stays at the insertion point while the pointer is over the panel or the on-screen
  // keyboard, blinks, and shows the picture of the index mode.
  void Timer24_Timer();
  // The caret only marks the insertion point, and it stands under the pointer's hot spot
  // whenever the pointer rests on the page: what the mouse does on it belongs to the
  // symbol it covers, or to the bare page.
  void Picture1_MouseDown(int button, int shift, double x, double y);
  void Picture1_MouseMove(int button, int shift, double x, double y);
  void Picture1_MouseUp(int button, int shift, double x, double y);
  // Reads the design pictures of the caret and of the hint panel's key images from Simbol/;
  // a picture that cannot be read leaves its control as it is.
  void LoadDesignPictures();

 private:
  // Whether symbol index n can take a new element (the bound, and no element there yet).
  bool CanPlaceSymbolAt(int n) const;
  void BeginPlacement();
  void RecordSymbol(int n, const std::string& kind);
  // The bar-stretch step for symbol n of width w (twips), with the pointer before its advance.
  void StretchOpenBar(int n, double w);
  void ScanExpressionRegion(int n);
  void readCursorInto(int& x, int& y);
  // The pointer is where the program wants it: it put it there, or took it from there.
  void agreeOnPointer(PointPx at);
  // The insertion point read back after a placement, where the placement took the pointer.
  void readInsertionPointAfterPlacement();

  Program& p;
  // Where the program last put the pointer or read it as the insertion point (nothing
  // before either), and where the pointer would stand had every move been made.
  std::optional<PointPx> programPointer_;
  PointPx heldPointer_;
  // A button's click has left the pointer with the user (LeavePointerWithUser).
  bool userHoldsPointer_ = false;
  // The pending after-placement step was started by the left Ctrl alone.
  bool stepForCtrlOnly_ = false;
};

}  // namespace kel
