// The calls' results and errors, through the public header only.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <string>

#include "FtsTestSupport.h"

using ftstest::BuildIndex;
using ftstest::Candidates;
using ftstest::TempDir;

namespace {

class FtsApiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("POSTCODE.FTS");
    // CP949: 서울 강남구 역삼동 / 부산 해운대구 우동 / 서울 종로구 ABC빌딩
    ASSERT_EQ(0, BuildIndex(path_, {" 135-08002  \xBC\xAD\xBF\xEF \xB0\xAD\xB3\xB2\xB1\xB8 "
                                    "\xBF\xAA\xBB\xEF\xB5\xBF",
                                    " 612-020051 \xBA\xCE\xBB\xEA \xC7\xD8\xBF\xEE\xB4\xEB\xB1\xB8 "
                                    "\xBF\xEC\xB5\xBF",
                                    " 110-11002  \xBC\xAD\xBF\xEF \xC1\xBE\xB7\xCE\xB1\xB8 "
                                    "ABC\xBA\xF4\xB5\xF9"}));
    h_ = FtsOpen(path_.c_str(), 20, 1);
    ASSERT_GT(h_, 0);
  }
  void TearDown() override { FtsClose(h_); }

  TempDir dir_;
  std::string path_;
  int32_t h_ = 0;
};

TEST_F(FtsApiTest, SetAnswersNoKeyNoDataOrTheCandidateCount) {
  EXPECT_EQ(FTS_ERR_NO_KEY, FtsSet(h_, ""));
  EXPECT_EQ(FTS_ERR_NO_KEY, FtsSet(h_, "   "));
  EXPECT_EQ(FTS_ERR_NO_KEY, FtsSet(h_, "zzz"));                  // key nowhere
  EXPECT_EQ(FTS_ERR_NO_KEY, FtsSet(h_, "\xBC\xAD\xBF\xEF qq"));  // one word unknown
  EXPECT_EQ(FTS_ERR_NO_KEY, FtsSet(h_, "\xBC\xAD\xFF"));         // invalid CP949
  EXPECT_EQ(FTS_ERR_NO_KEY, FtsSet(h_, "\xBC"));                 // lead byte alone
  // 역삼 and 우동 both exist, never in one record.
  EXPECT_EQ(0, FtsSet(h_, "\xBF\xAA\xBB\xEF \xBF\xEC\xB5\xBF"));
  EXPECT_EQ(2, FtsSet(h_, "\xBC\xAD\xBF\xEF"));  // 서울
  EXPECT_EQ((std::vector<int32_t>{1, 3}), Candidates(h_));
  EXPECT_EQ(0, FtsNextRec(h_));  // stays at the end
  EXPECT_EQ(3, FtsSet(h_, "0"));
  EXPECT_EQ((std::vector<int32_t>{1, 2, 3}), Candidates(h_));
  EXPECT_EQ(1, FtsSet(h_, "  abc  "));  // spaces around, letters without case
  EXPECT_EQ((std::vector<int32_t>{3}), Candidates(h_));
}

TEST_F(FtsApiTest, FailedSetLeavesNoCandidates) {
  ASSERT_EQ(2, FtsSet(h_, "\xBC\xAD\xBF\xEF"));
  EXPECT_EQ(FTS_ERR_NO_KEY, FtsSet(h_, "zzz"));
  EXPECT_EQ(0, FtsNextRec(h_));
  EXPECT_EQ(0, FtsNextRec(FtsOpen(path_.c_str(), 20, 1)));  // fresh handle: nothing yet
}

TEST_F(FtsApiTest, TextLengthLimit) {
  std::string text(FTS_MAX_TEXT, 'x');
  EXPECT_EQ(FTS_ERR_NO_KEY, FtsSet(h_, text.c_str()));
  text = std::string(FTS_MAX_TEXT - 2, ' ') + "AB";
  EXPECT_EQ(1, FtsSet(h_, text.c_str()));
  EXPECT_EQ(1, FtsVerify(h_, " xab", text.c_str(), 3));
  text += "C";
  EXPECT_EQ(FTS_ERR_TOO_LONG, FtsSet(h_, text.c_str()));
  EXPECT_EQ(0, FtsNextRec(h_));
  EXPECT_EQ(FTS_ERR_TOO_LONG, FtsVerify(h_, " xab", text.c_str(), 3));
}

