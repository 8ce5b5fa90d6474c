#include "widgets/Canvas.h"

#include <QPolygon>
#include <cstdlib>

namespace widgets {
namespace {
QPolygon ToPolygon(std::span<const QPoint> points) {
  QPolygon polygon;
  polygon.reserve(qsizetype(points.size()));
  for (const QPoint& p : points) polygon.append(p);
  return polygon;
}
}  // namespace

TCanvas::TCanvas(QPainter& painter, const QPalette& palette)
    : painter_(painter), palette_(palette) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
}

void TCanvas::FillRect(const TRect& r, TColor color) {
  if (r.IsEmpty()) return;
  painter_.fillRect(r.ToQRect(), Resolve(color));
}

void TCanvas::FrameRect(const TRect& r, TColor color) {
  if (r.IsEmpty()) return;
  const QColor c = Resolve(color);
  painter_.fillRect(QRect(r.Left, r.Top, r.Width(), 1), c);
  painter_.fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), c);
  painter_.fillRect(QRect(r.Left, r.Top, 1, r.Height()), c);
  painter_.fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), c);
}

void TCanvas::Pixel(int x, int y, const QColor& color) {
  painter_.fillRect(x, y, 1, 1, color);
}

void TCanvas::Polyline(std::span<const QPoint> points, TColor color) {
  const QColor c = Resolve(color);
  // Bresenham from each point up to, but not including, the next one.
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    int x = points[i].x(), y = points[i].y();
    const int x1 = points[i + 1].x(), y1 = points[i + 1].y();
    const int dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
    const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
    int err = dx + dy;
    while (x != x1 || y != y1) {
      Pixel(x, y, c);
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y += sy;
      }
    }
  }
}

void TCanvas::FillPolygon(std::span<const QPoint> points, TColor color) {
  painter_.save();
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(Resolve(color));
  painter_.drawPolygon(ToPolygon(points), Qt::OddEvenFill);
  painter_.restore();
}

void TCanvas::Polygon(std::span<const QPoint> points, TColor outline, TColor fill) {
  painter_.save();
  QPen pen(Resolve(outline));
  pen.setWidth(1);
  pen.setStyle(Qt::SolidLine);
  painter_.setPen(pen);
  painter_.setBrush(Resolve(fill));
  painter_.drawPolygon(ToPolygon(points), Qt::OddEvenFill);
  painter_.restore();
}

void TCanvas::PatternPolygon(std::span<const QPoint> points, const QImage& pattern, QPoint origin) {
  painter_.save();
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(QBrush(pattern));
  painter_.setBrushOrigin(origin);
  painter_.drawPolygon(ToPolygon(points), Qt::OddEvenFill);
  painter_.restore();
}

void TCanvas::CopyImage(QPoint topLeft, const QImage& image) {
  painter_.save();
  painter_.setCompositionMode(QPainter::CompositionMode_Source);
  painter_.drawImage(topLeft, image);
  painter_.restore();
}

void TCanvas::DrawTransparent(QPoint topLeft, const QImage& image, TColor key) {
  QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb keyRgb = Resolve(key).rgb();
  for (int y = 0; y < keyed.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
    for (int x = 0; x < keyed.width(); ++x) {
      if ((line[x] | 0xFF000000u) == keyRgb) line[x] = 0;
    }
  }
  painter_.save();
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.drawImage(topLeft, keyed);
  painter_.restore();
}

}  // namespace widgets
