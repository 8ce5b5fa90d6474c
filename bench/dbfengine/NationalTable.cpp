#include "NationalTable.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace bench {

const char* const kTowns[4] = {"\xBC\xAD\xBF\xEF \xB0\xAD\xB3\xB2\xB1\xB8",
                               "\xBA\xCE\xBB\xEA \xC7\xD8\xBF\xEE\xB4\xEB\xB1\xB8",
                               "\xB4\xEB\xB1\xB8 \xBC\xF6\xBC\xBA\xB1\xB8",
                               "\xC1\xA6\xC1\xD6 \xC1\xA6\xC1\xD6\xBD\xC3"};

std::string CharTableHeader(const std::vector<std::pair<const char*, int>>& fields, int rows) {
  int recSize = 1;
  for (const auto& f : fields) recSize += f.second;
  const int headerLen = 32 + 32 * static_cast<int>(fields.size()) + 1;
  std::string h(32, '\0');
  h[0] = 0x03;
  h[1] = 124, h[2] = 5, h[3] = 17;
  for (int i = 0; i < 4; ++i) h[4 + i] = static_cast<char>(rows >> (8 * i));
  h[8] = static_cast<char>(headerLen), h[9] = static_cast<char>(headerLen >> 8);
  h[10] = static_cast<char>(recSize), h[11] = static_cast<char>(recSize >> 8);
  h[29] = 0x4E;  // CP949
  for (const auto& [name, width] : fields) {
    std::string d(32, '\0');
    std::memcpy(d.data(), name, std::strlen(name));
    d[11] = 'C';
    d[16] = static_cast<char>(width);
    h += d;
  }
  h.push_back('\x0D');
  return h;
}

std::string NationalTable(const std::string& folder) {
  const std::string path = folder + "/national-6m.dbf";
  const std::string h = CharTableHeader({{"ZIPCODE", 7}, {"DDD", 4}, {"ETC", 100}}, kNationalRows);
  const auto expected = static_cast<std::uintmax_t>(h.size()) +
                        static_cast<std::uintmax_t>(kNationalRows) * kNationalRecordSize + 1;
  std::error_code ec;
  if (std::filesystem::file_size(path, ec) == expected) return path;
  std::filesystem::create_directories(folder, ec);
  const std::string tmp = path + ".part";
  std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
  if (!out) return {};
  out.write(h.data(), static_cast<std::streamsize>(h.size()));
  // CP949 roads: 테헤란로 / 중앙대로 / 해안로.
  const char* roads[] = {"\xC5\xD7\xC7\xEC\xB6\xF5\xB7\xCE", "\xC1\xDF\xBE\xD3\xB4\xEB\xB7\xCE",
                         "\xC7\xD8\xBE\xC8\xB7\xCE"};
  std::vector<char> block;
  block.reserve(size_t{1} << 22);
  char rec[kNationalRecordSize + 64];
  for (int r = 0; r < kNationalRows; ++r) {
    std::memset(rec, ' ', kNationalRecordSize);
    char text[160];
    const int n =
        std::snprintf(text, sizeof text, "%05d  %-4s%s %s %d-%d (%d)", r % 63000 + 1000,
                      r % 7 ? "02" : "064", kTowns[r % 4], roads[r % 3], r % 977 + 1, r % 31, r);
    std::memcpy(rec + 1, text, static_cast<size_t>(std::min(n, kNationalRecordSize - 1)));
    block.insert(block.end(), rec, rec + kNationalRecordSize);
    if (block.size() >= (size_t{1} << 22)) {
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
      block.clear();
    }
  }
  block.push_back('\x1A');
  out.write(block.data(), static_cast<std::streamsize>(block.size()));
  out.close();
  if (!out) return {};
  std::filesystem::rename(tmp, path, ec);
  return ec ? std::string() : path;
}

}  // namespace bench
