// Pixels of the custom bevel frame drawn into an image.
#include <gtest/gtest.h>

#include <QPainter>

#include "WidgetTestSupport.h"
#include "widgets/BevelFrame.h"

using namespace widgets;
using namespace widgets_test;

namespace {
const QColor kSentinel(1, 2, 3);

struct Drawn {
  QImage image;
  TRect inner;
};

Drawn Draw(const TBevelFrame& bevel, int w, int h, bool transparent = false) {
  Drawn d{QImage(w, h, QImage::Format_RGB32), {}};
  d.image.fill(kSentinel);
  QPainter painter(&d.image);
  TCanvas canvas(painter, TestPalette());
  d.inner = bevel.DrawBevel(canvas, TRect{0, 0, w, h}, transparent);
  return d;
}

// Independent model of a one-pixel frame (right and bottom exclusive).
void ModelFrame(QImage& image, TRect r, const QColor& c) {
  for (int x = r.Left; x < r.Right; ++x) {
    image.setPixelColor(x, r.Top, c);
    image.setPixelColor(x, r.Bottom - 1, c);
  }
  for (int y = r.Top; y < r.Bottom; ++y) {
    image.setPixelColor(r.Left, y, c);
    image.setPixelColor(r.Right - 1, y, c);
  }
}

const TBevelFrame& MainWindowBevel() {
  static TBevelFrame b;
  b.SetStyleInner(bvLowered);
  b.SetStyleOuter(bvFrameLowered);
  b.SetWidthInner(2);
  b.SetWidthOuter(2);
  return b;
}
}  // namespace

TEST(BevelDraw, NothingToDrawReturnsTheRectangle) {
  TBevelFrame b;
  Drawn d = Draw(b, 20, 10);
  EXPECT_EQ(d.inner, (TRect{0, 0, 20, 10}));
  EXPECT_EQ(CountColor(d.image, kSentinel), 200);
}

TEST(BevelDraw, WorkedExampleOuterFrames) {
  const TBevelFrame& b = MainWindowBevel();
  ASSERT_EQ(b.Extent(), 5);
  Drawn d = Draw(b, 282, 51);
  QImage model(282, 51, QImage::Format_RGB32);
  model.fill(kSentinel);
  ModelFrame(model, {1, 1, 282, 51}, kLight);
  ModelFrame(model, {0, 0, 281, 50}, kDark);
  ModelFrame(model, {2, 2, 282, 51}, kLight);
  ModelFrame(model, {0, 0, 280, 49}, kDark);
  // The outer three pixels on every side belong to the outer bevel alone.
  for (int y = 0; y < 51; ++y) {
    for (int x = 0; x < 282; ++x) {
      if (x >= 3 && x < 279 && y >= 3 && y < 48) continue;
      ASSERT_EQ(At(d.image, x, y), model.pixelColor(x, y)) << x << "," << y;
    }
  }
  // The two corners that no frame covers stay as they were.
  EXPECT_EQ(At(d.image, 281, 0), kSentinel);
  EXPECT_EQ(At(d.image, 0, 50), kSentinel);
}

TEST(BevelDraw, WorkedExampleInnerPolygonsAndDigitArea) {
  Drawn d = Draw(MainWindowBevel(), 282, 51);
  EXPECT_EQ(d.inner, (TRect{5, 5, 277, 46}));
  EXPECT_EQ(d.inner.Width(), 272);
  EXPECT_EQ(d.inner.Height(), 41);
  // Shadow polygon: columns 3-4 and rows 3-4.
  for (int y = 6; y <= 44; ++y) {
    EXPECT_EQ(At(d.image, 3, y), kDark) << y;
    EXPECT_EQ(At(d.image, 4, y), kDark) << y;
  }
  for (int x = 6; x <= 275; ++x) {
    EXPECT_EQ(At(d.image, x, 3), kDark) << x;
    EXPECT_EQ(At(d.image, x, 4), kDark) << x;
  }
  // Light polygon: columns 277-278 and rows 45-47 (the row below I.bottom too).
  for (int y = 6; y <= 44; ++y) {
    EXPECT_EQ(At(d.image, 277, y), kLight) << y;
    EXPECT_EQ(At(d.image, 278, y), kLight) << y;
  }
  for (int x = 6; x <= 276; ++x) {
    for (int y = 45; y <= 47; ++y) EXPECT_EQ(At(d.image, x, y), kLight) << x << "," << y;
  }
  EXPECT_EQ(At(d.image, 3, 3), kDark);
  EXPECT_EQ(At(d.image, 278, 47), kLight);
  // Nothing is drawn inside the inner bevel's rectangle above row 45.
  EXPECT_EQ(CountColor(d.image, kSentinel, QRect(5, 5, 272, 40)), 272 * 40);
}

