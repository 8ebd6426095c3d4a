// One reading of a whole plain-text book opened in pieces, off the window
// thread: the lines of each piece as the pieces show them, the layout and
// the hyphenated words the whole book decides, and the chapters menu of the
// whole book with each chapter's book line. It starts when made and stops
// (soon) when cancelled or destroyed.
#pragma once

#include "BookText.h"
#include "ChaptersMenu.h"
#include "ConvertOptions.h"
#include "HyphenWords.h"

#include <QIODevice>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

// What the scan found. Book lines count from 0, over the whole book, as the
// pieces split it (each piece's lines, end markers left out).
struct TBookScanResult {
    bool Complete = false; // read to its end: neither cancelled nor failed
    QString Error; // why it failed
    int PieceCount = 0;
    int LineCount = 0;
    // First book line of each piece; one more entry, LineCount, at the end.
    std::vector<int> PieceFirstLine;
    bool LayoutDetected = false; // PoorlyWritten holds the whole book's decision
    bool PoorlyWritten = false;
    bool HasHyphenWords = false;
    THyphenWords HyphenWords;
    // The chapters of the whole book; each item's tag is its book line.
    // Null without chapters.
    std::unique_ptr<TChaptersMenu> Chapters;

    // The piece holding a book line (1 .. PieceCount), and the line within it.
    int PieceOfLine(int line) const;
    int LineInPiece(int line) const;
};

struct TBookScanRequest {
    QString Path;
    TBookEncoding Encoding; // decided, as the open piece was read
    int PieceSize = 50000;
    TBookFormatOptions Format;
    bool Enhance = true; // the engine's decisions and chapters wanted
};

// Runs the scan of a book read piece by piece from a device (the whole book
// is never held at once). `cancelled` is looked at as the work goes; a
// cancelled scan, or one of a device that cannot be read, is not Complete.
TBookScanResult ScanBook(QIODevice &device, const TBookScanRequest &request,
                         const std::atomic<bool> *cancelled = nullptr);
// The same over the bytes of a book (tests).
TBookScanResult ScanBook(const QByteArray &bytes, const TBookScanRequest &request,
                         const std::atomic<bool> *cancelled = nullptr);

class TBookScan : public QObject {
    Q_OBJECT
public:
    explicit TBookScan(const TBookScanRequest &request, QObject *parent = nullptr);
    ~TBookScan() override; // cancels and waits
    TBookScan(const TBookScan &) = delete;
    TBookScan &operator=(const TBookScan &) = delete;

    void Cancel();
    // The result once Finished was signalled; null before.
    std::shared_ptr<const TBookScanResult> Result() const;
    const TBookScanRequest &Request() const { return Asked; }

signals:
    // In the thread of the object (the window's), once the scan has ended.
    void Finished();

private:
    void Run();
    TBookScanRequest Asked;
    std::atomic<bool> Cancelled{false};
    std::shared_ptr<const TBookScanResult> Done;
    std::thread Worker;
};
