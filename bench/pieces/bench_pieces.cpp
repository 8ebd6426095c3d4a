// A 20 MB book in pieces read as one book: the first screen of a piece with
// and without the whole-book reading, the scan of the whole book (time and
// memory), the chapters menu of the whole book, find of a word at the end
// of the book and of a word it does not have, and Space from the end of one
// piece to the first page of the next. Each measurement that needs a clean
// process (memory, first screen) runs in one of its own.
#include "BenchCommon.h"

#include "BookGroupBox.h"
#include "BookScan.h"
#include "Dialogs.h"
#include "LecternForm.h"
#include "ProfileGeneralTabSheet.h"
#include "RichBox.h"
#include "RichEditOps.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>

#include <cstdio>

namespace {

const QByteArray EndWord = "zanzibarquux";

// The piece in the middle of the book, whose first screen is measured.
int MiddlePiece(qint64 size) { return int((size + 49999) / 50000) / 2; }

struct TWindow {
    TScopedRecordingDialogs Dialogs;
    TLecternForm Form;

    explicit TWindow(bool wholeBook)
    {
        TLecternForm::FirstActivation = false;
        Form.IsApplicationActive = [] { return true; };
        Form.resize(1280, 1000);
        Form.show();
        QCoreApplication::processEvents();
        Form.OpenInPiecesCheckBox->setChecked(true);
        Form.ProfileGeneralTabSheet->Form.WholeBookPiecesCheckBox->setChecked(wholeBook);
    }

    bool WaitFor(const std::function<bool()> &condition, int ms = 20000)
    {
        QElapsedTimer t;
        t.start();
        while (!condition() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return condition();
    }
    bool Scanned() { return Form.CurrentFileInfoLabel->text().contains(QStringLiteral(" of ")); }
    void Paint() { Form.RichEdit->viewport()->repaint(); }
};

double Ms(const QElapsedTimer &t) { return t.nsecsElapsed() / 1e6; }

// argv: --first-screen PATH WHOLE(0/1)
int FirstScreen(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[2]);
    TWindow w(QByteArray(argv[3]) == "1");
    const int piece = MiddlePiece(QFile(path).size());
    // The book is opened once so that both runs read a file in the cache,
    // then its middle piece is the first screen measured, three times.
    w.Form.LoadFromFile(path, 1, false, 0);
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        w.Form.LoadFromFile(path, piece + run, false, 0);
        w.Paint();
        best = std::min(best, Ms(t));
        w.WaitFor([] { return false; }, 400); // the scan of the book, if any, has its turn
    }
    printf("first_screen_ms=%.2f\n", best);
    return 0;
}

// argv: --scan PATH
int Scan(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const long before = StatusKb("VmRSS:");
    TBookScanRequest request;
    request.Path = file.fileName();
    EncodingFromName(QStringLiteral("UTF-8"), request.Encoding);
    QElapsedTimer t;
    t.start();
    const TBookScanResult result = ScanBook(file, request);
    const double first = Ms(t);
    const long peak = PeakMemoryKb();
    double best = first;
    for (int run = 0; run < 2; ++run) {
        QElapsedTimer again;
        again.start();
        ScanBook(file, request);
        best = std::min(best, Ms(again));
    }
    printf("scan_ms=%.1f\n", best);
    printf("scan_memory_per_byte=%.2f\n", (peak - before) * 1024.0 / std::max<qint64>(1, file.size()));
    printf("scan_lines=%d\nscan_chapters=%d\nscan_complete=%d\n", result.LineCount,
           result.Chapters ? result.Chapters->Count() : 0, int(result.Complete));
    return 0;
}

// argv: --window PATH
int Window(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[2]);
    TWindow w(true);
    w.Form.LoadFromFile(path, 1, false, 0);
    QElapsedTimer scan;
    scan.start();
    if (!w.WaitFor([&w] { return w.Scanned(); }, 60000)) {
        printf("window_scan: never ended\n");
        return 1;
    }
    printf("window_scan_ms=%.1f\n", Ms(scan));

    QElapsedTimer menu;
    menu.start();
    w.Form.ShowChaptersMenu();
    QCoreApplication::processEvents();
    printf("chapters_menu_ms=%.1f\n", Ms(menu));
    printf("chapters_caption=%s\n", qPrintable(w.Form.ChaptersButton->text()));
    for (QMenu *m : w.Form.findChildren<QMenu *>())
        m->hide();

    QLineEdit *find = w.Form.BookGroupBox->Form.FindTextEdit;
    auto timeFind = [&](const QByteArray &word, const char *key) {
        w.Form.LoadFromFile(QString(), 1, false, 0);
        w.Paint();
        find->setText(QString::fromLatin1(word));
        QElapsedTimer t;
        t.start();
        w.Form.FindNext();
        w.Paint();
        printf("%s=%.1f\n", key, Ms(t));
        printf("%s_piece=%d\n", key, w.Form.CurrentPiece());
        printf("%s_hint=%s\n", key, qPrintable(w.Form.HintLabel->text()));
    };
    timeFind(EndWord, "find_at_end_ms");
    timeFind("qqqxqqqz", "find_absent_ms");

    double worst = 0;
    for (int piece = 2; piece < 8; ++piece) {
        w.Form.LoadFromFile(QString(), piece, false, 0);
        ScrollToEnd(w.Form.RichEdit);
        w.Paint();
        QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QElapsedTimer t;
        t.start();
        QApplication::sendEvent(w.Form.RichEdit, &space);
        w.Paint();
        worst = std::max(worst, Ms(t));
        if (w.Form.CurrentPiece() != piece + 1) {
            printf("space_at_end: stayed in piece %d\n", piece);
            return 1;
        }
    }
    printf("space_into_next_piece_ms=%.1f\n", worst);
    return 0;
}

