// The calendar-text stage of the start-up sequence.
#include <QPlainTextEdit>
#include <QStringList>

#include "app/FormMain.h"
#include "calendar/CalendarText.h"
#include "platform/Cp949.h"
#include "widgets/LedLabel.h"

// Puts today's calendar text into MemoDisp. Today is what the date display
// shows, as the clock tick of FormCreate filled it.
void TFormMain::ShowCalendarText() {
  const std::string text = calendar::BuildCalendarText(LedLabelDate->Caption().toStdString());
  const QStringList lines =
      platform::FromCp949(QByteArray::fromStdString(text)).split(QLatin1Char('\r'));
  MemoDisp->setPlainText(lines.join(QLatin1Char('\n')));
}
