// The search entry and RunSearch over a small table with its built index.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <filesystem>

#include "PostalFixture.h"
#include "platform/Cp949.h"
#include "search/ResultActions.h"
#include "search/SearchRun.h"
#include "search/SearchText.h"

using searchtest::SmallTableFixture;

class SearchRun : public SmallTableFixture {
 protected:
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

TEST_F(SearchRun, NoKeyAndNoDataEndWithTheirMessageAndNoRow) {
  Search(QStringLiteral("개포1동"));
  messages.Clear();
  // The clock stands still while each message is up.
  std::vector<bool> clockRunningWhileShown;
  messages.whileShown = [&](const QString&) {
    clockRunningWhileShown.push_back(Timer1->isActive());
  };
  EXPECT_EQ(Search(QStringLiteral("없는말")), 0);
  EXPECT_EQ(messages.Messages(), QStringList{QStringLiteral("FTS 인덱스에 키 없음!")});
  EXPECT_EQ(Shown(), std::vector<int>{}) << "nothing matched: no row to copy";
  EXPECT_TRUE(Timer1->isActive());

  messages.Clear();
  // Both words are indexed, never in one record.
  EXPECT_EQ(Search(QStringLiteral("부산 개포1동")), 0);
  EXPECT_EQ(messages.Messages(), QStringList{QStringLiteral("자료 없음!")});
  EXPECT_EQ(Shown(), std::vector<int>{});
  EXPECT_TRUE(Timer1->isActive());
  EXPECT_EQ(clockRunningWhileShown, (std::vector<bool>{false, false}));
}

TEST_F(SearchRun, CandidatesThatDoNotVerifyEndNotFound) {
  // Record 5 holds 가나 and 나다, so it is a candidate of 가나다, but not the word.
  ASSERT_GT(fts_.FtsSet(searchtest::Cp949("가나다").c_str()), 0);
  EXPECT_EQ(Search(QStringLiteral("가나다")), 0);
  EXPECT_EQ(messages.Messages(), QStringList{search::NotFoundMessage(parts.publisherUrl)});
  EXPECT_EQ(QApplication::focusWidget(), edSearch);
  EXPECT_EQ(Shown(), std::vector<int>{});
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

TEST_F(SearchRun, ATextOver255BytesIsRefusedNotSearchedShortened) {
  TSearchText text{};
  using search::TSearchTextFill;
  // 127 Hangul syllables are 254 bytes; one ASCII letter more makes 255.
  EXPECT_EQ(search::FillSearchText(QString(127, QChar(0xAC00)), text), TSearchTextFill::Filled);
  EXPECT_EQ(std::strlen(text.data()), 254u);
  EXPECT_EQ(search::FillSearchText(QStringLiteral("a") + QString(127, QChar(0xAC00)), text),
            TSearchTextFill::Filled);
  EXPECT_EQ(std::strlen(text.data()), 255u);
  EXPECT_EQ(search::FillSearchText(QString(128, QChar(0xAC00)), text), TSearchTextFill::TooLong);
  EXPECT_EQ(text[0], '\0');
  // Blanks around a text that fits without them change no match: they go.
  EXPECT_EQ(search::FillSearchText(QString(10, ' ') + QString(127, QChar(0xAC00)) + "  ", text),
            TSearchTextFill::Filled);
  EXPECT_EQ(platform::FromCp949(QByteArray(text.data())), QString(127, QChar(0xAC00)));

  // In the search: 개포1동 and, past byte 255, 역삼동. Cut to its first 255
  // bytes it would show the three rows of 개포1동; it is refused instead.
  const QString longText = QStringLiteral("개포1동") + QString(250, ' ') + QStringLiteral("역삼동");
  EXPECT_EQ(Search(longText), 0);
  EXPECT_EQ(messages.Messages(), QStringList{search::TooLongMessage()});
  EXPECT_EQ(Shown(), all_);
  EXPECT_EQ(QApplication::focusWidget(), edSearch);
  EXPECT_TRUE(Timer1->isActive());
  // The same words without the padding are searched as usual: no row has both.
  messages.Clear();
  EXPECT_EQ(Search(QStringLiteral("개포1동 역삼동")), 0);
  EXPECT_EQ(messages.Messages(), QStringList{QStringLiteral("자료 없음!")});
}

TEST_F(SearchRun, ACharacterWithoutCp949FormIsNotFound) {
  // 개포 would match, but the Thai letter can be in no record.
  EXPECT_EQ(Search(QStringLiteral("개포\u0E01")), 0);
  EXPECT_EQ(messages.Messages(), QStringList{search::NotFoundMessage(parts.publisherUrl)});
  EXPECT_EQ(Shown(), std::vector<int>{});
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
  QObject watching;  // the connection ends with the test
  QObject::connect(source_, &TDataSource::DataChange, &watching, [&] {
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

TEST_F(SearchRun, WithoutAUsableIndexEveryRecordIsConfirmedAndTheRowsAreTheSame) {
  const QString texts[] = {QStringLiteral("개포1동"), QStringLiteral("아파트 개포1동"),
                           QStringLiteral("135-80"),  QStringLiteral("가나다"),
                           QStringLiteral("역삼동"),  QStringLiteral("개포")};
  std::vector<std::vector<int>> withIndex;
  for (const QString& t : texts) {
    Search(t);
    withIndex.push_back(Shown());
  }
  // The index as a failed build or save leaves it: none open.
  fts_.FtsClose();
  fts_.IndexHandle = 0;
  for (size_t i = 0; i < std::size(texts); ++i) {
    messages.Clear();
    const int n = Search(texts[i]);
    EXPECT_EQ(Shown(), withIndex[i]) << texts[i].toStdString();
    if (withIndex[i] == all_) {  // nothing matched
      EXPECT_EQ(n, 0);
      EXPECT_EQ(messages.Messages(), QStringList{search::NotFoundMessage(parts.publisherUrl)});
    } else {
      EXPECT_EQ(n, static_cast<int>(withIndex[i].size()));
    }
  }
  // No key of the index to miss: a word in no record is simply not found.
  messages.Clear();
  EXPECT_EQ(Search(QStringLiteral("없는말")), 0);
  EXPECT_EQ(messages.Messages(), QStringList{search::NotFoundMessage(parts.publisherUrl)});
  EXPECT_TRUE(Timer1->isActive());
  EXPECT_FALSE(table_->NotificationsSuspended());
}

TEST_F(SearchRun, ATableFileCutWhileOpenSearchesWhatIsLeftAndScrolls) {
  // As `truncate -s 100 POSTCODE.DBF` or a copy over it while the finder runs:
  // the records past the cut read blank, so nothing is found in them, and
  // nothing breaks.
  std::filesystem::resize_file(tables_.file("POSTCODE.DBF"), 100);
  EXPECT_EQ(Search(QStringLiteral("개포1동")), 0);
  EXPECT_EQ(messages.Messages(), QStringList{search::NotFoundMessage(parts.publisherUrl)});
  EXPECT_EQ(Shown(), std::vector<int>{});
  search::SearchEntry(parts);  // the box still holds the text: searched again
  edSearch->clear();
  search::SearchEntry(parts);
  QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
  QApplication::sendEvent(grid_, &end);
  EXPECT_EQ(table_->Recno(), 6);
  EXPECT_EQ(Shown(), all_);
}

TEST_F(SearchRun, KeepsTheOrderThatWasCurrent) {
  // An index on ZIPCODE puts record 4 (135-770) before 1 and 2 (135-806,
  // 135-807); the search marks in record order and then restores this order.
  search::ClosePostalData(parts);
  ASSERT_TRUE(searchtest::MakeIndex(tables_.file("POSTCODE.DBF"), tables_.file("BYZIP.MTX"),
                                    "BYZIP", "ZIPCODE"));
  Open();
  table_->SetExtraIndexes({QStringLiteral("BYZIP")});
  ASSERT_EQ(table_->CurrentOrder(), 1);
  ASSERT_EQ(table_->IndexName(), QStringLiteral("BYZIP"));
  EXPECT_EQ(Search(QStringLiteral("개포1동")), 3);
  EXPECT_EQ(table_->CurrentOrder(), 1);
  EXPECT_EQ(table_->IndexName(), QStringLiteral("BYZIP"));
  EXPECT_EQ(Shown(), (std::vector<int>{4, 1, 2}));
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
  // Told by the grid's title row (search::kNoTable), not by a box at every search.
  EXPECT_EQ(search::RunSearch(parts), search::kNoTable);
  EXPECT_EQ(search::SearchEntry(parts), search::kNoTable);
  EXPECT_TRUE(timer.isActive());
  EXPECT_FALSE(table.NotificationsSuspended());
  EXPECT_TRUE(messages.Messages().isEmpty()) << messages.Messages().join('|').toStdString();
  // A blank entry on a closed table does nothing either.
  edSearch.setText(QStringLiteral(" "));
  EXPECT_EQ(search::SearchEntry(parts), search::kNoTable);
  EXPECT_TRUE(messages.Messages().isEmpty());
}
