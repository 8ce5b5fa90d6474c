// Scrambled tables: the header flag, reading in clear only with the right
// password, indexes and queries over clear text, the dbfscramble tool.
#include <gtest/gtest.h>

#include <cstdlib>

#include "DbfTestSupport.h"

using namespace dbftest;
using V = std::vector<int32_t>;

namespace {

class DbfScrambled : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(dir_.file("plain.dbf"), dbfBytes({{"ZIP", 'C', 7}, {"ADDR", 'C', 30}},
                                               {{"135080", cp949("서울 강남구 역삼동")},
                                                {"612020", cp949("부산 해운대구")},
                                                {"690010", cp949("제주 제주시")}},
                                               {false, true, false}));
    ASSERT_TRUE(
        dbe_ScrambleTable(dir_.file("plain.dbf").c_str(), dir_.file("s.dbf").c_str(), "ABCDE"))
        << dbe_ErrorText();
  }
  TempDir dir_;
};

}  // namespace

TEST_F(DbfScrambled, StoredBytesHideTheText) {
  const std::string bytes = readFile(dir_.file("s.dbf"));
  EXPECT_EQ(bytes.find("135080"), std::string::npos);
  EXPECT_EQ(bytes.find(cp949("해운대")), std::string::npos);
  EXPECT_EQ(bytes[15], 1) << "encryption flag";
  EXPECT_EQ(bytes.size(), readFile(dir_.file("plain.dbf")).size());
}

TEST_F(DbfScrambled, ReadsInClearOnlyWithTheRightPassword) {
  OpenTable t(dir_.file("s.dbf"));
  ASSERT_TRUE(t.ok());
  EXPECT_TRUE(dbe_IsEncrypted(0));
  EXPECT_EQ(dbe_RecCount(), 3);
  dbe_GoTop();
  EXPECT_NE(str(dbe_GetString("ZIP")), "135080") << "no password: stored bytes";
  dbe_ClearError();
  dbe_SetPassword("abcde");
  EXPECT_EQ(dbe_Error(), DBE_E_PASSWORD);
  EXPECT_NE(str(dbe_GetString("ZIP")), "135080");
  dbe_ClearError();
  dbe_SetPassword("ABCDE");
  EXPECT_EQ(dbe_Error(), DBE_OK);
  EXPECT_EQ(str(dbe_GetString("ZIP")), "135080 ");
  std::vector<char> rec(dbe_RecSize());
  dbe_Go(2);
  dbe_GetRecord(rec.data());
  EXPECT_EQ(rec[0], '*') << "deletion flags stay in clear";
  EXPECT_EQ(std::string(rec.data() + 8, 30), padded(cp949("부산 해운대구"), 30));
  // Queries, deleted setting and indexes see the clear text.
  EXPECT_EQ(dbe_Query(cp949("'제주' $ ADDR").c_str()), 3);
  dbe_Query("");
  dbe_SetDeleted(-1);
  EXPECT_EQ(walk(), (V{1, 3}));
  dbe_SetDeleted(0);
  const dbe_tag_def tag{"ZIP", "ZIP", nullptr, 0, -1};
  ASSERT_EQ(dbe_IndexCreate(dir_.file("s.mtx").c_str(), &tag, 1), 1);
  ASSERT_EQ(dbe_IndexOpen(dir_.file("s.mtx").c_str()), 1);
  dbe_SetOrder(1);
  EXPECT_EQ(walk(), (V{3, 2, 1}));
  // Forgetting the password shows the stored bytes again.
  dbe_SetPassword("");
  dbe_Go(1);
  EXPECT_NE(str(dbe_GetString("ZIP")), "135080 ");
}

TEST_F(DbfScrambled, IndexNeedsThePassword) {
  OpenTable t(dir_.file("s.dbf"));
  const dbe_tag_def tag{"ZIP", "ZIP", nullptr, 0, 0};
  dbe_ClearError();
  EXPECT_EQ(dbe_IndexCreate(dir_.file("s.mtx").c_str(), &tag, 1), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_PASSWORD);
}

