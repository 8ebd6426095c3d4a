#include "OpenBook.h"

#include "BookSave.h"
#include "EmphasisMarkup.h"
#include "EnhancedRichEdit.h"
#include "FunStatContext.h"
#include "Hyphenation.h"
#include "LanguageGuess.h"
#include "PieceSeams.h"
#include "RichDocument.h"

#include <QFile>

#include <atomic>
#include <thread>

#include <algorithm>

namespace {

// The book's lines put into the document unchanged, one paragraph each.
void PutPlainLines(TRichDocument &document, const QStringList &lines)
{
    document.BeginBulk();
    for (const QString &line : lines)
        document.AppendParagraph(line);
    document.EndBulk();
    document.SetSelection(0, 0);
}

// Samples spread over the lines, as LanguageSample takes them of a document.
QString LinesSample(const QStringList &lines, int sampleCount = 8, int sampleLength = 2000)
{
    QString sample;
    const qsizetype step = std::max<qsizetype>(1, lines.size() / sampleCount);
    for (qsizetype first = 0; first < lines.size(); first += step) {
        int taken = 0;
        for (qsizetype i = first + step / 2; i < lines.size() && taken < sampleLength; ++i) {
            sample += lines.at(i);
            sample += QLatin1Char('\n');
            taken += int(lines.at(i).size()) + 1;
        }
    }
    return sample;
}

// The document hyphenates the paragraphs appended while it lives.
class THyphenationScope {
public:
    THyphenationScope(TRichDocument &document, const THyphenator *hyphenator) : Document(document)
    {
        if (hyphenator)
            Document.SetHyphenation(
                [hyphenator](QStringView text, QVector<int> &breaks) { hyphenator->ParagraphBreaks(text, breaks); });
    }
    ~THyphenationScope() { Document.SetHyphenation({}); }
    THyphenationScope(const THyphenationScope &) = delete;
    THyphenationScope &operator=(const THyphenationScope &) = delete;

private:
    TRichDocument &Document;
};

} // namespace

// The whole book's text read on a thread; the thread ends with the object.
struct TOpenBook::TLinesRead {
    QString Text; // split into lines by the window's thread
    QStringList Lines;
    bool Split = false;
    TBookEncoding Encoding;
    bool Ok = false;
    int Error = 0;
    std::atomic<bool> Done{false};
    std::thread Worker;

    ~TLinesRead()
    {
        if (Worker.joinable())
            Worker.join();
    }
};

// A piece read by steps: its lines, what the engine's run takes from the
// scan, and the hyphenation of its paragraphs, until the run ends.
struct TOpenBook::TPieceRead {
    QStringList Lines;
    std::shared_ptr<const TBookScanResult> Scan;
    TEnhancedRichEdit *Engine = nullptr;
    TRichDocument *Document = nullptr;
    std::unique_ptr<THyphenationScope> Hyphenation;
    int Released = 0; // the lines before this one are emptied

    // The text of the lines the run is done with goes, so that the book is
    // not held twice while the rest is read.
    void ReleaseWalkedLines()
    {
        const int walked = std::min(Engine->LinesWalked(), int(Lines.size()));
        for (; Released < walked; ++Released)
            Lines[Released] = QString();
    }
};

bool CheckBookToOpen(const QString &path, bool openInPieces, int pieceSize, const TBookLoadHooks &hooks,
                     TBookOpenCheck &check)
{
    check = CheckBookForOpening(path, openInPieces, pieceSize);
    if (check.Verdict == TBookOpenVerdict::AskNotText) {
        if (!hooks.Ask(check.Text))
            return false;
        check = OpenNotTextAnyway(check);
    }
    switch (check.Verdict) {
    case TBookOpenVerdict::NotValid:
    case TBookOpenVerdict::TooBig: hooks.Warn(check.Text); return false;
    case TBookOpenVerdict::Empty: hooks.Tell(check.Text); return false;
    case TBookOpenVerdict::AskOnePiece: return hooks.Ask(check.Text);
    case TBookOpenVerdict::SizeQueryFailed: return false;
    case TBookOpenVerdict::AskNotText: return false; // answered above
    case TBookOpenVerdict::Open: return true;
    }
    return false;
}

TOpenBook::TOpenBook() = default;

