// The RTF reader against small hand-written documents, one group of
// features per test function.
#include "RtfTestUtil.h"
#include "RtfTokenizer.h"

#include <QTest>

class TestRtfReader : public QObject {
    Q_OBJECT

private slots:
    void Tokenizer();
    void DestinationsAndSkipping();
    void CharacterProperties();
    void ParagraphProperties();
    void CodePages();
    void CodePagesOfOtherScripts_data();
    void CodePagesOfOtherScripts();
    void Unicode();
    void FieldsAndLinks();
    void Pictures();
    void Tables();
    void ListsAndFootnotes();
    void Malformed();
    void TextPastDepthLimit_data();
    void TextPastDepthLimit();
    void FormatsPastDepthLimit();
};

void TestRtfReader::Tokenizer()
{
    const QByteArray rtf = "{\\b1\\fs-20 x\\'e9\\{\r\n\\\nab\\bin3 {}}\\*\\verylongnameverylongnameverylongname12 }";
    TRtfTokenizer t(rtf.constData(), rtf.size());
    TRtfToken k = t.Next();
    QCOMPARE(int(k.Kind), int(TRtfTokenKind::GroupOpen));
    k = t.Next();
    QCOMPARE(int(k.Kind), int(TRtfTokenKind::Word));
    QCOMPARE(QByteArray(k.Name.data(), int(k.Name.size())), QByteArray("b"));
    QVERIFY(k.HasParam);
    QCOMPARE(k.Param, 1);
    k = t.Next();
    QCOMPARE(k.Param, -20); // the space after it is the delimiter
    k = t.Next();
    QCOMPARE(int(k.Kind), int(TRtfTokenKind::Text));
    QCOMPARE(QByteArray(k.Text.data(), int(k.Text.size())), QByteArray("x"));
    k = t.Next();
    QCOMPARE(int(k.Kind), int(TRtfTokenKind::Hex));
    QCOMPARE(int(k.Byte), 0xE9);
    k = t.Next();
    QCOMPARE(int(k.Kind), int(TRtfTokenKind::Symbol));
    QCOMPARE(k.Symbol, '{');
    k = t.Next(); // CR LF in the source are not text; backslash + LF is a paragraph mark
    QCOMPARE(int(k.Kind), int(TRtfTokenKind::Symbol));
    QCOMPARE(k.Symbol, '\n');
    k = t.Next();
    QCOMPARE(QByteArray(k.Text.data(), int(k.Text.size())), QByteArray("ab"));
    k = t.Next();
    QCOMPARE(QByteArray(k.Name.data(), int(k.Name.size())), QByteArray("bin"));
    const std::string_view bin = t.TakeBytes(k.Param);
    QCOMPARE(QByteArray(bin.data(), int(bin.size())), QByteArray("{}}"));
    k = t.Next();
    QCOMPARE(k.Symbol, '*');
    k = t.Next();
    QCOMPARE(int(k.Name.size()), TRtfTokenizer::MaxNameLength);
    QCOMPARE(k.Param, 12);
    QCOMPARE(int(t.Next().Kind), int(TRtfTokenKind::GroupClose));
    QCOMPARE(int(t.Next().Kind), int(TRtfTokenKind::End));
    QCOMPARE(int(t.Next().Kind), int(TRtfTokenKind::End)); // stays at the end

    // Huge parameters are clamped, not wrapped.
    const QByteArray big = "\\li99999999999999999999 ";
    TRtfTokenizer b(big.constData(), big.size());
    QCOMPARE(b.Next().Param, INT_MAX);
    // TakeBytes never runs past the end.
    const QByteArray small = "\\bin9 ab";
    TRtfTokenizer s(small.constData(), small.size());
    s.Next();
    QCOMPARE(int(s.TakeBytes(9).size()), 2);
    QCOMPARE(int(s.Next().Kind), int(TRtfTokenKind::End));
}

