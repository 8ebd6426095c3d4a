// Printing the open book from the main window: the question, the printer,
// and the pages of a PDF read back with poppler's pdftotext and pdfinfo.
#include <QtTest>

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "BookGroupBox.h"
#include "Dialogs.h"
#include "LecternForm.h"
#include "ProgramMiscTabSheet.h"
#include "ReportRecorder.h"
#include "RichBox.h"

namespace {

constexpr double PointsPerMillimetre = 72 / 25.4;

// A book of numbered paragraphs; 17 of them fill about two and a half A4
// pages in the reader's default format.
QByteArray NumberedBook(int paragraphs)
{
    QByteArray book;
    for (int i = 1; i <= paragraphs; ++i)
        book += "Paragraph " + QByteArray::number(i)
            + " tells how the river ran past the mill while the miller counted the sacks of flour one by one.\n\n";
    return book;
}

QString Run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The boxes of the words pdftotext finds on each page, in points from the
// page's top-left corner.
struct TPdfWords {
    QSizeF PageSize;
    QList<QRectF> Boxes;
};

TPdfWords WordBoxes(const QString &pdf)
{
    TPdfWords words;
    const QString html = Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    static const QRegularExpression page(QStringLiteral(R"x(<page width="([\d.]+)" height="([\d.]+)")x"));
    static const QRegularExpression word(
        QStringLiteral(R"x(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)")x"));
    const auto size = page.match(html);
    if (size.hasMatch())
        words.PageSize = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.Boxes << QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                              QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    }
    return words;
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void printsPagesWithMargins();
    void answeringNoPrintsNothing();
    void printerFailureIsShown();
    void noDefaultPrinterShowsThePrintDialog();

private:
    bool HavePoppler = false;
};

void TestPrint::initTestCase()
{
    TLecternForm::FirstActivation = false;
    HavePoppler = !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

void TestPrint::printsPagesWithMargins()
{
    if (!HavePoppler)
        QSKIP("pdftotext and pdfinfo (poppler-utils) are not installed");
    TScopedRecordingDialogs dialogs;
    TReportRecorder reports;
    QTemporaryDir dir;
    TLecternForm form;
    form.resize(1000, 800);
    const QString book = dir.filePath(QStringLiteral("river.txt"));
    {
        QFile file(book);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(NumberedBook(17));
    }
    QVERIFY(form.OpenBook(book, false));
    auto &print = form.ProgramMiscTabSheet->Form;
    print.PrintLeftMarginComboBox->setCurrentText(QStringLiteral("40"));
    print.PrintRightMarginComboBox->setCurrentText(QStringLiteral("10"));
    print.PrintTopMarginComboBox->setCurrentText(QStringLiteral("25"));
    print.PrintBottomMarginComboBox->setCurrentText(QStringLiteral("25"));
    const QString pdf = dir.filePath(QStringLiteral("river.pdf"));
    form.PrinterForBook = [&pdf] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        printer->setPageSize(QPageSize(QPageSize::A4));
        return printer;
    };
    form.BookGroupBox->Form.PrintBookButton->click();
    QCOMPARE(dialogs.Texts(), QStringList{QStringLiteral("Print text?")});
    QVERIFY2(reports.Messages.isEmpty(), qPrintable(reports.Reports.join(QLatin1Char('\n'))));

    const QString info = Run(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))), qPrintable(info));
    const QRegularExpression title(QStringLiteral("Title:\\s+") + QRegularExpression::escape(book) + QLatin1Char('\n'));
    QVERIFY2(info.contains(title), qPrintable(info));

    // Every paragraph is printed once, in order, none lost at a page break.
    QStringList pages;
    for (int page = 1; page <= 3; ++page)
        pages << Run(QStringLiteral("pdftotext"),
                     {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page), pdf,
                      QStringLiteral("-")});
    const QString all = pages.join(QLatin1Char('\n')).simplified();
    QVERIFY(pages.first().contains(QStringLiteral("Paragraph 1 tells")));
    QVERIFY(pages.last().contains(QStringLiteral("***** End of Book *****")));
    int at = 0;
    for (int i = 1; i <= 17; ++i) {
        const QString start = QStringLiteral("Paragraph %1 tells").arg(i);
        const int found = int(all.indexOf(start, at));
        QVERIFY2(found >= at, qPrintable(start));
        QVERIFY2(all.count(start) == 1, qPrintable(start));
        at = found + 1;
    }

    // The margins chosen: 40 mm left, 10 mm right, 25 mm top and bottom.
    const TPdfWords words = WordBoxes(pdf);
    QVERIFY(!words.Boxes.isEmpty());
    QRectF used = words.Boxes.first();
    for (const QRectF &box : words.Boxes)
        used = used.united(box);
    const double tolerance = 1.5;
    QVERIFY2(used.left() >= 40 * PointsPerMillimetre - tolerance, qPrintable(QString::number(used.left())));
    QVERIFY2(used.left() <= 40 * PointsPerMillimetre + 15, qPrintable(QString::number(used.left())));
    QVERIFY2(used.top() >= 25 * PointsPerMillimetre - tolerance, qPrintable(QString::number(used.top())));
    QVERIFY2(used.right() <= words.PageSize.width() - 10 * PointsPerMillimetre + tolerance,
             qPrintable(QString::number(used.right())));
    QVERIFY2(used.bottom() <= words.PageSize.height() - 25 * PointsPerMillimetre + tolerance,
             qPrintable(QString::number(used.bottom())));
    // Justified lines reach the right margin.
    QVERIFY2(used.right() >= words.PageSize.width() - 10 * PointsPerMillimetre - 15,
             qPrintable(QString::number(used.right())));
}

