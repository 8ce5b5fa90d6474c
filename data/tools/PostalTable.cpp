#include "PostalTable.h"

#include <algorithm>
#include <cstring>

#include "DialCode.h"

namespace postal {
namespace {

constexpr size_t kZoneBytes = 5;

unsigned ZoneNumber(std::string_view zone) {
  unsigned n = 0;
  for (size_t i = 0; i < kZoneBytes && i < zone.size(); ++i)
    n = n * 10 + static_cast<unsigned>(zone[i] - '0');
  return n % 100000;
}

}  // namespace

void PostalTable::Measure(const TableRow& row) {
  longest_[0] = std::max(longest_[0], row.etc.size());
  longest_[1] = std::max(longest_[1], row.jibun.size());
  longest_[2] = std::max(longest_[2], row.eng.size());
  ++count_;
}

void PostalTable::MarkIslandZone(std::string_view zone) {
  islandZones_.set(ZoneNumber(zone));
}

std::vector<DbfField> PostalTable::Fields() const {
  auto width = [&](size_t i, size_t least) {
    return static_cast<int>(std::max(least, longest_[i]));
  };
  std::vector<DbfField> fields = {
      {"ZIPCODE", kZipcodeWidth}, {"DDD", kDddWidth}, {"ETC", width(0, kMinEtcWidth)}};
  if (jibun_) fields.push_back({"JIBUN", width(1, 1)});
  if (eng_) fields.push_back({"ENG", width(2, 1)});
  return fields;
}

void PostalTable::Merge(const PostalTable& other) {
  count_ += other.count_;
  for (size_t i = 0; i < 3; ++i) longest_[i] = std::max(longest_[i], other.longest_[i]);
  jibun_ = jibun_ || other.jibun_;
  eng_ = eng_ || other.eng_;
  islandZones_ |= other.islandZones_;
}

size_t PostalTable::RecordSize() const {
  size_t size = 1;
  for (const DbfField& f : Fields()) size += static_cast<size_t>(f.width);
  return size;
}

std::string PostalTable::Header(DbfDate date) const {
  return DbfHeader(count_, Fields(), date);
}

uint64_t PostalTable::ImageSize() const {
  return 32 + 32 * Fields().size() + 1 + uint64_t{count_} * RecordSize() + 1;
}

PostalTable::Writer::Writer(const PostalTable& table, const platform::ByteSink& sink,
                            size_t records)
    : table_(table), sink_(sink), records_(records) {
  // Where each text goes in a record; a field the table lacks takes nothing.
  const std::vector<DbfField> fields = table.Fields();
  const bool carried[3] = {true, table.jibun_, table.eng_};
  recordSize_ = 1 + kZipcodeWidth + kDddWidth;
  for (size_t i = 0, field = 2; i < 3; ++i) {
    if (!carried[i]) continue;
    offsets_[i] = recordSize_;
    widths_[i] = static_cast<size_t>(fields[field++].width);
    recordSize_ += widths_[i];
  }
  perChunk_ = std::max<size_t>(1, (size_t{1} << 20) / recordSize_);
  chunk_.resize(perChunk_ * recordSize_);
}

bool PostalTable::Writer::Flush() {
  const bool ok = inChunk_ == 0 || sink_(std::string_view(chunk_.data(), inChunk_ * recordSize_));
  inChunk_ = 0;
  return ok;
}

bool PostalTable::Writer::Add(const TableRow& row, std::string* why) {
  const std::string_view texts[3] = {row.etc, row.jibun, row.eng};
  if (written_ >= records_ || row.zipcode.size() != kZoneBytes ||
      row.ddd.size() > static_cast<size_t>(kDddWidth) || texts[0].size() > widths_[0] ||
      texts[1].size() > widths_[1] || texts[2].size() > widths_[2]) {
    if (why) *why = "the rows differ from the ones measured: the input changed while it was read";
    return false;
  }
  char* r = chunk_.data() + inChunk_ * recordSize_;
  std::memset(r, ' ', recordSize_);  // not deleted, every field blank-padded
  std::memcpy(r + 1, row.zipcode.data(), kZoneBytes);
  if (table_.islandZones_.test(ZoneNumber(row.zipcode)))
    std::memcpy(r + 1 + kZipcodeWidth, kIslandDialCode, sizeof kIslandDialCode - 1);
  else
    std::memcpy(r + 1 + kZipcodeWidth, row.ddd.data(), row.ddd.size());
  for (size_t i = 0; i < 3; ++i)
    if (!texts[i].empty()) std::memcpy(r + offsets_[i], texts[i].data(), texts[i].size());
  ++written_;
  if (++inChunk_ < perChunk_) return true;
  if (why) why->clear();
  return Flush();
}

bool PostalTable::Writer::Finish(std::string* why) {
  if (why) why->clear();
  if (written_ != records_) {
    if (why) *why = "the rows differ from the ones measured: the input changed while it was read";
    return false;
  }
  return Flush();
}

}  // namespace postal
