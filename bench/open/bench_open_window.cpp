// Opening books in the main window, enhanced: the time until the first
// screen is shown, until the whole book is laid out, and the peak memory,
// against a bare QTextDocument built from the same paragraphs and laid out
// at the same width. Each book opens in a process of its own, so its peak
// memory is its own.
#include "BenchCommon.h"
#include "bench_open_window.h"

#include "Dialogs.h"
#include "LecternForm.h"
#include "RichBox.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>

namespace {

// The floor: the paragraphs in the base character format straight into a
// detached QTextDocument, then a full layout at the same width.
double BareBuildAndLayout(const QStringList &paragraphs, const QTextCharFormat &format, qreal width)
{
    QElapsedTimer timer;
    timer.start();
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    QTextCursor cursor(&doc);
    cursor.setCharFormat(format);
    cursor.insertText(paragraphs.join(QChar(0x2029)), format);
    doc.setTextWidth(width);
    doc.documentLayout()->documentSize();
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int RunWindowCase(int argc, char **argv)
{
    // argv: program --window-case NAME PATH PIECES(0/1)
    QApplication app(argc, argv);
    const QString name = QString::fromLocal8Bit(argv[2]);
    const QString path = QString::fromLocal8Bit(argv[3]);
    const bool inPieces = QByteArray(argv[4]) == "1";
    const qint64 size = QFileInfo(path).size();
    TScopedRecordingDialogs dialogs; // answers Yes to the one-piece question
    TLecternForm::FirstActivation = false;
    TLecternForm form;
    form.IsApplicationActive = [] { return true; };
    form.resize(1280, 1000);
    form.show();
    QCoreApplication::processEvents();
    form.OpenInPiecesCheckBox->setChecked(inPieces);
    const long baseKb = StatusKb("VmRSS:");

    // First screen: the load returns with the top of the book placed; then
    // the box paints it.
    QElapsedTimer timer;
    timer.start();
    const bool ok
        = inPieces ? form.LoadFromFile(path, PieceCountForBench(size) / 2, false, 0) : form.OpenBook(path, false);
    form.RichEdit->viewport()->repaint();
    const double first = timer.nsecsElapsed() / 1e9;
    // The rest of the layout, as the box does it in the background while
    // events are processed.
    QElapsedTimer wait;
    wait.start();
    while (!form.RichEdit->IsLayoutComplete() && wait.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const bool background = form.RichEdit->IsLayoutComplete();
    form.RichEdit->document()->documentLayout()->documentSize();
    const double full = timer.nsecsElapsed() / 1e9;
    const long peakKb = StatusKb("VmHWM:");

    const QStringList paragraphs = form.RichEdit->RichDocument()->GetText().split(QStringLiteral("\r\n"));
    QTextCharFormat format = form.RichEdit->document()->begin().charFormat();
    if (QTextBlock b = form.RichEdit->document()->begin(); b.isValid() && b.begin() != b.end())
        format = b.begin().fragment().charFormat();
    const double floor = BareBuildAndLayout(paragraphs, format, form.RichEdit->document()->textWidth());

    printf("%s_loaded: %s (%lld bytes, %lld paragraphs, %d boxes)\n", qPrintable(name), ok ? "yes" : "no",
           static_cast<long long>(size), static_cast<long long>(paragraphs.size()), int(dialogs.Boxes.size()));
    printf("%s_first_screen: %.3f s\n", qPrintable(name), first);
    printf("%s_full_layout: %.3f s%s\n", qPrintable(name), full, background ? "" : " (forced)");
    printf("%s_floor_build_and_layout: %.3f s\n", qPrintable(name), floor);
    printf("%s_peak_memory: %ld kB (%ld kB above the empty window)\n", qPrintable(name), peakKb, peakKb - baseKb);
    printf("%s_first_screen_ms=%.1f\n", qPrintable(name), first * 1000);
    // The goals concern large books: for small ones the figures are a few
    // milliseconds and a megabyte or two, dominated by the event loop's
    // polling and the allocator, and are shown without a goal.
    if (!inPieces && size >= 3000000) {
        printf("ratio: %.2f (goal ≤ 1.5) %s full layout against the floor\n", full / floor, qPrintable(name));
        printf("ratio: %.2f (goal ≤ 10) %s memory above the empty window per byte of book\n",
               (peakKb - baseKb) * 1024.0 / std::max<qint64>(size, 1), qPrintable(name));
    }
    fflush(stdout);
    return ok ? 0 : 1;
}

int PieceCountForBench(qint64 size) { return static_cast<int>((size + 49999) / 50000); }

void RunWindowCases(const QString &program, const QList<TWindowCase> &cases)
{
    QMap<QString, double> firstMs;
    for (const TWindowCase &c : cases) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(program, {QStringLiteral("--window-case"), c.Name, c.Path, c.InPieces ? "1" : "0"});
        p.waitForFinished(600000);
        for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
            if (line.contains("_first_screen_ms=")) {
                const QList<QByteArray> kv = line.split('=');
                firstMs[QString::fromLatin1(kv[0]).section(QStringLiteral("_first_screen_ms"), 0, 0)]
                    = kv[1].toDouble();
            } else if (!line.isEmpty()) {
                printf("%s\n", line.constData());
            }
        }
        fflush(stdout);
    }
    if (firstMs.contains(QStringLiteral("window_piece_of_20mb")) && firstMs.contains(QStringLiteral("window_50kb")))
        printf("ratio: %.2f (goal ≤ 1.5) first screen of a 20 MB book's piece against a 50 KB book\n",
               firstMs[QStringLiteral("window_piece_of_20mb")] / firstMs[QStringLiteral("window_50kb")]);
    if (firstMs.contains(QStringLiteral("window_20mb_whole")))
        printf("ratio: %.2f (goal ≤ 1.0) first screen of a whole 20 MB book, in seconds\n",
               firstMs[QStringLiteral("window_20mb_whole")] / 1000);
}
