// Placing text and picture symbols, the open fraction bar, and the after-placement step.
#include <cmath>
#include <exception>

#include "app/program.h"
#include "platform/steps.h"
#include "platform/units.h"

namespace kel {

namespace {

// Longest picture name that is looked up in Simbol/ (the real ones are a dozen letters).
constexpr size_t kMaxPictureNameLength = 64;
// Font sizes a label can take (points); page files may hold anything.
constexpr double kMaxFontSize = 2048;

bool isSafePictureName(const std::string& name) {
  if (name.empty() || name.size() > kMaxPictureNameLength) return false;
  for (unsigned char c : name) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    const bool digit = c >= '0' && c <= '9';
    if (!letter && !digit) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> Surface::PictureFile(const std::string& name) const {
  if (!isSafePictureName(name)) return std::nullopt;
  return joinPath(joinPath(p.files.programFolder(), "Simbol"), name + ".gif");
}

Image& Surface::CurrentBarImage() {
  MainWindow& w = p.Form1;
  if (IsOpenBar(p.CurrentBar)) return w.Image3[p.CurrentBar];
  return w.Image10;
}

void Surface::LoadBarPictures() {
  MainWindow& w = p.Form1;
  const char* files[] = {"bar0", "bar1"};
  for (int i = 0; i < 2; ++i) {
    if (!w.Image2.IsLoaded(i)) continue;
    const std::optional<std::string> file = PictureFile(files[i]);
    if (file) skipOnFailure([&] { loadPictureInto(p.desktop, w.Image2[i], *file); });
  }
}

bool IsFractionBarKind(const std::string& kind) {
  const std::optional<double> v = toNumber(kind);
  return v && *v == 35;
}

Control* Surface::SymbolElement(int n) {
  if (n < 1 || n > p.SymbolCount || n > kMaxSymbols) return nullptr;
  MainWindow& w = p.Form1;
  if (p.SymbolKind[static_cast<size_t>(n)] == kTextKind)
    return w.Label3.IsLoaded(n) ? &w.Label3[n] : nullptr;
  return w.Image3.IsLoaded(n) ? &w.Image3[n] : nullptr;
}

bool Surface::CanPlaceSymbolAt(int n) const {
  const MainWindow& w = p.Form1;
  if (n < 1 || n > kMaxSymbols) return false;
  if (n > w.Label3.maxIndex() || n > w.Image3.maxIndex()) return false;
  return !w.Label3.IsLoaded(n) && !w.Image3.IsLoaded(n);
}

void Surface::BeginPlacement() {
  MainWindow& w = p.Form1;
  w.Command15.Visible = true;
  skipOnFailure([&] { p.pages.UnloadForm2(); });
  w.Label11.Visible = true;
  if (p.PlacingFromFile != 1) ComputeInsertPoint();
}

void Surface::RecordSymbol(int n, const std::string& kind) {
  p.SymbolCount = n;
  if (p.UpperIndexMode == 1) p.SymbolLevel[static_cast<size_t>(n)] = 1;
  if (p.LowerIndexMode == 1) p.SymbolLevel[static_cast<size_t>(n)] = 2;
  p.SymbolKind[static_cast<size_t>(n)] = kind;
}

void Surface::StretchOpenBar(int n, double w) {
  Image& bar = CurrentBarImage();
  const double s = p.BarStartPointerX;
  const double pointer = p.PointerX;
  const double end = s + bar.Width / 15;
  // The middle term mixes pixels and twips; for widths of 0 or more it follows from the
  // first, so the bar stretches when the pointer stands left of its end by under 30 px.
  if (end - pointer < 30 && pointer > end - w - 30 && pointer < end) {
    bar.Stretch = true;
    const double oldWidth = bar.Width;
    bar.Width = 15 * (pointer - s + 30);
    p.BarEndPointerX += (bar.Width - oldWidth) / 15;
    p.BarRightEdge = bar.Left + bar.Width;
    p.BarStretchIndex = n;
    p.BarWidth = bar.Width;
  }
  p.BarLastIndex = n;
}

void Surface::PlaceTextSymbol(const std::string& caption, double fontSize, bool bold) {
  MainWindow& w = p.Form1;
  const int n = p.SymbolCount + 1;
  // Refused before anything changes: past the bound of the symbol store, onto an
  // element that is loaded already, or with a size no font has.
  if (!CanPlaceSymbolAt(n)) return;
  if (!std::isfinite(fontSize) || fontSize <= 0 || fontSize > kMaxFontSize) return;

  BeginPlacement();
  RecordSymbol(n, kTextKind);
  Label& l = w.Label3.Load(n);
  p.CurrentSymbolIndex = n;
  p.CaretAfterSymbol = 1;

  l.Caption = caption;
  l.Font.Size = fontSize;
  l.Font.Bold = bold;
  l.Visible = true;
  skipOnFailure([&] { autoSize(p.desktop, l); });
  l.Top = p.InsertY - l.Height / 2;
  l.Left = p.InsertX;

  if (p.BarOpen == 1) StretchOpenBar(n, l.Width);
  p.PointerX += l.Width / 15;
  FollowInsertionPoint();

  // A sign put back from a page file is only a symbol of the page as it was saved: reading
  // it would type its result into the page, outline it and replace the clipboard.
  if (caption == " = " && p.PlacingFromFile != 1) {
    ScanExpressionRegion(n);
    if (w.Check3.Value == 1) {
      w.Timer32.setEnabled(true);
      skipOnFailure([&] { p.evaluation.Command74_Click(); });
      // A sign typed with the pointer resting on the panel, where a palette click leaves it,
      // is read all the same (as the on-screen "=" key has it): the region lies on the page
      // whatever the pointer is over.
      const int overPanel = p.PointerOverPanel;
      p.PointerOverPanel = 0;
      skipOnFailure([&] { p.evaluation.SelectRegionBeforeEquals(); });
      p.PointerOverPanel = overPanel;
    }
  }
  StartAfterPlacementStep();
}

void Surface::ScanExpressionRegion(int n) {
  MainWindow& w = p.Form1;
  if (!w.Label3.IsLoaded(n)) return;
  const Label& eq = w.Label3[n];
  p.ExprRegionLeft = 400;
  p.ExprRegionTop = eq.Top - 450;
  p.ExprRegionRight = eq.Left + eq.Width + 100;
  p.ExprRegionBottom = eq.Top + eq.Height + 450;

  double farthest = 0;
  double gapReference = w.Picture1.Left;
  const double caretMiddle = w.Picture1.Top + w.Picture1.Height / 2;
  auto inBand = [&](const Control& c) {
    return p.ExprRegionTop < c.Top && c.Top < p.ExprRegionBottom;
  };
  auto farApart = [&](const Control& c) { return gapReference - (c.Left + c.Width) > 650; };

  // By index, newest first: the expression typed last before the sign.
  for (int k = n - 1; k >= 1; --k) {
    const std::string& kind = p.SymbolKind[static_cast<size_t>(k)];
    const Control* c = nullptr;
    if (kind == kTextKind) {
      if (!w.Label3.IsLoaded(k)) continue;
      const Label& l = w.Label3[k];
      if (inBand(l) && farApart(l)) break;
      if (inBand(l) && (l.Caption == ";" || l.Caption == " = ")) break;
      c = &l;
    } else {
      if (!w.Image3.IsLoaded(k)) continue;
      const Image& img = w.Image3[k];
      if ((kind == "32" || kind == "32m") && inBand(img)) break;
      if (kind == "35" && std::abs(img.Top + img.Height / 2 - caretMiddle) < 40) {
        // A bar on the caret's line belongs to the expression however far left it starts.
        p.ExprRegionLeft = img.Left - 150;
      } else if (inBand(img) && farApart(img)) {
        break;
      }
      c = &img;
    }
    if (inBand(*c) && c->Left < eq.Left && eq.Left - c->Left > farthest) {
      farthest = eq.Left - c->Left;
      p.ExprRegionLeft = c->Left - 150;
      gapReference = c->Left;
    }
  }
}

void Surface::PlacePictureSymbol(const std::string& name) {
  MainWindow& w = p.Form1;
  const int n = p.SymbolCount + 1;
  // A picture may not take the text kind: every reader would look for a label there.
  if (!CanPlaceSymbolAt(n) || name == kTextKind) return;

  BeginPlacement();
  RecordSymbol(n, name);
  Image& img = w.Image3.Load(n);
  p.CurrentSymbolIndex = n;
  p.CaretAfterSymbol = 1;

  // Read at every placement, so a redrawn picture shows at once. A name that may not be
  // looked up is a missing picture: the element keeps the template's blank 255 x 135.
  const std::optional<std::string> file = PictureFile(name);
  if (file) skipOnFailure([&] { loadPictureInto(p.desktop, img, *file); });
  img.Visible = true;

  const bool bar = file && IsFractionBarKind(name);
  if (p.PlacingFromFile == 1 && bar)
    img.Top = p.InsertY;
  else
    img.Top = p.InsertY - img.Height * 1.4955 / 3;
  img.Left = p.InsertX;

  if (bar && p.PlacingFromFile == 1) {
    // A stored bar keeps the width it had; it opens no fraction.
    img.Stretch = true;
    if (std::isfinite(p.FileBarWidth) && p.FileBarWidth >= 0) img.Width = p.FileBarWidth;
  } else if (bar) {
    // The open bar shows the red picture and takes its size, keeping its Top.
    p.CurrentBar = n;
    const Image& red = w.Image2[0];
    img.Picture = red.Picture;
    img.Width = red.Width;
    img.Height = red.Height;
    // Its width until a stretch: what an Undo to this stage gives the bar back.
    p.BarWidth = img.Width;
    p.BarStartInsertX = p.InsertX;
    p.BarLineY = intFloor(p.InsertY - img.Height / 30);
    p.BarIndex = n;
    p.BarPlacedFlag = 1;
    p.BarOpen = 1;
  }

  if (p.BarOpen == 1) StretchOpenBar(n, img.Width);
  p.PointerX += img.Width / 15;
  FollowInsertionPoint();
  StartAfterPlacementStep();
}

void Surface::StartAfterPlacementStep() {
  stepForCtrlOnly_ = false;
  p.Form1.Timer4.setEnabled(true);
}

void Surface::PostponeAfterPlacementStep() { p.Form1.Timer4.setEnabled(false); }

void Surface::StartStepForCtrl() {
  if (!p.Form1.Timer4.Enabled()) stepForCtrlOnly_ = true;
  p.Form1.Timer4.setEnabled(true);
}

void Surface::readInsertionPointAfterPlacement() {
  // The placement took the pointer to the insertion point (to a whole pixel), and the step
  // takes the point back from there. A pointer the program has since put elsewhere stands at
  // no insertion point: the pointer return, back on the button the user clicked, or the
  // pointer a key pressed over the page gave back to the program, where the user left it.
  // On time neither comes between a placement and its step; a late tick lets them in, and
  // the rest of a limit went under the panel, or to where the user's pointer rests.
  const PointPx at{pixelForPointer(p.PointerX), pixelForPointer(p.PointerY)};
  if (PointerLeftByUser() || p.desktop.cursorPos() == at) {
    ReadInsertionPoint();
    return;
  }
  p.PointerX = at.x;
  p.PointerY = at.y;
}

void Surface::Timer4_Timer() {
  MainWindow& w = p.Form1;
  w.Timer4.setInterval(20);
  w.Timer4.setEnabled(false);
  if (p.UpperIndexMode == 1) {
    p.UpperIndexMode = 0;
    readInsertionPointAfterPlacement();
    p.PointerY += 13;
    FollowInsertionPoint();
  }
  if (p.BoundsDialog == 1) p.evaluation.Granici(1);
  if (p.BoundsDialog == 2) p.evaluation.Granici(2);
  p.BusyFlag = 0;
  const bool changed = !stepForCtrlOnly_;
  stepForCtrlOnly_ = false;
  if (changed && !p.input.IsCtrlDown()) p.pages.SaveUndoSnapshot();
}

}  // namespace kel
