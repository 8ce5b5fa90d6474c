// postcode-import as a user runs it: the table it writes read back by
// python3-dbf and GDAL's ogrinfo, the table beside the program replaced with
// a backup, and bad input refused with FILE:LINE while the existing table
// stays byte for byte as it was; targets that are no regular files left
// alone, an input cut short while it is read (tests/data/shrink_inject.c) and
// a kill in the middle of the write (tests/faults/fault_inject.c). The range
// files are written by hand in the published layout (RangeText.h).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

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
            "cp949 ZIPCODE:C7 DDD:C4 ETC:C83 ENG:C52\n"
            "06236|02|서울특별시 강남구 테헤란로 101∼151 (홀수)|101∼151 (odd) Teheran-ro, "
            "Gangnam-gu, Seoul\n"
            "24341|033|강원특별자치도 춘천시 중앙로 지하 12∼30 (짝수)|Jiha 12∼30 (even) "
            "Jungang-ro, Chuncheon-si, Gangwon\n"
            "06234|02|서울특별시 강남구 역삼동 601∼720 (역삼1동)|\n");

  r = RunCommand("ogrinfo -ro -al " + Quoted(table));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("Feature Count: 3"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("ZIPCODE: String (7.0)\nDDD: String (4.0)\nETC: String (83.0)\n"
                          "ENG: String (52.0)"),
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
  EXPECT_NE(r.output.find("warning: no index built for " + table), std::string::npos)
      << "no libraries beside this copy: the table is written, the index left to the finder\n"
      << r.output;
  EXPECT_EQ(Read(table + ".bak"), "the shipped table");
  EXPECT_EQ(Read(table + ".orig"), "the shipped table");
  const std::string first = Read(table);
  EXPECT_EQ(first.substr(0, 1), "\x03");
  EXPECT_EQ(Entries(program), (std::set<std::string>{"postcode-import", "POSTCODE.DBF",
                                                     "POSTCODE.DBF.bak", "POSTCODE.DBF.orig"}));

  // A second import keeps the first one as the backup, and the shipped
  // table still.
  r = Run(tool, Quoted(lot_));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(Read(table + ".bak"), first);
  EXPECT_EQ(Read(table + ".orig"), "the shipped table");
  EXPECT_NE(Read(table), first);

  // A table named with -o is the user's own: no backup beside it.
  const std::string mine = (dir_ / "mine.dbf").string();
  std::ofstream(mine, std::ios::binary) << "mine";
  ASSERT_EQ(Run(tool, "-o " + Quoted(mine) + " " + Quoted(lot_)).exitCode, 0);
  EXPECT_FALSE(fs::exists(mine + ".bak"));
  EXPECT_FALSE(fs::exists(mine + ".orig"));

  // An empty or a second -o is a mistake, not the finder's own table.
  const std::string before = Read(table);
  for (const std::string& args :
       {"-o '' " + Quoted(lot_), "-o '' -o " + Quoted(mine) + " " + Quoted(lot_),
        "-o " + Quoted(mine) + " -o '' " + Quoted(lot_)}) {
    r = Run(tool, args);
    EXPECT_EQ(r.exitCode, 2) << args;
    EXPECT_NE(r.output.find("usage: postcode-import"), std::string::npos) << r.output;
  }
  EXPECT_EQ(Read(table), before);
  EXPECT_EQ(Read(table + ".bak"), first);
}

