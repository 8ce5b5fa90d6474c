// A table written by python3-dbf (fixtures/make_fixtures.sh) read through
// TDbfTable: field kinds, conversions and CP949 text as another tool wrote them.
#include <gtest/gtest.h>

#include "TableTestSupport.h"
#include "table/DbfTable.h"

namespace {

TEST(PythonDbfFixture, FieldsConvertAsWritten) {
  TDbfTable table;
  table.SetDatabasename(PF_SOURCE_DIR "/tests/table/fixtures/");
  table.SetTableName("postal_cp949.dbf");
  table.SetReadOnly(true);
  table.Open();
  ASSERT_EQ(table.RecCount(), 3);
  EXPECT_EQ(table.FieldByName("SEQ")->DataType(), ftSmallint);
  EXPECT_EQ(table.FieldByName("AREA")->DataType(), ftFloat);
  EXPECT_EQ(table.FieldString("ZIPCODE"), QByteArray("135-080"));
  EXPECT_EQ(table.FieldString("DDD"), QByteArray("02  "));
  EXPECT_EQ(table.FieldByName("ETC")->DisplayText(), QString::fromUtf8("서울특별시 강남구 역삼동"));
  EXPECT_EQ(table.FieldByName("SEQ")->AsInteger(), 1);
  EXPECT_EQ(table.FieldByName("AREA")->AsBytes(), QByteArray("3.05"));
  EXPECT_EQ(dynamic_cast<TDateField*>(table.FieldByName("SINCE"))->AsDate(), QDate(1975, 10, 1));
  EXPECT_TRUE(table.FieldByName("OPEN")->AsBoolean());

  table.Next();
  EXPECT_EQ(table.FieldByName("SEQ")->AsInteger(), -12);
  EXPECT_EQ(dynamic_cast<TDateField*>(table.FieldByName("SINCE"))->AsDate(), QDate(2024, 2, 29));
  EXPECT_FALSE(table.FieldByName("OPEN")->AsBoolean());

  table.Next();  // python3-dbf writes blanks for absent numbers and dates, '?' for a logical
  EXPECT_TRUE(table.FieldByName("SEQ")->IsNull());
  EXPECT_TRUE(table.FieldByName("AREA")->IsNull());
  EXPECT_TRUE(table.FieldByName("SINCE")->IsNull());
  EXPECT_FALSE(table.FieldByName("OPEN")->IsNull());
  EXPECT_FALSE(table.FieldByName("OPEN")->AsBoolean());
  EXPECT_EQ(platform::FromCp949(table.FieldString("ETC").trimmed()),
            QString::fromUtf8("전라북도 완주군 삼례읍"));
}

}  // namespace
