// One Elias-Fano block of a posting list on its own: what is written reads
// back, and a block changed in any way is judged by the whole-block decoder
// exactly as by the cursor that probes it a number at a time (both must
// refuse the same bytes, or a search and a check would disagree).
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "libs/ftsindex/EliasFano.h"

namespace {

struct Decoded {
  bool ok = false;
  std::vector<uint32_t> values;
};

Decoded ByCursor(const std::string& block, uint32_t first, uint32_t n, uint32_t last) {
  Decoded d;
  fts::EliasFanoCursor cursor;
  const auto* data = reinterpret_cast<const uint8_t*>(block.data());
  if (!cursor.Start(data, block.size(), first, n, last)) return d;
  d.values.push_back(first);
  for (uint32_t i = 1; i < n; ++i) {
    if (!cursor.Next()) return d;
    d.values.push_back(cursor.Value());
  }
  d.ok = cursor.EndsExactly();
  return d;
}

Decoded Whole(const std::string& block, uint32_t first, uint32_t n, uint32_t last) {
  Decoded d;
  d.values.resize(n);
  d.ok = fts::DecodeEliasFano(reinterpret_cast<const uint8_t*>(block.data()), block.size(), first,
                              n, last, d.values.data());
  return d;
}

}  // namespace

TEST(EliasFanoBlock, EveryShapeReadsBackAndEveryChangeIsJudgedAsTheCursorJudgesIt) {
  std::mt19937 random(20261211);
  int refused = 0, changes = 0;
  for (uint32_t n : {1u, 2u, 3u, 9u, 64u, 100u, 127u, 128u})
    for (uint32_t gap : {1u, 2u, 7u, 300u, 70000u, 20000000u}) {
      std::vector<uint32_t> values;
      uint32_t v = 1 + random() % 1000;
      for (uint32_t i = 0; i < n; ++i) {
        values.push_back(v);
        v += 1 + random() % gap;
      }
      const uint32_t last = values.back() + random() % 3;
      std::string block;
      fts::AppendEliasFano(values.data(), n, block);
      ASSERT_EQ(block.size(), fts::EliasFanoBytes(values.data(), n));
      const Decoded whole = Whole(block, values[0], n, last);
      ASSERT_TRUE(whole.ok) << n << " " << gap;
      EXPECT_EQ(whole.values, values) << n << " " << gap;
      if (block.empty()) continue;
      // A bit flipped anywhere, a byte cut or added, a lower limit.
      for (int t = 0; t < 300; ++t) {
        std::string changed = block;
        uint32_t limit = last;
        switch (t % 4) {
          case 0:
          case 1:
            changed[random() % changed.size()] ^= static_cast<char>(1u << (random() % 8));
            break;
          case 2:
            if (t % 8 == 2)
              changed.pop_back();
            else
              changed.push_back(static_cast<char>(random() % 256));
            break;
          default:
            limit = values[random() % n];
        }
        const Decoded expected = ByCursor(changed, values[0], n, limit);
        const Decoded got = Whole(changed, values[0], n, limit);
        ASSERT_EQ(got.ok, expected.ok) << "n " << n << " gap " << gap << " change " << t;
        if (expected.ok) {
          EXPECT_EQ(got.values, expected.values);
        }
        refused += !expected.ok;
        ++changes;
      }
    }
  // The changes were of both kinds: refused and still a valid block.
  EXPECT_GT(refused, changes / 4);
  EXPECT_LT(refused, changes);
}
