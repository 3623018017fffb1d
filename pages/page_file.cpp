#include "pages/page_file.h"

#include <iconv.h>
#include <locale.h>
#include <stdlib.h>

#include <cerrno>
#include <charconv>
#include <cmath>

#include "app/shared_state.h"

namespace kel {

namespace {

constexpr std::string_view kPictureSuffix = ".gif";
// A caption's "|" would end its field, and a ".gif" in it would make it a picture record:
// both are written as character references, which no typed caption holds.
constexpr std::string_view kBarRef = "&#124;";
constexpr std::string_view kDotRef = "&#46;";
constexpr std::size_t kFieldsPerRecord = 6;

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
  for (std::size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size())
    s.replace(at, from.size(), to);
}

std::string escapeCaption(std::string c) {
  replaceAll(c, "|", kBarRef);
  for (std::size_t at = 0; (at = c.find(kPictureSuffix, at)) != std::string::npos;) {
    c.replace(at, 1, kDotRef);
    at += kDotRef.size();
  }
  return c;
}

std::string unescapeCaption(std::string_view field) {
  std::string c(field);
  replaceAll(c, kBarRef, "|");
  replaceAll(c, kDotRef, ".");
  return c;
}

bool withinScreen(double v) { return std::isfinite(v) && std::abs(v) <= kMaxPageFilePlaceTw; }

std::optional<bool> readBold(std::string_view f) {
  auto same = [&](std::string_view word) {
    if (f.size() != word.size()) return false;
    for (std::size_t i = 0; i < f.size(); ++i) {
      char c = f[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != word[i]) return false;
    }
    return true;
  };
  if (same("true")) return true;
  if (same("false")) return false;
  return std::nullopt;
}

std::optional<std::string> fromWindows1251(std::string_view bytes) {
  iconv_t cd = ::iconv_open("UTF-8", "WINDOWS-1251");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string in(bytes);
  // A Cyrillic letter takes two bytes in UTF-8, a few signs three.
  std::string out(in.size() * 3 + 4, '\0');
  char* src = in.data();
  std::size_t srcLeft = in.size();
  char* dst = out.data();
  std::size_t dstLeft = out.size();
  const std::size_t r = ::iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  ::iconv_close(cd);
  // A byte that stands for no character (0x98) makes it no text of that code page.
  if (r == static_cast<std::size_t>(-1) || srcLeft != 0) return std::nullopt;
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace

std::string pageFileNumber(double v) {
  if (v == 0 || !std::isfinite(v)) v = 0;  // no "-0"; what is not finite is never written
  char buf[400];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  if (r.ec != std::errc()) return "0";
  return std::string(buf, r.ptr);
}

std::optional<double> readPageFileNumber(std::string_view text) {
  std::string s;
  bool digits = false, separator = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '-' && i == 0) {
      s += c;
    } else if (c >= '0' && c <= '9') {
      digits = true;
      s += c;
    } else if ((c == '.' || c == ',') && !separator) {
      separator = true;
      s += '.';
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
  if (r.ec == std::errc::result_out_of_range && r.ptr == s.data() + s.size() &&
      s.find_first_of("123456789") > s.find('.')) {
    // Below the smallest double (a 0. and thousands of zeros before a 1): from_chars gives
    // up on it, though it is a number and rounds to one; strtod gives that one (a tiny
    // value, or 0), read with "." whatever the user's locale.
    v = 0;
    if (const locale_t c = ::newlocale(LC_NUMERIC_MASK, "C", locale_t{}); c != locale_t{}) {
      v = ::strtod_l(s.c_str(), nullptr, c);
      ::freelocale(c);
    }
    return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
  }
  if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

void appendPageFileRecord(std::string& out, const PageFileRecord& r) {
  out += std::to_string(r.page);
  out += '|';
  if (r.picture) {
    out += r.what;
    out += kPictureSuffix;
  } else {
    out += escapeCaption(r.what);
  }
  out += '|';
  out += pageFileNumber(r.left);
  out += '|';
  out += pageFileNumber(r.middle);
  out += '|';
  out += pageFileNumber(r.size);
  out += '|';
  if (!r.picture) out += r.bold ? "True" : "False";
  out += '|';
}

bool isValidUtf8(std::string_view s) {
  const auto* b = reinterpret_cast<const unsigned char*>(s.data());
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = b[i];
    std::size_t len = 0;
    unsigned cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07u;
    } else {
      return false;
    }
    if (i + len > n) return false;
    for (std::size_t k = 1; k < len; ++k) {
      if ((b[i + k] & 0xC0u) != 0x80u) return false;
      cp = (cp << 6) | (b[i + k] & 0x3Fu);
    }
    // Overlong forms, UTF-16 surrogates and what lies past U+10FFFF are no UTF-8.
    if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += len;
  }
  return true;
}

std::optional<std::string> decodePageFileBytes(std::string_view bytes) {
  if (isValidUtf8(bytes)) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return std::string(bytes);
  }
  return fromWindows1251(bytes);
}

