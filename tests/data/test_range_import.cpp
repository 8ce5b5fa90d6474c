// The table made from several range files: file order, the dialling code of
// the islands' zones across files, the fields' widths and the header. The
// files are written by hand in the published layout (RangeText.h).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Cp949Check.h"
#include "DbfReadback.h"
#include "RangeImport.h"
#include "RangeText.h"

namespace {

DbfImage Import(const std::vector<std::pair<std::string, std::string>>& files) {
  std::string error;
  auto image = postal::ImportRangeFiles(files, {2024, 7, 15}, &error);
  EXPECT_TRUE(image.has_value()) << error;
  const DbfImage t = ReadDbfImage(image.value_or(""));
  EXPECT_TRUE(t.wellFormed);
  return t;
}

const char* const kRoad1 =
    "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1";
const char* const kLot1 =
    "06234|서울특별시|Seoul|강남구|Gangnam-gu|역삼동|Yeoksam-dong||0|역삼1동|601||720|";

}  // namespace

TEST(RangeImport, FilesInTheOrderGivenRowsInFileOrder) {
  const DbfImage t = Import({
      {"lot.txt", RangeFileText({kLotColumns, kLot1}, RangeBytes::kCp949, "\r\n")},
      {"road.txt",
       RangeFileText({kRoadColumns, kRoad1,
                      "38541|경상북도|Gyeongsangbuk-do|경산시|Gyeongsan-si|||대학로|Daehak-ro|0|"
                      "280||||0"},
                     RangeBytes::kUtf8Bom)},
  });
  ASSERT_EQ(t.records.size(), 3u);
  // Dated as asked, the Korean code page, ETC at least 83 bytes, ENG as wide
  // as the longest English address.
  EXPECT_EQ(t.year * 10000 + t.month * 100 + t.day, 20240715);
  EXPECT_EQ(t.codePage, 0x79u);
  // ENG: the 45 bytes of "280 Daehak-ro, Gyeongsan-si, Gyeongsangbuk-do".
  EXPECT_EQ(t.Layout(), "ZIPCODE:7 DDD:4 ETC:83 ENG:45");
  EXPECT_EQ(t.Row(0), "06234|02|서울특별시 강남구 역삼동 601∼720 (역삼1동)|");
  EXPECT_EQ(t.Row(1),
            "06236|02|서울특별시 강남구 테헤란로 101∼151 (홀수)|101∼151 (odd) Teheran-ro, "
            "Gangnam-gu, Seoul");
  EXPECT_EQ(t.Row(2),
            "38541|053|경상북도 경산시 대학로 280|280 Daehak-ro, Gyeongsan-si, Gyeongsangbuk-do");
}

TEST(RangeImport, TheFieldWidensToTheLongestAddress) {
  const std::string name(100, 'R');
  const std::string row =
      "06236|서울특별시|Seoul|강남구|Gangnam-gu|||" + name + "|Teheran-ro|0|101||151||1";
  const DbfImage t = Import({{"road.txt", RangeFileText({kRoadColumns, kRoad1, row.c_str()})}});
  const size_t longest =
      postal::Cp949FromUtf8("서울특별시 강남구 " + name + " 101∼151 (홀수)").size();
  ASSERT_EQ(t.fields.size(), 4u);
  EXPECT_EQ(t.fields[2].width, longest);
  EXPECT_EQ(t.recordSize, 1 + 7 + 4 + longest + t.fields[3].width);
  EXPECT_EQ(t.records[1][2], "서울특별시 강남구 " + name + " 101∼151 (홀수)");
}

TEST(RangeImport, EveryRowOfAnIslandZoneDialsThroughIncheon) {
  // Zone 15654 has a lot row in 대부북동 (second file); its road row in the
  // first file dials 032 too. Zone 15600 of the same district keeps 031.
  const DbfImage t = Import({
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
  ASSERT_EQ(t.records.size(), 4u);
  std::vector<std::string> codes;
  for (const auto& r : t.records) codes.push_back(r[0] + " " + r[1]);
  EXPECT_EQ(codes, (std::vector<std::string>{"15654 032", "15600 031", "15600 031", "15654 032"}));
}

TEST(RangeImport, AFaultInAnyFileNamesItsFileAndLine) {
  std::string error;
  const auto image = postal::ImportRangeFiles(
      {{"road.txt", RangeFileText({kRoadColumns, kRoad1})},
       {"lot.txt", RangeFileText({kLotColumns, kLot1, "0623|서울특별시|||||||||1|||"})}},
      {2024, 1, 1}, &error);
  EXPECT_FALSE(image.has_value());
  EXPECT_EQ(error, "lot.txt:3: 구역번호 \"0623\": not a five-digit zone number");
  EXPECT_FALSE(postal::ImportRangeFiles({{"empty.txt", ""}}, {2024, 1, 1}, &error));
  EXPECT_EQ(error, "empty.txt:1: empty file: neither column names nor rows");
}
