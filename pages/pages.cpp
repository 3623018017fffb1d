// Seams of editing, undo and the pages.
#include "pages/pages.h"

#include "app/program.h"

namespace kel {

void Pages::UnloadForm2() {}

void Pages::LoadForm7() {
  if (form7Loaded_) return;
  form7Loaded_ = true;
  // The pop-up's load step: while it is up the pointer leaving the main window must
  // not pause the background group.
  p.palette.BlokVirtualKlav();
  p.Form1.Timer23.setEnabled(false);
}

void Pages::ShowForm7At(double leftTw, double topTw) {
  LoadForm7();
  form7Left_ = leftTw;
  form7Top_ = topTw;
  form7Shown_ = true;
}

void Pages::UnloadForm7() {
  if (!form7Loaded_) return;
  form7Loaded_ = false;
  form7Shown_ = false;
  if (p.Form8Suspended == 1) p.palette.ShowForm8();
  p.Form1.Timer23.setEnabled(true);
}

void Pages::Prepihi() { ++prepihiRuns; }

void Pages::DelSelektirano() { ++delSelektiranoRuns; }

// What the queue relies on of Undo: it frees the player.
void Pages::Command69_Click() {
  ++command69Runs;
  p.BusyFlag = 0;
}

void Pages::IztrBackSpace() {}

// --- what the on-screen keyboard's Undo and Redo keys call ---------------------------------
void Pages::Command70_Click() { ++command70Runs; }

void Pages::NoteUndoByMouse() { ++undoByMouseMarks; }
// --- end of the keyboard's block -----------------------------------------------------------

Picture Pages::Form7Icon() {
  LoadForm7();
  const std::string path = joinPath(joinPath(p.files.programFolder(), "Simbol"), "kursor.gif");
  return p.desktop.loadPicture(path).value_or(Picture{});
}

// Until the history is built, a snapshot keeps only its visible effects: the Undo
// button shows and the undo index grows by one step.
void Pages::SaveUndoSnapshot() {
  p.Form1.Command69.Visible = true;
  p.UndoIndex += 1;
}

}  // namespace kel
