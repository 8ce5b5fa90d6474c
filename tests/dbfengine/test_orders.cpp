// Orders: building MTX files, key-order navigation with deleted records and
// query sets, order positions, seeks, tag facts, the production index.
#include <gtest/gtest.h>

#include "DbfTestSupport.h"

using namespace dbftest;
using V = std::vector<int32_t>;

namespace {

// CITY keys out of physical order; record 4 deleted.
class DbfOrders : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<std::vector<std::string>> rows = {
        {"Busan", "30", "19900101"},   {"Seoul", "10", "19850315"},   {"Daegu", "20", "20001231"},
        {"Incheon", "50", "19700601"}, {"Gwangju", "40", "19991231"}, {"Seoul", "60", "19600101"},
    };
    writeFile(dir_.file("city.dbf"),
              dbfBytes({{"CITY", 'C', 10}, {"POP", 'N', 5}, {"SINCE", 'D', 8}}, rows,
                       {false, false, false, true, false, false}));
    table_ = std::make_unique<OpenTable>(dir_.file("city.dbf"));
    ASSERT_TRUE(table_->ok());
    const dbe_tag_def tags[] = {
        {"CITY", "UPPER(CITY)", nullptr, 0, 0}, {"POP", "POP", "", 0, -1},
        {"SINCE", "SINCE", nullptr, 0, 0},      {"UCITY", "CITY", nullptr, -1, 0},
        {"BIG", "POP", "POP >= 30", 0, 0},      {"CITYPOP", "CITY + STR(POP, 5)", nullptr, 0, 0},
    };
    ASSERT_EQ(dbe_IndexCreate(dir_.file("extra.mtx").c_str(), tags, 6), 6) << dbe_ErrorText();
    ASSERT_EQ(dbe_IndexOpen(dir_.file("extra.mtx").c_str()), 1) << dbe_ErrorText();
  }
  void TearDown() override {
    table_.reset();
    dbe_SetDeleted(0);
    dbe_SetSoftSeek(0);
  }
  TempDir dir_;
  std::unique_ptr<OpenTable> table_;
};

}  // namespace

TEST_F(DbfOrders, TagFacts) {
  EXPECT_EQ(dbe_SysProp(3000, nullptr), 6);
  EXPECT_EQ(dbe_IndexOrd(), 0) << "opening an index keeps the current order";
  EXPECT_EQ(dbe_TagArea("pop"), 2);
  EXPECT_EQ(dbe_TagArea("NONE"), 0);
  EXPECT_EQ(str(dbe_TagName(5)), "BIG");
  EXPECT_EQ(str(dbe_IndexName(1)), dir_.file("extra.mtx"));
  EXPECT_EQ(str(dbe_TagName(7)), "");
  EXPECT_EQ(dbe_SetOrder(1), 0);
  EXPECT_EQ(str(dbe_IndexKey()), "UPPER(CITY)");
  EXPECT_EQ(str(dbe_IndexKeyField()), "CITY");
  EXPECT_EQ(dbe_IndexType(), 1);
  EXPECT_EQ(dbe_SysProp(3002, nullptr), 0);
  EXPECT_EQ(dbe_SetOrder(2), 1);
  EXPECT_EQ(dbe_SysProp(3002, nullptr), 1);
  EXPECT_EQ(dbe_SetOrder(4), 2);
  EXPECT_EQ(dbe_IndexType(), 2);
  EXPECT_EQ(dbe_SetOrder(5), 4);
  EXPECT_EQ(dbe_IndexType(), 3);
  EXPECT_EQ(str(dbe_IndexCondition()), "POP >= 30");
  EXPECT_EQ(dbe_SetOrder(6), 5);
  EXPECT_EQ(str(dbe_IndexKeyField()), "CITY;POP");
  // Out of range: error, order unchanged, previous order answered.
  dbe_ClearError();
  EXPECT_EQ(dbe_SetOrder(9), 6);
  EXPECT_EQ(dbe_Error(), DBE_E_NO_ORDER);
  EXPECT_EQ(dbe_IndexOrd(), 6);
  EXPECT_EQ(dbe_SetOrder(0), 6);
  EXPECT_EQ(str(dbe_IndexKey()), "");
  // The same file again answers its first order; closing drops every order.
  EXPECT_EQ(dbe_IndexOpen(dir_.file("extra.mtx").c_str()), 1);
  dbe_SetOrder(3);
  dbe_CloseIndexes();
  EXPECT_EQ(dbe_SysProp(3000, nullptr), 0);
  EXPECT_EQ(dbe_IndexOrd(), 0);
}

