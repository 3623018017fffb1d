#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace kel {

namespace fs = std::filesystem;

namespace {

// A name that no longer leads anywhere is a missing file; anything else that stops the
// lookup (permissions, a loop of links, I/O) leaves a file there that cannot be read.
ReadOutcome failedLookup(int error) {
  return error == ENOENT || error == ENOTDIR ? ReadOutcome::Missing : ReadOutcome::Unreadable;
}

bool writeAll(int fd, const std::string& content) {
  const char* p = content.data();
  size_t left = content.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Twelve hex digits nobody can guess, so nothing planted in the folder beforehand can
// stand at the temporary name; the exclusive create refuses it anyway.
std::string uniqueSuffix() {
  unsigned long long bits = 0;
  if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits))
    bits = static_cast<unsigned long long>(
               std::chrono::steady_clock::now().time_since_epoch().count()) ^
           (static_cast<unsigned long long>(::getpid()) << 40);
  char out[16];
  std::snprintf(out, sizeof out, "%012llx", bits & 0xFFFFFFFFFFFFull);
  return out;
}

// The file a name stands for: a symbolic link (also a chain of them, also one that leads
// to no file yet) is followed to the name at its end, so that what is written replaces the
// file the link names and the link stays. Nothing for a loop of links.
std::optional<std::string> followLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<size_t>(n) >= target.size()) return std::nullopt;
    target.resize(static_cast<size_t>(n));
    path = !target.empty() && target[0] == '/' ? target : joinPath(folderOf(path), target);
  }
  return std::nullopt;
}

constexpr size_t kTempSuffixHex = 12;

