// Segment geometry and character masks of an LED cell.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "widgets/LedSegments.h"

using namespace widgets;

namespace {
std::vector<QPoint> Points(const TSegmentPolygon& p, size_t n = 6) {
  return std::vector<QPoint>(p.Points.begin(), p.Points.begin() + n);
}
}  // namespace

TEST(LedSegments, WorkedExamplePolygons) {
  const TSegmentPolygons s = BuildSegments(12, 3, 10);
  EXPECT_EQ(Points(s[0]), (std::vector<QPoint>{{6, 4}, {7, 3}, {19, 3}, {20, 4}, {19, 5}, {7, 5}}));
  EXPECT_EQ(Points(s[1]), (std::vector<QPoint>{{4, 6}, {5, 7}, {5, 17}, {4, 18}, {3, 17}, {3, 7}}));
  EXPECT_EQ(Points(s[9]),
            (std::vector<QPoint>{{11, 16}, {9, 16}, {8, 11}, {8, 9}, {10, 9}, {11, 14}}));
  EXPECT_EQ(Points(s[12]),
            (std::vector<QPoint>{{16, 25}, {18, 25}, {19, 30}, {19, 32}, {17, 32}, {16, 27}}));
  EXPECT_EQ(Points(s[15]),
            (std::vector<QPoint>{{14, 34}, {14, 37}, {11, 37}, {11, 34}, {11, 34}, {11, 34}}));
  for (const TSegmentPolygon& p : s) EXPECT_FALSE(p.Empty);
}

TEST(LedSegments, AnchorsOfTheOtherSegments) {
  // t = 3, H = 12, V = 10: h = 1, c = 12, r = 4.
  const TSegmentPolygons s = BuildSegments(12, 3, 10);
  EXPECT_EQ(s[2].Points[0], QPoint(3 * 3 + 12 + 1, 6));  // vertical bar at (21, 6)
  EXPECT_EQ(s[3].Points[1], QPoint(7, 19));              // horizontal bar at (6, 19)
  EXPECT_EQ(s[4].Points[0], QPoint(4, 22));              // vertical bar at (3, 22)
  EXPECT_EQ(s[5].Points[0], QPoint(22, 22));
  EXPECT_EQ(s[6].Points[1], QPoint(7, 35));
  EXPECT_EQ(s[7].Points[0], QPoint(13, 6));
  EXPECT_EQ(s[8].Points[0], QPoint(13, 22));
  EXPECT_EQ(s[10].Points[0], QPoint(16, 16));
  EXPECT_EQ(s[11].Points[0], QPoint(11, 25));
  EXPECT_EQ(s[13].Points[0], QPoint(14, 18));  // dot at (11, 19)
  EXPECT_EQ(s[14].Points[0], QPoint(14, 2));   // dot at (11, 3)
}

TEST(LedSegments, StrokeOffsetRoundsHalvesToEven) {
  // r = round(1.5 t): t = 1 -> 2, 2 -> 3, 3 -> 4, 5 -> 8; segment 10 starts at c + r.
  for (auto [t, r] : {std::pair{1, 2}, {2, 3}, {3, 4}, {5, 8}}) {
    const int H = 30, V = 30;
    const int c = (4 * t + H) / 2;
    EXPECT_EQ(BuildSegments(H, t, V)[10].Points[0].x(), c + r) << t;
  }
  // ex = round(t / 2): t = 1 -> 0 (half to even), t = 3 -> 2, t = 5 -> 2.
  EXPECT_EQ(Stroke(0, 0, 5, 5, 1).Points[1], QPoint(0, 0));
  EXPECT_EQ(Stroke(0, 0, 5, 5, 3).Points[1], QPoint(2, 0));
  EXPECT_EQ(Stroke(0, 0, 5, 5, 5).Points[1], QPoint(2, 0));
  EXPECT_EQ(Stroke(0, 0, -5, 5, 3).Points[1], QPoint(-2, 0));
}

TEST(LedSegments, StrokesWithoutExtentAreEmpty) {
  // t = 3, H = 6: dx = t - H div 2 = 0.
  const TSegmentPolygons s = BuildSegments(6, 3, 10);
  for (int k = 9; k <= 12; ++k) EXPECT_TRUE(s[k].Empty) << k;
  for (int k = 0; k <= 8; ++k) EXPECT_FALSE(s[k].Empty) << k;
  EXPECT_TRUE(Stroke(4, 4, 3, 0, 2).Empty);
}

