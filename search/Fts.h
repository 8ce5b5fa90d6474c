#pragma once
// TFts: the application's access to the full-text library. Each method
// forwards one library function and returns its result unchanged; FtsCreate
// and FtsOpen keep their result in IndexHandle, the others pass it on.
#include <cstdint>

#include "search/FtsLibrary.h"

class TFts {
 public:
  // Binds the library from the executable's folder (FtsLibraryFolder()). When
  // it cannot be bound, every call answers FTS_ERR_NO_LIBRARY (-20).
  TFts();

  int32_t IndexHandle = 0;

  int32_t FtsCreate(const char* fileName, int16_t arg1, int16_t arg2, int8_t arg3, int16_t arg4);
  int32_t FtsOpen(const char* fileName, int16_t arg1, int16_t arg2);
  int32_t FtsAdd(const char* record);
  int32_t FtsSet(const char* text);
  int32_t FtsNextRec();
  int32_t FtsNextRecs(int32_t* recnos, int32_t max);
  // The library receives mode + 1: the search passes 2 for "every word, any order".
  int32_t FtsVerify(const char* record, const char* text, uint8_t mode);
  // 1 when the candidates of the last FtsSet all match the text as the
  // search verifies it, so that none needs reading; 0 otherwise.
  int32_t FtsProven();
  // The matched byte ranges of a record of `size` bytes for a text, in the
  // library's mode `mode`: up to maxSpans (begin, end) pairs into spans; answers
  // their number, 0 when the record does not match.
  int32_t FtsMatchSpans(const char* record, int32_t size, const char* text, int32_t mode,
                        int32_t* spans, int32_t maxSpans);
  int32_t FtsNumRecs();
  int32_t FtsClose();
  // The index's source tag (see postal/TableTag.h): set while building,
  // read back from an open index.
  int32_t FtsSetTag(const char* tag);
  int32_t FtsGetTag(char* buffer, int32_t size);
  // FtsVerify without the index (the library's FtsMatch), for a search that
  // has no usable index; mode as for FtsVerify.
  int32_t FtsMatch(const char* record, const char* text, uint8_t mode);

  bool Bound() const { return api_ != nullptr; }

 private:
  const TFtsEntryPoints* api_;
};
