#include "BookScan.h"

#include "BookFile.h"
#include "EnhancedRichEdit.h"
#include "FunStatContext.h"
#include "PieceSeams.h"

#include <QFile>

#include <algorithm>

namespace {

// The engine's paragraphs are not kept: only the decisions, the chapters
// and the line positions are.
class TDroppingSink : public TParagraphSink {
public:
    void Paragraph(const QString &, const TCharFormat *, const TParaFormat *, const QVector<TFormatRun> &) override {}
};

bool IsCancelled(const std::atomic<bool> *cancelled) { return cancelled && cancelled->load(); }

// The engine over the whole book, with the options of its pieces.
void Enhance(const QStringList &lines, const TBookScanRequest &request, const std::atomic<bool> *cancelled,
             TBookScanResult &result)
{
    const TBookFormatOptions &format = request.Format;
    TEnhancedRichEdit engine;
    engine.Choices.DetectTextLayout = format.DetectTextLayout;
    engine.Choices.CheckHyphens = format.CheckHyphens;
    engine.Choices.SmartChapters = format.SmartChapters;
    if (format.CheckHyphens) {
        result.HyphenWords.Build(lines);
        result.HasHyphenWords = true;
        engine.SharedHyphenWords = &result.HyphenWords;
    }
    engine.RecordLinePositions = true;
    engine.Progress = [cancelled](int) { return IsCancelled(cancelled); };
    TDroppingSink sink;
    FunStatContext.Reset(Perfect);
    engine.EnhanceText(lines, format.ParagraphPrefix, format.IgnoreEmptyLines, format.PoorlyWritten, sink);
    FunStatContext.Reset(Perfect);
    if (engine.Cancelled)
        return;
    result.LayoutDetected = engine.LayoutDetected;
    result.PoorlyWritten = engine.PoorlyWritten;
    if (const TChaptersMenu *menu = engine.ChaptersMenu()) {
        const std::vector<int> &positions = engine.LinePositions;
        result.Chapters = std::make_unique<TChaptersMenu>();
        // A heading's position is where its line begins: the last line that
        // begins at or before it.
        CopyChaptersMenu(*menu, *result.Chapters, [&positions](int position) {
            const auto after = std::upper_bound(positions.begin(), positions.end(), position);
            return std::max(0, int(after - positions.begin()) - 1);
        });
    }
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

TBookScanResult ScanBook(const QByteArray &bytes, const TBookScanRequest &request, const std::atomic<bool> *cancelled)
{
    TBookScanResult result;
    const int pieceSize = ValidPieceSize(request.PieceSize);
    result.PieceCount = std::max(1, PieceCount(bytes.size(), pieceSize));
    QStringList lines;
    for (int piece = 1; piece <= result.PieceCount; ++piece) {
        if (IsCancelled(cancelled))
            return result;
        const TSeamedPiece seamed = SeamedPieceRange(bytes, piece, pieceSize, request.Encoding);
        result.PieceFirstLine.push_back(int(lines.size()));
        lines += BookLinesFromBytes(bytes.mid(seamed.Range.Start, seamed.Range.Length), seamed.Edges,
                                    request.Encoding);
    }
    result.LineCount = int(lines.size());
    result.PieceFirstLine.push_back(result.LineCount);
    if (request.Enhance)
        Enhance(lines, request, cancelled, result);
    result.Complete = !IsCancelled(cancelled);
    return result;
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
    if (!file.open(QIODevice::ReadOnly)) {
        result->Error = file.errorString();
    } else {
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            result->Error = file.errorString();
        else
            *result = ScanBook(bytes, Asked, &Cancelled);
    }
    std::atomic_store(&Done, std::shared_ptr<const TBookScanResult>(std::move(result)));
    if (!Cancelled)
        QMetaObject::invokeMethod(this, &TBookScan::Finished, Qt::QueuedConnection);
}
