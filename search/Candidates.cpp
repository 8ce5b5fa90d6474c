#include "search/Candidates.h"

#include "search/Fts.h"
#include "table/DbfTable.h"

namespace search {
namespace {
constexpr uint8_t kVerifyAllWords = 2;  // the library receives 3
}

bool IndexUsable(const TPostalParts& p) {
  return p.Fts1 && p.Fts1->IndexHandle > 0;
}

TIndexAnswer AskIndex(TPostalParts& p) {
  if (!IndexUsable(p)) return TIndexAnswer::EveryRecord;
  const int32_t r = p.Fts1->FtsSet(p.SearchText->data());
  if (r == -13) return TIndexAnswer::NoKey;
  if (r == 0) return TIndexAnswer::NoData;
  // Any other failure: the index cannot name candidates, so every record is
  // confirmed instead of reporting that nothing was found.
  return r > 0 ? TIndexAnswer::Candidates : TIndexAnswer::EveryRecord;
}

TCandidates::TCandidates(TPostalParts& p, bool fromIndex)
    : p_(p), fromIndex_(fromIndex), last_(fromIndex ? 0 : p.Table1->RecCount()) {}

int32_t TCandidates::Next() {
  if (fromIndex_) return p_.Fts1->FtsNextRec();
  return next_ <= last_ ? next_++ : 0;
}

bool TCandidates::Confirm(const char* record, const char* text) {
  return (fromIndex_ ? p_.Fts1->FtsVerify(record, text, kVerifyAllWords)
                     : p_.Fts1->FtsMatch(record, text, kVerifyAllWords)) == 1;
}

}  // namespace search
