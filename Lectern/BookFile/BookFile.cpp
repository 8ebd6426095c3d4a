#include "BookFile.h"

#include "BookContent.h"
#include "FileOperations.h"
#include "FunStatContext.h"
#include "MyMath.h"
#include "PieceSeams.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Head of the file read for recognising the encoding, and the chunks taken
// from the rest of it: together at most 64 KB, whatever the book's size.
constexpr qint64 SampleHead = 32 * 1024;
constexpr qint64 SampleChunk = 4 * 1024;
constexpr int SampleChunks = 8;

struct TSamplePlace {
    qint64 Start;
    qint64 Length;
};

QList<TSamplePlace> SampleLayout(qint64 fileSize)
{
    QList<TSamplePlace> places;
    if (fileSize <= SampleHead + SampleChunks * SampleChunk) {
        places.append({0, fileSize});
        return places;
    }
    places.append({0, SampleHead});
    const qint64 rest = fileSize - SampleHead;
    for (int i = 0; i < SampleChunks; ++i) {
        // Evenly spread, the last one ending at the end of the file.
        const qint64 end = SampleHead + rest * (i + 1) / SampleChunks;
        places.append({end - SampleChunk, SampleChunk});
    }
    return places;
}

// An open file for reading, with the errno of whatever failed.
class TOpenBookFile {
public:
    explicit TOpenBookFile(const QString &fileName)
    {
        Fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC);
        if (Fd < 0) {
            Errno = errno;
            return;
        }
        struct stat st {};
        if (::fstat(Fd, &st) != 0) {
            Errno = errno;
            return;
        }
        if (S_ISDIR(st.st_mode)) {
            Errno = EISDIR;
            return;
        }
        Size = st.st_size;
        ::posix_fadvise(Fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        if (!File.open(Fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
            Errno = EIO;
            return;
        }
        Fd = -1; // the QFile closes it now
        Ok = true;
    }
    ~TOpenBookFile()
    {
        if (Fd >= 0)
            ::close(Fd);
    }
    TOpenBookFile(const TOpenBookFile &) = delete;
    TOpenBookFile &operator=(const TOpenBookFile &) = delete;

    bool Ok = false;
    int Errno = 0;
    qint64 Size = 0;
    QFile File;

private:
    int Fd = -1;
};

int ReadErrno() { return errno != 0 ? errno : EIO; }

// Whether the file looks like a text book (an RTF one: like RTF). A file
// that cannot be read is left to the load, which reports why.
bool FileLooksLikeText(const QString &path, bool rtf)
{
    TOpenBookFile file(path);
    if (!file.Ok)
        return true;
    if (rtf) {
        bool ok = false;
        const QByteArray head = ReadPieceBytes(file.File, TPieceRange{0, std::min<qint64>(file.Size, 1024)}, &ok);
        if (!ok || head.contains("{\\rtf"))
            return true;
    }
    return LooksLikeTextBook(SampleBookEncoding(file.File, file.Size));
}

// The encoding of the open book: the caller's when decided, else recognised
// from the sample (and handed back).
TBookEncoding EncodingFor(TOpenBookFile &file, TBookEncoding *encoding)
{
    if (encoding && encoding->IsDecided())
        return *encoding;
    TBookEncoding found = DetectBookEncoding(SampleBookEncoding(file.File, file.Size));
    if (!found.IsDecided())
        found = TBookEncoding::Fallback(); // nothing beyond ASCII in the sample
    if (encoding)
        *encoding = found;
    return found;
}

} // namespace

TBookEncoding PiecesEncoding(const QString &path, const TBookEncoding &chosen)
{
    if (chosen.IsDecided())
        return chosen;
    TOpenBookFile file(path);
    if (!file.Ok)
        return chosen;
    TBookEncoding found = chosen;
    EncodingFor(file, &found);
    return found;
}

QList<int> PieceSizeChoices()
{
    QList<int> choices;
    for (int size = 10000; size <= 100000; size += 10000)
        choices.append(size);
    for (int size = 150000; size <= 500000; size += 50000)
        choices.append(size);
    return choices;
}

