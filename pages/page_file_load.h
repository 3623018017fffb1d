// A page file being placed on the pages: the records still to place and where placing
// stands. Its first page is placed at once, each later page a second after the one before
// it (Timer30), and a page of many records a share at a time (TimerPlaceStep), so the
// window answers in between.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "pages/page_file.h"

namespace kel {

class Program;

class PageFileLoad {
 public:
  explicit PageFileLoad(Program& p) : p(p) {}
  PageFileLoad(const PageFileLoad&) = delete;
  PageFileLoad& operator=(const PageFileLoad&) = delete;

  // Ends a load under way and starts this one on page 1: the pages it names are filled
  // from their first record. asSaved: once placed, its pages count as saved (a file the
  // user chose); a recovery file's stay changed.
  void begin(std::vector<PageFileRecord> records, bool asSaved);
  // Places the next share of the page being placed, on the page shown; the page it
  // finished with something placed on it, if it finished one. What follows is started:
  // the next share, the next page, or nothing when every record is placed.
  std::optional<int> step();
  // The next share is due: the page being placed is shown again when the user went to
  // another one meanwhile. False when there is nothing to place.
  bool resumePage();
  // The next page is due: it is shown and cleared. False when there is none.
  bool enterNextPage();
  // Nothing more is placed.
  void cancel();

  // Places at once whatever is still to be placed, page by page (another load is to begin,
  // and these pages are in no file to load them from again).
  void finish();

  // Whether records are still to be placed.
  bool active() const { return next_ < records_.size(); }
  bool asSaved() const { return asSaved_; }
  // Whether records are still to be placed on this page (1 to 12), and whether placing
  // stands on it already (its old symbols gone up, some of the file's placed).
  bool reaches(int page) const;
  bool placing(int page) const { return reaches(page) && page == page_; }
  // The records of the file for this page: those still to be placed, or all of them.
  void appendPending(int page, std::string& out) const;
  void appendAll(int page, std::string& out) const;

 private:
  Program& p;
  std::vector<PageFileRecord> records_;
  // The first record not placed yet.
  std::size_t next_ = 0;
  // The page being placed, and whether a record went onto it.
  int page_ = 0;
  bool placedOnPage_ = false;
  // The page of the record placing stopped at: the page to enter next.
  int nextPage_ = 0;
  bool asSaved_ = true;
};

}  // namespace kel
