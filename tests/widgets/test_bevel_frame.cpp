// Settings, notifications and Extent of the bevel frame.
#include <gtest/gtest.h>

#include "widgets/BevelFrame.h"

using namespace widgets;

namespace {
struct Counted {
  TBevelFrame bevel;
  int changes = 0;
  Counted() {
    bevel.OnChange = [this](TNotifyObject& sender) {
      EXPECT_EQ(&sender, &bevel);
      ++changes;
    };
  }
};
}  // namespace

TEST(BevelFrame, InitialSettings) {
  TBevelFrame b;
  EXPECT_EQ(b.StyleInner(), bvNone);
  EXPECT_EQ(b.StyleOuter(), bvNone);
  EXPECT_EQ(b.WidthInner(), 1);
  EXPECT_EQ(b.WidthOuter(), 1);
  EXPECT_EQ(b.BorderColor(), clBtnFace);
  EXPECT_EQ(b.BorderInnerWidth(), 0);
  EXPECT_EQ(b.BorderWidth(), 0);
  EXPECT_EQ(b.BorderSides(), kAllFrameSides);
  EXPECT_EQ(b.EdgeStyle(), etEtched);
  EXPECT_EQ(b.Extent(), 0);
  EXPECT_EQ(b.LightColor(), clBtnHighlight);
  EXPECT_EQ(b.Mode(), bmCustom);
  EXPECT_EQ(b.ShadowColor(), clBtnShadow);
  EXPECT_EQ(b.StandardStyle(), lsSingleLowered);
  EXPECT_FALSE(b.WindowsBorderOff());
}

TEST(BevelFrame, SettersNotifyOnlyOnChange) {
  Counted c;
  c.bevel.SetWidthInner(1);
  c.bevel.SetBorderColor(clBtnFace);
  c.bevel.SetMode(bmCustom);
  EXPECT_EQ(c.changes, 0);
  c.bevel.SetWidthInner(3);
  c.bevel.SetWidthOuter(4);
  c.bevel.SetBorderColor(clNavy);
  c.bevel.SetBorderInnerWidth(1);
  c.bevel.SetBorderWidth(2);
  c.bevel.SetBorderSides(FrameSide(fsTop));
  c.bevel.SetEdgeStyle(etBump);
  c.bevel.SetLightColor(clWhite);
  c.bevel.SetShadowColor(clBlack);
  c.bevel.SetWindowsBorderOff(true);
  EXPECT_EQ(c.changes, 10);
  EXPECT_EQ(c.bevel.WidthInner(), 3);
  EXPECT_EQ(c.bevel.BorderSides(), FrameSide(fsTop));
}

TEST(BevelFrame, WidthsAreClampedToFifty) {
  TBevelFrame b;
  b.SetWidthOuter(51);
  EXPECT_EQ(b.WidthOuter(), 50);
  b.SetWidthInner(-3);
  EXPECT_EQ(b.WidthInner(), 0);
}

TEST(BevelFrame, StandardStyleNotifiesOnlyInStandardMode) {
  Counted c;
  c.bevel.SetStandardStyle(lsDoubleRaised);
  EXPECT_EQ(c.changes, 0);
  EXPECT_EQ(c.bevel.StandardStyle(), lsDoubleRaised);
  c.bevel.SetMode(bmStandard);
  EXPECT_EQ(c.changes, 1);
  EXPECT_EQ(c.bevel.Extent(), 2);
  c.bevel.SetStandardStyle(lsSingle);
  EXPECT_EQ(c.changes, 2);
  EXPECT_EQ(c.bevel.Extent(), 1);
}

TEST(BevelFrame, ShadowStylesGoTogether) {
  Counted c;
  c.bevel.SetStyleInner(bvLowered);
  c.bevel.SetStyleOuter(bvShadow);
  EXPECT_EQ(c.bevel.StyleInner(), bvShadow);
  EXPECT_EQ(c.bevel.StyleOuter(), bvShadow);
  EXPECT_EQ(c.changes, 2);
  c.bevel.SetStyleOuter(bvLowered);
  EXPECT_EQ(c.bevel.StyleOuter(), bvLowered);
  EXPECT_EQ(c.bevel.StyleInner(), bvNone);

  c.bevel.SetStyleInner(bvShadow);
  EXPECT_EQ(c.bevel.StyleOuter(), bvShadow);
  c.bevel.SetStyleInner(bvRaised);
  EXPECT_EQ(c.bevel.StyleInner(), bvRaised);
  EXPECT_EQ(c.bevel.StyleOuter(), bvNone);
  // Neither side alone can be left as bvShadow.
  c.bevel.SetStyleOuter(bvFrameRaised);
  EXPECT_NE(c.bevel.StyleInner(), bvShadow);
}

