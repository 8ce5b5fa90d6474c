// Range files of five-digit zone numbers, one file at a time: the addresses
// and dialling codes their rows make, the encodings and line ends they come
// in, and every kind of bad row with its line. The files are written by hand
// in the published layout (RangeText.h).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Cp949Check.h"
#include "DialCode.h"
#include "RangeFile.h"
#include "RangeText.h"

using postal::RangeKind;

namespace {

struct Row {
  std::string zipcode, ddd, etc;  // etc in UTF-8, without padding
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Row& r) {
  return os << r.zipcode << "|" << r.ddd << "|" << r.etc;
}

std::vector<Row> Rows(const postal::RangeFile& file) {
  std::vector<Row> rows;
  for (const auto& r : file.records)
    rows.push_back({r.zipcode, r.ddd, postal::Utf8FromCp949(r.etc)});
  return rows;
}

postal::RangeFile Parse(const std::string& bytes) {
  postal::ConvertError e;
  auto file = postal::ParseRangeFile(bytes, &e);
  EXPECT_TRUE(file.has_value()) << e.line << ": " << e.reason;
  return file.value_or(postal::RangeFile{});
}

postal::ConvertError Fault(const std::string& bytes) {
  postal::ConvertError e;
  EXPECT_FALSE(postal::ParseRangeFile(bytes, &e).has_value()) << "accepted";
  return e;
}

}  // namespace

TEST(RangeFile, RoadRowsMakeTheAddressesOfTheLayout) {
  const auto file = Parse(RangeFileText({
      kRoadColumns,
      "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1",
      "30100|세종특별자치시|Sejong|||||한누리대로|Hannuri-daero|0|2|1|20|3|2",
      "24341|강원특별자치도|Gangwon|춘천시|Chuncheon-si|||중앙로|Jungang-ro|1|12||30||2",
      "38541|경상북도|Gyeongbuk|경산시|Gyeongsan-si|||대학로|Daehak-ro|0|280||||0",
      // 범위종류 3: every number, no (홀수)/(짝수); a sub-number of 0 is left out.
      "12345|경기도|Gyeonggi|양평군|Yangpyeong-gun|양평읍|Yangpyeong-eup|시장길|Sijang-gil|0|5|0|"
      "9|0|3",
      // 범위종류 0 names one address even when an end is given.
      "12346|경기도|Gyeonggi|양평군|Yangpyeong-gun|양평읍|Yangpyeong-eup|시장길|Sijang-gil|0|7|2|"
      "9||0",
      // A range whose end equals its start, and a leading zero.
      "12347|경기도|Gyeonggi|양평군|Yangpyeong-gun|||양평로|Yangpyeong-ro|1|0044||44||1",
  }));
  EXPECT_EQ(file.info.kind, RangeKind::kRoad);
  EXPECT_TRUE(file.info.hasColumnNames);
  EXPECT_EQ(Rows(file), (std::vector<Row>{
                            {"06236", "02", "서울특별시 강남구 테헤란로 101∼151 (홀수)"},
                            {"30100", "044", "세종특별자치시 한누리대로 2-1∼20-3 (짝수)"},
                            {"24341", "033", "강원특별자치도 춘천시 중앙로 지하 12∼30 (짝수)"},
                            {"38541", "053", "경상북도 경산시 대학로 280"},
                            {"12345", "031", "경기도 양평군 양평읍 시장길 5∼9"},
                            {"12346", "031", "경기도 양평군 양평읍 시장길 7-2"},
                            {"12347", "031", "경기도 양평군 양평로 지하 44 (홀수)"},
                        }));
}

TEST(RangeFile, LotRowsMakeTheAddressesOfTheLayout) {
  const auto file = Parse(RangeFileText({
      kLotColumns,
      "06234|서울특별시|Seoul|강남구|Gangnam-gu|역삼동|Yeoksam-dong||0|역삼1동|601||720|",
      "12500|경기도|Gyeonggi-do|양평군|Yangpyeong-gun|양평읍|Yangpyeong-eup|백안리|1||1||30|",
      "43100|대구광역시|Daegu|군위군|Gunwi-gun|군위읍|Gunwi-eup|동부리|0|군위읍|33||33|",
      // 산 with sub-numbers at both ends; 행정동명 equal to 읍면동명 is left out.
      "06235|서울특별시|Seoul|강남구|Gangnam-gu|역삼동|Yeoksam-dong||1|역삼동|12|3|15|1",
      // No end at all; 세종 without 시군구명.
      "30000|세종특별자치시|Sejong|||조치원읍|Jochiwon-eup|신안리|0||7|||",
  }));
  EXPECT_EQ(file.info.kind, RangeKind::kLot);
  EXPECT_EQ(Rows(file), (std::vector<Row>{
                            {"06234", "02", "서울특별시 강남구 역삼동 601∼720 (역삼1동)"},
                            {"12500", "031", "경기도 양평군 양평읍 백안리 산1∼30"},
                            {"43100", "054", "대구광역시 군위군 군위읍 동부리 33"},
                            {"06235", "02", "서울특별시 강남구 역삼동 산12-3∼15-1"},
                            {"30000", "044", "세종특별자치시 조치원읍 신안리 7"},
                        }));
  EXPECT_TRUE(file.islandZones.empty());
}

