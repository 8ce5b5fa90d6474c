// The drawing surface of the LED controls: a QPainter without antialiasing
// plus the palette that resolves system colours. Every operation is
// pixel-exact so that frames and segments land where their vertices say.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPoint>
#include <span>

#include "widgets/Color.h"
#include "widgets/Rect.h"

namespace widgets {

class TCanvas {
 public:
  TCanvas(QPainter& painter, const QPalette& palette);

  QPainter& Painter() { return painter_; }
  const QPalette& Palette() const { return palette_; }
  QColor Resolve(TColor color) const { return ResolveColor(color, palette_); }

  // Solid fill of the rectangle, no outline.
  void FillRect(const TRect& r, TColor color);
  // One-pixel outline along the rectangle's inside edge: left column, top
  // row, column Right - 1 and row Bottom - 1.
  void FrameRect(const TRect& r, TColor color);
  // One-pixel solid line through the points; the last point is not drawn.
  void Polyline(std::span<const QPoint> points, TColor color);
  // Polygon fill without an outline.
  void FillPolygon(std::span<const QPoint> points, TColor color);
  // Polygon fill with a one-pixel outline through the vertices.
  void Polygon(std::span<const QPoint> points, TColor outline, TColor fill);
  // Polygon filled with a tiled pattern image anchored at origin.
  void PatternPolygon(std::span<const QPoint> points, const QImage& pattern, QPoint origin);
  // Copies the whole image with its top-left corner at topLeft.
  void CopyImage(QPoint topLeft, const QImage& image);
  // Draws the image, leaving out every pixel of colour key.
  void DrawTransparent(QPoint topLeft, const QImage& image, TColor key);

 private:
  void Pixel(int x, int y, const QColor& color);

  QPainter& painter_;
  QPalette palette_;
};

}  // namespace widgets
