// The palette's symbol codes, the limit positions of integrals and sums, and the codes
// that open the limits dialogs.
#include <gtest/gtest.h>

#include <string>

#include "rows_fixture.h"

namespace kel::test::rows {
namespace {

enum class Mode { Line, Upper, Lower };

void enter(Program& p, Mode m) {
  p.UpperIndexMode = m == Mode::Upper ? 1 : 0;
  p.LowerIndexMode = m == Mode::Lower ? 1 : 0;
}

TEST(SymbolCodes, EachCodePlacesItsPictureByModeAndShiftFlag) {
  struct Case {
    const char* code;
    const char* shift;
    Mode mode;
    const char* kind;  // "" when nothing is placed
  } cases[] = {
      {"1001", "0", Mode::Line, "plusminus"},
      {"1001", "1", Mode::Lower, "plusminusm"},  // the shift flag is not looked at
      {"1004", "0", Mode::Upper, "pomalkoravnom"},
      {"1005", "0", Mode::Line, "pogolyamoravno"},
      {"1006", "0", Mode::Lower, "korenm"},
      {"1007", "1", Mode::Line, "strelka"},
      {"1010", "0", Mode::Upper, "prinadlejim"},
      {"1011", "0", Mode::Upper, "1011"},  // no small form
      {"1012", "1", Mode::Lower, "hskoba"},
      {"1013", "0", Mode::Line, "pi"},
      {"1013", "0", Mode::Upper, "pim"},
      {"1014", "0", Mode::Lower, "strelka2m"},
      {"1017", "0", Mode::Line, "1017"},
      {"1017", "0", Mode::Upper, "101701"},
      {"1022", "0", Mode::Lower, "102201"},
      {"1026", "0", Mode::Line, "1026"},
      {"1026", "1", Mode::Line, ""},  // numbered pictures want the shift flag "0"
      {"1051", "1", Mode::Upper, ""},
      {"1051", "0", Mode::Upper, "105101"},
      {"1032", "0", Mode::Lower, "103201"},
      {"***01050", "0", Mode::Line, "1050"},  // a code is compared as a number
      {"1002", "0", Mode::Line, ""},
      {"1003", "0", Mode::Line, ""},
      {"1008", "0", Mode::Line, ""},
      {"1009", "0", Mode::Line, ""},
      {"1023", "0", Mode::Line, ""},
      {"1024", "0", Mode::Upper, ""},
      {"1025", "0", Mode::Line, ""},
      {"1052", "0", Mode::Line, ""},
      {"1053", "0", Mode::Line, ""},
      {"1059", "0", Mode::Line, ""},
      {"1026.5", "0", Mode::Line, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.code << " shift " << c.shift << " mode " << static_cast<int>(c.mode));
    RowTypist t;
    Program& p = t.p();
    enter(p, c.mode);
    const double x = p.PointerX, y = p.PointerY;
    t.append(c.code, c.shift);
    t.s.host.advance(20);
    if (*c.kind == '\0') {
      EXPECT_EQ(p.SymbolCount, 0);
      EXPECT_EQ(p.PointerX, x);
      EXPECT_EQ(p.PointerY, y);
      continue;
    }
    ASSERT_EQ(p.SymbolCount, 1);
    EXPECT_EQ(p.SymbolKind[1], c.kind);
    const Image& img = t.w().Image3[1];
    EXPECT_EQ(img.Picture->Path, t.s.folder.file(std::string("Simbol/") + c.kind + ".gif"));
    EXPECT_EQ(p.SymbolLevel[1], c.mode == Mode::Upper ? 1 : c.mode == Mode::Lower ? 2 : 0);
    EXPECT_EQ(img.Left, p.surface.InsertXFor(x));
    EXPECT_DOUBLE_EQ(p.PointerX, x + img.Width / 15);
  }
}

TEST(SymbolCodes, SymbolCodesPlaceNothingWhileCtrlIsHeldButCountAsPlayed) {
  RowTypist t;
  Program& p = t.p();
  t.desk().userKeyDown(vk::RControl);
  for (const char* code : {"1001", "1011", "1015", "1016", "2015", "1026", "1050", "1032"})
    t.append(code);
  t.s.host.advance(400);
  EXPECT_EQ(p.SymbolCount, 0);
  EXPECT_EQ(t.w().List1.ListIndex, 7);
  t.desk().userKeyUp(vk::RControl);
  t.s.host.advance(100);
  t.type({"1026"}, 40);
  EXPECT_EQ(p.SymbolCount, 1);
}

TEST(SymbolCodes, OverlaysLandUpAndLeftOfThePointerWhichThenStaysWhereItWas) {
  struct Case {
    const char* code;
    int leftPx, upPx;
    Mode mode;
  } cases[] = {
      {"1015", 22, 16, Mode::Line},  {"1016", 32, 20, Mode::Line}, {"2015", 22, 16, Mode::Line},
      {"1015", 22, 16, Mode::Upper},  // the full picture, with the index level
      {"2015", 22, 16, Mode::Lower},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    RowTypist t;
    Program& p = t.p();
    enter(p, c.mode);
    p.PointerX = 420.25;  // kept exactly, fraction and all
    p.PointerY = 210.75;
    t.append(c.code, "1");
    t.s.host.advance(20);
    ASSERT_EQ(p.SymbolCount, 1);
    EXPECT_EQ(p.SymbolKind[1], c.code);
    EXPECT_EQ(p.SymbolLevel[1], c.mode == Mode::Upper ? 1 : c.mode == Mode::Lower ? 2 : 0);
    const Image& img = t.w().Image3[1];
    EXPECT_EQ(img.Left, p.surface.InsertXFor(420.25 - c.leftPx));
    EXPECT_DOUBLE_EQ(img.Top, p.surface.InsertYFor(210.75 - c.upPx) - img.Height * 1.4955 / 3);
    EXPECT_EQ(p.PointerX, 420.25);
    EXPECT_EQ(p.PointerY, 210.75);
    EXPECT_EQ(t.pointer(), (PointPx{420, 211}));
  }
}

TEST(SymbolCodes, SumAndIntegralOnTheLineTakeTheAnchorFirst) {
  for (const char* code : {"1032", "1050"}) {
    SCOPED_TRACE(code);
    RowTypist t;
    Program& p = t.p();
    p.PointerX = 400;
    p.PointerY = 200;
    t.type({code}, 40);
    EXPECT_EQ(p.BoundsAnchorX, 400);
    EXPECT_EQ(p.BoundsAnchorY, 200);
    EXPECT_GT(p.PointerX, 400);

    // In an index the sign is placed and the anchor stays.
    p.LowerIndexMode = 1;
    t.type({code}, 40);
    EXPECT_EQ(p.SymbolCount, 2);
    EXPECT_EQ(p.BoundsAnchorX, 400);
    EXPECT_EQ(p.BoundsAnchorY, 200);
  }
}

TEST(LimitCodes, PointerGoesToEachLimitFromTheAnchor) {
  struct Case {
    const char* code;
    double x, y;  // from the anchor (400, 250) with an upper shift of -8, a lower of -12
  } cases[] = {
      {"1054", 400 + 9 - 8, 250 - 26}, {"1055", 400 + 5 - 12, 250 + 42}, {"1056", 400 + 20, 250},
      {"1060", 400 + 9 - 8, 250 - 18}, {"1061", 400 + 9 - 12, 250 + 39}, {"1062", 400 + 25, 250},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    RowTypist t;
    Program& p = t.p();
    p.BoundsAnchorX = 400;
    p.BoundsAnchorY = 250;
    p.UpperBoundShiftX = -8;
    p.LowerBoundShiftX = -12;
    p.UpperIndexMode = 1;                // nor the index mode
    t.desk().userKeyDown(vk::RControl);  // no Ctrl gate
    t.append(c.code, "1");               // nor the shift flag
    t.s.host.advance(20);
    EXPECT_EQ(p.PointerX, c.x);
    EXPECT_EQ(p.PointerY, c.y);
    EXPECT_EQ(t.pointer(), (PointPx{static_cast<int>(c.x), static_cast<int>(c.y)}));
    EXPECT_EQ(p.SymbolCount, 0);
  }
}

TEST(LimitCodes, TheLastLimitCodeEndsTheHoldAndBindsF8ToTheDialog) {
  struct Case {
    const char* code;
    int action;
    const char* f8;
    int dialog;  // 1 integral, 2 sum
  } cases[] = {{"1056", 1, "1057", 1}, {"1062", 2, "1058", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    RowTypist t;
    Program& p = t.p();
    MainWindow& w = t.w();
    p.BoundsQueueState = 1;
    t.type({c.code}, 20);
    EXPECT_EQ(p.HotkeyAssignAction, c.action);
    EXPECT_EQ(p.BoundsQueueState, 2);
    EXPECT_TRUE(w.Timer17.Enabled());
    p.BoundsQueueState = 0;  // as the capture returns it

    t.s.host.advance(500);
    EXPECT_FALSE(w.Timer17.Enabled());
    EXPECT_EQ(p.HotkeyF8Code, c.f8);
    EXPECT_EQ(p.HotkeyF8Shift, "0");
    EXPECT_EQ(p.HotkeyAssignAction, 0);

    // F8 now opens the same dialog again, from where the pointer is; the queue waits
    // while it is open.
    p.PointerX = 333;
    p.PointerY = 222;
    t.type({"119", kX}, 200);
    LimitsDialogForm& dialog = c.dialog == 1 ? p.Form4 : p.Form5;
    EXPECT_TRUE(dialog.Visible);
    EXPECT_FALSE((c.dialog == 1 ? p.Form5 : p.Form4).Visible);
    EXPECT_EQ(p.BoundsAnchorX, 333);
    EXPECT_EQ(p.BoundsAnchorY, 222);
    EXPECT_EQ(p.BusyFlag, 1);
    EXPECT_EQ(p.BoundsQueueState, 1);
    EXPECT_EQ(p.SymbolCount, 0);
    // Closed with its close box: neither the queue nor the capture stays held.
    t.desk().userCloseForm(dialog);
    t.s.host.advance(100);
    EXPECT_FALSE(dialog.Visible);
    EXPECT_NE(p.BoundsQueueState, 1);
    EXPECT_EQ(p.BusyFlag, 0);
    EXPECT_EQ(p.HotkeyAssignAction, c.dialog);
    EXPECT_EQ(p.SymbolCount, 1);  // the item after F8 is played
  }
}

TEST(LimitCodes, DialogCodesActWhileCtrlIsHeld) {
  for (const char* code : {"1057", "1058"}) {
    SCOPED_TRACE(code);
    RowTypist t;
    t.desk().userKeyDown(vk::RControl);
    t.type({code}, 20);
    EXPECT_TRUE(t.p().evaluation.Form4Visible() || t.p().evaluation.Form5Visible());
    EXPECT_EQ(t.p().BoundsAnchorX, t.p().PointerX);
  }
}

}  // namespace
}  // namespace kel::test::rows
