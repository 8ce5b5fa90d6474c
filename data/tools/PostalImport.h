#pragma once
// The import of postal data into the finder's table, free of Qt: what
// postcode-import runs, and what a window runs to update its data.
//
// It reads, in the order given, files of any of these layouts (told apart
// by their first line):
//   - Korea Post's address DB, one file per province (BuildingFile.h),
//   - the government's road-name address DB, rnaddrkor_*.txt (BuildingFile.h),
//   - Korea Post's road-name and lot-number range files (RangeFile.h),
// and zip archives as downloaded, whose every ".txt" member is one of these
// (other members are left out and listed). It writes one record per row
// (PostalTable.h), dated with the date of the data (DataDate.h), through a
// temporary file beside the table that replaces it only once it is whole
// (platform/AtomicWrite.h). Memory stays small whatever the data's size: the
// files are read twice, in pieces, once to measure the rows and once to
// write each source's records at their own place in the table.
//
// A window calls ImportFiles on its own thread with a progress callback that
// moves its progress bar and lets its events run (and answers false to
// stop); the table it had open stays untouched until the call returns true.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "PostcodeDbf.h"
#include "platform/AtomicWrite.h"

namespace postal {

enum class ImportStage { kReading, kWriting };

struct ImportProgress {
  ImportStage stage = ImportStage::kReading;
  // Reading: rows read so far, and all rows, estimated from the bytes read
  // so far (exact once the last file is read). Writing: records written,
  // and all records.
  size_t rowsDone = 0, rowsTotal = 0;
  // Reading: bytes read (a zip member's inflated bytes) of all inputs.
  uint64_t bytesDone = 0, bytesTotal = 0;
  std::string file;  // reading: the file, or "ZIP:MEMBER", being read
};

// Called on the caller's thread every few thousand rows and at the end of
// each stage; false stops the import (the table stays as it was).
using ImportProgressFn = std::function<bool(const ImportProgress& progress)>;

struct ImportOptions {
  // What the replaced table leaves behind (TablePath.h says what the
  // finder's own table keeps); nothing when empty.
  platform::Backups backups;
  ImportProgressFn progress;
  // The date of a table whose files name none; the local day when empty.
  std::optional<DbfDate> today;
};

struct ImportedFile {
  std::string name;    // the path, or "ZIP:MEMBER"
  std::string layout;  // "road-name ranges", "Korea Post's address DB", ...
  size_t rows = 0;
};

struct ImportSummary {
  std::vector<ImportedFile> files;   // in the order read
  std::vector<std::string> leftOut;  // "ZIP:MEMBER" of members that are no text files
  size_t records = 0;
  std::vector<DbfField> fields;  // the table's fields and widths
  DbfDate date{};                // the table's date
  bool dateFromData = false;     // false: the day of the import
  std::string table;             // the file written (the file a link names)
  std::string warning;           // set when the table is in place but not all is well
};

// Imports inputs into the table at path table. On failure: false, the table
// as it was, no file left behind, and *error is "FILE:LINE: what is wrong"
// ("FILE: what" for a fault of the file as a whole, FILE being
// "ZIP:MEMBER" inside a zip).
bool ImportFiles(const std::vector<std::string>& inputs, const std::string& table,
                 const ImportOptions& options, ImportSummary* summary, std::string* error);

}  // namespace postal
