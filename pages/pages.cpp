// Seams of editing, undo and the pages.
#include "pages/pages.h"

#include "app/program.h"

namespace kel {

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

void Pages::IztrBackSpace() {}

Picture Pages::Form7Icon() {
  LoadForm7();
  const std::string path = joinPath(joinPath(p.files.programFolder(), "Simbol"), "kursor.gif");
  return p.desktop.loadPicture(path).value_or(Picture{});
}

}  // namespace kel
