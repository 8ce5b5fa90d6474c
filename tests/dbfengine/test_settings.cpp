// Settings: each call answers the previous value; the version text.
#include <gtest/gtest.h>

#include "DbfTestSupport.h"

using namespace dbftest;

extern "C" int dbftest_walk_from_c(const char* path);

TEST(DbfSettings, HeaderWorksFromC) {
  EXPECT_EQ(dbftest_walk_from_c(fixture("dbase3_cp949.dbf").c_str()), 5);
  EXPECT_EQ(dbftest_walk_from_c("/nonexistent.dbf"), -1);
}

TEST(DbfSettings, EachSettingAnswersThePreviousValue) {
  using Setter = dbe_bool (*)(dbe_bool);
  for (Setter set :
       {dbe_SetDeleted, dbe_SetCentury, dbe_SetSoftSeek, dbe_SetExact, dbe_SetTranslate}) {
    const dbe_bool original = set(0);
    EXPECT_EQ(set(-1), 0);
    EXPECT_NE(set(-1), 0);
    EXPECT_NE(set(0), 0);
    set(original);
  }
  const dbe_bool cache = dbe_SetReadCache(0);
  EXPECT_NE(cache, 0) << "read cache is on by default";
  EXPECT_EQ(dbe_SetReadCache(cache), 0);
  EXPECT_EQ(dbe_SetEpoch(1900), 1950);
  EXPECT_EQ(dbe_SetEpoch(1950), 1900);
  EXPECT_EQ(dbe_SetEpoch(12), 1950) << "refused";
  EXPECT_EQ(dbe_SetEpoch(1950), 1950);
  EXPECT_EQ(dbe_SetMachineCollation(), 1);
  EXPECT_EQ(dbe_SetStringType(1), 1);
  EXPECT_EQ(str(dbe_Version()), "dbfengine 1.0");
}

TEST(DbfSettings, ErrorTextsAndLevels) {
  const int16_t level = dbe_ErrorLevel(0);
  dbe_ClearError();
  EXPECT_EQ(dbe_Error(), DBE_OK);
  EXPECT_EQ(str(dbe_ErrorText()), "");
  EXPECT_EQ(dbe_UseEx("/nonexistent/T.DBF", "", 1, 3, 2), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_OPEN);
  EXPECT_NE(str(dbe_ErrorText()).find("/nonexistent/T.DBF"), std::string::npos);
  // A successful call leaves the recorded error alone.
  EXPECT_EQ(str(dbe_Version()), "dbfengine 1.0");
  EXPECT_EQ(dbe_Error(), DBE_E_OPEN);
  dbe_ClearError();
  EXPECT_EQ(dbe_Error(), DBE_OK);
  dbe_ErrorLevel(level);
}

TEST(DbfSettings, ReadCacheDoesNotChangeWhatIsRead) {
  OpenTable t(fixture("dbase3_cp949.dbf"));
  ASSERT_TRUE(t.ok());
  dbe_SetReadCache(0);
  dbe_Go(2);
  const std::string off = str(dbe_GetString("ADDR"));
  dbe_SetReadCache(-1);
  EXPECT_EQ(str(dbe_GetString("ADDR")), off);
  EXPECT_EQ(off, padded(cp949("부산광역시 해운대구 우동"), 40));
}