// Whether a name in the target's folder is one of our temporary files for that target:
// the target's name, a dot, twelve lower-case hex digits, ".tmp".
bool isTempNameOf(const std::string& name, const std::string& target) {
  const std::string tail = ".tmp";
  if (name.size() != target.size() + 1 + kTempSuffixHex + tail.size()) return false;
  if (name.compare(0, target.size(), target) != 0 || name[target.size()] != '.') return false;
  for (size_t i = target.size() + 1; i < target.size() + 1 + kTempSuffixHex; ++i) {
    const char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
}

// What an earlier save of this target left when it was cut short (killed, the machine
// down): regular files of exactly our temporary name, beside the target. Nothing else.
void removeLeftoverTemps(const std::string& path) {
  const std::string folder = folderOf(path);
  const size_t slash = path.rfind('/');
  const std::string target = slash == std::string::npos ? path : path.substr(slash + 1);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const int dfd = ::dirfd(dir);
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (!isTempNameOf(name, target)) continue;
    struct stat st {};
    if (::fstatat(dfd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
      continue;
    ::unlinkat(dfd, name.c_str(), 0);
  }
  ::closedir(dir);
}

// Whether the user may write this file: the system must allow it, and a file without
// any write permission was made read-only on purpose, also for a user the system lets
// write anything.
bool mayWrite(const std::string& path, const struct stat& st) {
  return (st.st_mode & 0222) != 0 && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

FileRead readRegularFile(const std::string& path, std::uintmax_t maxBytes) {
  FileRead r;
  maxBytes = std::min<std::uintmax_t>(maxBytes, std::uintmax_t{1} << 40);
  // Looked at before it is opened: opening a FIFO waits for a writer, and opening a
  // device may do something.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    r.outcome = failedLookup(errno);
    return r;
  }
  if (!S_ISREG(st.st_mode) || static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
    r.outcome = ReadOutcome::Refused;
    r.tooLarge = S_ISREG(st.st_mode);
    return r;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    r.outcome = failedLookup(errno);
    return r;
  }
  // The name may lead somewhere else since the look: what was opened is what counts.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
    ::close(fd);
    r.outcome = ReadOutcome::Refused;
    r.tooLarge = S_ISREG(st.st_mode);
    return r;
  }
  // One byte more than allowed shows a file that grew meanwhile.
  std::string content(static_cast<size_t>(st.st_size) + 1, '\0');
  size_t got = 0;
  for (;;) {
    if (got == content.size()) {
      if (content.size() > maxBytes) break;
      content.resize(static_cast<size_t>(
          std::min<std::uintmax_t>(std::uintmax_t{content.size()} * 2, maxBytes + 1)));
    }
    const ssize_t n = ::read(fd, content.data() + got, content.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      r.outcome = ReadOutcome::Unreadable;
      return r;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  if (got > maxBytes) {
    r.outcome = ReadOutcome::Refused;
    r.tooLarge = true;
    return r;
  }
  content.resize(got);
  r.outcome = ReadOutcome::Read;
  r.content = std::move(content);
  return r;
}

FileRead LocalFiles::read(const std::string& path, std::uintmax_t maxBytes) {
  return readRegularFile(path, maxBytes);
}

bool LocalFiles::replaceContent(const std::string& chosen, const std::string& content, int* error) {
  auto fail = [&](int e) {
    if (error) *error = e;
    return false;
  };
  const std::optional<std::string> target = followLinks(chosen);
  if (!target) return fail(ELOOP);
  const std::string& path = *target;
  mode_t mode = 0644;
  bool existed = false;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return fail(kNotARegularFile);
    if (!mayWrite(path, st)) return fail(EACCES);
    existed = true;
    mode = st.st_mode & 0777;
  } else if (errno != ENOENT) {
    return fail(errno);
  }
  removeLeftoverTemps(path);

  // Created afresh: never an existing file, never through a link or into a folder that
  // someone put at the name.
  std::string tmp;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    tmp = path + "." + uniqueSuffix() + ".tmp";  // the form removeLeftoverTemps knows
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) return fail(errno);
  }
  if (fd < 0) return fail(EEXIST);
  int failed = 0;
  if (!writeAll(fd, content)) failed = errno;
  // The replacement keeps the permissions the user gave the file.
  if (!failed && existed && ::fchmod(fd, mode) != 0) failed = errno;
  if (!failed && ::fsync(fd) != 0) failed = errno;
  if (::close(fd) != 0 && !failed) failed = errno;
  if (!failed && std::rename(tmp.c_str(), path.c_str()) != 0) failed = errno;
  if (failed) {
    ::unlink(tmp.c_str());
    return fail(failed);
  }
  // The rename itself lasts once the folder is on the disk. The file is replaced either
  // way; a folder that cannot be flushed changes nothing about that.
  const int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

bool LocalFiles::remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::optional<FileIdentity> LocalFiles::identity(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                      static_cast<std::int64_t>(st.st_size),
                      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 +
                          static_cast<std::int64_t>(st.st_mtim.tv_nsec)};
}

std::string LocalFiles::resolvedPath(const std::string& path) {
  // The link at the end first, as the replacement follows it (weakly_canonical takes a link
  // to no file for a file that is not there, and keeps its name).
  const std::string target = followLinks(path).value_or(path);
  std::error_code ec;
  const fs::path absolute = fs::absolute(target, ec);
  if (ec) return fs::path(target).lexically_normal().string();
  const fs::path resolved = fs::weakly_canonical(absolute, ec);
  return (ec ? absolute.lexically_normal() : resolved).string();
}

bool LocalFiles::exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec) && !ec;
}

LocalFiles::~LocalFiles() {
  if (lockFd_ >= 0) ::close(lockFd_);
}

bool LocalFiles::makePrivateFolder(const std::string& path) {
  if (path.empty()) return false;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  if (errno != ENOENT) return false;
  const std::string parent = folderOf(path);
  if (parent != path && !makePrivateFolder(parent)) return false;
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> LocalFiles::moveAside(const std::string& path,
                                                 const std::string& label) {
  const size_t slash = path.rfind('/');
  const size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot <= nameAt) dot = path.size();
  const std::string stem = path.substr(0, dot), ext = path.substr(dot);
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char when[32] = "0";
  if (::localtime_r(&now, &local)) std::strftime(when, sizeof when, "%Y%m%d-%H%M%S", &local);
  for (int n = 1; n <= 100; ++n) {
    const std::string to =
        stem + "." + label + "-" + when + (n > 1 ? "-" + std::to_string(n) : "") + ext;
    // Never over an earlier one: the rename itself refuses a name that is taken.
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return to;
    if (errno == EEXIST) continue;
    if (errno != EINVAL && errno != ENOSYS) return std::nullopt;
    // A file system without that kind of rename: looked at first, then renamed.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) continue;
    if (std::rename(path.c_str(), to.c_str()) == 0) return to;
    return std::nullopt;
  }
  return std::nullopt;
}

