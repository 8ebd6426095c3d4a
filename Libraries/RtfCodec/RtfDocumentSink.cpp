#include "RtfDocumentSink.h"

#include <QImage>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace {

constexpr QChar LineSeparator(QChar::LineSeparator);
constexpr QChar ParagraphSeparator(QChar::ParagraphSeparator);

} // namespace

TRtfDocumentSink::TRtfDocumentSink(TRichDocument &document) : Document(document)
{
    Document.BeginBulk();
    Building = true;
    Cursor = Document.BulkCursor();
    BaseChar = Cursor.blockCharFormat();
    BaseBlock = Cursor.blockFormat();
    MarkFormat = BaseChar;
}

TRtfDocumentSink::~TRtfDocumentSink()
{
    if (Building)
        DocumentEnd();
}

const QTextCharFormat &TRtfDocumentSink::QtFormat(const TRtfTextFormat &format)
{
    const QString &link = Links.empty() ? QString() : Links.back();
    if (LastFormat < Formats.size() && Formats[LastFormat].Format == format && Formats[LastFormat].Link == link)
        return Formats[LastFormat].Qt;
    for (size_t i = 0; i < Formats.size(); ++i) {
        if (Formats[i].Format == format && Formats[i].Link == link) {
            LastFormat = i;
            return Formats[i].Qt;
        }
    }
    if (Formats.size() >= 256)
        Formats.clear();
    QTextCharFormat qt = BaseChar;
    qt.merge(ToQtCharFormat(format.Format));
    if (format.VerticalAlign == TRtfVerticalAlign::Super)
        qt.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (format.VerticalAlign == TRtfVerticalAlign::Sub)
        qt.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (!link.isEmpty()) {
        qt.setAnchor(true);
        qt.setAnchorHref(link);
    }
    Formats.push_back(TCached{format, link, qt});
    LastFormat = Formats.size() - 1;
    return Formats.back().Qt;
}

void TRtfDocumentSink::Append(const QString &text, const QTextCharFormat &format)
{
    const int start = int(Paragraph.size());
    Paragraph += text;
    if (!Runs.empty() && Runs.back().Start + Runs.back().Length == start && Runs.back().Format == format)
        Runs.back().Length += int(text.size());
    else
        Runs.push_back(TRun{start, int(text.size()), format});
    MarkFormat = format;
}

void TRtfDocumentSink::AddTabs()
{
    if (PendingTabs <= 0)
        return;
    const QString tabs(PendingTabs, QLatin1Char('\t'));
    PendingTabs = 0;
    Append(tabs, MarkFormat);
}

void TRtfDocumentSink::Text(const QString &text, const TRtfTextFormat &format)
{
    if (text.isEmpty())
        return;
    AddTabs();
    Append(text, QtFormat(format));
    CellHasText = true;
}

void TRtfDocumentSink::AddPending(const QString &text, const QTextCharFormat &format)
{
    if (Pending.isEmpty()) {
        PendingFormat = format;
    } else if (!(format == PendingFormat)) {
        FlushPending();
        PendingFormat = format;
    }
    Pending += text;
}

void TRtfDocumentSink::FlushPending()
{
    if (Pending.isEmpty())
        return;
    Cursor.insertText(Pending, PendingFormat);
    Pending.clear();
}

void TRtfDocumentSink::Finish(const TParaFormat &format)
{
    if (!HasLastPara || !SameParaFormat(format, LastPara)) {
        QTextBlockFormat block = BaseBlock;
        MergeQtBlockFormat(block, format);
        const bool changed = !HasLastPara || !(block == LastBlock);
        LastPara = format;
        LastBlock = block;
        HasLastPara = true;
        if (changed && !FirstParagraph) {
            FlushPending();
            Cursor.insertBlock(LastBlock, MarkFormat);
        } else if (!FirstParagraph) {
            AddPending(QString(ParagraphSeparator), MarkFormat);
        }
    } else if (!FirstParagraph) {
        // A new paragraph like the last one: the separator goes in with the text.
        AddPending(QString(ParagraphSeparator), MarkFormat);
    }
    if (FirstParagraph) {
        Cursor.setBlockFormat(LastBlock);
        Cursor.setBlockCharFormat(Runs.empty() ? MarkFormat : Runs.front().Format);
        FirstParagraph = false;
    }
    for (const TRun &run : Runs)
        AddPending(Paragraph.mid(run.Start, run.Length), run.Format);
    Paragraph.clear();
    Runs.clear();
    InRow = false;
    PendingTabs = 0;
    CellHasText = false;
}

void TRtfDocumentSink::ChopLineSeparator()
{
    if (CellHasText || !Paragraph.endsWith(LineSeparator))
        return;
    Paragraph.chop(1);
    if (!Runs.empty() && --Runs.back().Length <= 0)
        Runs.pop_back();
}

void TRtfDocumentSink::ParagraphEnd(const TParaFormat &format, bool inTable)
{
    if (inTable) {
        // A paragraph mark inside a cell: the row stays one paragraph.
        InRow = true;
        if (CellHasText) {
            AddTabs();
            Append(QString(LineSeparator), MarkFormat);
            CellHasText = false;
        }
        return;
    }
    Finish(format);
}

void TRtfDocumentSink::CellEnd()
{
    InRow = true;
    ChopLineSeparator(); // the cell's own paragraph mark may have ended it already
    ++PendingTabs;
    CellHasText = false;
}

void TRtfDocumentSink::RowEnd(const TParaFormat &format, const QVector<int> &cellRight)
{
    if (!InRow && Paragraph.isEmpty())
        return;
    ChopLineSeparator();
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
    const QImage picture = QImage::fromData(data, format);
    if (picture.isNull())
        return; // a picture Qt cannot decode is left out rather than shown as a box
    AddTabs();
    TRtfTextFormat plain = textFormat;
    plain.VerticalAlign = TRtfVerticalAlign::Normal;
    const QString name = QStringLiteral("rtf-picture-%1").arg(++Pictures);
    Cursor.document()->addResource(QTextDocument::ImageResource, QUrl(name), picture);
    QTextImageFormat image;
    image.merge(QtFormat(plain));
    image.setObjectType(QTextFormat::ImageObject);
    image.setName(name);
    image.setWidth(widthTwips > 0 ? TwipsToPixels(widthTwips) : picture.width());
    image.setHeight(heightTwips > 0 ? TwipsToPixels(heightTwips) : picture.height());
    Append(QString(QChar(QChar::ObjectReplacementCharacter)), image);
    CellHasText = true;
}

void TRtfDocumentSink::LinkBegin(const QString &target)
{
    Links.push_back(target);
}

void TRtfDocumentSink::LinkEnd()
{
    if (!Links.empty())
        Links.pop_back();
}

void TRtfDocumentSink::DocumentEnd()
{
    if (!Building)
        return;
    if (!Paragraph.isEmpty() || PendingTabs > 0 || InRow)
        Finish(TParaFormat());
    FlushPending();
    Cursor = QTextCursor();
    Document.EndBulk();
    Building = false;
}
