// Saving all twelve pages to a page file and loading them back.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "app/options.h"
#include "app/program.h"
#include "platform/steps.h"
#include "platform/units.h"

namespace kel {

namespace {

// A pasted picture that stands for no symbol of the palette.
constexpr const char* kPastedKind = "simvol";
constexpr const char* kSaveFilter = "Text Files(*.txt)|*.txt";
constexpr const char* kLoadFilter = "Text Files (*.txt)|*.txt";

// Sets PlacingFromFile for one placement, and clears it however the placement ends. A
// fraction the user left open (on this page or another) is no part of the file: the
// placers would stretch its bar by every symbol placed, so it is set aside meanwhile.
class FilePlacement {
 public:
  explicit FilePlacement(Program& p) : p_(p), barOpen_(p.BarOpen) {
    p_.PlacingFromFile = 1;
    p_.BarOpen = 0;
  }
  ~FilePlacement() {
    p_.PlacingFromFile = 0;
    p_.BarOpen = barOpen_;
  }
  FilePlacement(const FilePlacement&) = delete;
  FilePlacement& operator=(const FilePlacement&) = delete;

 private:
  Program& p_;
  int barOpen_;
};

std::string replaceFirst(std::string s, const std::string& from, const std::string& to) {
  const size_t at = s.find(from);
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

}  // namespace

clsOpenSave& Pages::FileDialog() {
  if (!fileDialog_) fileDialog_ = std::make_unique<clsOpenSave>(p.desktop);
  return *fileDialog_;
}

void Pages::setWindowState(int state) {
  MainWindow& w = p.Form1;
  const WindowState s = static_cast<WindowState>(state);
  if (w.State == s) return;
  w.State = s;
  // A change of state is a resize: the layout pass runs (and a minimise stops the
  // background group, so what is typed into a dialog is not typed into the page).
  if (w.Resize) {
    auto resize = w.Resize;
    resize();
  }
}

std::string Pages::askFileName(bool save, const char* filter) {
  std::string name;
  // A dialog that fails is one that chose nothing.
  skipOnFailure([&] {
    clsOpenSave& d = FileDialog();
    d.setFileName("");
    d.setFilter(filter);
    if (save)
      d.ShowSave();
    else
      d.ShowOpen();
    name = d.FileName();
  });
  return name;
}

void Pages::tellFileProblem(const std::string& text, const std::string& path,
                            const std::string& reason) {
  std::string prompt = text + path;
  // After the name, on a line of its own: a name may hold anything.
  if (!reason.empty()) prompt += (english() ? "\nReason: " : "\nПричина: ") + reason + ".";
  if (offeringRecovery_) {
    // The pages in it are the only copy there is: they go aside, never away.
    if (const std::optional<std::string> aside = SetAsideRefusedRecovery(path))
      prompt += (english() ? "\nIt is kept as: " : "\nЗапазен е като: ") + *aside;
    else
      prompt += english() ? "\nIt is left as it is." : "\nОставен е както е.";
  }
  p.desktop.messageBox(prompt, msgbox::OkOnly | msgbox::Exclamation, kFileBoxTitle);
}

// --- saving --------------------------------------------------------------------------------

void Pages::Command15_Click() {
  saveWindowState_ = static_cast<int>(p.Form1.State.get());
  Command73_Click();
}

void Pages::Command73_Click() { ZapisNaVsichko(); }

void Pages::ZapisNaVsichko() {
  SaveReturnPage = PageShown();
  PageSaveIndex = 0;
  Text2.clear();
  walkPages_ = {};
  Command72_Click(0);
  p.Form1.Timer31.setEnabled(true);
}

void Pages::appendPageRecords(std::string& out) {
  const int page = PageShown();
  for (int i = 1; i <= p.SymbolCount && i <= kMaxSymbols; ++i)
    if (const Control* c = p.surface.SymbolElement(i); c && c->Top >= 0)
      appendSymbolRecord(out, page, i, c->Left, c->Top);
}

void Pages::appendSymbolRecord(std::string& out, int page, int i, double left, double top) {
  MainWindow& w = p.Form1;
  const std::string& kind = p.SymbolKind[static_cast<size_t>(i)];
  PageFileRecord r;
  r.page = page;
  if (kind == kTextKind) {
    if (!w.Label3.IsLoaded(i)) return;
    const Label& l = w.Label3[i];
    r.what = l.Caption;
    r.left = left;
    r.middle = top + l.Height / 2;
    r.size = l.Font.Size;
    r.bold = l.Font.Bold;
  } else {
    if (!w.Image3.IsLoaded(i)) return;
    const Image& img = w.Image3[i];
    r.picture = true;
    r.what = kind;
    if (kind == kPastedKind) {
      // Saved under the picture it shows, so that it comes back as that picture.
      const std::string& path = img.Picture->Path;
      const size_t slash = path.rfind('/');
      std::string stem = path.substr(slash == std::string::npos ? 0 : slash + 1);
      if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".gif") == 0) {
        stem.resize(stem.size() - 4);
        if (p.surface.PictureFile(stem) && stem != kTextKind) r.what = stem;
      }
    }
    r.left = left;
    r.middle = IsFractionBarKind(kind) ? top + img.Height / 30 : top + img.Height * 1.4955 / 3;
    r.size = img.Width;
  }
  appendPageFileRecord(out, r);
}

