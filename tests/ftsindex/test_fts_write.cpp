// Writing the index: the old file kept until the new one is whole, the
// leftovers of a killed build, and names that are not regular files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "FtsTestSupport.h"
#include "ZipcodeRecords.h"

using ftstest::BuildIndex;
using ftstest::EntriesIn;
using ftstest::FirstNationalRecords;
using ftstest::ReadFile;
using ftstest::TempDir;
using ftstest::WriteFile;
namespace fs = std::filesystem;

namespace {

TEST(FtsWrite, BuildKeepsTheOldFileUntilClose) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  ASSERT_EQ(0, BuildIndex(path, {" old"}));
  const std::string old = ReadFile(path);
  const int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
  ASSERT_GT(h, 0);
  FtsAdd(h, " new");
  EXPECT_EQ(old, ReadFile(path));
  ASSERT_EQ(0, FtsClose(h));
  const int32_t r = FtsOpen(path.c_str(), 20, 1);
  EXPECT_EQ(1, FtsSet(r, "new"));
  FtsClose(r);
}

TEST(FtsWrite, BuildKilledHalfWayLeavesTheOldFile) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  ASSERT_EQ(0, BuildIndex(path, {" old"}));
  const std::string old = ReadFile(path);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FtsSetBuildMemory(1);  // runs written out, too
    const int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
    for (const auto& r : FirstNationalRecords(60000)) FtsAdd(h, r.c_str());
    _exit(0);  // gone without FtsClose
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(old, ReadFile(path));
  EXPECT_EQ(1u, EntriesIn(dir.Path()));
}

TEST(FtsWrite, LeftoversOfAKilledBuildGoAtTheNextBuildButNotALiveOnesFile) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  // What builds killed between their write and their rename leave behind,
  // named as this version and as earlier ones named them.
  const std::string stale = dir.File(".POSTCODE.FTS.tmp-Ab3dEf9Kx2Lq");
  const std::string older = dir.File(".POSTCODE.FTS.tmp-Ab3dEf");
  WriteFile(stale, "half an index");
  WriteFile(older, "half an index");
  // A temporary file that a live writer holds (locked) is not a leftover.
  const std::string live = dir.File(".POSTCODE.FTS.tmp-Zz9yXw");
  WriteFile(live, "being written");
  const int held = open(live.c_str(), O_RDONLY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(0, flock(held, LOCK_EX));
  // Files of other names stay as they are.
  const std::string other = dir.File(".OTHER.FTS.tmp-Ab3dEf");
  const std::string longer = dir.File(".POSTCODE.FTS.tmp-Ab3dEf.keep");
  WriteFile(other, "x");
  WriteFile(longer, "x");
  const int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
  ASSERT_GT(h, 0);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_FALSE(fs::exists(older));
  EXPECT_TRUE(fs::exists(live));
  EXPECT_TRUE(fs::exists(other));
  EXPECT_TRUE(fs::exists(longer));
  FtsAdd(h, " new");
  EXPECT_EQ(0, FtsClose(h));
  close(held);
  EXPECT_EQ(4u, EntriesIn(dir.Path()));  // the index, the live file, the other two
}

TEST(FtsWrite, TwoBuildsOfOneNameInOneProcessEachWriteTheirOwnFile) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  const int32_t a = FtsCreate(path.c_str(), 20, 2, 1, 1);
  const int32_t b = FtsCreate(path.c_str(), 20, 2, 1, 1);
  ASSERT_GT(a, 0);
  ASSERT_GT(b, 0);
  FtsAdd(a, " a");
  FtsAdd(b, " b");
  // Each writes and renames its own file: the last one closed is there.
  EXPECT_EQ(0, FtsClose(a));
  EXPECT_EQ(0, FtsClose(b));
  EXPECT_EQ(1u, EntriesIn(dir.Path()));
  const int32_t h = FtsOpen(path.c_str(), 20, 1);
  EXPECT_EQ(1, FtsSet(h, "b"));
  FtsClose(h);
}

TEST(FtsWrite, UnwritableFolderAtCloseReportsAndLeavesNothing) {
  TempDir dir;
  const std::string folder = dir.File("sub");
  fs::create_directory(folder);
  const int32_t h = FtsCreate((folder + "/POSTCODE.FTS").c_str(), 20, 2, 1, 1);
  ASSERT_GT(h, 0);
  FtsAdd(h, " x");
  fs::remove_all(folder);  // the folder is gone before the write
  EXPECT_EQ(FTS_ERR_IO, FtsClose(h));
  EXPECT_EQ(FTS_ERR_HANDLE, FtsNumRecs(h));
  EXPECT_FALSE(fs::exists(folder));
}

