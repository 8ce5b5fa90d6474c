// Drawing of the frame modes other than bmCustom. The program draws only
// custom frames; these give plain, recognisable frames whose widths match
// ComputeExtent.
#include "widgets/BevelFrame.h"

namespace widgets {
namespace {
constexpr TColor clDarkShadow = kSystemColorFlag | 21;

// One ring of one-pixel lines, k pixels in from r's edges, on the given sides.
void Ring(TCanvas& canvas, const TRect& r, int k, TColor topLeft, TColor bottomRight,
          TFrameSides sides) {
  const TRect q = r.Shrunk(k);
  if (q.IsEmpty()) return;
  if (sides & FrameSide(fsTop)) canvas.FillRect({q.Left, q.Top, q.Right, q.Top + 1}, topLeft);
  if (sides & FrameSide(fsLeft)) canvas.FillRect({q.Left, q.Top, q.Left + 1, q.Bottom}, topLeft);
  if (sides & FrameSide(fsBottom))
    canvas.FillRect({q.Left, q.Bottom - 1, q.Right, q.Bottom}, bottomRight);
  if (sides & FrameSide(fsRight))
    canvas.FillRect({q.Right - 1, q.Top, q.Right, q.Bottom}, bottomRight);
}
}  // namespace

void TBevelFrame::DrawStandard(TCanvas& canvas, TRect& r) const {
  switch (standardStyle_) {
    case lsNone:
      return;
    case lsSingle:
      canvas.FrameRect(r, clBlack);
      r = r.Shrunk(1);
      return;
    case lsSingleRaised:
      DrawBevelEdge(canvas, r, bvRaised, 1);
      return;
    case lsSingleLowered:
      DrawBevelEdge(canvas, r, bvLowered, 1);
      return;
    case lsFrameInset:
      DrawBevelEdge(canvas, r, bvFrameLowered, 1);
      return;
    case lsFrameOffset:
      DrawBevelEdge(canvas, r, bvFrameRaised, 1);
      return;
    case lsRaised:
    case lsRaisedspb:
    case lsRaisedExt:
    case lsDoubleRaised:
      DrawBevelEdge(canvas, r, bvRaised, 1);
      DrawBevelEdge(canvas, r, bvRaised, 1);
      return;
    default:  // the lowered kinds and lsWindowBorder
      DrawBevelEdge(canvas, r, bvLowered, 1);
      DrawBevelEdge(canvas, r, bvLowered, 1);
      return;
  }
}

void TBevelFrame::DrawEdge(TCanvas& canvas, TRect& r) const {
  if (borderSides_ == 0) return;
  TColor outerA = shadowColor_, outerB = lightColor_;  // sunken
  TColor innerA = shadowColor_, innerB = lightColor_;
  switch (edgeStyle_) {
    case etRaisedInner:
    case etRaisedOuter:
    case etRaised:
      outerA = innerA = lightColor_;
      outerB = innerB = shadowColor_;
      break;
    case etEtched:
      innerA = lightColor_;
      innerB = shadowColor_;
      break;
    case etBump:
      outerA = lightColor_;
      outerB = shadowColor_;
      break;
    default:
      break;
  }
  Ring(canvas, r, 0, outerA, outerB, borderSides_);
  Ring(canvas, r, 1, innerA, innerB, borderSides_);
  r = r.Shrunk(2);
}

void TBevelFrame::DrawWindows(TCanvas& canvas, TRect& r) const {
  if (windowsBorderOff_) return;
  Ring(canvas, r, 0, shadowColor_, lightColor_, kAllFrameSides);
  Ring(canvas, r, 1, clDarkShadow, clBtnFace, kAllFrameSides);
  r = r.Shrunk(2);
}

}  // namespace widgets
