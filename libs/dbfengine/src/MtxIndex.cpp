#include "MtxIndex.h"

#include <algorithm>
#include <cstring>

#include "Settings.h"
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

const uint8_t* Tag::entry(int64_t p) const {
  if (p < 0 || p >= count) return nullptr;
  const int64_t index = p / perBlock_;
  Block* hit = blocks_[recent_].index == index ? &blocks_[recent_] : nullptr;
  if (!hit) {
    Block* oldest = &blocks_[0];
    for (Block& b : blocks_) {
      if (b.index == index) hit = &b;
      if (b.used < oldest->used) oldest = &b;
    }
    if (!hit) {
      hit = oldest;
      hit->index = index;
      hit->ok = load(*hit, index);
    }
    hit->used = ++tick_;
    recent_ = static_cast<size_t>(hit - blocks_.data());
  }
  if (!hit->ok) {
    noteError(hit->error, hit->why);
    return nullptr;
  }
  return hit->bytes.data() + static_cast<size_t>(p - index * perBlock_) * entrySize;
}

bool Tag::load(Block& b, int64_t index) const {
  const int64_t first = index * perBlock_;
  const size_t n = static_cast<size_t>(std::min<int64_t>(perBlock_, count - first));
  b.bytes.resize(n * entrySize);
  int error = 0;
  const int64_t got =
      file_->read(b.bytes.data(), b.bytes.size(), entriesOffset_ + first * entrySize, error);
  auto bad = [&](int code, const std::string& why) {
    // Recorded at each use of the block, written to stderr once per tag.
    if (!reported_)
      setError(code, why);
    else
      noteError(code, why);
    reported_ = true;
    b.error = code;
    b.why = why;
    return false;
  };
  if (got < 0) return bad(DBE_E_READ, "cannot read index " + *path_ + ": " + ioErrorText(error));
  if (static_cast<size_t>(got) != b.bytes.size())
    return bad(DBE_E_READ, "the index " + *path_ + " no longer holds its entries (cut while open)");
  if (blockCheck(b.bytes.data(), b.bytes.size()) != checks_[static_cast<size_t>(index)])
    return bad(DBE_E_INDEX, "corrupt MTX index " + *path_ + ": block " + std::to_string(index) +
                                " of tag " + name + " fails its check");
  for (size_t i = 0; i < n; ++i) {
    const int32_t r = static_cast<int32_t>(get32(b.bytes.data() + i * entrySize + keyLen));
    if (r < 1 || r > records_)
      return bad(DBE_E_INDEX, "corrupt MTX index " + *path_ + ": record number out of range");
  }
  return true;
}

const uint8_t* Tag::keyAt(int64_t p) const {
  static const uint8_t kZeros[kMtxMaxKey] = {};
  const uint8_t* e = entry(p);
  return e ? e : kZeros;
}

