// Helpers of the table tests: temporary folders, a small dBASE III writer for
// tables with exactly the bytes a test needs, and engine tools (index files,
// scrambled copies) reached through the loaded engine.
#pragma once
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DbfImage.h"
#include "platform/Cp949.h"
#include "table/DbfEngine.h"

namespace tabletest {

class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/table-test-XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  QString path() const { return QString::fromStdString(path_); }

 private:
  std::string path_;
};

using Field = testsupport::DbfField;

// Field texts are taken as they stand, padded with blanks, so that a test
// controls every byte.
inline void WriteDbf(const std::string& path, const std::vector<Field>& fields,
                     const std::vector<std::vector<std::string>>& rows) {
  const std::string bytes = testsupport::DbfImage(fields, rows);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string Cp949(const char* utf8) {
  return platform::ToCp949(QString::fromUtf8(utf8)).toStdString();
}

// A table of `count` records: NO C(5) = the record number, NAME C(10) = a key
// whose order runs against the record numbers (descending), CITY C(20).
inline void WriteNumbered(const std::string& path, int count) {
  std::vector<std::vector<std::string>> rows;
  for (int i = 1; i <= count; ++i) {
    char no[16], name[16];
    std::snprintf(no, sizeof no, "%d", i);
    std::snprintf(name, sizeof name, "K%06d", 1000000 - i);
    rows.push_back({no, name, Cp949("서울 강남구")});
  }
  WriteDbf(path, {{"NO", 'C', 5}, {"NAME", 'C', 10}, {"CITY", 'C', 20}}, rows);
}

// Builds an index file with one tag over the table at `table`.
inline bool MakeIndex(const std::string& table, const std::string& index, const char* tag,
                      const char* key) {
  TDbfEngine::Instance().EnsureEngineLoaded();
  const TDbfEngineApi& e = Dbe();
  if (!e.dbe_IndexCreate) return false;
  const int16_t area = e.dbe_UseEx(table.c_str(), "MKINDEX", 1, 2, 2);
  if (area <= 0) return false;
  dbe_tag_def def{tag, key, nullptr, 0, 0};
  const int16_t made = e.dbe_IndexCreate(index.c_str(), &def, 1);
  e.dbe_Select(area);
  e.dbe_Close();
  return made == 1;
}

}  // namespace tabletest
