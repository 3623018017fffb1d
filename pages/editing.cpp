// Editing the formula: Backspace, deleting and cutting the selection, moving it step by step
// and pasting copies of it. No element is ever removed: a deleted symbol goes above the page
// and keeps its index, and a paste makes new elements.
#include <algorithm>
#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/program.h"
#include "evaluation/reading.h"
#include "pages/paste_cut_popup.h"
#include "platform/steps.h"
#include "platform/units.h"

namespace kel {

namespace {

// How far above the page Backspace puts a symbol (twips).
constexpr double kBackspaceLiftTw = 150000;
// Leaving an upper index moves the insertion point this far down, a lower one up (pixels);
// the caret's top follows an upper index down by this much (twips).
constexpr int kUpperIndexDropPx = 13;
constexpr int kLowerIndexRisePx = 8;
constexpr float kUpperIndexCaretTw = 90;
// The hotkey poll's interval after a Backspace that undid (ms).
constexpr int kAfterUndoMs = 500;
// The move step: fine for the first ticks of a hold, then coarse (twips).
constexpr double kFineStepTw = 3, kCoarseStepTw = 45;
constexpr int kFineTicks = 10;
// A selection record has eight fields: left, top, height, width, middle, token, class,
// index.
constexpr std::size_t kRecordFields = 8;
constexpr std::size_t kTopField = 1;

std::vector<std::string> splitFields(const std::string& record) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = record.find('|', start);
    out.push_back(record.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) return out;
    start = bar + 1;
  }
}

std::string joinFields(const std::vector<std::string>& fields) {
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) out += '|';
    out += fields[i];
  }
  return out;
}

// The class (field 6) and index (field 7) of a record, read from its end; nothing unless
// the record has its eight fields and a plain decimal index.
struct RecordSymbol {
  bool text;
  int index;
};
std::optional<RecordSymbol> recordSymbol(std::string_view record) {
  if (static_cast<std::size_t>(std::count(record.begin(), record.end(), '|')) != kRecordFields - 1)
    return std::nullopt;
  const std::size_t last = record.rfind('|');
  const std::size_t before = record.rfind('|', last - 1);
  const std::string_view cls = record.substr(before + 1, last - before - 1);
  const std::string_view digits = record.substr(last + 1);
  if (cls != kTextKind && cls != kPictureRecordClass) return std::nullopt;
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  int index = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    index = index * 10 + (c - '0');
  }
  return RecordSymbol{cls == kTextKind, index};
}

}  // namespace

// --- the records' symbols -------------------------------------------------------------------

Control* Pages::recordElement(std::string_view record) {
  const std::optional<RecordSymbol> s = recordSymbol(record);
  if (!s) return nullptr;
  // A record of a store cleared since (the numbering begun again) names nothing, or a
  // symbol of the other kind.
  Control* c = p.surface.SymbolElement(s->index);
  if (!c) return nullptr;
  const bool text = p.SymbolKind[static_cast<size_t>(s->index)] == kTextKind;
  return text == s->text ? c : nullptr;
}

bool Pages::onPageForBackspace(int i) {
  const Control* c = p.surface.SymbolElement(i);
  return c && c->Top > 0;
}

// --- Backspace --------------------------------------------------------------------------------

