// What the undo history and the page files cost: the memory of the history after typing
// 2000 symbols one at a time (each placement takes a snapshot), the time of one snapshot on
// a page of 2000 and of 10 000 symbols, and the file work of saving and loading twelve
// pages of 800 symbols. Run it from a Release build:
//   build/release/kelvarin-pages-bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "app/program.h"
#include "pages/page_file.h"
#include "platform/sim/sim_desktop.h"
#include "tools/eval_tool.h"

namespace {

using Clock = std::chrono::steady_clock;

long rssKiB() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

struct Desk {
  explicit Desk(const std::string& folder) : files(folder) {
    p = std::make_unique<kel::Program>(host.desktop, files, host.scheduler);
    p->start();
    host.advance(1000);
  }
  // n symbols typed on the page, 60 to a line, each with its after-placement step (and so
  // its snapshot) when `snapshots` says so.
  void type(int n, bool snapshots) {
    for (int i = 0; i < n; ++i) {
      p->PointerX = 300 + (i % 60) * 15;
      p->PointerY = 200 + (i / 60) * 40;
      p->surface.PlaceTextSymbol(std::string(1, static_cast<char>('a' + i % 26)), 24, false);
      if (snapshots) host.advance(30);
    }
    host.advance(30);
  }
  kel::SimHost host;
  kel::LocalFiles files;
  std::unique_ptr<kel::Program> p;
};

template <class F>
double bestMs(int rounds, F f) {
  double best = 1e300;
  for (int r = 0; r < rounds; ++r) {
    const auto t0 = Clock::now();
    f();
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  return best;
}

// One snapshot of the page as it stands, over many snapshots (the history full or not).
double snapshotMicroseconds(Desk& d, int snapshots) {
  const auto t0 = Clock::now();
  for (int i = 0; i < snapshots; ++i) {
    // One symbol moves a twip each time, as an edit changes something.
    kel::Label& l = d.p->Form1.Label3[1 + i % d.p->SymbolCount];
    l.Left = l.Left + 1;
    d.p->pages.SaveUndoSnapshot();
  }
  return std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / snapshots;
}

}  // namespace

int main() {
  const std::string folder = kel::tools::executableFolder();

  {
    const long before = rssKiB();
    Desk d(folder);
    const long started = rssKiB();
    d.type(2000, true);
    const long after = rssKiB();
    std::printf("typing 2000 symbols, a snapshot each (%d snapshots):\n", d.p->UndoIndex);
    std::printf("  RSS %ld KiB before the program, %ld KiB started, %ld KiB after typing\n", before,
                started, after);
    std::printf("  the history holds %.2f MiB\n",
                d.p->pages.undoHistory().memoryBytes() / 1048576.0);
    const auto t0 = Clock::now();
    for (int i = 0; i < 100; ++i) d.p->pages.Command69_Click();
    for (int i = 0; i < 100; ++i) d.p->pages.Command70_Click();
    std::printf("  one Undo or Redo on that page: %.1f us\n",
                std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / 200);
  }

  for (int n : {2000, 10000}) {
    Desk d(folder);
    d.type(n, false);
    const double first = snapshotMicroseconds(d, 2000);
    const double full = snapshotMicroseconds(d, 10000);  // past 10 000: the oldest goes
    std::printf(
        "one snapshot on a page of %d symbols: %.1f us (history filling), %.1f us "
        "(history full); history %.2f MiB\n",
        n, first, full, d.p->pages.undoHistory().memoryBytes() / 1048576.0);
  }

  // The recovery file kept current: what the window's thread spends at the tick that hands
  // the pages over (their text built, compared with what the file holds, handed to the
  // writer), and the write itself on the writer's thread.
  for (int n : {2000, 10000}) {
    Desk d(folder);
    d.type(n, false);
    double tick = 1e300, write = 1e300;
    for (int round = 0; round < 5; ++round) {
      kel::Label& l = d.p->Form1.Label3[1 + round];
      l.Left = l.Left + 1;  // a change, then the quiet seconds the keeper waits for
      for (int second = 0; second < kel::kRecoveryQuietSeconds; ++second)
        d.p->pages.TimerRecovery_Timer();
      auto t0 = Clock::now();
      d.p->pages.TimerRecovery_Timer();
      tick = std::min(tick, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
      t0 = Clock::now();
      d.p->pages.FinishRecoveryWrites();
      write = std::min(write, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::printf(
        "keeping the recovery file of a page of %d symbols: %.2f ms on the window's thread, "
        "%.1f ms writing on its own\n",
        n, tick, write);
    const auto t0 = Clock::now();
    for (int i = 0; i < 1000; ++i) d.p->pages.TimerRecovery_Timer();
    std::printf("  an idle tick of the keeper: %.3f us\n",
                std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / 1000);
    std::remove((folder + "/Recovery.txt").c_str());
  }

  {
    // Twelve pages of 800 symbols: text and pictures, as a page file holds them.
    std::string text;
    for (int page = 1; page <= 12; ++page)
      for (int i = 0; i < 800; ++i) {
        kel::PageFileRecord r;
        r.page = page;
        r.picture = i % 4 == 3;
        r.what = r.picture ? "plus" : std::string(1, static_cast<char>('a' + i % 26));
        r.left = 300 + (i % 40) * 225.5;
        r.middle = 600 + (i / 40) * 600 + 0.5;
        r.size = r.picture ? 300 : 24;
        kel::appendPageFileRecord(text, r);
      }
    kel::LocalFiles files(folder);
    const std::string path = folder + "/pages-bench.txt";
    const auto records = kel::parsePageFile(text);
    const double save = bestMs(5, [&] {
      std::string out;
      for (const kel::PageFileRecord& r : *records) kel::appendPageFileRecord(out, r);
      files.replaceContent(path, out);
    });
    size_t count = 0;
    const double load = bestMs(5, [&] {
      const kel::FileRead f = files.read(path, kel::kMaxPageFileBytes);
      const auto decoded = kel::decodePageFileBytes(f.content);
      count = kel::parsePageFile(*decoded)->size();
    });
    std::printf("twelve pages of 800 symbols (%zu records, %zu bytes):\n", count, text.size());
    std::printf("  save, file work (format every record, write, flush, rename): %.1f ms\n", save);
    std::printf("  load, file work (read, decode, check every record): %.1f ms\n", load);

    // The whole of it in the program: placing every record, and the save walk over pages.
    Desk d(folder);
    d.files.replaceContent(path, text);
    d.host.desktop.fileDialogAnswers.push_back(kel::FileDialogChoice{path, 1});
    d.host.desktop.messageBoxAnswers.push_back(kel::msgbox::Ok);
    auto t0 = Clock::now();
    d.p->pages.Command16_Click();
    d.host.advance(12500);
    std::printf("  loading it in the program, all twelve pages placed: %.1f ms (%d symbols)\n",
                std::chrono::duration<double, std::milli>(Clock::now() - t0).count(),
                d.p->SymbolCount);
    d.host.desktop.fileDialogAnswers.push_back(kel::FileDialogChoice{path, 1});
    t0 = Clock::now();
    d.p->pages.Command15_Click();
    d.host.advance(13 * 50 + 50);
    std::printf("  saving it in the program, the walk over the pages included: %.1f ms\n",
                std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    std::remove(path.c_str());
  }
  return 0;
}
