// Character boundaries, case and the three verification modes.
#include <gtest/gtest.h>

#include "FtsTestSupport.h"

using ftstest::BuildIndex;
using ftstest::Candidates;
using ftstest::TempDir;

namespace {

// 가 = B0 A1, 나 = B3 AA; A1 B3 is itself a valid CP949 character (a symbol),
// made of the second byte of 가 and the first of 나.
const char kGaNa[] = " \xB0\xA1\xB3\xAA";
const char kStraddle[] = "\xA1\xB3";
// 갂 = 81 41: a Hangul syllable whose trail byte is 'A'.
const char kTrailA[] =
    " \x81\x41"
    "bc";

class FtsMatchingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    h_ = FtsCreate(dir_.File("m.fts").c_str(), 20, 2, 1, 1);  // verifying needs no file
    ASSERT_GT(h_, 0);
  }
  void TearDown() override { FtsClose(h_); }
  int32_t Verify(const char* record, const char* text, int mode) {
    return FtsVerify(h_, record, text, mode);
  }
  TempDir dir_;
  int32_t h_ = 0;
};

TEST_F(FtsMatchingTest, NeverMatchesAcrossACharacterBoundary) {
  for (int mode = 1; mode <= 3; ++mode) {
    EXPECT_EQ(0, Verify(kGaNa, kStraddle, mode)) << mode;
    EXPECT_EQ(1, Verify(kGaNa, "\xB3\xAA", mode)) << mode;
    EXPECT_EQ(1, Verify(kGaNa, "\xB0\xA1\xB3\xAA", mode)) << mode;
    // 'A' as a trail byte is not the letter A, nor is 'bc' shifted into it.
    EXPECT_EQ(0, Verify(kTrailA, "A", mode)) << mode;
    EXPECT_EQ(0, Verify(kTrailA, "Abc", mode)) << mode;
    EXPECT_EQ(1, Verify(kTrailA, "bc", mode)) << mode;
    EXPECT_EQ(1, Verify(kTrailA,
                        "\x81\x41"
                        "b",
                        mode))
        << mode;
  }
  // The same bytes found later on a boundary still count.
  EXPECT_EQ(1, Verify(" \xB0\xA1\xB3\xAA \xA1\xB3", kStraddle, 3));
}

TEST_F(FtsMatchingTest, IndexHonoursBoundariesToo) {
  const std::string path = dir_.File("b.fts");
  ASSERT_EQ(0, BuildIndex(path, {kGaNa, kTrailA, " xAbc"}));
  const int32_t h = FtsOpen(path.c_str(), 20, 1);
  ASSERT_GT(h, 0);
  EXPECT_EQ(FTS_ERR_NO_KEY, FtsSet(h, kStraddle));
  EXPECT_EQ(1, FtsSet(h, "a"));  // only the real letter of record 3
  EXPECT_EQ((std::vector<int32_t>{3}), Candidates(h));
  EXPECT_EQ(2, FtsSet(h, "BC"));
  EXPECT_EQ((std::vector<int32_t>{2, 3}), Candidates(h));
  EXPECT_EQ(1, FtsSet(h, "\x81\x41"));  // the syllable itself, one character
  EXPECT_EQ((std::vector<int32_t>{2}), Candidates(h));
  FtsClose(h);
}

TEST_F(FtsMatchingTest, CaseOfAsciiLetters) {
  const char* rec = " 100-100 Seoul TOWER Apt";
  EXPECT_EQ(1, Verify(rec, "Seoul", 1));
  EXPECT_EQ(0, Verify(rec, "seoul", 1));
  EXPECT_EQ(1, Verify(rec, "seoul", 2));
  EXPECT_EQ(1, Verify(rec, "tower apt", 2));
  EXPECT_EQ(1, Verify(rec, "apt SEOUL", 3));
  EXPECT_EQ(0, Verify(rec, "apt SEOULS", 3));
}

TEST_F(FtsMatchingTest, PhraseAgainstWords) {
  // 서울 강남구 역삼동
  const char* rec =
      " 135-080 02  \xBC\xAD\xBF\xEF \xB0\xAD\xB3\xB2\xB1\xB8 \xBF\xAA\xBB\xEF\xB5\xBF";
  const char* inOrder = "\xB0\xAD\xB3\xB2\xB1\xB8 \xBF\xAA\xBB\xEF";  // 강남구 역삼
  const char* reversed = "\xBF\xAA\xBB\xEF \xB0\xAD\xB3\xB2";         // 역삼 강남
  EXPECT_EQ(1, Verify(rec, inOrder, 1));
  EXPECT_EQ(1, Verify(rec, inOrder, 3));
  EXPECT_EQ(0, Verify(rec, reversed, 1));
  EXPECT_EQ(0, Verify(rec, reversed, 2));
  EXPECT_EQ(1, Verify(rec, reversed, 3));
  EXPECT_EQ(1, Verify(rec, "  \xBF\xAA\xBB\xEF  ", 1));  // spaces around do not count
  EXPECT_EQ(1, Verify(rec, "135-0", 3));
  EXPECT_EQ(1, Verify(rec, "02", 3));
  EXPECT_EQ(0, Verify(rec, "135 -080", 1));
}

TEST_F(FtsMatchingTest, TextsWithoutWordsOrInvalidBytesMatchNothing) {
  for (int mode = 1; mode <= 3; ++mode) {
    EXPECT_EQ(0, Verify(" abc", "", mode));
    EXPECT_EQ(0, Verify(" abc", "   ", mode));
    EXPECT_EQ(0, Verify(" abc\xFF", "\xFF", mode));
    EXPECT_EQ(0, Verify(" ab\xB0", "b\xB0", mode));  // lead byte without its trail
  }
  // A record's stray bytes are characters of their own and do not break matching.
  EXPECT_EQ(1, Verify(" \xFF"
                      "abc \x80",
                      "abc", 3));
  // B0 61 is a valid pair ('a' can be a trail byte), so "abc" starts inside it.
  EXPECT_EQ(0, Verify(" \xB0"
                      "abc",
                      "abc", 3));
  EXPECT_EQ(1, Verify(" \xB0"
                      "abc",
                      "bc", 3));
}

}  // namespace
