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
#include "EngineIndex.h"
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
// controls every byte. version replaces the header's first byte (dBASE III's
// 0x03).
inline void WriteDbf(const std::string& path, const std::vector<Field>& fields,
                     const std::vector<std::vector<std::string>>& rows, uint8_t version = 0x03) {
  std::string bytes = testsupport::DbfImage(fields, rows);
  bytes[0] = static_cast<char>(version);
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

using testsupport::MakeIndex;

}  // namespace tabletest