void TestRtfReader::DestinationsAndSkipping()
{
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
                           "{\\stylesheet{\\s1 Heading;}}{\\info{\\title The Title}{\\author Me}}"
                           "{\\header Page header}{\\footerl Footer}{\\*\\generator Writer 1.0;}"
                           "{\\*\\somethingnew {nested text}}\\unknownword Body{\\*\\bkmkstart b1} text"
                           "{\\*\\shppict{\\pict\\emfblip 00}}{\\nonshppict fallback}"
                           "{\\*\\themedata 3c3f786d6c}{\\*\\datastore 0105}\\par}";
    // The metafile is kept (a placeholder in the text), its fallback skipped.
    QCOMPARE(TextOf(rtf), QStringLiteral("Body text\uFFFC\n"));

    // \bin data is stepped over even inside skipped groups: braces in it do not count.
    QCOMPARE(TextOf("{\\rtf1 a{\\*\\shprslt\\bin11 }{\\par bad}}b\\par}"), QStringLiteral("ab\n"));
    // Text after the document's last brace is ignored.
    QCOMPARE(TextOf("{\\rtf1 a\\par}trailing"), QStringLiteral("a\n"));
    // \upr: only the Unicode alternative shows.
    QCOMPARE(TextOf("{\\rtf1 {\\upr{ansi}{\\*\\ud{uni}}}\\par}"), QStringLiteral("uni\n"));
    // A shape shows its picture and its text box, not its properties.
    const TRtfRecordingSink shape
        = Record("{\\rtf1 {\\shp{\\*\\shpinst{\\sp{\\sn fillColor}{\\sv 255}}{\\shptxt box}}{\\shprslt old}}\\par}");
    QCOMPARE(shape.PlainText(), QStringLiteral("box\n"));
}

void TestRtfReader::CharacterProperties()
{
    const QByteArray rtf
        = "{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Arial;}}"
          "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue255;}"
          "plain {\\b bold}{\\i italic}{\\ul under}{\\uldb double}{\\ul under\\ulnone none}{\\strike struck}"
          "{\\f0\\fs36 big times}{\\cf1 red}{\\highlight2 marked}{\\cb2 back}{\\expndtw40 wide}{\\expnd4 wider}"
          "{\\super up}{\\sub down}{\\up6 raised}{\\caps caps}{\\b\\i\\plain reset}{\\b\\b0 notbold}\\par}";
    const TRtfRecordingSink sink = Record(rtf);
    QCOMPARE(sink.PlainText(),
             QStringLiteral("plain bolditalicunderdoubleundernonestruckbig timesredmarkedbackwidewiderupdownraised"
                            "CAPSresetnotbold\n"));
    const TCharFormat plain = FormatOf(sink, "plain").Format;
    QCOMPARE(plain.FaceName, QStringLiteral("Arial")); // \deff1
    QCOMPARE(plain.HeightTwips, 240); // 12 points without \fs
    QCOMPARE(plain.Effects, 0u);
    QVERIFY(!(plain.Mask & CFM_COLOR)); // automatic colour
    QVERIFY(!(plain.Mask & CFM_BACKCOLOR));
    QCOMPARE(FormatOf(sink, "bold").Format.Effects, uint32_t(CFE_BOLD));
    QCOMPARE(FormatOf(sink, "italic").Format.Effects, uint32_t(CFE_ITALIC));
    QCOMPARE(FormatOf(sink, "under").Format.Effects, uint32_t(CFE_UNDERLINE));
    QCOMPARE(FormatOf(sink, "double").Format.Effects, uint32_t(CFE_UNDERLINE));
    QCOMPARE(FormatOf(sink, "none").Format.Effects, 0u);
    QCOMPARE(FormatOf(sink, "struck").Format.Effects, uint32_t(CFE_STRIKEOUT));
    const TCharFormat big = FormatOf(sink, "big times").Format;
    QCOMPARE(big.FaceName, QStringLiteral("Times New Roman"));
    QCOMPARE(big.HeightTwips, 360);
    const TCharFormat red = FormatOf(sink, "red").Format;
    QVERIFY(red.Mask & CFM_COLOR);
    QCOMPARE(red.TextColor, TColor(0x0000FF));
    const TCharFormat marked = FormatOf(sink, "marked").Format;
    QVERIFY(marked.Mask & CFM_BACKCOLOR);
    QCOMPARE(marked.BackColor, TColor(0xFF8000));
    QCOMPARE(FormatOf(sink, "back").Format.BackColor, TColor(0xFF8000));
    QCOMPARE(FormatOf(sink, "wide").Format.SpacingTwips, 40);
    QCOMPARE(FormatOf(sink, "wider").Format.SpacingTwips, 20); // quarter points
    QCOMPARE(int(FormatOf(sink, "up").VerticalAlign), int(TRtfVerticalAlign::Super));
    QCOMPARE(int(FormatOf(sink, "down").VerticalAlign), int(TRtfVerticalAlign::Sub));
    QCOMPARE(int(FormatOf(sink, "raised").VerticalAlign), int(TRtfVerticalAlign::Super));
    QCOMPARE(FormatOf(sink, "reset").Format.Effects, 0u);
    QCOMPARE(FormatOf(sink, "notbold").Format.Effects, 0u);

    // Hidden text does not show; a group restores what it changed.
    QCOMPARE(TextOf("{\\rtf1 a{\\v secret}b\\v c\\v0 d{\\deleted gone}\\par}"), QStringLiteral("abd\n"));
    const TRtfRecordingSink scoped = Record("{\\rtf1 {\\b x}y\\par}");
    QCOMPARE(FormatOf(scoped, "y").Format.Effects, 0u);
}

