#include "libs/ftsindex/IndexFile.h"

#include <algorithm>
#include <cstring>

#include "libs/ftsindex/Bytes.h"
#include "libs/ftsindex/Crc32c.h"
#include "libs/ftsindex/ftsindex.h"

namespace fts {
namespace {

// Every key starts with a character code, which is never 0.
bool ValidKey(Key k) {
  return (k >> 16) != 0;
}

uint32_t ItemSize(uint32_t level) {
  return level == 0 ? kEntrySize : 4;
}

}  // namespace

int32_t IndexFile::Open(const fts_io* io, const std::string& path) {
  if (const int32_t r = file_.Open(io, path)) return r;
  uint64_t size = 0;
  if (const int32_t r = file_.Size(size)) return r;
  uint8_t h[kHeaderSize];
  // The header first: a foreign or mislabelled file is refused before its
  // sizes are trusted.
  if (size < kHeaderSize) return FTS_ERR_FORMAT;
  if (const int32_t r = file_.ReadExact(0, h, kHeaderSize)) return r;
  if (std::memcmp(h + hdr::kMagic, kMagic, 8) != 0 || Load32(h + hdr::kVersion) != kVersion ||
      Load32(h + hdr::kHeaderSize) != kHeaderSize ||
      !ChecksumMatches(h, hdr::kChecksum, Load32(h + hdr::kChecksum)))
    return FTS_ERR_FORMAT;
  records_ = Load32(h + hdr::kRecordCount);
  keys_ = Load32(h + hdr::kKeyCount);
  const uint64_t fileSize = Load64(h + hdr::kFileSize);
  postingsSize_ = Load64(h + hdr::kPostingsSize);
  dictionaryOffset_ = Load64(h + hdr::kDictionaryOffset);
  levels_ = LevelPages(keys_, levelPages_);
  uint64_t pages = 0;
  for (uint32_t l = 0; l < levels_; ++l) {
    levelStart_[l] = pages;
    pages += levelPages_[l];
  }
  if (records_ > kMaxRecords || fileSize != size ||
      Load64(h + hdr::kPostingsOffset) != kHeaderSize || postingsSize_ > size ||
      dictionaryOffset_ != kHeaderSize + postingsSize_ || Load32(h + hdr::kPageSize) != kPageSize ||
      Load32(h + hdr::kReserved) != 0 || (levels_ > 0 && levelPages_[levels_ - 1] != 1) ||
      size - std::min(size, dictionaryOffset_) != pages * kPageSize || dictionaryOffset_ > size ||
      (keys_ == 0 && postingsSize_ != 0))
    return FTS_ERR_FORMAT;
  // The tag: its bytes, none of them zero, then zeros up to the checksum.
  const uint32_t tagLength = h[hdr::kTagLength];
  if (std::memchr(h + hdr::kTag, 0, tagLength) != nullptr ||
      std::any_of(h + hdr::kTag + tagLength, h + hdr::kChecksum, [](uint8_t b) { return b != 0; }))
    return FTS_ERR_FORMAT;
  tag_.assign(reinterpret_cast<const char*>(h + hdr::kTag), tagLength);
  if (levels_ == 0) return 0;
  root_.resize(kPageSize);
  return ReadPage(levels_ - 1, 0, root_.data());
}

uint32_t IndexFile::ItemsOn(uint32_t level, uint64_t index) const {
  const uint64_t below = level == 0 ? keys_ : levelPages_[level - 1];
  const uint32_t per = level == 0 ? kEntriesPerLeaf : kChildrenPerPage;
  return static_cast<uint32_t>(std::min<uint64_t>(per, below - index * per));
}

Key IndexFile::FirstKeyOf(const uint8_t* page) const {
  return Load32(page + kPageHead);
}

int32_t IndexFile::CheckPage(const uint8_t* page, uint32_t level, uint64_t index) const {
  if (!ChecksumMatches(page + 4, kPageSize - 4, Load32(page + page::kChecksum)))
    return FTS_ERR_FORMAT;
  const uint32_t items = ItemsOn(level, index);
  if (Load16(page + page::kCount) != items || Load16(page + page::kLevel) != level)
    return FTS_ERR_FORMAT;
  const uint32_t step = ItemSize(level);
  Key previous = 0;
  for (uint32_t i = 0; i < items; ++i) {
    const Key k = Load32(page + kPageHead + i * step);
    if (!ValidKey(k) || (i > 0 && k <= previous)) return FTS_ERR_FORMAT;
    previous = k;
  }
  // Zeros after the last item.
  const uint8_t* rest = page + kPageHead + items * step;
  return std::all_of(rest, page + kPageSize, [](uint8_t b) { return b == 0; }) ? 0 : FTS_ERR_FORMAT;
}

int32_t IndexFile::ReadPage(uint32_t level, uint64_t index, uint8_t* page) const {
  if (index >= levelPages_[level]) return FTS_ERR_FORMAT;
  const uint64_t at = dictionaryOffset_ + (levelStart_[level] + index) * kPageSize;
  if (const int32_t r = file_.ReadExact(at, page, kPageSize)) return r;
  return CheckPage(page, level, index);
}

int32_t IndexFile::EntryOf(const uint8_t* leaf, uint32_t i, ListInfo& info) const {
  const uint8_t* e = leaf + kPageHead + i * kEntrySize;
  info.key = Load32(e + entry::kKey);
  info.count = Load32(e + entry::kCount);
  info.offset = Load64(e + entry::kOffset);
  info.length = Load32(e + entry::kLength);
  info.headChecksum = Load32(e + entry::kHeadChecksum);
  info.encoding = Load32(e + entry::kEncoding);
  const uint64_t head = HeadBytes(info, records_);
  if (info.count == 0 || info.count > records_ || head == 0 || info.length < head ||
      info.offset > postingsSize_ || info.length > postingsSize_ - info.offset ||
      (info.encoding == kBitmap && info.length != BitmapListBytes(records_)))
    return FTS_ERR_FORMAT;
  return 0;
}

int32_t IndexFile::Find(Key key, ListInfo& info) const {
  if (levels_ == 0) return 0;
  std::vector<uint8_t> below;
  const uint8_t* page = root_.data();
  uint64_t index = 0;
  for (uint32_t level = levels_ - 1; level > 0; --level) {
    // The last child whose first key is at most key.
    const uint32_t items = ItemsOn(level, index);
    const uint8_t* keys = page + kPageHead;
    uint32_t lo = 0, hi = items;
    while (lo < hi) {
      const uint32_t mid = lo + (hi - lo) / 2;
      if (Load32(keys + mid * 4) <= key)
        lo = mid + 1;
      else
        hi = mid;
    }
    if (lo == 0) return 0;  // before the first key of the index
    const Key first = Load32(keys + (lo - 1) * 4);
    index = index * kChildrenPerPage + lo - 1;
    below.resize(kPageSize);
    if (const int32_t r = ReadPage(level - 1, index, below.data())) return r;
    if (FirstKeyOf(below.data()) != first) return FTS_ERR_FORMAT;  // the levels disagree
    page = below.data();
  }
  const uint32_t items = ItemsOn(0, index);
  uint32_t lo = 0, hi = items;
  while (lo < hi) {
    const uint32_t mid = lo + (hi - lo) / 2;
    if (Load32(page + kPageHead + mid * kEntrySize) < key)
      lo = mid + 1;
    else
      hi = mid;
  }
  if (lo == items || Load32(page + kPageHead + lo * kEntrySize) != key) return 0;
  if (const int32_t r = EntryOf(page, lo, info)) return r;
  return 1;
}

int32_t IndexFile::ReadPostings(uint64_t offset, void* to, size_t size) const {
  if (offset > postingsSize_ || size > postingsSize_ - offset) return FTS_ERR_FORMAT;
  return file_.ReadExact(kHeaderSize + offset, to, size);
}

int32_t IndexFile::CheckAll() const {
  if (levels_ == 0) return postingsSize_ == 0 ? 0 : FTS_ERR_FORMAT;
  std::vector<uint8_t> page(kPageSize);
  // From the root down: each page begins with the key its parent names for
  // it, and the keys ascend across the pages of a level.
  std::vector<Key> named, naming;
  PostingList list;  // its buffers serve every list in turn
  for (uint32_t level = levels_; level-- > 0;) {
    naming.clear();
    uint64_t expected = 0;  // where the next list starts
    Key previous = 0;
    for (uint64_t i = 0; i < levelPages_[level]; ++i) {
      if (const int32_t r = ReadPage(level, i, page.data())) return r;
      const uint32_t items = ItemsOn(level, i), step = ItemSize(level);
      if ((level + 1 < levels_ && FirstKeyOf(page.data()) != named[i]) ||
          (i > 0 && FirstKeyOf(page.data()) <= previous))
        return FTS_ERR_FORMAT;
      previous = Load32(page.data() + kPageHead + (items - 1) * step);
      for (uint32_t k = 0; k < items; ++k) {
        if (level > 0) {
          naming.push_back(Load32(page.data() + kPageHead + k * step));
          continue;
        }
        // The lists follow one another in key order from the start of the
        // postings area; each is read and checked whole.
        ListInfo info;
        if (const int32_t r = EntryOf(page.data(), k, info)) return r;
        if (info.offset != expected) return FTS_ERR_FORMAT;
        expected += info.length;
        int32_t r = list.Load(*this, info, true);
        if (r == 0) r = list.CheckParts();
        if (r != 0) return r;
      }
    }
    if (level == 0 && expected != postingsSize_) return FTS_ERR_FORMAT;
    named.swap(naming);
  }
  return 0;
}

}  // namespace fts
