// The folder rule shared by the finder and the command-line tools: a
// writable program folder keeps everything beside the program, an installed
// one (not writable, or the install folder) uses the user's XDG folders.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "platform/RunFolders.h"

namespace {

namespace fs = std::filesystem;

// Sets environment variables for one test and restores them afterwards.
class Environment {
 public:
  ~Environment() {
    for (const auto& [name, value] : saved_)
      value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
  }
  void Set(const std::string& name, const std::optional<std::string>& value) {
    if (!saved_.count(name)) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

class RunFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/run-folders-XXXXXX";
    root_ = ::mkdtemp(tmpl);
    program_ = root_ + "/program";
    fs::create_directories(program_);
    env_.Set("HOME", root_ + "/home");
    env_.Set("XDG_CONFIG_HOME", root_ + "/config");
    env_.Set("XDG_CACHE_HOME", root_ + "/cache");
    env_.Set("XDG_DATA_HOME", root_ + "/data");
  }
  void TearDown() override {
    ::chmod(program_.c_str(), 0755);
    fs::remove_all(root_);
  }
  void MakeReadOnly() { ASSERT_EQ(::chmod(program_.c_str(), 0555), 0); }

  std::string root_, program_;
  Environment env_;
};

TEST_F(RunFoldersTest, AWritableProgramFolderKeepsEverythingBesideTheProgram) {
  const platform::RunFolders f = platform::ResolveRunFolders(program_);
  EXPECT_FALSE(f.installed);
  EXPECT_EQ(f.program, program_);
  EXPECT_EQ(f.settings, program_ + "/LOG");
  EXPECT_EQ(f.table, program_);
  EXPECT_EQ(f.index, "");  // the working directory
  EXPECT_EQ(f.importTable, program_ + "/POSTCODE.DBF");
  // A table in the user's data folder is not looked at.
  fs::create_directories(root_ + "/data/postcode-finder");
  std::ofstream(root_ + "/data/postcode-finder/POSTCODE.DBF") << "x";
  EXPECT_EQ(platform::ResolveRunFolders(program_).table, program_);
  EXPECT_FALSE(fs::exists(root_ + "/config"));  // nothing is created
}

TEST_F(RunFoldersTest, AnInstalledProgramUsesTheUsersFolders) {
  MakeReadOnly();
  platform::RunFolders f = platform::ResolveRunFolders(program_);
  EXPECT_TRUE(f.installed);
  EXPECT_EQ(f.settings, root_ + "/config/postcode-finder/LOG");
  EXPECT_EQ(f.index, root_ + "/cache/postcode-finder");
  EXPECT_EQ(f.importTable, root_ + "/data/postcode-finder/POSTCODE.DBF");
  EXPECT_EQ(f.table, program_);  // no table of the user's yet
  EXPECT_FALSE(fs::exists(root_ + "/cache"));

  // The user's table is preferred once it exists as a file.
  fs::create_directories(root_ + "/data/postcode-finder/POSTCODE.DBF");
  EXPECT_EQ(platform::ResolveRunFolders(program_).table, program_) << "a folder is no table";
  fs::remove(root_ + "/data/postcode-finder/POSTCODE.DBF");
  std::ofstream(root_ + "/data/postcode-finder/POSTCODE.DBF") << "x";
  EXPECT_EQ(platform::ResolveRunFolders(program_).table, root_ + "/data/postcode-finder");
}

TEST_F(RunFoldersTest, UnsetOrRelativeVariablesFallBackToTheHomeFolder) {
  MakeReadOnly();
  env_.Set("XDG_CONFIG_HOME", std::nullopt);
  env_.Set("XDG_CACHE_HOME", "");
  env_.Set("XDG_DATA_HOME", "relative/data");
  const platform::RunFolders f = platform::ResolveRunFolders(program_);
  EXPECT_EQ(f.settings, root_ + "/home/.config/postcode-finder/LOG");
  EXPECT_EQ(f.index, root_ + "/home/.cache/postcode-finder");
  EXPECT_EQ(f.importTable, root_ + "/home/.local/share/postcode-finder/POSTCODE.DBF");
  EXPECT_EQ(platform::XdgConfigHome(), root_ + "/home/.config");
}

TEST_F(RunFoldersTest, MakeFoldersCreatesEveryMissingLevelPrivately) {
  const std::string deep = root_ + "/a/b/c/";
  EXPECT_TRUE(platform::MakeFolders(deep));
  EXPECT_TRUE(fs::is_directory(root_ + "/a/b/c"));
  struct stat st {};
  ASSERT_EQ(::stat((root_ + "/a/b").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(platform::MakeFolders(deep)) << "an existing folder is fine";

  std::ofstream(root_ + "/file") << "x";
  EXPECT_FALSE(platform::MakeFolders(root_ + "/file"));
  EXPECT_FALSE(platform::MakeFolders(root_ + "/file/below"));
  EXPECT_FALSE(platform::MakeFolders(""));
}

TEST(RunFolders, TheExecutableFolderIsTheBuildsProgramFolder) {
  EXPECT_EQ(fs::canonical(platform::ExecutableFolder()), fs::canonical(PF_BIN_DIR));
  EXPECT_FALSE(platform::IsInstalledProgramFolder(PF_BIN_DIR));
}

}  // namespace
