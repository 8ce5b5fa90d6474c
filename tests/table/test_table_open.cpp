// Opening and closing TDbfTable: paths, aliases, field definitions, property
// checks and error texts, on tables written by the test itself.
#include <gtest/gtest.h>

#include <QDir>
#include <filesystem>
#include <fstream>

#include "TableTestSupport.h"
#include "table/DbfEnv.h"
#include "table/DbfTable.h"

using namespace tabletest;

namespace {

class OpenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteNumbered(dir.file("POSTCODE.DBF"), 20);
    table.SetName("Table1");
    table.Loaded();
  }
  void Use(TDbfTable& t, const QString& name) {
    t.SetDatabasename(dir.path() + "/");
    t.SetTableName(name);
    t.SetReadOnly(true);
  }
  TempDir dir;
  TDbfTable table;
};

TEST_F(OpenTest, AliasesFollowTheFileNameAndAvoidThoseInUse) {
  Use(table, "POSTCODE.DBF");
  table.Open();
  EXPECT_TRUE(table.Active());
  EXPECT_EQ(table.Alias(), "POSTCODE");
  EXPECT_EQ(table.TablePath(), dir.path() + "/POSTCODE.DBF");
  TDbfTable second, third;
  Use(second, "POSTCODE.DBF");
  Use(third, "POSTCODE.DBF");
  second.Open();
  third.Open();
  EXPECT_EQ(second.Alias(), "POSTCOD1");
  EXPECT_EQ(third.Alias(), "POSTCOD2");
  EXPECT_EQ(second.RecCount(), 20);
  EXPECT_EQ(table.MakeAlias("my-file2.dbf"), "MY_FILE_");
  EXPECT_EQ(table.MakeAlias("/x/y/abc.def.dbf"), "ABC");
}

TEST_F(OpenTest, NameWithoutExtensionIsFoundWithDbfAppended) {
  Use(table, "POSTCODE");
  table.Open();
  EXPECT_TRUE(table.Active());
  EXPECT_EQ(table.RecCount(), 20);
}

TEST_F(OpenTest, TableNameWithDirectoryWinsOverDatabasename) {
  table.SetDatabasename("/nonexistent/");
  table.SetTableName(dir.path() + "/POSTCODE.DBF");
  table.Open();
  EXPECT_EQ(table.TableDirectory(), dir.path() + "/");
}

TEST_F(OpenTest, DatabaseAliasNamesItsFolder) {
  TDbfDatabase db;
  db.DataPathAlias = "PostData";
  db.DataPath = dir.path();
  table.SetDatabasename("POSTDATA");
  table.SetTableName("POSTCODE.DBF");
  table.Open();
  EXPECT_EQ(table.TableDirectory(), dir.path() + "/");
}

TEST_F(OpenTest, UnknownDatabasenameRaises) {
  table.SetDatabasename("NOSUCHALIAS");
  table.SetTableName("POSTCODE.DBF");
  try {
    table.Open();
    FAIL();
  } catch (const EDbfTableError& e) {
    EXPECT_EQ(e.Message(), "Invalid DatabaseName value : NOSUCHALIAS");
    EXPECT_EQ(table.LastError(), e.Message());
  }
  EXPECT_FALSE(table.Active());
}

TEST_F(OpenTest, MissingFileRaisesAndStaysClosed) {
  Use(table, "NOFILE.DBF");
  try {
    table.Open();
    FAIL();
  } catch (const EDbfTableError& e) {
    EXPECT_EQ(e.Message(),
              "Table, file or directory does not exist.\rFile: " + dir.path() + "/NOFILE.DBF");
  }
  EXPECT_FALSE(table.Active());
  EXPECT_EQ(table.WorkArea(), 0);
}

TEST_F(OpenTest, MissingTableNameRaisesWithTheComponentName) {
  table.SetDatabasename(dir.path());
  try {
    table.Open();
    FAIL();
  } catch (const EDbfTableError& e) {
    EXPECT_EQ(e.Message(), "Table1 : Missing TableName property");
  }
}

