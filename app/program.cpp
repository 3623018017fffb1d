#include "app/program.h"

namespace kel {

namespace {

// A control's mouse event handed to a procedure of an area.
template <class Area>
MouseHandler mouse(Area& area, void (Area::*procedure)(int, int, double, double)) {
  return [&area, procedure](int b, int s, double x, double y) { (area.*procedure)(b, s, x, y); };
}

}  // namespace

Program::Program(Desktop& d, Files& f, Scheduler& s)
    : desktop(d),
      files(f),
      scheduler(s),
      Form1(s),
      Form2(),
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
  w.Moved = [this] { app.Form_Move(); };
  w.QueryUnload = [this] { return app.Form_QueryUnload(); };
  w.Unload = [this] { close(); };

  w.TimerStart0.Tick = [this] { app.TimerStart0_Timer(); };
  w.Timer21.Tick = [this] { app.Timer21_Timer(); };
  w.Timer25.Tick = [this] { surface.Timer25_Timer(); };
  w.Timer6.Tick = [this] { palette.Timer6_Timer(); };

  w.Timer1.Tick = [this] { input.Timer1_Timer(); };
  w.Timer0.Tick = [this] { input.Timer0_Timer(); };
  w.Timer00.Tick = [this] { input.Timer00_Timer(); };
  w.Timer13.Tick = [this] { input.Timer13_Timer(); };
  w.Timer14.Tick = [this] { input.Timer14_Timer(); };
  w.Timer19.Tick = [this] { input.Timer19_Timer(); };
  w.Timer20.Tick = [this] { input.Timer20_Timer(); };
  w.Text7.Change = [this] { input.Text7_Change(); };
  w.Text9.Change = [this] { input.Text9_Change(); };
  w.Timer23.Tick = [this] { app.Timer23_Timer(); };
  w.Label17.MouseMove = mouse(app, &App::Label17_MouseMove);
  w.Label18.MouseMove = mouse(app, &App::Label18_MouseMove);
  w.Label19.MouseMove = mouse(app, &App::Label19_MouseMove);
  w.label20.MouseMove = mouse(app, &App::label20_MouseMove);
  w.Text21.MouseMove = mouse(app, &App::Text21_MouseMove);
  w.Frame5.MouseMove = mouse(app, &App::Frame5_MouseMove);
  w.Frame5.MouseDown = mouse(app, &App::Frame5_MouseDown);
  w.Frame5.MouseUp = mouse(app, &App::Frame5_MouseUp);
  w.Frame6.MouseMove = mouse(app, &App::Frame6_MouseMove);
  w.Command60.Click = [this] { app.Command60_Click(); };
  w.Command61.Click = [this] { app.Command61_Click(); };
  w.Timer4.Tick = [this] { surface.Timer4_Timer(); };
  w.Command14.Click = [this] { surface.Command14_Click(); };
  w.timerNovaDrob.Tick = [this] { input.timerNovaDrob_Timer(); };
  w.Timer17.Tick = [this] { palette.Timer17_Timer(); };
  w.Timer32.Tick = [this] { evaluation.Timer32_Timer(); };
  // Evaluation: the hidden panel's buttons.
  w.Command11.Click = [this] { evaluation.Command11_Click(); };
  w.Command37.Click = [this] { evaluation.Command37_Click(); };

  w.Timer24.Tick = [this] { surface.Timer24_Timer(); };
  w.Picture1.MouseDown = mouse(surface, &Surface::Picture1_MouseDown);
  w.Picture1.MouseMove = mouse(surface, &Surface::Picture1_MouseMove);
  w.Picture1.MouseUp = mouse(surface, &Surface::Picture1_MouseUp);
  w.Timer27.Tick = [this] { surface.Timer27_Timer(); };
  w.Image3.MouseDown = [this](int i, int b, int s, double x, double y) {
    surface.Image3_MouseDown(i, b, s, x, y);
  };
  w.Label3.MouseDown = [this](int i, int b, int s, double x, double y) {
    surface.Label3_MouseDown(i, b, s, x, y);
  };
  w.Timer16.Tick = [this] { input.Timer16_Timer(); };
  w.TimerM1.Tick = [this] { input.TimerM1_Timer(); };
  w.TimerM2.Tick = [this] { input.TimerM2_Timer(); };
  w.TextM1.Change = [this] { input.TextM1_Change(); };
  w.Timer15.Tick = [this] { input.Timer15_Timer(); };
  w.Timer8.Tick = [this] { input.Timer8_Timer(); };
  w.Timer10.Tick = [this] { input.Timer10_Timer(); };

  // --- the palette and the limits dialogs -------------------------------------------------
  palette.WireEvents();
  WireLimitsDialogs(*this);
  // --- end of the palette's block ---------------------------------------------------------

  // --- reading a selection back and the result row ---
  w.Timer22.Tick = [this] { pages.Timer22_Timer(); };
  w.Timer18.Tick = [this] { pages.Timer18_Timer(); };
  Form2.Load = [this] { pages.Form2_Load(); };
  Form2.Resize = [this] { pages.Form2_Resize(); };
  w.Timer11.Tick = [this] { evaluation.Timer11_Timer(); };
  w.Timer12.Tick = [this] { evaluation.Timer12_Timer(); };
  w.Text8.Change = [this] { evaluation.Text8_Change(); };
  w.Check1.Click = [this] { evaluation.Check1_Click(); };
  w.Gradusi.Click = [this] { evaluation.Gradusi_Click(); };
  w.Text1.Click = [this] { evaluation.Text1_Click(); };
  w.Text8.Click = [this] { evaluation.Text8_Click(); };
  w.Command17.Click = [this] { evaluation.Command17_Click(); };
  w.Command74.Click = [this] { evaluation.Command74_Click(); };
  // ---
  pages.WireEvents();  // pages: undo, the page buttons, clear all, the page files
}

void Program::start() {
  // Before anything reads or writes the folder's files: two runs would overwrite each
  // other's options and pages, and both would take the keys typed.
  if (!app.TakeProgramFolder()) {
    leftToOtherRun_ = true;
    closed_ = true;  // never loaded: its unload step must not run
    return;
  }
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
