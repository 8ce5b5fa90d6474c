// postcode-import as a user runs it: the table it writes read back by
// python3-dbf and GDAL's ogrinfo, the table beside the program replaced with
// a backup, and bad input refused with FILE:LINE while the existing table
// stays byte for byte as it was. The range files are written by hand in the
// published layout (RangeText.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "ProcessRun.h"
#include "RangeText.h"
#include "ToolFolder.h"

namespace fs = std::filesystem;

namespace {

const char* const kRoad1 =
    "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1";
const char* const kRoad2 =
    "24341|강원특별자치도|Gangwon|춘천시|Chuncheon-si|||중앙로|Jungang-ro|1|12||30||2";
const char* const kLot1 =
    "06234|서울특별시|Seoul|강남구|Gangnam-gu|역삼동|Yeoksam-dong||0|역삼1동|601||720|";

class PostcodeImportTool : public ToolFolder {
 protected:
  PostcodeImportTool() : ToolFolder("postcode-import-test") {}
  static ProcessResult Run(const std::string& tool, const std::string& args) {
    return RunCommand(Quoted(tool) + " " + args);
  }
  static std::set<std::string> Entries(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename());
    return names;
  }
  // The two files of a small import: CP949 road rows without column names
  // and CRLF, UTF-8 lot rows with a byte-order mark and column names.
  void WriteGoodFiles() {
    road_ = Write("road.txt", RangeFileText({kRoad1, kRoad2}, RangeBytes::kCp949, "\r\n"));
    lot_ = Write("lot.txt", RangeFileText({kLotColumns, kLot1}, RangeBytes::kUtf8Bom));
  }

  std::string road_, lot_;
};

}  // namespace

TEST_F(PostcodeImportTool, TheTableReadsBackInOtherDbfReaders) {
  WriteGoodFiles();
  const std::string table = (dir_ / "T.DBF").string();
  ProcessResult r =
      Run(PF_POSTCODE_IMPORT, "-o " + Quoted(table) + " " + Quoted(road_) + " " + Quoted(lot_));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("rows read: " + road_ + " 2, " + lot_ + " 1; 3 records written to " +
                          table + " in "),
            std::string::npos)
      << r.output;

  r = RunCommand("/usr/bin/python3 " +
                 Quoted(std::string(PF_SOURCE_DIR) + "/tests/data/dump_dbf.py") + " " +
                 Quoted(table));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output,
            "cp949 ZIPCODE:C7 DDD:C4 ETC:C83\n"
            "06236|02|서울특별시 강남구 테헤란로 101∼151 (홀수)\n"
            "24341|033|강원특별자치도 춘천시 중앙로 지하 12∼30 (짝수)\n"
            "06234|02|서울특별시 강남구 역삼동 601∼720 (역삼1동)\n");

  r = RunCommand("ogrinfo -ro -al " + Quoted(table));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("Feature Count: 3"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("ZIPCODE: String (7.0)\nDDD: String (4.0)\nETC: String (83.0)"),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("ETC (String) = 강원특별자치도 춘천시 중앙로 지하 12∼30 (짝수)"),
            std::string::npos)
      << r.output;
}

TEST_F(PostcodeImportTool, WithoutOutputTheTableBesideTheProgramIsReplacedAndKept) {
  // A copy of the tool in a folder of its own stands for the program folder.
  const fs::path program = dir_ / "program";
  fs::create_directory(program);
  const std::string tool = (program / "postcode-import").string();
  fs::copy_file(PF_POSTCODE_IMPORT, tool);
  const std::string table = (program / "POSTCODE.DBF").string();
  std::ofstream(table, std::ios::binary) << "the shipped table";
  WriteGoodFiles();

  ProcessResult r = Run(tool, Quoted(road_) + " " + Quoted(lot_));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(Read(table + ".bak"), "the shipped table");
  const std::string first = Read(table);
  EXPECT_EQ(first.substr(0, 1), "\x03");
  EXPECT_EQ(Entries(program),
            (std::set<std::string>{"postcode-import", "POSTCODE.DBF", "POSTCODE.DBF.bak"}));

  // A second import keeps the first one as the backup.
  r = Run(tool, Quoted(lot_));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(Read(table + ".bak"), first);
  EXPECT_NE(Read(table), first);

  // A table named with -o is the user's own: no backup beside it.
  const std::string mine = (dir_ / "mine.dbf").string();
  std::ofstream(mine, std::ios::binary) << "mine";
  ASSERT_EQ(Run(tool, "-o " + Quoted(mine) + " " + Quoted(lot_)).exitCode, 0);
  EXPECT_FALSE(fs::exists(mine + ".bak"));
}

