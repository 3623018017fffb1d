// The fraction stage hints on the main window's panel.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "sim_program.h"

namespace kel::test {
namespace {

// Which hint groups show, each as one letter: I (Insert, stage 0), D (Page Down, stage 1),
// H (Home, stage 2), U (Page Up); a group whose controls disagree shows as "?".
std::string shown(MainWindow& w) {
  struct Group {
    char name;
    std::vector<const Control*> controls;
  } groups[] = {{'I', {&w.Image14, &w.Label10, &w.Line14}},
                {'D', {&w.Image16, &w.Label4, &w.Line7}},
                {'H', {&w.Image17, &w.Label5, &w.Line8}},
                {'U', {&w.Image15, &w.Label6, &w.Line6}}};
  std::string s;
  for (const Group& g : groups) {
    int visible = 0;
    for (const Control* c : g.controls) visible += c->Visible ? 1 : 0;
    if (visible == 3) s += g.name;
    if (visible != 0 && visible != 3) s += '?';
  }
  return s;
}

TEST(FractionHints, EachProcedureShowsItsStageAndHidesTheOneBefore) {
  using Step = void (Surface::*)();
  struct Case {
    const char* name;
    std::vector<Step> steps;
    std::string groups;
  } cases[] = {
      {"at start", {}, "I"},
      {"stage 1", {&Surface::PokazvaneZaHome1}, "D"},
      {"stage 2", {&Surface::PokazvaneZaHome1, &Surface::PokazvaneZaHome2}, "H"},
      {"back to stage 0",
       {&Surface::PokazvaneZaHome1, &Surface::PokazvaneZaHome2, &Surface::ZachisvaneHome},
       "I"},
      // Page Up in stage 2: stage 1 shows, and stage 2 stays.
      {"Page Up in stage 2",
       {&Surface::PokazvaneZaHome1, &Surface::PokazvaneZaHome2, &Surface::PokazvaneZaHome1},
       "DH"},
      {"Home in stage 1", {&Surface::PokazvaneZaHome1, &Surface::ZachisvaneHome}, "I"},
      {"stage 2 twice",
       {&Surface::PokazvaneZaHome1, &Surface::PokazvaneZaHome2, &Surface::PokazvaneZaHome2},
       "H"},
      {"stage 2 straight from stage 0", {&Surface::PokazvaneZaHome2}, "IH"},
  };
  for (int form8Shown : {0, 1}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << ", on-screen keyboard " << form8Shown);
      SimProgram s;
      s.p().Form8Shown = form8Shown;
      for (Step step : c.steps) (s.p().surface.*step)();
      EXPECT_EQ(shown(s.w()), c.groups);
    }
  }
}

TEST(FractionHints, StageZeroAlsoHidesThePageUpGroup) {
  SimProgram s;
  MainWindow& w = s.w();
  for (Control* c : std::initializer_list<Control*>{&w.Image15, &w.Label6, &w.Line6})
    c->Visible = true;
  s.p().surface.PokazvaneZaHome1();
  EXPECT_EQ(shown(w), "DU");
  s.p().surface.ZachisvaneHome();
  EXPECT_EQ(shown(w), "I");
}

}  // namespace
}  // namespace kel::test
