// The formula surface: the pointer as insertion point, the page coordinates, and the
// marks of the writing position.
#pragma once

#include <optional>
#include <string>

namespace kel {

class Program;
struct Image;

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

  // The element of the open fraction bar, or the hidden Image10 when CurrentBar names
  // no loaded picture element.
  Image& CurrentBarImage();
  // Reads the bar pictures into Image2(0) (open, red) and Image2(1) (closed, black).
  void LoadBarPictures();
  // The picture file of a picture name, or nothing for a name that is never looked up
  // (anything but 1 to 64 ASCII letters and digits), so no name reaches outside Simbol/.
  std::optional<std::string> PictureFile(const std::string& name) const;

  // Writing-position mark and guide line.
  void ZapomniKordinati();
  void Liniata();
  void Timer25_Timer();

 private:
  // Whether symbol index n can take a new element (the bound, and no element there yet).
  bool CanPlaceSymbolAt(int n) const;
  void BeginPlacement();
  void RecordSymbol(int n, const std::string& kind);
  // The bar-stretch step for symbol n of width w (twips), with the pointer before its advance.
  void StretchOpenBar(int n, double w);
  void ScanExpressionRegion(int n);

  Program& p;
};

}  // namespace kel
