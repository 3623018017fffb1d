// The evaluator: the expression is rewritten into the syntax of the script language and
// handed to the script engine as the body of a one-line function, whose value the engine is
// then asked for. The engine knows the program's math object, added at start-up.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/program.h"
#include "evaluation/evaluation.h"
#include "evaluation/math_object.h"
#include "evaluation/text_rules.h"
#include "platform/steps.h"

namespace kel {

namespace {

using script::ScriptError;
namespace err = script::err;

std::string lowerCase(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool endsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// The selected item's text of the angle-unit list; no selection counts as "rad".
template <class List>
std::string selectedUnit(const List& list) {
  const int index = list.ListIndex;
  const std::vector<std::string> items = list.Items;
  return index >= 0 && index < static_cast<int>(items.size())
             ? items[static_cast<std::size_t>(index)]
             : std::string("rad");
}

// A whole number ending in four or more zeros: the zeros become "E+" and their count.
std::string largeNumberRule(const std::string& t) {
  if (!endsWith(t, "0000") || contains(t, ".")) return t;
  std::size_t zeros = 0;
  while (zeros < t.size() && t[t.size() - 1 - zeros] == '0') ++zeros;
  return t.substr(0, t.size() - zeros) + "E+" + std::to_string(zeros);
}

// A positive number below 0.001 in plain decimal form: one digit, optionally "." and the
// further digits, "E-" and the exponent.
std::string smallNumberRule(const std::string& t) {
  if (t.rfind("0.000", 0) != 0) return t;
  std::size_t n = 0;
  while (2 + n < t.size() && t[2 + n] == '0') ++n;
  const std::string significant = t.substr(n + 2);
  if (significant.empty()) return t;
  std::string out(1, significant[0]);
  if (significant.size() > 1) out += "." + significant.substr(1);
  return out + "E-" + std::to_string(n + 1);
}

// In degrees an arc function's value is a factor of the whole call: "ATN(1)" becomes
// "((180/pi)*ATAN(1))", so that what stands next to the call (1/asin(0.5), asin(0.5)^2,
// 2^atg(1)) works on the angle in degrees and not on 180/pi alone. A name that no bracketed
// argument follows is replaced as it stands.
std::string degreesFactor(const std::string& t, std::string_view name, std::string_view with) {
  // The closing bracket of each opening one, in one pass (npos: never closed).
  std::vector<std::size_t> closing(t.size(), std::string::npos);
  std::vector<std::size_t> open;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '(') open.push_back(i);
    if (t[i] == ')' && !open.empty()) {
      closing[open.back()] = i;
      open.pop_back();
    }
  }
  std::vector<std::size_t> closings(t.size(), 0);  // the ")" to add after each character
  std::vector<bool> called(t.size(), false);
  for (std::size_t k = t.find(name); k != std::string::npos; k = t.find(name, k + name.size())) {
    const std::size_t bracket = k + name.size();
    if (bracket >= t.size() || closing[bracket] == std::string::npos) continue;
    called[k] = true;
    ++closings[closing[bracket]];
  }
  std::string out;
  out.reserve(t.size() + 16);
  for (std::size_t i = 0; i < t.size();) {
    if (t.compare(i, name.size(), name) == 0) {
      if (called[i]) out += '(';
      out += with;
      i += name.size();
      continue;
    }
    out += t[i];
    out.append(closings[i], ')');
    ++i;
  }
  return out;
}

}  // namespace

std::string Evaluation::EvalScript(const std::string& expression) {
  return "Function TheFunction()\r\n    TheFunction = " + expression + "\r\nEnd Function";
}

void Evaluation::InitScriptEngine() {
  skipOnFailure([&] {
    ScriptEngine = std::make_unique<script::Engine>();
    ScriptEngine->setLanguage("VBScript");
  });
  skipOnFailure([&] { MathObject = std::make_shared<Res>(p); });
  skipOnFailure([&] {
    if (ScriptEngine && MathObject) ScriptEngine->AddObject("Math", MathObject, true);
  });
  skipOnFailure([&] {
    if (ScriptEngine) ScriptEngine->ExecuteStatement("set_constants");
  });
}

void Evaluation::Command11_Click() { RRavno2(); }

