#include "app/Fonts.h"

namespace app {

QStringList GulimFamilies() {
  return {QStringLiteral("GulimChe"), QStringLiteral("굴림체"), QStringLiteral("Baekmuk Gulim"),
          QStringLiteral("UnDotum"), QStringLiteral("NanumGothicCoding")};
}

QFont GulimFont(int pixelSize, bool bold) {
  QFont font;
  font.setFamilies(GulimFamilies());
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

}  // namespace app
