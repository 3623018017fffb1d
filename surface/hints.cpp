// The fraction stage hints: the key to press next while a fraction is typed, on the main
// window's panel and on the on-screen keyboard's three fraction keys.
#include <initializer_list>

#include "app/program.h"

namespace kel {

namespace {

constexpr int kForm8InsertKey = 54, kForm8PageDownKey = 55, kForm8HomeKey = 56;

void setVisible(std::initializer_list<Control*> controls, bool visible) {
  for (Control* c : controls) c->Visible = visible;
}

}  // namespace

void Surface::ZachisvaneHome() {
  MainWindow& w = p.Form1;
  setVisible({&w.Image15, &w.Label6, &w.Line6, &w.Label4, &w.Line7, &w.Image16, &w.Label5, &w.Line8,
              &w.Image17},
             false);
  setVisible({&w.Image14, &w.Label10, &w.Line14}, true);
  if (p.Form8Shown == 1) p.palette.SetForm8KeyVisible(kForm8InsertKey, true);
  if (p.Form8Shown == 1) p.palette.SetForm8KeyVisible(kForm8HomeKey, false);
}

void Surface::PokazvaneZaHome1() {
  MainWindow& w = p.Form1;
  setVisible({&w.Image14, &w.Label10, &w.Line14}, false);
  setVisible({&w.Label4, &w.Line7, &w.Image16}, true);
  if (p.Form8Shown == 1) p.palette.SetForm8KeyVisible(kForm8InsertKey, false);
  if (p.Form8Shown == 1) p.palette.SetForm8KeyVisible(kForm8PageDownKey, true);
}

void Surface::PokazvaneZaHome2() {
  MainWindow& w = p.Form1;
  setVisible({&w.Label4, &w.Line7, &w.Image16}, false);
  setVisible({&w.Label5, &w.Line8, &w.Image17}, true);
  if (p.Form8Shown == 1) p.palette.SetForm8KeyVisible(kForm8PageDownKey, false);
  if (p.Form8Shown == 1) p.palette.SetForm8KeyVisible(kForm8HomeKey, true);
}

}  // namespace kel
