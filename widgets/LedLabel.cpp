#include "widgets/LedLabel.h"

#include <QEvent>
#include <QImage>
#include <QPainter>

#include "widgets/LedText.h"

namespace widgets {

TLedCustomLabel::TLedCustomLabel(QWidget* parent) : TFramedGraphicControl(parent) {
  resize(30, 30);
  led_.SetPalette(palette());
  led_.OnChange = [this](TNotifyObject&) { AppearanceChanged(); };
}

TLedCustomLabel::~TLedCustomLabel() {
  led_.OnChange = nullptr;
}

void TLedCustomLabel::SetAutoSize(bool autoSize) {
  if (autoSize == autoSize_) return;
  autoSize_ = autoSize;
  AppearanceChanged();
}

void TLedCustomLabel::SetDigits(std::uint8_t digits) {
  if (digits == 0 || digits == digits_) return;
  digits_ = digits;
  AppearanceChanged();
}

void TLedCustomLabel::SetStyle(TLedStyle style) {
  if (style == style_) return;
  style_ = style;
  AppearanceChanged();
}

void TLedCustomLabel::SetColor(TColor color) {
  if (color != color_) {
    color_ = color;
    update();
  }
  led_.SetBackgroundColor(color);
}

void TLedCustomLabel::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  AppearanceChanged();
}

void TLedCustomLabel::SetValue(std::int32_t value) {
  if (value == value_) return;
  value_ = value;
  if (style_ == lsInteger) PaintNow();
}

void TLedCustomLabel::AppearanceChanged() {
  if (autoSize_) FitToText();
  RepaintNow();
}

QString TLedCustomLabel::DisplayText() const {
  return style_ == lsInteger ? FormatValue(value_) : caption_;
}

void TLedCustomLabel::FitToText() {
  const TRect r = led_.MeasureDigits(LedTextBytes(DisplayText()), Bevel().Extent());
  resize(r.Right, r.Bottom);
}

QString TLedCustomLabel::FormatValue(std::int32_t n) const {
  const QString s = QString::number(n);
  if (s.size() > digits_) return QString(digits_, QLatin1Char('-'));
  return QString(digits_ - s.size(), QLatin1Char('0')) + s;
}

void TLedCustomLabel::AfterLoading() {
  if (autoSize_) FitToText();
  update();
}

void TLedCustomLabel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange) {
    led_.SetPalette(palette());
    update();
  }
  TFramedGraphicControl::changeEvent(event);
}

void TLedCustomLabel::PaintLabel(TCanvas& canvas) {
  if (IsLoading()) return;
  const QByteArray text = LedTextBytes(DisplayText());
  const TRect inner = Bevel().DrawBevel(canvas, TRect{0, 0, width(), height()}, Transparent());
  if (inner.IsEmpty()) return;

  QImage image(inner.Width(), inner.Height(), QImage::Format_RGB32);
  image.fill(canvas.Resolve(color_));
  // Keep the LED's background equal to Color without a nested repaint.
  led_.SetPalette(canvas.Palette());
  const bool held = led_.IsUpdating();
  if (!held) led_.BeginUpdate();
  led_.SetBackgroundColor(color_);
  if (!held) led_.EndUpdate(false);
  {
    QPainter painter(&image);
    TCanvas digits(painter, canvas.Palette());
    led_.DrawDigits(&digits, TRect{0, 0, inner.Width(), inner.Height()}, text, isEnabled(), true);
  }
  const QPoint topLeft(inner.Left, inner.Top);
  if (Transparent()) {
    canvas.DrawTransparent(topLeft, image, color_);
  } else {
    canvas.CopyImage(topLeft, image);
  }
}

}  // namespace widgets
