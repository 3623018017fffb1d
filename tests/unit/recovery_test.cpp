// The recovery file of a run that ended without anyone to ask: what the next start offers,
// and that nothing but the user's own choice lets it go.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "editing_fixture.h"
#include "pages_fixture.h"

namespace kel::test {
namespace {

// Pages 1 and 3, as an earlier run left them.
constexpr const char* kLeft = "1|a|1500|900|24|False|1|b|1800|900|24|False|3|c|1500|900|24|False|";

struct Recovering : RestartDesk {
  // What an earlier run left, then a new run.
  void leftByEarlierRun(const std::string& bytes = kLeft) {
    s.folder.write("Recovery.txt", bytes);
    startAgain();
  }
  std::vector<ChoiceRequest>& offers() { return desk().choiceBoxCalls; }
};

TEST(RecoveryOffer, AQuitOrALostDisplayWhileTheOfferIsOpenKeepsTheFile) {
  const struct {
    const char* name;
    // What happens while the box is open; the box's answer.
    std::function<int(Recovering&, const ChoiceRequest&)> inBox;
    bool closed;
  } cases[] = {
      // A signal dismisses the box (with its Escape answer); the run ends after it.
      {"a signal", [](Recovering&, const ChoiceRequest& b) { return b.escapeButton; }, true},
      // The display lost: the run ends under the box, which never answers.
      {"the display lost",
       [](Recovering& f, const ChoiceRequest& b) {
         f.p().close();
         return b.escapeButton;
       },
       true},
      // Escape is also the upper-index key: pressed in the box, it answers the box only.
      {"Escape",
       [](Recovering& f, const ChoiceRequest& b) {
         f.desk().userKeyDown(vk::Escape);
         return b.escapeButton;
       },
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Recovering f;
    f.desk().answerChoiceBox = [&](const ChoiceRequest& b) { return c.inBox(f, b); };
    f.leftByEarlierRun();
    f.desk().answerChoiceBox = nullptr;
    ASSERT_EQ(f.offers().size(), 1u);
    f.desk().userKeyUp(vk::Escape);
    f.advance(500);
    EXPECT_EQ(f.p().UpperIndexMode, 0);
    EXPECT_EQ(f.w().List1.ListCount(), 0);  // nothing queued
    if (c.closed) f.endUnasked();
    EXPECT_EQ(f.s.folder.read("Recovery.txt"), kLeft);
    f.startAgain();
    EXPECT_EQ(f.offers().size(), 2u);  // offered again
    EXPECT_EQ(f.s.folder.read("Recovery.txt"), kLeft);
  }
}

TEST(RecoveryOffer, TheOfferSpeaksTheLanguageOfTheCaptionsAndNamesEachPage) {
  Recovering f;
  f.s.folder.write("Recovery.txt", "2|x|1500|900|24|False|");
  f.startAgain([&] { f.p().app.OcvetiEn(); });
  ASSERT_EQ(f.offers().size(), 1u);
  const ChoiceRequest& box = f.offers().back();
  EXPECT_EQ(box.title, "Unsaved pages");
  EXPECT_EQ(box.prompt, "The last run ended before page 2 was saved. It was kept in this file:\n" +
                            f.path("Recovery.txt"));
  EXPECT_EQ(box.buttons, (std::vector<std::string>{"Load", "Keep for the next start", "Discard"}));
}

TEST(RecoveryOffer, AFileWithNoPageInItIsNotOffered) {
  for (const char* bytes : {"", "\r\n"}) {
    SCOPED_TRACE(::testing::PrintToString(std::string(bytes)));
    Recovering f;
    f.leftByEarlierRun(bytes);
    EXPECT_TRUE(f.offers().empty());
    EXPECT_TRUE(f.desk().messageBoxCalls.empty());
  }
}

// Pages kept for a later start belong to the run that left them: a run that goes on
// working keeps its own pages beside them, and the next start offers both.
TEST(RecoveryOffer, PagesKeptForALaterStartAreNeverWrittenOver) {
  Recovering f;
  f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryKeep);
  f.leftByEarlierRun();
  f.p().pages.Command72_Click(1);
  f.text(200, 300, "x");
  f.endUnasked();
  EXPECT_EQ(f.s.folder.read("Recovery.txt"), kLeft);
  EXPECT_EQ(f.s.folder.read("Recovery-2.txt").rfind("2|x|", 0), 0u);

  f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryKeep);
  f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryLoad);
  f.startAgain();
  ASSERT_EQ(f.offers().size(), 3u);
  EXPECT_NE(f.offers()[1].prompt.find("страници 1, 3 "), std::string::npos);
  EXPECT_NE(f.offers()[2].prompt.find("страница 2 "), std::string::npos);
  EXPECT_NE(f.offers()[2].prompt.find(f.path("Recovery-2.txt")), std::string::npos);
  f.advance(Recovering::kLoadAllMs);
  f.p().pages.Command72_Click(1);
  EXPECT_EQ(f.captions(), (std::vector<std::string>{"x"}));
  // Loaded, it is this run's file: its changes go there, the kept one stays as it was.
  f.text("y");
  f.endUnasked();
  EXPECT_EQ(f.s.folder.read("Recovery.txt"), kLeft);
  EXPECT_NE(f.s.folder.read("Recovery-2.txt").find("2|y|"), std::string::npos);
  EXPECT_FALSE(f.exists("Recovery-3.txt"));
}

