#include "libs/ftsindex/PostingArena.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace fts {

PostingArena::PostingArena(size_t capacity) {
  // Reserved, not committed: memory counts once it is used, and many builds
  // at once do not claim the whole block each.
  void* m = ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (m == MAP_FAILED) return;
  // Huge pages beyond the first few MiB, where a large build's lists lie: a
  // small build does not clear a huge page for a few bytes.
  constexpr size_t kSmall = size_t{4} << 20;
  if (capacity > kSmall)
    ::madvise(static_cast<uint8_t*>(m) + kSmall, capacity - kSmall, MADV_HUGEPAGE);  // advice only
  bytes_ = static_cast<uint8_t*>(m);
  capacity_ = capacity;
}

PostingArena::~PostingArena() {
  if (bytes_) ::munmap(bytes_, capacity_);
}

uint32_t PostingArena::NewChunk(uint8_t sizeClass) {
  const size_t bytes = DataBytes(sizeClass) + kLink;
  if (capacity_ - used_ < bytes) return kNone;
  const auto at = static_cast<uint32_t>(used_);
  used_ += bytes;
  const uint32_t none = kNone;
  std::memcpy(bytes_ + at, &none, 4);
  return at;
}

bool PostingArena::AppendToNewChunk(Chain& chain, const uint8_t* bytes, size_t n) {
  // The chunks the bytes need must all exist before anything is written.
  const uint32_t room = chain.tail == kNone ? 0 : DataBytes(chain.size) - chain.fill;
  size_t needed = 0;
  uint8_t sizeClass = chain.size;
  bool linked = chain.tail != kNone;
  for (size_t left = n - room; left > 0; linked = true) {
    sizeClass = linked ? static_cast<uint8_t>(sizeClass + (sizeClass < kLargestClass)) : 0;
    needed += DataBytes(sizeClass) + kLink;
    left -= std::min<size_t>(left, DataBytes(sizeClass));
  }
  if (capacity_ - used_ < needed) return false;
  if (chain.tail != kNone) {
    std::memcpy(bytes_ + chain.tail + kLink + chain.fill, bytes, room);
    chain.fill = static_cast<uint16_t>(chain.fill + room);
  }
  bytes += room;
  n -= room;
  while (n > 0) {
    const uint8_t next =
        chain.tail == kNone ? 0 : static_cast<uint8_t>(chain.size + (chain.size < kLargestClass));
    const uint32_t chunk = NewChunk(next);
    if (chain.tail == kNone)
      chain.head = chunk;
    else
      std::memcpy(bytes_ + chain.tail, &chunk, 4);
    chain.tail = chunk;
    chain.size = next;
    const size_t part = std::min<size_t>(n, DataBytes(next));
    std::memcpy(bytes_ + chunk + kLink, bytes, part);
    chain.fill = static_cast<uint16_t>(part);
    bytes += part;
    n -= part;
  }
  return true;
}

}  // namespace fts
