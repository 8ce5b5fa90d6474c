#pragma once
// The window's font: GulimChe where it is installed, otherwise the nearest
// Korean fixed-pitch face, ending in NanumGothicCoding (fonts-nanum-coding).
// Sizes are character heights in pixels.
#include <QFont>
#include <QStringList>

namespace app {

QStringList GulimFamilies();

// GulimChe at pixelSize pixels, with the fallback list.
QFont GulimFont(int pixelSize, bool bold = false);

// The window's default: 13 pixels.
inline QFont DefaultFont() {
  return GulimFont(13);
}

}  // namespace app
