// The main window's clock displays as drawn: what the clock writes into them
// fits their 282 x 51 pixels, the lower display (46 pixels down) covers only
// the upper one's frame, and the digits are lit white on navy in a lowered
// frame.
#include <gtest/gtest.h>

#include <QImage>
#include <QPalette>

#include "app/ClockDisplay.h"

using namespace app;
using namespace widgets;

namespace {

const QColor kNavy(0, 0, 128);
const QColor kWhite(255, 255, 255);
const QColor kTeal(0, 128, 128);
// Frame colours unlike every LED colour.
const QColor kLight(255, 255, 0);
const QColor kDark(255, 0, 255);

// A display with the window's settings, `width` wide, showing caption.
QImage Render(const QString& caption, int width = 282) {
  TLedLabel label;
  QPalette p;
  p.setColor(QPalette::Light, kLight);
  p.setColor(QPalette::Dark, kDark);
  label.setPalette(p);
  ApplyClockDisplaySettings(label);
  label.resize(width, 51);
  label.SetCaption(caption);
  return label.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The smallest rectangle holding every pixel of colour c.
QRect Extent(const QImage& image, const QColor& c) {
  QRect r;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (QColor(image.pixel(x, y)) == c) r |= QRect(x, y, 1, 1);
  return r;
}

const QString kCaptions[] = {
    QStringLiteral("2024.05.17"), QStringLiteral("2099.12.31"), kClockDateCaption,
    QStringLiteral("  12:34 56"), QStringLiteral("  23:59 08"), kClockTimeCaption};

TEST(ClockDisplay, EveryCaptionOfTheClockShowsWholeInTheDisplay) {
  for (const QString& caption : kCaptions) {
    const QImage shown = Render(caption);
    // Drawn on a wider display, the caption lights nothing beyond what the
    // window's display shows: no character is cut off.
    const QImage wide = Render(caption, 600);
    const QRect lit = Extent(wide, kWhite);
    ASSERT_FALSE(lit.isEmpty()) << caption.toStdString();
    EXPECT_LT(lit.right(), 282 - 5) << caption.toStdString();
    EXPECT_EQ(Extent(shown, kWhite), lit) << caption.toStdString();
  }
}

TEST(ClockDisplay, TheLowerDisplayCoversOnlyTheUpperOnesFrame) {
  // The time display starts 46 pixels below the date display: the date's
  // digit area and its lit segments end above that row.
  for (const QString& caption : kCaptions) {
    const QImage shown = Render(caption);
    EXPECT_LT(Extent(shown, kWhite).bottom(), 46) << caption.toStdString();
    EXPECT_LT(Extent(shown, kNavy).bottom(), 46) << caption.toStdString();
    EXPECT_GT(Extent(shown, kNavy).top(), 0);
  }
}

TEST(ClockDisplay, WhiteDigitsOnNavyInALoweredFrame) {
  const QImage shown = Render(QStringLiteral("2024.05.17"));
  const QRect area = Extent(shown, kNavy);
  ASSERT_FALSE(area.isEmpty());
  // Inside the frame: the navy ground, lit segments and the teal of the
  // unlit ones, nothing else.
  int navy = 0, white = 0, teal = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c(shown.pixel(x, y));
      navy += c == kNavy;
      white += c == kWhite;
      teal += c == kTeal;
    }
  EXPECT_EQ(navy + white + teal, area.width() * area.height());
  EXPECT_GT(white, 0);
  EXPECT_GT(teal, 0);
  // Lowered: shadow at the top and the left, light at the bottom and the right.
  EXPECT_EQ(QColor(shown.pixel(area.center().x(), 0)), kDark);
  EXPECT_EQ(QColor(shown.pixel(0, area.center().y())), kDark);
  EXPECT_EQ(QColor(shown.pixel(area.center().x(), 50)), kLight);
  EXPECT_EQ(QColor(shown.pixel(281, area.center().y())), kLight);
}

}  // namespace
