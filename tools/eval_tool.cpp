#include "tools/eval_tool.h"

#include <istream>
#include <ostream>

#include "app/program.h"
#include "platform/sim/sim_desktop.h"

namespace kel::tools {

namespace {

constexpr const char* kHelp =
    "Usage: kelvarin-eval [--normalise | --engine] [--deg] [--round]\n"
    "\n"
    "Reads one input per line from standard input and writes one line per input. Each\n"
    "line is evaluated by a fresh Kelvarin program on a headless desktop.\n"
    "\n"
    "  (default)    the line is the linear formula of the result row, evaluated as the\n"
    "               program evaluates a reading; prints the result text, a tab, and the\n"
    "               evaluation message (empty when the evaluation succeeded)\n"
    "  --normalise  the line is the evaluator's working text; prints it as the expression\n"
    "               normaliser rewrites it\n"
    "  --engine     the line is a script expression; prints the script engine's value as\n"
    "               text, before rounding and shortening, or \"error N\" with the script\n"
    "               error number\n"
    "  --deg        the angle unit is \"deg\" (else \"rad\")\n"
    "  --round      \"Round\" is ticked: results rounded to 3 decimal places (else not)\n"
    "  --help       this text\n";

}  // namespace

std::string evalLine(const EvalOptions& options, std::string_view line) {
  SimHost host;
  NoFiles files;
  Program p(host.desktop, files, host.scheduler);
  p.start();
  MainWindow& w = p.Form1;
  w.Gradusi.ListIndex = options.degrees ? 1 : 0;
  w.Check1.Value = options.round ? 1 : 0;
  const std::string text(line);
  switch (options.mode) {
    case EvalMode::Evaluate: {
      // As the result row's evaluation timer does it.
      w.Text12.setText("");
      w.Text1.setText(text);
      w.comp.setText(w.Text1.Text());
      p.evaluation.RRavno2();
      const std::string message = w.Label55.Caption;
      return w.Text12.Text() + "\t" + message;
    }
    case EvalMode::Normalise:
      p.evaluation.EvalExpression = text;
      p.evaluation.NormalizeExpression();
      return p.evaluation.EvalExpression;
    case EvalMode::Engine:
      try {
        if (!p.evaluation.ScriptEngine) return "error 0";
        p.evaluation.ScriptEngine->AddCode(Evaluation::EvalScript(text));
        return script::toText(p.evaluation.ScriptEngine->Eval("TheFunction()"));
      } catch (const script::ScriptError& e) {
        return "error " + std::to_string(e.number());
      }
  }
  return {};
}

int runEvalTool(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                std::ostream& err) {
  EvalOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--help") {
      out << kHelp;
      return 0;
    }
    if (a == "--normalise")
      options.mode = EvalMode::Normalise;
    else if (a == "--engine")
      options.mode = EvalMode::Engine;
    else if (a == "--deg")
      options.degrees = true;
    else if (a == "--round")
      options.round = true;
    else {
      err << "kelvarin-eval: unknown argument " << a << "\n" << kHelp;
      return 2;
    }
  }
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out << evalLine(options, line) << '\n';
  }
  return 0;
}

}  // namespace kel::tools
