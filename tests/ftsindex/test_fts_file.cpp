// The index file: its layout as FORMAT.md describes it (read by a second
// reader written from the document), the checks at open and at search time,
// and what an open index does when its file changes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "FormatReader.h"
#include "FtsTestSupport.h"
#include "ZipcodeRecords.h"

using ftstest::BuildIndex;
using ftstest::Candidates;
using ftstest::EntriesIn;
using ftstest::FirstNationalRecords;
using ftstest::FormatEntry;
using ftstest::FormatFile;
using ftstest::ReadFile;
using ftstest::TempDir;
using ftstest::WriteFile;
namespace fs = std::filesystem;

namespace {

TEST(FtsFile, RoundTripLeavesOnlyTheIndex) {
  TempDir dir;
  const auto records = FirstNationalRecords(3000);
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
  EXPECT_EQ(0, FtsCheck(h));
  FtsClose(h);
  // Rebuilding gives the same bytes.
  const std::string first = ReadFile(path);
  ASSERT_EQ(0, BuildIndex(path, records));
  EXPECT_EQ(first, ReadFile(path));
}

// Records of ASCII letters and digits, whose keys are simple to name: each
// character, each two and three that follow one another across blanks.
std::vector<std::string> AsciiRecords(size_t n) {
  std::mt19937 rng(77);
  const std::string alphabet = "abcdefghABC0123456789";
  std::vector<std::string> records;
  for (size_t i = 0; i < n; ++i) {
    std::string r = " ";
    for (int w = 1 + static_cast<int>(rng() % 3); w > 0; --w) {
      for (int c = 1 + static_cast<int>(rng() % 5); c > 0; --c)
        r += alphabet[rng() % alphabet.size()];
      r += "  ";
    }
    records.push_back(r);
  }
  return records;
}

std::map<uint32_t, std::vector<uint32_t>> AsciiKeys(const std::vector<std::string>& records) {
  std::map<uint32_t, std::set<uint32_t>> keys;
  for (size_t n = 0; n < records.size(); ++n) {
    std::string chars;
    for (char c : records[n])
      if (c != ' ') chars += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    const auto record = static_cast<uint32_t>(n + 1);
    for (size_t i = 0; i < chars.size(); ++i) {
      const uint32_t c = static_cast<unsigned char>(chars[i]);
      keys[c << 16].insert(record);
      if (i >= 1)
        keys[static_cast<uint32_t>(static_cast<unsigned char>(chars[i - 1])) << 16 | c].insert(
            record);
      if (i >= 2)
        keys[(0x200u | static_cast<unsigned char>(chars[i - 2])) << 16 |
             static_cast<uint32_t>(static_cast<unsigned char>(chars[i - 1])) << 8 | c]
            .insert(record);
    }
  }
  std::map<uint32_t, std::vector<uint32_t>> out;
  for (const auto& [k, v] : keys) out[k] = std::vector<uint32_t>(v.begin(), v.end());
  return out;
}

TEST(FtsFile, TheFileIsLaidOutAsFormatMdSays) {
  EXPECT_EQ(0xE3069283u, ftstest::Crc32cBitwise("123456789"));
  TempDir dir;
  const std::string path = dir.File("a.fts");
  const auto records = AsciiRecords(3000);
  ASSERT_EQ(0, BuildIndex(path, records));
  const std::string image = ReadFile(path);
  const FormatFile file = ftstest::ReadFormatFile(image);
  ASSERT_EQ("", file.error);
  EXPECT_EQ(3u, file.version);
  EXPECT_EQ(3000u, file.records);
  EXPECT_EQ("", file.tag);
  EXPECT_GE(file.levels, 2u);  // leaves and a root above them
  const auto expected = AsciiKeys(records);
  ASSERT_EQ(expected.size(), file.entries.size());
  const int32_t h = FtsOpen(path.c_str(), 20, 1);
  EXPECT_EQ(static_cast<int32_t>(expected.size()), FtsNumKeys(h));
  FtsClose(h);
  size_t bitmaps = 0, blocky = 0;
  auto want = expected.begin();
  for (const FormatEntry& e : file.entries) {
    ASSERT_EQ(want->first, e.key);
    std::vector<uint32_t> got;
    std::string why;
    ASSERT_TRUE(ftstest::DecodeList(image, file, e, got, &why)) << std::hex << e.key << ": " << why;
    EXPECT_EQ(want->second, got) << std::hex << e.key;
    bitmaps += e.encoding == 1;
    blocky += e.encoding == 0 && e.count > 128;
    ++want;
  }
  EXPECT_GT(bitmaps, 0u);  // both encodings, and lists of several blocks
  EXPECT_GT(blocky, 0u);
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
  EXPECT_EQ(tag, ftstest::ReadFormatFile(image).tag);

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

TEST(FtsFile, ABadTagAreaOrAnotherVersionFailsToOpen) {
  TempDir dir;
  const std::string path = dir.File("t.fts");
  int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
  FtsSetTag(h, "abc");
  FtsAdd(h, " ab");
  ASSERT_EQ(0, FtsClose(h));
  const std::string image = ReadFile(path);
  const std::string bad = dir.File("bad.fts");
  auto opens = [&](std::string copy) {
    ftstest::ResealHeader(copy);  // a valid checksum: only the rule at hand refuses it
    WriteFile(bad, copy);
    const int32_t r = FtsOpen(bad.c_str(), 20, 1);
    if (r > 0) FtsClose(r);
    return r;
  };
  EXPECT_GT(opens(image), 0);  // unchanged but resealed
  std::string copy = image;
  copy[64] = 5;  // the length takes in zero padding
  EXPECT_EQ(FTS_ERR_FORMAT, opens(copy));
  copy = image;
  copy[300] = 'x';  // a byte after the tag
  EXPECT_EQ(FTS_ERR_FORMAT, opens(copy));
  copy = image;
  copy[64] = 2;  // a shorter tag with its last byte still set
  EXPECT_EQ(FTS_ERR_FORMAT, opens(copy));
  // Another format version, older or newer: built again by its program.
  for (uint32_t version : {1u, 2u, 4u}) {
    copy = image;
    ftstest::Put32(copy, 8, version);
    EXPECT_EQ(FTS_ERR_FORMAT, opens(copy)) << version;
  }
  // An empty index as the previous format wrote it: a 320-byte header whose
  // checksum covers the whole file.
  std::string v2(320, '\0');
  v2.replace(0, 8, "PFFTSIDX");
  ftstest::Put32(v2, 8, 2);
  ftstest::Put32(v2, 12, 320);
  ftstest::Put32(v2, 24, 320);
  ftstest::Put32(v2, 32, 320);
  ftstest::Put32(v2, 40, 320);
  ftstest::Put32(v2, 56, ftstest::Crc32cBitwise(v2));
  WriteFile(bad, v2);
  EXPECT_EQ(FTS_ERR_FORMAT, FtsOpen(bad.c_str(), 20, 1));
}

TEST(FtsFile, TruncatedAtEveryLengthFailsToOpen) {
  TempDir dir;
  const std::string path = dir.File("t.fts");
  ASSERT_EQ(0, BuildIndex(path, FirstNationalRecords(60)));
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

TEST(FtsFile, EveryByteFlipIsFoundAtOpenOrByTheCheck) {
  TempDir dir;
  const std::string path = dir.File("f.fts");
  ASSERT_EQ(0, BuildIndex(path, FirstNationalRecords(500)));
  const std::string image = ReadFile(path);
  const std::string bad = dir.File("bad.fts");
  std::mt19937 rng(42);
  size_t atOpen = 0;
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
    const int32_t h = FtsOpen(bad.c_str(), 20, 1);
    if (h < 0) {
      ASSERT_EQ(FTS_ERR_FORMAT, h) << "flip at " << at;
      ++atOpen;
      continue;
    }
    EXPECT_EQ(FTS_ERR_FORMAT, FtsCheck(h)) << "flip at " << at;
    FtsClose(h);
  }
  // Open reads only the header and the root: most flips are found later.
  EXPECT_GT(atOpen, 0u);
  EXPECT_LT(atOpen, 1500u);
}

// The entry of the unigram key of a character (CP949 bytes).
const FormatEntry* EntryOf(const FormatFile& file, const std::string& character) {
  uint32_t code = 0;
  for (char c : character) code = code << 8 | static_cast<unsigned char>(c);
  for (const FormatEntry& e : file.entries)
    if (e.key == code << 16) return &e;
  return nullptr;
}

// A double-byte character whose list has several Elias-Fano blocks.
std::string CharacterOfSeveralBlocks(const FormatFile& file) {
  for (const FormatEntry& e : file.entries)
    if ((e.key & 0xFFFF) == 0 && e.key >> 24 >= 0x81 && e.encoding == 0 && e.count > 3 * 128)
      return std::string{static_cast<char>(e.key >> 24), static_cast<char>(e.key >> 16)};
  return std::string();
}

TEST(FtsFile, ACorruptListIsFoundByTheSearchThatReadsItAndNoOther) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  ASSERT_EQ(0, BuildIndex(path, FirstNationalRecords(3000)));
  const std::string image = ReadFile(path);
  const FormatFile file = ftstest::ReadFormatFile(image);
  ASSERT_EQ("", file.error);
  // A syllable in a list of several blocks; 1 as a bitmap; 구 (B1 B8) for a
  // search that reads neither.
  const std::string dong = CharacterOfSeveralBlocks(file), gu = "\xB1\xB8";
  ASSERT_FALSE(dong.empty());
  ASSERT_NE(gu, dong);
  const FormatEntry* blocks = EntryOf(file, dong);
  const FormatEntry* bitmap = EntryOf(file, "1");
  ASSERT_TRUE(blocks && bitmap);
  ASSERT_EQ(0u, blocks->encoding);
  ASSERT_GT(blocks->count, 3u * 128);
  ASSERT_EQ(1u, bitmap->encoding);
  struct Damage {
    const char* what;
    uint64_t at;
    std::string text;
  };
  const auto middleBlock = ftstest::PartBytes(image, file, *blocks, blocks->count / 128 / 2);
  const auto chunk = ftstest::PartBytes(image, file, *bitmap, 0);
  ASSERT_GE(file.levels, 2u);
  const uint64_t entry = static_cast<uint64_t>(bitmap - file.entries.data());
  const uint64_t leafEntry = file.directoryOffset + entry / 146 * 4096 + 8 + entry % 146 * 28;
  const Damage damages[] = {
      {"a block of a long list", (middleBlock.first + middleBlock.second) / 2, dong},
      {"the head of a long list", 512 + blocks->offset + 12 + 1, dong},
      {"a bitmap chunk", chunk.first + 7, "1"},
      {"the leaf that holds the entry", leafEntry + 5, "1"},
  };
  const std::string bad = dir.File("bad.fts");
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    std::string copy = image;
    copy[d.at] = static_cast<char>(copy[d.at] ^ 0x10);
    WriteFile(bad, copy);
    const int32_t h = FtsOpen(bad.c_str(), 20, 1);
    ASSERT_GT(h, 0) << "opens: only the header and root are read";
    EXPECT_GT(FtsSet(h, gu.c_str()), 0);  // the rest of the index still answers
    EXPECT_EQ(FTS_ERR_FORMAT, FtsSet(h, d.text.c_str()));
    EXPECT_EQ(0, FtsNextRec(h)) << "no candidates after a failed search";
    EXPECT_EQ(0, FtsProven(h));
    // Within a longer text too, and again.
    EXPECT_EQ(FTS_ERR_FORMAT, FtsSet(h, (gu + " " + d.text).c_str()));
    EXPECT_EQ(FTS_ERR_FORMAT, FtsSet(h, d.text.c_str()));
    EXPECT_EQ(FTS_ERR_FORMAT, FtsCheck(h));
    FtsClose(h);
  }
}

