// Where the enhancement engine sends its paragraphs. The engine's text
// processing (lines in, paragraphs with formats and colour runs out) knows
// nothing of documents; TRichDocumentSink builds the rich-box's document,
// TRecordingParagraphSink keeps what it gets for tests and measurements.
#pragma once

#include "RichDocument.h"

#include <QString>
#include <QVector>

class TParagraphSink {
public:
    virtual ~TParagraphSink() = default;

    virtual void BeginRun() {}
    // One paragraph without its line end. The formats are given only when the
    // paragraph differs from the base format (null otherwise); the runs are
    // the quote colours, relative to the paragraph's text, applied in order.
    virtual void Paragraph(const QString &text, const TCharFormat *charFormat, const TParaFormat *paraFormat,
                           const QVector<TFormatRun> &runs)
        = 0;
    // A format for all text so far and all text to come (null: no change).
    virtual void WholeTextFormat(const TCharFormat *charFormat, const TParaFormat *paraFormat) {}
    // The paragraphs so far are to be shown while the run goes on.
    virtual void Show() {}
    // Always called once at the end of a run, also after a failure;
    // `cancelled`: the run was stopped and its text is to be dropped.
    virtual void EndRun(bool cancelled) {}
};

// Appends the paragraphs to a rich-box document through its bulk interface.
class TRichDocumentSink : public TParagraphSink {
public:
    explicit TRichDocumentSink(TRichDocument *document) : Document(document) {}

    void BeginRun() override;
    void Paragraph(const QString &text, const TCharFormat *charFormat, const TParaFormat *paraFormat,
                   const QVector<TFormatRun> &runs) override;
    void WholeTextFormat(const TCharFormat *charFormat, const TParaFormat *paraFormat) override;
    void Show() override;
    void EndRun(bool cancelled) override;

private:
    TRichDocument *Document;
};

// Keeps the paragraphs (or only counts them when KeepParagraphs is false).
class TRecordingParagraphSink : public TParagraphSink {
public:
    struct TParagraph {
        QString Text;
        bool HasCharFormat = false;
        bool HasParaFormat = false;
        TCharFormat CharFormat;
        TParaFormat ParaFormat;
        QVector<TFormatRun> Runs;
    };
    struct TWholeTextChange {
        int BeforeParagraph = 0; // index of the next paragraph when it came
        bool HasCharFormat = false;
        bool HasParaFormat = false;
        TCharFormat CharFormat;
        TParaFormat ParaFormat;
    };

    bool KeepParagraphs = true;
    QVector<TParagraph> Paragraphs;
    QVector<TWholeTextChange> WholeTextChanges;
    int ParagraphCount = 0;
    int FormattedCount = 0; // paragraphs with a format of their own
    int RunCount = 0;
    qint64 CharacterCount = 0;
    int Runs = 0; // BeginRun calls
    bool Ended = false;
    bool Cancelled = false;

    void BeginRun() override;
    void Paragraph(const QString &text, const TCharFormat *charFormat, const TParaFormat *paraFormat,
                   const QVector<TFormatRun> &runs) override;
    void WholeTextFormat(const TCharFormat *charFormat, const TParaFormat *paraFormat) override;
    void EndRun(bool cancelled) override;

    QStringList Texts() const;
};
