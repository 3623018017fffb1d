// A program on the headless desktop, with its own program folder on disk.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/program.h"
#include "platform/files.h"
#include "platform/sim/sim_desktop.h"

namespace kel::test {

class TempFolder {
 public:
  TempFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kelvarin-XXXXXX").string();
    path_ = mkdtemp(tmpl.data()) ? tmpl : std::string();
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return joinPath(path_, name); }

  void write(const std::string& name, const std::string& content) const {
    std::ofstream(file(name), std::ios::binary) << content;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Makes the project's symbol pictures part of this program folder.
  void linkSimbol() const {
    std::error_code ec;
    std::filesystem::create_directory_symlink(std::string(KEL_SOURCE_DIR) + "/Simbol",
                                              file("Simbol"), ec);
  }

 private:
  std::string path_;
};

struct SimProgram {
  // The user's state folder is the test's own too, outside the program folder.
  SimProgram() : files(folder.path(), stateFolder()) {
    prog = std::make_unique<Program>(host.desktop, files, host.scheduler);
  }
  Program& p() { return *prog; }
  MainWindow& w() { return prog->Form1; }
  SimDesktop& desk() { return host.desktop; }

  std::string stateFolder() const { return stateHome.file("kelvarin"); }

  SimHost host;
  TempFolder folder;
  TempFolder stateHome;
  LocalFiles files;
  std::unique_ptr<Program> prog;
};

}  // namespace kel::test
