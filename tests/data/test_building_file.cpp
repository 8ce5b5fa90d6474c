// The building-level layouts, one file at a time: the addresses and
// dialling codes their rows make, their lines of column names, the
// encodings and line ends they come in, and every kind of bad row with its
// line. The files are written by hand in the published layouts
// (BuildingText.h).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BuildingFile.h"
#include "BuildingText.h"
#include "Cp949Check.h"

using postal::BuildingLayout;
using postal::BuildingReader;

namespace {

struct Outcome {
  // ZIPCODE|DDD|ETC|JIBUN|ENG of each row in UTF-8, " island" and
  // " date=YYYYMMDD" after it where set.
  std::vector<std::string> rows;
  int skipped = 0;
  bool failed = false;
  postal::ConvertError fault;
};

// The file's lines through one reader, as the import hands them over;
// trusted as the import's second pass over a file trusts them.
Outcome ReadAll(const std::string& text, BuildingLayout layout, bool trusted = false) {
  Outcome out;
  BuildingReader reader(layout, &out.fault);
  reader.TrustCharacters(trusted);
  size_t start = 0;
  for (int lineNo = 1; start < text.size(); ++lineNo) {
    size_t lf = text.find('\n', start);
    if (lf == std::string::npos) lf = text.size();
    postal::BuildingRow row;
    const auto read = reader.Read(std::string_view(text).substr(start, lf - start), lineNo, &row);
    start = lf + 1;
    if (read == BuildingReader::Line::kFault) {
      out.failed = true;
      return out;
    }
    if (read == BuildingReader::Line::kSkipped) {
      ++out.skipped;
      continue;
    }
    std::string r;
    for (std::string_view v : {row.zipcode, row.ddd, row.etc, row.jibun, row.eng})
      r += (r.empty() ? "" : "|") + postal::Utf8FromCp949(v);
    if (row.island) r += " island";
    if (row.effectiveDate) r += " date=" + std::to_string(row.effectiveDate);
    out.rows.push_back(r);
  }
  return out;
}

Outcome Read(std::initializer_list<std::string> lines, BuildingLayout layout) {
  const Outcome out = ReadAll(BuildingFileText(lines), layout);
  EXPECT_FALSE(out.failed) << out.fault.line << ": " << out.fault.reason;
  return out;
}

postal::ConvertError Fault(const std::string& text, BuildingLayout layout, bool trusted = false) {
  const Outcome out = ReadAll(text, layout, trusted);
  EXPECT_TRUE(out.failed) << "accepted";
  return out.fault;
}

PostRow Gaepo() {
  PostRow r;
  r.zone = "06306", r.sido = "서울특별시", r.sidoEn = "Seoul", r.sigungu = "강남구";
  r.sigunguEn = "Gangnam-gu", r.road = "개포로31길", r.roadEn = "Gaepo-ro 31-gil", r.main = "29";
  r.sub = "2", r.name = "꿈꾸지오", r.dong = "개포동", r.lotMain = "1265", r.lotSub = "3";
  return r;
}

GovRow Bangok() {
  GovRow r;
  r.sido = "세종특별자치시", r.eupmyeondong = "반곡동", r.lotMain = "47", r.lotSub = "1";
  r.road = "한누리대로", r.main = "1811", r.zone = "30145", r.effective = "20181204";
  r.name = "수루배마을5단지 상가동";
  return r;
}

constexpr auto kPost = BuildingLayout::kKoreaPost;
constexpr auto kGov = BuildingLayout::kGovernment;

}  // namespace

