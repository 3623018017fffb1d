// The F8, F9 and F10 bindings: the names the hotkey row shows, the bind buttons, the F8
// binder, playing a binding, and the bindings restored at start-up with their pictures.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "palette_fixture.h"

namespace kel::test {
namespace {

TEST(HotkeyCaption, NamesTheKeysAndLeavesEverythingElseToAPicture) {
  struct Case {
    const char* code;
    const char* shift;
    const char* name;  // nullptr: shown as a picture
  } cases[] = {
      {"13", "0", "Enter"},    {"13", "1", nullptr},  // Shift+Enter has no name
      {"32", "0", "Space"},    {"32", "1", nullptr},
      {"8", "1", "Backspace"},  // Backspace and Esc whatever the shift
      {"8", "", "Backspace"},  {"27", "1", "Esc"},
      {"192", "0", "`"},       {"192", "1", "~"},
      {"48", "0", "0"},        {"57", "0", "9"},
      {"48", "1", ")"},        {"49", "1", "!"},
      {"50", "1", "@"},        {"53", "1", "%"},
      {"54", "1", "Up"},  // Shift+6 enters the upper index
      {"56", "1", "."},   // Shift+8 is the multiplication dot
      {"57", "1", "("},        {"189", "0", "-"},
      {"189", "1", "_"},       {"187", "0", "="},
      {"187", "1", "+"},       {"65", "0", "a"},
      {"65", "1", "A"},        {"90", "0", "z"},
      {"90", "1", "Z"},        {"219", "1", "{"},
      {"220", "0", "\\"},      {"220", "1", "|"},
      {"221", "0", "]"},       {"186", "1", ":"},
      {"222", "0", "'"},       {"222", "1", "\""},
      {"188", "1", "<"},       {"190", "0", "."},
      {"191", "1", "?"},       {"33", "0", "PgUp"},
      {"34", "0", "PgDn"},     {"35", "0", "End"},
      {"36", "0", "Home"},     {"96", "0", "0"},
      {"100", "0", "4"},       {"105", "0", "9"},
      {"106", "0", "."},       {"107", "0", "+"},
      {"107", "1", nullptr},   {"109", "0", "-"},
      {"110", "0", ","},       {"111", "0", ":"},
      {"13.0", " 0", "Enter"},  // compared as numbers
      {"37", "0", nullptr},     // the arrows, Insert, Delete, F4, F8 to F10, F12
      {"45", "0", nullptr},    {"46", "0", nullptr},
      {"115", "0", nullptr},   {"119", "0", nullptr},
      {"123", "0", nullptr},   {"1013", "0", nullptr},  // program codes
      {"1056", "0", nullptr},  {"5000", "0", nullptr},
      {"65", "2", nullptr},    {"", "", nullptr},
      {"abc", "0", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "(" << c.code << ", " << c.shift << ")");
    const std::optional<std::string> name = HotkeyCaption(c.code, c.shift);
    if (c.name) {
      ASSERT_TRUE(name.has_value());
      EXPECT_EQ(*name, c.name);
    } else {
      EXPECT_FALSE(name.has_value()) << *name;
    }
  }
}

TEST(ZapisNaznachen, ShowsANameOrThePictureOnTheKeysControls) {
  struct Case {
    const char* code;
    const char* shift;
    const char* key;
    const char* name;  // nullptr: the picture
  } cases[] = {
      {"13", "0", "F8", "Enter"},   {"13", "1", "F9", nullptr},  {"8", "1", "F10", "Backspace"},
      {"1013", "0", "F8", nullptr}, {"45", "0", "F10", nullptr}, {"65", "1", "F9", "A"},
      {"***`49", "0", "F9", "1"},  // shown as the key it plays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.code << " " << c.key);
    PaletteUser u;
    MainWindow& w = u.w();
    Label& label = std::string(c.key) == "F8"   ? w.Label7
                   : std::string(c.key) == "F9" ? w.Label8
                                                : w.Label9;
    Image& image = std::string(c.key) == "F8"   ? w.Image4
                   : std::string(c.key) == "F9" ? w.Image6
                                                : w.Image7;
    EXPECT_FALSE(label.Visible);
    EXPECT_FALSE(image.Visible);
    w.Picture2.Picture = u.button(1026).Picture;
    u.p().palette.ZapisNaznachen(c.code, c.shift, c.key);
    if (c.name) {
      EXPECT_TRUE(label.Visible);
      EXPECT_EQ(label.Caption, c.name);
      EXPECT_FALSE(image.Visible);
      EXPECT_TRUE(image.Picture->empty());
    } else {
      EXPECT_FALSE(label.Visible);
      EXPECT_TRUE(image.Visible);
      EXPECT_EQ(image.Picture, u.button(1026).Picture);
    }
  }
  // Any other key changes nothing.
  PaletteUser u;
  u.p().palette.ZapisNaznachen("13", "0", "F11");
  for (const Control* c :
       std::initializer_list<const Control*>{&u.w().Label7, &u.w().Label8, &u.w().Label9,
                                             &u.w().Image4, &u.w().Image6, &u.w().Image7})
    EXPECT_FALSE(c->Visible) << c->Name;
}

// A binding plays in place of its key, and a binding to another hotkey leads on to that
// key's binding.
TEST(Bindings, PressingAHotkeyPlaysWhatItHolds) {
  struct Case {
    const char* name;
    const char *f8, *f8Shift, *f9, *f9Shift, *f10, *f10Shift;
    int press;
    const char* placed;  // the kind of the symbol placed, nullptr for nothing
    const char* caption;
  } cases[] = {
      {"F8 to F9 to a symbol", "120", "0", "1013", "0", "", "", vk::F8, "pi", ""},
      {"F9 to F10 to a letter", "", "", "121", "0", "65", "1", vk::F9, "bukva", "A"},
      {"F10 to a symbol", "", "", "", "", "1026", "0", vk::F10, "1026", ""},
      {"an unbound F10", "1013", "0", "", "", "", "", vk::F10, nullptr, ""},
      // The tests go F8, F9, F10, each once: a binding leads on only to a later key.
      {"F9 to F8", "88", "0", "119", "0", "", "", vk::F9, nullptr, ""},
      // Bound while the queue's markers were still on it: plays the key it names.
      {"F9 to a limit's paced digit", "", "", "***`49", "0", "", "", vk::F9, "bukva", "1"},
      {"F10 to a limit's paced pi", "", "", "", "", "***1013", "0", vk::F10, "pi", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PaletteUser u;
    Program& p = u.p();
    p.HotkeyF8Code = c.f8;
    p.HotkeyF8Shift = c.f8Shift;
    p.HotkeyF9Code = c.f9;
    p.HotkeyF9Shift = c.f9Shift;
    p.HotkeyF10Code = c.f10;
    p.HotkeyF10Shift = c.f10Shift;
    const double y = p.PointerY;
    u.host().tap(c.press);
    u.advance(200);
    if (!c.placed) {
      EXPECT_EQ(p.SymbolCount, 0);
      continue;
    }
    ASSERT_EQ(p.SymbolCount, 1);
    EXPECT_EQ(u.lastKind(), c.placed);
    if (*c.caption) {
      EXPECT_EQ(u.w().Label3[1].Caption, c.caption);
    }
    EXPECT_EQ(p.PointerY, y);  // no pointer drop
  }
}

TEST(Bindings, TheBindButtonsTakeTheItemPlayedLast) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, const char*>> queue;  // played in turn
    const char* code;
    const char* shift;
  } cases[] = {
      {"a key", {{"65", "1"}}, "65", "1"},
      {"after an integral with limits", {{"1054", "0"}, {"1056", "0"}}, "1057", "0"},
      {"after a sum with limits", {{"1060", "0"}, {"1062", "1"}}, "1062", "1"},
      {"a paced item, unchanged", {{"***1056", "0"}}, "***1056", "0"},
      // A binding key itself never replaces the binding (here: none yet).
      {"F8 played last", {{"65", "1"}, {"119", "0"}}, "", ""},
      {"F10 played last", {{"121", "0"}}, "", ""},
  };
  for (bool f10 : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << (f10 ? " F10" : " F9"));
      PaletteUser u;
      Program& p = u.p();
      MainWindow& w = u.w();
      // The limits' codes are played from where the insertion point is.
      p.BoundsAnchorX = p.PointerX;
      p.BoundsAnchorY = p.PointerY;
      for (const auto& [code, shift] : c.queue) p.input.AppendQueueItem(code, shift);
      u.advance(400);
      p.BoundsQueueState = 0;
      const PointPx button = u.over(f10 ? w.Command34 : w.Command33);
      u.clickAt(button);
      EXPECT_EQ(f10 ? p.HotkeyF10Code : p.HotkeyF9Code, c.code);
      EXPECT_EQ(f10 ? p.HotkeyF10Shift : p.HotkeyF9Shift, c.shift);
      EXPECT_TRUE(u.desk().messageBoxCalls.empty());
      // Back to the main window, the pointer left on the button, and the language chords
      // asked for.
      EXPECT_EQ(u.pointer(), button);
      EXPECT_EQ(u.desk().frontCalls.back(), "Form1");
      EXPECT_EQ(p.PendingCode, 1000001);
      u.advance(400);
      EXPECT_FALSE(u.desk().keyInjections.empty());
    }
  }
}

