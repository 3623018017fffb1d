// The pages of a run that ended without anyone to ask: kept in a recovery file, offered at
// the next start.
#include <algorithm>
#include <string>

#include "app/program.h"
#include "platform/units.h"

namespace kel {

namespace {

// The pages a file fills, as the box names them: "1, 5, 12".
std::string spokenPageList(const std::vector<PageFileRecord>& records) {
  std::string list;
  for (const char c : pageFilePageList(records))
    list += c == ',' ? std::string(", ") : std::string(1, c);
  return list;
}

}  // namespace

std::string Pages::RecoveryPath(int n, bool inStateFolder) const {
  const std::string number = n <= 1 ? std::string() : "-" + std::to_string(n);
  if (!inStateFolder) return joinPath(p.files.programFolder(), "Recovery" + number + ".txt");
  const std::string state = p.files.stateFolder();
  if (state.empty()) return {};
  return joinPath(state, nameForFolder("Recovery", p.files.programFolder()) + number + ".txt");
}

std::vector<std::string> Pages::RecoveryNames() const {
  std::vector<std::string> names;
  for (const bool inStateFolder : {false, true}) {
    for (int n = 1; n <= kMaxRecoveryFiles; ++n) {
      std::string path = RecoveryPath(n, inStateFolder);
      if (path.empty()) break;
      names.push_back(std::move(path));
    }
  }
  return names;
}

std::vector<std::string> Pages::ownRecoveryPlaces() {
  // A file an earlier run left is that run's pages, offered until the user loads or
  // discards it: never written over.
  auto firstFree = [&](bool inStateFolder) {
    for (int n = 1; n <= kMaxRecoveryFiles; ++n) {
      const std::string path = RecoveryPath(n, inStateFolder);
      if (path.empty()) break;
      if (!p.files.exists(path)) return path;
    }
    return std::string();
  };
  if (ownRecovery_.empty()) ownRecovery_ = firstFree(false);
  if (ownFallback_.empty()) ownFallback_ = firstFree(true);
  return {ownRecovery_, ownFallback_};
}

RecoveryWriter& Pages::recoveryWriter() {
  if (!recoveryWriter_) recoveryWriter_ = std::make_unique<RecoveryWriter>(p.files);
  return *recoveryWriter_;
}

std::optional<std::string> Pages::SetAsideRefusedRecovery(const std::string& path) {
  return p.files.moveAside(path, "refused");
}

void Pages::WriteRecoveryFile() {
  // The end of the run: what the writer was asked before comes first, this is the last word.
  FinishRecoveryWrites();
  std::string text;
  // Nothing changed, or every page is empty: there is nothing to give back.
  if (!pagesToKeep(&text) || text.empty()) {
    ForgetRecoveryFile();
    return;
  }
  recoveryWriter().replace(ownRecoveryPlaces(), text);
  FinishRecoveryWrites();
  recoveryKept_ = PageStamp::of(text);
}

void Pages::ForgetRecoveryFile() {
  if (recoveryWriter_) {
    recoveryWriter_->remove();
    FinishRecoveryWrites();
  }
  recoveryKept_.reset();
}

void Pages::FinishRecoveryWrites() {
  if (recoveryWriter_) recoveryWriter_->finish();
}

void Pages::AbandonRecoveryWrites() {
  if (recoveryWriter_) recoveryWriter_->abandon();
}

void Pages::TimerRecovery_Timer() {
  MainWindow& w = p.Form1;
  // Whatever changes a page moves, loads, unloads or rewrites an element of the symbol
  // store (a page switch and the slots included): its count is the pages' change signal,
  // read at no cost, so an idle program compares two numbers a second.
  const std::uint64_t signal = w.Label3.changeCount() + w.Image3.changeCount();
  if (signal != recoverySignal_) {
    recoverySignal_ = signal;
    quietSeconds_ = 0;
    if (!recoveryDue_) dueSeconds_ = 0;
    recoveryDue_ = true;
  } else if (recoveryDue_) {
    ++quietSeconds_;
  }
  // What the writer found since the last tick: pages kept nowhere are said, and tried again.
  watchRecoveryWrites();
  if (p.closed() || !recoveryDue_) return;
  ++dueSeconds_;
  if (quietSeconds_ < kRecoveryQuietSeconds && dueSeconds_ < kRecoveryLongestSeconds) return;
  recoveryDue_ = false;
  keepRecoveryCurrent();
}

void Pages::keepRecoveryCurrent(bool again) {
  std::string text;
  if (!pagesToKeep(&text)) text.clear();
  const std::optional<PageStamp> stamp =
      text.empty() ? std::nullopt : std::optional<PageStamp>(PageStamp::of(text));
  if (stamp == recoveryKept_ && !again) return;
  // Nothing to keep: a file this run wrote goes (it never wrote one when it chose none).
  if (text.empty()) {
    if (recoveryWriter_) recoveryWriter_->remove();
  } else {
    recoveryWriter().replace(ownRecoveryPlaces(), std::move(text));
  }
  recoveryKept_ = stamp;
}

void Pages::OfferRecoveryFile() {
  // Beside the options file first, then where a run that could not write there kept them.
  for (const std::string& path : RecoveryNames()) {
    if (p.closed()) return;
    if (!p.files.exists(path)) continue;
    // A refusal sets the file aside (the pages in it are the only copy there is).
    offeringRecovery_ = true;
    const bool last = offerRecovery(path);
    offeringRecovery_ = false;
    if (last) return;
  }
}

bool Pages::offerRecovery(const std::string& path) {
  const std::optional<std::string> bytes = readPageFile(path);
  if (!bytes) return false;
  PageFileProblem problem = PageFileProblem::None;
  std::optional<std::vector<PageFileRecord>> records = checkPageFile(*bytes, &problem);
  if (!records) {
    tellNoPageFile(problem);
    return false;
  }
  // A file without a page in it gives nothing back.
  if (records->empty()) {
    p.files.remove(path);
    return false;
  }
  if (!roomForRecords(records->size())) return false;

  const bool en = english();
  const bool one = pageFilePageList(*records).find(',') == std::string::npos;
  const std::string list = spokenPageList(*records);
  ChoiceRequest box;
  box.title = en ? "Unsaved pages" : "Незаписани страници";
  if (en)
    box.prompt = "The last run ended before " + std::string(one ? "page " : "pages ") + list +
                 (one ? " was saved. It was" : " were saved. They were") + " kept in this file:\n" +
                 path;
  else
    box.prompt = "Последното пускане завърши, преди " +
                 std::string(one ? "страница " : "страници ") + list +
                 (one ? " да бъде записана. Тя е запазена" : " да бъдат записани. Те са запазени") +
                 " в този файл:\n" + path;
  box.icon = msgbox::Question;
  box.buttons = en ? std::vector<std::string>{"Load", "Keep for the next start", "Discard"}
                   : std::vector<std::string>{"Зареди", "Запази за следващото пускане", "Изхвърли"};
  // Return loads, Escape keeps; only a deliberate choice of its own button discards.
  box.defaultButton = kRecoveryLoad;
  box.escapeButton = kRecoveryKeep;
  const int answer = p.desktop.choiceBox(box);
  // The run ended while the box was open: the file stays as it was, for the next start.
  if (p.closed()) return true;
  if (answer == kRecoveryDiscard) {
    p.files.remove(path);
    return false;
  }
  if (answer != kRecoveryLoad) return false;
  // The pages now hold what the file holds: it is this run's recovery file, kept until they
  // are saved. They are in no file the user chose, so they count as changed.
  adoptRecoveryFile(path);
  recoveryKept_ = PageStamp::of(*bytes);
  load_.begin(std::move(*records), false);
  ZarediOtFile();
  return true;
}

void Pages::adoptRecoveryFile(const std::string& path) {
  recoveryWriter().adopt(path);
  ownRecovery_ = path;
}

std::string Pages::recoveryFileOf(const std::string& name) {
  const std::optional<FileIdentity> file = p.files.identity(name);
  if (!file) return {};
  for (const std::string& path : RecoveryNames()) {
    const std::optional<FileIdentity> recovery = p.files.identity(path);
    if (recovery && recovery->sameFile(*file)) return path;
  }
  return {};
}

void Pages::watchRecoveryWrites() {
  if (!recoveryWriter_) return;
  const std::optional<std::vector<std::string>> failed = recoveryWriter_->lastFailure();
  if (!failed) {
    // Kept (or nothing left to keep): a later failure is told again.
    toldKeptNowhere_ = false;
    retryWait_ = retryIn_ = 0;
    return;
  }
  if (!toldKeptNowhere_) {
    // Set first: the box waits with the event loop running, and this timer goes on ticking.
    toldKeptNowhere_ = true;
    tellKeptNowhere(*failed);
    if (p.closed()) return;
  }
  // Tried again without a change of the pages, which may not come: at once, then 1, 2, 4 ...
  // seconds after the try before, at least every kRecoveryLongestSeconds; not every second,
  // which would write to a full disk all day.
  if (recoveryWriter_->busy()) return;
  if (retryIn_ > 0) {
    --retryIn_;
    return;
  }
  retryWait_ = retryWait_ == 0 ? 1 : std::min(2 * retryWait_, kRecoveryLongestSeconds);
  retryIn_ = retryWait_ - 1;
  keepRecoveryCurrent(true);
}

void Pages::tellKeptNowhere(const std::vector<std::string>& places) {
  const bool en = english();
  std::string prompt = en ? "The changed pages could not be kept in a recovery file in any of "
                            "these places:"
                          : "Променените страници не можаха да бъдат запазени във файл за "
                            "възстановяване на нито едно от тези места:";
  for (const std::string& place : places) prompt += "\n" + place;
  prompt += en ? "\nSave them: until this is put right, only a file you save keeps them."
               : "\nЗапишете ги: докато това не се оправи, само записан файл ги пази.";
  p.desktop.messageBox(prompt, msgbox::OkOnly | msgbox::Exclamation, kFileBoxTitle);
}

}  // namespace kel
