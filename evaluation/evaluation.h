// What the main window uses of formula reading and evaluation. Until that is built
// these are seams.
#pragma once

namespace kel {

class Program;

class Evaluation {
 public:
  explicit Evaluation(Program& p) : p(p) {}

  // Creates the script engine with the program's math object.
  void InitScriptEngine();
  // Unloads the integral and sum limits dialogs when they are loaded.
  void UnloadLimitsDialogs();

  // Places the hidden outline frame9 on the expression region (it stays hidden).
  void Command74_Click();
  // Reads and evaluates the symbols inside the expression region.
  void SelectRegionBeforeEquals();
  // One-shot: hides the outline of the expression region again.
  void Timer32_Timer();
  // Hands the prepared limit items of a limits dialog (1 integral, 2 sum) to the key
  // queue once its sign has been placed, and clears BoundsDialog.
  void Granici(int dialog);

 private:
  Program& p;
};

}  // namespace kel
