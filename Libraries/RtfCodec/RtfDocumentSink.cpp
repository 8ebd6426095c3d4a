#include "RtfDocumentSink.h"

#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace {

constexpr QChar LineSeparator(QChar::LineSeparator);
constexpr QChar ParagraphSeparator(QChar::ParagraphSeparator);

// A grey box with a cross, at the picture's size, standing for a picture
// that cannot be shown.
QImage PlaceholderPicture(int widthTwips, int heightTwips)
{
    auto pixels = [](int twips, int fallback) {
        return twips > 0 ? std::clamp(int(TwipsToPixels(twips) + 0.5), 8, 1200) : fallback;
    };
    QImage box(pixels(widthTwips, 96), pixels(heightTwips, 64), QImage::Format_Grayscale8);
    box.fill(QColor(236, 236, 236));
    QPainter painter(&box);
    painter.setPen(QColor(150, 150, 150));
    painter.drawRect(box.rect().adjusted(0, 0, -1, -1));
    painter.setPen(QColor(200, 200, 200));
    painter.drawLine(box.rect().topLeft(), box.rect().bottomRight());
    painter.drawLine(box.rect().bottomLeft(), box.rect().topRight());
    return box;
}

} // namespace

TRtfDocumentSink::TRtfDocumentSink(TRichDocument &document) : Document(document)
{
    Document.BeginBulk();
    Building = true;
}

// Takes the bulk cursor when the first thing arrives, so a document with
// nothing in it stays a fresh, empty document.
void TRtfDocumentSink::Start()
{
    if (Started)
        return;
    Started = true;
    Cursor = Document.BulkCursor();
    // Inside an edit block the cursor does not lay out the paragraph after
    // every insertion to find its x position.
    Cursor.beginEditBlock();
    BaseChar = Cursor.blockCharFormat();
    BaseBlock = Cursor.blockFormat();
    BlockFormat = BaseBlock;
    MarkFormat = BaseChar;
}

TRtfDocumentSink::~TRtfDocumentSink()
{
    if (Building)
        DocumentEnd();
}