int ValidPieceSize(int pieceSize)
{
    return (pieceSize < MinPieceSize || pieceSize > MaxPieceSize) ? DefaultPieceSize : pieceSize;
}

int PieceCount(qint64 size, int pieceSize)
{
    if (size <= 0)
        return 0;
    pieceSize = pieceSize > 0 ? pieceSize : DefaultPieceSize;
    return static_cast<int>((size + pieceSize - 1) / pieceSize);
}

TPieceRange PieceByteRange(int piece, int pieceSize, qint64 fileSize)
{
    TPieceRange range;
    range.Start = std::max<qint64>(qint64(piece - 1) * pieceSize - PieceOverlap, 0);
    range.Length = std::clamp<qint64>(fileSize - range.Start, 0, qint64(pieceSize) + PieceOverlap);
    return range;
}

TByteEdges PieceEdges(const TPieceRange &range, qint64 fileSize)
{
    return TByteEdges{range.Start > 0, range.Start + range.Length < fileSize};
}

bool IsRtfBookName(const QString &path) { return path.endsWith(QStringLiteral(".rtf"), Qt::CaseInsensitive); }

bool IsBookFileName(const QString &path)
{
    return path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive) || IsRtfBookName(path);
}

bool HasBookFile(const QString &path)
{
    if (path.isEmpty() || !IsBookFileName(path))
        return false;
    // A regular file only: reading a pipe or a device named like a book
    // would wait for ever or never end.
    return QFileInfo(path).isFile();
}

QString BookDialogFilter()
{
    const QString patterns = QStringLiteral("*.txt; *.rtf");
    return QStringLiteral("Text files (") + patterns + QStringLiteral(")|") + patterns;
}

QString NotValidBookText() { return QStringLiteral("The book is not a valid text file, or it doesn't exist."); }

QString TooBigBookText()
{
    return QStringLiteral("You can't open books bigger than ") + FormatIntegerText(MaxBookSize)
        + QStringLiteral(" characters.");
}

QString OnePieceQuestionText()
{
    return QStringLiteral("You are trying to open in one piece a book bigger than ")
        + FormatIntegerText(OnePieceQuestionSize)
        + QStringLiteral(" characters.\nThe opening will take quite some time. Continue opening in one piece?\n\n"
                         "If you are not sure, choose \"No\", then check the \"Open in pieces\"\n"
                         "check-box and open it again.");
}

QString BookChangedText()
{
    return QStringLiteral("The book's file has changed since it was opened. Open the book again to read it as it "
                          "is now.");
}

QString EmptyFileText() { return QStringLiteral("File is empty."); }

QString NotTextQuestionText() { return QStringLiteral("This file does not look like a text book. Open it anyway?"); }

qint64 QueryBookFileSize(const QString &path) { return GetFileSize(path); }

namespace {

// The verdict of the name and the size alone.
TBookOpenCheck CheckBookSize(const QString &path, bool openInPieces, int pieceSize)
{
    TBookOpenCheck check;
    check.Rtf = IsRtfBookName(path);
    if (!HasBookFile(path)) {
        check.Verdict = TBookOpenVerdict::NotValid;
        check.Text = NotValidBookText();
        return check;
    }
    check.Size = QueryBookFileSize(path);
    if (FunStatContext.Status != Perfect) {
        check.Verdict = TBookOpenVerdict::SizeQueryFailed;
        return check;
    }
    if (check.Size > MaxBookSize) {
        check.Verdict = TBookOpenVerdict::TooBig;
        check.Text = TooBigBookText();
        return check;
    }
    check.PieceCount = PieceCount(check.Size, ValidPieceSize(pieceSize));
    check.ListCount = (openInPieces && check.PieceCount > 1 && !check.Rtf) ? check.PieceCount : 1;
    if (!openInPieces && check.Size > OnePieceQuestionSize && !check.Rtf) {
        check.Verdict = TBookOpenVerdict::AskOnePiece;
        check.Text = OnePieceQuestionText();
        return check;
    }
    if (check.Size == 0) {
        check.Verdict = TBookOpenVerdict::Empty;
        check.Text = EmptyFileText();
    } else {
        check.Verdict = TBookOpenVerdict::Open;
    }
    return check;
}

} // namespace