void TestPrint::answeringNoPrintsNothing()
{
    TScopedRecordingDialogs dialogs;
    QTemporaryDir dir;
    TLecternForm form;
    const QString book = dir.filePath(QStringLiteral("river.txt"));
    {
        QFile file(book);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(NumberedBook(3));
    }
    QVERIFY(form.OpenBook(book, false));
    int asked = 0;
    form.PrinterForBook = [&asked] {
        ++asked;
        return std::unique_ptr<QPrinter>(); // as if the print dialog was cancelled
    };
    dialogs.Answers = {DialogResultNo};
    form.BookGroupBox->Form.PrintBookButton->click();
    QCOMPARE(asked, 0);
    form.BookGroupBox->Form.PrintBookButton->click();
    QCOMPARE(asked, 1);
    QCOMPARE(dialogs.Texts(), QStringList(2, QStringLiteral("Print text?")));
}

void TestPrint::printerFailureIsShown()
{
    TScopedRecordingDialogs dialogs;
    TReportRecorder reports;
    QTemporaryDir dir;
    TLecternForm form;
    const QString book = dir.filePath(QStringLiteral("river.txt"));
    {
        QFile file(book);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(NumberedBook(3));
    }
    QVERIFY(form.OpenBook(book, false));
    form.PrinterForBook = [&dir] {
        auto printer = std::make_unique<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(dir.filePath(QStringLiteral("gone/river.pdf")));
        return printer;
    };
    form.BookGroupBox->Form.PrintBookButton->click();
    QCOMPARE(reports.Messages, QStringList{QStringLiteral("Failed to print.")});
    QVERIFY(reports.Reports[0].contains(QStringLiteral("TLecternForm::PrintBookButtonClick")));
}

// Without a default printer the reader chooses one in the print dialog;
// cancelling it prints nothing and shows no failure.
void TestPrint::noDefaultPrinterShowsThePrintDialog()
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("this system has a default printer");
    TScopedRecordingDialogs dialogs;
    TReportRecorder reports;
    QTemporaryDir dir;
    TLecternForm form;
    const QString book = dir.filePath(QStringLiteral("river.txt"));
    {
        QFile file(book);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(NumberedBook(3));
    }
    QVERIFY(form.OpenBook(book, false));
    bool shown = false;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget())) {
            shown = true;
            dialog->reject();
        }
    });
    timer.start(20);
    QTimer::singleShot(10000, &form, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close(); // never wait for a person
    });
    form.BookGroupBox->Form.PrintBookButton->click();
    QVERIFY(shown);
    QVERIFY(reports.Messages.isEmpty());
}

QTEST_MAIN(TestPrint)
#include "test_print.moc"