TEST(RangeFile, EveryEncodingAndLineEndReadsAlike) {
  const auto lines = {
      kRoadColumns,
      "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1",
      "24341|강원도|Gangwon|춘천시|Chuncheon-si|||중앙로∼|Jungang-ro|1|12||30||2",
  };
  const auto reference = Parse(RangeFileText(lines));
  ASSERT_EQ(reference.records.size(), 2u);
  for (RangeBytes form : {RangeBytes::kUtf8, RangeBytes::kUtf8Bom, RangeBytes::kCp949}) {
    for (const char* lineEnd : {"\n", "\r\n"}) {
      const auto file = Parse(RangeFileText(lines, form, lineEnd));
      EXPECT_EQ(Rows(file), Rows(reference)) << int(form) << (lineEnd[1] ? " CRLF" : " LF");
      EXPECT_EQ(file.info.encoding, form == RangeBytes::kCp949 ? postal::TextEncoding::kCp949
                                                               : postal::TextEncoding::kUtf8);
    }
  }
  // The last line may lack its line end; empty lines after it are no rows.
  std::string text = RangeFileText(lines);
  EXPECT_EQ(Rows(Parse(text.substr(0, text.size() - 1))), Rows(reference));
  EXPECT_EQ(Rows(Parse(text + "\r\n\n")), Rows(reference));
}

TEST(RangeFile, TheKindComesFromTheColumnNamesOrTheFieldCount) {
  const char* road = "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1";
  const char* lot =
      "06234|서울특별시|Seoul|강남구|Gangnam-gu|역삼동|Yeoksam-dong||0|역삼1동|601||720|";
  auto file = Parse(RangeFileText({road}));
  EXPECT_EQ(file.info.kind, RangeKind::kRoad);
  EXPECT_FALSE(file.info.hasColumnNames);
  file = Parse(RangeFileText({lot}, RangeBytes::kCp949, "\r\n"));
  EXPECT_EQ(file.info.kind, RangeKind::kLot);
  EXPECT_EQ(file.records.size(), 1u);
  // A file of column names alone is a file without rows.
  file = Parse(RangeFileText({kLotColumns}));
  EXPECT_EQ(file.info.kind, RangeKind::kLot);
  EXPECT_TRUE(file.records.empty());
  // Column names decide over the rows: a lot row under road columns is wrong.
  const auto e = Fault(RangeFileText({kRoadColumns, lot}));
  EXPECT_EQ(e.line, 2);
  EXPECT_NE(e.reason.find("expected 15 fields, found 14"), std::string::npos) << e.reason;
}

TEST(RangeFile, EachKindOfBadRowIsReportedWithItsLine) {
  const std::string good =
      "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1";
  struct Case {
    std::string row;  // the third line, after the column names and a good row
    const char* reason;
  };
  const std::string longName(130, 'A');
  const std::vector<Case> cases = {
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151|",
       "expected 15 fields, found 14"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151|||1",
       "expected 15 fields, found 16"},
      {"0623|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1",
       "우편번호 \"0623\": not a five-digit zone number"},
      {"062361|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1",
       "not a five-digit zone number"},
      {"135-806|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1",
       "not a five-digit zone number"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|1O1||151||1",
       "시작건물번호(주) \"1O1\": not a number"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|||151||1",
       "시작건물번호(주) \"\": not a number"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101|-1|151||1",
       "시작건물번호(부) \"-1\": not a number"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||+151||1",
       "not a number"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||1234567890||1",
       "at most 9 digits"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|2|101||151||1",
       "지하여부 \"2\": neither 0 nor 1"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||4",
       "범위종류 \"4\": not 0, 1, 2 or 3"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|500||3||3",
       "끝건물번호(주) 3 is below 시작건물번호(주) 500: the range runs backwards"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|12|5|12|4|1",
       "끝건물번호(주) 12-4 is below 시작건물번호(주) 12-5"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|" + std::string(250, 'R') +
           "|0|101||151||1",
       "English address of 2"},
      {"06236|서울시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1",
       "시도 \"서울시\": not a province"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu||||Teheran-ro|0|101||151||1",
       "도로명 \"\": empty"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤\t란로|Teheran-ro|0|101||151||1",
       "control character"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로😀|Teheran-ro|0|101||151||1",
       "U+1F600 has no CP949 form"},
      {"06236|서울특별시|Seoul|강남구|Gangnam-gu|" + longName + "||" + longName +
           "|x|0|101||151||1",
       "address of 2"},
      {"", "empty line"},
      {"06236|서울\r특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1",
       "carriage return inside the line"},
  };
  for (const Case& c : cases) {
    for (RangeBytes form : {RangeBytes::kUtf8, RangeBytes::kCp949}) {
      if (form == RangeBytes::kCp949 && c.row.find("😀") != std::string::npos) continue;
      const std::string text =
          RangeFileText({kRoadColumns, good.c_str(), c.row.c_str(), good.c_str()}, form);
      const auto e = Fault(text);
      EXPECT_EQ(e.line, 3) << c.row;
      EXPECT_NE(e.reason.find(c.reason), std::string::npos) << c.row << " -> " << e.reason;
    }
  }
}

