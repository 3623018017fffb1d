#include "app/options.h"

#include <cctype>

namespace kel {

std::vector<std::string> splitOptionFields(std::string_view content) {
  while (!content.empty() && (content.back() == '\n' || content.back() == '\r'))
    content.remove_suffix(1);
  std::vector<std::string> fields;
  if (content.empty()) return fields;
  size_t start = 0;
  for (;;) {
    size_t bar = content.find('|', start);
    if (bar == std::string::npos) {
      fields.emplace_back(content.substr(start));
      break;
    }
    fields.emplace_back(content.substr(start, bar - start));
    start = bar + 1;
  }
  return fields;
}

bool isOptionsText(std::string_view content) {
  for (const char c : content) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b == 0 || b > 0x7F) return false;
  }
  return true;
}

bool isStorableBindingCode(const std::string& code) {
  size_t i = 0;
  if (code.compare(0, 3, "***") == 0) i = 3;
  if (i < code.size() && code[i] == '`') ++i;
  const size_t digits = code.size() - i;
  if (digits > 12) return false;
  for (; i < code.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(code[i]))) return false;
  return true;
}

bool isStorableShiftFlag(const std::string& shift) {
  return shift.empty() || shift == "0" || shift == "1";
}

std::string formatOptionLine(const OptionValues& v) {
  std::string line;
  for (const std::string* s :
       {&v.f8Code, &v.f8Shift, &v.f9Code, &v.f9Shift, &v.f10Code, &v.f10Shift}) {
    line += *s;
    line += '|';
  }
  line += std::to_string(v.round) + "|" + std::to_string(v.angleUnit) + "|" +
          std::to_string(v.evaluateAfterEquals);
  return line;
}

}  // namespace kel
