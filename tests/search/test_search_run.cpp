// The search entry and RunSearch over a small table with its built index.
#include <QApplication>
#include <QClipboard>

#include "PostalFixture.h"
#include "platform/Cp949.h"
#include "search/ResultActions.h"
#include "search/SearchRun.h"
#include "search/SearchText.h"

using searchtest::PostalFixture;

class SearchRun : public PostalFixture {
 protected:
  void SetUp() override {
    PostalFixture::SetUp();
    searchtest::WriteSmallTable(tables_.path());
    Open();
    messages.Clear();
  }

  int Search(const QString& text) {
    edSearch->setText(text);
    return search::RunSearch(parts);
  }
  // Record numbers the grid's dataset now shows, walked from the top.
  std::vector<int> Shown() {
    std::vector<int> recnos;
    table_->First();
    while (!table_->Eof()) {
      recnos.push_back(table_->Recno());
      table_->Next();
    }
    table_->First();
    return recnos;
  }
  QString SearchTextNow() const { return platform::FromCp949(QByteArray(searchText_.data())); }
  const std::vector<int> all_{1, 2, 3, 4, 5, 6};
};

TEST_F(SearchRun, MarksExactlyTheConfirmedRecordsInRecordOrder) {
  EXPECT_EQ(Search(QStringLiteral("개포1동")), 3);
  EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 4}));
  EXPECT_EQ(messages.Messages(), QStringList{search::CountMessage(3)});
  EXPECT_EQ(table_->Recno(), 1);
  EXPECT_EQ(QApplication::focusWidget(), grid_);
  EXPECT_TRUE(Timer1->isActive());
  EXPECT_FALSE(table_->NotificationsSuspended());
}

TEST_F(SearchRun, CountMessageAsItIsWritten) {
  EXPECT_EQ(search::CountMessage(3),
            QStringLiteral("해당 자료 : 3개\r\r참고: 해당자료가 적을수록 더욱 빠르게 찾을수 "
                           "있습니다.\r        (내용 복사 - 마우스 우측버튼, 붙여넣기 - Ctrl+V)"));
  EXPECT_EQ(search::NotFoundMessage(QStringLiteral("http://x/")),
            QStringLiteral("해당 자료가 없습니다. 확인요망\r\r만약 해당 우편번호가 없을 경우 "
                           "홈페이지(http://x/)\r공개자료실에서 최신 프로그램을 받아서 설치하시면 "
                           "됩니다.\r\r프로그램에 좋은 의견은 홈페이지 게시판에 적어주세요"));
}

TEST_F(SearchRun, OneMatchOrAnUntickedSwitchShowsNoMessage) {
  EXPECT_EQ(Search(QStringLiteral("개포2동")), 1);
  EXPECT_TRUE(messages.Messages().isEmpty());
  EXPECT_EQ(Shown(), (std::vector<int>{3}));
  EXPECT_EQ(QApplication::focusWidget(), grid_);

  CheckBoxMsg->setChecked(false);
  edSearch->setFocus();
  EXPECT_EQ(Search(QStringLiteral("개포")), 4);
  EXPECT_TRUE(messages.Messages().isEmpty());
  EXPECT_EQ(QApplication::focusWidget(), grid_);
}

TEST_F(SearchRun, MarksNeverAccumulateOverRuns) {
  Search(QStringLiteral("개포1동"));
  EXPECT_EQ(Search(QStringLiteral("역삼동")), 1);
  EXPECT_EQ(Shown(), (std::vector<int>{6}));
}

TEST_F(SearchRun, EveryWordAnywhereInTheRawRecord) {
  // Words in any order; the postal code is part of the record.
  EXPECT_EQ(Search(QStringLiteral("아파트 개포1동")), 3);
  EXPECT_EQ(Search(QStringLiteral("135-80")), 2);
  EXPECT_EQ(Shown(), (std::vector<int>{1, 2}));
}

TEST_F(SearchRun, NoKeyAndNoDataEndWithTheirMessageAndAClearQuerySet) {
  Search(QStringLiteral("개포1동"));
  messages.Clear();
  EXPECT_EQ(Search(QStringLiteral("없는말")), 0);
  EXPECT_EQ(messages.Messages(), QStringList{QStringLiteral("FTS 인덱스에 키 없음!")});
  EXPECT_EQ(Shown(), all_);
  EXPECT_TRUE(Timer1->isActive());

  messages.Clear();
  // Both words are indexed, never in one record.
  EXPECT_EQ(Search(QStringLiteral("부산 개포1동")), 0);
  EXPECT_EQ(messages.Messages(), QStringList{QStringLiteral("자료 없음!")});
  EXPECT_EQ(Shown(), all_);
  EXPECT_TRUE(Timer1->isActive());
}

TEST_F(SearchRun, CandidatesThatDoNotVerifyEndNotFound) {
  // Record 5 holds 가나 and 나다, so it is a candidate of 가나다, but not the word.
  ASSERT_GT(fts_.FtsSet(searchtest::Cp949("가나다").c_str()), 0);
  EXPECT_EQ(Search(QStringLiteral("가나다")), 0);
  EXPECT_EQ(messages.Messages(), QStringList{search::NotFoundMessage(parts.publisherUrl)});
  EXPECT_EQ(QApplication::focusWidget(), edSearch);
  EXPECT_EQ(Shown(), all_);
  EXPECT_TRUE(Timer1->isActive());
}

