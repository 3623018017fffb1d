// clsOpenSave: the Open and Save dialogs, with the settings they are shown with and, once
// the user has chosen a file, what was chosen.
//
// The classic filter form "Text Files (*.txt)|*.txt" is stored with NUL characters in place
// of "|" and two NULs at the end, and read back in the "|" form. On this platform the
// classic folder "C:\" stands for the user's home folder, a filter entry is named as Qt
// names it ("Text Files (*.txt)"), and no file-name buffer limits the chosen path.
#pragma once

#include <cstdint>
#include <string>

namespace kel {

class Desktop;

// OPENFILENAME flags the dialogs honour.
namespace ofn {
inline constexpr std::int32_t OverwritePrompt = 0x2;
inline constexpr std::int32_t FileMustExist = 0x1000;
}  // namespace ofn

class clsOpenSave {
 public:
  explicit clsOpenSave(Desktop& desktop);

  std::int16_t FileExt() const { return fileExt_; }
  void setFileExt(std::int16_t v) { fileExt_ = v; }
  std::int32_t hwnd() const { return hwnd_; }
  void sethwnd(std::int32_t v) { hwnd_ = v; }

  // Show the dialog, modal. When the user chooses a file, FileName, FileTitle, FileExt and
  // FilterIndex tell what; a cancelled dialog changes nothing (callers empty FileName
  // first and find it still empty). A FileName longer than MaxFileSize + 1 characters
  // leaves no room in the dialog's buffer: that is an error (std::length_error).
  void ShowSave();
  void ShowOpen();

  std::int16_t MaxFileSize() const { return maxFileSize_; }
  void setMaxFileSize(std::int16_t v) { maxFileSize_ = v; }
  const std::string& InitDir() const { return initDir_; }
  void setInitDir(std::string v) { initDir_ = std::move(v); }
  std::int32_t Flags() const { return flags_; }
  void setFlags(std::int32_t v) { flags_ = v; }
  // Get gives the "|" form; the stored form is what the dialog is handed.
  std::string Filter() const;
  void setFilter(const std::string& v);
  const std::string& storedFilter() const { return filter_; }
  std::int16_t FilterIndex() const { return filterIndex_; }
  void setFilterIndex(std::int16_t v) { filterIndex_ = v; }
  const std::string& FileTitle() const { return fileTitle_; }
  void setFileTitle(std::string v) { fileTitle_ = std::move(v); }
  const std::string& FileName() const { return fileName_; }
  void setFileName(std::string v) { fileName_ = std::move(v); }
  const std::string& DialogTitle() const { return dialogTitle_; }
  void setDialogTitle(std::string v) { dialogTitle_ = std::move(v); }
  const std::string& DefaultExt() const { return defaultExt_; }
  void setDefaultExt(std::string v) { defaultExt_ = std::move(v); }
  bool CancelError() const { return cancelError_; }
  void setCancelError(bool v) { cancelError_ = v; }

 private:
  void Class_Initialize();
  void show(bool save);

  Desktop& desktop_;
  std::int16_t fileExt_ = 0;
  std::int32_t hwnd_ = 0;
  std::int16_t maxFileSize_ = 0;
  std::string initDir_;
  std::int32_t flags_ = 0;
  std::string filter_;
  std::int16_t filterIndex_ = 0;
  std::string fileTitle_;
  std::string fileName_;
  std::string dialogTitle_;
  std::string defaultExt_;
  bool cancelError_ = false;
};

}  // namespace kel
