// File access. The program folder is the folder of the executable: the options file
// and the symbol pictures live there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kel {

// What reading a file found.
enum class ReadOutcome {
  Read,        // the whole content
  Missing,     // no file of that name
  Refused,     // not a regular file (a folder, a FIFO, a device), or larger than allowed
  Unreadable,  // there, but it could not be opened or read (permissions, I/O errors)
};

struct FileRead {
  ReadOutcome outcome = ReadOutcome::Missing;
  std::string content;    // empty unless Read
  bool tooLarge = false;  // Refused for its size alone
};

// Reads a whole regular file of at most maxBytes. Never blocks and never opens what is
// not a regular file: a FIFO or a device of that name is refused, not opened.
FileRead readRegularFile(const std::string& path, std::uintmax_t maxBytes);

class Files {
 public:
  virtual ~Files() = default;
  virtual std::string programFolder() const = 0;
  // A file's content as bytes, and what was found (readRegularFile).
  virtual FileRead read(const std::string& path, std::uintmax_t maxBytes) = 0;
  // The content; nothing when it is missing, unreadable, refused.
  std::optional<std::string> readAll(const std::string& path, std::uintmax_t maxBytes) {
    FileRead r = read(path, maxBytes);
    if (r.outcome != ReadOutcome::Read) return std::nullopt;
    return std::move(r.content);
  }
  // Replaces the file's content: written to a new temporary file of a unique name in the
  // same folder, flushed, then renamed over the old one, so a failed write never leaves
  // an empty or partial file behind. A name that is a symbolic link stands for the file
  // it names: that file is replaced, in its own folder, and the link stays. The temporary
  // files earlier replacements of the same file left behind are removed first. An existing
  // file that the user may not write, or that is not a regular file, is left as it is.
  // False when the file was not replaced.
  virtual bool replaceContent(const std::string& path, const std::string& content) = 0;
  virtual bool exists(const std::string& path) = 0;
  // Removes a file (not a folder); false when nothing was removed.
  virtual bool remove(const std::string& path) = 0;
};

// Files on the local disk, with the program folder given at construction.
class LocalFiles : public Files {
 public:
  explicit LocalFiles(std::string programFolder) : folder_(std::move(programFolder)) {}
  std::string programFolder() const override { return folder_; }
  FileRead read(const std::string& path, std::uintmax_t maxBytes) override;
  bool replaceContent(const std::string& path, const std::string& content) override;
  bool exists(const std::string& path) override;
  bool remove(const std::string& path) override;

 private:
  std::string folder_;
};

// Joins a folder and a file name with one separator.
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace kel
