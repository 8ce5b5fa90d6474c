// LED settings: cell size, notifications, the unlit pattern and cell image,
// drawing and measuring digits, blinking.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPolygonF>

#include "WidgetTestSupport.h"
#include "widgets/LedSettings.h"
#include "widgets/UnlitPattern.h"

using namespace widgets;
using namespace widgets_test;

namespace {
struct Counted {
  TLedSettings led;
  int changes = 0;
  Counted() {
    led.OnChange = [this](TNotifyObject&) { ++changes; };
  }
};

void MainWindowLook(TLedSettings& led) {
  led.SetBackgroundColor(clNavy);
  led.SetActiveColor(clWhite);
  led.SetInActiveColor(clTeal);
  led.SetHorzsize(12);
  led.SetVertsize(10);
  led.SetThickness(3);
}

QImage DrawText(TLedSettings& led, QByteArrayView text, bool enabled = true) {
  QImage image(led.DigitCellWidth() * 4, led.DigitCellHeight() * 2, QImage::Format_RGB32);
  image.fill(QColor(0, 0, 128));
  QPainter painter(&image);
  TCanvas canvas(painter, TestPalette());
  led.DrawDigits(&canvas, TRect{0, 0, image.width(), image.height()}, text, enabled, true);
  return image;
}

const QColor kWhite(255, 255, 255);
const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);
}  // namespace

TEST(LedSettings, InitialValuesAndCellSize) {
  TLedSettings led;
  EXPECT_EQ(led.BackgroundColor(), clBlack);
  EXPECT_EQ(led.InActiveColor(), clGreen);
  EXPECT_EQ(led.ActiveColor(), clLime);
  EXPECT_EQ(led.Horzsize(), 9);
  EXPECT_EQ(led.Thickness(), 2);
  EXPECT_EQ(led.Vertsize(), 7);
  EXPECT_FALSE(led.Blinking());
  EXPECT_FALSE(led.BlinkPhase());
  EXPECT_TRUE(led.DisabledDigits());
  EXPECT_TRUE(led.CellImage().isNull());
  EXPECT_EQ(led.DigitCellWidth(), 9 + 5 * 2);
  EXPECT_EQ(led.DigitCellHeight(), 2 * 7 + 7 * 2);
  MainWindowLook(led);
  EXPECT_EQ(led.DigitCellWidth(), 27);
  EXPECT_EQ(led.DigitCellHeight(), 41);
}

TEST(LedSettings, SettersRebuildAndNotifyOnlyOnChange) {
  Counted c;
  c.led.SetHorzsize(9);
  c.led.SetActiveColor(clLime);
  c.led.SetDisabledDigits(true);
  EXPECT_EQ(c.changes, 0);
  EXPECT_TRUE(c.led.CellImage().isNull());
  c.led.SetHorzsize(12);
  EXPECT_EQ(c.changes, 1);
  EXPECT_EQ(c.led.CellImage().size(), QSize(22, 28));
  c.led.SetVertsize(10);
  c.led.SetThickness(3);
  c.led.SetActiveColor(clWhite);
  c.led.SetInActiveColor(clTeal);
  c.led.SetBackgroundColor(clNavy);
  EXPECT_EQ(c.changes, 6);
  EXPECT_EQ(c.led.CellImage().size(), QSize(27, 41));
  EXPECT_EQ(c.led.Segments()[0].Points[0], QPoint(6, 4));
  c.led.SetDisabledDigits(false);
  EXPECT_EQ(c.changes, 7);
}

TEST(LedSettings, UnlitPatternIsACheckerboardRedrawnOnlyForANewPair) {
  const QRgb a = qRgb(1, 2, 3), b = qRgb(4, 5, 6);
  const QImage& p = UnlitPattern(a, b);
  ASSERT_EQ(p.size(), QSize(8, 8));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(p.pixel(x, y), (x + y) % 2 == 0 ? b : a) << x << y;
  const int before = UnlitPatternDrawCount();
  UnlitPattern(a, b);
  EXPECT_EQ(UnlitPatternDrawCount(), before);
  UnlitPattern(b, a);
  EXPECT_EQ(UnlitPatternDrawCount(), before + 1);
  UnlitPattern(b, a);
  EXPECT_EQ(UnlitPatternDrawCount(), before + 1);
}

TEST(LedSettings, SizeChangesReuseThePattern) {
  TLedSettings led;
  MainWindowLook(led);
  const int before = UnlitPatternDrawCount();
  led.SetHorzsize(14);
  led.SetThickness(2);
  EXPECT_EQ(UnlitPatternDrawCount(), before);
  led.SetInActiveColor(clGreen);
  EXPECT_EQ(UnlitPatternDrawCount(), before + 1);
}