TEST(BuildingFile, KoreaPostRowsMakeTheAddressesOfTheLayout) {
  PostRow underground = Gaepo();
  underground.level = "1", underground.road = "개포로", underground.roadEn = "Gaepo-ro";
  underground.main = "420", underground.sub = "0", underground.name = "";
  underground.delivery = "개포동역";  // the delivery name when the district names none
  PostRow both = Gaepo();
  both.delivery = "우편취급국", both.name = "개포빌딩";
  PostRow town;  // an address in an 읍, with a 리, on a mountain lot
  town.zone = "12500", town.sido = "경기도", town.sidoEn = "Gyeonggi-do", town.sigungu = "양평군";
  town.sigunguEn = "Yangpyeong-gun", town.eupmyeon = "양평읍", town.eupmyeonEn = "Yangpyeong-eup";
  town.road = "시장길", town.roadEn = "Sijang-gil", town.main = "5", town.ri = "백안리";
  town.mountain = "1", town.lotMain = "12", town.lotSub = "3";
  PostRow townWithDong = town;  // a 법정동명 beside an 읍면 is no reference
  townWithDong.dong = "양근동", townWithDong.name = "시장상가";
  PostRow sejong;  // no 시군구; a lot without a number has no lot address
  sejong.zone = "30145", sejong.sido = "세종특별자치시", sejong.sidoEn = "Sejong-si";
  sejong.road = "한누리대로", sejong.roadEn = "Hannuri-daero", sejong.main = "1811";
  sejong.name = "수루배마을5단지 상가동", sejong.dong = "반곡동", sejong.lotMain = "0";
  PostRow gwangmyeong = Gaepo();  // dials through 서울
  gwangmyeong.zone = "14200", gwangmyeong.sido = "경기도", gwangmyeong.sidoEn = "Gyeonggi-do";
  gwangmyeong.sigungu = "광명시", gwangmyeong.sigunguEn = "Gwangmyeong-si";
  gwangmyeong.dong = "", gwangmyeong.name = "";

  const Outcome out = Read({kKoreaPostColumns, Gaepo().Line(), underground.Line(), both.Line(),
                            town.Line(), townWithDong.Line(), sejong.Line(), gwangmyeong.Line()},
                           kPost);
  EXPECT_EQ(out.skipped, 1) << "the line of column names";
  EXPECT_EQ(out.rows,
            (std::vector<std::string>{
                "06306|02|서울특별시 강남구 개포로31길 29-2 (개포동, 꿈꾸지오)|서울특별시 강남구 "
                "개포동 1265-3|29-2 Gaepo-ro 31-gil, Gangnam-gu, Seoul",
                "06306|02|서울특별시 강남구 개포로 지하 420 (개포동, 개포동역)|서울특별시 강남구 "
                "개포동 1265-3|Jiha 420 Gaepo-ro, Gangnam-gu, Seoul",
                "06306|02|서울특별시 강남구 개포로31길 29-2 (개포동, 개포빌딩)|서울특별시 강남구 "
                "개포동 1265-3|29-2 Gaepo-ro 31-gil, Gangnam-gu, Seoul",
                "12500|031|경기도 양평군 양평읍 시장길 5|경기도 양평군 양평읍 백안리 산12-3|5 "
                "Sijang-gil, Yangpyeong-eup, Yangpyeong-gun, Gyeonggi-do",
                "12500|031|경기도 양평군 양평읍 시장길 5 (시장상가)|경기도 양평군 양평읍 백안리 "
                "산12-3|5 Sijang-gil, Yangpyeong-eup, Yangpyeong-gun, Gyeonggi-do",
                "30145|044|세종특별자치시 한누리대로 1811 (반곡동, 수루배마을5단지 상가동)||1811 "
                "Hannuri-daero, Sejong-si",
                "14200|02|경기도 광명시 개포로31길 29-2|경기도 광명시 1265-3|29-2 Gaepo-ro 31-gil, "
                "Gwangmyeong-si, Gyeonggi-do",
            }));
}

