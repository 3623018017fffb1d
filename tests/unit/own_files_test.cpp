// The files the program keeps for itself (its recovery files, the options file, the lock
// file) are never the user's page file: a save onto one is refused, a recovery file opened is
// kept until its pages are saved, and the recovery writer removes only the file it wrote.
// Where no place takes the recovery file, the window says so.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "pages_fixture.h"
#include "permissions_fixture.h"

namespace kel::test {
namespace {

namespace fs = std::filesystem;

constexpr Millis kLoadAllMs = PageFileDesk::kLoadAllMs;
// Pages 1 and 3, as an earlier run left them.
constexpr const char* kLeft = "1|a|1500|900|24|False|1|b|1800|900|24|False|3|c|1500|900|24|False|";
constexpr const char* kRefused =
    "\nПричина: програмата пази в този файл свои данни; изберете друго име.";

struct OwnFiles : RestartDesk {
  // Past the quiet seconds after the last change, and the write itself.
  void kept() {
    advance(6000);
    p().pages.FinishRecoveryWrites();
  }
  std::string statePath(const std::string& name) { return joinPath(s.stateFolder(), name); }
  std::string stateRecovery() {
    return statePath(nameForFolder("Recovery", s.folder.path()) + ".txt");
  }
  const SimDesktop::MessageBoxCall* lastBox() {
    return desk().messageBoxCalls.empty() ? nullptr : &desk().messageBoxCalls.back();
  }
  // Opens a file through the Open dialog, the confirmation answered OK, every page placed.
  void open(const std::string& name) { load(name); }
};

std::string read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// However the name reaches one of the program's own files, the save is refused and says why;
// the pages and the recovery file stay as they are, and the file at the name too.
TEST(OwnFiles, ASaveOntoAFileTheProgramKeepsForItselfIsRefused) {
  const struct {
    const char* name;
    std::function<std::string(OwnFiles&)> to;  // arranges what the name needs; the name
  } names[] = {
      {"the recovery file", [](OwnFiles& f) { return f.path("Recovery.txt"); }},
      {"a recovery name not made yet", [](OwnFiles& f) { return f.path("Recovery-2.txt"); }},
      {"a recovery name of the state folder",
       [](OwnFiles& f) {
         fs::create_directories(f.s.stateFolder());
         return f.stateRecovery();
       }},
      {"the options file",
       [](OwnFiles& f) {
         f.s.folder.write("Options.txt", "||||||1|0|1");
         return f.path("Options.txt");
       }},
      {"the lock file", [](OwnFiles& f) { return f.path(kLockFileName); }},
      {"a symbolic link to the recovery file",
       [](OwnFiles& f) {
         fs::create_symlink("Recovery.txt", f.path("link.txt"));
         return f.path("link.txt");
       }},
      {"a link to a recovery name not made yet",
       [](OwnFiles& f) {
         fs::create_symlink("Recovery-3.txt", f.path("ahead.txt"));
         return f.path("ahead.txt");
       }},
      {"another spelling", [](OwnFiles& f) { return f.s.folder.path() + "/./Recovery.txt"; }},
      {"through a folder and back",
       [](OwnFiles& f) {
         fs::create_directory(f.path("sub"));
         return f.s.folder.path() + "/sub/../Recovery.txt";
       }},
      {"a relative path",
       [](OwnFiles& f) { return fs::relative(f.path("Recovery.txt")).string(); }},
      {"a second hard link",
       [](OwnFiles& f) {
         fs::create_hard_link(f.path("Recovery.txt"), f.path("hard.txt"));
         return f.path("hard.txt");
       }},
  };
  // The recovery file this run wrote, and the one it took over from an earlier run's offer.
  const struct {
    const char* name;
    std::function<void(OwnFiles&)> start;
  } runs[] = {
      {"typed", [](OwnFiles& f) { f.text(200, 300, "x"); }},
      {"loaded from the offer",
       [](OwnFiles& f) {
         f.s.folder.write("Recovery.txt", kLeft);
         f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryLoad);
         f.startAgain();
         f.advance(kLoadAllMs);
       }},
  };
  for (const auto& run : runs) {
    for (const auto& n : names) {
      SCOPED_TRACE(std::string(run.name) + ", " + n.name);
      OwnFiles f;
      run.start(f);
      f.kept();
      const std::string recovery = f.s.folder.read("Recovery.txt");
      ASSERT_EQ(recovery.rfind("1|", 0), 0u);
      const auto pages = f.pages();
      const std::string to = n.to(f);
      const bool there = fs::exists(to);
      const std::string before = there ? read(to) : std::string();

      f.save(to);
      ASSERT_TRUE(f.lastBox());
      EXPECT_EQ(f.lastBox()->prompt, "Файлът не можа да бъде записан: " + to + kRefused);
      EXPECT_EQ(f.lastBox()->buttons, msgbox::OkOnly | msgbox::Exclamation);
      EXPECT_EQ(fs::exists(to), there);
      if (there) {
        EXPECT_EQ(read(to), before);
      }
      // Still unsaved: kept in the recovery file, asked about at the close.
      f.kept();
      EXPECT_EQ(f.s.folder.read("Recovery.txt"), recovery);
      EXPECT_TRUE(f.p().pages.PagesChanged());
      EXPECT_EQ(f.pages(), pages);
      f.endUnasked();
      EXPECT_EQ(f.s.folder.read("Recovery.txt"), recovery);
    }
  }
}

TEST(OwnFiles, TheRefusalSpeaksTheLanguageOfTheCaptions) {
  OwnFiles f;
  f.p().app.OcvetiEn();
  f.text(200, 300, "x");
  f.save(f.path("Options.txt"));
  ASSERT_TRUE(f.lastBox());
  EXPECT_EQ(f.lastBox()->prompt, "The file could not be saved: " + f.path("Options.txt") +
                                     "\nReason: the program keeps its own data in this file; "
                                     "choose another name.");
  EXPECT_FALSE(f.exists("Options.txt"));
}

// Opened with Open, a recovery file of the program holds pages in no file the user chose: it
// is kept until they are saved, as when its offer is answered Load.
TEST(OwnFiles, ARecoveryFileOpenedIsKeptUntilItsPagesAreSaved) {
  const struct {
    const char* name;
    // Arranges the run; the name the Open dialog gives.
    std::function<std::string(OwnFiles&)> start;
    const char* kept;   // the recovery file that keeps the pages
    const char* holds;  // what it holds among the rest once the pages are placed
  } cases[] = {
      {"this run's own",
       [](OwnFiles& f) {
         f.text(200, 300, "x");
         f.kept();
         return f.path("Recovery.txt");
       },
       "Recovery.txt", "1|x|"},
      {"an earlier run's, kept at its offer, through a link",
       [](OwnFiles& f) {
         f.s.folder.write("Recovery.txt", kLeft);
         f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryKeep);
         f.startAgain();
         fs::create_symlink(f.path("Recovery.txt"), f.path("link.txt"));
         return f.path("link.txt");
       },
       "Recovery.txt", kLeft},
      {"an earlier run's in the state folder",
       [](OwnFiles& f) {
         fs::create_directories(f.s.stateFolder());
         std::ofstream(f.stateRecovery(), std::ios::binary) << kLeft;
         f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryKeep);
         f.startAgain();
         return f.stateRecovery();
       },
       nullptr, kLeft},
      // This run kept page 2 in a file of its own beside the earlier run's; opened, the
      // earlier one keeps all three pages, and this run's goes.
      {"an earlier run's, beside this run's own",
       [](OwnFiles& f) {
         f.s.folder.write("Recovery.txt", kLeft);
         f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryKeep);
         f.startAgain();
         f.p().pages.Command72_Click(1);
         f.text(200, 300, "x");
         f.kept();
         EXPECT_TRUE(f.exists("Recovery-2.txt"));
         return f.path("Recovery.txt");
       },
       "Recovery.txt", "2|x|"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OwnFiles f;
    const std::string name = c.start(f);
    const std::string kept = c.kept ? f.path(c.kept) : f.stateRecovery();
    f.open(name);
    f.kept();
    EXPECT_NE(read(kept).find(c.holds), std::string::npos) << read(kept);
    EXPECT_FALSE(f.exists("Recovery-2.txt"));
    const auto pages = f.pages();
    // Not saved: the close asks about them; an end that cannot ask leaves them in the file.
    EXPECT_TRUE(f.p().pages.PagesChanged());
    f.endUnasked();
    EXPECT_TRUE(fs::exists(kept));
    if (!fs::exists(kept)) continue;
    f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryLoad);
    f.startAgain();
    f.advance(kLoadAllMs);
    EXPECT_EQ(f.pages(), pages);
    // Saved elsewhere, they need it no longer.
    f.save(f.path("saved.txt"));
    f.p().pages.FinishRecoveryWrites();
    EXPECT_FALSE(fs::exists(kept));
  }
}

