// The evaluator's test tool: each input line is evaluated by a fresh program on the
// headless desktop, and one line is written for it. The program itself never uses it.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace kel::tools {

// No options file and no pictures: every program starts from the design state.
class NoFiles : public Files {
 public:
  std::string programFolder() const override { return {}; }
  FileRead read(const std::string&, std::uintmax_t) override { return {}; }
  bool replaceContent(const std::string&, const std::string&) override { return false; }
  bool exists(const std::string&) override { return false; }
};

enum class EvalMode {
  Evaluate,   // the line is the linear formula Text1, evaluated as the result row does
  Normalise,  // the line is EvalExpression, put through NormalizeExpression
  Engine,     // the line is a script expression, evaluated by the script engine alone
};

struct EvalOptions {
  EvalMode mode = EvalMode::Evaluate;
  bool degrees = false;  // Gradusi on "deg" (else "rad")
  bool round = false;    // Check1 ticked
};

// What the tool writes for one input line, without the line end.
std::string evalLine(const EvalOptions& options, std::string_view line);

// The whole tool: arguments, standard input to standard output. Returns the exit status.
int runEvalTool(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                std::ostream& err);

}  // namespace kel::tools
