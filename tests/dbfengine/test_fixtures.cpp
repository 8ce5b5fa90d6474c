// Tables written by other tools (fixtures/make_fixtures.sh): python3-dbf
// dBASE III and Visual FoxPro tables, a GDAL/OGR shapefile attribute table,
// all with CP949 Korean text, checked field by field.
#include <gtest/gtest.h>

#include "DbfTestSupport.h"

using namespace dbftest;

TEST(DbfFixtures, DbaseThreeFromPythonDbf) {
  OpenTable t(fixture("dbase3_cp949.dbf"));
  ASSERT_TRUE(t.ok()) << dbe_ErrorText();
  EXPECT_EQ(dbe_FieldCount(), 7);
  EXPECT_EQ(dbe_RecCount(), 5);
  EXPECT_EQ(dbe_RecSize(), 1 + 7 + 4 + 40 + 8 + 7 + 8 + 1);
  EXPECT_FALSE(dbe_IsEncrypted(0));
  EXPECT_EQ(str(dbe_FieldName(1)), "ZIPCODE");
  EXPECT_EQ(str(dbe_FieldName(7)), "CITY");
  EXPECT_EQ(str(dbe_FieldType("ADDR")), "C");
  EXPECT_EQ(str(dbe_FieldType("pop")), "N");
  EXPECT_EQ(str(dbe_FieldType("SINCE")), "D");
  EXPECT_EQ(str(dbe_FieldType("CITY")), "L");
  // Positions count from 1 with the deletion flag as position 1.
  EXPECT_EQ(dbe_FieldOffset("ZIPCODE"), 2);
  EXPECT_EQ(dbe_FieldOffset("DDD"), 9);
  EXPECT_EQ(dbe_FieldOffset("ADDR"), 13);
  EXPECT_EQ(dbe_FieldOffset("NOSUCH"), 0);
  EXPECT_EQ(dbe_FieldWidth("ADDR"), 40);
  EXPECT_EQ(dbe_FieldWidth("AREA"), 7);
  EXPECT_EQ(dbe_FieldDecimals("AREA"), 2);

  dbe_Go(1);
  // Position - 1 is the field's byte index in the raw record.
  std::string raw(static_cast<size_t>(dbe_RecSize()), '\0');
  dbe_GetRecord(raw.data());
  EXPECT_EQ(raw.substr(0, 1), " ");
  EXPECT_EQ(raw.substr(dbe_FieldOffset("ZIPCODE") - 1, 7), "135-080");
  EXPECT_EQ(raw.substr(dbe_FieldOffset("DDD") - 1, 4), "02  ");
  EXPECT_EQ(str(dbe_GetString("ZIPCODE")), "135-080");
  EXPECT_EQ(str(dbe_GetString("DDD")), "02  ");
  EXPECT_EQ(str(dbe_GetString("ADDR")), padded(cp949("서울특별시 강남구 역삼동"), 40));
  EXPECT_EQ(str(dbe_GetString("SINCE")), "19751001");
  EXPECT_EQ(str(dbe_GetString("CITY")), "T");
  EXPECT_DOUBLE_EQ(dbe_EvalNumeric("AREA"), 3.05);
  EXPECT_DOUBLE_EQ(dbe_EvalNumeric("POP"), 42000);
  EXPECT_EQ(str(dbe_EvalString("DTOS(SINCE)")), "19751001");
  EXPECT_TRUE(dbe_EvalLogical("CITY"));

  // The raw record: deletion flag, then the fields as stored.
  std::vector<char> buf(dbe_RecSize() + 8, '#');
  dbe_GetRecord(buf.data());
  EXPECT_EQ(buf[0], ' ');
  EXPECT_EQ(std::string(buf.data() + 1, 7), "135-080");
  EXPECT_EQ(std::string(buf.data() + 12, 40), padded(cp949("서울특별시 강남구 역삼동"), 40));
  EXPECT_EQ(buf[dbe_RecSize()], '#') << "nothing is written after the record";

  dbe_Go(3);  // deleted by the generator
  EXPECT_TRUE(dbe_Deleted());
  dbe_GetRecord(buf.data());
  EXPECT_EQ(buf[0], '*');
  EXPECT_EQ(str(dbe_GetString("ADDR")), padded(cp949("전라북도 완주군 삼례읍"), 40));
  EXPECT_FALSE(dbe_EvalLogical("CITY"));
  dbe_Go(4);
  EXPECT_EQ(str(dbe_GetString("ADDR")), padded(cp949("제주특별자치도 제주시 삼도일동"), 40));
  EXPECT_DOUBLE_EQ(dbe_EvalNumeric("AREA"), 1.2);
}

