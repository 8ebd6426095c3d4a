#include "RtfDocumentSink.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

TRtfDocumentSink::TRtfDocumentSink(TRichDocument &document) : Document(document)
{
    Document.BeginBulk();
    Building = true;
}

TRtfDocumentSink::~TRtfDocumentSink()
{
    if (Building)
        DocumentEnd();
}

void TRtfDocumentSink::AddTabs()
{
    if (PendingTabs <= 0)
        return;
    const QString tabs(PendingTabs, QLatin1Char('\t'));
    PendingTabs = 0;
    TRtfTextFormat format;
    if (!Runs.isEmpty())
        format.Format = Runs.last().Format;
    else if (HasLastFormat)
        format.Format = LastFormat;
    Append(tabs, format);
}

void TRtfDocumentSink::Append(const QString &text, const TRtfTextFormat &format)
{
    const int start = int(Paragraph.size());
    Paragraph += text;
    if (!Runs.isEmpty() && Runs.last().Start + Runs.last().Length == start &&
        SameCharFormat(Runs.last().Format, format.Format)) {
        Runs.last().Length += int(text.size());
    } else {
        Runs.append(TFormatRun{start, int(text.size()), format.Format});
    }
    if (format.VerticalAlign != TRtfVerticalAlign::Normal) {
        if (!Raised.empty() && Raised.back().At.Paragraph == Paragraphs &&
            Raised.back().At.Offset + Raised.back().Length == start && Raised.back().Align == format.VerticalAlign)
            Raised.back().Length += int(text.size());
        else
            Raised.push_back(TRaised{TMark{Paragraphs, start}, int(text.size()), format.VerticalAlign});
    }
    LastFormat = format.Format;
    HasLastFormat = true;
}

void TRtfDocumentSink::Text(const QString &text, const TRtfTextFormat &format)
{
    if (text.isEmpty())
        return;
    AddTabs();
    Append(text, format);
    CellHasText = true;
}

void TRtfDocumentSink::Finish(const TParaFormat &format)
{
    if (Runs.isEmpty() && HasLastFormat)
        Document.AppendParagraph(Paragraph, &LastFormat, &format);
    else
        Document.AppendParagraph(Paragraph, nullptr, &format, Runs);
    ++Paragraphs;
    Paragraph.clear();
    Runs.clear();
    InRow = false;
    PendingTabs = 0;
    CellHasText = false;
}

void TRtfDocumentSink::ParagraphEnd(const TParaFormat &format, bool inTable)
{
    if (inTable) {
        // A paragraph mark inside a cell: the row stays one paragraph.
        InRow = true;
        if (CellHasText) {
            AddTabs();
            TRtfTextFormat lineFormat;
            lineFormat.Format = HasLastFormat ? LastFormat : TCharFormat();
            Append(QString(QChar(QChar::LineSeparator)), lineFormat);
            CellHasText = false;
        }
        return;
    }
    Finish(format);
}

void TRtfDocumentSink::CellEnd()
{
    InRow = true;
    // A cell's own paragraph mark may have ended it already.
    if (!Paragraph.isEmpty() && Paragraph.endsWith(QChar(QChar::LineSeparator)) && !CellHasText) {
        Paragraph.chop(1);
        if (!Runs.isEmpty() && --Runs.last().Length <= 0)
            Runs.removeLast();
    }
    ++PendingTabs;
    CellHasText = false;
}

void TRtfDocumentSink::RowEnd(const TParaFormat &format, const QVector<int> &cellRight)
{
    if (!InRow && Paragraph.isEmpty())
        return;
    if (Paragraph.endsWith(QChar(QChar::LineSeparator)) && !CellHasText) {
        Paragraph.chop(1);
        if (!Runs.isEmpty() && --Runs.last().Length <= 0)
            Runs.removeLast();
    }
    TParaFormat rowFormat = format;
    rowFormat.Mask |= PFM_TABSTOPS;
    rowFormat.TabStops.clear();
    int previous = 0;
    for (int i = 0; i + 1 < cellRight.size(); ++i) {
        if (cellRight.at(i) > previous) {
            rowFormat.TabStops.append(cellRight.at(i));
            previous = cellRight.at(i);
        }
    }
    Finish(rowFormat);
}