TEST(FtsFile, AnOpenIndexCutShortAnswersAnErrorAndOneReplacedByARenameAnswersAsBefore) {
  TempDir dir;
  const std::string path = dir.File("POSTCODE.FTS");
  const auto records = FirstNationalRecords(3000);
  ASSERT_EQ(0, BuildIndex(path, records));
  const char* text = "\xB0\xB3\xC6\xF7\x31\xB5\xBF";  // 개포1동
  int32_t h = FtsOpen(path.c_str(), 20, 1);
  ASSERT_GT(h, 0);
  ASSERT_GT(FtsSet(h, text), 0);
  const std::vector<int32_t> before = Candidates(h);

  // Replaced by a rename, as a new build replaces it: the open file is the old one.
  ASSERT_EQ(0, BuildIndex(dir.File("other.fts"), {" x", " y"}));
  fs::rename(dir.File("other.fts"), path);
  EXPECT_EQ(static_cast<int32_t>(before.size()), FtsSet(h, text));
  EXPECT_EQ(before, Candidates(h));
  EXPECT_EQ(0, FtsCheck(h));
  FtsClose(h);

  ASSERT_EQ(0, BuildIndex(path, records));
  h = FtsOpen(path.c_str(), 20, 1);
  ASSERT_GT(h, 0);
  fs::resize_file(path, 100);  // truncate -s 100
  EXPECT_EQ(FTS_ERR_FORMAT, FtsSet(h, text));
  EXPECT_EQ(0, FtsNextRec(h));
  std::ofstream(path, std::ios::binary | std::ios::trunc) << "another file now";
  EXPECT_EQ(FTS_ERR_FORMAT, FtsSet(h, text));
  EXPECT_EQ(FTS_ERR_FORMAT, FtsCheck(h));
  // What needs no file still answers.
  EXPECT_EQ(1, FtsVerify(h, records[before[0] - 1].c_str(), text, 3));
  EXPECT_EQ(3000, FtsNumRecs(h));
  EXPECT_EQ(0, FtsClose(h));
  EXPECT_EQ(FTS_ERR_FORMAT, FtsOpen(path.c_str(), 20, 1)) << "opened again: what is there now";
}

