// Placing a page file on the pages, page by page and a share at a time.
#include "pages/page_file_load.h"

#include <utility>

#include "app/program.h"
#include "platform/steps.h"

namespace kel {

namespace {

// Records placed in one go while loading: a few dozen milliseconds of the largest captions.
constexpr std::size_t kRecordsPerPlacingStep = 50;

}  // namespace

void PageFileLoad::begin(std::vector<PageFileRecord> records, bool asSaved) {
  cancel();
  records_ = std::move(records);
  next_ = 0;
  asSaved_ = asSaved;
  p.pages.Command72_Click(0);
  if (!records_.empty() && records_.front().page == 1) p.pages.VsichoGore();
  page_ = 1;
  placedOnPage_ = false;
}

std::optional<int> PageFileLoad::step() {
  const int shown = p.pages.PageShown();
  // The placers move the pointer on by every symbol they place; loading leaves it where
  // it was.
  const double pointerX = p.PointerX, pointerY = p.PointerY;
  // A page of thousands of large captions takes seconds to place: it is placed a share at
  // a time, and what the user does runs in between.
  std::size_t budget = kRecordsPerPlacingStep;
  bool pageDone = true;
  for (std::size_t i = next_; i < records_.size(); ++i) {
    const PageFileRecord& r = records_[i];
    nextPage_ = r.page;
    if (r.page > shown) {
      next_ = i;
      p.Form1.Timer30.setEnabled(true);
      break;
    }
    if (budget == 0) {
      next_ = i;
      pageDone = false;
      p.Form1.TimerPlaceStep.setEnabled(true);
      // The after-placement step runs once the page is whole, as when it was placed in one
      // go: one undo snapshot of the page, not one of every share.
      p.surface.PostponeAfterPlacementStep();
      break;
    }
    --budget;
    placedOnPage_ = true;
    skipOnFailure([&] { p.pages.PlaceFileRecord(r); });
    next_ = i + 1;
  }
  p.PointerX = pointerX;
  p.PointerY = pointerY;
  p.surface.MovePointerToInsertionPoint();
  if (!pageDone) return std::nullopt;
  // The page is now as the file has it (a page the file does not name keeps what it had).
  const bool placed = std::exchange(placedOnPage_, false);
  if (!placed) return std::nullopt;
  return shown;
}

bool PageFileLoad::resumePage() {
  p.Form1.TimerPlaceStep.setEnabled(false);
  if (page_ < 1 || page_ > kPages) return false;
  // The user went to another page meanwhile: the rest goes where the rest of its page is.
  if (p.pages.PageShown() != page_) p.pages.Command72_Click(page_ - 1);
  return true;
}

bool PageFileLoad::enterNextPage() {
  p.Form1.Timer30.setEnabled(false);
  if (nextPage_ < 1 || nextPage_ > kPages) return false;
  p.pages.Command72_Click(nextPage_ - 1);
  p.pages.VsichoGore();
  page_ = nextPage_;
  placedOnPage_ = false;
  return true;
}

void PageFileLoad::finish() {
  while (active()) {
    if (records_[next_].page > p.pages.PageShown()) {
      if (!enterNextPage()) break;
    } else if (!resumePage()) {
      break;
    }
    p.pages.ZarediOtFile();
  }
  cancel();
}

bool PageFileLoad::reaches(int page) const {
  for (std::size_t i = next_; i < records_.size(); ++i)
    if (records_[i].page == page) return true;
  return false;
}

void PageFileLoad::appendPending(int page, std::string& out) const {
  for (std::size_t i = next_; i < records_.size(); ++i)
    if (records_[i].page == page) appendPageFileRecord(out, records_[i]);
}

void PageFileLoad::appendAll(int page, std::string& out) const {
  for (const PageFileRecord& r : records_)
    if (r.page == page) appendPageFileRecord(out, r);
}

void PageFileLoad::cancel() {
  p.Form1.Timer30.setEnabled(false);
  p.Form1.TimerPlaceStep.setEnabled(false);
  records_.clear();
  next_ = 0;
  page_ = 0;
  nextPage_ = 0;
  placedOnPage_ = false;
}

}  // namespace kel
