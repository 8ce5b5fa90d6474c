// Writes that fail, and kills in the middle of them. The index, the settings
// file and an imported table are each written by the program's own code in a
// process of its own, under an LD_PRELOAD shim (fault_inject.c) that makes
// write, fsync or rename fail, or kills the process right before any one of
// them. A failure leaves the old file as it was, leaves no temporary file and
// gives the program's message; a kill leaves the old file or the complete new
// one, and the next start cleans up after it. Tables are made with the
// converter of the postal table from small source lists written here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Cp949Check.h"
#include "PostcodeDbf.h"
#include "ProcessRun.h"
#include "SourceCsv.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> Entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The source list of rows (UTF-8, without header) as the converter reads it.
std::string SourceList(const std::vector<std::string>& rows) {
  std::string csv = "ZIPCODE,SIDO,GUGUN,DONG,BUNJI,SEQ\r\n";
  for (const std::string& r : rows) csv += postal::Cp949FromUtf8(r.c_str()) + "\r\n";
  return csv;
}

void WriteTable(const fs::path& path, const std::vector<std::string>& rows) {
  postal::ConvertError e;
  auto parsed = postal::ParseSourceCsv(SourceList(rows), &e);
  ASSERT_TRUE(parsed) << e.reason;
  auto table = postal::BuildPostcodeDbf(*parsed, &e);
  ASSERT_TRUE(table) << e.reason;
  Write(path, *table);
}

const std::vector<std::string> kSix = {"135-806,서울,강남구,개포1동 경남아파트,,1",
                                       "135-807,서울,강남구,개포1동 우성3차아파트,,2",
                                       "135-240,서울,강남구,개포2동,,3",
                                       "135-770,서울,강남구,개포1동 주공아파트,,4",
                                       "612-020,부산,해운대구,우동,,5",
                                       "135-999,서울,강남구,역삼동,,6"};

class Faults : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("faults-test-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(tables_ = root_ / "tables");
    fs::create_directories(work_ = root_ / "work");
    WriteTable(tables_ / "POSTCODE.DBF", kSix);
  }
  void TearDown() override { fs::remove_all(root_); }

  // A command line run under the shim; faults confined to the work folder.
  ProcessResult Run(const std::string& faults, const std::string& command,
                    const fs::path& cwd) const {
    return RunCommand("cd " + Quoted(cwd.string()) +
                      " && env PF_FAULT_DIR=" + Quoted(root_.string()) + " " + faults +
                      " LD_PRELOAD=" + Quoted(PF_FAULT_SHIM) +
                      " ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 " + command);
  }
  ProcessResult Finder(const std::string& faults, const std::string& search = "개포1동") const {
    return Run(
        faults,
        Quoted(PF_FAULT_HELPER) + " index " + Quoted(tables_.string() + "/") + " " + Quoted(search),
        work_);
  }
  // An index made for another table: present, but the start builds anew.
  std::string PlantStaleIndex() {
    const fs::path other = root_ / "other";
    fs::create_directories(other);
    WriteTable(other / "POSTCODE.DBF", {"135-806,서울,강남구,개포1동,,1"});
    const ProcessResult r =
        Run("", Quoted(PF_FAULT_HELPER) + " index " + Quoted(other.string() + "/"), work_);
    EXPECT_NE(r.output.find("1개 키 생성"), std::string::npos) << r.output;
    fs::remove_all(other);
    return Read(work_ / "POSTCODE.FTS");
  }

  fs::path root_, tables_, work_;
};

TEST_F(Faults, AFailedIndexWriteKeepsTheOldFileSaysSoAndStillSearchesRight) {
  const std::string stale = PlantStaleIndex();
  ASSERT_FALSE(stale.empty());
  for (const char* fault : {"write", "fsync", "rename"}) {
    SCOPED_TRACE(fault);
    const ProcessResult r = Finder(std::string("PF_FAULT_FAIL=") + fault);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("FTS 인덱스를 저장할 수 없습니다."), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("인덱스 파일: " + (fs::canonical(work_) / "POSTCODE.FTS").string()),
              std::string::npos)
        << r.output;
    EXPECT_EQ(r.output.find("키 생성"), std::string::npos) << "no count after a failed save";
    // Without the index the search confirms every record: the three rows of
    // 개포1동, not "not found".
    EXPECT_NE(r.output.find("matches 3"), std::string::npos) << r.output;
    EXPECT_EQ(Read(work_ / "POSTCODE.FTS"), stale);
    EXPECT_EQ(Entries(work_), std::vector<std::string>{"POSTCODE.FTS"});
  }
  // Without a fault the next start builds and saves it.
  const ProcessResult r = Finder("");
  EXPECT_NE(r.output.find("6개 키 생성"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("matches 3"), std::string::npos) << r.output;
}