TEST_F(DbfScrambled, PlainTableIgnoresPasswords) {
  OpenTable t(dir_.file("plain.dbf"));
  EXPECT_FALSE(dbe_IsEncrypted(0));
  dbe_ClearError();
  dbe_SetPassword("whatever");
  EXPECT_EQ(dbe_Error(), DBE_OK);
  dbe_GoTop();
  EXPECT_EQ(str(dbe_GetString("ZIP")), "135080 ");
}

TEST_F(DbfScrambled, ScrambleRefusesBadArguments) {
  dbe_ClearError();
  EXPECT_FALSE(dbe_ScrambleTable(dir_.file("s.dbf").c_str(), dir_.file("t.dbf").c_str(), "x"));
  EXPECT_EQ(dbe_Error(), DBE_E_ARGUMENT) << "already scrambled";
  EXPECT_FALSE(dbe_ScrambleTable(dir_.file("plain.dbf").c_str(), dir_.file("t.dbf").c_str(), ""));
  EXPECT_FALSE(dbe_ScrambleTable(nullptr, dir_.file("t.dbf").c_str(), "x"));
  EXPECT_FALSE(dbe_ScrambleTable(dir_.file("none.dbf").c_str(), dir_.file("t.dbf").c_str(), "x"));
  EXPECT_EQ(dbe_Error(), DBE_E_OPEN);
  EXPECT_FALSE(dbe_ScrambleTable(dir_.file("plain.dbf").c_str(), "/nonexistent/t.dbf", "x"));
  EXPECT_EQ(dbe_Error(), DBE_E_WRITE);
  EXPECT_FALSE(std::filesystem::exists(dir_.file("t.dbf")));
}

TEST_F(DbfScrambled, CommandLineTools) {
  const std::string bin = PF_BIN_DIR;
  const std::string scramble =
      bin + "/dbfscramble --password PW " + dir_.file("plain.dbf") + " " + dir_.file("tool.dbf");
  ASSERT_EQ(std::system(scramble.c_str()), 0);
  const std::string index = bin + "/dbfindex --password PW " + dir_.file("tool.dbf") + " " +
                            dir_.file("tool.mtx") +
                            " --tag ZIP --key ZIP --tag ADDR --key 'UPPER(ADDR)' --for "
                            "'!DELETED()' --unique >/dev/null";
  ASSERT_EQ(std::system(index.c_str()), 0);
  EXPECT_NE(std::system((bin + "/dbfindex 2>/dev/null").c_str()), 0);
  EXPECT_NE(std::system((bin + "/dbfindex " + dir_.file("tool.dbf") + " " + dir_.file("x.mtx") +
                         " --tag A --key NOPE 2>/dev/null")
                            .c_str()),
            0);
  OpenTable t(dir_.file("tool.dbf"));
  dbe_SetPassword("PW");
  EXPECT_EQ(dbe_SysProp(3000, nullptr), 2) << "tool.mtx is the production index";
  dbe_SetOrder(2);
  EXPECT_EQ(dbe_IndexType(), 4);
  EXPECT_EQ(walk(), (V{1, 3}));
}

TEST_F(DbfScrambled, TheSwitchOfReadsForgetsTheRecordReadInClearToo) {
  OpenTable t(dir_.file("s.dbf"));
  ASSERT_TRUE(t.ok());
  dbe_SetPassword("ABCDE");
  dbe_Go(1);
  ASSERT_EQ(str(dbe_GetString("ZIP")), "135080 ");
  // The table rewritten under the open area, the same size and password.
  writeFile(
      dir_.file("plain.dbf"),
      dbfBytes({{"ZIP", 'C', 7}, {"ADDR", 'C', 30}},
               {{"999999", cp949("서울")}, {"612020", cp949("부산")}, {"690010", cp949("제주")}},
               {false, true, false}));
  ASSERT_TRUE(
      dbe_ScrambleTable(dir_.file("plain.dbf").c_str(), dir_.file("s2.dbf").c_str(), "ABCDE"));
  writeFile(dir_.file("s.dbf"), readFile(dir_.file("s2.dbf")));
  dbe_SetReadCache(-1);
  dbe_Go(1);
  EXPECT_EQ(str(dbe_GetString("ZIP")), "999999 ") << "read from the file again";
}
