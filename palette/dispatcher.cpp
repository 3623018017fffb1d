// The pending-code dispatcher and the pointer return.
#include <cmath>
#include <string>

#include "app/program.h"
#include "palette/palette_buttons.h"

namespace kel {

namespace {

// "100" and a virtual-key code: the key appended, with its shift flag.
struct KeyRequest {
  long long request;
  const char* code;
  const char* shift;
};
constexpr KeyRequest kKeyRequests[] = {
    {10027, "27", "0"},   {100123, "123", "0"}, {10045, "45", "0"},   {10033, "33", "0"},
    {10034, "34", "0"},   {10036, "36", "0"},   {100115, "115", "0"}, {10057, "57", "1"},
    {10048, "48", "1"},   {100107, "107", "0"}, {100109, "109", "0"}, {100106, "106", "0"},
    {100191, "191", "0"}, {100187, "187", "0"}, {10046, "46", "0"},
};

constexpr long long kIntegralDialog = 1057, kSumDialog = 1058;
constexpr long long kLanguageChords = 1000001;

// An insertion point this near an edge of the screen (pixels, strictly) is taken back to
// the writing position while nothing was ever queued.
constexpr double kEdgeLeftPx = 50, kEdgeTopPx = 150, kEdgeBottomPx = 50;

constexpr int kPointerReturnIntervalMs = 300;

}  // namespace

void Palette::Timer6_Timer() {
  MainWindow& w = p.Form1;
  w.Timer6.setEnabled(false);

  if (w.List1.ListCount() == 0) {
    const double h = p.desktop.screenSize().height / 15;
    if (p.PointerX < kEdgeLeftPx || p.PointerY < kEdgeTopPx ||
        std::abs(p.PointerY - h) < kEdgeBottomPx) {
      p.PointerX = p.MarkPointerX;
      p.PointerY = p.MarkPointerY;
    }
  }
  p.BusyFlag = 0;
  p.QueueLength += 1;

  // The slot keeps its value: a later dispatch without a new request repeats it.
  const PendingValue request = p.PendingCode;
  for (const PaletteCell& cell : kPaletteCells) {
    if (!request.is(cell.code)) continue;
    p.input.AppendQueueItem(std::to_string(cell.code), "0");
    w.Timer17.setEnabled(true);
  }
  for (const KeyRequest& k : kKeyRequests) {
    if (!request.is(k.request)) continue;
    p.input.AppendQueueItem(k.code, k.shift);
    w.Timer17.setEnabled(true);
  }
  if (p.ReturnClickPending == 1) {
    p.ReturnClickPending = 0;
    w.Timer28.setEnabled(true);
  }
  // Reopening a limits dialog binds nothing: F8 keeps what it holds.
  for (long long dialog : {kIntegralDialog, kSumDialog})
    if (request.is(dialog)) p.input.AppendQueueItem(std::to_string(dialog), "0");
  if (request.is(kLanguageChords)) w.Timer19.setEnabled(true);
  if (p.Form8Suspended == 1 && !Form8Visible()) ShowForm8();
}

void Palette::Timer28_Timer() {
  MainWindow& w = p.Form1;
  // A limits dialog open, or a delayed step under way: try again at the next tick.
  if (p.BusyFlag != 0) return;
  w.Timer28.setInterval(kPointerReturnIntervalMs);
  w.Timer28.setEnabled(false);
  p.surface.ReturnPointer(p.SavedPointerX, p.SavedPointerY);
  if (p.PointerRestoreOnly == 1) {
    p.PointerRestoreOnly = 0;
    return;
  }
  ResetForm8KeyColours();
}

}  // namespace kel
