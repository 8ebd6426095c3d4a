#include "BookSave.h"

#include "BookText.h"
#include "RichDocument.h"
#include "Rtf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cerrno>
#include <cstring>
#include <memory>

#include <sys/stat.h>

namespace {

// The extension of a file name, with its dot; a name that only starts with
// a dot (".notes") has none.
qsizetype ExtensionStart(const QString &name)
{
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash + 1)
        return -1;
    return dot;
}

} // namespace

TBookSaveTarget BookSaveTarget(const QString &chosenName)
{
    TBookSaveTarget target;
    const qsizetype dot = ExtensionStart(chosenName);
    const QString extension = dot < 0 ? QString() : chosenName.mid(dot);
    if (extension.compare(QLatin1String(".rtf"), Qt::CaseInsensitive) == 0) {
        target.FileName = chosenName;
        target.Format = TBookSaveFormat::Rtf;
        return target;
    }
    target.FileName = (dot < 0 ? chosenName : chosenName.left(dot)) + QStringLiteral(".txt");
    target.Format = TBookSaveFormat::PlainText;
    return target;
}

QString ProposedSaveName(const QString &bookPath)
{
    const qsizetype dot = ExtensionStart(bookPath);
    return dot < 0 ? bookPath : bookPath.left(dot);
}

QString NoPrefixQuestionText()
{
    return QStringLiteral(
        "You are trying to save text without a paragraph prefix, to a\nplain text file. The beginning of many "
        "paragraphs will be lost,\nthus creating a single long paragraph (you can recover such\na book if you check "
        "the \"Poorly written text\" box and load the\nfile).\n\nIt is strongly recommended to change the \"Paragraph "
        "prefix\"\nand reload the book (before you save it), or save it as formatted\ntext.\n\nDo you want to save "
        "without a paragraph prefix?");
}

QString CommandsQuestionText()
{
    return QStringLiteral("This book contains manual formatting commands. If you save it\nthen the new book will not "
                          "contain them.\n\nDo you want to save it without manual formatting commands?");
}

QString BookExistsQuestionText() { return QStringLiteral("Book already exists. Overwrite it?"); }

QString OverwriteOpenBookQuestionText()
{
    return QStringLiteral("You are trying to overwrite the opened book. Continue?");
}

bool IsSameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    // stat() follows symbolic links, so links, hard links and every spelling
    // of a path meet at one device and inode.
    struct stat first {};
    struct stat second {};
    if (::stat(QFile::encodeName(a).constData(), &first) == 0 && ::stat(QFile::encodeName(b).constData(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    // A name that does not exist (yet) is the other only when spelled alike.
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

QStringList BookSaveQuestions(const TBookSaveTarget &target, const TBookSaveSituation &situation)
{
    QStringList questions;
    if (target.Format == TBookSaveFormat::PlainText) {
        if (situation.ParagraphPrefix.isEmpty())
            questions << NoPrefixQuestionText();
        if (situation.CommandsUsed)
            questions << CommandsQuestionText();
    }
    if (QFileInfo::exists(target.FileName))
        questions << BookExistsQuestionText();
    if (IsSameFile(target.FileName, situation.OpenBookPath))
        questions << OverwriteOpenBookQuestionText();
    return questions;
}

void MarkEndMarker(TRichDocument &document)
{
    const QTextBlock last = document.Document()->lastBlock();
    document.SetEndMarker(last.isValid() && IsEndMarker(last.text()));
}

QByteArray BookSaveBytes(const TRichDocument &document, TBookSaveFormat format)
{
    const int bookEnd = document.ToQtPosition(document.BookTextEnd());
    if (format == TBookSaveFormat::Rtf) {
        if (!document.HasEndMarker())
            return WriteRtf(document);
        const std::unique_ptr<QTextDocument> book(document.Document()->clone());
        QTextCursor tail(book.get());
        tail.setPosition(bookEnd);
        tail.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        tail.removeSelectedText();
        return WriteRtf(*book, &document.SoftHyphens());
    }
    // What ToPlainTextCrLf gives, without building it: the raw text encoded
    // whole, then each paragraph or line separator (E2 80 A9, E2 80 A8)
    // turned into CR LF in place.
    QString raw = document.Document()->toRawText();
    if (document.HasEndMarker())
        raw.truncate(bookEnd);
    raw = document.BookText(raw, 0);
    if (raw.isEmpty() && document.ParagraphCount() == 1)
        return QByteArray();
    QByteArray bytes = raw.toUtf8();
    char *data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype read = 0, write = 0;
    while (read < size) {
        const void *lead = std::memchr(data + read, 0xE2, size_t(size - read));
        const qsizetype at = lead ? static_cast<const char *>(lead) - data : size;
        if (write != read)
            std::memmove(data + write, data + read, size_t(at - read));
        write += at - read;
        read = at;
        if (read >= size)
            break;
        const auto second = static_cast<unsigned char>(read + 1 < size ? data[read + 1] : 0);
        const auto third = static_cast<unsigned char>(read + 2 < size ? data[read + 2] : 0);
        if (second == 0x80 && (third == 0xA8 || third == 0xA9)) {
            data[write++] = '\r';
            data[write++] = '\n';
            read += 3;
        } else {
            data[write++] = data[read++];
        }
    }
    bytes.truncate(write);
    // The last paragraph ends like the others, unless it is an empty one
    // after a break.
    if (!bytes.endsWith("\r\n"))
        bytes += "\r\n";
    return bytes;
}

bool WriteBookFile(const QString &fileName, const QByteArray &bytes, QString *error, int *systemError)
{
    QSaveFile file(fileName);
    errno = 0;
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok && file.write(bytes) != bytes.size())
        ok = false;
    if (ok) {
        ok = file.commit();
    } else {
        const int code = errno;
        file.cancelWriting();
        errno = code;
    }
    if (!ok) {
        if (error)
            *error = file.errorString();
        if (systemError)
            *systemError = errno;
    }
    return ok;
}
