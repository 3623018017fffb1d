// A started program with the project's pictures, for the tests of the undo history, the
// page slots and the page files: symbols placed at screen points, clicks on the toolbar and
// the page buttons, and the page as a list of what stands on it.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "rows_fixture.h"

namespace kel::test {

// One symbol on the page as a user sees it.
struct Seen {
  std::string what;  // "caption" (with " 12b" for a bold 12 pt caption), or "[plus]"
  double left = 0, top = 0, width = 0, height = 0;
  std::string picture;  // the picture file a picture symbol shows
  bool operator==(const Seen&) const = default;
};

inline std::ostream& operator<<(std::ostream& o, const Seen& s) {
  return o << s.what << " @" << s.left << "," << s.top << " " << s.width << "x" << s.height
           << (s.picture.empty() ? "" : " " + s.picture);
}

struct PageDesk : rows::RowTypist {
  PageDesk() {
    w().Left = 1500;
    w().Top = 1500;
    // The window's resize step gives the page its height, as on a desktop.
    p().app.Form_Resize();
    desk().userMovePointer(200, 300);
    s.host.advance(100);
  }

  SimHost& host() { return s.host; }
  void advance(Millis ms) { s.host.advance(ms); }

  // A text symbol of 24 pt (15 x 36 px by the headless desktop's rule) with its insertion
  // point at the screen point, and its after-placement step. Returns its index.
  int text(double x, double y, const std::string& caption = "a", bool bold = false) {
    p().PointerX = x;
    p().PointerY = y;
    p().surface.PlaceTextSymbol(caption, 24, bold);
    advance(30);
    return p().SymbolCount;
  }
  // Next to the symbol placed last.
  int text(const std::string& caption = "a") { return text(p().PointerX, p().PointerY, caption); }
  int picture(double x, double y, const std::string& name) {
    p().PointerX = x;
    p().PointerY = y;
    p().surface.PlacePictureSymbol(name);
    advance(30);
    return p().SymbolCount;
  }

  // What stands on the page (Top 0 or more), in index order.
  std::vector<Seen> page() {
    std::vector<Seen> out;
    for (int i = 1; i <= p().SymbolCount; ++i) {
      const Control& c = symbol(i);
      if (c.Top < 0) continue;
      Seen s{"", c.Left, c.Top, c.Width, c.Height, ""};
      if (p().SymbolKind[static_cast<size_t>(i)] == "bukva") {
        const Label& l = w().Label3[i];
        s.what = l.Caption.get();
        const Font f = l.Font;
        if (f.Size != 24 || f.Bold)
          s.what += " " + std::to_string(static_cast<int>(f.Size)) + (f.Bold ? "b" : "");
      } else {
        s.what = "[" + p().SymbolKind[static_cast<size_t>(i)] + "]";
        s.picture = w().Image3[i].Picture->Path;
      }
      out.push_back(s);
    }
    return out;
  }
  std::vector<std::string> captions() {
    std::vector<std::string> out;
    for (const Seen& s : page()) out.push_back(s.what);
    return out;
  }

  // A click with the mouse: the pointer goes there, the button goes down and up.
  void click(const Control& c) {
    const PointPx at = ui().over(c);
    desk().userMovePointer(at.x, at.y);
    desk().userButtonDown(vk::LButton);
    desk().userButtonUp(vk::LButton);
  }
  void clickPage(int page) { click(w().Command72[static_cast<size_t>(page - 1)]); }

  // The helpers of the ui fixture, on this program.
  struct UiView {
    PageDesk& d;
    PointPx over(const Control& c) {
      double l, t;
      absolutePosition(c, l, t);
      const double cl = singleDiv15(d.w().Left) + kFrameLeftPx;
      const double ct = (d.w().Top + kFrameTopTw) / kTwipsPerPixel;
      const PointPx pt{static_cast<int>(std::floor(cl + (l + 0.5 * c.Width) / 15)),
                       static_cast<int>(std::floor(ct + (t + 0.5 * c.Height) / 15))};
      EXPECT_EQ(d.w().hitTest((pt.x - cl) * 15, (pt.y - ct) * 15), &c)
          << c.Name << " is not under the test's point";
      return pt;
    }
  };
  UiView ui() { return UiView{*this}; }
};

// The pages saved and loaded through their dialogs, in the test's own folder.
struct PageFileDesk : PageDesk {
  // The save walk's thirteen steps; twelve pages placed one a second.
  static constexpr Millis kSaveWalkMs = 13 * 50 + 50;
  static constexpr Millis kLoadAllMs = 12 * 1000 + 500;

  std::string path(const std::string& name) { return s.folder.file(name); }

  // Save, the dialog answered with this path (or cancelled), the box after it with OK.
  void save(std::optional<std::string> to) {
    if (to)
      desk().fileDialogAnswers.push_back(FileDialogChoice{*to, 1});
    else
      desk().fileDialogAnswers.push_back(std::nullopt);
    p().pages.Command15_Click();
    advance(kSaveWalkMs);
  }
  // Load this file, the confirmation answered, and wait this long (every page placed).
  void load(const std::string& from, int answer = msgbox::Ok, Millis wait = kLoadAllMs) {
    desk().fileDialogAnswers.push_back(FileDialogChoice{from, 1});
    desk().messageBoxAnswers.push_back(answer);
    p().pages.Command16_Click();
    advance(wait);
  }
  void clearAll() {
    desk().messageBoxAnswers.push_back(msgbox::Yes);
    p().pages.Label11_Click();
  }
  // Every page as it stands, the page shown last (and shown again after).
  std::array<std::vector<Seen>, 12> pages() {
    std::array<std::vector<Seen>, 12> all;
    const int shown = p().pages.PageShown();
    for (int k = 0; k < 12; ++k) {
      p().pages.Command72_Click(k);
      all[static_cast<size_t>(k)] = page();
    }
    p().pages.Command72_Click(shown - 1);
    return all;
  }
};

// A program that ends and starts again in the same folder, as a user's runs follow one
// another.
struct RestartDesk : PageFileDesk {
  bool exists(const std::string& name) { return std::filesystem::exists(path(name)); }
  // Ends the program as a signal or a lost display ends it: nobody is asked.
  void endUnasked() { p().close(); }
  // Ends it as SIGKILL or a power cut does: no step of its own runs, and a recovery write it
  // asked for and had not begun is lost. (What it had handed to the disk before is on the
  // disk.)
  void killed() {
    p().pages.AbandonRecoveryWrites();
    for (Form* f : std::initializer_list<Form*>{&p().Form1, &p().Form2, &p().Form3, &p().Form4,
                                                &p().Form5, &p().Form7, &p().Form8})
      desk().unloadForm(*f);
    s.prog.reset();
  }
  // Starts a new run in the same folder (the one running ends unasked first), and lets
  // `settle` pass (by default past its start-up steps); beforeTicks runs between its load
  // step and its first tick.
  void startAgain(const std::function<void()>& beforeTicks = {}, Millis settle = 1000) {
    if (s.prog && !p().closed()) p().close();
    s.prog.reset();
    s.prog = std::make_unique<Program>(s.host.desktop, s.files, s.host.scheduler);
    p().start();
    // Where the first run's window stood, as the user left it.
    w().Left = 1500;
    w().Top = 1500;
    p().app.Form_Resize();
    if (beforeTicks) beforeTicks();
    advance(settle);
  }
};

}  // namespace kel::test
