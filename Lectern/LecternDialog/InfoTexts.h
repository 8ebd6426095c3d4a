// Texts of the labels that the information timer refreshes.
#pragma once

#include <QLocale>
#include <QString>

// "Top line 1,234 (56,789 total lines)": firstVisibleLine counts from 0, the
// numbers carry the locale's thousands separator.
QString LineNumberText(int firstVisibleLine, int lineCount, const QLocale &locale = QLocale());
// "Text is MODIFIED" / "Text is NOT modified".
QString ModifiedText(bool modified);