TEST_F(DbfOrders, NavigationInKeyOrder) {
  dbe_SetOrder(1);
  EXPECT_EQ(walk(), (V{1, 3, 5, 4, 2, 6}));
  EXPECT_EQ(walkBack(), (V{6, 2, 4, 5, 3, 1}));
  dbe_SetOrder(2);  // descending POP
  EXPECT_EQ(walk(), (V{6, 4, 5, 1, 3, 2}));
  dbe_SetOrder(3);  // dates
  EXPECT_EQ(walk(), (V{6, 4, 2, 1, 5, 3}));
  dbe_SetOrder(4);  // unique: the first Seoul only
  EXPECT_EQ(walk(), (V{1, 3, 5, 4, 2}));
  dbe_SetOrder(5);  // condition
  EXPECT_EQ(walk(), (V{1, 5, 4, 6}));
  dbe_SetDeleted(-1);
  EXPECT_EQ(walk(), (V{1, 5, 6}));
  dbe_SetOrder(1);
  EXPECT_EQ(walk(), (V{1, 3, 5, 2, 6}));
  // Ends of the order.
  dbe_GoTop();
  dbe_Skip(-1);
  EXPECT_TRUE(dbe_Bof());
  EXPECT_EQ(dbe_RecNo(), 1);
  dbe_GoBottom();
  EXPECT_EQ(dbe_RecNo(), 6);
  dbe_Skip(1);
  EXPECT_TRUE(dbe_Eof());
  EXPECT_EQ(dbe_RecNo(), 7);
  dbe_Skip(-1);
  EXPECT_EQ(dbe_RecNo(), 6);
}

TEST_F(DbfOrders, GoAndSkipFollowTheOrder) {
  dbe_SetOrder(1);
  dbe_Go(5);  // Gwangju: between Daegu (3) and Incheon (4)
  dbe_Skip(1);
  EXPECT_EQ(dbe_RecNo(), 4);
  dbe_Go(5);
  dbe_Skip(-1);
  EXPECT_EQ(dbe_RecNo(), 3);
  // Changing the order keeps the record and continues in the new order.
  dbe_Go(1);
  dbe_SetOrder(2);
  EXPECT_EQ(dbe_RecNo(), 1);
  dbe_Skip(1);
  EXPECT_EQ(dbe_RecNo(), 3);
  // A record the order leaves out stands where its key would be.
  dbe_SetOrder(5);  // POP >= 30: 1, 5, 4, 6
  dbe_Go(3);        // POP 20
  EXPECT_EQ(dbe_RecNo(), 3);
  dbe_Skip(1);
  EXPECT_EQ(dbe_RecNo(), 1);
  dbe_Go(2);  // POP 10, before every entry
  dbe_Skip(-1);
  EXPECT_TRUE(dbe_Bof());
  EXPECT_EQ(dbe_RecNo(), 1);
}

TEST_F(DbfOrders, QuerySetInKeyOrder) {
  dbe_SetOrder(1);
  EXPECT_EQ(dbe_Query("POP >= 30"), 1);
  EXPECT_EQ(walk(), (V{1, 5, 4, 6}));
  dbe_Query("");
  dbe_SetQueryBit(6, -1);
  dbe_SetQueryBit(3, -1);
  EXPECT_EQ(walk(), (V{3, 6}));
  EXPECT_EQ(walkBack(), (V{6, 3}));
  // The first record of a query follows the current order.
  dbe_SetOrder(2);
  EXPECT_EQ(dbe_Query("POP < 35"), 1);
  EXPECT_EQ(walk(), (V{1, 3, 2}));
}

