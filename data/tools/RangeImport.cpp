#include "RangeImport.h"

#include <algorithm>

#include "DialCode.h"

namespace postal {

std::string FormatFault(std::string_view name, const ConvertError& error) {
  std::string out(name);
  if (error.line > 0) out += ":" + std::to_string(error.line);
  return out + ": " + error.reason;
}

bool RangeTable::AddFile(std::string_view name, std::string_view bytes, std::string* error,
                         const RangeProgress& progress) {
  ConvertError fault;
  std::optional<RangeFile> file = ParseRangeFile(bytes, &fault, progress);
  if (!file) {
    if (error) *error = FormatFault(name, fault);
    return false;
  }
  if (records_.empty()) {
    records_ = std::move(file->records);
  } else {
    records_.insert(records_.end(), std::make_move_iterator(file->records.begin()),
                    std::make_move_iterator(file->records.end()));
  }
  islandZones_.insert(islandZones_.end(), file->islandZones.begin(), file->islandZones.end());
  return true;
}

std::string RangeTable::Image(DbfDate date) {
  std::sort(islandZones_.begin(), islandZones_.end());
  islandZones_.erase(std::unique(islandZones_.begin(), islandZones_.end()), islandZones_.end());
  size_t etcWidth = kMinRangeEtcWidth;
  for (PostcodeRecord& r : records_) {
    if (!islandZones_.empty() &&
        std::binary_search(islandZones_.begin(), islandZones_.end(), r.zipcode))
      r.ddd = kIslandDialCode;
    etcWidth = std::max(etcWidth, r.etc.size());  // at most 254: checked per row
  }
  return PostcodeDbfImage(records_, static_cast<int>(etcWidth), date);
}

std::optional<std::string> ImportRangeFiles(
    const std::vector<std::pair<std::string, std::string>>& files, DbfDate date,
    std::string* error) {
  RangeTable table;
  for (const auto& [name, bytes] : files)
    if (!table.AddFile(name, bytes, error)) return std::nullopt;
  return table.Image(date);
}

}  // namespace postal