// The writer removes the file it wrote, never another one put at its name since.
TEST(OwnFiles, TheRecoveryWriterRemovesOnlyTheFileItWrote) {
  const struct {
    const char* name;
    std::function<void(const std::string&)> meanwhile;  // done to the file it wrote
    bool removed;
  } cases[] = {
      {"as it was written", [](const std::string&) {}, true},
      {"another file put in its place",
       [](const std::string& path) {
         std::ofstream(path + ".new", std::ios::binary) << "theirs";
         fs::rename(path + ".new", path);
       },
       false},
      {"written over in place",
       [](const std::string& path) { std::ofstream(path, std::ios::binary) << "theirs"; }, false},
  };
  // What goes: the file itself (the pages saved), or the file written before when the next
  // write went to another place (its folder blocked meanwhile).
  for (const bool moved : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (moved ? ", the next write elsewhere" : ", removed"));
      TempFolder folder, state;
      LocalFiles files(folder.path(), state.file("kelvarin"));
      const std::string first = folder.file("Recovery.txt");
      {
        RecoveryWriter writer(files);
        writer.replace({first, ""}, "1|x|1|2|24|False|");
        writer.finish();
        ASSERT_EQ(folder.read("Recovery.txt"), "1|x|1|2|24|False|");
        c.meanwhile(first);
        const std::string now = folder.read("Recovery.txt");
        if (moved)
          writer.replace({folder.file("none/Recovery.txt"), state.file("kelvarin/R.txt")}, "1|y|");
        else
          writer.remove();
        writer.finish();
        EXPECT_EQ(fs::exists(first), !c.removed);
        if (!c.removed) {
          EXPECT_EQ(folder.read("Recovery.txt"), now);
        }
      }
      if (moved) {
        EXPECT_EQ(state.read("kelvarin/R.txt"), "1|y|");
      }
    }
  }
}