TOpenBook::~TOpenBook() = default;

void TOpenBook::Open(const QString &path, const TBookOpenCheck &check, int pieceSize, bool wholeBook,
                     const TBookEncoding &encoding)
{
    Close();
    BookPath = path;
    Rtf = check.Rtf;
    Size = ValidPieceSize(pieceSize);
    Pieces = std::max(1, check.ListCount);
    Whole = wholeBook;
    BookEncoding = encoding;
}

void TOpenBook::GuessLanguageOnce(const QStringList &lines)
{
    // The first piece read speaks for the book, so its pieces are all
    // hyphenated alike.
    if (LanguageGuessed)
        return;
    Language = GuessLanguage(LinesSample(lines));
    LanguageGuessed = true;
}

void TOpenBook::Close()
{
    ResetScan();
    BookPath.clear();
    Rtf = false;
    Pieces = 1;
    Shown = 1;
    ShownScanned = false;
    BookEncoding = TBookEncoding();
    LanguageGuessed = false;
    Language = QLocale::AnyLanguage;
    Patterns.clear();
    Awaited.clear();
    LinePositions.clear();
}

void TOpenBook::SetEncoding(const TBookEncoding &encoding)
{
    if (!(encoding.Kind == BookEncoding.Kind && encoding.Name == BookEncoding.Name)) {
        ResetScan();
        LanguageGuessed = false; // the text reads otherwise
    }
    BookEncoding = encoding;
}

void TOpenBook::SetWholeBook(bool wholeBook)
{
    if (wholeBook != Whole)
        ResetScan();
    Whole = wholeBook;
}

void TOpenBook::ResetScan()
{
    Scanning.reset();
    Scanned.reset();
    ScannedFull = false;
}

void TOpenBook::BeginLinesRead()
{
    LinesRead = std::make_unique<TLinesRead>();
    TLinesRead *read = LinesRead.get();
    read->Encoding = BookEncoding;
    read->Worker = std::thread([read, path = BookPath] {
        read->Ok = ReadWholeBookText(path, read->Text, read->Encoding, read->Error);
        read->Done = true;
    });
}

bool TOpenBook::LinesReadDone() const { return !LinesRead || LinesRead->Done; }

bool TOpenBook::SplitReadLines()
{
    if (!LinesRead || LinesRead->Split)
        return false;
    SplitReadLines(*LinesRead);
    return true;
}

void TOpenBook::SplitReadLines(TLinesRead &read)
{
    if (read.Worker.joinable())
        read.Worker.join();
    if (read.Split)
        return;
    read.Lines = SplitBookLines(read.Text);
    read.Text = QString();
    read.Split = true;
}

// The lines the thread read, as ReadBookLines gives them; false (the
// failure raised into FunStatContext) when the book could not be read.
bool TOpenBook::TakeReadLines(QStringList &lines)
{
    std::unique_ptr<TLinesRead> read = std::move(LinesRead);
    SplitReadLines(*read);
    lines = std::move(read->Lines);
    AddEndMarker(lines, 1, 1);
    if (!read->Ok) {
        FUN_BEGIN("TLecternForm::LoadFromFile");
        FUN_RAISE(QStringLiteral("Failed to load."), BookPath, QString(), read->Error);
        FUN_END;
        return false;
    }
    BookEncoding = read->Encoding;
    return true;
}

bool TOpenBook::ReadPlainPiece(int piece, const TBookFormatOptions &format, bool enhance, TEnhancedRichEdit &engine,
                               TRichDocument &document, THyphenators *hyphenators)
{
    return StartPlainPiece(piece, format, enhance, engine, document, hyphenators, -1);
}

