// No false negatives on the national table: for many search texts the
// confirmed candidates equal a brute-force scan with an independent matcher,
// and a candidate list that the index calls proven equals it without
// verification. The matcher works on Unicode text decoded by iconv and
// applies the rules of the words: any order, blanks of the record skipped
// between a word's characters, an initial-consonant jamo for every syllable
// with that initial.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>

#include "FtsTestSupport.h"
#include "UnicodeText.h"
#include "ZipcodeRecords.h"

using ftstest::Candidates;
using ftstest::TempDir;

namespace {

using ftstest::Chars;
using ftstest::IsSyllable;

bool Decode(const std::string& cp949, Chars& out) {
  return ftstest::DecodeCp949(cp949, out);
}
std::string Encode(const Chars& text) {
  std::string cp949 = ftstest::EncodeCp949(text);
  EXPECT_FALSE(cp949.empty());
  return cp949;
}
char32_t InitialOf(char32_t syllable) {
  return ftstest::InitialJamoOf(syllable);
}

// Called by std::search with the record's character first.
bool CharMatches(char32_t recordChar, char32_t wordChar) {
  if (ftstest::kInitialJamo.find(wordChar) != Chars::npos)
    return recordChar == wordChar || (IsSyllable(recordChar) && InitialOf(recordChar) == wordChar);
  return recordChar == wordChar;
}

std::vector<Chars> Words(const std::string& text) {
  std::vector<Chars> words;
  Chars all;
  if (!Decode(text, all)) return words;
  size_t i = 0;
  while (i < all.size()) {
    while (i < all.size() && all[i] == U' ') ++i;
    size_t j = i;
    while (j < all.size() && all[j] != U' ') ++j;
    if (j > i) words.push_back(all.substr(i, j - i));
    i = j;
  }
  return words;
}

class NationalTable : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    records_ = new std::vector<std::string>(
        ftstest::MakeRecords(ftstest::ReadZipcodeCsv(ftstest::ZipcodeCsvPath())));
    chars_ = new std::vector<Chars>();
    for (const auto& r : *records_) {
      Chars c;
      ASSERT_TRUE(Decode(r, c));
      c.erase(std::remove(c.begin(), c.end(), U' '), c.end());  // blanks are skipped
      chars_->push_back(std::move(c));
    }
    dir_ = new TempDir();
    const std::string path = dir_->File("POSTCODE.FTS");
    const int32_t b = FtsCreate(path.c_str(), 20, 2, 1, 1);
    for (const auto& r : *records_) FtsAdd(b, r.c_str());
    FtsClose(b);
    h_ = FtsOpen(path.c_str(), 20, 1);
  }
  static void TearDownTestSuite() {
    FtsClose(h_);
    delete dir_;
    delete chars_;
    delete records_;
  }

  static std::vector<int32_t> BruteForce(const std::string& text) {
    const auto words = Words(text);
    std::vector<int32_t> out;
    if (words.empty()) return out;
    for (size_t i = 0; i < chars_->size(); ++i) {
      const Chars& rec = (*chars_)[i];
      bool all = true;
      for (const auto& w : words)
        if (std::search(rec.begin(), rec.end(), w.begin(), w.end(), CharMatches) == rec.end()) {
          all = false;
          break;
        }
      if (all) out.push_back(static_cast<int32_t>(i + 1));
    }
    return out;
  }

  // Runs the search as the application does and compares it with the scan;
  // answers the number of matches.
  static size_t ExpectSameAsScan(const std::string& text) {
    const std::vector<int32_t> expected = BruteForce(text);
    const int32_t r = FtsSet(h_, text.c_str());
    if (r == FTS_ERR_NO_KEY || r == 0) {
      EXPECT_TRUE(expected.empty()) << text << ": " << expected.size() << " missed, FtsSet " << r;
      EXPECT_EQ(0, FtsProven(h_));
      return expected.size();
    }
    EXPECT_GT(r, 0) << text;
    const bool proven = FtsProven(h_) == 1;
    const std::vector<int32_t> cands = Candidates(h_);
    EXPECT_EQ(static_cast<size_t>(r), cands.size()) << text;
    EXPECT_TRUE(std::is_sorted(cands.begin(), cands.end()));
    EXPECT_TRUE(std::adjacent_find(cands.begin(), cands.end()) == cands.end());
    std::vector<int32_t> matched;
    for (int32_t c : cands) {
      if (c < 1 || c > static_cast<int32_t>(records_->size())) {
        ADD_FAILURE() << text << ": candidate " << c;
        return 0;
      }
      if (FtsVerify(h_, (*records_)[c - 1].c_str(), text.c_str(), 3) == 1) matched.push_back(c);
    }
    EXPECT_EQ(expected, matched) << text;
    if (proven) {
      EXPECT_EQ(expected, cands) << text << ": proven, yet not every candidate matches";
    }
    return expected.size();
  }

  // A run of `length` characters of record `rec` from character `from`.
  static std::string Fragment(const std::string& rec, size_t from, size_t length) {
    size_t i = 0, n = 0;
    auto step = [&](size_t k) {
      const auto b = static_cast<uint8_t>(rec[k]);
      return (b >= 0x81 && k + 1 < rec.size()) ? 2 : 1;
    };
    while (i < rec.size() && n < from) i += step(i), ++n;
    const size_t start = i;
    for (n = 0; i < rec.size() && n < length; ++n) i += step(i);
    return rec.substr(start, i - start);
  }

  static std::vector<std::string>* records_;
  static std::vector<Chars>* chars_;
  static TempDir* dir_;
  static int32_t h_;
};

