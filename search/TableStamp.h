#pragma once
// Which table is loaded, as its DBF header says: the date of its last update
// and its record count. Free of Qt.
#include <cstdint>
#include <optional>
#include <string>

namespace search {

struct TableStamp {
  int year = 0, month = 0, day = 0;
  uint32_t recordCount = 0;
};

// The header's date (years counted from 1900) and record count; nothing when
// the file is unreadable or shorter than a DBF header.
std::optional<TableStamp> ReadTableStamp(const std::string& tablePath);

}  // namespace search