TEST(FtsWrite, TwoProcessesBuildingAtOnceLeaveAValidIndex) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  const auto records = FirstNationalRecords(20000);
  for (int round = 0; round < 3; ++round) {
    int go[2];
    ASSERT_EQ(0, pipe(go));
    pid_t kids[2];
    for (int k = 0; k < 2; ++k) {
      kids[k] = fork();
      ASSERT_GE(kids[k], 0);
      if (kids[k] == 0) {
        close(go[1]);
        char c;
        if (read(go[0], &c, 1) < 0) _exit(2);  // start together
        const size_t n = k == 0 ? records.size() : records.size() / 2;
        const int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
        for (size_t i = 0; i < n; ++i) FtsAdd(h, records[i].c_str());
        _exit(FtsClose(h) == 0 ? 0 : 1);
      }
    }
    close(go[0]);
    close(go[1]);  // releases both
    for (pid_t kid : kids) {
      int status = 0;
      waitpid(kid, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const int32_t h = FtsOpen(path.c_str(), 20, 1);
    ASSERT_GT(h, 0);
    const int32_t n = FtsNumRecs(h);
    EXPECT_TRUE(n == 20000 || n == 10000) << n;
    FtsClose(h);
    EXPECT_EQ(1u, EntriesIn(dir.Path()));
  }
}

// A name that is no regular file is never replaced: a device, a FIFO, a
// folder, a link to one of them or to nothing.
TEST(FtsWrite, ADeviceFifoOrFolderIsRefusedAndStaysAsItIs) {
  TempDir dir;
  struct stat null {};
  ASSERT_EQ(0, stat("/dev/null", &null));
  EXPECT_EQ(FTS_ERR_IO, FtsCreate("/dev/null", 20, 2, 1, 1));
  struct stat after {};
  ASSERT_EQ(0, stat("/dev/null", &after));
  EXPECT_TRUE(S_ISCHR(after.st_mode));
  EXPECT_EQ(null.st_ino, after.st_ino);

  const std::string fifo = dir.File("fifo.fts"), folder = dir.File("folder.fts");
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  fs::create_directory(folder);
  const std::string toNull = dir.File("null.fts"), toFifo = dir.File("tofifo.fts"),
                    dangling = dir.File("dangling.fts");
  fs::create_symlink("/dev/null", toNull);
  fs::create_symlink(fifo, toFifo);
  fs::create_symlink(dir.File("nothing/here.fts"), dangling);
  for (const std::string& name : {fifo, folder, toNull, toFifo, dangling}) {
    EXPECT_EQ(FTS_ERR_IO, FtsCreate(name.c_str(), 20, 2, 1, 1)) << name;
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_directory(folder));
  for (const std::string& link : {toNull, toFifo, dangling}) EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_FALSE(fs::exists(dir.File("nothing")));
  EXPECT_EQ(5u, EntriesIn(dir.Path())) << "no temporary file left";
}

TEST(FtsWrite, ANameThatBecomesAFifoBeforeCloseIsNotReplaced) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  const int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
  ASSERT_GT(h, 0);
  FtsAdd(h, " x");
  ASSERT_EQ(0, mkfifo(path.c_str(), 0600));
  EXPECT_EQ(FTS_ERR_IO, FtsClose(h));
  EXPECT_TRUE(fs::is_fifo(path));
  EXPECT_EQ(1u, EntriesIn(dir.Path()));
}

TEST(FtsWrite, ALinkIsFollowedToTheFileItNamesAndStays) {
  TempDir dir;
  fs::create_directory(dir.File("real"));
  const std::string target = dir.File("real/POSTCODE.FTS"), link = dir.File("POSTCODE.FTS");
  ASSERT_EQ(0, BuildIndex(target, {" old"}));
  fs::create_symlink("real/POSTCODE.FTS", link);  // relative, as links often are
  ASSERT_EQ(0, BuildIndex(link, {" new", " newer"}));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ("real/POSTCODE.FTS", fs::read_symlink(link).string());
  EXPECT_EQ(1u, EntriesIn(dir.File("real")));  // the new file, nothing beside it
  const int32_t h = FtsOpen(link.c_str(), 20, 1);
  ASSERT_GT(h, 0);
  EXPECT_EQ(2, FtsNumRecs(h));
  FtsClose(h);
  const int32_t real = FtsOpen(target.c_str(), 20, 1);
  EXPECT_EQ(2, FtsNumRecs(real));
  FtsClose(real);
}

}  // namespace
