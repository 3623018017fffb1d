// Closing never loses pages: the close box asks when a page changed since it was saved or
// loaded, and an end that cannot ask leaves the pages for the next start to offer.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pages_fixture.h"

namespace kel::test {
namespace {

constexpr Millis kSaveWalkMs = PageFileDesk::kSaveWalkMs;
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

}  // namespace
}  // namespace kel::test
