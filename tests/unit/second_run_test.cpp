// One run at a time in a program folder: a second start there says so, brings the running
// one's window up and ends, reading and writing none of the folder's files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "permissions_fixture.h"
#include "sim_program.h"

namespace kel::test {
namespace {

constexpr const char* kAlreadyRuns = "Програмата вече работи от тази папка: ";

// Another start in the same folder: a desktop, files and timers of its own.
struct SecondRun {
  explicit SecondRun(const SimProgram& first)
      : files(first.folder.path(), first.stateFolder()),
        prog(std::make_unique<Program>(host.desktop, files, host.scheduler)) {}
  SimHost host;
  LocalFiles files;
  std::unique_ptr<Program> prog;
};

struct FileMark {
  std::string content;
  struct timespec modified {};
  bool operator==(const FileMark& o) const {
    return content == o.content && modified.tv_sec == o.modified.tv_sec &&
           modified.tv_nsec == o.modified.tv_nsec;
  }
};

FileMark mark(const TempFolder& folder, const std::string& name) {
  struct stat st {};
  if (::stat(folder.file(name).c_str(), &st) != 0) return {};
  return {folder.read(name), st.st_mtim};
}

TEST(SecondRun, SaysSoRaisesTheFirstAndTouchesNoFileOfTheFolder) {
  SimProgram first;
  first.folder.write("Options.txt", "1013|0|||||1|0|1");
  first.p().start();
  first.host.advance(1000);
  first.p().PointerX = 200;
  first.p().PointerY = 300;
  first.p().surface.PlaceTextSymbol("a", 24, false);
  first.host.advance(100);
  // What a run that ended unasked left, not offered yet to anyone.
  first.folder.write("Recovery.txt", "1|old|1290|900|24|False|");
  const FileMark options = mark(first.folder, "Options.txt");
  const FileMark recovery = mark(first.folder, "Recovery.txt");

  SecondRun second(first);
  second.prog->start();
  second.host.advance(2000);
  EXPECT_TRUE(second.prog->leftToOtherRun());
  EXPECT_TRUE(second.prog->closed());
  ASSERT_EQ(second.host.desktop.messageBoxCalls.size(), 1u);  // no recovery offer, only this
  const auto& box = second.host.desktop.messageBoxCalls.front();
  EXPECT_EQ(box.prompt, kAlreadyRuns + first.folder.path() + "\nПродължете в нейния прозорец.");
  EXPECT_EQ(box.buttons, msgbox::OkOnly | msgbox::Information);
  EXPECT_EQ(box.title, "Formidrel");
  EXPECT_EQ(
      second.host.desktop.raisedProcesses,
      (std::vector<std::pair<long, std::string>>{{static_cast<long>(::getpid()), "Formidrel"}}));
  // Its window never came up, and nothing of the folder was read into it.
  EXPECT_FALSE(second.prog->Form1.Loaded);
  EXPECT_TRUE(second.host.desktop.shownForms().empty());
  EXPECT_EQ(second.prog->HotkeyF8Code, "");
  second.prog->close();
  second.prog.reset();
  EXPECT_EQ(mark(first.folder, "Options.txt"), options);
  EXPECT_EQ(mark(first.folder, "Recovery.txt"), recovery);

  // The first goes on and keeps its own page through its own end.
  EXPECT_FALSE(first.p().closed());
  std::filesystem::remove(first.folder.file("Recovery.txt"));
  first.p().close();
  EXPECT_EQ(first.folder.read("Recovery.txt").rfind("1|a|", 0), 0u);
}

// The real box waits for the user with the event loop running: the timers a window is
// made with run meanwhile unless they were stopped before it. A recovery offer from the
// second start would load or discard the first run's pages.
TEST(SecondRun, NothingOfAWindowRunsWhileItsBoxWaitsForTheUser) {
  SimProgram first;
  first.p().start();
  first.host.advance(1000);
  first.folder.write("Recovery.txt", "1|old|1290|900|24|False|");
  const FileMark recovery = mark(first.folder, "Recovery.txt");

  SecondRun second(first);
  std::vector<SimDesktop::PointerMove> movesWhileOpen;
  second.host.desktop.answerMessageBox = [&](const std::string&, int, const std::string&) {
    second.host.advance(5000);  // the box read for five seconds
    movesWhileOpen = second.host.desktop.pointerMoves;
    return msgbox::Ok;
  };
  second.prog->start();
  second.host.advance(2000);
  EXPECT_TRUE(second.prog->leftToOtherRun());
  EXPECT_EQ(second.host.desktop.messageBoxCalls.size(), 1u);
  EXPECT_TRUE(second.host.desktop.choiceBoxCalls.empty()) << "a recovery offer was shown";
  EXPECT_TRUE(movesWhileOpen.empty()) << "the pointer was taken while the box was open";
  EXPECT_EQ(second.prog->HotkeyF8Code, "");
  second.prog->close();
  second.prog.reset();
  EXPECT_EQ(mark(first.folder, "Recovery.txt"), recovery);
}

TEST(SecondRun, TheFolderIsFreeOnceTheRunHoldingItHasEnded) {
  TempFolder folder, state;
  auto first = std::make_unique<LocalFiles>(folder.path(), state.file("kelvarin"));
  EXPECT_TRUE(first->lockProgramFolder().taken);
  EXPECT_TRUE(first->lockProgramFolder().taken);  // asked again by the run holding it
  {
    LocalFiles early(folder.path(), state.file("kelvarin"));
    const FolderLock held = early.lockProgramFolder();
    EXPECT_FALSE(held.taken);
    EXPECT_EQ(held.holderPid, static_cast<long>(::getpid()));
  }
  // However the run ends (a crash and SIGKILL too), what it held goes with it.
  first.reset();
  LocalFiles later(folder.path(), state.file("kelvarin"));
  EXPECT_TRUE(later.lockProgramFolder().taken);
}

// The lock stands beside the options file; in a folder that may not be written it is the
// lock file already there, or one in the user's state folder named after the folder.
TEST(SecondRun, AFolderThatMayNotBeWrittenIsHeldAllTheSame) {
  const struct {
    const char* why;
    bool lockFileThere;
  } cases[] = {
      {"with the lock file of an earlier run", true},
      {"with no lock file yet", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    SimProgram first;
    if (c.lockFileThere) first.folder.write(kLockFileName, "");
    std::filesystem::permissions(first.folder.path(), std::filesystem::perms(0555));
    {
      ObeyFilePermissions obey;
      first.p().start();
      SecondRun second(first);
      second.prog->start();
      EXPECT_TRUE(second.prog->leftToOtherRun());
      EXPECT_FALSE(first.p().leftToOtherRun());
    }
    std::filesystem::permissions(first.folder.path(), std::filesystem::perms(0755));
    EXPECT_EQ(std::filesystem::exists(first.stateFolder()), !c.lockFileThere);
  }
}

}  // namespace
}  // namespace kel::test