TEST(LedSettings, CellImageShowsEverySegmentUnlit) {
  TLedSettings led;
  MainWindowLook(led);
  const QImage& cell = led.CellImage();
  ASSERT_EQ(cell.size(), QSize(27, 41));
  // Only the background and the unlit colour occur.
  EXPECT_EQ(CountColor(cell, kNavy) + CountColor(cell, kTeal), 27 * 41);
  EXPECT_EQ(At(cell, 0, 0), kNavy);
  // Inside segment 7 (x 12..14, y 6..18) the checkerboard runs on cell parity.
  for (int y = 8; y <= 16; ++y) EXPECT_EQ(At(cell, 13, y), (13 + y) % 2 == 0 ? kTeal : kNavy);
  // Inside segment 0 (the top bar, y 3..5) too.
  for (int x = 8; x <= 18; ++x) EXPECT_EQ(At(cell, x, 4), (x + 4) % 2 == 0 ? kTeal : kNavy);
  // Every one of the 16 segments shows the checkerboard on its inside.
  for (int k = 0; k < kSegmentCount; ++k) {
    QPolygonF polygon;
    for (const QPoint& p : led.Segments()[k].Points) polygon << QPointF(p);
    int inside = 0;
    for (int y = 0; y < cell.height(); ++y) {
      for (int x = 0; x < cell.width(); ++x) {
        // Pixels wholly inside; the rasteriser decides those on an edge.
        bool whole = true;
        for (QPointF corner : {QPointF(x + 0.01, y + 0.01), QPointF(x + 0.99, y + 0.01),
                               QPointF(x + 0.01, y + 0.99), QPointF(x + 0.99, y + 0.99)})
          whole = whole && polygon.containsPoint(corner, Qt::OddEvenFill);
        if (!whole) continue;
        ++inside;
        EXPECT_EQ(At(cell, x, y), (x + y) % 2 == 0 ? kTeal : kNavy) << k << ":" << x << "," << y;
      }
    }
    EXPECT_GE(inside, 1) << k;
  }
}

TEST(LedSettings, DrawDigitsLightsTheMaskInActiveColor) {
  TLedSettings led;
  MainWindowLook(led);
  const QImage image = DrawText(led, "0.");
  for (int k : {0, 1, 9, 12})
    for (const QPoint& p : led.Segments()[k].Points)
      EXPECT_EQ(At(image, p.x(), p.y()), kWhite) << k;
  for (const QPoint& p : led.Segments()[15].Points) EXPECT_EQ(At(image, p.x() + 27, p.y()), kWhite);
  // Segment 7 is not part of "0": it keeps the checkerboard.
  for (int y = 8; y <= 16; ++y) EXPECT_EQ(At(image, 13, y), (13 + y) % 2 == 0 ? kTeal : kNavy);
  // The second cell lights only the decimal point.
  EXPECT_EQ(CountColor(image, kWhite, QRect(27, 0, 27, 41)), 4 * 4);
  EXPECT_EQ(led.LineCount(), 1);
  EXPECT_EQ(led.ColumnCount(), 2);
  EXPECT_EQ(led.LastText(), QByteArray("0."));
}

TEST(LedSettings, CarriageReturnStartsALineAndControlBytesTakeNoCell) {
  TLedSettings led;
  MainWindowLook(led);
  const QImage image = DrawText(led, "1\r\n\t8");
  EXPECT_EQ(led.LineCount(), 2);
  EXPECT_EQ(led.ColumnCount(), 1);
  // "8" starts the second line in the first column.
  EXPECT_EQ(At(image, 13, 41 + 4), kWhite);
  EXPECT_EQ(CountColor(image, kWhite, QRect(27, 0, 27, 82)), 0);
}

TEST(LedSettings, DisabledDigits) {
  TLedSettings led;
  MainWindowLook(led);
  EXPECT_EQ(CountColor(DrawText(led, "88", false), kWhite), 0);
  const QImage enabled = DrawText(led, "88", true);
  EXPECT_GT(CountColor(enabled, kWhite), 0);
  led.SetDisabledDigits(false);
  EXPECT_EQ(DrawText(led, "88", false), enabled);
}

TEST(LedSettings, SmallLedsLightOnlyTheSevenBars) {
  TLedSettings led;
  MainWindowLook(led);
  led.SetHorzsize(3);
  EXPECT_EQ(CountColor(DrawText(led, "1"), kWhite), 0);
  EXPECT_EQ(CountColor(DrawText(led, "*"), kWhite), 0);
  EXPECT_EQ(CountColor(DrawText(led, ":"), kWhite), 0);
  const QImage eight = DrawText(led, "8");
  for (int k = 0; k < 7; ++k)
    for (const QPoint& p : led.Segments()[k].Points) EXPECT_EQ(At(eight, p.x(), p.y()), kWhite);
  // The centre bar 7 (x 7..9 here) stays unlit in the cell and in the "8".
  EXPECT_EQ(led.Segments()[7].Points[0], QPoint(8, 6));
  EXPECT_EQ(At(led.CellImage(), 8, 12), kTeal);
  EXPECT_EQ(At(eight, 8, 12), kTeal);
}

