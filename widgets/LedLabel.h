// The LED label: a short text or a number shown as LED-style digit cells
// inside a bevel frame.
#pragma once

#include <QString>
#include <cstdint>

#include "widgets/BaseControls.h"
#include "widgets/LedSettings.h"

namespace widgets {

enum TLedStyle : std::uint8_t { lsString, lsInteger };

class TLedCustomLabel : public TFramedGraphicControl {
 public:
  explicit TLedCustomLabel(QWidget* parent = nullptr);
  ~TLedCustomLabel() override;

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  // Width of the integer display; 0 is refused.
  int Digits() const { return digits_; }
  void SetDigits(std::uint8_t digits);
  TLedSettings& LED() { return led_; }
  const TLedSettings& LED() const { return led_; }
  // Copies the other LED's settings; ends in AppearanceChanged.
  void SetLED(const TLedSettings& other) { led_.CopySettingsFrom(other); }
  TLedStyle Style() const { return style_; }
  void SetStyle(TLedStyle style);
  // Background of the digit area; also the LED's background colour.
  TColor Color() const { return color_; }
  void SetColor(TColor color);

  // Resizes under AutoSize, then repaints unless held in an update.
  void AppearanceChanged() override;
  // FormatValue(Value) in integer style, else Caption.
  QString DisplayText() const override;
  // Takes the size that DisplayText needs inside the frame.
  void FitToText();
  // n right-aligned in Digits places with leading zeros; Digits "-" when
  // it does not fit.
  QString FormatValue(std::int32_t n) const;

 protected:
  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  std::int32_t Value() const { return value_; }
  void SetValue(std::int32_t value);

  void PaintLabel(TCanvas& canvas) override;
  void AfterLoading() override;
  void changeEvent(QEvent* event) override;

 private:
  bool autoSize_ = false;
  std::uint8_t digits_ = 2;
  TLedSettings led_;
  std::int32_t value_ = 0;
  TLedStyle style_ = lsString;
  TColor color_ = clBlack;
  QString caption_;
};

class TLedLabel : public TLedCustomLabel {
 public:
  using TLedCustomLabel::Caption;
  using TLedCustomLabel::SetCaption;
  using TLedCustomLabel::SetValue;
  using TLedCustomLabel::TLedCustomLabel;
  using TLedCustomLabel::Value;
};

}  // namespace widgets
