#pragma once
// The layout of the index file, version 3 (FORMAT.md).
#include <cstdint>

namespace fts {

constexpr char kMagic[8] = {'P', 'F', 'F', 'T', 'S', 'I', 'D', 'X'};
constexpr uint32_t kVersion = 3;
constexpr uint32_t kHeaderSize = 512;
constexpr uint32_t kMaxTag = 255;
constexpr uint32_t kMaxRecords = 0x7FFFFFFF;

// Header field offsets.
namespace hdr {
constexpr uint32_t kMagic = 0, kVersion = 8, kHeaderSize = 12, kRecordCount = 16, kKeyCount = 20,
                   kFileSize = 24, kPostingsOffset = 32, kPostingsSize = 40, kDictionaryOffset = 48,
                   kPageSize = 56, kReserved = 60, kTagLength = 64, kTag = 65, kChecksum = 508;
}

// The key directory: pages of kPageSize bytes, leaves first, then each level
// above them, the root last.
constexpr uint32_t kPageSize = 4096;
constexpr uint32_t kPageHead = 8;  // checksum (4), item count (2), level (2)
constexpr uint32_t kEntrySize = 28;
constexpr uint32_t kEntriesPerLeaf = (kPageSize - kPageHead) / kEntrySize;  // 146
constexpr uint32_t kChildrenPerPage = (kPageSize - kPageHead) / 4;          // 1022
constexpr uint32_t kMaxLevels = 8;

namespace page {
constexpr uint32_t kChecksum = 0, kCount = 4, kLevel = 6;
}
namespace entry {
constexpr uint32_t kKey = 0, kCount = 4, kOffset = 8, kLength = 16, kHeadChecksum = 20,
                   kEncoding = 24;
}

// Posting lists.
constexpr uint32_t kBlockSize = 128;    // record numbers of an Elias-Fano block
constexpr uint32_t kBlockHead = 12;     // first number, data offset, data checksum
constexpr uint32_t kChunkBytes = 4096;  // bitmap bytes of a chunk
constexpr uint32_t kChunkHead = 8;      // set bits, checksum
enum Encoding : uint32_t { kEliasFano = 0, kBitmap = 1 };

// Pages of each level of a directory of keyCount keys, leaves first; the
// number of levels is the answer (0 for no key).
inline uint32_t LevelPages(uint32_t keyCount, uint64_t pages[kMaxLevels]) {
  if (keyCount == 0) return 0;
  uint32_t levels = 0;
  uint64_t n = (uint64_t{keyCount} + kEntriesPerLeaf - 1) / kEntriesPerLeaf;
  pages[levels++] = n;
  while (n > 1 && levels < kMaxLevels) {
    n = (n + kChildrenPerPage - 1) / kChildrenPerPage;
    pages[levels++] = n;
  }
  return levels;
}

}  // namespace fts
