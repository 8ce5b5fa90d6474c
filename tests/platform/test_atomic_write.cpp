// The one writer of files: what it refuses to replace, the link it
// follows, the mode it keeps, the leftovers of killed writers it removes (and
// the temporaries of live ones it leaves), and the backups it keeps.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/AtomicWrite.h"
#include "tests/data/ToolFolder.h"

namespace fs = std::filesystem;

namespace {

class AtomicWrite : public ToolFolder {
 protected:
  AtomicWrite() : ToolFolder("atomic-write-test") {}
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.insert(e.path().filename());
    return names;
  }
  static unsigned Mode(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
  }
};

}  // namespace

TEST_F(AtomicWrite, ATargetThatIsNoRegularFileIsRefusedAndLeftAsItIs) {
  const std::string fifo = (dir_ / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string folder = (dir_ / "folder").string();
  fs::create_directory(folder);
  struct Case {
    std::string path, kind;
  };
  std::vector<Case> cases = {{fifo, "a FIFO"}, {folder, "a folder"}};
  // Only root may make a device node; elsewhere that case is left out.
  const std::string device = (dir_ / "null").string();
  if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
    cases.push_back({device, "a character device"});
  for (const Case& c : cases) {
    const unsigned before = Mode(c.path);
    std::string why;
    EXPECT_FALSE(platform::WriteFileAtomically(c.path, "table", &why)) << c.path;
    EXPECT_EQ(why, c.path + ": " + c.kind + ", not a regular file; it is left alone");
    EXPECT_EQ(Mode(c.path), before) << c.path;
  }
  EXPECT_EQ(Entries().size(), cases.size()) << "no temporary left";
}

TEST_F(AtomicWrite, ALinkIsFollowedToItsFileAndStaysALink) {
  const std::string file = Write("real.dbf", "old");
  const std::string link = (dir_ / "T.DBF").string();
  fs::create_symlink("real.dbf", link);
  std::string why;
  ASSERT_TRUE(platform::WriteFileAtomically(link, "new", &why, {link + ".bak", ""})) << why;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(file), "new");
  EXPECT_EQ(Read(link + ".bak"), "old");

  // A link to nothing names no file to replace.
  const std::string dangling = (dir_ / "D.DBF").string();
  fs::create_symlink("missing.dbf", dangling);
  EXPECT_FALSE(platform::WriteFileAtomically(dangling, "new", &why));
  EXPECT_EQ(why, dangling + ": a symbolic link to a missing file");
  EXPECT_TRUE(fs::is_symlink(dangling));
  EXPECT_FALSE(fs::exists(dir_ / "missing.dbf"));
}

TEST_F(AtomicWrite, TheReplacedFilesModeIsKept) {
  const std::string readOnly = Write("R.DBF", "old");
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  const std::string privateFile = Write("P.DBF", "old");
  ASSERT_EQ(::chmod(privateFile.c_str(), 0600), 0);
  std::string why;
  ASSERT_TRUE(platform::WriteFileAtomically(readOnly, "new", &why)) << why;
  ASSERT_TRUE(platform::WriteFileAtomically(privateFile, "new", &why)) << why;
  const std::string fresh = (dir_ / "N.DBF").string();
  ASSERT_TRUE(platform::WriteFileAtomically(fresh, "new", &why)) << why;
  EXPECT_EQ(Mode(readOnly) & 07777, 0444u);
  EXPECT_EQ(Mode(privateFile) & 07777, 0600u);
  EXPECT_EQ(Mode(fresh) & 07777, 0644u);
  EXPECT_EQ(Read(readOnly), "new");
}

TEST_F(AtomicWrite, LeftoversOfKilledWritersGoTemporariesOfLiveOnesStay) {
  const std::string target = Write("T.DBF", "old");
  Write(".T.DBF.tmp-AbC123", "killed writer");
  Write(".T.DBF.bak.tmp-XyZ789", "killed backup");
  Write(".T.DBF.tmp-short", "not one of ours: the name is not six characters");
  Write(".OTHER.DBF.tmp-AbC123", "another file's");
  // A writer that is alive holds its temporary locked.
  const std::string held = Write(".T.DBF.tmp-Live00", "live writer");
  const int fd = ::open(held.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);

  std::string why;
  ASSERT_TRUE(platform::WriteFileAtomically(target, "new", &why, {target + ".bak", ""})) << why;
  EXPECT_EQ(Entries(), (std::set<std::string>{"T.DBF", "T.DBF.bak", ".T.DBF.tmp-short",
                                              ".OTHER.DBF.tmp-AbC123", ".T.DBF.tmp-Live00"}));
  ::close(fd);
  // Once its writer is gone it is a leftover too.
  EXPECT_EQ(platform::RemoveStaleTemporaries(target), 1);
  EXPECT_FALSE(fs::exists(held));
}

