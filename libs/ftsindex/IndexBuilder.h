#pragma once
// An index under construction, held in memory until it is written.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "libs/ftsindex/Cp949Text.h"

namespace fts {

class IndexBuilder {
 public:
  IndexBuilder();
  // Takes the next record number and indexes record under it.
  uint32_t Add(std::string_view record);
  // Takes the next record number for a refused record (no keys).
  uint32_t AddEmpty() { return ++records_; }
  uint32_t RecordCount() const { return records_; }
  uint32_t KeyCount() const { return static_cast<uint32_t>(slots_.size()); }
  // The source tag written with the index (at most kMaxTag bytes, no zero byte).
  void SetTag(std::string tag) { tag_ = std::move(tag); }
  const std::string& Tag() const { return tag_; }
  // The complete file image.
  std::string Image() const;

 private:
  struct Slot {
    Key key;
    uint32_t count = 0;
    uint32_t last = 0;   // last record number appended
    std::string deltas;  // varint deltas from the previous record number
  };
  Slot& SlotOf(Key key);
  void Grow();

  uint32_t records_ = 0;
  std::string tag_;
  std::vector<Slot> slots_;
  std::vector<int32_t> unigrams_;  // by character code: slot or -1
  // Open addressing over the other keys; the key is kept beside its slot so
  // that a probe touches one array.
  struct PairEntry {
    Key key;
    int32_t slot;  // -1: free
  };
  std::vector<PairEntry> pairs_;
};

}  // namespace fts