void TestRtfReader::ParagraphProperties()
{
    const QByteArray rtf = "{\\rtf1\\pard\\qc centred\\par"
                           "\\pard\\qj\\li720\\fi-360\\ri240\\sb120\\sa240\\sl360\\slmult1\\tx1440\\tx720 hanging\\par"
                           " kept\\par"
                           "\\pard\\qr\\sl-300\\slmult0 exact\\par"
                           "\\pard\\sl280 least\\par"
                           "\\pard plain\\par}";
    const TRtfRecordingSink sink = Record(rtf);
    const QVector<TParaFormat> paras = Paragraphs(sink);
    QCOMPARE(paras.size(), 6);
    QCOMPARE(paras[0].Alignment, PFA_CENTER);
    const TParaFormat &h = paras[1];
    QCOMPARE(h.Alignment, PFA_JUSTIFY);
    QCOMPARE(h.StartIndent, 360); // first line at \li + \fi
    QCOMPARE(h.Offset, 360); // the others at \li
    QCOMPARE(h.RightIndent, 240);
    QCOMPARE(h.SpaceBefore, 120);
    QCOMPARE(h.SpaceAfter, 240);
    QCOMPARE(h.LineSpacingRule, 5);
    QCOMPARE(h.LineSpacing, 30); // 1.5 lines
    QCOMPARE(h.TabStops, (QVector<int>{720, 1440}));
    QVERIFY(SameParaFormat(paras[1], paras[2])); // paragraph properties last until \pard
    QCOMPARE(paras[3].Alignment, PFA_RIGHT);
    QCOMPARE(paras[3].LineSpacingRule, 4);
    QCOMPARE(paras[3].LineSpacing, 300);
    QCOMPARE(paras[4].LineSpacingRule, 3);
    QCOMPARE(paras[4].LineSpacing, 280);
    QCOMPARE(paras[5].Alignment, PFA_LEFT);
    QCOMPARE(paras[5].StartIndent, 0);
    QCOMPARE(paras[5].LineSpacingRule, 0);

    // Paragraph styles from the style sheet apply where they are used; the
    // text's own properties after the style number win.
    const TRtfRecordingSink styled = Record(
        "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Georgia;}}{\\stylesheet{\\s0 Normal;}"
        "{\\s1\\qc\\sa240\\b\\f1\\fs36 heading 1;}{\\*\\cs2\\additive\\i Emphasis;}}"
        "\\pard\\plain\\s1 Title\\par\\pard\\plain\\s1\\ql\\b0 Left\\par\\pard\\plain\\s0 Body{\\cs2 same}\\par}");
    QCOMPARE(styled.PlainText(), QStringLiteral("Title\nLeft\nBodysame\n"));
    const QVector<TParaFormat> styledParas = Paragraphs(styled);
    QCOMPARE(styledParas[0].Alignment, PFA_CENTER);
    QCOMPARE(styledParas[0].SpaceAfter, 240);
    QCOMPARE(FormatOf(styled, "Title").Format.Effects, uint32_t(CFE_BOLD));
    QCOMPARE(FormatOf(styled, "Title").Format.FaceName, QStringLiteral("Georgia"));
    QCOMPARE(FormatOf(styled, "Title").Format.HeightTwips, 360);
    QCOMPARE(styledParas[1].Alignment, PFA_LEFT);
    QCOMPARE(FormatOf(styled, "Left").Format.Effects, 0u);
    QCOMPARE(FormatOf(styled, "Left").Format.HeightTwips, 360);
    QCOMPARE(styledParas[2].Alignment, PFA_LEFT);
    QCOMPARE(FormatOf(styled, "Body").Format.FaceName, QStringLiteral("Arial"));

    // Breaks: \line stays inside the paragraph; \page and \sect end a
    // paragraph only when it has something in it.
    QCOMPARE(TextOf("{\\rtf1 a\\line b\\tab c\\page d\\par\\sect\\page e}"), QStringLiteral("a\u2028b\tc\nd\ne\n"));
}

