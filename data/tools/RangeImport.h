#pragma once
// The postal table made from Korea Post's range files (see RangeFile.h): one
// record per row, the files in the order given, the rows in file order; the
// fields ZIPCODE, DDD, ETC and ENG (PostalTable.h).
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "PostalTable.h"
#include "RangeFile.h"

namespace postal {

// A row as a record of the table; island: a lot row on the islands of 단원구,
// whose zone dials 032 in every file.
using TableRowFn = std::function<void(const TableRow& row, bool island)>;

// Reads one range file, handing each row to fn. On a fault: false, and *error
// is "NAME:LINE: what is wrong" ("NAME: ..." for the whole file); the rows
// before the fault have reached fn. *info, when given, says what the file
// turned out to be.
bool ReadRangeRows(std::string_view name, std::string_view bytes, const TableRowFn& fn,
                   std::string* error, const RangeProgress& progress = {},
                   RangeFileInfo* info = nullptr);

// "NAME:LINE: what" (or "NAME: what" for line 0).
std::string FormatFault(std::string_view name, const ConvertError& error);

// The whole import of files given as (name, bytes): the table image, or
// nothing with the first fault in *error.
std::optional<std::string> ImportRangeFiles(
    const std::vector<std::pair<std::string, std::string>>& files, DbfDate date,
    std::string* error);

}  // namespace postal
