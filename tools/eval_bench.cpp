// How long one evaluation (RRavno2) of a 200-token formula takes, against the script
// engine's parse of the same expression alone. Run it from a Release build:
//   build/release/kelvarin-eval-bench [tokens]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/program.h"
#include "platform/sim/sim_desktop.h"
#include "tools/eval_tool.h"

namespace {

// Tokens as a formula has them: a run of digits and points, a run of letters, or one sign.
int tokenKind(char c) {
  return (c >= '0' && c <= '9') || c == '.' ? 1 : (c >= 'a' && c <= 'z') ? 2 : 0;
}

int countTokens(const std::string& s) {
  int n = 0;
  for (std::size_t i = 0; i < s.size();) {
    const int k = tokenKind(s[i]);
    ++i;
    if (k != 0)
      while (i < s.size() && tokenKind(s[i]) == k) ++i;
    ++n;
  }
  return n;
}

// A formula of exactly `wanted` tokens (at least one). Whole parts are taken while they fit
// and leave either nothing or room for the padding (two tokens or more); the padding starts
// with a sign, so it never joins the number or the name the formula ends with (a digit
// appended after a number would only make that number longer, and the count would never
// grow).
std::string formulaOf(int wanted) {
  // A mix of what a reading produces: implied products, trigonometric powers, unbracketed
  // arguments, exponent digits, logarithm bases, fractions and brackets.
  const std::string parts[] = {"sin^(2)30",     "+2pi",   "*(3+4)",  "-lg100",
                               "/5^1^2",        "+cos60", "*1.5",    "-log#28",
                               "+(12+3)/(4-1)", "+tg45",  "-3(2+1)", "+ln5"};
  std::string formula;
  int tokens = 0;
  for (std::size_t i = 0;; ++i) {
    const std::string& part = parts[i % std::size(parts)];
    const bool joins = !formula.empty() && tokenKind(formula.back()) != 0 &&
                       tokenKind(formula.back()) == tokenKind(part.front());
    const int after = tokens + countTokens(part) - (joins ? 1 : 0);
    if (after != wanted && after > wanted - 2) break;
    formula += part;
    tokens = after;
    if (tokens == wanted) return formula;
  }
  int missing = wanted - tokens;
  if (formula.empty()) {
    formula = missing % 2 != 0 ? "2" : "-1";
    missing -= missing % 2 != 0 ? 1 : 2;
  } else if (missing % 2 != 0) {
    formula += "+2pi";
    missing -= 3;
  }
  for (; missing > 0; missing -= 2) formula += "+1";
  return formula;
}

// The best of five rounds of 200 ms, so that other work on the machine counts least. One
// run first, which also warms the caches: a run of a millisecond or more (a long formula
// under the sanitizers) is then timed on its own, not ten at a time, so that a round ends
// near its 200 ms on a loaded machine too (ten runs of half a second each made the bench
// of 500 tokens take 78 s there).
template <class F>
double microsecondsPerRun(F f) {
  using clock = std::chrono::steady_clock;
  const auto first = clock::now();
  f();
  const int batch = clock::now() - first < std::chrono::milliseconds(1) ? 10 : 1;
  double best = 1e300;
  for (int round = 0; round < 5; ++round) {
    int runs = 0;
    const auto start = clock::now();
    auto now = start;
    do {
      for (int i = 0; i < batch; ++i) f();
      runs += batch;
      now = clock::now();
    } while (now - start < std::chrono::milliseconds(200));
    best = std::min(best, std::chrono::duration<double, std::micro>(now - start).count() / runs);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int wanted = argc > 1 ? std::atoi(argv[1]) : 200;
  if (wanted < 1) {
    std::fprintf(stderr, "usage: kelvarin-eval-bench [tokens]  (tokens: 1 or more)\n");
    return 2;
  }
  const std::string formula = formulaOf(wanted);

  kel::SimHost host;
  kel::tools::NoFiles files;
  kel::Program p(host.desktop, files, host.scheduler);
  p.start();
  kel::MainWindow& w = p.Form1;
  w.Gradusi.ListIndex = 1;
  w.Check1.Value = 0;
  w.comp.setText(formula);
  p.evaluation.RRavno2();
  const std::string result = w.Text12.Text();
  const std::string message = w.Label55.Caption;
  const std::string script = kel::Evaluation::EvalScript(p.evaluation.EvalExpression);

  const double evaluate = microsecondsPerRun([&] { p.evaluation.RRavno2(); });
  kel::script::Engine engine;
  engine.setLanguage("VBScript");
  const double parse = microsecondsPerRun([&] { engine.AddCode(script); });
  const double normalise = microsecondsPerRun([&] {
    p.evaluation.EvalExpression = formula;
    p.evaluation.NormalizeExpression();
  });

  std::printf("formula: %d tokens, %zu characters\n", countTokens(formula), formula.size());
  std::printf("result: %s%s%s\n", result.c_str(),
              message.empty() ? "" : "  message: ", message.c_str());
  std::printf("RRavno2:     %8.1f us\n", evaluate);
  std::printf("parse alone: %8.1f us\n", parse);
  std::printf("of which the normaliser: %8.1f us\n", normalise);
  std::printf("ratio:       %8.1f\n", evaluate / parse);
  return 0;
}
