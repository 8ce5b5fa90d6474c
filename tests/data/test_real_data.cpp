// postcode-import over real rows: the whole of 세종 in the government's
// layout (27,335 rows) and the first 99 rows of Korea Post's 서울특별시 file,
// read from ../shared/data/real (SOURCES.md there says where they come
// from; the tests skip without them). The tables are read back by an
// outside reader, dbfread (readback_dbfread.py), and compared with rows
// derived here by hand from the source lines, their record numbers being
// the lines' (after Korea Post's line of column names). A zip made by the zip
// command from both files imports the same; a bad row is reported with its
// file and line and loses nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <map>
#include <sstream>

#include "Cp949Check.h"
#include "ProcessRun.h"
#include "ToolFolder.h"

namespace fs = std::filesystem;

namespace {

const std::string kReal = std::string(PF_SOURCE_DIR) + "/../shared/data/real/";
const std::string kSejong = kReal + "rnaddrkor_sejong.txt";
const std::string kSeoul = kReal + "zipcode_DB_seoul_first100.cp949.txt";

// Record number and ZIPCODE|DDD|ETC|JIBUN, from the government's fields:
// ETC 시도명 [읍면] 도로명 건물본번[-부번] (법정동, 시군구용건물명 or else
// 건축물대장건물명), JIBUN 시도명 법정읍면동명 [법정리명] [산]지번본번[-부번].
const std::map<int, std::string> kSejongRows = {
    {1,
     "30145|044|세종특별자치시 한누리대로 1811 (반곡동, 수루배마을5단지 상가동)|세종특별자치시 "
     "반곡동 47-1"},
    {4, "30146|044|세종특별자치시 한누리대로 1824 (반곡동)|세종특별자치시 반곡동 49-13"},
    {7, "30146|044|세종특별자치시 한누리대로 1844 (반곡동)|세종특별자치시 반곡동 41-17"},
    {19,
     "30146|044|세종특별자치시 시청대로 500 (반곡동, 수루배마을 4단지)|세종특별자치시 반곡동 857"},
    {20,
     "30146|044|세종특별자치시 시청대로 546 (반곡동, 수루배마을8단지)|세종특별자치시 반곡동 858"},
    {28, "30149|044|세종특별자치시 남세종로 192-1 (반곡동)|세종특별자치시 반곡동 산76"},
    {55, "30145|044|세종특별자치시 반곡3길 12-1 (반곡동)|세종특별자치시 반곡동 179-3"},
    {59, "30149|044|세종특별자치시 반곡남1길 26 (반곡동)|"},  // 지번본번 0: no lot address
    {69, "30145|044|세종특별자치시 반곡8길 9 (반곡동)|"},
    {1086, "30062|044|세종특별자치시 고운마을4길 16 (고운동)|세종특별자치시 고운동 895"},
    {1104, "30101|044|세종특별자치시 고운한옥3길 12 (고운동)|"},
    {1411,
     "30098|044|세종특별자치시 보듬4로 20 (도담동, 도램마을10단지)|세종특별자치시 도담동 853"},
    {1749, "30027|044|세종특별자치시 조치원읍 새내로 96|세종특별자치시 조치원읍 원리 7-23"},
    {1750, "30028|044|세종특별자치시 조치원읍 새내로 97|세종특별자치시 조치원읍 원리 12-12"},
    {2177,
     "30026|044|세종특별자치시 조치원읍 새내10길 61 (00 근린생화시설)|세종특별자치시 조치원읍 상리 "
     "167"},
    {3312, "30027|044|세종특별자치시 조치원읍 장안로 50 (1동)|세종특별자치시 조치원읍 남리 278"},
    // The ledger's name as it stands, its trailing blank cut.
    {3846,
     "30020|044|세종특별자치시 조치원읍 문화4길 7-1 (조치원읍 침산리 283-3 공동주택 (박해남,)|"
     "세종특별자치시 조치원읍 침산리 283-3"},
    {4227,
     "30021|044|세종특별자치시 조치원읍 행복6길 8 (더웰타운)|세종특별자치시 조치원읍 침산리 251-4"},
    {4966,
     "30037|044|세종특별자치시 조치원읍 도장말길 30 (조치원 신동아파밀리에)|세종특별자치시 "
     "조치원읍 "
     "죽림리 393"},
    {5277, "30036|044|세종특별자치시 조치원읍 번암공단2길 64|세종특별자치시 조치원읍 번암리 산2-4"},
    {5308,
     "30040|044|세종특별자치시 조치원읍 번암안동네2길 12-1|세종특별자치시 조치원읍 번암리 산19"},
    {6736, "30058|044|세종특별자치시 연기면 세종로 1743|세종특별자치시 연기면 연기리 557-1"},
    {6739, "30058|044|세종특별자치시 연기면 세종로 1781-1|세종특별자치시 연기면 연기리 산25-1"},
    {14669, "30086|044|세종특별자치시 금남면 성강길 237-21|세종특별자치시 금남면 성강리 332"},
    {17036,
     "30056|044|세종특별자치시 장군면 전원마을2길 125-38|세종특별자치시 장군면 금암리 283-124"},
    {17342, "30053|044|세종특별자치시 장군면 하봉금수동길 84|세종특별자치시 장군면 하봉리 산24"},
    {27335, "30002|044|세종특별자치시 소정면 산단언덕2길 36|세종특별자치시 소정면 고등리 28-2"},
};

// From Korea Post's fields: ETC 시도 시군구 도로명 [지하 ]본번[-부번] (법정동명,
// 시군구용건물명), JIBUN 시도 시군구 법정동명 지번본번[-지번부번], ENG the
// number, 도로명영문, 시군구영문, 시도영문.
const std::map<int, std::string> kSeoulRows = {
    {1,
     "06306|02|서울특별시 강남구 개포로31길 29-2 (개포동, 꿈꾸지오)|서울특별시 강남구 개포동 "
     "1265-3|"
     "29-2 Gaepo-ro 31-gil, Gangnam-gu, Seoul"},
    {6,
     "06303|02|서울특별시 강남구 개포로 213 (개포동, 골든빌오피스텔)|서울특별시 강남구 개포동 "
     "1246-3|"
     "213 Gaepo-ro, Gangnam-gu, Seoul"},
    {8,
     "06308|02|서울특별시 강남구 개포로24길 33 (개포동, 공영주차장)|서울특별시 강남구 개포동 1204|"
     "33 Gaepo-ro 24-gil, Gangnam-gu, Seoul"},
    {10,
     "06324|02|서울특별시 강남구 삼성로 29 (개포동, 경기여자고등학교)|서울특별시 강남구 개포동 152|"
     "29 Samseong-ro, Gangnam-gu, Seoul"},
    {18,
     "06321|02|서울특별시 강남구 개포로 310-17 (개포동, 개포1동주민센터)|서울특별시 강남구 개포동 "
     "660-7|310-17 Gaepo-ro, Gangnam-gu, Seoul"},
    {26,
     "06324|02|서울특별시 강남구 개포로 지하 420 (개포동, 개포동역)|서울특별시 강남구 개포동 195|"
     "Jiha 420 Gaepo-ro, Gangnam-gu, Seoul"},
    {32,
     "06331|02|서울특별시 강남구 영동대로3길 7 (개포동, 개포우체국)|서울특별시 강남구 개포동 189-2|"
     "7 Yeongdong-daero 3-gil, Gangnam-gu, Seoul"},
    {43,
     "06307|02|서울특별시 강남구 논현로18길 10-13 (개포동, 광현빌라)|서울특별시 강남구 개포동 "
     "1235-16|10-13 Nonhyeon-ro 18-gil, Gangnam-gu, Seoul"},
    {49,
     "06335|02|서울특별시 강남구 개포로 605 (개포동, 강남 장애인 문화복지관)|서울특별시 강남구 "
     "개포동 "
     "12-10|605 Gaepo-ro, Gangnam-gu, Seoul"},
    {52,
     "06309|02|서울특별시 강남구 개포로 256 (개포동, RIFATRON 빌딩)|서울특별시 강남구 개포동 "
     "1212-6|"
     "256 Gaepo-ro, Gangnam-gu, Seoul"},
    {53,
     "06336|02|서울특별시 강남구 개포로 617-8 (개포동, 강남구 건강가정지원센터)|서울특별시 강남구 "
     "개포동 14-2|617-8 Gaepo-ro, Gangnam-gu, Seoul"},
    {71,
     "06327|02|서울특별시 강남구 삼성로 11 (개포동, 디에이치아너힐즈(현장사무소))|서울특별시 "
     "강남구 "
     "개포동 138|11 Samseong-ro, Gangnam-gu, Seoul"},
    {74,
     "06358|02|서울특별시 강남구 양재대로 486 (개포동, 도선여객정비공장)|서울특별시 강남구 개포동 "
     "565-3|486 Yangjae-daero, Gangnam-gu, Seoul"},
    {96,
     "06314|02|서울특별시 강남구 논현로8길 46-5 (개포동, 뉴그린 하우스)|서울특별시 강남구 개포동 "
     "1177-7|46-5 Nonhyeon-ro 8-gil, Gangnam-gu, Seoul"},
    {99,
     "06312|02|서울특별시 강남구 개포로22길 50 (개포동, 다원하모니빌)|서울특별시 강남구 개포동 "
     "1200-2|"
     "50 Gaepo-ro 22-gil, Gangnam-gu, Seoul"},
};

struct Readback {
  std::string date, encoding;
  size_t count = 0;
  std::vector<std::string> fields;  // "NAME TYPE WIDTH LONGEST"
  std::map<int, std::string> rows;
};

class RealData : public ToolFolder {
 protected:
  RealData() : ToolFolder("real-data-test") {}
  void SetUp() override {
    ToolFolder::SetUp();
    if (!fs::exists(kSejong) || !fs::exists(kSeoul))
      GTEST_SKIP() << "the real rows are absent (" << kReal << ")";
  }
  static ProcessResult Import(const std::string& table, const std::string& files) {
    return RunCommand(Quoted(PF_POSTCODE_IMPORT) + " -o " + Quoted(table) + " " + files);
  }
  static Readback ReadBack(const std::string& table, const std::map<int, std::string>& rows,
                           int offset = 0) {
    std::string numbers;
    for (const auto& [n, row] : rows) {
      numbers += ' ';
      numbers += std::to_string(n + offset);
    }
    std::string command = "/usr/bin/python3 ";
    command += Quoted(std::string(PF_SOURCE_DIR) + "/tests/data/readback_dbfread.py");
    command += ' ';
    command += Quoted(table);
    command += numbers;
    const ProcessResult r = RunCommand(command);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    Readback b;
    std::istringstream in(r.output);
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("date ", 0) == 0) {
        b.date = line.substr(5);
      } else if (line.rfind("encoding ", 0) == 0) {
        b.encoding = line.substr(9);
      } else if (line.rfind("count ", 0) == 0) {
        b.count = std::stoul(line.substr(6));
      } else if (const size_t bar = line.find('|'); bar != std::string::npos) {
        b.rows[std::stoi(line.substr(0, bar)) - offset] = line.substr(bar + 1);
      } else {
        b.fields.push_back(line);
      }
    }
    return b;
  }
  static std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y-%m-%d", &local);
    return buf;
  }
};

}  // namespace

