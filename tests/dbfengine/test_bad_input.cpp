// Bad input: files that are missing, not tables, truncated or inconsistent;
// bad arguments; open-mode conflicts. Each answers an error, never a crash.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "DbfTestSupport.h"

using namespace dbftest;

namespace {

class DbfBadInput : public ::testing::Test {
 protected:
  void SetUp() override {
    good_ =
        dbfBytes({{"NAME", 'C', 8}, {"N", 'N', 3}}, {{"one", "1"}, {"two", "2"}, {"three", "3"}});
  }
  // Writes `bytes`, tries to open them and answers the area (closed again).
  int16_t open(const std::string& bytes, int32_t expectedError) {
    writeFile(dir_.file("bad.dbf"), bytes);
    dbe_ClearError();
    const int16_t area = dbe_UseEx(dir_.file("bad.dbf").c_str(), "BAD", 1, 3, 2);
    EXPECT_EQ(dbe_Error(), expectedError);
    if (area > 0) {
      dbe_Select(area);
      dbe_Close();
    }
    return area;
  }
  TempDir dir_;
  std::string good_;
};

}  // namespace

TEST_F(DbfBadInput, FilesThatAreNotTables) {
  dbe_ClearError();
  EXPECT_EQ(dbe_UseEx(dir_.file("missing.dbf").c_str(), "", 0, 3, 0), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_OPEN);
  EXPECT_EQ(dbe_UseEx("/tmp", "", 0, 3, 0), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_OPEN);
  EXPECT_EQ(open("", DBE_E_NOT_DBF), 0);
  EXPECT_EQ(open("hello, world: this is a text file and not a table at all.\n", DBE_E_NOT_DBF), 0);
  EXPECT_EQ(open(std::string(100, '\0'), DBE_E_NOT_DBF), 0);
  EXPECT_NE(str(dbe_ErrorText()).find("unknown version byte"), std::string::npos);
  EXPECT_EQ(open("", DBE_E_NOT_DBF), 0);
  EXPECT_NE(str(dbe_ErrorText()).find("empty file, 0 bytes"), std::string::npos);
  // A folder, a FIFO that no one writes and an endless device are refused
  // at once, without waiting for a writer or reading what never ends.
  std::filesystem::create_directory(dir_.file("POSTCODE.DBF"));
  ASSERT_EQ(mkfifo(dir_.file("fifo.dbf").c_str(), 0600), 0);
  for (const std::string& path :
       {dir_.file("POSTCODE.DBF"), dir_.file("fifo.dbf"), std::string("/dev/zero")}) {
    dbe_ClearError();
    EXPECT_EQ(dbe_UseEx(path.c_str(), "", 1, 3, 2), 0) << path;
    EXPECT_EQ(dbe_Error(), DBE_E_OPEN) << path;
    EXPECT_NE(str(dbe_ErrorText()).find(path), std::string::npos);
  }
  EXPECT_NE(str(dbe_ErrorText()).find("not a regular file"), std::string::npos);
  dbe_UseEx(dir_.file("POSTCODE.DBF").c_str(), "", 1, 3, 2);
  EXPECT_NE(str(dbe_ErrorText()).find("a folder, not a table"), std::string::npos);
}

TEST_F(DbfBadInput, TruncatedOrInconsistentHeaders) {
  EXPECT_EQ(open(good_.substr(0, 20), DBE_E_TRUNCATED), 0) << "shorter than a header";
  EXPECT_EQ(open(good_.substr(0, 50), DBE_E_TRUNCATED), 0) << "field list cut off";
  std::string noTerminator = good_;
  noTerminator[32 + 64] = 'X';  // where 0x0D stands
  EXPECT_EQ(open(noTerminator, DBE_E_CORRUPT), 0);
  std::string wrongSize = good_;
  wrongSize[10] = 20;  // record size no longer the sum of the widths
  EXPECT_EQ(open(wrongSize, DBE_E_CORRUPT), 0);
  std::string zeroWidth = good_;
  zeroWidth[32 + 16] = 0;
  EXPECT_EQ(open(zeroWidth, DBE_E_CORRUPT), 0);
  std::string badName = good_;
  badName[32] = 0;
  EXPECT_EQ(open(badName, DBE_E_CORRUPT), 0);
  std::string hugeHeader = good_;
  hugeHeader[8] = '\xFF', hugeHeader[9] = '\x7F';
  EXPECT_EQ(open(hugeHeader, DBE_E_TRUNCATED), 0) << "header longer than the file";
}

