// Interface language: the captions and colours of English or Bulgarian, switched together
// with the typing layout.
#include "app/program.h"

namespace kel {

namespace {

// Requests that make the dispatcher queue nothing and run only its common steps; they are
// stored as floating-point numbers.
constexpr double kToEnglishRequest = 100000000001.0;
constexpr double kToBulgarianRequest = 10000000001.0;

// The thirteen captions that follow the language, in this order; every blank belongs to
// its caption.
struct Captions {
  const char* Label1;
  const char* Label2;
  const char* Label6;
  const char* Label4;
  const char* Label5;
  const char* Label10;
  const char* Label11;
  const char* Command2;
  const char* Command3;
  const char* Command71;
  const char* Check1;
  const char* Label15;
  const char* Label16;
};

constexpr Captions kEnglish = {
    "Upper index",
    "Lower index",
    "On the line",
    "Below the line",
    "After the line",
    "Line",
    "    Clear All     ",
    "Stop",
    "Start",
    "Virtual Keyboard",
    "Round",
    "Copy and calculate -  drag with mouse",
    "Double click- memorizes position",
};

constexpr Captions kBulgarian = {
    "Горен индекс",
    "Долен индекс",
    "Над линията",
    "Под линията",
    "След линията",
    "Линия",
    "  Изчистване ",
    "Стоп",
    "Старт",
    "Виртуална клавиатура",
    "Закръгления",
    "Копиране и пресмятане-изтегляне с мишка",
    "Двоен клик - запомня позиция",
};

void applyLanguage(MainWindow& w, const Captions& c, Colour background) {
  w.Label1.Caption = c.Label1;
  w.Label2.Caption = c.Label2;
  w.Label6.Caption = c.Label6;
  w.Label4.Caption = c.Label4;
  w.Label5.Caption = c.Label5;
  w.Label10.Caption = c.Label10;
  w.Label11.Caption = c.Label11;
  w.Command2.Caption = c.Command2;
  w.Command3.Caption = c.Command3;
  w.Command71.Caption = c.Command71;
  w.Check1.Caption = c.Check1;
  w.Label15.Caption = c.Label15;
  w.Label16.Caption = c.Label16;

  w.Label17.BackColor = background;
  w.Label18.BackColor = background;
  w.Label19.BackColor = background;
  w.label20.BackColor = background;
  w.Frame8.BackColor = background;
  w.Frame6.BackColor = background;
  w.BackColor = background;
  w.Frame2.BackColor = background;
}

}  // namespace

void App::OcvetiEn() {
  MainWindow& w = p.Form1;
  applyLanguage(w, kEnglish, kBlack);
  englishCaptions_ = true;
  w.Command60.Visible = false;
  w.Command61.Visible = true;
}

void App::OcvetiBG() {
  MainWindow& w = p.Form1;
  applyLanguage(w, kBulgarian, kBlue);
  englishCaptions_ = false;
  w.Command61.Visible = false;
  w.Command60.Visible = true;
}

void App::Command60_Click() { switchLanguage(true, true); }

void App::Command61_Click() { switchLanguage(false, true); }

void App::SwitchLanguageTyped(bool english) { switchLanguage(english, false); }

// Both language buttons: captions and typing layout together, then the pointer back to
// the insertion point, away from the button, and the dispatcher's common steps. A code
// typed with the pointer resting on the panel leaves it there, as any typed key does: taken
// onto the page, the user's next click on the palette would fall on the page.
void App::switchLanguage(bool english, bool clicked) {
  MainWindow& w = p.Form1;
  p.desktop.setFocus(w, w.Command63);
  if (english)
    OcvetiEn();
  else
    OcvetiBG();
  p.LatinLayout = english ? 1 : 0;
  p.PendingCode = PendingValue(english ? kToEnglishRequest : kToBulgarianRequest);
  if (clicked)
    p.surface.MovePointerToInsertionPoint();
  else
    p.surface.FollowInsertionPoint();
  w.Timer6.setEnabled(true);
}

}  // namespace kel
