// Conversion of engine records into view buffers, field reads, FieldString,
// and tables scrambled with a password.
#include <gtest/gtest.h>

#include "TableTestSupport.h"
#include "table/DbfTable.h"

using namespace tabletest;

namespace {

class RecordTest : public ::testing::Test {
 protected:
  void OpenRows(const std::vector<std::vector<std::string>>& rows) {
    WriteDbf(dir.file("R.DBF"),
             {{"C5", 'C', 5},
              {"N4", 'N', 4},
              {"L", 'L', 1},
              {"D", 'D', 8},
              {"F", 'N', 8, 2},
              {"ADDR", 'C', 30}},
             rows);
    table.SetDatabasename(dir.path());
    table.SetTableName("R.DBF");
    table.Open();
  }
  TField* F(const char* name) { return table.FieldByName(name); }
  TempDir dir;
  TDbfTable table;
};

TEST_F(RecordTest, CharacterFieldLosesTrailingBlanksButFieldStringKeepsTheWidth) {
  OpenRows({{"12", "", "", "", "", ""}});
  EXPECT_EQ(F("C5")->AsBytes(), QByteArray("12"));
  EXPECT_EQ(table.FieldString("C5"), QByteArray("12   "));
  EXPECT_EQ(table.FieldString("c5"), QByteArray("12   "));  // names ignore case
  EXPECT_THROW(table.FieldString("NOPE"), EDatabaseError);
}

TEST_F(RecordTest, BlankCharacterHasAValueOtherBlanksHaveNone) {
  OpenRows({{"", "", "", "", "", ""}});
  EXPECT_FALSE(F("C5")->IsNull());
  EXPECT_EQ(F("C5")->AsBytes(), QByteArray());
  EXPECT_TRUE(F("N4")->IsNull());
  EXPECT_TRUE(F("L")->IsNull());
  EXPECT_TRUE(F("D")->IsNull());
  EXPECT_TRUE(F("F")->IsNull());
}

TEST_F(RecordTest, NumbersConvert) {
  OpenRows({{"", " -12", "", "", "  123.45", ""}, {"", "12x", "", "", "1,234.5", ""}});
  EXPECT_EQ(F("N4")->DataType(), ftSmallint);
  EXPECT_EQ(F("N4")->AsInteger(), -12);
  EXPECT_DOUBLE_EQ(F("F")->AsFloat(), 123.45);
  EXPECT_EQ(F("F")->AsBytes(), QByteArray("123.45"));
  table.Next();
  EXPECT_FALSE(F("N4")->IsNull());  // not an integer: a value of 0
  EXPECT_EQ(F("N4")->AsInteger(), 0);
  EXPECT_DOUBLE_EQ(F("F")->AsFloat(), 0.0);
}

TEST_F(RecordTest, NumbersAndLogicalsTrimBlanksOnly) {
  // Zero bytes are not blanks: such a field has a value (0 or false).
  OpenRows({{"", std::string("\0\0\0\0", 4), std::string(1, '\0'), "", std::string(8, '\0'), ""},
            {"", "  7 ", " ", "", " 1.5    ", ""}});
  EXPECT_FALSE(F("N4")->IsNull());
  EXPECT_EQ(F("N4")->AsInteger(), 0);
  EXPECT_FALSE(F("L")->IsNull());
  EXPECT_FALSE(F("L")->AsBoolean());
  EXPECT_FALSE(F("F")->IsNull());
  EXPECT_DOUBLE_EQ(F("F")->AsFloat(), 0.0);
  table.Next();
  EXPECT_EQ(F("N4")->AsInteger(), 7);
  EXPECT_TRUE(F("L")->IsNull());
  EXPECT_DOUBLE_EQ(F("F")->AsFloat(), 1.5);
}

TEST_F(RecordTest, BinaryIntegersReadInTheTablesByteOrder) {
  // Four bytes per value: little-endian in dBASE III and FoxPro tables,
  // big-endian with the sign bit flipped in dBASE 7 tables (version 0x04).
  const std::vector<int32_t> values{-7, 2000000000, 0, INT32_MIN, 1};
  auto little = [](int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    return std::string{char(u), char(u >> 8), char(u >> 16), char(u >> 24)};
  };
  auto dbase7 = [](int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v) ^ 0x80000000u;
    return std::string{char(u >> 24), char(u >> 16), char(u >> 8), char(u)};
  };
  struct Case {
    uint8_t version;
    std::string (*bytes)(int32_t);
  };
  for (const Case& c : {Case{0x03, +little}, Case{0x04, +dbase7}}) {
    std::vector<std::vector<std::string>> rows;
    for (int32_t v : values) rows.push_back({c.bytes(v), "x"});
    WriteDbf(dir.file("I.DBF"), {{"I", 'I', 4}, {"C", 'C', 1}}, rows, c.version);
    table.Close();
    table.SetDatabasename(dir.path());
    table.SetTableName("I.DBF");
    table.Open();
    ASSERT_EQ(F("I")->DataType(), ftInteger);
    std::vector<int32_t> read;
    for (table.GoTop(); !table.AtEnd(); table.Skip(1)) {
      EXPECT_FALSE(F("I")->IsNull());
      read.push_back(F("I")->AsInteger());
    }
    EXPECT_EQ(read, values) << "version " << int(c.version);
    EXPECT_EQ(F("C")->AsBytes(), QByteArray("x"));
  }
}