TEST(RangeFile, BytesOfNeitherEncodingAreReportedWhereTheyStand) {
  const std::string good =
      "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1";
  // A UTF-8 file with a stray byte on line 4, and a CP949 file cut in the
  // middle of a character on line 3 (the lead byte of 란 without its trail).
  std::string utf8 = RangeFileText({kRoadColumns, good.c_str(), good.c_str(), good.c_str()});
  utf8.insert(utf8.rfind("테헤란로"), "\xFF");
  auto e = Fault(utf8);
  EXPECT_EQ(e.line, 4);
  EXPECT_EQ(e.reason, "bytes that are neither UTF-8 nor CP949");
  std::string cp949 = RangeFileText({kRoadColumns, good.c_str(), "x"}, RangeBytes::kCp949);
  cp949.insert(cp949.size() - 1, postal::Cp949FromUtf8("란").substr(0, 1));
  e = Fault(cp949);
  EXPECT_EQ(e.line, 3);
  EXPECT_EQ(e.reason, "bytes that are neither UTF-8 nor CP949");
  // Unassigned double-byte codes are no CP949 either.
  e = Fault(RangeFileText({kRoadColumns}) + "\xC9\x41|\n");
  EXPECT_EQ(e.line, 2);
}

TEST(RangeFile, FilesWithoutRowsOrKindAreRefused) {
  EXPECT_EQ(Fault("").line, 1);
  EXPECT_EQ(Fault("\xEF\xBB\xBF\r\n").line, 1);
  auto e = Fault(RangeFileText({"우편번호|시도명|주소"}));
  EXPECT_EQ(e.line, 1);
  EXPECT_NE(e.reason.find("neither column names"), std::string::npos) << e.reason;
  e = Fault(RangeFileText({"우편번호|시도명|시도명(영문)|도로명"}));
  EXPECT_NE(e.reason.find("4 columns, expected 15"), std::string::npos) << e.reason;
}

TEST(RangeFile, TheIslandsOfDanwonGuAreNamedByTheirZones) {
  const auto file = Parse(RangeFileText({
      kLotColumns,
      "15654|경기도|Gyeonggi-do|안산시 단원구|Danwon-gu|대부북동|Daebubuk-dong||0||1||50|",
      "15600|경기도|Gyeonggi-do|안산시 단원구|Danwon-gu|고잔동|Gojan-dong||0||1||50|",
      "15655|경기도|Gyeonggi-do|안산시 단원구|Danwon-gu|대부남동|Daebunam-dong||1||2|||",
  }));
  EXPECT_EQ(file.islandZones, (std::vector<std::string>{"15654", "15655"}));
  // The district's own code stays until the import looks at all files.
  EXPECT_EQ(file.records[0].ddd, "031");
}

