#include "MtxIndex.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "FileRead.h"
#include "Text.h"
#include "dbfengine.h"

namespace dbe {

void encodeKey(Expression& e, const EvalContext& c, KeyType type, size_t keyLen, std::string& out) {
  Value v;
  e.eval(c, v);
  out.assign(keyLen, ' ');
  switch (type) {
    case kKeyChar:
      std::memcpy(out.data(), v.s, std::min<size_t>(v.len, keyLen));
      break;
    case kKeyNumeric: {
      uint8_t b[8];
      encodeNumber(v.n, b);
      std::memcpy(out.data(), b, std::min<size_t>(8, keyLen));
      break;
    }
    case kKeyDate: {
      std::string d;
      formatDtos(d, v.d);
      std::memcpy(out.data(), d.data(), std::min<size_t>(8, keyLen));
      break;
    }
    case kKeyLogical:
      out[0] = v.l ? 'T' : 'F';
      break;
  }
}

int64_t Tag::lowerBound(const uint8_t* k, uint32_t recno) const {
  int64_t lo = 0, hi = count;
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo) / 2;
    const uint32_t r = static_cast<uint32_t>(recnoAt(mid));
    if (compareEntries(keyAt(mid), r, k, recno, keyLen, descending) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

int64_t Tag::lowerBoundPrefix(const uint8_t* prefix, size_t len) const {
  len = std::min(len, keyLen);
  int64_t lo = 0, hi = count;
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo) / 2;
    int r = std::memcmp(keyAt(mid), prefix, len);
    if (descending) r = -r;
    if (r < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

const std::vector<int32_t>& Tag::positions() const {
  if (positions_.empty() && records > 0) {
    positions_.assign(static_cast<size_t>(records), -1);
    for (int64_t p = 0; p < count; ++p) positions_[recnoAt(p) - 1] = static_cast<int32_t>(p);
  }
  return positions_;
}

bool MtxFile::open(const std::string& path, const Table& table, const std::string& alias, int& code,
                   std::string& message) {
  path_ = path;
  code = DBE_E_INDEX;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    message = "cannot open index " + path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<size_t>(st.st_size) < kMtxHeaderSize) {
    close(fd);
    message = "not an MTX index: " + path;
    return false;
  }
  std::string why;
  const bool read = readWhole(fd, static_cast<size_t>(st.st_size), data_, size_, why);
  close(fd);
  if (!read) {
    message = "cannot read index " + path + ": " + why;
    return false;
  }
  if (size_ < kMtxHeaderSize) {  // shrank while it was read
    message = "not an MTX index: " + path;
    return false;
  }
  const uint8_t* h = data_.get();
  auto corrupt = [&](const std::string& why) {
    message = "corrupt MTX index " + path + ": " + why;
    return false;
  };
  if (std::memcmp(h, kMtxMagic, 4) != 0) {
    message = "not an MTX index: " + path;
    return false;
  }
  if ((h[4] | h[5] << 8) != kMtxVersion) return corrupt("unknown version");
  const int tagCount = h[6] | h[7] << 8;
  if (get64(h + 24) != size_) return corrupt("file size does not match its header");
  if (fnv1a32(data_.get() + kMtxHeaderSize, size_ - kMtxHeaderSize) != get32(h + 20))
    return corrupt("checksum mismatch");
  if (tagCount < 1 || tagCount > kMtxMaxTags) return corrupt("bad tag count");
  if (kMtxHeaderSize + static_cast<size_t>(tagCount) * kMtxTagSize > size_)
    return corrupt("tag directory truncated");
  if (get32(h + 8) != static_cast<uint32_t>(table.recordCount()) ||
      get32(h + 12) != static_cast<uint32_t>(table.recordSize()) ||
      get32(h + 16) != table.layoutHash()) {
    code = DBE_E_INDEX_STALE;
    message = "index " + path + " was built for another table or record count";
    return false;
  }
  for (int t = 0; t < tagCount; ++t) {
    const uint8_t* d = h + kMtxHeaderSize + t * kMtxTagSize;
    Tag tag;
    for (int i = 0; i < 12 && d[i]; ++i) tag.name.push_back(static_cast<char>(d[i]));
    if (tag.name.empty() || tag.name.size() > 10) return corrupt("bad tag name");
    tag.keyType = static_cast<KeyType>(d[12]);
    if (tag.keyType < kKeyChar || tag.keyType > kKeyDate) return corrupt("bad key type");
    tag.unique = d[13] & kTagUnique;
    tag.descending = d[13] & kTagDescending;
    tag.keyLen = d[14] | d[15] << 8;
    if (tag.keyLen < 1 || tag.keyLen > kMtxMaxKey ||
        (fixedKeyLength(tag.keyType) && tag.keyLen != size_t(fixedKeyLength(tag.keyType))))
      return corrupt("bad key length");
    tag.entrySize = tag.keyLen + 4;
    const uint64_t count = get32(d + 16);
    const uint64_t keyTextLen = get32(d + 20), condTextLen = get32(d + 24);
    const uint64_t exprOffset = get64(d + 32), entriesOffset = get64(d + 40);
    if (keyTextLen == 0 || keyTextLen > 4096 || condTextLen > 4096 || exprOffset > size_ ||
        keyTextLen + condTextLen > size_ - exprOffset)
      return corrupt("expression text outside the file");
    if (entriesOffset > size_ || count > (size_ - entriesOffset) / tag.entrySize)
      return corrupt("entries outside the file");
    if (count > static_cast<uint64_t>(table.recordCount())) return corrupt("too many entries");
    tag.keyText.assign(reinterpret_cast<const char*>(data_.get() + exprOffset), keyTextLen);
    tag.conditionText.assign(reinterpret_cast<const char*>(data_.get() + exprOffset + keyTextLen),
                             condTextLen);
    tag.count = static_cast<int64_t>(count);
    tag.records = table.recordCount();
    tag.entries = data_.get() + entriesOffset;
    int c = 0;
    std::string m;
    tag.key = Expression::compile(tag.keyText, &table, alias, c, m);
    if (!tag.key || keyTypeOf(tag.key->type()) != tag.keyType)
      return corrupt("key expression of tag " + tag.name + " does not fit the table");
    for (const std::string& f : tag.key->fields()) {
      if (!tag.keyFields.empty()) tag.keyFields += ';';
      tag.keyFields += f;
    }
    for (int64_t p = 0; p < tag.count; ++p) {
      const int32_t r = tag.recnoAt(p);
      if (r < 1 || r > table.recordCount()) return corrupt("record number out of range");
    }
    for (const Tag& other : tags_)
      if (other.name == tag.name) return corrupt("duplicate tag " + tag.name);
    tags_.push_back(std::move(tag));
  }
  code = 0;
  return true;
}

}  // namespace dbe
