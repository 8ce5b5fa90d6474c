// Numbers and the ranges the tables write. For random ranges in every form
// the tables use, the core holds a number exactly when the range's numbers,
// written out one by one, include it; and a number word is read as a user
// types it.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "platform/Cp949Codec.h"
#include "postal/NumberWords.h"

namespace {

using postal::NumberWord;

std::string K(const std::string& utf8) {
  return platform::Cp949FromUtf8(utf8);
}

TEST(NumberWords, AreReadAsTyped) {
  auto n = postal::ParseNumberWord(K("지하산12-3번지"));
  ASSERT_TRUE(n);
  EXPECT_TRUE(n->underground);
  EXPECT_TRUE(n->mountain);
  EXPECT_EQ(n->main, 12);
  EXPECT_EQ(n->sub, 3);
  EXPECT_FALSE(n->block);
  n = postal::ParseNumberWord(K("25동"));
  ASSERT_TRUE(n);
  EXPECT_TRUE(n->block);
  EXPECT_EQ(n->main, 25);
  n = postal::ParseNumberWord(K("b동"));
  ASSERT_TRUE(n);
  EXPECT_EQ(n->letter, 'B');
  EXPECT_EQ(postal::ParseNumberWord(K("152번"))->main, 152);
  for (const char* notNumber : {"개포1동", "177길", "3가", "12-", "-3", "1∼6", "", "동", "12-3동"})
    EXPECT_FALSE(postal::ParseNumberWord(K(notNumber))) << notNumber;
}

TEST(NumberRanges, StartOnlyAtTheStartOfAWord) {
  EXPECT_TRUE(postal::RangesIn(K("서울 강남구 개포1동 삼양로177길")).empty());
  const auto ranges = postal::RangesIn(K("테헤란로 102∼152 (짝수) 지하 12∼30 (17∼40동)"));
  ASSERT_EQ(ranges.size(), 3u);
  EXPECT_EQ(ranges[0].parity, postal::NumberRange::Parity::kEven);
  EXPECT_EQ(ranges[0].begin, K("테헤란로 ").size());
  EXPECT_EQ(ranges[0].end, K("테헤란로 102∼152 (짝수)").size()) << "the parity is part of it";
  EXPECT_TRUE(ranges[1].underground);
  EXPECT_TRUE(ranges[2].block);
  EXPECT_FALSE(postal::HasNumber(K("대구 수성구 황금2동")));
  EXPECT_TRUE(postal::HasNumber(K("대구 수성구 황금2동 946")));
  EXPECT_TRUE(postal::HasNumber(K("서울 강남구 개포1동 (1∼6동)")));
  EXPECT_TRUE(postal::RangesIn(K("500∼3")).empty()) << "an inverted range holds nothing";
}

// A range written out: every (main, sub) it holds in a small universe, and
// the mains it spans, walked one by one.
struct Expansion {
  std::set<std::pair<int, int>> pairs;
  std::set<int> mains;
};

constexpr int kMains = 40, kSubs = 6;

Expansion Walk(int loMain, int loSub, int hiMain, int hiSub) {
  Expansion e;
  int m = loMain, s = loSub;
  while (m < hiMain || (m == hiMain && s <= hiSub)) {
    e.pairs.insert({m, s});
    e.mains.insert(m);
    if (++s > kSubs) {
      ++m;
      s = 0;
    }
  }
  return e;
}

TEST(NumberRanges, HoldExactlyTheNumbersTheyWriteOut) {
  std::mt19937 random(20251028);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  for (int round = 0; round < 3000; ++round) {
    int a = pick(1, kMains), b = pick(1, kMains);
    if (a > b) std::swap(a, b);
    int s = pick(0, kSubs), t = pick(0, kSubs);
    std::string text;
    Expansion expected;
    const int form = pick(0, 6);
    bool onlyOdd = false, onlyEven = false;
    const bool mountain = pick(0, 4) == 0, underground = !mountain && pick(0, 4) == 0;
    switch (form) {
      case 0:  // 34∼105
        text = std::to_string(a) + "∼" + std::to_string(b);
        expected = Walk(a, 0, b, kSubs);
        break;
      case 1:  // 2-1∼20-3
        if (a == b && s > t) std::swap(s, t);
        text = std::to_string(a) + "-" + std::to_string(s) + "∼" + std::to_string(b) + "-" +
               std::to_string(t);
        expected = Walk(a, s, b, t);
        break;
      case 2:  // 123-(1∼5)
        if (s > t) std::swap(s, t);
        text = std::to_string(a) + "-(" + std::to_string(s) + "∼" + std::to_string(t) + ")";
        expected = Walk(a, s, a, t);
        break;
      case 3:  // 100∼120-(5)
        text = std::to_string(a) + "∼" + std::to_string(b) + "-(" + std::to_string(t) + ")";
        expected = Walk(a, 0, b, t);
        break;
      case 4:  // 12-(3) and 5-2
        text = std::to_string(a) + '-';
        text += pick(0, 1) ? '(' + std::to_string(s) + ')' : std::to_string(s);
        expected = Walk(a, s, a, s);
        break;
      case 5:  // 101∼151 (홀수), (짝수)
        onlyOdd = pick(0, 1) == 0;
        onlyEven = !onlyOdd;
        text = std::to_string(a) + "∼" + std::to_string(b) + (onlyOdd ? " (홀수)" : " (짝수)");
        expected = Walk(a, 0, b, kSubs);
        break;
      default:  // a single lot
        text = std::to_string(a);
        expected = Walk(a, 0, a, kSubs);
        break;
    }
    if (mountain) text = "산" + text;
    if (underground) text = "지하 " + text;
    SCOPED_TRACE(text);
    const auto ranges = postal::RangesIn(K("도로 " + text));
    ASSERT_EQ(ranges.size(), 1u);
    for (int m = 1; m <= kMains; ++m) {
      for (int sub = -1; sub <= kSubs; ++sub) {
        for (int flags = 0; flags < 4; ++flags) {
          NumberWord n;
          n.main = m;
          n.sub = sub;
          n.mountain = flags & 1;
          n.underground = flags & 2;
          const bool parityOk = !((onlyOdd && m % 2 == 0) || (onlyEven && m % 2 != 0));
          const bool sameKind = n.mountain == mountain && n.underground == underground;
          const bool inExpansion =
              sub < 0 ? expected.mains.count(m) > 0 : expected.pairs.count({m, sub}) > 0;
          ASSERT_EQ(postal::Holds(ranges[0], n), sameKind && parityOk && inExpansion)
              << m << "-" << sub << " flags " << flags;
        }
      }
    }
  }
}

TEST(NumberRanges, BlocksHoldOnlyBlocks) {
  const auto numbers = postal::RangesIn(K("주공아파트 (17∼40동)"));
  const auto letters = postal::RangesIn(K("하이츠 (A∼D동)"));
  ASSERT_EQ(numbers.size(), 1u);
  ASSERT_EQ(letters.size(), 1u);
  for (int m = 1; m <= 50; ++m) {
    NumberWord block;
    block.block = true;
    block.main = m;
    EXPECT_EQ(postal::Holds(numbers[0], block), m >= 17 && m <= 40) << m;
    NumberWord lot = block;
    lot.block = false;
    EXPECT_FALSE(postal::Holds(numbers[0], lot)) << "a lot is no block: " << m;
  }
  for (char c = 'A'; c <= 'F'; ++c) {
    NumberWord block;
    block.block = true;
    block.letter = c;
    EXPECT_EQ(postal::Holds(letters[0], block), c <= 'D') << c;
    EXPECT_FALSE(postal::Holds(numbers[0], block));
  }
}

}  // namespace