void Evaluation::RRavno2() {
  MainWindow& w = p.Form1;
  w.Label66.Caption = "";
  w.Label55.Caption = "";
  NameWithoutValue = false;
  EvalExpression = lowerCase(w.comp.Text());
  if (endsWith(EvalExpression, " = ")) EvalExpression.resize(EvalExpression.size() - 3);

  // The body of the function is one line, and a formula longer than any that a page holds
  // is refused before the rules spend time on it.
  if (EvalExpression.size() > kMaxExpressionLength ||
      EvalExpression.find_first_of("\r\n") != std::string::npos) {
    p.BusyFlag = 0;
    evaluationFailed(err::SyntaxError);
    return;
  }

  std::string& t = EvalExpression;
  t = replaceAll(t, "sqr", "SQR");
  NormalizeExpression();
  // The inverse functions are parked under upper-case names before "sin", "cos" and "tg" are
  // rewritten, "cotg(" before "tg", and "CN" becomes "MCOTAN" only after "ACN" is resolved.
  struct Row {
    const char* find;
    const char* with;
    bool degreesOnly;
  };
  static constexpr Row kRows[] = {
      {"cotg(", "CN(", false},        {"asin", "ASN", false},
      {"acos", "ACN", false},         {"atg", "ATN", false},
      {"sin", "MSIN", false},         {"cos", "MCOS", false},
      {"tg", "MTAN", false},          {"ATN", "(180/pi)*ATAN", true},
      {"ACN", "(180/pi)*ACOS", true}, {"ASN", "(180/pi)*ASIN", true},
      {"ATN", "ATAN", false},         {"ACN", "ACOS", false},
      {"ASN", "ASIN", false},         {"CN", "MCOTAN", false},
  };
  const bool degrees = selectedUnit(w.Gradusi) == "deg";
  for (const Row& row : kRows) {
    if (row.degreesOnly && degrees)
      t = degreesFactor(t, row.find, row.with);
    else if (!row.degreesOnly)
      t = replaceAll(t, row.find, row.with);
  }
  p.BusyFlag = 0;

  try {
    if (!ScriptEngine) throw ScriptError(0, "no script engine");
    ScriptEngine->AddCode(EvalScript(EvalExpression));
    // An equation or inequality on the page compares its sides as the program shows
    // numbers: 0.1+0.2 shows 0.3, so 0.1+0.2=0.3 holds though the doubles differ in their
    // last bit.
    const script::Value value =
        ScriptEngine->Eval("TheFunction()", script::NumberComparison::AsShown);
    NameWithoutValue = ScriptEngine->ReadNameWithoutValue();
    const std::string code = w.Label66.Caption;
    if (code == "6" || code == "5" || code == "3" || code == "2" || code == "1") {
      evaluationFailed(0);
      return;
    }
    if (!script::toText(value).empty()) {
      // The result row types only numbers: a comparison counts as its number (-1 or 0), a
      // text must be one.
      double x = script::toNumber(value);
      const int round = w.Check1.Value;
      if (round == 1) x = script::roundHalfEvenDecimal(x, 3);
      w.Text12.setText(smallNumberRule(largeNumberRule(script::numberToText(x))));
    }
  } catch (const ScriptError& e) {
    evaluationFailed(e.number());
    return;
  } catch (const std::exception&) {
    evaluationFailed(0);
    return;
  }
  p.BusyFlag = 0;
  p.desktop.bringToFront(w);
  if (p.Form8Shown == 1) {
    w.Timer28.setInterval(1000);
    w.Timer28.setEnabled(true);
  }
}

void Evaluation::evaluationFailed(int errorNumber) {
  MainWindow& w = p.Form1;
  w.Label55.Visible = true;
  const std::string code = w.Label66.Caption;
  struct DomainRow {
    const char* code;
    const char* message;
  };
  static constexpr std::array<DomainRow, 5> kDomain = {{
      {"1", "Tanges => безкрайност"},
      {"2", "Cotanges => безкрайност"},
      {"3", "Error => Log(-Number) or LOGa(Number) a<=0 or a=1"},
      {"5", "Error => ASIN(Number< -1) or ASIN(Number>1)"},
      {"6", "Error => ACOS(Number< -1) or ACOS(Number>1)"},
  }};
  if (errorNumber == err::DivisionByZero) {
    w.Label55.Caption = "division by zero";
    return;
  }
  if (errorNumber == err::Overflow) {
    w.Label55.Caption = "overflow";
    return;
  }
  if (errorNumber == err::InvalidArgument) {
    w.Label55.Caption = "SQRT(-Number)";
    return;
  }
  for (const DomainRow& row : kDomain) {
    if (code == row.code) {
      w.Label55.Caption = row.message;
      w.Label66.Caption = "";
      return;
    }
  }
  w.Label55.Caption = "ERROR";
  p.BusyFlag = 0;
  p.desktop.bringToFront(w);
}

}  // namespace kel