TEST_F(DbfOrders, SparseMarksInKeyOrder) {
  // 2000 records with keys in reverse physical order; a handful of marks
  // (a sparse set) and then many (a dense one) must give the same walks.
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < 2000; ++i) rows.push_back({std::to_string(5000 - i)});
  writeFile(dir_.file("r.dbf"), dbfBytes({{"K", 'C', 4}}, rows, {false, false, false, true}));
  OpenTable r(dir_.file("r.dbf"));
  const dbe_tag_def tag{"K", "K", "RECNO() <> 7", 0, 0};
  ASSERT_EQ(dbe_IndexCreate(dir_.file("r.mtx").c_str(), &tag, 1), 1);
  ASSERT_EQ(dbe_IndexOpen(dir_.file("r.mtx").c_str()), 1);
  dbe_SetOrder(1);
  dbe_Query("");
  for (int32_t m : {1, 4, 7, 500, 1999, 2000}) dbe_SetQueryBit(m, -1);
  EXPECT_EQ(walk(), (V{2000, 1999, 500, 4, 1})) << "7 is not in the order";
  EXPECT_EQ(walkBack(), (V{1, 4, 500, 1999, 2000}));
  dbe_SetDeleted(-1);
  EXPECT_EQ(walk(), (V{2000, 1999, 500, 1}));
  dbe_SetDeleted(0);
  dbe_Go(1000);  // outside the set, between 1999 and 500 in key order
  dbe_Skip(1);
  EXPECT_EQ(dbe_RecNo(), 500);
  dbe_Go(1000);
  dbe_Skip(-1);
  EXPECT_EQ(dbe_RecNo(), 1999);
  dbe_SetQueryBit(500, 0);  // the set changes under the walk
  dbe_SetQueryBit(3, -1);
  EXPECT_EQ(walk(), (V{2000, 1999, 4, 3, 1}));
  // Dense: every record but a few.
  EXPECT_EQ(dbe_Query("RECNO() > 1995 .OR. RECNO() < 3"), 2000);
  EXPECT_EQ(walk(), (V{2000, 1999, 1998, 1997, 1996, 2, 1}));
}

TEST_F(DbfOrders, PositionsAsFractions) {
  // Physical order: k / RecCount.
  dbe_Go(3);
  EXPECT_DOUBLE_EQ(dbe_OrderPosGet(), 0.5);
  dbe_OrderPosSet(1.0);
  EXPECT_EQ(dbe_RecNo(), 6);
  dbe_OrderPosSet(0.0);
  EXPECT_EQ(dbe_RecNo(), 1);
  dbe_SetOrder(1);  // 1, 3, 5, 4, 2, 6
  for (int k = 1; k <= 6; ++k) {
    dbe_OrderPosSet(static_cast<double>(k) / 6);
    const double f = dbe_OrderPosGet();
    EXPECT_GE(f, 0.0);
    EXPECT_LE(f, 1.0);
    EXPECT_EQ(static_cast<int>(f * 6), k) << "trunc(position * count) gives k back";
  }
  dbe_OrderPosSet(0.5);
  EXPECT_EQ(dbe_RecNo(), 5);
  dbe_OrderPosSet(-3);
  EXPECT_EQ(dbe_RecNo(), 1);
  dbe_OrderPosSet(7);
  EXPECT_EQ(dbe_RecNo(), 6);
  dbe_GoBottom();
  dbe_Skip(1);
  EXPECT_EQ(dbe_OrderPosGet(), 0.0);
  // An invisible record moves on to the next visible one.
  dbe_SetDeleted(-1);
  dbe_OrderPosSet(4.0 / 6);  // record 4 is deleted
  EXPECT_EQ(dbe_RecNo(), 2);
}

