// Reading RTF into the rich document, writing it back, and the round trip.
#include "RtfTestUtil.h"

#include "RichDocument.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>

namespace {

QByteArray PngBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// The format of the character at a Qt position (the one after it).
QTextCharFormat QtFormatAt(const QTextDocument *doc, int qtPosition)
{
    QTextCursor cursor(const_cast<QTextDocument *>(doc));
    cursor.setPosition(qtPosition + 1);
    return cursor.charFormat();
}

// A character format with the document's defaults filled in, so that
// "unset" and "set to the default" compare equal.
TCharFormat Effective(const QTextDocument *doc, const QTextCharFormat &qt)
{
    TCharFormat format = FromQtCharFormat(qt);
    if (format.FaceName.isEmpty())
        format.FaceName = doc->defaultFont().family();
    if (format.HeightTwips <= 0)
        format.HeightTwips = int(doc->defaultFont().pointSizeF() * 20 + 0.5);
    return format;
}

// Every fragment of both documents: text, effective format, link and
// vertical alignment; and every block's paragraph format.
void CompareDocuments(const QTextDocument *a, const QTextDocument *b)
{
    QCOMPARE(b->blockCount(), a->blockCount());
    for (QTextBlock x = a->begin(), y = b->begin(); x.isValid() && y.isValid(); x = x.next(), y = y.next()) {
        QCOMPARE(y.text(), x.text());
        const TParaFormat px = FromQtBlockFormat(x.blockFormat());
        const TParaFormat py = FromQtBlockFormat(y.blockFormat());
        QVERIFY2(SameParaFormat(px, py), qPrintable(x.text()));
        for (int i = 0; i < x.length() - 1; ++i) {
            const QTextCharFormat fx = QtFormatAt(a, x.position() + i);
            const QTextCharFormat fy = QtFormatAt(b, y.position() + i);
            QVERIFY2(SameCharFormat(Effective(a, fx), Effective(b, fy)),
                     qPrintable(QStringLiteral("%1 at %2").arg(x.text()).arg(i)));
            QCOMPARE(fy.anchorHref(), fx.anchorHref());
            QCOMPARE(int(fy.verticalAlignment()), int(fx.verticalAlignment()));
            QCOMPARE(fy.isImageFormat(), fx.isImageFormat());
        }
    }
}

} // namespace

class TestRtfDocument : public QObject {
    Q_OBJECT

private slots:
    void ReadIntoDocument();
    void FailureKeepsDocument();
    void WriterOutput();
    void RoundTrip();
    void RoundTripEdges();
    void KeptPictures_data();
    void KeptPictures();
    void Bookmarks();
    void LinkEndingAParagraph();
};