TEST(BevelFrame, ExtentOfCustomFrames) {
  TBevelFrame b;
  EXPECT_EQ(b.Extent(), 0);
  b.SetBorderWidth(2);
  b.SetBorderInnerWidth(1);
  EXPECT_EQ(b.Extent(), 3);  // both styles bvNone
  b.SetBorderWidth(0);
  b.SetBorderInnerWidth(0);

  b.SetStyleOuter(bvLowered);
  EXPECT_EQ(b.Extent(), 1);  // lowered 1 takes one pixel
  b.SetStyleOuter(bvFrameLowered);
  EXPECT_EQ(b.Extent(), 2);  // frame-lowered 1 takes two
  b.SetWidthOuter(0);
  EXPECT_EQ(b.Extent(), 0);  // width 0 adds nothing

  b.SetWidthOuter(2);
  b.SetWidthInner(2);
  b.SetStyleInner(bvLowered);
  EXPECT_EQ(b.Extent(), 5);  // the main window's frame
  b.SetBorderWidth(3);
  b.SetBorderInnerWidth(1);
  EXPECT_EQ(b.Extent(), 9);

  b.SetStyleOuter(bvShadow);
  b.SetWidthInner(4);
  EXPECT_EQ(b.Extent(), 4 + 1);  // WidthInner + BorderInnerWidth
}

TEST(BevelFrame, ExtentOfOtherModes) {
  TBevelFrame b;
  b.SetBorderInnerWidth(2);
  b.SetMode(bmStandard);
  const std::pair<TBorderStyle, int> standard[] = {
      {lsNone, 0},         {lsSingle, 1},       {lsSingleRaised, 1}, {lsSingleLowered, 1},
      {lsLowered, 2},      {lsRaised, 2},       {lsRaisedspb, 2},    {lsLoweredspb, 2},
      {lsRaisedExt, 2},    {lsLoweredExt, 2},   {lsFrameInset, 2},   {lsFrameOffset, 2},
      {lsWindowBorder, 2}, {lsDoubleRaised, 2}, {lsDoubleLowered, 2}};
  for (auto [style, width] : standard) {
    b.SetStandardStyle(style);
    EXPECT_EQ(b.Extent(), 2 + width) << int(style);
  }
  b.SetMode(bmEdge);
  EXPECT_EQ(b.Extent(), 4);
  b.SetBorderSides(0);
  EXPECT_EQ(b.Extent(), 2);
  b.SetMode(bmWindows);
  EXPECT_EQ(b.Extent(), 4);
  b.SetWindowsBorderOff(true);
  EXPECT_EQ(b.Extent(), 0);
}

TEST(BevelFrame, ExtentIsKeptWhileHeldInAnUpdate) {
  Counted c;
  c.bevel.BeginUpdate();
  c.bevel.SetStyleOuter(bvRaised);
  c.bevel.SetWidthOuter(3);
  EXPECT_EQ(c.changes, 0);
  EXPECT_EQ(c.bevel.Extent(), 3);
  c.bevel.EndUpdate(true);
  EXPECT_EQ(c.changes, 1);
  c.bevel.BeginUpdate();
  c.bevel.SetWidthOuter(4);
  c.bevel.EndUpdate(false);
  EXPECT_EQ(c.changes, 1);
  EXPECT_EQ(c.bevel.Extent(), 4);
}

TEST(BevelFrame, CopySettingsFromCopiesEverythingAndNotifiesOnce) {
  TBevelFrame source;
  source.SetStyleOuter(bvFrameRaised);
  source.SetStyleInner(bvNormal);
  source.SetWidthOuter(3);
  source.SetWidthInner(4);
  source.SetBorderColor(clTeal);
  source.SetBorderWidth(5);
  source.SetBorderInnerWidth(6);
  source.SetBorderSides(FrameSide(fsLeft));
  source.SetEdgeStyle(etSunken);
  source.SetLightColor(clLime);
  source.SetShadowColor(clGreen);
  source.SetStandardStyle(lsFrameInset);
  source.SetWindowsBorderOff(true);
  Counted c;
  c.bevel.CopySettingsFrom(source);
  EXPECT_EQ(c.changes, 1);
  const TBevelFrame& b = c.bevel;
  EXPECT_EQ(b.StyleOuter(), bvFrameRaised);
  EXPECT_EQ(b.StyleInner(), bvNormal);
  EXPECT_EQ(b.WidthOuter(), 3);
  EXPECT_EQ(b.WidthInner(), 4);
  EXPECT_EQ(b.BorderColor(), clTeal);
  EXPECT_EQ(b.BorderWidth(), 5);
  EXPECT_EQ(b.BorderInnerWidth(), 6);
  EXPECT_EQ(b.BorderSides(), FrameSide(fsLeft));
  EXPECT_EQ(b.EdgeStyle(), etSunken);
  EXPECT_EQ(b.LightColor(), clLime);
  EXPECT_EQ(b.ShadowColor(), clGreen);
  EXPECT_EQ(b.StandardStyle(), lsFrameInset);
  EXPECT_TRUE(b.WindowsBorderOff());
  EXPECT_EQ(b.Extent(), source.Extent());
  EXPECT_EQ(b.Extent(), 4 + 5 + 6 + 4);
}
