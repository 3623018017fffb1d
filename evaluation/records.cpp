// Selection records: the tokens, the text of a record and its order.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "evaluation/reading.h"

namespace kel {

namespace {

struct KindToken {
  const char* kinds[6];
  const char* token;
};

// Tried in this order; the first row that lists the kind gives its token.
const KindToken kPictureTokens[] = {
    {{"pi", "pim"}, "pi"},
    {{"plus", "plusm"}, "+"},
    {{"minus", "minusm"}, "-"},
    {{"po", "pom"}, "*"},
    {{"del", "delm"}, "/"},
    {{"oskoba", "goskoba", "boskoba", "oskobam", "goskobam", "boskobam"}, "("},
    {{"zskoba", "gzskoba", "bzskoba", "zskobam", "gzskobam", "bzskobam"}, ")"},
    {{"koren", "korenm"}, "SQR("},
    {{"35"}, "DrCh"},
};

// The one kind of picture that is left out of the selection.
constexpr const char* kNoRecordKind = "13";
constexpr const char* kMeaninglessToken = "SIMVOL";
// What a "|" in a caption is stored as: not the separator, and above code 127, so it still
// counts as a character without meaning.
constexpr const char* kStoredBar = "\xC2\xA6";

constexpr size_t kPaddedWidth = 5;

int lowerByte(char c) { return std::tolower(static_cast<unsigned char>(c)); }

}  // namespace

std::optional<std::string> PictureExprToken(const std::string& kind) {
  if (kind == kNoRecordKind) return std::nullopt;
  for (const KindToken& row : kPictureTokens)
    for (const char* k : row.kinds)
      if (k && kind == k) return std::string(row.token);
  return std::string(kMeaninglessToken);
}

std::string TextExprToken(const std::string& caption) {
  std::string out;
  out.reserve(caption.size());
  for (char c : caption) {
    if (c == '|')
      out += kStoredBar;
    else
      out += c;
  }
  return out;
}

std::string RecordNumberText(float v) {
  if (v == 0 || !std::isfinite(v)) return "0";  // no "-0"; nothing on a page is infinite
  // Most places on a page are whole twips: seven digits at most need no rounding.
  if (std::abs(v) < 1e7f && v == std::floor(v)) return std::to_string(static_cast<long>(v));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(v));
  std::string s(buf);
  // The exponent form as the platform writes it: "1E+07".
  if (size_t e = s.find('e'); e != std::string::npos) s[e] = 'E';
  return s;
}

double LeadingNumber(std::string_view t) {
  size_t i = 0;
  while (i < t.size() && t[i] == ' ') ++i;
  const size_t start = i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  const size_t digitsFrom = i;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
  }
  if (i == digitsFrom || (i == digitsFrom + 1 && t[digitsFrom] == '.')) return 0;
  size_t end = i;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
    size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
    const size_t expDigits = j;
    while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) ++j;
    if (j > expDigits) end = j;
  }
  // Only the validated prefix reaches the conversion.
  const std::string number(t.substr(start, end - start));
  const double v = std::strtod(number.c_str(), nullptr);
  return std::isfinite(v) ? v : 0;
}

SelectionRecord MakeSelectionRecord(float left, float top, float height, float width,
                                    const std::string& token, bool textSymbol, int index) {
  std::string leftText = RecordNumberText(left);
  if (leftText.size() < kPaddedWidth) leftText.insert(0, kPaddedWidth - leftText.size(), '0');
  const float middle = top + height / 2.0f;
  SelectionRecord r;
  r.Left = left;
  r.Text = leftText + "|" + RecordNumberText(top) + "|" + RecordNumberText(height) + "|" +
           RecordNumberText(width) + "|" + RecordNumberText(middle) + "|" + token + "|" +
           (textSymbol ? "bukva" : "simvol") + "|" + std::to_string(index);
  return r;
}

bool RecordBefore(const SelectionRecord& a, const SelectionRecord& b) {
  if (a.Left != b.Left) return a.Left < b.Left;
  const size_t ia = a.Text.find('|');
  const size_t ib = b.Text.find('|');
  const std::string_view ra = ia == std::string::npos ? "" : std::string_view(a.Text).substr(ia);
  const std::string_view rb = ib == std::string::npos ? "" : std::string_view(b.Text).substr(ib);
  return std::lexicographical_compare(ra.begin(), ra.end(), rb.begin(), rb.end(),
                                      [](char x, char y) { return lowerByte(x) < lowerByte(y); });
}

void SortSelection(std::vector<SelectionRecord>& records) {
  std::stable_sort(records.begin(), records.end(), RecordBefore);
}

SelectionRow ParseSelectionRecord(std::string_view record) {
  SelectionRow row;
  double* numbers[] = {&row.Left, &row.Top, &row.Height, &row.Width, &row.Middle};
  size_t field = 0;
  size_t start = 0;
  for (;;) {
    const size_t bar = record.find('|', start);
    const std::string_view part =
        record.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
    if (field < 5)
      *numbers[field] = LeadingNumber(part);
    else if (field == 5)
      row.Token = std::string(part);
    if (bar == std::string_view::npos || field >= 5) break;
    start = bar + 1;
    ++field;
  }
  return row;
}

}  // namespace kel
