#include "platform/script/script_engine.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>
#include <unordered_map>
#include <utility>

namespace kel::script {

Value Value::boolean(bool b) {
  Value v;
  v.kind_ = Kind::Boolean;
  v.number_ = b ? -1 : 0;
  return v;
}

Value Value::number(double d) {
  Value v;
  v.kind_ = Kind::Number;
  v.number_ = d;
  return v;
}

Value Value::text(std::string s) {
  Value v;
  v.kind_ = Kind::Text;
  v.text_ = std::move(s);
  return v;
}

namespace {

// The longest text a value may hold; & beyond it is out of memory.
constexpr std::size_t kMaxTextLength = Engine::kMaxSourceLength;
// The most calls of script functions one Eval or statement may make.
constexpr int kMaxCalls = 65536;
// The deepest recursion of the evaluator over one expression tree and its calls.
constexpr int kMaxEvalDepth = 1024;
// The language's longest name.
constexpr std::size_t kMaxNameLength = 255;

const char* describe(int number) {
  switch (number) {
    case err::InvalidArgument:
      return "Invalid procedure call or argument";
    case err::Overflow:
      return "Overflow";
    case err::OutOfMemory:
      return "Out of memory";
    case err::DivisionByZero:
      return "Division by zero";
    case err::TypeMismatch:
      return "Type mismatch";
    case err::OutOfStack:
      return "Out of stack space";
    case err::InvalidPropertyValue:
      return "Invalid property value";
    case err::ObjectDoesNotSupport:
      return "Object doesn't support this property or method";
    case err::WrongArguments:
      return "Wrong number of arguments or invalid property assignment";
    case err::KeyAlreadyUsed:
      return "This key is already associated with an element of this collection";
    case err::VariableUndefined:
      return "Variable is undefined";
    case err::IllegalAssignment:
      return "Illegal assignment";
    case err::SyntaxError:
      return "Syntax error";
    case err::ExpectedCloseBracket:
      return "Expected ')'";
    case err::ExpectedIdentifier:
      return "Expected identifier";
    case err::ExpectedEnd:
      return "Expected 'End'";
    case err::ExpectedFunction:
      return "Expected 'Function'";
    case err::ExpectedExpression:
      return "Expected expression";
    case err::ExpectedStatement:
      return "Expected statement";
    case err::ExpectedEndOfStatement:
      return "Expected end of statement";
    case err::IdentifierTooLong:
      return "Identifier too long";
    case err::InvalidNumber:
      return "Invalid number";
    case err::InvalidCharacter:
      return "Invalid character";
    default:
      return "Error";
  }
}

[[noreturn]] void raise(int number) { throw ScriptError(number, describe(number)); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// --- numbers as text ----------------------------------------------------------------------

// A finite, non-zero number as its 15 significant decimal digits (trailing zeros dropped)
// and the power of ten of the first digit.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

Decimal decimal15(double x) {
  std::array<char, 64> buf{};
  const auto r =
      std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::scientific, 14);
  const std::string_view s(buf.data(), static_cast<std::size_t>(r.ptr - buf.data()));
  Decimal d;
  std::size_t i = 0;
  if (s[i] == '-') {
    d.negative = true;
    ++i;
  }
  for (; i < s.size() && s[i] != 'e'; ++i)
    if (isDigit(s[i])) d.digits.push_back(s[i]);
  ++i;  // 'e'
  const bool negativeExponent = s[i] == '-';
  ++i;
  for (; i < s.size(); ++i) d.exponent = d.exponent * 10 + (s[i] - '0');
  if (negativeExponent) d.exponent = -d.exponent;
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// How a decimal literal (digits, an optional "." and exponent, no sign) reads as a double.
enum class Reading { Number, NotANumber, Overflow };

// Whether a literal that does not fit a double is too small rather than too large.
bool underflows(std::string_view s) {
  std::size_t e = s.find_first_of("eE");
  const std::string_view mantissa = s.substr(0, e);
  long long exponent = 0;
  if (e != std::string_view::npos) {
    std::size_t i = e + 1;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    for (; i < s.size(); ++i) exponent = std::min<long long>(exponent * 10 + (s[i] - '0'), 1000000);
    if (negative) exponent = -exponent;
  }
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return true;
  const long long lead = first < point ? static_cast<long long>(point - first) - 1
                                       : -static_cast<long long>(first - point);
  return lead + exponent < 0;
}

Reading readDecimal(std::string_view s, double& out) {
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
  if (r.ptr != s.data() + s.size()) return Reading::NotANumber;
  if (r.ec == std::errc::result_out_of_range) {
    if (!underflows(s)) return Reading::Overflow;
    v = 0;
  } else if (r.ec != std::errc()) {
    return Reading::NotANumber;
  }
  out = v;
  return Reading::Number;
}

// The length of the decimal literal at the start of s (0 when there is none): digits, an
// optional "." with digits, an optional exponent with at least one digit.
std::size_t literalLength(std::string_view s) {
  std::size_t i = 0, digits = 0;
  while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < s.size() && isDigit(s[j])) {
      i = j;
      while (i < s.size() && isDigit(s[i])) ++i;
    }
  }
  return i;
}

Reading readNumericText(std::string_view text, double& out) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || literalLength(text) != text.size()) return Reading::NotANumber;
  double v = 0;
  const Reading r = readDecimal(text, v);
  if (r == Reading::Number) out = negative ? -v : v;
  return r;
}

