// A script engine of our own for the small script language the evaluator writes.
//
// It knows one-line function definitions whose body assigns an expression to the function's
// name, the expressions of that language (numbers, names matched without regard to case,
// calls, brackets, + - * / \ ^ Mod &, comparisons, Not, And, Or), one built-in (SQR), and the
// members of the objects added to it, by bare name. Nothing else: no other statements, no
// string or date literals, no access to files, processes or any object but those added. A
// formula is data, never a way to run code. Errors reach the caller as ScriptError with the
// language's error number. Input length and nesting depth are bounded, so no input can
// exhaust the stack. docs/evaluator.md records the language's rules as this engine keeps them.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kel::script {

// The language's error numbers.
namespace err {
inline constexpr int InvalidArgument = 5;
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int DivisionByZero = 11;
inline constexpr int TypeMismatch = 13;
inline constexpr int OutOfStack = 28;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int ObjectDoesNotSupport = 438;
inline constexpr int WrongArguments = 450;
inline constexpr int KeyAlreadyUsed = 457;
inline constexpr int VariableUndefined = 500;
inline constexpr int IllegalAssignment = 501;
inline constexpr int SyntaxError = 1002;
inline constexpr int ExpectedCloseBracket = 1006;
inline constexpr int ExpectedIdentifier = 1010;
inline constexpr int ExpectedEnd = 1014;
inline constexpr int ExpectedFunction = 1015;
inline constexpr int ExpectedExpression = 1023;
inline constexpr int ExpectedStatement = 1024;
inline constexpr int ExpectedEndOfStatement = 1025;
inline constexpr int IdentifierTooLong = 1030;
inline constexpr int InvalidNumber = 1031;
inline constexpr int InvalidCharacter = 1032;
inline constexpr int RegExpSyntax = 5017;
}  // namespace err

class ScriptError : public std::runtime_error {
 public:
  ScriptError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int number() const { return number_; }

 private:
  int number_;
};

// A value of the language: Empty (a name nothing defines), a Boolean (a comparison), a
// number, or a text (what & makes).
class Value {
 public:
  enum class Kind { Empty, Boolean, Number, Text };
  Value() = default;
  static Value boolean(bool b);
  static Value number(double d);
  static Value text(std::string s);

  Kind kind() const { return kind_; }
  bool isEmpty() const { return kind_ == Kind::Empty; }
  // A Boolean as the language counts it: true is -1, false is 0.
  bool booleanValue() const { return number_ != 0; }
  double numberValue() const { return number_; }
  const std::string& textValue() const { return text_; }

 private:
  Kind kind_ = Kind::Empty;
  double number_ = 0;
  std::string text_;
};

// The language's conversions, also for the objects added to the engine.
// A value as a number: Empty is 0, True -1, a text must be a number (else type mismatch, 13).
double toNumber(const Value& v);
// A value as text: Empty is "", Booleans "True" and "False", numbers as numberToText.
std::string toText(const Value& v);
// A number as the language writes it: at most 15 significant digits, no trailing zeros, "."
// as decimal separator whatever the process locale, never "-0". Plain decimals while the digits
// fit in 15 places (999999999999999, 0.000056789), else the exponent form (1E+15, 5.6789E-12).
std::string numberToText(double x);
// A text as a number, as the language reads one: blanks around it, an optional sign, digits
// with an optional "." and an optional exponent. Nothing for any other text.
bool parseNumericText(std::string_view text, double& out);
// x rounded to `places` decimals, halves to the even digit, on the 15-digit decimal value
// that numberToText shows (so 2.0005 rounds to 2 and 2.0015 to 2.002).
double roundHalfEvenDecimal(double x, int places);

// An object added to the engine: its members, each reachable by bare name.
class ScriptObject {
 public:
  virtual ~ScriptObject() = default;
  struct Member {
    std::string name;
    // Negative: a variable (a read-write property); else a method of that many arguments.
    int arity = -1;
    // A method's call, or a variable's read (with no arguments).
    std::function<Value(std::span<const Value>)> call;
    // A variable's assignment.
    std::function<void(const Value&)> assign;
  };
  virtual std::vector<Member> members() = 0;
};

// How the comparisons (= <> < > <= >=) order two numbers. Exact: as the doubles are, the
// language's own way. AsShown: as numberToText writes them, each rounded to its 15
// significant digits exactly as its text is, so that two numbers written alike are equal and
// the order never contradicts the equality. Texts, and a text beside any other value, are
// compared as they are either way.
enum class NumberComparison { Exact, AsShown };

class Engine {
 public:
  // Longest text that AddCode, ExecuteStatement and Eval take (longer: out of memory, 7).
  static constexpr std::size_t kMaxSourceLength = 65536;
  // Deepest nesting of brackets, signs, Not and calls in one expression (out of stack, 28).
  static constexpr int kMaxNesting = 128;
  // Deepest nesting of calls of script functions while evaluating (out of stack, 28).
  static constexpr int kMaxCallDepth = 32;

  Engine();
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // The script language; only "VBScript" (any case) is known (else 380).
  void setLanguage(std::string_view name);
  const std::string& Language() const;
  // Adds an object under a name; with addMembers its members are reachable by bare name.
  // A name added before is refused (457).
  void AddObject(const std::string& name, std::shared_ptr<ScriptObject> object, bool addMembers);
  // Runs statements, one a line: a call of a member or a function (`set_constants`,
  // `f(1)`) or an assignment to a variable of an added object (`pi = 3`).
  void ExecuteStatement(std::string_view statement);
  // Adds function definitions. Each is "Function name()", lines "name = expression" and
  // "End Function"; a later definition of a name replaces the earlier one. A text with an
  // error adds nothing.
  void AddCode(std::string_view code);
  // The value of an expression; its comparisons of numbers, also those inside the script
  // functions it calls, order them as `numbers` says.
  Value Eval(std::string_view expression, NumberComparison numbers = NumberComparison::Exact);
  // Whether the last Eval read a name that nothing defines (its value is Empty): the value
  // it gave then stands for no value of that name.
  bool ReadNameWithoutValue() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kel::script
