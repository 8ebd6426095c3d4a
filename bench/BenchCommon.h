// Small helpers shared by the benchmark executables.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <functional>

// A "Key:" line of /proc/self/status in kB (VmHWM: peak resident memory,
// VmRSS: current), or -1 when it cannot be read.
inline long StatusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toLong();
    return -1;
}

inline long PeakMemoryKb() { return StatusKb("VmHWM:"); }

// About 3 MB of paragraphs of one to eight lines of twelve words drawn from
// `words`, separated by empty lines; with `chapters`, a "CHAPTER" heading
// now and then. Stands in for the corpus book when it is missing.
inline QString GeneratedProse(const QStringList &words, bool chapters)
{
    QString text;
    auto *rng = QRandomGenerator::global();
    while (text.size() < 3200000) {
        if (chapters && rng->bounded(40) == 0)
            text += QStringLiteral("CHAPTER %1\n\n").arg(text.size());
        for (int l = 1 + rng->bounded(8); l > 0; --l) {
            QStringList line;
            for (int w = 0; w < 12; ++w)
                line << words.at(rng->bounded(words.size()));
            text += line.join(QLatin1Char(' ')) + QLatin1Char('\n');
        }
        text += QLatin1Char('\n');
    }
    return text;
}

// The lines of War and Peace from the corpus (about 3 MB), or 3 MB of
// generated paragraphs with wrapped lines when there is no corpus, ended by
// the end marker a load appends. `source` names which.
inline QStringList WarAndPeaceLines(QString *source)
{
    QFile file(qEnvironmentVariable("LECTERN_CORPUS") + QStringLiteral("/books/war-and-peace.txt"));
    QString text;
    if (file.open(QIODevice::ReadOnly)) {
        text = QString::fromLatin1(file.readAll());
        *source = QStringLiteral("war-and-peace.txt");
    } else {
        // No corpus: 3 MB of generated paragraphs with wrapped lines.
        text = GeneratedProse(
            {"the", "prince", "said", "and", "it", "was", "evening", "Natasha", "looked", "at", "him"}, true);
        *source = QStringLiteral("generated");
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    lines << QStringLiteral("***** End of Book *****");
    return lines;
}

// A plain-text book of `size` bytes: lines of 66 or more characters of
// eighteen words, paragraphs of eight lines separated by empty lines, CR LF;
// with `utf8`, curly quotes now and then.
inline QByteArray GenerateBook(qint64 size, bool utf8)
{
    static const char *words[] = {"the",    "house", "was",   "quiet", "and",  "she", "walked",  "slowly", "towards",
                                  "window", "where", "light", "fell",  "upon", "old", "letters", "of",     "her"};
    QByteArray book;
    book.reserve(size + 100);
    unsigned seed = 12345;
    int lineInParagraph = 0;
    while (book.size() < size) {
        QByteArray line;
        while (line.size() < 66) {
            seed = seed * 1103515245u + 12345u;
            line += words[(seed >> 16) % (sizeof(words) / sizeof(words[0]))];
            line += ' ';
        }
        if (utf8 && (seed & 7) == 0)
            line += "\xE2\x80\x9Cyes\xE2\x80\x9D ";
        line += "end.\r\n";
        book += line;
        if (++lineInParagraph == 8) {
            book += "\r\n";
            lineInParagraph = 0;
        }
    }
    book.truncate(size);
    return book;
}

inline QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(f.fileName()));
    return f.fileName();
}

// Best of several runs, in seconds.
inline double Best(int runs, const std::function<void()> &work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    return best;
}

