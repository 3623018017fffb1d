// The six key pictures of the panel: each queues its key, asks for the dispatcher's common
// steps (the pointer comes back to the picture), and the fraction keys show the next step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "palette_fixture.h"

namespace kel::test {
namespace {

TEST(KeyImages, AClickQueuesTheKeyAndThePointerStaysOnThePicture) {
  struct Case {
    const char* name;
    Image& (*image)(MainWindow&);
    const char* code;
    int queuedByTheKey;  // what playing the key appends itself
    PointPx moved;       // where the played key takes the insertion point, in pixels
  } cases[] = {
      {"F12", [](MainWindow& w) -> Image& { return w.Image8; }, "123", 0, {0, 8}},
      {"Esc", [](MainWindow& w) -> Image& { return w.Image12; }, "27", 0, {0, -13}},
      // Insert queues the Page Up that takes the insertion point to the numerator.
      {"Insert", [](MainWindow& w) -> Image& { return w.Image14; }, "45", 1, {10, -16}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PaletteUser u;
    Program& p = u.p();
    Image& image = c.image(u.w());
    const PointPx insertion = u.insertionPoint();
    const PointPx at = u.over(image);
    const int before = p.QueueLength;
    u.clickAt(at);
    EXPECT_EQ(u.queued(), (std::vector<std::string>{c.code}));
    EXPECT_EQ(u.flags(), (std::vector<std::string>{"0"}));
    EXPECT_EQ(p.QueueLength, before + 1);
    EXPECT_EQ(p.PendingCode.kind(), PendingValue::Kind::Text);
    EXPECT_EQ(p.PendingCode.text(), "Nisto");
    EXPECT_EQ(u.pointer(), at);
    u.advance(50);  // the dispatch: its common steps only
    EXPECT_EQ(p.QueueLength, before + 2 + c.queuedByTheKey);
    EXPECT_EQ(u.queued().front(), c.code);
    EXPECT_FALSE(u.w().Timer17.Enabled());  // F8 stays as it was
    u.advance(300);
    EXPECT_FALSE(u.w().Timer28.Enabled());
    EXPECT_EQ(u.pointer(), at);
    // The key acted from the insertion point, not from the picture.
    EXPECT_EQ(u.insertionPoint(), (PointPx{insertion.x + c.moved.x, insertion.y + c.moved.y}));
  }
}

TEST(KeyImages, TheFractionKeysShowTheNextStep) {
  PaletteUser u;
  MainWindow& w = u.w();
  auto shown = [&](std::initializer_list<const Control*> cs) {
    for (const Control* c : cs)
      if (!c->Visible) return false;
    return true;
  };
  auto hidden = [&](std::initializer_list<const Control*> cs) {
    for (const Control* c : cs)
      if (c->Visible) return false;
    return true;
  };
  EXPECT_TRUE(shown({&w.Image14, &w.Label10, &w.Line14}));
  // Insert: Page Down is next, at once, before the key is played.
  u.click(w.Image14);
  EXPECT_TRUE(hidden({&w.Image14, &w.Label10, &w.Line14}));
  EXPECT_TRUE(shown({&w.Image16, &w.Label4, &w.Line7}));
  u.advance(500);
  EXPECT_EQ(u.p().FractionPart, 1);
  u.click(w.Image16);
  EXPECT_TRUE(hidden({&w.Image16, &w.Label4, &w.Line7}));
  EXPECT_TRUE(shown({&w.Image17, &w.Label5, &w.Line8}));
  u.advance(500);
  EXPECT_EQ(u.p().FractionPart, 2);
  // Home hides every group; the Insert group comes back once Home is played.
  u.click(w.Image17);
  EXPECT_TRUE(hidden({&w.Image14, &w.Image15, &w.Image16, &w.Image17, &w.Label4, &w.Label5,
                      &w.Label6, &w.Line6, &w.Line7, &w.Line8}));
  EXPECT_EQ(u.queued().back(), "36");
  u.advance(500);
  EXPECT_EQ(u.p().FractionPart, 0);
  EXPECT_TRUE(shown({&w.Image14, &w.Label10, &w.Line14}));
  EXPECT_EQ(u.queued(), (std::vector<std::string>{"45", "33", "34", "36"}));
}

TEST(KeyImages, TwoClicksOnF12QueueTwoKeysPlayedOneAfterTheOther) {
  PaletteUser u;
  const PointPx at = u.over(u.w().Image8);
  u.clickAt(at);
  // At once again, before the first is played.
  u.moveTo(at);
  u.desk().userButtonDown(vk::LButton);
  u.desk().userButtonUp(vk::LButton);
  EXPECT_EQ(u.queued(), (std::vector<std::string>{"123", "123"}));
  u.advance(100);
  // Into the lower index and out of it again.
  EXPECT_EQ(u.p().LowerIndexMode, 0);
  EXPECT_EQ(u.w().List1.ListIndex, 1);
}

// The Page Up picture is never shown; its handler queues Page Up all the same.
TEST(KeyImages, ThePageUpPictureStaysHiddenButQueuesItsKey) {
  PaletteUser u;
  EXPECT_FALSE(u.w().Image15.Visible);
  u.p().palette.Image15_Click();
  EXPECT_EQ(u.queued(), (std::vector<std::string>{"33"}));
  EXPECT_FALSE(u.w().Image15.Visible);
}

}  // namespace
}  // namespace kel::test