Value checkedNumber(double d) {
  if (!std::isfinite(d)) raise(err::Overflow);
  return Value::number(d);
}

// A whole number, halves to even, in the language's 32-bit range (else overflow).
std::int32_t toLong(const Value& v) {
  const double d = toNumber(v);
  const double f = std::floor(d);
  const double diff = d - f;
  double r = f;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(f, 2.0) != 0)) r = f + 1;
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) raise(err::Overflow);
  return static_cast<std::int32_t>(r);
}

}  // namespace

double toNumber(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Empty:
      return 0;
    case Value::Kind::Boolean:
    case Value::Kind::Number:
      return v.numberValue();
    case Value::Kind::Text: {
      double d = 0;
      switch (readNumericText(v.textValue(), d)) {
        case Reading::Number:
          return d;
        case Reading::Overflow:
          raise(err::Overflow);
        case Reading::NotANumber:
          raise(err::TypeMismatch);
      }
    }
  }
  raise(err::TypeMismatch);
}

std::string toText(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Empty:
      return {};
    case Value::Kind::Boolean:
      return v.booleanValue() ? "True" : "False";
    case Value::Kind::Number:
      return numberToText(v.numberValue());
    case Value::Kind::Text:
      return v.textValue();
  }
  return {};
}

std::string numberToText(double x) {
  if (!std::isfinite(x)) raise(err::Overflow);
  if (x == 0) return "0";
  const Decimal d = decimal15(x);
  const int n = static_cast<int>(d.digits.size());
  const int e = d.exponent;
  std::string out = d.negative ? "-" : "";
  if (e >= 15 || (e < 0 && -e - 1 + n > 15)) {
    out += d.digits[0];
    if (n > 1) out += "." + d.digits.substr(1);
    out += e < 0 ? "E-" : "E+";
    const int a = e < 0 ? -e : e;
    if (a < 10) out += '0';
    out += std::to_string(a);
  } else if (e >= 0) {
    const int whole = e + 1;
    out += d.digits.substr(0, static_cast<std::size_t>(std::min(n, whole)));
    if (n < whole) out.append(static_cast<std::size_t>(whole - n), '0');
    if (n > whole) out += "." + d.digits.substr(static_cast<std::size_t>(whole));
  } else {
    out += "0.";
    out.append(static_cast<std::size_t>(-e - 1), '0');
    out += d.digits;
  }
  return out;
}

double roundHalfEvenDecimal(double x, int places) {
  if (!std::isfinite(x) || x == 0) return x;
  const Decimal d = decimal15(x);
  // Digits kept: those before the point and `places` after it.
  const int keep = d.exponent + 1 + places;
  const int n = static_cast<int>(d.digits.size());
  if (keep >= n) return x;
  if (keep < 0) return 0;
  std::string kept = d.digits.substr(0, static_cast<std::size_t>(keep));
  const char next = d.digits[static_cast<std::size_t>(keep)];
  const bool restNonZero =
      d.digits.find_first_not_of('0', static_cast<std::size_t>(keep) + 1) != std::string::npos;
  const int last = kept.empty() ? 0 : kept.back() - '0';
  const bool up = next > '5' || (next == '5' && (restNonZero || last % 2 == 1));
  if (kept.empty()) kept = "0";
  if (up) {
    int i = static_cast<int>(kept.size()) - 1;
    while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9')
      kept[static_cast<std::size_t>(i--)] = '0';
    if (i < 0)
      kept.insert(kept.begin(), '1');
    else
      ++kept[static_cast<std::size_t>(i)];
  }
  const std::string text = kept + "e" + std::to_string(-places);
  double v = 0;
  std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
  return d.negative ? -v : v;
}