// Pages 1, 5 and 12 as a page file holds them, page 1 of `big` captions: it is placed a
// share at a time (50 records a millisecond), each later page a second after the one before.
std::string pagesOneFiveTwelve(int big) {
  std::string text;
  for (int i = 0; i < big; ++i)
    text += "1|" + std::to_string(i) + "|" + std::to_string(300 + 15 * (i % 60)) + "|" +
            std::to_string(900 + 600 * (i / 60)) + "|24|False|";
  return text + "5|p|1500|900|24|False|5|q|1800|900|24|False|12|z|1500|900|24|False|";
}

TEST(RecoveryWhilePlacing, AQuitWhileRecoveredPagesArePlacedKeepsEveryRecord) {
  const std::string left = pagesOneFiveTwelve(600);
  // After the offer (at 200 ms) was answered: within the first page (twelve shares), between
  // the pages, after the last.
  for (const Millis after : {0, 5, 300, 800, 1200, 2500}) {
    SCOPED_TRACE(after);
    Recovering f;
    f.s.folder.write("Recovery.txt", left);
    f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryLoad);
    f.startAgain({}, 200 + after);
    ASSERT_EQ(f.offers().size(), 1u);
    f.endUnasked();
    EXPECT_EQ(f.s.folder.read("Recovery.txt"), left);
  }
}

TEST(RecoveryWhilePlacing, AQuitWhileAFileIsPlacedKeepsWhatThePagesWillHold) {
  const std::string file = pagesOneFiveTwelve(600);
  for (const Millis after : {0, 5, 300, 1200, 2500}) {
    SCOPED_TRACE(after);
    Recovering f;
    f.p().pages.Command72_Click(2);
    f.text(200, 300, "x");  // typed on page 3, in no file
    const std::string page3 = f.p().pages.PageRecordsText(3);
    f.s.folder.write("f.txt", file);
    f.load(f.path("f.txt"), msgbox::Ok, after);
    f.endUnasked();
    const size_t five = file.find("5|p|");
    EXPECT_EQ(f.s.folder.read("Recovery.txt"), file.substr(0, five) + page3 + file.substr(five));
  }
}

TEST(RecoveryWhilePlacing, RecoveredPagesAreKeptUntilTheyAreSaved) {
  Recovering f;
  f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryLoad);
  f.leftByEarlierRun();
  f.advance(Recovering::kLoadAllMs);
  // Loaded and not saved: kept as they are, whatever the next run does.
  f.endUnasked();
  EXPECT_EQ(f.s.folder.read("Recovery.txt"), kLeft);
  f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryLoad);
  f.startAgain();
  f.advance(Recovering::kLoadAllMs);
  f.save(f.path("saved.txt"));
  EXPECT_EQ(f.s.folder.read("saved.txt"), kLeft);
  f.endUnasked();
  EXPECT_FALSE(f.exists("Recovery.txt"));
}

// Opening a file while recovered pages are still being placed does not lose those it does
// not fill.
TEST(RecoveryWhilePlacing, AFileOpenedMeanwhileLeavesTheOtherRecoveredPages) {
  Recovering f;
  const std::string left = pagesOneFiveTwelve(3);
  f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryLoad);
  f.s.folder.write("Recovery.txt", left);
  f.startAgain({}, 300);  // page 1 placed, pages 5 and 12 to come
  f.s.folder.write("f.txt", "5|n|1500|900|24|False|");
  f.load(f.path("f.txt"));
  f.endUnasked();
  EXPECT_EQ(f.s.folder.read("Recovery.txt"),
            left.substr(0, left.find("5|p|")) + "5|n|1500|900|24|False|12|z|1500|900|24|False|");
}