TEST(BuildingFile, GovernmentRowsMakeTheAddressesOfTheLayout) {
  GovRow town;  // 법정읍면동명 ending in 읍: no reference but the name
  town.sido = "세종특별자치시", town.eupmyeondong = "조치원읍", town.ri = "침산리";
  town.mountain = "1", town.lotMain = "283", town.lotSub = "3", town.road = "문화4길";
  town.main = "7", town.sub = "1", town.zone = "30020", town.effective = "20130830";
  town.ledgerName = "침산리 공동주택";  // the ledger's name when the district names none
  GovRow county;                        // a 면 of a 군, both names given
  county.sido = "경기도", county.sigungu = "양평군", county.eupmyeondong = "옥천면";
  county.ri = "아신리", county.lotMain = "5", county.road = "신복길", county.main = "12";
  county.zone = "12502", county.ledgerName = "옥천빌라 가동", county.name = "옥천빌라";
  GovRow elevated = Bangok();  // 지하여부 2: a number on a structure above the ground
  elevated.level = "2", elevated.name = "", elevated.effective = "";
  GovRow underground = Bangok();
  underground.level = "1", underground.main = "2", underground.sub = "15";

  const Outcome out = Read(
      {Bangok().Line(), town.Line(), county.Line(), elevated.Line(), underground.Line()}, kGov);
  EXPECT_EQ(out.skipped, 0);
  EXPECT_EQ(
      out.rows,
      (std::vector<std::string>{
          "30145|044|세종특별자치시 한누리대로 1811 (반곡동, 수루배마을5단지 "
          "상가동)|세종특별자치시 "
          "반곡동 47-1| date=20181204",
          "30020|044|세종특별자치시 조치원읍 문화4길 7-1 (침산리 공동주택)|세종특별자치시 조치원읍 "
          "침산리 산283-3| date=20130830",
          "12502|031|경기도 양평군 옥천면 신복길 12 (옥천빌라)|경기도 양평군 옥천면 아신리 5| "
          "date=20200101",
          "30145|044|세종특별자치시 한누리대로 공중 1811 (반곡동)|세종특별자치시 반곡동 47-1|",
          "30145|044|세종특별자치시 한누리대로 지하 2-15 (반곡동, 수루배마을5단지 "
          "상가동)|세종특별자치시 반곡동 47-1| date=20181204",
      }));
}

TEST(BuildingFile, TheIslandsOfDanwonGuAreMarkedInBothLayouts) {
  PostRow post = Gaepo();
  post.zone = "15654", post.sido = "경기도", post.sigungu = "안산시 단원구", post.dong = "대부북동";
  GovRow gov = Bangok();
  gov.sido = "경기도", gov.sigungu = "안산시 단원구", gov.eupmyeondong = "대부남동";
  gov.zone = "15655";
  GovRow mainland = gov;
  mainland.eupmyeondong = "고잔동", mainland.zone = "15600";
  auto island = [](const Outcome& o, size_t i) {
    return o.rows.at(i).find(" island") != std::string::npos;
  };
  const Outcome p = Read({post.Line()}, kPost);
  EXPECT_TRUE(island(p, 0));
  const Outcome g = Read({gov.Line(), mainland.Line()}, kGov);
  EXPECT_TRUE(island(g, 0));
  EXPECT_FALSE(island(g, 1));
  // The district's own code: the import gives the whole zone 032.
  EXPECT_EQ(g.rows[0].substr(0, 10), "15655|031|");
}

TEST(BuildingFile, ALineOfColumnNamesMustNameTheLayoutsColumns) {
  // Korea Post's rows without their line of names read alike.
  EXPECT_EQ(Read({Gaepo().Line()}, kPost).rows,
            Read({kKoreaPostColumns, Gaepo().Line()}, kPost).rows);
  // A layout that moved a column is not read as if it had not.
  std::string moved = kKoreaPostColumns;
  const std::string order = "건물번호본번|건물번호부번";
  moved.replace(moved.find(order), order.size(), "건물번호부번|건물번호본번");
  auto e = Fault(BuildingFileText({moved, Gaepo().Line()}), kPost);
  EXPECT_EQ(e.line, 1);
  EXPECT_EQ(e.reason,
            "column 12 is \"건물번호부번\", expected \"건물번호본번\": not Korea Post's address DB "
            "as this program knows it");
  // The government's files come without names; a line of them is read.
  const std::string govNames =
      "도로명주소관리번호|법정동코드|시도명|시군구명|법정읍면동명|법정리명|산여부|지번본번|"
      "지번부번|"
      "도로명코드|도로명|지하여부|건물본번|건물부번|행정동코드|행정동명|기초구역번호|"
      "이전도로명주소|"
      "효력발생일|공동주택여부|이동사유코드|건축물대장건물명|시군구용건물명|비고";
  const Outcome g = Read({govNames, Bangok().Line()}, kGov);
  EXPECT_EQ(g.skipped, 1);
  EXPECT_EQ(g.rows.size(), 1u);
  // Names are only a first line.
  e = Fault(BuildingFileText({Gaepo().Line(), kKoreaPostColumns}), kPost);
  EXPECT_EQ(e.line, 2);
  EXPECT_EQ(e.reason, "우편번호 \"우편번호\": not a five-digit zone number");
}

