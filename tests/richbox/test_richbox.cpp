#include "RichBox.h"
#include "RichEditOps.h"

#include <QAbstractTextDocumentLayout>
#include <QPrinter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

// A book of 300 paragraphs: empty ones, short ones and long ones that wrap.
QString SampleBook()
{
    QStringList paragraphs;
    for (int i = 0; i < 300; ++i) {
        if (i % 10 == 3)
            paragraphs << QString();
        else if (i % 4 == 0)
            paragraphs << QStringLiteral("Paragraph %1: ").arg(i)
                    + QStringLiteral("a long sentence that goes on and wraps over lines. ").repeated(6);
        else
            paragraphs << QStringLiteral("Short %1.").arg(i);
    }
    return paragraphs.join(QStringLiteral("\r\n"));
}

} // namespace

class TestRichBox : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void LinesAndPositionsRoundTrip();
    void TopLineScrollingAndCaret();
    void GoToPositionNearTheEnd();
    void ZoomKeepsWrappingToTheWidth();
    void PositionSurvivesFormatChange();
    void TextLimitEmptinessAndModified();
    void SearchSelectsTheMatch();
    void LinksAreDetectedAndReported();
    void HooksSeeInputFirst();
    void PrintsPages();
    void ContentAndCodecHooks();
    void EmptyAndTinyBoxesAreSafe();
    void TallBooksAreLaidOutToTheEnd();
    void PointsBelowTheLayoutAnswerAsWhenLaidOut();
    void PlaceSetWhileHiddenSurvivesShowAndResize_data();
    void EditsNeverReachTheEndMarker_data();
    void EditsNeverReachTheEndMarker();
    void PlaceSetWhileHiddenSurvivesShowAndResize();
    void KeptPositionStaysInTheTopLine();

private:
    TRichBox *Box = nullptr;
};

void TestRichBox::init()
{
    Box = new TRichBox;
    Box->resize(420, 300);
    Box->RichDocument()->SetDefaultFont(QStringLiteral("DejaVu Sans"), 10);
    Box->LoadPlainText(SampleBook());
    Box->show();
    QVERIFY(QTest::qWaitForWindowExposed(Box));
}

void TestRichBox::cleanup()
{
    delete Box;
    Box = nullptr;
}

void TestRichBox::LinesAndPositionsRoundTrip()
{
    TRichDocument *doc = Box->RichDocument();
    QCOMPARE(Box->document(), doc->Document());
    const int count = Box->LineCountExact();
    QVERIFY2(count > doc->ParagraphCount() + 100, "long paragraphs wrap over several lines");
    QCOMPARE(GetLineCount(Box), count);
    int previous = -1;
    for (int line = 0; line < count; ++line) {
        int start = LineIndex(Box, line);
        QVERIFY(start > previous);
        QCOMPARE(LineFromChar(Box, start), line);
        previous = start;
    }
    QCOMPARE(LineIndex(Box, count), -1);
    QCOMPARE(LineFromChar(Box, GetTextLength(Box)), count - 1);
    QCOMPARE(LineFromChar(Box, 0), 0);
    // Both halves of a paragraph break belong to the line they end.
    int second = doc->ParagraphStart(1);
    QCOMPARE(LineFromChar(Box, second - 2), LineFromChar(Box, second - 3));
    QCOMPARE(LineFromChar(Box, second - 1), LineFromChar(Box, second - 2));
    QCOMPARE(LineFromChar(Box, second), LineFromChar(Box, second - 2) + 1);
    // An empty paragraph is a line of its own.
    int empty = doc->ParagraphStart(3);
    QCOMPARE(LineFromChar(Box, empty + 2), LineFromChar(Box, empty) + 1);
    // The line of a position inside a wrapped paragraph.
    int inside = doc->ParagraphStart(4) + 200;
    int line = LineFromChar(Box, inside);
    QVERIFY(LineIndex(Box, line) <= inside && inside < LineIndex(Box, line + 1));
}

