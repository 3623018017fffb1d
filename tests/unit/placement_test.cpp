#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "placement_fixture.h"

namespace kel::test {
namespace {

// --- text symbols ----------------------------------------------------------------------

TEST_F(PlacementTest, TextSymbolIsCentredOnTheLineAndAdvancesThePointerByItsWidth) {
  struct Case {
    const char* caption;
    double size;
    bool bold;
    double width, height;  // twips, by the headless desktop's measuring rule
  } cases[] = {
      {"x", 24, false, 225, 540},   // 15 px wide, 36 px high
      {"x", 12, true, 135, 270},    // 8 px + 1 for bold
      {"@", 18, false, 165, 405},   // "@" is placed like any other caption
      {"ab", 24, false, 450, 540},  // two characters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    SimProgram fresh;
    fresh.w().Left = 1500;
    fresh.w().Top = 1500;
    Program& q = fresh.p();
    q.PointerX = 170;
    q.PointerY = 160;
    q.surface.PlaceTextSymbol(c.caption, c.size, c.bold);
    ASSERT_EQ(q.SymbolCount, 1);
    ASSERT_TRUE(fresh.w().Label3.IsLoaded(1));
    const Label& l = fresh.w().Label3[1];
    EXPECT_EQ(q.SymbolKind[1], "bukva");
    EXPECT_EQ(l.Caption, c.caption);
    EXPECT_EQ(l.Font.Size, c.size);
    EXPECT_EQ(l.Font.Bold, c.bold);
    EXPECT_EQ(l.Font.Name, "Arial");
    EXPECT_EQ(l.Font.Charset, 204);
    EXPECT_TRUE(l.Visible);
    EXPECT_EQ(l.Width, c.width);
    EXPECT_EQ(l.Height, c.height);
    EXPECT_EQ(l.Left, 990);
    EXPECT_EQ(l.Top, 395 - c.height / 2);
    EXPECT_DOUBLE_EQ(q.PointerX, 170 + c.width / 15);
    EXPECT_EQ(q.PointerY, 160);
    ASSERT_FALSE(fresh.desk().pointerMoves.empty());
    EXPECT_EQ(fresh.desk().pointerMoves.back().x, static_cast<int>(170 + c.width / 15));
    EXPECT_EQ(q.CurrentSymbolIndex, 1);
    EXPECT_EQ(q.CaretAfterSymbol, 1);
    EXPECT_TRUE(fresh.w().Command15.Visible);
    EXPECT_TRUE(fresh.w().Label11.Visible);
    EXPECT_TRUE(fresh.w().Timer4.Enabled());
  }
}

// A desktop whose fonts make every label 200 twips wide, a width that is no whole pixel.
class TwoHundredTwipsDesktop : public SimDesktop {
 public:
  using SimDesktop::SimDesktop;
  SizeTw measureLabel(const Font&, const std::string&) override { return {200, 405}; }
  double labelHeight(const Font&) override { return 405; }
};

TEST(TextPlacement, FractionalWidthKeepsItsFractionForTheNextSymbol) {
  SimClock clock;
  Scheduler scheduler(clock);
  TwoHundredTwipsDesktop desk(clock);
  TempFolder folder;
  LocalFiles files(folder.path());
  Program p(desk, files, scheduler);
  p.Form1.Left = 1500;
  p.Form1.Top = 1500;
  p.PointerX = 170;
  p.PointerY = 160;

  p.surface.PlaceTextSymbol("a", 24, false);
  EXPECT_DOUBLE_EQ(p.PointerX, 170 + 200.0 / 15);  // 183.333...
  ASSERT_FALSE(desk.pointerMoves.empty());
  EXPECT_EQ(desk.pointerMoves.back().x, 183);  // the real pointer on the rounded pixel

  p.surface.PlaceTextSymbol("b", 24, false);
  // From 183.333 px, not from the pointer's 183: 15 * (183.333 - 104) = 1190.
  EXPECT_NEAR(p.Form1.Label3[2].Left, 1190, 1e-9);
  EXPECT_DOUBLE_EQ(p.PointerX, 170 + 400.0 / 15);  // 196.666...
  EXPECT_EQ(desk.pointerMoves.back().x, 197);
}

TEST_F(PlacementTest, FromAPageFileTheLoadersPlaceIsUsed) {
  p().PlacingFromFile = 1;
  p().InsertX = 2000;
  p().InsertY = 1000;
  text("x");
  const Label& l = w().Label3[1];
  EXPECT_EQ(l.Left, 2000);
  EXPECT_EQ(l.Top, 1000 - 270);
  EXPECT_EQ(p().InsertX, 2000);  // not recomputed from the pointer
  EXPECT_DOUBLE_EQ(p().PointerX, 185);
}

// --- index levels ------------------------------------------------------------------------

TEST_F(PlacementTest, IndexModesRecordTheLevelAndNeitherKeepsTheOldEntry) {
  struct Case {
    int upper, lower, before, level;
  } cases[] = {
      {1, 0, 0, 1},  // upper index
      {0, 1, 0, 2},  // lower index
      {1, 1, 0, 2},  // both: the lower wins
      {0, 0, 1, 1},  // on the line: an entry left from before stays
      {0, 0, 0, 0},
  };
  for (bool asPicture : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << asPicture << c.upper << c.lower << c.before);
      const int n = p().SymbolCount + 1;
      p().SymbolLevel[static_cast<size_t>(n)] = c.before;
      p().UpperIndexMode = c.upper;
      p().LowerIndexMode = c.lower;
      if (asPicture)
        pictureSymbol("plusm");
      else
        text("2");
      ASSERT_EQ(p().SymbolCount, n);
      EXPECT_EQ(p().SymbolLevel[static_cast<size_t>(n)], c.level);
    }
  }
}

