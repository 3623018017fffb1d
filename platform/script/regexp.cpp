#include "platform/script/regexp.h"

#include <locale>

#include "platform/script/script_engine.h"

namespace kel::script {

namespace {

// libstdc++'s default matcher backtracks recursively, one stack frame per character of a
// repeated class, so a long run of digits overflows the stack. Its breadth-first matcher
// takes linear time and bounded stack. It prefers the longest of the alternatives that
// match at the leftmost place; the program's patterns never have alternatives of which one
// is a prefix of another, so it finds what the ECMAScript rule finds.
#if defined(__GLIBCXX__)
constexpr std::regex_constants::syntax_option_type kLinearTime = std::regex_constants::__polynomial;
#else
constexpr std::regex_constants::syntax_option_type kLinearTime = {};
#endif

}  // namespace

RegExp::RegExp(std::string pattern, bool ignoreCase, bool global)
    : pattern_(std::move(pattern)), ignoreCase_(ignoreCase), global_(global) {
  compile();
}

void RegExp::setPattern(std::string pattern) {
  pattern_ = std::move(pattern);
  compile();
}

void RegExp::setIgnoreCase(bool on) {
  if (on == ignoreCase_ && compiled_) return;
  ignoreCase_ = on;
  compile();
}

void RegExp::compile() {
  compiled_.reset();
  auto flags = std::regex::ECMAScript | kLinearTime;
  if (ignoreCase_) flags |= std::regex::icase;
  try {
    auto re = std::make_shared<std::regex>();
    re->imbue(std::locale::classic());
    re->assign(pattern_, flags);
    compiled_ = std::move(re);
  } catch (const std::regex_error&) {
  }
}

std::vector<RegExpMatch> RegExp::Execute(std::string_view subject) const {
  if (!compiled_) throw ScriptError(err::RegExpSyntax, "Syntax error in regular expression");
  std::vector<RegExpMatch> out;
  using It = std::regex_iterator<std::string_view::const_iterator>;
  for (It it(subject.begin(), subject.end(), *compiled_), end; it != end; ++it) {
    const auto& m = (*it)[0];
    RegExpMatch r;
    r.FirstIndex = static_cast<std::size_t>(m.first - subject.begin());
    r.Length = static_cast<std::size_t>(m.length());
    r.Value = m.str();
    out.push_back(std::move(r));
    if (!global_) break;
  }
  return out;
}

}  // namespace kel::script
