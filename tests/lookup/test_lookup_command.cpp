// postcode-lookup run as a user runs it: a program folder of its own (the
// program and the two libraries copied from the build, a small table made by
// the build's converter), the exit statuses, the formats, a list on standard
// input, the index built when missing or stale, and the folders of an
// installed program.
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "tests/data/ProcessRun.h"
#include "tests/search/PostalFixture.h"
#include "tests/support/DbfImage.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out, err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class LookupCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = root_.file("program");
    work_ = root_.file("work");
    fs::create_directories(program_);
    fs::create_directories(work_);
    for (const char* file : {"postcode-lookup", "libdbfengine.so", "libftsindex.so"})
      fs::copy_file(fs::path(PF_BIN_DIR) / file, fs::path(program_) / file);
    searchtest::WriteSmallTable(program_);
  }
  void TearDown() override { ::chmod(program_.c_str(), 0755); }

  // Runs the program from the work folder with the given arguments (shell
  // words) and standard input, under a home folder of its own.
  Outcome Lookup(const std::string& args, const std::string& input = "") {
    std::ofstream(root_.file("stdin"), std::ios::binary) << input;
    const std::string command =
        "(cd " + Quoted(work_) + " && env HOME=" + Quoted(root_.file("home")) +
        " XDG_CACHE_HOME= XDG_DATA_HOME= XDG_CONFIG_HOME= " + env_ + " " +
        Quoted(program_ + "/postcode-lookup") + " " + args + " <" + Quoted(root_.file("stdin")) +
        " >" + Quoted(root_.file("stdout")) + " 2>" + Quoted(root_.file("stderr")) + ")";
    Outcome r;
    r.status = RunCommand(command).exitCode;
    r.out = ReadFile(root_.file("stdout"));
    r.err = ReadFile(root_.file("stderr"));
    return r;
  }

  searchtest::TempFolder root_;
  std::string program_, work_, env_;
};

TEST_F(LookupCommand, OneQueryInEachFormatAndTheExitStatus) {
  Outcome r = Lookup("개포1동");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "135-806\t02\t서울 강남구 개포1동 경남아파트\n"
            "135-807\t02\t서울 강남구 개포1동 우성3차아파트 (1∼6동)\n"
            "135-770\t02\t서울 강남구 개포1동 주공아파트 (1∼16동)\n");
  EXPECT_NE(r.err.find("building the index POSTCODE.FTS (6 records)"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::exists(work_ + "/POSTCODE.FTS")) << "a build's index: in the working directory";

  r = Lookup("--csv --limit 1 강남구 개포1동");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "zipcode,ddd,address\n135-806,02,서울 강남구 개포1동 경남아파트\n");
  EXPECT_EQ(r.err, "") << "the index is there now";

  r = Lookup("--json 부산");
  EXPECT_EQ(r.out,
            "[\n{\"zipcode\":\"612-020\",\"ddd\":\"051\",\"address\":\"부산 해운대구 가나 "
            "나다\"}\n]\n");

  r = Lookup("가나다");  // a candidate that its record does not confirm
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Lookup("--json 없는말").out, "[]\n");
}