// --- picture symbols ---------------------------------------------------------------------

TEST_F(PlacementTest, PictureSymbolSitsNearlyCentredAndAdvancesByItsWidth) {
  struct Case {
    const char* name;
    double width, height, top;
    double advancePx;
    bool hasPicture;
  } cases[] = {
      // 20 x 20 px at InsertY 395: 395 - 300 x 1.4955 / 3 = 245.45.
      {"plus", 300, 300, 245.45, 20, true},
      // No file: the template's blank 255 x 135 twips, 17 px of advance.
      {"1050", 255, 135, 395 - 67.2975, 17, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int n = p().SymbolCount + 1;
    pointAt(170, 160);
    pictureSymbol(c.name);
    ASSERT_EQ(p().SymbolCount, n);
    ASSERT_TRUE(w().Image3.IsLoaded(n));
    const Image& img = w().Image3[n];
    EXPECT_EQ(p().SymbolKind[static_cast<size_t>(n)], c.name);
    EXPECT_TRUE(img.Visible);
    EXPECT_EQ(img.Width, c.width);
    EXPECT_EQ(img.Height, c.height);
    EXPECT_NEAR(img.Top, c.top, 1e-9);
    EXPECT_EQ(img.Left, 990);
    EXPECT_EQ(img.Picture->Path, c.hasPicture ? pictureFile(c.name) : "");
    EXPECT_DOUBLE_EQ(p().PointerX, 170 + c.advancePx);
    EXPECT_EQ(lastPointerMove(), (PointPx{static_cast<int>(170 + c.advancePx), 160}));
    EXPECT_EQ(p().CurrentSymbolIndex, n);
    EXPECT_EQ(p().CaretAfterSymbol, 1);
    EXPECT_TRUE(w().Command15.Visible);
    EXPECT_TRUE(w().Label11.Visible);
    EXPECT_TRUE(w().Timer4.Enabled());
  }
}

TEST_F(PlacementTest, PictureFileIsReadAtEveryPlacement) {
  pictureSymbol("plus");
  picture("plus", 10, 40);  // redrawn while the program runs
  pictureSymbol("plus");
  EXPECT_EQ(w().Image3[1].Width, 300);
  EXPECT_EQ(w().Image3[2].Width, 150);
  EXPECT_EQ(w().Image3[2].Height, 600);
}

TEST_F(PlacementTest, PictureNamesOnlyEverReachFilesInsideSimbol) {
  // A picture that lies outside Simbol/ and must never be read.
  s.folder.write("evil.gif", gifBytes(40, 40));
  std::filesystem::create_directory(s.folder.file("Simbol/sub"));
  s.folder.write("Simbol/sub/x.gif", gifBytes(40, 40));
  const std::vector<std::string> names = {"../evil",
                                          "..",
                                          "../../etc/passwd",
                                          "sub/x",
                                          "sub\\x",
                                          "/etc/passwd",
                                          ".",
                                          "plus.gif",
                                          "plus ",
                                          " plus",
                                          "a b",
                                          "",
                                          std::string(65, 'a'),
                                          "plus\n",
                                          std::string("plus\0x", 6),
                                          "\xCF\x80",
                                          "C:\\evil",
                                          "~",
                                          "35.0",
                                          " 35"};
  desk().pictureLoads.clear();
  for (const std::string& name : names) {
    SCOPED_TRACE(testing::Message() << "name of " << name.size() << " bytes: " << name);
    const int n = p().SymbolCount + 1;
    const double x = p().PointerX;
    EXPECT_NO_THROW(pictureSymbol(name));
    ASSERT_EQ(p().SymbolCount, n);
    const Image& img = w().Image3[n];
    EXPECT_TRUE(img.Picture.empty());
    EXPECT_EQ(img.Width, 255);
    EXPECT_EQ(img.Height, 135);
    EXPECT_DOUBLE_EQ(p().PointerX, x + 17);
    EXPECT_EQ(p().BarOpen, 0);  // no name that is refused a file opens a bar
  }
  EXPECT_TRUE(desk().pictureLoads.empty());

  // The longest name still looked up, and an ordinary one, go to Simbol/ only.
  pictureSymbol(std::string(64, 'a'));
  pictureSymbol("plusm");
  ASSERT_EQ(desk().pictureLoads.size(), 2u);
  EXPECT_EQ(desk().pictureLoads[0], pictureFile(std::string(64, 'a')));
  EXPECT_EQ(desk().pictureLoads[1], pictureFile("plusm"));
}

TEST_F(PlacementTest, APictureNamedLikeTextIsRefused) {
  // Every reader takes the kind "bukva" for a label; a picture there would be looked
  // for in the wrong array.
  pictureSymbol("bukva");
  EXPECT_EQ(p().SymbolCount, 0);
  EXPECT_FALSE(w().Image3.IsLoaded(1));
  EXPECT_FALSE(w().Timer4.Enabled());
}

// --- the fraction bar ----------------------------------------------------------------------

TEST_F(PlacementTest, TypedBarOpensWithTheRedPictureAtTheFileHeightsTop) {
  picture("35", 30, 10);       // the file's own picture is taller than the red bar
  p().BarStartPointerX = 170;  // begun right here
  p().BarStretchIndex = 77;
  pictureSymbol("35");
  const Image& bar = w().Image3[1];
  // The Top comes from the file's 150 twips, the size from the red picture.
  EXPECT_NEAR(bar.Top, 395 - 150 * 1.4955 / 3, 1e-9);
  EXPECT_EQ(bar.Left, 990);
  EXPECT_EQ(bar.Picture, w().Image2[0].Picture);
  EXPECT_EQ(bar.Picture->Path, pictureFile("bar0"));
  EXPECT_EQ(bar.Width, 450);
  EXPECT_EQ(bar.Height, 45);
  EXPECT_FALSE(bar.Stretch);
  EXPECT_EQ(p().CurrentBar, 1);
  EXPECT_EQ(&p().surface.CurrentBarImage(), &w().Image3[1]);
  EXPECT_EQ(p().BarOpen, 1);
  EXPECT_EQ(p().BarPlacedFlag, 1);
  EXPECT_EQ(p().BarIndex, 1);
  EXPECT_EQ(p().BarStartInsertX, 990);
  EXPECT_EQ(p().BarLineY, 393);  // Int(395 - 1.5)
  EXPECT_EQ(p().BarLastIndex, 1);
  EXPECT_EQ(p().BarStretchIndex, 77);
  EXPECT_DOUBLE_EQ(p().PointerX, 200);
  EXPECT_EQ(p().SymbolKind[1], "35");
}

TEST_F(PlacementTest, TypedBarStretchesAtOnceOnlyWhenPlacedRightOfTheFractionStart) {
  struct Case {
    double offsetPx;  // pointer relative to where the fraction was begun
    double width;
    bool stretched;
  } cases[] = {
      {-10, 450, false},  // the end lies 40 px right of the pointer
      {0, 450, false},    // exactly 30 px: not less than 30
      {5, 525, true},     // 15 x (5 + 30)
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offsetPx);
    SimProgram fresh;
    fresh.w().Left = 1500;
    fresh.w().Top = 1500;
    std::filesystem::create_directory(fresh.folder.file("Simbol"));
    fresh.folder.write("Simbol/bar0.gif", gifBytes(30, 3));
    Program& q = fresh.p();
    q.surface.LoadBarPictures();
    q.BarStartPointerX = 200;
    q.BarEndPointerX = 1000;
    q.PointerX = 200 + c.offsetPx;
    q.PointerY = 160;
    q.surface.PlacePictureSymbol("35");
    const Image& bar = fresh.w().Image3[1];
    EXPECT_EQ(bar.Width, c.width);
    EXPECT_EQ(bar.Stretch, c.stretched);
    EXPECT_EQ(q.BarStretchIndex, c.stretched ? 1 : 0);
    EXPECT_DOUBLE_EQ(q.BarEndPointerX, 1000 + (c.width - 450) / 15);
    if (c.stretched) {
      EXPECT_EQ(q.BarRightEdge, bar.Left + c.width);
      EXPECT_EQ(q.BarWidth, c.width);
    }
    EXPECT_DOUBLE_EQ(q.PointerX, 200 + c.offsetPx + c.width / 15);
  }
}

