#include "app/Fonts.h"

namespace app {
namespace {

QFont FontOf(const QStringList& families, int pixelSize, bool bold) {
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

}  // namespace

QStringList GulimFamilies() {
  return {QStringLiteral("GulimChe"), QStringLiteral("굴림체"), QStringLiteral("Baekmuk Gulim"),
          QStringLiteral("UnDotum"), QStringLiteral("NanumGothicCoding")};
}

QFont GulimFont(int pixelSize, bool bold) {
  return FontOf(GulimFamilies(), pixelSize, bold);
}

QStringList GridFamilies() {
  QStringList families = GulimFamilies();
  families.insert(2, QStringLiteral("NanumGothic"));
  return families;
}

QFont GridFont(int pixelSize, bool bold) {
  return FontOf(GridFamilies(), pixelSize, bold);
}

}  // namespace app
