// The two kinds of text rewriting that the normaliser and the evaluator are made of.
#pragma once

#include <string>
#include <string_view>

#include "platform/script/regexp.h"

namespace kel {

// Every occurrence of `find`, case-sensitively, scanning from the left; a replaced part is
// not scanned again.
inline std::string replaceAll(std::string_view text, std::string_view find, std::string_view with) {
  if (find.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  for (std::size_t k = text.find(find); k != std::string_view::npos; k = text.find(find, at)) {
    out.append(text.substr(at, k - at));
    out.append(with);
    at = k + find.size();
  }
  out.append(text.substr(at));
  return out;
}

inline bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// A pattern rule: the pattern is executed once on the text, and each match is replaced at its
// own place, left to right, by what `replacement` makes of the match's text.
template <class F>
void rewriteMatches(std::string& text, const script::RegExp& pattern, F replacement) {
  const auto matches = pattern.Execute(text);
  if (matches.empty()) return;
  std::string out;
  out.reserve(text.size() + 16 * matches.size());
  std::size_t at = 0;
  for (const script::RegExpMatch& m : matches) {
    out.append(text, at, m.FirstIndex - at);
    out += replacement(m.Value);
    at = m.FirstIndex + m.Length;
  }
  out.append(text, at, std::string::npos);
  text = std::move(out);
}

}  // namespace kel
