// File access. The program folder is the folder of the executable: the options file
// and the symbol pictures live there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kel {

class Files {
 public:
  virtual ~Files() = default;
  virtual std::string programFolder() const = 0;
  // The whole content of a file as bytes; nothing when it is missing, unreadable,
  // not a regular file, or larger than maxBytes (such a file is refused, not cut).
  virtual std::optional<std::string> readAll(const std::string& path, std::uintmax_t maxBytes) = 0;
  // Replaces the file's content: written to a temporary file in the same folder,
  // flushed, then renamed over the old one, so a failed write never leaves an empty
  // or partial file behind. False when the file could not be written.
  virtual bool replaceContent(const std::string& path, const std::string& content) = 0;
  virtual bool exists(const std::string& path) = 0;
};

// Files on the local disk, with the program folder given at construction.
class LocalFiles : public Files {
 public:
  explicit LocalFiles(std::string programFolder) : folder_(std::move(programFolder)) {}
  std::string programFolder() const override { return folder_; }
  std::optional<std::string> readAll(const std::string& path, std::uintmax_t maxBytes) override;
  bool replaceContent(const std::string& path, const std::string& content) override;
  bool exists(const std::string& path) override;

 private:
  std::string folder_;
};

// Joins a folder and a file name with one separator.
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace kel
