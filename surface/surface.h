// The formula surface: the pointer as insertion point, the page coordinates, and the
// marks of the writing position.
#pragma once

#include <string>

namespace kel {

class Program;

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

  // Moves the real pointer to (PointerX, PointerY), halves to even.
  void MovePointerToInsertionPoint();

  // Placing symbols at the insertion point.
  void PlaceTextSymbol(const std::string& caption, double fontSize, bool bold);
  void PlacePictureSymbol(const std::string& name);
  // The after-placement step (one-shot).
  void Timer4_Timer();

  // Writing-position mark and guide line.
  void ZapomniKordinati();
  void Liniata();
  void Timer25_Timer();

 private:
  Program& p;
};

}  // namespace kel
