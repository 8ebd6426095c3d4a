#include "ParagraphSink.h"

#include <QStringList>

void TRichDocumentSink::BeginRun()
{
    if (Document)
        Document->BeginBulk();
}

void TRichDocumentSink::Paragraph(const QString &text, const TCharFormat *charFormat, const TParaFormat *paraFormat,
                                  const QVector<TFormatRun> &runs)
{
    if (Document)
        Document->AppendParagraph(text, charFormat, paraFormat, runs);
}

void TRichDocumentSink::WholeTextFormat(const TCharFormat *charFormat, const TParaFormat *paraFormat)
{
    if (!Document)
        return;
    if (charFormat)
        Document->SetCharFormat(*charFormat, true);
    if (paraFormat)
        Document->SetParaFormat(*paraFormat, true);
}

void TRichDocumentSink::Show()
{
    if (Document)
        Document->ShowBulk();
}

void TRichDocumentSink::EndRun(bool cancelled)
{
    if (!Document)
        return;
    if (Document->InBulk())
        Document->EndBulk();
    if (cancelled)
        Document->Clear();
    Document->SetSelection(0, 0);
    Document->SetModified(false);
}

void TRecordingParagraphSink::BeginRun()
{
    ++Runs;
    Ended = false;
    Cancelled = false;
}

void TRecordingParagraphSink::Paragraph(const QString &text, const TCharFormat *charFormat,
                                        const TParaFormat *paraFormat, const QVector<TFormatRun> &runs)
{
    ++ParagraphCount;
    CharacterCount += text.size();
    RunCount += runs.size();
    if (charFormat || paraFormat)
        ++FormattedCount;
    if (!KeepParagraphs)
        return;
    TParagraph paragraph;
    paragraph.Text = text;
    if (charFormat) {
        paragraph.HasCharFormat = true;
        paragraph.CharFormat = *charFormat;
    }
    if (paraFormat) {
        paragraph.HasParaFormat = true;
        paragraph.ParaFormat = *paraFormat;
    }
    paragraph.Runs = runs;
    Paragraphs.append(paragraph);
}

void TRecordingParagraphSink::WholeTextFormat(const TCharFormat *charFormat, const TParaFormat *paraFormat)
{
    TWholeTextChange change;
    change.BeforeParagraph = ParagraphCount;
    if (charFormat) {
        change.HasCharFormat = true;
        change.CharFormat = *charFormat;
    }
    if (paraFormat) {
        change.HasParaFormat = true;
        change.ParaFormat = *paraFormat;
    }
    WholeTextChanges.append(change);
}

void TRecordingParagraphSink::EndRun(bool cancelled)
{
    Ended = true;
    Cancelled = cancelled;
}

QStringList TRecordingParagraphSink::Texts() const
{
    QStringList texts;
    texts.reserve(Paragraphs.size());
    for (const TParagraph &paragraph : Paragraphs)
        texts.append(paragraph.Text);
    return texts;
}
