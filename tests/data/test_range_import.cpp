// The table made from several range files: file order, the dialling code of
// the islands' zones across files, the address field's width and the header.
// The files are written by hand in the published layout (RangeText.h).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Cp949Check.h"
#include "RangeImport.h"
#include "RangeText.h"

namespace {

struct Table {
  std::string image;
  size_t recordSize = 0, etcWidth = 0, count = 0;
  // ZIPCODE|DDD|ETC of record i (0-based), blanks kept, ETC in UTF-8.
  std::string Record(size_t i) const {
    const std::string r = image.substr(129 + i * recordSize, recordSize);
    return r.substr(1, 7) + "|" + r.substr(8, 4) + "|" + postal::Utf8FromCp949(r.substr(12));
  }
};

Table Import(const std::vector<std::pair<std::string, std::string>>& files) {
  std::string error;
  auto image = postal::ImportRangeFiles(files, {2024, 7, 15}, &error);
  EXPECT_TRUE(image.has_value()) << error;
  Table t;
  t.image = image.value_or(std::string(130, '\0'));
  auto u8 = [&](size_t at) { return static_cast<uint8_t>(t.image[at]); };
  t.count = u8(4) | u8(5) << 8 | u8(6) << 16 | size_t{u8(7)} << 24;
  t.recordSize = u8(10) | u8(11) << 8;
  t.etcWidth = u8(32 + 64 + 16);
  return t;
}

const char* const kRoad1 =
    "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1";
const char* const kLot1 =
    "06234|서울특별시|Seoul|강남구|Gangnam-gu|역삼동|Yeoksam-dong||0|역삼1동|601||720|";

}  // namespace

TEST(RangeImport, FilesInTheOrderGivenRowsInFileOrder) {
  const Table t = Import({
      {"lot.txt", RangeFileText({kLotColumns, kLot1}, RangeBytes::kCp949, "\r\n")},
      {"road.txt",
       RangeFileText({kRoadColumns, kRoad1,
                      "38541|경상북도|Gyeongbuk|경산시|Gyeongsan-si|||대학로|Daehak-ro|0|280||||0"},
                     RangeBytes::kUtf8Bom)},
  });
  ASSERT_EQ(t.count, 3u);
  // dBASE III, the Korean code page, dated as asked, ETC at least 83 bytes.
  EXPECT_EQ(t.image[0], '\x03');
  EXPECT_EQ(t.image.substr(1, 3), std::string("\x7C\x07\x0F", 3));
  EXPECT_EQ(static_cast<uint8_t>(t.image[29]), 0x79);
  EXPECT_EQ(t.etcWidth, 83u);
  EXPECT_EQ(t.recordSize, 1u + 7 + 4 + 83);
  EXPECT_EQ(t.image.size(), 129 + 3 * t.recordSize + 1);
  EXPECT_EQ(t.Record(0).substr(0, 13), "06234  |02  |");
  EXPECT_EQ(t.Record(1).substr(0, 13), "06236  |02  |");
  EXPECT_EQ(t.Record(2).substr(0, 13), "38541  |053 |");
  EXPECT_EQ(t.Record(2).substr(13, t.Record(2).find_last_not_of(' ') - 12),
            "경상북도 경산시 대학로 280");
}

TEST(RangeImport, TheFieldWidensToTheLongestAddress) {
  const std::string name(100, 'R');
  const std::string row =
      "06236|서울특별시|Seoul|강남구|Gangnam-gu|||" + name + "|Teheran-ro|0|101||151||1";
  const Table t = Import({{"road.txt", RangeFileText({kRoadColumns, kRoad1, row.c_str()})}});
  const size_t longest =
      postal::Cp949FromUtf8("서울특별시 강남구 " + name + " 101∼151 (홀수)").size();
  EXPECT_EQ(t.etcWidth, longest);
  EXPECT_EQ(t.recordSize, 1 + 7 + 4 + longest);
  EXPECT_EQ(t.Record(1), "06236  |02  |서울특별시 강남구 " + name + " 101∼151 (홀수)");
}

TEST(RangeImport, EveryRowOfAnIslandZoneDialsThroughIncheon) {
  // Zone 15654 has a lot row in 대부북동 (second file); its road row in the
  // first file dials 032 too. Zone 15600 of the same district keeps 031.
  const Table t = Import({
      {"road.txt",
       RangeFileText(
           {kRoadColumns,
            "15654|경기도|Gyeonggi-do|안산시 단원구|Danwon-gu|||대부황금로|Daebuhwanggeum-ro|"
            "0|1||99||1",
            "15600|경기도|Gyeonggi-do|안산시 단원구|Danwon-gu|||고잔로|Gojan-ro|0|1||99||1"})},
      {"lot.txt",
       RangeFileText(
           {kLotColumns,
            "15600|경기도|Gyeonggi-do|안산시 단원구|Danwon-gu|고잔동|Gojan-dong||0||1||50|",
            "15654|경기도|Gyeonggi-do|안산시 단원구|Danwon-gu|대부북동|Daebubuk-dong||0||1||50|"},
           RangeBytes::kCp949)},
  });
  ASSERT_EQ(t.count, 4u);
  EXPECT_EQ(t.Record(0).substr(0, 13), "15654  |032 |");
  EXPECT_EQ(t.Record(1).substr(0, 13), "15600  |031 |");
  EXPECT_EQ(t.Record(2).substr(0, 13), "15600  |031 |");
  EXPECT_EQ(t.Record(3).substr(0, 13), "15654  |032 |");
}

TEST(RangeImport, AFaultInAnyFileNamesItsFileAndLine) {
  std::string error;
  const auto image = postal::ImportRangeFiles(
      {{"road.txt", RangeFileText({kRoadColumns, kRoad1})},
       {"lot.txt", RangeFileText({kLotColumns, kLot1, "0623|서울특별시|||||||||1|||"})}},
      {2024, 1, 1}, &error);
  EXPECT_FALSE(image.has_value());
  EXPECT_EQ(error, "lot.txt:3: 우편번호 \"0623\": not a five-digit zone number");
  EXPECT_FALSE(postal::ImportRangeFiles({{"empty.txt", ""}}, {2024, 1, 1}, &error));
  EXPECT_EQ(error, "empty.txt:1: empty file: neither column names nor rows");
}
