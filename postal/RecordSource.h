#pragma once
// The postal table as the core reads it. The window's table component goes
// to a record and reads it raw, as its dataset does; the command line reads
// through the engine directly. Each gives the core this interface.
#include <cstdint>
#include <string>
#include <vector>

namespace postal {

// A field of the raw record: its name, its type letter and where its bytes
// lie. Every field is text in the raw record.
struct FieldPlace {
  std::string name;
  int32_t offset = 0;  // from the start of the raw record (the deletion flag is byte 0)
  int32_t width = 0;
  char type = 'C';
};

class RecordSource {
 public:
  virtual ~RecordSource() = default;

  // The physical record count.
  virtual int32_t RecordCount() = 0;
  // Bytes of a raw record: the deletion flag and every field.
  virtual int32_t RecordSize() = 0;
  // Every field, in field order.
  virtual std::vector<FieldPlace> Fields() = 0;

  // The table's first record in its current order, whether it is past its
  // last, and one record forward.
  virtual void GoTop() = 0;
  virtual bool AtEnd() = 0;
  virtual void Skip() = 0;
  // Goes to physical record recno.
  virtual void Go(int32_t recno) = 0;
  // The current record, raw, into buffer (RecordSize bytes; the byte after
  // it is left alone).
  virtual void Read(char* buffer) = 0;
};

}  // namespace postal