TEST(BevelDraw, LoweredWidthOneIsTwoLines) {
  TBevelFrame b;
  b.SetStyleOuter(bvLowered);
  Drawn d = Draw(b, 10, 8);
  EXPECT_EQ(d.inner, (TRect{1, 1, 9, 7}));
  for (int x = 0; x < 9; ++x) EXPECT_EQ(At(d.image, x, 0), kDark) << x;
  for (int y = 0; y < 8; ++y) EXPECT_EQ(At(d.image, 0, y), kDark) << y;
  for (int y = 0; y < 8; ++y) EXPECT_EQ(At(d.image, 9, y), kLight) << y;
  for (int x = 1; x < 10; ++x) EXPECT_EQ(At(d.image, x, 7), kLight) << x;
  EXPECT_EQ(CountColor(d.image, kSentinel), 8 * 6);
}

TEST(BevelDraw, RaisedAndNormalColours) {
  TBevelFrame b;
  b.SetStyleOuter(bvRaised);
  Drawn d = Draw(b, 6, 6);
  EXPECT_EQ(At(d.image, 0, 0), kLight);
  EXPECT_EQ(At(d.image, 5, 5), kDark);
  b.SetStyleOuter(bvNormal);
  d = Draw(b, 6, 6);
  EXPECT_EQ(At(d.image, 0, 0), QColor(0, 0, 0));
  EXPECT_EQ(At(d.image, 5, 5), QColor(0, 0, 0));
}

TEST(BevelDraw, FrameStyleTakesWidthPlusOne) {
  TBevelFrame b;
  b.SetStyleOuter(bvFrameRaised);
  Drawn d = Draw(b, 10, 10);
  EXPECT_EQ(d.inner, (TRect{2, 2, 8, 8}));
  EXPECT_EQ(At(d.image, 0, 0), kLight);  // raised: the top-left frame is light
  EXPECT_EQ(At(d.image, 1, 1), kDark);
  EXPECT_EQ(At(d.image, 9, 9), kDark);
}

TEST(BevelDraw, ZeroWidthFrameDrawsNothing) {
  TBevelFrame b;
  b.SetStyleOuter(bvFrameLowered);
  b.SetWidthOuter(0);
  Drawn d = Draw(b, 10, 10);
  EXPECT_EQ(d.inner, (TRect{0, 0, 10, 10}));
  EXPECT_EQ(CountColor(d.image, kSentinel), 100);
}

TEST(BevelDraw, BordersAreSkippedButTakeSpaceWhenTransparent) {
  TBevelFrame b;
  b.SetBorderColor(clWhite);
  b.SetBorderWidth(2);
  b.SetBorderInnerWidth(1);
  b.SetStyleOuter(bvLowered);
  Drawn opaque = Draw(b, 20, 20);
  Drawn clear = Draw(b, 20, 20, true);
  EXPECT_EQ(opaque.inner, (TRect{4, 4, 16, 16}));
  EXPECT_EQ(clear.inner, opaque.inner);
  EXPECT_EQ(CountColor(opaque.image, Qt::white), 4 * (18 + 16 + 14) - 12);
  EXPECT_EQ(CountColor(clear.image, Qt::white), 0);
  EXPECT_EQ(At(clear.image, 0, 0), kDark);  // the bevel itself is still drawn
}

TEST(BevelDraw, ShadowFrame) {
  TBevelFrame b;
  b.SetBorderColor(clWhite);
  b.SetStyleOuter(bvShadow);
  b.SetWidthOuter(2);
  b.SetWidthInner(1);
  Drawn d = Draw(b, 12, 10);
  EXPECT_EQ(d.inner, (TRect{1, 1, 9, 7}));
  EXPECT_EQ(At(d.image, 11, 5), kDark);              // right shadow
  EXPECT_EQ(At(d.image, 5, 9), kDark);               // bottom shadow
  EXPECT_EQ(At(d.image, 11, 0), QColor(Qt::white));  // corner squares in BorderColor
  EXPECT_EQ(At(d.image, 0, 9), QColor(Qt::white));
  EXPECT_EQ(At(d.image, 0, 0), kLight);  // light frame of the remaining rectangle
  EXPECT_EQ(At(d.image, 9, 7), kLight);
  Drawn clear = Draw(b, 12, 10, true);
  EXPECT_EQ(At(clear.image, 11, 0), kSentinel);
  EXPECT_EQ(At(clear.image, 11, 5), kDark);
}

TEST(BevelDraw, FrameLargerThanTheRectangleLeavesItEmpty) {
  Drawn d = Draw(MainWindowBevel(), 8, 8);
  EXPECT_TRUE(d.inner.IsEmpty());
}

TEST(BevelDraw, OtherModesDrawWithinTheirExtent) {
  for (TBevelMode mode : {bmStandard, bmEdge, bmWindows}) {
    TBevelFrame b;
    b.SetMode(mode);
    b.SetBorderInnerWidth(1);
    b.SetBorderColor(clWhite);
    Drawn d = Draw(b, 20, 20);
    const int e = b.Extent();
    EXPECT_EQ(d.inner, (TRect{e, e, 20 - e, 20 - e})) << int(mode);
    EXPECT_EQ(CountColor(d.image, kSentinel, QRect(e, e, 20 - 2 * e, 20 - 2 * e)),
              (20 - 2 * e) * (20 - 2 * e));
    EXPECT_NE(At(d.image, 0, 0), kSentinel) << int(mode);
  }
}