TEST_F(PlacementTest, BarFromAPageFileKeepsItsStoredWidthAndOpensNothing) {
  p().PlacingFromFile = 1;
  p().InsertX = 1200;
  p().InsertY = 800;
  p().FileBarWidth = 900;
  pictureSymbol("35");
  const Image& bar = w().Image3[1];
  EXPECT_EQ(bar.Top, 800);
  EXPECT_EQ(bar.Left, 1200);
  EXPECT_EQ(bar.Width, 900);
  EXPECT_TRUE(bar.Stretch);
  EXPECT_EQ(bar.Picture->Path, pictureFile("35"));
  EXPECT_EQ(p().BarOpen, 0);
  EXPECT_EQ(p().BarPlacedFlag, 0);
  EXPECT_EQ(p().CurrentBar, kNoBar);
  EXPECT_DOUBLE_EQ(p().PointerX, 170 + 60);
}

TEST_F(PlacementTest, BarStretchStepKeepsTheBarThirtyPixelsAheadOfThePointer) {
  // A bar 20 px wide (W = 300) begun at S = 200 ends at E = 220.
  struct Case {
    double pointerX;
    double width;  // the bar's width afterwards
  } cases[] = {
      {210, 600},  // E - P = 10: stretched to 15 x (210 - 200 + 30)
      {208, 570},  // 12 px left of the end: ends 30 px right of the pointer
      {185, 300},  // E - P = 35: not stretched
      {190, 300},  // exactly 30 px: not stretched
      {220, 300},  // at the end: not stretched
      {230, 300},  // past the end
  };
  for (bool asPicture : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << (asPicture ? "picture " : "text ") << c.pointerX);
      SimProgram fresh;
      fresh.w().Left = 1500;
      fresh.w().Top = 1500;
      Program& q = fresh.p();
      q.BarStartPointerX = 200;
      q.PointerX = 300;  // far from the start: the bar is not stretched when placed
      q.PointerY = 160;
      q.surface.PlacePictureSymbol("35");
      Image& bar = fresh.w().Image3[1];
      bar.Width = 300;
      q.BarEndPointerX = 500;
      q.BarStretchIndex = 0;
      q.PointerX = c.pointerX;
      if (asPicture)
        q.surface.PlacePictureSymbol("plus");
      else
        q.surface.PlaceTextSymbol("x", 24, false);
      const bool stretched = c.width != 300;
      EXPECT_EQ(bar.Width, c.width);
      EXPECT_EQ(bar.Stretch, stretched);
      EXPECT_DOUBLE_EQ(q.BarEndPointerX, 500 + (c.width - 300) / 15);
      EXPECT_EQ(q.BarStretchIndex, stretched ? 2 : 0);
      if (stretched) {
        EXPECT_EQ(q.BarRightEdge, bar.Left + c.width);
        EXPECT_EQ(q.BarWidth, c.width);
      }
      EXPECT_EQ(q.BarLastIndex, 2);  // stretched or not
    }
  }
}