namespace {

// --- tokens -------------------------------------------------------------------------------

enum class Tok : std::uint8_t {
  Number,
  Name,
  Plus,
  Minus,
  Star,
  Slash,
  Backslash,
  Caret,
  Amp,
  Eq,
  Ne,
  Lt,
  Gt,
  Le,
  Ge,
  LParen,
  RParen,
  Comma,
  Mod,
  Not,
  And,
  Or,
  End,
};

struct Token {
  Tok type = Tok::End;
  double number = 0;
  std::string name;  // lower case
};

// Words of the language that cannot be names here: keywords of statements and operators
// this engine does not take, so that a formula holding one is an error, not an Empty name.
constexpr std::array<std::string_view, 56> kReserved = {
    "byref", "byval",  "call",     "case",    "class",    "const",  "dim",       "do",
    "each",  "else",   "elseif",   "empty",   "end",      "eqv",    "erase",     "exit",
    "false", "for",    "function", "get",     "goto",     "if",     "imp",       "in",
    "is",    "let",    "loop",     "me",      "new",      "next",   "nothing",   "null",
    "on",    "option", "preserve", "private", "property", "public", "randomize", "redim",
    "rem",   "resume", "select",   "set",     "step",     "stop",   "sub",       "then",
    "to",    "true",   "until",    "wend",    "while",    "with",   "xor",       "explicit",
};

bool isReserved(std::string_view name) {
  return std::find(kReserved.begin(), kReserved.end(), name) != kReserved.end();
}

std::vector<Token> tokenize(std::string_view s) {
  std::vector<Token> out;
  std::size_t i = 0;
  auto simple = [&](Tok t, std::size_t len) {
    out.push_back({t, 0, {}});
    i += len;
  };
  while (i < s.size()) {
    const char c = s[i];
    const char next = i + 1 < s.size() ? s[i + 1] : '\0';
    if (c == ' ' || c == '\t') {
      ++i;
    } else if (isDigit(c) || (c == '.' && isDigit(next))) {
      const std::size_t len = literalLength(s.substr(i));
      Token t{Tok::Number, 0, {}};
      switch (readDecimal(s.substr(i, len), t.number)) {
        case Reading::Number:
          break;
        case Reading::Overflow:
          raise(err::Overflow);
        case Reading::NotANumber:
          raise(err::InvalidNumber);
      }
      out.push_back(std::move(t));
      i += len;
    } else if (isLetter(c)) {
      std::size_t j = i;
      std::string name;
      while (j < s.size() && (isLetter(s[j]) || isDigit(s[j]) || s[j] == '_'))
        name.push_back(lower(s[j++]));
      if (name.size() > kMaxNameLength) raise(err::IdentifierTooLong);
      Tok t = Tok::Name;
      if (name == "mod") t = Tok::Mod;
      if (name == "not") t = Tok::Not;
      if (name == "and") t = Tok::And;
      if (name == "or") t = Tok::Or;
      out.push_back({t, 0, t == Tok::Name ? std::move(name) : std::string()});
      i = j;
    } else {
      switch (c) {
        case '+':
          simple(Tok::Plus, 1);
          break;
        case '-':
          simple(Tok::Minus, 1);
          break;
        case '*':
          simple(Tok::Star, 1);
          break;
        case '/':
          simple(Tok::Slash, 1);
          break;
        case '\\':
          simple(Tok::Backslash, 1);
          break;
        case '^':
          simple(Tok::Caret, 1);
          break;
        case '&':
          simple(Tok::Amp, 1);
          break;
        case '(':
          simple(Tok::LParen, 1);
          break;
        case ')':
          simple(Tok::RParen, 1);
          break;
        case ',':
          simple(Tok::Comma, 1);
          break;
        case '=':
          simple(Tok::Eq, 1);
          break;
        case '<':
          if (next == '=')
            simple(Tok::Le, 2);
          else if (next == '>')
            simple(Tok::Ne, 2);
          else
            simple(Tok::Lt, 1);
          break;
        case '>':
          if (next == '=')
            simple(Tok::Ge, 2);
          else
            simple(Tok::Gt, 1);
          break;
        default:
          raise(err::InvalidCharacter);
      }
    }
  }
  out.push_back({Tok::End, 0, {}});
  return out;
}

// --- expression trees ---------------------------------------------------------------------

enum class Op : std::uint8_t {
  Pow,
  Mul,
  Div,
  IntDiv,
  Mod,
  Add,
  Sub,
  Concat,
  Eq,
  Ne,
  Lt,
  Gt,
  Le,
  Ge,
  And,
  Or,
};

enum class NodeKind : std::uint8_t { Number, Boolean, Empty, Name, Call, Negate, Not, Chain };

// Operators of one level are kept as a chain, evaluated left to right, so a long sum is a
// flat list and not a tree as deep as it is long.
struct Node {
  NodeKind kind = NodeKind::Number;
  double number = 0;
  std::string name;       // Name, Call
  std::vector<int> kids;  // Call: arguments; Negate, Not: the operand; Chain: the operands
  std::vector<Op> ops;    // Chain: ops[i] joins the value so far and kids[i + 1]
};

struct Tree {
  std::vector<Node> nodes;
  int add(Node n) {
    nodes.push_back(std::move(n));
    return static_cast<int>(nodes.size()) - 1;
  }
};

class Parser {
 public:
  Parser(const std::vector<Token>& tokens, Tree& tree, std::size_t start = 0)
      : t_(tokens), tree_(tree), i_(start) {}

