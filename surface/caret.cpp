// The caret: where the next symbol goes, blinking, with the picture of the index mode.
#include <exception>
#include <optional>
#include <string>

#include "app/program.h"
#include "platform/units.h"

namespace kel {

namespace {

// The caret is turned over on the tick after its count has passed this: every 11 ticks,
// 550 ms.
constexpr int kBlinkTicks = 9;

}  // namespace

void Surface::LoadDesignPictures() {
  MainWindow& w = p.Form1;
  auto read = [&](const char* name) -> std::optional<Picture> {
    const std::optional<std::string> file = PictureFile(name);
    if (!file) return std::nullopt;
    try {
      return p.desktop.loadPicture(*file);
    } catch (const std::exception&) {
      return std::nullopt;
    }
  };
  const struct {
    PictureBox* box;
    const char* name;
  } carets[] = {{&w.Picture00, "caret0"}, {&w.Picture3, "caret1"}, {&w.Picture4, "caret2"}};
  for (const auto& c : carets)
    if (std::optional<Picture> pic = read(c.name)) c.box->Picture = *pic;

  const struct {
    Image* image;
    const char* name;
  } keys[] = {{&w.Image13, "keyf12"},  {&w.Image1, "keyf12low"},  {&w.Image8, "keyf12"},
              {&w.Image12, "keyesc"},  {&w.Image14, "keyinsert"}, {&w.Image16, "keypagedown"},
              {&w.Image17, "keyhome"}, {&w.Image15, "keypageup"}};
  for (const auto& k : keys)
    if (std::optional<Picture> pic = read(k.name)) showPicture(*k.image, *pic);
}

void Surface::Timer24_Timer() {
  MainWindow& w = p.Form1;
  const PointPx c = p.desktop.cursorPos();
  p.PointerPoint = {c.x, c.y};
  const double left = singleDiv15(w.Left);

  const bool overTools = p.PointerOverForm8 == 1 || c.x > left + singleDiv15(w.Frame6.Left);
  double px, py;
  if (overTools) {
    px = p.PointerX;
    py = p.PointerY;
    p.PointerOverPanel = 1;
  } else {
    px = c.x;
    py = c.y;
    p.PointerOverPanel = 0;
  }

  w.Picture1.Left = InsertXFor(px) - 30;
  w.Picture1.Top = InsertYFor(py) - w.Picture1.Height / 2;

  if (p.CaretBlinkCount > kBlinkTicks) {
    p.CaretBlinkCount = 0;
    w.Picture1.Visible = !w.Picture1.Visible;
  } else {
    p.CaretBlinkCount += 1;
  }

  if (p.UpperIndexMode == 1) {
    w.Picture1.Picture = w.Picture3.Picture;
  } else if (p.LowerIndexMode == 1) {
    w.Picture1.Picture = w.Picture4.Picture;
    showPicture(w.Image8, w.Image1.Picture);
  } else {
    w.Picture1.Picture = w.Picture00.Picture;
    showPicture(w.Image8, w.Image13.Picture);
  }
}

namespace {

enum class MouseEventKind { Down, Move, Up };

// Hands an event at a page point to the topmost shown element of an array there (a later
// element lies above an earlier one; element 0 is the template the others are copied
// from), relative to that element; false when none is there. The form's index finds it, so
// a move over a page of thousands of symbols looks at the few near the pointer.
template <class C>
bool passToElement(const Form& f, ControlArray<C>& a, MouseEventKind kind, int button, int shift,
                   double x, double y) {
  const Control* e = f.topmostElement(a, 1, x, y);
  if (!e) return false;
  const auto& handler = kind == MouseEventKind::Down   ? a.MouseDown
                        : kind == MouseEventKind::Move ? a.MouseMove
                                                       : a.MouseUp;
  if (handler) handler(e->Index, button, shift, x - e->Left, y - e->Top);
  return true;
}

// An event on the caret (x, y relative to it) goes to what lies under it: the caret and
// the symbols are children of the page, so their places are page twips.
void passCaretEvent(MainWindow& w, MouseEventKind kind, int button, int shift, double x, double y) {
  const double px = w.Picture1.Left + x, py = w.Picture1.Top + y;
  // Pictures lie above text symbols.
  if (passToElement(w, w.Image3, kind, button, shift, px, py)) return;
  if (passToElement(w, w.Label3, kind, button, shift, px, py)) return;
  const MouseHandler& page = kind == MouseEventKind::Down   ? w.Frame5.MouseDown
                             : kind == MouseEventKind::Move ? w.Frame5.MouseMove
                                                            : w.Frame5.MouseUp;
  if (page) page(button, shift, px, py);
}

}  // namespace

void Surface::Picture1_MouseDown(int button, int shift, double x, double y) {
  passCaretEvent(p.Form1, MouseEventKind::Down, button, shift, x, y);
}

void Surface::Picture1_MouseMove(int button, int shift, double x, double y) {
  passCaretEvent(p.Form1, MouseEventKind::Move, button, shift, x, y);
}

void Surface::Picture1_MouseUp(int button, int shift, double x, double y) {
  passCaretEvent(p.Form1, MouseEventKind::Up, button, shift, x, y);
}

}  // namespace kel