TEST_F(PlacementTest, NoOpenBarLeavesTheBarFieldsAlone) {
  p().BarLastIndex = 9;
  text("x");
  pictureSymbol("plus");
  EXPECT_EQ(p().BarLastIndex, 9);
  EXPECT_EQ(p().BarStretchIndex, 0);
}

TEST_F(PlacementTest, AnOpenBarWhoseElementIsGoneIsNeverReached) {
  // An index that names no picture element (say, after Clear All) stands for no bar.
  p().BarOpen = 1;
  p().CurrentBar = 42;
  EXPECT_EQ(&p().surface.CurrentBarImage(), &w().Image10);
  EXPECT_NO_THROW(text("x"));
  EXPECT_NO_THROW(pictureSymbol("plus"));
  EXPECT_EQ(p().SymbolCount, 2);
  EXPECT_EQ(p().BarLastIndex, 2);
}

TEST(BarPictures, StartUpReadsTheRedAndTheBlackBar) {
  SimProgram s;
  std::filesystem::create_directory(s.folder.file("Simbol"));
  s.folder.write("Simbol/bar0.gif", gifBytes(30, 3));
  s.folder.write("Simbol/bar1.gif", gifBytes(30, 3));
  s.p().start();
  EXPECT_EQ(s.w().Image2[0].Picture->Path, s.folder.file("Simbol/bar0.gif"));
  EXPECT_EQ(s.w().Image2[1].Picture->Path, s.folder.file("Simbol/bar1.gif"));
  EXPECT_EQ(s.w().Image2[0].Width, 450);
  EXPECT_EQ(s.w().Image2[0].Height, 45);
}

