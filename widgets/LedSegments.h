// Geometry of the 16 segments of one LED cell and the character masks.
#pragma once

#include <QPoint>
#include <array>
#include <cstdint>

namespace widgets {

constexpr int kSegmentCount = 16;

// Six vertices relative to the cell's top-left corner. An empty segment
// (a stroke with no extent) draws nothing.
struct TSegmentPolygon {
  std::array<QPoint, 6> Points{};
  bool Empty = false;
};

using TSegmentPolygons = std::array<TSegmentPolygon, kSegmentCount>;

TSegmentPolygon HorizontalBar(int x, int y, int length, int thickness);
TSegmentPolygon VerticalBar(int x, int y, int length, int thickness);
TSegmentPolygon Stroke(int x, int y, int dx, int dy, int thickness);
TSegmentPolygon Dot(int x, int y, int thickness);

// The 16 segments in index order for Horzsize, Thickness and Vertsize.
TSegmentPolygons BuildSegments(int horzsize, int thickness, int vertsize);

// Bit k lights segment k; 0 is a blank cell.
std::uint16_t CharSegments(unsigned char b);

}  // namespace widgets
