// The twelve pages that share the page area, and clearing them all.
#include <algorithm>
#include <string>

#include "app/program.h"
#include "platform/units.h"

namespace kel {

namespace {

constexpr Colour kShownPageColour = kRed;  // 255
constexpr Colour kOtherPageColour = kWhite;

}  // namespace

void Pages::WireEvents() {
  MainWindow& w = p.Form1;
  w.Command69.Click = [this] { Command69_Click(); };
  w.Command70.Click = [this] { Command70_Click(); };
  w.Command69.MouseDown = [this](int b, int s, double x, double y) {
    Command69_MouseDown(b, s, x, y);
  };
  w.Command70.MouseDown = [this](int b, int s, double x, double y) {
    Command70_MouseDown(b, s, x, y);
  };
  for (int k = 0; k < kPages; ++k) {
    CommandButton& b = w.Command72[static_cast<size_t>(k)];
    b.Click = [this, k] { Command72_Click(k); };
    b.MouseDown = [this, k](int bt, int s, double x, double y) {
      Command72_MouseDown(k, bt, s, x, y);
    };
    b.MouseUp = [this, k](int bt, int s, double x, double y) { Command72_MouseUp(k, bt, s, x, y); };
  }
  w.Text26.Change = [this] { Text26_Change(); };
  w.Label11.Click = [this] { Label11_Click(); };
  w.Label11.MouseDown = [this](int b, int s, double x, double y) { Label11_MouseDown(b, s, x, y); };
  w.Command15.Click = [this] { Command15_Click(); };
  w.Command16.Click = [this] { Command16_Click(); };
  w.Timer30.Tick = [this] { Timer30_Timer(); };
  w.Timer31.Tick = [this] { Timer31_Timer(); };
  w.TimerPlaceStep.Tick = [this] { TimerPlaceStep_Timer(); };
  w.TimerRecovery.Tick = [this] { TimerRecovery_Timer(); };
  WireEditingEvents();  // editing: the move buttons and the pop-up
}

int Pages::PageShown() const {
  const std::optional<long long> n = toWholeNumber(p.Form1.Text26.Text());
  return n && *n >= 1 && *n <= kPages ? static_cast<int>(*n) : 1;
}

std::string Pages::CurrentPageText() const { return p.Form1.Text26.Text(); }

void Pages::Command72_Click(int Index) {
  if (Index < 0 || Index >= kPages) return;
  MainWindow& w = p.Form1;
  p.surface.ZapomniTuk2();
  EmptyUndoHistory();

  int left = -1;
  for (int k = 0; k < kPages && left < 0; ++k)
    if (w.Command72[static_cast<size_t>(k)].BackColor == kShownPageColour) left = k;
  if (left < 0) left = PageShown() - 1;
  for (CommandButton& b : w.Command72) b.BackColor = kOtherPageColour;
  w.Command72[static_cast<size_t>(Index)].BackColor = kShownPageColour;
  w.Text26.setText(std::to_string(Index + 1));

  PageSlot& slot = PageSlots[static_cast<size_t>(left)];
  slot.entries.clear();
  for (int i = 1; i <= p.SymbolCount && i <= kMaxSymbols; ++i) {
    const Control* c = p.surface.SymbolElement(i);
    if (c && c->Top >= 0)
      slot.entries.push_back(
          {i, p.SymbolKind[static_cast<size_t>(i)] == kTextKind, c->Left, c->Top});
  }
  slot.PointerX = p.PointerX;
  slot.PointerY = p.PointerY;
  slot.LowerIndexMode = p.LowerIndexMode;
  slot.UpperIndexMode = p.UpperIndexMode;
  slot.fraction = openFractionShown();

  VsichoGore();
  // The start an Insert keeps for three seconds is a place on the page left.
  p.FractionStartLatched = 0;
  w.timerNovaDrob.setEnabled(false);
  PrezapisStranica(Index);
  StartUndoHistoryHere();
}

void Pages::PrezapisStranica(int Koia) {
  if (Koia < 0 || Koia >= kPages) return;
  MainWindow& w = p.Form1;
  const PageSlot& slot = PageSlots[static_cast<size_t>(Koia)];
  if (slot.entries.empty()) return;
  for (const SlotEntry& e : slot.entries) {
    if (e.index < 1 || e.index > p.SymbolCount) continue;
    Control* c = nullptr;
    if (e.text && w.Label3.IsLoaded(e.index)) c = &w.Label3[e.index];
    if (!e.text && w.Image3.IsLoaded(e.index)) c = &w.Image3[e.index];
    if (!c) continue;
    c->Left = e.left;
    c->Top = e.top;
  }
  p.PointerX = slot.PointerX;
  p.PointerY = slot.PointerY;
  // The pointer stays on the page button clicked: the next symbol goes to the page's own
  // insertion point all the same, and a move on to the next button starts from there.
  p.surface.FollowInsertionPoint();
  p.surface.LastSymbolAtPointer();
  p.LowerIndexMode = slot.LowerIndexMode == 1 ? 1 : 0;
  takeUpFraction(slot.fraction);
}

// An open fraction belongs to its page: typed on another page, its symbols would stretch a
// bar that is not there, and Insert would wait for a Home that closes it.
std::optional<FractionState> Pages::openFractionShown() {
  const bool begun = p.BarPlacedFlag == 1 || p.BarOpen == 1 || p.FractionPart != 0;
  if (!begun || !barOnPage(p.BarIndex) || !p.surface.IsOpenBar(p.BarIndex)) return std::nullopt;
  return p.fraction();
}

void Pages::takeUpFraction(const std::optional<FractionState>& f) {
  if (!f || !barOnPage(f->BarIndex) || !p.surface.IsOpenBar(f->BarIndex)) return;
  p.fraction() = *f;
  showFractionStage(p.FractionPart);
}

void Pages::Text26_Change() {
  p.PageNumberChanged = 1;
  p.Form1.Frame7.Visible = false;
}

void Pages::Command72_MouseDown(int, int, int, double, double) { p.palette.BlokVirtualKlav(); }

void Pages::Command72_MouseUp(int, int, int, double, double) {
  if (p.Form8Suspended == 1) p.palette.ShowForm8();
  if (p.Form8Shown == 1) p.palette.ShowForm8();
}

void Pages::Label11_MouseDown(int, int, double, double) { p.palette.BlokVirtualKlav(); }

void Pages::Label11_Click() {
  MainWindow& w = p.Form1;
  p.surface.ZapomniTuk2();
  const bool keyboard = p.Form8Suspended == 1 || p.Form8Shown == 1;
  if (keyboard) p.palette.HideForm8();
  const int answer = p.desktop.messageBox("Ще бъдат изтрити всички страници", msgbox::YesNo,
                                          "Oперация окончателно изтриване!");
  if (keyboard) p.palette.ShowForm8();
  if (answer != msgbox::Yes) return;

  EmptyUndoHistory();
  p.desktop.setFocus(w, w.Command63);
  // The recorder forgets its points, not only how many it has.
  constexpr size_t kRecordedPointsCleared = 1001;
  std::fill_n(p.RecordedPointX.begin(), kRecordedPointsCleared, 0);
  std::fill_n(p.RecordedPointY.begin(), kRecordedPointsCleared, 0);
  p.RecordedPointCount = 0;
  w.List1.Clear();
  w.List2.Clear();
  // The queue lost what it had not played: a limits sequence in it will never close.
  p.input.CancelBoundsQueueHold();
  p.BusyFlag = 0;
  p.UpperIndexMode = 0;
  p.LowerIndexMode = 0;
  Text2.clear();
  for (int i = 1; i <= p.SymbolCount && i <= kMaxSymbols; ++i) {
    w.Image3.Unload(i);
    w.Label3.Unload(i);
    p.SymbolKind[static_cast<size_t>(i)].clear();
    p.SymbolLevel[static_cast<size_t>(i)] = 0;
  }
  p.SymbolCount = 0;
  for (PageSlot& s : PageSlots) s = PageSlot{};

  // Nothing may go on naming a symbol that is gone: the next symbols take its index.
  p.CurrentSymbolIndex = 0;
  p.PressedSymbolIndex = 0;
  p.PressedSymbolHalf = 0;
  forgetSelection();
  p.CurrentBar = kNoBar;
  p.BarOpen = 0;
  p.BarPlacedFlag = 0;
  p.FractionPart = 0;
  p.surface.ZachisvaneHome();
}

void Pages::forgetSelection() {
  MainWindow& w = p.Form1;
  w.List3.Clear();
  p.CutFlag = 0;
  w.Text21.setText("");
  w.Text21.Visible = false;
  w.Frame7.Visible = false;
}

}  // namespace kel