TEST_F(LookupCommand, AListOnStandardInputKeepsEveryLine) {
  // Every line has its row: one that matched nothing (or is blank) its line
  // number and empty fields, so that the answers keep the list's lines.
  Outcome r = Lookup("-", "개포2동\n\n없는말\r\n부산 해운대구\r\n  \n역삼동");
  EXPECT_EQ(r.status, 1) << "some lines matched nothing: " << r.err;
  EXPECT_EQ(r.out,
            "1\t135-240\t02\t서울 강남구 개포2동\n"
            "2\t\t\t\n"
            "3\t\t\t\n"
            "4\t612-020\t051\t부산 해운대구 가나 나다\n"
            "5\t\t\t\n"
            "6\t135-999\t02\t서울 강남구 역삼동 끝\n");
  r = Lookup("-", "개포2동\n부산 해운대구\n");
  EXPECT_EQ(r.status, 0) << "every line matched";

  r = Lookup("--csv -", "없는말\n개포2동\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "line,zipcode,ddd,address,status\n"
            "1,,,,not found\n"
            "2,135-240,02,서울 강남구 개포2동,\n");
  r = Lookup("--json -", "없는말\n");
  EXPECT_EQ(r.out, "[\n{\"line\":1,\"status\":\"not found\"}\n]\n");

  // A zero byte is part of its line: the lines after it keep their numbers.
  r = Lookup("--limit 1 -", std::string("a\0b\n", 4) + "개포2동\n부산 해운대구\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out,
            "1\t\t\t\n"
            "2\t135-240\t02\t서울 강남구 개포2동\n"
            "3\t612-020\t051\t부산 해운대구 가나 나다\n");
  EXPECT_NE(r.err.find("line 1: holds a zero byte"), std::string::npos) << r.err;

  // A line that is no UTF-8 is reported and not searched; the others are answered.
  r = Lookup("-", "\xB0\xB3\xC6\xF7\n개포2동\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "1\t\t\t\n2\t135-240\t02\t서울 강남구 개포2동\n");
  EXPECT_NE(r.err.find("line 1: not UTF-8 text"), std::string::npos) << r.err;

  r = Lookup("-", std::string(100000, 'x') + "\n개포2동\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "1\t\t\t\n2\t135-240\t02\t서울 강남구 개포2동\n");
  EXPECT_NE(r.err.find("line 1: longer than"), std::string::npos) << r.err;

  // Over 255 bytes once in CP949: refused with its reason, not searched cut.
  std::string words = "개포2동";
  while (words.size() < 400) words += " 개포2동";
  r = Lookup("-", words + "\n개포2동\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "1\t\t\t\n2\t135-240\t02\t서울 강남구 개포2동\n");
  EXPECT_NE(r.err.find("line 1: longer than 255 bytes"), std::string::npos) << r.err;
}

TEST_F(LookupCommand, ClosedStandardInputIsAnEmptyListNotTheTable) {
  Lookup("개포2동");  // the index, built beforehand
  const std::string command = "cd " + Quoted(work_) + " && env HOME=" + Quoted(root_.file("home")) +
                              " " + Quoted(program_ + "/postcode-lookup") + " - <&- >" +
                              Quoted(root_.file("stdout")) + " 2>" + Quoted(root_.file("stderr"));
  EXPECT_EQ(RunCommand(command).exitCode, 0) << ReadFile(root_.file("stderr"));
  EXPECT_EQ(ReadFile(root_.file("stdout")), "") << "the table opened as descriptor 0 was read";
}

TEST_F(LookupCommand, ErrorsSayWhatIsWrong) {
  struct Case {
    const char* args;
    const char* message;
  } cases[] = {
      {"", "no search words given"},
      {"--xml x", "unknown option '--xml'"},
      {"--limit 0 x", "--limit takes a whole number"},
      {"- x", "not both"},
      {"\"$(printf '\\260\\263')\"", "not UTF-8"},
  };
  for (const Case& c : cases) {
    const Outcome r = Lookup(c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
    EXPECT_EQ(r.out, "") << c.args;
  }

  fs::remove(program_ + "/libftsindex.so");
  Outcome r = Lookup("개포1동");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unable to load required library " + program_ + "/libftsindex.so"),
            std::string::npos)
      << r.err;
  fs::copy_file(fs::path(PF_BIN_DIR) / "libftsindex.so", fs::path(program_) / "libftsindex.so");

  fs::remove(program_ + "/POSTCODE.DBF");
  r = Lookup("개포1동");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unable to open the table " + program_ + "/POSTCODE.DBF"), std::string::npos)
      << r.err;
  r = Lookup("--version");
  EXPECT_EQ(r.status, 2);
}

TEST_F(LookupCommand, FieldsAreFoundByNameInAnyOrder) {
  // A table written field by field (tests/support/DbfImage.h): the three
  // fields after one the finder does not use, in another order.
  using testsupport::DbfField;
  const std::vector<DbfField> fields = {
      {"NOTE", 'C', 3}, {"ETC", 'C', 30}, {"DDD", 'C', 4}, {"ZIPCODE", 'C', 7}};
  std::ofstream(program_ + "/POSTCODE.DBF", std::ios::binary) << testsupport::DbfImage(
      fields, {{"abc", searchtest::Cp949("서울 중구 가동"), "02", "100-100"},
               {"xyz", searchtest::Cp949("서울 중구 나동"), "02", "100-200"}});
  Outcome r = Lookup("--csv 나동");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "zipcode,ddd,address\n100-200,02,서울 중구 나동\n");

  std::ofstream(program_ + "/POSTCODE.DBF", std::ios::binary) << testsupport::DbfImage(
      {{"ZIPCODE", 'C', 7}, {"DDD", 'C', 4}, {"ADDR", 'C', 30}}, {{"100-100", "02", "x"}});
  r = Lookup("x");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("has no field ETC"), std::string::npos) << r.err;
}

TEST_F(LookupCommand, AMissingDamagedOrStaleIndexIsBuiltAgain) {
  const std::string index = work_ + "/POSTCODE.FTS";
  std::ofstream(index, std::ios::binary) << "not an index at all";
  Outcome r = Lookup("개포2동");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("building the index"), std::string::npos);

  // An index of another table (two records) does not answer for this one.
  {
    searchtest::TempFolder other;
    searchtest::WritePostcodeTable(other.path(),
                                   {"100-100,서울,중구,가동,,1", "100-200,서울,중구,나동,,2"});
    fs::copy_file(fs::path(other.path()) / "POSTCODE.DBF", fs::path(program_) / "POSTCODE.DBF",
                  fs::copy_options::overwrite_existing);
    EXPECT_EQ(Lookup("나동").out, "100-200\t02\t서울 중구 나동\n");
  }
  searchtest::WriteSmallTable(program_);
  r = Lookup("개포2동");
  EXPECT_EQ(r.out, "135-240\t02\t서울 강남구 개포2동\n");
  EXPECT_NE(r.err.find("building the index"), std::string::npos);
  EXPECT_EQ(Lookup("개포2동").err, "") << "built once";

  // The same size and record count, one byte changed: 개포2동 becomes 개포9동.
  {
    const std::string table = program_ + "/POSTCODE.DBF";
    std::string bytes;
    {
      std::ifstream in(table, std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const size_t record = bytes.find("135-240");
    ASSERT_NE(record, std::string::npos);
    const size_t digit = bytes.find('2', record + 11);  // the first '2' of ETC
    ASSERT_NE(digit, std::string::npos);
    bytes[digit] = '9';
    std::ofstream(table, std::ios::binary | std::ios::trunc) << bytes;
  }
  r = Lookup("개포9동");
  EXPECT_EQ(r.out, "135-240\t02\t서울 강남구 개포9동\n") << r.err;
  EXPECT_NE(r.err.find("building the index"), std::string::npos);

  // A folder stands where the index goes: it can be neither read nor
  // written (whatever the user's rights).
  fs::remove(index);
  fs::create_directory(index);
  r = Lookup("개포2동");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unable to create the index POSTCODE.FTS"), std::string::npos) << r.err;
}

TEST_F(LookupCommand, AnInstalledProgramUsesTheUsersFoldersFromAnyWorkingDirectory) {
  ASSERT_EQ(::chmod(program_.c_str(), 0555), 0);
  env_ = "XDG_CACHE_HOME=" + Quoted(root_.file("cache")) +
         " XDG_DATA_HOME=" + Quoted(root_.file("data"));
  Outcome r = Lookup("개포2동");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find(root_.file("cache") + "/postcode-finder/POSTCODE.FTS"), std::string::npos)
      << r.err;
  EXPECT_TRUE(fs::exists(root_.file("cache/postcode-finder/POSTCODE.FTS")));
  EXPECT_FALSE(fs::exists(work_ + "/POSTCODE.FTS"));

  // A table the user imported comes first.
  fs::create_directories(root_.file("data/postcode-finder"));
  searchtest::WritePostcodeTable(root_.file("data/postcode-finder"),
                                 {"135-888,서울,강남구,개포2동 새주소,,1"});
  r = Lookup("개포2동");
  EXPECT_EQ(r.out, "135-888\t02\t서울 강남구 개포2동 새주소\n");
  r = Lookup("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("table " + root_.file("data/postcode-finder/POSTCODE.DBF") + ", dated "),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find(", 1 records"), std::string::npos) << r.out;
}

TEST_F(LookupCommand, HelpAndVersion) {
  Outcome r = Lookup("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("Usage: postcode-lookup", 0), 0u) << r.out;
  r = Lookup("--version");
  EXPECT_EQ(r.status, 0) << r.err;
  // The table's header date, as the converter wrote it.
  const std::string header = ReadFile(program_ + "/POSTCODE.DBF").substr(0, 4);
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", 1900 + static_cast<unsigned char>(header[1]),
                header[2], header[3]);
  EXPECT_EQ(r.out, "postcode-lookup 1.0\ntable " + program_ + "/POSTCODE.DBF, dated " + date +
                       ", 6 records\n");
}

}  // namespace