TEST(FtsFile, ABuildLargerThanItsMemoryWritesTheSameFile) {
  TempDir dir;
  const auto records = FirstNationalRecords(60000);
  const std::string inMemory = dir.File("memory.fts"), spilled = dir.File("sub/spilled.fts");
  ASSERT_EQ(0, BuildIndex(inMemory, records));
  fs::create_directory(dir.File("sub"));
  const int32_t before = FtsSetBuildMemory(1);  // a few runs of 1 MiB
  ASSERT_GT(before, 1);
  const int32_t h = FtsCreate(spilled.c_str(), 20, 2, 1, 1);
  ASSERT_GT(h, 0);
  for (const auto& r : records) ASSERT_GT(FtsAdd(h, r.c_str()), 0);
  // The runs' file has no name in the folder, and nothing is there yet.
  EXPECT_EQ(0u, EntriesIn(dir.File("sub")));
  EXPECT_EQ(0, FtsClose(h));
  EXPECT_EQ(1, FtsSetBuildMemory(before));
  EXPECT_EQ(1u, EntriesIn(dir.File("sub")));
  const std::string a = ReadFile(inMemory), b = ReadFile(spilled);
  ASSERT_GT(a.size(), size_t{3} << 20);  // lists of more than the build's memory
  EXPECT_TRUE(a == b) << "the spilled build differs";
  EXPECT_EQ(FTS_ERR_ARG, FtsSetBuildMemory(0));
  EXPECT_EQ(FTS_ERR_ARG, FtsSetBuildMemory(4096));
  EXPECT_EQ(before, FtsSetBuildMemory(before));
}

}  // namespace