std::optional<std::vector<PageFileRecord>> parsePageFile(std::string_view text,
                                                         PageFileProblem* problem) {
  auto refuse = [&](PageFileProblem why) -> std::optional<std::vector<PageFileRecord>> {
    if (problem) *problem = why;
    return std::nullopt;
  };
  if (problem) *problem = PageFileProblem::None;
  // A file edited by hand may end in a line break.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  std::vector<PageFileRecord> records;
  if (text.empty()) return records;  // every page empty
  if (text.back() != '|') return refuse(PageFileProblem::NotSixFields);
  text.remove_suffix(1);

  std::vector<std::string_view> f;
  f.reserve(text.size() / 4 + 1);
  for (std::size_t start = 0;;) {
    const std::size_t bar = text.find('|', start);
    f.push_back(text.substr(start, bar == std::string_view::npos ? bar : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  if (f.size() % kFieldsPerRecord != 0) return refuse(PageFileProblem::NotSixFields);

  records.reserve(f.size() / kFieldsPerRecord);
  int lastPage = 1;
  for (std::size_t i = 0; i < f.size(); i += kFieldsPerRecord) {
    PageFileRecord r;
    const std::optional<double> page = readPageFileNumber(f[i]);
    if (!page || *page != std::floor(*page) || *page < 1 || *page > kPages)
      return refuse(PageFileProblem::PageNumber);
    r.page = static_cast<int>(*page);
    if (r.page < lastPage) return refuse(PageFileProblem::PagesOutOfOrder);
    lastPage = r.page;

    const std::string_view what = f[i + 1];
    r.picture = what.find(kPictureSuffix) != std::string_view::npos;
    if (r.picture) {
      r.what = std::string(what);
      replaceAll(r.what, kPictureSuffix, "");
      if (!f[i + 5].empty()) return refuse(PageFileProblem::SixthField);
    } else {
      if (what.size() > kMaxPageFileCaptionBytes) return refuse(PageFileProblem::LongCaption);
      r.what = unescapeCaption(what);
      const std::optional<bool> bold = readBold(f[i + 5]);
      if (!bold) return refuse(PageFileProblem::SixthField);
      r.bold = *bold;
    }

    const std::optional<double> left = readPageFileNumber(f[i + 2]);
    const std::optional<double> middle = readPageFileNumber(f[i + 3]);
    const std::optional<double> size = readPageFileNumber(f[i + 4]);
    if (!left || !middle || !size || !withinScreen(*left) || !withinScreen(*middle))
      return refuse(PageFileProblem::BadNumber);
    if (r.picture ? !(*size >= 0 && *size <= kMaxPageFilePlaceTw)
                  : !(*size > 0 && *size <= kMaxPageFileFontSize))
      return refuse(PageFileProblem::BadNumber);
    r.left = *left;
    r.middle = *middle;
    r.size = *size;
    records.push_back(std::move(r));
  }
  return records;
}

std::string pageFilePageList(const std::vector<PageFileRecord>& records) {
  std::string list;
  int last = 0;
  for (const PageFileRecord& r : records) {
    if (r.page == last) continue;
    last = r.page;
    list += ',';
    list += std::to_string(r.page);
  }
  if (!list.empty()) list.erase(0, 1);
  return list;
}

}  // namespace kel
