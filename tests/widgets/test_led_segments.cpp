// Segment geometry and character masks of an LED cell.
#include <gtest/gtest.h>

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

TEST(LedSegments, CharacterMasks) {
  EXPECT_EQ(CharSegments('0'), 0x1277);
  EXPECT_EQ(CharSegments('8'), 0x007F);
  EXPECT_EQ(CharSegments(':'), 0xA000);
  EXPECT_EQ(CharSegments('.'), 0x8000);
  EXPECT_EQ(CharSegments('1'), CharSegments('I'));
  EXPECT_EQ(CharSegments('5'), CharSegments('S'));
  EXPECT_EQ(CharSegments('6'), CharSegments('G'));
  EXPECT_EQ(CharSegments('C'), CharSegments('['));
  EXPECT_EQ(CharSegments('('), CharSegments('<'));
  EXPECT_EQ(CharSegments(')'), CharSegments('>'));
  EXPECT_EQ(CharSegments('W'), 0x1836);
  EXPECT_EQ(CharSegments('Z'), 0x0C41);
  for (char c = 'A'; c <= 'Z'; ++c) {
    EXPECT_EQ(CharSegments(c), CharSegments(c - 'A' + 'a')) << c;
    EXPECT_NE(CharSegments(c), 0) << c;
  }
  for (char c : std::string(" !#$%&,;?@^`{|}~")) EXPECT_EQ(CharSegments(c), 0) << c;
  for (int b = 128; b < 256; ++b) EXPECT_EQ(CharSegments(static_cast<unsigned char>(b)), 0) << b;
  for (int b = 0; b < 32; ++b) EXPECT_EQ(CharSegments(static_cast<unsigned char>(b)), 0) << b;
  // No character lights the top dot.
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(CharSegments(static_cast<unsigned char>(b)) & (1u << 14), 0u) << b;
}