void TestRtfReader::CodePages()
{
    // Windows-1252 by default, the document's \ansicpg, a font's \fcharset and \cpg.
    QCOMPARE(TextOf("{\\rtf1 \\'93caf\\'e9\\'94 \\'80\\par}"), QStringLiteral("\u201Ccaf\u00E9\u201D \u20AC\n"));
    QCOMPARE(TextOf("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\par}"), QStringLiteral("\u041F\u0440\u0438\n"));
    QCOMPARE(
        TextOf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset238 Arial CE;}}\\f1 \\'9a\\'e8\\f0 \\'9a\\par}"),
        QStringLiteral("\u0161\u010D\u0161\n"));
    QCOMPARE(TextOf("{\\rtf1{\\fonttbl{\\f0\\cpg1253 Greek;}}\\f0 \\'e1\\par}"), QStringLiteral("\u03B1\n"));
    // Double-byte code pages take \'hh pairs (Shift-JIS and Big5).
    QCOMPARE(TextOf("{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa\\'96\\'7b\\par}"), QStringLiteral("\u65E5\u672C\n"));
    QCOMPARE(TextOf("{\\rtf1\\ansi\\ansicpg950 \\'a4\\'a4\\'a4\\'e5 ok\\par}"), QStringLiteral("\u4E2D\u6587 ok\n"));
    QCOMPARE(TextOf("{\\rtf1{\\fonttbl{\\f0\\fcharset136 MingLiU;}}\\f0 \\'a4\\'a4\\par}"), QStringLiteral("\u4E2D\n"));
    // A lead byte without its trail byte is dropped, not glued to what follows.
    QCOMPARE(TextOf("{\\rtf1\\ansicpg932 \\'93}"), QString());
    // Raw 8-bit bytes are decoded like escapes; a Mac document uses Mac Roman.
    QCOMPARE(TextOf("{\\rtf1 caf\xe9\\par}"), QStringLiteral("caf\u00E9\n"));
    QCOMPARE(TextOf("{\\rtf1\\mac caf\\'8e\\par}"), QStringLiteral("caf\u00E9\n"));
    // Symbol fonts: the bullet comes out as a bullet.
    QCOMPARE(TextOf("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Symbol;}}{\\f1 \\'b7}\\'b7\\par}"),
             QStringLiteral("\u2022\u00B7\n"));
    // An unknown code page falls back to Windows-1252.
    QCOMPARE(TextOf("{\\rtf1\\ansicpg99999 \\'e9\\par}"), QStringLiteral("\u00E9\n"));
}

