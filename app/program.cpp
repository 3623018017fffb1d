#include "app/program.h"

namespace kel {

Program::Program(Desktop& d, Files& f, Scheduler& s)
    : desktop(d),
      files(f),
      scheduler(s),
      Form1(s),
      app(*this),
      surface(*this),
      input(*this),
      palette(*this),
      evaluation(*this),
      pages(*this) {
  wireEvents();
}

void Program::wireEvents() {
  MainWindow& w = Form1;
  w.Load = [this] { app.Form_Load(); };
  w.Resize = [this] { app.Form_Resize(); };
  w.Unload = [this] { close(); };

  w.TimerStart0.Tick = [this] { app.TimerStart0_Timer(); };
  w.Timer21.Tick = [this] { app.Timer21_Timer(); };
  w.Timer25.Tick = [this] { surface.Timer25_Timer(); };
  w.Timer6.Tick = [this] { palette.Timer6_Timer(); };
}

void Program::start() {
  Form1.Loaded = true;
  if (Form1.Load) Form1.Load();
  desktop.showForm(Form1);
}

void Program::close() {
  if (closed_) return;
  closed_ = true;
  app.Form_Unload();
  desktop.unloadForm(Form1);
}

}  // namespace kel
