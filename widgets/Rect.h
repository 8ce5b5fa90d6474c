// A rectangle with exclusive right and bottom edges, as the frame and digit
// drawing computes them.
#pragma once

#include <QRect>

namespace widgets {

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr TRect Shrunk(int n) const { return {Left + n, Top + n, Right - n, Bottom - n}; }
  QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }
  static TRect FromQRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  }
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

}  // namespace widgets
