#include "RangeImport.h"

namespace postal {

std::string FormatFault(std::string_view name, const ConvertError& error) {
  std::string out(name);
  if (error.line > 0) {
    out += ':';
    out += std::to_string(error.line);
  }
  out += ": ";
  out += error.reason;
  return out;
}

bool ReadRangeRows(std::string_view name, std::string_view bytes, const TableRowFn& fn,
                   std::string* error, const RangeProgress& progress, RangeFileInfo* info) {
  ConvertError fault;
  const auto read = ReadRangeFile(
      bytes,
      [&](const RangeRow& row) {
        fn({row.zipcode, row.ddd, row.etc, {}, row.eng}, row.islandLot);
      },
      &fault, progress);
  if (read) {
    if (info) *info = *read;
    return true;
  }
  if (error) *error = FormatFault(name, fault);
  return false;
}

std::optional<std::string> ImportRangeFiles(
    const std::vector<std::pair<std::string, std::string>>& files, DbfDate date,
    std::string* error) {
  PostalTable table;
  table.CarryEng();
  for (const auto& [name, bytes] : files) {
    const bool ok = ReadRangeRows(
        name, bytes,
        [&](const TableRow& row, bool island) {
          table.Measure(row);
          if (island) table.MarkIslandZone(row.zipcode);
        },
        error);
    if (!ok) return std::nullopt;
  }
  std::string image;
  const platform::ByteSink sink = [&](std::string_view part) {
    image.append(part);
    return true;
  };
  image = table.Header(date);
  PostalTable::Writer writer(table, sink, table.count());
  bool ok = true;
  for (const auto& [name, bytes] : files)
    ReadRangeRows(
        name, bytes, [&](const TableRow& row, bool) { ok = ok && writer.Add(row, error); }, error);
  if (!ok || !writer.Finish(error)) return std::nullopt;
  image += kDbfEndOfFile;
  return image;
}

}  // namespace postal
