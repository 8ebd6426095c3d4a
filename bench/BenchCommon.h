// Small helpers shared by the benchmark executables.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

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