TEST_F(RealData, SejongReadsBackAsDerivedByHand) {
  const std::string table = (dir_ / "T.DBF").string();
  const ProcessResult r = Import(table, Quoted(kSejong));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("27335 records written"), std::string::npos) << r.output;
  const Readback b = ReadBack(table, kSejongRows);
  EXPECT_EQ(b.encoding, "cp949");
  EXPECT_EQ(b.count, 27335u);
  EXPECT_EQ(b.date, "2023-06-27") << "the latest 효력발생일";
  // No English in this layout: no ENG field. ETC at least 83 wide, every
  // other field as wide as its longest value.
  ASSERT_EQ(b.fields.size(), 4u);
  EXPECT_EQ(b.fields[0], "ZIPCODE C 7 5");
  EXPECT_EQ(b.fields[1], "DDD C 4 3");
  EXPECT_EQ(b.fields[2].substr(0, 9), "ETC C 83 ");
  EXPECT_EQ(b.fields[3].substr(0, 6), "JIBUN ");
  const std::string jibunWidth = b.fields[3].substr(8, b.fields[3].find(' ', 8) - 8);
  EXPECT_EQ(b.fields[3], "JIBUN C " + jibunWidth + " " + jibunWidth);
  EXPECT_EQ(b.rows, kSejongRows);
}

