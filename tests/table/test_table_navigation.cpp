// Navigation of TDbfTable over real tables: the fetch rules, walks, record
// numbers and counts, bookmarks, SpeedMode and the suspended search path.
#include <gtest/gtest.h>

#include "TableTestSupport.h"
#include "table/DbfTable.h"

using namespace tabletest;

namespace {

class NavigationTest : public ::testing::Test {
 protected:
  void OpenNumbered(int count, int rows = 1) {
    WriteNumbered(dir.file("T.DBF"), count);
    table.SetDatabasename(dir.path());
    table.SetTableName("T.DBF");
    table.SetReadOnly(true);
    table.RequestWindowRows(this, rows);
    table.Open();
  }
  int No() { return table.FieldString("NO").trimmed().toInt(); }
  std::vector<int> Walk() {
    std::vector<int> seen;
    for (table.GoTop(); !table.AtEnd() && seen.size() < 100000; table.Skip(1)) seen.push_back(No());
    return seen;
  }
  TempDir dir;
  TDbfTable table;
};

TEST_F(NavigationTest, EmptyTableEndsAtOnce) {
  OpenNumbered(0);
  EXPECT_TRUE(table.IsEmpty());
  EXPECT_TRUE(table.AtEnd());
  table.GoTop();
  EXPECT_TRUE(table.AtEnd());
  EXPECT_EQ(table.Recno(), 0);
  EXPECT_EQ(table.RecCount(), 0);
  table.SetRecno(1);  // FetchCurrent with the engine at both ends: nothing
  EXPECT_TRUE(table.IsEmpty());
}

TEST_F(NavigationTest, WalkVisitsEveryRecordOnceAndEndsOnARealRecord) {
  OpenNumbered(57, 10);
  std::vector<int> expected(57);
  for (int i = 0; i < 57; ++i) expected[static_cast<size_t>(i)] = i + 1;
  EXPECT_EQ(Walk(), expected);
  EXPECT_EQ(table.Recno(), 57);  // the failed forward fetch went back to the last record
  char raw[64] = {};
  table.ReadRecord(raw);
  EXPECT_EQ(std::string(raw + 1, 2), "57");
}

TEST_F(NavigationTest, RecnoReadsTheGridRowNotTheLastFetch) {
  OpenNumbered(100, 10);
  table.GoTop();
  table.MoveRows(3);
  EXPECT_EQ(table.Recno(), 4);
  EXPECT_EQ(No(), 4);
}

TEST_F(NavigationTest, RecnoWriteMovesTheViewAndReadRecordReadsIt) {
  OpenNumbered(100, 10);
  table.SetRecno(17);
  EXPECT_EQ(table.Recno(), 17);
  std::vector<char> raw(static_cast<size_t>(table.RecordSize()) + 8, '\x7F');
  table.ReadRecord(raw.data());
  EXPECT_EQ(raw[0], ' ');  // the deletion flag first
  EXPECT_EQ(std::string(raw.data() + 1, 5), "17   ");
  for (size_t i = static_cast<size_t>(table.RecordSize()); i < raw.size(); ++i)
    EXPECT_EQ(raw[i], '\x7F');  // nothing written after the record
}

TEST_F(NavigationTest, RecnoBeyondTheEndShowsTheLastRecordWithMoveLast) {
  OpenNumbered(30);
  table.SetRecno(99);
  EXPECT_EQ(No(), 30);
  EXPECT_EQ(table.Recno(), 30);
}

TEST_F(NavigationTest, RecnoBeyondTheEndReadsTheEndPositionWithEaEOF) {
  OpenNumbered(30);
  table.SetEOFAction(eaEOF);
  table.SetRecno(99);
  EXPECT_FALSE(table.IsEmpty());
  EXPECT_TRUE(table.AtEnd());
  EXPECT_EQ(table.Recno(), 31);  // the engine's end position, read as blanks
  EXPECT_EQ(table.FieldString("NO"), QByteArray("     "));
}

TEST_F(NavigationTest, RecCountStaysPhysicalWithAQuery) {
  OpenNumbered(5000);
  table.Query("VAL(NO) <= 10");
  EXPECT_EQ(table.RecCount(), 5000);
  EXPECT_EQ(table.ViewRecordCount(), 5000);
  EXPECT_EQ(table.QueryRecCount(), 10);
  table.SetSequencedCount(scFilterOnlyCount);
  table.SetCountNeedsRefresh(true);
  EXPECT_EQ(table.ViewRecordCount(), 10);
  EXPECT_EQ(table.RecCount(), 5000);
}

TEST_F(NavigationTest, AtStartIgnoresTheEngineOutsideSpeedMode) {
  OpenNumbered(10, 3);
  table.GoTop();
  table.Skip(2);
  EXPECT_FALSE(table.AtStart());
  table.Skip(-5);
  EXPECT_TRUE(table.AtStart());
  EXPECT_EQ(table.Recno(), 1);
}

TEST_F(NavigationTest, BookmarksCompareByRecordNumberOrByKey) {
  OpenNumbered(20);
  TBookmark b7(4, '\0'), b9(4, '\0');
  const int32_t seven = 7, nine = 9;
  std::memcpy(b7.data(), &seven, 4);
  std::memcpy(b9.data(), &nine, 4);
  EXPECT_EQ(table.OrderOfBookmarks(b7, b9), -1);
  EXPECT_EQ(table.OrderOfBookmarks(b9, b7), 1);
  EXPECT_EQ(table.OrderOfBookmarks(b7, b7), 0);
  EXPECT_EQ(table.OrderOfBookmarks(b7, TBookmark()), 2);
  table.SetRecno(12);
  const TBookmark here = table.GetBookmark();
  table.GoTop();
  table.GotoBookmark(here);
  EXPECT_EQ(table.Recno(), 12);
}

TEST_F(NavigationTest, BookmarksFollowTheIndexKeyWithAnIndexName) {
  WriteNumbered(dir.file("T.DBF"), 20);
  ASSERT_TRUE(MakeIndex(dir.file("T.DBF"), dir.file("T.MTX"), "BYNAME", "NAME"));
  table.SetDatabasename(dir.path());
  table.SetTableName("T.DBF");
  table.SetTableType(ttMTX);
  table.Open();
  table.SetIndexName("BYNAME");
  TBookmark b7(4, '\0'), b9(4, '\0');
  const int32_t seven = 7, nine = 9;
  std::memcpy(b7.data(), &seven, 4);
  std::memcpy(b9.data(), &nine, 4);
  // The comparison moves the engine to both records and back: outside
  // SpeedMode Recno reads the view, so the engine is asked itself.
  auto engineRecno = [&] {
    Dbe().dbe_Select(table.WorkArea());
    return Dbe().dbe_RecNo();
  };
  const int32_t before = engineRecno();
  ASSERT_TRUE(before != 7 && before != 9) << before;
  EXPECT_EQ(table.OrderOfBookmarks(b7, b9), 1);  // record 9's key sorts first
  EXPECT_EQ(engineRecno(), before);
  EXPECT_EQ(table.OrderOfBookmarks(b9, b7), -1);
  EXPECT_EQ(engineRecno(), before);
}

TEST_F(NavigationTest, SpeedModeTalksToTheEngine) {
  OpenNumbered(10, 4);
  table.SetSpeedMode(true);
  table.GoTop();
  table.Skip(3);
  EXPECT_EQ(table.Recno(), 4);
  EXPECT_EQ(table.FieldString("NO"), QByteArray("4    "));
  table.SetRecno(9);
  table.Skip(5);
  EXPECT_TRUE(table.AtEnd());
  table.SetRecno(6);
  table.SetSpeedMode(false);  // the view comes to the engine's record
  EXPECT_EQ(table.Recno(), 6);
  EXPECT_EQ(No(), 6);
}

TEST_F(NavigationTest, ClosedTableMovesNothingAndReadsZero) {
  table.GoTop();
  table.Skip(1);
  table.SetRecno(3);
  EXPECT_EQ(table.Recno(), 0);
  EXPECT_EQ(table.RecCount(), 0);
  EXPECT_EQ(table.FieldString("NO"), QByteArray());
  char raw[4] = {'x', 'x', 'x', 'x'};
  table.ReadRecord(raw);
  EXPECT_EQ(raw[0], 'x');
  EXPECT_THROW(table.MoveRows(1), EDatabaseError);
  // In SpeedMode the moves go to the engine, and on a closed table they do
  // nothing, as Skip does.
  table.SetSpeedMode(true);
  EXPECT_EQ(table.MoveRows(3), 0);
  EXPECT_NO_THROW(table.Next());
  EXPECT_NO_THROW(table.Prior());
  EXPECT_EQ(table.Recno(), 0);
  table.SetSpeedMode(false);
}

TEST_F(NavigationTest, SuspendedRecnoWritesReadEachRecordAndResumeRefills) {
  OpenNumbered(2000, 12);
  int afterScroll = 0, beforeScroll = 0;
  table.AfterScroll = [&](TDataSet&) { ++afterScroll; };
  table.BeforeScroll = [&](TDataSet&) { ++beforeScroll; };
  table.SuspendViewNotifications();
  std::vector<char> raw(static_cast<size_t>(table.RecordSize()));
  for (int n = 1500; n > 1000; n -= 7) {
    table.SetRecno(n);
    table.ReadRecord(raw.data());
    ASSERT_EQ(std::string(raw.data() + 1, 4), std::to_string(n));
  }
  EXPECT_EQ(beforeScroll, 0);  // skipped while suspended
  EXPECT_GT(afterScroll, 70);  // still fired
  table.ResumeViewNotifications();
  EXPECT_EQ(table.WindowRecordCount(), 12);
  EXPECT_EQ(table.Recno(), 1003);
  table.GoTop();
  EXPECT_EQ(table.Recno(), 1);
}

TEST_F(NavigationTest, ViewRecordNumberFollowsTheOrder) {
  WriteNumbered(dir.file("T.DBF"), 50);
  ASSERT_TRUE(MakeIndex(dir.file("T.DBF"), dir.file("T.MTX"), "BYNAME", "NAME"));
  table.SetDatabasename(dir.path());
  table.SetTableName("T.DBF");
  table.SetTableType(ttMTX);
  table.Open();
  table.SetRecno(10);
  EXPECT_EQ(table.ViewRecordNumber(), 10);
  table.SetOrder(1);
  EXPECT_EQ(table.Recno(), 10);
  EXPECT_EQ(table.ViewRecordNumber(), 41);  // 50 - 10 + 1 in descending keys
  table.SetViewRecordNumber(50);
  EXPECT_EQ(table.Recno(), 1);
}

}  // namespace
