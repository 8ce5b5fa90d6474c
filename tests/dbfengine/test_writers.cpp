// The targets of the engine's two writers (dbe_IndexCreate, dbe_ScrambleTable):
// a regular file is replaced whole and keeps its mode; a device, a FIFO or a
// folder is refused and left as it is; a symbolic link is followed and stays
// a link; nothing is left behind in the folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <functional>

#include "DbfTestSupport.h"

using namespace dbftest;

namespace {

class DbfWriters : public ::testing::Test {
 protected:
  void SetUp() override {
    level_ = dbe_ErrorLevel(0);
    writeFile(dir_.file("t.dbf"), dbfBytes({{"NAME", 'C', 8}}, {{"b"}, {"a"}, {"c"}}));
    table_ = std::make_unique<OpenTable>(dir_.file("t.dbf"));
    ASSERT_TRUE(table_->ok());
  }
  void TearDown() override { dbe_ErrorLevel(level_); }

  // Each writer, answering whether it wrote `target`.
  std::vector<std::pair<std::string, std::function<bool(const std::string&)>>> writers() {
    return {{"index",
             [](const std::string& target) {
               const dbe_tag_def tag{"NAME", "NAME", nullptr, 0, 0};
               return dbe_IndexCreate(target.c_str(), &tag, 1) == 1;
             }},
            {"scramble", [this](const std::string& target) {
               return dbe_ScrambleTable(dir_.file("t.dbf").c_str(), target.c_str(), "pw") != 0;
             }}};
  }
  // What a writer that succeeded wrote: an index that opens, or a table that
  // opens with the password.
  static bool isOutput(const std::string& name, const std::string& path) {
    if (name == "index") {
      const int16_t order = dbe_IndexOpen(path.c_str());
      dbe_CloseIndexes();
      return order == 1;
    }
    OpenTable t(path, 3, "CHECK");
    return t.ok() && dbe_IsEncrypted(0) && dbe_RecCount() == 3;
  }

  TempDir dir_;
  std::unique_ptr<OpenTable> table_;
  int16_t level_ = 0;
};

}  // namespace

TEST_F(DbfWriters, ARegularFileIsReplacedWholeAndKeepsItsMode) {
  for (auto& [name, write] : writers()) {
    const std::string target = dir_.file(name + ".out");
    writeFile(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    const auto before = dir_.names();
    dbe_Select(table_->area());
    ASSERT_TRUE(write(target)) << name << ": " << dbe_ErrorText();
    EXPECT_TRUE(isOutput(name, target)) << name;
    struct stat st {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u) << name;
    EXPECT_EQ(dir_.names(), before) << name << ": nothing left beside it";
    // A new file gets the usual mode.
    const std::string fresh = dir_.file(name + ".new");
    dbe_Select(table_->area());
    ASSERT_TRUE(write(fresh));
    EXPECT_TRUE(isOutput(name, fresh));
  }
}

TEST_F(DbfWriters, AFifoAFolderOrADeviceIsRefusedAndLeftAlone) {
  ASSERT_EQ(mkfifo(dir_.file("fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(dir_.file("folder"));
  // A character device like /dev/null (1, 3), made here so that a writer that
  // replaced it could only harm this folder.
  const bool device = mknod(dir_.file("null").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
  for (auto& [name, write] : writers()) {
    for (const char* target : {"fifo", "folder", "null"}) {
      if (std::string(target) == "null" && !device) continue;
      const auto before = dir_.names();
      dbe_Select(table_->area());
      dbe_ClearError();
      EXPECT_FALSE(write(dir_.file(target))) << name << " " << target;
      EXPECT_EQ(dbe_Error(), DBE_E_WRITE);
      EXPECT_NE(str(dbe_ErrorText()).find(target), std::string::npos) << dbe_ErrorText();
      EXPECT_EQ(dir_.names(), before) << name << " " << target;
    }
    struct stat st {};
    EXPECT_EQ(lstat(dir_.file("fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << name;
    EXPECT_TRUE(std::filesystem::is_directory(dir_.file("folder")));
    if (device) {
      EXPECT_EQ(lstat(dir_.file("null").c_str(), &st), 0);
      EXPECT_TRUE(S_ISCHR(st.st_mode)) << name;
    }
  }
  if (!device) GTEST_SKIP() << "no device could be made here (needs root): FIFO and folder only";
}

TEST_F(DbfWriters, ALinkIsFollowedToItsFileAndStaysALink) {
  std::filesystem::create_directory(dir_.file("real"));
  for (auto& [name, write] : writers()) {
    const std::string file = dir_.file("real/" + name);
    writeFile(file, "old");
    const std::string link = dir_.file(name + ".link");
    std::filesystem::create_symlink(file, link);
    dbe_Select(table_->area());
    ASSERT_TRUE(write(link)) << name << ": " << dbe_ErrorText();
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link), file);
    EXPECT_TRUE(isOutput(name, file)) << name;

    // A link to nothing is refused and stays as it is.
    const std::string dangling = dir_.file(name + ".dangling");
    std::filesystem::create_symlink(dir_.file("missing/" + name), dangling);
    dbe_Select(table_->area());
    dbe_ClearError();
    EXPECT_FALSE(write(dangling)) << name;
    EXPECT_EQ(dbe_Error(), DBE_E_WRITE);
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_FALSE(std::filesystem::exists(dir_.file("missing")));
  }
  size_t inReal = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir_.file("real")))
    inReal += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(inReal, 2u) << "no file left beside the link's target";
}
