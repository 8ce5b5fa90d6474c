// No false negatives on the national table: for many search texts the
// confirmed candidates equal a brute-force scan with an independent matcher.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>

#include "FtsTestSupport.h"
#include "ZipcodeRecords.h"

using ftstest::Candidates;
using ftstest::TempDir;

namespace {

// The reference: records and words as sequences of character codes (ASCII
// folded), compared with std::search; written apart from the library's byte
// scanning on purpose.
using Chars = std::vector<uint16_t>;

Chars ToChars(const std::string& s) {
  Chars out;
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<uint8_t>(s[i]);
    const bool lead = b >= 0x81 && b <= 0xFE;
    const auto t = i + 1 < s.size() ? static_cast<uint8_t>(s[i + 1]) : 0;
    const bool trail =
        (t >= 0x41 && t <= 0x5A) || (t >= 0x61 && t <= 0x7A) || (t >= 0x81 && t <= 0xFE);
    if (lead && trail) {
      out.push_back(static_cast<uint16_t>(b << 8 | t));
      i += 2;
    } else {
      out.push_back(b >= 'A' && b <= 'Z' ? b + 32 : b);
      i += 1;
    }
  }
  return out;
}

std::vector<Chars> Words(const std::string& text) {
  std::vector<Chars> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    size_t j = i;
    while (j < text.size() && text[j] != ' ') ++j;
    if (j > i) words.push_back(ToChars(text.substr(i, j - i)));
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
    for (const auto& r : *records_) chars_->push_back(ToChars(r));
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
        if (std::search(rec.begin(), rec.end(), w.begin(), w.end()) == rec.end()) {
          all = false;
          break;
        }
      if (all) out.push_back(static_cast<int32_t>(i + 1));
    }
    return out;
  }

  // Runs the search as the application does and compares it with the scan.
  static void ExpectSameAsScan(const std::string& text) {
    const std::vector<int32_t> expected = BruteForce(text);
    const int32_t r = FtsSet(h_, text.c_str());
    if (r == FTS_ERR_NO_KEY || r == 0) {
      EXPECT_TRUE(expected.empty()) << text << ": " << expected.size() << " missed, FtsSet " << r;
      return;
    }
    ASSERT_GT(r, 0) << text;
    const std::vector<int32_t> cands = Candidates(h_);
    ASSERT_EQ(static_cast<size_t>(r), cands.size()) << text;
    ASSERT_TRUE(std::is_sorted(cands.begin(), cands.end()));
    ASSERT_TRUE(std::adjacent_find(cands.begin(), cands.end()) == cands.end());
    std::vector<int32_t> matched;
    for (int32_t c : cands) {
      ASSERT_GE(c, 1);
      ASSERT_LE(c, static_cast<int32_t>(records_->size()));
      if (FtsVerify(h_, (*records_)[c - 1].c_str(), text.c_str(), 3) == 1) matched.push_back(c);
    }
    EXPECT_EQ(expected, matched) << text;
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