std::vector<std::string>* NationalTable::records_ = nullptr;
std::vector<Chars>* NationalTable::chars_ = nullptr;
TempDir* NationalTable::dir_ = nullptr;
int32_t NationalTable::h_ = 0;

TEST_F(NationalTable, IndexHoldsEveryRecord) {
  ASSERT_EQ(52144u, records_->size());
  ASSERT_GT(h_, 0);
  EXPECT_EQ(52144, FtsNumRecs(h_));
  EXPECT_GT(FtsNumKeys(h_), 1000);
}

TEST_F(NationalTable, WhatPeopleType) {
  // 역삼, 역삼 강남, 강남구 역삼동, 개포1동 경남, 135-8, 031, 우성3차, 사서함, 동
  for (const char* text : {"\xBF\xAA\xBB\xEF", "\xBF\xAA\xBB\xEF \xB0\xAD\xB3\xB2",
                           "\xB0\xAD\xB3\xB2\xB1\xB8 \xBF\xAA\xBB\xEF\xB5\xBF",
                           "\xB0\xB3\xC6\xF7\x31\xB5\xBF \xB0\xE6\xB3\xB2", "135-8", "031",
                           "\xBF\xEC\xBC\xBA\x33\xC2\xF7", "\xBB\xE7\xBC\xAD\xC7\xD4", "\xB5\xBF",
                           "  \xBF\xAA\xBB\xEF  ", "APT", "(1"}) {
    ExpectSameAsScan(text);
  }
  EXPECT_FALSE(BruteForce("\xBF\xAA\xBB\xEF \xB0\xAD\xB3\xB2").empty());
  EXPECT_FALSE(BruteForce("\xB0\xB3\xC6\xF7\x31\xB5\xBF \xB0\xE6\xB3\xB2").empty());
}

TEST_F(NationalTable, EveryTwoSyllableWordSampled) {
  std::set<std::string> words;
  for (const auto& r : *records_) {
    for (size_t i = 12; i + 4 <= r.size();) {
      const auto b = static_cast<uint8_t>(r[i]);
      if (b >= 0xB0 && b <= 0xC8 && static_cast<uint8_t>(r[i + 2]) >= 0xB0 &&
          static_cast<uint8_t>(r[i + 2]) <= 0xC8)
        words.insert(r.substr(i, 4));
      i += b >= 0x81 ? 2 : 1;
    }
  }
  ASSERT_GT(words.size(), 3000u);
  size_t k = 0;
  for (const auto& w : words)
    if (k++ % 29 == 0) ExpectSameAsScan(w);
}

