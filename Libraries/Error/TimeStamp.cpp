#include "TimeStamp.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

// Replaces whatever separates hours, minutes and seconds in a locale time
// format with ":", leaving quoted literals alone.
QString ForceColonSeparator(QString format)
{
    static const QRegularExpression sep(QStringLiteral("(h{1,2}|H{1,2}|m{1,2})[^hHmsaApPt' ]+(?=[mMsS])"));
    QString out;
    int last = 0;
    auto it = sep.globalMatch(format);
    while (it.hasNext()) {
        auto m = it.next();
        out += format.mid(last, m.capturedStart() - last);
        out += m.captured(1) + QLatin1Char(':');
        last = m.capturedEnd();
    }
    out += format.mid(last);
    return out;
}

} // namespace

QString TimeStampText(const QString &separator, const QDateTime &dateTime)
{
    const QLocale locale = QLocale::system();
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    const int dayOfYear = date.dayOfYear();
    const int msecs = time.isValid() ? time.msecsSinceStartOfDay() : 0;
    // The fraction of the day times 864 gives hundreds of seconds, 0..863.
    const int hundreds = static_cast<int>(static_cast<qint64>(msecs) * 864 / 86400000);
    QString timeFormat = ForceColonSeparator(locale.timeFormat(QLocale::LongFormat));
    // A time-zone name adds nothing to a local time stamp.
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*t+")));
    return locale.toString(date, QLocale::LongFormat) + QStringLiteral(" (") + QString::number(dayOfYear)
        + QStringLiteral(")") + separator + locale.toString(time, timeFormat) + QStringLiteral(" (")
        + QString::number(hundreds) + QStringLiteral(")");
}

QString ClockText(const QDateTime &dateTime)
{
    const QLocale locale = QLocale::system();
    QString format = ForceColonSeparator(locale.timeFormat(QLocale::ShortFormat));
    // Some locales (C among them) put seconds in their short format; a clock
    // beside the book shows hours and minutes only, so it does not tick.
    format.remove(QRegularExpression(QStringLiteral(":ss?")));
    return locale.toString(dateTime.time(), format);
}
