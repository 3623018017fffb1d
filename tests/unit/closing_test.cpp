// Closing never loses pages: the close box asks when a page changed since it was saved or
// loaded, and an end that cannot ask leaves the pages for the next start to offer.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pages_fixture.h"
#include "permissions_fixture.h"

namespace kel::test {
namespace {

constexpr Millis kLoadAllMs = PageFileDesk::kLoadAllMs;
constexpr const char* kQuestion =
    "Страниците са променени след последния запис. Да бъдат ли записани?";

struct Closing : RestartDesk {
  // The close box, and the save walk a Yes starts.
  void closeBox() {
    desk().userCloseForm(w());
    advance(kSaveWalkMs);
  }
  int questions() {
    int n = 0;
    for (const auto& b : desk().messageBoxCalls) {
      if (b.prompt != kQuestion) continue;
      EXPECT_EQ(b.buttons, msgbox::YesNoCancel | msgbox::Question);
      ++n;
    }
    return n;
  }
  // The program ends as a signal or a lost display ends it, then starts again in the same
  // folder, past its start-up steps.
  void endUnaskedAndStartAgain() {
    endUnasked();
    startAgain();
  }
};

TEST(QuittingKeepsPages, TheCloseBoxAsksOnlyWhenAPageChangedSinceItWasSavedOrLoaded) {
  const struct Case {
    const char* name;
    std::function<void(Closing&)> before;
    std::vector<int> answers;           // the question's, then the boxes after it
    std::optional<std::string> saveTo;  // the save dialog of a Yes (cancelled: none)
    bool asks, closes;
    const char* fileAfter;  // what the Yes wrote, or nullptr
  } cases[] = {
      {"nothing typed", [](Closing&) {}, {}, {}, false, true, nullptr},
      {"typed and saved",
       [](Closing& c) {
         c.text(200, 300, "x");
         c.save(c.path("a.txt"));
       },
       {},
       {},
       false,
       true,
       nullptr},
      {"typed and undone",
       [](Closing& c) {
         c.text(200, 300, "x");
         c.p().pages.Command69_Click();
       },
       {},
       {},
       false,
       true,
       nullptr},
      {"a file loaded",
       [](Closing& c) {
         c.s.folder.write("f.txt", "1|z|1500|900|24|False|");
         c.load(c.path("f.txt"));
       },
       {},
       {},
       false,
       true,
       nullptr},
      {"a file loaded, then a symbol",
       [](Closing& c) {
         c.s.folder.write("f.txt", "1|z|1500|900|24|False|");
         c.load(c.path("f.txt"));
         c.text(200, 300, "x");
       },
       {msgbox::No},
       {},
       true,
       true,
       nullptr},
      {"typed on page 3, then a file of page 1 loaded",
       [](Closing& c) {
         c.p().pages.Command72_Click(2);
         c.text(200, 300, "x");
         c.s.folder.write("f.txt", "1|z|1500|900|24|False|");
         c.load(c.path("f.txt"));
       },
       {msgbox::Cancel},
       {},
       true,
       false,
       nullptr},
      {"typed, saved, typed",
       [](Closing& c) {
         c.text(200, 300, "x");
         c.save(c.path("a.txt"));
         c.text("y");
       },
       {msgbox::No},
       {},
       true,
       true,
       nullptr},
      {"No", [](Closing& c) { c.text(200, 300, "x"); }, {msgbox::No}, {}, true, true, nullptr},
      {"Cancel",
       [](Closing& c) { c.text(200, 300, "x"); },
       {msgbox::Cancel},
       {},
       true,
       false,
       nullptr},
      {"Yes, saved",
       [](Closing& c) { c.text(200, 300, "x"); },
       {msgbox::Yes, msgbox::Ok},
       std::string("yes.txt"),
       true,
       true,
       "1|x|"},
      {"Yes, the save dialog cancelled",
       [](Closing& c) { c.text(200, 300, "x"); },
       {msgbox::Yes},
       {},
       true,
       false,
       nullptr},
      {"Yes, the file cannot be written",
       [](Closing& c) { c.text(200, 300, "x"); },
       {msgbox::Yes, msgbox::Ok},
       std::string("none/yes.txt"),
       true,
       false,
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Closing f;
    c.before(f);
    for (int a : c.answers) f.desk().messageBoxAnswers.push_back(a);
    if (c.saveTo)
      f.desk().fileDialogAnswers.push_back(FileDialogChoice{f.path(*c.saveTo), 1});
    else
      f.desk().fileDialogAnswers.push_back(std::nullopt);
    f.closeBox();
    EXPECT_EQ(f.questions(), c.asks ? 1 : 0);
    EXPECT_EQ(f.p().closed(), c.closes);
    EXPECT_EQ(f.w().Loaded, !c.closes);
    if (c.fileAfter) {
      EXPECT_EQ(f.s.folder.read(*c.saveTo).rfind(c.fileAfter, 0), 0u);
    }
    // Closed after the user was asked, or with nothing to lose: no recovery file. (A window
    // kept open with changed pages keeps them in one meanwhile.)
    if (c.closes) {
      EXPECT_FALSE(f.exists("Recovery.txt"));
    }
    if (!c.closes) {
      EXPECT_EQ(f.captions().size(), 1u);  // the pages are still there
      // Asked again, No: then it closes.
      f.desk().messageBoxAnswers.push_back(msgbox::No);
      f.closeBox();
      EXPECT_TRUE(f.p().closed());
      EXPECT_FALSE(f.exists("Recovery.txt"));
    }
  }
}

TEST(QuittingKeepsPages, TheCloseBoxAsksInTheLanguageOfTheCaptions) {
  Closing f;
  f.text(200, 300, "x");
  f.p().app.OcvetiEn();
  f.desk().messageBoxAnswers.push_back(msgbox::Cancel);
  f.closeBox();
  ASSERT_FALSE(f.desk().messageBoxCalls.empty());
  EXPECT_EQ(f.desk().messageBoxCalls.back().prompt,
            "The pages have changed since they were last saved. Save them first?");
  EXPECT_FALSE(f.p().closed());
}

TEST(QuittingKeepsPages, AnEndThatCannotAskLeavesThePagesForTheNextStartToOffer) {
  const struct {
    const char* name;
    int answer;
    bool loaded, kept;
  } cases[] = {
      {"Load", Pages::kRecoveryLoad, true, true},
      {"Keep for the next start", Pages::kRecoveryKeep, false, true},
      {"Discard", Pages::kRecoveryDiscard, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Closing f;
    f.text(200, 300, "a");
    f.text("b");
    f.p().pages.Command72_Click(2);
    f.text(250, 320, "c");
    const auto before = f.pages();
    f.endUnasked();
    const std::string kept = f.s.folder.read("Recovery.txt");
    ASSERT_EQ(kept.rfind("1|a|", 0), 0u);
    f.desk().choiceBoxAnswers.push_back(c.answer);
    f.startAgain();

    // Its own box, which says what the file is and which pages it holds.
    ASSERT_EQ(f.desk().choiceBoxCalls.size(), 1u);
    const ChoiceRequest& box = f.desk().choiceBoxCalls.back();
    EXPECT_EQ(box.title, "Незаписани страници");
    EXPECT_EQ(box.prompt,
              "Последното пускане завърши, преди страници 1, 3 да бъдат записани. Те са "
              "запазени в този файл:\n" +
                  f.path("Recovery.txt"));
    EXPECT_EQ(box.buttons,
              (std::vector<std::string>{"Зареди", "Запази за следващото пускане", "Изхвърли"}));
    // Return loads, Escape keeps: no key of its own discards.
    EXPECT_EQ(box.defaultButton, Pages::kRecoveryLoad);
    EXPECT_EQ(box.escapeButton, Pages::kRecoveryKeep);
    EXPECT_TRUE(f.desk().messageBoxCalls.empty());
    f.advance(kLoadAllMs);
    const auto after = f.pages();
    if (c.loaded) {
      EXPECT_EQ(after, before);
    } else {
      for (const auto& page : after) EXPECT_TRUE(page.empty());
    }
    // Only a discard removes the file; loaded or kept, it is as it was.
    EXPECT_EQ(f.exists("Recovery.txt"), c.kept);
    if (c.kept) {
      EXPECT_EQ(f.s.folder.read("Recovery.txt"), kept);
    }
    // What came back is in no file yet: closing asks about it, and No lets it go.
    f.desk().messageBoxAnswers.push_back(msgbox::No);
    f.closeBox();
    EXPECT_EQ(f.questions(), c.loaded ? 1 : 0);
    EXPECT_TRUE(f.p().closed());
    EXPECT_EQ(f.exists("Recovery.txt"), c.kept && !c.loaded);
    // Kept, it is offered again at the next start.
    f.startAgain();
    EXPECT_EQ(f.desk().choiceBoxCalls.size(), c.kept && !c.loaded ? 2u : 1u);
  }
}

TEST(QuittingKeepsPages, AnUnaskedEndOfUnchangedPagesLeavesNothing) {
  const struct {
    const char* name;
    std::function<void(Closing&)> before;
  } cases[] = {
      {"nothing typed", [](Closing&) {}},
      {"saved",
       [](Closing& c) {
         c.text(200, 300, "x");
         c.save(c.path("a.txt"));
       }},
      {"emptied by Clear All",
       [](Closing& c) {
         c.text(200, 300, "x");
         c.desk().messageBoxAnswers.push_back(msgbox::Yes);
         c.p().pages.Label11_Click();
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Closing f;
    c.before(f);
    const size_t boxes = f.desk().messageBoxCalls.size();
    f.endUnaskedAndStartAgain();
    EXPECT_FALSE(f.exists("Recovery.txt"));
    EXPECT_EQ(f.desk().messageBoxCalls.size(), boxes);  // nothing offered
  }
}

// What the folder holds whose name begins so, sorted.
std::vector<std::string> namesStartingWith(const std::string& folder, const std::string& start) {
  std::vector<std::string> out;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.rfind(start, 0) == 0) out.push_back(name);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// A recovery file that is refused holds the only copy of pages someone wrote: it is moved
// aside under a name that says what it is, and the box says where it went.
TEST(QuittingKeepsPages, ARefusedRecoveryFileIsSetAsideNeverDeleted) {
  const struct {
    const char* why;
    std::function<void(Closing&)> plant;
    const char* reason;  // the box's reason line
  } cases[] = {
      {"not a page file", [](Closing& c) { c.s.folder.write("Recovery.txt", "hello"); },
       "Причина: запис, който не е от шест полета."},
      {"over 16 MB",
       [](Closing& c) {
         c.s.folder.write("Recovery.txt", std::string(kMaxPageFileBytes + 1, '1'));
       },
       "Причина: по-голям е от 16 MB."},
      {"a FIFO", [](Closing& c) { ASSERT_EQ(::mkfifo(c.path("Recovery.txt").c_str(), 0644), 0); },
       "Причина: папка или устройство е, не файл."},
      {"naming a picture missing from Simbol",
       [](Closing& c) { c.s.folder.write("Recovery.txt", "1|nosuch.gif|1290|900|300||"); },
       "Причина: непознато или опасно име на картинка."},
      {"unreadable",
       [](Closing& c) {
         c.s.folder.write("Recovery.txt", "1|a|1290|900|24|False|");
         std::filesystem::permissions(c.path("Recovery.txt"), std::filesystem::perms::none);
       },
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    Closing f;
    c.plant(f);
    if (::testing::Test::HasFatalFailure()) return;
    std::string before;
    struct stat st {};
    ASSERT_EQ(::lstat(f.path("Recovery.txt").c_str(), &st), 0);
    if (S_ISREG(st.st_mode)) before = f.s.folder.read("Recovery.txt");
    {
      ObeyFilePermissions obey;
      f.endUnaskedAndStartAgain();
    }
    EXPECT_FALSE(f.exists("Recovery.txt"));
    const std::vector<std::string> aside = namesStartingWith(f.s.folder.path(), "Recovery.");
    ASSERT_EQ(aside.size(), 1u);
    // Recovery.refused-<date>-<time>.txt
    EXPECT_EQ(aside[0].rfind("Recovery.refused-", 0), 0u) << aside[0];
    EXPECT_EQ(aside[0].size(), std::string("Recovery.refused-20250101-120000.txt").size());
    struct stat moved {};
    ASSERT_EQ(::lstat(f.path(aside[0]).c_str(), &moved), 0);
    EXPECT_EQ(moved.st_ino, st.st_ino);  // the same file, whatever it is
    if (S_ISREG(st.st_mode)) {
      std::filesystem::permissions(f.path(aside[0]), std::filesystem::perms::owner_all);
      EXPECT_EQ(f.s.folder.read(aside[0]), before);
    }
    ASSERT_FALSE(f.desk().messageBoxCalls.empty());
    const std::string& prompt = f.desk().messageBoxCalls.back().prompt;
    EXPECT_NE(prompt.find(f.path("Recovery.txt") + "\n"), std::string::npos) << prompt;
    if (c.reason) {
      EXPECT_NE(prompt.find(c.reason), std::string::npos) << prompt;
    }
    EXPECT_EQ(prompt.substr(prompt.rfind('\n')), "\nЗапазен е като: " + f.path(aside[0]));
  }
}

TEST(QuittingKeepsPages, ASecondRefusedRecoveryFileNeverReplacesTheFirst) {
  Closing f;
  for (int run = 0; run < 3; ++run) {
    f.s.folder.write("Recovery.txt", "refused " + std::to_string(run));
    f.endUnaskedAndStartAgain();
  }
  const std::vector<std::string> aside = namesStartingWith(f.s.folder.path(), "Recovery.");
  ASSERT_EQ(aside.size(), 3u);
  std::vector<std::string> held;
  for (const std::string& name : aside) held.push_back(f.s.folder.read(name));
  std::sort(held.begin(), held.end());
  EXPECT_EQ(held, (std::vector<std::string>{"refused 0", "refused 1", "refused 2"}));
}

// Where the program folder cannot take the recovery file, the user's state folder does, and
// the next start finds it there.
TEST(QuittingKeepsPages, PagesTheProgramFolderCannotTakeGoToTheStateFolder) {
  Closing f;
  f.text(200, 300, "a");
  f.p().pages.Command72_Click(4);
  f.text(250, 320, "b");
  const auto before = f.pages();
  std::filesystem::permissions(f.s.folder.path(), std::filesystem::perms(0555));
  {
    ObeyFilePermissions obey;
    f.p().close();
  }
  std::filesystem::permissions(f.s.folder.path(), std::filesystem::perms(0755));
  EXPECT_TRUE(namesStartingWith(f.s.folder.path(), "Recovery").empty());
  const std::string state = f.s.stateFolder();
  const std::vector<std::string> kept = namesStartingWith(state, "Recovery-");
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(std::filesystem::status(state).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);

  f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryLoad);
  f.endUnaskedAndStartAgain();
  ASSERT_EQ(f.desk().choiceBoxCalls.size(), 1u);
  EXPECT_NE(f.desk().choiceBoxCalls.back().prompt.find(joinPath(state, kept[0])),
            std::string::npos);
  f.advance(kLoadAllMs);
  EXPECT_EQ(f.pages(), before);
}

// Something of another kind at the name is no earlier run's pages: the next name takes them.
TEST(QuittingKeepsPages, AFolderAtTheNameLeavesThePagesBesideIt) {
  Closing f;
  f.text(200, 300, "a");
  const auto before = f.pages();
  std::filesystem::create_directory(f.path("Recovery.txt"));
  f.p().close();
  EXPECT_TRUE(std::filesystem::is_regular_file(f.path("Recovery-2.txt")));
  f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryLoad);
  f.endUnaskedAndStartAgain();
  // The folder is refused and set aside; the pages beside it come back.
  ASSERT_EQ(f.desk().choiceBoxCalls.size(), 1u);
  EXPECT_NE(f.desk().choiceBoxCalls.back().prompt.find(f.path("Recovery-2.txt")),
            std::string::npos);
  f.advance(kLoadAllMs);
  EXPECT_EQ(f.pages(), before);
}

TEST(QuittingKeepsPages, PagesNoPlaceCouldTakeAreReportedOnStandardError) {
  Closing f;
  f.text(200, 300, "a");
  std::filesystem::permissions(f.s.folder.path(), std::filesystem::perms(0555));
  f.s.stateHome.write("kelvarin", "a file where the state folder should be");
  ::testing::internal::CaptureStderr();
  {
    ObeyFilePermissions obey;
    f.p().close();
  }
  const std::string said = ::testing::internal::GetCapturedStderr();
  std::filesystem::permissions(f.s.folder.path(), std::filesystem::perms(0755));
  EXPECT_NE(said.find("kelvarin: the changed pages could not be written"), std::string::npos)
      << said;
  EXPECT_NE(said.find(f.path("Recovery.txt")), std::string::npos) << said;
}

}  // namespace
}  // namespace kel::test
