#include "libs/ftsindex/Index.h"

#include <algorithm>

#include "libs/ftsindex/AtomicFile.h"
#include "libs/ftsindex/ftsindex.h"

namespace fts {

std::unique_ptr<Index> Index::ForBuild(std::string path) {
  auto index = std::make_unique<Index>();
  index->path_ = std::move(path);
  index->builder_ = std::make_unique<IndexBuilder>();
  return index;
}

std::unique_ptr<Index> Index::ForSearch(IndexFile file) {
  auto index = std::make_unique<Index>();
  index->file_ = std::make_unique<IndexFile>(std::move(file));
  return index;
}

int32_t Index::Add(std::string_view record) {
  if (!builder_) return FTS_ERR_STATE;
  if (builder_->RecordCount() >= 0x7FFFFFFFu) return FTS_ERR_FULL;
  return static_cast<int32_t>(builder_->Add(record));
}

int32_t Index::AddRefused() {
  if (!builder_) return FTS_ERR_STATE;
  if (builder_->RecordCount() >= 0x7FFFFFFFu) return FTS_ERR_FULL;
  builder_->AddEmpty();
  return 0;
}

int32_t Index::Set(std::string_view text) {
  candidates_.clear();
  next_ = 0;
  single_ = PostingIterator();
  proven_ = false;
  if (!file_) return FTS_ERR_STATE;
  if (text.size() > FTS_MAX_TEXT) return FTS_ERR_TOO_LONG;
  if (!PlanSearch(text, plan_) || plan_.keys.empty()) return FTS_ERR_NO_KEY;
  std::vector<const DictEntry*> entries;
  entries.reserve(plan_.keys.size());
  for (Key k : plan_.keys) {
    const DictEntry* e = file_->Find(k);
    if (!e) return FTS_ERR_NO_KEY;
    entries.push_back(e);
  }
  if (entries.size() == 1) {
    single_ = PostingIterator(file_->Postings(*entries[0]));
    proven_ = plan_.exact;
    return static_cast<int32_t>(entries[0]->count);
  }
  // Smallest list first: every further list can only remove candidates.
  std::sort(entries.begin(), entries.end(),
            [](const DictEntry* a, const DictEntry* b) { return a->count < b->count; });
  DecodePostings(file_->Postings(*entries[0]), candidates_);
  for (size_t i = 1; i < entries.size() && !candidates_.empty(); ++i) {
    PostingCursor cursor(file_->Postings(*entries[i]));
    auto kept = candidates_.begin();
    for (uint32_t c : candidates_)
      if (cursor.Contains(c)) *kept++ = c;
    candidates_.erase(kept, candidates_.end());
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
  if (next_ >= candidates_.size()) return static_cast<int32_t>(single_.Next());
  return static_cast<int32_t>(candidates_[next_++]);
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

int32_t Index::Finish() {
  if (!builder_) return 0;
  const std::string image = builder_->Image();
  builder_.reset();
  return WriteFileAtomically(path_, image);
}

}  // namespace fts
