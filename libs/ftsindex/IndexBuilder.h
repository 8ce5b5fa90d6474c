#pragma once
// An index under construction. Each key's record numbers are kept as
// varint deltas: the latest few beside the key in its hash table entry, the
// rest in a block of memory of fixed size. When the block is full the lists
// are written out as a run to a temporary file beside the index, and the
// runs are merged key by key when the index is written.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "libs/ftsindex/FileIo.h"
#include "libs/ftsindex/IndexKeys.h"
#include "libs/ftsindex/PostingArena.h"
#include "libs/ftsindex/SpillFile.h"

namespace fts {

class IndexBuilder {
 public:
  static constexpr size_t kMemoryBytes = size_t{192} << 20;
  // The temporary file, when needed, goes beside the file path names,
  // through io.
  IndexBuilder(const fts_io* io, std::string path, size_t memoryBytes);

  // False when the block of memory could not be had.
  bool Usable() const { return arena_.Usable(); }
  // Takes the next record number and indexes record under it.
  uint32_t Add(std::string_view record);
  // Takes the next record number for a refused record (no keys).
  uint32_t AddEmpty() { return ++records_; }
  uint32_t RecordCount() const { return records_; }
  uint32_t KeyCount() const { return keys_; }
  // The source tag written with the index (at most kMaxTag bytes, no zero byte).
  void SetTag(std::string tag) { tag_ = std::move(tag); }
  const std::string& Tag() const { return tag_; }
  // Writes the index file. 0 or FTS_ERR_IO.
  int32_t Write();

 private:
  // One key, one cache line: what a new record number touches.
  struct alignas(64) Slot {
    Key key = 0;         // 0: a free entry (no key is 0)
    uint32_t last = 0;   // the last record number taken
    uint32_t total = 0;  // record numbers in all
    uint32_t bytes = 0;  // bytes in the memory block
    PostingArena::Chain chain;
    uint8_t pending = 0;  // bytes in recent
    uint8_t recent[35];
  };
  static_assert(sizeof(Slot) == 64);

  Slot& SlotOf(Key key);
  void Grow();
  void Take(Slot& slot, uint32_t number);
  // Moves a slot's recent bytes to the memory block; false when it is full.
  bool Settle(Slot& slot);
  // Writes every list in memory as a run and empties the block.
  int32_t Spill();
  // The used slots in key order.
  std::vector<const Slot*> KeyOrder() const;

  const fts_io* io_;
  std::string path_;
  uint32_t records_ = 0, keys_ = 0;
  std::string tag_;
  std::vector<Slot> slots_;  // open addressing, a power of two
  std::vector<Key> recordKeys_;
  PostingArena arena_;
  SpillFile spill_;
  int32_t failed_ = 0;  // FTS_ERR_IO once a run could not be written
};

}  // namespace fts
