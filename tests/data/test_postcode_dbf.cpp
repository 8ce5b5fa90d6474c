// The table image: header, field descriptors, records.
#include <gtest/gtest.h>

#include <cstdint>

#include "PostcodeDbf.h"
#include "SourceText.h"

using postal::BuildPostcodeDbf;
using postal::ParseSourceCsv;

namespace {

uint32_t Le16(const std::string& b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8;
}
uint32_t Le32(const std::string& b, size_t at) {
  return Le16(b, at) | Le16(b, at + 2) << 16;
}

std::string Build(const std::string& csv) {
  postal::ConvertError e;
  auto rows = ParseSourceCsv(csv, &e);
  EXPECT_TRUE(rows.has_value()) << e.reason;
  auto table = BuildPostcodeDbf(*rows, &e);
  EXPECT_TRUE(table.has_value()) << e.reason;
  return table.value_or("");
}

}  // namespace

TEST(PostcodeDbf, HeaderAndFieldsOfDbaseIIIWithTheKoreanCodePage) {
  const std::string dbf = Build(SourceCsv({
      "135-806,서울,강남구,개포1동 경남아파트,,1",            // 29 bytes of ETC
      "135-807,서울,강남구,개포1동 우성3차아파트,(1∼6동),2",  // 42 bytes
  }));
  ASSERT_GE(dbf.size(), 129u);
  EXPECT_EQ(static_cast<uint8_t>(dbf[0]), 0x03);
  EXPECT_EQ(Le32(dbf, 4), 2u);
  EXPECT_EQ(Le16(dbf, 8), 129u);
  const uint32_t etcWidth =
      static_cast<uint32_t>(K("서울 강남구 개포1동 우성3차아파트 (1∼6동)").size());
  EXPECT_EQ(Le16(dbf, 10), 1 + 7 + 4 + etcWidth);
  EXPECT_EQ(static_cast<uint8_t>(dbf[29]), 0x79);
  const char* names[] = {"ZIPCODE", "DDD", "ETC"};
  const uint32_t widths[] = {7, 4, etcWidth};
  for (int i = 0; i < 3; ++i) {
    const std::string d = dbf.substr(32 + 32 * i, 32);
    EXPECT_EQ(std::string(d.c_str()), names[i]);
    EXPECT_EQ(d[11], 'C');
    EXPECT_EQ(static_cast<uint8_t>(d[16]), widths[i]);
    EXPECT_EQ(d[17], 0);
  }
  EXPECT_EQ(dbf[128], '\r');
  EXPECT_EQ(dbf.size(), 129 + 2 * Le16(dbf, 10) + 1);
  EXPECT_EQ(dbf.back(), '\x1A');
}

TEST(PostcodeDbf, RecordsJoinTheAddressPartsAndPadEveryField) {
  const std::string dbf = Build(SourceCsv({
      "339-700,세종,,조치원읍 교리,,2",
      "135-807,서울,강남구,개포1동 우성3차아파트,(1∼6동),1",
  }));
  const size_t size = Le16(dbf, 10), etcWidth = size - 12;
  const std::string first = dbf.substr(129, size), second = dbf.substr(129 + size, size);
  // SEQ order: the row numbered 1 comes first although it is the second line.
  std::string etc1 = K("서울 강남구 개포1동 우성3차아파트 (1∼6동)");
  EXPECT_EQ(first, " 135-80702  " + etc1);
  ASSERT_EQ(etc1.size(), etcWidth);
  // The empty GUGUN of 세종 leaves no double blank.
  std::string etc2 = K("세종 조치원읍 교리");
  EXPECT_EQ(second, " 339-700044 " + etc2 + std::string(etcWidth - etc2.size(), ' '));
}

TEST(PostcodeDbf, AnEmptyListMakesAnEmptyTable) {
  const std::string dbf = Build("ZIPCODE,SIDO,GUGUN,DONG,BUNJI,SEQ\r\n");
  EXPECT_EQ(Le32(dbf, 4), 0u);
  EXPECT_EQ(static_cast<uint8_t>(dbf[32 + 64 + 16]), 1u);  // ETC keeps one byte
  EXPECT_EQ(dbf.size(), 130u);
}

TEST(PostcodeDbf, AnAddressTooLongForACharacterFieldIsRefusedWithItsLine) {
  std::string dong(250, 'a');
  std::string row = "135-806," + K("서울") + "," + K("강남구") + "," + dong + ",,2\r\n";
  std::string csv = SourceCsv({"135-807,서울,강남구,개포1동,,1"}) + row;
  postal::ConvertError e;
  auto rows = ParseSourceCsv(csv, &e);
  ASSERT_TRUE(rows.has_value());
  EXPECT_FALSE(BuildPostcodeDbf(*rows, &e).has_value());
  EXPECT_EQ(e.line, 3);
}
