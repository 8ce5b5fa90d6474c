#include "widgets/Color.h"

namespace widgets {

QColor ResolveColor(TColor color, const QPalette& palette) {
  if (!IsSystemColor(color)) {
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
  }
  switch (color & 0xFF) {
    case 5:  // window background
      return palette.color(QPalette::Base);
    case 8:  // window text
      return palette.color(QPalette::Text);
    case 13:  // selection
      return palette.color(QPalette::Highlight);
    case 14:
      return palette.color(QPalette::HighlightedText);
    case 16:  // button shadow
      return palette.color(QPalette::Dark);
    case 18:  // button text
      return palette.color(QPalette::ButtonText);
    case 20:  // button highlight
      return palette.color(QPalette::Light);
    case 21:  // dark 3-D shadow
      return palette.color(QPalette::Shadow);
    case 22:  // light 3-D edge
      return palette.color(QPalette::Midlight);
    case 15:  // button face
    default:
      return palette.color(QPalette::Button);
  }
}

}  // namespace widgets
