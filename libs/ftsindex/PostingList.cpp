#include "libs/ftsindex/PostingList.h"

#include <algorithm>
#include <cstring>

#include "libs/ftsindex/Bytes.h"

namespace fts {
namespace {

uint32_t BlockCount(uint32_t count) {
  return (count + kBlockSize - 1) / kBlockSize;
}
uint32_t BitmapBytes(uint32_t recordCount) {
  return (recordCount + 7) / 8;
}

void EncodeDeltaBlocks(const std::vector<uint32_t>& values, std::string& out) {
  const auto count = static_cast<uint32_t>(values.size());
  const uint32_t blocks = BlockCount(count);
  std::string data;
  std::string skip;
  for (uint32_t b = 0; b < blocks; ++b) {
    const uint32_t first = b * kBlockSize;
    const uint32_t last = std::min(count, first + kBlockSize);
    Append32(skip, values[first]);
    Append32(skip, static_cast<uint32_t>(data.size()));
    for (uint32_t i = first + 1; i < last; ++i) AppendVarint(data, values[i] - values[i - 1]);
  }
  out += skip;
  out += data;
}

// Decodes block b of a delta list into out (replacing it); the list must be valid.
void DecodeBlockInto(const PostingRef& ref, uint32_t b, std::vector<uint32_t>& out) {
  BlockReader reader;
  reader.Enter(ref, b);
  out.clear();
  out.push_back(reader.value);
  const uint32_t entries = std::min(kBlockSize, ref.count - b * kBlockSize);
  for (uint32_t i = 1; i < entries; ++i) {
    reader.Step();
    out.push_back(reader.value);
  }
}

bool ValidateDeltaBlocks(const PostingRef& ref) {
  const uint32_t blocks = BlockCount(ref.count);
  if (ref.length < 8ull * blocks) return false;
  const uint8_t* skip = ref.data;
  const uint8_t* data = ref.data + 8ull * blocks;
  const uint8_t* end = ref.data + ref.length;
  uint32_t prev = 0;
  const uint8_t* p = data;
  for (uint32_t b = 0; b < blocks; ++b) {
    const uint32_t first = Load32(skip + 8ull * b);
    const uint32_t offset = Load32(skip + 8ull * b + 4);
    if (first <= prev || first > ref.recordCount) return false;
    if (offset != static_cast<uint64_t>(p - data)) return false;  // blocks are contiguous
    const uint8_t* blockEnd = end;
    if (b + 1 < blocks) {
      const uint32_t nextOffset = Load32(skip + 8ull * (b + 1) + 4);
      if (nextOffset < offset || nextOffset > static_cast<uint64_t>(end - data)) return false;
      blockEnd = data + nextOffset;
    }
    const uint32_t entries = std::min(kBlockSize, ref.count - b * kBlockSize);
    uint32_t v = first;
    for (uint32_t i = 1; i < entries; ++i) {
      uint32_t d = 0;
      if (!ReadVarint(p, blockEnd, d) || d == 0 || d > ref.recordCount - v) return false;
      v += d;
    }
    if (p != blockEnd) return false;
    prev = v;
  }
  return p == end;
}

bool ValidateBitmap(const PostingRef& ref) {
  const uint32_t bytes = BitmapBytes(ref.recordCount);
  if (ref.length != bytes) return false;
  uint64_t ones = 0;
  for (uint32_t i = 0; i < bytes; ++i) ones += __builtin_popcount(ref.data[i]);
  const uint32_t spare = bytes * 8 - ref.recordCount;  // bits past the last record
  if (spare && (ref.data[bytes - 1] >> (8 - spare))) return false;
  return ones == ref.count;
}

}  // namespace

Encoding EncodePostings(const std::vector<uint32_t>& values, uint32_t recordCount,
                        std::string& out) {
  std::string list;
  EncodeDeltaBlocks(values, list);
  const uint32_t bitmapBytes = BitmapBytes(recordCount);
  if (bitmapBytes >= list.size()) {
    out += list;
    return kDeltaBlocks;
  }
  const size_t start = out.size();
  out.append(bitmapBytes, '\0');
  auto* bits = reinterpret_cast<uint8_t*>(out.data() + start);
  for (uint32_t v : values) bits[(v - 1) >> 3] |= static_cast<uint8_t>(1u << ((v - 1) & 7));
  return kBitmap;
}

bool ValidatePostings(const PostingRef& ref) {
  if (ref.count == 0 || ref.count > ref.recordCount) return false;
  if (ref.encoding == kDeltaBlocks) return ValidateDeltaBlocks(ref);
  if (ref.encoding == kBitmap) return ValidateBitmap(ref);
  return false;
}

void DecodePostings(const PostingRef& ref, std::vector<uint32_t>& out) {
  if (ref.encoding == kBitmap) {
    const uint32_t bytes = BitmapBytes(ref.recordCount);
    for (uint32_t i = 0; i + 8 <= bytes; i += 8) {
      uint64_t word = Load64(ref.data + i);
      while (word) {
        out.push_back(i * 8 + static_cast<uint32_t>(__builtin_ctzll(word)) + 1);
        word &= word - 1;
      }
    }
    for (uint32_t i = bytes & ~7u; i < bytes; ++i)
      for (uint32_t bit = 0; bit < 8; ++bit)
        if (ref.data[i] >> bit & 1) out.push_back(i * 8 + bit + 1);
    return;
  }
  std::vector<uint32_t> block;
  const uint32_t blocks = BlockCount(ref.count);
  out.reserve(out.size() + ref.count);
  for (uint32_t b = 0; b < blocks; ++b) {
    DecodeBlockInto(ref, b, block);
    out.insert(out.end(), block.begin(), block.end());
  }
}

void BlockReader::Enter(const PostingRef& ref, uint32_t block) {
  const uint32_t blocks = BlockCount(ref.count);
  const uint8_t* data = ref.data + 8ull * blocks;
  next = data + Load32(ref.data + 8ull * block + 4);
  end =
      block + 1 < blocks ? data + Load32(ref.data + 8ull * (block + 1) + 4) : ref.data + ref.length;
  value = Load32(ref.data + 8ull * block);
}

void BlockReader::Step() {
  uint32_t d = 0;
  ReadVarint(next, end, d);  // cannot fail after validation
  value += d;
}

PostingIterator::PostingIterator(const PostingRef& ref) : ref_(ref) {}

uint32_t PostingIterator::Next() {
  if (taken_ >= ref_.count) return 0;
  ++taken_;
  if (ref_.encoding == kBitmap) {
    const uint32_t bytes = BitmapBytes(ref_.recordCount);
    while (word_ == 0) {
      // The last word may be short: read only the bytes the bitmap has.
      uint8_t tail[8] = {};
      const uint32_t have = std::min<uint32_t>(8, bytes - wordAt_);
      std::memcpy(tail, ref_.data + wordAt_, have);
      word_ = Load64(tail);
      wordAt_ += 8;
    }
    const uint32_t bit = static_cast<uint32_t>(__builtin_ctzll(word_));
    word_ &= word_ - 1;
    return (wordAt_ - 8) * 8 + bit + 1;
  }
  const uint32_t index = taken_ - 1;
  if (index % kBlockSize == 0)  // the first of a block is in the skip table
    block_.Enter(ref_, index / kBlockSize);
  else
    block_.Step();
  return block_.value;
}

PostingCursor::PostingCursor(const PostingRef& ref) : ref_(ref) {
  if (ref_.encoding == kDeltaBlocks) {
    blocks_ = BlockCount(ref_.count);
    if (blocks_) EnterBlock(0);
  }
}

uint32_t PostingCursor::BlockFirst(uint32_t block) const {
  return Load32(ref_.data + 8ull * block);
}

void PostingCursor::EnterBlock(uint32_t block) {
  block_ = block;
  reader_.Enter(ref_, block);
  taken_ = 1;
  entries_ = std::min(kBlockSize, ref_.count - block * kBlockSize);
}

bool PostingCursor::Contains(uint32_t value) {
  if (ref_.encoding == kBitmap) {
    if (value == 0 || value > ref_.recordCount) return false;
    return ref_.data[(value - 1) >> 3] >> ((value - 1) & 7) & 1;
  }
  if (blocks_ == 0) return false;
  // Move to the last block whose first value is <= value (probes ascend).
  if (block_ + 1 < blocks_ && BlockFirst(block_ + 1) <= value) {
    uint32_t lo = block_ + 1, hi = blocks_;  // answer in [lo, hi)
    while (hi - lo > 1) {
      const uint32_t mid = lo + (hi - lo) / 2;
      if (BlockFirst(mid) <= value)
        lo = mid;
      else
        hi = mid;
    }
    EnterBlock(lo);
  }
  while (reader_.value < value && taken_ < entries_) {
    reader_.Step();
    ++taken_;
  }
  return reader_.value == value;
}

}  // namespace fts
