// A started program on the headless desktop with a watch on what reaches the rows of the
// interpreters.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "input/interpreter.h"
#include "sim_program.h"

namespace kel::test {

// One item as it reached the rows: after the frame's decoding and hotkey substitution.
struct SeenItem {
  std::string code;
  std::string shift;
  TypingLayout layout;
  Millis at;
};

struct QueueFixture {
  QueueFixture() {
    s.p().start();
    // Past the start-up's one-shot steps (Start at 200 ms, the page pointer at 1 s).
    s.host.advance(1000);
    seen = std::make_shared<std::vector<SeenItem>>();
    auto log = seen;
    SimHost* host = &s.host;
    // First in line and acting on nothing, so every item the frame passes on is seen.
    s.p().input.rowGroups.insert(s.p().input.rowGroups.begin(), [log, host](PlayedItem& item) {
      log->push_back({item.PlayedCode, item.PlayedShift, item.layout, host->now()});
      return false;
    });
  }

  // Leaves only the watch in the interpreters, so a test of the frame sees no row act.
  void frameOnly() { s.p().input.rowGroups.resize(1); }

  Program& p() { return s.p(); }
  MainWindow& w() { return s.w(); }
  void append(const std::string& code, const std::string& shift = "0") {
    s.p().input.AppendQueueItem(code, shift);
  }
  std::vector<std::string> seenCodes() const {
    std::vector<std::string> codes;
    for (const SeenItem& i : *seen) codes.push_back(i.code);
    return codes;
  }

  SimProgram s;
  std::shared_ptr<std::vector<SeenItem>> seen;
};

}  // namespace kel::test
