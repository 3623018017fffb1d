// What the editing commands did, seen on the page: a selection of one symbol, "¤", placed
// away from where a test types. Each paste adds a copy of it at the insertion point, each
// delete or cut moves it up by the page's height; a few undos leave it where it is.
#pragma once

#include <cmath>
#include <string>

#include "app/program.h"
#include "evaluation/reading.h"
#include "platform/units.h"

namespace kel::test {

inline constexpr const char* kProbeCaption = "\xC2\xA4";  // ¤

struct EditingProbe {
  // Places the symbol with its insertion point at a screen point and selects it as a reading
  // does; the insertion point and the pointer go back where they were.
  EditingProbe(Program& program, PointPx at) : p(program) {
    const double x = p.PointerX, y = p.PointerY;
    const PointPx pointer = p.desktop.cursorPos();
    p.PointerX = at.x;
    p.PointerY = at.y;
    p.surface.PlaceTextSymbol(kProbeCaption, 24, false);
    index = p.SymbolCount;
    const Label& l = p.Form1.Label3[index];
    top = l.Top;
    p.Form1.List3.Clear();
    p.Form1.List3.AddItem(MakeSelectionRecord(static_cast<float>(l.Left), static_cast<float>(l.Top),
                                              static_cast<float>(l.Height),
                                              static_cast<float>(l.Width), kProbeCaption, true,
                                              index)
                              .Text);
    p.SelectionPage = p.pages.CurrentPageText();
    p.CutFlag = 0;
    p.PageNumberChanged = 0;
    p.PointerX = x;
    p.PointerY = y;
    p.desktop.setCursorPos(pointer.x, pointer.y);
    // Undo never goes back past it, however often a test undoes: the page with it is the
    // state before the first change.
    p.pages.StartUndoHistoryHere();
  }

  // The copies of the symbol made since.
  int pastes() const {
    int n = 0;
    for (int i = 1; i <= p.SymbolCount; ++i)
      if (i != index && p.SymbolKind[static_cast<size_t>(i)] == "bukva" &&
          p.Form1.Label3[i].Caption == kProbeCaption)
        ++n;
    return n;
  }
  // How many times it was deleted (moved up by the page's height).
  int deletes() const {
    return static_cast<int>(std::lround((top - p.Form1.Label3[index].Top) / p.Form1.Frame5.Height));
  }

  Program& p;
  int index = 0;
  double top = 0;
};

}  // namespace kel::test