void TestRtfReader::CodePagesOfOtherScripts_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    auto font = [](int charset, const QByteArray &text) {
        return "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset" + QByteArray::number(charset) + " Font;}}\\f1 " + text
            + "\\par}";
    };
    QTest::newRow("Hebrew, \\ansicpg1255")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1255 \\'f9\\'ec\\'e5\\'ed\\par}") << QStringLiteral(u"שלום\n");
    QTest::newRow("Hebrew, \\fcharset177") << font(177, "\\'f9\\'ec\\'e5\\'ed") << QStringLiteral(u"שלום\n");
    QTest::newRow("Hebrew points stay marks")
        << QByteArray("{\\rtf1\\ansicpg1255 \\'e1\\'cc\\par}") << QStringLiteral(u"\u05D1\u05BC\n");
    QTest::newRow("Vietnamese, \\ansicpg1258, composed")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1258 Ti\\'ea\\'ecng Vi\\'ea\\'f2t\\par}")
        << QStringLiteral(u"Tiếng Việt\n");
    QTest::newRow("Vietnamese, \\fcharset163") << font(163, "Vi\\'ea\\'f2t") << QStringLiteral(u"Việt\n");
    QTest::newRow("Vietnamese, raw bytes")
        << QByteArray("{\\rtf1\\ansicpg1258 Vi\xea\xf2t\\par}") << QStringLiteral(u"Việt\n");
    QTest::newRow("Greek, \\fcharset161") << font(161, "\\'e1") << QStringLiteral(u"α\n");
    QTest::newRow("Turkish, \\fcharset162") << font(162, "\\'fe") << QStringLiteral(u"ş\n");
    QTest::newRow("Baltic, \\fcharset186") << font(186, "\\'e0") << QStringLiteral(u"ą\n");
    QTest::newRow("Arabic, \\fcharset178") << font(178, "\\'e3\\'d1\\'cd\\'c8\\'c7") << QStringLiteral(u"مرحبا\n");
    QTest::newRow("Thai, \\fcharset222") << font(222, "\\'ca\\'c7\\'d1\\'ca\\'b4\\'d5") << QStringLiteral(u"สวัสดี\n");
    QTest::newRow("Japanese, \\fcharset128") << font(128, "\\'93\\'fa") << QStringLiteral(u"日\n");
    QTest::newRow("Korean, \\fcharset129") << font(129, "\\'c7\\'d1") << QStringLiteral(u"한\n");
    QTest::newRow("Chinese, \\fcharset134") << font(134, "\\'d6\\'d0") << QStringLiteral(u"中\n");
    QTest::newRow("KOI8-R, \\ansicpg20866")
        << QByteArray("{\\rtf1\\ansicpg20866 \\'f0\\'d2\\'c9\\'d7\\'c5\\'d4\\par}") << QStringLiteral(u"Привет\n");
    QTest::newRow("GB18030, four bytes") << QByteArray("{\\rtf1\\ansicpg54936 \\'94\\'39\\'fc\\'36\\par}")
                                         << QString::fromUtf8("\xF0\x9F\x98\x80\n");
    QTest::newRow("UTF-8, escapes") << QByteArray("{\\rtf1\\ansi\\ansicpg65001 \\'e2\\'80\\'94 caf\\'c3\\'a9\\par}")
                                    << QStringLiteral(u"— café\n");
    QTest::newRow("UTF-8, raw bytes and escapes mixed")
        << QByteArray("{\\rtf1\\ansicpg65001 \xe2\\'80\x94 \xf0\x9f\\'98\\'80\\par}")
        << QString::fromUtf8("\xE2\x80\x94 \xF0\x9F\x98\x80\n");
    QTest::newRow("UTF-8, a character across a line break")
        << QByteArray("{\\rtf1\\ansicpg65001 caf\xc3\r\n\xa9\\par}") << QStringLiteral(u"café\n");
    QTest::newRow("UTF-8, a broken character")
        << QByteArray("{\\rtf1\\ansicpg65001 a\\'e2b\\'c3\\'28\\par}") << QStringLiteral(u"a\uFFFDb\uFFFD(\n");
    QTest::newRow("Shift-JIS, a broken pair")
        << QByteArray("{\\rtf1\\ansicpg932 \\'82\\'20x\\par}") << QStringLiteral(u"\uFFFD x\n");
    QTest::newRow("Shift-JIS, raw pair across a line break")
        << QByteArray("{\\rtf1\\ansicpg932 \x93\r\n\xfa\\par}") << QStringLiteral(u"日\n");
    QTest::newRow("EBCDIC is no document's code page")
        << QByteArray("{\\rtf1\\ansicpg37 \\'e9\\par}") << QStringLiteral(u"é\n");
}

void TestRtfReader::CodePagesOfOtherScripts()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(TextOf(rtf), text);
}

void TestRtfReader::Unicode()
{
    // \uN with the default one fallback character, negative N, \ucN, and
    // fallbacks that are escapes, control words or cut short by a group end.
    QCOMPARE(TextOf("{\\rtf1 \\u8364?x \\u-3913?\\u945a\\par}"), QStringLiteral("\u20ACx \uF0B7\u03B1\n"));
    QCOMPARE(TextOf("{\\rtf1 {\\uc2\\u228\\'e8a}b\\uc0\\u946 c\\par}"), QStringLiteral("\u00E4b\u03B2c\n"));
    QCOMPARE(TextOf("{\\rtf1 \\u8226\\bullet x\\par}"), QStringLiteral("\u2022x\n"));
    QCOMPARE(TextOf("{\\rtf1 a\\u-4?b\\u65532?c\\u0?d\\par}"), QStringLiteral("abcd\n")); // no objects, no NULs
    QCOMPARE(TextOf("{\\rtf1 {\\uc3\\u228}abc\\par}"), QStringLiteral("\u00E4abc\n"));
    // Surrogate pairs come as two \u.
    QCOMPARE(TextOf("{\\rtf1 \\u-10179?\\u-8704?\\par}"), QString::fromUtf8("\xF0\x9F\x98\x80\n"));
    // Named characters.
    QCOMPARE(TextOf("{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\~\\-\\_\\{\\}\\\\\\par}"),
             QStringLiteral("\u2014\u2013\u2018\u2019\u201C\u201D\u2022\u00A0\u00AD\u2011{}\\\n"));
}

