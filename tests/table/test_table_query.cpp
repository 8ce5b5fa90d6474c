// The query set and the index order of TDbfTable: Query, SetQueryBit,
// SetOrder, Filter/Filtered and the refresh step.
#include <gtest/gtest.h>

#include "TableTestSupport.h"
#include "table/DbfTable.h"

using namespace tabletest;

namespace {

class QueryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteNumbered(dir.file("T.DBF"), 60);
    ASSERT_TRUE(MakeIndex(dir.file("T.DBF"), dir.file("T.MTX"), "BYNAME", "NAME"));
    table.SetDatabasename(dir.path());
    table.SetTableName("T.DBF");
    table.SetTableType(ttMTX);
    table.SetReadOnly(true);
    table.RequestWindowRows(this, 8);
    table.Open();
    table.AfterScroll = [this](TDataSet&) { ++scrolls; };
  }
  std::vector<int> Visible() {
    std::vector<int> seen;
    for (table.GoTop(); !table.AtEnd() && seen.size() < 1000; table.Skip(1))
      seen.push_back(table.FieldString("NO").trimmed().toInt());
    return seen;
  }
  TempDir dir;
  TDbfTable table;
  int scrolls = 0;
};

TEST_F(QueryTest, EmptyAbsentAndNulExpressionsClearTheSet) {
  table.Query("VAL(NO) < 4");
  EXPECT_EQ(Visible().size(), 3u);
  for (const QByteArray& e : {QByteArray(""), QByteArray(), QByteArray("\0", 1)}) {
    table.Query("VAL(NO) < 4");
    scrolls = 0;
    table.Query(e);
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(Visible().size(), 60u);
  }
  table.Query("VAL(NO) < 4");
  table.Query(static_cast<const char*>(nullptr));
  EXPECT_EQ(Visible().size(), 60u);
}

TEST_F(QueryTest, QueryReturnsTheFirstRecordAndTheViewStandsOnIt) {
  EXPECT_EQ(table.Query("VAL(NO) > 50"), 51);
  EXPECT_EQ(table.Recno(), 51);
  EXPECT_EQ(table.WindowRecordCount(), 8);
  EXPECT_EQ(table.Query("NO = 'none'"), 0);
  EXPECT_TRUE(table.IsEmpty());
  EXPECT_EQ(table.Recno(), 0);
}

TEST_F(QueryTest, NonLogicalExpressionRaisesBeforeAnythingChanges) {
  table.Query("VAL(NO) <= 2");
  scrolls = 0;
  try {
    table.Query("CITY");
    FAIL();
  } catch (const EDbfTableError& e) {
    EXPECT_EQ(e.Message(), "Invalid Query Expression\r\rCITY");
    EXPECT_EQ(table.LastError(), e.Message());
  }
  EXPECT_EQ(scrolls, 0);
  EXPECT_EQ(table.QueryRecCount(), 2);
}

TEST_F(QueryTest, InSpeedModeTheQueryGoesStraightToTheEngine) {
  table.Query("VAL(NO) <= 2");
  ASSERT_EQ(table.WindowRecordCount(), 2);
  table.SetSpeedMode(true);
  scrolls = 0;
  // No type check of the component's own: the engine's handling alone.
  table.Query("CITY");
  EXPECT_EQ(table.LastError(), QString());
  // The engine's answer is returned and its set is in force, with no
  // notification and the view's window of rows as it was.
  EXPECT_EQ(table.Query("VAL(NO) > 50"), 51);
  EXPECT_EQ(table.QueryRecCount(), 10);
  EXPECT_EQ(scrolls, 0);
  EXPECT_EQ(table.WindowRecordCount(), 2) << "the window was fetched again";
  // Leaving speed mode, the view comes to the engine's set.
  table.SetSpeedMode(false);
  EXPECT_EQ(table.Recno(), 51);
  EXPECT_EQ(Visible().size(), 10u);
}

TEST_F(QueryTest, ClosedTableAnswersZeroOrRaises) {
  table.Close();
  EXPECT_EQ(table.Query("VAL(NO) > 1"), 0);
  EXPECT_EQ(table.QueryRecCount(), 0);
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.DBFilter(), QByteArray());
  for (auto call :
       {+[](TDbfTable& t) { t.SetQueryBit(1, true); }, +[](TDbfTable& t) { t.SetOrder(1); }}) {
    try {
      call(table);
      ADD_FAILURE();
    } catch (const EDbfTableError& e) {
      EXPECT_EQ(e.Message(), "Cannot perform this operation on a closed table");
    }
  }
}

