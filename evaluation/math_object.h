// The math object `Res`: the program's own mathematical functions for the script engine,
// added to it under the name "Math" with every member reachable by bare name. The
// trigonometric functions work in the angle unit chosen in the main window's `Gradusi`,
// read at every call; domain errors are not raised: the function returns 0 and writes a
// code to the main window's `Label66`, which the evaluator reads after the script.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/script/script_engine.h"

namespace kel {

class Program;

class Res : public script::ScriptObject {
 public:
  explicit Res(Program& p) : p(p) {}

  // The variables, each readable and assignable by the script.
  double pi = 0;
  double e = 0;
  double z = 0;
  double X = 0;
  std::int16_t error = 0;
  std::int16_t FlagDeg = 0;
  double pk = 0;     // whole turns removed by the last MSIN or MCOS
  double pNovo = 0;  // the last MSIN or MCOS argument less those turns, in the chosen unit
  double pr = 0;     // pNovo in radians
  double NTAN = 0;

  void set_constants();
  void set_variable(double Value);
  double sqrt(double p);
  double frac(double p);
  double asin(double p);
  double acos(double p);
  double atan(double p);
  double sinh(double p);
  double cosh(double p);
  double tanh(double p);
  double Ln(double p);
  double Lg(double p, double p1);
  double MSIN(double p);
  double MCOS(double p);
  double MTAN(double p);
  double MCOTAN(double p);

  std::vector<Member> members() override;

 private:
  bool degrees() const;
  double reduce(double x);
  void domainError(const char* code);
  Program& p;
};

}  // namespace kel