TEST_F(FtsApiTest, NullArgumentsAndModes) {
  EXPECT_EQ(FTS_ERR_ARG, FtsSet(h_, nullptr));
  EXPECT_EQ(FTS_ERR_ARG, FtsVerify(h_, nullptr, "a", 3));
  EXPECT_EQ(FTS_ERR_ARG, FtsVerify(h_, "a", nullptr, 3));
  EXPECT_EQ(FTS_ERR_ARG, FtsVerify(h_, "a", "a", 0));
  EXPECT_EQ(FTS_ERR_ARG, FtsVerify(h_, "a", "a", 4));
  EXPECT_EQ(FTS_ERR_ARG, FtsVerifySized(h_, "a", -1, "a", 3));
  EXPECT_EQ(FTS_ERR_ARG, FtsCreate(nullptr, 0, 0, 0, 0));
  EXPECT_EQ(FTS_ERR_ARG, FtsCreate("", 0, 0, 0, 0));
  EXPECT_EQ(FTS_ERR_ARG, FtsOpen(nullptr, 0, 0));
  EXPECT_EQ(FTS_ERR_STATE, FtsAdd(h_, " 1"));  // an opened index is read-only
  EXPECT_EQ(3, FtsNumRecs(h_));
}

TEST_F(FtsApiTest, MatchWithoutAHandleAnswersAsVerify) {
  const char* records[] = {" 135-806 Seoul Gangnam", " abc def", " ABCDEF", "", " x"};
  const char* texts[] = {"gangnam seoul", "def abc", "cde",        "ABC", "  ",
                         "\xB0",          "x",       "ABC\xBA\xF4"};
  for (const char* r : records)
    for (const char* t : texts)
      for (int32_t mode = 1; mode <= 3; ++mode)
        EXPECT_EQ(FtsVerify(h_, r, t, mode), FtsMatch(r, t, mode))
            << '"' << r << "\" \"" << t << "\" " << mode;
  EXPECT_EQ(1, FtsMatch(" Seoul Gangnam", "GANGNAM", 3));
  EXPECT_EQ(0, FtsMatch(" Seoul Gangnam", "Busan", 3));
  EXPECT_EQ(FTS_ERR_ARG, FtsMatch(nullptr, "a", 3));
  EXPECT_EQ(FTS_ERR_ARG, FtsMatch("a", nullptr, 3));
  EXPECT_EQ(FTS_ERR_ARG, FtsMatch("a", "a", 4));
  EXPECT_EQ(FTS_ERR_TOO_LONG, FtsMatch("a", std::string(FTS_MAX_TEXT + 1, 'a').c_str(), 3));
  const std::string unterminated(FTS_MAX_RECORD + 1, 'a');
  EXPECT_EQ(FTS_ERR_RECORD, FtsMatch(unterminated.c_str(), "a", 3));
}

TEST(FtsHandles, BadAndClosedHandlesAnswerAnError) {
  for (int32_t h : {0, -1, -13, 7777, 0x7FFFFFFF}) {
    EXPECT_EQ(FTS_ERR_HANDLE, FtsAdd(h, " x"));
    EXPECT_EQ(FTS_ERR_HANDLE, FtsSet(h, "x"));
    EXPECT_EQ(FTS_ERR_HANDLE, FtsNextRec(h));
    EXPECT_EQ(FTS_ERR_HANDLE, FtsVerify(h, " x", "x", 3));
    EXPECT_EQ(FTS_ERR_HANDLE, FtsNumRecs(h));
    EXPECT_EQ(FTS_ERR_HANDLE, FtsClose(h));
  }
  TempDir dir;
  const int32_t h = FtsCreate(dir.File("a.fts").c_str(), 20, 2, 1, 1);
  ASSERT_GT(h, 0);
  EXPECT_EQ(0, FtsClose(h));
  EXPECT_EQ(FTS_ERR_HANDLE, FtsClose(h));
  EXPECT_EQ(FTS_ERR_HANDLE, FtsNumRecs(h));
  // A new handle never repeats a closed one.
  const int32_t again = FtsOpen(dir.File("a.fts").c_str(), 20, 1);
  EXPECT_GT(again, 0);
  EXPECT_NE(h, again);
  EXPECT_EQ(FTS_ERR_HANDLE, FtsNumRecs(h));
  EXPECT_EQ(0, FtsNumRecs(again));
  FtsClose(again);
}