std::string Pages::PageRecordsText(int page) {
  std::string out;
  if (page < 1 || page > kPages) return out;
  if (page == PageShown()) {
    appendPageRecords(out);
    return out;
  }
  // Another page: its symbols are where its slot says they go back to, as the save walk
  // would find them on entering it.
  for (const SlotEntry& e : PageSlots[static_cast<size_t>(page - 1)].entries) {
    if (e.index < 1 || e.index > p.SymbolCount || e.index > kMaxSymbols) continue;
    if (e.text != (p.SymbolKind[static_cast<size_t>(e.index)] == kTextKind)) continue;
    appendSymbolRecord(out, page, e.index, e.left, e.top);
  }
  return out;
}

std::string Pages::PageRecordsToKeep(int page) {
  if (!load_.reaches(page)) return PageRecordsText(page);
  // A page the load has not reached yet loses what it holds when it does.
  std::string out = load_.placing(page) ? PageRecordsText(page) : std::string();
  load_.appendPending(page, out);
  return out;
}

std::string Pages::AllPagesText() {
  std::string out;
  pagesToKeep(&out);
  return out;
}

bool Pages::PagesChanged() { return pagesToKeep(nullptr); }

bool Pages::pagesToKeep(std::string* all) {
  bool changed = false;
  for (int page = 1; page <= kPages; ++page) {
    PageStamp saved = savedPages_[static_cast<size_t>(page - 1)];
    // A page a file the user chose is still filling will be as that file has it.
    if (load_.asSaved() && load_.reaches(page)) {
      std::string file;
      load_.appendAll(page, file);
      saved = PageStamp::of(file);
    }
    const std::string text = PageRecordsToKeep(page);
    if (PageStamp::of(text) != saved) {
      changed = true;
      if (!all) return true;
    }
    if (all) *all += text;
  }
  return changed;
}

void Pages::Timer31_Timer() {
  MainWindow& w = p.Form1;
  if (PageSaveIndex <= 11) {
    // A page button clicked between two ticks would have the walk take that page out of
    // turn and miss its own: each page once, in order, or the file does not load back.
    if (PageShown() != PageSaveIndex + 1) Command72_Click(PageSaveIndex);
    const size_t from = Text2.size();
    appendPageRecords(Text2);
    walkPages_[static_cast<size_t>(PageSaveIndex)] =
        PageStamp::of(std::string_view(Text2).substr(from));
    PageSaveIndex += 1;
    if (PageSaveIndex <= 11) Command72_Click(PageSaveIndex);
    return;
  }
  w.Timer31.setEnabled(false);
  Command72_Click(SaveReturnPage - 1);
  setWindowState(static_cast<int>(WindowState::Minimized));
  const std::string name = askFileName(true, kSaveFilter);
  bool written = false;
  if (!name.empty()) {
    // Written whole beside the old file and then put in its place: a save that fails
    // leaves the old file as it was, and the pages stay in the program.
    int error = kKeptByTheProgram;
    // Over one of the program's own files the pages would be lost: the recovery writer
    // would take the file away once they count as saved, the options line would replace
    // them at the end. The user picks another name; the pages and those files stay.
    if (!keptByTheProgram(name)) written = p.files.replaceContent(name, Text2, &error);
    if (written) {
      savedPages_ = walkPages_;
      // Saved, the pages need no recovery file (unless they changed during the walk).
      keepRecoveryCurrent();
      p.desktop.messageBox("Вашето име за запис е: " + name, msgbox::OkOnly | msgbox::Information,
                           kFileBoxTitle);
    } else {
      tellFileProblem(
          english() ? "The file could not be saved: " : "Файлът не можа да бъде записан: ", name,
          writeErrorText(error));
    }
  }
  setWindowState(saveWindowState_);
  // The close box's Yes: the program ends once its pages are in the file, and not before.
  const bool close = closeAfterSave_ && written;
  closeAfterSave_ = false;
  if (close) p.close();
}

