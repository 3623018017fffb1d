// Saving all twelve pages to a page file and loading them back.
#include <exception>
#include <string>

#include "app/program.h"
#include "platform/steps.h"
#include "platform/units.h"

namespace kel {

namespace {

constexpr const char* kTextKind = "bukva";
// A pasted picture that stands for no symbol of the palette.
constexpr const char* kPastedKind = "simvol";
constexpr const char* kMessageTitle = "Plavetra";
constexpr const char* kSaveFilter = "Text Files(*.txt)|*.txt";
constexpr const char* kLoadFilter = "Text Files (*.txt)|*.txt";

bool isFractionBar(const std::string& kind) {
  const std::optional<double> v = toNumber(kind);
  return v && *v == 35;
}

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

void Pages::tellFileProblem(const std::string& text, const std::string& path) {
  p.desktop.messageBox(text + path, msgbox::OkOnly | msgbox::Exclamation, kMessageTitle);
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
  Command72_Click(0);
  p.Form1.Timer31.setEnabled(true);
}

void Pages::appendPageRecords(std::string& out) {
  MainWindow& w = p.Form1;
  const int page = PageShown();
  for (int i = 1; i <= p.SymbolCount && i <= kMaxSymbols; ++i) {
    const std::string& kind = p.SymbolKind[static_cast<size_t>(i)];
    PageFileRecord r;
    r.page = page;
    if (kind == kTextKind) {
      if (!w.Label3.IsLoaded(i)) continue;
      const Label& l = w.Label3[i];
      if (l.Top < 0) continue;
      r.what = l.Caption;
      r.left = l.Left;
      r.middle = l.Top + l.Height / 2;
      r.size = l.Font.Size;
      r.bold = l.Font.Bold;
    } else {
      if (!w.Image3.IsLoaded(i)) continue;
      const Image& img = w.Image3[i];
      if (img.Top < 0) continue;
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
      r.left = img.Left;
      r.middle =
          isFractionBar(kind) ? img.Top + img.Height / 30 : img.Top + img.Height * 1.4955 / 3;
      r.size = img.Width;
    }
    appendPageFileRecord(out, r);
  }
}

void Pages::Timer31_Timer() {
  MainWindow& w = p.Form1;
  if (PageSaveIndex <= 11) {
    // A page button clicked between two ticks would have the walk take that page out of
    // turn and miss its own: each page once, in order, or the file does not load back.
    if (PageShown() != PageSaveIndex + 1) Command72_Click(PageSaveIndex);
    appendPageRecords(Text2);
    PageSaveIndex += 1;
    if (PageSaveIndex <= 11) Command72_Click(PageSaveIndex);
    return;
  }
  w.Timer31.setEnabled(false);
  Command72_Click(SaveReturnPage - 1);
  setWindowState(static_cast<int>(WindowState::Minimized));
  const std::string name = askFileName(true, kSaveFilter);
  if (!name.empty()) {
    // Written whole beside the old file and then put in its place: a save that fails
    // leaves the old file as it was, and the pages stay in the program.
    if (p.files.replaceContent(name, Text2))
      p.desktop.messageBox("Вашето име за запис е: " + name, msgbox::OkOnly | msgbox::Information,
                           kMessageTitle);
    else
      tellFileProblem("Файлът не можа да бъде записан: ", name);
  }
  setWindowState(saveWindowState_);
}

// --- loading -------------------------------------------------------------------------------

void Pages::Command16_Click() {
  MainWindow& w = p.Form1;
  p.surface.ZapomniTuk2();
  const int state = static_cast<int>(w.State.get());
  setWindowState(static_cast<int>(WindowState::Minimized));
  const std::string name = askFileName(false, kLoadFilter);
  if (!name.empty()) {
    loadPath_ = name;
    FileRead file = p.files.read(name, kMaxPageFileBytes);
    setWindowState(state);
    if (file.outcome == ReadOutcome::Read) {
      LoadedText = std::move(file.content);
      Command75_Click();
    } else {
      // Nothing of an earlier file is loaded in its place.
      LoadedText.clear();
      if (file.outcome == ReadOutcome::Refused)
        tellFileProblem("Това не е файл със страници на тази програма: ", name);
      else
        tellFileProblem("Файлът не можа да бъде прочетен: ", name);
    }
  }
  setWindowState(state);
}

std::optional<std::vector<PageFileRecord>> Pages::checkPageFile(const std::string& bytes) {
  const std::optional<std::string> text = decodePageFileBytes(bytes);
  if (!text) return std::nullopt;
  std::optional<std::vector<PageFileRecord>> records = parsePageFile(*text);
  if (!records) return std::nullopt;
  // A picture is looked up only under a name that may be; the text kind is no picture.
  for (const PageFileRecord& r : *records)
    if (r.picture && (r.what == kTextKind || !p.surface.PictureFile(r.what))) return std::nullopt;
  return records;
}

void Pages::Command75_Click() {
  std::optional<std::vector<PageFileRecord>> records = checkPageFile(LoadedText);
  if (!records) {
    tellFileProblem("Това не е файл със страници на тази програма: ", loadPath_);
    return;
  }
  // Placed symbols are new elements: a file they do not fit in is not begun, so no page
  // is cleared for symbols that could not be placed.
  if (static_cast<long long>(p.SymbolCount) + static_cast<long long>(records->size()) >
      kMaxSymbols) {
    tellFileProblem(
        "Символите на файла не се побират на страниците; изчистете всичко и "
        "заредете отново: ",
        loadPath_);
    return;
  }
  const std::string list = pageFilePageList(*records);
  std::string text = "Файлът ще се зареди на страници " + list + " и там всичко ще бъде изтрито!";
  if (list.find(',') == std::string::npos) text = replaceFirst(text, "страници", "страница");
  if (p.desktop.messageBox(text, msgbox::OkCancel, "Внимание!") != msgbox::Ok) return;

  // A load still under way ends here; this file's pages are placed from its start.
  p.Form1.Timer30.setEnabled(false);
  LoadedRecords = std::move(*records);
  LoadResumeIndex = 0;
  Command72_Click(0);
  if (!LoadedRecords.empty() && LoadedRecords.front().page == 1) VsichoGore();
  ZarediOtFile();
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
    if (n != before && isFractionBar(r.what) && w.Image3.IsLoaded(n))
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
  const int shown = PageShown();
  // The placers move the pointer on by every symbol they place; loading leaves it where
  // it was.
  const double pointerX = p.PointerX, pointerY = p.PointerY;
  for (size_t i = LoadResumeIndex; i < LoadedRecords.size(); ++i) {
    const PageFileRecord& r = LoadedRecords[i];
    LoadNextPage = r.page;
    if (r.page > shown) {
      LoadResumeIndex = i;
      p.Form1.Timer30.setEnabled(true);
      break;
    }
    skipOnFailure([&] { PlaceFileRecord(r); });
    LoadResumeIndex = i + 1;
  }
  p.PointerX = pointerX;
  p.PointerY = pointerY;
  p.surface.MovePointerToInsertionPoint();
}

void Pages::Timer30_Timer() {
  p.Form1.Timer30.setEnabled(false);
  if (LoadNextPage < 1 || LoadNextPage > 12) return;
  Command72_Click(LoadNextPage - 1);
  VsichoGore();
  ZarediOtFile();
}

}  // namespace kel