TEST(FtsHandles, FailedCreateAndOpen) {
  TempDir dir;
  EXPECT_EQ(FTS_ERR_IO, FtsCreate(dir.File("missing/x.fts").c_str(), 20, 2, 1, 1));
  EXPECT_EQ(FTS_ERR_ARG, FtsCreate((dir.Path() + "/").c_str(), 20, 2, 1, 1));
  EXPECT_EQ(FTS_ERR_ARG, FtsCreate(std::string(5000, 'a').c_str(), 20, 2, 1, 1));
  EXPECT_EQ(FTS_ERR_IO, FtsOpen(dir.File("none.fts").c_str(), 20, 1));
  EXPECT_EQ(FTS_ERR_IO, FtsOpen(dir.Path().c_str(), 20, 1));  // a folder
  const std::string fifo = dir.File("fifo.fts");
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  EXPECT_EQ(FTS_ERR_IO, FtsOpen(fifo.c_str(), 20, 1));  // refused, not waited on
}

TEST(FtsBuild, RecordNumbersAreTheRunningCountOfAdds) {
  TempDir dir;
  const std::string path = dir.File("b.fts");
  const int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
  ASSERT_GT(h, 0);
  EXPECT_EQ(FTS_ERR_STATE, FtsSet(h, "a"));
  EXPECT_EQ(FTS_ERR_STATE, FtsNextRec(h));
  EXPECT_EQ(1, FtsAdd(h, " alpha"));
  EXPECT_EQ(FTS_ERR_ARG, FtsAdd(h, nullptr));  // refused, but takes number 2
  std::string endless(FTS_MAX_RECORD + 10, 'q');
  auto unterminated = std::make_unique<char[]>(endless.size());
  std::memcpy(unterminated.get(), endless.data(), endless.size());
  EXPECT_EQ(FTS_ERR_RECORD, FtsAdd(h, unterminated.get()));  // number 3
  EXPECT_EQ(FTS_ERR_ARG, FtsAddSized(h, " x", -1));          // number 4
  // Sized: ends at the declared size without a zero byte (ASan would see a read past it).
  auto sized = std::make_unique<char[]>(6);
  std::memcpy(sized.get(), " gamma", 6);
  EXPECT_EQ(5, FtsAddSized(h, sized.get(), 6));
  EXPECT_EQ(6, FtsAddSized(h, " beta\0alpha", 11));  // ends at its zero byte
  EXPECT_EQ(7, FtsAdd(h, ""));
  EXPECT_EQ(7, FtsNumRecs(h));
  EXPECT_EQ(1, FtsVerifySized(h, sized.get(), 6, "gamma", 3));
  EXPECT_EQ(0, FtsVerifySized(h, sized.get(), 5, "gamma", 3));
  EXPECT_EQ(FTS_ERR_RECORD, FtsVerify(h, unterminated.get(), "q", 3));
  ASSERT_EQ(0, FtsClose(h));

  const int32_t r = FtsOpen(path.c_str(), 20, 1);
  ASSERT_GT(r, 0);
  EXPECT_EQ(7, FtsNumRecs(r));
  EXPECT_EQ(1, FtsSet(r, "alpha"));
  EXPECT_EQ((std::vector<int32_t>{1}), Candidates(r));
  EXPECT_EQ(1, FtsSet(r, "gamma"));
  EXPECT_EQ((std::vector<int32_t>{5}), Candidates(r));
  EXPECT_EQ(1, FtsSet(r, "bet"));
  EXPECT_EQ((std::vector<int32_t>{6}), Candidates(r));
  EXPECT_EQ(FTS_ERR_NO_KEY, FtsSet(r, "qq"));  // the refused record has no keys
  FtsClose(r);
}