void Pages::IztrBackSpace() {
  MainWindow& w = p.Form1;
  const int count = std::min(p.SymbolCount, kMaxSymbols);
  bool any = false;
  for (int i = 1; i <= count && !any; ++i) any = onPageForBackspace(i);
  if (!any) return;

  // The symbol before the caret: the current one when the caret stands after it on the
  // page, else the nearest one on the page before it.
  int before = std::clamp(p.CurrentSymbolIndex, 0, count + 1);
  if (p.CaretAfterSymbol != 1 || !onPageForBackspace(before)) {
    --before;
    while (before >= 1 && !onPageForBackspace(before)) --before;
  }
  if (before < 1) {
    // Nothing before the caret is on the page, only after it: nothing to take back. The
    // caret keeps to a symbol on the page, at the left edge of the first one after it.
    if (!onPageForBackspace(p.CurrentSymbolIndex)) {
      int next = std::max(p.CurrentSymbolIndex, 0) + 1;
      while (next <= count && !onPageForBackspace(next)) ++next;
      p.CurrentSymbolIndex = next <= count ? next : 0;
      p.CaretAfterSymbol = 0;
    }
    return;
  }
  p.CurrentSymbolIndex = before;
  p.CaretAfterSymbol = 1;

  const int level = p.SymbolLevel[static_cast<size_t>(before)];
  if (level == 1) p.UpperIndexMode = 1;
  if (level == 2) p.LowerIndexMode = 1;

  // Nothing after it on the page (the caret at the end of the text): Backspace undoes.
  int hiddenBehind = 0;
  if (p.SymbolCount != before) {
    for (int i = p.SymbolCount; i > before; --i) {
      const Control* c = p.surface.SymbolElement(i);
      if (c && c->Top >= 0) break;
      ++hiddenBehind;
    }
  }
  if (p.SymbolCount == before + hiddenBehind) {
    w.Timer15.setInterval(kAfterUndoMs);
    Command69_Click();
    p.UpperIndexMode = 0;
    return;
  }

  // Hidden; the insertion point takes its place, at its left edge on its middle line. The
  // symbols after it stay where they are: the next symbol typed fills the gap.
  Control& c = *p.surface.SymbolElement(before);
  const double x = intFloor(c.Left / 15 + singleDiv15(w.Left) + kFrameLeftPx);
  const double y =
      intFloor(c.Top / 15 + singleDiv15(w.Top) + c.Height / 2 / 15 + kFrameTopTw / kTwipsPerPixel);
  c.Top = c.Top - kBackspaceLiftTw;
  // The pointer goes along as it does for a typed key, unless the user has it elsewhere
  // (the on-screen keyboard's Backspace key under it).
  p.PointerX = pixelForPointer(x);
  p.PointerY = pixelForPointer(y);
  p.surface.FollowInsertionPoint();
  p.surface.ComputeInsertPoint();

  int previous = before - 1;
  while (previous >= 1 && !onPageForBackspace(previous)) --previous;
  if (previous >= 1) {
    p.CurrentSymbolIndex = previous;
    p.CaretAfterSymbol = 1;
    const int previousLevel = p.SymbolLevel[static_cast<size_t>(previous)];
    if (previousLevel != 1 && p.UpperIndexMode == 1) {
      p.UpperIndexMode = 0;
      p.surface.ReadInsertionPoint();
      p.PointerY += kUpperIndexDropPx;
      p.surface.FollowInsertionPoint();
      p.LastSymbolTop += kUpperIndexCaretTw;
    }
    if (previousLevel != 2 && p.LowerIndexMode == 1) {
      p.LowerIndexMode = 0;
      p.surface.ReadInsertionPoint();
      p.PointerY -= kLowerIndexRisePx;
      p.surface.FollowInsertionPoint();
    }
  } else {
    // It was the first on the page: the caret stands at the left edge of the next one.
    int next = before + 1;
    while (next <= count && !onPageForBackspace(next)) ++next;
    p.CurrentSymbolIndex = next <= count ? next : 0;
    p.CaretAfterSymbol = 0;
  }
  SaveUndoSnapshot();
}

// --- delete and cut -----------------------------------------------------------------------------

void Pages::DelSelektirano() {
  MainWindow& w = p.Form1;
  p.CutFlag = 1;
  // The insertion point, as the pointer stands for it: a pointer the user has on the panel
  // or elsewhere leaves it where it is.
  p.surface.ReadInsertionPoint();
  p.surface.ComputeInsertPoint();
  std::vector<std::string> records = w.List3.Items;
  if (records.empty()) return;
  const double away = w.Frame5.Height;
  bool acted = false;
  std::optional<double> firstTop;
  for (std::size_t k = 0; k < records.size(); ++k) {
    Control* c = recordElement(records[k]);
    if (!c) continue;
    c->Top = c->Top - away;
    acted = true;
    if (k == 0) firstTop = c->Top;
  }
  if (!acted) return;
  // The first record keeps where its symbol went: a paste on another page measures from
  // there. Field 1 is replaced as a field, whatever the length of the fields before it.
  if (firstTop) {
    std::vector<std::string> fields = splitFields(records[0]);
    fields[kTopField] = RecordNumberText(static_cast<float>(*firstTop));
    records[0] = joinFields(fields);
    w.List3.Items = std::move(records);
  }
  SaveUndoSnapshot();
}

// --- the move step ------------------------------------------------------------------------------

