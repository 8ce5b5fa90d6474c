#pragma once
// An index file open for searching: its header and the root of its key
// directory in memory, everything else read from the file when asked.
#include <cstdint>
#include <string>
#include <vector>

#include "libs/ftsindex/FileIo.h"
#include "libs/ftsindex/Format.h"
#include "libs/ftsindex/IndexKeys.h"
#include "libs/ftsindex/PostingList.h"

namespace fts {

class IndexFile {
 public:
  // Opens path through io and checks its header and root page. 0,
  // FTS_ERR_IO or FTS_ERR_FORMAT.
  int32_t Open(const fts_io* io, const std::string& path);

  uint32_t RecordCount() const { return records_; }
  uint32_t KeyCount() const { return keys_; }
  const std::string& Tag() const { return tag_; }

  // The directory entry of key: 1 (in *info), 0 when the key is not
  // indexed, FTS_ERR_FORMAT or FTS_ERR_IO.
  int32_t Find(Key key, ListInfo& info) const;
  // size bytes at offset of the postings area; FTS_ERR_FORMAT outside it.
  int32_t ReadPostings(uint64_t offset, void* to, size_t size) const;
  // Reads and checks everything (FtsCheck).
  int32_t CheckAll() const;

 private:
  // Page `index` of `level` (0: leaves) into page, checked; FTS_ERR_*.
  int32_t ReadPage(uint32_t level, uint64_t index, uint8_t* page) const;
  // A page's layout: checksum, level, item count and ascending keys.
  int32_t CheckPage(const uint8_t* page, uint32_t level, uint64_t index) const;
  // Entry i of a checked leaf, its fields checked against the file.
  int32_t EntryOf(const uint8_t* leaf, uint32_t i, ListInfo& info) const;
  uint32_t ItemsOn(uint32_t level, uint64_t index) const;
  Key FirstKeyOf(const uint8_t* page) const;

  IoFile file_;
  std::string tag_;
  uint32_t records_ = 0, keys_ = 0;
  uint64_t postingsSize_ = 0, dictionaryOffset_ = 0;
  uint32_t levels_ = 0;
  uint64_t levelPages_[kMaxLevels] = {};
  uint64_t levelStart_[kMaxLevels] = {};  // first page of each level
  std::vector<uint8_t> root_;
};

}  // namespace fts
