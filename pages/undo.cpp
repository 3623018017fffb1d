// The undo history of the page shown: snapshots after every change, Undo and Redo.
#include <algorithm>
#include <exception>

#include "app/program.h"
#include "platform/units.h"

namespace kel {

namespace {

// The dispatcher's request that matches none of its rows: only its common steps run (the
// pointer goes back to where the user clicked, a hidden on-screen keyboard comes back).
constexpr long long kCommonStepsOnly = 999999;

}  // namespace

// The on-screen keyboard's own Undo and Redo keys follow the main window's buttons.
void Pages::showForm8UndoKey(bool visible) {
  if (p.Form8.Loaded) p.Form8.Command69.Visible = visible;
}

void Pages::showForm8RedoKey(bool visible) {
  if (p.Form8.Loaded) p.Form8.Command70.Visible = visible;
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

bool Pages::barOnPage(int i) {
  const Control* c = p.surface.SymbolElement(i);
  if (!c || c->Top < 0) return false;
  return IsFractionBarKind(p.SymbolKind[static_cast<size_t>(i)]);
}

void Pages::forgetOpenFraction() {
  p.FractionPart = 0;
  p.BarOpen = 0;
  p.BarPlacedFlag = 0;
  p.CurrentBar = kNoBar;
  showFractionStage(0);
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
    const Control* c = p.surface.SymbolElement(i);
    if (c && c->Top >= 0)
      pageScratch_[static_cast<size_t>(i)] = {c->Left, c->Top, true,
                                              p.SymbolKind[static_cast<size_t>(i)] == kTextKind};
  }
  UndoPageFacts& f = factsScratch_;
  f.PointerX = p.PointerX;
  f.PointerY = p.PointerY;
  f.LowerIndexMode = p.LowerIndexMode;
  f.UpperIndexMode = p.UpperIndexMode;
  f.Fraction = p.fraction();  // the part a snapshot keeps
}

bool Pages::sameAsCurrentSnapshot() {
  const int k = p.UndoIndex;
  if (k < 0 || k > history_.size()) return false;
  const std::vector<UndoPlace>& then = history_.places(k);
  const std::size_t n = std::max(then.size(), pageScratch_.size());
  for (std::size_t i = 1; i < n; ++i) {
    const UndoPlace a = i < then.size() ? then[i] : UndoPlace{};
    const UndoPlace b = i < pageScratch_.size() ? pageScratch_[i] : UndoPlace{};
    if (a.onPage != b.onPage) return false;
    if (a.onPage && !(a == b)) return false;
  }
  // A snapshot without symbols puts nothing else back either; the restore never sets the
  // upper index.
  if (history_.records(k) == 0) return true;
  UndoPageFacts then_ = history_.facts(k), now = factsScratch_;
  then_.UpperIndexMode = now.UpperIndexMode = 0;
  return then_ == now;
}

void Pages::SaveUndoSnapshot() {
  MainWindow& w = p.Form1;
  const int before = p.UndoIndex;
  const int top = UndoTop;
  // A step that Undo would take back without changing anything is no step: a tap of Ctrl
  // after a Delete would otherwise make the first Undo seem to do nothing.
  try {
    readPageShown();
    if (sameAsCurrentSnapshot()) return;
  } catch (const std::exception&) {
    return;
  }
  w.Command69.Visible = true;
  if (p.Form8Shown == 1) showForm8UndoKey(true);
  try {
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
    Control* c = p.surface.SymbolElement(i);
    if (!c || c->Top < 0) continue;
    double top = c->Top - away;
    // A page shorter than the symbol's place (the window made small since it was typed)
    // would leave it on the page, and so on every page: it goes wholly above the page.
    if (top >= 0) top = -(c->Top + c->Height + 15);
    c->Top = top;
  }
  forgetOpenFraction();
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
      // What the snapshot kept of the fraction; the bar open or not follows from the stage
      // below, and where the fraction was begun stays as it is.
      static_cast<FractionSnapshot&>(p.fraction()) = f.Fraction;
      p.PointerX = f.PointerX;
      p.PointerY = f.PointerY;
      // A pointer the click left on its button stays there, where the user clicks again.
      p.surface.FollowInsertionPoint();
    }
    p.surface.LastSymbolAtPointer();
    if (records > 0) p.LowerIndexMode = f.LowerIndexMode == 1 ? 1 : 0;
  } else {
    p.surface.LastSymbolAtPointer();
  }

  // The open fraction of the snapshot, with its hints. It is open only with its bar on the
  // page put back: a snapshot without symbols puts no fraction back (the page went up
  // without one), and one taken after the open bar was deleted names a bar not there.
  if (p.FractionPart < 0 || p.FractionPart > 2) return;
  if (p.FractionPart != 0 && barOnPage(p.BarIndex)) {
    const int bar = p.BarIndex;
    p.CurrentBar = bar;
    w.Image3[bar].Picture = w.Image2[0].Picture;
    w.Image3[bar].Width = p.BarWidth;
    p.BarPlacedFlag = 1;
    p.BarOpen = 1;
    showFractionStage(p.FractionPart);
  } else {
    forgetOpenFraction();
  }
}

void Pages::restoreSnapshot() {
  MainWindow& w = p.Form1;
  const int wasOpen = p.surface.IsOpenBar(p.CurrentBar) ? p.CurrentBar : 0;
  VsichoGore();
  Prezapis();
  // Going forward past the Home that closed it, the bar is black again; going back past
  // the Insert that placed it, it is off the page, and comes back red with its fraction.
  if (wasOpen != 0 && p.CurrentBar != wasOpen && p.surface.IsOpenBar(wasOpen))
    w.Image3[wasOpen].Picture = w.Image2[1].Picture;
}

void Pages::Command69_Click() {
  MainWindow& w = p.Form1;
  ++command69Runs;
  // Clicked, the pointer stands on the Undo button (or a key) and stays there: taken onto
  // the page, the user's next click, or the rest of a move to the next button, would land
  // there. Ctrl+Z and Backspace, with the pointer where the program put it, take it along.
  const bool pointerWithUser = p.surface.PointerLeftByUser();
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
  if (const Control* first = p.surface.SymbolElement(1)) p.PointerX -= first->Width / 15;
  restoreSnapshot();
  if (pointerWithUser)
    p.surface.FollowInsertionPoint();
  else
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
  restoreSnapshot();
  p.PendingCode = kCommonStepsOnly;
  w.Timer6.setEnabled(true);
}

void Pages::Command69_MouseDown(int, int, double, double) {
  p.palette.BlokVirtualKlav();
  UndoByMouse = 1;
}

void Pages::Command70_MouseDown(int, int, double, double) { p.palette.BlokVirtualKlav(); }

}  // namespace kel
