#pragma once
// Posting lists: the ascending record numbers of one key, stored either as
// blocks of delta-coded varints with a skip table or as a bitmap.
#include <cstdint>
#include <string>
#include <vector>

namespace fts {

constexpr uint32_t kBlockSize = 128;
enum Encoding : uint32_t { kDeltaBlocks = 0, kBitmap = 1 };

// One stored list, as the dictionary describes it.
struct PostingRef {
  const uint8_t* data = nullptr;
  uint32_t length = 0;  // bytes
  uint32_t count = 0;   // record numbers
  uint32_t encoding = kDeltaBlocks;
  uint32_t recordCount = 0;  // of the index (bitmap width)
};

// Appends the smaller encoding of values (ascending, 1..recordCount) to out
// and returns its kind.
Encoding EncodePostings(const std::vector<uint32_t>& values, uint32_t recordCount,
                        std::string& out);

// Checks a stored list completely: layout, ascending values within
// 1..recordCount, the count, and that it uses exactly its length.
bool ValidatePostings(const PostingRef& ref);

// Appends every record number of a (validated) list.
void DecodePostings(const PostingRef& ref, std::vector<uint32_t>& out);

// One block of a validated delta list, read from its first value on, one
// delta at a time.
struct BlockReader {
  uint32_t value = 0;
  const uint8_t* next = nullptr;  // where the next delta starts
  const uint8_t* end = nullptr;   // where the block's deltas end
  void Enter(const PostingRef& ref, uint32_t block);
  void Step();
};

// The record numbers of a validated list one after another, decoded as
// they are asked for.
class PostingIterator {
 public:
  PostingIterator() = default;
  explicit PostingIterator(const PostingRef& ref);
  // The next record number, 0 after the last.
  uint32_t Next();

 private:
  PostingRef ref_;
  uint32_t taken_ = 0;
  // Bitmap: the 64-bit word at wordAt_ - 8 with the bits already given cleared.
  uint32_t wordAt_ = 0;
  uint64_t word_ = 0;
  BlockReader block_;  // delta blocks
};

// Membership tests with ascending probes over a validated list.
class PostingCursor {
 public:
  explicit PostingCursor(const PostingRef& ref);
  bool Contains(uint32_t value);

 private:
  uint32_t BlockFirst(uint32_t block) const;
  void EnterBlock(uint32_t block);

  PostingRef ref_;
  uint32_t blocks_ = 0;
  uint32_t block_ = 0;
  // Within block_: how many entries the value reached has consumed. Blocks
  // are decoded only as far as probed.
  BlockReader reader_;
  uint32_t taken_ = 0;
  uint32_t entries_ = 0;
};

}  // namespace fts
