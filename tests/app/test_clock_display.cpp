// The settings of the main window's two clock displays.
#include <gtest/gtest.h>

#include "app/ClockDisplay.h"

using namespace app;
using namespace widgets;

TEST(ClockDisplay, Settings) {
  TLedLabel label;
  ApplyClockDisplaySettings(label);
  EXPECT_EQ(label.Color(), clNavy);
  EXPECT_EQ(label.LED().ActiveColor(), clWhite);
  EXPECT_EQ(label.LED().InActiveColor(), clTeal);
  EXPECT_EQ(label.LED().Horzsize(), 12);
  EXPECT_EQ(label.LED().Vertsize(), 10);
  EXPECT_EQ(label.LED().Thickness(), 3);
  EXPECT_EQ(label.Bevel().Mode(), bmCustom);
  EXPECT_EQ(label.Bevel().StyleInner(), bvLowered);
  EXPECT_EQ(label.Bevel().StyleOuter(), bvFrameLowered);
  EXPECT_EQ(label.Bevel().WidthInner(), 2);
  EXPECT_EQ(label.Bevel().WidthOuter(), 2);
  EXPECT_EQ(label.UpdateCount(), 0);
  EXPECT_EQ(kClockDateCaption, "YYYY.MM.DD");
  EXPECT_EQ(kClockTimeCaption, "  HH:NN 00");
}