void TestRichBox::TopLineScrollingAndCaret()
{
    SetTopLine(Box, 40);
    QCOMPARE(GetFirstVisibleLine(Box), 40);
    QCOMPARE(FirstVisibleCharIndex(Box), LineIndex(Box, 40));
    QCOMPARE(Box->RichDocument()->SelectionStart(), LineIndex(Box, 40));
    QCOMPARE(Box->RichDocument()->SelectionLength(), 0);
    QVERIFY(IsCaretVisible(Box));

    ScrollLines(Box, 3);
    QCOMPARE(GetFirstVisibleLine(Box), 43);
    ScrollLines(Box, -5);
    QCOMPARE(GetFirstVisibleLine(Box), 38);
    QVERIFY(IsCaretVisible(Box));
    ScrollLines(Box, 60);
    QCOMPARE(GetFirstVisibleLine(Box), 98);
    QVERIFY(!IsCaretVisible(Box)); // scrolled above the box
    KeepCaretVisible(Box, 0);
    QCOMPARE(Box->RichDocument()->SelectionStart(), LineIndex(Box, 98));
    QVERIFY(IsCaretVisible(Box));

    // The point of a line's first character maps back to it.
    QPoint caret;
    QVERIFY(Box->CaretPosition(&caret));
    QCOMPARE(CharFromPos(Box, caret.x() + 1, caret.y() + 2), LineIndex(Box, 98));

    SetTopLine(Box, -3);
    QCOMPARE(GetFirstVisibleLine(Box), 0);
    QCOMPARE(Box->verticalScrollBar()->value(), 0);
    SetScrollPos(Box, 0);
    ScrollCaret(Box);
    QCOMPARE(GetFirstVisibleLine(Box), 0);
}

void TestRichBox::GoToPositionNearTheEnd()
{
    const int count = Box->LineCountExact();
    QScrollBar *bar = Box->verticalScrollBar();
    // A position in the last five lines shows the end of the text.
    GoToPosition(Box, LineIndex(Box, count - 3));
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(IsCaretVisible(Box));
    GoToPosition(Box, LineIndex(Box, count - 4) + 1);
    QCOMPARE(bar->value(), bar->maximum());
    // The fifth line from the end is still put at the top (here the bottom
    // of the text is reached first).
    SetTopLine(Box, 0);
    GoToPosition(Box, LineIndex(Box, count - 5));
    QCOMPARE(Box->RichDocument()->SelectionStart(), LineIndex(Box, count - 5));
    // Further up the line becomes the top line.
    GoToPosition(Box, LineIndex(Box, 120) + 2);
    QCOMPARE(GetFirstVisibleLine(Box), 120);
    GoToPosition(Box, 0);
    QCOMPARE(GetFirstVisibleLine(Box), 0);
    GoToPosition(Box, -1); // nothing
    QCOMPARE(GetFirstVisibleLine(Box), 0);
    ScrollToEnd(Box);
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(IsCaretVisible(Box));
}

void TestRichBox::ZoomKeepsWrappingToTheWidth()
{
    const int normal = Box->LineCountExact();
    SetZoom(Box, 200);
    QCOMPARE(Box->ZoomPercent(), 200);
    const int doubled = Box->LineCountExact();
    QVERIFY2(doubled > normal * 3 / 2, "twice the size wraps into more lines");
    // The text's widest line still fits the box at this zoom.
    QTextDocument *doc = Box->document();
    QVERIFY(doc->textWidth() * 2 <= Box->viewport()->width());
    SetTopLine(Box, 50);
    QCOMPARE(GetFirstVisibleLine(Box), 50);
    QVERIFY(IsCaretVisible(Box));
    ScrollLines(Box, 2);
    QCOMPARE(GetFirstVisibleLine(Box), 52);
    // Page Down moves a zoomed page and keeps the caret on screen.
    Box->setReadOnly(true);
    Box->setFocus();
    const int shownLines = Box->viewport()->height() / (2 * 14);
    QTest::keyClick(Box, Qt::Key_PageDown);
    QVERIFY(GetFirstVisibleLine(Box) >= 52 + shownLines / 2);
    QVERIFY(GetFirstVisibleLine(Box) <= 52 + shownLines * 2);
    QVERIFY(IsCaretVisible(Box));
    QTest::keyClick(Box, Qt::Key_PageUp);
    QVERIFY(qAbs(GetFirstVisibleLine(Box) - 52) <= 1);
    QVERIFY(IsCaretVisible(Box));
    // The text at the top stays at the top when the zoom changes.
    const int topText = FirstVisibleCharIndex(Box);
    SetZoom(Box, 50);
    QVERIFY(Box->LineCountExact() < normal);
    QCOMPARE(GetFirstVisibleLine(Box), LineFromChar(Box, topText));
    SetZoom(Box, 5000);
    QCOMPARE(Box->ZoomPercent(), 500);
    SetZoom(Box, 0);
    QCOMPARE(Box->ZoomPercent(), 100);
    QCOMPARE(Box->LineCountExact(), normal);

    SetLeftMargin(Box, 60);
    SetRightMargin(Box, 40);
    QVERIFY(Box->LineCountExact() > normal);
    QCOMPARE(int(doc->textWidth()), Box->viewport()->width() - 100);
}