TBookOpenCheck CheckBookForOpening(const QString &path, bool openInPieces, int pieceSize)
{
    TBookOpenCheck check = CheckBookSize(path, openInPieces, pieceSize);
    check.SizeVerdict = check.Verdict;
    if (check.Verdict != TBookOpenVerdict::Open && check.Verdict != TBookOpenVerdict::AskOnePiece)
        return check;
    check.LooksLikeText = FileLooksLikeText(path, check.Rtf);
    if (!check.LooksLikeText) {
        check.Verdict = TBookOpenVerdict::AskNotText;
        check.Text = NotTextQuestionText();
    }
    return check;
}

TBookOpenCheck OpenNotTextAnyway(const TBookOpenCheck &check)
{
    if (check.Verdict != TBookOpenVerdict::AskNotText)
        return check;
    TBookOpenCheck sized = check;
    sized.Verdict = check.SizeVerdict;
    sized.Text = check.SizeVerdict == TBookOpenVerdict::AskOnePiece ? OnePieceQuestionText() : QString();
    return sized;
}

int NormalisePiece(int piece, int count) { return (piece < 1 || piece > count) ? 1 : piece; }

QByteArray ReadPieceBytes(QIODevice &device, const TPieceRange &range, bool *ok)
{
    QByteArray bytes;
    bool good = range.Length == 0 || device.seek(range.Start);
    if (good && range.Length > 0) {
        bytes.resize(range.Length);
        qint64 done = 0;
        while (done < range.Length) {
            errno = 0;
            const qint64 n = device.read(bytes.data() + done, range.Length - done);
            if (n < 0) {
                good = false;
                break;
            }
            if (n == 0)
                break; // the file got shorter meanwhile
            done += n;
        }
        bytes.truncate(done);
    }
    if (ok)
        *ok = good;
    return bytes;
}

TEncodingSample SampleBookEncoding(QIODevice &device, qint64 fileSize)
{
    TEncodingSample sample;
    for (const TSamplePlace &place : SampleLayout(fileSize)) {
        const TPieceRange range{place.Start, place.Length};
        bool ok = false;
        QByteArray bytes = ReadPieceBytes(device, range, &ok);
        if (!ok)
            break;
        sample.Chunks.append({bytes, place.Start == 0, place.Start + bytes.size() >= fileSize, place.Start});
    }
    return sample;
}

TEncodingSample SampleBookEncoding(const QByteArray &wholeBook)
{
    TEncodingSample sample;
    const qint64 size = wholeBook.size();
    for (const TSamplePlace &place : SampleLayout(size))
        sample.Chunks.append({wholeBook.mid(place.Start, place.Length), place.Start == 0,
                              place.Start + place.Length >= size, place.Start});
    return sample;
}

QString BookTextFromBytes(const QByteArray &bytes, TByteEdges edges, const TBookEncoding &encoding)
{
    bool truncated = false;
    const QByteArray text
        = encoding.IsUtf16() ? Utf16BytesBeforeNul(bytes, &truncated) : BytesBeforeNul(bytes, &truncated);
    if (truncated)
        edges.CutAtEnd = false; // the text ends at the NUL, not at a cut
    return DecodeBookBytes(text, encoding, edges);
}

QStringList BookLinesFromBytes(const QByteArray &bytes, TByteEdges edges, const TBookEncoding &encoding)
{
    return SplitBookLines(BookTextFromBytes(bytes, edges, encoding));
}

