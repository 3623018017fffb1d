#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "app/options.h"
#include "permissions_fixture.h"
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
  EXPECT_TRUE(s.p().Form7.Loaded);
  EXPECT_FALSE(s.p().Form7.Visible);
  EXPECT_FALSE(s.w().Timer23.Enabled());
  s.host.advance(5000);
  EXPECT_EQ(s.desk().layoutCalls.size(), 2u);
}

// --- the options file -------------------------------------------------------------------

// What the folder holds besides the lock that stands for the running program.
std::set<std::string> filesIn(const TempFolder& folder) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder.path()))
    if (e.path().filename() != kLockFileName) names.insert(e.path().filename().string());
  return names;
}

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
      // A hand-edited file ends in a line break; it is not part of the last field.
      {"1013|0|||||0|1|0\n", "1013", "0", 0, 1, 0, "1013|0|||||0|1|0"},
      {"1013|0|||||0|1|0\r\n", "1013", "0", 0, 1, 0, "1013|0|||||0|1|0"},
      {"1013|1\n", "1013", "1", 1, 0, 1, "1013|1|||||1|0|1"},
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
  // "1013|0|||||1|0|1" as a Windows editor saves it in UTF-16.
  std::string utf16("\xff\xfe", 2);
  for (const char c : std::string("1013|0|||||1|0|1")) utf16 += std::string{c, '\0'};
  const std::string tenMegabytes(10 * 1024 * 1024, '7');
  struct Case {
    std::string name, in, out;
  } cases[] = {
      {"empty", "", "||||||1|0|1"},
      // What the program cannot read as options is nobody's to overwrite: left as it is.
      {"binary", binary, binary},
      {"UTF-16", utf16, utf16},
      // Shifts "3" and "5" are not flags; field 7 is "6", a number other than 1.
      {"forty fields", forty, "0|1|2||4||0|0|1"},
      {"non-numeric", "abc|x|y|z|w|v|yes|no|maybe", "||||||1|0|1"},
      {"negative", "-5|-1|||||-1|-1|-1", "||||||0|0|1"},
      {"enormous", "99999999999999999999|0|||||1e400|99999999999|99999999999", "||||||1|0|1"},
      {"path-like code", "../../x|0|", "||||||1|0|1"},
      {"ten megabytes", tenMegabytes, tenMegabytes},
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
  {
    // No new file can be created in the folder: the write fails as a whole.
    ObeyFilePermissions obey;
    std::filesystem::permissions(s.folder.path(), std::filesystem::perms(0555));
    s.p().close();
    std::filesystem::permissions(s.folder.path(), std::filesystem::perms(0755));
  }
  EXPECT_EQ(s.folder.read("Options.txt"), "1013|0|||||1|0|1");
  EXPECT_EQ(filesIn(s.folder), std::set<std::string>{"Options.txt"});
}

// Whatever stands at a name the save might use, the options file is saved in its place
// and nothing outside the folder is touched.
TEST(OptionsFile, NothingPlantedAtTheTemporaryNameDivertsOrBlocksTheSave) {
  const std::string planted = "Options.txt.tmp";
  struct Case {
    const char* name;
    std::function<void(const TempFolder& folder, const TempFolder& elsewhere)> plant;
  } cases[] = {
      {"a link to another user's file",
       [&](const TempFolder& folder, const TempFolder& elsewhere) {
         std::filesystem::create_symlink(elsewhere.file("victim"), folder.file(planted));
       }},
      {"a dangling link",
       [&](const TempFolder& folder, const TempFolder& elsewhere) {
         std::filesystem::create_symlink(elsewhere.file("nothing"), folder.file(planted));
       }},
      {"a folder",
       [&](const TempFolder& folder, const TempFolder&) {
         std::filesystem::create_directory(folder.file(planted));
       }},
  };
  for (const Case& c : cases) {
    SimProgram s;
    TempFolder elsewhere;
    elsewhere.write("victim", "not yours");
    s.folder.write("Options.txt", "1013|0|||||1|0|1");
    c.plant(s.folder, elsewhere);
    s.p().start();
    s.p().HotkeyF9Code = "1020";
    s.p().HotkeyF9Shift = "1";
    s.p().close();
    EXPECT_FALSE(std::filesystem::is_symlink(s.folder.file("Options.txt"))) << c.name;
    EXPECT_EQ(s.folder.read("Options.txt"), "1013|0|1020|1|||1|0|1") << c.name;
    EXPECT_EQ(elsewhere.read("victim"), "not yours") << c.name;
    EXPECT_FALSE(std::filesystem::exists(elsewhere.file("nothing"))) << c.name;
    EXPECT_EQ(filesIn(s.folder), (std::set<std::string>{"Options.txt", planted})) << c.name;
  }
}

// A file start-up could not read holds bindings nobody has seen, and a file the user
// made read-only is theirs to keep: closing leaves either as it was.
TEST(OptionsFile, AFileThatCouldNotBeReadOrMayNotBeWrittenIsLeftAsItIs) {
  using std::filesystem::perms;
  const std::string saved = "1013|0|||||0|1|0";
  struct Case {
    const char* name;
    perms atStart, atExit;
    std::string f8Code;  // what start-up read
  } cases[] = {
      {"unreadable", perms(0200), perms(0200), ""},
      {"unreadable at start-up, readable at exit", perms(0), perms(0644), ""},
      {"read-only", perms(0444), perms(0444), "1013"},
      {"made read-only while running", perms(0644), perms(0444), "1013"},
  };
  for (const Case& c : cases) {
    SimProgram s;
    s.folder.write("Options.txt", saved);
    const std::string path = s.folder.file("Options.txt");
    {
      ObeyFilePermissions obey;
      std::filesystem::permissions(path, c.atStart);
      s.p().start();
      EXPECT_EQ(s.p().HotkeyF8Code, c.f8Code) << c.name;
      s.p().HotkeyF9Code = "1020";
      std::filesystem::permissions(path, c.atExit);
      s.p().close();
      EXPECT_EQ(std::filesystem::status(path).permissions(), c.atExit) << c.name;
      std::filesystem::permissions(path, perms(0644));
    }
    EXPECT_EQ(s.folder.read("Options.txt"), saved) << c.name;
    EXPECT_EQ(filesIn(s.folder), std::set<std::string>{"Options.txt"}) << c.name;
  }
}

TEST(OptionsFile, AnUnreadableFileThatIsGoneAtExitIsWrittenAfresh) {
  SimProgram s;
  s.folder.write("Options.txt", "1013|0|||||0|1|0");
  {
    ObeyFilePermissions obey;
    std::filesystem::permissions(s.folder.file("Options.txt"), std::filesystem::perms(0));
    s.p().start();
  }
  std::filesystem::remove(s.folder.file("Options.txt"));
  s.p().HotkeyF9Code = "1020";
  s.p().close();
  EXPECT_EQ(s.folder.read("Options.txt"), "||1020||||1|0|1");
}

TEST(OptionsFile, TheReplacementKeepsTheFilesPermissions) {
  SimProgram s;
  s.folder.write("Options.txt", "1013|0|||||0|1|0");
  std::filesystem::permissions(s.folder.file("Options.txt"), std::filesystem::perms(0600));
  s.p().start();
  s.p().close();
  EXPECT_EQ(std::filesystem::status(s.folder.file("Options.txt")).permissions(),
            std::filesystem::perms(0600));
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
  EXPECT_EQ(filesIn(s.folder), std::set<std::string>{"Options.txt"});
}

}  // namespace
}  // namespace kel::test
