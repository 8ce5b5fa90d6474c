// Texts of the window's clock displays.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace app {

// "YYYY.MM.DD": four-digit year, two-digit month and day, full stops.
QString FormatClockDate(const QDateTime& moment);
// "  HH:MM SS": two spaces, hour 00-23, separator, minutes, a space, seconds.
QString FormatClockTime(const QDateTime& moment, const QString& separator);
// The locale's separator between hours and minutes; ":" where it gives none.
QString LocaleTimeSeparator(const QLocale& locale);

}  // namespace app