TEST_F(DbfOrders, RoundTripOfPositionsOverManyCounts) {
  // trunc(OrderPosGet * N) == k must hold for every k, also where k / N * N
  // rounds below k in floating point (1 / 49 * 49 < 1).
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < 49; ++i) rows.push_back({std::to_string(100 - i)});
  writeFile(dir_.file("n.dbf"), dbfBytes({{"K", 'C', 3}}, rows));
  OpenTable n(dir_.file("n.dbf"));
  const dbe_tag_def tag{"K", "K", nullptr, 0, 0};
  ASSERT_EQ(dbe_IndexCreate(dir_.file("n.mtx").c_str(), &tag, 1), 1);
  ASSERT_EQ(dbe_IndexOpen(dir_.file("n.mtx").c_str()), 1);
  for (int order : {0, 1}) {
    dbe_SetOrder(order);
    int k = 0;
    for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) {
      ++k;
      EXPECT_EQ(static_cast<int>(dbe_OrderPosGet() * 49), k) << order;
      const int32_t here = dbe_RecNo();
      dbe_OrderPosSet(static_cast<double>(k) / 49);
      EXPECT_EQ(dbe_RecNo(), here);
    }
    EXPECT_EQ(k, 49);
  }
}

TEST_F(DbfOrders, Seek) {
  dbe_ClearError();
  EXPECT_FALSE(dbe_Seek("SEOUL"));
  EXPECT_EQ(dbe_Error(), DBE_E_NO_ORDER);
  dbe_SetOrder(1);
  EXPECT_TRUE(dbe_Seek("SEOUL"));
  EXPECT_EQ(dbe_RecNo(), 2);
  EXPECT_TRUE(dbe_Seek("INC"));  // prefix
  EXPECT_EQ(dbe_RecNo(), 4);
  EXPECT_FALSE(dbe_Seek("HANAM"));
  EXPECT_TRUE(dbe_Eof());
  dbe_SetSoftSeek(-1);
  EXPECT_FALSE(dbe_Seek("HANAM"));
  EXPECT_EQ(dbe_RecNo(), 4);  // next greater key: INCHEON
  EXPECT_FALSE(dbe_Seek("ZZZ"));
  EXPECT_TRUE(dbe_Eof());
  dbe_SetOrder(2);  // descending numbers
  EXPECT_TRUE(dbe_Seek("40"));
  EXPECT_EQ(dbe_RecNo(), 5);
  dbe_SetOrder(3);
  EXPECT_TRUE(dbe_Seek("19991231"));
  EXPECT_EQ(dbe_RecNo(), 5);
}

TEST_F(DbfOrders, ProductionIndexOpensWithTheTable) {
  const dbe_tag_def tag{"POP", "POP", nullptr, 0, 0};
  ASSERT_EQ(dbe_IndexCreate(dir_.file("city.mtx").c_str(), &tag, 1), 1);
  table_.reset();
  {
    OpenTable t(dir_.file("city.dbf"), 3);
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(dbe_SysProp(3000, nullptr), 1);
    EXPECT_EQ(dbe_IndexOrd(), 0);
    EXPECT_EQ(str(dbe_IndexName(1)), dir_.file("city.mtx"));
    dbe_SetOrder(1);
    EXPECT_EQ(walk(), (V{2, 3, 1, 5, 4, 6}));
  }
  {
    OpenTable t(dir_.file("city.dbf"), 4);
    EXPECT_EQ(dbe_SysProp(3000, nullptr), 1);
  }
  for (int16_t driver : {1, 2}) {
    OpenTable t(dir_.file("city.dbf"), driver);
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(dbe_SysProp(3000, nullptr), 0) << driver;
  }
}