void TestRichBox::PositionSurvivesFormatChange()
{
    TRichDocument *doc = Box->RichDocument();
    SetTopLine(Box, 70);
    const int position = FirstVisibleCharIndex(Box);
    doc->SetSelection(position + 5, 4);
    SetFontSizeAll(Box, 14);
    SetBoldAll(Box, true);
    SetCharSpacingAll(Box, 3);
    QCOMPARE(doc->GetCharFormat().SpacingTwips, 17); // 3 x 5.76 truncated
    QVERIFY(doc->GetCharFormat().Effects & CFE_BOLD);
    QCOMPARE(doc->GetCharFormat().HeightTwips, 280);
    GoToPosition(Box, position);
    QCOMPARE(GetFirstVisibleLine(Box), LineFromChar(Box, position));
    QVERIFY(FirstVisibleCharIndex(Box) <= position);
    QVERIFY(!doc->IsModified());
}

void TestRichBox::TextLimitEmptinessAndModified()
{
    TRichDocument *doc = Box->RichDocument();
    doc->SetPlainText(QStringLiteral("\r\n"));
    QCOMPARE(GetTextLength(Box), 2);
    QVERIFY(IsRichEditEmpty(Box));
    doc->SetPlainText(QStringLiteral("abc"));
    QVERIFY(!IsRichEditEmpty(Box));
    SetTextLimit(Box, 0);
    QCOMPARE(doc->TextLimit(), 0x7FFFFFFF);

    // The user's typing sets the modified flag; the program clears it.
    Box->setReadOnly(false);
    Box->setFocus();
    QVERIFY(!doc->IsModified());
    Box->PlaceCaret(3);
    QTest::keyClicks(Box, QStringLiteral("de"));
    QCOMPARE(doc->GetText(), QStringLiteral("abcde"));
    QVERIFY(doc->IsModified());
    doc->SetModified(false);
    SetTextLimit(Box, 6);
    QTest::keyClicks(Box, QStringLiteral("fgh"));
    QCOMPARE(doc->GetText(), QStringLiteral("abcdef"));
    // Shift+Enter makes a paragraph break like Enter.
    SetTextLimit(Box, 0);
    QTest::keyClick(Box, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(Box, QStringLiteral("g"));
    QCOMPARE(doc->GetText(), QStringLiteral("abcdef\r\ng"));
    QCOMPARE(doc->ParagraphCount(), 2);
    // Read-only: typing changes nothing.
    Box->setReadOnly(true);
    QTest::keyClicks(Box, QStringLiteral("x"));
    QCOMPARE(doc->GetText(), QStringLiteral("abcdef\r\ng"));
}

void TestRichBox::SearchSelectsTheMatch()
{
    TRichDocument *doc = Box->RichDocument();
    doc->SetPlainText(QStringLiteral("Élan and elan.\r\nThe ELAN again.\r\n")
                      + QStringLiteral("filler\r\n").repeated(200) + QStringLiteral("final élan"));
    QCOMPARE(FindTextInRichEdit(Box, QStringLiteral("elan"), true, true), 9);
    QCOMPARE(doc->SelectionStart(), 9);
    QCOMPARE(doc->SelectionLength(), 4);
    QCOMPARE(FindTextInRichEdit(Box, QStringLiteral("elan"), true, false), 20);
    QCOMPARE(FindTextInRichEdit(Box, QStringLiteral("elan"), true, false), -1); // "élan" is another word
    QCOMPARE(doc->SelectionStart(), 20); // unchanged
    int last = FindTextInRichEdit(Box, QStringLiteral("ÉLAN"), true, false);
    QCOMPARE(last, GetTextLength(Box) - 4);
    QVERIFY(IsCaretVisible(Box)); // scrolled to the match at the end
    QCOMPARE(FindTextInRichEdit(Box, QStringLiteral("élan"), false, false), 0);
    QCOMPARE(FindTextInRichEdit(Box, QStringLiteral("élan"), false, false), -1);
}

void TestRichBox::LinksAreDetectedAndReported()
{
    TRichDocument *doc = Box->RichDocument();
    doc->SetPlainText(QStringLiteral("Visit http://example.com/page. Or www.example.org, mailto:a@b.c and awww.no"));
    EnableUrlDetection(Box);
    QSignalSpy clicked(Box, &TRichBox::LinkClicked);
    auto pointOf = [this](int position) {
        Box->PlaceCaret(position);
        QPoint point;
        Box->CaretPosition(&point);
        return point + QPoint(2, 4);
    };
    TRichBox::TLink link;
    QVERIFY(Box->LinkAt(pointOf(10), &link));
    QCOMPARE(link.Start, 6);
    QCOMPARE(link.Text, QStringLiteral("http://example.com/page"));
    QCOMPARE(link.End, 6 + link.Text.size());
    QVERIFY(Box->LinkAt(pointOf(36), &link));
    QCOMPARE(link.Text, QStringLiteral("www.example.org"));
    QVERIFY(Box->LinkAt(pointOf(55), &link));
    QCOMPARE(link.Text, QStringLiteral("mailto:a@b.c"));
    QVERIFY(!Box->LinkAt(pointOf(2), &link));
    QVERIFY(!Box->LinkAt(pointOf(doc->GetTextLength() - 3), &link));

    QTest::mouseClick(Box->viewport(), Qt::LeftButton, {}, pointOf(12));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toInt(), 6);
    QCOMPARE(clicked.at(0).at(2).toString(), QStringLiteral("http://example.com/page"));

    // Typed text is scanned too.
    Box->setReadOnly(false);
    Box->PlaceCaret(0);
    Box->setFocus();
    QTest::keyClicks(Box, QStringLiteral("https://x.org "));
    QVERIFY(Box->LinkAt(pointOf(3), &link));
    QCOMPARE(link.Text, QStringLiteral("https://x.org"));
    // Off: no links.
    Box->SetUrlDetection(false);
    QVERIFY(!Box->LinkAt(pointOf(3), &link));
}

