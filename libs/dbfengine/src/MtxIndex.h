// An open MTX index file: its directory, key texts and block checks read and
// validated at open; blocks of entries read when a search or a walk reaches
// them, checked then, and the last few kept per tag.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Expr.h"
#include "Io.h"
#include "MtxFormat.h"
#include "Table.h"

namespace dbe {

struct Tag {
  std::string name;
  std::string keyText;
  std::string conditionText;
  std::string keyFields;  // "A;B"
  KeyType keyType = kKeyChar;
  bool unique = false;
  bool descending = false;
  size_t keyLen = 0;
  size_t entrySize = 0;  // keyLen + 4
  int64_t count = 0;
  std::unique_ptr<Expression> key;

  // Key bytes and record number of entry p (0..count-1). An entry whose block
  // cannot be read or fails its check reads as record 0 with a key of zero
  // bytes, and the error is recorded (DBE_E_READ, DBE_E_INDEX).
  const uint8_t* keyAt(int64_t p) const;
  int32_t recnoAt(int64_t p) const;
  // First entry not before (key, recno); count when none.
  int64_t lowerBound(const uint8_t* key, uint32_t recno) const;
  // First entry whose key does not sort before `prefix` compared on its
  // first `len` bytes.
  int64_t lowerBoundPrefix(const uint8_t* prefix, size_t len) const;

 private:
  friend class MtxFile;
  struct Block {
    int64_t index = -1;
    bool ok = false;
    int error = 0;  // of a block that failed, recorded again at each use
    std::string why;
    uint64_t used = 0;
    std::vector<uint8_t> bytes;
  };
  const uint8_t* entry(int64_t p) const;
  bool load(Block& b, int64_t index) const;

  const IoFile* file_ = nullptr;
  const std::string* path_ = nullptr;
  int32_t records_ = 0;  // of the table
  uint32_t perBlock_ = 1;
  uint64_t entriesOffset_ = 0;
  std::vector<uint32_t> checks_;  // one per block
  mutable std::array<Block, 32> blocks_;
  mutable uint64_t tick_ = 0;
  mutable size_t recent_ = 0;  // block of the last entry, checked first
  mutable bool reported_ = false;
};

class MtxFile {
 public:
  MtxFile() = default;
  MtxFile(const MtxFile&) = delete;
  MtxFile& operator=(const MtxFile&) = delete;
  ~MtxFile() = default;

  bool open(const std::string& path, const Table& table, const std::string& alias, int& code,
            std::string& message);
  const std::string& path() const { return path_; }
  std::vector<Tag>& tags() { return tags_; }

 private:
  std::string path_;
  IoFile file_;
  std::vector<Tag> tags_;
};

}  // namespace dbe