bool Pages::keptByTheProgram(const std::string& name) {
  const std::string folder = p.files.programFolder();
  // Every recovery file's name, made or not: the next start would offer a page file saved
  // under one, and its Discard would delete it; this run may write the first that is free.
  std::vector<std::string> own = RecoveryNames();
  own.push_back(joinPath(folder, kOptionsFileName));
  own.push_back(joinPath(folder, kLockFileName));
  own.push_back(stateLockPath(p.files.stateFolder(), folder));
  // One an earlier run left that this run kept its pages in: one of those names, unless the
  // state folder has moved since.
  own.push_back(ownRecovery_);
  own.push_back(ownFallback_);
  const std::string target = p.files.resolvedPath(name);
  const std::optional<FileIdentity> file = p.files.identity(name);
  for (const std::string& path : own) {
    if (path.empty()) continue;
    if (p.files.resolvedPath(path) == target) return true;
    if (!file) continue;
    const std::optional<FileIdentity> ours = p.files.identity(path);
    if (ours && ours->sameFile(*file)) return true;
  }
  return false;
}

void Pages::SaveAndClose() {
  closeAfterSave_ = true;
  Command15_Click();
}

// --- loading -------------------------------------------------------------------------------

void Pages::Command16_Click() {
  MainWindow& w = p.Form1;
  p.surface.ZapomniTuk2();
  const int state = static_cast<int>(w.State.get());
  setWindowState(static_cast<int>(WindowState::Minimized));
  const std::string name = askFileName(false, kLoadFilter);
  if (!name.empty()) {
    setWindowState(state);
    if (const std::optional<std::string> text = readPageFile(name)) {
      // One of the program's recovery files holds pages in no file the user chose: loaded,
      // they are kept in it until they are saved, as when its offer is answered Load.
      openedRecovery_ = recoveryFileOf(name);
      Command75_Click(*text);
      openedRecovery_.clear();
    }
  }
  setWindowState(state);
}

std::optional<std::string> Pages::readPageFile(const std::string& path) {
  loadPath_ = path;
  FileRead file = p.files.read(path, kMaxPageFileBytes);
  if (file.outcome == ReadOutcome::Read) return std::move(file.content);
  // Nothing of an earlier file is loaded in its place.
  if (file.outcome == ReadOutcome::Refused)
    tellNoPageFile(file.tooLarge ? PageFileProblem::TooLarge : PageFileProblem::NotAFile);
  else
    tellFileProblem(
        english() ? "The file could not be read: " : "Файлът не можа да бъде прочетен: ", path, {});
  return std::nullopt;
}