void TestRtfDocument::ReadIntoDocument()
{
    const QByteArray png = PngBytes(4, 2);
    const QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue255;}"
                           "\\pard\\qc\\sa120{\\b Title}\\par"
                           "\\pard\\li360 see {\\field{\\*\\fldinst HYPERLINK \"http://example.org\"}{\\fldrslt {\\cf1 "
                           "this}}} x{\\super 2}{\\pict\\pngblip\\picwgoal600\\pichgoal300 "
        + png.toHex()
        + "}\\par"
          "\\trowd\\cellx1000\\cellx3000\\pard\\intbl A\\cell B\\cell\\row"
          "\\pard last}";
    TRichDocument doc;
    QString error;
    QVERIFY(ReadRtf(rtf, doc, &error));
    QVERIFY(error.isEmpty());
    QCOMPARE(doc.GetText(), QStringLiteral("Title\r\nsee this x2\uFFFC\r\nA\tB\r\nlast"));
    QCOMPARE(doc.ParagraphCount(), 4);
    QVERIFY(!doc.IsModified());
    const QTextDocument *qt = doc.Document();
    const QTextBlock title = qt->firstBlock();
    QCOMPARE(FromQtBlockFormat(title.blockFormat()).Alignment, PFA_CENTER);
    QCOMPARE(FromQtBlockFormat(title.blockFormat()).SpaceAfter, 120);
    QVERIFY(FromQtCharFormat(QtFormatAt(qt, 0)).Effects & CFE_BOLD);
    QCOMPARE(FromQtCharFormat(QtFormatAt(qt, 0)).FaceName, QStringLiteral("Arial"));

    const QTextBlock second = title.next();
    QCOMPARE(FromQtBlockFormat(second.blockFormat()).StartIndent, 360);
    const QTextCharFormat link = QtFormatAt(qt, second.position() + 4);
    QVERIFY(link.isAnchor());
    QCOMPARE(link.anchorHref(), QStringLiteral("http://example.org"));
    QCOMPARE(FromQtCharFormat(link).TextColor, TColor(0xFF0000));
    QVERIFY(!QtFormatAt(qt, second.position() + 8).isAnchor());
    QCOMPARE(int(QtFormatAt(qt, second.position() + 10).verticalAlignment()), int(QTextCharFormat::AlignSuperScript));
    const QTextCharFormat picture = QtFormatAt(qt, second.position() + 11);
    QVERIFY(picture.isImageFormat());
    const QTextImageFormat image = picture.toImageFormat();
    QCOMPARE(image.width(), 40.0); // 600 twips
    QCOMPARE(image.height(), 20.0);
    QCOMPARE(qt->resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>().size(), QSize(4, 2));

    const QTextBlock row = second.next();
    QCOMPARE(FromQtBlockFormat(row.blockFormat()).TabStops, QVector<int>{1000});

    // The QIODevice overload reads the same.
    QByteArray bytes = rtf;
    QBuffer buffer(&bytes);
    TRichDocument fromDevice;
    QVERIFY(ReadRtf(buffer, fromDevice, &error));
    QCOMPARE(fromDevice.GetText(), doc.GetText());
}

