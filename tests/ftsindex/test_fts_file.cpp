// The index file: round trip, validation at open, and the atomic write.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "FtsTestSupport.h"
#include "ZipcodeRecords.h"

using ftstest::BuildIndex;
using ftstest::Candidates;
using ftstest::TempDir;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A new file each time: rewriting one in place makes the file system flush it.
void WriteFile(const std::string& path, const std::string& data) {
  std::error_code ec;
  fs::remove(path, ec);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

std::vector<std::string> FirstRecords(size_t n) {
  auto all = ftstest::MakeRecords(ftstest::ReadZipcodeCsv(ftstest::ZipcodeCsvPath()));
  all.resize(std::min(n, all.size()));
  return all;
}

size_t EntriesIn(const std::string& dir) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(FtsFile, RoundTripLeavesOnlyTheIndex) {
  TempDir dir;
  const auto records = FirstRecords(3000);
  ASSERT_EQ(3000u, records.size());
  const std::string path = dir.File("POSTCODE.FTS");
  ASSERT_EQ(0, BuildIndex(path, records));
  EXPECT_EQ(1u, EntriesIn(dir.Path()));  // no temporary file left behind
  const int32_t h = FtsOpen(path.c_str(), 20, 1);
  ASSERT_GT(h, 0);
  EXPECT_EQ(3000, FtsNumRecs(h));
  // 개포1동: the first rows of the list.
  EXPECT_GT(FtsSet(h, "\xB0\xB3\xC6\xF7\x31\xB5\xBF"), 0);
  EXPECT_EQ(1, Candidates(h).front());
  FtsClose(h);
  // Rebuilding gives the same bytes.
  const std::string first = ReadFile(path);
  ASSERT_EQ(0, BuildIndex(path, records));
  EXPECT_EQ(first, ReadFile(path));
}

// CRC-32C bit by bit, as FORMAT.md defines the checksum.
uint32_t Crc32cBitwise(const std::string& data) {
  uint32_t c = 0xFFFFFFFF;
  for (unsigned char b : data) {
    c ^= b;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0x82F63B78 : c >> 1;
  }
  return ~c;
}

uint32_t Field32(const std::string& image, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(image[at + i]);
  return v;
}

TEST(FtsFile, HeaderAsDocumented) {
  EXPECT_EQ(0xE3069283u, Crc32cBitwise("123456789"));
  TempDir dir;
  const std::string path = dir.File("h.fts");
  ASSERT_EQ(0, BuildIndex(path, {" ab", " b"}));
  std::string image = ReadFile(path);
  ASSERT_GE(image.size(), 64u);
  EXPECT_EQ("PFFTSIDX", image.substr(0, 8));
  EXPECT_EQ(2u, Field32(image, 8));     // version
  EXPECT_EQ(320u, Field32(image, 12));  // header size
  EXPECT_EQ(2u, Field32(image, 16));    // records
  EXPECT_EQ(3u, Field32(image, 20));    // keys: a, b, ab
  EXPECT_EQ(image.size(), Field32(image, 24));
  EXPECT_EQ(320u, Field32(image, 32));                       // dictionary offset
  EXPECT_EQ(320u + 3 * 20, Field32(image, 40));              // postings offset
  EXPECT_EQ(std::string(256, '\0'), image.substr(64, 256));  // no source tag
  const uint32_t stored = Field32(image, 56);
  image.replace(56, 4, std::string(4, '\0'));
  EXPECT_EQ(Crc32cBitwise(image), stored);

  // A file of version 1 (pairs that stop at blanks, no consonant keys) is
  // refused even with a correct checksum, so that it is built again; the
  // same bytes as version 2 open.
  const std::string sealedPath = dir.File("sealed.fts");
  for (const char version : {1, 2}) {
    image[8] = version;
    image.replace(56, 4, std::string(4, '\0'));
    const uint32_t crc = Crc32cBitwise(image);
    for (int i = 0; i < 4; ++i) image[56 + i] = static_cast<char>(crc >> (8 * i));
    WriteFile(sealedPath, image);
    const int32_t h = FtsOpen(sealedPath.c_str(), 20, 1);
    if (version == 1) {
      EXPECT_EQ(FTS_ERR_FORMAT, h);
    } else {
      EXPECT_GT(h, 0);
      FtsClose(h);
    }
  }
}

// The checksum of an image whose header was changed, stored as FORMAT.md says.
void Reseal(std::string& image) {
  image.replace(56, 4, std::string(4, '\0'));
  const uint32_t crc = Crc32cBitwise(image);
  for (int i = 0; i < 4; ++i) image[56 + i] = static_cast<char>(crc >> (8 * i));
}

void Put32(std::string& image, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<char>(v >> (8 * i));
}

TEST(FtsFile, TheSourceTagIsStoredAndReadBack) {
  TempDir dir;
  const std::string path = dir.File("tag.fts");
  const std::string tag = "size=123 crc32c=89abcdef";
  int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
  ASSERT_GT(h, 0);
  EXPECT_EQ(0, FtsSetTag(h, "first"));
  EXPECT_EQ(0, FtsSetTag(h, tag.c_str()));  // the last one counts
  EXPECT_EQ(int32_t(tag.size()), FtsGetTag(h, nullptr, 0));
  FtsAdd(h, " ab");
  ASSERT_EQ(0, FtsClose(h));
  const std::string image = ReadFile(path);
  EXPECT_EQ(tag.size(), static_cast<unsigned char>(image[64]));
  EXPECT_EQ(tag, image.substr(65, tag.size()));
  EXPECT_EQ(std::string(255 - tag.size(), '\0'), image.substr(65 + tag.size(), 255 - tag.size()));

  h = FtsOpen(path.c_str(), 20, 1);
  ASSERT_GT(h, 0);
  char buf[FTS_MAX_TAG + 1];
  EXPECT_EQ(int32_t(tag.size()), FtsGetTag(h, buf, sizeof buf));
  EXPECT_EQ(tag, std::string(buf));
  // A short buffer gets the start of the tag and its zero byte; the length is the whole.
  char small[5] = {'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(int32_t(tag.size()), FtsGetTag(h, small, sizeof small));
  EXPECT_EQ(std::string("size"), small);
  EXPECT_EQ(FTS_ERR_ARG, FtsGetTag(h, buf, -1));
  EXPECT_EQ(FTS_ERR_ARG, FtsGetTag(h, nullptr, 4));
  EXPECT_EQ(FTS_ERR_STATE, FtsSetTag(h, "later"));  // an open index is read-only
  FtsClose(h);
  EXPECT_EQ(FTS_ERR_HANDLE, FtsGetTag(h, buf, sizeof buf));
  EXPECT_EQ(FTS_ERR_HANDLE, FtsSetTag(h, "x"));

  // Without a tag, the tag is empty.
  ASSERT_EQ(0, BuildIndex(path, {" ab"}));
  h = FtsOpen(path.c_str(), 20, 1);
  buf[0] = 'x';
  EXPECT_EQ(0, FtsGetTag(h, buf, sizeof buf));
  EXPECT_EQ('\0', buf[0]);
  FtsClose(h);
}

TEST(FtsFile, TagsOfTheLimitsAndBeyond) {
  TempDir dir;
  const std::string path = dir.File("tag.fts");
  int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
  EXPECT_EQ(FTS_ERR_ARG, FtsSetTag(h, nullptr));
  EXPECT_EQ(FTS_ERR_TOO_LONG, FtsSetTag(h, std::string(256, 't').c_str()));
  const std::string longest(255, '\xB0');
  EXPECT_EQ(0, FtsSetTag(h, longest.c_str()));
  ASSERT_EQ(0, FtsClose(h));
  h = FtsOpen(path.c_str(), 20, 1);
  char buf[FTS_MAX_TAG + 1];
  EXPECT_EQ(255, FtsGetTag(h, buf, sizeof buf));
  EXPECT_EQ(longest, std::string(buf));
  FtsClose(h);
}

TEST(FtsFile, ABadTagAreaOrAnOlderVersionFailsToOpen) {
  TempDir dir;
  const std::string path = dir.File("t.fts");
  int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
  FtsSetTag(h, "abc");
  FtsAdd(h, " ab");
  ASSERT_EQ(0, FtsClose(h));
  const std::string image = ReadFile(path);
  const std::string bad = dir.File("bad.fts");
  // Each change resealed with a valid checksum: only the tag rules refuse it.
  std::string copy = image;
  copy[64] = 5;  // the length takes in zero padding
  Reseal(copy);
  WriteFile(bad, copy);
  EXPECT_EQ(FTS_ERR_FORMAT, FtsOpen(bad.c_str(), 20, 1));
  copy = image;
  copy[300] = 'x';  // a byte after the tag
  Reseal(copy);
  WriteFile(bad, copy);
  EXPECT_EQ(FTS_ERR_FORMAT, FtsOpen(bad.c_str(), 20, 1));
  copy = image;
  copy[64] = 2;  // a shorter tag with its last byte still set
  Reseal(copy);
  WriteFile(bad, copy);
  EXPECT_EQ(FTS_ERR_FORMAT, FtsOpen(bad.c_str(), 20, 1));
  copy = image;  // unchanged but resealed: opens
  Reseal(copy);
  WriteFile(bad, copy);
  h = FtsOpen(bad.c_str(), 20, 1);
  EXPECT_GT(h, 0);
  FtsClose(h);

  // The same index as the first format wrote it: a 64-byte header.
  std::string v1 = image.substr(0, 64) + image.substr(320);
  Put32(v1, 8, 1);
  Put32(v1, 12, 64);
  Put32(v1, 24, static_cast<uint32_t>(v1.size()));
  Put32(v1, 32, 64);
  Put32(v1, 40, Field32(image, 40) - 256);
  Reseal(v1);
  WriteFile(bad, v1);
  EXPECT_EQ(FTS_ERR_FORMAT, FtsOpen(bad.c_str(), 20, 1));
}

TEST(FtsFile, TruncatedAtEveryLengthFailsToOpen) {
  TempDir dir;
  const std::string path = dir.File("t.fts");
  ASSERT_EQ(0, BuildIndex(path, FirstRecords(60)));
  const std::string image = ReadFile(path);
  ASSERT_GT(image.size(), 1000u);
  const std::string cut = dir.File("cut.fts");
  for (size_t n = 0; n < image.size(); ++n) {
    WriteFile(cut, image.substr(0, n));
    const int32_t h = FtsOpen(cut.c_str(), 20, 1);
    ASSERT_EQ(FTS_ERR_FORMAT, h) << "length " << n;
  }
  WriteFile(cut, image + "x");  // one byte too many
  EXPECT_EQ(FTS_ERR_FORMAT, FtsOpen(cut.c_str(), 20, 1));
  WriteFile(cut, image);
  const int32_t h = FtsOpen(cut.c_str(), 20, 1);
  EXPECT_GT(h, 0);
  FtsClose(h);
}

TEST(FtsFile, ByteFlipsFailToOpen) {
  TempDir dir;
  const std::string path = dir.File("f.fts");
  ASSERT_EQ(0, BuildIndex(path, FirstRecords(500)));
  const std::string image = ReadFile(path);
  const std::string bad = dir.File("bad.fts");
  std::mt19937 rng(42);
  for (int i = 0; i < 3000; ++i) {
    std::string copy = image;
    const size_t at = rng() % copy.size();
    copy[at] = static_cast<char>(copy[at] ^ (1 + rng() % 255));
    if (i % 3 == 0) {  // and a second flip elsewhere
      const size_t at2 = rng() % copy.size();
      copy[at2] = static_cast<char>(copy[at2] ^ 0x5A);
      if (copy == image) continue;
    }
    WriteFile(bad, copy);
    ASSERT_EQ(FTS_ERR_FORMAT, FtsOpen(bad.c_str(), 20, 1)) << "flip at " << at;
  }
}

TEST(FtsFile, ForeignFilesFailToOpen) {
  TempDir dir;
  const std::string path = dir.File("x.fts");
  for (const std::string& data :
       {std::string(), std::string("PFFTSIDX"), std::string(64, '\0'), std::string(4096, 'A'),
        ReadFile(ftstest::ZipcodeCsvPath()).substr(0, 100000)}) {
    WriteFile(path, data);
    EXPECT_EQ(FTS_ERR_FORMAT, FtsOpen(path.c_str(), 20, 1)) << data.size();
  }
}

TEST(FtsFile, BuildKeepsTheOldFileUntilClose) {
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

TEST(FtsFile, BuildKilledHalfWayLeavesTheOldFile) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  ASSERT_EQ(0, BuildIndex(path, {" old"}));
  const std::string old = ReadFile(path);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
    for (int i = 0; i < 1000; ++i) FtsAdd(h, " half built");
    _exit(0);  // gone without FtsClose
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(old, ReadFile(path));
  EXPECT_EQ(1u, EntriesIn(dir.Path()));
}

TEST(FtsFile, AnOpenIndexCutOrReplacedOnDiskAnswersAsAtOpen) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  const auto records = FirstRecords(3000);
  ASSERT_EQ(0, BuildIndex(path, records));
  const int32_t h = FtsOpen(path.c_str(), 20, 1);
  ASSERT_GT(h, 0);
  const char* text = "\xB0\xB3\xC6\xF7\x31\xB5\xBF";  // 개포1동
  ASSERT_GT(FtsSet(h, text), 0);
  const std::vector<int32_t> before = Candidates(h);
  fs::resize_file(path, 100);  // truncate -s 100
  EXPECT_EQ(static_cast<int32_t>(before.size()), FtsSet(h, text));
  EXPECT_EQ(before, Candidates(h));
  std::ofstream(path, std::ios::binary | std::ios::trunc) << "another file now";
  EXPECT_EQ(static_cast<int32_t>(before.size()), FtsSet(h, text));
  EXPECT_EQ(before, Candidates(h));
  EXPECT_EQ(1, FtsVerify(h, records[before[0] - 1].c_str(), text, 3));
  EXPECT_EQ(3000, FtsNumRecs(h));
  EXPECT_EQ(0, FtsClose(h));
  EXPECT_EQ(FTS_ERR_FORMAT, FtsOpen(path.c_str(), 20, 1)) << "opened again: what is there now";
}

TEST(FtsFile, LeftoversOfAKilledBuildGoAtTheNextBuildButNotALiveOnesFile) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  // What a build killed between its write and its rename leaves behind.
  const std::string stale = dir.File(".POSTCODE.FTS.tmp-Ab3dEf");
  WriteFile(stale, "half an index");
  // A temporary file that a live writer holds (locked) is not a leftover.
  const std::string live = dir.File(".POSTCODE.FTS.tmp-Zz9yXw");
  WriteFile(live, "being written");
  const int held = open(live.c_str(), O_RDONLY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(0, flock(held, LOCK_EX));
  // Files of other names stay as they are.
  const std::string other = dir.File(".OTHER.FTS.tmp-Ab3dEf");
  WriteFile(other, "x");
  const int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
  ASSERT_GT(h, 0);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(live));
  EXPECT_TRUE(fs::exists(other));
  FtsAdd(h, " new");
  EXPECT_EQ(0, FtsClose(h));
  close(held);
  EXPECT_EQ(4u - 1u, EntriesIn(dir.Path()));  // the index, the live file, the other
}

TEST(FtsFile, UnwritableFolderAtCloseReportsAndLeavesNothing) {
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

TEST(FtsFile, TwoProcessesBuildingAtOnceLeaveAValidIndex) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  const auto records = FirstRecords(20000);
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

}  // namespace
