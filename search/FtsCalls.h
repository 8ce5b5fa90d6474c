#pragma once
// The core's index calls over the window's full-text component: every call
// goes through Fts1, as the window has always reached the library.
#include "postal/IndexCalls.h"
#include "search/Fts.h"

namespace search {

class TFtsCalls final : public postal::IndexCalls {
 public:
  explicit TFtsCalls(TFts& fts) : fts_(fts) {}

  int32_t Handle() const override { return fts_.IndexHandle; }
  void Forget() override { fts_.IndexHandle = 0; }
  int32_t Create(const char* fileName) override;
  int32_t Open(const char* fileName) override;
  int32_t Add(const char* record) override { return fts_.FtsAdd(record); }
  int32_t Set(const char* text) override { return fts_.FtsSet(text); }
  int32_t NextRec() override { return fts_.FtsNextRec(); }
  int32_t NextRecs(int32_t* recnos, int32_t max) override { return fts_.FtsNextRecs(recnos, max); }
  int32_t Proven() override { return fts_.FtsProven(); }
  int32_t Match(const char* record, const char* text) override;
  int32_t MatchSpans(const char* record, int32_t size, const char* text, int32_t* spans,
                     int32_t maxSpans) override {
    return fts_.FtsMatchSpans(record, size, text, postal::kVerifyEveryWord, spans, maxSpans);
  }
  int32_t NumRecs() override { return fts_.FtsNumRecs(); }
  int32_t Close() override { return fts_.FtsClose(); }
  int32_t SetTag(const char* tag) override { return fts_.FtsSetTag(tag); }
  int32_t GetTag(char* buffer, int32_t size) override { return fts_.FtsGetTag(buffer, size); }

 private:
  TFts& fts_;
};

}  // namespace search
