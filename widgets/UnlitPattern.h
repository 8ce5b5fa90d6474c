// The 8 x 8 checkerboard that shows unlit segments, shared by every LED of
// the process and redrawn only when asked for with a new colour pair.
#pragma once

#include <QImage>
#include <QRgb>

namespace widgets {

// Pixel (x, y) is unlit where x + y is even, background where it is odd.
const QImage& UnlitPattern(QRgb background, QRgb unlit);

// How often the shared pattern has been drawn in this process.
int UnlitPatternDrawCount();

}  // namespace widgets