// F8 repeats the symbol clicked last; ->F9 and ->F10 after the repeat bind that symbol, and
// the row, the binding and the options file agree. A bound F9 played last gives its own
// binding on the same way.
TEST(Bindings, AfterARepeatTheBindButtonsBindWhatTheRepeatPlaced) {
  struct Case {
    const char* name;
    bool boundBefore;  // the key held rho before
    int repeat;        // the key pressed after the click on gamma
  } cases[] = {{"F8, rho bound before", true, vk::F8},
               {"F8, nothing bound before", false, vk::F8},
               {"F9 bound to gamma", true, vk::F9}};
  for (bool f10 : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << (f10 ? ", F10" : ", F9"));
      PaletteUser u;
      Program& p = u.p();
      MainWindow& w = u.w();
      CommandButton& bind = f10 ? w.Command34 : w.Command33;
      const PointPx page = u.screenOf(1500, 2000);
      if (c.boundBefore) {
        u.click(u.button(1030));  // rho
        u.advance(700);
        u.click(bind);
      }
      u.click(u.button(1028));  // gamma
      u.advance(700);
      ASSERT_EQ(p.HotkeyF8Code, "1028");
      if (c.repeat == vk::F9) {
        // F9 bound to gamma too, and the preview showing another face since.
        u.click(w.Command33);
        w.Picture2.Picture = u.button(1001).Picture;
      }
      u.clickAt(page);
      u.advance(300);
      const int before = p.SymbolCount;
      u.typeKeys({c.repeat});
      u.advance(200);
      ASSERT_EQ(p.SymbolCount, before + 1);
      ASSERT_EQ(u.lastKind(), "1028");
      u.click(bind);
      EXPECT_EQ(f10 ? p.HotkeyF10Code : p.HotkeyF9Code, "1028");
      EXPECT_EQ(f10 ? p.HotkeyF10Shift : p.HotkeyF9Shift, "0");
      const Image& shown = f10 ? w.Image7 : w.Image6;
      EXPECT_TRUE(shown.Visible);
      EXPECT_EQ(shown.Picture, u.button(1028).Picture);
      // And the key places it.
      u.advance(400);
      u.typeKeys({f10 ? vk::F10 : vk::F9});
      u.advance(200);
      ASSERT_EQ(p.SymbolCount, before + 2);
      EXPECT_EQ(u.lastKind(), "1028");
    }
  }
}