bool TOpenBook::StartPlainPiece(int piece, const TBookFormatOptions &format, bool enhance, TEnhancedRichEdit &engine,
                                TRichDocument &document, THyphenators *hyphenators, int shownReach)
{
    FUN_BEGIN("TLecternForm::LoadFromFile");
    if (Reading) {
        // A read left unfinished: its text goes.
        Reading->Engine->Cancelled = true;
        EndPieceRead();
        FunStatContext.Reset(Perfect);
    }
    Shown = NormalisePiece(piece, Pieces);
    LinePositions.clear();
    ShownScanned = false;
    QStringList lines;
    if (LinesRead && Pieces < 2) {
        if (!TakeReadLines(lines))
            FUN_ADOPT();
    } else if (!ReadBookLines(BookPath, Shown, Pieces, Size, lines, &BookEncoding, WholeBook()) && Pieces < 2) {
        FUN_ADOPT(); // a piece shows its own failure and goes on with the marker
    }
    LinesRead.reset();
    if (!FUN_FAILED()) {
        const std::shared_ptr<const TBookScanResult> scan = WholeBook() ? Scan() : nullptr;
        engine.SharedPoorlyWritten = scan && scan->LayoutDetected ? &scan->PoorlyWritten : nullptr;
        engine.SharedHyphenWords = scan && scan->HasHyphenWords ? &scan->HyphenWords : nullptr;
        ShownScanned = scan != nullptr;
        Patterns.clear();
        Awaited.clear();
        const THyphenator *hyphenator = nullptr;
        if (enhance && hyphenators && format.Hyphenate) {
            GuessLanguageOnce(lines);
            const QLocale locale = HyphenationLocale(format.HyphenationLanguage, Language);
            hyphenator = hyphenators->ForLocale(locale);
            if (hyphenator)
                Patterns = hyphenator->PatternFile();
            else if (hyphenators->IsReading(locale))
                Awaited = locale.name();
        }
        if (enhance) {
            engine.RichBox = &document;
            engine.RecordLinePositions = true;
            FunStatContext.Reset(Perfect);
            auto read = std::make_unique<TPieceRead>();
            read->Lines = std::move(lines);
            read->Scan = scan;
            read->Engine = &engine;
            read->Document = &document;
            read->Hyphenation = std::make_unique<THyphenationScope>(document, hyphenator);
            engine.BeginEnhance(read->Lines, format.ParagraphPrefix, format.IgnoreEmptyLines, format.PoorlyWritten);
            Reading = std::move(read);
            std::function<bool()> reached;
            if (shownReach >= 0)
                reached = [&engine, shownReach] { return engine.Position >= shownReach; };
            if (engine.EnhanceSome(reached)) {
                EndPieceRead();
                FUN_ADOPT();
            } else {
                engine.ShowSoFar();
                Reading->ReleaseWalkedLines();
            }
        } else {
            PutPlainLines(document, lines);
            LinePositions.reserve(size_t(lines.size()));
            int position = 0;
            for (const QString &line : lines) {
                LinePositions.push_back(position);
                position += int(line.size()) + 2;
            }
            engine.SharedPoorlyWritten = nullptr;
            engine.SharedHyphenWords = nullptr;
            MarkEndMarker(document);
        }
    }
    FUN_END;
    return !FUN_FAILED();
}

bool TOpenBook::ContinuePlainPiece(const std::function<bool()> &enough)
{
    if (!Reading)
        return true;
    FUN_BEGIN("TLecternForm::LoadFromFile");
    const bool done = Reading->Engine->EnhanceSome(enough);
    if (done) {
        EndPieceRead();
        FUN_ADOPT();
    } else {
        Reading->Engine->ShowSoFar();
        Reading->ReleaseWalkedLines();
    }
    FUN_END;
    return done;
}

int TOpenBook::ReadSoFar() const { return Reading ? Reading->Engine->Position : -1; }

// The end of the engine's run: a failure of the run is left in FunStatContext.
void TOpenBook::EndPieceRead()
{
    TEnhancedRichEdit &engine = *Reading->Engine;
    TRichDocument &document = *Reading->Document;
    engine.EndEnhance();
    TFunStatContext status;
    status.Assign(FunStatContext);
    LinePositions = std::move(engine.LinePositions);
    Reading.reset(); // the hyphenation of the paragraphs ends with it
    engine.SharedPoorlyWritten = nullptr;
    engine.SharedHyphenWords = nullptr;
    MarkEndMarker(document);
    FunStatContext.Assign(status);
}

TBookScanRequest TOpenBook::ScanRequest(const TBookFormatOptions &format, bool enhance) const
{
    TBookScanRequest request;
    request.Path = BookPath;
    request.Encoding = PiecesEncoding(BookPath, BookEncoding);
    request.PieceSize = Size;
    request.Format = format;
    request.Enhance = enhance;
    return request;
}

