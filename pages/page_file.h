// The page file: all twelve pages in one line of text, six "|"-terminated fields a symbol.
//
//   page | caption, or picture name + ".gif" | Left | middle line | font size, or Width |
//   "True"/"False" (bold), or empty for a picture |
//
// Records come page by page, in page order. The file is written as UTF-8 with "." in
// numbers; it is read back also when it was written by the classic platform: in
// Windows-1251 (whenever it is not valid UTF-8), with "," in numbers. A page file is
// untrusted input: it is checked whole before anything is placed from it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kel {

struct PageFileRecord {
  int page = 1;          // 1 to 12
  bool picture = false;  // a picture record: `what` names the picture (without ".gif")
  std::string what;      // the caption, or the picture name
  double left = 0;       // twips
  double middle = 0;     // the symbol's middle line (a bar's: Top + Height / 30), twips
  double size = 0;       // the font size (points), or the picture's Width (twips)
  bool bold = false;
  bool operator==(const PageFileRecord&) const = default;
};

// The largest file read (a full symbol store takes well under a tenth of it).
inline constexpr std::size_t kMaxPageFileBytes = 16u << 20;
// A place further than this from the page's corner lies outside any screen (twips).
inline constexpr double kMaxPageFilePlaceTw = 1.0e6;
inline constexpr double kMaxPageFileFontSize = 2048;
inline constexpr std::size_t kMaxPageFileCaptionBytes = 1000;
// Beside the options file: the pages of a run that ended without asking (a signal, a lost
// display), in the page-file form. A run that finds one kept for a later start keeps its
// own pages under the next number: Recovery-2.txt, Recovery-3.txt ...
inline constexpr const char* kRecoveryFileName = "Recovery.txt";
inline constexpr int kMaxRecoveryFiles = 32;
// The recovery file follows the pages once they have not changed for this long, or have
// changed for this long without such a pause (seconds).
inline constexpr int kRecoveryQuietSeconds = 5;
inline constexpr int kRecoveryLongestSeconds = 30;

// A number as the file writes it: the shortest decimal text that reads back as the same
// value, with "." and without grouping or exponent (877.5, 1200, -15).
std::string pageFileNumber(double v);
// A number as the file may hold it: an optional "-", digits, at most one "." or ",".
std::optional<double> readPageFileNumber(std::string_view text);

// Appends one record with its six "|".
void appendPageFileRecord(std::string& out, const PageFileRecord& r);

// The file's bytes as UTF-8 text: as they are when they are valid UTF-8 (a leading byte
// order mark dropped), else read as Windows-1251. Nothing when they are neither.
std::optional<std::string> decodePageFileBytes(std::string_view bytes);
bool isValidUtf8(std::string_view s);

// Why a file is no page file.
enum class PageFileProblem {
  None,
  TooLarge,         // larger than kMaxPageFileBytes
  NotAFile,         // a folder, a FIFO, a device
  NotText,          // neither UTF-8 nor Windows-1251
  NotSixFields,     // the fields do not make records of six
  PageNumber,       // a page that is no whole number from 1 to 12
  PagesOutOfOrder,  // a page before the page of the record ahead of it
  BadNumber,        // a number that is none, is not finite or lies outside its range
  SixthField,       // a bold field other than True or False, or a picture's not empty
  LongCaption,      // a caption longer than any typed
  BadPicture,       // a picture name that may not be looked up, or names no picture
  AbovePage,        // a symbol that would be placed above the page, where no save finds it
};

// The records of a page file's text, or nothing when it is not a whole page file: a field
// count that is no multiple of six, a page that is no whole number from 1 to 12 or comes
// before the page of the record ahead of it, a number that is none, is not finite or lies
// outside any screen, a font size no font has, a bold field other than True or False, a
// picture record with a sixth field, a caption longer than any typed. Why, in *problem.
std::optional<std::vector<PageFileRecord>> parsePageFile(std::string_view text,
                                                         PageFileProblem* problem = nullptr);

// The pages a file fills, in order, joined by "," (1,2,5).
std::string pageFilePageList(const std::vector<PageFileRecord>& records);

}  // namespace kel
