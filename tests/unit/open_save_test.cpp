// The Open/Save dialog wrapper.
#include "pages/open_save.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>

#include "platform/sim/sim_desktop.h"

namespace kel::test {
namespace {

using namespace std::string_literals;

struct Dialog {
  SimClock clock;
  SimDesktop desk{clock};
  clsOpenSave d{desk};
};

TEST(OpenSave, ANewObjectHoldsTheClassicDefaults) {
  Dialog t;
  EXPECT_EQ(t.d.storedFilter(), "All Files (*.*)\0*.*\0\0"s);
  EXPECT_EQ(t.d.Filter(), "All Files (*.*)|*.*");
  EXPECT_EQ(t.d.FilterIndex(), 1);
  EXPECT_EQ(t.d.InitDir(), "C:\\");
  EXPECT_EQ(t.d.MaxFileSize(), 260);
  EXPECT_EQ(t.d.Flags(), 0);
  EXPECT_EQ(t.d.hwnd(), 0);
  EXPECT_EQ(t.d.FileExt(), 0);
  EXPECT_EQ(t.d.FileName(), "");
  EXPECT_EQ(t.d.FileTitle(), "");
  EXPECT_EQ(t.d.DialogTitle(), "");
  EXPECT_EQ(t.d.DefaultExt(), "");
  EXPECT_FALSE(t.d.CancelError());
}

TEST(OpenSave, TheFilterIsStoredWithNulsAndReadBackWithBars) {
  const struct {
    const char* given;
    std::string stored;
    const char* back;
  } cases[] = {
      {"Text Files (*.txt)|*.txt", "Text Files (*.txt)\0*.txt\0\0"s, "Text Files (*.txt)|*.txt"},
      // A final "|" is one of the two NULs.
      {"Text Files (*.txt)|*.txt|", "Text Files (*.txt)\0*.txt\0\0"s, "Text Files (*.txt)|*.txt"},
      {"A|*.a|B|*.b", "A\0*.a\0B\0*.b\0\0"s, "A|*.a|B|*.b"},
      {"", "\0\0"s, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    Dialog t;
    t.d.setFilter(c.given);
    EXPECT_EQ(t.d.storedFilter(), c.stored);
    EXPECT_EQ(t.d.Filter(), c.back);
  }
}

TEST(OpenSave, AChoiceFillsTheResultsAndTheDialogIsAskedAsSet) {
  Dialog t;
  t.d.setFilter("Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
  t.d.setFilterIndex(2);
  t.d.setDialogTitle("Pages");
  t.desk.fileDialogAnswers.push_back(FileDialogChoice{"/work/pages.txt", 1});
  t.d.ShowOpen();
  EXPECT_EQ(t.d.FileName(), "/work/pages.txt");
  EXPECT_EQ(t.d.FileTitle(), "pages.txt");
  EXPECT_EQ(t.d.FileExt(), 12);  // where "txt" begins, counted from 0
  EXPECT_EQ(t.d.FilterIndex(), 1);
  ASSERT_EQ(t.desk.fileDialogCalls.size(), 1u);
  const FileDialogRequest& r = t.desk.fileDialogCalls[0];
  EXPECT_EQ(r.kind, FileDialogKind::Open);
  EXPECT_EQ(r.title, "Pages");
  EXPECT_EQ(r.filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
  EXPECT_EQ(r.filterIndex, 2);
  EXPECT_EQ(r.folder, "");    // "C:\" is the home folder here
  EXPECT_FALSE(r.mustExist);  // with Flags 0 a name is taken as typed

  t.d.setInitDir("/srv/pages");
  t.d.setFlags(ofn::OverwritePrompt);
  t.desk.fileDialogAnswers.push_back(FileDialogChoice{"/srv/pages/notes", 1});
  t.d.ShowSave();
  EXPECT_EQ(t.desk.fileDialogCalls[1].kind, FileDialogKind::Save);
  EXPECT_EQ(t.desk.fileDialogCalls[1].folder, "/srv/pages");
  EXPECT_EQ(t.desk.fileDialogCalls[1].fileName, "/work/pages.txt");
  EXPECT_TRUE(t.desk.fileDialogCalls[1].confirmOverwrite);
  EXPECT_EQ(t.d.FileTitle(), "notes");
  EXPECT_EQ(t.d.FileExt(), 0);  // no extension
}

TEST(OpenSave, CancelChangesNothing) {
  Dialog t;
  t.d.setFileName("");
  t.desk.fileDialogAnswers.push_back(std::nullopt);
  t.d.ShowSave();
  EXPECT_EQ(t.d.FileName(), "");
  EXPECT_EQ(t.d.FileTitle(), "");
  EXPECT_EQ(t.d.FilterIndex(), 1);
  EXPECT_EQ(t.desk.fileDialogCalls.size(), 1u);
}

TEST(OpenSave, CancelAfterAChoiceLeavesEveryPropertyAsItWas) {
  Dialog t;
  t.d.setFilter("Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
  t.desk.fileDialogAnswers.push_back(FileDialogChoice{"/work/pages.txt", 2});
  t.d.ShowOpen();
  t.d.setDialogTitle("Pages");
  t.d.setDefaultExt("txt");
  t.d.setInitDir("/srv");
  t.d.setFlags(ofn::FileMustExist);
  const auto seen = [](const clsOpenSave& d) {
    return std::tuple(d.FileName(), d.FileTitle(), d.FileExt(), d.storedFilter(), d.FilterIndex(),
                      d.InitDir(), d.Flags(), d.DialogTitle(), d.DefaultExt(), d.MaxFileSize(),
                      d.hwnd(), d.CancelError());
  };
  const auto before = seen(t.d);
  ASSERT_EQ(std::get<0>(before), "/work/pages.txt");
  ASSERT_EQ(std::get<4>(before), 2);
  t.desk.fileDialogAnswers.push_back(std::nullopt);
  t.d.ShowSave();
  EXPECT_EQ(seen(t.d), before);
  t.desk.fileDialogAnswers.push_back(std::nullopt);
  t.d.ShowOpen();
  EXPECT_EQ(seen(t.d), before);
  EXPECT_EQ(t.desk.fileDialogCalls.size(), 3u);
}

TEST(OpenSave, ANameLongerThanTheBufferIsAnError) {
  Dialog t;
  t.d.setFileName(std::string(262, 'a'));
  EXPECT_THROW(t.d.ShowOpen(), std::length_error);
  EXPECT_TRUE(t.desk.fileDialogCalls.empty());
  t.d.setFileName(std::string(261, 'a'));
  EXPECT_NO_THROW(t.d.ShowOpen());
}

}  // namespace
}  // namespace kel::test
