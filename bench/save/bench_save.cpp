// Saving and printing an enhanced book of about 3 MB: as UTF-8 text and as
// RTF, each compared with writing the same text with a bare QFile in the
// same run, and printing it to a PDF file in pages per second.
#include "BookConverter.h"
#include "BookSave.h"
#include "ConvertOptions.h"
#include "RichBox.h"
#include "RichDocument.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMarginsF>
#include <QPrinter>
#include <QTemporaryDir>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace {

// A book made up when the corpus is not there: about 3 MB of paragraphs
// with quoted speech and chapter headings, wrapped at 70 columns.
QByteArray MadeUpBook()
{
    const QByteArray sentence = "\"Well, Prince, so Genoa and Lucca are now just family estates,\" she said, and the "
                                "cafe closed at nine. ";
    QByteArray book;
    for (int i = 0; book.size() < 3200000; ++i) {
        if (i % 40 == 0)
            book += "CHAPTER " + QByteArray::number(i / 40 + 1) + "\n\n";
        QByteArray paragraph = sentence.repeated(1 + i % 5);
        for (qsizetype at = 70; at < paragraph.size(); at += 71)
            paragraph.insert(at, '\n');
        book += paragraph + "\n\n";
    }
    return book;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs the floor and the measured work in turns, so both meet the same
// load of a shared machine; their median times in milliseconds.
std::pair<double, double> MedianPairMs(int rounds, const std::function<void()> &floor,
                                       const std::function<void()> &work)
{
    std::vector<double> floorMs, workMs;
    for (int i = 0; i < rounds; ++i) {
        // Each starts with nothing waiting to be written, so the save's
        // flush to disk does not also pay for the floor's writing.
        ::sync();
        QElapsedTimer timer;
        timer.start();
        floor();
        floorMs.push_back(timer.nsecsElapsed() / 1e6);
        ::sync();
        timer.restart();
        work();
        workMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    return {Median(floorMs), Median(workMs)};
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir dir;

    TConvertOptions options;
    const QString corpus = qEnvironmentVariable("LECTERN_CORPUS");
    options.Book = corpus + QStringLiteral("/books/war-and-peace.txt");
    if (corpus.isEmpty() || !QFile::exists(options.Book)) {
        options.Book = dir.filePath(QStringLiteral("made-up.txt"));
        QFile file(options.Book);
        if (!file.open(QIODevice::WriteOnly) || file.write(MadeUpBook()) < 0)
            return 1;
    }
    options.Format.ParagraphPrefix = QStringLiteral("Tab");
    TRichBox box;
    box.resize(900, 700);
    QString error;
    if (!LoadBookIntoDocument(options, *box.RichDocument(), error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const TRichDocument &document = *box.RichDocument();
    std::printf("book: %s\n", qPrintable(QFileInfo(options.Book).fileName()));
    std::printf("paragraphs: %d\n", document.ParagraphCount());

    // The floor: the same text encoded and written with a bare QFile.
    const QString floorName = dir.filePath(QStringLiteral("floor.txt"));
    const QString text = document.ToPlainTextCrLf();
    qint64 textBytes = 0;
    const auto writeFloor = [&] {
        QFile file(floorName);
        if (file.open(QIODevice::WriteOnly))
            textBytes = file.write(text.toUtf8());
    };
    bool ok = true;
    const QString textName = dir.filePath(QStringLiteral("saved.txt"));
    const auto [floor, saveText] = MedianPairMs(15, writeFloor, [&] {
        ok = WriteBookFile(textName, BookSaveBytes(document, TBookSaveFormat::PlainText)) && ok;
    });
    std::printf("text size: %.2f MB\n", textBytes / 1e6);
    std::printf("floor (QFile write of the text): %.1f ms\n", floor);
    std::printf("save as text: %.1f ms\n", saveText);
    std::printf("ratio: %.2f (goal <= 3)\n", saveText / floor);
    // Where the time goes: the bytes of the book, and the same write
    // flushed to disk as QSaveFile does before it renames its file.
    QByteArray bytes;
    const auto [flushedFloor, encode] = MedianPairMs(
        15,
        [&] {
            QFile file(floorName);
            if (file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0 && file.flush())
                ::fsync(file.handle());
        },
        [&] { bytes = BookSaveBytes(document, TBookSaveFormat::PlainText); });
    std::printf("text bytes of the book: %.1f ms\n", encode);
    std::printf("floor flushed to disk: %.1f ms\n", flushedFloor);
    std::printf("save against the flushed floor: %.2f\n", saveText / flushedFloor);

    const QString rtfName = dir.filePath(QStringLiteral("saved.rtf"));
    const auto [rtfFloor, saveRtf] = MedianPairMs(
        7, writeFloor, [&] { ok = WriteBookFile(rtfName, BookSaveBytes(document, TBookSaveFormat::Rtf)) && ok; });
    std::printf("rtf size: %.2f MB\n", QFileInfo(rtfName).size() / 1e6);
    std::printf("save as rtf: %.1f ms\n", saveRtf);
    std::printf("rtf against the floor: %.2f\n", saveRtf / rtfFloor);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("book.pdf")));
    printer.setPageSize(QPageSize(QPageSize::A4));
    int pages = 0;
    QElapsedTimer timer;
    timer.start();
    ok = box.Print(&printer, QMarginsF(30, 20, 20, 20), &error, &pages) && ok;
    const double print = timer.nsecsElapsed() / 1e9;
    std::printf("pdf pages: %d\n", pages);
    std::printf("pdf size: %.2f MB\n", QFileInfo(printer.outputFileName()).size() / 1e6);
    std::printf("print to pdf: %.2f s\n", print);
    std::printf("print speed: %.1f pages/s\n", pages / print);
    return ok ? 0 : 1;
}
