// The walk over the selection: fractions, mixed numbers, exponents and logarithm bases
// from the places of the symbols, into one line of text.
#include <cmath>

#include "evaluation/reading.h"

namespace kel {

namespace {

constexpr const char* kFractionBarToken = "DrCh";
// The middle line of a raised symbol lies more than 150 and less than 220 twips above the
// one before it (an upper index is 195 twips up); a lowered one as far below.
constexpr double kRiseMin = 150, kRiseMax = 220;
// A logarithm's base: a small symbol (under 300 twips high) whose middle line lies more
// than 100 and less than 130 twips below the "g"; the next small symbol on its line
// (within 50 twips) belongs to the base too.
constexpr double kSmallHeight = 300;
constexpr double kBaseDropMin = 100, kBaseDropMax = 130;
constexpr double kSameLine = 50;

enum class Move { None, Rise, Fall };

bool beginsWithDigit(const std::string& s) { return !s.empty() && s[0] >= '0' && s[0] <= '9'; }

class Walk {
 public:
  explicit Walk(std::vector<SelectionRow>& rows) : t_(rows), walk_(rows.size()) {}

  WalkResult run() {
    const int n = static_cast<int>(t_.size());
    for (int k = 0; k < n; ++k) {
      if (bar_ >= 0 && beyondBar(k)) closeFraction();
      if (t_[k].Token == kFractionBarToken) {
        // A bar that lies in the span of an open one takes its place: fractions do not
        // nest, and what the first had collected goes on in the second.
        bar_ = k;
        walk_[k] = "(";
        if (k > 0 && beginsWithDigit(walk_[k - 1])) {
          walk_[k] = "~(";
          mixed_ = 1;
        }
      }
      if (bar_ >= 0)
        placeInFraction(k);
      else
        placeOnMainLine(k);
      result_.Raw += walk_[k];
      if (k == n - 1 && !denominator_.empty()) closeFraction();
    }
    result_.OpenExponent = mainExponent_;
    return result_;
  }

 private:
  bool inSpan(int k) const {
    const SelectionRow& b = t_[bar_];
    return b.Left < t_[k].Left && t_[k].Left < b.Left + b.Width;
  }
  bool beyondBar(int k) const { return t_[k].Left >= t_[bar_].Left + t_[bar_].Width; }

  Move exponent(int p, int k) const {
    const double d = t_[p].Middle - t_[k].Middle;
    if (kRiseMin < d && d < kRiseMax) return Move::Rise;
    if (-kRiseMax < d && d < -kRiseMin) return Move::Fall;
    return Move::None;
  }

  // What a rise or a fall from one symbol to the next puts before the next: it opens or
  // closes an exponent on their line, as `open` then records; nothing for neither.
  static const char* exponentMark(Move m, int& open) {
    if (m == Move::Rise) {
      open = 1;
      return "^(";
    }
    if (m == Move::Fall) {
      open = 0;
      return ")";
    }
    return "";
  }

  bool logBase(int p, const std::string& previousMark, int k) const {
    const SelectionRow& r = t_[k];
    if (!previousMark.empty() && previousMark[0] == '#' && r.Height < kSmallHeight &&
        std::abs(r.Middle - t_[p].Middle) < kSameLine)
      return true;
    const double d = t_[p].Middle - r.Middle;
    return t_[p].Token == "g" && -kBaseDropMax < d && d < -kBaseDropMin && r.Height < kSmallHeight;
  }

  void placeOnMainLine(int k) {
    walk_[k] = t_[k].Token;
    if (k >= 2 && logBase(k - 1, walk_[k - 1], k)) walk_[k] = "#" + walk_[k];
    if (k >= 1) walk_[k].insert(0, exponentMark(exponent(k - 1, k), mainExponent_));
  }

  void placeInFraction(int k) {
    if (!inSpan(k)) return;  // the bar itself, or a record at or left of its left edge
    const double barMiddle = t_[bar_].Middle;
    if (t_[k].Middle < barMiddle) {
      const int p = lastNumerator_;
      if (p > 0 && logBase(p, t_[p].Token, k)) t_[k].Token = "#" + t_[k].Token;
      walk_[k] = t_[k].Token;
      if (p > 0) walk_[k].insert(0, exponentMark(exponent(p, k), numeratorExponent_));
      lastNumerator_ = k;
    } else if (t_[k].Middle > barMiddle) {
      const int p = lastDenominator_;
      if (p > 0 && logBase(p, t_[p].Token, k)) t_[k].Token = "#" + t_[k].Token;
      const Move m = p > 0 ? exponent(p, k) : Move::None;
      denominator_ += exponentMark(m, denominatorExponent_);
      denominator_ += t_[k].Token;
      lastDenominator_ = k;
    }
    // A record level with the bar's middle line is left out.
  }

  void closeFraction() {
    bar_ = -1;
    if (mixed_ == 1) {
      // Closes the bracket that the finishing puts before the whole part.
      mixed_ = 0;
      denominator_ += ")";
    }
    result_.Raw += numeratorExponent_ == 1 ? "))/(" : ")/(";
    result_.Raw += denominator_;
    result_.Raw += denominatorExponent_ == 1 ? "))" : ")";
    numeratorExponent_ = 0;
    denominatorExponent_ = 0;
    denominator_.clear();
    lastNumerator_ = 0;
    lastDenominator_ = 0;
  }

  std::vector<SelectionRow>& t_;
  std::vector<std::string> walk_;  // what each record adds to the text
  WalkResult result_;
  int bar_ = -1;  // the record of the open fraction's bar, -1 none
  std::string denominator_;
  // 0 stands for none: record 0 comes before any bar's numerator or denominator.
  int lastNumerator_ = 0, lastDenominator_ = 0;
  int numeratorExponent_ = 0, denominatorExponent_ = 0;
  int mixed_ = 0;
  int mainExponent_ = 0;
};

}  // namespace

WalkResult WalkSelection(std::vector<SelectionRow>& rows) { return Walk(rows).run(); }

}  // namespace kel
