// The paste/cut pop-up: loading and showing it, its two buttons, and its closing.
#include "app/program.h"
#include "pages/paste_cut_popup.h"
#include "platform/steps.h"
#include "platform/units.h"

namespace kel {

namespace {

// The client area (twips) and where its two buttons stand in it.
constexpr double kClientWidthTw = 3420, kClientHeightTw = 2280;
constexpr double kButtonLeftTw = 360, kButtonWidthTw = 2655, kButtonHeightTw = 495;
constexpr double kCutTopTw = 360, kPasteTopTw = 1320;
constexpr int kCloseAfterLostFocusMs = 500;

// The dispatcher's requests: the F4 key (paste), and one that runs only its common steps.
constexpr long long kPasteRequest = 100115;
constexpr long long kCutRequest = 2000000;

}  // namespace

PasteCutPopup::PasteCutPopup(Scheduler& s) : Form("Form7"), Timer2(s, "Timer2", 500, false) {
  Sizable = false;
  for (CommandButton* b : {&Command2, &Command1}) {
    b->Left = kButtonLeftTw;
    b->Width = kButtonWidthTw;
    b->Height = kButtonHeightTw;
    b->Font = Font{"MS Sans Serif", 13.5, true, 204};
  }
  Command2.Top = kCutTopTw;
  Command2.Caption = "Cut   (Ctrl+X)";
  Command1.Top = kPasteTopTw;
  Command1.Caption = "Paste (Ctrl+V,F4)";
  add(Command2);
  add(Command1);
  resetToDesign();
}

void PasteCutPopup::resetToDesign() {
  Caption = "       Изберете";
  BackColor = kWhite;
  Left = 0;
  Top = 0;
  Width = kClientWidthTw + kFrameExtraWidthTw;
  Height = kClientHeightTw + kFrameExtraHeightTw;
  Command2.Visible = true;
  Command1.Visible = true;
  Timer2.setEnabled(false);
  Timer2.setInterval(kCloseAfterLostFocusMs);
}

// --- loading and showing ------------------------------------------------------------------

PasteCutPopup& Pages::LoadedForm7() {
  PasteCutPopup& f = p.Form7;
  if (f.Loaded) return f;
  f.resetToDesign();
  // The window's icon is part of its design.
  const std::string path = joinPath(joinPath(p.files.programFolder(), "Simbol"), "kursor.gif");
  skipOnFailure([&] { f.Icon = p.desktop.loadPicture(path).value_or(Picture{}); });
  f.Loaded = true;
  skipOnFailure([&] { Form7_Form_Load(); });
  return f;
}

Picture Pages::Form7Icon() { return LoadedForm7().Icon; }

bool Pages::PointerOverForm7() {
  const PasteCutPopup& f = p.Form7;
  if (!f.Loaded || !f.Visible) return false;
  const PointPx c = p.desktop.cursorPos();
  return f.Left / 15 < c.x && c.x < (f.Left + f.Width) / 15 && f.Top / 15 < c.y &&
         c.y < (f.Top + f.Height) / 15;
}

void Pages::ShowForm7At(double leftTw, double topTw) {
  PasteCutPopup& f = LoadedForm7();
  f.Left = leftTw;
  f.Top = topTw;
  p.desktop.showForm(f);
  // A window shown takes the focus, so that losing it later closes the pop-up.
  p.desktop.bringToFront(f);
}

void Pages::UnloadForm7() {
  PasteCutPopup& f = p.Form7;
  if (!f.Loaded) return;
  skipOnFailure([&] { Form7_Form_Unload(); });
  // The window's timer goes with it; the model stays, so a handler of the pop-up that
  // unloaded it returns into nothing that is gone.
  f.Timer2.setEnabled(false);
  p.desktop.unloadForm(f);
  f.Loaded = false;
  f.Visible = false;
}

// --- its event procedures -------------------------------------------------------------------

void Pages::Form7_Form_Load() {
  PasteCutPopup& f = p.Form7;
  p.palette.BlokVirtualKlav();
  skipOnFailure([&] { p.app.MakeTopmost(f); });
  // While the pop-up is loaded the pointer may leave the main window without the
  // background group pausing: the pop-up lies outside it.
  p.Form1.Timer23.setEnabled(false);
  // After a cut, or a change of page since the selection was read, there is nothing to cut.
  if (p.PageNumberChanged == 1) f.Command2.Visible = false;
  if (p.CutFlag == 1) f.Command2.Visible = false;
}

void Pages::Form7_Command1_MouseDown(int, int, double, double) {
  p.SkipNextButtonChange = 1;
  p.palette.BlokVirtualKlav();
}

void Pages::Form7_Command1_Click() {
  MainWindow& w = p.Form1;
  p.desktop.setFocus(w, w.Command63);
  p.PendingCode = kPasteRequest;
  // The copies go where the caret is, not where the pop-up was clicked.
  p.surface.MovePointerToInsertionPoint();
  w.Timer6.setEnabled(true);
  UnloadForm7();
}

void Pages::Form7_Command2_MouseDown(int, int, double, double) { p.palette.BlokVirtualKlav(); }

void Pages::Form7_Command2_Click() {
  MainWindow& w = p.Form1;
  UnloadForm7();
  p.desktop.setFocus(w, w.Command63);
  p.PendingCode = kCutRequest;
  p.surface.MovePointerToInsertionPoint();
  w.Timer6.setEnabled(true);
  DelSelektirano();
}

void Pages::Form7_Form_MouseMove(int, int, double, double) { p.PointerOverForm8 = 1; }

void Pages::Form7_Form_LostFocus() { p.Form7.Timer2.setEnabled(true); }

void Pages::Form7_Timer2_Timer() {
  p.Form7.Timer2.setEnabled(false);
  UnloadForm7();
}

void Pages::Form7_Form_Unload() {
  if (p.Form8Suspended == 1) p.palette.ShowForm8();
  p.Form1.Timer23.setEnabled(true);
  p.Form7.Timer2.setEnabled(false);
}

}  // namespace kel