TEST(BarPictures, WithoutTheDrawingsTheTypedBarStillHasTheBarsSize) {
  SimProgram s;
  s.p().start();  // no Simbol/ at all: the step is skipped
  EXPECT_TRUE(s.w().Image2[0].Picture.empty());
  s.p().BarStartPointerX = s.p().PointerX;
  s.p().surface.PlacePictureSymbol("35");
  EXPECT_EQ(s.w().Image3[1].Width, 450);
  EXPECT_EQ(s.w().Image3[1].Height, 45);
  EXPECT_EQ(s.p().BarOpen, 1);
}

// --- the bound of the symbol store and refused placements ---------------------------------

TEST_F(PlacementTest, TheTenThousandthSymbolIsTheLast) {
  for (bool asPicture : {false, true}) {
    SCOPED_TRACE(asPicture);
    p().SymbolCount = 9999;
    p().surface.PlaceTextSymbol("x", 24, false);
    ASSERT_EQ(p().SymbolCount, 10000);
    ASSERT_TRUE(w().Label3.IsLoaded(10000));
    s.host.advance(20);  // the after-placement step runs and stops its timer
    ASSERT_FALSE(w().Timer4.Enabled());
    w().Command15.Visible = false;
    w().Label11.Visible = false;
    const size_t moves = desk().pointerMoves.size();
    const double x = p().PointerX;

    EXPECT_NO_THROW(asPicture ? pictureSymbol("plus") : text("y"));
    EXPECT_EQ(p().SymbolCount, 10000);
    EXPECT_FALSE(w().Label3.IsLoaded(10001));
    EXPECT_FALSE(w().Image3.IsLoaded(10001));
    EXPECT_EQ(desk().pointerMoves.size(), moves);
    EXPECT_EQ(p().PointerX, x);
    EXPECT_FALSE(w().Timer4.Enabled());
    EXPECT_FALSE(w().Command15.Visible);
    EXPECT_FALSE(w().Label11.Visible);

    w().Label3.Unload(10000);
  }
}

TEST_F(PlacementTest, AnIndexThatHoldsAnElementAlreadyIsRefusedNotThrown) {
  w().Image3.Load(1);  // a count that fell behind the loaded elements
  p().SymbolCount = 0;
  EXPECT_NO_THROW(text("x"));
  EXPECT_NO_THROW(pictureSymbol("plus"));
  EXPECT_EQ(p().SymbolCount, 0);
  EXPECT_FALSE(w().Label3.IsLoaded(1));
  EXPECT_FALSE(w().Timer4.Enabled());
}

TEST_F(PlacementTest, FontSizesNoFontHasAreRefused) {
  const double sizes[] = {0, -12, std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(), 1e9};
  for (double size : sizes) {
    SCOPED_TRACE(size);
    EXPECT_NO_THROW(p().surface.PlaceTextSymbol("x", size, false));
    EXPECT_EQ(p().SymbolCount, 0);
    EXPECT_FALSE(w().Label3.IsLoaded(1));
    EXPECT_EQ(p().PointerX, 170);
  }
}

}  // namespace
}  // namespace kel::test
