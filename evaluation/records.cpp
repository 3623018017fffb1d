// Selection records: the tokens, the text of a record and its order.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "app/shared_state.h"
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

namespace {

// What LeadingNumber reads back from RecordNumberText(v): a whole number of fewer than eight
// digits is written exactly.
double recordNumberValue(float v, const std::string& text) {
  if (v == 0 || !std::isfinite(v)) return 0;
  if (std::abs(v) < 1e7f && v == std::floor(v)) return v;
  return LeadingNumber(text);
}

}  // namespace

SelectionRecord MakeSelectionRecord(float left, float top, float height, float width,
                                    const std::string& token, bool textSymbol, int index) {
  std::string leftText = RecordNumberText(left);
  const float middle = top + height / 2.0f;
  const std::string topText = RecordNumberText(top), heightText = RecordNumberText(height),
                    widthText = RecordNumberText(width), middleText = RecordNumberText(middle);
  SelectionRecord r;
  r.Left = left;
  r.Row.Left = recordNumberValue(left, leftText);
  r.Row.Top = recordNumberValue(top, topText);
  r.Row.Height = recordNumberValue(height, heightText);
  r.Row.Width = recordNumberValue(width, widthText);
  r.Row.Middle = recordNumberValue(middle, middleText);
  r.Row.Token = token;
  if (leftText.size() < kPaddedWidth) leftText.insert(0, kPaddedWidth - leftText.size(), '0');
  const char* kind = textSymbol ? kTextKind : kPictureRecordClass;
  const std::string indexText = std::to_string(index);
  r.Text.reserve(leftText.size() + topText.size() + heightText.size() + widthText.size() +
                 middleText.size() + token.size() + indexText.size() + 14);
  const std::string* fields[] = {&leftText, &topText, &heightText, &widthText, &middleText, &token};
  for (const std::string* field : fields) {
    r.Text += *field;
    r.Text += '|';
  }
  r.Text += kind;
  r.Text += '|';
  r.Text += indexText;
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
  // A selection mostly comes in order already (symbols are placed from left to right), and
  // a large one is sorted by its positions, so the records themselves are not moved
  // through a buffer as large as they are.
  if (std::is_sorted(records.begin(), records.end(), RecordBefore)) return;
  std::vector<std::size_t> order(records.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return RecordBefore(records[a], records[b]);
  });
  // Each cycle of the permutation in turn: position k takes the record order[k] names.
  for (std::size_t start = 0; start < order.size(); ++start) {
    if (order[start] == start) continue;
    SelectionRecord held = std::move(records[start]);
    std::size_t k = start;
    while (order[k] != start) {
      const std::size_t from = order[k];
      records[k] = std::move(records[from]);
      order[k] = k;
      k = from;
    }
    records[k] = std::move(held);
    order[k] = k;
  }
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