TEST_F(DbfBadInput, RecordCountBeyondTheFileUsesTheRecordsPresent) {
  std::string bytes = good_;
  bytes[4] = 100;                      // claims 100 records
  bytes.resize(bytes.size() - 1 - 5);  // and the last record lost 5 bytes too
  writeFile(dir_.file("short.dbf"), bytes);
  dbe_ClearError();
  OpenTable t(dir_.file("short.dbf"));
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(dbe_Error(), DBE_E_SHORT);
  EXPECT_EQ(dbe_RecCount(), 2);
  EXPECT_EQ(dbe_SysProp(3003, nullptr), 100) << "the count the header states";
  EXPECT_EQ(walk(), (std::vector<int32_t>{1, 2}));
  dbe_Go(3);
  EXPECT_TRUE(dbe_Eof());
  EXPECT_EQ(dbe_Query("N > 0"), 1);
  EXPECT_EQ(dbe_QueryRecCount(), 2);
}

TEST_F(DbfBadInput, BadArguments) {
  dbe_ClearError();
  EXPECT_EQ(dbe_UseEx(nullptr, "", 0, 3, 0), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_ARGUMENT);
  writeFile(dir_.file("t.dbf"), good_);
  const std::string p = dir_.file("t.dbf");
  EXPECT_EQ(dbe_UseEx(p.c_str(), "", 3, 3, 0), 0);
  EXPECT_EQ(dbe_UseEx(p.c_str(), "", 0, 0, 0), 0);
  EXPECT_EQ(dbe_UseEx(p.c_str(), "", 0, 5, 0), 0);
  EXPECT_EQ(dbe_UseEx(p.c_str(), "", 0, 3, 7), 0);
  EXPECT_EQ(dbe_UseEx(p.c_str(), "BAD ALIAS", 0, 3, 0), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_ALIAS);
  EXPECT_EQ(dbe_UseEx(p.c_str(), "TOOLONGALIAS", 0, 3, 0), 0);

  OpenTable t(p, 3, "", 0);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(str(dbe_Alias(t.area())), "T") << "alias from the file name";
  dbe_ClearError();
  EXPECT_EQ(dbe_UseEx(p.c_str(), "t", 0, 3, 0), 0) << "alias in use";
  EXPECT_EQ(dbe_Error(), DBE_E_ALIAS);
  dbe_Select(t.area());
  EXPECT_EQ(str(dbe_FieldName(0)), "");
  EXPECT_EQ(dbe_Error(), DBE_E_NO_FIELD);
  EXPECT_EQ(str(dbe_FieldName(3)), "");
  EXPECT_EQ(str(dbe_FieldName(-1)), "");
  EXPECT_EQ(str(dbe_FieldType(nullptr)), "");
  EXPECT_EQ(dbe_Error(), DBE_E_ARGUMENT);
  EXPECT_EQ(str(dbe_FieldType("NOPE")), "");
  EXPECT_EQ(dbe_FieldWidth("NOPE"), 0);
  EXPECT_EQ(dbe_FieldOffset(nullptr), 0);
  EXPECT_EQ(dbe_FieldDecimals(""), 0);
  EXPECT_EQ(str(dbe_GetString(nullptr)), "");
  EXPECT_EQ(str(dbe_GetString("NOPE")), "");
  dbe_ClearError();
  dbe_GetRecord(nullptr);
  EXPECT_EQ(dbe_Error(), DBE_E_ARGUMENT);
  EXPECT_EQ(dbe_Query(nullptr), 1) << "NULL clears like the empty text";
  EXPECT_EQ(dbe_QueryTest(nullptr), 0);
  EXPECT_EQ(str(dbe_EvalString(nullptr)), "");
  EXPECT_EQ(dbe_WorkArea(nullptr), 0);
  dbe_SetPassword(nullptr);
  EXPECT_EQ(dbe_TagArea(nullptr), 0);
  EXPECT_EQ(dbe_SysProp(9999, nullptr), -1);
  dbe_ClearError();
  EXPECT_EQ(dbe_SetStringType(2), 1);
  EXPECT_EQ(dbe_Error(), DBE_E_ARGUMENT);
  EXPECT_EQ(dbe_SetStringType(1), 1);
  EXPECT_EQ(dbe_SetMemoBlockSize(0), 512);
  EXPECT_EQ(dbe_SetMemoBlockSize(64), 512);
  EXPECT_EQ(dbe_SetMemoBlockSize(512), 64);
  EXPECT_EQ(dbe_ErrorLevel(0), 1);
  EXPECT_EQ(dbe_ErrorLevel(1), 0);
}

