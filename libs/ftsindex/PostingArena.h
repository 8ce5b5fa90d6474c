#pragma once
// The bytes of many growing lists in one block of memory of fixed size: each
// list a chain of chunks that double in size up to 1 KiB, taken from the
// block one after another. When the block is full the lists are written out
// and the block used again from its start.
#include <cstddef>
#include <cstdint>

namespace fts {

class PostingArena {
 public:
  struct Chain {
    uint32_t head = kNone;  // offsets of the first and last chunk
    uint32_t tail = kNone;
    uint16_t fill = 0;  // bytes used in the last chunk
    uint8_t size = 0;   // size class of the last chunk
  };
  static constexpr uint32_t kNone = 0xFFFFFFFF;

  // Without memory for it, the arena takes nothing (Append answers false).
  explicit PostingArena(size_t capacity);
  ~PostingArena();
  PostingArena(const PostingArena&) = delete;
  PostingArena& operator=(const PostingArena&) = delete;
  bool Usable() const { return bytes_ != nullptr; }
  // Appends n bytes to chain; false, with nothing appended, when the block
  // has no room left.
  bool Append(Chain& chain, const uint8_t* bytes, size_t n) {
    if (chain.tail != kNone && chain.fill + n <= DataBytes(chain.size)) {
      uint8_t* to = bytes_ + chain.tail + kLink + chain.fill;
      for (size_t i = 0; i < n; ++i) to[i] = bytes[i];
      chain.fill = static_cast<uint16_t>(chain.fill + n);
      return true;
    }
    return AppendToNewChunk(chain, bytes, n);
  }
  // Calls visit(data, size) for the chain's bytes, in order.
  template <typename Visit>
  void ForEachPiece(const Chain& chain, Visit&& visit) const;
  // Forgets every chain (their Chain values must be reset too).
  void Clear() { used_ = 0; }

 private:
  // A chunk: the offset of the next chunk (4 bytes), then its data.
  static constexpr uint32_t kLink = 4;
  static uint32_t DataBytes(uint8_t sizeClass) { return (16u << sizeClass) - kLink; }
  static constexpr uint8_t kLargestClass = 6;  // 1 KiB chunks
  uint32_t NewChunk(uint8_t sizeClass);
  bool AppendToNewChunk(Chain& chain, const uint8_t* bytes, size_t n);

  uint8_t* bytes_ = nullptr;
  size_t capacity_ = 0;
  size_t used_ = 0;
};

template <typename Visit>
void PostingArena::ForEachPiece(const Chain& chain, Visit&& visit) const {
  uint8_t sizeClass = 0;
  for (uint32_t at = chain.head; at != kNone;) {
    const bool last = at == chain.tail;
    visit(bytes_ + at + kLink, last ? chain.fill : DataBytes(sizeClass));
    if (last) break;
    uint32_t next;
    __builtin_memcpy(&next, bytes_ + at, 4);
    at = next;
    if (sizeClass < kLargestClass) ++sizeClass;
  }
}

}  // namespace fts
