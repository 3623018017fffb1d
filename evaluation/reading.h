// Reading a selection back: the pure steps, from the symbols' places to the one-line
// expression and from a result text to the keys that type it. The procedures that take
// them from the page and publish them are members of Evaluation.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kel {

// --- selection records ------------------------------------------------------------------
//
// One "|"-separated record per selected symbol, eight fields: left edge (padded with "0"
// to five characters), top, height, width, middle line, expression token, the class (the
// text kind "bukva" for a text symbol, kPictureRecordClass for a picture), symbol index.

inline constexpr const char* kPictureRecordClass = "simvol";

// The expression token of a picture symbol by its kind; nothing for the kind that gives
// no record ("13").
std::optional<std::string> PictureExprToken(const std::string& kind);
// The expression token of a text symbol: its caption, with every "|" stored as "¦", so a
// record always has its eight fields and the token still has no meaning in an expression.
std::string TextExprToken(const std::string& caption);
// A single-precision value as the records write it: plain decimal, at most seven
// significant digits, no point for a whole number (600, 277.5).
std::string RecordNumberText(float v);
// The number a text begins with (optional blanks, sign, digits, fraction, exponent), 0
// when it begins with none.
double LeadingNumber(std::string_view text);

// One row of the selection table: the numbers of fields 0 to 4 and the token.
struct SelectionRow {
  double Left = 0, Top = 0, Height = 0, Width = 0, Middle = 0;
  std::string Token;
};

struct SelectionRecord {
  float Left = 0;    // the element's own left edge, for the order of the list
  std::string Text;  // the record as List3 holds it
  // The row that parsing Text gives, made with it: a reading takes its table from here
  // rather than reading every record of a large selection a second time.
  SelectionRow Row;
};
SelectionRecord MakeSelectionRecord(float left, float top, float height, float width,
                                    const std::string& token, bool textSymbol, int index);
// The order of the selection: by left edge as a number; records with equal left edges by
// the text of the rest of the record, without regard to case.
bool RecordBefore(const SelectionRecord& a, const SelectionRecord& b);
void SortSelection(std::vector<SelectionRecord>& records);

SelectionRow ParseSelectionRecord(std::string_view record);

// --- the walk -----------------------------------------------------------------------------

struct WalkResult {
  std::string Raw;       // the raw linear text
  int OpenExponent = 0;  // 1 when the main line's last raise was not closed
};
// Turns the rows, in their left-to-right order, into the raw linear text. The log-base
// rule may put "#" in front of the tokens of numerator and denominator rows.
WalkResult WalkSelection(std::vector<SelectionRow>& rows);

// --- finishing ----------------------------------------------------------------------------

// Mixed numbers: each whole part written before "~" (the walk's form of a fraction that
// follows a number) becomes "(" whole "+", each at its own place.
std::string RewriteMixedNumbers(const std::string& text);
// The known function and constant names replaced by number tokens, and the text as it
// comes back from them: each name where it stood, the first 27 with two blanks in front.
struct FunctionNameForms {
  std::string Tokens;
  std::string Restored;
};
FunctionNameForms FunctionNames(std::string_view text);
// Whether a text in token form holds a character without meaning in an expression.
bool HoldsUnknowns(std::string_view functionTokenForm);

struct FinishedText {
  std::string Text;        // the linear formula, with its blanks
  int HasUnknowns = 0;     // 1: something in it has no meaning in an expression
  bool CutEquals = false;  // it ended with " = " and had no unknowns: the sign was cut off
};
// The text steps of the finishing: exponent marks repaired, decimal commas, mixed
// numbers, the unknowns test and the trailing " = ".
FinishedText FinishLinearText(std::string raw, int openExponent);

// --- the result typed -----------------------------------------------------------------------

// A result text as it is typed: a small number shortened ("0.00056" to "5.6E-4"), then a
// power of ten written with upper-index marks ("1.23E-4" to "1.23*10^-^4").
std::string ResultTypingText(std::string s);
// The key code that types one character of that text, or nothing for a character the
// key table does not have.
std::optional<int> ResultKeyCode(char c);

}  // namespace kel
