// The converter as the build runs it: a good list makes the table, a
// malformed one is refused with its line number and writes nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "ProcessRun.h"
#include "SourceText.h"
#include "ToolFolder.h"

namespace fs = std::filesystem;

namespace {

class Csv2DbfTool : public ToolFolder {
 protected:
  Csv2DbfTool() : ToolFolder("csv2dbf-test") {}
  ProcessResult Run(const std::string& csv, const std::string& dbf) {
    return RunCommand(Quoted(PF_CSV2DBF) + " " + Quoted(csv) + " " + Quoted(dbf));
  }
};

}  // namespace

TEST_F(Csv2DbfTool, AGoodListMakesTheTable) {
  const std::string csv =
      Write("good.csv", SourceCsv({"135-806,서울,강남구,개포1동 경남아파트,,1"}));
  const std::string dbf = (dir_ / "POSTCODE.DBF").string();
  ProcessResult r = Run(csv, dbf);
  EXPECT_EQ(r.exitCode, 0) << r.output;
  const std::string table = Read(dbf);
  ASSERT_EQ(table.size(), 129u + 1 + 7 + 4 + K("서울 강남구 개포1동 경남아파트").size() + 1);
  // The temporary file it was written through is gone.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(Csv2DbfTool, AMalformedLineIsReportedWithItsNumberAndNothingIsWritten) {
  const std::string csv = Write("bad.csv", SourceCsv({
                                               "135-806,서울,강남구,개포1동,,1",
                                               "135-807,서울,강남구,개포2동,,2",
                                               "135-808,서울,강남구,개포3동,3",
                                           }));
  const std::string dbf = (dir_ / "POSTCODE.DBF").string();
  ProcessResult r = Run(csv, dbf);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("bad.csv:4:"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("no table written"), std::string::npos) << r.output;
  EXPECT_FALSE(fs::exists(dbf));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(Csv2DbfTool, ASeqOutOfRangeIsReportedWithItsLine) {
  // "-0" once wrote before the first row; each is refused with its line now.
  for (const char* seq : {"-0", "-1", "3", "2147483648"}) {
    const std::string second = std::string("135-807,서울,강남구,개포2동,,") + seq;
    const std::string csv =
        Write("seq.csv", SourceCsv({"135-806,서울,강남구,개포1동,,1", second.c_str()}));
    const std::string dbf = (dir_ / "POSTCODE.DBF").string();
    ProcessResult r = Run(csv, dbf);
    EXPECT_EQ(r.exitCode, 1) << seq << ": " << r.output;
    EXPECT_NE(r.output.find("seq.csv:3: SEQ"), std::string::npos) << seq << ": " << r.output;
    EXPECT_FALSE(fs::exists(dbf));
  }
}

TEST_F(Csv2DbfTool, ARefusedListLeavesAnEarlierTableAsItWas) {
  const std::string dbf = Write("POSTCODE.DBF", "earlier table");
  const std::string csv = Write("bad.csv", "ZIPCODE,SIDO,GUGUN,DONG,BUNJI,SEQ\r\n135-806,\x80\r\n");
  ProcessResult r = Run(csv, dbf);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("bad.csv:2:"), std::string::npos) << r.output;
  EXPECT_EQ(Read(dbf), "earlier table");
}

TEST_F(Csv2DbfTool, MissingSourceAndUnwritableFolderAreClearErrors) {
  ProcessResult r = Run((dir_ / "none.csv").string(), (dir_ / "x.dbf").string());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("cannot be read"), std::string::npos) << r.output;

  const std::string csv = Write("good.csv", SourceCsv({"135-806,서울,강남구,개포1동,,1"}));
  r = Run(csv, (dir_ / "no-such-folder" / "POSTCODE.DBF").string());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("no-such-folder"), std::string::npos) << r.output;

  r = RunCommand(Quoted(PF_CSV2DBF));
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.output.find("usage"), std::string::npos);
}