void TestRtfDocument::FailureKeepsDocument()
{
    TRichDocument doc;
    doc.SetPlainText(QStringLiteral("keep me"));
    QString error;
    QVERIFY(!ReadRtf(QByteArray("This is a plain text file.\r\n"), doc, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(doc.GetText(), QStringLiteral("keep me"));
    QVERIFY(!doc.InBulk());

    // An empty RTF document gives an empty document, not a failure.
    QVERIFY(ReadRtf(QByteArray("{\\rtf1}"), doc, &error));
    QCOMPARE(doc.GetText(), QString());
    QCOMPARE(doc.ParagraphCount(), 1);
    doc.AppendParagraph(QStringLiteral("later")); // and stays fresh: no empty paragraph before it
    QCOMPARE(doc.GetText(), QStringLiteral("later"));
}

void TestRtfDocument::WriterOutput()
{
    TRichDocument doc;
    doc.BeginBulk();
    TCharFormat red;
    red.Mask = CFM_COLOR | CFM_FACE | CFM_BOLD;
    red.TextColor = 0x0000FF;
    red.FaceName = QStringLiteral("Georgia");
    red.Effects = CFE_BOLD;
    TParaFormat para;
    para.Mask = PFM_ALIGNMENT | PFM_STARTINDENT | PFM_OFFSET | PFM_SPACEAFTER | PFM_LINESPACING;
    para.Alignment = PFA_JUSTIFY;
    para.StartIndent = 400;
    para.Offset = -100;
    para.SpaceAfter = 160;
    para.LineSpacingRule = 5;
    para.LineSpacing = 24;
    doc.AppendParagraph(QStringLiteral("caf\u00E9 \u20AC \u0416 {x}\\ \u2028y\tz"), nullptr, &para,
                        {TFormatRun{0, 4, red}});
    doc.EndBulk();
    const QByteArray rtf = WriteRtf(doc);
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
    QVERIFY(rtf.endsWith("}\n"));
    QVERIFY(rtf.contains("Georgia;}"));
    QVERIFY(rtf.contains("{\\colortbl;\\red255\\green0\\blue0;}"));
    QVERIFY(rtf.contains("\\b\\cf1 caf\\u233\\'e9"));
    QVERIFY(rtf.contains("\\u8364\\'80")); // the euro sign has a Windows-1252 byte
    QVERIFY(rtf.contains("\\u1046?")); // Cyrillic has not
    QVERIFY(rtf.contains("\\{x\\}\\\\")); // braces and backslash escaped
    QVERIFY(rtf.contains("\\line y\\tab z"));
    QVERIFY(rtf.contains("\\qj\\li300\\fi100\\sa160\\sl288\\slmult1"));
    for (const char c : rtf)
        QVERIFY(uchar(c) < 0x80); // 7-bit output

    // Links become HYPERLINK fields; pictures PNG blips.
    QTextDocument qt;
    QTextCursor cursor(&qt);
    QTextCharFormat anchor;
    anchor.setAnchor(true);
    anchor.setAnchorHref(QStringLiteral("https://example.org/\"q\""));
    cursor.insertText(QStringLiteral("site"), anchor);
    qt.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pic")), QImage::fromData(PngBytes(3, 3)));
    QTextImageFormat image;
    image.setName(QStringLiteral("pic"));
    image.setWidth(30);
    image.setHeight(30);
    cursor.insertImage(image);
    const QByteArray out = WriteRtf(qt);
    QVERIFY(out.contains("{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/%22q%22\"}}{\\fldrslt{"));
    QVERIFY(out.contains("{\\pict\\pngblip\\picw3\\pich3\\picwgoal450\\pichgoal450"));
}

void TestRtfDocument::RoundTrip()
{
    // What the enhancement produces: paragraph prefixes, coloured quoted
    // speech, underlined chapter headings, indents, spacing, tab stops;
    // plus links, superscripts and a picture.
    TRichDocument doc;
    doc.BeginBulk();
    TParaFormat heading;
    heading.Mask = PFM_ALIGNMENT | PFM_SPACEAFTER | PFM_SPACEBEFORE;
    heading.Alignment = PFA_CENTER;
    heading.SpaceBefore = 240;
    heading.SpaceAfter = 480;
    TCharFormat underline;
    underline.Mask = CFM_UNDERLINE | CFM_BOLD | CFM_SIZE;
    underline.Effects = CFE_UNDERLINE | CFE_BOLD;
    underline.HeightTwips = 360;
    doc.AppendParagraph(QStringLiteral("Chapter 1"), &underline, &heading);
    TParaFormat body;
    body.Mask = PFM_ALIGNMENT | PFM_STARTINDENT | PFM_OFFSET | PFM_RIGHTINDENT | PFM_LINESPACING | PFM_TABSTOPS;
    body.Alignment = PFA_JUSTIFY;
    body.StartIndent = 576;
    body.RightIndent = 288;
    body.LineSpacingRule = 5;
    body.LineSpacing = 26;
    body.TabStops = {720, 2880};
    TCharFormat quote;
    quote.Mask = CFM_COLOR;
    quote.TextColor = 0x008000;
    TCharFormat spaced;
    spaced.Mask = CFM_SPACING | CFM_FACE | CFM_ITALIC | CFM_BACKCOLOR | CFM_STRIKEOUT;
    spaced.SpacingTwips = 23;
    spaced.FaceName = QStringLiteral("Courier New");
    spaced.Effects = CFE_ITALIC | CFE_STRIKEOUT;
    spaced.BackColor = 0x00FFFF;
    doc.AppendParagraph(QStringLiteral("\u00A7 He said \u201CHello, \u041C\u0438\u0440!\u201D and left.\tEnd"), nullptr,
                        &body, {TFormatRun{10, 20, quote}, TFormatRun{36, 4, spaced}});
    doc.AppendParagraph(QString(), nullptr, &body);
    doc.AppendParagraph(QStringLiteral("\u00A7 Second paragraph with a link and x2 and \U0001F600."), nullptr, &body);
    doc.EndBulk();
    QTextDocument *qt = doc.Document();
    {
        QTextCursor cursor(qt);
        const int start = qt->findBlockByNumber(3).position();
        cursor.setPosition(start + 30);
        cursor.setPosition(start + 34, QTextCursor::KeepAnchor);
        QTextCharFormat anchor;
        anchor.setAnchor(true);
        anchor.setAnchorHref(QStringLiteral("http://example.org/page#x"));
        cursor.mergeCharFormat(anchor);
        cursor.setPosition(start + 40);
        cursor.setPosition(start + 41, QTextCursor::KeepAnchor);
        QTextCharFormat super;
        super.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        cursor.mergeCharFormat(super);
        qt->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pic")), QImage::fromData(PngBytes(5, 5)));
        QTextImageFormat image;
        image.setName(QStringLiteral("pic"));
        image.setWidth(10);
        image.setHeight(10);
        cursor.setPosition(start + 10);
        cursor.insertImage(image);
    }

    const QByteArray rtf = WriteRtf(doc);
    TRichDocument again;
    QString error;
    QVERIFY(ReadRtf(rtf, again, &error));
    QCOMPARE(again.GetText(), doc.GetText());
    CompareDocuments(qt, again.Document());
    // Writing what was read gives the same bytes.
    QCOMPARE(WriteRtf(again), rtf);
}

void TestRtfDocument::RoundTripEdges()
{
    // Empty document, a document of empty paragraphs, a last empty paragraph.
    for (const QString &text : {QString(), QStringLiteral("\r\n\r\n"), QStringLiteral("a\r\n"), QStringLiteral("a")}) {
        TRichDocument doc;
        doc.SetPlainText(text);
        TRichDocument again;
        QVERIFY(ReadRtf(WriteRtf(doc), again));
        QCOMPARE(again.GetText(), doc.GetText());
        QCOMPARE(again.ParagraphCount(), doc.ParagraphCount());
    }
    // Every character of the Basic Multilingual Plane that a document can hold.
    QString all;
    for (int c = 0x20; c < 0xFFFE; ++c) {
        const QChar ch(static_cast<char16_t>(c));
        if (ch.isSurrogate() || c == 0xFFFC || c == 0x2029)
            continue;
        all += ch;
    }
    TRichDocument doc;
    doc.SetPlainText(all);
    TRichDocument again;
    QVERIFY(ReadRtf(WriteRtf(doc), again));
    QCOMPARE(again.GetText(), doc.GetText());
}

void TestRtfDocument::KeptPictures_data()
{
    QTest::addColumn<QByteArray>("picture"); // a \pict group
    QTest::addColumn<QByteArray>("written"); // what the writer gives back
    QTest::addColumn<QSize>("box"); // placeholder in pixels
    QTest::newRow("wmf with goals") << QByteArray("{\\pict\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720 "
                                                  "0102abcd}")
                                    << QByteArray("{\\pict\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720\n"
                                                  "0102abcd\n}")
                                    << QSize(96, 48);
    QTest::newRow("emf sized in hundredths of a millimetre")
        << QByteArray("{\\pict\\emfblip\\picw2540\\pich5080 {\\*\\blipuid 00ff}ffee}")
        << QByteArray("{\\pict\\emfblip\\picw2540\\pich5080\nffee\n}") << QSize(96, 192);
    QTest::newRow("binary data, scaled")
        << QByteArray("{\\pict\\emfblip\\picwgoal1440\\pichgoal1440\\picscalex50\\bin3 \x01}\x02}")
        << QByteArray("{\\pict\\emfblip\\picwgoal1440\\pichgoal1440\\picscalex50\n017d02\n}") << QSize(48, 96);
}

// Pictures the box cannot draw show as a placeholder of their size and are
// written back unchanged; the text around them keeps its object character.
void TestRtfDocument::KeptPictures()
{
    QFETCH(QByteArray, picture);
    QFETCH(QByteArray, written);
    QFETCH(QSize, box);
    TRichDocument doc;
    QVERIFY(ReadRtf("{\\rtf1 before " + picture + " after\\par}", doc));
    QCOMPARE(doc.GetText(), QStringLiteral("before \uFFFC after"));
    const QTextCharFormat format = QtFormatAt(doc.Document(), 7);
    QVERIFY(format.isImageFormat());
    QCOMPARE(QSizeF(format.toImageFormat().width(), format.toImageFormat().height()), QSizeF(box));
    const QImage shown
        = doc.Document()->resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name())).value<QImage>();
    QCOMPARE(shown.size(), box);
    QVERIFY(shown.pixelColor(box.width() / 2, 1) != shown.pixelColor(0, 0)); // a frame, not a blank
    const QByteArray rtf = WriteRtf(doc);
    QVERIFY2(rtf.contains(written), rtf.constData());
    TRichDocument again;
    QVERIFY(ReadRtf(rtf, again));
    QCOMPARE(WriteRtf(again), rtf);
}