TEST(BuildingFile, EveryEncodingAndLineEndReadsAlike) {
  const auto lines = {std::string(kKoreaPostColumns), Gaepo().Line()};
  const Outcome reference = Read(lines, kPost);
  for (bool cp949 : {true, false})
    for (const char* end : {"\n", "\r\n"}) {
      EXPECT_EQ(ReadAll(BuildingFileText(lines, cp949, end), kPost).rows, reference.rows)
          << cp949 << end;
      EXPECT_EQ(ReadAll("\xEF\xBB\xBF" + BuildingFileText(lines, false, end), kPost).rows,
                reference.rows);
    }
  // Empty lines at the end are no rows; between rows they are a fault.
  const Outcome trailing = ReadAll(BuildingFileText(lines) + "\n\r\n", kPost);
  EXPECT_EQ(trailing.rows, reference.rows);
  auto e =
      Fault(BuildingFileText({kKoreaPostColumns, Gaepo().Line(), "", "", Gaepo().Line()}), kPost);
  EXPECT_EQ(e.line, 3);
  EXPECT_EQ(e.reason, "empty line");
}

TEST(BuildingFile, EachKindOfBadRowIsReportedWithItsLine) {
  struct Case {
    std::string line;
    BuildingLayout layout;
    const char* reason;
  };
  auto post = [](auto change) {
    PostRow r = Gaepo();
    change(r);
    return r.Line();
  };
  auto gov = [](auto change) {
    GovRow r = Bangok();
    change(r);
    return r.Line();
  };
  const std::string longName(200, 'N');
  const std::vector<Case> cases = {
      {Gaepo().Line() + "|", kPost, "expected 26 fields, found 27"},
      {Bangok().Line().substr(0, Bangok().Line().size() - 1), kGov, "expected 24 fields, found 23"},
      {post([](PostRow& r) { r.zone = "0630"; }), kPost,
       "우편번호 \"0630\": not a five-digit zone number"},
      {gov([](GovRow& r) { r.zone = "301450"; }), kGov,
       "기초구역번호 \"301450\": not a five-digit zone number"},
      {post([](PostRow& r) { r.sido = "서울시"; }), kPost,
       "시도 \"서울시\": not a province of the dialling-code table"},
      {gov([](GovRow& r) { r.sido = ""; }), kGov, "시도명 \"\": empty"},
      {post([](PostRow& r) { r.road = " "; }), kPost, "도로명 \"\": empty"},
      {gov([](GovRow& r) { r.eupmyeondong = ""; }), kGov, "법정읍면동명 \"\": empty"},
      {post([](PostRow& r) { r.main = ""; }), kPost, "건물번호본번 \"\": not a number"},
      {post([](PostRow& r) { r.sub = "2a"; }), kPost, "건물번호부번 \"2a\": not a number"},
      {gov([](GovRow& r) { r.lotSub = "-1"; }), kGov, "지번부번 \"-1\": not a number"},
      {post([](PostRow& r) { r.lotMain = "1234567890"; }), kPost,
       "지번본번 \"1234567890\": not a number of at most 9 digits"},
      {post([](PostRow& r) { r.level = "3"; }), kPost, "지하여부 \"3\": neither 0, 1 nor 2"},
      {gov([](GovRow& r) { r.mountain = "Y"; }), kGov, "산여부 \"Y\": neither 0 nor 1"},
      {gov([](GovRow& r) { r.effective = "20230229"; }), kGov,
       "효력발생일 \"20230229\": not a date YYYYMMDD"},
      {gov([](GovRow& r) { r.reason = "63"; }), kGov,
       "이동사유코드 \"63\": a building taken out of the data"},
      {post([](PostRow& r) { r.name = "꿈꾸\x1B[2J지오"; }), kPost,
       "시군구용건물명 \"꿈꾸\\x1B[2J지오\": control character"},
      {post([](PostRow& r) { r.name = "꿈꾸\t지오"; }), kPost,
       "시군구용건물명 \"꿈꾸\\x09지오\": control character"},
      {post([](PostRow& r) { r.roadEn = "Gaepo-ro\r31"; }), kPost,
       "carriage return inside the line"},
      {post([&](PostRow& r) { r.name = longName + longName; }), kPost,
       "address of 4"},  // 400 bytes of name alone
      {post([&](PostRow& r) { r.roadEn = longName + longName; }), kPost, "English address of 4"},
  };
  // The second pass over characters checked before still finds every one.
  for (bool trusted : {false, true})
    for (const Case& c : cases) {
      const std::string first = c.layout == kPost ? Gaepo().Line() : Bangok().Line();
      const auto e = Fault(BuildingFileText({first, first, c.line, first}), c.layout, trusted);
      EXPECT_EQ(e.line, 3) << c.line;
      EXPECT_EQ(e.reason.rfind(c.reason, 0), 0u) << c.line << "\n -> " << e.reason;
    }
}

