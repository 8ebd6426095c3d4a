// What the RTF reader tells whoever builds a document from it. Formats
// arrive resolved (font names, colours as 0x00BBGGRR, sizes in twips) in the
// rich-box's own records, so every sink means the same thing by them.
#pragma once

#include "RichDocument.h"

#include <QByteArray>
#include <QString>
#include <QVector>

enum class TRtfVerticalAlign { Normal, Super, Sub };

// The character format of a run of text.
struct TRtfTextFormat {
    TCharFormat Format; // face, size, effects, spacing always; colours when set
    TRtfVerticalAlign VerticalAlign = TRtfVerticalAlign::Normal;

    bool operator==(const TRtfTextFormat &other) const;
    bool operator!=(const TRtfTextFormat &other) const { return !(*this == other); }
};

bool SameCharFormat(const TCharFormat &a, const TCharFormat &b);
bool SameParaFormat(const TParaFormat &a, const TParaFormat &b);

class TRtfSink {
public:
    virtual ~TRtfSink() = default;
    // Text of the current paragraph (never holds paragraph breaks; a line
    // break inside a paragraph is U+2028, a tab '\t').
    virtual void Text(const QString &text, const TRtfTextFormat &format) = 0;
    // Ends the current paragraph, which has the given format. `inTable`: the
    // paragraph belongs to a table cell.
    virtual void ParagraphEnd(const TParaFormat &format, bool inTable) = 0;
    // Ends a table cell; its text came since the previous cell or row.
    virtual void CellEnd() = 0;
    // Ends a table row; `cellRight` holds the right edges of its cells in
    // twips from the left margin (may be empty when the row had none).
    virtual void RowEnd(const TParaFormat &format, const QVector<int> &cellRight) = 0;
    // A picture in the text. `format` is "png" or "jpeg"; the size is what
    // it should be shown at (0 when unknown).
    virtual void Image(const QByteArray &data, const char *format, int widthTwips, int heightTwips,
                       const TRtfTextFormat &textFormat)
        = 0;
    // A picture kept but not shown as itself (metafiles and other kinds the
    // reader cannot draw): its control words after \pict as they came
    // (kind, sizes, ...) and its data, for a placeholder of the given size.
    virtual void KeptPicture(const QByteArray &controls, const QByteArray &data, int widthTwips, int heightTwips,
                             const TRtfTextFormat &textFormat)
    {}
    // A bookmark starts or ends here.
    virtual void Bookmark(const QString &name, bool start) {}
    // The text between LinkBegin and LinkEnd is a link to `target`.
    virtual void LinkBegin(const QString &target) = 0;
    virtual void LinkEnd() = 0;
    // The end of the document; a last paragraph without a paragraph mark
    // has been ended before.
    virtual void DocumentEnd() = 0;
};

// Keeps every event, for tests and for replaying (footnotes are collected
// this way and shown after the text).
class TRtfRecordingSink : public TRtfSink {
public:
    enum class TKind { Text, Paragraph, Cell, Row, Image, KeptPicture, Bookmark, LinkBegin, LinkEnd, End };
    struct TEvent {
        explicit TEvent(TKind kind = TKind::End) : Kind(kind) {}
        TKind Kind;
        QString Text; // Text; LinkBegin: the target; Bookmark: the name
        TRtfTextFormat Format; // Text, Image
        TParaFormat Para; // Paragraph, Row
        bool InTable = false; // Paragraph
        bool Start = false; // Bookmark: its start (else its end)
        QVector<int> CellRight; // Row
        QByteArray Data; // Image, KeptPicture
        QByteArray ImageFormat; // Image; KeptPicture: the control words
        int Width = 0, Height = 0;
    };

    void Text(const QString &text, const TRtfTextFormat &format) override;
    void ParagraphEnd(const TParaFormat &format, bool inTable) override;
    void CellEnd() override;
    void RowEnd(const TParaFormat &format, const QVector<int> &cellRight) override;
    void Image(const QByteArray &data, const char *format, int widthTwips, int heightTwips,
               const TRtfTextFormat &textFormat) override;
    void KeptPicture(const QByteArray &controls, const QByteArray &data, int widthTwips, int heightTwips,
                     const TRtfTextFormat &textFormat) override;
    void Bookmark(const QString &name, bool start) override;
    void LinkBegin(const QString &target) override;
    void LinkEnd() override;
    void DocumentEnd() override;

    // Sends the events (except End) to another sink.
    void Replay(TRtfSink &sink) const;
    // The text: paragraphs and rows end with '\n', cells with '\t', pictures
    // show as U+FFFC.
    QString PlainText() const;
    bool IsEmpty() const { return Events.isEmpty(); }

    QVector<TEvent> Events;
};
