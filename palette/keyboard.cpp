// The on-screen keyboard's window: opening, loading and placing it, its two display
// timers, the close key, the drag strip, the pointer moves that stop and restart the
// background timers, and the modifier and layout keys.
#include "palette/keyboard.h"

#include <exception>
#include <optional>

#include "app/program.h"
#include "platform/units.h"

namespace kel {

namespace {

constexpr Colour kBulgarianBack = kBlue;
constexpr Colour kEnglishBack = kBlack;
constexpr int kFocusSinkTop = -1000;
// Below the main window's top edge (twips), centred under its right-hand panel.
constexpr double kBelowMainWindowTop = 5800;
constexpr int kEnterKey = 31;
constexpr int kF8Key = 57, kF9Key = 58, kF10Key = 59, kF12Key = 52, kPadF12Key = 53;
constexpr long long kPasteRequest = 100115;  // the key request for F4

MouseHandler mouse(Keyboard& k, void (Keyboard::*procedure)(int, int, double, double)) {
  return [&k, procedure](int b, int s, double x, double y) { (k.*procedure)(b, s, x, y); };
}

// The picture keys and their design pictures in Simbol/.
struct KeyPicture {
  int index;
  const char* name;
};
constexpr KeyPicture kKeyPictures[] = {
    {49, "okesc"},    {51, "okesc"},      {52, "okf12"},  {53, "okf12"},
    {54, "okinsert"}, {55, "okpagedown"}, {56, "okhome"}, {60, "okright"},
    {61, "okleft"},   {62, "okup"},       {63, "okdown"},
};

}  // namespace

void Keyboard::WireEvents() {
  KeyboardForm& f = p.Form8;
  p.Form1.Command71.Click = [this] { Command71_Click(); };
  f.Unload = [this] { Form_Unload(); };
  f.Timer1.Tick = [this] { Timer1_Timer(); };
  f.Timer2.Tick = [this] { Timer2_Timer(); };
  f.Timer3.Tick = [this] { Timer3_Timer(); };
  f.MouseMove = mouse(*this, &Keyboard::Form_MouseMove);
  f.Click = [this] { Form_Click(); };
  f.Frame1.Click = [this] { Frame1_Click(); };
  f.Frame2.Click = [this] { Frame2_Click(); };
  f.Frame1.MouseMove = mouse(*this, &Keyboard::Frame1_MouseMove);
  f.Frame2.MouseMove = mouse(*this, &Keyboard::Frame2_MouseMove);
  f.Image1.MouseDown = mouse(*this, &Keyboard::Image1_MouseDown);
  f.Image1.MouseMove = mouse(*this, &Keyboard::Image1_MouseMove);
  f.Image1.MouseUp = mouse(*this, &Keyboard::Image1_MouseUp);
  f.Command8.Click = [this] { Command8_Click(); };

  // Every element, the one at index 0 included, calls its procedure with its index.
  for (int i = 0; i <= kLastMainKey; ++i) {
    CommandButton& b = f.Command3[i];
    b.Click = [this, i] { Command3_Click(i); };
    b.MouseDown = [this, i](int bt, int s, double x, double y) {
      Command3_MouseDown(i, bt, s, x, y);
    };
    b.MouseMove = [this, i](int bt, int s, double x, double y) {
      Command3_MouseMove(i, bt, s, x, y);
    };
    b.MouseUp = [this, i](int bt, int s, double x, double y) { Command3_MouseUp(i, bt, s, x, y); };
  }
  for (int i = 0; i <= kLastPadKey; ++i) {
    CommandButton& b = f.Command1[i];
    b.Click = [this, i] { Command1_Click(i); };
    b.MouseDown = [this, i](int bt, int s, double x, double y) {
      Command1_MouseDown(i, bt, s, x, y);
    };
    b.MouseMove = [this, i](int bt, int s, double x, double y) {
      Command1_MouseMove(i, bt, s, x, y);
    };
  }
  // Pointer moves over the modifier keys: over the keyboard, and on again after a Stop
  // (but "En" and Redo do not restart).
  const MouseHandler overAndRestart = [this](int, int, double, double) {
    p.PointerOverForm8 = 1;
    restartAfterStop();
  };
  const MouseHandler over = [this](int, int, double, double) { p.PointerOverForm8 = 1; };
  f.Command4.MouseMove = overAndRestart;
  f.Command6.MouseMove = overAndRestart;
  f.Command69.MouseMove = overAndRestart;
  f.Command7.MouseMove = over;
  f.Command70.MouseMove = over;
  for (int i : {0, 1}) {
    f.Command5[i].MouseMove = overAndRestart;
    f.Command5[i].Click = [this, i] { Command5_Click(i); };
  }
  f.Command4.Click = [this] { Command4_Click(); };
  f.Command6.Click = [this] { Command6_Click(); };
  f.Command7.Click = [this] { Command7_Click(); };
  f.Command69.Click = [this] { Command69_Click(); };
  f.Command69.MouseDown = mouse(*this, &Keyboard::Command69_MouseDown);
  f.Command70.Click = [this] { Command70_Click(); };
  f.Command9.Click = [this] { Command9_Click(); };
  f.Command9.MouseDown = mouse(*this, &Keyboard::Command9_MouseDown);
}

void Keyboard::LoadKeyPictures() {
  KeyboardForm& f = p.Form8;
  auto read = [&](const char* name) -> std::optional<Picture> {
    const std::optional<std::string> file = p.surface.PictureFile(name);
    if (!file) return std::nullopt;
    try {
      return p.desktop.loadPicture(*file);
    } catch (const std::exception&) {
      return std::nullopt;
    }
  };
  for (const KeyPicture& k : kKeyPictures)
    if (std::optional<Picture> pic = read(k.name)) f.Command3[k.index].Picture = *pic;
  if (std::optional<Picture> pic = read("okundo")) f.Command69.Picture = *pic;
  if (std::optional<Picture> pic = read("okredo")) f.Command70.Picture = *pic;
}

// --- the window ----------------------------------------------------------------------------

bool Keyboard::Visible() const { return p.Form8.Loaded && p.Form8.Visible; }

void Keyboard::Load() {
  KeyboardForm& f = p.Form8;
  if (f.Loaded) return;
  f.Loaded = true;
  LoadKeyPictures();
  // Its timers were made running: they start with the window.
  f.Timer1.setEnabled(true);
  f.Timer2.setEnabled(true);
  Form_Load();
}

void Keyboard::Unload() {
  KeyboardForm& f = p.Form8;
  if (!f.Loaded) return;
  Form_Unload();
  for (Timer* t : {&f.Timer1, &f.Timer2, &f.Timer3}) t->setEnabled(false);
  p.desktop.unloadForm(f);
}

void Keyboard::Show() {
  Load();
  p.desktop.showForm(p.Form8);
  p.Form8.Timer1.setEnabled(true);
}

void Keyboard::Hide() {
  if (!p.Form8.Loaded) return;
  p.desktop.hideForm(p.Form8);
  p.Form8.Timer1.setEnabled(false);
  // A hidden arrow key is held no longer: its release would never come.
  p.Form8.Timer3.setEnabled(false);
}

void Keyboard::Command71_Click() {
  // A shown keyboard is left as it is.
  if (!Visible()) Show();
  p.desktop.setFocus(p.Form1, p.Form1.Command63);
}

void Keyboard::Form_Load() {
  KeyboardForm& f = p.Form8;
  MainWindow& w = p.Form1;
  if (w.Command69.Visible) f.Command69.Visible = true;
  if (w.Command70.Visible) f.Command70.Visible = true;
  f.ShiftOn = 0;
  f.ShiftLatched = 0;
  p.Form8Shown = 1;
  p.app.MakeTopmost(f);
  f.Left = (w.Frame6.Width - f.Width) / 2 + w.Frame6.Left + w.Left;
  f.Top = w.Top + kBelowMainWindowTop;
  f.Command2.Top = kFocusSinkTop;
  // The keys are drawn for the layout in use; the main window's captions follow.
  if (p.LatinLayout == 0) {
    Command6_Click();
    f.Command6.Visible = false;
    f.Command7.Visible = true;
    f.CaptionLayout = 0;
  } else {
    Command7_Click();
    f.Command7.Visible = false;
    f.Command6.Visible = true;
    f.CaptionLayout = 1;
  }
}

void Keyboard::Form_Unload() {
  p.Form8Shown = 0;
  p.Form8Suspended = 0;
  p.desktop.hideForm(p.Form8);
  p.Form8.Timer1.setEnabled(false);
}

void Keyboard::Timer1_Timer() {
  KeyboardForm& f = p.Form8;
  MainWindow& w = p.Form1;
  p.app.MakeTopmost(f);
  p.Form8Shown = 1;
  // A layout switched anywhere (the main window's buttons, left Alt, the queue's layout
  // codes) is drawn within one tick.
  if (f.CaptionLayout == 1 && p.LatinLayout == 0) {
    Command6_Click();
    f.CaptionLayout = 0;
  }
  if (f.CaptionLayout == 0 && p.LatinLayout == 1) {
    Command7_Click();
    f.CaptionLayout = 1;
  }
  f.Command3[kF8Key].Picture = w.Image4.Picture;
  f.Command3[kF9Key].Picture = w.Image6.Picture;
  f.Command3[kF10Key].Picture = w.Image7.Picture;
  f.Command9.Visible = w.Text21.Visible;
}

void Keyboard::Timer2_Timer() {
  KeyboardForm& f = p.Form8;
  const Picture& pic = p.LowerIndexMode == 1 ? p.Form1.Image1.Picture : p.Form1.Image13.Picture;
  f.Command3[kF12Key].Picture = pic;
  f.Command3[kPadF12Key].Picture = pic;
}

void Keyboard::Command8_Click() {
  p.PointerOverPanel = 1;
  Hide();
  p.Form8Shown = 0;
  p.Form8Suspended = 0;
  // The pointer is over no keyboard now, and the pointer-leaves-window check no longer
  // looks at a closed one: left set, the flag would keep the background timers capturing
  // keys typed in other programs after the pointer leaves the main window. (The press of
  // this click was the keyboard's, so its release makes no page click.)
  p.PointerOverForm8 = 0;
}

void Keyboard::Form_MouseMove(int, int, double, double) {
  p.PointerOverForm8 = 0;
  p.app.Command2_Click();
}

void Keyboard::Form_Click() { p.PointerOverPanel = 1; }

void Keyboard::Frame1_Click() { p.PointerOverPanel = 1; }

void Keyboard::Frame2_Click() { p.PointerOverPanel = 1; }

void Keyboard::Frame1_MouseMove(int, int, double, double) {
  p.PointerOverForm8 = 1;
  restartAfterStop();
}

void Keyboard::Frame2_MouseMove(int, int, double, double) {
  p.PointerOverForm8 = 1;
  restartAfterStop();
}

void Keyboard::restartAfterStop() {
  if (p.UserStopped != 1) return;
  p.app.Startirane();
  p.UserStopped = 0;
}

void Keyboard::Image1_MouseDown(int button, int, double x, double y) {
  p.PointerOverPanel = 1;
  if (button == 1) p.app.BeginFormDrag(p.Form8, x, y);
}

void Keyboard::Image1_MouseMove(int button, int, double x, double y) {
  p.PointerOverForm8 = 1;
  // A drag whose release went elsewhere (off the strip, off the window) ends at the next
  // move without the button: the window never follows a pointer that only passes over.
  if ((button & 1) == 0) {
    p.FormDragActive = 0;
    return;
  }
  p.app.ContinueFormDrag(p.Form8, x, y);
}

void Keyboard::Image1_MouseUp(int, int, double, double) { p.FormDragActive = 0; }

// --- the modifier and layout keys ----------------------------------------------------------

void Keyboard::ApplyCaptionSet(bool shifted) {
  KeyboardForm& f = p.Form8;
  const bool latin = p.LatinLayout == 1;
  for (int i = 0; i <= kLastMainKey; ++i) {
    if (!f.Command3.IsLoaded(i)) continue;
    CommandButton& b = f.Command3[i];
    if (std::optional<std::string> c = SymbolCaption(i, shifted, latin)) b.Caption = *c;
    b.Caption = shifted ? ToUpperCaption(b.Caption) : ToLowerCaption(b.Caption);
  }
  f.Command3[kEnterKey].Caption = "Enter";
}

void Keyboard::Command4_Click() {
  KeyboardForm& f = p.Form8;
  p.PointerOverForm8 = 1;
  p.PointerOverPanel = 1;
  if (f.ShiftOn == 0) {
    f.ShiftOn = 1;
    ApplyCaptionSet(true);
  } else {
    ApplyCaptionSet(false);
    f.ShiftOn = 0;
  }
  f.Command3[kEnterKey].Caption = "Enter";
  focusSink();
}

void Keyboard::Command5_Click(int) {
  KeyboardForm& f = p.Form8;
  p.PointerOverForm8 = 1;
  p.PointerOverPanel = 1;
  if (f.ShiftLatched == 0) {
    f.ShiftLatched = 1;
    ApplyCaptionSet(true);
    f.ShiftOn = 1;
  } else {
    f.ShiftLatched = 0;
    ApplyCaptionSet(false);
    f.ShiftOn = 0;
  }
  f.Command3[kEnterKey].Caption = "Enter";
}

void Keyboard::putLetterCaptions(bool latin) {
  KeyboardForm& f = p.Form8;
  for (int i = 0; i <= kLastMainKey; ++i)
    if (std::optional<std::string> c = LetterCaption(i, latin, f.ShiftOn != 0))
      f.Command3[i].Caption = *c;
}

void Keyboard::Command6_Click() {
  p.PointerOverForm8 = 1;
  drawLayout(false);
}

void Keyboard::Command7_Click() { drawLayout(true); }

// The main window's captions and colours, the keyboard's, the other layout key, the letters
// in the case the shift flag gives, and the typing layout itself (no layout code is queued).
void Keyboard::drawLayout(bool latin) {
  KeyboardForm& f = p.Form8;
  if (latin)
    p.app.OcvetiEn();
  else
    p.app.OcvetiBG();
  const Colour back = latin ? kEnglishBack : kBulgarianBack;
  f.BackColor = back;
  f.Frame1.BackColor = back;
  f.Frame2.BackColor = back;
  f.Command6.Visible = latin;
  f.Command7.Visible = !latin;
  putLetterCaptions(latin);
  p.LatinLayout = latin ? 1 : 0;
  focusSink();
}

void Keyboard::Command69_Click() {
  p.PointerOverForm8 = 1;
  p.PointerOverPanel = 1;
  p.pages.Command69_Click();
}

void Keyboard::Command69_MouseDown(int, int, double, double) { p.pages.UndoByMouse = 1; }

void Keyboard::Command70_Click() {
  p.PointerOverPanel = 1;
  p.pages.Command70_Click();
}

void Keyboard::Command9_Click() {
  p.PendingCode = kPasteRequest;
  // The copies go to the insertion point while the pointer stays on the key, as the other
  // keys' symbols do.
  p.surface.LeavePointerWithUser();
  p.Form1.Timer6.setEnabled(true);
  focusSink();
}

void Keyboard::Command9_MouseDown(int, int, double, double) {
  p.PointerOverPanel = 1;
  restartAfterStop();
}

void Keyboard::focusSink() {
  // The only step of the keys that may fail; a failure changes nothing else.
  try {
    p.desktop.setFocus(p.Form8, p.Form8.Command2);
  } catch (const std::exception&) {
  }
}

}  // namespace kel