TEST_F(PostcodeImportTool, BadInputIsReportedAndTheTableStaysAsItWas) {
  WriteGoodFiles();
  const std::string table = (dir_ / "POSTCODE.DBF").string();
  ASSERT_EQ(Run(PF_POSTCODE_IMPORT, "-o " + Quoted(table) + " " + Quoted(road_)).exitCode, 0);
  const std::string before = Read(table);
  const std::set<std::string> entries = Entries(dir_);

  const std::string longName(240, 'A');
  const std::string tooLong =
      "06236|서울특별시|Seoul|강남구|Gangnam-gu|||" + longName + "|x|0|101||151||1";
  std::string badBytes = RangeFileText({kRoadColumns, kRoad1, kRoad2});
  badBytes.insert(badBytes.rfind("중앙로"), "\xFE\xFF");
  struct Case {
    std::string file;
    std::string expected;  // the start of the first line of the report
  } cases[] = {
      {Write("count.txt", RangeFileText({kRoadColumns, kRoad1, "06236|서울특별시|Seoul"})),
       ":3: expected 15 fields, found 3"},
      {Write("zone.txt", RangeFileText({kLot1,
                                        "6234|서울특별시|Seoul|강남구|Gangnam-gu|역삼동|"
                                        "Yeoksam-dong||0|역삼1동|601||720|"},
                                       RangeBytes::kCp949)),
       ":2: 우편번호 \"6234\": not a five-digit zone number"},
      {Write("number.txt", RangeFileText({kRoadColumns,
                                          "06236|서울특별시|Seoul|강남구|Gangnam-gu|||"
                                          "테헤란로|Teheran-ro|0|101||15l||1"})),
       ":2: 건물번호본번(종료) \"15l\": not a number"},
      {Write("bytes.txt", badBytes), ":3: bytes that are neither UTF-8 nor CP949"},
      {Write("long.txt", RangeFileText({kRoadColumns, kRoad1, kRoad2, tooLong.c_str()})),
       ":4: address of 2"},
      {(dir_ / "missing.txt").string(), ": cannot be read: No such file or directory"},
      {dir_.string(), ": cannot be read: Is a directory"},
  };
  for (const Case& c : cases) {
    // The good file first: a fault in a later file still writes nothing.
    ProcessResult r =
        Run(PF_POSTCODE_IMPORT, "-o " + Quoted(table) + " " + Quoted(lot_) + " " + Quoted(c.file));
    EXPECT_EQ(r.exitCode, 1) << c.file;
    EXPECT_EQ(r.output.rfind(c.file + c.expected, 0), 0u) << r.output;
    EXPECT_NE(r.output.find("no table written; " + table + " is as it was"), std::string::npos)
        << r.output;
    EXPECT_EQ(Read(table), before) << c.file;
  }
  // Nothing was left behind: no temporary file, no backup.
  std::set<std::string> now = Entries(dir_);
  for (const Case& c : cases) now.erase(fs::path(c.file).filename());
  EXPECT_EQ(now, entries);
}

TEST_F(PostcodeImportTool, AnUnwritableFolderAndBadArgumentsAreClearErrors) {
  WriteGoodFiles();
  ProcessResult r = Run(PF_POSTCODE_IMPORT,
                        "-o " + Quoted((dir_ / "gone" / "T.DBF").string()) + " " + Quoted(lot_));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("No such file or directory"), std::string::npos) << r.output;
  EXPECT_FALSE(fs::exists(dir_ / "gone"));

  for (const std::string& args : {std::string(), std::string("-o"), std::string("-x road.txt"),
                                  "-o a.dbf -o b.dbf " + Quoted(lot_)}) {
    r = Run(PF_POSTCODE_IMPORT, args);
    EXPECT_EQ(r.exitCode, 2) << args;
    EXPECT_NE(r.output.find("usage: postcode-import"), std::string::npos) << r.output;
  }
  r = Run(PF_POSTCODE_IMPORT, "--help");
  EXPECT_EQ(r.exitCode, 0);
  // A file of column names alone gives no table.
  const std::string table = (dir_ / "T.DBF").string();
  r = Run(PF_POSTCODE_IMPORT,
          "-o " + Quoted(table) + " " + Quoted(Write("names.txt", RangeFileText({kLotColumns}))));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("the files hold no rows"), std::string::npos) << r.output;
  EXPECT_FALSE(fs::exists(table));
}
