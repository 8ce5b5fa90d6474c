// The package unpacked into a temporary root (nothing is installed on the
// machine) and run from there as an installed program: a program folder that
// nobody may write, a home folder of its own, a runtime folder of its own
// (other finders may run on this machine). The finder builds its index in the
// user's cache folder, searches, ends on SIGTERM as its close button ends it
// and saves its settings in the user's configuration folder, without an
// error box; postcode-lookup then answers from the same index.
#include <sys/stat.h>

#include <iostream>
#include <vector>

#include "PackageSupport.h"

namespace {

using namespace packagetest;

class InstalledPackage : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string deb = BuiltPackage();
    ASSERT_FALSE(deb.empty()) << "no package in " PF_PACKAGE_OUT " (see the test package.build)";
    root_ = scratch_ / "root";
    fs::create_directories(root_);
    ProcessResult r = RunCommand("dpkg-deb -x " + Quoted(deb) + " " + Quoted(root_));
    ASSERT_EQ(r.exitCode, 0) << r.output;
    // The program folder as root's: read-only for everyone.
    r = RunCommand("chmod -R a-w " + Quoted(root_ + "/usr"));
    ASSERT_EQ(r.exitCode, 0) << r.output;
    fs::create_directories(scratch_ / "home");
    fs::create_directories(scratch_ / "elsewhere");
    fs::create_directories(scratch_ / "runtime");
    fs::permissions(scratch_ / "runtime", fs::perms::owner_all);
  }

  // A command line run in `elsewhere` with the test user's environment: the
  // home folder, no XDG folders set (their defaults are used), the runtime
  // folder, and the display's own Qt platform (the suite runs offscreen).
  std::string UserCommand(const std::string& command) const {
    return "cd " + Quoted(scratch_ / "elsewhere") + " && env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME" +
           " -u XDG_DATA_HOME -u QT_QPA_PLATFORM HOME=" + Quoted(scratch_ / "home") +
           " XDG_RUNTIME_DIR=" + Quoted(scratch_ / "runtime") + " " + command;
  }
  std::string Home(const std::string& path) const { return scratch_ / ("home/" + path); }

  // The launcher names the installed path; a copy that ends in pwd instead
  // of the finder shows where the finder would start. Empty when the
  // launcher does not end as expected.
  std::string LauncherCopy() const {
    std::string launcher = ReadFile(root_ + "/usr/bin/postcode-finder");
    const std::string exec = "exec /usr/lib/postcode-finder/postcode-finder \"$@\"";
    const size_t at = launcher.find(exec);
    EXPECT_NE(at, std::string::npos) << launcher;
    if (at == std::string::npos) return {};
    launcher.replace(at, exec.size(), "exec pwd");
    std::ofstream(scratch_ / "launcher") << launcher;
    return scratch_ / "launcher";
  }

  // The finder of the package on a virtual display, driven by
  // finder_session.sh; its one-line summary.
  std::string FinderSession(const std::string& query, const std::string& signal,
                            const std::string& screenshot = "") const {
    const std::string session = std::string(PF_SOURCE_DIR) + "/tests/packaging/finder_session.sh";
    const ProcessResult r = RunCommand(UserCommand(
        "xvfb-run -a -s '-screen 0 1024x768x24' " + Quoted(session) + " " +
        Quoted(root_ + "/usr/lib/postcode-finder/postcode-finder") + " " + Quoted(query) + " " +
        signal + " " + Quoted(Home(".cache/postcode-finder/POSTCODE.FTS")) + " " +
        (screenshot.empty() ? "" : Quoted(screenshot))));
    const size_t at = r.output.rfind("boxes-at-start");
    if (at == std::string::npos) return r.output;
    std::cout << r.output.substr(0, at);  // the finder's own lines, if any
    return r.output.substr(at);
  }

  Scratch scratch_;
  std::string root_;
};

TEST_F(InstalledPackage, TheLauncherStartsInTheUsersCacheFolder) {
  const std::string launcher = LauncherCopy();
  ASSERT_FALSE(launcher.empty());
  ProcessResult r = RunCommand(UserCommand("sh " + Quoted(launcher)));
  EXPECT_EQ(r.output, Home(".cache/postcode-finder") + "\n");
  r = RunCommand(
      UserCommand("XDG_CACHE_HOME=" + Quoted(scratch_ / "xdg-cache") + " sh " + Quoted(launcher)));
  EXPECT_EQ(r.output, scratch_ / "xdg-cache/postcode-finder\n");
}

TEST_F(InstalledPackage, TheLauncherNamesTheWindowInANewUsersSettingsOnly) {
  const std::string launcher = LauncherCopy();
  ASSERT_FALSE(launcher.empty());
  const std::string ini = Home(".config/postcode-finder/LOG/KOLBRENT.INI");
  const std::string named = "[QORVA]\nCAPTION=우편번호 찾기\n";
  // The first start: a settings file of the launcher's, in UTF-8.
  ProcessResult r = RunCommand(UserCommand("sh " + Quoted(launcher)));
  EXPECT_EQ(r.output, Home(".cache/postcode-finder") + "\n");
  EXPECT_EQ(ReadFile(ini), named);
  // A settings file that exists is the user's: kept as it is, also an empty one.
  for (const std::string& own : {std::string("[QORVA]\nMSG=N\n"), std::string()}) {
    std::ofstream(ini, std::ios::trunc) << own;
    r = RunCommand(UserCommand("sh " + Quoted(launcher)));
    EXPECT_EQ(ReadFile(ini), own);
  }
  // A link in its place is not followed to make a file elsewhere.
  fs::remove(ini);
  fs::create_symlink(scratch_ / "elsewhere/target.ini", ini);
  r = RunCommand(UserCommand("sh " + Quoted(launcher)));
  EXPECT_FALSE(fs::exists(scratch_ / "elsewhere/target.ini"));
  EXPECT_TRUE(fs::is_symlink(ini));
  // XDG_CONFIG_HOME moves it, unless it is a relative path.
  r = RunCommand(UserCommand("XDG_CONFIG_HOME=" + Quoted(scratch_ / "xdg-config") + " sh " +
                             Quoted(launcher)));
  EXPECT_EQ(ReadFile(scratch_ / "xdg-config/postcode-finder/LOG/KOLBRENT.INI"), named);
  fs::remove_all(Home(".config"));
  r = RunCommand(UserCommand("XDG_CONFIG_HOME=relative sh " + Quoted(launcher)));
  EXPECT_EQ(ReadFile(ini), named);
  EXPECT_FALSE(fs::exists(scratch_ / "elsewhere/relative"));
}

