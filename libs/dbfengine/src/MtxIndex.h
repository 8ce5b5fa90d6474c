// An open MTX index file: its tags with their sorted entries, read whole into
// memory and validated completely at open.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Expr.h"
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
  const uint8_t* entries = nullptr;
  std::unique_ptr<Expression> key;
  // Entry of each record (index recno - 1), -1 when the tag leaves it out;
  // built on first use.
  const std::vector<int32_t>& positions() const;

  const uint8_t* keyAt(int64_t p) const { return entries + p * entrySize; }
  int32_t recnoAt(int64_t p) const {
    return static_cast<int32_t>(get32(entries + p * entrySize + keyLen));
  }
  // First entry not before (key, recno); count when none.
  int64_t lowerBound(const uint8_t* key, uint32_t recno) const;
  // First entry whose key does not sort before `prefix` compared on its
  // first `len` bytes.
  int64_t lowerBoundPrefix(const uint8_t* prefix, size_t len) const;

  int32_t records = 0;  // of the table

 private:
  mutable std::vector<int32_t> positions_;
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
  FileBytes data_;
  size_t size_ = 0;
  std::vector<Tag> tags_;
};

}  // namespace dbe
