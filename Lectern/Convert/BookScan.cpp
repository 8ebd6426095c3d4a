#include "BookScan.h"

#include "BookFile.h"
#include "EnhancedRichEdit.h"
#include "FunStatContext.h"
#include "PieceSeams.h"
#include "TextLayout.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <functional>

namespace {

// The engine's paragraphs are not kept: only the decisions, the chapters
// and the line positions are.
class TDroppingSink : public TParagraphSink {
public:
    void Paragraph(const QString &, const TCharFormat *, const TParaFormat *, const QVector<TFormatRun> &) override {}
};

bool IsCancelled(const std::atomic<bool> *cancelled) { return cancelled && cancelled->load(); }

// The pieces of the book read one after another, each with the lines it
// shows: the book is never held whole, so the memory stays that of a piece.
class TPieceReader {
public:
    TPieceReader(QIODevice &device, const TBookScanRequest &request)
        : Device(device), Request(request), Size(device.size()), PieceSize(ValidPieceSize(request.PieceSize)),
          Count(std::max(1, ::PieceCount(Size, PieceSize)))
    {}
    int PieceCount() const { return Count; }
    bool Read(int piece, QStringList &lines)
    {
        const TSeamedPiece seamed = SeamedPieceRange(Device, Size, piece, PieceSize, Request.Encoding);
        bool ok = seamed.Ok;
        const QByteArray bytes = ok ? ReadPieceBytes(Device, seamed.Range, &ok) : QByteArray();
        lines = BookLinesFromBytes(bytes, seamed.Edges, Request.Encoding);
        return ok;
    }

private:
    QIODevice &Device;
    const TBookScanRequest &Request;
    qint64 Size;
    int PieceSize;
    int Count;
};

// A pass over every piece; false when cancelled or a piece cannot be read.
bool EachPiece(TPieceReader &reader, const std::atomic<bool> *cancelled,
               const std::function<void(int piece, const QStringList &lines)> &work)
{
    QStringList lines;
    for (int piece = 1; piece <= reader.PieceCount(); ++piece) {
        if (IsCancelled(cancelled) || !reader.Read(piece, lines))
            return false;
        work(piece, lines);
    }
    return true;
}

// The chapter headings' positions, counted over the pieces one after another,
// as book lines: the last line that begins at or before each.
int LineOfPosition(const std::vector<int> &positions, int position)
{
    const auto after = std::upper_bound(positions.begin(), positions.end(), position);
    return std::max(0, int(after - positions.begin()) - 1);
}

// The engine over each piece in turn, as the pieces are shown, with the
// decisions of the whole book; the chapters are collected over all pieces.
bool Enhance(TPieceReader &reader, const TBookScanRequest &request, const std::atomic<bool> *cancelled,
             TBookScanResult &result)
{
    const TBookFormatOptions &format = request.Format;
    TEnhancedRichEdit engine;
    engine.Choices.DetectTextLayout = format.DetectTextLayout;
    engine.Choices.CheckHyphens = format.CheckHyphens;
    engine.Choices.SmartChapters = format.SmartChapters;
    engine.Choices.MarkupEmphasis = format.MarkupEmphasis;
    engine.RecordLinePositions = true;
    engine.Progress = [cancelled](int) { return IsCancelled(cancelled); };
    if (result.LayoutDetected)
        engine.SharedPoorlyWritten = &result.PoorlyWritten;
    if (result.HasHyphenWords)
        engine.SharedHyphenWords = &result.HyphenWords;
    TChapterCollector collector;
    if (format.SmartChapters)
        engine.SharedChapters = &collector;
    auto menu = std::make_unique<TChaptersMenu>();
    std::vector<int> positions; // of every book line, counted on over the pieces
    positions.reserve(size_t(result.LineCount));
    int base = 0;
    TDroppingSink sink;
    const bool read = EachPiece(reader, cancelled, [&](int, const QStringList &lines) {
        engine.SharedChaptersBase = base;
        FunStatContext.Reset(Perfect);
        engine.EnhanceText(lines, format.ParagraphPrefix, format.IgnoreEmptyLines, format.PoorlyWritten, sink);
        for (int p : engine.LinePositions)
            positions.push_back(base + p);
        // Without the smart chapters, the first headings of the book.
        if (const TChaptersMenu *own = engine.ChaptersMenu(); own && !format.SmartChapters) {
            for (const TChapterItem &item : own->Items())
                if (menu->Count() < engine.MaxChapters)
                    menu->AddItem(item.Caption, base + item.Tag, item.HelpContext);
        }
        base += engine.Position;
    });
    FunStatContext.Reset(Perfect);
    if (!read || engine.Cancelled)
        return false;
    if (format.SmartChapters) {
        collector.MarkContents();
        collector.FillMenu(*menu, engine.HelpContext);
    }
    if (menu->Count() > 0) {
        result.Chapters = std::make_unique<TChaptersMenu>();
        CopyChaptersMenu(*menu, *result.Chapters,
                         [&positions](int position) { return LineOfPosition(positions, position); });
    }
    return true;
}

} // namespace

