// How long reading a dragged selection takes, from the drag watcher's release to the line
// above the page: the records, the walk, the finishing and the (headless) capture, for a
// page of symbols. Run it from a Release build:
//   build/release/kelvarin-read-bench [symbols]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/program.h"
#include "pages/selection_window.h"
#include "platform/sim/sim_desktop.h"
#include "platform/units.h"
#include "tools/eval_tool.h"

namespace {

// The best of five rounds of 200 ms, so that other work on the machine counts least.
template <class F>
double microsecondsPerRun(F f) {
  using clock = std::chrono::steady_clock;
  double best = 1e300;
  for (int round = 0; round < 5; ++round) {
    int runs = 0;
    const auto start = clock::now();
    auto now = start;
    do {
      f();
      ++runs;
      now = clock::now();
    } while (now - start < std::chrono::milliseconds(200));
    best = std::min(best, std::chrono::duration<double, std::micro>(now - start).count() / runs);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int wanted = std::clamp(argc > 1 ? std::atoi(argv[1]) : 1000, 1, 9000);
  kel::SimHost host;
  kel::tools::NoFiles files(kel::tools::executableFolder());
  kel::Program p(host.desktop, files, host.scheduler);
  p.start();
  kel::MainWindow& w = p.Form1;
  w.Check3.Value = 0;

  // A formula as it is typed, on one line (the headless screen has room for it): digits,
  // operators and brackets.
  const char* pattern[] = {"1", "2",    "plus", "3",      "po",  "4", "minus", "oskoba",
                           "5", "plus", "6",    "zskoba", "del", "7", "plus"};
  for (int i = 0; i < wanted; ++i) {
    const std::string s = pattern[i % std::size(pattern)];
    p.PlacingFromFile = 1;
    p.InsertX = 300 + 260.0 * i;
    p.InsertY = 2000;
    if (s.size() == 1)
      p.surface.PlaceTextSymbol(s, 24, false);
    else
      p.surface.PlacePictureSymbol(s);
    p.PlacingFromFile = 0;
  }
  host.advance(1000);

  // As the drag watcher leaves things at the release: the window shown, the press point
  // kept, the pointer where the button came up. The window is kept small: the headless
  // desktop's capture only fills a picture, which is no measure of a real one.
  const double clientLeft = kel::singleDiv15(w.Left) + kel::kFrameLeftPx;
  const double clientTop = kel::singleDiv15(w.Top) + kel::kFrameTopTw / kel::kTwipsPerPixel;
  const double pressX = clientLeft + 10 - 1, pressY = clientTop - 1;
  const int releaseX = kel::pixelForPointer(clientLeft + 10 + (300 + 260.0 * wanted) / 15 + 20);
  const int releaseY = kel::pixelForPointer(clientTop + 3000.0 / 15);
  kel::SelectionWindow& f = p.pages.LoadedForm2();
  host.desktop.showForm(f);
  f.Left = 15 * pressX;
  f.Top = 15 * pressY;
  f.Width = 15 * 10;
  f.Height = 15 * 10;
  auto read = [&] {
    p.DragStartX = pressX;
    p.DragStartY = pressY;
    host.desktop.setCursorPos(releaseX, releaseY);
    p.PointerOverPanel = 0;
    p.evaluation.SelectDragRectangle();
  };
  read();
  const std::size_t records = w.List3.Items.size();
  const std::string shown = w.Text21.Text();
  const double us = microsecondsPerRun(read);
  host.advance(400);  // the evaluation of what was read

  std::printf("symbols on the page: %d, records read: %zu\n", p.SymbolCount, records);
  std::printf("line above the page: %zu characters, begins %s\n", shown.size(),
              shown.substr(0, 40).c_str());
  std::printf("result: %s\n", w.Text8.Text().c_str());
  std::printf("release to Text21: %8.1f us\n", us);
  return 0;
}
