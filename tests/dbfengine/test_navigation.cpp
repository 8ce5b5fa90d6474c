// Navigation: positions past either end, the deleted setting, and query sets
// built from expressions and from marks, in physical order.
#include <gtest/gtest.h>

#include "DbfTestSupport.h"

using namespace dbftest;
using V = std::vector<int32_t>;

namespace {

// Ten records; 3 and 7 deleted. NAME is "R01".."R10", N the record number.
class DbfNavigation : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::vector<std::string>> rows;
    std::vector<bool> del;
    for (int i = 1; i <= 10; ++i) {
      char name[8];
      std::snprintf(name, sizeof name, "R%02d", i);
      rows.push_back({name, std::to_string(i)});
      del.push_back(i == 3 || i == 7);
    }
    writeFile(dir_.file("t.dbf"), dbfBytes({{"NAME", 'C', 6}, {"N", 'N', 4}}, rows, del));
    table_ = std::make_unique<OpenTable>(dir_.file("t.dbf"));
    ASSERT_TRUE(table_->ok());
    dbe_SetDeleted(0);
  }
  void TearDown() override {
    table_.reset();
    dbe_SetDeleted(0);
  }
  TempDir dir_;
  std::unique_ptr<OpenTable> table_;
};

}  // namespace

TEST_F(DbfNavigation, EndsOfFileTheXbaseWay) {
  dbe_GoTop();
  EXPECT_EQ(dbe_RecNo(), 1);
  EXPECT_FALSE(dbe_Eof());
  EXPECT_FALSE(dbe_Bof());
  dbe_Skip(-1);  // before the first: stays on it with Bof
  EXPECT_TRUE(dbe_Bof());
  EXPECT_FALSE(dbe_Eof());
  EXPECT_EQ(dbe_RecNo(), 1);
  dbe_GoBottom();
  EXPECT_EQ(dbe_RecNo(), 10);
  dbe_Skip(1);  // past the last: end of file on RecCount + 1
  EXPECT_TRUE(dbe_Eof());
  EXPECT_FALSE(dbe_Bof());
  EXPECT_EQ(dbe_RecNo(), 11);
  // End of file reads blank.
  EXPECT_EQ(str(dbe_GetString("NAME")), "      ");
  std::vector<char> buf(dbe_RecSize(), 'x');
  dbe_GetRecord(buf.data());
  EXPECT_EQ(std::string(buf.begin(), buf.end()), std::string(dbe_RecSize(), ' '));
  dbe_Skip(1);  // stays at end of file
  EXPECT_TRUE(dbe_Eof());
  dbe_Skip(-1);  // back from end of file to the last record
  EXPECT_EQ(dbe_RecNo(), 10);
  EXPECT_FALSE(dbe_Eof());
  dbe_Skip(-4);
  EXPECT_EQ(dbe_RecNo(), 6);
  dbe_Skip(100);
  EXPECT_TRUE(dbe_Eof());
}

TEST_F(DbfNavigation, GoOutsideTheFileIsEndOfFile) {
  for (int32_t n : {0, -1, 11, 1000000, INT32_MAX, INT32_MIN}) {
    dbe_Go(5);
    dbe_Go(n);
    EXPECT_TRUE(dbe_Eof()) << n;
    EXPECT_FALSE(dbe_Bof()) << n;
    EXPECT_EQ(dbe_RecNo(), 11) << n;
    EXPECT_EQ(str(dbe_GetString("N")), "    ") << n;
  }
  dbe_Go(10);
  EXPECT_FALSE(dbe_Eof());
  EXPECT_EQ(str(dbe_GetString("NAME")), "R10   ");
}

