// A formula typed key by key through the whole chain: the poll, the release check, the
// player, the interpreter rows, the placers and the after-placement step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/units.h"
#include "typing_fixture.h"

namespace kel::test {
namespace {

using Codes = std::vector<std::string>;

// Types "ab+12 = " and checks the page: the symbols in order, each starting where the one
// before ended, and the pointer right of where it started by their widths.
void typeFormula(Typist& t, const char* a, const char* b) {
  Program& p = t.p();
  const int first = p.SymbolCount + 1;
  const int items = t.w().List1.ListCount();
  const int undo = p.UndoIndex;
  const double x0 = p.PointerX, y0 = p.PointerY;
  const double left0 = p.surface.InsertXFor(x0);

  t.type(65);
  t.type(66);
  t.typeShifted(187);
  t.type(49);
  t.type(50);
  t.type(187);

  const Codes codes(t.w().List1.Items.begin() + items, t.w().List1.Items.end());
  const Codes flags(t.w().List2.Items.begin() + items, t.w().List2.Items.end());
  EXPECT_EQ(codes, (Codes{"65", "66", "187", "49", "50", "187"}));
  EXPECT_EQ(flags, (Codes{"0", "0", "1", "0", "0", "0"}));

  struct Want {
    const char* kind;
    const char* caption;
  } want[] = {{"bukva", a},   {"bukva", b},   {"plus", ""},
              {"bukva", "1"}, {"bukva", "2"}, {"bukva", " = "}};
  const std::vector<Placed> all = t.placed();
  ASSERT_EQ(static_cast<int>(all.size()), first - 1 + 6);
  double left = left0, widths = 0;
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const int n = first + i;
    const Placed& e = all[static_cast<size_t>(n - 1)];
    EXPECT_EQ(e.kind, want[i].kind);
    EXPECT_EQ(e.caption, want[i].caption);
    const Control& c = e.kind == "bukva" ? static_cast<const Control&>(t.w().Label3[n])
                                         : static_cast<const Control&>(t.w().Image3[n]);
    EXPECT_DOUBLE_EQ(c.Left, left);
    EXPECT_TRUE(c.Visible);
    EXPECT_EQ(p.SymbolLevel[static_cast<size_t>(n)], 0);
    left += e.width;
    widths += e.width / 15;
  }
  EXPECT_GT(widths, 0);
  EXPECT_DOUBLE_EQ(p.PointerX, x0 + widths);
  EXPECT_EQ(p.PointerY, y0);
  EXPECT_EQ(t.desk().cursorPos(), (PointPx{pixelForPointer(x0 + widths), pixelForPointer(y0)}));
  EXPECT_EQ(p.UndoIndex, undo + 6);  // one after-placement step per symbol
  EXPECT_EQ(p.BusyFlag, 0);
  EXPECT_FALSE(t.w().Timer4.Enabled());
}

TEST(TypingChain, AFormulaTypedKeyByKeyInTheLatinAndThenTheCyrillicLayout) {
  Typist t;
  t.w().Check3.Value = 0;  // the sign closes the formula; nothing is evaluated
  {
    SCOPED_TRACE("Latin");
    typeFormula(t, "a", "b");
  }

  t.chord();
  ASSERT_EQ(t.queued().back(), "6000");
  ASSERT_EQ(t.p().LatinLayout, 0);
  t.home();
  t.p().PointerY += 60;  // the next line
  {
    SCOPED_TRACE("Cyrillic");
    typeFormula(t, "\u0430", "\u0431");
  }
}

}  // namespace
}  // namespace kel::test
