#include "platform/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace kel {

namespace fs = std::filesystem;

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::optional<std::string> LocalFiles::readAll(const std::string& path, std::uintmax_t maxBytes) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec) || ec) return std::nullopt;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size > maxBytes) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string content;
  content.resize(static_cast<size_t>(size));
  in.read(content.data(), static_cast<std::streamsize>(size));
  content.resize(static_cast<size_t>(in.gcount()));
  if (in.bad()) return std::nullopt;
  return content;
}

bool LocalFiles::replaceContent(const std::string& path, const std::string& content) {
  const std::string tmp = path + ".tmp";
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const char* p = content.data();
  size_t left = content.size();
  bool ok = true;
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(tmp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

bool LocalFiles::exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec) && !ec;
}

}  // namespace kel
