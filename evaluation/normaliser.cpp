// The expression normaliser: the linear expression is written the way a formula looks
// (implied products, the power of a trigonometric function between the name and its
// argument, arguments without brackets, exponent digits one by one, logarithm bases marked
// with "#"); these rules rewrite it into the syntax of the evaluator's script.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "app/program.h"
#include "evaluation/evaluation.h"
#include "evaluation/text_rules.h"
#include "platform/steps.h"

namespace kel {

namespace {

using script::RegExp;

// Every pattern of the normaliser, ignoring case and global, compiled once for the run.
struct Patterns {
  RegExp numberLetters{R"(([0-9\.]+[epi]+))", true, true};
  RegExp trigPower{
      R"((sin\^\([0-9\.epi]+\)|sin\^\(\-[0-9\.epi]+\)|cos\^\([0-9\.epi]+\)|cos\^\(\-[0-9\.epi]+\)|tg\^\([0-9\.epi]+\)|tg\^\(\-[0-9\.epi]+\)))",
      true, true};
  RegExp exponentRun{R"((\^[0-9\^\.epi\/\-]+))", true, true};
  RegExp trigArgument{
      R"((tg[0-9\.epi]+|sin[0-9\.epi]+|cos[0-9\.epi]+|tg[\-\+][0-9\.epi]+|sin[\-\+][0-9\.epi]+|cos[\-\+][0-9\.epi]+))",
      true, true};
  RegExp parkedPower{
      R"((GG\^\([0-9\.epi\-]+\)GGsin\([0-9\.epi]+\)|GG\^\([0-9\.epi\-]+\)GGsin\(\-[0-9\.epi]+\)|GG\^\([0-9\.epi\-]+\)GGcos\([0-9\.epi]+\)|GG\^\([0-9\.epi\-]+\)GGcos\(\-[0-9\.epi]+\)|GG\^\([0-9\.epi\-]+\)GGtg\([0-9\.epi]+\)|GG\^\([0-9\.epi\-]+\)GGtg\(\-[0-9\.epi]+\)))",
      true, true};
  RegExp numberBracket{R"(([0-9\.]+[\(]+))", true, true};
  RegExp lgBracket{R"((lg\([0-9\.\/epi]+))", true, true};
  RegExp lgBare{R"((lg[0-9\.\/epi]+))", true, true};
  RegExp lnBare{R"((pn[0-9\.\/epi]+))", true, true};
  RegExp logBase{R"((log@[\(0-9\@\.\/epi]+))", true, true};
  RegExp logMarks{R"((g(@[@0-9e\.])+))", true, true};
};

const Patterns& patterns() {
  static const Patterns compiled;
  return compiled;
}

void fixed(std::string& text, std::string_view find, std::string_view with) {
  text = replaceAll(text, find, with);
}

// A pattern rule whose failure leaves the text as it was. It is executed only when the text
// holds one of the texts a match begins with, followed by a character the match can go on
// with (ignoring case, as the patterns do); without one the pattern cannot match. This
// keeps an evaluation well under a millisecond.
struct Start {
  std::initializer_list<std::string_view> parts;
  std::string_view next;
};

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool mayMatch(std::string_view text, const Start& start) {
  for (std::string_view part : start.parts) {
    for (std::size_t i = 0; i + part.size() < text.size(); ++i) {
      bool same = true;
      for (std::size_t k = 0; k < part.size() && same; ++k) same = lower(text[i + k]) == part[k];
      if (same && start.next.find(lower(text[i + part.size()])) != std::string_view::npos)
        return true;
    }
  }
  return false;
}

template <class F>
void rule(std::string& text, const RegExp& pattern, const Start& start, F replacement) {
  if (!mayMatch(text, start)) return;
  skipOnFailure([&] { rewriteMatches(text, pattern, replacement); });
}

constexpr std::string_view kLogArgumentChars = "0123456789./epi";

}  // namespace

void Evaluation::ObrabotkaLog() {
  const Patterns& r = patterns();
  std::string& t = EvalExpression;
  fixed(t, "#", "@");
  rule(t, r.lgBracket, {{"lg("}, kLogArgumentChars},
       [](const std::string& m) { return "Lg(10," + replaceAll(m, "lg(", ""); });
  rule(t, r.lgBare, {{"lg"}, kLogArgumentChars},
       [](const std::string& m) { return "Lg(10," + replaceAll(m, "lg", "") + ")"; });
  rule(t, r.lnBare, {{"pn"}, kLogArgumentChars},
       [](const std::string& m) { return "Ln(" + replaceAll(m, "pn", "") + ")"; });
  rule(t, r.logBase, {{"log@"}, "(0123456789@./epi"},
       [](const std::string& m) { return contains(m, "(") ? m : m + ")"; });
  rule(t, r.logMarks, {{"g@"}, "@0123456789e."}, [](const std::string& m) {
    return "g(" + replaceAll(replaceAll(m, "@", ""), "g", "") + ",";
  });
  fixed(t, ",(", ",");
  fixed(t, "log", "Lg");
}

void Evaluation::NormalizeExpression() {
  const Patterns& r = patterns();
  MainWindow& w = p.Form1;
  std::string& t = EvalExpression;
  fixed(t, "ln", "pn");
  ObrabotkaLog();
  // Five passes; a pass that leaves the text as it found it would leave it so again, so the
  // passes after it are not run.
  for (int pass = 0; pass < 5; ++pass) {
    const std::string before = t;
    rule(t, r.numberLetters, {{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "."}, "epi"},
         [](const std::string& m) { return replaceAll(replaceAll(m, "pi", "*pi"), "e", "*e"); });
    rule(t, r.trigPower, {{"sin^(", "cos^(", "tg^("}, "0123456789.epi-"}, [](const std::string& m) {
      const char* name = contains(m, "sin")   ? "sin"
                         : contains(m, "cos") ? "cos"
                         : contains(m, "tg")  ? "tg"
                                              : "";
      return "GG" + replaceAll(m, name, "") + "GG" + name;
    });
    rule(t, r.exponentRun, {{"^"}, "0123456789^.epi/-"},
         [](const std::string& m) { return "^" + replaceAll(m, "^", ""); });
    fixed(t, "(^", "(");
    rule(t, r.trigArgument, {{"sin", "cos", "tg"}, "0123456789.epi-+"}, [](const std::string& m) {
      return replaceAll(replaceAll(replaceAll(m, "sin", "sin("), "cos", "cos("), "tg", "tg(") + ")";
    });
    rule(t, r.parkedPower, {{"gg^("}, "0123456789.epi-"}, [](const std::string& m) {
      const std::string rest = m.substr(2);
      // The pattern ignores case, so the second mark may be "gg" as well as "GG".
      const std::size_t k = rest.find_first_of("Gg");
      return "(" + rest.substr(k + 2) + ")" + rest.substr(0, k);
    });
    for (auto [find, with] :
         {std::pair{"a(sin", "(asin"}, std::pair{"a(cos", "(acos"}, std::pair{"a(tg", "(atg"},
          std::pair{"aco(tg", "(acotg"}, std::pair{"co(tg", "(cotg"}})
      fixed(t, find, with);
    // A decimal logarithm left over by the logarithm step: with a bracket it is the base-10
    // logarithm of what the bracket holds. Any other "lg" stays as it is: the engine reads it
    // as the math object's two-argument Lg called without arguments, so the evaluation fails
    // instead of dropping the logarithm and giving its argument as the value.
    fixed(t, "lg(", "Lg(10,");
    rule(t, r.numberBracket, {{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "."}, "("},
         [](const std::string& m) { return replaceAll(m, "(", "*("); });
    for (auto [find, with] : {std::pair{"pn", "ln"}, std::pair{")(", ")*("}, std::pair{"(*(", "(("},
                              std::pair{")^+", ")+"}, std::pair{")^-", ")-"},
                              std::pair{")^*", ")*"}, std::pair{")^/", ")/"}, std::pair{" ", ""}})
      fixed(t, find, with);
    w.Text1.setText(t);
    w.Text19.setText(t);
    if (t == before) break;
  }
}

void Evaluation::Command37_Click() {
  MainWindow& w = p.Form1;
  EvalExpression = w.Text19.Text();
  NormalizeExpression();
  w.Text20.setText(EvalExpression);
}

}  // namespace kel