// The whole character table: every byte of 0 to 255 against the lit
// segments the table lists, each row's mask written out as well.
TEST(LedSegments, CharacterMasks) {
  struct Row {
    const char* characters;
    std::uint16_t mask;
    std::vector<int> lit;
  };
  const std::vector<Row> table{
      {"0", 0x1277, {0, 1, 2, 4, 5, 6, 9, 12}},
      {"1I", 0x0180, {7, 8}},
      {"2", 0x005D, {0, 2, 3, 4, 6}},
      {"3", 0x006D, {0, 2, 3, 5, 6}},
      {"4", 0x002E, {1, 2, 3, 5}},
      {"5S", 0x006B, {0, 1, 3, 5, 6}},
      {"6G", 0x007B, {0, 1, 3, 4, 5, 6}},
      {"7", 0x0025, {0, 2, 5}},
      {"8", 0x007F, {0, 1, 2, 3, 4, 5, 6}},
      {"9", 0x006F, {0, 1, 2, 3, 5, 6}},
      {"A", 0x003F, {0, 1, 2, 3, 4, 5}},
      {"B", 0x01ED, {0, 2, 3, 5, 6, 7, 8}},
      {"C[", 0x0053, {0, 1, 4, 6}},
      {"D", 0x01E5, {0, 2, 5, 6, 7, 8}},
      {"E", 0x005B, {0, 1, 3, 4, 6}},
      {"F", 0x001B, {0, 1, 3, 4}},
      {"H", 0x003E, {1, 2, 3, 4, 5}},
      {"J", 0x0074, {2, 4, 5, 6}},
      {"K", 0x141A, {1, 3, 4, 10, 12}},
      {"L", 0x0052, {1, 4, 6}},
      {"M", 0x0636, {1, 2, 4, 5, 9, 10}},
      {"N", 0x1236, {1, 2, 4, 5, 9, 12}},
      {"O", 0x0077, {0, 1, 2, 4, 5, 6}},
      {"P", 0x001F, {0, 1, 2, 3, 4}},
      {"Q", 0x1077, {0, 1, 2, 4, 5, 6, 12}},
      {"R", 0x101F, {0, 1, 2, 3, 4, 12}},
      {"T", 0x0181, {0, 7, 8}},
      {"U", 0x0076, {1, 2, 4, 5, 6}},
      {"V", 0x0C12, {1, 4, 10, 11}},
      {"W", 0x1836, {1, 2, 4, 5, 11, 12}},
      {"X", 0x1E00, {9, 10, 11, 12}},
      {"Y", 0x0700, {8, 9, 10}},
      {"Z", 0x0C41, {0, 6, 10, 11}},
      {"\"", 0x0082, {1, 7}},
      {"'", 0x0080, {7}},
      {"(<", 0x1400, {10, 12}},
      {")>", 0x0A00, {9, 11}},
      {"*", 0x1F80, {7, 8, 9, 10, 11, 12}},
      {"+", 0x0188, {3, 7, 8}},
      {"-", 0x0008, {3}},
      {".", 0x8000, {15}},
      {"/", 0x0C00, {10, 11}},
      {":", 0xA000, {13, 15}},
      {"=", 0x0048, {3, 6}},
      {"\\", 0x1200, {9, 12}},
      {"]", 0x0065, {0, 2, 5, 6}},
      {"_", 0x0040, {6}},
  };
  std::array<std::uint16_t, 256> expected{};  // every other byte: a blank cell
  for (const Row& row : table) {
    std::uint16_t fromLit = 0;
    for (int k : row.lit) fromLit |= static_cast<std::uint16_t>(1u << k);
    ASSERT_EQ(fromLit, row.mask) << row.characters;
    for (const char* c = row.characters; *c; ++c) {
      const auto b = static_cast<unsigned char>(*c);
      expected[b] = row.mask;
      if (b >= 'A' && b <= 'Z') expected[b - 'A' + 'a'] = row.mask;  // either case
    }
  }
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(CharSegments(static_cast<unsigned char>(b)), expected[static_cast<size_t>(b)])
        << "byte " << b;
}