TEST_F(OpenTest, EngineRefusalSaysWhyTheTableCannotBeOpened) {
  const std::string good = [&] {
    std::ifstream in(dir.file("POSTCODE.DBF"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  std::string widths = good;
  widths[10] = 7;  // the record size no longer adds up from the field widths
  const struct {
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"not a table", "The file is not a DBF table."},
      {good.substr(0, 60), "The file is truncated: it ends inside the table header."},
      {widths, "The field list of the table header is inconsistent."},
  };
  for (const auto& c : cases) {
    { std::ofstream(dir.file("BROKEN.DBF"), std::ios::binary) << c.bytes; }
    Use(table, "BROKEN.DBF");
    try {
      table.Open();
      ADD_FAILURE() << c.reason;
    } catch (const EDbfTableError& e) {
      EXPECT_EQ(e.Message(), "Unable to open table: " + dir.path() + "/BROKEN.DBF\r" + c.reason);
    }
    EXPECT_FALSE(table.Active());
  }
  // Held exclusively by another table (or program): locked.
  TDbfTable holder;
  Use(holder, "POSTCODE.DBF");
  holder.SetReadOnly(false);
  holder.SetExclusive(true);
  holder.Open();
  Use(table, "POSTCODE.DBF");
  try {
    table.Open();
    ADD_FAILURE() << "opened beside an exclusive open";
  } catch (const EDbfTableError& e) {
    EXPECT_EQ(e.Message(), "Unable to open table: " + dir.path() +
                               "/POSTCODE.DBF\rThe table is locked by another program.");
  }
  holder.Close();
  table.Open();  // the component is usable afterwards
  EXPECT_TRUE(table.Active());
  EXPECT_EQ(table.HeaderRecCount(), 20);
}

TEST_F(OpenTest, ATableCutInsideItsRecordsOpensWithThoseComplete) {
  const std::string path = dir.file("POSTCODE.DBF");
  const auto size = std::filesystem::file_size(path);
  const int recordSize = 1 + 5 + 10 + 20;
  std::filesystem::resize_file(path, size - 1 - 5 * recordSize - 7);  // 14 whole records left
  Use(table, "POSTCODE.DBF");
  table.Open();
  EXPECT_EQ(table.RecCount(), 14);
  EXPECT_EQ(table.HeaderRecCount(), 20);
  table.Close();
  EXPECT_EQ(table.HeaderRecCount(), 0);
}

TEST_F(OpenTest, PropertiesRefusedWhileOpen) {
  Use(table, "POSTCODE.DBF");
  table.Open();
  const auto expectError = [&](auto&& call, const char* text) {
    try {
      call();
      ADD_FAILURE() << text;
    } catch (const EDbfTableError& e) {
      EXPECT_EQ(e.Message(), text);
    }
  };
  expectError([&] { table.SetTableName("OTHER.DBF"); },
              "Cannot perform this operation on an open table");
  EXPECT_EQ(table.TableName(), "POSTCODE.DBF");
  EXPECT_EQ(table.LastError(), "Cannot perform this operation on an open table");
  expectError([&] { table.SetReadOnly(false); }, "Cannot perform this operation on an open table");
  expectError([&] { table.SetExclusive(true); }, "Cannot perform this operation on an open table");
  expectError([&] { table.SetCommitLevel(clFull); },
              "Cannot change the commit level while the table is opened");
  expectError([&] { table.SetAccessMethod(amServer); },
              "Cannot change data access method while table is open");
  table.SetReadOnly(true);  // unchanged values pass
  table.SetTableName("POSTCODE.DBF");
  // FetchCount refuses without becoming the last error.
  table.SetCountNeedsRefresh(true);
  expectError([&] { table.SetFetchCount(5); }, "Cannot perform this operation on an open table");
  EXPECT_EQ(table.LastError(), "Cannot change data access method while table is open");
  table.Close();
  table.SetFetchCount(0);
  EXPECT_EQ(table.FetchCount(), 1);
}

TEST_F(OpenTest, ClosingTwiceIsHarmlessAndClosedTableRefusesStructureCalls) {
  Use(table, "POSTCODE.DBF");
  table.Open();
  EXPECT_EQ(table.IsEncrypted(0), 0);
  EXPECT_EQ(table.RecordSize(), 36);
  table.Close();
  table.Close();
  EXPECT_FALSE(table.Active());
  EXPECT_THROW(table.IsEncrypted(0), EDbfTableError);
  try {
    table.RecordSize();
    FAIL();
  } catch (const EDbfTableError& e) {
    EXPECT_EQ(e.Message(), "Cannot perform this operation on a closed table");
  }
  table.Open();  // and opens again
  EXPECT_EQ(table.RecCount(), 20);
}

TEST_F(OpenTest, FieldDefinitionsFollowTheTypeLetters) {
  WriteDbf(dir.file("KINDS.DBF"),
           {{"C1", 'C', 7},
            {"N4", 'N', 4},
            {"N5", 'N', 5},
            {"N31", 'N', 3, 1},
            {"D", 'D', 8},
            {"L", 'L', 1},
            {"M", 'M', 10},
            {"Y", 'Y', 8},
            {"F", 'F', 6, 2}},
           {{"a", "1", "2", "3", "20240101", "T", "", "", "1.5"}});
  Use(table, "KINDS.DBF");
  table.Open();
  const TFieldDefs& defs = table.FieldDefs();
  ASSERT_EQ(defs.Count(), 7);  // Y and F get no definition
  EXPECT_EQ(defs.Find("C1")->DataType, ftString);
  EXPECT_EQ(defs.Find("C1")->Size, 7);
  EXPECT_EQ(defs.Find("N4")->DataType, ftSmallint);
  EXPECT_EQ(defs.Find("N5")->DataType, ftFloat);
  EXPECT_EQ(defs.Find("N31")->DataType, ftFloat);
  EXPECT_EQ(defs.Find("D")->DataType, ftDate);
  EXPECT_EQ(defs.Find("L")->DataType, ftBoolean);
  EXPECT_EQ(defs.Find("M")->DataType, ftMemo);
  EXPECT_EQ(defs.Find("M")->FieldNo, 7);
  // The layout list keeps every engine field, in engine order.
  ASSERT_EQ(table.FieldInfos().size(), 9u);
  EXPECT_EQ(table.FieldInfos()[0].Offset, 1);
  EXPECT_EQ(table.FieldInfos()[1].Offset, 8);
  EXPECT_EQ(table.FieldInfos()[3].Decimals, 1);
  auto* n31 = dynamic_cast<TFloatField*>(table.FieldByName("N31"));
  ASSERT_NE(n31, nullptr);
  EXPECT_EQ(n31->DisplayFormat(), "0.0");
  EXPECT_EQ(n31->Precision(), 4);
  EXPECT_EQ(dynamic_cast<TFloatField*>(table.FieldByName("N5"))->DisplayFormat(), "0");
}

TEST_F(OpenTest, FieldDefinitionsRebuiltWhileOpenKeepTheRowsReadable) {
  Use(table, "POSTCODE.DBF");
  table.Open();
  table.SetRecno(7);
  ASSERT_EQ(table.FieldByName("NAME")->AsBytes(), QByteArray("K999993"));
  // A change of table type on an open table rebuilds the definitions; the
  // rows fetched afterwards must still read each field from its own place.
  table.SetTableType(ttMTX);
  table.SetRecno(8);
  EXPECT_EQ(table.FieldByName("NO")->AsBytes(), QByteArray("8"));
  EXPECT_EQ(table.FieldByName("NAME")->AsBytes(), QByteArray("K999992"));
  EXPECT_EQ(table.FieldString("CITY"), QByteArray(Cp949("서울 강남구").c_str()).leftJustified(20));
  table.Close();
}

TEST_F(OpenTest, FieldDefinitionsOutsideAnOpenLeaveNoWorkArea) {
  Use(table, "POSTCODE.DBF");
  table.UpdateFieldDefs();
  EXPECT_EQ(table.FieldDefs().Count(), 3);
  EXPECT_EQ(table.WorkArea(), 0);
}

TEST_F(OpenTest, ServerAccessIsNotSupported) {
  Use(table, "POSTCODE.DBF");
  table.SetAccessMethod(amServer);
  try {
    table.Open();
    FAIL();
  } catch (const EDbfTableError& e) {
    EXPECT_TRUE(e.Message().contains("not supported"));
  }
  EXPECT_FALSE(table.Active());
}

TEST_F(OpenTest, VersionNamesEngineAndComponent) {
  EXPECT_TRUE(table.Version().contains(", DbfTable 1.0, "));
  EXPECT_TRUE(table.Version().startsWith("dbfengine"));
}

TEST_F(OpenTest, ProductionIndexGivesIndexDefinitions) {
  ASSERT_TRUE(MakeIndex(dir.file("POSTCODE.DBF"), dir.file("POSTCODE.MTX"), "BYNAME", "NAME"));
  Use(table, "POSTCODE.DBF");
  table.SetTableType(ttMTX);
  table.Open();
  ASSERT_EQ(table.IndexDefs().Count(), 1);
  EXPECT_EQ(table.IndexDefs().Items(0).Name, "BYNAME");
  EXPECT_EQ(table.IndexDefs().Items(0).Fields, "NAME");
  EXPECT_EQ(table.IndexDefs().Items(0).Source, "POSTCODE.MTX");
  EXPECT_EQ(table.CurrentOrder(), 0);
  table.SetIndexName("BYNAME");
  EXPECT_EQ(table.CurrentOrder(), 1);
  EXPECT_EQ(table.Recno(), 1);  // the view stays on its record
  table.GoTop();
  EXPECT_EQ(table.Recno(), 20);  // the keys descend with the record numbers
  try {
    table.SetIndexName("NOSUCHTAG");
    FAIL();
  } catch (const EDbfTableError& e) {
    EXPECT_EQ(e.Message(), "Invalid IndexName value : NOSUCHTAG");
  }
}

TEST_F(OpenTest, ExtraIndexesOpenAfterTheProductionIndexAndTheFirstBecomesTheOrder) {
  // NO holds the record number as text, so its order is 1, 10..19, 2, 20, 3..9.
  ASSERT_TRUE(MakeIndex(dir.file("POSTCODE.DBF"), dir.file("POSTCODE.MTX"), "BYNAME", "NAME"));
  ASSERT_TRUE(MakeIndex(dir.file("POSTCODE.DBF"), dir.file("BYNO.MTX"), "BYNO", "NO"));
  const std::vector<int> byNo{1,  10, 11, 12, 13, 14, 15, 16, 17, 18,
                              19, 2,  20, 3,  4,  5,  6,  7,  8,  9};
  auto walk = [this] {
    std::vector<int> recnos;
    for (table.GoTop(); !table.AtEnd() && recnos.size() < 100; table.Skip(1))
      recnos.push_back(table.Recno());
    return recnos;
  };
  Use(table, "POSTCODE.DBF");
  table.SetTableType(ttMTX);
  table.SetExtraIndexes({"BYNO"});  // the table's folder and .MTX added
  table.Open();
  ASSERT_EQ(table.IndexDefs().Count(), 2);
  EXPECT_EQ(table.IndexDefs().Items(0).Name, "BYNAME");
  EXPECT_EQ(table.IndexDefs().Items(1).Name, "BYNO");
  EXPECT_EQ(table.IndexDefs().Items(1).Source, "BYNO.MTX");
  EXPECT_EQ(table.CurrentOrder(), 2);
  EXPECT_EQ(table.IndexName(), "BYNO");
  EXPECT_EQ(walk(), byNo);

  // Set on an open table, with a folder and an extension: opened at once;
  // the order in force (BYNAME) is kept.
  table.SetIndexName("BYNAME");
  table.SetExtraIndexes({dir.path() + "/BYNO.MTX"});
  EXPECT_EQ(table.IndexDefs().Count(), 2);
  EXPECT_EQ(table.CurrentOrder(), 1);
  EXPECT_EQ(walk().front(), 20);  // BYNAME: the keys descend with the record numbers
  table.SetIndexName("BYNO");
  EXPECT_EQ(table.CurrentOrder(), 2);
  EXPECT_EQ(walk(), byNo);
}

TEST_F(OpenTest, MissingExtraIndexRaises) {
  Use(table, "POSTCODE.DBF");
  table.SetTableType(ttMTX);
  table.SetExtraIndexes({"NOSUCH"});
  try {
    table.Open();
    FAIL();
  } catch (const EDbfTableError& e) {
    EXPECT_EQ(e.Message(), "Invalid IndexName value : NOSUCH");
  }
  EXPECT_FALSE(table.Active());
  EXPECT_EQ(table.WorkArea(), 0);
}

}  // namespace

namespace {

TEST_F(OpenTest, EnvironmentWithItsOwnErrorHandlerSkipsTheComponentsChecks) {
  {
    TDbfEnv env;
    env.ErrorFunc = 0;
    Use(table, "NOFILE.DBF");
    try {
      table.Open();
      FAIL();
    } catch (const EDbfTableError& e) {  // the engine's refusal, not the existence check
      EXPECT_EQ(e.Message(),
                "Unable to open table: " + dir.path() + "/NOFILE.DBF\rThe file does not exist.");
    }
  }
  // A table that never met an environment keeps its own check.
  TDbfTable other;
  Use(other, "NOFILE.DBF");
  EXPECT_THROW(other.Open(), EDbfTableError);
  EXPECT_TRUE(other.LastError().startsWith("Table, file or directory does not exist."));
}

TEST_F(OpenTest, SettingsApplyToAnOpenTable) {
  Use(table, "POSTCODE.DBF");
  table.Open();
  table.SetRecno(7);
  table.SetOEMTranslate(true);
  table.SetReadCache(true);
  table.SetPassword("");
  EXPECT_EQ(table.Recno(), 7);
  EXPECT_TRUE(table.OEMTranslate());
  EXPECT_FALSE(table.CanModify());
}

}  // namespace
