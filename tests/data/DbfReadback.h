#pragma once
// A dBASE III table image taken apart for tests: its date, code-page byte,
// character fields and records, each value with its trailing blanks removed
// and turned into UTF-8. Read here on its own from the layout of the format,
// not through the writer's code.
#include <cstdint>
#include <string>
#include <vector>

#include "Cp949Check.h"

struct DbfImage {
  int year = 0, month = 0, day = 0;
  unsigned codePage = 0;
  size_t headerSize = 0, recordSize = 0;
  struct Field {
    std::string name;
    size_t width = 0;
  };
  std::vector<Field> fields;
  std::vector<std::vector<std::string>> records;  // UTF-8, trailing blanks removed
  std::vector<std::string> raw;                   // each record as stored, deletion flag first
  bool wellFormed = false;  // header, record count and file size agree, end mark present

  // "NAME:WIDTH ..." of the fields.
  std::string Layout() const {
    std::string out;
    for (const Field& f : fields)
      out += (out.empty() ? "" : " ") + f.name + ":" + std::to_string(f.width);
    return out;
  }
  // The values of record i joined by '|'.
  std::string Row(size_t i) const {
    std::string out;
    for (size_t k = 0; k < records[i].size(); ++k) out += (k ? "|" : "") + records[i][k];
    return out;
  }
};

inline DbfImage ReadDbfImage(const std::string& image) {
  DbfImage t;
  auto u8 = [&](size_t at) { return static_cast<uint8_t>(image[at]); };
  if (image.size() < 33) return t;
  t.year = 1900 + u8(1);
  t.month = u8(2);
  t.day = u8(3);
  t.codePage = u8(29);
  const size_t count = u8(4) | u8(5) << 8 | u8(6) << 16 | size_t{u8(7)} << 24;
  t.headerSize = u8(8) | u8(9) << 8;
  t.recordSize = u8(10) | u8(11) << 8;
  for (size_t at = 32; at + 32 <= t.headerSize && image[at] != '\r'; at += 32)
    t.fields.push_back({std::string(image.c_str() + at), u8(at + 16)});
  size_t sum = 1;
  for (const auto& f : t.fields) sum += f.width;
  if (sum != t.recordSize || t.headerSize != 32 + 32 * t.fields.size() + 1 ||
      image.size() != t.headerSize + count * t.recordSize + 1 || image.back() != '\x1A')
    return t;
  for (size_t i = 0; i < count; ++i) {
    const std::string r = image.substr(t.headerSize + i * t.recordSize, t.recordSize);
    t.raw.push_back(r);
    std::vector<std::string> values;
    size_t at = 1;
    for (const auto& f : t.fields) {
      std::string v = r.substr(at, f.width);
      v.erase(v.find_last_not_of(' ') + 1);
      values.push_back(postal::Utf8FromCp949(v));
      at += f.width;
    }
    t.records.push_back(std::move(values));
  }
  t.wellFormed = true;
  return t;
}
