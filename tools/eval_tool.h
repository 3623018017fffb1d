// The evaluator's test tool: each input line is evaluated by a fresh program on the
// headless desktop, and one line is written for it. The program itself never uses it.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/files.h"

namespace kel::tools {

// No options file and no pictures: every program starts from the design state. With a
// folder, the pictures of its Simbol/ are found (the options file still is not).
class NoFiles : public Files {
 public:
  NoFiles() = default;
  explicit NoFiles(std::string folder) : folder_(std::move(folder)) {}
  std::string programFolder() const override { return folder_; }
  FileRead read(const std::string&, std::uintmax_t) override { return {}; }
  bool replaceContent(const std::string&, const std::string&, int*) override { return false; }
  bool exists(const std::string&) override { return false; }
  bool remove(const std::string&) override { return false; }
  std::optional<FileIdentity> identity(const std::string&) override { return std::nullopt; }
  std::string resolvedPath(const std::string& path) override { return path; }
  std::string stateFolder() const override { return {}; }
  bool makePrivateFolder(const std::string&) override { return false; }
  std::optional<std::string> moveAside(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  FolderLock lockProgramFolder() override { return {}; }

 private:
  std::string folder_;
};

enum class EvalMode {
  Evaluate,   // the line is the linear formula Text1, evaluated as the result row does
  Normalise,  // the line is EvalExpression, put through NormalizeExpression
  Engine,     // the line is a script expression, evaluated by the script engine alone
  Read,       // the line is a page file's text: its page 1 placed, dragged over and read
};

struct EvalOptions {
  EvalMode mode = EvalMode::Evaluate;
  bool degrees = false;  // Gradusi on "deg" (else "rad")
  bool round = false;    // Check1 ticked
};

// The folder of the running executable (the build puts Simbol/ beside the tools); "." when
// it cannot be found.
std::string executableFolder();

// What the tool writes for one input line, without the line end. The pictures a page places
// are looked for in programFolder's Simbol/.
std::string evalLine(const EvalOptions& options, std::string_view line,
                     const std::string& programFolder = {});

// The whole tool: arguments, standard input to standard output. Returns the exit status.
// The pictures a page places are looked for in programFolder's Simbol/.
int runEvalTool(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                std::ostream& err, const std::string& programFolder = {});

}  // namespace kel::tools
