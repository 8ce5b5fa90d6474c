#include "ZipcodeRecords.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

namespace ftstest {
namespace {

const std::map<std::string, std::string>& ProvinceCodes() {
  // CP949 bytes of the short province names.
  static const std::map<std::string, std::string> codes = {
      {"\xBC\xAD\xBF\xEF", "02"},  {"\xB0\xE6\xB1\xE2", "031"}, {"\xC0\xCE\xC3\xB5", "032"},
      {"\xB0\xAD\xBF\xF8", "033"}, {"\xC3\xE6\xB3\xB2", "041"}, {"\xB4\xEB\xC0\xFC", "042"},
      {"\xC3\xE6\xBA\xCF", "043"}, {"\xBC\xBC\xC1\xBE", "044"}, {"\xBA\xCE\xBB\xEA", "051"},
      {"\xBF\xEF\xBB\xEA", "052"}, {"\xB4\xEB\xB1\xB8", "053"}, {"\xB0\xE6\xBA\xCF", "054"},
      {"\xB0\xE6\xB3\xB2", "055"}, {"\xC0\xFC\xB3\xB2", "061"}, {"\xB1\xA4\xC1\xD6", "062"},
      {"\xC0\xFC\xBA\xCF", "063"}, {"\xC1\xA6\xC1\xD6", "064"}};
  return codes;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string ZipcodeCsvPath() {
  return std::string(PF_SOURCE_DIR) + "/data/source/zipcode.csv";
}

std::vector<ZipRow> ReadZipcodeCsv(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<ZipRow> rows;
  if (!in) return rows;
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    // A comma is never a CP949 trail byte, so the bytes split safely.
    std::vector<std::string> f;
    std::stringstream ss(line);
    std::string part;
    while (std::getline(ss, part, ',')) f.push_back(part);
    while (f.size() < 6) f.emplace_back();
    rows.push_back(ZipRow{f[0], f[1], f[2], f[3], f[4]});
  }
  return rows;
}

std::string DiallingCode(const ZipRow& row) {
  const std::string gyeonggi = "\xB0\xE6\xB1\xE2";
  if (row.sido == gyeonggi) {
    if (StartsWith(row.gugun, "\xB1\xA4\xB8\xED\xBD\xC3") ||  // 광명시
        StartsWith(row.gugun, "\xB0\xFA\xC3\xB5\xBD\xC3"))    // 과천시
      return "02";
    if (StartsWith(row.gugun, "\xBA\xCE\xC3\xB5\xBD\xC3")) return "032";  // 부천시
    if (StartsWith(row.gugun, "\xBE\xC8\xBB\xEA\xBD\xC3") &&              // 안산시 대부*동
        (StartsWith(row.dong, "\xB4\xEB\xBA\xCE\xB3\xB2\xB5\xBF") ||
         StartsWith(row.dong, "\xB4\xEB\xBA\xCE\xB5\xBF\xB5\xBF") ||
         StartsWith(row.dong, "\xB4\xEB\xBA\xCE\xBA\xCF\xB5\xBF")))
      return "032";
  }
  if (StartsWith(row.gugun, "\xB0\xE8\xB7\xE6\xBD\xC3")) return "042";  // 계룡시
  if (StartsWith(row.gugun, "\xB0\xE6\xBB\xEA\xBD\xC3")) return "053";  // 경산시
  const auto it = ProvinceCodes().find(row.sido);
  return it == ProvinceCodes().end() ? "" : it->second;
}

std::string FullAddress(const ZipRow& row) {
  std::string a = row.sido;
  for (const std::string* part : {&row.gugun, &row.dong, &row.bunji})
    if (!part->empty()) a += " " + *part;
  return a;
}

std::vector<std::string> MakeRecords(const std::vector<ZipRow>& rows) {
  size_t width = 0;
  std::vector<std::string> addresses;
  addresses.reserve(rows.size());
  for (const auto& r : rows) {
    addresses.push_back(FullAddress(r));
    width = std::max(width, addresses.back().size());
  }
  std::vector<std::string> records;
  records.reserve(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    std::string rec = " ";
    rec += rows[i].zip;
    rec.resize(1 + 7, ' ');
    rec += DiallingCode(rows[i]);
    rec.resize(1 + 7 + 4, ' ');
    rec += addresses[i];
    rec.resize(1 + 7 + 4 + width, ' ');
    records.push_back(std::move(rec));
  }
  return records;
}

std::vector<std::string> FirstNationalRecords(size_t n) {
  auto all = MakeRecords(ReadZipcodeCsv(ZipcodeCsvPath()));
  all.resize(std::min(n, all.size()));
  return all;
}

}  // namespace ftstest
