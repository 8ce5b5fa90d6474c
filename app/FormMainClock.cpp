// The clock band's two LED displays and the timer tick that fills them.
#include <QDateTime>
#include <QLocale>

#include "app/ClockDisplay.h"
#include "app/ClockFormat.h"
#include "app/FormMain.h"
#include "app/Panel.h"

void TFormMain::CreateLedDisplays() {
  // The date display first, so that the time display, which overlaps its
  // lowest five pixels, lies on top.
  LedLabelDate = new widgets::TLedLabel(PanelLED);
  LedLabelTime = new widgets::TLedLabel(PanelLED);
  LedLabelDate->setObjectName(QStringLiteral("LedLabelDate"));
  LedLabelTime->setObjectName(QStringLiteral("LedLabelTime"));
  for (widgets::TLedLabel* label : {LedLabelDate, LedLabelTime})
    app::ApplyClockDisplaySettings(*label);
  LedLabelDate->setGeometry(0, 0, 282, 51);
  LedLabelTime->setGeometry(0, 46, 282, 51);
  LedLabelDate->SetCaption(app::kClockDateCaption);
  LedLabelTime->SetCaption(app::kClockTimeCaption);
}

void TFormMain::Timer1Timer() {
  // Two readings of the clock, as the displays are filled one after the other.
  LedLabelDate->SetCaption(app::FormatClockDate(QDateTime::currentDateTime()));
  LedLabelTime->SetCaption(
      app::FormatClockTime(QDateTime::currentDateTime(), app::LocaleTimeSeparator(QLocale())));
}
