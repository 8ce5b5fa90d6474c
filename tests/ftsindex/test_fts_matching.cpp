// Character boundaries, case and the three verification modes.
#include <gtest/gtest.h>

#include "FtsTestSupport.h"
#include "UnicodeText.h"

using ftstest::BuildIndex;
using ftstest::Candidates;
using ftstest::TempDir;

namespace {
std::string K(const std::u32string& text) {
  return ftstest::EncodeCp949(text);
}
}  // namespace

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

TEST_F(FtsMatchingTest, WordsAcrossBlanksAndInitialConsonants) {
  const std::string rec = K(U" 135-080 02  서울 강남구 역삼동 Seoul  TOWER");
  for (const char32_t* word : {U"강남구역삼동", U"서울강남구", U"울강", U"ㄱㄴㄱ", U"ㄱㄴㄱㅇㅅㄷ",
                               U"강ㄴ구 역ㅅ", U"02서울", U"seoultower", U"ㅅ", U"ㄷ"})
    EXPECT_EQ(1, Verify(rec.c_str(), K(word).c_str(), 3)) << K(word);
  // ㄱ is not ㄲ; a blank is the space only; a vowel jamo and a jamo that
  // cannot begin a syllable stand for themselves; the consonant of a final
  // is not an initial.
  for (const char32_t* word : {U"ㄲㄴ", U"135080", U"ㅓ울", U"ㄳ", U"ㅁ구", U"역삼동ㅅ"})
    EXPECT_EQ(0, Verify(rec.c_str(), K(word).c_str(), 3)) << K(word);
  EXPECT_EQ(1, Verify(K(U" ㄱ ㄲ ㅏ ㄳ").c_str(), K(U"ㄱㄲㅏㄳ").c_str(), 3));
  EXPECT_EQ(0, Verify(K(U" ㄱ").c_str(), K(U"가").c_str(), 3));  // the jamo is no syllable
  // The phrase modes take the text as it is.
  EXPECT_EQ(0, Verify(rec.c_str(), K(U"강남구역삼동").c_str(), 1));
  EXPECT_EQ(0, Verify(rec.c_str(), K(U"ㄱㄴㄱ").c_str(), 2));
  EXPECT_EQ(1, Verify(rec.c_str(), K(U"강남구 역삼동").c_str(), 1));
  EXPECT_EQ(1, Verify(rec.c_str(), K(U"seoul  tower").c_str(), 2));
}

TEST_F(FtsMatchingTest, SpansCoverTheMatchedCharacters) {
  // " 서울 강남구 역삼동": 서울 at 1..5, 강남구 at 6..12, 역삼동 at 13..19.
  const std::string rec = K(U" 서울 강남구 역삼동");
  auto spans = [&](const std::u32string& text, int mode) {
    int32_t out[16];
    const int32_t n = FtsMatchSpans(h_, rec.data(), static_cast<int32_t>(rec.size()),
                                    K(text).c_str(), mode, out, 8);
    std::vector<std::pair<int32_t, int32_t>> v;
    for (int32_t i = 0; i < std::min(n, 8); ++i) v.emplace_back(out[2 * i], out[2 * i + 1]);
    return v;
  };
  using Spans = std::vector<std::pair<int32_t, int32_t>>;
  // Across the blank: both parts, not the blank.
  EXPECT_EQ((Spans{{6, 12}, {13, 19}}), spans(U"강남구역삼동", 3));
  EXPECT_EQ((Spans{{1, 5}, {13, 15}}), spans(U"역 서울", 3));
  // Initial consonants cover their syllables; touching parts join.
  EXPECT_EQ((Spans{{6, 10}}), spans(U"ㄱㄴ", 3));
  EXPECT_EQ((Spans{{3, 5}, {6, 12}, {13, 15}}), spans(U"울ㄱ ㄴ구역", 3));
  // Every occurrence counts: ㅅ at 서 and at 삼.
  EXPECT_EQ((Spans{{1, 3}, {15, 17}}), spans(U"ㅅ", 3));
  // A phrase keeps its blank.
  EXPECT_EQ((Spans{{6, 17}}), spans(U"강남구 역삼", 1));
  // No match, no spans: every word must occur.
  EXPECT_TRUE(spans(U"역삼동 부산", 3).empty());
  EXPECT_TRUE(spans(U"강남구역삼동", 1).empty());
  // More spans than room: the count of all, only the first written.
  int32_t two[4] = {-1, -1, -1, -1};
  EXPECT_EQ(2, FtsMatchSpans(h_, rec.data(), static_cast<int32_t>(rec.size()),
                             K(U"서울 역삼").c_str(), 3, two, 1));
  EXPECT_EQ(1, two[0]);
  EXPECT_EQ(5, two[1]);
  EXPECT_EQ(-1, two[2]);
  EXPECT_EQ(2, FtsMatchSpans(h_, rec.data(), static_cast<int32_t>(rec.size()),
                             K(U"서울 역삼").c_str(), 3, nullptr, 0));
  // The record ends at its size or its first zero byte.
  EXPECT_EQ(0, FtsMatchSpans(h_, rec.data(), 12, K(U"역삼").c_str(), 3, two, 2));
  // Arguments.
  EXPECT_EQ(FTS_ERR_ARG, FtsMatchSpans(h_, nullptr, 1, "a", 3, two, 2));
  EXPECT_EQ(FTS_ERR_ARG, FtsMatchSpans(h_, rec.data(), -1, "a", 3, two, 2));
  EXPECT_EQ(FTS_ERR_ARG, FtsMatchSpans(h_, rec.data(), 1, "a", 3, nullptr, 2));
  EXPECT_EQ(FTS_ERR_ARG, FtsMatchSpans(h_, rec.data(), 1, "a", 4, two, 2));
  EXPECT_EQ(FTS_ERR_TOO_LONG,
            FtsMatchSpans(h_, rec.data(), 1, std::string(256, 'a').c_str(), 3, two, 2));
  EXPECT_EQ(FTS_ERR_HANDLE, FtsMatchSpans(0, rec.data(), 1, "a", 3, two, 2));
}

}  // namespace
