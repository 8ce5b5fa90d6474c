#include "postal/LibraryIndex.h"

#include "postal/PostalFiles.h"

namespace postal {

LibraryIndex::~LibraryIndex() {
  if (handle_ > 0) fts_.FtsClose(handle_);
}

int32_t LibraryIndex::Create(const char* fileName) {
  handle_ = fts_.FtsCreate(fileName, kIndexCreate.arg1, kIndexCreate.arg2, kIndexCreate.arg3,
                           kIndexCreate.arg4);
  return handle_;
}

int32_t LibraryIndex::Open(const char* fileName) {
  handle_ = fts_.FtsOpen(fileName, kIndexOpen.arg1, kIndexOpen.arg2);
  return handle_;
}

int32_t LibraryIndex::Add(const char* record) {
  return fts_.FtsAdd(handle_, record);
}

int32_t LibraryIndex::Set(const char* text) {
  return fts_.FtsSet(handle_, text);
}

int32_t LibraryIndex::NextRec() {
  return fts_.FtsNextRec(handle_);
}

int32_t LibraryIndex::NextRecs(int32_t* recnos, int32_t max) {
  return fts_.FtsNextRecs(handle_, recnos, max);
}

int32_t LibraryIndex::Proven() {
  return fts_.FtsProven(handle_);
}

int32_t LibraryIndex::Match(const char* record, const char* text) {
  return fts_.FtsMatch(record, text, kVerifyEveryWord);
}

int32_t LibraryIndex::MatchSpans(const char* record, int32_t size, const char* text, int32_t* spans,
                                 int32_t maxSpans) {
  return fts_.FtsMatchSpans(handle_, record, size, text, kVerifyEveryWord, spans, maxSpans);
}

int32_t LibraryIndex::NumRecs() {
  return fts_.FtsNumRecs(handle_);
}

int32_t LibraryIndex::Close() {
  const int32_t r = fts_.FtsClose(handle_);
  handle_ = 0;
  return r;
}

int32_t LibraryIndex::SetTag(const char* tag) {
  return fts_.FtsSetTag(handle_, tag);
}

int32_t LibraryIndex::GetTag(char* buffer, int32_t size) {
  return fts_.FtsGetTag(handle_, buffer, size);
}

}  // namespace postal
