// The clock band's two LED displays and the timer tick that fills them.
#include "app/FormMain.h"
#include "app/Panel.h"

void TFormMain::CreateLedDisplays() {
  // Plain widgets of the displays' place and size until the LED labels are
  // put here.
  LedLabelDate = new QWidget(PanelLED);
  LedLabelDate->setObjectName(QStringLiteral("LedLabelDate"));
  LedLabelDate->setGeometry(0, 0, 282, 51);
  LedLabelTime = new QWidget(PanelLED);
  LedLabelTime->setObjectName(QStringLiteral("LedLabelTime"));
  LedLabelTime->setGeometry(0, 46, 282, 51);
}

void TFormMain::Timer1Timer() {}
