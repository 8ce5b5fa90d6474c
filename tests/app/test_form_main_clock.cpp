// The clock displays and the calendar-text stage in the main window.
#include <QDateTime>
#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTimer>

#include "FormFixture.h"
#include "app/Panel.h"
#include "platform/Cp949.h"
#include "widgets/LedLabel.h"

using FormClock = FormFixture;

TEST_F(FormClock, DisplaysHoldDateAndTimeBeforeTheFirstTick) {
  const QDate before = QDate::currentDate();
  TFormMain& f = Form();
  const QDate after = QDate::currentDate();
  // FormCreate fills both displays at once, without waiting for Timer1.
  const QString date = f.LedLabelDate->Caption();
  EXPECT_TRUE(date == before.toString(QStringLiteral("yyyy.MM.dd")) ||
              date == after.toString(QStringLiteral("yyyy.MM.dd")))
      << date.toStdString();
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^  \\d\\d:\\d\\d \\d\\d$"))
                  .match(f.LedLabelTime->Caption())
                  .hasMatch())
      << f.LedLabelTime->Caption().toStdString();
  EXPECT_TRUE(f.Timer1->isActive());
  EXPECT_EQ(f.Timer1->interval(), 2000);
}

TEST_F(FormClock, DisplaysSitInThePanelWithTheTimeOverlappingTheDate) {
  TFormMain& f = Form();
  EXPECT_EQ(f.LedLabelDate->geometry(), QRect(0, 0, 282, 51));
  EXPECT_EQ(f.LedLabelTime->geometry(), QRect(0, 46, 282, 51));
  EXPECT_EQ(f.LedLabelDate->parentWidget(), static_cast<QWidget*>(f.PanelLED));
  // The later sibling is drawn on top: the time display covers the overlap.
  const QObjectList& children = f.PanelLED->children();
  EXPECT_LT(children.indexOf(f.LedLabelDate), children.indexOf(f.LedLabelTime));
}

TEST_F(FormClock, CalendarStageShowsTheNineLinesOfTheDateDisplaysDay) {
  TFormMain& f = Form();
  f.LedLabelDate->SetCaption(QStringLiteral("2024.05.17"));
  f.ShowCalendarText();
  // The reference text, made with python3: '\r'.join(lines).encode('cp949').
  QFile fixture(QStringLiteral(PF_SOURCE_DIR "/tests/calendar/fixtures/calendar-2024-05-17.cp949"));
  ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
  const QStringList expected = platform::FromCp949(fixture.readAll()).split(QLatin1Char('\r'));
  ASSERT_EQ(expected.size(), 9);
  EXPECT_EQ(f.MemoDisp->toPlainText().split(QLatin1Char('\n')), expected);
  EXPECT_TRUE(f.MemoDisp->isReadOnly());
}
