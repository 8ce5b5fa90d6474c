#include "MemoFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace dbe {

namespace {
uint32_t be32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}
uint32_t le32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
}  // namespace

MemoFile::~MemoFile() {
  if (map_) munmap(const_cast<uint8_t*>(map_), size_);
}

bool MemoFile::open(const std::string& path, bool fpt, int defaultBlock, std::string& message) {
  path_ = path;
  fpt_ = fpt;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    message = "cannot open memo file " + path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 512) {
    ::close(fd);
    message = "not a memo file: " + path;
    return false;
  }
  size_ = static_cast<size_t>(st.st_size);
  void* m = mmap(nullptr, size_, PROT_READ, MAP_SHARED, fd, 0);
  ::close(fd);
  if (m == MAP_FAILED) {
    message = "cannot map memo file " + path;
    return false;
  }
  map_ = static_cast<const uint8_t*>(m);
  const size_t stored = fpt ? (map_[6] << 8 | map_[7]) : (map_[20] | map_[21] << 8);
  blockSize_ = stored ? stored : static_cast<size_t>(defaultBlock > 0 ? defaultBlock : 512);
  return true;
}

bool MemoFile::read(uint32_t block, std::string& out) const {
  out.clear();
  if (block == 0) return true;  // no memo
  const uint64_t start = static_cast<uint64_t>(block) * blockSize_;
  if (start >= size_) return false;
  const uint8_t* p = map_ + start;
  const size_t left = size_ - static_cast<size_t>(start);
  if (fpt_) {
    if (left < 8) return false;
    const uint32_t len = be32(p + 4);
    if (len > left - 8) return false;
    out.assign(reinterpret_cast<const char*>(p + 8), len);
    return true;
  }
  // dBASE IV block: FF FF 08 00, then the length including these 8 bytes.
  if (left >= 8 && p[0] == 0xFF && p[1] == 0xFF && p[2] == 0x08 && p[3] == 0x00) {
    const uint32_t len = le32(p + 4);
    if (len < 8 || len - 8 > left - 8) return false;
    out.assign(reinterpret_cast<const char*>(p + 8), len - 8);
    return true;
  }
  // dBASE III: text up to the first 0x1A.
  const void* end = std::memchr(p, 0x1A, left);
  const size_t len = end ? static_cast<const uint8_t*>(end) - p : left;
  out.assign(reinterpret_cast<const char*>(p), len);
  return true;
}

}  // namespace dbe
