// The undo history of the page shown: snapshots after every change, Undo and Redo.
#include <algorithm>
#include <exception>

#include "app/program.h"
#include "platform/units.h"

namespace kel {

namespace {

constexpr const char* kTextKind = "bukva";
// The dispatcher's request that matches none of its rows: only its common steps run (the
// pointer goes back to where the user clicked, a hidden on-screen keyboard comes back).
constexpr long long kCommonStepsOnly = 999999;

}  // namespace

Control* Pages::symbolElement(int i) {
  if (i < 1 || i > p.SymbolCount || i > kMaxSymbols) return nullptr;
  MainWindow& w = p.Form1;
  if (p.SymbolKind[static_cast<size_t>(i)] == kTextKind)
    return w.Label3.IsLoaded(i) ? &w.Label3[i] : nullptr;
  return w.Image3.IsLoaded(i) ? &w.Image3[i] : nullptr;
}

// The on-screen keyboard's own Undo and Redo keys follow the main window's buttons.
void Pages::showForm8UndoKey(bool visible) {
  if (p.Form8.Loaded) p.Form8.Command69.Visible = visible;
}

void Pages::showForm8RedoKey(bool visible) {
  if (p.Form8.Loaded) p.Form8.Command70.Visible = visible;
}

void Pages::recomputeLastSymbol() {
  const MainWindow& w = p.Form1;
  p.LastSymbolTop = static_cast<float>(intFloor((p.PointerY - singleDiv15(w.Top)) * 15 - 505) -
                                       w.Picture1.Height / 2 - 90);
  p.LastSymbolRight = static_cast<float>((p.PointerX - singleDiv15(w.Left) - 4) * 15);
}

void Pages::showFractionStage(int stage) {
  if (stage < 0 || stage > 2) return;
  // Each stage's procedure takes over from the one before it, so every hint of another
  // stage is hidden whatever the hints showed before the restore.
  p.surface.ZachisvaneHome();
  if (stage >= 1) p.surface.PokazvaneZaHome1();
  if (stage >= 2) p.surface.PokazvaneZaHome2();
  if (p.Form8Shown == 1 || p.Form8Suspended == 1) {
    // The stage procedures only show and hide the keys of the stage they begin, so a key
    // of a later stage would stay up on the way back; the keys of a keyboard that is only
    // out of the way for a press follow too.
    p.palette.SetForm8KeyVisible(54, stage == 0);
    p.palette.SetForm8KeyVisible(55, stage == 1);
    p.palette.SetForm8KeyVisible(56, stage == 2);
  }
}

void Pages::EmptyUndoHistory() {
  MainWindow& w = p.Form1;
  p.UndoIndex = 0;
  UndoTop = 0;
  w.Command69.Visible = false;
  w.Command70.Visible = false;
  history_.clear();
}

void Pages::readPageShown() {
  const int n = std::clamp(p.SymbolCount, 0, kMaxSymbols);
  pageScratch_.assign(static_cast<size_t>(n) + 1, UndoPlace{});
  for (int i = 1; i <= n; ++i) {
    const Control* c = symbolElement(i);
    if (c && c->Top >= 0)
      pageScratch_[static_cast<size_t>(i)] = {c->Left, c->Top, true,
                                              p.SymbolKind[static_cast<size_t>(i)] == kTextKind};
  }
  UndoPageFacts& f = factsScratch_;
  f.PointerX = p.PointerX;
  f.PointerY = p.PointerY;
  f.LowerIndexMode = p.LowerIndexMode;
  f.UpperIndexMode = p.UpperIndexMode;
  f.BarRightEdge = p.BarRightEdge;
  f.BarStartInsertX = p.BarStartInsertX;
  f.BarLineY = p.BarLineY;
  f.BarIndex = p.BarIndex;
  f.BarStretchIndex = p.BarStretchIndex;
  f.NumeratorLastIndex = p.NumeratorLastIndex;
  f.DenominatorLastIndex = p.DenominatorLastIndex;
  f.FractionPart = p.FractionPart;
  f.BarWidth = p.BarWidth;
  f.BarLastIndex = p.BarLastIndex;
  f.BarEndPointerX = p.BarEndPointerX;
}

void Pages::SaveUndoSnapshot() {
  MainWindow& w = p.Form1;
  w.Command69.Visible = true;
  if (p.Form8Shown == 1) showForm8UndoKey(true);
  const int before = p.UndoIndex;
  const int top = UndoTop;
  try {
    readPageShown();
    // Past the last snapshot kept, the oldest makes room: Undo always has the state before.
    const int number = std::clamp(before + 1, 1, history_.size() + 1);
    p.UndoIndex = history_.store(number, pageScratch_, factsScratch_);
    UndoTop = p.UndoIndex;
  } catch (const std::exception&) {
    // Not stored: the history stays as it was, and so does what Undo and Redo reach.
    p.UndoIndex = before;
    UndoTop = top;
  }
}

void Pages::StartUndoHistoryHere() {
  EmptyUndoHistory();
  try {
    readPageShown();
    history_.setOrigin(pageScratch_, factsScratch_);
  } catch (const std::exception&) {
    history_.clear();
  }
}

void Pages::VsichoGore() {
  const double away = p.Form1.Frame5.Height;
  for (int i = 1; i <= p.SymbolCount && i <= kMaxSymbols; ++i) {
    Control* c = symbolElement(i);
    if (!c || c->Top < 0) continue;
    double top = c->Top - away;
    // A page shorter than the symbol's place (the window made small since it was typed)
    // would leave it on the page, and so on every page: it goes wholly above the page.
    if (top >= 0) top = -(c->Top + c->Height + 15);
    c->Top = top;
  }
}

void Pages::Prezapis() {
  MainWindow& w = p.Form1;
  const int k = p.UndoIndex;
  int records = 0;
  if (k >= 0 && k <= history_.size()) {
    const std::vector<UndoPlace>& places = history_.places(k);
    const UndoPageFacts f = history_.facts(k);
    records = history_.records(k);
    const int last = std::min<int>(static_cast<int>(places.size()) - 1, p.SymbolCount);
    for (int i = 1; i <= last; ++i) {
      const UndoPlace& at = places[static_cast<size_t>(i)];
      if (!at.onPage) continue;
      Control* c = nullptr;
      if (at.text && w.Label3.IsLoaded(i)) c = &w.Label3[i];
      if (!at.text && w.Image3.IsLoaded(i)) c = &w.Image3[i];
      if (!c) continue;
      c->Left = at.left;
      c->Top = at.top;
    }
    if (records > 0) {
      p.BarRightEdge = f.BarRightEdge;
      p.BarStartInsertX = f.BarStartInsertX;
      p.BarLineY = f.BarLineY;
      p.BarIndex = f.BarIndex;
      p.BarStretchIndex = f.BarStretchIndex;
      p.NumeratorLastIndex = f.NumeratorLastIndex;
      p.DenominatorLastIndex = f.DenominatorLastIndex;
      p.FractionPart = f.FractionPart;
      p.BarWidth = f.BarWidth;
      p.BarLastIndex = f.BarLastIndex;
      p.BarEndPointerX = f.BarEndPointerX;
      p.surface.SetPointer(pixelForPointer(f.PointerX), pixelForPointer(f.PointerY));
      p.PointerX = f.PointerX;
      p.PointerY = f.PointerY;
    }
    recomputeLastSymbol();
    if (records > 0) p.LowerIndexMode = f.LowerIndexMode == 1 ? 1 : 0;
  } else {
    recomputeLastSymbol();
  }

  // The open fraction of the snapshot, with its hints.
  switch (p.FractionPart) {
    case 0:
      p.BarPlacedFlag = 0;
      p.BarOpen = 0;
      break;
    case 1:
    case 2: {
      const int bar = p.BarIndex;
      const std::optional<double> kind = bar >= 1 && bar <= kMaxSymbols
                                             ? toNumber(p.SymbolKind[static_cast<size_t>(bar)])
                                             : std::nullopt;
      if (bar <= p.SymbolCount && kind && *kind == 35 && w.Image3.IsLoaded(bar)) {
        p.CurrentBar = bar;
        w.Image3[bar].Picture = w.Image2[0].Picture;
        w.Image3[bar].Width = p.BarWidth;
      }
      p.BarPlacedFlag = 1;
      p.BarOpen = 1;
      break;
    }
    default:
      return;
  }
  showFractionStage(p.FractionPart);
}

void Pages::Command69_Click() {
  MainWindow& w = p.Form1;
  ++command69Runs;
  p.surface.ZapomniTuk2();
  if (p.UndoIndex <= 0) return;
  p.UndoIndex -= 1;
  w.Command70.Visible = true;
  if (p.Form8Shown == 1) showForm8RedoKey(true);
  if (p.UndoIndex == 0) {
    w.Command69.Visible = false;
    if (p.Form8Shown == 1) showForm8UndoKey(false);
  }
  // Always symbol 1's width, whatever changed last; a snapshot with symbols puts the
  // pointer where it was anyway.
  if (const Control* first = symbolElement(1)) p.PointerX -= first->Width / 15;
  VsichoGore();
  Prezapis();
  p.surface.MovePointerToInsertionPoint();
  if (p.UndoIndex == 0) p.LowerIndexMode = 0;
  if (UndoByMouse == 1) {
    UndoByMouse = 0;
    p.PendingCode = kCommonStepsOnly;
    w.Timer6.setEnabled(true);
  }
  p.BusyFlag = 0;
}

void Pages::Command70_Click() {
  MainWindow& w = p.Form1;
  p.surface.ZapomniTuk2();
  if (UndoTop <= p.UndoIndex) return;
  p.UndoIndex += 1;
  w.Command69.Visible = true;
  if (p.Form8Shown == 1) showForm8UndoKey(true);
  if (p.UndoIndex == UndoTop) {
    w.Command70.Visible = false;
    if (p.Form8Shown == 1) showForm8RedoKey(false);
  }
  VsichoGore();
  Prezapis();
  p.PendingCode = kCommonStepsOnly;
  w.Timer6.setEnabled(true);
}

void Pages::Command69_MouseDown(int, int, double, double) {
  p.palette.BlokVirtualKlav();
  UndoByMouse = 1;
}

void Pages::Command70_MouseDown(int, int, double, double) { p.palette.BlokVirtualKlav(); }

}  // namespace kel
