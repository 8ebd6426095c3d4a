#include "BookConverter.h"

#include "BookFile.h"
#include "BookSave.h"
#include "EnhancedRichEdit.h"
#include "FunStatContext.h"
#include "OpenBook.h"
#include "RichDocument.h"
#include "Rtf.h"
#include "SpeechText.h"

#include <QFile>

#include <cstdio>
#include <functional>

namespace {

void PrintError(const QString &text) { fprintf(stderr, "lectern-convert: %s\n", qPrintable(text)); }

// The text of a failure recorded in a status context, on one line.
QString FailureText(const TFunStatContext &context)
{
    QString text = context.Description;
    if (!context.Parameter1.isEmpty())
        text += QStringLiteral(" (") + context.Parameter1 + QLatin1Char(')');
    if (context.SystemErrorCode != 0)
        text += QStringLiteral(": ") + SystemErrorDescription(context.SystemErrorCode);
    return text;
}

// The value of a "* Name: \"value\"" line of a report text.
QString ReportField(const QString &report, const QString &name)
{
    const QString key = QStringLiteral("* ") + name + QStringLiteral(": ");
    for (const QString &line : report.split(QStringLiteral("\r\n"))) {
        if (line.startsWith(key)) {
            QString value = line.mid(key.size());
            if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return QString();
}

// Error reports that operations show go to stderr, on one line each.
class TConsoleReportView : public TErrorReportView {
public:
    TConsoleReportView() : Previous(ErrorReportView()) { SetErrorReportView(this); }
    ~TConsoleReportView() override { SetErrorReportView(Previous); }
    bool ShowReport(const QString &, const QString &message, bool *noErrors, const QString &report) override
    {
        QString text = message + QLatin1Char(' ') + ReportField(report, QStringLiteral("Description"));
        const QString parameter = ReportField(report, QStringLiteral("Parameter 1"));
        if (!parameter.isEmpty())
            text += QStringLiteral(" (") + parameter + QLatin1Char(')');
        const QString system = ReportField(report, QStringLiteral("System error description"));
        if (!system.isEmpty())
            text += QStringLiteral(": ") + system;
        PrintError(text);
        if (noErrors)
            *noErrors = false;
        return true;
    }
    int RecursionCount() const override { return 0; }

private:
    TErrorReportView *Previous;
};

} // namespace

void ApplyBookFormat(TEnhancedRichEdit &engine, const TBookFormatOptions &format)
{
    engine.Choices.DetectTextLayout = format.DetectTextLayout;
    engine.Choices.CheckHyphens = format.CheckHyphens;
    engine.Choices.SmartChapters = format.SmartChapters;
    engine.Choices.MarkupEmphasis = format.MarkupEmphasis;
    engine.SetBaseFormat(
        false, false, format.LineSpacing, format.SpaceAfter, format.FirstLineIndent, format.JustifiedText ? 3 : 0,
        format.SecondEmphaColor, format.EmphaColor, format.RichBoxForeColor, format.CharSpacing, format.FontSize,
        format.FontName.isEmpty() ? QStringLiteral("Times New Roman") : format.FontName, format.BoldFont);
    engine.ApplyCharFormat(true, CFM_ALL_TEXT);
    engine.ApplyParaFormat(true, 0);
}

QString ChaptersMenuText(const TChaptersMenu *menu)
{
    QString text;
    if (!menu)
        return text;
    const std::function<void(int, int)> list = [&](int group, int depth) {
        const QString indent(depth * 2, QLatin1Char(' '));
        for (int entry : menu->Entries(group)) {
            if (entry >= 0) {
                const TChapterItem &item = menu->Item(entry);
                text += indent + QString::number(item.Tag) + QLatin1Char('\t') + item.Caption + QLatin1Char('\n');
            } else {
                const TChapterGroup &sub = menu->Group(-entry - 1);
                text += indent + QString::number(sub.Tag) + QLatin1Char('\t') + sub.Caption + QLatin1Char('\n');
                list(-entry - 1, depth + 1);
            }
        }
    };
    list(-1, 0);
    return text;
}

bool LoadBookIntoDocument(const TConvertOptions &options, TRichDocument &document, QString &error, QString *chapters)
{
    // The command line named the book and what to read of it: nothing is
    // asked, a file that is no text is read with a note, and a refusal
    // becomes the error.
    TBookLoadHooks hooks;
    hooks.Ask = [&options](const QString &question) {
        if (question != OnePieceQuestionText())
            PrintError(QStringLiteral("This file does not look like a text book; it is read anyway (") + options.Book
                       + QLatin1Char(')'));
        return true;
    };
    hooks.Warn = hooks.Tell = [&error, &options](const QString &text) {
        error = text + QStringLiteral(" (") + options.Book + QLatin1Char(')');
    };
    TBookOpenCheck check;
    FunStatContext.Reset(Perfect);
    if (!CheckBookToOpen(options.Book, options.InPieces, options.PieceSize, hooks, check)) {
        if (check.Verdict == TBookOpenVerdict::SizeQueryFailed)
            error = QStringLiteral("Failed to load book. ") + FailureText(FunStatContext);
        return false;
    }
    if (check.Rtf) {
        QFile file(options.Book);
        if (!file.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("Failed to load book. ") + file.errorString() + QStringLiteral(" (") + options.Book
                + QLatin1Char(')');
            return false;
        }
        QString rtfError;
        if (!ReadRtf(file.readAll(), document, &rtfError)) {
            error = QStringLiteral("Failed to load book. ") + rtfError;
            return false;
        }
        return true;
    }
    if (options.InPieces && options.Piece > check.PieceCount) {
        error = QStringLiteral("The book has %1 piece(s) of %2 bytes; there is no piece %3.")
                    .arg(check.PieceCount)
                    .arg(options.PieceSize)
                    .arg(options.Piece);
        return false;
    }
    TBookEncoding encoding;
    EncodingFromName(options.Encoding, encoding); // checked with the arguments
    TOpenBook book;
    book.Open(options.Book, check, options.PieceSize, options.Format.WholeBookPieces, encoding);
    TEnhancedRichEdit engine;
    engine.RichBox = &document;
    ApplyBookFormat(engine, options.Format);
    FunStatContext.Reset(Perfect);
    const int piece = book.InPieces() ? options.Piece : 1;
    // A piece read as part of the book takes the whole book's decisions.
    book.ScanNow(options.Format, true);
    if (!book.ReadPlainPiece(piece, options.Format, true, engine, document)) {
        // A piece's failure has been reported already.
        if (!book.InPieces())
            error = QStringLiteral("Failed to load book. ") + FailureText(FunStatContext);
        return false;
    }
    if (chapters)
        *chapters = ChaptersMenuText(engine.ChaptersMenu());
    if (FunStatContext.Failed()) {
        error = QStringLiteral("Failed to load book. ") + FailureText(FunStatContext);
        return false;
    }
    return true;
}

QStringList SpokenSentences(const TRichDocument &document, const QString &prefix)
{
    QStringList sentences;
    TSpeechText text(&document, prefix, 0xFFFFFF);
    text.Seek(0);
    TSpokenSentence sentence;
    while (text.Next(sentence))
        sentences << sentence.Text;
    return sentences;
}

bool WriteConvertedBook(const TRichDocument &document, const QString &out, QString &error)
{
    const QByteArray bytes
        = BookSaveBytes(document, IsRtfBookName(out) ? TBookSaveFormat::Rtf : TBookSaveFormat::PlainText);
    QString reason;
    if (!WriteBookFile(out, bytes, &reason)) {
        error = QStringLiteral("Failed to save. ") + reason + QStringLiteral(" (") + out + QLatin1Char(')');
        return false;
    }
    return true;
}

int RunConvert(const QStringList &arguments)
{
    TConvertOptions options;
    QString error;
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
        fputs(qPrintable(ConvertUsageText()), stdout);
        return 0;
    }
    if (!ParseConvertArguments(arguments, options, error)) {
        PrintError(error);
        fputs(qPrintable(ConvertUsageText()), stderr);
        return 2;
    }
    if (!options.Out.isEmpty() && IsSameFile(options.Book, options.Out)) {
        PrintError(QStringLiteral("The output is the book itself; give another output file: ") + options.Out);
        return 2;
    }
    TConsoleReportView reports;
    TRichDocument document;
    QString chapters;
    if (!LoadBookIntoDocument(options, document, error, options.PrintChapters ? &chapters : nullptr)) {
        if (!error.isEmpty()) // else the failure has been shown already
            PrintError(error);
        return 1;
    }
    if (options.SpeakSentences) {
        const QString prefix = IsRtfBookName(options.Book)
            ? QString()
            : TEnhancedRichEdit::TranslatePrefix(options.Format.ParagraphPrefix);
        for (const QString &sentence : SpokenSentences(document, prefix))
            fputs((sentence + QLatin1Char('\n')).toUtf8().constData(), stdout);
        return 0;
    }
    if (options.PrintChapters)
        fputs(chapters.toUtf8().constData(), stdout);
    if (!options.Out.isEmpty() && !WriteConvertedBook(document, options.Out, error)) {
        PrintError(error);
        return 1;
    }
    return 0;
}
