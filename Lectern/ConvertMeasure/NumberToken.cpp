#include "NumberToken.h"

#include "RichDocument.h"
#include "TextParsers.h"

#include <QLocale>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <cfloat>

namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

bool IsTokenChar(QChar c)
{
    return IsDigit(c) || c == QLatin1Char('.') || c == QLatin1Char(',') || c == QLatin1Char('\'')
        || c == QLatin1Char('`');
}

} // namespace

QChar LocaleDecimalSeparator()
{
    return QLocale().toString(1.1, 'g') == QLatin1String("1.1") ? QLatin1Char('.') : QLatin1Char(',');
}

QString NumberAtLineOffset(QStringView line, int p, QChar decimalSeparator)
{
    const int length = int(line.size());
    if (p < 1 || p > length)
        return QString();
    // A mark belongs to the number only between two digits.
    int first = p;
    for (int i = p - 1; i >= 0; --i) {
        const QChar c = line[i];
        if (!IsTokenChar(c) || (!IsDigit(c) && (i == 0 || !IsDigit(line[i - 1]))))
            break;
        first = i;
    }
    int end = p;
    for (int i = p; i < length; ++i) {
        const QChar c = line[i];
        if (!IsTokenChar(c) || (!IsDigit(c) && (i == length - 1 || !IsDigit(line[i + 1]))))
            break;
        end = i + 1;
    }
    QString token;
    bool digit = false;
    for (int i = first; i < end; ++i) {
        const QChar c = line[i];
        if (IsDigit(c)) {
            token += c;
            digit = true;
        } else if (c == decimalSeparator) {
            token += c;
        }
    }
    return digit ? token : QString();
}

QString NumberAtCharIndex(const TRichDocument &document, int index, QChar decimalSeparator)
{
    if (index < 0)
        return QString();
    const QTextDocument *doc = document.Document();
    const int qtPosition = document.ToQtPosition(index);
    const QTextBlock block = doc->findBlock(qtPosition);
    if (!block.isValid())
        return QString();
    // A position on the LF half of a paragraph break stands on the line's end.
    const int inBlock = qtPosition - block.position();
    const QString text = block.text();
    int lineStart = 0;
    int lineLength = int(text.size());
    if (const QTextLayout *layout = block.layout(); layout && layout->lineCount() > 0) {
        const QTextLine line = layout->lineForTextPosition(qMin(inBlock, int(text.size())));
        if (line.isValid()) {
            lineStart = line.textStart();
            lineLength = line.textLength();
        }
    }
    return NumberAtLineOffset(QStringView(text).mid(lineStart, lineLength), inBlock - lineStart, decimalSeparator);
}

bool NumberTokenValue(const QString &token, QChar decimalSeparator, double *value)
{
    QString text = token;
    if (decimalSeparator != QLatin1Char('.'))
        text.replace(decimalSeparator, QLatin1Char('.'));
    bool invalid = true;
    const double x = GetRealFromText(text, &invalid, 0.0, DBL_MAX, -DBL_MAX);
    if (value)
        *value = x;
    return !invalid;
}
