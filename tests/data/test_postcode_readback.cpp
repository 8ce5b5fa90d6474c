// The POSTCODE.DBF that the build put beside the program, read back by two
// other DBF readers: python3-dbf checks every record against the source list
// (readback_postcode.py computes the expected rows on its own), GDAL's
// ogrinfo reads the count, the fields and a few known rows with their Korean.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ProcessRun.h"

namespace {

const std::string kTable = std::string(PF_BIN_DIR) + "/POSTCODE.DBF";
const std::string kSource = std::string(PF_SOURCE_DIR) + "/data/source/zipcode.csv";

ProcessResult OgrFeature(int fid) {
  return RunCommand("ogrinfo -ro -q " + Quoted(kTable) + " -sql " +
                    Quoted("SELECT * FROM POSTCODE WHERE FID = " + std::to_string(fid)));
}

}  // namespace

TEST(PostcodeReadback, Python3DbfReadsEveryRecordAsTheSourceHasIt) {
  ProcessResult r =
      RunCommand("/usr/bin/python3 " +
                 Quoted(std::string(PF_SOURCE_DIR) + "/tests/data/readback_postcode.py") + " " +
                 Quoted(kTable) + " " + Quoted(kSource));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output, "OK 52144\n");
}

TEST(PostcodeReadback, TheCheckerNoticesAWrongTable) {
  // One changed byte in the last record's address must be reported.
  const std::string copy = (std::filesystem::temp_directory_path() /
                            ("POSTCODE-changed-" + std::to_string(::getpid()) + ".DBF"))
                               .string();
  std::filesystem::copy_file(kTable, copy, std::filesystem::copy_options::overwrite_existing);
  {
    std::fstream f(copy, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(-3, std::ios::end);
    f.put('X');
  }
  ProcessResult r =
      RunCommand("/usr/bin/python3 " +
                 Quoted(std::string(PF_SOURCE_DIR) + "/tests/data/readback_postcode.py") + " " +
                 Quoted(copy) + " " + Quoted(kSource));
  std::filesystem::remove(copy);
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_NE(r.output.find("record 52144"), std::string::npos) << r.output;
}

TEST(PostcodeReadback, OgrinfoSeesTheFieldsAndTheCount) {
  ProcessResult r = RunCommand("ogrinfo -ro -al -so " + Quoted(kTable));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("Feature Count: 52144"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("ZIPCODE: String (7.0)\nDDD: String (4.0)\nETC: String (83.0)"),
            std::string::npos)
      << r.output;
}

TEST(PostcodeReadback, OgrinfoDecodesKnownRowsAsKorean) {
  struct Row {
    int fid;  // record number - 1
    const char* zipcode;
    const char* ddd;
    const char* etc;
  } rows[] = {
      {0, "135-806", "02", "서울 강남구 개포1동 경남아파트"},
      {1, "135-807", "02", "서울 강남구 개포1동 우성3차아파트 (1∼6동)"},
      {19216, "339-001", "044", "세종 가람동"},
      {22882, "423-070", "02", "경기 광명시 가학동"},
      {26215, "425-340", "032", "경기 안산시 단원구 대부남동"},
      {46702, "321-701", "042", "충남 계룡시 금암동 계룡시청"},
      {52143, "363-820", "043", "충북 청원군 현도면"},
  };
  for (const Row& row : rows) {
    ProcessResult r = OgrFeature(row.fid);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find(std::string("ZIPCODE (String) = ") + row.zipcode + "\n"),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find(std::string("DDD (String) = ") + row.ddd + "\n"), std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find(std::string("ETC (String) = ") + row.etc + "\n"), std::string::npos)
        << r.output;
  }
}