// A binding restored at start-up leaves the preview with the face of the last key's symbol:
// bound from an F8 repeat, F10 shows the face of the symbol F8 placed.
TEST(Bindings, ABindingMadeFromARestoredF8ShowsItsOwnFace) {
  SimProgram s;
  s.folder.linkSimbol();
  s.folder.write("Options.txt", "1028|0|1013|0|||1|0|1");
  s.p().start();
  s.host.advance(1000);
  Program& p = s.p();
  MainWindow& w = s.w();
  ASSERT_EQ(w.Picture2.Picture, w.Command18.Picture);  // pi, the F9 restored last
  s.host.tap(vk::F8);
  s.host.advance(200);
  ASSERT_EQ(p.SymbolCount, 1);
  w.Command34.Click();
  EXPECT_EQ(p.HotkeyF10Code, "1028");
  EXPECT_EQ(w.Image7.Picture, w.Command30.Picture);
  s.p().close();
  EXPECT_EQ(s.folder.read("Options.txt"), "1028|0|1013|0|1028|0|1|0|1");
}

TEST(Bindings, F8PressedBeforeItsBindingKeepsTheBindingItHad) {
  // Two symbols clicked, F8 pressed 150 ms after the second: half a second after that
  // dispatch the item at the play position is the F8 key itself, which binds nothing.
  PaletteUser u;
  Program& p = u.p();
  u.click(u.button(1001));
  u.advance(700);
  ASSERT_EQ(p.HotkeyF8Code, "1001");
  u.click(u.button(1013));
  u.advance(150);
  u.typeKeys({vk::F8});
  u.advance(800);
  EXPECT_EQ(p.HotkeyF8Code, "1001");
  EXPECT_EQ(p.HotkeyF8Shift, "0");
  // And F8 still plays it.
  const int before = p.SymbolCount;
  u.typeKeys({vk::F8});
  u.advance(200);
  ASSERT_EQ(p.SymbolCount, before + 1);
  EXPECT_EQ(u.lastKind(), "plusminus");
}

