// One DBF table file: its header and field list, read and validated at open,
// and its records, read from the file when they are asked for. Nothing but
// the header and a few blocks of records is held in memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Io.h"

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

  // Opens and validates `path`; mode 2 locks exclusively. On failure answers
  // false with code and message set (the error is not recorded globally).
  bool open(const std::string& path, int mode, int& code, std::string& message);

  const std::string& path() const { return path_; }
  uint8_t version() const { return version_; }
  uint8_t codePage() const { return codePage_; }
  bool encrypted() const { return encrypted_; }
  uint32_t passwordCheck() const { return passwordCheck_; }
  // The header and field list as stored.
  const std::vector<uint8_t>& header() const { return header_; }
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
  // Date of the last update as "YYYYMMDD"; empty when it is no valid date.
  std::string lastUpdate() const;

  // Stored bytes of record n (1..recordCount), valid until the next call;
  // nullptr when the file no longer holds the record or the read failed
  // (readError() says why). With `ahead`, a walk (a record next to the last
  // one asked for) reads the aligned block of records around it, kept with
  // the last few blocks; otherwise the record is read alone.
  const uint8_t* record(int32_t n, bool ahead);
  // Forgets the records read so far: the next reads come from the file.
  void dropReads();
  const std::string& readError() const { return readError_; }

 private:
  struct Block {
    int64_t index = -1;  // block number, or the record number of a single record
    int32_t first = 0;   // first record held
    int32_t count = 0;   // whole records read
    bool complete = false;
    uint64_t used = 0;
    std::vector<uint8_t> bytes;
  };

  bool parse(int& code, std::string& message);
  bool load(Block& b, int32_t first, int32_t count);
  const uint8_t* single(int32_t n);

  std::string path_;
  IoFile file_;
  uint64_t size_ = 0;
  std::vector<uint8_t> header_;
  uint8_t version_ = 0;
  uint8_t codePage_ = 0;
  bool encrypted_ = false;
  uint32_t passwordCheck_ = 0;
  int recSize_ = 0;
  int32_t recCount_ = 0;
  uint32_t headerCount_ = 0;
  bool short_ = false;
  bool dbcs_ = true;
  uint32_t layoutHash_ = 0;
  std::vector<Field> fields_;

  int32_t perBlock_ = 1;
  std::array<Block, 4> blocks_;
  Block single_;
  uint64_t tick_ = 0;
  Block* recent_ = nullptr;  // the block of the last record, checked first
  int32_t last_ = 0;         // the last record asked for
  std::string readError_;
};

uint32_t fnv1a32(const uint8_t* data, size_t size, uint32_t h = 2166136261u);

}  // namespace dbe
