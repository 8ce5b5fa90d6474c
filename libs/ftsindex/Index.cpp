#include "libs/ftsindex/Index.h"

#include <algorithm>

#include "libs/ftsindex/ftsindex.h"

namespace fts {
namespace {

constexpr uint64_t kBytesPerRead = 8192;
// Candidates to a list's 128 numbers from which a merge with each block
// decoded beats a probe for each candidate.
constexpr uint64_t kCandidatesPerBlockForMerge = 128 / 16;

}  // namespace

std::unique_ptr<Index> Index::ForBuild(const fts_io* io, std::string path, size_t memoryBytes) {
  auto index = std::make_unique<Index>();
  index->builder_ = std::make_unique<IndexBuilder>(io, std::move(path), memoryBytes);
  if (!index->builder_->Usable()) return nullptr;
  return index;
}

std::unique_ptr<Index> Index::ForSearch(std::unique_ptr<IndexFile> file) {
  auto index = std::make_unique<Index>();
  index->file_ = std::move(file);
  return index;
}

int32_t Index::Add(std::string_view record) {
  if (!builder_) return FTS_ERR_STATE;
  if (builder_->RecordCount() >= kMaxRecords) return FTS_ERR_FULL;
  return static_cast<int32_t>(builder_->Add(record));
}

int32_t Index::AddRefused() {
  if (!builder_) return FTS_ERR_STATE;
  if (builder_->RecordCount() >= kMaxRecords) return FTS_ERR_FULL;
  builder_->AddEmpty();
  return 0;
}

int32_t Index::Intersect(std::vector<ListInfo>& lists) {
  // Smallest list first: every further list can only remove candidates.
  std::sort(lists.begin(), lists.end(),
            [](const ListInfo& a, const ListInfo& b) { return a.count < b.count; });
  if (lists_.size() < lists.size()) lists_.resize(lists.size());
  if (const int32_t r = lists_[0].Load(*file_, lists[0], true)) return r;
  if (const int32_t r = lists_[0].AppendAll(candidates_)) return r;
  for (size_t i = 1; i < lists.size() && !candidates_.empty(); ++i) {
    PostingList& list = lists_[i];
    // Few candidates read the blocks they probe one at a time; many read the
    // list in one go (a read costs about as much as 8 KiB more of it). Either
    // way only the blocks probed are decoded and checked.
    const uint64_t probed =
        std::min<uint64_t>(candidates_.size(), ListParts(lists[i], file_->RecordCount()));
    const bool whole = probed * kBytesPerRead >= lists[i].length;
    if (const int32_t r = list.Load(*file_, lists[i], whole)) return r;
    // Many candidates to a block: its blocks decoded and merged with them.
    if (candidates_.size() * kCandidatesPerBlockForMerge >= lists[i].count) {
      if (const int32_t r = list.KeepCommon(candidates_)) return r;
      continue;
    }
    auto kept = candidates_.begin();
    for (uint32_t c : candidates_) {
      bool found = false;
      if (const int32_t r = list.Contains(c, found)) return r;
      if (found) *kept++ = c;
    }
    candidates_.erase(kept, candidates_.end());
  }
  return 0;
}

int32_t Index::Set(std::string_view text) {
  candidates_.clear();
  next_ = 0;
  fromSingle_ = false;
  proven_ = false;
  if (!file_) return FTS_ERR_STATE;
  if (text.size() > FTS_MAX_TEXT) return FTS_ERR_TOO_LONG;
  if (!PlanSearch(text, plan_) || plan_.keys.empty()) return FTS_ERR_NO_KEY;
  std::vector<ListInfo> lists(plan_.keys.size());
  for (size_t i = 0; i < lists.size(); ++i) {
    const int32_t found = file_->Find(plan_.keys[i], lists[i]);
    if (found < 0) return found;
    if (found == 0) return FTS_ERR_NO_KEY;
  }
  if (lists.size() == 1) {
    // Its candidates are taken one by one later: every part is checked now.
    int32_t r = single_.Load(*file_, lists[0], true);
    if (r == 0) r = single_.CheckParts();
    if (r != 0) return r;
    fromSingle_ = true;
    proven_ = plan_.exact;
    return static_cast<int32_t>(lists[0].count);
  }
  if (const int32_t r = Intersect(lists)) {
    candidates_.clear();
    return r;
  }
  proven_ = plan_.exact && !candidates_.empty();
  return static_cast<int32_t>(candidates_.size());
}

int32_t Index::Proven() const {
  if (!file_) return FTS_ERR_STATE;
  return proven_ ? 1 : 0;
}

int32_t Index::NextRec() {
  if (!file_) return FTS_ERR_STATE;
  if (fromSingle_) return static_cast<int32_t>(single_.Next());
  return next_ < candidates_.size() ? static_cast<int32_t>(candidates_[next_++]) : 0;
}

int32_t Index::NextRecs(int32_t* out, int32_t max) {
  if (!file_) return FTS_ERR_STATE;
  if (!out || max < 1) return FTS_ERR_ARG;
  if (fromSingle_) return static_cast<int32_t>(single_.NextMany(out, static_cast<uint32_t>(max)));
  const size_t take = std::min(static_cast<size_t>(max), candidates_.size() - next_);
  for (size_t i = 0; i < take; ++i) out[i] = static_cast<int32_t>(candidates_[next_ + i]);
  next_ += take;
  return static_cast<int32_t>(take);
}

int32_t Index::Verify(std::string_view record, std::string_view text, int mode) {
  return fts::Verify(matcher_, record, text, mode);
}

int32_t Index::MatchSpans(std::string_view record, std::string_view text, int mode, int32_t* spans,
                          int32_t maxSpans) {
  if (mode < 1 || mode > 3) return FTS_ERR_ARG;
  if (text.size() > FTS_MAX_TEXT) return FTS_ERR_TOO_LONG;
  if (!matcher_.IsPreparedFor(text, mode)) matcher_.Prepare(text, mode);
  matcher_.Spans(record, spans_);
  const auto count = static_cast<int32_t>(spans_.size());
  for (int32_t i = 0; i < count && i < maxSpans; ++i) {
    spans[2 * i] = static_cast<int32_t>(spans_[static_cast<size_t>(i)].first);
    spans[2 * i + 1] = static_cast<int32_t>(spans_[static_cast<size_t>(i)].second);
  }
  return count;
}

int32_t Index::NumRecs() const {
  return static_cast<int32_t>(builder_ ? builder_->RecordCount() : file_->RecordCount());
}

int32_t Index::NumKeys() const {
  return static_cast<int32_t>(builder_ ? builder_->KeyCount() : file_->KeyCount());
}

int32_t Index::SetTag(std::string_view tag) {
  if (!builder_) return FTS_ERR_STATE;
  if (tag.size() > kMaxTag) return FTS_ERR_TOO_LONG;
  builder_->SetTag(std::string(tag));
  return 0;
}

const std::string& Index::Tag() const {
  return builder_ ? builder_->Tag() : file_->Tag();
}

int32_t Index::Check() const {
  if (!file_) return FTS_ERR_STATE;
  return file_->CheckAll();
}

int32_t Index::Finish() {
  if (!builder_) return 0;
  const int32_t r = builder_->Write();
  builder_.reset();
  return r;
}

}  // namespace fts
