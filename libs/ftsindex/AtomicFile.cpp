#include "libs/ftsindex/AtomicFile.h"

#include <fcntl.h>
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

// Creates "<folder>/.<name>.tmp-XXXXXX"; returns its descriptor or -1.
int CreateTemporary(const std::string& path, std::string& tempPath) {
  tempPath = FolderOf(path) + "/." + BaseOf(path) + ".tmp-XXXXXX";
  std::vector<char> name(tempPath.begin(), tempPath.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  tempPath.assign(name.data());
  return fd;
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
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return FTS_ERR_IO;
  }
  const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);  // the rename itself survives a power loss
    ::close(dir);
  }
  return 0;
}

}  // namespace fts