// With no place to keep the recovery file, the window says so once, until a write keeps the
// pages again; the write is tried again meanwhile without any change of the pages.
TEST(OwnFiles, PagesKeptNowhereAreSaidInTheWindowAndTriedAgain) {
  for (const bool en : {false, true}) {
    SCOPED_TRACE(en ? "English" : "Bulgarian");
    OwnFiles f;
    if (en) f.p().app.OcvetiEn();
    const std::string expected =
        (en ? std::string("The changed pages could not be kept in a recovery file in any of these "
                          "places:\n")
            : std::string("Променените страници не можаха да бъдат запазени във файл за "
                          "възстановяване на нито едно от тези места:\n")) +
        f.path("Recovery.txt") + "\n" + f.stateRecovery() +
        (en ? "\nSave them: until this is put right, only a file you save keeps them."
            : "\nЗапишете ги: докато това не се оправи, само записан файл ги пази.");
    auto boxes = [&] {
      int n = 0;
      for (const auto& b : f.desk().messageBoxCalls) {
        if (b.prompt != expected) continue;
        EXPECT_EQ(b.buttons, msgbox::OkOnly | msgbox::Exclamation);
        ++n;
      }
      return n;
    };
    f.text(200, 300, "a");
    // A program folder that may not be written, a file where the state folder should be.
    fs::permissions(f.s.folder.path(), fs::perms(0555));
    f.s.stateHome.write("kelvarin", "a file where the state folder should be");
    {
      ObeyFilePermissions obey;  // also for the writer's thread, made now
      ::testing::internal::CaptureStderr();
      f.kept();
      f.advance(1000);
      EXPECT_EQ(boxes(), 1);
      // Said once, however long it lasts.
      f.advance(60000);
      EXPECT_EQ(boxes(), 1);
      f.p().pages.FinishRecoveryWrites();
      const std::string said = ::testing::internal::GetCapturedStderr();
      EXPECT_NE(said.find("kelvarin: the changed pages could not be written"), std::string::npos);
      // Put right: the next try keeps the pages, with no change of them.
      fs::permissions(f.s.folder.path(), fs::perms(0755));
      f.advance(30000);
      f.p().pages.FinishRecoveryWrites();
      EXPECT_EQ(f.s.folder.read("Recovery.txt").rfind("1|a|", 0), 0u);
      // Kept again, a later failure is said again.
      fs::permissions(f.s.folder.path(), fs::perms(0555));
      ::testing::internal::CaptureStderr();
      f.text("b");
      f.kept();
      f.advance(1000);
      EXPECT_EQ(boxes(), 2);
      f.p().pages.FinishRecoveryWrites();
      ::testing::internal::GetCapturedStderr();
      fs::permissions(f.s.folder.path(), fs::perms(0755));
    }
  }
}

}  // namespace
}  // namespace kel::test