void TestRtfReader::FieldsAndLinks()
{
    const TRtfRecordingSink sink
        = Record("{\\rtf1 see {\\field{\\*\\fldinst{HYPERLINK \"http://example.org/x?a=1\"}}{\\fldrslt{\\ul here}}} now"
                 "{\\field{\\*\\fldinst HYPERLINK \\\\l \"part2\" }{\\fldrslt inside}}"
                 "{\\field{\\*\\fldinst{ PAGE }}{\\fldrslt 7}}{\\field{\\*\\fldinst DATE}}\\par}");
    QCOMPARE(sink.PlainText(), QStringLiteral("see here nowinside7\n"));
    QStringList targets;
    int depth = 0;
    QString linked;
    for (const auto &event : sink.Events) {
        if (event.Kind == TRtfRecordingSink::TKind::LinkBegin) {
            targets << event.Text;
            ++depth;
        } else if (event.Kind == TRtfRecordingSink::TKind::LinkEnd) {
            --depth;
        } else if (event.Kind == TRtfRecordingSink::TKind::Text && depth > 0) {
            linked += event.Text;
        }
    }
    QCOMPARE(targets, (QStringList{"http://example.org/x?a=1", "#part2"}));
    QCOMPARE(depth, 0);
    QCOMPARE(linked, QStringLiteral("hereinside"));
    QCOMPARE(FormatOf(sink, "here").Format.Effects, uint32_t(CFE_UNDERLINE));
}

void TestRtfReader::Pictures()
{
    const QByteArray rtf
        = "{\\rtf1 a{\\pict\\pngblip\\picw10\\pich10\\picwgoal1440\\pichgoal720\\picscalex50 89504e47\n"
          "0d0a}b{\\pict\\wmetafile8 0102}{\\pict\\jpegblip\\bin4 \xff\xd8\xff\xe0}"
          "{\\*\\shppict{\\pict\\pngblip 01}}{\\nonshppict{\\pict\\pngblip 02}}\\par}";
    const TRtfRecordingSink sink = Record(rtf);
    QVector<TRtfRecordingSink::TEvent> images;
    for (const auto &event : sink.Events)
        if (event.Kind == TRtfRecordingSink::TKind::Image)
            images.append(event);
    QCOMPARE(images.size(), 3); // the metafile is kept as it is, the non-shape fallback not shown
    QCOMPARE(images[0].Data, QByteArray::fromHex("89504e470d0a"));
    QCOMPARE(images[0].ImageFormat, QByteArray("png"));
    QCOMPARE(images[0].Width, 720); // scaled to 50 %
    QCOMPARE(images[0].Height, 720);
    QCOMPARE(images[1].ImageFormat, QByteArray("jpeg"));
    QCOMPARE(images[1].Data, QByteArray("\xff\xd8\xff\xe0"));
    QCOMPARE(images[2].Data, QByteArray("\x01"));
    QCOMPARE(sink.PlainText(), QStringLiteral("a\uFFFCb\uFFFC\uFFFC\uFFFC\n"));
}