TEST(Bindings, BindingWithAnEmptyQueueAsksForASymbolFirst) {
  PaletteUser u;
  Program& p = u.p();
  p.HotkeyF9Code = "1013";
  p.HotkeyF9Shift = "0";
  u.click(u.w().Command33);
  ASSERT_EQ(u.desk().messageBoxCalls.size(), 1u);
  EXPECT_EQ(u.desk().messageBoxCalls[0].prompt,
            "Click on a symbol or key on the keyboard and then this button.");
  EXPECT_EQ(u.desk().messageBoxCalls[0].buttons, msgbox::OkOnly);
  EXPECT_EQ(p.HotkeyF9Code, "1013");
  EXPECT_FALSE(u.w().Label8.Visible || u.w().Image6.Visible);
  EXPECT_EQ(p.PendingCode, 1000001);

  u.click(u.w().Command32);
  ASSERT_EQ(u.desk().messageBoxCalls.size(), 2u);
  EXPECT_EQ(u.desk().messageBoxCalls[1].prompt,
            " In F8, only the last used symbol, click on ->F9 or ->F10");
  EXPECT_EQ(u.desk().messageBoxCalls[1].buttons, msgbox::OkOnly);
  EXPECT_EQ(u.desk().focusCalls.back(), "Command63");
}

TEST(Bindings, TheF8BinderBindsTheDialogItWasAskedFor) {
  struct Case {
    int action;
    const char* code;
    int button;
  } cases[] = {{1, "1057", 1057}, {2, "1058", 1058}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action);
    PaletteUser u;
    Program& p = u.p();
    MainWindow& w = u.w();
    p.HotkeyAssignAction = c.action;
    w.Timer17.setEnabled(true);
    u.advance(500);
    EXPECT_EQ(p.HotkeyF8Code, c.code);
    EXPECT_EQ(p.HotkeyF8Shift, "0");
    EXPECT_EQ(p.HotkeyAssignAction, 0);
    EXPECT_TRUE(w.Image4.Visible);
    EXPECT_FALSE(w.Label7.Visible);
    EXPECT_EQ(w.Image4.Picture, u.button(c.button).Picture);
  }
  // Asked for nothing: the item played last, and the request stays as it was.
  PaletteUser u;
  u.p().input.AppendQueueItem("13", "0");
  u.advance(400);
  u.w().Timer17.setEnabled(true);
  u.advance(500);
  EXPECT_EQ(u.p().HotkeyF8Code, "13");
  EXPECT_EQ(u.w().Label7.Caption, "Enter");
  EXPECT_EQ(u.p().HotkeyAssignAction, 0);
}

TEST(SmeniKartinka, PutsTheFaceOfTheButtonOfACodeIntoThePreview) {
  struct Case {
    const char* code;
    int button;  // 0: the preview keeps what it had
  } cases[] = {{"1001", 1001},   {"1032", 1032}, {"1057", 1057}, {"1058", 1058}, {"2015", 2015},
               {"1013.0", 1013}, {"13", 0},      {"1056", 0},    {"5000", 0},    {"Nisto", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    PaletteUser u;
    const Picture before = u.button(1051).Picture;
    u.w().Picture2.Picture = before;
    u.p().palette.SmeniKartinka(c.code);
    EXPECT_EQ(u.w().Picture2.Picture, c.button ? u.button(c.button).Picture.get() : before);
  }
}

// The bindings come back from the options file, each shown with its own picture or name.
TEST(Bindings, StartUpShowsTheSavedBindings) {
  SimProgram s;
  s.folder.linkSimbol();
  s.folder.write("Options.txt", "1001|0|1026|0|13|0|1|0|1");
  s.p().start();
  Program& p = s.p();
  MainWindow& w = s.w();
  EXPECT_EQ(p.HotkeyF8Code, "1001");
  EXPECT_TRUE(w.Image4.Visible);
  EXPECT_EQ(w.Image4.Picture, w.Command1.Picture);
  EXPECT_FALSE(w.Image4.Picture->empty());
  EXPECT_TRUE(w.Image6.Visible);
  EXPECT_EQ(w.Image6.Picture, w.Command28.Picture);
  EXPECT_TRUE(w.Label9.Visible);
  EXPECT_EQ(w.Label9.Caption, "Enter");
  EXPECT_FALSE(w.Image7.Visible);
  // And they are written back as they were.
  s.p().close();
  EXPECT_EQ(s.folder.read("Options.txt"), "1001|0|1026|0|13|0|1|0|1");
}

TEST(Bindings, BadSavedBindingsNeverStopTheStartUp) {
  for (const char* content : {"\x01\x02|zz|***`|1|1057|7|||", "99999999999999999|0|-5|0|x|",
                              "1013|0|1013|0|1013|0|1|1|1|1|1|1|1"}) {
    SCOPED_TRACE(content);
    SimProgram s;
    s.folder.linkSimbol();
    s.folder.write("Options.txt", content);
    s.p().start();
    s.host.advance(1000);
    EXPECT_TRUE(s.w().Visible);
    EXPECT_TRUE(s.w().Timer0.Enabled());
  }
}

}  // namespace
}  // namespace kel::test