TEST_F(RealData, KoreaPostRowsReadBackAsDerivedByHand) {
  const std::string table = (dir_ / "T.DBF").string();
  const ProcessResult r = Import(table, Quoted(kSeoul));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  const Readback b = ReadBack(table, kSeoulRows);
  EXPECT_EQ(b.count, 99u);
  EXPECT_EQ(b.date, Today()) << "Korea Post's files name no date";
  EXPECT_EQ(b.fields, (std::vector<std::string>{"ZIPCODE C 7 5", "DDD C 4 2", "ETC C 83 66",
                                                "JIBUN C 32 32", "ENG C 43 43"}));
  EXPECT_EQ(b.rows, kSeoulRows);
}

TEST_F(RealData, AZipOfBothImportsTheSame) {
  // Copies dated as a download's members are; zipped by the zip command.
  fs::copy_file(kSejong, dir_ / "rnaddrkor_sejong.txt");
  fs::copy_file(kSeoul, dir_ / "서울특별시.txt");
  ASSERT_EQ(RunCommand("cd " + Quoted(dir_.string()) +
                       " && touch -d '2023-07-05 09:00' rnaddrkor_sejong.txt 서울특별시.txt && zip "
                       "-q -X data.zip rnaddrkor_sejong.txt 서울특별시.txt")
                .exitCode,
            0);
  const std::string files = (dir_ / "T.DBF").string(), zipped = (dir_ / "Z.DBF").string();
  ASSERT_EQ(Import(files, Quoted(kSejong) + " " + Quoted(kSeoul)).exitCode, 0);
  const ProcessResult r = Import(zipped, Quoted((dir_ / "data.zip").string()));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("data.zip:rnaddrkor_sejong.txt 27335, " + (dir_ / "data.zip").string() +
                          ":서울특별시.txt 99; 27434 records"),
            std::string::npos)
      << r.output;
  // The same records, the same fields; the zip's table is dated with its
  // members' day, which is later than any 효력발생일.
  const std::string a = Read(files), b = Read(zipped);
  ASSERT_EQ(a.size(), b.size());
  EXPECT_EQ(a.substr(4), b.substr(4));
  EXPECT_EQ(b.substr(1, 3), std::string("\x7B\x07\x05", 3));
  EXPECT_EQ(a.substr(1, 3), std::string("\x7B\x06\x1B", 3));
  // Both readers see the Korea Post rows behind the 세종 ones.
  const Readback back = ReadBack(zipped, kSeoulRows, 27335);
  EXPECT_EQ(back.count, 27434u);
  EXPECT_EQ(back.rows, kSeoulRows);
}