void TestRtfReader::Tables()
{
    const TRtfRecordingSink sink = Record("{\\rtf1\\trowd\\cellx1000\\cellx2500\\pard\\intbl A\\cell B\\cell\\row"
                                          "\\trowd\\cellx1000\\cellx2500\\pard\\intbl C\\par D\\cell\\cell\\row"
                                          "\\pard after\\par}");
    QCOMPARE(sink.PlainText(), QStringLiteral("A\tB\t\nC\nD\t\t\nafter\n"));
    QVector<QVector<int>> rows;
    for (const auto &event : sink.Events)
        if (event.Kind == TRtfRecordingSink::TKind::Row)
            rows.append(event.CellRight);
    QCOMPARE(rows, (QVector<QVector<int>>{{1000, 2500}, {1000, 2500}}));
    // Nested tables: inner cells and rows are cells and rows too; the
    // fallback for readers without nested tables is not shown.
    const QString nested = TextOf("{\\rtf1\\trowd\\cellx5000\\pard\\intbl\\itap2 X\\nestcell Y\\nestcell"
                                  "{\\*\\nesttableprops\\trowd\\cellx2000\\cellx4000\\nestrow}{\\nonesttables no\\par}"
                                  "\\pard\\intbl\\itap1 Z\\cell\\row}");
    QCOMPARE(nested, QStringLiteral("X\tY\t\nZ\t\n"));
}

void TestRtfReader::ListsAndFootnotes()
{
    // List numbers written by the word processor are shown; list
    // definitions and old-style numbering properties are not.
    const QByteArray rtf = "{\\rtf1{\\*\\listtable{\\list{\\listlevel{\\leveltext \\'02\\'00.;}}}}"
                           "{\\listtext 1.\\tab}One\\par{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb \\'b7}}Two\\par"
                           " Text{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} The note.} goes on"
                           "{\\super\\chftn}{\\footnote{\\super\\chftn} Second.\\par}.\\par}";
    const TRtfRecordingSink sink = Record(rtf);
    QCOMPARE(sink.PlainText(), QStringLiteral("1.\tOne\n\u00B7\tTwo\nText1 goes on2.\n1 The note.\n2 Second.\n"));
    QCOMPARE(int(FormatOf(sink, "1 goes").VerticalAlign), int(TRtfVerticalAlign::Normal));
    QCOMPARE(int(FormatOf(sink, "2").VerticalAlign), int(TRtfVerticalAlign::Super));
}

