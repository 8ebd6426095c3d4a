#include "ConvertOptions.h"

#include "BookFile.h"

namespace {
bool ReadNumber(const QString &text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}
} // namespace

QString ConvertUsageText()
{
    return QStringLiteral("Usage: lectern-convert BOOK OUT [options]\n"
                          "       lectern-convert BOOK --chapters [OUT] [options]\n"
                          "       lectern-convert --speak-sentences BOOK [options]\n"
                          "Reads BOOK (.txt, enhanced like the reader does it, or .rtf) and writes OUT as RTF (.rtf)\n"
                          "or as plain text (.txt: one line per paragraph, CR LF, UTF-8).\n"
                          "With --speak-sentences, prints the sentences of BOOK one a line (UTF-8), as the reader\n"
                          "reads them aloud.\n"
                          "Options:\n"
                          "  --detect               decide from the lines how paragraphs are marked: by empty lines,\n"
                          "                         indents or the width the text was wrapped at (default)\n"
                          "  --poorly-written       the text's paragraphs are not marked\n"
                          "  --well-written         paragraphs are marked by empty lines or indentation\n"
                          "  --no-hyphen-check      join every word broken at a line end, without its hyphen\n"
                          "  --no-smart-chapters    the first 30 chapter headings make the chapters menu\n"
                          "  --no-emphasis          _text_ and *text* keep their markers (default: italic, bold)\n"
                          "  --pieces-apart         a piece is its bytes with the 20 before, cut anywhere, and\n"
                          "                         decides for itself (default: whole lines, the book's decisions)\n"
                          "  --classic              all five above: the reader's classic rules\n"
                          "  --encoding NAME        read the book in NAME (Automatic, UTF-8, UTF-16 LE, Windows-1251,\n"
                          "                         KOI8-R, Shift_JIS ...) instead of recognising its encoding\n"
                          "  --chapters             print the chapters menu, \"position<TAB>caption\" lines,\n"
                          "                         the entries of submenus indented by two spaces\n"
                          "  --ignore-empty-lines   the first empty line after a paragraph is not shown\n"
                          "  --prefix TEXT          paragraph prefix: None (default), Tab, Blanks or the text itself\n"
                          "  --piece N              convert piece N of a plain-text book (from 1)\n"
                          "  --piece-size P         bytes per piece, 10000 .. 500000 (default 50000)\n");
}

bool ParseConvertArguments(const QStringList &arguments, TConvertOptions &options, QString &error)
{
    QStringList files;
    bool pieceGiven = false;
    bool sizeGiven = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        auto value = [&](QString &out) {
            if (i + 1 >= arguments.size()) {
                error = a + QStringLiteral(" needs a value.");
                return false;
            }
            out = arguments.at(++i);
            return true;
        };
        QString text;
        if (a == QLatin1String("--poorly-written") || a == QLatin1String("--well-written")) {
            options.Format.DetectTextLayout = false;
            options.Format.PoorlyWritten = a == QLatin1String("--poorly-written");
        } else if (a == QLatin1String("--detect")) {
            options.Format.DetectTextLayout = true;
        } else if (a == QLatin1String("--no-hyphen-check")) {
            options.Format.CheckHyphens = false;
        } else if (a == QLatin1String("--no-smart-chapters")) {
            options.Format.SmartChapters = false;
        } else if (a == QLatin1String("--no-emphasis")) {
            options.Format.MarkupEmphasis = false;
        } else if (a == QLatin1String("--pieces-apart")) {
            options.Format.WholeBookPieces = false;
        } else if (a == QLatin1String("--classic")) {
            options.Format.DetectTextLayout = false;
            options.Format.CheckHyphens = false;
            options.Format.SmartChapters = false;
            options.Format.WholeBookPieces = false;
            options.Format.MarkupEmphasis = false;
        } else if (a == QLatin1String("--chapters")) {
            options.PrintChapters = true;
        } else if (a == QLatin1String("--encoding")) {
            if (!value(text))
                return false;
            TBookEncoding encoding;
            if (!EncodingFromName(text, encoding)) {
                error = QStringLiteral("Unknown encoding: ") + text + QStringLiteral(" (one of ")
                    + EncodingChoices().join(QStringLiteral(", ")) + QLatin1Char(')');
                return false;
            }
            options.Encoding = text;
        } else if (a == QLatin1String("--speak-sentences")) {
            options.SpeakSentences = true;
        } else if (a == QLatin1String("--ignore-empty-lines")) {
            options.Format.IgnoreEmptyLines = true;
        } else if (a == QLatin1String("--prefix")) {
            if (!value(text))
                return false;
            if (text.isEmpty()) {
                error = QStringLiteral("The paragraph prefix must not be empty (use None for no prefix).");
                return false;
            }
            options.Format.ParagraphPrefix = text;
        } else if (a == QLatin1String("--piece")) {
            if (!value(text))
                return false;
            if (!ReadNumber(text, options.Piece) || options.Piece < 1) {
                error = QStringLiteral("The piece must be a number from 1: ") + text;
                return false;
            }
            pieceGiven = true;
        } else if (a == QLatin1String("--piece-size")) {
            if (!value(text))
                return false;
            if (!ReadNumber(text, options.PieceSize) || options.PieceSize < MinPieceSize
                || options.PieceSize > MaxPieceSize) {
                error = QStringLiteral("The piece size must be a number from %1 to %2: ")
                            .arg(MinPieceSize)
                            .arg(MaxPieceSize)
                    + text;
                return false;
            }
            sizeGiven = true;
        } else if (a.startsWith(QLatin1String("--")) && a.size() > 2) {
            error = QStringLiteral("Unknown option: ") + a;
            return false;
        } else {
            files << a;
        }
    }
    const int needed = options.PrintChapters || options.SpeakSentences ? 1 : 2;
    const int most = options.SpeakSentences ? 1 : 2;
    if (files.size() < needed || files.size() > most) {
        error = files.size() < needed ? (options.SpeakSentences ? QStringLiteral("Give a book.")
                                                                : QStringLiteral("Give a book and an output file."))
                                      : QStringLiteral("Too many files: ") + files.mid(most).join(QLatin1Char(' '));
        return false;
    }
    options.Book = files.at(0);
    options.Out = files.value(1);
    options.InPieces = pieceGiven || sizeGiven;
    if (!IsBookFileName(options.Book)) {
        error = QStringLiteral("The book must be a .txt or .rtf file: ") + options.Book;
        return false;
    }
    if (!options.Out.isEmpty() && !IsBookFileName(options.Out)) {
        error = QStringLiteral("The output must be a .txt or .rtf file: ") + options.Out;
        return false;
    }
    if (options.InPieces && IsRtfBookName(options.Book)) {
        error = QStringLiteral("RTF books are not cut into pieces.");
        return false;
    }
    return true;
}
