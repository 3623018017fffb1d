#include <gtest/gtest.h>

#include <string>

#include "app/options.h"
#include "sim_program.h"

namespace kel::test {
namespace {

TEST(StartUp, LoadStepSetsTheInitialState) {
  SimProgram s;
  s.p().start();
  Program& p = s.p();
  MainWindow& w = s.w();
  EXPECT_EQ(w.Caption, "Formidrel");
  EXPECT_EQ(w.Left, 1280 * 15 - w.Width);  // right edge on the screen's right edge
  EXPECT_EQ(w.Top, 500);
  EXPECT_FLOAT_EQ(p.MarkPointerX, static_cast<float>(w.Left) / 15 + 90);
  EXPECT_FLOAT_EQ(p.MarkPointerY, 500.0f / 15 + 100);
  EXPECT_EQ(p.PointerX, p.MarkPointerX);
  EXPECT_EQ(p.PointerY, p.MarkPointerY);
  EXPECT_EQ(p.BarStartPointerX, p.MarkPointerX);
  EXPECT_EQ(p.BarEndPointerY, p.MarkPointerY);
  EXPECT_EQ(p.MarkInsertX, 1290);
  EXPECT_EQ(p.LastWindowTop, 500);
  EXPECT_EQ(p.LatinLayout, 1);
  EXPECT_EQ(p.CurrentBar, kNoBar);
  EXPECT_EQ(p.QueueLength, 0);
  EXPECT_EQ(p.BusyFlag, 0);
  EXPECT_EQ(w.Text5.Text(), "0");
  EXPECT_EQ(w.Label3[0].Top, -1000);
  EXPECT_EQ(w.Image3[0].Top, -1000);
  for (const Label* b : {&w.Label17, &w.Label18, &w.Label19, &w.label20})
    EXPECT_EQ(b->BackColor, kBlack);
  EXPECT_EQ(s.desk().layoutCalls, (std::vector<std::string>{"00000409"}));
  ASSERT_FALSE(s.desk().topmostCalls.empty());
  EXPECT_EQ(s.desk().topmostCalls.front(), "Form1");
}

TEST(StartUp, FirstShowMovesThePointerToTheWritingPositionAndStartsCapture) {
  SimProgram s;
  EXPECT_FALSE(s.w().Timer0.Enabled());
  EXPECT_FALSE(s.w().Timer00.Enabled());
  s.p().start();
  const MainWindow& w = s.w();
  ASSERT_EQ(s.desk().pointerMoves.size(), 1u);
  // 90 px right of and 100 px below the window's corner; 133.33 rounds to 133.
  EXPECT_EQ(s.desk().pointerMoves[0].x, static_cast<int>(w.Left / 15) + 90);
  EXPECT_EQ(s.desk().pointerMoves[0].y, 133);
  EXPECT_TRUE(w.Timer0.Enabled());
  EXPECT_TRUE(w.Timer00.Enabled());
  EXPECT_TRUE(w.Line4.Visible);
  s.host.advance(1000);
  EXPECT_FALSE(w.Line4.Visible);  // the guide line shows for a second
}

TEST(StartUp, OneShotTimersFinishTheStartUp) {
  SimProgram s;
  s.p().start();
  s.p().BusyFlag = 1;
  s.host.advance(200);
  EXPECT_FALSE(s.w().TimerStart0.Enabled());
  EXPECT_EQ(s.desk().layoutCalls.size(), 2u);  // US English once more
  EXPECT_EQ(s.p().BusyFlag, 0);                // Start frees the queue
  EXPECT_EQ(s.p().UserStopped, 0);
  EXPECT_TRUE(s.w().Timer0.Enabled());
  EXPECT_TRUE(s.w().Timer23.Enabled());
  s.host.advance(800);
  EXPECT_FALSE(s.w().Timer21.Enabled());
  EXPECT_EQ(s.w().Frame5.MousePointer, 99);
  // Loading the pop-up for its icon switches the pointer-leaves-window check off.
  EXPECT_TRUE(s.p().pages.Form7Loaded());
  EXPECT_FALSE(s.w().Timer23.Enabled());
  s.host.advance(5000);
  EXPECT_EQ(s.desk().layoutCalls.size(), 2u);
}

// --- the options file -------------------------------------------------------------------

struct OptionsRun {
  std::string f8Code, f8Shift, f9Code;
  int round, unit, evaluate;
  std::string written;
};

OptionsRun runWithOptions(const std::string* content) {
  SimProgram s;
  if (content) s.folder.write("Options.txt", *content);
  s.p().start();
  OptionsRun r{s.p().HotkeyF8Code,
               s.p().HotkeyF8Shift,
               s.p().HotkeyF9Code,
               s.w().Check1.Value,
               s.w().Gradusi.ListIndex,
               s.w().Check3.Value,
               ""};
  s.p().close();
  r.written = s.folder.read("Options.txt");
  return r;
}

TEST(OptionsFile, NoFileGivesDefaultsAndIsCreatedOnClosing) {
  OptionsRun r = runWithOptions(nullptr);
  EXPECT_EQ(r.f8Code, "");
  EXPECT_EQ(r.round, 1);
  EXPECT_EQ(r.unit, 0);
  EXPECT_EQ(r.evaluate, 1);
  EXPECT_EQ(r.written, "||||||1|0|1");
}

TEST(OptionsFile, FieldsAreReadAndWrittenBack) {
  struct Case {
    std::string in;
    std::string f8Code, f8Shift;
    int round, unit, evaluate;
    std::string out;
  } cases[] = {
      {"1013|0", "1013", "0", 1, 0, 1, "1013|0|||||1|0|1"},
      {"1013|0|||||1|0|1", "1013", "0", 1, 0, 1, "1013|0|||||1|0|1"},
      {"||||||0|1|0", "", "", 0, 1, 0, "||||||0|1|0"},
      {"||||||1|0|1", "", "", 1, 0, 1, "||||||1|0|1"},
      {"||||||||", "", "", 1, 0, 1, "||||||1|0|1"},                          // empty 7 ticks Round
      {"65|1|66|0|67|1|2|0|1", "65", "1", 0, 0, 1, "65|1|66|0|67|1|0|0|1"},  // 7 = 2 unticks
      {"***48|1", "***48", "1", 1, 0, 1, "***48|1|||||1|0|1"},
  };
  for (const Case& c : cases) {
    OptionsRun r = runWithOptions(&c.in);
    EXPECT_EQ(r.f8Code, c.f8Code) << c.in;
    EXPECT_EQ(r.f8Shift, c.f8Shift) << c.in;
    EXPECT_EQ(r.round, c.round) << c.in;
    EXPECT_EQ(r.unit, c.unit) << c.in;
    EXPECT_EQ(r.evaluate, c.evaluate) << c.in;
    EXPECT_EQ(r.written, c.out) << c.in;
  }
}

TEST(OptionsFile, MalformedContentIsSkippedNeverTrusted) {
  std::string forty;
  for (int i = 0; i < 40; ++i) forty += std::to_string(i) + "|";
  std::string binary("\x00\xff\x01|\x7f\x80|\x00", 7);
  struct Case {
    std::string name, in, out;
  } cases[] = {
      {"empty", "", "||||||1|0|1"},
      {"binary", binary, "||||||1|0|1"},
      // Shifts "3" and "5" are not flags; field 7 is "6", a number other than 1.
      {"forty fields", forty, "0|1|2||4||0|0|1"},
      {"non-numeric", "abc|x|y|z|w|v|yes|no|maybe", "||||||1|0|1"},
      {"negative", "-5|-1|||||-1|-1|-1", "||||||0|0|1"},
      {"enormous", "99999999999999999999|0|||||1e400|99999999999|99999999999", "||||||1|0|1"},
      {"path-like code", "../../x|0|", "||||||1|0|1"},
      {"ten megabytes", std::string(10 * 1024 * 1024, '7'), "||||||1|0|1"},
  };
  for (const Case& c : cases) {
    OptionsRun r = runWithOptions(&c.in);
    EXPECT_EQ(r.written, c.out) << c.name;
  }
}

TEST(OptionsFile, AFailedWriteKeepsTheSavedBindings) {
  SimProgram s;
  s.folder.write("Options.txt", "1013|0|||||1|0|1");
  s.p().start();
  s.p().HotkeyF9Code = "1020";
  // The temporary file cannot be created: the write fails as a whole.
  std::filesystem::create_directory(s.folder.file("Options.txt.tmp"));
  s.p().close();
  EXPECT_EQ(s.folder.read("Options.txt"), "1013|0|||||1|0|1");
}

TEST(OptionsFile, WritingReplacesTheFileWithoutALineBreak) {
  SimProgram s;
  s.folder.write("Options.txt", "1013|0|||||1|0|1\r\n<old content that is longer>");
  s.p().start();
  s.p().HotkeyF10Code = "1050";
  s.p().HotkeyF10Shift = "0";
  s.p().close();
  s.p().close();  // closing twice writes once
  EXPECT_EQ(s.folder.read("Options.txt"), "1013|0|||1050|0|1|0|1");
  EXPECT_FALSE(std::filesystem::exists(s.folder.file("Options.txt.tmp")));
}

}  // namespace
}  // namespace kel::test
