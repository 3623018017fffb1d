// A started program on the headless desktop, with helpers that drive its script engine and
// its evaluator.
#pragma once

#include <string>

#include "app/program.h"
#include "sim_program.h"

namespace kel::test {

struct EvalFixture {
  EvalFixture() { s.p().start(); }
  Program& p() { return s.p(); }
  MainWindow& w() { return s.w(); }
  void degrees(bool on) { w().Gradusi.ListIndex = on ? 1 : 0; }

  // The engine's value of a script expression as text, or "error N".
  std::string engine(const std::string& expression) {
    try {
      return script::toText(p().evaluation.ScriptEngine->Eval(expression));
    } catch (const script::ScriptError& e) {
      return "error " + std::to_string(e.number());
    }
  }
  std::string label66() const {
    const std::string code = s.prog->Form1.Label66.Caption;
    return code;
  }
  std::string label55() const {
    const std::string message = s.prog->Form1.Label55.Caption;
    return message;
  }

  SimProgram s;
};

}  // namespace kel::test
