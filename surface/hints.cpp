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

// The on-screen keyboard shows the key of one stage and hides the other two: Home typed in
// the numerator (Page Down skipped), or Insert after the denominator, would otherwise leave
// two fraction keys up and the user to guess which one is next.
void showForm8FractionKey(Program& p, int key) {
  if (p.Form8Shown != 1) return;
  for (int k : {kForm8InsertKey, kForm8PageDownKey, kForm8HomeKey})
    p.palette.SetForm8KeyVisible(k, k == key);
}

}  // namespace

void Surface::ZachisvaneHome() {
  MainWindow& w = p.Form1;
  setVisible({&w.Image15, &w.Label6, &w.Line6, &w.Label4, &w.Line7, &w.Image16, &w.Label5, &w.Line8,
              &w.Image17},
             false);
  setVisible({&w.Image14, &w.Label10, &w.Line14}, true);
  showForm8FractionKey(p, kForm8InsertKey);
}

void Surface::PokazvaneZaHome1() {
  MainWindow& w = p.Form1;
  setVisible({&w.Image14, &w.Label10, &w.Line14}, false);
  setVisible({&w.Label4, &w.Line7, &w.Image16}, true);
  showForm8FractionKey(p, kForm8PageDownKey);
}

void Surface::PokazvaneZaHome2() {
  MainWindow& w = p.Form1;
  setVisible({&w.Label4, &w.Line7, &w.Image16}, false);
  setVisible({&w.Label5, &w.Line8, &w.Image17}, true);
  showForm8FractionKey(p, kForm8HomeKey);
}

}  // namespace kel
