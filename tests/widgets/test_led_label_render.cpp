// Pixels of a rendered LED label: the main window's clock display.
#include <gtest/gtest.h>

#include <QWidget>

#include "WidgetTestSupport.h"
#include "widgets/LedLabel.h"

using namespace widgets;
using namespace widgets_test;

namespace {
const QColor kWhite(255, 255, 255);
const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);

void MakeClockDisplay(TLedLabel& label, const QString& caption) {
  label.setPalette(TestPalette());
  UseClockLook(label);
  label.resize(282, 51);
  label.SetCaption(caption);
}

QColor Checker(int x, int y) {
  return (x + y) % 2 == 0 ? kTeal : kNavy;
}
}  // namespace

TEST(LedLabelRender, ClockDisplayFrameAndDigitArea) {
  TLedLabel label;
  MakeClockDisplay(label, "0.");
  const QImage image = Render(label);
  ASSERT_EQ(image.size(), QSize(282, 51));
  // The outer bevel: shadow frames at the top left, light at the bottom right.
  EXPECT_EQ(At(image, 0, 0), kDark);
  EXPECT_EQ(At(image, 1, 10), kLight);
  EXPECT_EQ(At(image, 2, 10), kLight);
  EXPECT_EQ(At(image, 140, 48), kDark);
  EXPECT_EQ(At(image, 140, 50), kLight);
  EXPECT_EQ(At(image, 279, 20), kDark);
  EXPECT_EQ(At(image, 281, 20), kLight);
  // The corners no frame covers take the parent's background colour.
  EXPECT_EQ(At(image, 281, 0), kWindow);
  EXPECT_EQ(At(image, 0, 50), kWindow);
  // The inner bevel.
  EXPECT_EQ(At(image, 3, 20), kDark);
  EXPECT_EQ(At(image, 140, 4), kDark);
  EXPECT_EQ(At(image, 278, 20), kLight);
  EXPECT_EQ(At(image, 140, 47), kLight);
  // The 272 x 41 digit area at (5, 5) covers row 45 of the light polygon.
  const QRect area(5, 5, 272, 41);
  EXPECT_EQ(CountColor(image, kLight, area) + CountColor(image, kDark, area), 0);
  EXPECT_EQ(CountColor(image, kNavy, area) + CountColor(image, kTeal, area) +
                CountColor(image, kWhite, area),
            272 * 41);
  // Right of the text the area keeps Color.
  EXPECT_EQ(CountColor(image, kNavy, QRect(5 + 2 * 27, 5, 272 - 2 * 27, 41)), (272 - 2 * 27) * 41);
}

TEST(LedLabelRender, ClockDisplaySegments) {
  TLedLabel label;
  MakeClockDisplay(label, "0.");
  const QImage image = Render(label);
  const TSegmentPolygons& s = label.LED().Segments();
  const QPoint cell0(5, 5), cell1(5 + 27, 5);
  for (int k : {0, 1, 9, 12})
    for (const QPoint& p : s[k].Points) EXPECT_EQ(At(image, p.x() + 5, p.y() + 5), kWhite) << k;
  for (const QPoint& p : s[15].Points) EXPECT_EQ(At(image, p.x() + cell1.x(), p.y() + 5), kWhite);
  EXPECT_EQ(s[0].Points[0], QPoint(6, 4));
  EXPECT_EQ(At(image, cell0.x() + 13, cell0.y() + 4), kWhite);  // inside the top bar
  // Unlit segments show the checkerboard on cell parity: bar 7 of "0", bar 0 of ".".
  for (int y = 8; y <= 16; ++y) {
    EXPECT_EQ(At(image, cell0.x() + 13, cell0.y() + y), Checker(13, y));
    EXPECT_EQ(At(image, cell1.x() + 13, cell1.y() + y), Checker(13, y));
  }
  for (int x = 8; x <= 18; ++x) EXPECT_EQ(At(image, cell1.x() + x, cell1.y() + 4), Checker(x, 4));
  EXPECT_EQ(At(image, cell0.x(), cell0.y()), kNavy);  // space around the segments
}

TEST(LedLabelRender, TenCellsOfTheDate) {
  TLedLabel label;
  MakeClockDisplay(label, "2026.12.09");
  const QImage image = Render(label);
  // Every cell of "2026.12.09" lights something; the 2 pixels right of them none.
  for (int i = 0; i < 10; ++i)
    EXPECT_GT(CountColor(image, kWhite, QRect(5 + 27 * i, 5, 27, 41)), 0) << i;
  EXPECT_EQ(CountColor(image, kNavy, QRect(275, 5, 2, 41)), 2 * 41);
}

TEST(LedLabelRender, DisabledLabel) {
  QWidget parent;
  auto* label = new TLedLabel(&parent);
  MakeClockDisplay(*label, "88");
  const QImage enabled = Render(*label);
  label->setEnabled(false);
  EXPECT_EQ(CountColor(Render(*label), kWhite), 0);
  label->LED().SetDisabledDigits(false);
  EXPECT_EQ(Render(*label), enabled);
}

TEST(LedLabelRender, TransparentLabelLetsTheParentShowThroughColor) {
  QWidget parent;
  QPalette p = TestPalette();
  p.setColor(QPalette::Window, QColor(255, 0, 0));
  parent.setPalette(p);
  parent.setAutoFillBackground(true);
  parent.resize(300, 60);
  auto* label = new TLedLabel(&parent);
  MakeClockDisplay(*label, "8");
  label->Bevel().SetBorderInnerWidth(1);
  label->Bevel().SetBorderColor(clLime);
  label->SetTransparent(true);
  const QImage image = Render(parent);
  const QColor red(255, 0, 0);
  EXPECT_EQ(CountColor(image, kNavy, QRect(0, 0, 282, 51)), 0);
  EXPECT_EQ(CountColor(image, QColor(0, 255, 0)), 0);  // the border takes space, undrawn
  EXPECT_EQ(At(image, 6, 6), red);                     // where Color would be
  EXPECT_EQ(At(image, 6 + 13, 6 + 4), kWhite);         // lit top bar of the "8"
  EXPECT_GT(CountColor(image, kTeal, QRect(6, 6, 27, 41)), 0);
  EXPECT_EQ(At(image, 0, 0), kDark);  // the bevel is drawn
}

TEST(LedLabelRender, LabelSmallerThanItsFrameDrawsOnlyTheFrame) {
  TLedLabel label;
  MakeClockDisplay(label, "8");
  label.resize(9, 9);
  const QImage image = Render(label);
  EXPECT_EQ(CountColor(image, kWhite) + CountColor(image, kNavy) + CountColor(image, kTeal), 0);
  EXPECT_EQ(At(image, 0, 0), kDark);
}

TEST(LedLabelRender, SystemColoursFollowThePalette) {
  TLedLabel label;
  label.setPalette(TestPalette());
  label.resize(40, 40);
  label.SetColor(clBtnFace);
  label.SetCaption("8");
  EXPECT_EQ(At(Render(label), 25, 35), kButton);
  QPalette other = TestPalette();
  other.setColor(QPalette::Button, QColor(9, 99, 199));
  label.setPalette(other);
  const QImage image = Render(label);
  EXPECT_EQ(At(image, 25, 35), QColor(9, 99, 199));
  EXPECT_EQ(CountColor(image, kButton), 0);  // the cell image is redrawn too
}
