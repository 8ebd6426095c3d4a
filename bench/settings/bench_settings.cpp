// What remembering costs. Start-up until the Welcome book's first screen,
// with a full bookshelf (30 books, every bookmark set) and a profile with
// every key, against start-up with no settings files at all. And War and
// Peace reopened from the shelf at an auto-bookmark at 90 % of the book:
// the time until that screen is shown against opening the book and laying
// all of it out, and the longest freeze of the window after that screen.
// Every measure runs in a process of its own.
#include "BenchCommon.h"

#include "Bookshelf.h"
#include "Dialogs.h"
#include "LecternForm.h"
#include "Profile.h"
#include "ProgramSettings.h"
#include "RichBox.h"
#include "RichEditOps.h"
#include "StoredTextList.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int StartRuns = 15;
constexpr int ReopenRuns = 3;

struct TWindow {
    TWindow()
    {
        TLecternForm::FirstActivation = false;
        Form.IsApplicationActive = [] { return true; };
        Form.resize(1280, 1000);
        Form.show();
        Form.RichEdit->show();
    }
    TScopedRecordingDialogs Dialogs; // Yes to opening a large book whole
    TLecternForm Form;
};

// The longest time the event loop could not run a 10 ms timer.
struct TFreezeWatch {
    TFreezeWatch()
    {
        Ticker.setInterval(10);
        QObject::connect(&Ticker, &QTimer::timeout, [this] { Tick(); });
        Ticker.start();
        Since.start();
    }
    void Tick()
    {
        Longest = std::max(Longest, Since.elapsed());
        Since.restart();
    }
    void Reset()
    {
        Longest = 0;
        Since.restart();
    }
    QTimer Ticker;
    QElapsedTimer Since;
    qint64 Longest = 0;
};

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A shelf of 30 books with all their bookmarks, the Welcome book the most
// recent, and a profile with every key and 20 sounds.
void WriteFullSettings(const QString &dir, const QString &welcome)
{
    TBookshelf shelf;
    for (int i = 0; i < TBookshelf::MaxBooks; ++i) {
        const QString book = i + 1 == TBookshelf::MaxBooks
            ? welcome
            : QStringLiteral("/home/reader/Books/Author %1/A rather long title of book %1.txt").arg(i);
        shelf.SetBookmark(book, 0, 1 + i % 3, 1000 * i);
        for (int k = 1; k <= 5; ++k)
            shelf.SetBookmark(book, k, 1 + k % 3, 100 * i + k);
    }
    if (shelf.LastBook() == welcome)
        shelf.SetBookmark(welcome, 0, 1, 0); // the Welcome book opens at its top
    TStoredTextList settings;
    WriteProgramSettings(TProgramSettings(), settings);
    shelf.SaveToList(settings);
    WriteConvertMeasureUnits(TProgramSettings(), settings);
    WriteFile(dir + QStringLiteral("Lectern.ini"), settings.SaveToBytes());

    TProfile profile;
    profile.BackSoundCount = TProfile::MaxBackSounds;
    for (int n = 1; n < TProfile::MaxBackSounds; ++n)
        profile.BackSounds[n].File = QStringLiteral("Sound %1.wav").arg(n);
    TStoredTextList profileList;
    WriteProfile(profile, profileList, TProfilePlaces());
    WriteFile(dir + DefaultProfileFileName, profileList.SaveToBytes());
}

// Child: a window started up on `dir`, until the book's first screen.
int RunStartUp(const QString &dir, const QString &welcome)
{
    QElapsedTimer timer;
    timer.start();
    TWindow w;
    w.Form.StartUp(dir);
    const bool ok = w.Form.OpenBook(welcome, false);
    w.Form.RichEdit->viewport()->repaint();
    printf("ms=%.3f\n", timer.nsecsElapsed() / 1e6);
    return ok ? 0 : 1;
}

// Child: the book opened whole, left at 90 % of its text; closing the
// window puts that place on the shelf.
int RunPrepare(const QString &dir, const QString &book)
{
    WriteFile(dir + QStringLiteral("Lectern.ini"), "[Lectern_Main]\r\nOpenInPieces=FALSE\r\n");
    TWindow w;
    w.Form.StartUp(dir);
    if (!w.Form.OpenBook(book, false))
        return 1;
    GoToPosition(w.Form.RichEdit, GetTextLength(w.Form.RichEdit) / 10 * 9);
    printf("position=%d\nlength=%d\n", FirstVisibleCharIndex(w.Form.RichEdit), GetTextLength(w.Form.RichEdit));
    return w.Form.close() ? 0 : 1;
}

// Child: the book reopened from the shelf at its auto-bookmark.
int RunReopen(const QString &dir, const QString &book)
{
    TWindow w;
    w.Form.StartUp(dir);
    TFreezeWatch freeze;
    QElapsedTimer timer;
    timer.start();
    const bool ok = w.Form.OpenBook(book, false);
    w.Form.RichEdit->viewport()->repaint();
    const double screen = timer.nsecsElapsed() / 1e6;
    // The rest of the layout runs in the background while events flow.
    freeze.Reset();
    QElapsedTimer wait;
    wait.start();
    while (!w.Form.RichEdit->IsLayoutComplete() && wait.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    freeze.Tick();
    printf("ms=%.3f\nposition=%d\nfreeze=%lld\n", screen, FirstVisibleCharIndex(w.Form.RichEdit),
           static_cast<long long>(freeze.Longest));
    return ok ? 0 : 1;
}

// Child: the book opened whole at its top, then laid out to its end.
int RunOpenAndLayOut(const QString &dir, const QString &book)
{
    WriteFile(dir + QStringLiteral("Lectern.ini"), "[Lectern_Main]\r\nOpenInPieces=FALSE\r\n");
    TWindow w;
    w.Form.StartUp(dir);
    QElapsedTimer timer;
    timer.start();
    const bool ok = w.Form.OpenBook(book, false);
    w.Form.RichEdit->document()->documentLayout()->documentSize();
    printf("ms=%.3f\n", timer.nsecsElapsed() / 1e6);
    return ok ? 0 : 1;
}

// Runs this program as a child and returns the values it printed.
QMap<QString, double> Child(const QStringList &arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), arguments);
    p.waitForFinished(600000);
    QMap<QString, double> values;
    for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> kv = line.split('=');
        if (kv.size() == 2)
            values[QString::fromLatin1(kv[0])] = kv[1].toDouble();
    }
    if (p.exitCode() != 0)
        values[QStringLiteral("failed")] = 1;
    return values;
}

