// Chords typed as people type them: the letter of a Ctrl chord runs its editing hotkey and
// is never typed, whenever Ctrl is let go; a key pressed while the left Alt is held only
// switches the layout; the keys typed around a chord are typed as ever.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editing_probe.h"
#include "typing_fixture.h"

namespace kel::test {
namespace {

using Codes = std::vector<std::string>;

constexpr int kV = 86, kX = 88, kZ = 90, kR = 82, kK = 75, kY = 89, kDigit1 = 49;
constexpr int kF4 = 115, kTab = 9;

struct Runs {
  int paste = 0, del = 0, undo = 0, result = 0;
  bool operator==(const Runs&) const = default;
};

std::ostream& operator<<(std::ostream& o, const Runs& r) {
  return o << "paste " << r.paste << ", delete " << r.del << ", undo " << r.undo << ", result "
           << r.result;
}

// The result shown while these tests type: Ctrl+R types it, one paced "7" a run.
constexpr const char* kResult = "7";
constexpr const char* kResultItem = "***55";

// A typist with a selection of one symbol below the writing position, so that a paste and
// a delete show on the page.
struct Editor : Typist {
  EditingProbe probe{p(), PointPx{static_cast<int>(startX), static_cast<int>(startY) + 200}};
};

Runs runs(Editor& t) {
  int results = 0;
  for (const std::string& item : t.queued()) results += item == kResultItem ? 1 : 0;
  return {t.probe.pastes(), t.probe.deletes(), t.p().pages.command69Runs, results};
}

// What was typed: the selected symbol and its copies left out.
std::string shown(Typist& t) {
  std::string s;
  for (const Placed& e : t.placed()) {
    if (e.kind == "bukva" && e.caption == kProbeCaption) continue;
    s += e.kind == "bukva" ? e.caption : "[" + e.kind + "]";
  }
  return s;
}

const char* ctrlName(int ctrl) { return ctrl == vk::LControl ? "left Ctrl" : "right Ctrl"; }

// Ctrl down, 200 ms later the letter tapped for 80 ms, Ctrl let go some time after it.
// The left Ctrl slows the keyboard poll to once a second, the Ctrl watch looks four times a
// second while Ctrl is held and a hotkey holds its poll off for 0.5 s or 1.5 s: the times
// fall before, between and after those.
TEST(TypingChords, ALetterPressedWithCtrlRunsItsHotkeyAndIsNeverTyped) {
  struct Case {
    const char* name;
    int key;
    Runs runs;
    const char* item;    // what the key's press queues
    const char* placed;  // what it types
  } cases[] = {
      {"Ctrl+V pastes", kV, {1, 0, 0, 0}, "86", ""},
      {"Ctrl+X deletes", kX, {0, 1, 0, 0}, "88", ""},
      {"Ctrl+Z undoes and queues the empty item", kZ, {0, 0, 1, 0}, "", ""},
      {"Ctrl+R types the result", kR, {0, 0, 0, 1}, "82", kResult},
      {"Ctrl+K is no hotkey and types nothing", kK, {}, "75", ""},
      // The rows without the Ctrl gate still place their symbol.
      {"Ctrl+Y on the line", kY, {}, "89", "y"},
      {"Ctrl+1", kDigit1, {}, "49", "1"},
  };
  for (const Case& c : cases) {
    for (int ctrl : {vk::LControl, vk::RControl}) {
      for (Millis ctrlUpAfter : {150, 600, 900, 1200}) {
        SCOPED_TRACE(std::string(c.name) + ", " + ctrlName(ctrl) + " let go " +
                     std::to_string(ctrlUpAfter) + " ms after the letter");
        Editor t;
        t.w().Text8.setText(kResult);
        const Millis t0 = t.host().now() + 37;
        t.host().at(t0, [&t, ctrl] { t.down(ctrl); });
        t.host().at(t0 + 200, [&t, &c] { t.down(c.key); });
        t.host().at(t0 + 280, [&t, &c] { t.up(c.key); });
        t.host().at(t0 + 280 + ctrlUpAfter, [&t, ctrl] { t.up(ctrl); });
        t.advance(280 + ctrlUpAfter + 2000);
        EXPECT_EQ(runs(t), c.runs);
        ASSERT_FALSE(t.queued().empty());
        EXPECT_EQ(t.queued().back(), c.item);
        EXPECT_EQ(t.w().List1.ListIndex, t.w().List1.ListCount() - 1);  // played
        EXPECT_EQ(shown(t), c.placed);
        // The capture goes on as before.
        t.type(66);
        EXPECT_EQ(shown(t), std::string(c.placed) + "b");
      }
    }
  }
}

// A hotkey acts on a letter that went down just before Ctrl and is let go after it: the
// letter was the command's, and is not typed once Ctrl is up.
TEST(TypingChords, APressAnEditingHotkeyActedOnIsNotTyped) {
  struct Case {
    const char* name;
    int key;
    Runs runs;
    const char* item;
    const char* placed;
  } cases[] = {
      {"V", kV, {1, 0, 0, 0}, "86", ""},
      {"X", kX, {0, 1, 0, 0}, "88", ""},
      {"Z", kZ, {0, 0, 1, 0}, "", ""},
      // The result it types is queued while Ctrl is down, before the letter's release.
      {"R", kR, {0, 0, 0, 1}, kResultItem, kResult},
      // Pressed before Ctrl and no hotkey's: a letter, played once Ctrl is up.
      {"K", kK, {}, "75", "k"},
  };
  for (const Case& c : cases) {
    for (int ctrl : {vk::LControl, vk::RControl}) {
      SCOPED_TRACE(std::string(c.name) + " with the " + ctrlName(ctrl));
      Editor t;
      t.w().Text8.setText(kResult);
      const Millis t0 = t.host().now() + 11;
      t.host().at(t0, [&t, &c] { t.down(c.key); });
      t.host().at(t0 + 30, [&t, ctrl] { t.down(ctrl); });
      t.host().at(t0 + 130, [&t, ctrl] { t.up(ctrl); });
      t.host().at(t0 + 230, [&t, &c] { t.up(c.key); });
      t.advance(3000);
      EXPECT_EQ(runs(t), c.runs);
      ASSERT_FALSE(t.queued().empty());
      EXPECT_EQ(t.queued().front(), c.item);  // the right Ctrl's own item comes after it
      EXPECT_EQ(shown(t), c.placed);
    }
  }
}

// Rollover typing right before and right after a chord: "ab", Ctrl+V, "ab" gives "abab"
// and one paste.
TEST(TypingChords, TheKeysTypedAroundAChordAreTypedAsEver) {
  for (int ctrl : {vk::LControl, vk::RControl}) {
    SCOPED_TRACE(ctrlName(ctrl));
    Editor t;
    const Millis t0 = t.host().now() + 3;
    struct Step {
      Millis at;
      int key;
      bool down;
    } steps[] = {
        {0, 65, true},     {30, 66, true},  {60, 65, false},  {90, 66, false},
        {150, ctrl, true}, {250, kV, true}, {330, kV, false}, {480, ctrl, false},
        {500, 65, true},   {530, 66, true}, {560, 65, false}, {600, 66, false},
    };
    for (const Step& s : steps)
      t.host().at(t0 + s.at, [&t, s] { s.down ? t.down(s.key) : t.up(s.key); });
    t.advance(3000);
    EXPECT_EQ(shown(t), "abab");
    EXPECT_EQ(runs(t), (Runs{1, 0, 0, 0}));
  }
}

// A chord's mark belongs to its item: once the lists are emptied, the item that takes its
// place in them is typed (played or not when they were emptied).
TEST(TypingChords, AChordsMarkGoesWithTheListsWhenTheyAreEmptied) {
  for (bool playedFirst : {true, false}) {
    SCOPED_TRACE(playedFirst ? "played before" : "still waiting");
    Typist t;
    t.w().Timer1.setEnabled(playedFirst);
    t.down(vk::RControl);
    t.advance(40);
    t.type(kK);
    t.up(vk::RControl);
    t.advance(200);
    ASSERT_EQ(t.queued(), (Codes{"163", "75"}));
    t.w().List1.Clear();
    t.w().List2.Clear();
    t.w().Timer1.setEnabled(true);
    for (int vk : {66, kK}) t.type(vk);
    EXPECT_EQ(t.queued(), (Codes{"66", "75"}));
    EXPECT_EQ(shown(t), "bk");
  }
}

// The left Alt outranks every key pressed while it is held: only its layout code is queued,
// however long it stays down after the key.
TEST(TypingChords, AKeyPressedWhileTheLeftAltIsHeldOnlySwitchesTheLayout) {
  struct Case {
    const char* name;
    int key;
  } cases[] = {{"Alt+A", 65}, {"Alt+F4", kF4}, {"Alt+Tab", kTab}};
  for (const Case& c : cases) {
    for (bool latin : {true, false}) {
      for (Millis altUpAfter : {150, 600}) {
        SCOPED_TRACE(std::string(c.name) + (latin ? " in Latin" : " in Cyrillic") +
                     ", Alt let go " + std::to_string(altUpAfter) + " ms after the key");
        Editor t;
        t.p().LatinLayout = latin ? 1 : 0;
        const Millis t0 = t.host().now() + 23;
        t.host().at(t0, [&t] { t.down(vk::LMenu); });
        t.host().at(t0 + 150, [&t, &c] { t.down(c.key); });
        t.host().at(t0 + 230, [&t, &c] { t.up(c.key); });
        t.host().at(t0 + 230 + altUpAfter, [&t] { t.up(vk::LMenu); });
        t.advance(230 + altUpAfter + 500);
        EXPECT_EQ(t.queued(), (Codes{latin ? "6000" : "5000"}));
        EXPECT_EQ(t.p().LatinLayout, latin ? 0 : 1);
        EXPECT_EQ(runs(t), (Runs{}));  // Alt+F4 is no paste
        EXPECT_EQ(shown(t), "");
        // Switched once: "a" now types in the other layout.
        t.type(65);
        EXPECT_EQ(shown(t), latin ? "\u0430" : "a");
      }
    }
  }
}

}  // namespace
}  // namespace kel::test