TEST_F(SearchRun, BlankAndAllSpacesShowTheWholeTableWithoutAsking) {
  Search(QStringLiteral("개포1동"));
  messages.Clear();
  for (const QString& blank : {QString(), QStringLiteral("   "), QStringLiteral(" \t ")}) {
    Search(QStringLiteral("개포2동"));
    grid_->setFocus();
    edSearch->setText(blank);
    search::SearchEntry(parts);
    EXPECT_EQ(Shown(), all_);
    EXPECT_EQ(QApplication::focusWidget(), edSearch);
    // The index was not asked: the search text is still the last one.
    EXPECT_EQ(SearchTextNow(), QStringLiteral("개포2동"));
  }
  EXPECT_TRUE(messages.Messages().isEmpty());
}

TEST_F(SearchRun, SpacesAroundTheTextReachTheLibrary) {
  edSearch->setText(QStringLiteral("  개포2동 "));
  search::SearchEntry(parts);
  EXPECT_EQ(SearchTextNow(), QStringLiteral("  개포2동 "));
  EXPECT_EQ(Shown(), (std::vector<int>{3}));
}

TEST_F(SearchRun, LongTextIsCutAtACharacterBoundary) {
  TSearchText text{};
  // 128 Hangul syllables are 256 bytes: 127 of them fit.
  ASSERT_TRUE(search::FillSearchText(QString(128, QChar(0xAC00)), text));
  EXPECT_EQ(std::strlen(text.data()), 254u);
  // One ASCII letter first: 1 + 127 * 2 = 255 bytes fit exactly.
  ASSERT_TRUE(search::FillSearchText(QStringLiteral("a") + QString(128, QChar(0xAC00)), text));
  EXPECT_EQ(std::strlen(text.data()), 255u);
  EXPECT_EQ(platform::FromCp949(QByteArray(text.data())),
            QStringLiteral("a") + QString(127, QChar(0xAC00)));
  // The search itself runs on the cut text and ends as usual.
  EXPECT_EQ(Search(QString(300, QChar(0xAC00))), 0);
  EXPECT_EQ(messages.Messages().size(), 1);
  EXPECT_EQ(std::strlen(searchText_.data()), 254u);
}

TEST_F(SearchRun, ACharacterWithoutCp949FormIsNotFound) {
  // 개포 would match, but the Thai letter can be in no record.
  EXPECT_EQ(Search(QStringLiteral("개포\u0E01")), 0);
  EXPECT_EQ(messages.Messages(), QStringList{search::NotFoundMessage(parts.publisherUrl)});
  EXPECT_EQ(Shown(), all_);
  EXPECT_EQ(searchText_[0], '\0');
  EXPECT_TRUE(Timer1->isActive());
}

TEST_F(SearchRun, ClockOffAndNotificationsSuspendedWhileTheRunMovesTheTable) {
  // The run's moves (to the top, back to the order kept) are seen through the
  // table's own scroll event; the candidates themselves are read in speed mode.
  int visits = 0, visitsWithClock = 0, suspendedChanges = 0;
  table_->AfterScroll = [&](TDataSet& t) {
    if (!t.NotificationsSuspended()) return;
    ++visits;
    if (Timer1->isActive()) ++visitsWithClock;
  };
  QString lastCaption;
  QObject::connect(source_, &TDataSource::DataChange, [&] {
    if (table_->NotificationsSuspended()) ++suspendedChanges;
    if (auto c = search::RecordPositionCaption(*table_)) lastCaption = *c;
  });
  EXPECT_EQ(Search(QStringLiteral("개포1")), 3);
  table_->AfterScroll = nullptr;
  EXPECT_GE(visits, 1);
  EXPECT_EQ(visitsWithClock, 0);
  EXPECT_EQ(suspendedChanges, 0);
  // Once resumed, the display shows the first mark.
  EXPECT_EQ(lastCaption, QStringLiteral("1 / 6"));
  EXPECT_TRUE(Timer1->isActive());
}

TEST_F(SearchRun, KeepsTheOrderThatWasCurrent) {
  const int before = table_->CurrentOrder();
  Search(QStringLiteral("개포1동"));
  EXPECT_EQ(table_->CurrentOrder(), before);
}

TEST(SearchRunClosed, AClosedTableLeavesTheClockRunningAndNotificationsResumed) {
  platform::MessageRecorder messages;
  QWidget window;
  QLineEdit edSearch(&window);
  QTimer timer;
  timer.setInterval(2000);
  timer.start();
  TDbfTable table;
  TFts fts;  // no index: FtsSet answers an error, which lets the loop run
  TRecordBuffer buffer;
  TSearchText text{};
  TPostalParts parts;
  parts.owner = &window;
  parts.Table1 = &table;
  parts.Fts1 = &fts;
  parts.RecordBuffer = &buffer;
  parts.SearchText = &text;
  parts.edSearch = &edSearch;
  parts.Timer1 = &timer;
  edSearch.setText(QStringLiteral("개포"));
  EXPECT_EQ(search::RunSearch(parts), 0);
  EXPECT_TRUE(timer.isActive());
  EXPECT_FALSE(table.NotificationsSuspended());
  EXPECT_EQ(messages.Messages(),
            QStringList{QStringLiteral("Cannot perform this operation on a closed table")});
  // A blank entry on a closed table does nothing either.
  edSearch.setText(QStringLiteral(" "));
  search::SearchEntry(parts);
  EXPECT_EQ(messages.Messages().size(), 1);
}
