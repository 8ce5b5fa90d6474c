#include "search/FtsCalls.h"

#include "postal/PostalFiles.h"

namespace search {
namespace {

// The component's FtsVerify and FtsMatch pass their mode plus one.
constexpr uint8_t kComponentMode = postal::kVerifyEveryWord - 1;

}  // namespace

int32_t TFtsCalls::Create(const char* fileName) {
  const postal::IndexCreateArguments& a = postal::kIndexCreate;
  return fts_.FtsCreate(fileName, a.arg1, a.arg2, a.arg3, a.arg4);
}

int32_t TFtsCalls::Open(const char* fileName) {
  return fts_.FtsOpen(fileName, postal::kIndexOpen.arg1, postal::kIndexOpen.arg2);
}

int32_t TFtsCalls::Match(const char* record, const char* text) {
  return fts_.FtsMatch(record, text, kComponentMode);
}

}  // namespace search