std::optional<std::vector<PageFileRecord>> Pages::checkPageFile(const std::string& bytes,
                                                                PageFileProblem* problem) {
  PageFileProblem why = PageFileProblem::None;
  if (!problem) problem = &why;
  *problem = PageFileProblem::None;
  const std::optional<std::string> text = decodePageFileBytes(bytes);
  if (!text) {
    *problem = PageFileProblem::NotText;
    return std::nullopt;
  }
  std::optional<std::vector<PageFileRecord>> records = parsePageFile(*text, problem);
  if (!records) return std::nullopt;
  // A picture is looked up only under a name that may be, and must be there: one missing
  // from the folder would be placed as an element nobody sees. The text kind is no picture.
  MainWindow& w = p.Form1;
  std::map<std::string, double> pictureHeight;
  for (const PageFileRecord& r : *records) {
    if (!r.picture || pictureHeight.count(r.what)) continue;
    const std::optional<std::string> file = p.surface.PictureFile(r.what);
    std::optional<Picture> pic;
    if (r.what != kTextKind && file) pic = p.desktop.loadPicture(*file);
    if (!pic) {
      *problem = PageFileProblem::BadPicture;
      return std::nullopt;
    }
    // The height the placer gives the element (a stretched template keeps its own).
    const Image& like = w.Image3[0];
    pictureHeight[r.what] = like.Stretch ? like.Height.get() : pic->HeightPx * kTwipsPerPixel;
  }
  // A symbol placed with its Top above the page stands where deleted symbols are kept: no
  // save writes it again, and the next one would lose it. The Top is found as the placers
  // find it: a caption's middle line on the record's, a picture's at 1.4955 / 3 of its
  // height, a bar's Top + Height / 30.
  const Label& caption = w.Label3[0];
  std::map<std::pair<double, bool>, double> textHeight;
  for (const PageFileRecord& r : *records) {
    double top = 0;
    if (r.picture) {
      const double h = pictureHeight[r.what];
      top = IsFractionBarKind(r.what) ? r.middle - h / 30 : r.middle - h * 1.4955 / 3;
    } else {
      // One line of the font, whatever the caption: measured once a font, not a record.
      const auto [at, fresh] = textHeight.try_emplace({r.size, r.bold}, caption.Height.get());
      if (fresh && caption.AutoSize) {
        double& height = at->second;
        Font f = caption.Font;
        f.Size = r.size;
        f.Bold = r.bold;
        skipOnFailure([&] { height = p.desktop.labelHeight(f); });
      }
      top = r.middle - at->second / 2;
    }
    if (top < 0) {
      *problem = PageFileProblem::AbovePage;
      return std::nullopt;
    }
  }
  return records;
}

void Pages::Command75_Click(const std::string& loadedText) {
  PageFileProblem problem = PageFileProblem::None;
  std::optional<std::vector<PageFileRecord>> records = checkPageFile(loadedText, &problem);
  if (!records) {
    tellNoPageFile(problem);
    return;
  }
  if (!roomForRecords(records->size())) return;
  const std::string list = pageFilePageList(*records);
  std::string text = "Файлът ще се зареди на страници " + list + " и там всичко ще бъде изтрито!";
  if (list.find(',') == std::string::npos) text = replaceFirst(text, "страници", "страница");
  if (p.desktop.messageBox(text, msgbox::OkCancel, "Внимание!") != msgbox::Ok) return;

  // A load still under way ends here; this file's pages are placed from its start, and
  // count as saved once placed. Recovered pages still to be placed are in no file to load
  // them from again: they are placed first.
  if (load_.active() && !load_.asSaved()) load_.finish();
  const bool recovered = !openedRecovery_.empty();
  if (recovered) {
    adoptRecoveryFile(openedRecovery_);
    // Written again once the pages are placed, also when they come to what the file holds:
    // a file this run kept its pages in before goes with that write.
    recoveryKept_.reset();
  }
  load_.begin(std::move(*records), !recovered);
  ZarediOtFile();
}

bool Pages::roomForRecords(std::size_t count) {
  // Placed symbols are new elements: a file they do not fit in is not begun, so no page
  // is cleared for symbols that could not be placed.
  if (static_cast<long long>(p.SymbolCount) + static_cast<long long>(count) <= kMaxSymbols)
    return true;
  tellFileProblem(english() ? "The symbols of the file do not fit on the pages; clear all and "
                              "load it again: "
                            : "Символите на файла не се побират на страниците; изчистете всичко "
                              "и заредете отново: ",
                  loadPath_, {});
  return false;
}

