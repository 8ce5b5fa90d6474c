// The bytes of a small dBASE III table, for tests that need a table with
// exactly the records they describe.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace testsupport {

struct DbfField {
  std::string name;
  char type;
  int width;
  int decimals = 0;
};

enum class NumberAlignment {
  AsWritten,  // every text padded with blanks on the right
  Right,      // N and F texts right-aligned, as xBase stores numbers
};

// Header, field descriptors, records (a '*' deletion flag where `deleted`
// says so) and the end-of-file mark. Texts longer than their field are cut.
inline std::string DbfImage(const std::vector<DbfField>& fields,
                            const std::vector<std::vector<std::string>>& rows,
                            const std::vector<bool>& deleted = {}, uint8_t codePage = 0x4E,
                            NumberAlignment numbers = NumberAlignment::AsWritten) {
  int recSize = 1;
  for (const DbfField& f : fields) recSize += f.width;
  const int headerLen = 32 + 32 * static_cast<int>(fields.size()) + 1;
  std::string h(32, '\0');
  h[0] = 0x03;
  h[1] = 126, h[2] = 12, h[3] = 9;
  const uint32_t n = static_cast<uint32_t>(rows.size());
  for (int i = 0; i < 4; ++i) h[4 + i] = static_cast<char>(n >> (8 * i));
  h[8] = static_cast<char>(headerLen & 0xFF), h[9] = static_cast<char>(headerLen >> 8);
  h[10] = static_cast<char>(recSize & 0xFF), h[11] = static_cast<char>(recSize >> 8);
  h[29] = static_cast<char>(codePage);
  for (const DbfField& f : fields) {
    std::string d(32, '\0');
    std::memcpy(d.data(), f.name.data(), std::min<size_t>(f.name.size(), 10));
    d[11] = f.type;
    d[16] = static_cast<char>(f.width);
    d[17] = static_cast<char>(f.decimals);
    h += d;
  }
  h.push_back('\x0D');
  for (size_t r = 0; r < rows.size(); ++r) {
    h.push_back(r < deleted.size() && deleted[r] ? '*' : ' ');
    for (size_t i = 0; i < fields.size(); ++i) {
      const size_t width = static_cast<size_t>(fields[i].width);
      std::string v = i < rows[r].size() ? rows[r][i] : "";
      v = v.substr(0, width);
      const bool number = fields[i].type == 'N' || fields[i].type == 'F';
      if (number && numbers == NumberAlignment::Right) v.insert(0, width - v.size(), ' ');
      v.resize(width, ' ');
      h += v;
    }
  }
  h.push_back('\x1A');
  return h;
}

}  // namespace testsupport