TEST_F(DbfOrders, BadIndexFilesAnswerErrors) {
  const std::string good = readFile(dir_.file("extra.mtx"));
  auto expectRejected = [&](const std::string& bytes, int32_t code, const char* what) {
    writeFile(dir_.file("bad.mtx"), bytes);
    dbe_ClearError();
    EXPECT_EQ(dbe_IndexOpen(dir_.file("bad.mtx").c_str()), 0) << what;
    EXPECT_EQ(dbe_Error(), code) << what;
  };
  expectRejected("", DBE_E_INDEX, "empty");
  expectRejected(good.substr(0, good.size() / 2), DBE_E_INDEX, "truncated");
  // A byte of the directory's texts (after the header and six tag entries).
  std::string flipped = good;
  flipped[64 + 6 * 64 + 2] ^= 0x40;
  expectRejected(flipped, DBE_E_INDEX, "corrupt directory");
  std::string older = good;
  older[4] = 1;  // format 1: made by an older engine
  expectRejected(older, DBE_E_INDEX, "older format");
  std::string magic = good;
  magic[0] = 'X';
  expectRejected(magic, DBE_E_INDEX, "not MTX");
  expectRejected(readFile(dir_.file("city.dbf")), DBE_E_INDEX, "a table");
  dbe_ClearError();
  EXPECT_EQ(dbe_IndexOpen(dir_.file("missing.mtx").c_str()), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_INDEX);
  EXPECT_EQ(dbe_IndexOpen(nullptr), 0);
  EXPECT_EQ(dbe_SysProp(3000, nullptr), 6) << "the open orders stay";

  // An index of another table is stale.
  writeFile(dir_.file("other.dbf"), dbfBytes({{"CITY", 'C', 10}}, {{"x"}}));
  {
    OpenTable other(dir_.file("other.dbf"));
    dbe_ClearError();
    EXPECT_EQ(dbe_IndexOpen(dir_.file("extra.mtx").c_str()), 0);
    EXPECT_EQ(dbe_Error(), DBE_E_INDEX_STALE);
  }
  // A corrupt production index leaves the table open without it.
  writeFile(dir_.file("city.mtx"), flipped);
  table_.reset();
  dbe_ClearError();
  OpenTable t(dir_.file("city.dbf"), 3);
  EXPECT_TRUE(t.ok());
  EXPECT_EQ(dbe_Error(), DBE_E_INDEX);
  EXPECT_EQ(dbe_SysProp(3000, nullptr), 0);
}

TEST_F(DbfOrders, IndexCreateRejectsBadTags) {
  auto create = [&](dbe_tag_def tag) {
    dbe_ClearError();
    return dbe_IndexCreate(dir_.file("x.mtx").c_str(), &tag, 1);
  };
  EXPECT_EQ(create({"T", "NOSUCH", nullptr, 0, 0}), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_SYNTAX);
  EXPECT_EQ(create({"T", "CITY +", nullptr, 0, 0}), 0);
  EXPECT_EQ(create({"T", "CITY", "POP", 0, 0}), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_TYPE);
  EXPECT_EQ(create({"", "CITY", nullptr, 0, 0}), 0);
  EXPECT_EQ(create({"WAYTOOLONGNAME", "CITY", nullptr, 0, 0}), 0);
  EXPECT_EQ(create({nullptr, "CITY", nullptr, 0, 0}), 0);
  EXPECT_EQ(dbe_IndexCreate(dir_.file("x.mtx").c_str(), nullptr, 1), 0);
  const dbe_tag_def twice[] = {{"A", "CITY", nullptr, 0, 0}, {"a", "POP", nullptr, 0, 0}};
  EXPECT_EQ(dbe_IndexCreate(dir_.file("x.mtx").c_str(), twice, 2), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_.file("x.mtx")));
  const dbe_tag_def ok{"A", "CITY", nullptr, 0, 0};
  EXPECT_EQ(dbe_IndexCreate("/nonexistent-folder/x.mtx", &ok, 1), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_WRITE);
}