TEST(BuildingFile, CharactersTrustedFromTheFirstPassReadAsTheyWereChecked) {
  // Syllables whose second byte is an ASCII letter (똠 8C 63, 쌰 9B 58),
  // and the rest of CP949's ranges, in both encodings.
  PostRow odd = Gaepo();
  odd.name = "똠쌰햏 갂Aa";
  odd.road = "똠방각하로";
  for (bool cp949 : {true, false}) {
    const std::string text =
        BuildingFileText({kKoreaPostColumns, Gaepo().Line(), odd.Line(), Gaepo().Line()}, cp949);
    const Outcome checked = ReadAll(text, kPost), trusted = ReadAll(text, kPost, true);
    ASSERT_FALSE(checked.failed) << checked.fault.reason;
    ASSERT_FALSE(trusted.failed) << trusted.fault.reason;
    EXPECT_EQ(trusted.rows, checked.rows);
    ASSERT_EQ(trusted.rows.size(), 3u);
    EXPECT_NE(trusted.rows[1].find("똠방각하로 29-2 (개포동, 똠쌰햏 갂Aa)"), std::string::npos)
        << trusted.rows[1];
  }
}

TEST(BuildingFile, BytesOfNoCharacterAreReportedInTheirField) {
  // CP949: a lead byte without its trail in the building's name.
  std::string cp949 = BuildingFileText({kKoreaPostColumns, Gaepo().Line()});
  cp949.insert(cp949.find(postal::Cp949FromUtf8("꿈꾸지오")) + 2, "\xC9");
  auto e = Fault(cp949, kPost);
  EXPECT_EQ(e.line, 2);
  EXPECT_EQ(e.reason, "시군구용건물명 \"꿈\\xC9꾸지오\": bytes that are not CP949");
  // A UTF-8 file (told by its first Korean line) with a stray byte later.
  std::string utf8 = BuildingFileText({kKoreaPostColumns, Gaepo().Line(), Gaepo().Line()}, false);
  utf8.insert(utf8.rfind("Gaepo-ro"), "\xFF");
  e = Fault(utf8, kPost);
  EXPECT_EQ(e.line, 3);
  EXPECT_EQ(e.reason, "도로명영문 \"\\xFFGaepo-ro 31-gil\": bytes that are not UTF-8");
}
