// What the main window uses of editing, undo and the pages. Until those are built
// these are seams: they keep only the effects the main window relies on.
#pragma once

#include "platform/forms.h"

namespace kel {

class Program;

class Pages {
 public:
  explicit Pages(Program& p) : p(p) {}

  // Unloads the selection rectangle window; nothing when it is not loaded.
  void UnloadForm2();
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
  // --- what the on-screen keyboard's Undo and Redo keys call -----------------------------
  // Redo (the main window's Command70), and the mark that an Undo button was pressed with
  // the mouse (UndoByMouse), which Undo then acts on.
  void Command70_Click();
  void NoteUndoByMouse();
  int command70Runs = 0, undoByMouseMarks = 0;
  // --- end of the keyboard's block --------------------------------------------------------
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