  int expression() {
    Nest n(*this);
    return chain(&Parser::andLevel, {{Tok::Or, Op::Or}});
  }
  // An expression that must fill the rest of the line.
  int wholeExpression() {
    const int root = expression();
    if (peek() != Tok::End) raise(err::ExpectedEndOfStatement);
    return root;
  }
  Tok peek(std::size_t ahead = 0) const {
    return i_ + ahead < t_.size() ? t_[i_ + ahead].type : Tok::End;
  }
  const Token& current() const { return t_[i_]; }
  void advance() { ++i_; }

 private:
  struct Nest {
    explicit Nest(Parser& p) : p(p) {
      if (++p.depth_ > Engine::kMaxNesting) raise(err::OutOfStack);
    }
    ~Nest() { --p.depth_; }
    Parser& p;
  };

  int chain(int (Parser::*operand)(), std::initializer_list<std::pair<Tok, Op>> ops) {
    auto opFor = [&](Tok t) -> const Op* {
      for (const auto& o : ops)
        if (o.first == t) return &o.second;
      return nullptr;
    };
    const int first = (this->*operand)();
    if (!opFor(peek())) return first;
    Node n;
    n.kind = NodeKind::Chain;
    n.kids.push_back(first);
    while (const Op* op = opFor(peek())) {
      advance();
      n.ops.push_back(*op);
      n.kids.push_back((this->*operand)());
    }
    return tree_.add(std::move(n));
  }