void TRtfDocumentSink::Image(const QByteArray &data, const char *format, int widthTwips, int heightTwips,
                             const TRtfTextFormat &textFormat)
{
    QImage picture = QImage::fromData(data, format);
    if (picture.isNull())
        return; // a picture Qt cannot decode is left out rather than shown as a box
    AddTabs();
    TRtfTextFormat plain = textFormat;
    plain.VerticalAlign = TRtfVerticalAlign::Normal;
    Pictures.push_back(TPicture{Here(), picture, widthTwips, heightTwips});
    Append(QString(QChar(QChar::ObjectReplacementCharacter)), plain);
    CellHasText = true;
}

void TRtfDocumentSink::LinkBegin(const QString &target)
{
    if (OpenLinks.size() >= 16)
        return;
    AddTabs();
    OpenLinks.push_back(Here());
    OpenTargets.push_back(target);
}

void TRtfDocumentSink::LinkEnd()
{
    if (OpenLinks.empty())
        return;
    TLink link{OpenLinks.back(), Here(), OpenTargets.back()};
    OpenLinks.pop_back();
    OpenTargets.pop_back();
    if (link.Start.Paragraph != link.End.Paragraph || link.Start.Offset != link.End.Offset)
        Links.push_back(link);
}

void TRtfDocumentSink::DocumentEnd()
{
    if (!Building)
        return;
    if (!Paragraph.isEmpty() || PendingTabs > 0 || InRow) {
        TParaFormat format;
        Finish(format);
    }
    Document.EndBulk();
    Building = false;
    ApplyExtras();
}

void TRtfDocumentSink::ApplyExtras()
{
    if (Links.empty() && Raised.empty() && Pictures.empty())
        return;
    QTextDocument *doc = Document.Document();
    const bool undo = doc->isUndoRedoEnabled();
    const bool modified = doc->isModified();
    doc->setUndoRedoEnabled(false);
    const int last = doc->characterCount() - 1;
    auto position = [doc, last](const TMark &mark) {
        const QTextBlock block = doc->findBlockByNumber(mark.Paragraph);
        if (!block.isValid())
            return last;
        return std::min(block.position() + std::min(mark.Offset, block.length() - 1), last);
    };
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    for (const TRaised &raised : Raised) {
        const int start = position(raised.At);
        cursor.setPosition(start);
        cursor.setPosition(std::min(start + raised.Length, last), QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setVerticalAlignment(raised.Align == TRtfVerticalAlign::Super ? QTextCharFormat::AlignSuperScript
                                                                            : QTextCharFormat::AlignSubScript);
        cursor.mergeCharFormat(format);
    }
    for (const TLink &link : Links) {
        cursor.setPosition(position(link.Start));
        cursor.setPosition(position(link.End), QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setAnchor(true);
        format.setAnchorHref(link.Target);
        cursor.mergeCharFormat(format);
    }
    int number = 0;
    for (const TPicture &picture : Pictures) {
        const int at = position(picture.At);
        if (doc->characterAt(at) != QChar(QChar::ObjectReplacementCharacter))
            continue;
        const QString name = QStringLiteral("rtf-picture-%1").arg(++number);
        doc->addResource(QTextDocument::ImageResource, QUrl(name), picture.Picture);
        cursor.setPosition(at);
        cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
        QTextImageFormat format;
        format.merge(cursor.charFormat());
        format.setObjectType(QTextFormat::ImageObject);
        format.setName(name);
        format.setWidth(picture.WidthTwips > 0 ? TwipsToPixels(picture.WidthTwips) : picture.Picture.width());
        format.setHeight(picture.HeightTwips > 0 ? TwipsToPixels(picture.HeightTwips) : picture.Picture.height());
        cursor.setCharFormat(format);
    }
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(undo);
    doc->setModified(modified);
}
