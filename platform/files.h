// File access. The program folder is the folder of the executable: the options file
// and the symbol pictures live there. The state folder is the user's own place for what
// the program folder cannot take ($XDG_STATE_HOME/kelvarin).
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

// A write refused because what stands at the name is no regular file (a folder, a FIFO).
inline constexpr int kNotARegularFile = -1;

struct FileRead {
  ReadOutcome outcome = ReadOutcome::Missing;
  std::string content;    // empty unless Read
  bool tooLarge = false;  // Refused for its size alone
};

// Reads a whole regular file of at most maxBytes. Never blocks and never opens what is
// not a regular file: a FIFO or a device of that name is refused, not opened.
FileRead readRegularFile(const std::string& path, std::uintmax_t maxBytes);

// Which file a name stands for, as it was when it was looked at. Two names of one file (a
// link, a second hard link, another spelling) have the same device and inode; a file put in
// its place since has another inode, and one written over in place since another size or
// modification time.
struct FileIdentity {
  std::uint64_t device = 0, inode = 0;
  std::int64_t size = 0, modifiedNs = 0;
  bool sameFile(const FileIdentity& o) const { return device == o.device && inode == o.inode; }
  bool operator==(const FileIdentity&) const = default;
};

// What taking the program folder for this run found.
struct FolderLock {
  bool taken = true;   // this run may use the folder's files; false: another run holds them
  long holderPid = 0;  // the process that holds them, when it could be told (else 0)
};

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
  // False when the file was not replaced; then *error (when given) says why: an errno
  // value, or kNotARegularFile.
  virtual bool replaceContent(const std::string& path, const std::string& content,
                              int* error = nullptr) = 0;
  virtual bool exists(const std::string& path) = 0;
  // Removes a file (not a folder); false when nothing was removed.
  virtual bool remove(const std::string& path) = 0;
  // The identity of the file a name stands for (symbolic links followed); nothing when no
  // file is there.
  virtual std::optional<FileIdentity> identity(const std::string& path) = 0;
  // The file a name stands for as replaceContent writes it: an absolute path, "." and ".."
  // taken out, every symbolic link on the way followed (one at the end too, also when it
  // leads to no file yet).
  virtual std::string resolvedPath(const std::string& path) = 0;

  // The user's folder for this program's state; empty when there is none.
  virtual std::string stateFolder() const = 0;
  // Makes the folder, and the folders above it that are missing, readable by the user
  // alone. True when it is a folder afterwards.
  virtual bool makePrivateFolder(const std::string& path) = 0;
  // Renames what stands at path (whatever it is) to a name beside it that nothing has:
  // "Name.<label>-<local date>-<time>.ext", with "-2", "-3" ... after the time when that
  // is taken. Never replaces anything. The new path, or nothing when it could not be moved.
  virtual std::optional<std::string> moveAside(const std::string& path,
                                               const std::string& label) = 0;
  // Takes the program folder for this run, for as long as this object lives: a second
  // run in the same folder finds it taken. Asking again while holding it finds it taken
  // by this run. A run that ends in any way, a crash or SIGKILL too, leaves it free.
  virtual FolderLock lockProgramFolder() = 0;
};

// Files on the local disk, with the program folder given at construction.
// An empty state folder leaves the program only its own folder.
class LocalFiles : public Files {
 public:
  explicit LocalFiles(std::string programFolder, std::string stateFolder = {})
      : folder_(std::move(programFolder)), state_(std::move(stateFolder)) {}
  ~LocalFiles() override;
  LocalFiles(const LocalFiles&) = delete;
  LocalFiles& operator=(const LocalFiles&) = delete;
  std::string programFolder() const override { return folder_; }
  FileRead read(const std::string& path, std::uintmax_t maxBytes) override;
  bool replaceContent(const std::string& path, const std::string& content,
                      int* error = nullptr) override;
  bool exists(const std::string& path) override;
  bool remove(const std::string& path) override;
  std::optional<FileIdentity> identity(const std::string& path) override;
  std::string resolvedPath(const std::string& path) override;
  std::string stateFolder() const override { return state_; }
  bool makePrivateFolder(const std::string& path) override;
  std::optional<std::string> moveAside(const std::string& path, const std::string& label) override;
  FolderLock lockProgramFolder() override;

 private:
  std::string folder_;
  std::string state_;
  int lockFd_ = -1;
};

// The user's state folder for this program as the environment gives it:
// $XDG_STATE_HOME/kelvarin, else ~/.local/state/kelvarin; empty when neither is known.
std::string userStateFolder();

// A name for a file of the state folder that stands for one program folder: the same
// folder gives the same name, two folders (nearly always) two names. "<stem>-<16 hex>".
std::string nameForFolder(const std::string& stem, const std::string& folder);

// The name of the file that stands for the program folder's lock, beside the options file.
inline constexpr const char* kLockFileName = "Kelvarin.lock";
// The file of the state folder that stands for the program folder's lock where none can be
// made beside the options file; empty when there is no state folder.
std::string stateLockPath(const std::string& stateFolder, const std::string& programFolder);

// Joins a folder and a file name with one separator.
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace kel
