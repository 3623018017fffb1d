// A page file loaded is the pages as they were saved: a stored " = " is a symbol like any
// other, never a question to read, evaluate and answer on the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "pages/page_file.h"
#include "pages_fixture.h"

namespace kel::test {
namespace {

// Twelve pages one a second, and well past every reading, evaluation and result typing a
// placed " = " could have started on the last of them.
constexpr Millis kLoadAndSettleMs = 12 * 1000 + 3000;

struct Loader : PageFileDesk {
  void load(const std::string& from) { PageFileDesk::load(from, msgbox::Ok, kLoadAndSettleMs); }

  // An expression and its sign on a line of the page shown: a caption in brackets is that
  // picture, anything else a text symbol of 24 points.
  void line(double x, double y, const std::vector<std::string>& symbols) {
    p().PointerX = x;
    p().PointerY = y;
    for (const std::string& s : symbols) {
      if (s.size() > 2 && s.front() == '[')
        p().surface.PlacePictureSymbol(s.substr(1, s.size() - 2));
      else
        p().surface.PlaceTextSymbol(s, 24, false);
      advance(30);
    }
  }
};

TEST(LoadedPages, StoredEqualsSignsAreNeitherReadNorAnsweredInEitherAngleUnit) {
  for (const int unit : {0, 1}) {
    SCOPED_TRACE(unit == 0 ? "rad" : "deg");
    Loader f;
    Program& p = f.p();
    MainWindow& w = f.w();
    // Written with the evaluation off, so the pages hold the questions without answers.
    w.Check3.Value = 0;
    for (int k = 0; k < 12; ++k) {
      p.pages.Command72_Click(k);
      const double y = 250 + 10 * k;
      switch (k % 4) {
        case 0:
          f.line(150, y, {"2", "[plus]", "3", "[po]", "4", " = "});
          break;
        case 1:
          f.line(150, y, {"s", "i", "n", "3", "0", " = "});
          f.line(150, y + 61, {"1", "[minus]", "7", " = "});
          break;
        case 2: {
          // Two thirds, and the sign after the closed fraction.
          f.line(150, y, {"1"});
          f.insert();
          f.type({"50"}, 300);
          f.type({"34", "51"}, 400);
          f.type({"36"}, 600);
          f.line(p.PointerX, p.PointerY, {" = "});
          break;
        }
        default:
          f.line(150, y, {"a", "b"});
      }
    }
    p.pages.Command72_Click(0);
    f.save(f.path("questions.txt"));
    const std::string saved = f.s.folder.read("questions.txt");
    const std::optional<std::vector<PageFileRecord>> records = parsePageFile(saved);
    ASSERT_TRUE(records);
    std::array<std::vector<PageFileRecord>, 12> want;
    for (const PageFileRecord& r : *records) want[static_cast<size_t>(r.page - 1)].push_back(r);
    for (int k : {0, 1, 2, 4, 5, 6, 8, 9, 10}) {
      const auto& page = want[static_cast<size_t>(k)];
      ASSERT_TRUE(
          std::any_of(page.begin(), page.end(),
                      [](const PageFileRecord& r) { return !r.picture && r.what == " = "; }))
          << "page " << k + 1 << " holds a sign";
    }

    f.clearAll();
    w.Check3.Value = 1;
    w.Gradusi.ListIndex = unit;
    w.Text1.setText("");
    w.Text21.setText("");
    const int clears = f.desk().clipboardClears;
    const int queued = w.List1.ListCount();
    f.load(f.path("questions.txt"));

    // Nothing was read, evaluated, outlined, copied or typed.
    EXPECT_EQ(w.Text1.Text(), "");
    EXPECT_EQ(w.Text21.Text(), "");
    EXPECT_FALSE(w.Text21.Visible);
    EXPECT_EQ(f.desk().clipboardClears, clears);
    EXPECT_FALSE(f.desk().clipboardPicture);
    EXPECT_EQ(w.List1.ListCount(), queued);
    EXPECT_EQ(p.SymbolCount, static_cast<int>(records->size()));

    // Every page is the file's, symbol for symbol.
    for (int k = 0; k < 12; ++k) {
      SCOPED_TRACE("page " + std::to_string(k + 1));
      p.pages.Command72_Click(k);
      const std::vector<Seen> seen = f.page();
      const auto& page = want[static_cast<size_t>(k)];
      ASSERT_EQ(seen.size(), page.size());
      for (size_t i = 0; i < page.size(); ++i) {
        EXPECT_EQ(seen[i].what, page[i].picture ? "[" + page[i].what + "]" : page[i].what);
        EXPECT_EQ(seen[i].left, page[i].left);
      }
    }
    p.pages.Command72_Click(0);
    f.save(f.path("again.txt"));
    EXPECT_EQ(f.s.folder.read("again.txt"), saved);
  }
}

}  // namespace
}  // namespace kel::test
