#include "libs/ftsindex/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "libs/ftsindex/ftsindex.h"

namespace fts {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TemporaryPrefix(const std::string& path) {
  std::string prefix = ".";
  prefix += BaseOf(path);
  prefix += ".tmp-";
  return prefix;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Creates "<folder>/.<name>.tmp-XXXXXX", locked for the writer's lifetime;
// returns its descriptor or -1.
int CreateTemporary(const std::string& path, std::string& tempPath) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    tempPath = FolderOf(path) + "/" + TemporaryPrefix(path) + "XXXXXX";
    std::vector<char> name(tempPath.begin(), tempPath.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    tempPath.assign(name.data());
    if (fd < 0) return -1;
    // Between the create and the lock another build may have taken the file
    // for a leftover and removed it: then the name no longer leads here.
    struct stat mine, named;
    if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &mine) == 0 &&
        ::stat(tempPath.c_str(), &named) == 0 && SameFile(mine, named))
      return fd;
    ::close(fd);
  }
  return -1;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

int RemoveStaleTemporaries(const std::string& path) {
  const std::string folder = FolderOf(path), prefix = TemporaryPrefix(path);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string file = folder + "/" + name;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    struct stat held, named;
    // Unlocked: its writer is gone (the lock ends with the process).
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(file.c_str(), &named) == 0 && SameFile(held, named) && ::unlink(file.c_str()) == 0)
      ++removed;
    ::close(fd);
  }
  ::closedir(dir);
  return removed;
}

bool FolderTakesFiles(const std::string& path) {
  std::string temp;
  const int fd = CreateTemporary(path, temp);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(temp.c_str());
  return true;
}

int WriteFileAtomically(const std::string& path, std::string_view data) {
  std::string temp;
  const int fd = CreateTemporary(path, temp);
  if (fd < 0) return FTS_ERR_IO;
  // mkstemp makes the file private; an index is an ordinary readable file.
  bool ok = ::fchmod(fd, 0644) == 0;
  ok = ok && WriteAll(fd, data) && ::fsync(fd) == 0;
  // Renamed while still open and locked, so that no other build takes it
  // for a leftover; the data are on disk already.
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  ::close(fd);
  if (!ok) return FTS_ERR_IO;
  const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);  // the rename itself survives a power loss
    ::close(dir);
  }
  return 0;
}

}  // namespace fts
