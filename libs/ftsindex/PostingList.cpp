#include "libs/ftsindex/PostingList.h"

#include <algorithm>
#include <cstring>

#include "libs/ftsindex/BitCount.h"
#include "libs/ftsindex/Bytes.h"
#include "libs/ftsindex/Crc32c.h"
#include "libs/ftsindex/EliasFano.h"
#include "libs/ftsindex/IndexFile.h"
#include "libs/ftsindex/ftsindex.h"

namespace fts {
namespace {

constexpr uint32_t kNoPart = 0xFFFFFFFF;

uint32_t BlockCount(uint32_t count) {
  return (count + kBlockSize - 1) / kBlockSize;
}
uint64_t BitmapBytes(uint32_t records) {
  return (uint64_t{records} + 7) / 8;
}
uint32_t ChunkCount(uint32_t records) {
  return static_cast<uint32_t>((BitmapBytes(records) + kChunkBytes - 1) / kChunkBytes);
}

void EncodeBitmap(const std::vector<uint32_t>& values, uint32_t records, std::string& out) {
  const uint32_t chunks = ChunkCount(records);
  const uint64_t head = uint64_t{chunks} * kChunkHead;
  out.assign(static_cast<size_t>(head + BitmapBytes(records)), '\0');
  auto* p = reinterpret_cast<uint8_t*>(out.data());
  uint8_t* bits = p + head;
  for (uint32_t v : values) bits[(v - 1) >> 3] |= static_cast<uint8_t>(1u << ((v - 1) & 7));
  for (uint32_t c = 0; c < chunks; ++c) {
    const uint64_t begin = uint64_t{c} * kChunkBytes;
    const size_t size =
        static_cast<size_t>(std::min<uint64_t>(kChunkBytes, BitmapBytes(records) - begin));
    Store32(p + c * kChunkHead, static_cast<uint32_t>(CountBits(bits + begin, size)));
    Store32(p + c * kChunkHead + 4, Crc32c(bits + begin, size));
  }
}

void EncodeEliasFano(const std::vector<uint32_t>& values, std::string& out) {
  const auto count = static_cast<uint32_t>(values.size());
  const uint32_t blocks = BlockCount(count);
  const size_t head = size_t{blocks} * kBlockHead;
  out.assign(head, '\0');
  for (uint32_t b = 0; b < blocks; ++b) {
    const uint32_t n = std::min(kBlockSize, count - b * kBlockSize);
    const size_t start = out.size();
    AppendEliasFano(values.data() + size_t{b} * kBlockSize, n, out);
    auto* h = reinterpret_cast<uint8_t*>(out.data()) + size_t{b} * kBlockHead;
    Store32(h, values[size_t{b} * kBlockSize]);
    Store32(h + 4, static_cast<uint32_t>(start - head));
    Store32(h + 8, Crc32c(out.data() + start, out.size() - start));
  }
}

}  // namespace

uint64_t BitmapListBytes(uint32_t recordCount) {
  return uint64_t{ChunkCount(recordCount)} * kChunkHead + BitmapBytes(recordCount);
}

uint64_t HeadBytes(const ListInfo& info, uint32_t recordCount) {
  if (info.encoding == kEliasFano) return uint64_t{BlockCount(info.count)} * kBlockHead;
  if (info.encoding == kBitmap) return uint64_t{ChunkCount(recordCount)} * kChunkHead;
  return 0;
}

uint32_t ListParts(const ListInfo& info, uint32_t recordCount) {
  return info.encoding == kBitmap ? ChunkCount(recordCount) : BlockCount(info.count);
}

void EncodeList(const std::vector<uint32_t>& values, uint32_t recordCount, std::string& out,
                ListInfo& info) {
  const auto count = static_cast<uint32_t>(values.size());
  uint64_t eliasFano = uint64_t{BlockCount(count)} * kBlockHead;
  for (uint32_t first = 0; first < count; first += kBlockSize)
    eliasFano += EliasFanoBytes(values.data() + first, std::min(kBlockSize, count - first));
  info.count = count;
  info.encoding = BitmapListBytes(recordCount) < eliasFano ? kBitmap : kEliasFano;
  if (info.encoding == kBitmap)
    EncodeBitmap(values, recordCount, out);
  else
    EncodeEliasFano(values, out);
  info.length = static_cast<uint32_t>(out.size());
  info.headChecksum = Crc32c(out.data(), static_cast<size_t>(HeadBytes(info, recordCount)));
}

int32_t PostingList::Load(const IndexFile& file, const ListInfo& info, bool whole) {
  file_ = &file;
  info_ = info;
  records_ = file.RecordCount();
  current_ = kNoPart;
  taken_ = 0;
  wordAt_ = word_ = 0;
  chunk_ = nullptr;
  whole_ = whole;
  const uint64_t headBytes = HeadBytes(info, records_);
  if (headBytes == 0 || info.count == 0 || info.count > records_ || info.length < headBytes ||
      (info.encoding == kBitmap && info.length != BitmapListBytes(records_)))
    return FTS_ERR_FORMAT;
  parts_ = ListParts(info, records_);
  headSize_ = static_cast<size_t>(headBytes);
  const size_t read = whole ? info.length : headSize_;
  uint8_t* to = (whole ? wholeBytes_ : headBytes_).Take(read);
  head_ = to;
  if (const int32_t r = file.ReadPostings(info.offset, to, read)) return r;
  return CheckHead();
}

int32_t PostingList::CheckParts() {
  for (uint32_t p = 0; p < parts_; ++p)
    if (const int32_t r = Enter(p)) return r;
  current_ = kNoPart;
  return 0;
}

uint32_t PostingList::First(uint32_t block) const {
  return Load32(head_ + size_t{block} * kBlockHead);
}

uint32_t PostingList::PartEntries(uint32_t p) const {
  return std::min(kBlockSize, info_.count - p * kBlockSize);
}

int32_t PostingList::CheckHead() {
  if (!ChecksumMatches(head_, headSize_, info_.headChecksum)) return FTS_ERR_FORMAT;
  if (info_.encoding == kBitmap) {
    uint64_t ones = 0;
    for (uint32_t c = 0; c < parts_; ++c) {
      const uint32_t n = Load32(head_ + size_t{c} * kChunkHead);
      if (n > kChunkBytes * 8) return FTS_ERR_FORMAT;
      ones += n;
    }
    return ones == info_.count ? 0 : FTS_ERR_FORMAT;
  }
  // Blocks in order, each after the one before, the data one after another.
  const uint64_t dataBytes = info_.length - headSize_;
  uint64_t lastFirst = 0, lastOffset = 0;
  for (uint32_t b = 0; b < parts_; ++b) {
    const uint8_t* h = head_ + size_t{b} * kBlockHead;
    const uint32_t first = Load32(h), offset = Load32(h + 4);
    if (first == 0 || first > records_) return FTS_ERR_FORMAT;
    if (b == 0 ? offset != 0 : (first < lastFirst + kBlockSize || offset < lastOffset))
      return FTS_ERR_FORMAT;
    if (offset > dataBytes) return FTS_ERR_FORMAT;
    lastFirst = first;
    lastOffset = offset;
  }
  // The last block's numbers fit below the record count.
  if (lastFirst + PartEntries(parts_ - 1) - 1 > records_) return FTS_ERR_FORMAT;
  return 0;
}

int32_t PostingList::Enter(uint32_t p, bool decode) {
  const uint64_t headBytes = headSize_;
  uint64_t begin = 0, end = 0;
  uint32_t checksum = 0;
  if (info_.encoding == kBitmap) {
    begin = headBytes + uint64_t{p} * kChunkBytes;
    end = std::min<uint64_t>(begin + kChunkBytes, info_.length);
    checksum = Load32(head_ + size_t{p} * kChunkHead + 4);
  } else {
    const uint8_t* h = head_ + size_t{p} * kBlockHead;
    begin = headBytes + Load32(h + 4);
    end = p + 1 < parts_ ? headBytes + Load32(h + kBlockHead + 4) : info_.length;
    checksum = Load32(h + 8);
  }
  const auto size = static_cast<size_t>(end - begin);
  const uint8_t* data = nullptr;
  if (whole_) {
    data = wholeBytes_.data() + begin;
  } else {
    uint8_t* to = partBytes_.Take(size);
    if (const int32_t r = file_->ReadPostings(info_.offset + begin, to, size)) return r;
    data = to;
  }
  if (!ChecksumMatches(data, size, checksum)) return FTS_ERR_FORMAT;
  if (info_.encoding == kBitmap) {
    if (CountBits(data, size) != Load32(head_ + size_t{p} * kChunkHead)) return FTS_ERR_FORMAT;
    // Bits past the last record are 0.
    const uint32_t spare = static_cast<uint32_t>(BitmapBytes(records_) * 8 - records_);
    if (p + 1 == parts_ && spare && (data[size - 1] >> (8 - spare))) return FTS_ERR_FORMAT;
    chunk_ = data;
    chunkBytes_ = static_cast<uint32_t>(size);
  } else {
    const uint32_t last = p + 1 < parts_ ? First(p + 1) - 1 : records_;
    entries_ = PartEntries(p);
    position_ = 0;
    if (decode ? !DecodeEliasFano(data, size, First(p), entries_, last, values_)
               : !cursor_.Start(data, size, First(p), entries_, last))
      return FTS_ERR_FORMAT;
  }
  current_ = p;
  return 0;
}

int32_t PostingList::AppendAll(std::vector<uint32_t>& out) {
  out.reserve(out.size() + info_.count);
  for (uint32_t p = 0; p < parts_; ++p) {
    if (const int32_t r = Enter(p)) return r;
    if (info_.encoding == kEliasFano) {
      out.insert(out.end(), values_, values_ + entries_);
      continue;
    }
    const uint32_t base = p * kChunkBytes * 8 + 1;
    for (uint32_t i = 0; i < chunkBytes_; ++i)
      for (uint32_t bits = chunk_[i]; bits; bits &= bits - 1)
        out.push_back(base + i * 8 + static_cast<uint32_t>(__builtin_ctz(bits)));
  }
  return 0;
}

int32_t PostingList::Contains(uint32_t value, bool& found) {
  found = false;
  if (value == 0 || value > records_) return 0;
  if (info_.encoding == kBitmap) {
    const uint32_t index = value - 1, p = index / (kChunkBytes * 8);
    if (p != current_)
      if (const int32_t r = Enter(p)) return r;
    const uint32_t bit = index - p * kChunkBytes * 8;
    found = chunk_[bit >> 3] >> (bit & 7) & 1;
    return 0;
  }
  // The last block whose first number is at most value; probes ascend.
  uint32_t lo = current_ == kNoPart ? 0 : current_, hi = parts_;
  if (value < First(lo)) return 0;
  if (lo + 1 < hi && First(lo + 1) <= value) {
    ++lo;
    while (hi - lo > 1) {
      const uint32_t mid = lo + (hi - lo) / 2;
      if (First(mid) <= value)
        lo = mid;
      else
        hi = mid;
    }
  }
  // Decoded only as far as probed: most probes of a long list touch a few
  // of a block's numbers.
  if (lo != current_)
    if (const int32_t r = Enter(lo, false)) return r;
  cursor_.SkipTo(value);
  if (cursor_.Bad()) return FTS_ERR_FORMAT;
  found = cursor_.Value() == value;
  return 0;
}

int32_t PostingList::KeepCommon(std::vector<uint32_t>& values) {
  auto kept = values.begin();
  if (info_.encoding == kBitmap) {
    for (uint32_t v : values) {
      bool found = false;
      if (const int32_t r = Contains(v, found)) return r;
      if (found) *kept++ = v;
    }
  } else {
    auto at = values.begin();
    for (uint32_t p = 0; p < parts_ && at != values.end(); ++p) {
      // Values below the block's first number are in no block from here on.
      at = std::lower_bound(at, values.end(), First(p));
      const uint64_t end = p + 1 < parts_ ? First(p + 1) : uint64_t{records_} + 1;
      if (at == values.end() || *at >= end) continue;
      if (const int32_t r = Enter(p)) return r;
      const uint32_t* v = values_;
      const uint32_t* const vEnd = values_ + entries_;
      for (; at != values.end() && *at < end; ++at) {
        while (v != vEnd && *v < *at) ++v;
        if (v != vEnd && *v == *at) *kept++ = *at;
      }
    }
  }
  values.erase(kept, values.end());
  return 0;
}

uint32_t PostingList::NextMany(int32_t* out, uint32_t max) {
  uint32_t n = 0;
  if (info_.encoding == kEliasFano && whole_) {
    // A block's decoded numbers at a time.
    while (n < max && taken_ < info_.count) {
      if (current_ == kNoPart || position_ == entries_)
        if (Enter(current_ == kNoPart ? 0 : current_ + 1) != 0) break;  // checked at Load
      const uint32_t take = std::min({max - n, entries_ - position_, info_.count - taken_});
      for (uint32_t i = 0; i < take; ++i) out[n + i] = static_cast<int32_t>(values_[position_ + i]);
      position_ += take;
      taken_ += take;
      n += take;
    }
    return n;
  }
  for (uint32_t v; n < max && (v = Next()) != 0;) out[n++] = static_cast<int32_t>(v);
  return n;
}

uint32_t PostingList::Next() {
  if (taken_ >= info_.count || !whole_) return 0;
  ++taken_;
  if (info_.encoding == kEliasFano) {
    if (current_ == kNoPart || position_ == entries_)
      if (Enter(current_ == kNoPart ? 0 : current_ + 1) != 0) return 0;  // checked at Load
    return values_[position_++];
  }
  const uint8_t* bits = wholeBytes_.data() + headSize_;
  const uint64_t bytes = BitmapBytes(records_);
  while (word_ == 0) {
    // The last word may be short: only the bytes the bitmap has.
    uint8_t tail[8] = {};
    std::memcpy(tail, bits + wordAt_, static_cast<size_t>(std::min<uint64_t>(8, bytes - wordAt_)));
    word_ = Load64(tail);
    wordAt_ += 8;
  }
  const auto bit = static_cast<uint32_t>(__builtin_ctzll(word_));
  word_ &= word_ - 1;
  return static_cast<uint32_t>((wordAt_ - 8) * 8 + bit + 1);
}

}  // namespace fts
