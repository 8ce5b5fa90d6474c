#pragma once
// One handle's index: being built, or open for searching.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "libs/ftsindex/IndexBuilder.h"
#include "libs/ftsindex/IndexFile.h"
#include "libs/ftsindex/Matcher.h"
#include "libs/ftsindex/PostingList.h"

namespace fts {

class Index {
 public:
  // Null without the memory a build needs.
  static std::unique_ptr<Index> ForBuild(const fts_io* io, std::string path, size_t memoryBytes);
  static std::unique_ptr<Index> ForSearch(std::unique_ptr<IndexFile> file);

  bool Building() const { return builder_ != nullptr; }
  int32_t Add(std::string_view record);
  int32_t AddRefused();
  int32_t Set(std::string_view text);
  int32_t NextRec();
  int32_t NextRecs(int32_t* out, int32_t max);
  // 1 when the candidates of the last Set are exactly the records that match
  // in mode 3, 0 when each must be verified.
  int32_t Proven() const;
  int32_t Verify(std::string_view record, std::string_view text, int mode);
  // The matched byte ranges of record, pairs into spans (at most maxSpans);
  // answers their number, 0 when the record does not match.
  int32_t MatchSpans(std::string_view record, std::string_view text, int mode, int32_t* spans,
                     int32_t maxSpans);
  int32_t NumRecs() const;
  int32_t NumKeys() const;
  // The source tag: set while building, read from the file when open.
  int32_t SetTag(std::string_view tag);
  const std::string& Tag() const;
  // Reads and checks the whole open index.
  int32_t Check() const;
  // Writes a built index; 0 for an open one.
  int32_t Finish();

 private:
  // The candidates of the lists of plan_'s keys; 0 or an error.
  int32_t Intersect(std::vector<ListInfo>& lists);

  std::unique_ptr<IndexBuilder> builder_;
  std::unique_ptr<IndexFile> file_;
  // The candidates: decoded when several lists were intersected, taken
  // straight from the list when there was one.
  std::vector<uint32_t> candidates_;
  size_t next_ = 0;
  PostingList single_;
  bool fromSingle_ = false;
  // The lists of an intersection, kept with their memory for the next search.
  std::vector<PostingList> lists_;
  SearchPlan plan_;
  bool proven_ = false;
  Matcher matcher_;
  std::vector<ByteSpan> spans_;
};

}  // namespace fts
