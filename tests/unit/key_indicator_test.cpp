// The key indicator: the name it shows for each played code and shift, its modifier labels
// and the place of the name, the result-typing range, and when it is loaded, shown, moved
// and hidden.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "palette_fixture.h"

namespace kel::test {
namespace {

TEST(KeyIndicator, TheNameOfEachCodeAndShift) {
  struct Case {
    const char* code;
    const char* shift;
    std::optional<std::string> name;
  } cases[] = {
      {"115", "0", "F4"},
      {"115", "1", std::nullopt},
      {"37", "0", "left arrow"},
      {"38", "0", "up arrow"},
      {"39", "0", "right arrow"},
      {"40", "0", "down arrow"},
      {"13", "0", "Enter"},
      {"13", "1", std::nullopt},
      {"32", "0", "Space"},
      {"20", "0", "Caps Lock"},
      {"8", "0", "Backspace"},
      {"8", "1", "Backspace"},
      {"27", "1", "Esc -> Up"},
      {"192", "1", "` -> ~"},
      {"192", "0", "` -> Down"},
      {"48", "0", "0"},
      {"57", "0", "9"},
      {"48", "1", "0 -> )"},
      {"49", "1", "1 -> !"},
      {"50", "1", "2 -> @"},
      {"51", "1", "3 -> #"},
      {"52", "1", "4 -> $"},
      {"53", "1", "5 -> %"},
      {"54", "1", "6 -> Up"},
      {"55", "1", "7 -> &"},
      {"56", "1", "8 -> ."},
      {"57", "1", "9 -> ("},
      {"189", "1", "- -> _"},
      {"189", "0", "-"},
      {"187", "1", "= -> +"},
      {"187", "0", "="},
      {"65", "0", "a"},
      {"90", "0", "z"},
      {"65", "1", "a -> A"},
      {"90", "1", "z -> Z"},
      {"219", "0", "["},
      {"219", "1", "[ -> {"},
      {"220", "0", "\\"},
      {"220", "1", "\\ -> |"},
      {"221", "0", "]"},
      {"221", "1", "] -> }"},
      {"186", "0", ";"},
      {"186", "1", "; -> :"},
      {"222", "0", "'"},
      {"222", "1", "' -> \""},
      {"188", "0", ","},
      {"188", "1", ", -> <"},
      {"190", "0", "."},
      {"190", "1", ". -> >"},
      {"191", "0", "/"},
      {"191", "1", "/ -> ?"},
      {"45", "0", "Insert"},
      {"46", "0", "Delete"},
      {"36", "0", "Home"},
      {"35", "0", "End"},
      {"96", "0", "0"},
      {"105", "0", "9"},
      {"111", "0", ":"},
      {"106", "0", "."},
      {"109", "0", "-"},
      {"107", "0", "+"},
      {"110", "0", ","},
      {"119", "0", "F8"},
      {"120", "0", "F9"},
      {"121", "0", "F10"},
      {"5000", "1", "Change keyboard"},
      {"6000", "0", "Change keyboard"},
      // Compared as numbers.
      {"65.0", " 1", "a -> A"},
      // No name: Page Up, Page Down, F12, the symbols, unlisted shifts, and texts that are
      // no number (the paced marker, the pointer drop, a fraction).
      {"33", "0", std::nullopt},
      {"34", "0", std::nullopt},
      {"123", "0", std::nullopt},
      {"1013", "0", std::nullopt},
      {"37", "1", std::nullopt},
      {"65", "", std::nullopt},
      {"***27", "0", std::nullopt},
      {"`49", "0", std::nullopt},
      {"65.5", "0", std::nullopt},
      {"", "", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(KeyIndicatorCaption(c.code, c.shift), c.name) << c.code << " " << c.shift;
}

struct Indicator : PaletteUser {
  KeyIndicatorForm& f() { return p().Form3; }
  void show(const std::string& code, const std::string& shift) {
    p().palette.indicator.Load();
    f().Text2.setText(shift);
    f().Text1.setText(code);
    p().palette.indicator.ZapisNaznachen2();
  }
  void capsLock(bool on) {
    if ((desk().keyState(vk::Capital) & 1) != static_cast<int>(on)) {
      desk().userKeyDown(vk::Capital);
      desk().userKeyUp(vk::Capital);
    }
  }
};

TEST(KeyIndicator, TheModifierLabelsAndWhereTheNameStarts) {
  struct Case {
    const char* code;
    const char* shift;
    bool caps;
    bool capsLabel, shiftLabel;
    const char* name;  // "" a picture
  } cases[] = {
      {"13", "0", false, false, false, "Enter"},
      {"65", "1", false, false, true, "a -> A"},
      {"65", "1", true, true, false, "a -> A"},
      {"6000", "1", true, false, false, "Change keyboard"},
      {"27", "1", false, false, true, "Esc -> Up"},
      {"55", "1", false, false, true, "7 -> &"},
      {"1013", "0", false, false, false, ""},
      {"33", "0", false, false, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.code << " " << c.shift << (c.caps ? " Caps" : ""));
    Indicator u;
    KeyIndicatorForm& f = u.f();
    u.w().Picture2.Picture = u.button(1013).Picture;
    f.Picture2.Picture = u.w().Picture2.Picture;
    u.capsLock(c.caps);
    // The name label's last width, from an earlier name.
    u.show("121", "0");
    const double lastWidth = f.Label7.Width;
    u.show(c.code, c.shift);
    EXPECT_EQ(f.Label111.Visible, c.capsLabel);
    EXPECT_EQ(f.Label222.Visible, c.shiftLabel);
    const Label& last = c.capsLabel ? f.Label111 : c.shiftLabel ? f.Label222 : f.Label1;
    EXPECT_EQ(f.Label7.Left, last.Left + last.Width + 100);
    EXPECT_EQ(f.Image4.Left, f.Label7.Left - 100);
    if (*c.name) {
      EXPECT_TRUE(f.Label7.Visible);
      // As it shows: the ampersand of "7 -> &" too.
      EXPECT_EQ(shownCaption(f.Label7.Caption), c.name);
      EXPECT_EQ(f.Label7.Width, u.desk().measureLabel(f.Label7.Font, f.Label7.Caption).width);
      EXPECT_FALSE(f.Image4.Visible);
      EXPECT_TRUE(f.Image4.Picture->empty());
    } else {
      EXPECT_FALSE(f.Label7.Visible);
      EXPECT_TRUE(f.Image4.Visible);
      EXPECT_EQ(f.Image4.Picture, u.button(1013).Picture);
      EXPECT_EQ(f.Label7.Width, lastWidth);  // the width still counts the last name
    }
    EXPECT_EQ(f.Width, f.Label7.Left + f.Label7.Width + 100);
  }
}

TEST(KeyIndicator, AResultBeingTypedShowsNoKeyNames) {
  struct Case {
    int index;
    int active;
    const char* caption;
    int activeAfter;
  } cases[] = {
      {5, 0, "nothing", 0}, {5, 1, "only one F4", 1}, {3, 1, "a", 0},
      {8, 1, "a", 0},       {2, 0, "a", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    Indicator u;
    Program& p = u.p();
    for (int i = 0; i < 10; ++i) p.input.AppendQueueItem("65", "0");
    u.w().List1.ListIndex = c.index;
    p.QueueStartIndex = 3;
    p.QueueEndIndex = 8;
    p.ResultTypingActive = c.active;
    u.show("65", "0");
    EXPECT_EQ(u.f().Label7.Caption, c.caption);
    EXPECT_EQ(p.ResultTypingActive, c.activeAfter);
  }
}

// The first played item loads the indicator, hidden: it is made topmost and its red
// see-through, and the foreground stays where it is. Shown (by the hidden "Show" button),
// it follows what is played; the minimised main window hides it; shut-down unloads it.
TEST(KeyIndicator, LoadedByTheFirstItemShownOnlyByItsButtonAndFollowingThePlayer) {
  Indicator u;
  Program& p = u.p();
  KeyIndicatorForm& f = u.f();
  EXPECT_FALSE(f.Loaded);
  EXPECT_FALSE(u.w().Command38.Visible);
  const size_t fronts = u.desk().frontCalls.size();
  p.input.AppendQueueItem("65", "1");
  u.advance(40);
  EXPECT_TRUE(f.Loaded);
  EXPECT_FALSE(f.Visible);
  EXPECT_EQ(u.desk().topmostCalls.back(), "Form3");
  EXPECT_EQ(u.desk().colourKeyCalls.back(), (std::pair<std::string, Colour>{"Form3", 0xFF}));
  EXPECT_EQ(f.BackColor, 0xFFu);
  EXPECT_EQ(u.desk().frontCalls.size(), fronts);
  // Hidden, it is left as it was.
  EXPECT_EQ(f.Text1.Text(), "");

  u.w().Command38.Click();
  EXPECT_TRUE(f.Visible);
  u.w().Picture2.Picture = u.button(1026).Picture;
  p.input.AppendQueueItem("***1026", "0");
  u.advance(200);
  EXPECT_EQ(f.Text1.Text(), "***1026");
  EXPECT_EQ(f.Picture2.Picture, u.button(1026).Picture);
  EXPECT_TRUE(f.Image4.Visible);
  const double x = p.PointerX, y = p.PointerY;
  p.input.AppendQueueItem("13", "0");  // Enter: the indicator follows to the new line
  u.advance(200);
  EXPECT_EQ(f.Label7.Caption, "Enter");
  EXPECT_NE(p.PointerY, y);
  EXPECT_EQ(f.Left, 15 * p.PointerX);
  EXPECT_EQ(f.Top, 15 * p.PointerY + 800);
  (void)x;

  u.desk().userMinimizeForm(u.w());
  EXPECT_FALSE(f.Visible);
  u.desk().userRestoreForm(u.w());
  // Its button stays hidden whatever runs: the language switches both ways, the keyboard.
  u.click(u.w().Command61);
  u.advance(400);
  u.click(u.w().Command60);
  u.advance(400);
  u.click(u.w().Command71);
  u.advance(400);
  EXPECT_EQ(u.p().LatinLayout, 1);
  EXPECT_TRUE(u.p().Form8.Visible);
  EXPECT_FALSE(u.w().Command38.Visible);
  u.p().close();
  EXPECT_FALSE(f.Loaded);
}

TEST(KeyIndicator, TheArrowsAndTheClicksMoveItWhileItIsShown) {
  Indicator u;
  Program& p = u.p();
  KeyIndicatorForm& f = u.f();
  u.w().Command38.Click();
  u.moveTo(u.over(u.w().Frame5, 0.3, 0.4));
  u.advance(100);
  u.host().tap(vk::Right, 30);
  u.advance(100);
  EXPECT_EQ(f.Text1.Text(), "39");
  EXPECT_EQ(f.Text2.Text(), "0");
  EXPECT_EQ(f.Left, 15 * p.PointerX);
  EXPECT_EQ(f.Top, 15 * p.PointerY + 800);
  // A double click on the page names itself and moves it under the pointer (the layout
  // code it queues is named in turn when it is played).
  u.desk().userButtonDown(vk::LButton);
  u.w().TextM2.setText("TrueFalse");
  u.w().TextM1.setText("True");
  EXPECT_EQ(f.Label7.Caption, "double mouse click => New value by X");
  EXPECT_EQ(f.Width, f.Label7.Left + f.Label7.Width + 100);
  EXPECT_EQ(f.Left, 15 * p.PointerX);
  EXPECT_EQ(f.Top, 15 * p.PointerY + 800);
  u.desk().userButtonUp(vk::LButton);
  u.advance(60);
  EXPECT_EQ(f.Label7.Caption, "Change keyboard");
}

}  // namespace
}  // namespace kel::test