bool LoadPieceFromFile(const QString &fileName, QStringList &lines, int piece, int pieceSize, TBookEncoding *encoding,
                       bool lineSeams)
{
    FUN_BEGIN("TLecternForm::LoadPieceFromFile");
    try {
        lines.clear();
        TOpenBookFile file(fileName);
        if (!file.Ok) {
            FUN_RAISE(QStringLiteral("Failed to load."), fileName, QString(), file.Errno);
        } else if (file.Size == 0) {
            FUN_RAISE(QStringLiteral("Empty file."), fileName);
        } else {
            const TBookEncoding used = EncodingFor(file, encoding);
            TPieceRange range = PieceByteRange(piece, ValidPieceSize(pieceSize), file.Size);
            TByteEdges seamEdges;
            bool ok = true;
            if (lineSeams) {
                const TSeamedPiece seamed = SeamedPieceRange(file.File, file.Size, piece, pieceSize, used);
                range = seamed.Range;
                seamEdges = seamed.Edges;
                ok = seamed.Ok;
            }
            const QByteArray bytes = ok ? ReadPieceBytes(file.File, range, &ok) : QByteArray();
            if (!ok) {
                FUN_RAISE(QStringLiteral("Failed to load."), fileName, QString(), ReadErrno());
            } else {
                TPieceRange got = range;
                got.Length = bytes.size();
                // UTF-16 characters start at even offsets from the file's start.
                const qsizetype skip = (used.IsUtf16() && (got.Start % 2) != 0) ? 1 : 0;
                lines = BookLinesFromBytes(bytes.mid(skip), lineSeams ? seamEdges : PieceEdges(got, file.Size), used);
            }
        }
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    if (!ok)
        lines.clear();
    FUN_END_SHOW("Failed to load.");
    return ok;
}

bool ReadWholeBookLines(const QString &fileName, QStringList &lines, TBookEncoding &encoding, int &error)
{
    QString text;
    const bool ok = ReadWholeBookText(fileName, text, encoding, error);
    lines = ok ? SplitBookLines(text) : QStringList();
    return ok;
}

bool ReadWholeBookText(const QString &fileName, QString &text, TBookEncoding &encoding, int &error)
{
    text.clear();
    error = 0;
    TOpenBookFile file(fileName);
    if (!file.Ok) {
        error = file.Errno;
        return false;
    }
    bool ok = false;
    const QByteArray bytes = ReadPieceBytes(file.File, TPieceRange{0, file.Size}, &ok);
    if (!ok) {
        error = ReadErrno();
        return false;
    }
    TBookEncoding used = encoding;
    if (!used.IsDecided())
        used = Utf16FromSample(SampleBookEncoding(bytes)); // as the pieces find it
    if (!used.IsDecided()) {
        // Only the text before the first NUL is shown, so only it speaks.
        used = DetectBookEncoding(SampleBookEncoding(BytesBeforeNul(bytes)));
        if (!used.IsDecided())
            used = TBookEncoding::Fallback();
    }
    encoding = used;
    text = BookTextFromBytes(bytes, TByteEdges{}, used);
    return true;
}

bool ReadWholeBook(const QString &fileName, QStringList &lines, TBookEncoding *encoding)
{
    FUN_BEGIN("TLecternForm::LoadFromFile");
    try {
        TBookEncoding used = encoding ? *encoding : TBookEncoding();
        int error = 0;
        if (!ReadWholeBookLines(fileName, lines, used, error))
            FUN_RAISE(QStringLiteral("Failed to load."), fileName, QString(), error);
        else if (encoding)
            *encoding = used;
    }
    FUN_CATCH
    if (FUN_FAILED())
        lines.clear();
    FUN_END;
    return !FUN_FAILED();
}

bool ReadBookLines(const QString &fileName, int piece, int listCount, int pieceSize, QStringList &lines,
                   TBookEncoding *encoding, bool lineSeams)
{
    bool ok;
    if (listCount < 2) {
        piece = 1;
        ok = ReadWholeBook(fileName, lines, encoding);
    } else {
        ok = LoadPieceFromFile(fileName, lines, piece, pieceSize, encoding, lineSeams);
    }
    AddEndMarker(lines, piece, std::max(listCount, 1));
    return ok;
}