TEST_F(NationalTable, RandomFragmentsAndWordCombinations) {
  std::mt19937 rng(20260);
  const auto& recs = *records_;
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  for (int i = 0; i < 150; ++i) {  // fragments of 1..6 characters, spaces allowed
    const std::string& r = recs[pick(recs.size())];
    ExpectSameAsScan(Fragment(r, pick(40), 1 + pick(6)));
  }
  for (int i = 0; i < 100; ++i) {  // two or three fragments of one record, any order
    const std::string& r = recs[pick(recs.size())];
    std::string text = Fragment(r, 12 + pick(30), 1 + pick(3));
    for (int w = 1 + static_cast<int>(pick(2)); w > 0; --w)
      text = Fragment(r, pick(40), 1 + pick(4)) + " " + text;
    ExpectSameAsScan(text);
  }
  for (int i = 0; i < 30; ++i) {  // fragments of two different records: mostly nothing
    ExpectSameAsScan(Fragment(recs[pick(recs.size())], 12 + pick(20), 2) + " " +
                     Fragment(recs[pick(recs.size())], 12 + pick(20), 2));
  }
}

TEST_F(NationalTable, StraddlingBytesOfRealRecordsFindNothingFalse) {
  // Bytes 2..3 of a two-syllable run: second byte of one character and first
  // of the next. Wherever such a pair is itself a valid character, the scan
  // decides; the library must agree.
  std::mt19937 rng(7);
  for (int i = 0; i < 200; ++i) {
    const std::string& r = (*records_)[rng() % records_->size()];
    for (size_t k = 12; k + 4 <= r.size(); k += 2) {
      if (static_cast<uint8_t>(r[k]) >= 0xB0 && static_cast<uint8_t>(r[k + 2]) >= 0xB0) {
        ExpectSameAsScan(r.substr(k + 1, 2));
        break;
      }
    }
  }
}

}  // namespace

// Fragments of real addresses, in Unicode, turned into what people type.
class TypedWords : public NationalTable {
 protected:
  // `length` characters of a random record's address (which starts at
  // character 12), blanks included; every fragment occurs in its record.
  Chars AddressFragment(size_t length) {
    Chars all;
    const std::string& r = (*records_)[rng_() % records_->size()];
    EXPECT_TRUE(Decode(r, all));
    while (!all.empty() && all.back() == U' ') all.pop_back();
    if (all.size() < 12 + length) return Chars();
    return all.substr(12 + rng_() % (all.size() - 12 - length + 1), length);
  }
  // Each syllable replaced by its initial consonant with probability p (in %).
  Chars ToInitials(Chars text, unsigned percent) {
    for (char32_t& c : text)
      if (IsSyllable(c) && rng_() % 100 < percent) c = InitialOf(c);
    return text;
  }
  static Chars WithoutBlanks(Chars text) {
    text.erase(std::remove(text.begin(), text.end(), U' '), text.end());
    return text;
  }
  static Chars Trimmed(Chars text) {
    while (!text.empty() && text.front() == U' ') text.erase(text.begin());
    while (!text.empty() && text.back() == U' ') text.pop_back();
    return text;
  }

  std::mt19937 rng_{2026};
};

TEST_F(TypedWords, WhatTheIssueShows) {
  // ㄱㅍ1ㄷ finds 개포1동; 서울 ㄱㄴ finds 서울 with 강남..; 개ㅍ finds 개포;
  // 강남구역삼1동 finds 강남구 역삼1동; 서울강남구 finds 서울 강남구.
  const std::string gaepo1dong = Encode(U"개포1동");
  for (const Chars& text : {Chars(U"ㄱㅍ1ㄷ"), Chars(U"서울 ㄱㄴ"), Chars(U"개ㅍ"),
                            Chars(U"강남구역삼1동"), Chars(U"서울강남구"), Chars(U"ㄱㄴㄱ ㅇㅅㄷ"),
                            Chars(U"ㄱ"), Chars(U"ㄲ"), Chars(U"ㅎ ㅂ"), Chars(U"역삼1ㄷ")}) {
    const std::string cp949 = Encode(text);
    EXPECT_GT(ExpectSameAsScan(cp949), 0u) << cp949;
  }
  // The records of 개포1동 are among those of ㄱㅍ1ㄷ.
  const auto consonants = BruteForce(Encode(U"ㄱㅍ1ㄷ"));
  for (int32_t n : BruteForce(gaepo1dong))
    EXPECT_TRUE(std::binary_search(consonants.begin(), consonants.end(), n)) << n;
  // ㄱ is not ㄲ: 까치마을 is found by ㄲ치마을 only.
  EXPECT_EQ(0u, ExpectSameAsScan(Encode(U"ㄱ치마을")));
  EXPECT_GT(ExpectSameAsScan(Encode(U"ㄲ치마을")), 0u);
}

