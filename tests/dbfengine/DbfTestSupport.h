// Helpers of the engine tests: fixture paths, temporary folders, a small
// dBASE III writer for synthetic tables and CP949 conversion through iconv.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Cp949Text.h"
#include "DbfImage.h"
#include "libs/dbfengine/dbfengine.h"

namespace dbftest {

inline std::string fixture(const std::string& name) {
  return std::string(PF_SOURCE_DIR) + "/tests/dbfengine/fixtures/" + name;
}

// UTF-8 source text to CP949 bytes.
inline std::string cp949(const std::string& utf8) {
  return testsupport::Cp949(utf8);
}

inline std::string padded(const std::string& s, size_t width) {
  std::string r = s.substr(0, width);
  r.resize(width, ' ');
  return r;
}

// A fresh folder removed at the end of the test.
class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/dbfengine-test-XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }
  // Names of the entries, sorted.
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(path_))
      out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }

 private:
  std::string path_;
};

using testsupport::DbfField;

// Bytes of a dBASE III table with numbers right-aligned, as xBase stores them.
inline std::string dbfBytes(const std::vector<DbfField>& fields,
                            const std::vector<std::vector<std::string>>& rows,
                            const std::vector<bool>& deleted = {}, uint8_t codePage = 0x4E) {
  return testsupport::DbfImage(fields, rows, deleted, codePage,
                               testsupport::NumberAlignment::Right);
}

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Opens a table read-only and closes it at the end of the scope.
class OpenTable {
 public:
  explicit OpenTable(const std::string& path, int16_t driver = 3, const char* alias = "",
                     int16_t mode = 1)
      : area_(dbe_UseEx(path.c_str(), alias, mode, driver, 2)) {}
  ~OpenTable() {
    if (area_ > 0) {
      dbe_Select(area_);
      dbe_Close();
    }
  }
  int16_t area() const { return area_; }
  bool ok() const { return area_ > 0; }

 private:
  int16_t area_;
};

// Record numbers visited from GoTop with Skip(1).
inline std::vector<int32_t> walk() {
  std::vector<int32_t> out;
  for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) {
    out.push_back(dbe_RecNo());
    if (out.size() > 100000) break;
  }
  return out;
}

// Record numbers visited from GoBottom with Skip(-1).
inline std::vector<int32_t> walkBack() {
  std::vector<int32_t> out;
  for (dbe_GoBottom(); !dbe_Eof() && !dbe_Bof(); dbe_Skip(-1)) {
    out.push_back(dbe_RecNo());
    if (out.size() > 100000) break;
  }
  return out;
}

inline std::string str(const char* s) {
  return s ? std::string(s) : std::string("<null>");
}

}  // namespace dbftest