void Pages::PlaceFileRecord(const PageFileRecord& r) {
  MainWindow& w = p.Form1;
  FilePlacement placing(p);
  p.InsertX = r.left;
  p.InsertY = r.middle;
  if (r.picture) {
    p.FileBarWidth = r.size;
    const int before = p.SymbolCount;
    p.surface.PlacePictureSymbol(r.what);
    const int n = p.SymbolCount;
    // The file holds a bar's Top + Height / 30: it goes back to the Top it had.
    if (n != before && IsFractionBarKind(r.what) && w.Image3.IsLoaded(n))
      w.Image3[n].Top = r.middle - w.Image3[n].Height / 30;
  } else {
    p.surface.PlaceTextSymbol(r.what, r.size, r.bold);
  }
}

bool Pages::PlacePageOfFile(const std::string& bytes, int page) {
  const std::optional<std::vector<PageFileRecord>> records = checkPageFile(bytes);
  if (!records) return false;
  for (const PageFileRecord& r : *records)
    if (r.page == page) skipOnFailure([&] { PlaceFileRecord(r); });
  return true;
}

void Pages::ZarediOtFile() {
  const std::optional<int> filled = load_.step();
  if (filled && load_.asSaved())
    savedPages_[static_cast<size_t>(*filled - 1)] = PageStamp::of(PageRecordsText(*filled));
}

void Pages::TimerPlaceStep_Timer() {
  if (load_.resumePage()) ZarediOtFile();
}

void Pages::Timer30_Timer() {
  if (load_.enterNextPage()) ZarediOtFile();
}

void Pages::tellNoPageFile(PageFileProblem problem) {
  tellFileProblem(english() ? "This is not a page file of this program: "
                            : "Това не е файл със страници на тази програма: ",
                  loadPath_, problemText(problem));
}

std::string Pages::problemText(PageFileProblem problem) const {
  const bool en = english();
  switch (problem) {
    case PageFileProblem::TooLarge:
      return en ? "it is larger than 16 MB" : "по-голям е от 16 MB";
    case PageFileProblem::NotAFile:
      return en ? "it is a folder or a device, not a file" : "папка или устройство е, не файл";
    case PageFileProblem::NotText:
      return en ? "it is not text" : "не е текст";
    case PageFileProblem::NotSixFields:
      return en ? "a record that is not six fields" : "запис, който не е от шест полета";
    case PageFileProblem::PageNumber:
      return en ? "a page number other than 1 to 12" : "номер на страница извън 1 до 12";
    case PageFileProblem::PagesOutOfOrder:
      return en ? "pages out of order" : "страниците не са подредени";
    case PageFileProblem::BadNumber:
      return en ? "a number that is none, or out of range"
                : "число, което не е число или е извън границите";
    case PageFileProblem::SixthField:
      return en ? "a sixth field other than True or False, or not empty for a picture"
                : "шесто поле, различно от True и False, или непразно за картинка";
    case PageFileProblem::LongCaption:
      return en ? "a caption longer than 1000 bytes" : "надпис, по-дълъг от 1000 байта";
    case PageFileProblem::BadPicture:
      return en ? "an unknown or unsafe picture name" : "непознато или опасно име на картинка";
    case PageFileProblem::AbovePage:
      return en ? "a symbol above the top of the page" : "символ над горния край на страницата";
    case PageFileProblem::None:
      break;
  }
  return {};
}

std::string Pages::writeErrorText(int error) const {
  const bool en = english();
  switch (error) {
    case kNotARegularFile:
      return en ? "a folder or a device has that name" : "папка или устройство е с това име";
    case EACCES:
    case EPERM:
      return en ? "it may not be written" : "не може да бъде записван";
    case EROFS:
      return en ? "the disk is read-only" : "дискът е само за четене";
    case ENOSPC:
    case EDQUOT:
      return en ? "the disk is full" : "дискът е пълен";
    case EFBIG:
      return en ? "the file would be larger than allowed" : "файлът би бил по-голям от позволеното";
    case ENOENT:
    case ENOTDIR:
      return en ? "the folder does not exist" : "папката не съществува";
    case ENAMETOOLONG:
      return en ? "the name is too long" : "името е твърде дълго";
    case kKeptByTheProgram:
      return en ? "the program keeps its own data in this file; choose another name"
                : "програмата пази в този файл свои данни; изберете друго име";
    case 0:
      return {};
    default:
      // The system's own words, in whatever language it speaks.
      return std::strerror(error);
  }
}

bool Pages::english() const { return p.app.EnglishCaptions(); }

}  // namespace kel
