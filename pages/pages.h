// What the main window uses of editing, undo and the pages. Until those are built
// these are seams: they keep only the effects the main window relies on.
#pragma once

#include <string>

#include "platform/forms.h"

namespace kel {

class Program;
struct SelectionWindow;

class Pages {
 public:
  explicit Pages(Program& p) : p(p) {}

  // --- the selection rectangle ------------------------------------------------------------
  // The drag watcher (50 ms, one of the background group): a press on the page takes the
  // anchor, a move of more than 10 px shows the selection window there, the release reads
  // the dragged rectangle and unloads the window.
  void Timer22_Timer();
  // The sizing timer (50 ms while a drag is on): sizes the selection window to the pointer.
  void Timer18_Timer();
  // The selection window, loaded (hidden, its load step run) when it is not: whatever
  // refers to the window loads it.
  SelectionWindow& LoadedForm2();
  void Form2_Load();
  void Form2_Resize();
  // Sizes the window (twips); a negative size is not applied. Every change of size runs
  // its resize step.
  void SetForm2Width(double width);
  void SetForm2Height(double height);
  // Unloads the selection rectangle window; nothing when it is not loaded.
  void UnloadForm2();
  // The drag state: 0 idle, 1 the left button is down and the anchor taken, 2 dragging
  // with the window shown. The anchor is the pointer at the press (pixels, and twips).
  int DragState = 0;
  long DragAnchorX = 0, DragAnchorY = 0;
  double DragAnchorTwipsX = 0, DragAnchorTwipsY = 0;
  // The number of the page shown, as a reading keeps it with its selection. Until the
  // page slots are built there is only the first.
  std::string CurrentPageText() const { return "1"; }
  // ---------------------------------------------------------------------------------------
  // The paste/cut pop-up: loading it (shown or not) runs its load step, which switches
  // the pointer-leaves-window check off; unloading it switches that check on again.
  void LoadForm7();
  void UnloadForm7();
  bool Form7Loaded() const { return form7Loaded_; }
  // Loads the pop-up, puts its top-left corner at (leftTw, topTw) on the screen and shows
  // it without waiting for it.
  void ShowForm7At(double leftTw, double topTw);
  bool Form7Shown() const { return form7Shown_; }
  double Form7Left() const { return form7Left_; }
  double Form7Top() const { return form7Top_; }
  // The pop-up's window icon, which the page also takes as its mouse pointer.
  Picture Form7Icon();
  // Records one undo step of the page.
  void SaveUndoSnapshot();
  // Paste (F4) and Backspace, as the interpreters hand them over.
  void Prepihi();
  void IztrBackSpace();
  // Delete the selection (Ctrl+X, Delete) and Undo (Ctrl+Z, the Undo button).
  void DelSelektirano();
  void Command69_Click();
  // Until editing is built, paste, delete and undo count their runs, so that their
  // callers can be seen.
  int prepihiRuns = 0, delSelektiranoRuns = 0, command69Runs = 0;

 private:
  Program& p;
  bool form7Loaded_ = false;
  bool form7Shown_ = false;
  double form7Left_ = 0, form7Top_ = 0;
};

}  // namespace kel
