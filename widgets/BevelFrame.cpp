#include "widgets/BevelFrame.h"

#include <algorithm>
#include <array>

namespace widgets {
namespace {
template <typename T>
bool Assign(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}

bool IsFrameStyle(TBevelStyle s) {
  return s == bvFrameLowered || s == bvFrameRaised;
}

// A bevel of width 0 draws nothing, so it takes no space either, whatever
// its style.
int BevelPart(TBevelStyle style, int width) {
  if (style == bvNone || width <= 0) return 0;
  return width + (IsFrameStyle(style) ? 1 : 0);
}
}  // namespace

void TBevelFrame::SetStyleInner(TBevelStyle s) {
  if (s == styleInner_) return;
  if (styleInner_ == bvShadow) styleOuter_ = bvNone;
  styleInner_ = s;
  if (s == bvShadow) styleOuter_ = bvShadow;
  NotifyChange();
}

void TBevelFrame::SetStyleOuter(TBevelStyle s) {
  if (s == styleOuter_) return;
  if (styleOuter_ == bvShadow) styleInner_ = bvNone;
  styleOuter_ = s;
  if (s == bvShadow) styleInner_ = bvShadow;
  NotifyChange();
}

void TBevelFrame::SetWidthInner(int w) {
  if (Assign(widthInner_, std::clamp(w, 0, kMaxBevelWidth))) NotifyChange();
}
void TBevelFrame::SetWidthOuter(int w) {
  if (Assign(widthOuter_, std::clamp(w, 0, kMaxBevelWidth))) NotifyChange();
}
void TBevelFrame::SetBorderColor(TColor c) {
  if (Assign(borderColor_, c)) NotifyChange();
}
void TBevelFrame::SetBorderInnerWidth(std::uint8_t w) {
  if (Assign(borderInnerWidth_, w)) NotifyChange();
}
void TBevelFrame::SetBorderWidth(std::uint8_t w) {
  if (Assign(borderWidth_, w)) NotifyChange();
}
void TBevelFrame::SetBorderSides(TFrameSides sides) {
  if (Assign(borderSides_, TFrameSides(sides & kAllFrameSides))) NotifyChange();
}
void TBevelFrame::SetEdgeStyle(TEdgeStyle s) {
  if (Assign(edgeStyle_, s)) NotifyChange();
}
void TBevelFrame::SetLightColor(TColor c) {
  if (Assign(lightColor_, c)) NotifyChange();
}
void TBevelFrame::SetMode(TBevelMode m) {
  if (Assign(mode_, m)) NotifyChange();
}
void TBevelFrame::SetShadowColor(TColor c) {
  if (Assign(shadowColor_, c)) NotifyChange();
}
void TBevelFrame::SetStandardStyle(TBorderStyle s) {
  if (Assign(standardStyle_, s) && mode_ == bmStandard) NotifyChange();
}
void TBevelFrame::SetWindowsBorderOff(bool off) {
  if (Assign(windowsBorderOff_, off)) NotifyChange();
}

void TBevelFrame::CopySettingsFrom(const TBevelFrame& other) {
  styleInner_ = other.styleInner_;
  styleOuter_ = other.styleOuter_;
  widthInner_ = other.widthInner_;
  widthOuter_ = other.widthOuter_;
  borderColor_ = other.borderColor_;
  borderInnerWidth_ = other.borderInnerWidth_;
  borderWidth_ = other.borderWidth_;
  borderSides_ = other.borderSides_;
  edgeStyle_ = other.edgeStyle_;
  lightColor_ = other.lightColor_;
  mode_ = other.mode_;
  shadowColor_ = other.shadowColor_;
  standardStyle_ = other.standardStyle_;
  windowsBorderOff_ = other.windowsBorderOff_;
  NotifyChange();
}

void TBevelFrame::NotifyChange() {
  extent_ = ComputeExtent();
  TNotifyObject::NotifyChange();
}

int TBevelFrame::ComputeExtent() const {
  switch (mode_) {
    case bmCustom:
      if (styleInner_ == bvShadow) return widthInner_ + borderInnerWidth_;
      return borderWidth_ + borderInnerWidth_ + BevelPart(styleOuter_, widthOuter_) +
             BevelPart(styleInner_, widthInner_);
    case bmStandard:
      switch (standardStyle_) {
        case lsNone:
          return borderInnerWidth_;
        case lsSingle:
        case lsSingleRaised:
        case lsSingleLowered:
          return borderInnerWidth_ + 1;
        default:
          return borderInnerWidth_ + 2;
      }
    case bmEdge:
      return borderInnerWidth_ + (borderSides_ != 0 ? 2 : 0);
    case bmWindows:
      return windowsBorderOff_ ? 0 : borderInnerWidth_ + 2;
  }
  return 0;
}

TRect TBevelFrame::DrawBevel(TCanvas& canvas, TRect r, bool transparent) const {
  if (extent_ == 0) return r;
  switch (mode_) {
    case bmCustom:
      if (styleOuter_ == bvShadow) {
        DrawShadow(canvas, r, transparent);
      } else {
        DrawBevelEdge(canvas, r, styleOuter_, widthOuter_);
        DrawBorder(canvas, r, borderWidth_, transparent);
        DrawBevelEdge(canvas, r, styleInner_, widthInner_);
      }
      break;
    case bmStandard:
      DrawStandard(canvas, r);
      break;
    case bmEdge:
      DrawEdge(canvas, r);
      break;
    case bmWindows:
      DrawWindows(canvas, r);
      break;
  }
  DrawBorder(canvas, r, borderInnerWidth_, transparent);
  return r;
}

void TBevelFrame::DrawBevelEdge(TCanvas& canvas, TRect& r, TBevelStyle style, int w) const {
  if (w <= 0 || style == bvNone || style == bvShadow) return;
  TColor a = clBlack;   // top and left
  TColor bc = clBlack;  // bottom and right
  switch (style) {
    case bvLowered:
    case bvFrameLowered:
      a = shadowColor_;
      bc = lightColor_;
      break;
    case bvRaised:
    case bvFrameRaised:
      a = lightColor_;
      bc = shadowColor_;
      break;
    default:  // bvNormal
      break;
  }
  const int L = r.Left, T = r.Top, Rt = r.Right, B = r.Bottom;
  if (IsFrameStyle(style)) {
    for (int i = 0; i < w; ++i) {
      canvas.FrameRect({L + i + 1, T + i + 1, Rt, B}, bc);
      canvas.FrameRect({L, T, Rt - i - 1, B - i - 1}, a);
    }
    r = {L + w + 1, T + w + 1, Rt - w - 1, B - w - 1};
    return;
  }
  const int b1 = B - 1;
  if (w == 1) {
    const int rt1 = Rt - 1;
    const std::array<QPoint, 3> topLeft{QPoint(L, b1), QPoint(L, T), QPoint(rt1, T)};
    const std::array<QPoint, 3> bottomRight{QPoint(rt1, T), QPoint(rt1, b1), QPoint(L, b1)};
    canvas.Polyline(topLeft, a);
    canvas.Polyline(bottomRight, bc);
    r = {L + 1, T + 1, Rt - 1, B - 1};
    return;
  }
  const TRect in{L + w, T + w, Rt - w, b1 - w};
  const std::array<QPoint, 6> lower{QPoint(L, b1 + 1),
                                    QPoint(in.Left, in.Bottom),
                                    QPoint(in.Right, in.Bottom),
                                    QPoint(in.Right, in.Top),
                                    QPoint(Rt, T),
                                    QPoint(Rt, b1 + 1)};
  const std::array<QPoint, 6> upper{QPoint(L, b1),           QPoint(in.Left, in.Bottom),
                                    QPoint(in.Left, in.Top), QPoint(in.Right - 1, in.Top),
                                    QPoint(Rt - 1, T),       QPoint(L, T)};
  canvas.FillPolygon(lower, bc);
  canvas.FillPolygon(upper, a);
  r = {L + w, T + w, Rt - w, B - w};
}

void TBevelFrame::DrawBorder(TCanvas& canvas, TRect& r, int n, bool transparent) const {
  if (transparent) {
    r = r.Shrunk(n);
    return;
  }
  for (int i = 0; i < n; ++i) {
    canvas.FrameRect(r, borderColor_);
    r = r.Shrunk(1);
  }
}

void TBevelFrame::DrawShadow(TCanvas& canvas, TRect& r, bool transparent) const {
  const int wo = widthOuter_, wi = widthInner_;
  const int L = r.Left, T = r.Top, Rt = r.Right, B = r.Bottom;
  canvas.FillRect({Rt - wo, T + wo, Rt, B}, shadowColor_);
  canvas.FillRect({L + wo, B - wo, Rt, B}, shadowColor_);
  if (!transparent) {
    canvas.FillRect({Rt - wo, T, Rt, T + wo}, borderColor_);
    canvas.FillRect({L, B - wo, L + wo, B}, borderColor_);
  }
  r = {L, T, Rt - wo, B - wo};
  for (int i = 0; i < wi; ++i) {
    canvas.FrameRect(r, lightColor_);
    r = r.Shrunk(1);
  }
}

}  // namespace widgets