TEST_F(RealData, ABadRowIsReportedWithFileAndLineAndNothingIsLost) {
  const std::string table = (dir_ / "T.DBF").string();
  ASSERT_EQ(Import(table, Quoted(kSeoul)).exitCode, 0);
  const std::string before = Read(table);
  // Line 12345 of 세종 with a four-digit postal code; line 50 of Korea
  // Post's with a letter in its building number.
  std::string sejong = Read(kSejong);
  size_t at = 0;
  for (int line = 1; line < 12345; ++line) at = sejong.find('\n', at) + 1;
  const size_t zone = sejong.find("|300", at);
  ASSERT_LT(zone, sejong.find('\n', at));
  sejong.erase(zone + 1, 1);
  const std::string badSejong = Write("rnaddrkor_sejong.txt", sejong);
  std::string seoul = Read(kSeoul);
  at = 0;
  for (int line = 1; line < 50; ++line) at = seoul.find('\n', at) + 1;
  const size_t number = seoul.find("|605|", at);
  ASSERT_LT(number, seoul.find('\n', at));
  seoul[number + 2] = 'O';
  const std::string badSeoul = Write("seoul.txt", seoul);

  ProcessResult r = Import(table, Quoted(kSejong) + " " + Quoted(badSeoul));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output.rfind(badSeoul + ":50: 건물번호본번 \"6O5\": not a number\n", 0), 0u)
      << r.output;
  r = Import(table, Quoted(badSejong));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output.rfind(badSejong + ":12345: 기초구역번호 \"", 0), 0u) << r.output;
  EXPECT_NE(r.output.find("\": not a five-digit zone number\npostcode-import: no table written; " +
                          table + " is as it was"),
            std::string::npos)
      << r.output;
  EXPECT_EQ(Read(table), before);
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (std::vector<std::string>{"T.DBF", "T.FTS", "rnaddrkor_sejong.txt", "seoul.txt"}));
}

TEST_F(RealData, TheFindersEngineAndSearchOpenTheTable) {
  // postcode-lookup in a program folder of its own, over the imported table:
  // the engine opens it, the index is built from it, a building's name and
  // a road address find their rows.
  const fs::path program = dir_ / "program", work = dir_ / "work";
  fs::create_directories(program);
  fs::create_directories(work);
  for (const char* file : {"postcode-lookup", "libdbfengine.so", "libftsindex.so"})
    fs::copy_file(fs::path(PF_BIN_DIR) / file, program / file);
  const ProcessResult imported = Import((program / "POSTCODE.DBF").string(), Quoted(kSejong));
  ASSERT_EQ(imported.exitCode, 0) << imported.output;
  auto lookup = [&](const std::string& args) {
    return RunCommand("cd " + Quoted(work.string()) + " && env HOME=" + Quoted(dir_.string()) +
                      " XDG_CACHE_HOME= XDG_DATA_HOME= XDG_CONFIG_HOME= " +
                      Quoted((program / "postcode-lookup").string()) + " " + args + " 2>/dev/null");
  };
  ProcessResult r = lookup("--version");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("dated 2023-06-27"), std::string::npos) << r.output;
  r = lookup("--limit 5 수루배마을5단지");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find(
                "30145\t044\t세종특별자치시 한누리대로 1811 (반곡동, 수루배마을5단지 상가동)\n"),
            std::string::npos)
      << r.output;
  r = lookup("조치원읍 문화4길");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find(
                "30020\t044\t세종특별자치시 조치원읍 문화4길 7-1 (조치원읍 침산리 283-3 공동주택 "
                "(박해남,)\n"),
            std::string::npos)
      << r.output;
}
