#include "tools/eval_tool.h"

#include <unistd.h>

#include <istream>
#include <optional>
#include <ostream>
#include <vector>

#include "app/program.h"
#include "platform/sim/sim_desktop.h"
#include "platform/units.h"

namespace kel::tools {

namespace {

constexpr const char* kHelp =
    "Usage: kelvarin-eval [--normalise | --engine | --read] [--deg] [--round]\n"
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
    "  --read       the line is the text of a page file (page 1 is used); it is checked\n"
    "               and its symbols placed on the page as loading a page file does, a\n"
    "               rectangle is dragged over the whole page and the reading evaluated;\n"
    "               prints the line shown above the page, a tab, the expression read, a\n"
    "               tab, and the result (empty when there is none), or \"not a page file\"\n"
    "  --deg        the angle unit is \"deg\" (else \"rad\")\n"
    "  --round      \"Round\" is ticked: results rounded to 3 decimal places (else not)\n"
    "  --help       this text\n";

// How long the reading's timers are let run: past the evaluation (300 ms) and the typing
// of a result after a final " = " (500 ms).
constexpr Millis kReadingSettleMs = 1000;

// Drags over the whole page area, from just above and left of its corner to just below and
// right of the opposite one, and lets the reading's timers run.
void readWholePage(SimHost& host, Program& p) {
  MainWindow& w = p.Form1;
  const double clientLeft = singleDiv15(w.Left) + kFrameLeftPx;
  const double clientTop = singleDiv15(w.Top) + kFrameTopTw / kTwipsPerPixel;
  // The reader moves both corners 10 px to the left.
  p.DragStartX = clientLeft + 10 - 1;
  p.DragStartY = clientTop - 1;
  host.desktop.setCursorPos(pixelForPointer(clientLeft + 10 + w.Frame5.Width / 15 + 1),
                            pixelForPointer(clientTop + w.Frame5.Height / 15 + 1));
  p.PointerOverPanel = 0;
  p.evaluation.SelectDragRectangle();
  host.advance(kReadingSettleMs);
}

}  // namespace

std::string executableFolder() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  const std::string exe(buf, static_cast<size_t>(n));
  const size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : exe.substr(0, slash);
}

std::string evalLine(const EvalOptions& options, std::string_view line,
                     const std::string& programFolder) {
  SimHost host;
  NoFiles files(programFolder);
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
    case EvalMode::Read:
      // Nothing evaluated while the page is placed: a " = " on it is only a symbol.
      w.Check3.Value = 0;
      // Checked whole and placed as loading a page file does.
      if (!p.pages.PlacePageOfFile(text, 1)) return "not a page file";
      readWholePage(host, p);
      return w.Text21.Text() + "\t" + w.Text1.Text() + "\t" + w.Text8.Text();
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
                std::ostream& err, const std::string& programFolder) {
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
    else if (a == "--read")
      options.mode = EvalMode::Read;
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
    out << evalLine(options, line, programFolder) << '\n';
  }
  return 0;
}

}  // namespace kel::tools
