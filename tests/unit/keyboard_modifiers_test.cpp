// The on-screen keyboard's Caps Lock, one-shot Shift and layout keys, with the captions
// each leaves on the keys, and its Undo, Redo and Paste keys.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "editing_probe.h"
#include "keyboard_fixture.h"

namespace kel::test {
namespace {

// The captions of the main keys 0 to 48 as they show.
std::vector<std::string> shownCaptions(KeyboardUser& u) {
  std::vector<std::string> out;
  for (int i = 0; i <= 48; ++i) out.push_back(shownCaption(u.key(i).Caption));
  return out;
}

// The four caption sets of the main keys 0 to 48, by layout and case; the keys from 49 on
// have no caption but Backspace's, which no set touches.
TEST(KeyboardModifiers, CapsLockAndShiftPutTheirCaptionSetsInBothLayouts) {
  const std::vector<std::string> latinLower = {
      "q",  "w", "e", "r", "t", "y", "u", "i", "o", "p", "a", "s", "d", "f", "g",     "h", "j",
      "k",  "l", "z", "x", "c", "v", "b", "n", "m", ",", ".", "/", ";", "'", "Enter", "[", "]",
      "\\", " ", "`", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "="};
  const std::vector<std::string> latinUpper = {
      "Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "A", "S", "D", "F",  "G",     "H", "J",
      "K", "L", "Z", "X", "C", "V", "B", "N", "M", "<", ">", "?", ":", "\"", "Enter", "{", "}",
      "|", " ", "~", "!", "@", "#", "$", "%", "^", "&", "*", "(", ")", "_",  "+"};
  const std::vector<std::string> cyrLower = {
      "я", "в", "е", "р", "т", "ъ", "у", "и", "о", "п", "а", "с", "д", "ф", "г",     "х", "й",
      "к", "л", "з", "ь", "ц", "ж", "б", "н", "м", ",", ".", "/", ";", "'", "Enter", "ш", "щ",
      "ю", " ", "ч", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "="};
  const std::vector<std::string> cyrUpper = {
      "Я", "В", "Е", "Р", "Т", "Ъ", "У", "И", "О", "П", "А", "С", "Д", "Ф",  "Г",     "Х", "Й",
      "К", "Л", "З", "Ь", "Ц", "Ж", "Б", "Н", "М", "<", ">", "?", ":", "\"", "Enter", "Ш", "Щ",
      "Ю", " ", "Ч", "!", "@", "#", "$", "%", "^", "&", "*", "(", ")", "_",  "+"};
  struct Case {
    const char* name;
    bool cyrillic;
    int modifier;  // 0 Caps Lock, 1 Shift
    const std::vector<std::string>* lower;
    const std::vector<std::string>* upper;
  } cases[] = {
      {"Caps Lock, Latin", false, 0, &latinLower, &latinUpper},
      {"Shift, Latin", false, 1, &latinLower, &latinUpper},
      {"Caps Lock, Cyrillic", true, 0, &cyrLower, &cyrUpper},
      {"Shift, Cyrillic", true, 1, &cyrLower, &cyrUpper},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeyboardUser u;
    if (c.cyrillic) u.type(u.k().Command6);
    CommandButton& modifier = c.modifier == 0 ? u.k().Command4 : u.k().Command5[1];
    EXPECT_EQ(shownCaptions(u), *c.lower);
    u.type(modifier);
    EXPECT_EQ(shownCaptions(u), *c.upper);
    EXPECT_EQ(u.k().ShiftOn, 1);
    // The other layout key draws its letters in the same case, and back.
    u.type(c.cyrillic ? u.k().Command7 : u.k().Command6);
    EXPECT_EQ(shownCaptions(u), c.cyrillic ? latinUpper : cyrUpper);
    u.type(c.cyrillic ? u.k().Command6 : u.k().Command7);
    EXPECT_EQ(shownCaptions(u), *c.upper);
    u.type(modifier);
    EXPECT_EQ(shownCaptions(u), *c.lower);
    EXPECT_EQ(u.k().ShiftOn, 0);
    for (int i = 49; i <= kLastMainKey; ++i) EXPECT_EQ(u.key(i).Caption, i == 50 ? "<-" : "") << i;
  }
}

// The shifted digits row, as the keys show it: the ampersand of "7" too.
TEST(KeyboardModifiers, TheShiftedDigitsRowShowsEveryCharacter) {
  KeyboardUser u;
  u.type(u.k().Command4);
  std::string shown;
  for (int i = 36; i <= 48; ++i) shown += shownCaption(u.key(i).Caption);
  EXPECT_EQ(shown, "~!@#$%^&*()_+");
  u.type(u.k().Command4);
  shown.clear();
  for (int i = 36; i <= 48; ++i) shown += shownCaption(u.key(i).Caption);
  EXPECT_EQ(shown, "`1234567890-=");
}

// The four states of the two keys' shared flag, the captions each shows, and what a main
// key queues and leaves behind; the layout
// keys keep the state.
TEST(KeyboardModifiers, CapsLockAndShiftShareOneFlag) {
  enum Key { Caps, Shift, A, Bg, En };
  struct Case {
    const char* name;
    std::vector<Key> keys;
    int shiftOn, latched;
    const char* caption;             // of the "a" key afterwards
    std::vector<std::string> flags;  // queued by the "a" clicks
  } cases[] = {
      {"Caps Lock", {Caps}, 1, 0, "A", {}},
      {"Caps Lock twice", {Caps, Caps}, 0, 0, "a", {}},
      {"Shift", {Shift}, 1, 1, "A", {}},
      {"Shift twice", {Shift, Shift}, 0, 0, "a", {}},
      {"Shift, then a, then a", {Shift, A, A}, 0, 0, "a", {"1", "0"}},
      {"Caps Lock, then a twice", {Caps, A, A}, 1, 0, "A", {"1", "1"}},
      {"Shift, then Caps Lock", {Shift, Caps}, 0, 1, "a", {}},
      {"Shift, Caps Lock, then a", {Shift, Caps, A}, 0, 0, "a", {"0"}},
      {"Shift, Caps Lock, Caps Lock", {Shift, Caps, Caps}, 1, 1, "A", {}},
      {"Shift, Caps Lock, Shift", {Shift, Caps, Shift}, 0, 0, "a", {}},
      // A one-shot Shift released by a main key ends a Caps Lock that was on.
      {"Caps Lock, Shift, then a", {Caps, Shift, A}, 0, 0, "a", {"1"}},
      {"Shift, then Bg", {Shift, Bg}, 1, 1, "А", {}},
      {"Shift, Bg, then a", {Shift, Bg, A}, 0, 0, "а", {"1"}},
      {"Caps Lock, Bg, En", {Caps, Bg, En}, 1, 0, "A", {}},
      {"Shift, Caps Lock, Bg, then a", {Shift, Caps, Bg, A}, 0, 0, "а", {"0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeyboardUser u;
    KeyboardForm& k = u.k();
    CommandButton* const buttons[] = {&k.Command4, &k.Command5[0], &u.key(10), &k.Command6,
                                      &k.Command7};
    for (Key key : c.keys) u.type(*buttons[key]);
    EXPECT_EQ(u.k().ShiftOn, c.shiftOn);
    EXPECT_EQ(u.k().ShiftLatched, c.latched);
    EXPECT_EQ(u.key(10).Caption, c.caption);
    EXPECT_EQ(u.key(31).Caption, "Enter");
    EXPECT_EQ(u.flags(), c.flags);
    for (const std::string& code : u.queued()) EXPECT_EQ(code, "65");
  }
}

TEST(KeyboardModifiers, TheLayoutKeysSwitchTheLettersTheColoursAndTheMainWindowAtOnce) {
  KeyboardUser u;
  Program& p = u.p();
  KeyboardForm& k = u.k();
  MainWindow& w = u.w();
  u.type(k.Command4);  // Caps Lock on
  u.press(k.Command6);
  EXPECT_EQ(p.LatinLayout, 0);
  EXPECT_EQ(k.BackColor, kBlue);
  EXPECT_EQ(k.Frame1.BackColor, kBlue);
  EXPECT_EQ(k.Frame2.BackColor, kBlue);
  EXPECT_EQ(w.BackColor, kBlue);
  EXPECT_EQ(w.Command71.Caption, "Виртуална клавиатура");
  EXPECT_TRUE(w.Command60.Visible);
  EXPECT_FALSE(k.Command6.Visible);
  EXPECT_TRUE(k.Command7.Visible);
  // Capital Cyrillic letters; the digits row keeps its shifted captions.
  EXPECT_EQ(u.captions(0, 2), (std::vector<std::string>{"Я", "В", "Е"}));
  EXPECT_EQ(u.captions(37, 39), (std::vector<std::string>{"!", "@", "#"}));
  EXPECT_EQ(u.key(32).Caption, "Ш");
  // No layout code is queued: the next item is played by the new layout's interpreter.
  EXPECT_TRUE(u.queued().empty());
  u.advance(600);
  u.press(k.Command7);
  EXPECT_EQ(p.LatinLayout, 1);
  EXPECT_EQ(k.BackColor, kBlack);
  EXPECT_EQ(w.BackColor, kBlack);
  EXPECT_EQ(w.Command71.Caption, "Virtual Keyboard");
  EXPECT_EQ(u.captions(0, 2), (std::vector<std::string>{"Q", "W", "E"}));
  EXPECT_EQ(u.key(32).Caption, "{");
  EXPECT_TRUE(k.Command6.Visible);
  EXPECT_FALSE(k.Command7.Visible);
  EXPECT_TRUE(u.queued().empty());
}

TEST(KeyboardModifiers, ALetterTypedAfterTheLayoutKeyIsCyrillic) {
  KeyboardUser u;
  u.type(u.k().Command6);
  u.type(u.key(0));
  ASSERT_EQ(u.p().SymbolCount, 1);
  EXPECT_EQ(u.label(1).Caption, "я");
  EXPECT_EQ(u.queued(), (std::vector<std::string>{"81"}));
}

TEST(KeyboardModifiers, UndoRedoAndPasteRunTheMainWindowsCommands) {
  KeyboardUser u;
  Program& p = u.p();
  KeyboardForm& k = u.k();
  u.type(u.key(0));
  ASSERT_EQ(p.SymbolCount, 1);
  // The snapshot of the placement shows the keyboard's Undo key with the main window's.
  EXPECT_TRUE(k.Command69.Visible);
  const PointPx undoKey = u.onKeyboard(k.Command69);
  u.press(k.Command69);
  EXPECT_LT(u.label(1).Top, 0);  // undone
  EXPECT_TRUE(k.Command70.Visible);
  EXPECT_FALSE(k.Command69.Visible);
  u.advance(600);
  // An Undo by mouse brings the pointer back to the key that was pressed.
  EXPECT_EQ(u.pointer(), undoKey);
  u.press(k.Command70);
  EXPECT_GE(u.label(1).Top, 0);  // redone
  EXPECT_TRUE(k.Command69.Visible);

  // Paste: the dispatcher queues F4 and the interpreter pastes at the insertion point; the
  // pointer stays on the key.
  u.w().Text21.Visible = true;
  u.advance(60);
  const PointPx insertion = u.insertionPoint();
  const EditingProbe probe(p, {insertion.x, insertion.y + 100});
  const PointPx pasteKey = u.onKeyboard(k.Command9);
  u.press(k.Command9);
  EXPECT_EQ(p.PendingCode, 100115);
  EXPECT_EQ(p.PendingCode.kind(), PendingValue::Kind::Whole);
  EXPECT_EQ(u.pointer(), pasteKey);
  u.advance(50);
  EXPECT_EQ(u.queued(), (std::vector<std::string>{"81", "115"}));
  u.advance(40);
  EXPECT_EQ(probe.pastes(), 1);
  EXPECT_EQ(u.w().Label3[p.SymbolCount].Left, p.surface.InsertXFor(insertion.x));
  EXPECT_EQ(u.pointer(), pasteKey);
}

}  // namespace
}  // namespace kel::test
