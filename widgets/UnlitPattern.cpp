#include "widgets/UnlitPattern.h"

namespace widgets {
namespace {
struct SharedPattern {
  QImage image;
  QRgb background = 0;
  QRgb unlit = 0;
  int drawCount = 0;
};

SharedPattern& Shared() {
  static SharedPattern pattern;
  return pattern;
}
}  // namespace

const QImage& UnlitPattern(QRgb background, QRgb unlit) {
  SharedPattern& p = Shared();
  if (p.image.isNull() || p.background != background || p.unlit != unlit) {
    p.image = QImage(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) p.image.setPixel(x, y, (x + y) % 2 == 0 ? unlit : background);
    }
    p.background = background;
    p.unlit = unlit;
    ++p.drawCount;
  }
  return p.image;
}

int UnlitPatternDrawCount() {
  return Shared().drawCount;
}

}  // namespace widgets
