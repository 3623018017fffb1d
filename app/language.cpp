// Interface language: the captions and colours of English or Bulgarian, switched together
// with the typing layout.
#include "app/program.h"

namespace kel {

namespace {

// Requests that make the dispatcher queue nothing and run only its common steps.
constexpr long long kToEnglishRequest = 100000000001LL;
constexpr long long kToBulgarianRequest = 10000000001LL;

}  // namespace

void App::OcvetiEn() {
  MainWindow& w = p.Form1;
  w.Command60.Visible = false;
  w.Command61.Visible = true;
}

void App::OcvetiBG() {
  MainWindow& w = p.Form1;
  w.Command61.Visible = false;
  w.Command60.Visible = true;
}

void App::Command60_Click() {
  MainWindow& w = p.Form1;
  p.desktop.setFocus(w, w.Command63);
  OcvetiEn();
  p.LatinLayout = 1;
  p.PendingCode = kToEnglishRequest;
  p.surface.MovePointerToInsertionPoint();
  w.Timer6.setEnabled(true);
}

void App::Command61_Click() {
  MainWindow& w = p.Form1;
  p.desktop.setFocus(w, w.Command63);
  OcvetiBG();
  p.LatinLayout = 0;
  p.PendingCode = kToBulgarianRequest;
  p.surface.MovePointerToInsertionPoint();
  w.Timer6.setEnabled(true);
}

}  // namespace kel
