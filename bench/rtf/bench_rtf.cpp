// RTF codec speed: writing a book of about 3 MB of RTF, and reading it back
// compared with building the same paragraphs through the rich document's
// bulk interface as plain text.
#include "Rtf.h"

#include "RichDocument.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qsizetype TargetBytes = 3 * 1024 * 1024;

// Paragraphs of a corpus book (lines joined at empty lines), or made-up
// ones when the corpus is not there.
QStringList BookParagraphs()
{
    QStringList paragraphs;
    const QString corpus = qEnvironmentVariable("LECTERN_CORPUS");
    QFile file(corpus + QLatin1String("/books/war-and-peace.txt"));
    if (!corpus.isEmpty() && file.open(QIODevice::ReadOnly)) {
        const QString text = QString::fromLatin1(file.readAll()).remove(QLatin1Char('\r'));
        for (const QString &block : text.split(QLatin1String("\n\n"), Qt::SkipEmptyParts))
            paragraphs << block.simplified();
    } else {
        const QString sentence = QStringLiteral("\"Well, Prince, so Genoa and Lucca are now just family estates,\" she "
                                                "said, and the caf\u00E9 closed at nine. ");
        for (int i = 0; i < 20000; ++i)
            paragraphs << sentence.repeated(1 + i % 5);
    }
    return paragraphs;
}

// A book as the enhancement makes it: justified, indented paragraphs with
// quoted speech coloured, headings bold and centred.
void BuildFormatted(TRichDocument &doc, const QStringList &paragraphs)
{
    TParaFormat body;
    body.Mask = PFM_ALIGNMENT | PFM_STARTINDENT | PFM_SPACEAFTER;
    body.Alignment = PFA_JUSTIFY;
    body.StartIndent = 288;
    body.SpaceAfter = 120;
    TParaFormat heading = body;
    heading.Alignment = PFA_CENTER;
    TCharFormat bold;
    bold.Mask = CFM_BOLD | CFM_UNDERLINE;
    bold.Effects = CFE_BOLD | CFE_UNDERLINE;
    TCharFormat quote;
    quote.Mask = CFM_COLOR;
    quote.TextColor = 0x800000;
    doc.BeginBulk();
    for (const QString &text : paragraphs) {
        if (text.startsWith(QLatin1String("CHAPTER"))) {
            doc.AppendParagraph(text, &bold, &heading);
            continue;
        }
        QVector<TFormatRun> runs;
        qsizetype open = text.indexOf(QLatin1Char('"'));
        while (open >= 0) {
            const qsizetype close = text.indexOf(QLatin1Char('"'), open + 1);
            if (close < 0)
                break;
            runs.append(TFormatRun{int(open), int(close - open + 1), quote});
            open = text.indexOf(QLatin1Char('"'), close + 1);
        }
        doc.AppendParagraph(text, nullptr, &body, runs);
    }
    doc.EndBulk();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);

    // Enough paragraphs for about 3 MB of RTF.
    QStringList all = BookParagraphs();
    QStringList paragraphs;
    qsizetype chars = 0;
    while (chars < TargetBytes * 9 / 10 && !all.isEmpty()) {
        for (const QString &p : all) {
            paragraphs << p;
            chars += p.size() + 2;
            if (chars >= TargetBytes * 9 / 10)
                break;
        }
    }
    TRichDocument source;
    BuildFormatted(source, paragraphs);

    const int rounds = 5;
    QByteArray rtf;
    std::vector<double> writeMs;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        rtf = WriteRtf(source);
        writeMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double write = Median(writeMs);
    std::printf("rtf size: %.2f MB\n", rtf.size() / 1e6);
    std::printf("paragraphs: %lld\n", static_cast<long long>(paragraphs.size()));
    std::printf("write: %.1f ms\n", write);
    std::printf("write speed: %.1f MB/s (goal > 50)\n", rtf.size() / 1e6 / (write / 1000));

    // Reading against the plain bulk build of the same paragraphs.
    std::vector<double> readMs, bulkMs;
    QString readText;
    for (int i = 0; i < rounds; ++i) {
        {
            TRichDocument doc;
            QElapsedTimer timer;
            timer.start();
            ReadRtf(rtf, doc);
            readMs.push_back(timer.nsecsElapsed() / 1e6);
            if (i == 0)
                readText = doc.GetText();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        {
            TRichDocument doc;
            QElapsedTimer timer;
            timer.start();
            doc.BeginBulk();
            for (const QString &p : paragraphs)
                doc.AppendParagraph(p);
            doc.EndBulk();
            bulkMs.push_back(timer.nsecsElapsed() / 1e6);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const double read = Median(readMs), bulk = Median(bulkMs);
    std::printf("read: %.1f ms\n", read);
    std::printf("read speed: %.1f MB/s\n", rtf.size() / 1e6 / (read / 1000));
    std::printf("bulk plain build: %.1f ms\n", bulk);
    std::printf("same text: %s\n", readText == source.GetText() ? "yes" : "NO");
    std::printf("ratio: %.2f (goal <= 1.5)\n", read / bulk);
    return readText == source.GetText() ? 0 : 1;
}