TEST(FtsBuild, ARecordIsReadToItsLimitWithItsZeroByteAndNoFurther) {
  // A heap block of exactly FTS_MAX_RECORD bytes without a zero byte: refused,
  // and (AddressSanitizer watches the block's end) no byte after it read.
  auto record = std::make_unique<char[]>(FTS_MAX_RECORD);
  std::memset(record.get(), 'a', FTS_MAX_RECORD);
  TempDir dir;
  const std::string path = dir.File("limit.fts");
  const int32_t h = FtsCreate(path.c_str(), 20, 2, 1, 1);
  ASSERT_GT(h, 0);
  EXPECT_EQ(FTS_ERR_RECORD, FtsMatch(record.get(), "a", 3));
  EXPECT_EQ(FTS_ERR_RECORD, FtsVerify(h, record.get(), "a", 3));
  EXPECT_EQ(FTS_ERR_RECORD, FtsAdd(h, record.get()));  // number 1, without keys
  // The longest record: FTS_MAX_RECORD - 1 bytes and its zero byte.
  record[FTS_MAX_RECORD - 1] = '\0';
  record[FTS_MAX_RECORD - 2] = 'z';
  EXPECT_EQ(1, FtsMatch(record.get(), "az", 3));
  EXPECT_EQ(1, FtsVerify(h, record.get(), "az", 3));
  EXPECT_EQ(2, FtsAdd(h, record.get()));
  ASSERT_EQ(0, FtsClose(h));
  const int32_t r = FtsOpen(path.c_str(), 20, 1);
  EXPECT_EQ(1, FtsSet(r, "az"));
  EXPECT_EQ((std::vector<int32_t>{2}), Candidates(r));
  FtsClose(r);
}

TEST(FtsBuild, EmptyIndex) {
  TempDir dir;
  const std::string path = dir.File("empty.fts");
  ASSERT_EQ(0, BuildIndex(path, {}));
  const int32_t h = FtsOpen(path.c_str(), 20, 1);
  ASSERT_GT(h, 0);
  EXPECT_EQ(0, FtsNumRecs(h));
  EXPECT_EQ(0, FtsNumKeys(h));
  EXPECT_EQ(FTS_ERR_NO_KEY, FtsSet(h, "a"));
  EXPECT_EQ(0, FtsNextRec(h));
  FtsClose(h);
}

TEST(FtsBuild, SeveralIndexesOpenAtOnce) {
  TempDir dir;
  ASSERT_EQ(0, BuildIndex(dir.File("1.fts"), {" red", " green"}));
  ASSERT_EQ(0, BuildIndex(dir.File("2.fts"), {" green", " blue", " green blue"}));
  const int32_t a = FtsOpen(dir.File("1.fts").c_str(), 20, 1);
  const int32_t b = FtsOpen(dir.File("2.fts").c_str(), 20, 1);
  ASSERT_GT(a, 0);
  ASSERT_GT(b, 0);
  EXPECT_EQ(1, FtsSet(a, "green"));
  EXPECT_EQ(2, FtsSet(b, "green"));
  EXPECT_EQ((std::vector<int32_t>{2}), Candidates(a));
  EXPECT_EQ((std::vector<int32_t>{1, 3}), Candidates(b));
  EXPECT_EQ(FTS_ERR_NO_KEY, FtsSet(a, "blue"));
  EXPECT_EQ(2, FtsNumRecs(a));
  EXPECT_EQ(3, FtsNumRecs(b));
  FtsClose(a);
  EXPECT_EQ(1, FtsSet(b, "green blue"));
  FtsClose(b);
}

TEST(FtsLibrary, TheLibraryTheProgramLoadsAnswersItsVersionAndNamesItsMajor) {
  EXPECT_EQ(FTSINDEX_VERSION, FtsLibraryVersion());
  // The program loads exactly this name from its folder.
  void* module = dlopen(PF_BIN_DIR "/libftsindex.so", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(nullptr, module) << dlerror();
  auto version = reinterpret_cast<int32_t (*)()>(dlsym(module, "FtsLibraryVersion"));
  ASSERT_NE(nullptr, version);
  EXPECT_EQ(FTSINDEX_VERSION, version());
  // Its SONAME, from its dynamic section as loaded.
  link_map* map = nullptr;
  ASSERT_EQ(0, dlinfo(module, RTLD_DI_LINKMAP, &map));
  const char* strings = nullptr;
  size_t soname = 0;
  for (const ElfW(Dyn)* d = map->l_ld; d->d_tag != DT_NULL; ++d) {
    if (d->d_tag == DT_STRTAB) strings = reinterpret_cast<const char*>(d->d_un.d_ptr);
    if (d->d_tag == DT_SONAME) soname = d->d_un.d_val;
  }
  ASSERT_NE(nullptr, strings);
  EXPECT_EQ("libftsindex.so." + std::to_string(FTSINDEX_VERSION / 10000),
            std::string(strings + soname));
  dlclose(module);
}

}  // namespace

