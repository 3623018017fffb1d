// The one object that owns a running program: its windows, the variables its
// procedures share, and the areas whose procedures work on them. Tests create as many
// as they like, each on its own desktop, files and scheduler.
#pragma once

#include "app/app.h"
#include "app/main_window.h"
#include "app/shared_state.h"
#include "evaluation/evaluation.h"
#include "evaluation/limits_dialogs.h"
#include "input/input.h"
#include "pages/pages.h"
#include "pages/paste_cut_popup.h"
#include "pages/selection_window.h"
#include "palette/palette.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/timer.h"
#include "surface/surface.h"

namespace kel {

class Program : public SharedState {
 public:
  Program(Desktop& desktop, Files& files, Scheduler& scheduler);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  Desktop& desktop;
  Files& files;
  Scheduler& scheduler;

  MainWindow Form1;
  // --- the limits dialogs "Definite integral" and "Sum" (evaluation/) ---------------------
  LimitsDialogForm Form4{LimitsKind::Integral};
  LimitsDialogForm Form5{LimitsKind::Sum};
  // --- end of the limits dialogs' block ---------------------------------------------------
  // --- the other windows ---
  SelectionWindow Form2;
  // ---
  // --- the on-screen keyboard and the key indicator (palette/) -----------------------------
  KeyboardForm Form8{scheduler};
  KeyIndicatorForm Form3;
  // --- end of the keyboard's block --------------------------------------------------------
  // --- editing: the paste/cut pop-up (pages/) ----------------------------------------------
  PasteCutPopup Form7{scheduler};
  // --- end of the editing block ------------------------------------------------------------

  App app;
  Surface surface;
  Input input;
  Palette palette;
  Evaluation evaluation;
  Pages pages;

  // Loads the main window (its load step) and shows it (which runs its layout pass). When
  // another run holds the program folder, it says so, raises that run's window and ends
  // at once: nothing of the folder is read or written.
  void start();
  // This start found the program already running from its folder and left it to it.
  bool leftToOtherRun() const { return leftToOtherRun_; }
  // Closes the main window: its unload step runs once, however often this is called
  // (close button, a signal at logout, the end of main).
  void close();
  bool closed() const { return closed_; }

 private:
  void wireEvents();
  bool closed_ = false;
  bool leftToOtherRun_ = false;
};

}  // namespace kel