TEST(DialCode, FullAndCurrentProvinceNamesAndTheirExceptions) {
  const char* const table[][2] = {
      {"서울특별시", "02"},     {"부산광역시", "051"},     {"대구광역시", "053"},
      {"인천광역시", "032"},    {"광주광역시", "062"},     {"대전광역시", "042"},
      {"울산광역시", "052"},    {"세종특별자치시", "044"}, {"경기도", "031"},
      {"강원도", "033"},        {"강원특별자치도", "033"}, {"충청북도", "043"},
      {"충청남도", "041"},      {"전라북도", "063"},       {"전북특별자치도", "063"},
      {"전라남도", "061"},      {"경상북도", "054"},       {"경상남도", "055"},
      {"제주특별자치도", "064"}};
  for (const auto& p : table) {
    const std::string sido = postal::Cp949FromUtf8(p[0]);
    EXPECT_TRUE(postal::IsKnownFullProvince(sido)) << p[0];
    EXPECT_EQ(postal::DialCodeForDistrict(sido, postal::Cp949FromUtf8("가나구")), p[1]) << p[0];
  }
  for (const char* shortName : {"서울", "경기", "", "서울특별시 "})
    EXPECT_FALSE(postal::IsKnownFullProvince(postal::Cp949FromUtf8(shortName))) << shortName;
  const char* const exceptions[][3] = {
      {"경기도", "광명시", "02"},      {"경기도", "과천시", "02"},
      {"경기도", "부천시", "032"},     {"경기도", "부천시 원미구", "032"},
      {"충청남도", "계룡시", "042"},   {"경상북도", "경산시", "053"},
      {"대구광역시", "군위군", "054"}, {"대구광역시", "달서구", "053"},
      {"경기도", "광주시", "031"},     {"경기도", "안산시 단원구", "031"},
      {"경상남도", "경산시", "055"}};
  for (const auto& e : exceptions)
    EXPECT_EQ(postal::DialCodeForDistrict(postal::Cp949FromUtf8(e[0]), postal::Cp949FromUtf8(e[1])),
              e[2])
        << e[0] << " " << e[1];
}

TEST(RangeFile, MessagesNameFieldsAsTheFileOrTheRealFilesDo) {
  const char* bad = "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|1O1||151||1";
  // Without a line of column names: the real files' names.
  auto e = Fault(RangeFileText({bad}));
  EXPECT_EQ(e.reason, "시작건물번호(주) \"1O1\": not a number");
  e = Fault(
      RangeFileText({"06234|서울특별시|Seoul|강남구|Gangnam-gu|역삼동|Yeoksam-dong||0|역삼1동|"
                     "601|x|720|"}));
  EXPECT_EQ(e.reason, "시작부번지 \"x\": not a number");
  // A file's own names, as the description writes them, name its fields.
  e = Fault(RangeFileText({kRoadColumnsOfTheDescription, bad}, RangeBytes::kCp949));
  EXPECT_EQ(e.line, 2);
  EXPECT_EQ(e.reason, "건물번호본번(시작) \"1O1\": not a number");
}

TEST(RangeFile, RoadRowsCarryTheirEnglishAddressLotRowsNone) {
  const auto file = Parse(RangeFileText({
      kRoadColumns,
      "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1",
      "24341|강원특별자치도|Gangwon-do|춘천시|Chuncheon-si|||중앙로|Jungang-ro|1|12||30||2",
      "12345|경기도|Gyeonggi-do|양평군|Yangpyeong-gun|양평읍|Yangpyeong-eup|시장길|Sijang-gil|0|"
      "5|2|9||3",
      // No English at all: the numbers alone.
      "30100|세종특별자치시||||||한누리대로||0|2||||0",
  }));
  std::vector<std::string> eng;
  for (const auto& r : file.records) eng.push_back(postal::Utf8FromCp949(r.eng));
  EXPECT_EQ(eng, (std::vector<std::string>{
                     "101∼151 (odd) Teheran-ro, Gangnam-gu, Seoul",
                     "Jiha 12∼30 (even) Jungang-ro, Chuncheon-si, Gangwon-do",
                     "5-2∼9 Sijang-gil, Yangpyeong-eup, Yangpyeong-gun, Gyeonggi-do",
                     "2",
                 }));
  const auto lots = Parse(RangeFileText(
      {kLotColumns,
       "06234|서울특별시|Seoul|강남구|Gangnam-gu|역삼동|Yeoksam-dong||0|역삼1동|601||720|"}));
  ASSERT_EQ(lots.records.size(), 1u);
  EXPECT_EQ(lots.records[0].eng, "");
}

TEST(RangeFile, TheRealRoadRowReadsAsWrittenByHand) {
  // Needs ../shared/data/real (SOURCES.md there): Korea Post's line of column
  // names and one row, UTF-8.
  const std::string path =
      std::string(PF_SOURCE_DIR) + "/../shared/data/real/range_road_row.utf8.txt";
  std::ifstream in(path, std::ios::binary);
  if (!in) GTEST_SKIP() << path << " is absent";
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  const auto file = Parse(bytes);
  EXPECT_TRUE(file.info.hasColumnNames);
  EXPECT_EQ(Rows(file),
            (std::vector<Row>{{"01000", "02", "서울특별시 강북구 삼양로177길 93∼126"}}));
  ASSERT_EQ(file.records.size(), 1u);
  EXPECT_EQ(postal::Utf8FromCp949(file.records[0].eng),
            "93∼126 Samyang-ro 177-gil, Gangbuk-gu, Seoul");
  // Its column names are the ones the tests write (RangeText.h).
  EXPECT_EQ(bytes.substr(0, bytes.find('\n')), kRoadColumns);
}
