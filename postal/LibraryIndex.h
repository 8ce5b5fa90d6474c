#pragma once
// The index calls over the full-text library's bound entry points, for the
// programs without a window.
#include "platform/RuntimeLibraries.h"
#include "postal/IndexCalls.h"

namespace postal {

class LibraryIndex final : public IndexCalls {
 public:
  explicit LibraryIndex(const platform::FtsEntryPoints& fts) : fts_(fts) {}
  // Closes the index still open.
  ~LibraryIndex() override;
  LibraryIndex(const LibraryIndex&) = delete;
  LibraryIndex& operator=(const LibraryIndex&) = delete;

  int32_t Handle() const override { return handle_; }
  void Forget() override { handle_ = 0; }
  int32_t Create(const char* fileName) override;
  int32_t Open(const char* fileName) override;
  int32_t Add(const char* record) override;
  int32_t Set(const char* text) override;
  int32_t NextRec() override;
  int32_t NextRecs(int32_t* recnos, int32_t max) override;
  int32_t Proven() override;
  int32_t Match(const char* record, const char* text) override;
  int32_t MatchSpans(const char* record, int32_t size, const char* text, int32_t* spans,
                     int32_t maxSpans) override;
  int32_t NumRecs() override;
  int32_t Close() override;
  int32_t SetTag(const char* tag) override;
  int32_t GetTag(char* buffer, int32_t size) override;

 private:
  const platform::FtsEntryPoints& fts_;
  int32_t handle_ = 0;
};

}  // namespace postal
