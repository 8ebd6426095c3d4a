// Reading aloud in the main window, with a recording stand-in for the voice
// so it runs without audio: the time from F9 to the first sentence handed
// to the engine at places spread through a 3 MB book, and the cost per
// sentence of marking it, keeping it in view (the page jumps rather than
// slides, so the scrolling is counted in the sentence) and painting,
// against GoToPosition and a paint alone on the same sentences.
#include "BenchCommon.h"

#include "Dialogs.h"
#include "LecternForm.h"
#include "RichBox.h"
#include "RichEditOps.h"
#include "SpeechEngine.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace {

// The corpus's longest book, or 3 MB of made-up paragraphs.
QString BookPath(const QTemporaryDir &dir)
{
    const QString corpus = qEnvironmentVariable("LECTERN_CORPUS") + QStringLiteral("/books/war-and-peace.txt");
    if (QFile::exists(corpus))
        return corpus;
    const char *const sentences[] = {
        "Mr. Bolkonsky said nothing for a while. ", "\"Where are you going?\" she asked. ",
        "The regiment marched past the village at dawn, and the dust rose behind it. ",
        "It was, as Dr. Metivier said, no more than a cold. ", "Natasha looked at him and laughed. ",
        "The old prince sat at his desk and wrote until the candles burned low.\n"};
    QByteArray text;
    auto *rng = QRandomGenerator::global();
    while (text.size() < 3200000) {
        const int lines = 2 + rng->bounded(10);
        for (int i = 0; i < lines; ++i)
            text += sentences[rng->bounded(int(std::size(sentences)))];
        text += "\n\n";
    }
    const QString path = dir.filePath(QStringLiteral("Book.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return QString();
    return path;
}

double Mean(const QVector<double> &v) { return v.isEmpty() ? 0 : std::accumulate(v.begin(), v.end(), 0.0) / v.size(); }
double Max(const QVector<double> &v) { return v.isEmpty() ? 0 : *std::max_element(v.begin(), v.end()); }

double Percentile(QVector<double> v, double p)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(int(v.size()) - 1, int(p * v.size()))];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = BookPath(dir);
    TScopedRecordingDialogs dialogs; // answers Yes to the one-piece question
    TLecternForm::FirstActivation = false;
    TLecternForm form;
    form.IsApplicationActive = [] { return true; };
    form.resize(1280, 1000);
    form.show();
    QCoreApplication::processEvents();
    form.OpenInPiecesCheckBox->setChecked(false);
    TRecordingSpeechEngine *engine = nullptr;
    form.SpeechEngineFactory = [&engine](const QString &) {
        auto made = std::make_unique<TRecordingSpeechEngine>();
        made->VoiceList = {{QStringLiteral("English (America)"), QLocale(QLocale::English, QLocale::UnitedStates)},
                           {QStringLiteral("French (France)"), QLocale(QLocale::French, QLocale::France)}};
        engine = made.get();
        return made;
    };
    form.SetReadingSlideMs(0);

    if (!form.OpenBook(path, false)) {
        std::printf("error: the book does not open: %s\n", qPrintable(path));
        return 1;
    }
    TRichBox *box = form.RichEdit;
    QElapsedTimer wait;
    wait.start();
    while (!box->IsLayoutComplete() && wait.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    box->document()->documentLayout()->documentSize();
    const int length = GetTextLength(box);
    std::printf("book: %d characters, %d lines\n", length, GetLineCount(box));

    // F9 at twelve places from the top to the last page; the first one
    // also makes the engine.
    QVector<double> f9;
    for (int k = 0; k <= 11; ++k) {
        GoToPosition(box, int(qint64(length - 1) * k / 11));
        box->viewport()->repaint();
        QCoreApplication::processEvents();
        if (engine)
            engine->Spoken.clear();
        QElapsedTimer timer;
        timer.start();
        form.ReadAloudButtonClick();
        const double ms = timer.nsecsElapsed() / 1e6;
        if (!engine || engine->Spoken.isEmpty()) {
            std::printf("error: F9 handed nothing to the engine at %d\n", int(qint64(length - 1) * k / 11));
            return 1;
        }
        f9.append(ms);
        form.ReadAloudButtonClick(); // stops
    }
    std::printf("f9_to_first_sentence_first: %.3f ms\n", f9.first());
    std::printf("f9_to_first_sentence_mean: %.3f ms\n", Mean(f9));
    std::printf("f9_to_first_sentence_max: %.3f ms (goal < 50)\n", Max(f9));

    // Sentence after sentence from the middle of the book: the voice begins
    // it (marked, kept in view), ends it (the next one handed), and the box
    // paints.
    constexpr int sentenceCount = 400;
    GoToPosition(box, length / 2);
    box->viewport()->repaint();
    form.ReadAloudButtonClick();
    QVector<double> perSentence;
    QVector<int> starts;
    int topLine = GetFirstVisibleLine(box);
    int pageTurns = 0;
    for (int i = 0; i < sentenceCount && form.IsReadingAloud(); ++i) {
        QElapsedTimer timer;
        timer.start();
        engine->BeginNext();
        engine->FinishCurrent();
        box->viewport()->repaint();
        perSentence.append(timer.nsecsElapsed() / 1e6);
        const QList<QTextEdit::ExtraSelection> marks = box->extraSelections();
        if (!marks.isEmpty())
            starts.append(box->RichDocument()->FromQtPosition(marks.first().cursor.selectionStart()));
        const int line = GetFirstVisibleLine(box);
        pageTurns += line != topLine;
        topLine = line;
    }
    form.ReadAloudButtonClick();
    if (starts.size() < sentenceCount / 2) {
        std::printf("error: only %d sentences were marked\n", int(starts.size()));
        return 1;
    }

    // The floor: each of those sentences gone to and painted.
    GoToPosition(box, length / 2);
    box->viewport()->repaint();
    QVector<double> floor;
    for (const int start : starts) {
        QElapsedTimer timer;
        timer.start();
        GoToPosition(box, start);
        box->viewport()->repaint();
        floor.append(timer.nsecsElapsed() / 1e6);
    }

    const double ours = Mean(perSentence);
    const double bare = Mean(floor);
    std::printf("sentences: %d read, %d page moves\n", int(perSentence.size()), pageTurns);
    std::printf("per_sentence_mean: %.3f ms (goal < 5)\n", ours);
    std::printf("per_sentence_p95: %.3f ms\n", Percentile(perSentence, 0.95));
    std::printf("per_sentence_max: %.3f ms\n", Max(perSentence));
    std::printf("floor_go_to_position_mean: %.3f ms\n", bare);
    std::printf("peak_memory: %ld kB\n", PeakMemoryKb());
    std::printf("message_boxes: %d\n", int(dialogs.Boxes.size()));
    std::printf("ratio: %.2f (goal ≤ 3)\n", bare > 0 ? ours / bare : 0.0);
    return 0;
}
