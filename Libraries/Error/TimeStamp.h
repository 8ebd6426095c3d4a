// Date and time texts shared by the error reports and the clock.
#pragma once

#include <QDateTime>
#include <QString>

// Long date + " (" day of year ")" + separator + long time + " (" hundreds
// of seconds since midnight, 0..863 ")", time separator forced to ":".
QString TimeStampText(const QString &separator, const QDateTime &dateTime);
// The system's short time format with ":" as time separator.
QString ClockText(const QDateTime &dateTime);
