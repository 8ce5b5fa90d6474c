#include "postal/PostalSearch.h"

#include <algorithm>
#include <atomic>
#include <utility>

#include "libs/ftsindex/ftsindex.h"
#include "postal/AddressSearch.h"
#include "postal/IndexOpening.h"
#include "postal/PostalFiles.h"
#include "postal/TableTag.h"

namespace postal {
namespace {

// The engine is process-wide: the work area of each search has an alias of
// its own.
std::string NewAlias() {
  static std::atomic<unsigned> count{0};
  return "PFLOOKUP" + std::to_string(++count);
}

std::string InFolder(const std::string& folder, const char* name) {
  return folder.empty() ? std::string(name) : folder + "/" + name;
}

// A build is told once, when it starts; the engine then reads ahead, since
// every record is read in order.
class CommandBuild final : public IndexBuildObserver {
 public:
  CommandBuild(EngineTable& table, const std::string& indexPath,
               const std::function<void(const std::string&)>& note)
      : table_(table), indexPath_(indexPath), note_(note) {}
  ~CommandBuild() override { table_.SetReadAhead(false); }
  void Started(int32_t count) override {
    if (note_)
      note_("building the index " + indexPath_ + " (" + std::to_string(count) + " records)");
    table_.SetReadAhead(true);
  }
  void Saving() override { table_.SetReadAhead(false); }

 private:
  EngineTable& table_;
  const std::string& indexPath_;
  const std::function<void(const std::string&)>& note_;
};

}  // namespace

std::string IndexErrorText(int32_t code) {
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

PostalSearch::PostalSearch(const platform::RunFolders& folders)
    : folders_(folders),
      tablePath_(InFolder(folders.table, kTableFileName)),
      indexPath_(InFolder(folders.index, kIndexFileName)) {}

PostalSearch::PostalSearch(const std::string& programFolder, std::string tablePath,
                           std::string indexPath)
    : tablePath_(std::move(tablePath)), indexPath_(std::move(indexPath)) {
  folders_.program = programFolder;
}

PostalSearch::~PostalSearch() = default;

bool PostalSearch::OpenTable(std::string* error) {
  const platform::EngineEntryPoints* dbe = platform::LoadEngineLibrary(folders_.program, error);
  if (!dbe) return false;
  const platform::FtsEntryPoints* fts = platform::LoadFtsLibrary(folders_.program, error);
  if (!fts) return false;
  index_ = std::make_unique<LibraryIndex>(*fts);
  table_ = std::make_unique<EngineTable>(*dbe, NewAlias());
  if (!table_->Open(tablePath_, error)) return false;
  record_.assign(static_cast<size_t>(table_->RecordSize()) + 1, '\0');
  for (auto [name, field] :
       {std::pair{"ZIPCODE", &zipcode_}, std::pair{"DDD", &ddd_}, std::pair{"ETC", &address_}}) {
    *field = table_->Field(name);
    if (field->width <= 0) {
      *error = "the table " + tablePath_ + " has no field " + name;
      return false;
    }
  }
  return true;
}

int32_t PostalSearch::RecordCount() {
  return table_ ? table_->RecordCount() : 0;
}

int32_t PostalSearch::StatedRecordCount() {
  return table_ ? table_->StatedRecordCount() : 0;
}

std::string PostalSearch::TableDate() const {
  return table_ ? DateText(table_->LastUpdate()) : std::string();
}

bool PostalSearch::OpenIndex(const std::function<void(const std::string&)>& note,
                             std::string* error) {
  if (!table_ || !table_->IsOpen()) {
    *error = "no table is open";
    return false;
  }
  if (const size_t slash = indexPath_.rfind('/'); slash != std::string::npos && slash > 0)
    platform::MakeFolders(indexPath_.substr(0, slash));
  CommandBuild build(*table_, indexPath_, note);
  const IndexOutcome outcome =
      OpenOrBuildIndex(*index_, *table_, indexPath_, tablePath_, record_.data(), build);
  built_ = outcome.state != IndexState::kOpened;
  crossings_ = outcome.crossings;
  switch (outcome.state) {
    case IndexState::kOpened:
      return true;
    case IndexState::kBuilt:
      // Refused records keep their numbers without keys: the index is
      // usable, those records cannot be found.
      if (outcome.refused > 0 && note)
        note("the index refused " + std::to_string(outcome.refused) + " records of the table");
      return true;
    case IndexState::kCannotCreate:
      *error = "unable to create the index " + indexPath_ + ": " + IndexErrorText(outcome.error);
      return false;
    case IndexState::kCannotSave:
      *error = "unable to write the index " + indexPath_ + ": " + IndexErrorText(outcome.error);
      return false;
    case IndexState::kCannotOpen:
      *error = "unable to read the index " + indexPath_ + ": " + IndexErrorText(outcome.error);
      return false;
  }
  return false;
}

long PostalSearch::Search(const SearchText& text, long limit,
                          const std::function<void(const PostalRow&)>& onRow) {
  if (!table_ || !table_->IsOpen()) return 0;
  // Candidates come in record order: the engine reads them a block at a time.
  table_->SetReadAhead(true);
  struct ReadAheadOff {
    EngineTable& table;
    ~ReadAheadOff() { table.SetReadAhead(false); }
  } readAheadOff{*table_};
  AddressSearch search(*index_, *table_, crossings_);
  auto row = [&](int32_t recno, MatchKind kind, const char* record) {
    onRow(PostalRow{recno, kind, FieldText(record, zipcode_), FieldText(record, ddd_),
                    FieldText(record, address_)});
  };
  SearchRequest request;
  request.text = &text;
  request.record = record_.data();
  long rows = 0;
  if (!ReadAddressQuery(text).HasNumberWords()) {
    // Every match is as written: the rows come in record order as found.
    request.readEveryMatch = true;
    request.onMatch = [&](const AddressMatch& m) {
      row(m.recno, m.kind, m.record);
      return ++rows != limit;
    };
    indexFailed_ = search.Run(request).indexFailed || indexFailed_;
    return rows;
  }
  // The best rows first: all are found before any is given.
  std::vector<std::pair<MatchKind, int32_t>> found;
  request.onMatch = [&](const AddressMatch& m) {
    found.emplace_back(m.kind, m.recno);
    return true;
  };
  indexFailed_ = search.Run(request).indexFailed || indexFailed_;
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [kind, recno] : found) {
    table_->Go(recno);
    table_->Read(record_.data());
    row(recno, kind, record_.data());
    if (++rows == limit) break;
  }
  return rows;
}

}  // namespace postal