TEST_F(QueryTest, MarkedRecordsShowInNaturalAndInIndexOrder) {
  table.Query("");
  for (int n : {17, 5, 40}) table.SetQueryBit(n, true);
  EXPECT_EQ(Visible(), (std::vector<int>{5, 17, 40}));
  EXPECT_EQ(table.RecCount(), 60);
  table.SetOrder(1);
  EXPECT_EQ(Visible(), (std::vector<int>{40, 17, 5}));
  table.SetOrder(0);
  table.SetQueryBit(17, false);
  EXPECT_EQ(Visible(), (std::vector<int>{5, 40}));
  table.Query("");
  EXPECT_EQ(Visible().size(), 60u);  // cleared with no marks: every record
}

TEST_F(QueryTest, SearchSequenceLeavesExactlyTheMarksVisible) {
  table.SetOrder(1);
  table.SuspendViewNotifications();
  table.Query("");
  const int32_t kept = table.SetOrder(0);
  table.GoTop();
  std::vector<char> raw(static_cast<size_t>(table.RecordSize()));
  for (int n : {9, 33, 2, 58}) {
    table.SetRecno(n);
    table.ReadRecord(raw.data());
    if (n != 33) table.SetQueryBit(n, true);
  }
  EXPECT_EQ(table.SetOrder(kept), 0);
  table.ResumeViewNotifications();
  table.GoTop();
  table.Refresh();
  EXPECT_EQ(table.WindowRecordCount(), 3);
  EXPECT_EQ(table.Recno(), 58);  // first in the descending order
  EXPECT_EQ(Visible(), (std::vector<int>{58, 9, 2}));
}

TEST_F(QueryTest, SetOrderRoundTripKeepsTheRecordAndTheName) {
  table.SetRecno(23);
  const QString name = table.IndexName();
  const int32_t previous = table.SetOrder(1);
  EXPECT_EQ(previous, 0);
  EXPECT_EQ(table.IndexName(), "BYNAME");
  EXPECT_EQ(table.Recno(), 23);
  EXPECT_EQ(table.SetOrder(previous), 1);
  EXPECT_EQ(table.IndexName(), name);
  EXPECT_EQ(table.Recno(), 23);
  EXPECT_EQ(table.CurrentOrder(), 0);
}

TEST_F(QueryTest, FilterPropertiesPutTheExpressionInForce) {
  table.SetQueryBit(3, true);
  table.SetFilter("VAL(NO) > 55");  // Filtered is false: clears the marks too
  EXPECT_EQ(Visible().size(), 60u);
  table.SetFiltered(true);
  EXPECT_EQ(Visible(), (std::vector<int>{56, 57, 58, 59, 60}));
  EXPECT_EQ(table.DBFilter(), QByteArray("VAL(NO) > 55"));
  table.SetFiltered(false);
  table.SetFilter("CITY");  // not logical; Filtered is false, so nothing is checked yet
  table.Query("VAL(NO) <= 2");
  EXPECT_THROW(table.SetFiltered(true), EDbfTableError);
  EXPECT_TRUE(table.Filtered());
  EXPECT_EQ(Visible(), (std::vector<int>{1, 2}));  // the query in force stays
  EXPECT_EQ(table.DBFilter(), QByteArray("VAL(NO) <= 2"));
}

TEST_F(QueryTest, FilteredOpenStartsWithTheQuery) {
  table.Close();
  table.SetFilter("VAL(NO) <= 3");
  table.SetFiltered(true);
  table.Open();
  EXPECT_EQ(Visible(), (std::vector<int>{1, 2, 3}));
}

TEST_F(QueryTest, RefreshReappliesTheExpressionAndStaysOnTheRecord) {
  table.Query("VAL(NO) > 10");
  table.Skip(4);
  EXPECT_EQ(table.Recno(), 15);
  table.Refresh();
  EXPECT_EQ(table.Recno(), 15);
  EXPECT_EQ(table.QueryRecCount(), 50);
}

}  // namespace
