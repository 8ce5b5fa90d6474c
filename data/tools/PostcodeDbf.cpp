#include "PostcodeDbf.h"

#include <algorithm>
#include <cstring>

#include "DialCode.h"

namespace postal {
namespace {

// The list carries no date of its own; the date it was published under keeps
// every build of the table byte for byte the same.
constexpr DbfDate kSixDigitListDate{2017, 5, 31};

void PutLe16(std::string* out, size_t at, uint32_t v) {
  (*out)[at] = static_cast<char>(v & 0xFF);
  (*out)[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void PutLe32(std::string* out, size_t at, uint32_t v) {
  PutLe16(out, at, v & 0xFFFF);
  PutLe16(out, at + 2, v >> 16);
}

std::string FieldDescriptor(const char* name, int width) {
  std::string d(32, '\0');
  std::memcpy(d.data(), name, std::strlen(name));  // at most 10 characters
  d[11] = 'C';
  d[16] = static_cast<char>(width);
  return d;
}

void AppendPadded(std::string* out, std::string_view value, int width) {
  out->append(value);
  out->append(static_cast<size_t>(width) - value.size(), ' ');
}

}  // namespace

PostcodeRecord MakeRecord(const SourceRow& row) {
  PostcodeRecord r;
  r.zipcode = row.zipcode;
  r.ddd = DialCodeFor(row);
  for (const std::string* part : {&row.sido, &row.gugun, &row.dong, &row.bunji}) {
    if (part->empty()) continue;
    if (!r.etc.empty()) r.etc += ' ';
    r.etc += *part;
  }
  return r;
}

std::optional<std::string> BuildPostcodeDbf(const std::vector<SourceRow>& rows,
                                            ConvertError* error) {
  std::vector<PostcodeRecord> records;
  records.reserve(rows.size());
  size_t etcWidth = 1;  // a field has at least one byte, also for an empty table
  for (const auto& row : rows) {
    records.push_back(MakeRecord(row));
    const PostcodeRecord& r = records.back();
    if (r.etc.size() > static_cast<size_t>(kMaxCharWidth)) {
      if (error)
        *error = {row.line, "address of " + std::to_string(r.etc.size()) +
                                " bytes exceeds the 254 of a character field"};
      return std::nullopt;
    }
    if (r.zipcode.size() != kZipcodeWidth || r.ddd.empty() || r.ddd.size() > kDddWidth) {
      if (error) *error = {row.line, "no postal or dialling code for this row"};
      return std::nullopt;
    }
    etcWidth = std::max(etcWidth, r.etc.size());
  }
  return PostcodeDbfImage(records, static_cast<int>(etcWidth), kSixDigitListDate);
}

std::string PostcodeDbfImage(const std::vector<PostcodeRecord>& records, int etcWidth,
                             DbfDate date) {
  std::string out = PostcodeDbfHeader(records.size(), etcWidth, date);
  out.reserve(out.size() + records.size() * (1 + kZipcodeWidth + kDddWidth + etcWidth) + 1);
  for (const auto& r : records) AppendPostcodeRecord(&out, r.zipcode, r.ddd, r.etc, etcWidth);
  out += kDbfEndOfFile;
  return out;
}

std::string DbfHeader(size_t count, const std::vector<DbfField>& fields, DbfDate date) {
  const auto headerSize = static_cast<uint32_t>(32 + 32 * fields.size() + 1);
  uint32_t recordSize = 1;
  for (const DbfField& f : fields) recordSize += static_cast<uint32_t>(f.width);

  std::string out(32, '\0');
  out[0] = 0x03;  // dBASE III without memo
  out[1] = static_cast<char>(date.year - 1900);
  out[2] = static_cast<char>(date.month);
  out[3] = static_cast<char>(date.day);
  PutLe32(&out, 4, static_cast<uint32_t>(count));
  PutLe16(&out, 8, headerSize);
  PutLe16(&out, 10, recordSize);
  out[29] = static_cast<char>(kCp949LanguageDriver);
  for (const DbfField& f : fields) out += FieldDescriptor(f.name.c_str(), f.width);
  out += '\r';
  return out;
}

std::string PostcodeDbfHeader(size_t count, int etcWidth, DbfDate date) {
  return DbfHeader(count, {{"ZIPCODE", kZipcodeWidth}, {"DDD", kDddWidth}, {"ETC", etcWidth}},
                   date);
}

void AppendPostcodeRecord(std::string* out, std::string_view zipcode, std::string_view ddd,
                          std::string_view etc, int etcWidth) {
  out->push_back(' ');  // not deleted
  AppendPadded(out, zipcode, kZipcodeWidth);
  AppendPadded(out, ddd, kDddWidth);
  AppendPadded(out, etc, etcWidth);
}

}  // namespace postal
