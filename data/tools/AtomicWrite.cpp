#include "AtomicWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace postal {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Fail(std::string* why, const std::string& what) {
  if (why) *why = what + ": " + std::strerror(errno);
  return false;
}

// Creates "<folder>/.<name>.tmp-XXXXXX" for path; its descriptor, or -1.
int CreateTemporary(const std::string& path, std::string* tempPath) {
  const std::string pattern = FolderOf(path) + "/." + BaseOf(path) + ".tmp-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  *tempPath = name.data();
  return fd;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Writes what produce gives to a new temporary file beside path, flushed to disk.
bool WriteTemporary(const std::string& path,
                    const std::function<bool(const ByteSink& sink)>& produce, std::string* tempPath,
                    std::string* why) {
  const int fd = CreateTemporary(path, tempPath);
  if (fd < 0) return Fail(why, *tempPath);
  // mkostemp makes the file private; a table is an ordinary readable file.
  bool ok = ::fchmod(fd, 0644) == 0;
  int error = ok ? 0 : errno;
  if (ok && !produce([&](std::string_view data) {
        if (WriteAll(fd, data)) return true;
        error = errno;
        return false;
      })) {
    ok = false;
    if (error == 0) error = EIO;  // the producer failed on its own
  }
  if (ok && ::fsync(fd) != 0) {
    ok = false;
    error = errno;
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    errno = error;
    Fail(why, *tempPath);
    ::unlink(tempPath->c_str());
  }
  return ok;
}

bool WriteTemporary(const std::string& path, std::string_view data, std::string* tempPath,
                    std::string* why) {
  return WriteTemporary(
      path, [&](const ByteSink& sink) { return sink(data); }, tempPath, why);
}

// Keeps the file at path as backupPath: a second name for the same file when
// the file system allows it, otherwise a copy, replacing backupPath whole.
bool KeepBackup(const std::string& path, const std::string& backupPath, std::string* why) {
  std::string linkPath;
  const int fd = CreateTemporary(backupPath, &linkPath);
  if (fd < 0) return Fail(why, linkPath);
  ::close(fd);
  ::unlink(linkPath.c_str());
  if (::link(path.c_str(), linkPath.c_str()) != 0) {
    std::string old;
    const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return Fail(why, path);
    char buf[1 << 16];
    ssize_t n;
    while ((n = ::read(in, buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
      if (n > 0) old.append(buf, static_cast<size_t>(n));
    const int readErrno = errno;
    ::close(in);
    if (n < 0) {
      errno = readErrno;
      return Fail(why, path);
    }
    if (!WriteTemporary(backupPath, old, &linkPath, why)) return false;
  }
  if (::rename(linkPath.c_str(), backupPath.c_str()) != 0) {
    Fail(why, backupPath);
    ::unlink(linkPath.c_str());
    return false;
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* why,
                         const std::string& backupPath) {
  return WriteStreamAtomically(
      path, [&](const ByteSink& sink) { return sink(bytes); }, why, backupPath);
}

bool WriteStreamAtomically(const std::string& path,
                           const std::function<bool(const ByteSink& sink)>& produce,
                           std::string* why, const std::string& backupPath) {
  std::string temp;
  if (!WriteTemporary(path, produce, &temp, why)) return false;
  struct stat st;
  if (!backupPath.empty() && ::stat(path.c_str(), &st) == 0 && !KeepBackup(path, backupPath, why)) {
    ::unlink(temp.c_str());
    return false;
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    Fail(why, path);
    ::unlink(temp.c_str());
    return false;
  }
  const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);  // the rename itself survives a power loss
    ::close(dir);
  }
  return true;
}

}  // namespace postal
