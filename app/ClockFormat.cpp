#include "app/ClockFormat.h"

#include <QRegularExpression>

namespace app {
namespace {
QString TwoDigits(int n) {
  return QString::number(n).rightJustified(2, QLatin1Char('0'));
}
}  // namespace

QString FormatClockDate(const QDateTime& moment) {
  const QDate d = moment.date();
  return QString::number(d.year()).rightJustified(4, QLatin1Char('0')) + QLatin1Char('.') +
         TwoDigits(d.month()) + QLatin1Char('.') + TwoDigits(d.day());
}

QString FormatClockTime(const QDateTime& moment, const QString& separator) {
  const QTime t = moment.time();
  return QStringLiteral("  ") + TwoDigits(t.hour()) + separator + TwoDigits(t.minute()) +
         QLatin1Char(' ') + TwoDigits(t.second());
}

QString LocaleTimeSeparator(const QLocale& locale) {
  // The text between the hour field and the minute field of the locale's
  // time format, without quotes and blanks.
  const QString format = locale.timeFormat(QLocale::ShortFormat);
  const qsizetype hour = format.indexOf(QRegularExpression(QStringLiteral("[hH]")));
  if (hour >= 0) {
    qsizetype i = hour;
    while (i < format.size() && (format[i] == QLatin1Char('h') || format[i] == QLatin1Char('H')))
      ++i;
    const qsizetype minute = format.indexOf(QLatin1Char('m'), i);
    if (minute > i) {
      QString separator = format.mid(i, minute - i);
      separator.remove(QLatin1Char('\''));
      separator = separator.trimmed();
      if (!separator.isEmpty()) return separator;
    }
  }
  return QStringLiteral(":");
}

}  // namespace app
