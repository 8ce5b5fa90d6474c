// One DBF table file, read whole into private memory and validated at open.
// The copy cannot change under the engine: a file truncated or replaced by
// another process while it is open never turns a record read into a fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FileRead.h"

namespace dbe {

struct Field {
  std::string name;  // upper case
  char type = 'C';
  int offset = 0;  // in the raw record; the deletion flag is byte 0
  int width = 0;
  int decimals = 0;
};

class Table {
 public:
  Table() = default;
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;
  ~Table();

  // Opens and validates `path`; mode 2 locks exclusively. On failure answers
  // false with code and message set (the error is not recorded globally).
  bool open(const std::string& path, int mode, int& code, std::string& message);

  const std::string& path() const { return path_; }
  uint8_t version() const { return version_; }
  uint8_t codePage() const { return codePage_; }
  bool encrypted() const { return encrypted_; }
  uint32_t passwordCheck() const { return passwordCheck_; }
  int headerLength() const { return headerLen_; }
  int recordSize() const { return recSize_; }
  int32_t recordCount() const { return recCount_; }
  // The record count the header states; more than recordCount() when the
  // file was cut inside its records (shortFile()).
  uint32_t headerRecordCount() const { return headerCount_; }
  bool shortFile() const { return short_; }
  bool doubleByte() const { return dbcs_; }
  const std::vector<Field>& fields() const { return fields_; }
  const Field* field(const char* name) const;  // case-insensitive
  uint32_t layoutHash() const { return layoutHash_; }

  // Raw stored bytes of record n (1..recordCount); no check.
  const uint8_t* record(int32_t n) const {
    return data_.get() + headerLen_ + static_cast<size_t>(n - 1) * recSize_;
  }
  const uint8_t* data() const { return data_.get(); }
  size_t size() const { return size_; }

 private:
  bool parse(int& code, std::string& message);

  std::string path_;
  int fd_ = -1;  // kept open for the lock only
  FileBytes data_;
  size_t size_ = 0;
  uint8_t version_ = 0;
  uint8_t codePage_ = 0;
  bool encrypted_ = false;
  uint32_t passwordCheck_ = 0;
  int headerLen_ = 0;
  int recSize_ = 0;
  int32_t recCount_ = 0;
  uint32_t headerCount_ = 0;
  bool short_ = false;
  bool dbcs_ = true;
  uint32_t layoutHash_ = 0;
  std::vector<Field> fields_;
};

uint32_t fnv1a32(const uint8_t* data, size_t size, uint32_t h = 2166136261u);

}  // namespace dbe