int32_t Tag::recnoAt(int64_t p) const {
  const uint8_t* e = entry(p);
  return e ? static_cast<int32_t>(get32(e + keyLen)) : 0;
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

bool MtxFile::open(const std::string& path, const Table& table, const std::string& alias, int& code,
                   std::string& message) {
  path_ = path;
  code = DBE_E_INDEX;
  int error = 0;
  if (!file_.open(path, DBE_IO_READ, error)) {
    message = "cannot open index " + path + ": " + ioErrorText(error);
    return false;
  }
  auto corrupt = [&](const std::string& why) {
    message = "corrupt MTX index " + path + ": " + why;
    return false;
  };
  auto unreadable = [&](int why) {
    message = "cannot read index " + path + ": " + ioErrorText(why);
    return false;
  };
  const int64_t size = file_.size(error);
  if (size < 0) return unreadable(error);
  uint8_t h[kMtxHeaderSize];
  const int64_t got = file_.read(h, sizeof h, 0, error);
  if (got < 0) return unreadable(error);
  if (got < static_cast<int64_t>(sizeof h) || std::memcmp(h, kMtxMagic, 4) != 0) {
    message = "not an MTX index: " + path;
    return false;
  }
  const int version = h[4] | h[5] << 8;
  if (version < kMtxVersion)
    return corrupt("made by an older version of the engine (format " + std::to_string(version) +
                   "): build it again");
  if (version != kMtxVersion) return corrupt("unknown version");
  const uint64_t fileSize = static_cast<uint64_t>(size);
  if (get64(h + 24) != fileSize) return corrupt("file size does not match its header");
  const int tagCount = h[6] | h[7] << 8;
  if (tagCount < 1 || tagCount > kMtxMaxTags) return corrupt("bad tag count");
  // The directory, the texts and the block checks, checked as a whole.
  const uint64_t metaEnd = get64(h + 32);
  if (metaEnd < kMtxHeaderSize + static_cast<uint64_t>(tagCount) * kMtxTagSize ||
      metaEnd > fileSize || metaEnd > kMtxMaxMeta)
    return corrupt("tag directory truncated");
  std::vector<uint8_t> meta(static_cast<size_t>(metaEnd));
  std::memcpy(meta.data(), h, sizeof h);
  const int64_t metaGot =
      file_.read(meta.data() + kMtxHeaderSize, meta.size() - kMtxHeaderSize, kMtxHeaderSize, error);
  if (metaGot < 0) return unreadable(error);
  if (static_cast<uint64_t>(metaGot) != metaEnd - kMtxHeaderSize)
    return corrupt("file ends inside its directory");
  if (fnv1a32(meta.data() + kMtxHeaderSize, meta.size() - kMtxHeaderSize) != get32(h + 20))
    return corrupt("checksum mismatch");
  if (get32(h + 8) != static_cast<uint32_t>(table.recordCount()) ||
      get32(h + 12) != static_cast<uint32_t>(table.recordSize()) ||
      get32(h + 16) != table.layoutHash()) {
    code = DBE_E_INDEX_STALE;
    message = "index " + path + " was built for another table or record count";
    return false;
  }
  tags_.reserve(static_cast<size_t>(tagCount));
  for (int t = 0; t < tagCount; ++t) {
    const uint8_t* d = meta.data() + kMtxHeaderSize + t * kMtxTagSize;
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
    const uint32_t perBlock = get32(d + 28);
    const uint64_t exprOffset = get64(d + 32), entriesOffset = get64(d + 40);
    const uint64_t checksOffset = get64(d + 48);
    if (keyTextLen == 0 || keyTextLen > 4096 || condTextLen > 4096 || exprOffset > metaEnd ||
        keyTextLen + condTextLen > metaEnd - exprOffset)
      return corrupt("expression text outside the directory");
    if (perBlock != entriesPerBlock(tag.entrySize)) return corrupt("bad block size");
    if (count > static_cast<uint64_t>(table.recordCount())) return corrupt("too many entries");
    if (entriesOffset < metaEnd || entriesOffset > fileSize ||
        count > (fileSize - entriesOffset) / tag.entrySize)
      return corrupt("entries outside the file");
    const uint64_t blocks = (count + perBlock - 1) / perBlock;
    if (checksOffset > metaEnd || blocks * 4 > metaEnd - checksOffset)
      return corrupt("block checks outside the directory");
    tag.keyText.assign(reinterpret_cast<const char*>(meta.data() + exprOffset), keyTextLen);
    tag.conditionText.assign(reinterpret_cast<const char*>(meta.data() + exprOffset + keyTextLen),
                             condTextLen);
    tag.count = static_cast<int64_t>(count);
    tag.file_ = &file_;
    tag.path_ = &path_;
    tag.records_ = table.recordCount();
    tag.perBlock_ = perBlock;
    tag.entriesOffset_ = entriesOffset;
    tag.checks_.resize(static_cast<size_t>(blocks));
    for (size_t b = 0; b < tag.checks_.size(); ++b)
      tag.checks_[b] = get32(meta.data() + checksOffset + 4 * b);
    int c = 0;
    std::string m;
    tag.key = Expression::compile(tag.keyText, &table, alias, c, m);
    if (!tag.key || keyTypeOf(tag.key->type()) != tag.keyType)
      return corrupt("key expression of tag " + tag.name + " does not fit the table");
    for (const std::string& f : tag.key->fields()) {
      if (!tag.keyFields.empty()) tag.keyFields += ';';
      tag.keyFields += f;
    }
    for (const Tag& other : tags_)
      if (other.name == tag.name) return corrupt("duplicate tag " + tag.name);
    tags_.push_back(std::move(tag));
  }
  code = 0;
  return true;
}

}  // namespace dbe