void Pages::PremestiSelPoXYZ() {
  MainWindow& w = p.Form1;
  // A later rule replaces an earlier one: with both axes set, the vertical one wins.
  double dx = 0, dy = 0;
  const bool fine = MoveTickCount < kFineTicks;
  if (MoveDirX == 1) dx = fine ? kFineStepTw : kCoarseStepTw, dy = 0;
  if (MoveDirX == -1) dx = fine ? -kFineStepTw : -kCoarseStepTw, dy = 0;
  if (MoveDirY == 1) dx = 0, dy = fine ? kFineStepTw : kCoarseStepTw;
  if (MoveDirY == -1) dx = 0, dy = fine ? -kFineStepTw : -kCoarseStepTw;
  if (dx == 0 && dy == 0) return;
  // Up to the page's top edge and no further: a symbol above it stands where deleted ones
  // are kept, and the next save would leave it out.
  if (dy < 0) {
    for (const std::string& record : w.List3.Items)
      if (const Control* c = recordElement(record); c && c->Top >= 0) dy = std::max(dy, -c->Top);
    if (dx == 0 && dy == 0) return;
  }
  // The records keep the places of the reading; only the symbols move.
  for (const std::string& record : w.List3.Items) {
    Control* c = recordElement(record);
    if (!c) continue;
    c->Top = c->Top + dy;
    c->Left = c->Left + dx;
  }
}

// --- paste --------------------------------------------------------------------------------------

void Pages::Prepihi() {
  MainWindow& w = p.Form1;
  const std::vector<std::string> records = w.List3.Items;
  if (records.empty()) return;
  const SelectionRow first = ParseSelectionRecord(records[0]);
  // At the insertion point, which the pop-up's Paste has put the pointer on: moved away by
  // the user since (the pointer resting on the palette at Ctrl+V, a hand already on its
  // way after Paste), the pointer does not say where the copies go.
  p.surface.ReadInsertionPoint();
  p.surface.ComputeInsertPoint();
  // The copy of the first record's symbol: its left edge at the insertion point, its middle
  // on the insertion line. A selection of another page lies a page's height up, unless it
  // was cut, whose first record already holds where its symbol went.
  const double dx = p.InsertX - first.Left;
  double dy = p.InsertY - first.Top - first.Height / 2;
  if (CurrentPageText() != p.SelectionPage && p.CutFlag != 1) dy += w.Frame5.Height;

  bool whole = true;
  bool made = false;
  for (const std::string& record : records) {
    Control* source = recordElement(record);
    if (!source) continue;
    const int n = p.SymbolCount + 1;
    if (n > kMaxSymbols || n > w.Label3.maxIndex() || n > w.Image3.maxIndex() ||
        w.Label3.IsLoaded(n) || w.Image3.IsLoaded(n)) {
      whole = false;  // the store is full: the copies made so far stay
      break;
    }
    Control* copy = nullptr;
    if (p.SymbolKind[static_cast<size_t>(source->Index)] == kTextKind) {
      const Label& from = w.Label3[source->Index];
      Label& l = w.Label3.Load(n);
      p.SymbolCount = n;
      p.SymbolKind[static_cast<size_t>(n)] = kTextKind;
      p.CurrentSymbolIndex = n;
      p.CaretAfterSymbol = 1;
      l.Caption = from.Caption;
      l.Font.Size = from.Font.Size;
      l.Font.Bold = from.Font.Bold;
      l.Visible = true;
      skipOnFailure([&] { autoSize(p.desktop, l); });
      l.Top = from.Top + dy;
      l.Left = from.Left + dx;
      copy = &l;
    } else {
      const Image& from = w.Image3[source->Index];
      Image& img = w.Image3.Load(n);
      p.SymbolCount = n;
      // The copy keeps its source's own picture name, whatever its expression token: it shows
      // the source's picture, and the reader, the undo history and the page files go by its
      // name (named by its token, a pasted "[" would come back from a file as "(", a small
      // index minus as a full-size one).
      p.SymbolKind[static_cast<size_t>(n)] = p.SymbolKind[static_cast<size_t>(source->Index)];
      p.CurrentSymbolIndex = n;
      p.CaretAfterSymbol = 1;
      // Given a picture, an image that does not stretch takes its size; the height stays so.
      const Picture picture = from.Picture;
      img.Picture = picture;
      if (!picture.empty()) {
        img.Width = picture.WidthPx * kTwipsPerPixel;
        img.Height = picture.HeightPx * kTwipsPerPixel;
      }
      img.Visible = true;
      img.Top = from.Top + dy;
      img.Left = from.Left + dx;
      img.Stretch = true;
      img.Width = from.Width;
      copy = &img;
    }
    made = true;
    p.LastSymbolRight = static_cast<float>(copy->Left + copy->Width);
    p.LastSymbolTop = static_cast<float>(copy->Top);
    p.PointerX = (copy->Left + copy->Width) / 15 + singleDiv15(w.Left) + kFrameLeftPx;
    p.PointerY =
        copy->Top / 15 + singleDiv15(w.Top) + copy->Height / 2 / 15 + kFrameTopTw / kTwipsPerPixel;
  }
  // After each copy the pointer would stand at its right edge; only the last place shows. It
  // goes there as it does after a typed key: not from where the user has moved it.
  if (made) p.surface.FollowInsertionPoint();
  if (whole && made) SaveUndoSnapshot();
}

