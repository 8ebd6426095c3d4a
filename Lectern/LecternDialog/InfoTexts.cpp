#include "InfoTexts.h"

QString LineNumberText(int firstVisibleLine, int lineCount, const QLocale &locale)
{
    QLocale l = locale;
    l.setNumberOptions(l.numberOptions() & ~QLocale::OmitGroupSeparator);
    return QStringLiteral("Top line ") + l.toString(qlonglong(firstVisibleLine) + 1) + QStringLiteral(" (")
        + l.toString(qlonglong(lineCount)) + QStringLiteral(" total lines)");
}

QString ModifiedText(bool modified)
{
    return modified ? QStringLiteral("Text is MODIFIED") : QStringLiteral("Text is NOT modified");
}