TEST(LedSettings, EmptyStrokesLightNothing) {
  TLedSettings led;
  MainWindowLook(led);
  led.SetHorzsize(6);
  EXPECT_EQ(CountColor(DrawText(led, "X"), kWhite), 0);
  EXPECT_GT(CountColor(DrawText(led, "T"), kWhite), 0);
}

TEST(LedSettings, HighBytesAreBlankCells) {
  TLedSettings led;
  MainWindowLook(led);
  const QImage image = DrawText(led, "\xB0\xA1");
  EXPECT_EQ(led.ColumnCount(), 2);
  EXPECT_EQ(CountColor(image, kWhite), 0);
  EXPECT_EQ(image.copy(0, 0, 27, 41), led.CellImage().convertToFormat(QImage::Format_RGB32));
}

TEST(LedSettings, MeasureDigits) {
  TLedSettings led;
  EXPECT_EQ(led.MeasureDigits("", 0),
            (TRect{0, 0, led.DigitCellWidth() + 1, led.DigitCellHeight()}));
  MainWindowLook(led);
  EXPECT_EQ(led.MeasureDigits("12:34", 0), (TRect{0, 0, 5 * 27 + 1, 41}));
  EXPECT_EQ(led.MeasureDigits("AB\rC", 0), (TRect{0, 0, 2 * 27 + 1, 2 * 41}));
  EXPECT_EQ(led.MeasureDigits("\n", 0), (TRect{0, 0, 27 + 1, 41}));
  EXPECT_EQ(led.MeasureDigits("12\n34", 2), (TRect{0, 0, 4 * 27 + 5, 41 + 4}));
  EXPECT_EQ(led.MeasureDigits("YYYY.MM.DD", 5), (TRect{0, 0, 281, 51}));
  EXPECT_EQ(led.LastText(), QByteArray("YYYY.MM.DD"));
}

TEST(LedSettings, LongTextsAreCountedInFull) {
  TLedSettings led;
  const QByteArray wide(300, '8');
  EXPECT_EQ(led.MeasureDigits(wide, 0).Right, 300 * led.DigitCellWidth() + 1);
  QByteArray tall;
  for (int i = 0; i < 299; ++i) tall += '\r';
  EXPECT_EQ(led.MeasureDigits(tall, 0).Bottom, 300 * led.DigitCellHeight());
}

TEST(LedSettings, Blinking) {
  Counted c;
  MainWindowLook(c.led);
  c.changes = 0;
  c.led.BlinkOn();
  EXPECT_EQ(c.changes, 0);
  EXPECT_TRUE(c.led.Blinking());
  // Phase off: blank cells (the unlit cell image stays), then lit, then blank.
  EXPECT_EQ(CountColor(DrawText(c.led, "8"), kWhite), 0);
  EXPECT_TRUE(c.led.BlinkPhase());
  EXPECT_GT(CountColor(DrawText(c.led, "8"), kWhite), 0);
  EXPECT_FALSE(c.led.BlinkPhase());
  c.led.MeasureDigits("8", 0);  // measuring inverts the phase too
  EXPECT_TRUE(c.led.BlinkPhase());
  c.led.BlinkOff();
  EXPECT_EQ(c.changes, 1);
  EXPECT_FALSE(c.led.Blinking());
  EXPECT_TRUE(c.led.BlinkPhase());
  EXPECT_GT(CountColor(DrawText(c.led, "8"), kWhite), 0);
  EXPECT_GT(CountColor(DrawText(c.led, "8"), kWhite), 0);
}

TEST(LedSettings, CopySettingsFrom) {
  TLedSettings source;
  MainWindowLook(source);
  source.SetDisabledDigits(false);
  source.BlinkOn();
  Counted c;
  c.led.SetBackgroundColor(clTeal);
  c.changes = 0;
  c.led.CopySettingsFrom(source);
  EXPECT_EQ(c.changes, 1);
  EXPECT_EQ(c.led.Horzsize(), 12);
  EXPECT_EQ(c.led.Vertsize(), 10);
  EXPECT_EQ(c.led.Thickness(), 3);
  EXPECT_FALSE(c.led.DisabledDigits());
  EXPECT_EQ(c.led.ActiveColor(), clWhite);
  EXPECT_EQ(c.led.InActiveColor(), clTeal);
  EXPECT_EQ(c.led.BackgroundColor(), clTeal);  // not copied
  EXPECT_FALSE(c.led.Blinking());              // not copied
  EXPECT_EQ(c.led.CellImage().size(), QSize(27, 41));
}

TEST(LedSettings, SystemColoursComeFromThePalette) {
  TLedSettings led;
  led.SetPalette(TestPalette());
  led.SetBackgroundColor(clBtnFace);
  led.SetInActiveColor(clBtnShadow);
  EXPECT_EQ(At(led.CellImage(), 0, 0), kButton);
  EXPECT_GT(CountColor(led.CellImage(), kDark), 0);
}
