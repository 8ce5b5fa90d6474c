#include "search/LiveSearch.h"

#include <exception>

#include "search/ConfirmedMarks.h"
#include "search/Fts.h"
#include "search/SearchRun.h"
#include "search/SearchText.h"
#include "search/UiHold.h"
#include "table/DbfTable.h"

namespace search {
namespace {

// Hangul syllables: U+AC00 + (initial * 21 + medial) * 28 + final.
constexpr char16_t kFirstSyllable = 0xAC00, kLastSyllable = 0xD7A3;

// By final (1..27): the final that stays with the syllable and the
// compatibility jamo of the consonant that can begin the next one.
struct FinalSplit {
  char16_t keep;
  char16_t initial;
};
constexpr FinalSplit kFinals[28] = {
    {0, 0},      {0, 0x3131}, {0, 0x3132}, {1, 0x3145}, {0, 0x3134},  {4, 0x3148}, {4, 0x314E},
    {0, 0x3137}, {0, 0x3139}, {8, 0x3131}, {8, 0x3141}, {8, 0x3142},  {8, 0x3145}, {8, 0x314C},
    {8, 0x314D}, {8, 0x314E}, {0, 0x3141}, {0, 0x3142}, {17, 0x3145}, {0, 0x3145}, {0, 0x3146},
    {0, 0x3147}, {0, 0x3148}, {0, 0x314A}, {0, 0x314B}, {0, 0x314C},  {0, 0x314D}, {0, 0x314E}};

// Marks the matches of the text; 0 when it cannot be searched or finds nothing
// (the grid then shows no row). Without a usable index every record is
// confirmed, as RunSearch does.
int SearchFor(TPostalParts& p, const QString& text) {
  p.Table1->Query("");
  if (FillSearchText(text, *p.SearchText) != TSearchTextFill::Filled) {
    ShowNoRows(p);
    return 0;
  }
  return MarkMatches(p, false).matches;
}

}  // namespace

QString SplitComposingFinal(const TComposedText& c) {
  if (c.preeditLength <= 0 || c.preeditStart < 0 ||
      c.preeditStart + c.preeditLength > c.text.size())
    return {};
  const int at = c.preeditStart + c.preeditLength - 1;
  const char16_t s = c.text[at].unicode();
  if (s < kFirstSyllable || s > kLastSyllable) return {};
  const int final = (s - kFirstSyllable) % 28;
  if (final == 0) return {};
  const FinalSplit& split = kFinals[final];
  const QChar parts[2] = {QChar(static_cast<char16_t>(s - final + split.keep)),
                          QChar(split.initial)};
  QString out = c.text;
  out.replace(at, 1, parts, 2);
  return out;
}

int RunQuietSearch(TPostalParts& p, const TComposedText& composed) {
  if (!p.Table1 || !p.Table1->IsOpen()) return kNoTable;
  // The grid's window of rows is fetched once, for the rows shown at the end.
  NotificationsSuspended quiet(p.Table1);
  try {
    if (TrimBlanks(composed.text).isEmpty()) {
      p.Table1->Query("");
      return kWholeTable;
    }
    int matches = SearchFor(p, composed.text);
    if (matches == 0) {
      const QString split = SplitComposingFinal(composed);
      if (!split.isEmpty()) matches = SearchFor(p, split);
    }
    return matches;
  } catch (const std::exception&) {
    return 0;
  }
}

TLiveSearch::TLiveSearch(std::function<TPostalParts()> parts, std::function<bool()> ready,
                         QObject* parent)
    : QObject(parent), parts_(std::move(parts)), ready_(std::move(ready)) {
  timer_.setSingleShot(true);
  timer_.setInterval(0);
  connect(&timer_, &QTimer::timeout, this, &TLiveSearch::RunPending);
}

void TLiveSearch::Request(const TComposedText& composed) {
  pending_ = composed;
  timer_.start();
}

void TLiveSearch::RunPending() {
  if (ready_ && !ready_()) return;
  TPostalParts parts = parts_();
  ++runs_;
  emit Searched(RunQuietSearch(parts, pending_));
}

}  // namespace search
