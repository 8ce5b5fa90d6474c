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
  if (!file_) return FTS_ERR_STATE;
  if (text.size() > FTS_MAX_TEXT) return FTS_ERR_TOO_LONG;
  if (!SearchKeys(text, keys_) || keys_.empty()) return FTS_ERR_NO_KEY;
  std::vector<const DictEntry*> entries;
  entries.reserve(keys_.size());
  for (Key k : keys_) {
    const DictEntry* e = file_->Find(k);
    if (!e) return FTS_ERR_NO_KEY;
    entries.push_back(e);
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
  return static_cast<int32_t>(candidates_.size());
}

int32_t Index::NextRec() {
  if (!file_) return FTS_ERR_STATE;
  if (next_ >= candidates_.size()) return 0;
  return static_cast<int32_t>(candidates_[next_++]);
}

int32_t Index::Verify(std::string_view record, std::string_view text, int mode) {
  return fts::Verify(matcher_, record, text, mode);
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