// A run that is killed (or a machine that loses its power) runs no step of its own: what
// the recovery file holds then is what the next start gets back.
TEST(RecoveryKeptCurrent, ThePagesTypedAFewSecondsBeforeAKillAreOfferedAtTheNextStart) {
  const struct {
    Millis afterTyping;
    bool kept;
  } cases[] = {{4000, false}, {6500, true}, {12000, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.afterTyping);
    Recovering f;
    f.p().pages.Command72_Click(2);
    f.text(200, 300, "x");
    f.text("y");
    f.advance(c.afterTyping);
    f.killed();
    f.desk().choiceBoxAnswers.push_back(Pages::kRecoveryLoad);
    f.startAgain();
    ASSERT_EQ(f.offers().size(), c.kept ? 1u : 0u);
    if (!c.kept) continue;
    EXPECT_NE(f.offers().back().prompt.find("страница 3 "), std::string::npos);
    f.advance(Recovering::kLoadAllMs);
    f.p().pages.Command72_Click(2);
    EXPECT_EQ(f.captions(), (std::vector<std::string>{"x", "y"}));
  }
}

TEST(RecoveryKeptCurrent, ContinuousWorkIsKeptAtLeastEveryThirtySeconds) {
  Recovering f;
  f.text(200, 300, "a");
  // A symbol every two seconds: never five seconds without a change.
  for (int i = 0; i < 16; ++i) {
    f.advance(2000 - 30);
    f.text("b");
  }
  f.killed();
  f.startAgain();
  ASSERT_EQ(f.offers().size(), 1u);
  const std::string kept = f.s.folder.read("Recovery.txt");
  // What was typed in the first thirty seconds at least: "a" and fourteen "b".
  EXPECT_GE(std::count(kept.begin(), kept.end(), '|') / 6, 15);
  EXPECT_EQ(kept.rfind("1|a|", 0), 0u);
}

// Once nothing is left to give back, the file goes: the pages saved, undone to what was
// saved, or closed after the question was answered No.
TEST(RecoveryKeptCurrent, TheFileGoesOnceThePagesNeedNoneAndComesBackWithTheNextChange) {
  const struct {
    const char* name;
    std::function<void(Recovering&)> then;
  } cases[] = {
      {"saved", [](Recovering& f) { f.save(f.path("saved.txt")); }},
      {"undone",
       [](Recovering& f) {
         f.p().pages.Command69_Click();
         f.advance(6000);
       }},
      {"cleared",
       [](Recovering& f) {
         f.clearAll();
         f.advance(6000);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Recovering f;
    f.text(200, 300, "x");
    f.advance(6000);
    f.p().pages.FinishRecoveryWrites();
    ASSERT_TRUE(f.exists("Recovery.txt"));
    c.then(f);
    f.killed();
    EXPECT_FALSE(f.exists("Recovery.txt"));
    // And the next change is kept again.
    f.startAgain();
    EXPECT_TRUE(f.offers().empty());
    f.text(200, 300, "z");
    f.advance(6000);
    f.killed();
    EXPECT_EQ(f.s.folder.read("Recovery.txt").rfind("1|z|", 0), 0u);
  }
}

// The move buttons take no undo step: the file follows what they move all the same.
TEST(RecoveryKeptCurrent, SymbolsMovedByTheMoveButtonsAreKeptWhereTheyWent) {
  Editing u;
  u.type(kLine, {"1", "2"});
  u.advance(6000);
  u.select(1, 2);
  const double typed = u.placeOf(1).left;
  u.hold(u.w().Command65);
  u.advance(50);
  u.letGo();
  const double moved = u.placeOf(1).left;
  u.advance(6000);
  u.p().pages.FinishRecoveryWrites();
  const auto kept = parsePageFile(u.s.folder.read("Recovery.txt"));
  ASSERT_TRUE(kept);
  ASSERT_EQ(kept->size(), 2u);
  EXPECT_EQ(kept->front().left, moved);
  EXPECT_GT(moved, typed);
}

TEST(RecoveryKeptCurrent, AWindowClosedAfterTheQuestionLeavesNoFile) {
  Recovering f;
  f.text(200, 300, "x");
  f.advance(6000);
  f.p().pages.FinishRecoveryWrites();
  ASSERT_TRUE(f.exists("Recovery.txt"));
  f.desk().messageBoxAnswers.push_back(msgbox::No);
  f.desk().userCloseForm(f.w());
  EXPECT_TRUE(f.p().closed());
  EXPECT_FALSE(f.exists("Recovery.txt"));
}

}  // namespace
}  // namespace kel::test