void TOpenBook::StartScan(const TBookFormatOptions &format, bool enhance, const std::function<void()> &finished)
{
    if (!WholeBook() || Rtf || Scanning || (Scanned && ScannedFull))
        return;
    Scanning = std::make_unique<TBookScan>(ScanRequest(format, enhance));
    QObject::connect(Scanning.get(), &TBookScan::Finished, Scanning.get(), [finished] {
        if (finished)
            finished();
    });
}

bool TOpenBook::ScanNow(const TBookFormatOptions &format, bool enhance)
{
    if (!WholeBook() || Rtf)
        return true;
    QFile file(BookPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    Scanned = std::make_shared<const TBookScanResult>(ScanBook(file, ScanRequest(format, enhance)));
    ScannedFull = enhance;
    return Scanned->Complete;
}

bool TOpenBook::IsScanning() const { return Scanning && !Scanning->Result(); }

std::shared_ptr<const TBookScanResult> TOpenBook::Scan() const
{
    // The thread's scan, once it is there, knows more than a quick one.
    std::shared_ptr<const TBookScanResult> result = Scanning ? Scanning->Result() : nullptr;
    if (!result || !result->Complete)
        result = Scanned;
    return result && result->Complete && result->PieceCount == Pieces ? result : nullptr;
}

int TOpenBook::BookLineAt(int position) const
{
    const std::shared_ptr<const TBookScanResult> scan = Scan();
    if (!scan || LinePositions.empty() || size_t(Shown) >= scan->PieceFirstLine.size())
        return -1;
    const auto after = std::upper_bound(LinePositions.begin(), LinePositions.end(), position);
    const int inPiece = std::max(0, int(after - LinePositions.begin()) - 1);
    const int first = scan->PieceFirstLine[size_t(Shown - 1)];
    const int end = scan->PieceFirstLine[size_t(Shown)];
    return std::min(first + inPiece, std::max(first, end - 1));
}

int TOpenBook::BookLineAt(int start, int end) const
{
    const int line = BookLineAt(start);
    if (line < 0)
        return line;
    const auto first = std::lower_bound(LinePositions.begin(), LinePositions.end(), start);
    if (first != LinePositions.end() && *first < end)
        return BookLineAt(*first);
    return line;
}

int TOpenBook::LineCount() const
{
    const std::shared_ptr<const TBookScanResult> scan = Scan();
    return scan ? scan->LineCount : -1;
}

bool TOpenBook::FindBookLine(int line, int &piece, int &position) const
{
    const std::shared_ptr<const TBookScanResult> scan = Scan();
    if (!scan || line < 0 || line >= scan->LineCount)
        return false;
    piece = scan->PieceOfLine(line);
    position = scan->LineInPiece(line); // a line of the piece: a position once it is shown
    return true;
}

int TOpenBook::PositionOfLine(int lineInPiece) const
{
    if (LinePositions.empty())
        return 0;
    return LinePositions[size_t(std::clamp(lineInPiece, 0, int(LinePositions.size()) - 1))];
}

QString TOpenBook::PieceText(int piece, bool shownEmphasis) const
{
    QFile file(BookPath);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const qint64 size = file.size();
    const TBookEncoding encoding = PiecesEncoding(BookPath, BookEncoding);
    TPieceRange range{0, size};
    TByteEdges edges;
    if (InPieces()) {
        if (WholeBook()) {
            const TSeamedPiece seamed = SeamedPieceRange(file, size, piece, Size, encoding);
            range = seamed.Range;
            edges = seamed.Edges;
        } else {
            range = PieceByteRange(piece, Size, size);
            edges = PieceEdges(range, size);
        }
    }
    bool ok = false;
    const QByteArray bytes = ReadPieceBytes(file, range, &ok);
    if (!ok)
        return QString();
    const qsizetype skip = (encoding.IsUtf16() && (range.Start % 2) != 0) ? 1 : 0;
    const QString text = BookLinesFromBytes(bytes.mid(skip), edges, encoding).join(QLatin1Char('\n'));
    if (!shownEmphasis || !EmphasisMarkup::HasMarkers(text))
        return text;
    QVector<EmphasisMarkup::TSpan> spans;
    return EmphasisMarkup::TakeMarkers(text, spans);
}