// --- the move buttons
// -----------------------------------------------------------------------------

void Pages::MoveButton_MouseDown(int dirX, int dirY) {
  MainWindow& w = p.Form1;
  if (dirX != 0) MoveDirX = dirX;
  if (dirY != 0) MoveDirY = dirY;
  // A second button pressed while one is held goes on with the count.
  if (!w.Timer29.Enabled()) {
    MoveTickCount = 0;
    w.Timer29.setEnabled(true);
  }
}

void Pages::MoveButton_MouseUp(bool horizontal) {
  MainWindow& w = p.Form1;
  (horizontal ? MoveDirX : MoveDirY) = 0;
  w.Timer29.setEnabled(false);
  p.desktop.setFocus(w, w.Command63);
}

void Pages::Timer29_Timer() {
  if (MoveTickCount < INT_MAX) ++MoveTickCount;
  PremestiSelPoXYZ();
}

void Pages::Frame7_MouseMove(int, int, double, double) {
  MoveTickCount = 0;
  MoveDirX = 0;
  MoveDirY = 0;
  p.Form1.Timer29.setEnabled(false);
}

void Pages::LoadButtonPictures() {
  MainWindow& w = p.Form1;
  auto face = [&](CommandButton& b, const char* name) {
    const std::optional<std::string> file = p.surface.PictureFile(name);
    if (!file) return;
    skipOnFailure([&] {
      if (std::optional<Picture> pic = p.desktop.loadPicture(*file)) {
        b.Picture = *pic;
        b.Caption = "";  // a button without its picture keeps its caption
      }
    });
  };
  face(w.Command64, "mvleft");
  face(w.Command65, "mvright");
  face(w.Command67, "mvup");
  face(w.Command68, "mvdown");
  face(w.Command69, "tbundo");
  face(w.Command70, "tbredo");
  face(w.Command16, "tbopen");
  face(w.Command15, "tbsave");
}

// --- wiring
// ---------------------------------------------------------------------------------------

void Pages::WireEditingEvents() {
  MainWindow& w = p.Form1;
  struct MoveButton {
    CommandButton* button;
    int dirX, dirY;
  };
  for (const MoveButton& m : {MoveButton{&w.Command64, -1, 0}, MoveButton{&w.Command65, 1, 0},
                              MoveButton{&w.Command67, 0, -1}, MoveButton{&w.Command68, 0, 1}}) {
    const int dx = m.dirX, dy = m.dirY;
    m.button->MouseDown = [this, dx, dy](int, int, double, double) {
      MoveButton_MouseDown(dx, dy);
    };
    m.button->MouseUp = [this, dx](int, int, double, double) { MoveButton_MouseUp(dx != 0); };
  }
  w.Timer29.Tick = [this] { Timer29_Timer(); };
  w.Frame7.MouseMove = [this](int b, int s, double x, double y) { Frame7_MouseMove(b, s, x, y); };

  PasteCutPopup& f = p.Form7;
  f.Command1.MouseDown = [this](int b, int s, double x, double y) {
    Form7_Command1_MouseDown(b, s, x, y);
  };
  f.Command1.Click = [this] { Form7_Command1_Click(); };
  f.Command2.MouseDown = [this](int b, int s, double x, double y) {
    Form7_Command2_MouseDown(b, s, x, y);
  };
  f.Command2.Click = [this] { Form7_Command2_Click(); };
  f.MouseMove = [this](int b, int s, double x, double y) { Form7_Form_MouseMove(b, s, x, y); };
  f.LostFocus = [this] { Form7_Form_LostFocus(); };
  f.Timer2.Tick = [this] { Form7_Timer2_Timer(); };
  f.Unload = [this] { Form7_Form_Unload(); };
}

}  // namespace kel