TEST_F(TypedWords, InitialConsonantWords) {
  size_t tried = 0, found = 0;
  for (int i = 0; i < 40; ++i) {
    const Chars text = Trimmed(ToInitials(AddressFragment(2 + rng_() % 4), 100));
    if (text.empty()) continue;
    ++tried;
    if (ExpectSameAsScan(Encode(text)) > 0) ++found;
  }
  EXPECT_GE(tried, 35u);
  EXPECT_EQ(found, tried);
}

TEST_F(TypedWords, MixedWords) {
  size_t tried = 0, found = 0;
  for (int i = 0; i < 40; ++i) {
    const Chars text = Trimmed(ToInitials(AddressFragment(2 + rng_() % 5), 50));
    if (text.empty()) continue;
    ++tried;
    if (ExpectSameAsScan(Encode(text)) > 0) ++found;
  }
  EXPECT_GE(tried, 35u);
  EXPECT_EQ(found, tried);
  // Two words from two records: mostly nothing, never a miss.
  for (int i = 0; i < 15; ++i) {
    const Chars a = WithoutBlanks(ToInitials(AddressFragment(2), 50));
    const Chars b = WithoutBlanks(ToInitials(AddressFragment(2), 50));
    if (!a.empty() && !b.empty()) ExpectSameAsScan(Encode(a + U" " + b));
  }
}

TEST_F(TypedWords, WordsAcrossBlanks) {
  size_t joined = 0, found = 0;
  for (int i = 0; i < 80 && joined < 40; ++i) {
    const Chars fragment = Trimmed(AddressFragment(4 + rng_() % 6));
    if (fragment.find(U' ') == Chars::npos) continue;
    ++joined;
    const Chars text = WithoutBlanks(fragment);
    if (ExpectSameAsScan(Encode(text)) > 0) ++found;
    // With a consonant word beside it, in either order.
    const Chars other = WithoutBlanks(ToInitials(AddressFragment(2), 100));
    if (!other.empty()) ExpectSameAsScan(Encode(other + U" " + text));
  }
  EXPECT_GE(joined, 30u);
  EXPECT_EQ(found, joined);  // a fragment without its blanks always finds its record
}

TEST_F(TypedWords, ShortWordsAreProvenWithoutReading) {
  // Words of one or two characters (plain, consonants, a syllable or digit
  // before a consonant) and of three ASCII characters or three consonants
  // give exactly the matches; a consonant before a syllable and longer words
  // do not claim so.
  for (const Chars& text :
       {Chars(U"역"), Chars(U"역삼"), Chars(U"ㄱㄴ"), Chars(U"ㅍ1"), Chars(U"개ㅍ"), Chars(U"1ㄷ"),
        Chars(U"서울 ㄱ"), Chars(U"02 삼성"), Chars(U"031"), Chars(U"A동 13")}) {
    ASSERT_GT(FtsSet(h_, Encode(text).c_str()), 0) << Encode(text);
    EXPECT_EQ(1, FtsProven(h_)) << Encode(text);
    ExpectSameAsScan(Encode(text));
  }
  for (const Chars& text :
       {Chars(U"ㄱ포"), Chars(U"역삼동"), Chars(U"서울 강남구"), Chars(U"135-8")}) {
    ASSERT_GT(FtsSet(h_, Encode(text).c_str()), 0) << Encode(text);
    EXPECT_EQ(0, FtsProven(h_)) << Encode(text);
  }
}
