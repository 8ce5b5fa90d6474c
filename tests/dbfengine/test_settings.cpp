// Settings: each call answers the previous value; the version of the loaded
// library; the header's date of last update.
#include <dlfcn.h>
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
}

TEST(DbfSettings, TheLoadedLibraryAnswersTheVersionOfItsHeader) {
  EXPECT_EQ(str(dbe_Version()), "dbfengine " DBFENGINE_VERSION);
  EXPECT_EQ(dbe_VersionNumber(), DBFENGINE_VERSION_NUMBER);
  // Loaded as the program loads it: by its unversioned name, from its folder.
  void* lib = dlopen(PF_BIN_DIR "/libdbfengine.so", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto number = reinterpret_cast<int32_t (*)()>(dlsym(lib, "dbe_VersionNumber"));
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number(), DBFENGINE_VERSION_NUMBER);
  dlclose(lib);
}

TEST(DbfSettings, LastUpdateIsTheHeadersDate) {
  TempDir dir;
  std::string bytes = dbfBytes({{"A", 'C', 1}}, {{"x"}});
  auto dateOf = [&](int yearsSince1900, int month, int day) {
    bytes[1] = static_cast<char>(yearsSince1900), bytes[2] = static_cast<char>(month);
    bytes[3] = static_cast<char>(day);
    writeFile(dir.file("d.dbf"), bytes);
    OpenTable t(dir.file("d.dbf"));
    return t.ok() ? str(dbe_LastUpdate()) : "<not open>";
  };
  EXPECT_EQ(dateOf(124, 5, 17), "20240517");
  EXPECT_EQ(dateOf(99, 12, 31), "19991231");
  EXPECT_EQ(dateOf(124, 2, 29), "20240229");
  EXPECT_EQ(dateOf(123, 2, 29), "") << "no such day";
  EXPECT_EQ(dateOf(124, 13, 1), "");
  EXPECT_EQ(dateOf(124, 4, 0), "");
  dbe_Select(0);
  EXPECT_EQ(str(dbe_LastUpdate()), "") << "closed area";
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
  EXPECT_EQ(dbe_SetEpoch(1950), 1950);
  EXPECT_EQ(dbe_Error(), DBE_E_OPEN);
  dbe_ClearError();
  EXPECT_EQ(dbe_Error(), DBE_OK);
  dbe_ErrorLevel(level);
}
