#include "MemoFile.h"

#include <algorithm>
#include <cstring>

#include "dbfengine.h"

namespace dbe {

namespace {
uint32_t be32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}
uint32_t le32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
}  // namespace

bool MemoFile::open(const std::string& path, bool fpt, int defaultBlock, std::string& message) {
  path_ = path;
  fpt_ = fpt;
  int error = 0;
  if (!file_.open(path, DBE_IO_READ, error)) {
    message = "cannot open memo file " + path + ": " + ioErrorText(error);
    return false;
  }
  uint8_t header[512];
  if (file_.read(header, sizeof header, 0, error) != static_cast<int64_t>(sizeof header)) {
    file_.close();
    message = "not a memo file: " + path;
    return false;
  }
  const size_t stored = fpt ? (header[6] << 8 | header[7]) : (header[20] | header[21] << 8);
  blockSize_ = stored ? stored : static_cast<size_t>(defaultBlock > 0 ? defaultBlock : 512);
  return true;
}

int MemoFile::read(uint32_t block, std::string& out) const {
  out.clear();
  if (block == 0) return 0;  // no memo
  if (!file_.isOpen()) return DBE_E_READ;
  // The size now, not at open: lengths are checked against what is there.
  int error = 0;
  const int64_t now = file_.size(error);
  if (now < 0) return DBE_E_READ;
  const uint64_t size = static_cast<uint64_t>(now);
  const uint64_t start = static_cast<uint64_t>(block) * blockSize_;
  if (start >= size) return DBE_E_CORRUPT;
  uint8_t head[8];
  const int64_t got = file_.read(head, sizeof head, start, error);
  if (got < 0) return DBE_E_READ;
  if (got == 0) return DBE_E_CORRUPT;  // the block lies beyond the end of the file
  auto body = [&](uint64_t at, uint64_t len) {
    if (at > size || len > size - at) return DBE_E_CORRUPT;
    out.resize(static_cast<size_t>(len));
    const int64_t n = file_.read(out.data(), out.size(), at, error);
    if (n != static_cast<int64_t>(len)) {
      out.clear();  // the memo runs past the end of the file
      return n < 0 ? DBE_E_READ : DBE_E_CORRUPT;
    }
    return 0;
  };
  if (fpt_) {
    if (got < 8) return DBE_E_CORRUPT;
    return body(start + 8, be32(head + 4));
  }
  // dBASE IV block: FF FF 08 00, then the length including these 8 bytes.
  if (got == 8 && head[0] == 0xFF && head[1] == 0xFF && head[2] == 0x08 && head[3] == 0x00) {
    const uint32_t len = le32(head + 4);
    if (len < 8) return DBE_E_CORRUPT;
    return body(start + 8, len - 8);
  }
  // dBASE III: text up to the first 0x1A or the end of the file.
  char chunk[4096];
  for (uint64_t at = start; at < size;) {
    const int64_t n = file_.read(
        chunk, static_cast<size_t>(std::min<uint64_t>(sizeof chunk, size - at)), at, error);
    if (n < 0) {
      out.clear();
      return DBE_E_READ;
    }
    const void* end = std::memchr(chunk, 0x1A, static_cast<size_t>(n));
    const size_t take =
        end ? static_cast<size_t>(static_cast<const char*>(end) - chunk) : static_cast<size_t>(n);
    out.append(chunk, take);
    if (end || n == 0) break;
    at += static_cast<uint64_t>(n);
  }
  return 0;
}

}  // namespace dbe