TEST(FtsIntersection, EveryShapeOfTwoListsGivesExactlyTheRecordsOfBoth) {
  // Four words, each a pair of syllables (its one key), spread over 60,000
  // records in lists of every kind: dense, sparse, in clusters with long
  // gaps, and a few far apart; each pair of them asked together must answer
  // exactly the records that hold both.
  constexpr int kRecords = 60000;
  const char* const words[] = {"\xB0\xA1\xB3\xAA", "\xB4\xD9\xB6\xF3", "\xB8\xB6\xB9\xD9",
                               "\xBB\xE7\xBE\xC6"};  // 가나 다라 마바 사아 (CP949)
  auto holds = [](int word, int n) {
    switch (word) {
      case 0:
        return n % 3 == 0;  // dense
      case 1:
        return (n * 2654435761u) % 97 < 3;  // sparse, spread
      case 2:
        return (n / 500) % 7 == 0 && n % 2 == 0;  // clusters, long gaps between
      default:
        return n % 4999 == 17 || n % 1237 == 5;  // few, far apart
    }
  };
  std::vector<std::string> records;
  for (int n = 1; n <= kRecords; ++n) {
    std::string r = "x";
    for (int w = 0; w < 4; ++w)
      if (holds(w, n)) r += std::string(" ") + words[w];
    records.push_back(r);
  }
  ftstest::TempDir dir;
  const std::string path = dir.File("shapes.fts");
  ASSERT_EQ(ftstest::BuildIndex(path, records), 0);
  const int32_t h = FtsOpen(path.c_str(), 20, 2);
  ASSERT_GT(h, 0);
  for (int a = 0; a < 4; ++a)
    for (int b = a + 1; b < 4; ++b) {
      std::vector<int32_t> truth;
      for (int n = 1; n <= kRecords; ++n)
        if (holds(a, n) && holds(b, n)) truth.push_back(n);
      const std::string text = std::string(words[a]) + " " + words[b];
      const int32_t count = FtsSet(h, text.c_str());
      ASSERT_GE(count, 0) << a << " " << b;
      EXPECT_EQ(ftstest::Candidates(h), truth) << a << " " << b;
    }
  // Taken many at a time, in batches of every size and mixed with one at a
  // time, the candidates of one word (one list, of each kind) and of two are
  // the same.
  std::vector<std::string> texts(std::begin(words), std::end(words));
  texts.push_back(std::string(words[0]) + " " + words[2]);
  for (const std::string& text : texts) {
    ASSERT_GT(FtsSet(h, text.c_str()), 0) << text;
    const std::vector<int32_t> one = ftstest::Candidates(h);
    for (int32_t size : {1, 7, 128, 4096}) {
      ASSERT_GT(FtsSet(h, text.c_str()), 0);
      std::vector<int32_t> many;
      std::vector<int32_t> batch(static_cast<size_t>(size));
      for (int round = 0;; ++round) {
        if (round % 3 == 2) {
          const int32_t r = FtsNextRec(h);
          if (r <= 0) break;
          many.push_back(r);
          continue;
        }
        const int32_t got = FtsNextRecs(h, batch.data(), size);
        ASSERT_GE(got, 0);
        ASSERT_LE(got, size);
        if (got == 0) break;
        many.insert(many.end(), batch.begin(), batch.begin() + got);
      }
      EXPECT_EQ(many, one) << "batches of " << size;
      EXPECT_EQ(FtsNextRecs(h, batch.data(), size), 0) << "after the last";
    }
  }
  int32_t batch[4];
  EXPECT_EQ(FtsNextRecs(h, nullptr, 4), FTS_ERR_ARG);
  EXPECT_EQ(FtsNextRecs(h, batch, 0), FTS_ERR_ARG);
  FtsClose(h);
  EXPECT_EQ(FtsNextRecs(h, batch, 4), FTS_ERR_HANDLE);
}