TEST_F(PostcodeImportTool, TheNewTablesIndexIsBuiltWhereTheFinderLooksForIt) {
  // The programs and their libraries in a folder of their own, run from
  // another folder, as a user runs them.
  const fs::path program = dir_ / "program", work = dir_ / "work";
  fs::create_directories(program);
  fs::create_directories(work);
  for (const char* file :
       {"postcode-import", "postcode-lookup", "libdbfengine.so", "libftsindex.so"})
    fs::copy_file(fs::path(PF_BIN_DIR) / file, program / file);
  WriteGoodFiles();
  const std::string env = "cd " + Quoted(work.string()) + " && env HOME=" + Quoted(dir_.string()) +
                          " XDG_CACHE_HOME= XDG_DATA_HOME= XDG_CONFIG_HOME= ";
  auto import = [&](const std::string& args) {
    return RunCommand(env + Quoted((program / "postcode-import").string()) + " " + args);
  };
  auto lookup = [&](const std::string& args) {
    return RunCommand(env + Quoted((program / "postcode-lookup").string()) + " " + args);
  };
  const std::string found = "06236\t02\t서울특별시 강남구 테헤란로 101∼151 (홀수)\n";

  // Beside a program the user can write, the finder keeps its index in the
  // working directory.
  ProcessResult r = import(Quoted(road_) + " " + Quoted(lot_));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("index " + (work / "POSTCODE.FTS").string() + " built in "),
            std::string::npos)
      << r.output;
  r = lookup("테헤란로 131");
  EXPECT_EQ(r.output, found) << "found with the import's index, none built";

  // Installed (a folder without write permission): the user's data and
  // cache folders.
  fs::remove(work / "POSTCODE.FTS");
  fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
  r = import(Quoted(road_));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(fs::exists(dir_ / ".local/share/postcode-finder/POSTCODE.DBF"));
  EXPECT_TRUE(fs::exists(dir_ / ".cache/postcode-finder/POSTCODE.FTS")) << r.output;
  r = lookup("테헤란로 131");
  EXPECT_EQ(r.output, found);
  fs::permissions(program, fs::perms::owner_all);
  EXPECT_FALSE(fs::exists(work / "POSTCODE.FTS"));

  // A table named with -o: its index beside it, named after it; none with
  // --no-index.
  const fs::path mine = dir_ / "mine.dbf", other = dir_ / "other";
  r = import("-o " + Quoted(mine.string()) + " " + Quoted(road_));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(fs::exists(dir_ / "mine.FTS")) << r.output;
  r = import("--no-index -o " + Quoted(other.string()) + " " + Quoted(road_));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(fs::exists(other));
  EXPECT_FALSE(fs::exists(dir_ / "other.FTS"));
  EXPECT_EQ(r.output.find("index"), std::string::npos) << r.output;
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
       ":2: 구역번호 \"6234\": not a five-digit zone number"},
      {Write("number.txt", RangeFileText({kRoadColumns,
                                          "06236|서울특별시|Seoul|강남구|Gangnam-gu|||"
                                          "테헤란로|Teheran-ro|0|101||15l||1"})),
       ":2: 끝건물번호(주) \"15l\": not a number"},
      {Write("bytes.txt", badBytes), ":3: bytes that are neither UTF-8 nor CP949"},
      {Write("long.txt", RangeFileText({kRoadColumns, kRoad1, kRoad2, tooLong.c_str()})),
       ":4: address of 2"},
      {Write("backwards.txt", RangeFileText({kRoadColumns,
                                             "06236|서울특별시|Seoul|강남구|Gangnam-gu|||"
                                             "테헤란로|Teheran-ro|0|500||3||3"})),
       ":2: 끝건물번호(주) 3 is below 시작건물번호(주) 500: the range runs backwards"},
      // A NUL does not end the message, an escape sequence does not reach
      // the terminal.
      {Write("control.txt", RangeFileText({kRoadColumns}) +
                                "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤" + '\0' +
                                "란로\x1B[31m|Teheran-ro|0|101||151||1\n"),
       ":2: 도로명 \"테헤\\x00란로\\x1B[31m\": control character"},
      {Write("zeros.txt", std::string(200000, '\0')),
       ":1: a line of more than 64 KiB: not a postal text file"},
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

