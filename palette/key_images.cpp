// The six key pictures of the panel: a click queues its key as if it had been typed, and
// the pointer comes back to the picture once the key has been played. Insert, Page Down
// and Home also show the next step of a fraction.
#include <initializer_list>

#include "app/program.h"

namespace kel {

namespace {

constexpr const char* kF12 = "123";
constexpr const char* kEsc = "27";
constexpr const char* kInsert = "45";
constexpr const char* kPageUp = "33";
constexpr const char* kPageDown = "34";
constexpr const char* kHome = "36";

}  // namespace

void Palette::keyImageClick(const char* code) {
  // The pointer stays on the picture: Esc and F12 take the index from the insertion point
  // the program keeps, not from the pointer taken there first.
  p.surface.ZapomniTuk2();
  p.input.AppendQueueItem(code, "0");
  // Matches no row of the dispatcher: only its common steps run, the pointer return
  // among them.
  p.PendingCode = "Nisto";
  p.Form1.Timer6.setEnabled(true);
}

void Palette::Image8_Click() { keyImageClick(kF12); }

void Palette::Image12_Click() { keyImageClick(kEsc); }

void Palette::Image14_Click() {
  keyImageClick(kInsert);
  p.surface.PokazvaneZaHome1();
}

void Palette::Image15_Click() { keyImageClick(kPageUp); }

void Palette::Image16_Click() {
  keyImageClick(kPageDown);
  p.surface.PokazvaneZaHome2();
}

// The Insert group comes back when the Home key is played.
void Palette::Image17_Click() {
  keyImageClick(kHome);
  MainWindow& w = p.Form1;
  for (Control* c :
       std::initializer_list<Control*>{&w.Image15, &w.Label6, &w.Line6, &w.Label4, &w.Line7,
                                       &w.Image16, &w.Label5, &w.Line8, &w.Image17})
    c->Visible = false;
}

}  // namespace kel
