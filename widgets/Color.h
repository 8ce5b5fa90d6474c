// Colour values of the LED controls: 0x00BBGGRR for RGB colours, 0xFF0000nn
// for a system colour that is looked up in the widget's palette when drawing.
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace widgets {

using TColor = std::uint32_t;

constexpr TColor RgbColor(int r, int g, int b) {
  return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}

constexpr TColor clBlack = RgbColor(0, 0, 0);
constexpr TColor clGreen = RgbColor(0, 128, 0);
constexpr TColor clLime = RgbColor(0, 255, 0);
constexpr TColor clNavy = RgbColor(0, 0, 128);
constexpr TColor clTeal = RgbColor(0, 128, 128);
constexpr TColor clWhite = RgbColor(255, 255, 255);

// System colours carry the high byte 0xFF and a colour index in the low byte.
constexpr TColor kSystemColorFlag = 0xFF000000u;
constexpr TColor clBtnFace = kSystemColorFlag | 15;
constexpr TColor clBtnShadow = kSystemColorFlag | 16;
constexpr TColor clBtnHighlight = kSystemColorFlag | 20;

constexpr bool IsSystemColor(TColor c) {
  return (c & 0xFF000000u) == kSystemColorFlag;
}

// The colour to paint with: RGB colours as they are, system colours from the
// palette (button face = Button, highlight = Light, shadow = Dark).
QColor ResolveColor(TColor color, const QPalette& palette);

}  // namespace widgets
