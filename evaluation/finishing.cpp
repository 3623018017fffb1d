// The text steps that turn the walk's raw text into the published linear formula, and the
// result text into the keys that type it.
#include <cctype>
#include <string_view>
#include <vector>

#include "evaluation/reading.h"

namespace kel {

namespace {

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
  if (from.empty()) return;
  std::string out;
  size_t start = 0;
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, start)) {
    out.append(s, start, at - start);
    out.append(to);
    start = at + from.size();
  }
  if (start == 0) return;
  out.append(s, start, std::string::npos);
  s.swap(out);
}

bool contains(const std::string& s, std::string_view part) {
  return s.find(part) != std::string::npos;
}

struct NameToken {
  const char* name;
  int token;
};

// Applied in this order: inverse functions before the plain ones, "acotg" before "atg",
// "cotg" before "tg". There is no token 28.
const NameToken kFunctionNames[] = {
    {"SQR", 1},  {"asin", 2}, {"ASin", 3}, {"aSin", 4},   {"ASIN", 5},   {"acos", 6},
    {"ACos", 7}, {"ACOS", 8}, {"aCos", 9}, {"acotg", 13}, {"aCotg", 14}, {"ACOTG", 15},
    {"atg", 10}, {"ATG", 11}, {"aTg", 12}, {"sin", 16},   {"Sin", 17},   {"SIN", 18},
    {"cos", 19}, {"Cos", 20}, {"COS", 21}, {"cotg", 25},  {"Cotg", 26},  {"COTG", 27},
    {"tg", 22},  {"Tg", 23},  {"TG", 24},  {"e", 29},     {"pi", 30},    {"log", 31},
    {"Log", 32}, {"LOG", 33}, {"lg", 34},  {"Lg", 35},    {"LG", 36},    {"ln", 37},
    {"Ln", 38},  {"LN", 39},
};
// Tokens up to this one stand for functions and begin with a blank.
constexpr int kLastFunctionToken = 27;

std::string tokenText(int token) { return "@" + std::to_string(token) + "@"; }

// Every character up to "A" (65) has a meaning in an expression, and so has "^".
constexpr unsigned char kLastKnownCode = 65;

constexpr std::string_view kEquals = " = ";

}  // namespace

std::string RewriteMixedNumbers(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  size_t i = 0;
  while (i < text.size()) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
      out += text[i++];
      continue;
    }
    size_t j = i;
    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
    if (j < text.size() && text[j] == '~') {
      out += '(';
      out.append(text, i, j - i);
      out += '+';
      i = j + 1;
    } else {
      out.append(text, i, j - i);
      i = j;
    }
  }
  return out;
}

FunctionNameForms FunctionNames(std::string_view text) {
  // The text as pieces: a piece either still holds letters that later rows may match, or
  // stands for the name of one row. Each row splits only the pieces of the first kind, so
  // a name is found where the rows in their order find it, and each token comes back as
  // the very name it replaced: a short token is never looked for inside the text of a
  // longer one ("@2@" in "@16@2@30@", which sin2pi makes).
  struct Piece {
    std::string_view text;  // empty for a name
    const NameToken* name = nullptr;
  };
  std::vector<Piece> pieces{{text, nullptr}};
  std::vector<Piece> next;
  for (const NameToken& row : kFunctionNames) {
    const std::string_view find = row.name;
    next.clear();
    for (const Piece& piece : pieces) {
      if (piece.name) {
        next.push_back(piece);
        continue;
      }
      std::size_t at = 0;
      for (std::size_t k = piece.text.find(find); k != std::string_view::npos;
           k = piece.text.find(find, at)) {
        if (k > at) next.push_back({piece.text.substr(at, k - at), nullptr});
        next.push_back({{}, &row});
        at = k + find.size();
      }
      if (at < piece.text.size()) next.push_back({piece.text.substr(at), nullptr});
    }
    pieces.swap(next);
  }
  FunctionNameForms out;
  out.Tokens.reserve(text.size() + 8);
  out.Restored.reserve(text.size() + 8);
  for (const Piece& piece : pieces) {
    if (!piece.name) {
      out.Tokens += piece.text;
      out.Restored += piece.text;
      continue;
    }
    const bool function = piece.name->token <= kLastFunctionToken;
    out.Tokens += (function ? " " : "") + tokenText(piece.name->token);
    // The blank of the token form and the blank the name comes back with.
    if (function) out.Restored += "  ";
    out.Restored += piece.name->name;
  }
  return out;
}

bool HoldsUnknowns(std::string_view form) {
  for (char c : form) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u > kLastKnownCode && u != '^') return true;
  }
  return false;
}

FinishedText FinishLinearText(std::string text, int flag) {
  // A raise that a sign after a closing bracket brought is no exponent.
  const std::pair<std::string_view, std::string_view> signs[] = {
      {")^(*", ")*"}, {")^(+", ")+"}, {")^(-", ")-"}};
  for (const auto& [from, to] : signs)
    if (contains(text, from)) {
      replaceAll(text, from, to);
      flag = 0;
    }
  if (flag == 1) text += ")";
  for (const auto& [from, to] : signs) replaceAll(text, from, to);

  replaceAll(text, ",", ".");
  text = RewriteMixedNumbers(text);

  FinishedText out;
  FunctionNameForms names = FunctionNames(text);
  out.HasUnknowns = HoldsUnknowns(names.Tokens) ? 1 : 0;
  text = std::move(names.Restored);
  if (contains(text, "SIMVOL")) out.HasUnknowns = 1;
  // The forms a raised " = " takes in the walk's text.
  replaceAll(text, "^( = )", " = ");
  replaceAll(text, "^( =", " =");
  if (text.size() >= kEquals.size() &&
      std::string_view(text).substr(text.size() - kEquals.size()) == kEquals &&
      out.HasUnknowns == 0) {
    text.resize(text.size() - kEquals.size());
    out.CutEquals = true;
  }
  out.Text = std::move(text);
  return out;
}

// --- the result typed ----------------------------------------------------------------------

std::string ResultTypingText(std::string s) {
  // A small number as the evaluator writes it: the zeros after "0." counted, the first
  // significant digit as the whole part. Without a significant digit there is nothing to
  // shorten.
  if (s.compare(0, 5, "0.000") == 0) {
    size_t n = 0;
    while (2 + n < s.size() && s[2 + n] == '0') ++n;
    const std::string significant = s.substr(n + 2);
    if (!significant.empty()) {
      std::string shortened(1, significant[0]);
      if (significant.size() > 1) shortened += "." + significant.substr(1);
      s = shortened + "E-" + std::to_string(n + 1);
    }
  }
  // A power of ten: every character of the exponent goes into the upper index.
  if (const size_t k = s.find('E'); k != std::string::npos) {
    std::string out = s.substr(0, k + 1);
    for (size_t i = k + 1; i < s.size(); ++i) {
      if (s[i] == '+') continue;
      // One mark per character, not per byte of a character.
      if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) out += '^';
      out += s[i];
    }
    replaceAll(out, "E", "*10");
    s = std::move(out);
  }
  return s;
}

std::optional<int> ResultKeyCode(char c) {
  if (c >= '0' && c <= '9') return 48 + (c - '0');
  switch (c) {
    case '-':
      return 109;  // keypad minus
    case '.':
    case ',':
      return 188;  // the comma key: a result's point is typed as a comma
    case '^':
      return 27;  // Esc: the next symbol goes into the upper index
    case '*':
      return 190;  // the period key: the multiplication dot
    default:
      return std::nullopt;
  }
}

}  // namespace kel
