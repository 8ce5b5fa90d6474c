#include "MemoFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "FileRead.h"

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
  if (fd_ >= 0) ::close(fd_);
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
  uint8_t header[512];
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 512 ||
      readAt(fd, header, sizeof header, 0) != static_cast<long long>(sizeof header)) {
    ::close(fd);
    message = "not a memo file: " + path;
    return false;
  }
  fd_ = fd;
  const size_t stored = fpt ? (header[6] << 8 | header[7]) : (header[20] | header[21] << 8);
  blockSize_ = stored ? stored : static_cast<size_t>(defaultBlock > 0 ? defaultBlock : 512);
  return true;
}

bool MemoFile::read(uint32_t block, std::string& out) const {
  out.clear();
  if (block == 0) return true;  // no memo
  if (fd_ < 0) return false;
  // The size now, not at open: lengths are checked against what is there.
  struct stat st {};
  if (fstat(fd_, &st) != 0) return false;
  const uint64_t size = static_cast<uint64_t>(st.st_size);
  const uint64_t start = static_cast<uint64_t>(block) * blockSize_;
  if (start >= size) return false;
  uint8_t head[8];
  const long long got = readAt(fd_, head, sizeof head, start);
  if (got <= 0) return false;  // the block lies beyond the end of the file
  auto body = [&](uint64_t at, uint64_t len) {
    if (at > size || len > size - at) return false;
    out.resize(static_cast<size_t>(len));
    if (readAt(fd_, out.data(), out.size(), at) != static_cast<long long>(len)) {
      out.clear();  // the memo runs past the end of the file
      return false;
    }
    return true;
  };
  if (fpt_) {
    if (got < 8) return false;
    return body(start + 8, be32(head + 4));
  }
  // dBASE IV block: FF FF 08 00, then the length including these 8 bytes.
  if (got == 8 && head[0] == 0xFF && head[1] == 0xFF && head[2] == 0x08 && head[3] == 0x00) {
    const uint32_t len = le32(head + 4);
    if (len < 8) return false;
    return body(start + 8, len - 8);
  }
  // dBASE III: text up to the first 0x1A or the end of the file.
  char chunk[4096];
  for (uint64_t at = start; at < size;) {
    const long long n =
        readAt(fd_, chunk, static_cast<size_t>(std::min<uint64_t>(sizeof chunk, size - at)), at);
    if (n < 0) {
      out.clear();
      return false;
    }
    const void* end = std::memchr(chunk, 0x1A, static_cast<size_t>(n));
    const size_t take =
        end ? static_cast<size_t>(static_cast<const char*>(end) - chunk) : static_cast<size_t>(n);
    out.append(chunk, take);
    if (end || n == 0) break;
    at += static_cast<uint64_t>(n);
  }
  return true;
}

}  // namespace dbe
