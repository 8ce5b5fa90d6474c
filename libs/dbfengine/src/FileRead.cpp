#include "FileRead.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define DBE_HEAP_FILE_BYTES 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DBE_HEAP_FILE_BYTES 1
#endif
#endif

namespace dbe {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

size_t roundUp(size_t n, size_t to) {
  return (n + to - 1) / to * to;
}

// Anonymous memory of at least `size` bytes; from 2 MiB on, aligned to and
// advised for huge pages. Null when there is none.
uint8_t* allocate(size_t size, size_t& mapped) {
#ifdef DBE_HEAP_FILE_BYTES
  mapped = 0;
  return new (std::nothrow) uint8_t[size ? size : 1];
#endif
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  mapped = roundUp(size ? size : 1, page);
  const bool huge = mapped >= kHugePage;
  // Huge pages need an aligned start: map more, then give back both ends.
  const size_t asked = huge ? mapped + kHugePage : mapped;
  void* m = mmap(nullptr, asked, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (m == MAP_FAILED) return nullptr;
  auto* p = static_cast<uint8_t*>(m);
  if (!huge) return p;
  auto* start = reinterpret_cast<uint8_t*>(roundUp(reinterpret_cast<uintptr_t>(p), kHugePage));
  if (start > p) munmap(p, static_cast<size_t>(start - p));
  const size_t tail = asked - static_cast<size_t>(start - p) - mapped;
  if (tail) munmap(start + mapped, tail);
  madvise(start, mapped, MADV_HUGEPAGE);  // only advice: fine when refused
  return start;
}

}  // namespace

void MemoryRelease::operator()(uint8_t* p) const {
  if (!p) return;
  if (size)
    munmap(p, size);
  else
    delete[] p;
}

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

bool readWhole(int fd, size_t size, FileBytes& out, size_t& got, std::string& why) {
  got = 0;
  size_t mapped = 0;
  uint8_t* p = allocate(size, mapped);
  if (!p) {
    why = "not enough memory for " + std::to_string(size) + " bytes";
    return false;
  }
  out = FileBytes(p, MemoryRelease{mapped});
  const long long n = readAt(fd, p, size, 0);
  if (n < 0) {
    why = std::strerror(errno);
    out.reset();
    return false;
  }
  got = static_cast<size_t>(n);
  if (mapped) mprotect(p, mapped, PROT_READ);  // what was read is never written
  return true;
}

}  // namespace dbe