TEST_F(DbfNavigation, DeletedSettingHidesDeletedRecords) {
  EXPECT_EQ(walk(), (V{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(dbe_SetDeleted(-1), 0);
  EXPECT_EQ(walk(), (V{1, 2, 4, 5, 6, 8, 9, 10}));
  EXPECT_EQ(walkBack(), (V{10, 9, 8, 6, 5, 4, 2, 1}));
  EXPECT_EQ(dbe_Count(), 8);
  EXPECT_EQ(dbe_RecCount(), 10);
  // Go still reaches a deleted record; the next skip leaves it.
  dbe_Go(3);
  EXPECT_EQ(dbe_RecNo(), 3);
  EXPECT_TRUE(dbe_Deleted());
  dbe_Skip(1);
  EXPECT_EQ(dbe_RecNo(), 4);
  dbe_Go(7);
  dbe_Skip(-1);
  EXPECT_EQ(dbe_RecNo(), 6);
  EXPECT_NE(dbe_SetDeleted(0), 0);
  EXPECT_EQ(dbe_Count(), 10);
}

TEST_F(DbfNavigation, QueryFromExpression) {
  EXPECT_EQ(dbe_Query("N > 4 .AND. N < 9"), 5);
  EXPECT_EQ(dbe_RecNo(), 5);
  EXPECT_EQ(walk(), (V{5, 6, 7, 8}));
  EXPECT_EQ(walkBack(), (V{8, 7, 6, 5}));
  EXPECT_EQ(dbe_QueryRecCount(), 4);
  EXPECT_EQ(dbe_Count(), 4);
  EXPECT_EQ(str(dbe_DBFilter()), "N > 4 .AND. N < 9");
  dbe_GoTop();
  dbe_Skip(-1);
  EXPECT_TRUE(dbe_Bof());
  EXPECT_EQ(dbe_RecNo(), 5);
  // With the deleted setting on, the query leaves deleted records out.
  dbe_SetDeleted(-1);
  EXPECT_EQ(dbe_Query("N > 4 .AND. N < 9"), 5);
  EXPECT_EQ(walk(), (V{5, 6, 8}));
  EXPECT_EQ(dbe_QueryRecCount(), 3);
  // Clearing makes every record visible again.
  dbe_SetDeleted(0);
  EXPECT_EQ(dbe_Query(""), 1);
  EXPECT_EQ(walk().size(), 10u);
  EXPECT_EQ(str(dbe_DBFilter()), "");
  EXPECT_EQ(dbe_QueryRecCount(), 10);
}

TEST_F(DbfNavigation, BadQueryKeepsTheSetInForceAndThePosition) {
  EXPECT_EQ(dbe_Query("N > 4 .AND. N < 9"), 5);
  dbe_Skip(2);
  EXPECT_EQ(dbe_RecNo(), 7);
  EXPECT_EQ(dbe_Query("NAME"), 0) << "not logical";
  EXPECT_EQ(dbe_Error(), DBE_E_TYPE);
  EXPECT_EQ(dbe_Query("N >"), 0) << "does not parse";
  EXPECT_EQ(dbe_Error(), DBE_E_SYNTAX);
  EXPECT_EQ(dbe_RecNo(), 7);
  EXPECT_EQ(str(dbe_DBFilter()), "N > 4 .AND. N < 9");
  EXPECT_EQ(dbe_QueryRecCount(), 4);
  EXPECT_EQ(walk(), (V{5, 6, 7, 8}));
  // Marks survive a bad expression too.
  dbe_Query("");
  dbe_SetQueryBit(2, -1);
  dbe_SetQueryBit(9, -1);
  EXPECT_EQ(dbe_Query("NOSUCH > 1"), 0);
  EXPECT_EQ(walk(), (V{2, 9}));
}

TEST_F(DbfNavigation, EmptyQuerySetIsEofAndBof) {
  EXPECT_EQ(dbe_Query("N > 100"), 0);
  EXPECT_TRUE(dbe_Eof());
  dbe_GoTop();
  EXPECT_TRUE(dbe_Eof());
  EXPECT_TRUE(dbe_Bof());
  dbe_GoBottom();
  EXPECT_TRUE(dbe_Eof());
  EXPECT_TRUE(dbe_Bof());
  EXPECT_EQ(dbe_QueryRecCount(), 0);
  EXPECT_EQ(dbe_Count(), 0);
  EXPECT_TRUE(walk().empty());
  dbe_Skip(1);
  EXPECT_TRUE(dbe_Eof());
  // Going to the answer 0, as the table component does, reports no record.
  dbe_Go(0);
  EXPECT_TRUE(dbe_Eof());
  EXPECT_TRUE(dbe_Bof());
  dbe_Go(4);  // a record outside the set can still be reached directly
  EXPECT_FALSE(dbe_Eof());
  EXPECT_FALSE(dbe_Bof());
  EXPECT_EQ(dbe_RecNo(), 4);
  dbe_Skip(1);
  EXPECT_TRUE(dbe_Eof());
}

TEST_F(DbfNavigation, ManyMarksInOneCallAreTheMarksOneByOne) {
  EXPECT_EQ(dbe_Query(""), 1);
  const int32_t marks[] = {9, 2, 5, 5, 11, 0, 7};  // 11 and 0 are no records
  dbe_ClearError();
  dbe_SetQueryBits(marks, 7, -1);
  EXPECT_EQ(dbe_Error(), DBE_E_ARGUMENT) << "said, and the others marked all the same";
  EXPECT_EQ(walk(), (V{2, 5, 7, 9}));
  EXPECT_EQ(dbe_QueryRecCount(), 4);
  const int32_t unmarks[] = {5, 9};
  dbe_SetQueryBits(unmarks, 2, 0);
  EXPECT_EQ(walk(), (V{2, 7}));
  dbe_SetQueryBits(nullptr, 0, -1);  // nothing to mark changes nothing
  EXPECT_EQ(walk(), (V{2, 7}));
  // Unmarking before any mark changes nothing, as one by one.
  EXPECT_EQ(dbe_Query(""), 1);
  dbe_SetQueryBits(unmarks, 2, 0);
  EXPECT_EQ(walk().size(), 10u);
}

TEST_F(DbfNavigation, MarksAfterClearVisitExactlyTheMarkedRecords) {
  EXPECT_EQ(dbe_Query(""), 1);
  EXPECT_EQ(walk().size(), 10u) << "a cleared set without marks shows every record";
  dbe_SetQueryBit(9, -1);
  dbe_SetQueryBit(2, -1);
  dbe_SetQueryBit(5, -1);
  dbe_SetQueryBit(5, -1);  // twice counts once
  EXPECT_EQ(walk(), (V{2, 5, 9}));
  EXPECT_EQ(walkBack(), (V{9, 5, 2}));
  EXPECT_EQ(dbe_QueryRecCount(), 3);
  EXPECT_EQ(str(dbe_DBFilter()), "");
  dbe_SetQueryBit(5, 0);
  EXPECT_EQ(walk(), (V{2, 9}));
  dbe_GoBottom();
  dbe_Skip(1);
  EXPECT_TRUE(dbe_Eof());
  dbe_GoTop();
  dbe_Skip(-1);
  EXPECT_TRUE(dbe_Bof());
  EXPECT_EQ(dbe_RecNo(), 2);
  // Unmarking every mark leaves the set in force with no record in it: no row
  // is shown until the next query clears it.
  dbe_SetQueryBit(2, 0);
  dbe_SetQueryBit(9, 0);
  EXPECT_TRUE(walk().empty());
  EXPECT_EQ(dbe_QueryRecCount(), 0);
  EXPECT_EQ(dbe_Count(), 0);
  dbe_GoTop();
  EXPECT_TRUE(dbe_Eof());
  EXPECT_EQ(dbe_Query(""), 1);
  EXPECT_EQ(walk().size(), 10u);
  dbe_SetQueryBit(4, 0);  // unmarking before any mark puts no set in force
  EXPECT_EQ(walk().size(), 10u);
  dbe_SetQueryBit(2, -1);
  dbe_SetQueryBit(9, -1);
  // Out of range marks answer an error and change nothing.
  dbe_ClearError();
  dbe_SetQueryBit(0, -1);
  dbe_SetQueryBit(11, -1);
  EXPECT_EQ(dbe_Error(), DBE_E_ARGUMENT);
  EXPECT_EQ(walk(), (V{2, 9}));
  // A new query replaces the marks.
  EXPECT_EQ(dbe_Query("N = 10"), 10);
  EXPECT_EQ(walk(), (V{10}));
  dbe_SetQueryBit(1, -1);  // marks add to an expression's set
  EXPECT_EQ(walk(), (V{1, 10}));
}

TEST_F(DbfNavigation, MarksOnDeletedRecordsFollowTheDeletedSetting) {
  dbe_Query("");
  dbe_SetQueryBit(3, -1);
  dbe_SetQueryBit(4, -1);
  EXPECT_EQ(walk(), (V{3, 4}));
  dbe_SetDeleted(-1);
  EXPECT_EQ(walk(), (V{4}));
  dbe_SetQueryBit(4, 0);
  dbe_SetQueryBit(3, -1);
  dbe_GoTop();
  EXPECT_TRUE(dbe_Eof());
  EXPECT_TRUE(dbe_Bof());
}

TEST_F(DbfNavigation, SparseMarksInALargeTable) {
  std::vector<std::vector<std::string>> rows(20000, {"x", "1"});
  writeFile(dir_.file("big.dbf"), dbfBytes({{"NAME", 'C', 2}, {"N", 'N', 2}}, rows));
  OpenTable big(dir_.file("big.dbf"));
  ASSERT_TRUE(big.ok());
  dbe_Query("");
  const V marks{1, 63, 64, 65, 127, 128, 4097, 19999, 20000};
  for (int32_t r : marks) dbe_SetQueryBit(r, -1);
  EXPECT_EQ(walk(), marks);
  V back(marks.rbegin(), marks.rend());
  EXPECT_EQ(walkBack(), back);
  dbe_Go(100);  // a record outside the set: skips continue from it
  dbe_Skip(1);
  EXPECT_EQ(dbe_RecNo(), 127);
  dbe_Go(100);
  dbe_Skip(-1);
  EXPECT_EQ(dbe_RecNo(), 65);
  dbe_Skip(-2);
  EXPECT_EQ(dbe_RecNo(), 63);
  dbe_Skip(-5);
  EXPECT_TRUE(dbe_Bof());
  EXPECT_EQ(dbe_RecNo(), 1);
}

TEST_F(DbfNavigation, WorkAreasAreIndependent) {
  const int16_t first = table_->area();
  writeFile(dir_.file("u.dbf"), dbfBytes({{"A", 'C', 1}}, {{"a"}, {"b"}}));
  OpenTable second(dir_.file("u.dbf"));
  ASSERT_TRUE(second.ok());
  EXPECT_NE(second.area(), first);
  EXPECT_EQ(dbe_WorkArea("U"), second.area());
  EXPECT_EQ(dbe_WorkArea("t"), first);
  EXPECT_EQ(str(dbe_Alias(second.area())), "U");
  dbe_Query("A = 'b'");
  EXPECT_EQ(dbe_Select(first), second.area());
  EXPECT_EQ(walk().size(), 10u);
  dbe_Go(4);
  dbe_Select(second.area());
  EXPECT_EQ(walk(), (V{2}));
  dbe_Select(first);
  EXPECT_EQ(dbe_RecNo(), 4);  // each area keeps its own position
}

TEST_F(DbfNavigation, ClosedOrUnknownAreaAnswersQuietly) {
  const int16_t previous = dbe_Select(77);
  EXPECT_EQ(dbe_RecNo(), 0);
  EXPECT_TRUE(dbe_Eof());
  EXPECT_TRUE(dbe_Bof());
  EXPECT_EQ(dbe_RecCount(), 0);
  EXPECT_EQ(dbe_FieldCount(), 0);
  EXPECT_EQ(str(dbe_FieldName(1)), "");
  EXPECT_EQ(str(dbe_GetString("NAME")), "");
  EXPECT_EQ(dbe_Query("N > 1"), 0);
  EXPECT_EQ(dbe_QueryRecCount(), 0);
  char buf[4] = {'a', 'b', 'c', 'd'};
  dbe_GetRecord(buf);
  EXPECT_EQ(buf[0], 'a');
  dbe_GoTop();
  dbe_Skip(1);
  dbe_SetQueryBit(1, -1);
  dbe_Close();
  EXPECT_EQ(dbe_Error(), DBE_E_NO_AREA);
  EXPECT_EQ(str(dbe_Alias(77)), "");
  dbe_Select(0);
  EXPECT_EQ(dbe_RecSize(), 0);
  dbe_Select(previous);
  EXPECT_EQ(dbe_RecCount(), 10);
}
