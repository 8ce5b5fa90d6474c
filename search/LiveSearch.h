#pragma once
// The search while typing: every change of the search box's text shows at
// once the rows that Return would show, quietly: no message box, no busy
// cursor, the clock and the focus left as they are.
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

#include "search/PostalParts.h"

namespace search {

// What the search box shows: its text with the syllable that the input
// method is still composing (the preedit) at [preeditStart, +preeditLength).
struct TComposedText {
  QString text;
  int preeditStart = 0;
  int preeditLength = 0;
};

// The composed text with the final consonant of its composing syllable
// split off as the initial consonant of a syllable to come (갶 → 개ㅍ, 닭 →
// 달ㄱ): what the user is most likely typing when the syllable as composed
// finds nothing. Empty when the last composing character is not a syllable
// with a final consonant.
QString SplitComposingFinal(const TComposedText& composed);

// The quiet run for the composed text: the rows that Return would show for
// it (none when nothing matches); when the text as composed finds nothing,
// SplitComposingFinal is tried once more. SearchText then holds the text whose rows are shown.
// Answers the match count, kWholeTable for a blank text, kNoTable when the
// table is not open. An error of the table component ends the run quietly
// with 0.
int RunQuietSearch(TPostalParts& parts, const TComposedText& composed);

// Runs RunQuietSearch for the newest requested text once the events already
// queued have been handled: when typing outruns the search, the texts in
// between are never searched.
class TLiveSearch : public QObject {
  Q_OBJECT
 public:
  // parts gives the search's parts at the time of the run; ready answers
  // whether a search may move the table now (not during the start-up).
  TLiveSearch(std::function<TPostalParts()> parts, std::function<bool()> ready,
              QObject* parent = nullptr);

  void Request(const TComposedText& composed);
  // Drops a request not yet run (a search by Return takes its place).
  void Cancel() { timer_.stop(); }
  bool Pending() const { return timer_.isActive(); }
  int Runs() const { return runs_; }

 signals:
  // After every run, with its answer.
  void Searched(int matches);

 private:
  void RunPending();

  std::function<TPostalParts()> parts_;
  std::function<bool()> ready_;
  TComposedText pending_;
  // A zero timer comes due only after the events queued before it.
  QTimer timer_;
  int runs_ = 0;
};

}  // namespace search
