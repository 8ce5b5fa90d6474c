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

// The grid's font: GulimChe, otherwise NanumGothic (fonts-nanum), which has
// every character of KS X 1001 that the tables use, "∼" (U+223C), the
// Roman numerals and "㈜" among them; NanumGothicCoding lacks "∼", whose
// glyph would come from a fallback face with other metrics. The rest of the
// window's list follows.
QStringList GridFamilies();
QFont GridFont(int pixelSize, bool bold = false);

}  // namespace app
