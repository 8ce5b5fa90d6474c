// The frame of bevels and borders drawn around a control's content.
#pragma once

#include <cstdint>

#include "widgets/BevelTypes.h"
#include "widgets/Canvas.h"
#include "widgets/Color.h"
#include "widgets/NotifyObject.h"
#include "widgets/Rect.h"

namespace widgets {

class TBevelFrame : public TNotifyObject {
 public:
  TBevelFrame() = default;

  TBevelStyle StyleInner() const { return styleInner_; }
  TBevelStyle StyleOuter() const { return styleOuter_; }
  int WidthInner() const { return widthInner_; }
  int WidthOuter() const { return widthOuter_; }
  TColor BorderColor() const { return borderColor_; }
  int BorderInnerWidth() const { return borderInnerWidth_; }
  int BorderWidth() const { return borderWidth_; }
  TFrameSides BorderSides() const { return borderSides_; }
  TEdgeStyle EdgeStyle() const { return edgeStyle_; }
  // Total frame width on each side; recomputed by every NotifyChange.
  int Extent() const { return extent_; }
  TColor LightColor() const { return lightColor_; }
  TBevelMode Mode() const { return mode_; }
  TColor ShadowColor() const { return shadowColor_; }
  TBorderStyle StandardStyle() const { return standardStyle_; }
  // While set, the bmWindows frame takes no space and draws nothing.
  bool WindowsBorderOff() const { return windowsBorderOff_; }

  // Keeps StyleInner == bvShadow exactly when StyleOuter == bvShadow.
  void SetStyleInner(TBevelStyle s);
  void SetStyleOuter(TBevelStyle s);
  void SetWidthInner(int w);  // clamped to 0..50
  void SetWidthOuter(int w);  // clamped to 0..50
  void SetBorderColor(TColor c);
  void SetBorderInnerWidth(std::uint8_t w);
  void SetBorderWidth(std::uint8_t w);
  void SetBorderSides(TFrameSides sides);
  void SetEdgeStyle(TEdgeStyle s);
  void SetLightColor(TColor c);
  void SetMode(TBevelMode m);
  void SetShadowColor(TColor c);
  // Notifies only while Mode is bmStandard, the only mode that draws it.
  void SetStandardStyle(TBorderStyle s);
  void SetWindowsBorderOff(bool off);

  void CopySettingsFrom(const TBevelFrame& other);

  // Recomputes Extent, then notifies the owner.
  void NotifyChange() override;
  // The frame width on each side that the current settings give.
  int ComputeExtent() const;

  // Draws the frame inside r and returns the rectangle left inside it.
  TRect DrawBevel(TCanvas& canvas, TRect r, bool transparent) const;

  // The steps of the custom frame; each draws at the edge of r, then shrinks it.
  void DrawBevelEdge(TCanvas& canvas, TRect& r, TBevelStyle style, int w) const;
  void DrawBorder(TCanvas& canvas, TRect& r, int n, bool transparent) const;
  void DrawShadow(TCanvas& canvas, TRect& r, bool transparent) const;

 private:
  // The modes the program itself never selects (BevelModes.cpp).
  void DrawStandard(TCanvas& canvas, TRect& r) const;
  void DrawEdge(TCanvas& canvas, TRect& r) const;
  void DrawWindows(TCanvas& canvas, TRect& r) const;

  TBevelStyle styleInner_ = bvNone;
  TBevelStyle styleOuter_ = bvNone;
  int widthInner_ = 1;
  int widthOuter_ = 1;
  TColor borderColor_ = clBtnFace;
  std::uint8_t borderInnerWidth_ = 0;
  std::uint8_t borderWidth_ = 0;
  TFrameSides borderSides_ = kAllFrameSides;
  TEdgeStyle edgeStyle_ = etEtched;
  int extent_ = 0;
  TColor lightColor_ = clBtnHighlight;
  TBevelMode mode_ = bmCustom;
  TColor shadowColor_ = clBtnShadow;
  TBorderStyle standardStyle_ = lsSingleLowered;
  bool windowsBorderOff_ = false;
};

}  // namespace widgets
