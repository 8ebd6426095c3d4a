#include "TypographyMeasures.h"

#include "HyphenatedLines.h"
#include "RichDocument.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

TGapCount CountGaps(const QTextDocument &document, double limit)
{
    TGapCount count;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        if (!layout || layout->lineCount() < 2 || !(block.blockFormat().alignment() & Qt::AlignJustify))
            continue;
        QTextCharFormat format = block.charFormat();
        if (block.begin() != block.end())
            format = block.begin().fragment().charFormat();
        const double space = QFontMetricsF(format.font()).horizontalAdvance(QLatin1Char(' '));
        if (space <= 0)
            continue;
        const QString text = block.text();
        for (int i = 0; i + 1 < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            int end = line.textStart() + line.textLength();
            while (end > line.textStart() && text.at(end - 1).isSpace())
                --end;
            int gaps = 0;
            for (int k = line.textStart(); k < end; ++k)
                if (text.at(k) == QLatin1Char(' '))
                    ++gaps;
            if (gaps == 0)
                continue;
            const double extra = std::max(0.0, line.width() - line.naturalTextWidth());
            const double widest = (space + extra / gaps) / space;
            ++count.Lines;
            if (widest > limit)
                ++count.Wide;
            if (end > 0 && text.at(end - 1) == SoftHyphen)
                ++count.Hyphenated;
        }
    }
    return count;
}

double LimitAllHyphenatedRuns(TRichDocument &document)
{
    QElapsedTimer timer;
    timer.start();
    for (QTextBlock block = document.Document()->begin(); block.isValid(); block = block.next())
        ChooseHyphenation(document, block);
    return timer.nsecsElapsed() / 1e6;
}
