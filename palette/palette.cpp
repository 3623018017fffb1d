// The palette buttons, the presses that keep the on-screen keyboard out of the way, and what
// the rest of the program asks of that keyboard.
#include "palette/palette.h"

#include <exception>
#include <optional>

#include "app/program.h"
#include "palette/palette_buttons.h"

namespace kel {

namespace {

// A control's mouse event handed to a procedure of the palette.
MouseHandler mouse(Palette& palette, void (Palette::*procedure)(int, int, double, double)) {
  return
      [&palette, procedure](int b, int s, double x, double y) { (palette.*procedure)(b, s, x, y); };
}

}  // namespace

void Palette::WireEvents() {
  MainWindow& w = p.Form1;
  const MouseHandler block = [this](int, int, double, double) { BlokVirtualKlav(); };

  for (const PaletteCell& cell : kPaletteCells) {
    CommandButton& b = w.*cell.button;
    const int code = cell.code;
    b.Click = [this, code] { PaletteButton_Click(code); };
    b.MouseDown = block;
  }
  w.Command58.Click = [this] { p.evaluation.Command58_Click(); };
  w.Command59.Click = [this] { p.evaluation.Command59_Click(); };
  // Every control whose press hides a shown on-screen keyboard, besides the palette.
  for (Control* c : std::initializer_list<Control*>{
           &w.Check1, &w.Command2, &w.Command15, &w.Command16, &w.Command58, &w.Command59,
           &w.Command60, &w.Command61, &w.Command33, &w.Command34, &w.Command69, &w.Command70,
           &w.Label11})
    c->MouseDown = block;
  w.Check1.MouseUp = mouse(*this, &Palette::Check1_MouseUp);
  // A button takes the focus when it is pressed: the "=" of the result row stops the
  // keyboard's refresh then, and its click starts it again.
  w.Command17.MouseDown = [this](int, int, double, double) { Command17_GotFocus(); };
  w.Command15.MouseUp = mouse(*this, &Palette::Command15_MouseUp);
  w.Command16.MouseUp = mouse(*this, &Palette::Command16_MouseUp);

  w.Image8.Click = [this] { Image8_Click(); };
  w.Image12.Click = [this] { Image12_Click(); };
  w.Image14.Click = [this] { Image14_Click(); };
  w.Image15.Click = [this] { Image15_Click(); };
  w.Image16.Click = [this] { Image16_Click(); };
  w.Image17.Click = [this] { Image17_Click(); };

  w.Command32.Click = [this] { Command32_Click(); };
  w.Command33.Click = [this] { Command33_Click(); };
  w.Command34.Click = [this] { Command34_Click(); };

  w.Timer28.Tick = [this] { Timer28_Timer(); };

  keyboard.WireEvents();
  indicator.WireEvents();
}

void Palette::LoadButtonFaces() {
  MainWindow& w = p.Form1;
  auto face = [&](CommandButton& b, const std::string& name) {
    const std::optional<std::string> file = p.surface.PictureFile(name);
    if (!file) return;
    try {
      if (std::optional<Picture> pic = p.desktop.loadPicture(*file)) b.Picture = *pic;
    } catch (const std::exception&) {
    }
  };
  for (const PaletteCell& cell : kPaletteCells) face(w.*cell.button, FaceName(cell.code));
  for (const PaletteCell& cell : kLimitsCells) face(w.*cell.button, FaceName(cell.code));
  face(w.Command32, "btnf8");
  face(w.Command33, "btnf9");
  face(w.Command34, "btnf10");
}

CommandButton* Palette::PaletteButton(int code) {
  for (const PaletteCell& cell : kPaletteCells)
    if (cell.code == code) return &(p.Form1.*cell.button);
  return nullptr;
}

void Palette::PaletteButton_Click(int code) {
  MainWindow& w = p.Form1;
  CommandButton* b = PaletteButton(code);
  if (!b) return;
  p.surface.ZapomniTuk2();
  p.PendingCode = code;
  w.Timer6.setEnabled(true);
  w.Picture2.Picture = b->Picture;
}

void Palette::BlokVirtualKlav() {
  if (p.Form8Shown != 1) return;
  HideForm8();
  p.Form8Shown = 0;
  p.Form8Suspended = 1;
}

// The keyboard's own timer sets Form8Shown again at its next tick.
void Palette::Command15_MouseUp(int, int, double, double) {
  if (p.Form8Suspended == 1) ShowForm8();
  if (p.Form8Shown == 1) ShowForm8();
}

void Palette::Command16_MouseUp(int b, int s, double x, double y) { Command15_MouseUp(b, s, x, y); }

void Palette::Check1_MouseUp(int, int, double, double) {
  if (p.Form8Suspended != 1) return;
  ShowForm8();
  p.Form8Shown = 1;
}

void Palette::Command17_GotFocus() {
  if (p.Form8Shown == 1) StopForm8Timer();
}

// --- the on-screen keyboard, as the rest of the program asks for it -------------------------

void Palette::ShowForm8() { keyboard.Show(); }

void Palette::HideForm8() { keyboard.Hide(); }

bool Palette::Form8Visible() const { return keyboard.Visible(); }

void Palette::UnloadForm8() { keyboard.Unload(); }

FormRectTw Palette::Form8Rect() const {
  const KeyboardForm& f = p.Form8;
  return {f.Left, f.Top, f.Width, f.Height};
}

void Palette::SetForm8KeyVisible(int index, bool visible) {
  KeyboardForm& f = p.Form8;
  if (f.Loaded && f.Command3.IsLoaded(index)) f.Command3[index].Visible = visible;
}

void Palette::ResetForm8KeyColours() { keyboard.ResetKeyColours(); }

void Palette::StopForm8Timer() { p.Form8.Timer1.setEnabled(false); }

}  // namespace kel
