// Opening books in the main window, enhanced: the time until the first
// screen is shown, until the whole book is laid out, and the peak memory,
// against a bare QTextDocument built from the same paragraphs and laid out
// at the same width. Each book opens in a process of its own, so its peak
// memory is its own.
#include "bench_open_window.h"
#include "BenchCommon.h"

#include "Dialogs.h"
#include "LecternForm.h"
#include "ProfileGeneralTabSheet.h"
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
#include <QTimer>

#include <cstdio>

namespace {

// The floor: the paragraphs in the base character format straight into a
// detached QTextDocument, then a full layout on the same page (the box's
// width, and its tall page: without a page height Qt's layout never ends on
// a book taller than 8 388 607 px).
double BareBuildAndLayout(const QStringList &paragraphs, const QTextCharFormat &format, const QSizeF &page)
{
    QElapsedTimer timer;
    timer.start();
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    QTextCursor cursor(&doc);
    cursor.setCharFormat(format);
    cursor.insertText(paragraphs.join(QChar(0x2029)), format);
    doc.setPageSize(page);
    doc.documentLayout()->documentSize();
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int RunWindowCase(int argc, char **argv)
{
    // argv: program --window-case NAME PATH PIECES(0/1) [WELL_WRITTEN(0/1)]
    QApplication app(argc, argv);
    const QString name = QString::fromLocal8Bit(argv[2]);
    const QString path = QString::fromLocal8Bit(argv[3]);
    const bool inPieces = QByteArray(argv[4]) == "1";
    const bool wellWritten = argc > 5 && QByteArray(argv[5]) == "1";
    const qint64 size = QFileInfo(path).size();
    TScopedRecordingDialogs dialogs; // answers Yes to the one-piece question
    TLecternForm::FirstActivation = false;
    TLecternForm form;
    form.IsApplicationActive = [] { return true; };
    form.resize(1280, 1000);
    form.show();
    QCoreApplication::processEvents();
    form.OpenInPiecesCheckBox->setChecked(inPieces);
    form.ProfileGeneralTabSheet->Form.PoorlyWrittenCheckBox->setChecked(!wellWritten);
    const long baseKb = StatusKb("VmRSS:");

    // Responsiveness: the longest time the window handles no event, from
    // the start of the load to the end of the layout, seen by a timer that
    // wants to run every 10 ms (the load itself lets events through from
    // its progress callback).
    QElapsedTimer sinceTick;
    qint64 longestFreezeMs = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestFreezeMs = std::max(longestFreezeMs, sinceTick.elapsed());
        sinceTick.restart();
    });
    ticker.start();
    sinceTick.start();

    // First screen: the load returns with the top of the book placed; then
    // the box paints it.
    QElapsedTimer timer;
    timer.start();
    const bool ok
        = inPieces ? form.LoadFromFile(path, PieceCountForBench(size) / 2, false, 0) : form.OpenBook(path, false);
    // A big book's lines are read on a thread while the window goes on; its
    // first screen comes once they are in.
    while (form.IsReadingLines())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    form.RichEdit->viewport()->repaint();
    const double first = timer.nsecsElapsed() / 1e9;
    // The rest of the layout, as the box does it in the background while
    // events are processed.
    QElapsedTimer wait;
    wait.start();
    while (!form.RichEdit->IsLayoutComplete() && wait.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const bool background = form.RichEdit->IsLayoutComplete();
    longestFreezeMs = std::max(longestFreezeMs, sinceTick.elapsed());
    ticker.stop();
    form.RichEdit->document()->documentLayout()->documentSize();
    const double full = timer.nsecsElapsed() / 1e9;
    const long peakKb = StatusKb("VmHWM:");

    const QStringList paragraphs = form.RichEdit->RichDocument()->GetText().split(QStringLiteral("\r\n"));
    QTextCharFormat format = form.RichEdit->document()->begin().charFormat();
    if (QTextBlock b = form.RichEdit->document()->begin(); b.isValid() && b.begin() != b.end())
        format = b.begin().fragment().charFormat();
    const double floor = BareBuildAndLayout(paragraphs, format, form.RichEdit->document()->pageSize());

    printf("%s_loaded: %s (%lld bytes, %lld paragraphs, %d boxes)\n", qPrintable(name), ok ? "yes" : "no",
           static_cast<long long>(size), static_cast<long long>(paragraphs.size()), int(dialogs.Boxes.size()));
    printf("%s_layout: %d lines at %.0f px\n", qPrintable(name), form.RichEdit->LineCount(),
           form.RichEdit->document()->textWidth());
    printf("%s_first_screen: %.3f s\n", qPrintable(name), first);
    printf("%s_full_layout: %.3f s%s\n", qPrintable(name), full, background ? "" : " (forced)");
    printf("%s_floor_build_and_layout: %.3f s\n", qPrintable(name), floor);
    printf("%s_longest_freeze: %lld ms\n", qPrintable(name), static_cast<long long>(longestFreezeMs));
    printf("%s_peak_memory: %ld kB (%ld kB above the empty window)\n", qPrintable(name), peakKb, peakKb - baseKb);
    printf("%s_first_screen_ms=%.1f\n", qPrintable(name), first * 1000);
    printf("%s_full_layout_ms=%.1f\n", qPrintable(name), full * 1000);
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

QMap<QString, TWindowFigures> RunWindowCases(const QString &program, const QList<TWindowCase> &cases)
{
    QMap<QString, TWindowFigures> figures;
    for (const TWindowCase &c : cases) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(program,
                {QStringLiteral("--window-case"), c.Name, c.Path, c.InPieces ? "1" : "0", c.WellWritten ? "1" : "0"});
        p.waitForFinished(600000);
        for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
            const int equals = line.indexOf('=');
            if (equals > 0 && line.contains("_ms=")) {
                // name_first_screen_ms=VALUE or name_full_layout_ms=VALUE
                const QString key = QString::fromLatin1(line.left(equals));
                const double value = line.mid(equals + 1).toDouble();
                TWindowFigures &f = figures[c.Name];
                if (key.endsWith(QLatin1String("_first_screen_ms")))
                    f.FirstScreenMs = value;
                else if (key.endsWith(QLatin1String("_full_layout_ms")))
                    f.FullLayoutMs = value;
            } else if (!line.isEmpty()) {
                printf("%s\n", line.constData());
            }
        }
        fflush(stdout);
    }
    return figures;
}
