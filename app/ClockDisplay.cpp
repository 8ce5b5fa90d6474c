#include "app/ClockDisplay.h"

namespace app {

void ApplyClockDisplaySettings(widgets::TLedLabel& label) {
  using namespace widgets;
  label.BeginUpdate();
  label.SetColor(clNavy);
  TLedSettings& led = label.LED();
  led.SetActiveColor(clWhite);
  led.SetInActiveColor(clTeal);
  led.SetHorzsize(12);
  led.SetVertsize(10);
  led.SetThickness(3);
  TBevelFrame& bevel = label.Bevel();
  bevel.SetMode(bmCustom);
  bevel.SetStyleInner(bvLowered);
  bevel.SetStyleOuter(bvFrameLowered);
  bevel.SetWidthInner(2);
  bevel.SetWidthOuter(2);
  label.EndUpdate(true);
}

}  // namespace app
