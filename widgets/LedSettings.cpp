#include "widgets/LedSettings.h"

#include <QPainter>
#include <algorithm>

#include "widgets/UnlitPattern.h"

namespace widgets {

template <typename T>
void TLedSettings::SetAppearance(T& field, T value) {
  if (field == value) return;
  field = value;
  BuildCellImage();
  NotifyChange();
}

void TLedSettings::SetBackgroundColor(TColor c) {
  SetAppearance(backgroundColor_, c);
}
void TLedSettings::SetInActiveColor(TColor c) {
  SetAppearance(inActiveColor_, c);
}
void TLedSettings::SetActiveColor(TColor c) {
  SetAppearance(activeColor_, c);
}
void TLedSettings::SetHorzsize(std::uint8_t v) {
  SetAppearance(horzsize_, v);
}
void TLedSettings::SetThickness(std::uint8_t v) {
  SetAppearance(thickness_, v);
}
void TLedSettings::SetVertsize(std::uint8_t v) {
  SetAppearance(vertsize_, v);
}

void TLedSettings::SetDisabledDigits(bool v) {
  if (disabledDigits_ == v) return;
  disabledDigits_ = v;
  NotifyChange();
}

void TLedSettings::SetPalette(const QPalette& palette) {
  if (palette == palette_) return;
  palette_ = palette;
  cellImage_ = QImage();
}

void TLedSettings::BuildCellImage() {
  segments_ = BuildSegments(horzsize_, thickness_, vertsize_);
  const int w = DigitCellWidth(), h = DigitCellHeight();
  if (w <= 0 || h <= 0) {
    cellImage_ = QImage();
    return;
  }
  const QColor background = ResolveColor(backgroundColor_, palette_);
  cellImage_ = QImage(w, h, QImage::Format_RGB32);
  cellImage_.fill(background);
  const QImage& pattern =
      UnlitPattern(background.rgb(), ResolveColor(inActiveColor_, palette_).rgb());
  QPainter painter(&cellImage_);
  TCanvas canvas(painter, palette_);
  for (const TSegmentPolygon& s : segments_) {
    if (!s.Empty) canvas.PatternPolygon(s.Points, pattern, QPoint(0, 0));
  }
}

void TLedSettings::DrawDigits(TCanvas* canvas, const TRect& rect, QByteArrayView text, bool enabled,
                              bool draw) {
  draw = draw && canvas != nullptr;
  lineCount_ = 1;
  columnCount_ = 1;
  int column = 0;
  lastText_ = text.toByteArray();
  const bool big = vertsize_ > 3 && horzsize_ > 3;
  const bool lit = !disabledDigits_ || enabled;
  const int w = DigitCellWidth(), hc = DigitCellHeight();
  int y = rect.Top;
  for (const char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    if (b == 13) {
      ++lineCount_;
      y = (lineCount_ - 1) * hc + rect.Top;
      column = 0;
      continue;
    }
    if (b < 32) continue;
    if (draw) {
      if (cellImage_.isNull()) BuildCellImage();
      const int x = column * w + rect.Left;
      if (!cellImage_.isNull()) canvas->CopyImage(QPoint(x, y), cellImage_);
      if (lit) {
        const std::uint16_t mask = (blink_ && !blinkPhase_) ? 0 : CharSegments(b);
        for (int k = 0; k < kSegmentCount; ++k) {
          if (!(big || k < 7) || !(mask & (1u << k)) || segments_[k].Empty) continue;
          std::array<QPoint, 6> moved = segments_[k].Points;
          for (QPoint& p : moved) p += QPoint(x, y);
          canvas->Polygon(moved, activeColor_, activeColor_);
        }
      }
    }
    ++column;
    columnCount_ = std::max(columnCount_, column);
  }
  if (blink_) blinkPhase_ = !blinkPhase_;
}

TRect TLedSettings::MeasureDigits(QByteArrayView text, int extent) {
  DrawDigits(nullptr, TRect{}, text, false, false);
  return {0, 0, DigitCellWidth() * columnCount_ + 2 * extent + 1,
          DigitCellHeight() * lineCount_ + 2 * extent};
}

void TLedSettings::BlinkOn() {
  blink_ = true;
}

void TLedSettings::BlinkOff() {
  blink_ = false;
  NotifyChange();
}

void TLedSettings::CopySettingsFrom(const TLedSettings& other) {
  horzsize_ = other.horzsize_;
  vertsize_ = other.vertsize_;
  thickness_ = other.thickness_;
  disabledDigits_ = other.disabledDigits_;
  activeColor_ = other.activeColor_;
  inActiveColor_ = other.inActiveColor_;
  BuildCellImage();
  NotifyChange();
}

}  // namespace widgets