TEST_F(PostcodeImportTool, AnOutputThatIsNoRegularFileIsLeftAlone) {
  WriteGoodFiles();
  const std::string fifo = (dir_ / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string folder = (dir_ / "folder.dbf").string();
  fs::create_directory(folder);
  std::vector<std::pair<std::string, std::string>> cases = {{fifo, "a FIFO"}, {folder, "a folder"}};
  // Only root may make a device node (as root the import once replaced
  // /dev/null itself); elsewhere that case is left out.
  const std::string device = (dir_ / "null").string();
  if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
    cases.emplace_back(device, "a character device");
  for (const auto& [path, kind] : cases) {
    struct stat before, after;
    ASSERT_EQ(::lstat(path.c_str(), &before), 0);
    const ProcessResult r = Run(PF_POSTCODE_IMPORT, "-o " + Quoted(path) + " " + Quoted(lot_));
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find(path + ": " + kind + ", not a regular file; it is left alone"),
              std::string::npos)
        << r.output;
    ASSERT_EQ(::lstat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode) << path;
    EXPECT_EQ(after.st_ino, before.st_ino) << path;
  }

  // A link is followed: the table it names is replaced, the link stays.
  const std::string real = (dir_ / "real.dbf").string();
  ASSERT_EQ(Run(PF_POSTCODE_IMPORT, "-o " + Quoted(real) + " " + Quoted(road_)).exitCode, 0);
  const std::string link = (dir_ / "T.DBF").string();
  fs::create_symlink("real.dbf", link);
  const ProcessResult r = Run(PF_POSTCODE_IMPORT, "-o " + Quoted(link) + " " + Quoted(lot_));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(real).substr(4, 4), std::string("\x01\0\0\0", 4)) << "the one lot row";
}

TEST_F(PostcodeImportTool, AnInputCutShortWhileItIsReadEndsTheImportWithItsName) {
  WriteGoodFiles();
  const std::string table = (dir_ / "T.DBF").string();
  ASSERT_EQ(Run(PF_POSTCODE_IMPORT, "-o " + Quoted(table) + " " + Quoted(road_)).exitCode, 0);
  const std::string before = Read(table);
  // About 2 MB of rows, cut to half a megabyte right after the first read
  // (or, for a reader that maps its input, right after the mapping).
  std::vector<const char*> lines(20000, kLot1);
  std::string rows;
  for (const char* l : lines) rows += std::string(l) + "\n";
  const std::string big = Write("big.txt", rows);
  const ProcessResult r = RunCommand(
      "env LD_PRELOAD=" + Quoted(PF_SHRINK_SHIM) + " PF_SHRINK_FILE=" + Quoted(big) +
      " PF_SHRINK_TO=500000 ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 " +
      Quoted(PF_POSTCODE_IMPORT) + " -o " + Quoted(table) + " " + Quoted(lot_) + " " + Quoted(big));
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_EQ(r.output.rfind(big + ": cut short while it was read (", 0), 0u) << r.output;
  EXPECT_NE(r.output.find(" of " + std::to_string(rows.size()) + " bytes)\n"), std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("no table written; " + table + " is as it was"), std::string::npos);
  EXPECT_EQ(Read(table), before);
  EXPECT_EQ(fs::file_size(big), 500000u) << "the shim did cut the file";
}

