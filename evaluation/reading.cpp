// The two selection readers and their common body: records, walk, finishing and publishing.
#include "evaluation/reading.h"

#include <algorithm>
#include <cmath>

#include "app/program.h"
#include "pages/selection_window.h"
#include "platform/steps.h"
#include "platform/units.h"

namespace kel {

namespace {

constexpr const char* kEquals = " = ";
// What the key indicator says after a reading: the selection can now be moved with the
// right mouse button (its pop-up).
constexpr const char* kMoveHint = " right mouse button and move";

// Page twips of the rectangle a reading takes; every comparison with it is strict.
struct PageRect {
  double x1, y1, x2, y2;
};

}  // namespace

void Evaluation::SelectDragRectangle() {
  if (p.PointerOverPanel == 1) return;
  p.surface.ReadPointer();
  // The placers' pixel-to-twips conversion, with both corners 10 px further left. The
  // corners are taken as they come: a drag to the left or upwards selects nothing.
  PageRect r;
  r.x1 = p.surface.InsertXFor(p.DragStartX - 10);
  r.x2 = p.surface.InsertXFor(p.PointerX - 10);
  r.y1 = p.surface.InsertYFor(p.DragStartY);
  r.y2 = p.surface.InsertYFor(p.PointerY);
  p.DragStartX = r.x1;
  p.DragStartY = r.y1;
  p.DragEndX = r.x2;
  p.DragEndY = r.y2;
  readSelection(r.x1, r.y1, r.x2, r.y2, false);
}

void Evaluation::SelectRegionBeforeEquals() {
  if (p.PointerOverPanel == 1) return;
  readSelection(p.ExprRegionLeft, p.ExprRegionTop, p.ExprRegionRight, p.ExprRegionBottom, true);
}

void Evaluation::readSelection(double x1, double y1, double x2, double y2, bool region) {
  MainWindow& w = p.Form1;
  p.CutFlag = 0;
  p.PageNumberChanged = 0;
  p.SelectionPage = p.pages.CurrentPageText();

  // The records: every symbol whose top-left corner lies strictly inside the rectangle,
  // in left-to-right order. Parked symbols (deleted, cut, of other pages) lie above the
  // page and fail the test on their top edge.
  std::vector<SelectionRecord> records;
  const int last = std::min(p.SymbolCount, kMaxSymbols);
  records.reserve(static_cast<std::size_t>(std::max(last, 0)) + 1);
  for (int i = 0; i <= last; ++i) {
    const std::string& kind = p.SymbolKind[static_cast<size_t>(i)];
    const bool textSymbol = kind == kTextKind;
    const Control* c = nullptr;
    if (textSymbol ? w.Label3.IsLoaded(i) : w.Image3.IsLoaded(i))
      c = textSymbol ? static_cast<const Control*>(&w.Label3[i]) : &w.Image3[i];
    if (!c) continue;  // an element that cannot be read gives no record
    const float left = static_cast<float>(c->Left);
    const float top = static_cast<float>(c->Top);
    if (!(left > x1 && top > y1 && top < y2 && left < x2 && top != 0)) continue;
    std::optional<std::string> token;
    if (textSymbol)
      token = TextExprToken(w.Label3[i].Caption);
    else
      token = PictureExprToken(kind);
    if (!token) continue;
    records.push_back(MakeSelectionRecord(left, top, static_cast<float>(c->Height),
                                          static_cast<float>(c->Width), *token, textSymbol, i));
  }
  SortSelection(records);
  // The table: as many rows as records, however many there are; each row is what its
  // record's text reads as, made with the text.
  std::vector<std::string> items;
  std::vector<SelectionRow> table;
  items.reserve(records.size());
  table.reserve(records.size());
  for (SelectionRecord& rec : records) {
    items.push_back(std::move(rec.Text));
    table.push_back(std::move(rec.Row));
  }
  records.clear();
  records.shrink_to_fit();
  w.List3.Clear();
  w.List3.Items = std::move(items);

  // Aim right of a final " = ", on its middle line (screen pixels).
  if (!table.empty() && table.back().Token == kEquals) {
    const SelectionRow& eq = table.back();
    p.LastSymbolRight = static_cast<float>((eq.Left + eq.Width) / 15 + singleDiv15(w.Left) + 4);
    p.LastSymbolTop = static_cast<float>((eq.Top + eq.Height / 2) / 15 + singleDiv15(w.Top) +
                                         kFrameTopTw / kTwipsPerPixel);
    p.PointerX = p.LastSymbolRight;
    p.PointerY = p.LastSymbolTop;
  }

  const WalkResult walk = WalkSelection(table);
  finishReading(walk.Raw, walk.OpenExponent, region);
}

void Evaluation::finishReading(const std::string& raw, int openExponent, bool region) {
  MainWindow& w = p.Form1;
  const FinishedText done = FinishLinearText(raw, openExponent);

  skipOnFailure([&] {
    w.Text21.setText("");
    w.Text21.Left = w.Frame5.Width / 2 - w.Text21.Width / 2;
    w.Text21.Visible = true;
    w.Text21.Top = 0;
  });
  if (region && done.HasUnknowns == 0) {
    // The region read after " = " flashes blue for half a second.
    w.frame9.Visible = true;
    w.frame9.FillColor = kBlue;
    w.Timer32.setEnabled(true);
  }
  if (done.CutEquals) {
    // The value goes right of the sign. The pointer follows only from where the program put
    // it: one the user has on the panel, or on its way to a button, stays with the user.
    p.PointerX = p.LastSymbolRight;
    p.PointerY = p.LastSymbolTop;
    p.surface.FollowInsertionPoint();
    w.Timer12.setEnabled(true);
  }
  std::string shown = done.Text;
  shown.erase(std::remove(shown.begin(), shown.end(), ' '), shown.end());
  w.Text21.setText(shown);
  w.Text1.setText(done.Text);

  // The selection window's outline goes before the picture is taken, so it is not in it.
  if (!region && p.Form2.Loaded) {
    p.Form2.Shape1.Width = 0;
    p.Form2.Shape1.Height = 0;
  }

  // The key indicator, when shown, tells what can be done with what was read. Asking
  // loads it, hidden, as every question about it does.
  skipOnFailure([&] {
    if (!p.palette.indicator.Visible()) return;
    Label& name = p.Form3.Label7;
    name.Caption = kMoveHint;
    autoSize(p.desktop, name);
    p.palette.indicator.FitWidth();
  });

  // The picture: the screen under the selection window after a drag, the expression
  // region after " = " (no selection window is open then). The clipboard is replaced only
  // by a real picture: a capture that fails leaves what the user had there.
  Bitmap picture;
  if (region) {
    skipOnFailure([&] { picture = CaptureRegion(); });
  } else if (p.Form2.Loaded) {
    skipOnFailure([&] { picture = CaptureOverlayArea(); });
  }
  if (picture.width > 0 && picture.height > 0) {
    Image5Picture = std::move(picture);
    skipOnFailure([&] {
      p.desktop.clipboardClear();
      p.desktop.clipboardSetPicture(Image5Picture);
    });
  }

  w.Text8.setText("");
  w.Timer11.setEnabled(true);
  if (w.List3.ListCount() > 0) {
    w.Frame7.Visible = true;
  } else {
    w.Frame7.Visible = false;
    w.Text21.Visible = false;
  }
}

Bitmap Evaluation::captureScreenRect(double leftPx, double topPx, double widthPx, double heightPx) {
  RectPx r;
  r.left = pixelForPointer(leftPx);
  r.top = pixelForPointer(topPx);
  r.width = pixelForPointer(widthPx);
  r.height = pixelForPointer(heightPx);
  // A rectangle of no width or height shows nothing.
  if (r.width <= 0 || r.height <= 0) return {};
  // The caret marks where the next symbol goes; it is no part of the formula's picture.
  struct HiddenWhileCaptured {
    Control& c;
    const bool was;
    explicit HiddenWhileCaptured(Control& control) : c(control), was(control.Visible) {
      c.Visible = false;
    }
    ~HiddenWhileCaptured() { c.Visible = was; }
  } caret(p.Form1.Picture1);
  return p.desktop.captureScreen(r);
}

Bitmap Evaluation::CaptureOverlayArea() {
  const SelectionWindow& f = p.Form2;
  // Screen twips to pixels by the fixed factor, whatever the display's own.
  return captureScreenRect(f.Left / 15, f.Top / 15, f.Width / 15, f.Height / 15);
}

Bitmap Evaluation::CaptureRegion() {
  const MainWindow& w = p.Form1;
  // Inside the blue outline that flashes round the region, which is not part of it.
  const double left = singleDiv15(w.Left) + kFrameLeftPx + p.ExprRegionLeft / 15 + 1;
  const double top = (w.Top + kFrameTopTw) / kTwipsPerPixel + p.ExprRegionTop / 15 + 1;
  const double width = (p.ExprRegionRight - p.ExprRegionLeft) / 15 - 2;
  const double height = (p.ExprRegionBottom - p.ExprRegionTop) / 15 - 2;
  return captureScreenRect(left, top, width, height);
}

void Evaluation::Command74_Click() {
  Shape& f = p.Form1.frame9;
  f.Left = p.ExprRegionLeft;
  f.Top = p.ExprRegionTop;
  // A " = " at the very left of the page ends its region left of 400 twips; a shape
  // cannot be narrower than nothing.
  f.Width = std::max(0.0, p.ExprRegionRight - p.ExprRegionLeft);
  f.Height = std::max(0.0, p.ExprRegionBottom - p.ExprRegionTop);
}

void Evaluation::Timer32_Timer() {
  p.Form1.Timer32.setEnabled(false);
  p.Form1.frame9.Visible = false;
}

}  // namespace kel
