// The table's source tag: trusted while the file's size, time and identity
// are as stored, without reading it; after they changed, the same bytes
// still answer and any other bytes do not.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "CoreFixture.h"
#include "postal/TableTag.h"

namespace {

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Writes bytes over the file in place and gives it back its time: what
// stat tells is then as before.
void OverwriteKeepingTime(const std::string& path, const std::string& bytes) {
  struct stat before;
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  {
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    f << bytes;
  }
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(TableTag, NamesSizeTimeIdentityAndBytes) {
  coretest::TempFolder folder;
  const std::string path = folder.file("t.dbf");
  WriteBytes(path, "123456789");
  const std::string tag = postal::TableTag(path);
  // CRC-32C of "123456789" is E3069283.
  EXPECT_EQ(tag.substr(0, 7), "size=9 ");
  EXPECT_NE(tag.find(" crc32c=e3069283"), std::string::npos) << tag;
  EXPECT_NE(tag.find(" mtime="), std::string::npos);
  EXPECT_NE(tag.find(" ino="), std::string::npos);
  EXPECT_EQ(postal::TableTag(folder.file("missing.dbf")), "");
  EXPECT_EQ(postal::TableTag(folder.path()), "");  // a folder is no table
  EXPECT_EQ(postal::IndexTag("size=9 crc32c=e3069283", postal::FieldCrossings(0x0009)),
            "size=9 crc32c=e3069283 cross=0009");
}

TEST(TableTag, TrustedWhileStatIsUnchangedAndCheckedWhenItChanged) {
  coretest::TempFolder folder;
  const std::string path = folder.file("t.dbf");
  WriteBytes(path, "123456789");
  const std::string stored = postal::IndexTag(postal::TableTag(path), postal::FieldCrossings(9));
  ASSERT_TRUE(postal::TagAnswersFor(stored, path));
  EXPECT_EQ(postal::TagAnswersFor(stored, path)->Bits(), 9);

  // Other bytes behind the same size, time and identity: nothing is read, so
  // the tag still answers. (The engine's own writes always change the time.)
  OverwriteKeepingTime(path, "123456780");
  EXPECT_TRUE(postal::TagAnswersFor(stored, path)) << "trusted without reading the table";

  // Edited in place with its size kept: the time tells, the checksum decides.
  WriteBytes(path, "123456780");
  EXPECT_FALSE(postal::TagAnswersFor(stored, path));
  // The same bytes again, at a new time: they answer.
  WriteBytes(path, "123456789");
  EXPECT_TRUE(postal::TagAnswersFor(stored, path));
  // A copy of the same bytes is another file with the same bytes.
  const std::string copy = folder.file("copy.dbf");
  std::filesystem::copy_file(path, copy);
  EXPECT_TRUE(postal::TagAnswersFor(stored, copy));
  WriteBytes(path, "1234567890");
  EXPECT_FALSE(postal::TagAnswersFor(stored, path)) << "another size";

  // No crossings kept: an index of an older build.
  EXPECT_FALSE(postal::TagAnswersFor(postal::TableTag(copy), copy));
  EXPECT_FALSE(postal::TagAnswersFor("", copy));
  EXPECT_FALSE(postal::TagAnswersFor(stored, folder.file("missing.dbf")));
}

}  // namespace