TEST_F(InstalledPackage, TheFinderAndTheLookupKeepTheirFilesInTheUsersFolders) {
  const std::string lookup = root_ + "/usr/bin/postcode-lookup";
  if (!HaveTool("xvfb-run") || !HaveTool("xdotool"))
    GTEST_SKIP() << "xvfb-run or xdotool is not installed (scripts/setup installs them)";

  // The finder, started from another folder; "sk" matches several rows, so
  // the search ends with its count box. One box at the start (the index
  // build's count), one after the search, none at the end; the finder ended
  // by itself with status 0.
  EXPECT_EQ(FinderSession("sk", "TERM", scratch_ / "screen.png"),
            "boxes-at-start=1 boxes-after-search=1 boxes-at-end=0 exit=0\n");

  EXPECT_TRUE(fs::is_regular_file(Home(".cache/postcode-finder/POSTCODE.FTS")));
  EXPECT_FALSE(fs::exists(scratch_ / "elsewhere/POSTCODE.FTS"));
  EXPECT_EQ(ReadFile(Home(".config/postcode-finder/LOG/KOLBRENT.INI")), "[QORVA]\nMSG=Y\n");
  EXPECT_FALSE(fs::exists(root_ + "/usr/lib/postcode-finder/LOG"));
  const auto indexTime = fs::last_write_time(Home(".cache/postcode-finder/POSTCODE.FTS"));

  // The lookup answers from the finder's index, whatever its folder.
  ProcessResult r = RunCommand(UserCommand(Quoted(lookup) + " 강남구 역삼동"));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, "135-080\t02\t서울 강남구 역삼동\n");
  r = RunCommand(UserCommand(Quoted(lookup) + " --limit 2 --csv sk"));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 3) << "a header, two rows\n"
                                                                   << r.output;
  // Every line of an address list gets its row, one that matched nothing an
  // empty one, and the status says that one did not match.
  std::ofstream(scratch_ / "addresses.txt") << "역삼동 강남구\n없는주소\n대우동삼아파트 해운대구\n";
  r = RunCommand(UserCommand(Quoted(lookup) + " - < " + Quoted(scratch_ / "addresses.txt")));
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_EQ(r.output,
            "1\t135-080\t02\t서울 강남구 역삼동\n2\t\t\t\n3\t612-770\t051\t부산 해운대구 우2동 "
            "대우동삼아파트\n")
      << r.output;
  r = RunCommand(UserCommand(Quoted(lookup) + " 없는주소"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(fs::last_write_time(Home(".cache/postcode-finder/POSTCODE.FTS")), indexTime)
      << "the finder's index was used as it was";

  // A second run ends on SIGINT and keeps the user's choice.
  std::ofstream(Home(".config/postcode-finder/LOG/KOLBRENT.INI")) << "[QORVA]\nMSG=n\n";
  EXPECT_EQ(FinderSession("sk", "INT"),
            "boxes-at-start=0 boxes-after-search=0 boxes-at-end=0 exit=0\n");
  EXPECT_EQ(ReadFile(Home(".config/postcode-finder/LOG/KOLBRENT.INI")), "[QORVA]\nMSG=N\n");
}

TEST_F(InstalledPackage, AnImportedTableIsTheUsersOwnAndIsPreferred) {
  if (!PF_WITH_IMPORT) GTEST_SKIP() << "postcode-import is not part of this build";
  // One road-name range row in Korea Post's layout, written here by hand.
  std::ofstream(scratch_ / "elsewhere/road.txt")
      << "우편번호|시도명|시도명(영문)|시군구명|시군구명(영문)|읍면명|읍면명(영문)|도로명|"
         "도로명(영문)|지하여부|건물번호본번(시작)|건물번호부번(시작)|건물번호본번(종료)|"
         "건물번호부번(종료)|범위종류\n"
         "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1\n";
  ProcessResult r =
      RunCommand(UserCommand(Quoted(root_ + "/usr/bin/postcode-import") + " road.txt"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(fs::is_regular_file(Home(".local/share/postcode-finder/POSTCODE.DBF")));
  EXPECT_FALSE(fs::exists(root_ + "/usr/lib/postcode-finder/POSTCODE.DBF.bak"));
  // The import built the new table's index in the user's cache folder: the
  // lookup searches at once, building nothing.
  EXPECT_NE(r.output.find("index " + Home(".cache/postcode-finder/POSTCODE.FTS") + " built"),
            std::string::npos)
      << r.output;

  const std::string lookup = Quoted(root_ + "/usr/bin/postcode-lookup");
  r = RunCommand(UserCommand(lookup + " 테헤란로"));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output, "06236\t02\t서울특별시 강남구 테헤란로 101∼151 (홀수)\n");
  r = RunCommand(UserCommand(lookup + " 역삼동"));
  EXPECT_EQ(r.exitCode, 1) << "the shipped table is not searched: " << r.output;
}

}  // namespace
