// Helpers of the LED widget tests: a palette with distinct frame colours and
// pixel access to renders.
#pragma once

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QWidget>

#include "widgets/LedLabel.h"

namespace widgets_test {

// Frame colours that differ from every LED colour used in the tests.
inline const QColor kLight(255, 255, 0);     // palette Light: button highlight
inline const QColor kDark(255, 0, 255);      // palette Dark: button shadow
inline const QColor kButton(200, 200, 200);  // palette Button: button face
inline const QColor kWindow(10, 20, 30);     // palette Window: parent background

inline QPalette TestPalette() {
  QPalette p;
  p.setColor(QPalette::Light, kLight);
  p.setColor(QPalette::Dark, kDark);
  p.setColor(QPalette::Button, kButton);
  p.setColor(QPalette::Window, kWindow);
  return p;
}

inline QImage Render(QWidget& w) {
  return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor At(const QImage& image, int x, int y) {
  return QColor(image.pixel(x, y));
}

// The control's worked example, as the application's clock displays look:
// navy ground, white and teal segments 12 x 10 of thickness 3 in a lowered
// frame of extent 5. Kept here, so that the control's tests stand without
// the application.
inline void UseClockLook(widgets::TLedLabel& label) {
  using namespace widgets;
  label.BeginUpdate();
  label.SetColor(clNavy);
  label.LED().SetActiveColor(clWhite);
  label.LED().SetInActiveColor(clTeal);
  label.LED().SetHorzsize(12);
  label.LED().SetVertsize(10);
  label.LED().SetThickness(3);
  label.Bevel().SetMode(bmCustom);
  label.Bevel().SetStyleInner(bvLowered);
  label.Bevel().SetStyleOuter(bvFrameLowered);
  label.Bevel().SetWidthInner(2);
  label.Bevel().SetWidthOuter(2);
  label.EndUpdate(true);
}

// Number of pixels of the given colour inside the rectangle.
inline int CountColor(const QImage& image, const QColor& color, QRect area = QRect()) {
  if (area.isNull()) area = image.rect();
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (QColor(image.pixel(x, y)) == color) ++n;
  return n;
}

}  // namespace widgets_test