TEST(DbfFixtures, VisualFoxProFromPythonDbf) {
  OpenTable t(fixture("vfp_cp949.dbf"), 2);
  ASSERT_TRUE(t.ok()) << dbe_ErrorText();
  EXPECT_EQ(dbe_RecCount(), 3);
  EXPECT_EQ(dbe_FieldCount(), 9);
  EXPECT_EQ(str(dbe_FieldType("COUNT")), "I");
  EXPECT_EQ(str(dbe_FieldType("RATIO")), "B");
  EXPECT_EQ(str(dbe_FieldType("PRICE")), "Y");
  EXPECT_EQ(str(dbe_FieldType("SEEN")), "T");
  EXPECT_EQ(str(dbe_FieldType("NOTE")), "M");
  EXPECT_EQ(dbe_FieldWidth("COUNT"), 4);
  EXPECT_EQ(dbe_FieldWidth("RATIO"), 8);

  dbe_GoTop();
  EXPECT_EQ(str(dbe_GetString("NAME")), padded(cp949("가나다 상사"), 20));
  EXPECT_DOUBLE_EQ(dbe_EvalNumeric("QTY"), 12.5);
  EXPECT_DOUBLE_EQ(dbe_EvalNumeric("COUNT"), -7);
  EXPECT_EQ(str(dbe_GetString("COUNT")), "         -7");
  EXPECT_DOUBLE_EQ(dbe_EvalNumeric("RATIO"), 0.25);
  EXPECT_DOUBLE_EQ(dbe_EvalNumeric("PRICE"), 1234.5678);
  EXPECT_EQ(str(dbe_EvalString("DTOS(BORN)")), "20010203");
  EXPECT_EQ(str(dbe_EvalString("DTOS(SEEN)")), "20200506");
  EXPECT_TRUE(dbe_EvalLogical("OK"));
  EXPECT_TRUE(dbe_EvalLogical(cp949("\"다 상\" $ NAME").c_str()));

  dbe_Skip(1);
  EXPECT_EQ(dbe_RecNo(), 2);
  EXPECT_EQ(str(dbe_GetString("NAME")), padded(cp949("라마바"), 20));
  EXPECT_DOUBLE_EQ(dbe_EvalNumeric("COUNT"), 2000000000);
  EXPECT_DOUBLE_EQ(dbe_EvalNumeric("RATIO"), -1.5e10);
  EXPECT_DOUBLE_EQ(dbe_EvalNumeric("PRICE"), -2.5);
  EXPECT_EQ(str(dbe_EvalString("DTOS(SEEN)")), "19991231");
  EXPECT_FALSE(dbe_EvalLogical("OK"));

  dbe_Skip(1);
  EXPECT_TRUE(dbe_EvalLogical("EMPTY(BORN)"));
  EXPECT_TRUE(dbe_EvalLogical("EMPTY(COUNT)"));
  EXPECT_EQ(str(dbe_EvalString("TRIM(NAME)")), "English only");
}

TEST(DbfFixtures, ShapefileTableFromOgr2ogr) {
  OpenTable t(fixture("shape_cp949.dbf"));
  ASSERT_TRUE(t.ok()) << dbe_ErrorText();
  EXPECT_EQ(dbe_RecCount(), 3);
  EXPECT_EQ(dbe_FieldCount(), 4);
  EXPECT_EQ(str(dbe_FieldName(2)), "SIDO");
  EXPECT_EQ(dbe_FieldWidth("SIDO"), 80);
  dbe_GoTop();
  EXPECT_EQ(str(dbe_GetString("ZIPCODE")), padded("135080", 80));
  EXPECT_EQ(str(dbe_GetString("SIDO")), padded(cp949("서울특별시"), 80));
  dbe_GoBottom();
  EXPECT_EQ(dbe_RecNo(), 3);
  EXPECT_EQ(str(dbe_GetString("SIDO")), padded(cp949("제주특별자치도"), 80));
  EXPECT_EQ(str(dbe_GetString("DONG")), padded(cp949("삼도일동"), 80));
  // A query over Korean text finds exactly the matching rows.
  EXPECT_EQ(dbe_Query(cp949("\"해운대\" $ GUGUN").c_str()), 2);
  EXPECT_EQ(dbe_QueryRecCount(), 1);
}

