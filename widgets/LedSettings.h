// Appearance of LED digits and their drawing: cell size, segment polygons,
// the pre-drawn unlit cell, lit segments and blinking.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QPalette>
#include <cstdint>

#include "widgets/Canvas.h"
#include "widgets/Color.h"
#include "widgets/LedSegments.h"
#include "widgets/NotifyObject.h"
#include "widgets/Rect.h"

namespace widgets {

class TLedSettings : public TNotifyObject {
 public:
  TLedSettings() = default;

  TColor BackgroundColor() const { return backgroundColor_; }
  TColor InActiveColor() const { return inActiveColor_; }
  TColor ActiveColor() const { return activeColor_; }
  std::uint8_t Horzsize() const { return horzsize_; }
  std::uint8_t Thickness() const { return thickness_; }
  std::uint8_t Vertsize() const { return vertsize_; }
  bool Blinking() const { return blink_; }
  bool BlinkPhase() const { return blinkPhase_; }
  bool DisabledDigits() const { return disabledDigits_; }
  // Lines and widest line, in cells, of the last text drawn or measured.
  int LineCount() const { return lineCount_; }
  int ColumnCount() const { return columnCount_; }
  const TSegmentPolygons& Segments() const { return segments_; }
  const QImage& CellImage() const { return cellImage_; }
  const QByteArray& LastText() const { return lastText_; }

  // A different value is stored, the cell image rebuilt, the owner notified.
  void SetBackgroundColor(TColor c);
  void SetInActiveColor(TColor c);
  void SetActiveColor(TColor c);
  void SetHorzsize(std::uint8_t v);
  void SetThickness(std::uint8_t v);
  void SetVertsize(std::uint8_t v);
  void SetDisabledDigits(bool v);

  // The palette that resolves system colours; a new one redraws the cell
  // image on its next use. No notification: it is not a setting.
  void SetPalette(const QPalette& palette);

  int DigitCellWidth() const { return horzsize_ + 5 * thickness_; }
  int DigitCellHeight() const { return 2 * vertsize_ + 7 * thickness_; }

  // Recomputes the segment polygons and redraws the unlit cell image.
  void BuildCellImage();

  // Draws text (bytes) from rect's top-left corner, one cell per byte of 32
  // or more, a new line at each carriage return; with draw false (or no
  // canvas) it only counts lines and columns.
  void DrawDigits(TCanvas* canvas, const TRect& rect, QByteArrayView text, bool enabled, bool draw);
  // The size text needs inside a frame of width extent (one pixel wider).
  TRect MeasureDigits(QByteArrayView text, int extent);

  virtual void BlinkOn();
  virtual void BlinkOff();

  // Copies sizes, colours (not the background) and DisabledDigits.
  void CopySettingsFrom(const TLedSettings& other);

 private:
  // A colour or a size: a different value is stored, the cell image rebuilt
  // and the owner notified.
  template <typename T>
  void SetAppearance(T& field, T value);

  TColor backgroundColor_ = clBlack;
  TColor inActiveColor_ = clGreen;
  TColor activeColor_ = clLime;
  std::uint8_t horzsize_ = 9;
  std::uint8_t thickness_ = 2;
  std::uint8_t vertsize_ = 7;
  bool blink_ = false;
  bool blinkPhase_ = false;
  bool disabledDigits_ = true;
  int lineCount_ = 0;
  int columnCount_ = 0;
  TSegmentPolygons segments_{};
  QImage cellImage_;
  QByteArray lastText_;
  QPalette palette_;
};

}  // namespace widgets
