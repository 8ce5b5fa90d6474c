// What the package holds and what Debian's own tools say of it: lintian (no
// errors), desktop-file-validate, appstreamcli validate --no-net, the control
// fields, and the icon sizes.
#include <sys/stat.h>

#include <vector>

#include "PackageSupport.h"

namespace {

using namespace packagetest;

class PackageContents : public ::testing::Test {
 protected:
  void SetUp() override {
    deb_ = BuiltPackage();
    ASSERT_FALSE(deb_.empty()) << "no package in " PF_PACKAGE_OUT " (see the test package.build)";
    const ProcessResult r = RunCommand("dpkg-deb -x " + Quoted(deb_) + " " + Quoted(root_.path()));
    ASSERT_EQ(r.exitCode, 0) << r.output;
  }
  std::string Field(const std::string& name) {
    ProcessResult r = RunCommand("dpkg-deb -f " + Quoted(deb_) + " " + name);
    while (!r.output.empty() && r.output.back() == '\n') r.output.pop_back();
    return r.output;
  }
  std::string In(const std::string& path) const { return root_ / path; }

  std::string deb_;
  Scratch root_;
};

TEST_F(PackageContents, TheProgramFolderTheCommandsAndTheDesktopFiles) {
  std::vector<std::string> programs = {"postcode-finder", "postcode-lookup"};
  if (PF_WITH_IMPORT) programs.push_back("postcode-import");
  const std::string folder = "usr/lib/postcode-finder/";
  for (const std::string& p : programs) {
    struct stat st {};
    ASSERT_EQ(::stat(In(folder + p).c_str(), &st), 0) << p;
    EXPECT_EQ(st.st_mode & 07777, 0755u) << p;
    EXPECT_EQ(ReadFile(In(folder + p)).substr(1, 3), "ELF") << p;
  }
  for (const char* f : {"libdbfengine.so", "libftsindex.so", "POSTCODE.DBF", "banner.jpg"})
    EXPECT_TRUE(fs::is_regular_file(In(folder + f))) << f;
  // Only these: no developer tools, tests or benchmarks.
  EXPECT_EQ(std::distance(fs::directory_iterator(In(folder)), fs::directory_iterator()),
            static_cast<long>(programs.size()) + 4);

  // The finder through its launcher, the tools as relative links.
  const std::string launcher = ReadFile(In("usr/bin/postcode-finder"));
  EXPECT_EQ(launcher.rfind("#!/bin/sh\n", 0), 0u);
  EXPECT_NE(launcher.find("exec /usr/lib/postcode-finder/postcode-finder \"$@\""),
            std::string::npos);
  for (size_t i = 1; i < programs.size(); ++i) {
    const fs::path link = In("usr/bin/" + programs[i]);
    ASSERT_TRUE(fs::is_symlink(link)) << link;
    EXPECT_EQ(fs::read_symlink(link), "../lib/postcode-finder/" + programs[i]);
  }

  for (const char* f :
       {"usr/share/applications/postcode-finder.desktop",
        "usr/share/metainfo/org.example.postcode.finder.metainfo.xml",
        "usr/share/icons/hicolor/scalable/apps/postcode-finder.svg",
        "usr/share/doc/postcode-finder/copyright",
        "usr/share/doc/postcode-finder/changelog.Debian.gz",
        "usr/share/man/man1/postcode-finder.1.gz", "usr/share/man/man1/postcode-lookup.1.gz"})
    EXPECT_TRUE(fs::is_regular_file(In(f))) << f;
  if (PF_WITH_IMPORT) {
    EXPECT_TRUE(fs::is_regular_file(In("usr/share/man/man1/postcode-import.1.gz")));
  }

  // Each PNG is as large as its folder says (IHDR width and height).
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string dim = std::to_string(size) + "x" + std::to_string(size);
    const std::string png =
        ReadFile(In("usr/share/icons/hicolor/" + dim + "/apps/postcode-finder.png"));
    ASSERT_GE(png.size(), 24u) << dim;
    auto be32 = [&](size_t at) {
      return (static_cast<unsigned char>(png[at]) << 24) |
             (static_cast<unsigned char>(png[at + 1]) << 16) |
             (static_cast<unsigned char>(png[at + 2]) << 8) |
             static_cast<unsigned char>(png[at + 3]);
    };
    EXPECT_EQ(png.substr(1, 3), "PNG") << dim;
    EXPECT_EQ(be32(16), size) << dim;
    EXPECT_EQ(be32(20), size) << dim;
  }
}

TEST_F(PackageContents, ControlFieldsNameTheLibrariesAndTheFonts) {
  EXPECT_EQ(Field("Package"), "postcode-finder");
  EXPECT_EQ(Field("Version").rfind("1.0-", 0), 0u) << Field("Version");
  const std::string depends = Field("Depends");
  for (const char* p : {"libc6", "libqt6widgets6", "libqt6network6", "libjpeg62-turbo",
                        "fonts-nanum", "fonts-nanum-coding"})
    EXPECT_NE(depends.find(p), std::string::npos) << p << " in " << depends;
  const std::string copyright = ReadFile(In("usr/share/doc/postcode-finder/copyright"));
  EXPECT_EQ(copyright.rfind(
                "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/", 0),
            0u);
  EXPECT_NE(copyright.find("Korea Post (우정사업본부)"), std::string::npos);
}

TEST_F(PackageContents, LintianFindsNoError) {
  if (!HaveTool("lintian")) GTEST_SKIP() << "lintian is not installed (scripts/setup installs it)";
  const ProcessResult r = RunCommand("lintian --tag-display-limit 0 " + Quoted(deb_));
  std::istringstream lines(r.output);
  std::string line, errors, others;
  while (std::getline(lines, line)) (line.rfind("E: ", 0) == 0 ? errors : others) += line + "\n";
  EXPECT_EQ(errors, "") << r.output;
  // What is left is shown with the test's output.
  std::cout << "lintian:\n" << (others.empty() ? "(nothing)\n" : others);
}

TEST_F(PackageContents, TheMenuEntryAndTheMetainfoValidate) {
  if (!HaveTool("desktop-file-validate") || !HaveTool("appstreamcli"))
    GTEST_SKIP() << "desktop-file-validate or appstreamcli is not installed (scripts/setup "
                    "installs desktop-file-utils and appstream)";
  const std::string desktop = In("usr/share/applications/postcode-finder.desktop");
  ProcessResult r = RunCommand("desktop-file-validate " + Quoted(desktop));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  // Hints are not findings: the entry asks for two main categories on purpose.
  EXPECT_EQ(r.output.find("error:"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("warning:"), std::string::npos) << r.output;
  const std::string entry = ReadFile(desktop);
  for (const char* line :
       {"Name=Postal Code Finder\n", "Name[ko]=우편번호 찾기\n", "Categories=Office;Utility;\n",
        "Icon=postcode-finder\n", "Exec=postcode-finder\n"})
    EXPECT_NE(entry.find(line), std::string::npos) << line;
  EXPECT_NE(entry.find("Comment="), std::string::npos);
  EXPECT_NE(entry.find("Comment[ko]="), std::string::npos);

  r = RunCommand("appstreamcli validate --no-net " +
                 Quoted(In("usr/share/metainfo/org.example.postcode.finder.metainfo.xml")));
  EXPECT_EQ(r.exitCode, 0) << r.output;
}

}  // namespace
