#include "search/Fts.h"

#include "libs/ftsindex/ftsindex.h"
#include "search/FtsLibrary.h"

TFts::TFts() : api_(LoadFtsLibrary()) {}

int32_t TFts::FtsCreate(const char* fileName, int16_t arg1, int16_t arg2, int8_t arg3,
                        int16_t arg4) {
  IndexHandle = api_ ? api_->FtsCreate(fileName, arg1, arg2, arg3, arg4) : FTS_ERR_NO_LIBRARY;
  return IndexHandle;
}

int32_t TFts::FtsOpen(const char* fileName, int16_t arg1, int16_t arg2) {
  IndexHandle = api_ ? api_->FtsOpen(fileName, arg1, arg2) : FTS_ERR_NO_LIBRARY;
  return IndexHandle;
}

int32_t TFts::FtsAdd(const char* record) {
  return api_ ? api_->FtsAdd(IndexHandle, record) : FTS_ERR_NO_LIBRARY;
}

int32_t TFts::FtsSet(const char* text) {
  return api_ ? api_->FtsSet(IndexHandle, text) : FTS_ERR_NO_LIBRARY;
}

int32_t TFts::FtsNextRec() {
  return api_ ? api_->FtsNextRec(IndexHandle) : FTS_ERR_NO_LIBRARY;
}

int32_t TFts::FtsNextRecs(int32_t* recnos, int32_t max) {
  return api_ ? api_->FtsNextRecs(IndexHandle, recnos, max) : FTS_ERR_NO_LIBRARY;
}

int32_t TFts::FtsVerify(const char* record, const char* text, uint8_t mode) {
  return api_ ? api_->FtsVerify(IndexHandle, record, text, int32_t{mode} + 1) : FTS_ERR_NO_LIBRARY;
}

int32_t TFts::FtsProven() {
  return api_ ? api_->FtsProven(IndexHandle) : FTS_ERR_NO_LIBRARY;
}

int32_t TFts::FtsMatchSpans(const char* record, int32_t size, const char* text, int32_t mode,
                            int32_t* spans, int32_t maxSpans) {
  return api_ ? api_->FtsMatchSpans(IndexHandle, record, size, text, mode, spans, maxSpans)
              : FTS_ERR_NO_LIBRARY;
}

int32_t TFts::FtsNumRecs() {
  return api_ ? api_->FtsNumRecs(IndexHandle) : FTS_ERR_NO_LIBRARY;
}

int32_t TFts::FtsClose() {
  return api_ ? api_->FtsClose(IndexHandle) : FTS_ERR_NO_LIBRARY;
}

int32_t TFts::FtsSetTag(const char* tag) {
  return api_ ? api_->FtsSetTag(IndexHandle, tag) : FTS_ERR_NO_LIBRARY;
}

int32_t TFts::FtsGetTag(char* buffer, int32_t size) {
  return api_ ? api_->FtsGetTag(IndexHandle, buffer, size) : FTS_ERR_NO_LIBRARY;
}

int32_t TFts::FtsMatch(const char* record, const char* text, uint8_t mode) {
  return api_ ? api_->FtsMatch(record, text, int32_t{mode} + 1) : FTS_ERR_NO_LIBRARY;
}