TEST_F(DbfBadInput, SharedAndExclusiveOpens) {
  writeFile(dir_.file("t.dbf"), good_);
  const std::string p = dir_.file("t.dbf");
  {
    OpenTable shared1(p, 3, "S1", 0);
    OpenTable shared2(p, 3, "S2", 1);
    EXPECT_TRUE(shared1.ok());
    EXPECT_TRUE(shared2.ok());
    dbe_ClearError();
    OpenTable exclusive(p, 3, "X", 2);
    EXPECT_FALSE(exclusive.ok());
    EXPECT_EQ(dbe_Error(), DBE_E_LOCKED);
  }
  OpenTable exclusive(p, 3, "X", 2);
  ASSERT_TRUE(exclusive.ok());
  dbe_ClearError();
  OpenTable shared(p, 3, "S", 0);
  EXPECT_FALSE(shared.ok());
  EXPECT_EQ(dbe_Error(), DBE_E_LOCKED);
}

TEST_F(DbfBadInput, EmptyTable) {
  writeFile(dir_.file("e.dbf"), dbfBytes({{"A", 'C', 3}}, {}));
  OpenTable t(dir_.file("e.dbf"));
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(dbe_RecCount(), 0);
  EXPECT_TRUE(dbe_Eof());
  EXPECT_TRUE(dbe_Bof());
  EXPECT_EQ(dbe_RecNo(), 1);
  dbe_Skip(1);
  dbe_Skip(-1);
  EXPECT_TRUE(dbe_Eof());
  EXPECT_EQ(dbe_Query("A = 'x'"), 0);
  EXPECT_EQ(dbe_OrderPosGet(), 0.0);
  dbe_OrderPosSet(0.5);
  EXPECT_TRUE(dbe_Eof());
  const dbe_tag_def tag{"A", "A", nullptr, 0, 0};
  ASSERT_EQ(dbe_IndexCreate(dir_.file("e.mtx").c_str(), &tag, 1), 1);
  ASSERT_EQ(dbe_IndexOpen(dir_.file("e.mtx").c_str()), 1);
  dbe_SetOrder(1);
  dbe_GoTop();
  EXPECT_TRUE(dbe_Eof());
  EXPECT_FALSE(dbe_Seek("x"));
}

// Random damage to a real table and its index: whatever opens must read,
// navigate and query without leaving its mapping (run under ASan).
TEST_F(DbfBadInput, DamagedFilesNeverCrash) {
  const std::string table = readFile(fixture("dbase3_cp949.dbf"));
  writeFile(dir_.file("idx.dbf"), table);
  {
    OpenTable t(dir_.file("idx.dbf"));
    const dbe_tag_def tags[] = {{"ZIP", "ZIPCODE", nullptr, 0, 0}, {"POP", "POP", "CITY", 0, -1}};
    ASSERT_EQ(dbe_IndexCreate(dir_.file("idx.mtx").c_str(), tags, 2), 2);
  }
  const std::string index = readFile(dir_.file("idx.mtx"));
  std::mt19937 rng(12345);
  const int16_t level = dbe_ErrorLevel(0);
  int opened = 0;
  for (int round = 0; round < 400; ++round) {
    std::string t = table, x = index;
    std::string& victim = round % 2 ? t : x;
    const int hits = 1 + static_cast<int>(rng() % 4);
    for (int h = 0; h < hits; ++h) {
      const size_t at = rng() % victim.size();
      victim[at] = static_cast<char>(rng());
    }
    if (round % 7 == 0) victim.resize(rng() % victim.size());
    writeFile(dir_.file("d.dbf"), t);
    writeFile(dir_.file("d.mtx"), x);
    const int16_t area = dbe_UseEx(dir_.file("d.dbf").c_str(), "D", 1, 3, 2);
    if (area <= 0) continue;
    ++opened;
    std::vector<char> buf(static_cast<size_t>(dbe_RecSize()));
    for (int order = 0; order <= dbe_SysProp(3000, nullptr); ++order) {
      dbe_SetOrder(static_cast<int16_t>(order));
      int guard = 0;
      for (dbe_GoTop(); !dbe_Eof() && guard < 100; dbe_Skip(1), ++guard) {
        dbe_GetRecord(buf.data());
        for (int f = 1; f <= dbe_FieldCount(); ++f) dbe_GetString(dbe_FieldName(f));
      }
      dbe_Query("'1' $ ZIPCODE .OR. POP > 5");
      dbe_GoBottom();
      dbe_Skip(-2);
      dbe_OrderPosSet(0.5);
      dbe_Seek("1");
      dbe_Query("");
    }
    dbe_Close();
  }
  dbe_ErrorLevel(level);
  EXPECT_GT(opened, 10) << "some damaged tables still open";
}
