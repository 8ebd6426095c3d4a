#include "TextLayout.h"

#include "EnhancedRichEdit.h"
#include "LineRules.h"

using namespace LineRules;

void TTextLayoutCounts::Add(const TTextLayoutCounts &other)
{
    EmptyLineStarts += other.EmptyLineStarts;
    IndentedStarts += other.IndentedStarts;
    SentenceStarts += other.SentenceStarts;
    ContinuedLines += other.ContinuedLines;
    CapitalContinuedLines += other.CapitalContinuedLines;
}

bool TTextLayoutCounts::IsVerse() const
{
    // A few dozen lines say nothing; then most continued lines begin with a capital.
    return ContinuedLines >= 20 && CapitalContinuedLines * 2 >= ContinuedLines;
}

bool TTextLayoutCounts::IsPoorlyWritten() const
{
    const qint64 marks = qint64(EmptyLineStarts) + IndentedStarts;
    if (marks == 0)
        return true;
    return IsVerse() ? marks * 4 < SentenceStarts : marks < SentenceStarts;
}

TTextLayoutCounts CountTextLayout(const QStringList &lines)
{
    TTextLayoutCounts counts;
    QStringView previous; // trimmed; empty after an empty line
    bool first = true;
    for (const QString &raw : lines) {
        const QStringView line = Trimmed(raw);
        if (line.isEmpty()) {
            previous = QStringView();
            continue;
        }
        const char16_t start = line.front().unicode();
        if (previous.isEmpty()) {
            if (!first)
                ++counts.EmptyLineStarts;
        } else if (IsAnySentenceEnd(previous.back().unicode())) {
            if (TEnhancedRichEdit::IsIndentedLine(raw))
                ++counts.IndentedStarts;
            else if (IsUpperLetter(start) || IsAnyQuotation(start))
                ++counts.SentenceStarts;
        } else {
            ++counts.ContinuedLines;
            if (line.front().isUpper())
                ++counts.CapitalContinuedLines;
        }
        previous = line;
        first = false;
    }
    return counts;
}
