#include "search/TableTag.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "libs/ftsindex/Crc32c.h"

namespace search {

std::string TableTag(const std::string& tablePath) {
  const int fd = ::open(tablePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {};
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return {};
  }
  std::vector<char> buf(1 << 18);  // small: each new page of it is a fault
  uint64_t size = 0;
  uint32_t crc = 0;
  for (;;) {
    const ssize_t n = ::read(fd, buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return {};
    }
    if (n == 0) break;
    crc = fts::Crc32c(buf.data(), static_cast<size_t>(n), crc);
    size += static_cast<uint64_t>(n);
  }
  ::close(fd);
  char tag[64];
  std::snprintf(tag, sizeof tag, "size=%llu crc32c=%08x", static_cast<unsigned long long>(size),
                crc);
  return tag;
}

}  // namespace search