// Bookmarks stay where they were, internal links find them, and both are
// written back.
void TestRtfDocument::Bookmarks()
{
    const QByteArray rtf = "{\\rtf1 Go {\\field{\\*\\fldinst HYPERLINK \\\\l \"target\"}{\\fldrslt there}}.\\par "
                           "Before {\\*\\bkmkstart target}Target text{\\*\\bkmkend target} after\\par "
                           "Last{\\*\\bkmkstart end}{\\*\\bkmkend end}\\par}";
    TRichDocument doc;
    QVERIFY(ReadRtf(rtf, doc));
    const QString text = doc.GetText();
    QCOMPARE(text, QStringLiteral("Go there.\r\nBefore Target text after\r\nLast"));
    QCOMPARE(doc.FindBookmark(QStringLiteral("target")), int(text.indexOf(QLatin1String("Target"))));
    QCOMPARE(doc.FindBookmark(QStringLiteral("end")), int(text.size()));
    QCOMPARE(doc.FindBookmark(QStringLiteral("missing")), -1);
    QCOMPARE(QtFormatAt(doc.Document(), 3).anchorHref(), QStringLiteral("#target"));

    const QByteArray written = WriteRtf(doc);
    QVERIFY2(written.contains("{\\*\\bkmkstart target}"), written.constData());
    QVERIFY(written.indexOf("{\\*\\bkmkend target}") > written.indexOf("text"));
    QVERIFY(written.contains("Last{\\*\\bkmkstart end}{\\*\\bkmkend end}\\par"));
    TRichDocument again;
    QVERIFY(ReadRtf(written, again));
    QCOMPARE(again.FindBookmark(QStringLiteral("target")), doc.FindBookmark(QStringLiteral("target")));
    QCOMPARE(WriteRtf(again), written);

    // Typing beside a bookmark copies its format: the name is still written once.
    QTextCursor cursor(doc.Document());
    cursor.setPosition(doc.ToQtPosition(doc.FindBookmark(QStringLiteral("target"))) + 1);
    cursor.insertText(QStringLiteral("xx"), QtFormatAt(doc.Document(), cursor.position() - 1));
    cursor.insertText(QStringLiteral("y"), QTextCharFormat());
    cursor.insertText(QStringLiteral("zz"), QtFormatAt(doc.Document(), cursor.position() - 4));
    QCOMPARE(WriteRtf(doc).count("bkmkstart target"), 1);
}

// A link that ends its paragraph is closed before the paragraph mark, so
// the next paragraph is no part of it.
void TestRtfDocument::LinkEndingAParagraph()
{
    TRichDocument doc;
    QVERIFY(ReadRtf("{\\rtf1 See {\\field{\\*\\fldinst HYPERLINK \"http://x.org/\"}{\\fldrslt x.org}}\\par Next\\par}",
                    doc));
    const QByteArray rtf = WriteRtf(doc);
    const qsizetype end = rtf.indexOf("x.org}}}");
    QVERIFY2(end > 0 && end < rtf.indexOf("\\par\n"), rtf.constData());
    TRtfRecordingSink sink;
    QVERIFY(ReadRtf(rtf, sink));
    int depth = 0;
    for (const auto &event : sink.Events) {
        if (event.Kind == TRtfRecordingSink::TKind::LinkBegin)
            ++depth;
        else if (event.Kind == TRtfRecordingSink::TKind::LinkEnd)
            --depth;
        else if (event.Kind == TRtfRecordingSink::TKind::Paragraph)
            QCOMPARE(depth, 0);
    }
}

QTEST_MAIN(TestRtfDocument)
#include "test_rtf_document.moc"
