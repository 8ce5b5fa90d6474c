// Enumerations of the bevel frame's settings.
#pragma once

#include <cstdint>

namespace widgets {

enum TBevelStyle : std::uint8_t {
  bvNone,
  bvLowered,
  bvRaised,
  bvFrameLowered,
  bvFrameRaised,
  bvNormal,
  bvShadow
};

enum TBevelMode : std::uint8_t { bmCustom, bmStandard, bmEdge, bmWindows };

enum TEdgeStyle : std::uint8_t {
  etRaisedInner,
  etRaisedOuter,
  etSunkenInner,
  etSunkenOuter,
  etBump,
  etEtched,
  etRaised,
  etSunken
};

enum TBorderStyle : std::uint8_t {
  lsNone,
  lsSingle,
  lsLowered,
  lsRaised,
  lsRaisedspb,
  lsLoweredspb,
  lsRaisedExt,
  lsLoweredExt,
  lsFrameInset,
  lsFrameOffset,
  lsWindowBorder,
  lsSingleRaised,
  lsSingleLowered,
  lsDoubleRaised,
  lsDoubleLowered
};

enum TFrameSide : std::uint8_t { fsBottom, fsLeft, fsRight, fsTop };

// A set of frame sides, one bit per TFrameSide.
using TFrameSides = std::uint8_t;
constexpr TFrameSides FrameSide(TFrameSide s) {
  return TFrameSides(1u << s);
}
constexpr TFrameSides kAllFrameSides =
    FrameSide(fsBottom) | FrameSide(fsLeft) | FrameSide(fsRight) | FrameSide(fsTop);

// Bevel widths run from 0 to 50 pixels; larger values are clamped.
constexpr int kMaxBevelWidth = 50;

}  // namespace widgets