  int andLevel() { return chain(&Parser::notLevel, {{Tok::And, Op::And}}); }
  int notLevel() {
    if (peek() != Tok::Not) return comparison();
    advance();
    Nest n(*this);
    return unaryNode(NodeKind::Not, notLevel());
  }
  int comparison() {
    return chain(&Parser::concatenation, {{Tok::Eq, Op::Eq},
                                          {Tok::Ne, Op::Ne},
                                          {Tok::Lt, Op::Lt},
                                          {Tok::Gt, Op::Gt},
                                          {Tok::Le, Op::Le},
                                          {Tok::Ge, Op::Ge}});
  }
  int concatenation() { return chain(&Parser::sum, {{Tok::Amp, Op::Concat}}); }
  int sum() { return chain(&Parser::modulo, {{Tok::Plus, Op::Add}, {Tok::Minus, Op::Sub}}); }
  int modulo() { return chain(&Parser::wholeQuotient, {{Tok::Mod, Op::Mod}}); }
  int wholeQuotient() { return chain(&Parser::product, {{Tok::Backslash, Op::IntDiv}}); }
  int product() { return chain(&Parser::signed_, {{Tok::Star, Op::Mul}, {Tok::Slash, Op::Div}}); }
  // A sign binds below ^, as in a formula: -2^2 is -(2^2).
  int signed_() {
    if (peek() == Tok::Not) {
      advance();
      Nest n(*this);
      return unaryNode(NodeKind::Not, notLevel());
    }
    return sign(&Parser::signed_, &Parser::power);
  }
  int power() { return chain(&Parser::exponentOperand, {{Tok::Caret, Op::Pow}}); }
  // The operands of ^ may carry a sign: 2^-1 is 0.5.
  int exponentOperand() { return sign(&Parser::exponentOperand, &Parser::primary); }
  // Signs before an operand: each applies to what `self` reads after it.
  int sign(int (Parser::*self)(), int (Parser::*operand)()) {
    if (peek() != Tok::Minus && peek() != Tok::Plus) return (this->*operand)();
    const bool minus = peek() == Tok::Minus;
    advance();
    Nest n(*this);
    const int signedOperand = (this->*self)();
    return minus ? unaryNode(NodeKind::Negate, signedOperand) : signedOperand;
  }
  int primary() {
    const Token& t = current();
    switch (t.type) {
      case Tok::Number: {
        Node n;
        n.number = t.number;
        advance();
        return tree_.add(std::move(n));
      }
      case Tok::Name: {
        // The language's literals: a word typed on the page may be one.
        if (t.name == "empty" || t.name == "true" || t.name == "false") {
          Node n;
          n.kind = t.name == "empty" ? NodeKind::Empty : NodeKind::Boolean;
          n.number = t.name == "true" ? -1 : 0;
          advance();
          return tree_.add(std::move(n));
        }
        if (isReserved(t.name)) raise(err::SyntaxError);
        Node n;
        n.kind = NodeKind::Name;
        n.name = t.name;
        advance();
        if (peek() == Tok::LParen) {
          advance();
          Nest nest(*this);
          n.kind = NodeKind::Call;
          if (peek() != Tok::RParen) {
            n.kids.push_back(expression());
            while (peek() == Tok::Comma) {
              advance();
              n.kids.push_back(expression());
            }
          }
          if (peek() != Tok::RParen) raise(err::ExpectedCloseBracket);
          advance();
        }
        return tree_.add(std::move(n));
      }
      case Tok::LParen: {
        advance();
        const int inner = expression();
        if (peek() != Tok::RParen) raise(err::ExpectedCloseBracket);
        advance();
        return inner;
      }
      default:
        raise(err::ExpectedExpression);
    }
  }
  int unaryNode(NodeKind kind, int operand) {
    Node n;
    n.kind = kind;
    n.kids.push_back(operand);
    return tree_.add(std::move(n));
  }

