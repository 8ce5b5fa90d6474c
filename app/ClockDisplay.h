// Settings of the window's two clock displays (date above, time below).
#pragma once

#include <QString>

#include "widgets/LedLabel.h"

namespace app {

// Captions the displays show until the first clock tick.
inline const QString kClockDateCaption = QStringLiteral("YYYY.MM.DD");
inline const QString kClockTimeCaption = QStringLiteral("  HH:NN 00");

// Navy background, white lit and teal unlit segments of 12 x 10 pixels and
// thickness 3, in a lowered bevel (outer frame-lowered 2, inner lowered 2).
void ApplyClockDisplaySettings(widgets::TLedLabel& label);

}  // namespace app