namespace {

// The process that holds a lock on this file, from the kernel's table of locks: its lines
// read "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF", a waiting one has "->" after the
// number. Matched by the file's inode (a layered file system may show another device).
long lockHolder(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return 0;
  std::ifstream locks("/proc/locks");
  std::string line;
  while (std::getline(locks, line)) {
    std::istringstream in(line);
    std::string number, kind, advisory, mode, where;
    long pid = 0;
    if (!(in >> number) || number == "->") continue;
    if (!(in >> kind >> advisory >> mode >> pid >> where)) continue;
    if (kind != "FLOCK" || pid <= 0) continue;
    const size_t colon = where.rfind(':');
    if (colon == std::string::npos) continue;
    if (where.substr(colon + 1) == std::to_string(static_cast<unsigned long long>(st.st_ino)))
      return pid;
  }
  return 0;
}

// The process number the lock file holds, written by the run that took it.
long pidInFile(int fd) {
  char buf[32] = {};
  const ssize_t n = ::pread(fd, buf, sizeof buf - 1, 0);
  if (n <= 0) return 0;
  const long pid = std::strtol(buf, nullptr, 10);
  return pid > 0 ? pid : 0;
}

// A regular file opened for the lock (never a FIFO, a device or through a link), or -1.
int openLockFile(const std::string& path, bool create, bool* writable) {
  const int flags = O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC;
  int fd = create ? ::open(path.c_str(), flags | O_RDWR | O_CREAT, 0644) : -1;
  *writable = fd >= 0;
  if (fd < 0) fd = ::open(path.c_str(), flags | O_RDONLY);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

FolderLock LocalFiles::lockProgramFolder() {
  if (lockFd_ >= 0) return {};
  // Beside the options file; a lock file that is there can be locked also when it cannot
  // be written. In a folder where none can be made, one in the state folder stands for it.
  bool writable = false;
  int fd = openLockFile(joinPath(folder_, kLockFileName), true, &writable);
  if (fd < 0 && !state_.empty() && makePrivateFolder(state_))
    fd = openLockFile(stateLockPath(state_, folder_), true, &writable);
  // Nowhere to lock: the run goes on as it did before there was a lock.
  if (fd < 0) return {};
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) break;  // a file system without locks: as nowhere to lock
    FolderLock held{false, lockHolder(fd)};
    if (held.holderPid == 0) held.holderPid = pidInFile(fd);
    ::close(fd);
    return held;
  }
  lockFd_ = fd;
  if (writable) {
    const std::string pid = std::to_string(static_cast<long>(::getpid())) + "\n";
    if (::ftruncate(fd, 0) == 0) (void)::pwrite(fd, pid.data(), pid.size(), 0);
  }
  return {};
}

std::string userStateFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  // Only an absolute path counts, as the base directory rules say.
  if (state && state[0] == '/') return joinPath(state, "kelvarin");
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return joinPath(joinPath(home, ".local/state"), "kelvarin");
  return {};
}

std::string stateLockPath(const std::string& stateFolder, const std::string& programFolder) {
  if (stateFolder.empty()) return {};
  return joinPath(stateFolder, nameForFolder("Kelvarin", programFolder) + ".lock");
}

std::string nameForFolder(const std::string& stem, const std::string& folder) {
  // FNV-1a: the same folder gives the same name on every start.
  unsigned long long h = 1469598103934665603ull;
  for (const unsigned char c : folder) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char hex[20];
  std::snprintf(hex, sizeof hex, "%016llx", h);
  return stem + "-" + hex;
}

}  // namespace kel
