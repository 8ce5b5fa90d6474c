// The search while typing over a small table: the quiet run shows what
// Return would show without any message, the newest of several requests is
// the one searched, a syllable still being composed keeps the rows, and the
// highlighted ranges of a row are the characters that matched.
#include <QApplication>

#include "PostalFixture.h"
#include "search/LiveSearch.h"
#include "search/MatchHighlight.h"
#include "search/SearchRun.h"

using searchtest::SmallTableFixture;

class LiveSearch : public SmallTableFixture {
 protected:
  int Quiet(const QString& text, int preeditLength = 0) {
    search::TComposedText composed;
    composed.text = text;
    composed.preeditStart = static_cast<int>(text.size()) - preeditLength;
    composed.preeditLength = preeditLength;
    return search::RunQuietSearch(parts, composed);
  }
  std::vector<int> Shown() {
    std::vector<int> recnos;
    for (table_->First(); !table_->Eof(); table_->Next()) recnos.push_back(table_->Recno());
    table_->First();
    return recnos;
  }
  // The highlighted parts of a cell's text, joined by '|'.
  QString Highlighted(search::TMatchHighlight& h, int row, const char* fieldName) {
    const TField* f = table_->FindField(QString::fromLatin1(fieldName));
    const QString text = table_->CellText(row, f);
    QStringList parts;
    for (const auto& [start, length] : h.CellRanges(row, f)) parts << text.mid(start, length);
    return parts.join(QLatin1Char('|'));
  }
  const std::vector<int> all_{1, 2, 3, 4, 5, 6};
};

TEST_F(LiveSearch, ShowsWhatReturnShowsWithoutAMessage) {
  edSearch->setFocus();
  const int timerId = Timer1->timerId();
  EXPECT_EQ(Quiet(QStringLiteral("개포1동")), 3);
  EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 4}));
  EXPECT_EQ(Quiet(QStringLiteral("ㄱㅍ1ㄷ")), 3);  // initial consonants
  EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 4}));
  EXPECT_EQ(Quiet(QStringLiteral("강남구개포2동")), 1);  // across the blank
  EXPECT_EQ(Shown(), (std::vector<int>{3}));
  // Nothing matched: no row (none to copy).
  EXPECT_EQ(Quiet(QStringLiteral("가나다")), 0);  // a candidate that does not verify
  EXPECT_EQ(Shown(), std::vector<int>{});
  EXPECT_EQ(Quiet(QStringLiteral("없는말")), 0);  // no key
  EXPECT_EQ(Shown(), std::vector<int>{});
  EXPECT_EQ(Quiet(QStringLiteral("개포\u0E01")), 0);  // no CP949 form
  EXPECT_EQ(Shown(), std::vector<int>{});
  EXPECT_EQ(Quiet(QStringLiteral("  ")), search::kWholeTable);
  EXPECT_EQ(Shown(), all_);
  // Quiet: no message, the focus stays in the box, the clock was not held.
  EXPECT_TRUE(messages.Messages().isEmpty());
  EXPECT_EQ(QApplication::focusWidget(), edSearch);
  EXPECT_EQ(Timer1->timerId(), timerId);
  EXPECT_FALSE(table_->NotificationsSuspended());
  EXPECT_FALSE(table_->SpeedMode());
  // Return for the same text still gives its message and focus.
  edSearch->setText(QStringLiteral("개포1동"));
  EXPECT_EQ(search::SearchEntry(parts), 3);
  EXPECT_EQ(messages.Messages(), QStringList{search::CountMessage(3)});
}

TEST_F(LiveSearch, FillsTheGridsRowsOncePerRun) {
  int fills = 0;
  QObject counting;  // the connection ends with the test
  QObject::connect(source_, &TDataSource::DataChange, &counting, [&](TField*) { ++fills; });
  for (const QString& text : {QStringLiteral("개포1동"), QStringLiteral("없는말"),
                              QStringLiteral("가나다"), QStringLiteral("  ")}) {
    fills = 0;
    Quiet(text);
    EXPECT_EQ(fills, 1) << text.toStdString();
  }
  fills = 0;
  Quiet(QStringLiteral("개포1동"));
  EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 4})) << "and the rows are the found ones";
}