TEST_F(RecordTest, LogicalIsTrueOnlyForUpperCaseTOrY) {
  OpenRows({{"", "", "y", "", "", ""},
            {"", "", "Y", "", "", ""},
            {"", "", "T", "", "", ""},
            {"", "", "F", "", "", ""}});
  std::vector<bool> values;
  for (table.GoTop(); !table.AtEnd(); table.Skip(1)) values.push_back(F("L")->AsBoolean());
  EXPECT_EQ(values, (std::vector<bool>{false, true, true, false}));
}

TEST_F(RecordTest, DatesGiveDayCountsOrZero) {
  OpenRows({{"", "", "", "20240229", "", ""},
            {"", "", "", "20230229", "", ""},
            {"", "", "", "20240100", "", ""},
            {"", "", "", "18991230", "", ""}});
  auto* d = dynamic_cast<TDateField*>(F("D"));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->AsDate(), QDate(2024, 2, 29));
  EXPECT_EQ(d->AsBytes(), QByteArray("2024-02-29"));
  table.Next();
  EXPECT_FALSE(d->IsNull());
  EXPECT_EQ(d->Value(), 0);
  table.Next();
  EXPECT_FALSE(d->IsNull());
  EXPECT_EQ(d->Value(), 0);
  table.Next();
  EXPECT_EQ(d->Value(), 693594);
}

TEST_F(RecordTest, KoreanTextStaysCp949InBytesAndDecodesForDisplay) {
  OpenRows({{"", "", "", "", "", Cp949("서울특별시 강남구 역삼동")}});
  EXPECT_EQ(F("ADDR")->DisplayText(), QString::fromUtf8("서울특별시 강남구 역삼동"));
  EXPECT_EQ(table.FieldString("ADDR").size(), 30);
  EXPECT_EQ(platform::FromCp949(table.FieldString("ADDR").trimmed()),
            QString::fromUtf8("서울특별시 강남구 역삼동"));
}

TEST_F(RecordTest, ScrambledTableWithoutPasswordShowsAsterisks) {
  WriteNumbered(dir.file("PLAIN.DBF"), 5);
  const TDbfEngineApi& e = (TDbfEngine::Instance().EnsureEngineLoaded(), Dbe());
  ASSERT_NE(e.dbe_ScrambleTable, nullptr);
  ASSERT_TRUE(
      e.dbe_ScrambleTable(dir.file("PLAIN.DBF").c_str(), dir.file("S.DBF").c_str(), "qmvrt"));
  table.SetDatabasename(dir.path());
  table.SetTableName("S.DBF");
  table.SetReadOnly(true);
  table.Open();
  EXPECT_EQ(table.IsEncrypted(0), -1);
  EXPECT_EQ(F("NO")->AsBytes(), QByteArray("*****"));
  EXPECT_EQ(F("CITY")->AsBytes(), QByteArray(20, '*'));
  table.Close();
  table.SetPassword("qmvrt");
  table.Open();
  EXPECT_EQ(F("NO")->AsBytes(), QByteArray("1"));
  table.SetRecno(4);
  std::vector<char> raw(static_cast<size_t>(table.RecordSize()));
  table.ReadRecord(raw.data());
  EXPECT_EQ(std::string(raw.data() + 1, 5), "4    ");
}

TEST_F(RecordTest, CalculatedFieldsAreComputedIntoEachFetchedRow) {
  WriteNumbered(dir.file("T.DBF"), 10);
  table.SetDatabasename(dir.path());
  table.SetTableName("T.DBF");
  table.AddField(std::make_unique<TStringField>("NO", 5));
  TField* twice = table.AddField(std::make_unique<TIntegerField>("TWICE", fkCalculated));
  TField* no = table.FindField("NO");
  table.OnCalcFields = [&](TDataSet&) {
    const int32_t v = 2 * no->AsInteger();
    twice->SetData(&v);
  };
  table.RequestWindowRows(this, 4);
  table.Open();
  EXPECT_FALSE(table.DefaultFields());
  EXPECT_EQ(table.FieldCount(), 2);
  table.Skip(2);
  EXPECT_EQ(twice->AsInteger(), 6);
  EXPECT_EQ(table.CellText(0, twice), "2");
  EXPECT_THROW(twice->SetData(nullptr), EDatabaseError);  // only while calculating
}

TEST_F(RecordTest, FilterHandlerSeesEachRecordAndRejectsSome) {
  WriteNumbered(dir.file("T.DBF"), 10);
  table.SetDatabasename(dir.path());
  table.SetTableName("T.DBF");
  table.OnFilterRecord = [&](TDataSet& ds, bool& accept) {
    const int n = ds.FieldByName("NO")->AsInteger();
    if (n == 6) throw std::runtime_error("ignored");
    accept = n % 3 == 1;
  };
  table.Open();
  table.SetFiltered(true);  // with an empty filter: only the handler decides
  std::vector<int> seen;
  for (table.GoTop(); !table.AtEnd() && seen.size() < 20; table.Skip(1))
    seen.push_back(table.FieldByName("NO")->AsInteger());
  EXPECT_EQ(seen, (std::vector<int>{1, 4, 6, 7, 10}));
}

}  // namespace
