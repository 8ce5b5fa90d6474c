#pragma once
// The source tag of a postal table: what the full-text index stores when it
// is built (FtsSetTag) and what the opening compares with the table as it is
// now (FtsGetTag). The tag names the file's size, modification time and
// identity (device and inode), which the system tells without reading it,
// and the checksum of its bytes: an index answers for the table while the
// first three are unchanged, and after they changed only when the checksum
// is still the same (a copy, a touch). It also carries what the build learnt
// of the table's fields (postal/FieldCrossings.h).
#include <cstdint>
#include <optional>
#include <string>

#include "postal/FieldCrossings.h"

namespace postal {

// What the system tells of a table file without reading it.
struct TableStat {
  uint64_t size = 0;
  int64_t mtimeNs = 0;  // modification time, nanoseconds since the epoch
  uint64_t device = 0;
  uint64_t inode = 0;
};

// Nothing when the file cannot be examined or is no regular file.
std::optional<TableStat> StatTable(const std::string& tablePath);

// "size=<bytes> mtime=<ns> dev=<n> ino=<n> crc32c=<8 hex digits>" of the
// file, its checksum read from every byte. Empty when the file cannot be
// read; an empty tag names no table.
std::string TableTag(const std::string& tablePath);

// The tag an index stores: the table's tag and the crossings of its fields.
std::string IndexTag(const std::string& tableTag, const FieldCrossings& crossings);

// The crossings kept in storedTag when it answers for the table at
// tablePath as it is now (size, time and identity as stored, nothing read;
// else the same size and checksum, the file read once); nothing when it
// names another table or another state of it, or carries no crossings (an
// index built before they were kept, or cut short).
std::optional<FieldCrossings> TagAnswersFor(const std::string& storedTag,
                                            const std::string& tablePath);

}  // namespace postal
