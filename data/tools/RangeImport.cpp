#include "RangeImport.h"

#include <algorithm>
#include <cstdint>

#include "DialCode.h"

namespace postal {

std::string FormatFault(std::string_view name, const ConvertError& error) {
  std::string out(name);
  if (error.line > 0) out += ":" + std::to_string(error.line);
  return out + ": " + error.reason;
}

namespace {

constexpr size_t kZoneBytes = 5, kDddOffset = 5, kLengthOffset = 9, kEtcOffset = 10;

}  // namespace

void RangeTable::Reserve(size_t inputBytes) {
  records_.reserve(records_.size() + inputBytes);
}

bool RangeTable::AddFile(std::string_view name, std::string_view bytes, std::string* error,
                         const RangeProgress& progress) {
  const size_t keptBytes = records_.size(), keptCount = count_, keptLongest = longest_;
  const size_t keptIslands = islandZones_.size();
  ConvertError fault;
  const auto info = ReadRangeFile(
      bytes,
      [&](const RangeRow& row) {
        records_.append(row.zipcode);
        records_.append(row.ddd);
        records_.append(kDddWidth - row.ddd.size(), ' ');
        records_.push_back(static_cast<char>(row.etc.size()));  // at most 254
        records_.append(row.etc);
        longest_ = std::max(longest_, row.etc.size());
        ++count_;
        if (row.islandLot) islandZones_.emplace_back(row.zipcode);
      },
      &fault, progress);
  if (info) return true;
  records_.resize(keptBytes);
  count_ = keptCount;
  longest_ = keptLongest;
  islandZones_.resize(keptIslands);
  if (error) *error = FormatFault(name, fault);
  return false;
}

void RangeTable::ApplyIslandCode() {
  if (islandZones_.empty()) return;
  std::sort(islandZones_.begin(), islandZones_.end());
  islandZones_.erase(std::unique(islandZones_.begin(), islandZones_.end()), islandZones_.end());
  for (size_t at = 0; at < records_.size();
       at += kEtcOffset + static_cast<uint8_t>(records_[at + kLengthOffset])) {
    const std::string_view zone(records_.data() + at, kZoneBytes);
    if (!std::binary_search(islandZones_.begin(), islandZones_.end(), zone)) continue;
    char* ddd = records_.data() + at + kDddOffset;
    std::fill(ddd, ddd + kDddWidth, ' ');
    std::copy_n(kIslandDialCode, sizeof kIslandDialCode - 1, ddd);
  }
}

bool RangeTable::WriteImage(DbfDate date, const ByteSink& sink) {
  ApplyIslandCode();
  const int etcWidth = static_cast<int>(std::max<size_t>(kMinRangeEtcWidth, longest_));
  std::string chunk = PostcodeDbfHeader(count_, etcWidth, date);
  constexpr size_t kChunk = 1 << 20;
  chunk.reserve(kChunk + 512);
  for (size_t at = 0; at < records_.size();) {
    const size_t length = static_cast<uint8_t>(records_[at + kLengthOffset]);
    const char* r = records_.data() + at;
    AppendPostcodeRecord(&chunk, std::string_view(r, kZoneBytes),
                         std::string_view(r + kDddOffset, kDddWidth),
                         std::string_view(r + kEtcOffset, length), etcWidth);
    at += kEtcOffset + length;
    if (chunk.size() >= kChunk) {
      if (!sink(chunk)) return false;
      chunk.clear();
    }
  }
  chunk += kDbfEndOfFile;
  return sink(chunk);
}

std::string RangeTable::Image(DbfDate date) {
  std::string image;
  WriteImage(date, [&](std::string_view part) {
    image.append(part);
    return true;
  });
  return image;
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
