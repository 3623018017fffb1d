#include "pages/open_save.h"

#include <algorithm>
#include <stdexcept>

#include "platform/desktop.h"

namespace kel {

namespace {

// The classic root folder the dialogs open in by default; here the user's home folder.
bool isClassicRoot(const std::string& dir) {
  return dir.size() == 3 && (dir[0] == 'C' || dir[0] == 'c') && dir[1] == ':' &&
         (dir[2] == '\\' || dir[2] == '/');
}

std::string withoutSurroundingBlanks(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

clsOpenSave::clsOpenSave(Desktop& desktop) : desktop_(desktop) { Class_Initialize(); }

void clsOpenSave::Class_Initialize() {
  cancelError_ = false;
  defaultExt_.clear();
  dialogTitle_.clear();
  fileName_.clear();
  fileTitle_.clear();
  setFilter("All Files (*.*)|*.*");
  filterIndex_ = 1;
  flags_ = 0;
  initDir_ = "C:\\";
  maxFileSize_ = 260;
  hwnd_ = 0;
}

void clsOpenSave::setFilter(const std::string& v) {
  std::string s = v;
  std::replace(s.begin(), s.end(), '|', '\0');
  auto endsWithTwoNuls = [&] {
    return s.size() >= 2 && s[s.size() - 1] == '\0' && s[s.size() - 2] == '\0';
  };
  if (!endsWithTwoNuls()) s += '\0';
  if (!endsWithTwoNuls()) s += '\0';
  filter_ = std::move(s);
}

std::string clsOpenSave::Filter() const {
  std::string s = filter_;
  std::replace(s.begin(), s.end(), '\0', '|');
  if (!s.empty() && s.back() == '|') s.pop_back();
  if (!s.empty() && s.back() == '|') s.pop_back();
  return s;
}

void clsOpenSave::ShowSave() { show(true); }

void clsOpenSave::ShowOpen() { show(false); }

void clsOpenSave::show(bool save) {
  // The dialog's buffer holds MaxFileSize + 1 characters; a longer name does not fit.
  if (static_cast<long>(fileName_.size()) > static_cast<long>(maxFileSize_) + 1)
    throw std::length_error("file name longer than the dialog's buffer");
  FileDialogRequest request;
  request.kind = save ? FileDialogKind::Save : FileDialogKind::Open;
  request.title = dialogTitle_;
  request.folder = isClassicRoot(initDir_) ? std::string() : initDir_;
  request.fileName = fileName_;
  request.filter = Filter();
  request.filterIndex = filterIndex_;
  request.defaultExt = defaultExt_;
  request.confirmOverwrite = (flags_ & ofn::OverwritePrompt) != 0;
  request.mustExist = (flags_ & ofn::FileMustExist) != 0;
  const std::optional<FileDialogChoice> choice = desktop_.fileDialog(request);
  if (!choice) return;
  // The path chosen without the blanks around it, as the classic wrapper takes it: a name
  // typed with a blank after it names the file without one.
  const std::string path = withoutSurroundingBlanks(choice->path);
  if (path.empty()) return;

  const std::size_t slash = path.rfind('/');
  const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  // As the classic dialog reports it: where the extension begins in the path, 0 for a name
  // without one.
  std::size_t ext = 0;
  if (dot != std::string::npos && dot > nameAt) ext = dot + 1;
  fileName_ = path;
  fileTitle_ = withoutSurroundingBlanks(path.substr(nameAt));
  fileExt_ = static_cast<std::int16_t>(std::min<std::size_t>(ext, 32767));
  filterIndex_ = static_cast<std::int16_t>(std::clamp(choice->filterIndex, 1, 32767));
}

}  // namespace kel