void TestRichBox::HooksSeeInputFirst()
{
    TRichDocument *doc = Box->RichDocument();
    doc->SetPlainText(QStringLiteral("alpha beta gamma"));
    Box->setReadOnly(false);
    Box->setFocus();
    int keys = 0;
    Box->OnKeyPress = [&keys](QKeyEvent *event) {
        ++keys;
        return event->key() == Qt::Key_X; // swallow x
    };
    Box->PlaceCaret(0);
    QTest::keyClicks(Box, QStringLiteral("xy"));
    QCOMPARE(keys, 2);
    QCOMPARE(doc->GetText(), QStringLiteral("yalpha beta gamma"));

    QVector<bool> presses;
    bool swallow = true;
    Box->OnMousePress = [&](QMouseEvent *, bool doubleClick) {
        presses.append(doubleClick);
        return swallow;
    };
    Box->PlaceCaret(8);
    QPoint point;
    Box->CaretPosition(&point);
    point += QPoint(1, 4);
    Box->PlaceCaret(0);
    QTest::mousePress(Box->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseRelease(Box->viewport(), Qt::LeftButton, {}, point);
    QCOMPARE(presses, QVector<bool>{false});
    QCOMPARE(doc->SelectionStart(), 0); // swallowed: the caret did not move
    swallow = false;
    QTest::mouseDClick(Box->viewport(), Qt::LeftButton, {}, point);
    QVERIFY(presses.contains(true));
    QCOMPARE(doc->SelectedText(), QStringLiteral("beta")); // double click selects the word

    int wheels = 0;
    Box->OnWheel = [&wheels](QWheelEvent *) { return ++wheels > 0; };
    QWheelEvent wheel(QPointF(5, 5), Box->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Box->viewport(), &wheel);
    QCOMPARE(wheels, 1);
}

void TestRichBox::PrintsPages()
{
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("book.pdf")));
    QString error;
    QVERIFY(Box->Print(&printer, QMarginsF(), &error));
    QFile pdf(printer.outputFileName());
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QByteArray data = pdf.readAll();
    QVERIFY(data.startsWith("%PDF"));
    QVERIFY2(data.count("/Type /Page\n") + data.count("/Type /Page\r") + data.count("/Type /Page ") > 1
                 || data.count("/Type /Page") > 2,
             "the book spans several pages");
}