const QTextCharFormat &TRtfDocumentSink::QtFormat(const TRtfTextFormat &format)
{
    Start();
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

// Puts out what is due before new content: the paragraph separator, a line
// break for a paragraph mark inside a cell, tabs for ended cells.
void TRtfDocumentSink::BeforeContent()
{
    if (SeparatorDue) {
        AddPending(QStringView(&ParagraphSeparator, 1), MarkFormat);
        SeparatorDue = false;
    }
    if (PendingTabs > 0) {
        LineBreakDue = false; // a cell's last paragraph mark ends nothing more
        const QString tabs(PendingTabs, QLatin1Char('\t'));
        PendingTabs = 0;
        AddPending(tabs, MarkFormat);
    }
    if (LineBreakDue) {
        AddPending(QStringView(&LineSeparator, 1), MarkFormat);
        LineBreakDue = false;
    }
}

void TRtfDocumentSink::Content(QStringView text, const QTextCharFormat &format)
{
    BeforeContent();
    if (!PendingMarks.isEmpty() && !text.isEmpty()) {
        // The bookmarks stand before the first character.
        const qsizetype first = text.size() > 1 && text.at(0).isHighSurrogate() ? 2 : 1;
        QTextCharFormat marked = format;
        marked.setProperty(PropBookmarks, PendingMarks);
        PendingMarks.clear();
        AddPending(text.left(first), marked);
        text = text.mid(first);
    }
    if (!text.isEmpty())
        AddPending(text, format);
    MarkFormat = format;
    ParagraphHasContent = true;
    CellHasText = true;
}

void TRtfDocumentSink::Text(const QString &text, const TRtfTextFormat &format)
{
    if (!text.isEmpty())
        Content(text, QtFormat(format));
}

void TRtfDocumentSink::AddPending(QStringView text, const QTextCharFormat &format)
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

// Ends the paragraph whose text went in last: it gets its block format
// (only where that differs from the block's, which takes a flush), and the
// separator to the next one is put out when something follows.
void TRtfDocumentSink::Finish(const TParaFormat &format)
{
    Start();
    if (SeparatorDue) {
        // An empty paragraph.
        AddPending(QStringView(&ParagraphSeparator, 1), MarkFormat);
        SeparatorDue = false;
    }
    if (!HasLastPara || !SameParaFormat(format, LastPara)) {
        QTextBlockFormat block = BaseBlock;
        MergeQtBlockFormat(block, format);
        LastPara = format;
        HasLastPara = true;
        if (!(block == BlockFormat)) {
            FlushPending();
            Cursor.setBlockFormat(block);
            BlockFormat = block;
        }
    }
    MarkParagraphEnd();
    SeparatorDue = true;
    ParagraphHasContent = false;
    InRow = false;
    PendingTabs = 0;
    LineBreakDue = false;
    CellHasText = false;
}

void TRtfDocumentSink::ParagraphEnd(const TParaFormat &format, bool inTable)
{
    if (inTable) {
        // A paragraph mark inside a cell: the row stays one paragraph.
        InRow = true;
        if (CellHasText) {
            LineBreakDue = true;
            CellHasText = false;
        }
        return;
    }
    Finish(format);
}

void TRtfDocumentSink::CellEnd()
{
    InRow = true;
    LineBreakDue = false; // the cell's own paragraph mark ends nothing more
    ++PendingTabs;
    CellHasText = false;
}

void TRtfDocumentSink::RowEnd(const TParaFormat &format, const QVector<int> &cellRight)
{
    if (!InRow && !ParagraphHasContent)
        return;
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

void TRtfDocumentSink::MarkParagraphEnd()
{
    if (PendingMarks.isEmpty())
        return;
    Start();
    FlushPending();
    QTextBlockFormat block = Cursor.blockFormat();
    block.setProperty(PropBookmarksAtEnd, block.property(PropBookmarksAtEnd).toStringList() + PendingMarks);
    PendingMarks.clear();
    Cursor.setBlockFormat(block);
    BlockFormat = block;
    HasLastPara = false; // the next paragraph sets a format without the marks
}

void TRtfDocumentSink::Image(const QByteArray &data, const char *format, int widthTwips, int heightTwips,
                             const TRtfTextFormat &textFormat)
{
    const QImage picture = QImage::fromData(data, format);
    if (picture.isNull())
        return; // a picture Qt cannot decode is left out rather than shown as a box
    AddPicture(picture, widthTwips, heightTwips, textFormat, QByteArray(), QByteArray());
}

void TRtfDocumentSink::KeptPicture(const QByteArray &controls, const QByteArray &data, int widthTwips, int heightTwips,
                                   const TRtfTextFormat &textFormat)
{
    AddPicture(PlaceholderPicture(widthTwips, heightTwips), widthTwips, heightTwips, textFormat, controls, data);
}

void TRtfDocumentSink::Bookmark(const QString &name, bool start)
{
    if (PendingMarks.size() < 1024)
        PendingMarks << (start ? QLatin1Char('+') : QLatin1Char('-')) + name;
}

void TRtfDocumentSink::AddPicture(const QImage &picture, int widthTwips, int heightTwips,
                                  const TRtfTextFormat &textFormat, const QByteArray &keptControls,
                                  const QByteArray &keptData)
{
    Start();
    TRtfTextFormat plain = textFormat;
    plain.VerticalAlign = TRtfVerticalAlign::Normal;
    const QTextCharFormat textQt = QtFormat(plain);
    const QString name = QStringLiteral("rtf-picture-%1").arg(++Pictures);
    Cursor.document()->addResource(QTextDocument::ImageResource, QUrl(name), picture);
    QTextImageFormat image;
    image.merge(textQt);
    image.setObjectType(QTextFormat::ImageObject);
    image.setName(name);
    image.setWidth(widthTwips > 0 ? TwipsToPixels(widthTwips) : picture.width());
    image.setHeight(heightTwips > 0 ? TwipsToPixels(heightTwips) : picture.height());
    if (!keptData.isEmpty()) {
        image.setProperty(PropKeptPictureControls, keptControls);
        image.setProperty(PropKeptPictureData, keptData);
    }
    const QChar object(QChar::ObjectReplacementCharacter);
    Content(QStringView(&object, 1), image);
    MarkFormat = textQt;
}

void TRtfDocumentSink::LinkBegin(const QString &target) { Links.push_back(target); }

void TRtfDocumentSink::LinkEnd()
{
    if (!Links.empty())
        Links.pop_back();
}

void TRtfDocumentSink::DocumentEnd()
{
    if (!Building)
        return;
    if (ParagraphHasContent || PendingTabs > 0 || InRow)
        Finish(TParaFormat());
    MarkParagraphEnd(); // bookmarks after the last paragraph mark
    if (Started) {
        FlushPending();
        Cursor.endEditBlock();
        Cursor = QTextCursor();
    }
    Document.EndBulk();
    Building = false;
}
