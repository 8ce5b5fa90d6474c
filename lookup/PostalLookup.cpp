#include "lookup/PostalLookup.h"

#include <strings.h>

#include <cstdio>

#include "search/TableTag.h"

namespace lookup {
namespace {

// The finder opens its table with this password: a scrambled table reads in
// clear with it, a plain one ignores it.
constexpr char kTablePassword[] = "qmvrt";
// The engine is process-wide: an alias and a work area of the lookup's own,
// selected before its calls, keep it apart from any other table user.
constexpr char kAlias[] = "PFLOOKUP";
constexpr int16_t kReadOnly = 1;
constexpr int16_t kDriverMtx = 3;
constexpr int16_t kCommitNone = 2;
// FtsVerify's "every word of the text, anywhere, in any order, ASCII letters
// without case": the mode the window's search passes.
constexpr int32_t kVerifyAllWords = 3;

std::string InFolder(const std::string& folder, const char* name) {
  return folder.empty() ? std::string(name) : folder + "/" + name;
}

std::string FtsErrorText(int32_t code) {
  switch (code) {
    case FTS_ERR_ARG:
      return "bad file name";
    case FTS_ERR_IO:
      return "the file or its folder cannot be read or written";
    case FTS_ERR_FORMAT:
      return "not an index file, or a damaged one";
    case FTS_ERR_FULL:
      return "out of memory";
    default:
      return "error " + std::to_string(code);
  }
}

std::string_view TrimmedRight(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string TableDate(const std::string& tablePath) {
  std::FILE* f = std::fopen(tablePath.c_str(), "rb");
  if (!f) return {};
  unsigned char header[4] = {};
  const size_t n = std::fread(header, 1, sizeof header, f);
  std::fclose(f);
  if (n != sizeof header) return {};
  const int year = 1900 + header[1], month = header[2], day = header[3];
  if (month < 1 || month > 12 || day < 1 || day > 31) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
}

PostalLookup::PostalLookup(const platform::RunFolders& folders)
    : folders_(folders),
      tablePath_(InFolder(folders.table, platform::kTableFileName)),
      indexPath_(InFolder(folders.index, kIndexFileName)) {}

PostalLookup::~PostalLookup() {
  if (index_ > 0) fts_.FtsClose(index_);
  if (area_ > 0) {
    dbe_.dbe_Select(area_);
    dbe_.dbe_Close();
  }
}

bool PostalLookup::OpenTable(std::string* error) {
  if (!LoadEngine(folders_.program, &dbe_, error) || !LoadFts(folders_.program, &fts_, error))
    return false;
  dbe_.dbe_ErrorLevel(0);  // reported here, not on the engine's own line
  area_ = dbe_.dbe_UseEx(tablePath_.c_str(), kAlias, kReadOnly, kDriverMtx, kCommitNone);
  if (area_ <= 0) {
    area_ = 0;
    const std::string why = dbe_.dbe_ErrorText();
    *error = "unable to open the table " + tablePath_ + (why.empty() ? "" : ": " + why);
    return false;
  }
  dbe_.dbe_SetPassword(kTablePassword);
  // A search reads a few records: no reading ahead of the whole table.
  dbe_.dbe_SetReadCache(0);
  recordCount_ = dbe_.dbe_RecCount();
  record_.assign(static_cast<size_t>(dbe_.dbe_RecSize()) + 1, '\0');
  return FindField("ZIPCODE", &zipcode_, error) && FindField("DDD", &ddd_, error) &&
         FindField("ETC", &address_, error);
}

// The fields follow the deletion flag in their order, each at its width.
bool PostalLookup::FindField(const char* name, Field* field, std::string* error) {
  int offset = 1;
  const int16_t count = dbe_.dbe_FieldCount();
  for (int16_t i = 1; i <= count; ++i) {
    const std::string fieldName = dbe_.dbe_FieldName(i);
    const int width = dbe_.dbe_FieldWidth(fieldName.c_str());
    if (strcasecmp(fieldName.c_str(), name) == 0 && width > 0 &&
        static_cast<size_t>(offset + width) < record_.size()) {
      *field = Field{offset, width};
      return true;
    }
    offset += width;
  }
  *error = "the table " + tablePath_ + " has no field " + name;
  return false;
}

std::string_view PostalLookup::FieldText(const Field& field) const {
  return TrimmedRight(
      std::string_view(record_.data() + field.offset, static_cast<size_t>(field.width)));
}

// The finder's rule: an index that opens, was built from this table as it is
// now, and holds exactly its records answers for it; anything else is built
// again.
bool PostalLookup::IndexAnswersForTable() {
  if (index_ <= 0 || fts_.FtsNumRecs(index_) != recordCount_) return false;
  char stored[FTS_MAX_TAG + 1];
  return fts_.FtsGetTag(index_, stored, sizeof stored) >= 0 && search::TagsMatch(stored, tableTag_);
}

bool PostalLookup::OpenIndex(const std::function<void(const std::string&)>& note,
                             std::string* error) {
  if (!folders_.index.empty()) platform::MakeFolders(folders_.index);
  tableTag_ = search::TableTag(tablePath_);
  index_ = fts_.FtsOpen(indexPath_.c_str(), 20, 1);
  if (IndexAnswersForTable()) return true;
  if (index_ > 0) fts_.FtsClose(index_);
  index_ = 0;
  if (note)
    note("building the index " + indexPath_ + " (" + std::to_string(recordCount_) + " records)");
  if (!BuildIndex(note, error)) return false;
  built_ = true;
  index_ = fts_.FtsOpen(indexPath_.c_str(), 20, 1);
  if (IndexAnswersForTable()) return true;
  *error = "unable to read the index " + indexPath_ +
           (index_ < 0 ? ": " + FtsErrorText(index_) : ": it does not hold the table's records");
  return false;
}

// As the finder builds it: every record from the top in natural order.
bool PostalLookup::BuildIndex(const std::function<void(const std::string&)>& note,
                              std::string* error) {
  const int32_t h = fts_.FtsCreate(indexPath_.c_str(), 20, 2, 1, 1);
  if (h <= 0) {
    *error = "unable to create the index " + indexPath_ + ": " + FtsErrorText(h);
    return false;
  }
  fts_.FtsSetTag(h, tableTag_.c_str());
  dbe_.dbe_Select(area_);
  dbe_.dbe_SetReadCache(-1);
  dbe_.dbe_GoTop();
  int32_t refused = 0;
  while (!dbe_.dbe_Eof()) {
    dbe_.dbe_GetRecord(record_.data());
    if (fts_.FtsAdd(h, record_.data()) < 0) ++refused;
    dbe_.dbe_Skip(1);
  }
  dbe_.dbe_SetReadCache(0);
  const int32_t written = fts_.FtsClose(h);
  if (written < 0) {
    *error = "unable to write the index " + indexPath_ + ": " + FtsErrorText(written);
    return false;
  }
  // Refused records keep their numbers without keys, as in the finder's
  // build: the index is usable, the records cannot be found.
  if (refused > 0 && note)
    note("the index refused " + std::to_string(refused) + " records of the table");
  return true;
}

long PostalLookup::Search(const char* text, long limit,
                          const std::function<void(const PostalRow&)>& onRow) {
  const int32_t r = fts_.FtsSet(index_, text);
  if (r == FTS_ERR_NO_KEY || r == 0) return 0;
  dbe_.dbe_Select(area_);
  long rows = 0;
  for (int32_t n; (n = fts_.FtsNextRec(index_)) > 0;) {
    dbe_.dbe_Go(n);
    dbe_.dbe_GetRecord(record_.data());
    if (fts_.FtsVerify(index_, record_.data(), text, kVerifyAllWords) != 1) continue;
    onRow(PostalRow{n, FieldText(zipcode_), FieldText(ddd_), FieldText(address_)});
    if (++rows == limit) break;
  }
  return rows;
}

}  // namespace lookup