QMap<QString, double> Run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, arguments);
    p.waitForFinished(600000);
    QMap<QString, double> figures;
    for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
        const int equals = line.indexOf('=');
        if (equals < 0) {
            if (!line.isEmpty())
                printf("%s\n", line.constData());
            continue;
        }
        bool number = false;
        const double value = line.mid(equals + 1).toDouble(&number);
        if (number)
            figures[QString::fromLatin1(line.left(equals))] = value;
        else
            printf("%s: %s\n", line.left(equals).constData(), line.mid(equals + 1).constData());
    }
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 4 && QByteArray(argv[1]) == "--first-screen")
        return FirstScreen(argc, argv);
    if (argc >= 3 && QByteArray(argv[1]) == "--scan")
        return Scan(argc, argv);
    if (argc >= 3 && QByteArray(argv[1]) == "--window")
        return Window(argc, argv);
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QByteArray book = GenerateBook(19800000, true);
    // Chapters now and then, and a word only at the very end.
    for (qsizetype at = 400000, n = 1; at < book.size() - 1000; at += 150000, ++n) {
        const qsizetype line = book.indexOf("\r\n\r\n", at);
        if (line > 0)
            book.insert(line + 4, "CHAPTER " + QByteArray::number(n) + "\r\n\r\n");
    }
    book += "\r\nThe last word is " + EndWord + ".\r\n";
    const QString path = WriteFile(dir, QStringLiteral("big.txt"), book);
    const QString program = QCoreApplication::applicationFilePath();
    printf("book: %.1f MB, %d pieces of 50000 bytes\n", book.size() / 1e6, int((book.size() + 49999) / 50000));

    const double off = Run(program, {"--first-screen", path, "0"}).value(QStringLiteral("first_screen_ms"));
    const double on = Run(program, {"--first-screen", path, "1"}).value(QStringLiteral("first_screen_ms"));
    printf("first_screen_pieces_apart: %.2f ms\n", off);
    printf("first_screen_one_book: %.2f ms\n", on);
    printf("ratio: %.2f (goal ≤ 1.1) first screen of a piece read as part of the book against apart\n", on / off);

    const QMap<QString, double> scan = Run(program, {"--scan", path});
    printf("scan_20mb: %.1f ms (%d lines, %d chapters)\n", scan.value("scan_ms"), int(scan.value("scan_lines")),
           int(scan.value("scan_chapters")));
    printf("ratio: %.2f (goal ≤ 1) whole-book scan of 20 MB, in units of 0.3 s\n", scan.value("scan_ms") / 300);
    printf("scan_memory: %.2f bytes per byte of book\n", scan.value("scan_memory_per_byte"));
    printf("ratio: %.2f (goal ≤ 1) scan memory, in units of twice the book\n", scan.value("scan_memory_per_byte") / 2);

    const QMap<QString, double> window = Run(program, {"--window", path});
    printf("window_scan: %.1f ms\n", window.value("window_scan_ms"));
    printf("chapters_menu: %.1f ms\n", window.value("chapters_menu_ms"));
    printf("ratio: %.2f (goal ≤ 1) chapters menu of the whole book, in units of 50 ms\n",
           window.value("chapters_menu_ms") / 50);
    printf("find_at_end: %.1f ms (piece %d)\n", window.value("find_at_end_ms"), int(window.value("find_at_end_ms_piece")));
    printf("ratio: %.2f (goal ≤ 1) find of the last word from the start, in units of 0.3 s\n",
           window.value("find_at_end_ms") / 300);
    printf("find_absent: %.1f ms\n", window.value("find_absent_ms"));
    printf("ratio: %.2f (goal ≤ 1) find of an absent word to \"Not found\", in units of 0.3 s\n",
           window.value("find_absent_ms") / 300);
    printf("space_into_next_piece: %.1f ms (worst of 6)\n", window.value("space_into_next_piece_ms"));
    printf("ratio: %.2f (goal ≤ 1) Space at a piece's end to the next page, in units of 0.1 s\n",
           window.value("space_into_next_piece_ms") / 100);
    fflush(stdout);
    return 0;
}