TEST_F(AtomicWrite, TheOriginalIsKeptOnceTheLastEveryTime) {
  const std::string target = Write("T.DBF", "shipped");
  const platform::Backups backups{target + ".bak", target + ".orig"};
  std::string why;
  ASSERT_TRUE(platform::WriteFileAtomically(target, "first", &why, backups)) << why;
  EXPECT_EQ(Read(target + ".orig"), "shipped");
  EXPECT_EQ(Read(target + ".bak"), "shipped");
  ASSERT_TRUE(platform::WriteFileAtomically(target, "second", &why, backups)) << why;
  EXPECT_EQ(Read(target), "second");
  EXPECT_EQ(Read(target + ".bak"), "first");
  EXPECT_EQ(Read(target + ".orig"), "shipped");
  EXPECT_EQ(Entries(), (std::set<std::string>{"T.DBF", "T.DBF.bak", "T.DBF.orig"}));

  // A new file replaces nothing and keeps nothing.
  const std::string fresh = (dir_ / "N.DBF").string();
  ASSERT_TRUE(platform::WriteFileAtomically(fresh, "new", &why, {fresh + ".bak", fresh + ".orig"}));
  EXPECT_FALSE(fs::exists(fresh + ".bak"));
  EXPECT_FALSE(fs::exists(fresh + ".orig"));
}

TEST_F(AtomicWrite, AFailedProducerLeavesTheTargetAndNoTemporary) {
  const std::string target = Write("T.DBF", "old");
  std::string why;
  EXPECT_FALSE(platform::WriteStreamAtomically(target,
                                               [&](const platform::ByteSink& sink) {
                                                 why = "the producer's own reason";
                                                 return sink("half a table") && false;
                                               },
                                               &why, {target + ".bak", target + ".orig"}));
  EXPECT_EQ(why, "the producer's own reason");
  EXPECT_EQ(Read(target), "old");
  EXPECT_EQ(Entries(), std::set<std::string>{"T.DBF"});
}

TEST_F(AtomicWrite, ANewFileGetsItsBytesAndTheUsualModeAReplacedOneIsANewFile) {
  const mode_t mask = ::umask(022);
  const std::string file = (dir_ / "NEW.INI").string();
  std::string why;
  ASSERT_TRUE(platform::WriteFileAtomically(file, std::string("a\0b\n", 4), &why)) << why;
  EXPECT_EQ(Read(file), std::string("a\0b\n", 4));
  EXPECT_EQ(Mode(file) & 07777, 0644u) << "0666 less the umask";
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  // A reader holding the old file goes on reading the old bytes.
  std::ifstream reader(file, std::ios::binary);
  ASSERT_TRUE(platform::WriteFileAtomically(file, "", &why)) << why;
  EXPECT_EQ(Read(file), "");
  struct stat after {};
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino);
  std::string old(4, '\0');
  reader.read(old.data(), 4);
  EXPECT_EQ(old, std::string("a\0b\n", 4));
  EXPECT_EQ(Entries(), std::set<std::string>{"NEW.INI"});
  ::umask(mask);
}

TEST_F(AtomicWrite, ALoopOfLinksAMissingFolderAndNoNameAreRefused) {
  fs::create_symlink("b", dir_ / "a");
  fs::create_symlink("a", dir_ / "b");
  std::string why;
  EXPECT_FALSE(platform::WriteFileAtomically((dir_ / "a").string(), "x", &why));
  EXPECT_NE(why.find("symbolic links"), std::string::npos) << why;
  EXPECT_FALSE(platform::WriteFileAtomically((dir_ / "no/such/KOLBRENT.INI").string(), "x", &why));
  EXPECT_NE(why.find("No such file or directory"), std::string::npos) << why;
  EXPECT_FALSE(platform::WriteFileAtomically("", "x", &why));
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(Entries(), (std::set<std::string>{"a", "b"}));
}

TEST_F(AtomicWrite, AFileThatMayNotBeWrittenOrAFolderThatTakesNoFileFails) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write everywhere";
  const std::string file = Write("READONLY.INI", "old");
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  std::string why;
  EXPECT_FALSE(platform::WriteFileAtomically(file, "new", &why));
  EXPECT_EQ(Read(file), "old");
  ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
  ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
  EXPECT_FALSE(platform::WriteFileAtomically(file, "new", &why));
  EXPECT_NE(why.find("Permission denied"), std::string::npos) << why;
  EXPECT_EQ(Read(file), "old");
  ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
  EXPECT_EQ(Entries(), std::set<std::string>{"READONLY.INI"});
}