TEST_F(LiveSearch, AComposingSyllableKeepsTheRows) {
  EXPECT_EQ(search::SplitComposingFinal({QStringLiteral("갶"), 0, 1}), QStringLiteral("개ㅍ"));
  EXPECT_EQ(search::SplitComposingFinal({QStringLiteral("서울 닭"), 3, 1}),
            QStringLiteral("서울 달ㄱ"));
  EXPECT_EQ(search::SplitComposingFinal({QStringLiteral("값"), 0, 1}), QStringLiteral("갑ㅅ"));
  EXPECT_EQ(search::SplitComposingFinal({QStringLiteral("개"), 0, 1}), QString());
  EXPECT_EQ(search::SplitComposingFinal({QStringLiteral("갶"), 0, 0}), QString());
  // 개 then ㅍ: the input method shows 갶, which is in no record; the rows of
  // 개ㅍ stay.
  EXPECT_EQ(Quiet(QStringLiteral("갶"), 1), 4);
  EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 3, 4}));
  // Committed text is taken as it is.
  EXPECT_EQ(Quiet(QStringLiteral("갶")), 0);
  EXPECT_TRUE(messages.Messages().isEmpty());
}

TEST_F(LiveSearch, OnlyTheNewestTextIsSearched) {
  int answered = -2;
  int readyCalls = 0;
  search::TLiveSearch live([this] { return parts; },
                           [&] {
                             ++readyCalls;
                             return true;
                           });
  QObject::connect(&live, &search::TLiveSearch::Searched, [&](int m) { answered = m; });
  for (const char* text : {"개", "개포", "개포2", "개포2동"})
    live.Request({QString::fromUtf8(text), 0, 0});
  EXPECT_TRUE(live.Pending());
  EXPECT_EQ(live.Runs(), 0);  // nothing searched before the queued events ran
  QCoreApplication::processEvents();
  EXPECT_EQ(live.Runs(), 1);
  EXPECT_EQ(readyCalls, 1);
  EXPECT_EQ(answered, 1);
  EXPECT_EQ(Shown(), (std::vector<int>{3}));
  // Not ready (a start-up still running): the request is dropped, the table untouched.
  search::TLiveSearch held([this] { return parts; }, [] { return false; });
  held.Request({QStringLiteral("부산"), 0, 0});
  QCoreApplication::processEvents();
  EXPECT_EQ(held.Runs(), 0);
  EXPECT_EQ(Shown(), (std::vector<int>{3}));
  // A cancelled request is not run (Return searched in its place).
  live.Request({QStringLiteral("부산"), 0, 0});
  live.Cancel();
  QCoreApplication::processEvents();
  EXPECT_EQ(live.Runs(), 1);
  EXPECT_EQ(Shown(), (std::vector<int>{3}));
}

TEST_F(LiveSearch, HighlightsAreTheMatchedCharacters) {
  search::TMatchHighlight highlight(table_.get(), &fts_);
  ASSERT_EQ(Quiet(QStringLiteral("강남구개포1 ㅇㅍㅌ 135-80")), 2);
  highlight.SetText(QByteArray(searchText_.data()));
  // Row 0 is record 1: 135-806, 서울 강남구 개포1동 경남아파트.
  EXPECT_EQ(Highlighted(highlight, 0, "ETC"), QStringLiteral("강남구|개포1|아파트"));
  EXPECT_EQ(Highlighted(highlight, 0, "ZIPCODE"), QStringLiteral("135-80"));
  EXPECT_EQ(Highlighted(highlight, 1, "ETC"), QStringLiteral("강남구|개포1|아파트"));
  // No text, nothing highlighted.
  highlight.SetText(QByteArray());
  EXPECT_EQ(Highlighted(highlight, 0, "ETC"), QString());
}
