#include "widgets/LedSegments.h"

#include <cmath>

namespace widgets {
namespace {
// Rounding with halves to the even neighbour.
int RoundEven(double v) {
  return int(std::nearbyint(v));
}

int Sign(int v) {
  return (v > 0) - (v < 0);
}

constexpr std::array<std::uint16_t, 256> MakeCharTable() {
  std::array<std::uint16_t, 256> m{};
  auto both = [&m](char upper, std::uint16_t mask) {
    m[static_cast<unsigned char>(upper)] = mask;
    m[static_cast<unsigned char>(upper - 'A' + 'a')] = mask;
  };
  m['0'] = 0x1277;
  m['1'] = 0x0180;
  m['2'] = 0x005D;
  m['3'] = 0x006D;
  m['4'] = 0x002E;
  m['5'] = 0x006B;
  m['6'] = 0x007B;
  m['7'] = 0x0025;
  m['8'] = 0x007F;
  m['9'] = 0x006F;
  both('A', 0x003F);
  both('B', 0x01ED);
  both('C', 0x0053);
  both('D', 0x01E5);
  both('E', 0x005B);
  both('F', 0x001B);
  both('G', 0x007B);
  both('H', 0x003E);
  both('I', 0x0180);
  both('J', 0x0074);
  both('K', 0x141A);
  both('L', 0x0052);
  both('M', 0x0636);
  both('N', 0x1236);
  both('O', 0x0077);
  both('P', 0x001F);
  both('Q', 0x1077);
  both('R', 0x101F);
  both('S', 0x006B);
  both('T', 0x0181);
  both('U', 0x0076);
  both('V', 0x0C12);
  both('W', 0x1836);
  both('X', 0x1E00);
  both('Y', 0x0700);
  both('Z', 0x0C41);
  m['"'] = 0x0082;
  m['\''] = 0x0080;
  m['('] = 0x1400;
  m['<'] = 0x1400;
  m[')'] = 0x0A00;
  m['>'] = 0x0A00;
  m['*'] = 0x1F80;
  m['+'] = 0x0188;
  m['-'] = 0x0008;
  m['.'] = 0x8000;
  m['/'] = 0x0C00;
  m[':'] = 0xA000;
  m['='] = 0x0048;
  m['['] = 0x0053;
  m['\\'] = 0x1200;
  m[']'] = 0x0065;
  m['_'] = 0x0040;
  return m;
}

constexpr std::array<std::uint16_t, 256> kCharSegments = MakeCharTable();
}  // namespace

TSegmentPolygon HorizontalBar(int x, int y, int length, int thickness) {
  const int h = thickness / 2;
  return {{QPoint(x, y + h), QPoint(x + h, y), QPoint(x + h + length, y),
           QPoint(x + length + 2 * h, y + h), QPoint(x + h + length, y + 2 * h),
           QPoint(x + h, y + 2 * h)},
          false};
}

TSegmentPolygon VerticalBar(int x, int y, int length, int thickness) {
  const int h = thickness / 2;
  return {{QPoint(x + h, y), QPoint(x + 2 * h, y + h), QPoint(x + 2 * h, y + h + length),
           QPoint(x + h, y + 2 * h + length), QPoint(x, y + h + length), QPoint(x, y + h)},
          false};
}

TSegmentPolygon Stroke(int x, int y, int dx, int dy, int thickness) {
  TSegmentPolygon p;
  if (dx == 0 || dy == 0) {
    p.Points.fill(QPoint(x, y));
    p.Empty = true;
    return p;
  }
  const int ex = RoundEven(Sign(dx) * thickness / 2.0);
  const int ey = RoundEven(Sign(dy) * thickness / 2.0);
  p.Points = {QPoint(x, y),           QPoint(x + ex, y),           QPoint(x + dx, y + dy - ey),
              QPoint(x + dx, y + dy), QPoint(x + dx - ex, y + dy), QPoint(x, y + ey)};
  return p;
}

TSegmentPolygon Dot(int x, int y, int thickness) {
  const int t = thickness;
  const QPoint last(x, y - 1);
  return {{QPoint(x + t, y - 1), QPoint(x + t, y + t - 1), QPoint(x, y + t - 1), last, last, last},
          false};
}

TSegmentPolygons BuildSegments(int horzsize, int thickness, int vertsize) {
  const int t = thickness, H = horzsize, V = vertsize;
  const int h = t / 2;
  const int c = (4 * t + H) / 2;
  const int r = RoundEven(1.5 * t);
  return {HorizontalBar(2 * t, t, H, t),
          VerticalBar(t, 2 * t, V, t),
          VerticalBar(3 * t + H, 2 * t, V, t),
          HorizontalBar(2 * t, 3 * t + V, H, t),
          VerticalBar(t, 4 * t + V, V, t),
          VerticalBar(3 * t + H, 4 * t + V, V, t),
          HorizontalBar(2 * t, 5 * t + 2 * V, H, t),
          VerticalBar(c, 2 * t, V, t),
          VerticalBar(c, 4 * t + V, V, t),
          Stroke(c - h, 2 * t + V, t - H / 2, t - V, t),
          Stroke(c + r, 2 * t + V, H / 2 - t, t - V, t),
          Stroke(c - h, 5 * t + V, t - H / 2, V - t, t),
          Stroke(c + r, 5 * t + V, H / 2 - t, V - t, t),
          Dot(c - 1, 3 * t + V, t),
          Dot(c - 1, t, t),
          Dot(c - 1, 5 * t + 2 * V, t)};
}

std::uint16_t CharSegments(unsigned char b) {
  return kCharSegments[b];
}

}  // namespace widgets
