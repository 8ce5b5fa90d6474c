#include "FileRead.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace dbe {

long long readAt(int fd, void* to, size_t size, uint64_t offset) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n =
        ::pread(fd, static_cast<char*>(to) + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;  // end of file
    done += static_cast<size_t>(n);
  }
  return static_cast<long long>(done);
}

bool readWhole(int fd, size_t size, std::unique_ptr<uint8_t[]>& out, size_t& got,
               std::string& why) {
  got = 0;
  out.reset(new (std::nothrow) uint8_t[size ? size : 1]);
  if (!out) {
    why = "not enough memory for " + std::to_string(size) + " bytes";
    return false;
  }
  const long long n = readAt(fd, out.get(), size, 0);
  if (n < 0) {
    why = std::strerror(errno);
    out.reset();
    return false;
  }
  got = static_cast<size_t>(n);
  return true;
}

}  // namespace dbe
