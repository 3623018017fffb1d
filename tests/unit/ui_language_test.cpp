// The interface language: captions, colours and the language button, with the typing
// layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui_fixture.h"

namespace kel::test {
namespace {

struct CaptionRow {
  const char* control;
  std::string (*caption)(MainWindow&);
  const char* design;
  const char* english;
  const char* bulgarian;
};

// Every blank belongs to the caption.
const CaptionRow kCaptions[] = {
    {"Label1", [](MainWindow& w) { return w.Label1.Caption.get(); }, "Степен", "Upper index",
     "Горен индекс"},
    {"Label2", [](MainWindow& w) { return w.Label2.Caption.get(); }, "Долен индекс", "Lower index",
     "Долен индекс"},
    {"Label6", [](MainWindow& w) { return w.Label6.Caption.get(); }, "Над черта", "On the line",
     "Над линията"},
    {"Label4", [](MainWindow& w) { return w.Label4.Caption.get(); }, "Под черта", "Below the line",
     "Под линията"},
    {"Label5", [](MainWindow& w) { return w.Label5.Caption.get(); }, "След черта", "After the line",
     "След линията"},
    {"Label10", [](MainWindow& w) { return w.Label10.Caption.get(); }, "Дробна черта", "Line",
     "Линия"},
    {"Label11", [](MainWindow& w) { return w.Label11.Caption.get(); }, "Изчистване  ",
     "    Clear All     ", "  Изчистване "},
    {"Command2", [](MainWindow& w) { return w.Command2.Caption.get(); }, "Stop", "Stop", "Стоп"},
    {"Command3", [](MainWindow& w) { return w.Command3.Caption.get(); }, "Start", "Start", "Старт"},
    {"Command71", [](MainWindow& w) { return w.Command71.Caption.get(); }, "Виртуална клавиатура",
     "Virtual Keyboard", "Виртуална клавиатура"},
    {"Check1", [](MainWindow& w) { return w.Check1.Caption.get(); }, "Round", "Round",
     "Закръгления"},
    {"Label15", [](MainWindow& w) { return w.Label15.Caption.get(); },
     "Copy и пресмятане ->  изтегляне с мишката", "Copy and calculate -  drag with mouse",
     "Копиране и пресмятане-изтегляне с мишка"},
    {"Label16", [](MainWindow& w) { return w.Label16.Caption.get(); },
     "Двоен клик - > запомня позиция", "Double click- memorizes position",
     "Двоен клик - запомня позиция"},
};

// The eight backgrounds that follow the language.
std::vector<Colour> backgrounds(MainWindow& w) {
  return {w.Label17.BackColor, w.Label18.BackColor, w.Label19.BackColor, w.label20.BackColor,
          w.Frame8.BackColor,  w.Frame6.BackColor,  w.BackColor,         w.Frame2.BackColor};
}

enum class Shown { Design, English, Bulgarian };

void expectLanguage(Ui& u, Shown shown, const char* when) {
  SCOPED_TRACE(when);
  for (const CaptionRow& r : kCaptions) {
    const char* want = shown == Shown::Design    ? r.design
                       : shown == Shown::English ? r.english
                                                 : r.bulgarian;
    EXPECT_EQ(r.caption(u.w()), want) << r.control;
  }
  const Colour bg = shown == Shown::Bulgarian ? kBlue : kBlack;
  EXPECT_EQ(backgrounds(u.w()), std::vector<Colour>(8, bg));
  // Exactly one language button, the one that switches away from what is shown.
  EXPECT_EQ(u.w().Command60.Visible, shown == Shown::Bulgarian);
  EXPECT_EQ(u.w().Command61.Visible, shown != Shown::Bulgarian);
  EXPECT_EQ(u.p().LatinLayout, shown == Shown::Bulgarian ? 0 : 1);
}

void clickButton(Ui& u, const CommandButton& b) {
  u.moveTo(u.over(b));
  u.desk().userButtonDown(vk::LButton);
  u.desk().userButtonUp(vk::LButton);
}

TEST(InterfaceLanguage, TheButtonsSwitchCaptionsColoursButtonAndLayout) {
  Ui u;
  expectLanguage(u, Shown::Design, "at start");

  const PointPx insertion{pixelForPointer(u.p().PointerX), pixelForPointer(u.p().PointerY)};
  clickButton(u, u.w().Command61);
  expectLanguage(u, Shown::Bulgarian, "after En --> BG");
  // The pointer goes back to the insertion point, away from the button, and the
  // dispatcher runs its common steps only.
  EXPECT_EQ(u.pointer(), insertion);
  EXPECT_EQ(u.p().PendingCode, 10000000001LL);
  EXPECT_TRUE(u.w().Timer6.Enabled());
  EXPECT_EQ(u.desk().focusCalls.back(), "Command63");

  clickButton(u, u.w().Command60);
  expectLanguage(u, Shown::English, "after BG --> En");
  EXPECT_EQ(u.pointer(), insertion);
  EXPECT_EQ(u.p().PendingCode, 100000000001LL);

  // Switching to the language shown sets the same again.
  u.p().app.Command60_Click();
  expectLanguage(u, Shown::English, "English twice");
}

TEST(InterfaceLanguage, LayoutCodesInTheQueueSwitchAsTheButtonsDo) {
  Ui u;
  u.p().input.AppendQueueItem("6000", "0");
  u.advance(40);
  expectLanguage(u, Shown::Bulgarian, "6000 played");
  EXPECT_EQ(u.p().PendingCode, 10000000001LL);
  u.p().input.AppendQueueItem("5000", "0");
  u.advance(40);
  expectLanguage(u, Shown::English, "5000 played");
}

// A layout code typed (Alt+A) while the pointer rests on the panel leaves it there, as any
// key typed does; with the pointer where the program put it, the pointer follows the
// insertion point as before.
TEST(InterfaceLanguage, ALayoutCodeTypedLeavesAPointerRestingOnThePanel) {
  Ui u;
  const PointPx insertion{pixelForPointer(u.p().PointerX), pixelForPointer(u.p().PointerY)};
  const PointPx resting = u.over(u.w().Command18);
  u.moveTo(resting);
  u.advance(100);
  u.p().input.AppendQueueItem("6000", "0");
  u.advance(400);
  expectLanguage(u, Shown::Bulgarian, "6000 played");
  EXPECT_EQ(u.pointer(), resting);
  EXPECT_EQ(pixelForPointer(u.p().PointerX), insertion.x);

  u.moveTo(insertion);
  u.advance(100);
  u.p().input.AppendQueueItem("5000", "0");
  u.advance(400);
  expectLanguage(u, Shown::English, "5000 played");
  EXPECT_EQ(u.pointer(), insertion);
}

}  // namespace
}  // namespace kel::test