  const std::vector<Token>& t_;
  Tree& tree_;
  std::size_t i_;
  int depth_ = 0;
};

struct Function {
  std::string name;
  Tree tree;
  std::vector<int> body;  // the expressions assigned to the function's name, in order
};

std::vector<std::string_view> splitLines(std::string_view code) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= code.size(); ++i) {
    if (i == code.size() || code[i] == '\r' || code[i] == '\n') {
      lines.push_back(code.substr(start, i - start));
      if (i + 1 < code.size() && code[i] == '\r' && code[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  return lines;
}

void checkLength(std::string_view text) {
  if (text.size() > Engine::kMaxSourceLength) raise(err::OutOfMemory);
}

// --- values -------------------------------------------------------------------------------

// The order of two finite numbers as numberToText writes them: the sign, then the power of
// ten of the first written digit, then the written digits (no trailing zeros, so comparing
// them as texts compares the mantissas). Zero, -0 too, is written "0"; no number other than
// zero is written as zero.
int compareAsShown(double x, double y) {
  const int sx = x > 0 ? 1 : x < 0 ? -1 : 0;
  const int sy = y > 0 ? 1 : y < 0 ? -1 : 0;
  if (sx != sy) return sx < sy ? -1 : 1;
  if (sx == 0) return 0;
  const Decimal a = decimal15(x), b = decimal15(y);
  int magnitude = a.exponent < b.exponent ? -1 : a.exponent > b.exponent ? 1 : 0;
  if (magnitude == 0) {
    const int c = a.digits.compare(b.digits);
    magnitude = c < 0 ? -1 : c > 0 ? 1 : 0;
  }
  return sx * magnitude;
}

// The comparison of two values: negative, zero or positive.
int compare(const Value& a, const Value& b, NumberComparison numbers) {
  using K = Value::Kind;
  auto textOrder = [](const std::string& x, const std::string& y) {
    const int c = x.compare(y);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
  };
  const bool at = a.kind() == K::Text, bt = b.kind() == K::Text;
  if (at && bt) return textOrder(a.textValue(), b.textValue());
  if (at && b.isEmpty()) return textOrder(a.textValue(), "");
  if (bt && a.isEmpty()) return textOrder("", b.textValue());
  // A number is less than any text.
  if (at) return 1;
  if (bt) return -1;
  const double x = toNumber(a), y = toNumber(b);
  if (numbers == NumberComparison::AsShown && std::isfinite(x) && std::isfinite(y))
    return compareAsShown(x, y);
  return x < y ? -1 : x > y ? 1 : 0;
}

Value apply(Op op, const Value& a, const Value& b, NumberComparison numbers) {
  using K = Value::Kind;
  switch (op) {
    case Op::Pow: {
      const double x = toNumber(a), y = toNumber(b);
      // A negative base has no real power of a broken exponent: the language calls that an
      // invalid procedure call, not an overflow.
      if (x < 0 && std::isfinite(y) && y != std::floor(y)) raise(err::InvalidArgument);
      return checkedNumber(std::pow(x, y));
    }
    case Op::Mul:
      return checkedNumber(toNumber(a) * toNumber(b));
    case Op::Div: {
      const double x = toNumber(a), y = toNumber(b);
      if (y == 0) raise(x == 0 ? err::Overflow : err::DivisionByZero);
      return checkedNumber(x / y);
    }
    case Op::IntDiv:
    case Op::Mod: {
      const std::int32_t x = toLong(a), y = toLong(b);
      if (y == 0) raise(err::DivisionByZero);
      if (y == -1) return Value::number(op == Op::Mod ? 0 : -static_cast<double>(x));
      return Value::number(op == Op::Mod ? x % y : x / y);
    }
    case Op::Add:
      if (a.kind() == K::Text && b.kind() == K::Text) {
        if (a.textValue().size() + b.textValue().size() > kMaxTextLength) raise(err::OutOfMemory);
        return Value::text(a.textValue() + b.textValue());
      }
      if (a.kind() == K::Text && b.isEmpty()) return a;
      if (b.kind() == K::Text && a.isEmpty()) return b;
      return checkedNumber(toNumber(a) + toNumber(b));
    case Op::Sub:
      return checkedNumber(toNumber(a) - toNumber(b));
    case Op::Concat: {
      std::string s = toText(a);
      const std::string t = toText(b);
      if (s.size() + t.size() > kMaxTextLength) raise(err::OutOfMemory);
      return Value::text(s + t);
    }
    case Op::Eq:
      return Value::boolean(compare(a, b, numbers) == 0);
    case Op::Ne:
      return Value::boolean(compare(a, b, numbers) != 0);
    case Op::Lt:
      return Value::boolean(compare(a, b, numbers) < 0);
    case Op::Gt:
      return Value::boolean(compare(a, b, numbers) > 0);
    case Op::Le:
      return Value::boolean(compare(a, b, numbers) <= 0);
    case Op::Ge:
      return Value::boolean(compare(a, b, numbers) >= 0);
    case Op::And:
    case Op::Or:
      if (a.kind() == K::Boolean && b.kind() == K::Boolean)
        return Value::boolean(op == Op::And ? a.booleanValue() && b.booleanValue()
                                            : a.booleanValue() || b.booleanValue());
      return Value::number(op == Op::And ? (toLong(a) & toLong(b)) : (toLong(a) | toLong(b)));
  }
  raise(err::SyntaxError);
}

}  // namespace

// --- the engine ---------------------------------------------------------------------------

struct Engine::Impl {
  std::string language;
  std::unordered_map<std::string, std::shared_ptr<const Function>> functions;
  std::unordered_map<std::string, ScriptObject::Member> members;
  std::unordered_map<std::string, std::shared_ptr<ScriptObject>> objects;
  // Per statement or Eval.
  int depth = 0;
  int callDepth = 0;
  int calls = 0;
  bool nameWithoutValue = false;
  NumberComparison numbers = NumberComparison::Exact;

  // The function whose body is being evaluated: inside it, its bare name is its result.
  struct Frame {
    const std::string* name;
    Value result;
  };

  struct Enter {
    explicit Enter(int& counter, int limit) : c(counter) {
      if (++c > limit) raise(err::OutOfStack);
    }
    ~Enter() { --c; }
    int& c;
  };

  void begin(NumberComparison comparison = NumberComparison::Exact) {
    depth = 0;
    callDepth = 0;
    calls = 0;
    numbers = comparison;
  }

  Value checkedResult(Value v) {
    if (v.kind() == Value::Kind::Number && !std::isfinite(v.numberValue())) raise(err::Overflow);
    return v;
  }

  Value callFunction(const std::shared_ptr<const Function>& f) {
    Enter e(callDepth, kMaxCallDepth);
    if (++calls > kMaxCalls) raise(err::OutOfStack);
    Frame frame{&f->name, Value()};
    for (int root : f->body) frame.result = eval(f->tree, root, &frame);
    return frame.result;
  }

  Value sqr(std::span<const Value> args) {
    if (args.size() != 1) raise(err::WrongArguments);
    const double x = toNumber(args[0]);
    if (x < 0) raise(err::InvalidArgument);
    return Value::number(std::sqrt(x));
  }

  // A name, bare or called with arguments.
  Value resolve(const std::string& name, bool called, std::span<const Value> args,
                const Frame* frame) {
    if (!called && frame && *frame->name == name) return frame->result;
    if (auto f = functions.find(name); f != functions.end()) {
      if (!args.empty()) raise(err::WrongArguments);
      const std::shared_ptr<const Function> keep = f->second;
      return callFunction(keep);
    }
    if (auto m = members.find(name); m != members.end()) {
      const ScriptObject::Member& member = m->second;
      const std::size_t arity = member.arity < 0 ? 0 : static_cast<std::size_t>(member.arity);
      if (args.size() != arity) raise(err::WrongArguments);
      return checkedResult(member.call(args));
    }
    if (objects.count(name)) raise(err::ObjectDoesNotSupport);
    if (name == "sqr") return sqr(args);
    if (called) raise(err::TypeMismatch);
    nameWithoutValue = true;
    return Value();
  }

  Value eval(const Tree& tree, int index, const Frame* frame) {
    Enter e(depth, kMaxEvalDepth);
    const Node& n = tree.nodes[static_cast<std::size_t>(index)];
    switch (n.kind) {
      case NodeKind::Number:
        return Value::number(n.number);
      case NodeKind::Boolean:
        return Value::boolean(n.number != 0);
      case NodeKind::Empty:
        return Value();
      case NodeKind::Name:
        return resolve(n.name, false, {}, frame);
      case NodeKind::Call: {
        std::vector<Value> args;
        args.reserve(n.kids.size());
        for (int k : n.kids) args.push_back(eval(tree, k, frame));
        return resolve(n.name, true, args, frame);
      }
      case NodeKind::Negate: {
        const Value v = eval(tree, n.kids[0], frame);
        return Value::number(-toNumber(v));
      }
      case NodeKind::Not: {
        const Value v = eval(tree, n.kids[0], frame);
        if (v.kind() == Value::Kind::Boolean) return Value::boolean(!v.booleanValue());
        return Value::number(~toLong(v));
      }
      case NodeKind::Chain: {
        Value acc = eval(tree, n.kids[0], frame);
        for (std::size_t i = 0; i < n.ops.size(); ++i)
          acc = apply(n.ops[i], acc, eval(tree, n.kids[i + 1], frame), numbers);
        return acc;
      }
    }
    raise(err::SyntaxError);
  }

  void assign(const std::string& name, const Value& v) {
    if (auto m = members.find(name); m != members.end()) {
      if (m->second.arity >= 0 || !m->second.assign) raise(err::IllegalAssignment);
      m->second.assign(v);
      return;
    }
    if (functions.count(name) || objects.count(name) || name == "sqr")
      raise(err::IllegalAssignment);
    raise(err::VariableUndefined);
  }
};

Engine::Engine() : impl_(std::make_unique<Impl>()) {}
Engine::~Engine() = default;

void Engine::setLanguage(std::string_view name) {
  std::string l;
  for (char c : name) l.push_back(lower(c));
  if (l != "vbscript") raise(err::InvalidPropertyValue);
  impl_->language = "VBScript";
}

const std::string& Engine::Language() const { return impl_->language; }

void Engine::AddObject(const std::string& name, std::shared_ptr<ScriptObject> object,
                       bool addMembers) {
  std::string key;
  for (char c : name) key.push_back(lower(c));
  if (key.empty() || !isLetter(key[0]) || !object) raise(err::InvalidPropertyValue);
  if (impl_->objects.count(key)) raise(err::KeyAlreadyUsed);
  if (addMembers) {
    for (ScriptObject::Member& m : object->members()) {
      std::string memberKey;
      for (char c : m.name) memberKey.push_back(lower(c));
      impl_->members.emplace(std::move(memberKey), std::move(m));
    }
  }
  impl_->objects.emplace(std::move(key), std::move(object));
}

void Engine::ExecuteStatement(std::string_view statement) {
  checkLength(statement);
  for (std::string_view line : splitLines(statement)) {
    const std::vector<Token> tokens = tokenize(line);
    if (tokens[0].type == Tok::End) continue;
    if (tokens[0].type != Tok::Name || isReserved(tokens[0].name)) raise(err::ExpectedStatement);
    impl_->begin();
    Tree tree;
    if (tokens[1].type == Tok::Eq) {
      Parser parser(tokens, tree, 2);
      const int root = parser.wholeExpression();
      const Value v = impl_->eval(tree, root, nullptr);
      impl_->assign(tokens[0].name, v);
      continue;
    }
    Parser parser(tokens, tree);
    const int root = parser.wholeExpression();
    const Node& n = tree.nodes[static_cast<std::size_t>(root)];
    if (n.kind != NodeKind::Name && n.kind != NodeKind::Call) raise(err::ExpectedStatement);
    // A statement calls what it names, also without brackets.
    std::vector<Value> args;
    for (int k : n.kids) args.push_back(impl_->eval(tree, k, nullptr));
    impl_->resolve(n.name, true, args, nullptr);
  }
}

void Engine::AddCode(std::string_view code) {
  checkLength(code);
  std::vector<std::shared_ptr<Function>> defined;
  std::shared_ptr<Function> open;
  for (std::string_view line : splitLines(code)) {
    const std::vector<Token> tokens = tokenize(line);
    const Token& first = tokens[0];
    if (first.type == Tok::End) continue;
    const bool isFunction = first.type == Tok::Name && first.name == "function";
    if (!open) {
      if (!isFunction) raise(err::ExpectedStatement);
      if (tokens[1].type != Tok::Name || isReserved(tokens[1].name)) raise(err::ExpectedIdentifier);
      std::size_t i = 2;
      if (tokens[i].type == Tok::LParen) {
        if (tokens[i + 1].type != Tok::RParen) raise(err::ExpectedCloseBracket);
        i += 2;
      }
      if (tokens[i].type != Tok::End) raise(err::ExpectedEndOfStatement);
      open = std::make_shared<Function>();
      open->name = tokens[1].name;
      continue;
    }
    if (first.type == Tok::Name && first.name == "end") {
      if (tokens[1].type != Tok::Name || tokens[1].name != "function") raise(err::ExpectedFunction);
      if (tokens[2].type != Tok::End) raise(err::ExpectedEndOfStatement);
      defined.push_back(std::move(open));
      open.reset();
      continue;
    }
    // The one statement of a body: an assignment to the function's name.
    if (first.type != Tok::Name || first.name != open->name || tokens[1].type != Tok::Eq)
      raise(err::SyntaxError);
    Parser parser(tokens, open->tree, 2);
    open->body.push_back(parser.wholeExpression());
  }
  if (open) raise(err::ExpectedEnd);
  for (auto& f : defined) {
    const std::string name = f->name;
    impl_->functions[name] = std::move(f);
  }
}

Value Engine::Eval(std::string_view expression, NumberComparison numbers) {
  impl_->nameWithoutValue = false;
  checkLength(expression);
  const std::vector<Token> tokens = tokenize(expression);
  Tree tree;
  Parser parser(tokens, tree);
  const int root = parser.wholeExpression();
  impl_->begin(numbers);
  return impl_->eval(tree, root, nullptr);
}

bool Engine::ReadNameWithoutValue() const { return impl_->nameWithoutValue; }

}  // namespace kel::script
