// The background group: eleven timers switched off and on as a whole.
#include "app/program.h"

namespace kel {

void App::Spirane() {
  MainWindow& w = p.Form1;
  for (Timer* t : {&w.Timer00, &w.Timer0, &w.Timer1, &w.Timer10, &w.Timer13, &w.Timer14,
                   &w.TimerM1, &w.Timer8, &w.Timer22, &w.Timer23, &w.Timer15})
    t->setEnabled(false);
}

void App::Startirane() {
  MainWindow& w = p.Form1;
  for (Timer* t : {&w.Timer00, &w.Timer0, &w.Timer10, &w.Timer13, &w.Timer14, &w.TimerM1,
                   &w.Timer8, &w.Timer22, &w.Timer23, &w.Timer15, &w.Timer1})
    t->setEnabled(true);
  p.BusyFlag = 0;
}

void App::Command2_Click() {
  p.UserStopped = 1;
  Spirane();
}

void App::Command3_Click() {
  p.UserStopped = 0;
  Startirane();
  if (p.Form8Suspended == 1) p.palette.ShowForm8();
}

}  // namespace kel
