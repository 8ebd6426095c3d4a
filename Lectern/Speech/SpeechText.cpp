#include "SpeechText.h"

#include "BookText.h"
#include "EnhancedRichEdit.h"
#include "SpeechSentences.h"

#include <QTextDocument>
#include <QTextFragment>

namespace {

// The colour a brush paints with, or an invalid colour for no brush.
QColor BrushColor(const QBrush &brush) { return brush.style() == Qt::NoBrush ? QColor() : brush.color(); }

} // namespace

TSpeechText::TSpeechText(const TRichDocument *document, const QString &prefix, TColor background, int maxSentence)
    : Document(document), Prefix(prefix), Background(ToQColor(background)), MaxSentence(maxSentence)
{}

QString TSpeechText::ReadableText(const QTextBlock &block, bool *heading) const
{
    QString text = block.text();
    const QColor blockBack = BrushColor(block.blockFormat().background());
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const QTextCharFormat format = fragment.charFormat();
        QColor back = BrushColor(format.background());
        if (!back.isValid())
            back = blockBack.isValid() ? blockBack : Background;
        const QColor fore = BrushColor(format.foreground());
        const bool hidden = fore.isValid() && back.isValid() && fore.rgb() == back.rgb();
        if (hidden || format.isImageFormat()) {
            const int start = fragment.position() - block.position();
            for (int i = start; i < start + fragment.length() && i < text.size(); ++i)
                text[i] = QLatin1Char(' ');
        }
    }
    // Soft hyphens the document added for hyphenation are no part of the words.
    text = Document->BookText(text, block.position());
    const bool isHeading = TEnhancedRichEdit::IsChapterHeading(QStringView(text).trimmed());
    // Headings are shown without the prefix.
    if (!isHeading && !Prefix.isEmpty() && text.startsWith(Prefix))
        text.replace(0, Prefix.size(), QString(Prefix.size(), QLatin1Char(' ')));
    if (heading)
        *heading = isHeading;
    return text;
}

bool TSpeechText::Enter(const QTextBlock &block)
{
    Block = block;
    From = 0;
    FirstOfParagraph = true;
    if (!block.isValid())
        return false;
    Paragraph = ReadableText(block, &ParagraphHeading);
    ParagraphPosition = Document->FromQtPosition(block.position());
    if (IsEndMarker(Paragraph, &PieceEnd)) {
        EndMarker = true;
        Block = QTextBlock();
        return false;
    }
    return true;
}

void TSpeechText::Seek(int position)
{
    EndMarker = false;
    Started = false;
    PreviousHeading = false;
    const QTextDocument *doc = Document->Document();
    if (!Enter(doc->findBlock(Document->ToQtPosition(std::max(0, position)))))
        return;
    TSentenceSpan span;
    const TSentenceSplitter splitter(Paragraph, MaxSentence);
    From = splitter.SentenceAt(position - ParagraphPosition, span) ? span.Start : int(Paragraph.size());
}

void TSpeechText::SeekExactly(int position)
{
    Seek(position);
    if (Block.isValid())
        From = std::clamp(position - ParagraphPosition, 0, int(Paragraph.size()));
}

QString TSpeechText::Beginning(int length, QVector<int> &positions) const
{
    QString text;
    positions.clear();
    for (QTextBlock block = Document->Document()->firstBlock(); block.isValid() && text.size() < length;
         block = block.next()) {
        const QString paragraph = ReadableText(block);
        if (IsEndMarker(paragraph))
            break;
        const int position = Document->FromQtPosition(block.position());
        if (!text.isEmpty()) {
            text += QLatin1Char('\n');
            positions.append(position - 2); // the paragraph break before it
        }
        text += paragraph;
        for (int i = 0; i < paragraph.size(); ++i)
            positions.append(position + i);
    }
    positions.append(positions.isEmpty() ? 0 : positions.last() + 1);
    return text;
}

bool TSpeechText::Next(TSpokenSentence &sentence)
{
    while (Block.isValid()) {
        const TSentenceSplitter splitter(Paragraph, MaxSentence);
        TSentenceSpan span;
        while (splitter.Next(From, span)) {
            From = span.End();
            QString spoken = SpokenText(QStringView(Paragraph).mid(span.Start, span.Length));
            if (spoken.isEmpty())
                continue;
            sentence.Start = ParagraphPosition + span.Start;
            sentence.Length = span.Length;
            sentence.Text = std::move(spoken);
            sentence.Heading = ParagraphHeading;
            // Silence before a heading and after it.
            const bool headingEdge = FirstOfParagraph && (ParagraphHeading || PreviousHeading);
            sentence.PauseBefore = Started && headingEdge ? HeadingPause : 0;
            FirstOfParagraph = false;
            Started = true;
            return true;
        }
        // Empty paragraphs and lines without words neither make nor end a
        // heading's silence.
        if (!FirstOfParagraph)
            PreviousHeading = ParagraphHeading;
        Enter(Block.next());
    }
    return false;
}

bool FindContinuation(const QString &tail, QStringView nextStart, int &from, int &to)
{
    // Neighbouring pieces repeat at most 40 bytes, so at most 40 characters.
    constexpr int longest = 48;
    constexpr int shortest = 4;
    // The start of the next piece the way the tail was made: spaces
    // collapsed, emphasis marks left out; with the offset of each character.
    QString start;
    QVector<int> offsets;
    int i = 0;
    for (; i < nextStart.size() && start.size() < longest; ++i) {
        const QChar c = nextStart[i];
        if (c == QLatin1Char('_') || c == QLatin1Char('*'))
            continue;
        const bool space = c.isSpace() || c == QChar::LineSeparator || c == QChar::Nbsp;
        if (space && (start.isEmpty() || start.endsWith(QLatin1Char(' '))))
            continue;
        start += space ? QLatin1Char(' ') : c;
        offsets.append(i);
    }
    offsets.append(i);
    // The longest start that the tail ends with, or that ends with the tail.
    for (int n = int(start.size()); n >= shortest; --n) {
        const QStringView head = QStringView(start).left(n);
        if (n <= tail.size() ? tail.endsWith(head) : head.endsWith(tail)) {
            from = n <= tail.size() ? offsets[0] : offsets[n - int(tail.size())];
            to = offsets[n];
            return true;
        }
    }
    return false;
}