TEST_F(Faults, AKillAtAnyMomentOfTheIndexBuildLeavesTheOldIndexOrTheNewOne) {
  // The reference run: its new index, and the counted calls of the build.
  const std::string stale = PlantStaleIndex();
  const fs::path log = root_ / "calls.log";
  ProcessResult r = Finder("PF_FAULT_LOG=" + Quoted(log.string()));
  ASSERT_NE(r.output.find("6개 키 생성"), std::string::npos) << r.output;
  const std::string built = Read(work_ / "POSTCODE.FTS");
  const std::string calls = Read(log);
  const int count = static_cast<int>(std::count(calls.begin(), calls.end(), '\n'));
  ASSERT_GE(count, 3) << calls;  // at least write, fsync, rename

  for (bool withOld : {true, false}) {
    for (int k = 1; k <= count; ++k) {
      SCOPED_TRACE((withOld ? "old index, kill before call " : "no index, kill before call ") +
                   std::to_string(k));
      for (const std::string& name : Entries(work_)) fs::remove(work_ / name);
      if (withOld) Write(work_ / "POSTCODE.FTS", stale);
      r = Finder("PF_FAULT_KILL_AT=" + std::to_string(k));
      EXPECT_NE(r.exitCode, 0) << "killed";
      EXPECT_EQ(r.output.find("matches"), std::string::npos) << r.output;
      if (fs::exists(work_ / "POSTCODE.FTS")) {
        const std::string now = Read(work_ / "POSTCODE.FTS");
        EXPECT_TRUE(now == built || (withOld && now == stale)) << "a partial index";
      }
      // The next start removes any leftover and ends with one whole index.
      r = Finder("");
      EXPECT_NE(r.output.find("matches 3"), std::string::npos) << r.output;
      EXPECT_EQ(Read(work_ / "POSTCODE.FTS"), built);
      EXPECT_EQ(Entries(work_), std::vector<std::string>{"POSTCODE.FTS"});
    }
  }
}

TEST_F(Faults, AFailedSettingsWriteKeepsTheFileAndSaysUnableToWrite) {
  const fs::path program = root_ / "program";
  fs::create_directories(program / "LOG");
  const fs::path ini = program / "LOG" / "KOLBRENT.INI";
  const std::string before = "; kept\n[QORVA]\nCAPTION=x\nMSG=Y\n";
  Write(ini, before);
  const std::string setting = Quoted(PF_FAULT_HELPER) + " setting " + Quoted(program.string());
  for (const char* fault : {"write", "fsync", "rename"}) {
    SCOPED_TRACE(fault);
    const ProcessResult r = Run(std::string("PF_FAULT_FAIL=") + fault, setting + " N", root_);
    EXPECT_NE(r.output.find("Unable to write to " + ini.string()), std::string::npos) << r.output;
    EXPECT_EQ(Read(ini), before);
    EXPECT_EQ(Entries(program / "LOG"), std::vector<std::string>{"KOLBRENT.INI"});
  }
  const ProcessResult r = Run("", setting + " N", root_);
  EXPECT_NE(r.output.find("written"), std::string::npos) << r.output;
  EXPECT_EQ(Read(ini), "; kept\n[QORVA]\nCAPTION=x\nMSG=N\n");
}

TEST_F(Faults, AFailedTableImportKeepsTheOldTable) {
  const fs::path dbf = tables_ / "POSTCODE.DBF";
  const std::string before = Read(dbf);
  Write(root_ / "new.csv", SourceList({"135-806,서울,강남구,개포1동,,1"}));
  const std::string import =
      Quoted(PF_CSV2DBF) + " " + Quoted((root_ / "new.csv").string()) + " " + Quoted(dbf.string());
  for (const char* fault : {"write", "fsync", "rename"}) {
    SCOPED_TRACE(fault);
    const ProcessResult r = Run(std::string("PF_FAULT_FAIL=") + fault, import, root_);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("csv2dbf: "), std::string::npos) << r.output;
    EXPECT_EQ(Read(dbf), before);
    EXPECT_EQ(Entries(tables_), std::vector<std::string>{"POSTCODE.DBF"});
  }
  const ProcessResult r = Run("", import, root_);
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(Read(dbf), before);
}

}  // namespace