int TBookScanResult::PieceOfLine(int line) const
{
    if (PieceFirstLine.size() < 2)
        return 1;
    const auto after = std::upper_bound(PieceFirstLine.begin(), PieceFirstLine.end() - 1, line);
    return std::clamp(int(after - PieceFirstLine.begin()), 1, PieceCount);
}

int TBookScanResult::LineInPiece(int line) const
{
    const int piece = PieceOfLine(line);
    return size_t(piece) <= PieceFirstLine.size() ? line - PieceFirstLine[size_t(piece - 1)] : line;
}

TBookScanResult ScanBook(QIODevice &device, const TBookScanRequest &request, const std::atomic<bool> *cancelled)
{
    TBookScanResult result;
    TPieceReader reader(device, request);
    result.PieceCount = reader.PieceCount();
    // First the lines, the layout and the words broken at line ends.
    const TBookFormatOptions &format = request.Format;
    TTextLayoutCounts layout;
    const bool counted = EachPiece(reader, cancelled, [&](int, const QStringList &lines) {
        result.PieceFirstLine.push_back(result.LineCount);
        result.LineCount += int(lines.size());
        if (request.Enhance && format.DetectTextLayout)
            layout.Add(CountTextLayout(lines));
        if (request.Enhance && format.CheckHyphens)
            result.HyphenWords.CollectBrokenWords(lines);
    });
    if (!counted)
        return result;
    result.PieceFirstLine.push_back(result.LineCount);
    if (request.Enhance) {
        result.LayoutDetected = format.DetectTextLayout;
        result.PoorlyWritten = format.DetectTextLayout ? layout.IsPoorlyWritten() : format.PoorlyWritten;
        // Then the words of the book, for the broken words' two forms.
        result.HasHyphenWords = format.CheckHyphens;
        if (format.CheckHyphens && result.HyphenWords.BrokenWordCount() > 0
            && !EachPiece(reader, cancelled,
                          [&](int, const QStringList &lines) { result.HyphenWords.MarkBookWords(lines); }))
            return result;
        if (!Enhance(reader, request, cancelled, result))
            return result;
    }
    result.Complete = !IsCancelled(cancelled);
    return result;
}

TBookScanResult ScanBook(const QByteArray &bytes, const TBookScanRequest &request, const std::atomic<bool> *cancelled)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return ScanBook(buffer, request, cancelled);
}

TBookScan::TBookScan(const TBookScanRequest &request, QObject *parent) : QObject(parent), Asked(request)
{
    Worker = std::thread([this] { Run(); });
}

TBookScan::~TBookScan()
{
    Cancel();
    if (Worker.joinable())
        Worker.join();
}

void TBookScan::Cancel() { Cancelled = true; }

std::shared_ptr<const TBookScanResult> TBookScan::Result() const { return std::atomic_load(&Done); }

void TBookScan::Run()
{
    auto result = std::make_shared<TBookScanResult>();
    QFile file(Asked.Path);
    if (!file.open(QIODevice::ReadOnly))
        result->Error = file.errorString();
    else
        *result = ScanBook(file, Asked, &Cancelled);
    std::atomic_store(&Done, std::shared_ptr<const TBookScanResult>(std::move(result)));
    if (!Cancelled)
        QMetaObject::invokeMethod(this, &TBookScan::Finished, Qt::QueuedConnection);
}