void TestRtfReader::Malformed()
{
    // Not RTF at all: a clear failure with a message, and the sink sees nothing.
    for (const QByteArray &bytes : {QByteArray(), QByteArray("plain text"), QByteArray("\x00\x01\x02", 3),
                                    QByteArray("{\\rt"), QByteArray(2000, ' ') + "{\\rtf1 late}"}) {
        TRtfRecordingSink sink;
        QString error;
        QVERIFY(!ReadRtf(bytes, sink, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(sink.IsEmpty());
    }
    // Damaged RTF shows what could be read.
    QCOMPARE(TextOf("{\\rtf}"), QString());
    QCOMPARE(TextOf("\xEF\xBB\xBF{\\rtf1 bom\\par}"), QStringLiteral("bom\n"));
    QCOMPARE(TextOf("junk{\\rtf1 late\\par}"), QStringLiteral("late\n"));
    QCOMPARE(TextOf("{\\rtf1 truncated {\\b bold"), QStringLiteral("truncated bold\n"));
    QCOMPARE(TextOf("{\\rtf1 a\\par}}}}"), QStringLiteral("a\n"));
    QCOMPARE(TextOf("{\\rtf1 x\\'3?y\\'\\par}"), QStringLiteral("x?y\n"));
    QCOMPARE(TextOf("{\\rtf1 \\bin999999999 gone"), QString());
    QCOMPARE(TextOf("{\\rtf1 \\bin-5 kept\\par}"), QStringLiteral("kept\n"));
    QCOMPARE(TextOf("{\\rtf1 \\"), QString());
    // Absurd numbers are clamped.
    const TRtfRecordingSink absurd
        = Record("{\\rtf1\\fs999999999\\li-2147483648\\fi99999999\\sl99999999{\\uc2147483647\\u65 xxxxxxxxxxxx}"
                 "\\cf99999 y\\par}");
    QCOMPARE(absurd.PlainText(), QStringLiteral("Axxxxy\n")); // \uc is at most 8
    QVERIFY(FormatOf(absurd, "y").Format.HeightTwips <= 32760);
    QVERIFY(std::abs(Paragraphs(absurd)[0].StartIndent) <= 2 * 31680);
    QVERIFY(!(FormatOf(absurd, "y").Format.Mask & CFM_COLOR));
    // Deep nesting: text beyond the depth limit is read too.
    QByteArray deep = "{\\rtf1 start";
    deep += QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + " end\\par}";
    QCOMPARE(TextOf(deep), QStringLiteral("startdeep end\n"));
    QByteArray moderate = "{\\rtf1 ";
    moderate += QByteArray(200, '{') + "ok" + QByteArray(200, '}') + "\\par}";
    QCOMPARE(TextOf(moderate), QStringLiteral("ok\n"));
    // Binary garbage after the header neither crashes nor hangs.
    QByteArray garbage = "{\\rtf1 ";
    for (int i = 0; i < 20000; ++i)
        garbage += char((i * 7919) % 256);
    Record(garbage);
}

void TestRtfReader::TextPastDepthLimit_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    auto nest
        = [](int depth, const QByteArray &inner) { return QByteArray(depth, '{') + inner + QByteArray(depth, '}'); };
    QTest::newRow("one group past the limit")
        << "{\\rtf1 A " + nest(512, "DEEP") + " B\\par}" << QStringLiteral("A DEEP B\n");
    QTest::newRow("a mail client's depth")
        << "{\\rtf1 A " + nest(2713, "line") + " B\\par}" << QStringLiteral("A line B\n");
    QTest::newRow("text at every level") << "{\\rtf1 " + nest(509, "a{b{c{d{e}f}g}h}i") + "\\par}"
                                         << QStringLiteral("abcdefghi\n");
    QTest::newRow("an unknown destination")
        << "{\\rtf1 " + nest(520, "x{\\*\\foo hidden{more}}y") + "\\par}" << QStringLiteral("xy\n");
    QTest::newRow("a font table") << "{\\rtf1 " + nest(520, "{\\fonttbl{\\f0 Arial;}}z") + "\\par}"
                                  << QStringLiteral("z\n");
    QTest::newRow("a skipped destination")
        << "{\\rtf1 " + nest(520, "{\\info{\\title T}}k") + "\\par}" << QStringLiteral("k\n");
    QTest::newRow("a footnote") << "{\\rtf1 " + nest(520, "a{\\footnote note}b") + "\\par}" << QStringLiteral("ab\n");
    QTest::newRow("a field keeps its result")
        << "{\\rtf1 " + nest(520, "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}") + "\\par}"
        << QStringLiteral("link\n");
    QTest::newRow("a \\upr reads its ANSI part")
        << "{\\rtf1 " + nest(520, "{\\upr{ansi}{\\*\\ud{uni}}}") + "\\par}" << QStringLiteral("ansi\n");
    QTest::newRow("binary data in a skipped group")
        << "{\\rtf1 " + nest(520, "{\\*\\foo\\bin3 }}}}x") + "\\par}" << QStringLiteral("x\n");
    QTest::newRow("inside a skipped destination")
        << "{\\rtf1 {\\*\\foo " + nest(600, "hidden") + "}shown\\par}" << QStringLiteral("shown\n");
    QTest::newRow("a closing brace too many")
        << "{\\rtf1 a" + QByteArray(600, '{') + "b" + QByteArray(601, '}') + "c}" << QStringLiteral("ab\n");
    QTest::newRow("cut short past the limit") << "{\\rtf1 a" + QByteArray(600, '{') + "b" << QStringLiteral("ab\n");
    QTest::newRow("100000 groups, unbalanced")
        << "{\\rtf1 a" + QByteArray(100000, '{') + "b" + QByteArray(50000, '}') + "c" << QStringLiteral("abc\n");
}

void TestRtfReader::TextPastDepthLimit()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(TextOf(rtf), text);
}

void TestRtfReader::FormatsPastDepthLimit()
{
    // Groups past the limit share the deepest group's state: what they set
    // holds among them and ends when the last of them closes.
    const QByteArray rtf
        = "{\\rtf1 " + QByteArray(511, '{') + "\\b bold{\\i{\\ul deep}} after" + QByteArray(511, '}') + " plain\\par}";
    const TRtfRecordingSink sink = Record(rtf);
    QCOMPARE(sink.PlainText(), QStringLiteral("bolddeep after plain\n"));
    QCOMPARE(FormatOf(sink, "deep").Format.Effects, uint32_t(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE));
    QCOMPARE(FormatOf(sink, "after").Format.Effects, uint32_t(CFE_BOLD));
    QCOMPARE(FormatOf(sink, "plain").Format.Effects, uint32_t(0));
}

QTEST_GUILESS_MAIN(TestRtfReader)
#include "test_rtf_reader.moc"
