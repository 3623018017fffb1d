// A regular-expression object with the members the program uses: Pattern, IgnoreCase,
// Global, Execute returning the matches in order with their Value and place.
//
// It runs on std::regex with the ECMAScript grammar in the classic locale, whatever the
// process locale. The pattern is compiled once, when it or IgnoreCase is set, so an object
// kept for a rule compiles its pattern once for the whole run.
#pragma once

#include <cstddef>
#include <memory>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace kel::script {

struct RegExpMatch {
  std::size_t FirstIndex = 0;  // bytes from the start of the subject
  std::size_t Length = 0;
  std::string Value;
};

class RegExp {
 public:
  RegExp() = default;
  RegExp(std::string pattern, bool ignoreCase, bool global);

  // An invalid pattern is kept; Execute then raises the syntax error (ScriptError 5017).
  void setPattern(std::string pattern);
  const std::string& Pattern() const { return pattern_; }
  void setIgnoreCase(bool on);
  bool IgnoreCase() const { return ignoreCase_; }
  void setGlobal(bool on) { global_ = on; }
  bool Global() const { return global_; }

  // The matches from left to right (only the first unless Global). Time grows linearly with
  // the subject and no subject can exhaust the stack.
  std::vector<RegExpMatch> Execute(std::string_view subject) const;

 private:
  void compile();
  std::string pattern_;
  bool ignoreCase_ = false;
  bool global_ = false;
  std::shared_ptr<const std::regex> compiled_;  // null while the pattern is invalid
};

}  // namespace kel::script
