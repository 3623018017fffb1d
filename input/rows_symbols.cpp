// Interpreter rows: the palette's symbol codes, the limit positions and the limits dialogs.
#include <algorithm>
#include <cmath>
#include <string>

#include "app/program.h"
#include "input/interpreter.h"
#include "platform/units.h"

namespace kel {

namespace {

// Pictures with a word name (or a number without a small form), whatever the shift flag.
struct NamedPicture {
  int code;
  const char* name;
};
constexpr NamedPicture kNamedPictures[] = {
    {1001, "plusminus"}, {1004, "pomalkoravno"}, {1005, "pogolyamoravno"}, {1006, "koren"},
    {1007, "strelka"},   {1010, "prinadleji"},   {1011, "1011"},           {1012, "hskoba"},
    {1013, "pi"},        {1014, "strelka2"},
};

// Marks drawn over the symbol before the pointer: placed up and to the left of it, after
// which typing goes on where it was.
struct Overlay {
  int code;
  const char* name;
  int leftPx, upPx;
};
constexpr Overlay kOverlays[] = {
    {1015, "1015", 22, 16}, {1016, "1016", 32, 20}, {2015, "2015", 22, 16}};

// The sum and the integral: on the line they first become the anchor of the limits.
constexpr int kSum = 1032, kIntegral = 1050;

// Where the limits of an integral (1054-1056) and of a sum (1060-1062) begin, from the
// anchor; the upper and lower limits also start 4 px further left per character.
enum class LimitShift { None, Upper, Lower };
struct LimitPosition {
  int code;
  int dx;
  LimitShift shift;
  int dy;
  int hotkeyAssignAction;  // 0: a limit start; 1 or 2: behind the sign, the end of the limits
};
constexpr LimitPosition kLimitPositions[] = {
    {1054, 9, LimitShift::Upper, -26, 0}, {1055, 5, LimitShift::Lower, 42, 0},
    {1056, 20, LimitShift::None, 0, 1},   {1060, 9, LimitShift::Upper, -18, 0},
    {1061, 9, LimitShift::Lower, 39, 0},  {1062, 25, LimitShift::None, 0, 2},
};

constexpr int kIntegralDialog = 1057, kSumDialog = 1058;

constexpr int kFirstNumberedPicture = 1017, kLastNumberedPicture = 1051;
bool isNumberedPicture(int code) {
  return (code >= kFirstNumberedPicture && code <= 1022) ||
         (code >= 1026 && code <= kLastNumberedPicture);
}

void placeOverlay(PlayedItem& item, const Overlay& o) {
  Program& p = item.p;
  const double x = p.PointerX, y = p.PointerY;
  p.PointerX -= o.leftPx;
  p.PointerY -= o.upPx;
  item.placePicture(o.name);
  p.PointerX = x;
  p.PointerY = y;
  item.movePointer();
}

void goToLimit(PlayedItem& item, const LimitPosition& l) {
  Program& p = item.p;
  const int shift = l.shift == LimitShift::Upper   ? p.UpperBoundShiftX
                    : l.shift == LimitShift::Lower ? p.LowerBoundShiftX
                                                   : 0;
  p.PointerX = p.BoundsAnchorX + l.dx + shift;
  if (l.shift != LimitShift::None) {
    // A long limit starts no further left than the page itself, right of the left border
    // frame: on the frame the background timers stop and the limit would scatter.
    const MainWindow& w = p.Form1;
    const double pageLeft = w.Left / kTwipsPerPixel + kFrameLeftPx +
                            (w.Label19.Left + w.Label19.Width) / kTwipsPerPixel;
    p.PointerX = std::max(p.PointerX, std::ceil(pageLeft) + 1);
  }
  p.PointerY = p.BoundsAnchorY + l.dy;
  item.movePointer();
  if (l.hotkeyAssignAction != 0) {
    // The construction is complete: F8 is bound to its dialog half a second later, and
    // the key capture, held while the limits were typed, goes on, unless the other limits
    // dialog is open meanwhile: what is typed into it stays out of the formula.
    p.HotkeyAssignAction = l.hotkeyAssignAction;
    p.Form1.Timer17.setEnabled(true);
    p.evaluation.EndBoundsHold();
    // A click on the page made while the limits were typed takes effect now.
    p.input.LimitsStand();
  }
}

void openLimitsDialog(PlayedItem& item, int dialog) {
  Program& p = item.p;
  p.BusyFlag = 1;
  p.BoundsQueueState = 1;
  p.BoundsAnchorX = p.PointerX;
  p.BoundsAnchorY = p.PointerY;
  p.evaluation.ShowLimitsDialog(dialog);
}

}  // namespace

bool playSymbolRows(PlayedItem& item) {
  Program& p = item.p;

  for (const NamedPicture& n : kNamedPictures) {
    if (!item.codeIs(n.code)) continue;
    if (!item.ctrlGateOpen()) return false;
    item.placePicture(n.name);
    return true;
  }

  for (const Overlay& o : kOverlays) {
    if (!item.codeIs(o.code)) continue;
    if (!item.ctrlGateOpen()) return false;
    placeOverlay(item, o);
    return true;
  }

  // The numbered pictures: only for the shift flag "0"; the name is the code's own
  // digits, however the item wrote the number.
  if (item.codeIn(kFirstNumberedPicture, kLastNumberedPicture)) {
    const double v = item.codeValue().value_or(0);
    const int code = static_cast<int>(v);
    if (v == code && isNumberedPicture(code) && item.shiftIs(0) && item.ctrlGateOpen()) {
      if ((code == kSum || code == kIntegral) && item.onTheLine()) {
        p.BoundsAnchorX = p.PointerX;
        p.BoundsAnchorY = p.PointerY;
      }
      item.placePicture(std::to_string(code));
      return true;
    }
    return false;
  }

  // The limit rows and the dialogs look at nothing but the code: not at Ctrl, the shift
  // flag or the index mode.
  for (const LimitPosition& l : kLimitPositions) {
    if (!item.codeIs(l.code)) continue;
    goToLimit(item, l);
    return true;
  }
  if (item.codeIs(kIntegralDialog)) {
    openLimitsDialog(item, 1);
    return true;
  }
  if (item.codeIs(kSumDialog)) {
    openLimitsDialog(item, 2);
    return true;
  }
  return false;
}

}  // namespace kel