namespace {
std::string memo(const char* field) {
  const int32_t n = dbe_GetMemo(field, nullptr, 0);
  if (n < 0) return "<error>";
  std::string out(static_cast<size_t>(n), '\0');
  EXPECT_EQ(dbe_GetMemo(field, out.data(), n), n);
  return out;
}
}  // namespace

TEST(DbfFixtures, MemoFieldsFromPythonDbf) {
  {
    OpenTable t(fixture("memo_cp949.dbf"), 4);
    ASSERT_TRUE(t.ok()) << dbe_ErrorText();
    dbe_GoTop();
    std::string expected;
    for (int i = 0; i < 40; ++i) expected += cp949("첫 번째 메모입니다. ");
    EXPECT_EQ(memo("BODY"), expected);
    // A short buffer gets the start; the answer is still the full length.
    char part[6] = {'#', '#', '#', '#', '#', '#'};
    EXPECT_EQ(dbe_GetMemo("BODY", part, 4), static_cast<int32_t>(expected.size()));
    EXPECT_EQ(std::string(part, 4), expected.substr(0, 4));
    EXPECT_EQ(part[4], '#');
    dbe_Skip(1);
    EXPECT_EQ(memo("BODY"), "");
    dbe_Skip(1);
    EXPECT_EQ(memo("BODY"), "short memo");
    dbe_Skip(1);
    EXPECT_EQ(dbe_GetMemo("BODY", nullptr, 0), 0) << "end of file";
    dbe_ClearError();
    EXPECT_EQ(dbe_GetMemo("CODE", nullptr, 0), -1);
    EXPECT_EQ(dbe_Error(), DBE_E_TYPE);
    EXPECT_EQ(dbe_GetMemo("NOPE", nullptr, 0), -1);
    EXPECT_EQ(dbe_GetMemo("BODY", nullptr, 5), -1);
  }
  {
    OpenTable t(fixture("vfp_cp949.dbf"), 2);
    dbe_GoTop();
    EXPECT_EQ(memo("NOTE"), cp949("메모 첫째"));
    dbe_Skip(1);
    EXPECT_EQ(memo("NOTE"), "memo two");
    dbe_Skip(1);
    EXPECT_EQ(memo("NOTE"), "");
  }
}

TEST(DbfFixtures, MissingOrDamagedMemoFile) {
  TempDir dir;
  writeFile(dir.file("m.dbf"), readFile(fixture("memo_cp949.dbf")));
  {
    dbe_ClearError();
    OpenTable t(dir.file("m.dbf"));
    ASSERT_TRUE(t.ok()) << "the table opens without its memo file";
    EXPECT_EQ(dbe_Error(), DBE_E_OPEN);
    dbe_GoTop();
    EXPECT_EQ(dbe_GetMemo("BODY", nullptr, 0), -1);
    EXPECT_EQ(str(dbe_GetString("CODE")), "A1  ");
  }
  std::string dbt = readFile(fixture("memo_cp949.dbt"));
  writeFile(dir.file("m.dbt"), dbt.substr(0, 600));  // cut inside the first memo
  {
    OpenTable t(dir.file("m.dbf"));
    dbe_GoTop();
    EXPECT_EQ(dbe_GetMemo("BODY", nullptr, 0), 600 - 512) << "text up to the end of the file";
    dbe_Go(3);
    dbe_ClearError();
    EXPECT_EQ(dbe_GetMemo("BODY", nullptr, 0), -1) << "block beyond the file";
    EXPECT_EQ(dbe_Error(), DBE_E_CORRUPT);
  }
}
