// A started program on the headless desktop that a test types into with the real keyboard
// capture: keys go down and up at virtual times, the poll, the release check, the player,
// the placers and the after-placement step run as they would on a desktop.
#pragma once

#include <string>
#include <vector>

#include "platform/desktop.h"
#include "sim_program.h"

namespace kel::test {

// A placed symbol as the page holds it.
struct Placed {
  std::string kind;     // "bukva" for text, otherwise the picture name
  std::string caption;  // text only
  double size = 0;      // text only
  bool bold = false;    // text only
  double width = 0;     // twips
};

enum class IndexMode { Line, Upper, Lower, Both };

inline const char* modeName(IndexMode m) {
  switch (m) {
    case IndexMode::Line:
      return "on the line";
    case IndexMode::Upper:
      return "upper index";
    case IndexMode::Lower:
      return "lower index";
    case IndexMode::Both:
      return "both indexes";
  }
  return "";
}

class Typist {
 public:
  // Long enough after a key's release for the release check (50 ms), the player (20 ms)
  // and the after-placement step (20 ms), whatever their phases.
  static constexpr Millis kSettleMs = 150;
  // The Shift latch stays up 250 ms after Shift was last seen.
  static constexpr Millis kShiftLatchMs = 300;

  Typist() {
    s.folder.linkSimbol();
    s.p().start();
    // Past Start (200 ms) and the page's own mouse pointer (1 s). The pointer stands on
    // the page at the writing position, so the background group keeps running.
    s.host.advance(1000);
    startX = p().PointerX;
    startY = p().PointerY;
  }

  Program& p() { return s.p(); }
  MainWindow& w() { return s.w(); }
  SimDesktop& desk() { return s.desk(); }
  SimHost& host() { return s.host; }

  void down(int vk) { desk().userKeyDown(vk); }
  void up(int vk) { desk().userKeyUp(vk); }
  void advance(Millis ms) { s.host.advance(ms); }

  // One tap of `ms`, then until its symbol stands on the page.
  void type(int vk, Millis ms = 12) {
    s.host.tap(vk, ms);
    s.host.advance(ms + kSettleMs);
  }
  // The tap with the left Shift held around it, then until the Shift latch has dropped.
  void typeShifted(int vk) {
    down(vk::LShift);
    advance(40);
    type(vk);
    up(vk::LShift);
    advance(kShiftLatchMs);
  }
  // Both Ctrl and Shift, then both let go: the layout chord.
  void chord() {
    down(vk::LControl);
    advance(60);
    down(vk::LShift);
    advance(60);
    up(vk::LShift);
    up(vk::LControl);
    // Until the poll is back from its one-second pace and the Shift latch has dropped.
    advance(1100);
  }

  // The insertion point back where typing started, so long tables stay on the page.
  void home() {
    p().PointerX = startX;
    p().PointerY = startY;
  }
  void setMode(IndexMode m) {
    p().UpperIndexMode = m == IndexMode::Upper || m == IndexMode::Both ? 1 : 0;
    p().LowerIndexMode = m == IndexMode::Lower || m == IndexMode::Both ? 1 : 0;
  }

  const std::vector<std::string>& queued() { return w().List1.Items; }
  const std::vector<std::string>& flags() { return w().List2.Items; }

  std::vector<Placed> placed() {
    std::vector<Placed> out;
    for (int n = 1; n <= p().SymbolCount; ++n) {
      Placed e;
      e.kind = p().SymbolKind[static_cast<size_t>(n)];
      if (e.kind == "bukva") {
        const Label& l = w().Label3[n];
        e.caption = l.Caption;
        e.size = l.Font.Size;
        e.bold = l.Font.Bold;
        e.width = l.Width;
      } else {
        e.width = w().Image3[n].Width;
      }
      out.push_back(e);
    }
    return out;
  }

  SimProgram s;
  double startX = 0, startY = 0;
};

}  // namespace kel::test