TEST_F(PostcodeImportTool, AKilledImportLeavesATemporaryThatTheNextImportRemoves) {
  WriteGoodFiles();
  const std::string table = (dir_ / "T.DBF").string();
  ASSERT_EQ(Run(PF_POSTCODE_IMPORT, "-o " + Quoted(table) + " " + Quoted(road_)).exitCode, 0);
  const std::string before = Read(table);
  const std::string import = Quoted(PF_POSTCODE_IMPORT) + " -o " + Quoted(table) + " " +
                             Quoted(road_) + " " + Quoted(lot_);
  auto underShim = [&](const std::string& faults) {
    return RunCommand("env PF_FAULT_DIR=" + Quoted(dir_.string()) + " " + faults +
                      " LD_PRELOAD=" + Quoted(PF_FAULT_SHIM) +
                      " ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 " + import);
  };
  // The counted calls of a whole import: the writes, the flush, the rename,
  // the folder's flush.
  const std::string log = (dir_ / "calls.log").string();
  ASSERT_EQ(underShim("PF_FAULT_LOG=" + Quoted(log)).exitCode, 0);
  const std::string calls = Read(log);
  fs::remove(log);
  const size_t rename = calls.find(" rename\n");
  ASSERT_NE(rename, std::string::npos) << calls;
  const int renameCall = std::stoi(calls.substr(calls.rfind('\n', rename) + 1));
  ASSERT_EQ(Run(PF_POSTCODE_IMPORT, "-o " + Quoted(table) + " " + Quoted(road_)).exitCode, 0);

  ProcessResult r = underShim("PF_FAULT_KILL_AT=" + std::to_string(renameCall));
  EXPECT_NE(r.exitCode, 0) << r.output;
  EXPECT_EQ(Read(table), before);
  std::vector<std::string> leftovers;
  for (const std::string& name : Entries(dir_))
    if (name.rfind(".T.DBF.tmp-", 0) == 0) leftovers.push_back(name);
  ASSERT_EQ(leftovers.size(), 1u) << "the kill came before the rename";

  // A temporary that a live writer holds (locked) is not a leftover.
  const std::string held = Write(".T.DBF.tmp-Live00", "being written");
  const int fd = ::open(held.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  r = Run(PF_POSTCODE_IMPORT, "-o " + Quoted(table) + " " + Quoted(lot_));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_FALSE(fs::exists(dir_ / leftovers[0]));
  EXPECT_TRUE(fs::exists(held));
  ::close(fd);
}

TEST_F(PostcodeImportTool, AFolderThatCannotBeFlushedIsReported) {
  WriteGoodFiles();
  const std::string table = (dir_ / "T.DBF").string();
  // The first flush is the table's, the second the folder's after the rename.
  const ProcessResult r =
      RunCommand("env PF_FAULT_DIR=" + Quoted(dir_.string()) +
                 " PF_FAULT_FAIL=fsync:2 LD_PRELOAD=" + Quoted(PF_FAULT_SHIM) +
                 " ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 " +
                 Quoted(PF_POSTCODE_IMPORT) + " -o " + Quoted(table) + " " + Quoted(lot_));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("postcode-import: " + dir_.string() +
                          ": the new file is in place, but the folder could not be flushed to "
                          "disk (Input/output error)"),
            std::string::npos)
      << r.output;
  EXPECT_EQ(Read(table).substr(0, 1), "\x03");
}

TEST_F(PostcodeImportTool, APipeIsReadAsAFileIsAndAnEndlessOneIsRefused) {
  WriteGoodFiles();
  const std::string table = (dir_ / "T.DBF").string();
  ProcessResult r = RunCommand("cat " + Quoted(lot_) + " | " + Quoted(PF_POSTCODE_IMPORT) + " -o " +
                               Quoted(table) + " /dev/stdin");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("rows read: /dev/stdin 1;"), std::string::npos) << r.output;
  const std::string before = Read(table);
  // /dev/zero itself, and a pipe of zeros: no line end within 64 KiB.
  for (const std::string& input :
       {std::string("/dev/zero"), std::string("<(head -c 300000 /dev/zero)")}) {
    r = RunCommand("bash -c " +
                   Quoted(Quoted(PF_POSTCODE_IMPORT) + " -o " + Quoted(table) + " " + input));
    EXPECT_EQ(r.exitCode, 1) << input << r.output;
    EXPECT_NE(r.output.find(":1: a line of more than 64 KiB: not a postal text file\n"),
              std::string::npos)
        << r.output;
  }
  EXPECT_EQ(Read(table), before);
  EXPECT_EQ(Entries(dir_), (std::set<std::string>{"T.DBF", "T.FTS", "lot.txt", "road.txt"}));
}

TEST_F(PostcodeImportTool, AZipAndFilesInOneCallAndWhatTheSummarySays) {
  WriteGoodFiles();
  Write("readme.pdf", "%PDF");
  const std::string zip = (dir_ / "range.zip").string();
  ASSERT_EQ(RunCommand("cd " + Quoted(dir_.string()) +
                       " && touch -d '2024-07-16 10:00' road.txt && zip -q -X " + Quoted(zip) +
                       " road.txt readme.pdf")
                .exitCode,
            0);
  const std::string table = (dir_ / "T.DBF").string();
  const ProcessResult r =
      Run(PF_POSTCODE_IMPORT, "-o " + Quoted(table) + " " + Quoted(zip) + " " + Quoted(lot_));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("rows read: " + zip + ":road.txt 2, " + lot_ +
                          " 1; 3 records written to " + table + " in "),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("\npostcode-import: fields ZIPCODE C(7), DDD C(4), ETC C(83), ENG C(52); "
                          "dated 2024-07-16, the date of the data\n"
                          "postcode-import: left out, not text files: " +
                          zip + ":readme.pdf\n"),
            std::string::npos)
      << r.output;
}
