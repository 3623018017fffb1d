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

 private:
  [[maybe_unused]] Program& p;
};

}  // namespace kel
