// A program ready to place symbols: the window at Left 1500, Top 1500 twips, so the
// pointer (170, 160) is the page point (990, 395), and a Simbol/ folder of its own with
// a few small pictures.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "sim_program.h"

namespace kel::test {

// A whole GIF of that size: one frame of no real pixels, as the headless desktop reads
// only the block structure.
inline std::string gifBytes(int widthPx, int heightPx) {
  auto size = [&] {
    std::string b;
    for (int v : {widthPx, heightPx}) {
      b += static_cast<char>(v & 0xFF);
      b += static_cast<char>((v >> 8) & 0xFF);
    }
    return b;
  };
  // No colour table, background 0, aspect 0; a frame at (0, 0), LZW code size 2, one data
  // sub-block; the trailer.
  return "GIF89a" + size() +
         std::string(
             "\0\0\0"
             "\x2c\0\0\0\0",
             8) +
         size() + std::string("\0\x02\x02\x44\x01\0;", 7);
}

class PlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    w().Left = 1500;
    w().Top = 1500;
    std::filesystem::create_directory(s.folder.file("Simbol"));
    picture("bar0", 30, 3);
    picture("bar1", 30, 3);
    picture("35", 30, 3);
    picture("plus", 20, 20);
    p().surface.LoadBarPictures();
    pointAt(170, 160);
  }

  Program& p() { return s.p(); }
  MainWindow& w() { return s.w(); }
  SimDesktop& desk() { return s.desk(); }

  void picture(const std::string& name, int widthPx, int heightPx) {
    s.folder.write("Simbol/" + name + ".gif", gifBytes(widthPx, heightPx));
  }
  std::string pictureFile(const std::string& name) const {
    return s.folder.file("Simbol/" + name + ".gif");
  }
  void pointAt(double x, double y) {
    p().PointerX = x;
    p().PointerY = y;
  }
  // Text of size 24 is 15 px wide and 36 px high by the headless desktop's rule.
  void text(const std::string& caption) { p().surface.PlaceTextSymbol(caption, 24, false); }
  void text(double x, double y, const std::string& caption) {
    pointAt(x, y);
    text(caption);
  }
  void pictureSymbol(const std::string& name) { p().surface.PlacePictureSymbol(name); }
  void pictureSymbol(double x, double y, const std::string& name) {
    pointAt(x, y);
    pictureSymbol(name);
  }
  PointPx lastPointerMove() const {
    const auto& m = s.host.desktop.pointerMoves;
    return m.empty() ? PointPx{-1, -1} : PointPx{m.back().x, m.back().y};
  }

  SimProgram s;
};

}  // namespace kel::test