void TestRichBox::ContentAndCodecHooks()
{
    // Lines counted so far never exceed the real count and reach it.
    QVERIFY(Box->LineCount() >= Box->RichDocument()->ParagraphCount());
    const int exact = Box->LineCountExact();
    QCOMPARE(Box->LineCount(), exact);
    QVERIFY(Box->IsLayoutComplete());

    Box->LoadPlainText(QStringLiteral("one\rtwo\n\nfour"));
    QCOMPARE(Box->PlainText(), QStringLiteral("one\r\ntwo\r\n\r\nfour\r\n"));
    QCOMPARE(Box->document(), Box->RichDocument()->Document());
    QVERIFY(!Box->RichDocument()->IsModified());

    // The program's selection reaches the text edit once events run.
    Box->PlaceCaret(5);
    QCoreApplication::processEvents();
    QCOMPARE(Box->RichDocument()->FromQtPosition(Box->textCursor().position()), 5);

    QString error;
    QByteArray rtf;
    TRichBox::SetRtfCodec(nullptr, nullptr);
    QVERIFY(!Box->LoadRtf("{\\rtf1 x}", &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(Box->PlainText(), QStringLiteral("one\r\ntwo\r\n\r\nfour\r\n")); // untouched
    TRichBox::SetRtfCodec(
        [](TRichDocument &doc, const QByteArray &bytes, QString *) {
            doc.SetPlainText(QString::fromLatin1(bytes));
            return true;
        },
        [](const TRichDocument &doc, QByteArray *out, QString *) {
            *out = doc.GetText().toLatin1();
            return true;
        });
    QVERIFY(Box->LoadRtf("loaded", &error));
    QVERIFY(Box->SaveRtf(&rtf, &error));
    QCOMPARE(rtf, QByteArray("loaded"));
    TRichBox::SetRtfCodec(nullptr, nullptr);

    // The owner's background painting runs under the text.
    int painted = 0;
    Box->OnPaintBackground = [&painted](QPainter &, const QRect &) { ++painted; };
    Box->viewport()->repaint();
    QVERIFY(painted > 0);
}

void TestRichBox::EmptyAndTinyBoxesAreSafe()
{
    Box->RichDocument()->Clear();
    QCOMPARE(GetTextLength(Box), 0);
    QVERIFY(IsRichEditEmpty(Box));
    QCOMPARE(GetLineCount(Box), 1);
    QCOMPARE(GetFirstVisibleLine(Box), 0);
    QCOMPARE(LineIndex(Box, 0), 0);
    QCOMPARE(LineIndex(Box, 1), -1);
    QCOMPARE(LineFromChar(Box, 10), 0);
    QCOMPARE(CharFromPos(Box, 50, 200), 0);
    GoToPosition(Box, 7);
    ScrollToEnd(Box);
    ScrollLines(Box, 5);
    SetTopLine(Box, 3);
    QCOMPARE(Box->RichDocument()->SelectionStart(), 0);
    QVERIFY(IsCaretVisible(Box));
    QCOMPARE(FindTextInRichEdit(Box, QStringLiteral("a"), true, true), -1);
    QCOMPARE(FindTextInRichEdit(Box, QStringLiteral("a"), false, false), -1);
    Box->viewport()->repaint();

    // A box squeezed to nothing still answers.
    Box->LoadPlainText(QStringLiteral("one two three four five six seven"));
    Box->resize(1, 1);
    QVERIFY(Box->LineCountExact() >= 1);
    SetZoom(Box, 500);
    SetTopLine(Box, 2);
    QVERIFY(GetFirstVisibleLine(Box) >= 0);
    Box->viewport()->repaint();
}

// A whole large book lays out taller than Qt's layout reaches without a page
// height (8 388 607 px); before the box gave its documents a tall page the
// layout never returned.
// A place far below what is laid out: the box lays out down to it, and the
// character under each point is the one a full layout gives.
void TestRichBox::PointsBelowTheLayoutAnswerAsWhenLaidOut()
{
    QString book;
    for (int i = 0; i < 40; ++i)
        book += SampleBook() + QStringLiteral("\r\n");
    Box->LoadPlainText(book);
    QVERIFY(!Box->IsLayoutComplete());
    const QList<int> scrolls = {0, 90000, 40000, 250000, 250000 + 7};
    const QList<QPoint> points = {QPoint(5, 5), QPoint(200, 150), QPoint(400, 290)};
    QList<int> early;
    for (int scroll : scrolls) {
        Box->SetScrollY(scroll);
        for (const QPoint &p : points)
            early << Box->CharFromPos(p);
    }
    Box->document()->documentLayout()->documentSize();
    QVERIFY(Box->IsLayoutComplete());
    QList<int> full;
    for (int scroll : scrolls) {
        Box->SetScrollY(scroll);
        QCOMPARE(Box->ScrollY(), scroll);
        for (const QPoint &p : points)
            full << Box->CharFromPos(p);
    }
    QCOMPARE(early, full);
    QVERIFY(full.at(3) > full.at(0));
}

void TestRichBox::TallBooksAreLaidOutToTheEnd()
{
    QStringList paragraphs;
    for (int i = 0; i < 2000; ++i)
        paragraphs << QStringLiteral("Paragraph %1.").arg(i);
    Box->LoadPlainText(paragraphs.join(QStringLiteral("\r\n")));
    QTextCursor all(Box->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat spaced;
    spaced.setBottomMargin(5000); // 2000 paragraphs, 10 000 000 px
    all.mergeBlockFormat(spaced);

    QVERIFY(Box->document()->documentLayout()->documentSize().height() > 9000000);
    QVERIFY(Box->IsLayoutComplete());
    QCOMPARE(Box->LineCountExact(), 2000);
    QCOMPARE(LineFromChar(Box, GetTextLength(Box)), 1999);

    // Read near the end, then change the wrap width and the zoom: the text
    // edit lays out anew down to the shown place, past the old limit.
    SetTopLine(Box, 1995);
    const int top = GetFirstVisibleLine(Box);
    QCOMPARE(top, 1995);
    Box->SetLeftMarginPixels(40);
    QCOMPARE(GetFirstVisibleLine(Box), top);
    SetZoom(Box, 150);
    QCOMPARE(GetFirstVisibleLine(Box), top);
    QCOMPARE(Box->LineCountExact(), 2000);
    Box->viewport()->repaint();

    // A new document taken while the box shows the end of the old one.
    ScrollToEnd(Box);
    Box->LoadPlainText(paragraphs.join(QStringLiteral("\r\n")));
    QCOMPARE(Box->LineCountExact(), 2000);
}

void TestRichBox::PlaceSetWhileHiddenSurvivesShowAndResize_data()
{
    QTest::addColumn<QSize>("shownSize");
    QTest::newRow("same size") << QSize(420, 300);
    QTest::newRow("taller") << QSize(420, 560);
    QTest::newRow("wider and shorter") << QSize(600, 200);
}

// A book opened while the box is hidden goes to its place before the box
// has its real size or was ever shown; showing and resizing it must not lose
// the place.
void TestRichBox::PlaceSetWhileHiddenSurvivesShowAndResize()
{
    QFETCH(QSize, shownSize);
    TRichBox box;
    box.resize(420, 300);
    box.RichDocument()->SetDefaultFont(QStringLiteral("DejaVu Sans"), 10);
    box.LoadPlainText(SampleBook());
    const int position = box.RichDocument()->ParagraphStart(200);
    GoToPosition(&box, position);
    box.resize(shownSize);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.setFocus();
    QApplication::processEvents();
    QCOMPARE(LineIndex(&box, box.FirstVisibleLine()), position);
    box.resize(shownSize + QSize(0, 77));
    QApplication::processEvents();
    QCOMPARE(LineIndex(&box, box.FirstVisibleLine()), position);
}

// A place inside a line: through one width after another the line holding
// it stays on top, until the reader scrolls.
void TestRichBox::KeptPositionStaysInTheTopLine()
{
    const int position = Box->RichDocument()->ParagraphStart(200) + 37;
    GoToPosition(Box, position);
    QCOMPARE(Box->FirstVisibleLine(), LineFromChar(Box, position));
    for (int width : {300, 520, 380, 420}) {
        Box->resize(width, 300);
        QApplication::processEvents();
        QCOMPARE(Box->FirstVisibleLine(), LineFromChar(Box, position));
    }
    Box->ScrollLines(5);
    const int top = LineIndex(Box, Box->FirstVisibleLine());
    Box->resize(300, 300);
    QApplication::processEvents();
    QVERIFY(Box->FirstVisibleLine() != LineFromChar(Box, position));
    QCOMPARE(Box->FirstVisibleLine(), LineFromChar(Box, top));
}

void TestRichBox::EditsNeverReachTheEndMarker_data()
{
    QTest::addColumn<QString>("keys"); // key names, "text:..." types the text
    QTest::addColumn<QString>("expected");
    QTest::newRow("typed at the very end") << "Ctrl+End text:X"
                                           << "Two.\r\nX\r\n***** End of Book *****";
    QTest::newRow("Delete at the end") << "Ctrl+End Delete Delete text:Y"
                                       << "Two.\r\nY\r\n***** End of Book *****";
    QTest::newRow("all selected and typed over") << "Ctrl+A text:Z"
                                                 << "Z\r\n***** End of Book *****";
    QTest::newRow("backspace at the end") << "Ctrl+End Backspace Backspace"
                                          << "One.\r\nTwo\r\n***** End of Book *****";
}

// An editing reader types, deletes and replaces the book's text; the end
// marker after it stays as the program wrote it.
void TestRichBox::EditsNeverReachTheEndMarker()
{
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    TRichDocument *doc = Box->RichDocument();
    doc->SetPlainText(QStringLiteral("One.\r\nTwo.\r\n\r\n***** End of Book *****"));
    doc->SetEndMarker(true);
    Box->setReadOnly(false);
    Box->setFocus();
    QApplication::processEvents();
    for (const QString &key : keys.split(QLatin1Char(' '))) {
        if (key.startsWith(QLatin1String("text:")))
            QTest::keyClicks(Box, key.mid(5));
        else if (key == QLatin1String("Ctrl+End"))
            QTest::keyClick(Box, Qt::Key_End, Qt::ControlModifier);
        else if (key == QLatin1String("Ctrl+A"))
            QTest::keyClick(Box, Qt::Key_A, Qt::ControlModifier);
        else if (key == QLatin1String("Delete"))
            QTest::keyClick(Box, Qt::Key_Delete);
        else
            QTest::keyClick(Box, Qt::Key_Backspace);
    }
    QVERIFY2(doc->GetText().endsWith(expected), qPrintable(doc->GetText()));
    QVERIFY(doc->HasEndMarker());
}

QTEST_MAIN(TestRichBox)
#include "test_richbox.moc"
