// Builds what the RTF reader reports into a TRichDocument during a bulk
// build, through the bulk cursor with Qt formats made once per distinct RTF
// format (so equal formats are one shared Qt format and consecutive text of
// one format goes in with one insertion). Character and paragraph formats
// mean what the rich document's conversions say. Table rows become one
// paragraph each, their cells separated by tabs, with tab stops at the cell
// edges. Pictures that cannot be shown become a placeholder box that keeps
// the picture; bookmarks are kept on the character they stand before, or
// on the paragraph they end.
#pragma once

#include "RtfSink.h"

#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include <vector>

class QImage;

class TRtfDocumentSink : public TRtfSink {
public:
    // Starts a bulk build of `document`; DocumentEnd hands it over.
    explicit TRtfDocumentSink(TRichDocument &document);
    ~TRtfDocumentSink() override;

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

private:
    struct TCached {
        TRtfTextFormat Format;
        QString Link;
        QTextCharFormat Qt;
    };

    void Start();
    const QTextCharFormat &QtFormat(const TRtfTextFormat &format);
    void BeforeContent();
    void Content(QStringView text, const QTextCharFormat &format);
    void AddPicture(const QImage &picture, int widthTwips, int heightTwips, const TRtfTextFormat &textFormat,
                    const QByteArray &keptControls, const QByteArray &keptData);
    // Puts the bookmarks waiting for a place on the paragraph being ended.
    void MarkParagraphEnd();
    void Finish(const TParaFormat &format);
    void AddPending(QStringView text, const QTextCharFormat &format);
    void FlushPending();

    TRichDocument &Document;
    bool Building = false;
    bool Started = false;
    QTextCursor Cursor;
    QTextCharFormat BaseChar;
    QTextBlockFormat BaseBlock;
    std::vector<TCached> Formats; // most recently made formats
    size_t LastFormat = 0;
    TParaFormat LastPara; // of the paragraph last ended
    bool HasLastPara = false;
    QTextBlockFormat BlockFormat; // of the block the text goes into now
    int Pictures = 0;
    QStringList PendingMarks; // bookmarks waiting for the next character
    std::vector<QString> Links;
    // The paragraph being read: the separator before it, its content so far
    bool SeparatorDue = false;
    bool ParagraphHasContent = false;
    QTextCharFormat MarkFormat; // of paragraph marks (the last text's)
    // Table rows
    bool InRow = false;
    int PendingTabs = 0;
    bool LineBreakDue = false; // a paragraph mark inside a cell
    bool CellHasText = false;
    // Text waiting to go into the document in one insertion
    QString Pending;
    QTextCharFormat PendingFormat;
};