double Median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

QString FreshDir(const QTemporaryDir &base, const QString &name)
{
    const QString dir = base.filePath(name) + QLatin1Char('/');
    QDir().mkpath(dir);
    return dir;
}

void BenchStartUp(const QTemporaryDir &base)
{
    const QString welcome = qEnvironmentVariable("LECTERN_PACKAGE") + QStringLiteral("/Welcome.txt");
    if (!QFile::exists(welcome)) {
        printf("startup: skipped (no Welcome book in LECTERN_PACKAGE)\n");
        return;
    }
    QList<double> empty;
    QList<double> full;
    for (int run = 0; run < StartRuns; ++run) {
        const QString emptyDir = FreshDir(base, QStringLiteral("empty%1").arg(run));
        const QString fullDir = FreshDir(base, QStringLiteral("full%1").arg(run));
        WriteFullSettings(fullDir, welcome);
        // Alternating, so a busy moment of the machine hits both.
        empty << Child({QStringLiteral("--startup"), emptyDir, welcome}).value(QStringLiteral("ms"));
        full << Child({QStringLiteral("--startup"), fullDir, welcome}).value(QStringLiteral("ms"));
    }
    const double e = Median(empty);
    const double f = Median(full);
    printf("startup_no_files: %.1f ms (median of %d)\n", e, StartRuns);
    printf("startup_full_shelf_and_profile: %.1f ms (median of %d)\n", f, StartRuns);
    printf("startup_extra: %.1f ms (goal ≤ 20)\n", f - e);
    printf("ratio: %.3f (goal ≤ %.3f) start-up with a full shelf and a profile against no files\n", f / e,
           (e + 20) / e);
}

void BenchReopen(const QTemporaryDir &base)
{
    const QString book = qEnvironmentVariable("LECTERN_CORPUS") + QStringLiteral("/books/war-and-peace.txt");
    if (!QFile::exists(book)) {
        printf("reopen: skipped (no War and Peace in LECTERN_CORPUS)\n");
        return;
    }
    const QString shelfDir = FreshDir(base, QStringLiteral("shelf"));
    const QMap<QString, double> prepared = Child({QStringLiteral("--prepare"), shelfDir, book});
    QList<double> screens;
    QList<double> freezes;
    QList<double> wholes;
    QMap<QString, double> reopened;
    bool failed = prepared.contains(QStringLiteral("failed"));
    for (int run = 0; run < ReopenRuns && !failed; ++run) {
        reopened = Child({QStringLiteral("--reopen"), shelfDir, book});
        const QMap<QString, double> whole
            = Child({QStringLiteral("--open-and-lay-out"), FreshDir(base, QStringLiteral("whole%1").arg(run)), book});
        failed = reopened.contains(QStringLiteral("failed")) || whole.contains(QStringLiteral("failed"));
        screens << reopened.value(QStringLiteral("ms"));
        freezes << reopened.value(QStringLiteral("freeze"));
        wholes << whole.value(QStringLiteral("ms"));
    }
    if (failed) {
        printf("reopen: failed\n");
        return;
    }
    const double length = prepared.value(QStringLiteral("length"));
    printf("reopen_bookmark: %.0f of %.0f characters (%.1f %%), shown at %.0f\n",
           prepared.value(QStringLiteral("position")), length,
           100.0 * prepared.value(QStringLiteral("position")) / length, reopened.value(QStringLiteral("position")));
    const double screen = Median(screens);
    const double all = Median(wholes);
    const double freeze = *std::max_element(freezes.begin(), freezes.end());
    printf("reopen_bookmarked_screen: %.0f ms (median of %d)\n", screen, ReopenRuns);
    printf("open_and_full_layout: %.0f ms (median of %d)\n", all, ReopenRuns);
    printf("reopen_longest_freeze_after_screen: %.0f ms (worst of %d; goal ≤ 100)\n", freeze, ReopenRuns);
    printf("ratio: %.2f (goal ≤ 1.0) bookmarked screen at 90 %% against opening and laying out the whole book\n",
           screen / all);
    printf("ratio: %.2f (goal ≤ 1.0) longest freeze after the bookmarked screen, in units of 100 ms\n", freeze / 100);
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode.startsWith("--") && argc >= 4) {
        QApplication app(argc, argv);
        const QString dir = QString::fromLocal8Bit(argv[2]);
        const QString book = QString::fromLocal8Bit(argv[3]);
        int result = 1;
        if (mode == "--startup")
            result = RunStartUp(dir, book);
        else if (mode == "--prepare")
            result = RunPrepare(dir, book);
        else if (mode == "--reopen")
            result = RunReopen(dir, book);
        else if (mode == "--open-and-lay-out")
            result = RunOpenAndLayOut(dir, book);
        fflush(stdout);
        return result;
    }
    QCoreApplication app(argc, argv);
    QTemporaryDir base;
    BenchStartUp(base);
    BenchReopen(base);
    fflush(stdout);
    return 0;
}
