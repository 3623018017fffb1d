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
  // The pop-up's window icon, which the page also takes as its mouse pointer.
  Picture Form7Icon();
  // Records one undo step of the page.
  void SaveUndoSnapshot();
  // Paste (F4) and Backspace, as the interpreters hand them over.
  void Prepihi();
  void IztrBackSpace();

 private:
  Program& p;
  bool form7Loaded_ = false;
};

}  // namespace kel
