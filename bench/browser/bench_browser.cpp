// Lists a directory of 10 000 books and 500 subdirectories in the browser:
// read, sorted, put in the list and shown with a book in the middle
// selected. The floor is a bare QDir::entryList of the same directory in the
// same run. Also times a page of scrolling and a directory of 100 000
// entries, and reports peak memory.
#include "BenchCommon.h"
#include "BrowserGroupBox.h"
#include "BrowserListBox.h"
#include "DirectoryListing.h"
#include "FileBrowser.h"
#include "HistoryDialog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

const QStringList Authors{"Austen", "Balzac", "Cervantes", "Dickens", "Eliot",    "Flaubert", "Gogol",  "Hardy",
                          "Ibsen",  "James",  "Kafka",     "London",  "Melville", "Nabokov",  "Orwell", "Proust"};
const QStringList Words{"war", "peace", "house", "river", "night", "garden", "letters", "island", "journey", "winter"};

// Books named like a library's: "Dickens - The river of the night 1234.txt",
// in no order.
void MakeLibrary(const QString &dir, int books, int shelves)
{
    QRandomGenerator rng(13);
    for (int i = 0; i < books; ++i) {
        const QString name = Authors.at(rng.bounded(Authors.size())) + " - The " + Words.at(rng.bounded(Words.size()))
            + " of the " + Words.at(rng.bounded(Words.size())) + " " + QString::number(i)
            + (i % 10 == 0 ? ".rtf" : ".txt");
        QFile file(dir + name);
        file.open(QIODevice::WriteOnly);
    }
    for (int i = 0; i < shelves; ++i)
        QDir(dir).mkdir(QStringLiteral("Shelf ") + QString::number(rng.bounded(100000)) + " " + QString::number(i));
}

double Ms(const QElapsedTimer &timer) { return timer.nsecsElapsed() / 1e6; }

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The collation of a real language, not the C locale's code order.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir temp;
    const QString dir = temp.path() + QStringLiteral("/Library/");
    QDir().mkpath(dir);
    MakeLibrary(dir, 10000, 500);
    const QString middle = QStringLiteral("Dickens - The war of the peace 5000.txt");
    QFile(dir + middle).open(QIODevice::WriteOnly);

    THistoryDialog history;
    TFileBrowser browser(history);
    TBrowserGroupBox group;
    group.Bind(&browser, &history);
    group.resize(280, 700);
    group.show();
    QCoreApplication::processEvents();
    TBrowserListBox *list = group.BrowserListBox;

    // The browser's own part, without the list: reading, sorting, history.
    THistoryList coreHistory;
    TFileBrowser core(coreHistory);
    double bestCore = 1e18, bestRead = 1e18;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        core.LoadContent(dir + middle, QString(), 0);
        bestCore = std::min(bestCore, Ms(timer));
        TListedEntries dirs, files;
        int count = 0;
        timer.restart();
        LoadFilesFromDir(dir, TFileBrowser::BookFilter, dirs, false, false, -1, count, files);
        bestRead = std::min(bestRead, Ms(timer));
    }

    double bestFloor = 1e18, bestOurs = 1e18;
    int floorCount = 0;
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer timer;
        timer.start();
        const QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::NoSort);
        bestFloor = std::min(bestFloor, Ms(timer));
        floorCount = names.size();

        timer.restart();
        group.LoadBrowserContent(dir + middle);
        list->viewport()->repaint();
        bestOurs = std::min(bestOurs, Ms(timer));
    }
    const QModelIndex current = list->currentIndex();
    const bool selected = current.isValid() && browser.Items().at(current.row()).Text == middle;
    std::printf("entries: %d (%d listed, middle book selected: %s)\n", floorCount, browser.Count(),
                selected ? "yes" : "NO");
    std::printf("floor QDir::entryList: %.1f ms\n", bestFloor);
    std::printf("list, sort, fill and show: %.1f ms (goal < 100)\n", bestOurs);
    std::printf("ratio: %.2f (goal ≤ 2)\n", bestOurs / bestFloor);
    std::printf("  of which reading the directory: %.1f ms, reading and sorting: %.1f ms\n", bestRead, bestCore);

    // A page of scrolling: only the rows that come into view are painted.
    const int rows = list->VisibleRows();
    QElapsedTimer timer;
    timer.start();
    int pages = 0;
    for (int top = 0; top + rows < browser.Count() && pages < 200; top += rows, ++pages) {
        list->SetTopIndex(top);
        list->viewport()->repaint();
    }
    std::printf("scroll one page of %d rows: %.3f ms\n", rows, Ms(timer) / std::max(pages, 1));

    // A directory of 100 000 entries stays usable.
    const QString huge = temp.path() + QStringLiteral("/Huge/");
    QDir().mkpath(huge);
    MakeLibrary(huge, 100000, 0);
    timer.restart();
    group.LoadBrowserContent(huge);
    list->viewport()->repaint();
    std::printf("list 100 000 entries: %.0f ms\n", Ms(timer));
    std::printf("peak memory: %ld kB\n", PeakMemoryKb());
    return selected ? 0 : 1;
}
