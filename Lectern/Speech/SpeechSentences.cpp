#include "SpeechSentences.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

// Words that end with a full stop without ending the sentence, written in
// lower case without their stop.
const char *const Abbreviations[] = {
    // English titles and the like
    "mr", "mrs", "ms", "messrs", "dr", "st", "mt", "ft", "jr", "sr", "prof", "rev", "revd", "hon", "gen", "col", "capt",
    "cpt", "lt", "sgt", "maj", "gov", "pres", "supt", "esq", "viz", "cf", "ca", "approx", "dept", "ltd", "inc", "co",
    "vs", "jan", "feb", "apr", "jun", "jul", "aug", "sep", "sept", "oct", "nov", "dec",
    // French, German, Spanish, Italian, Dutch
    "mm", "mme", "mmes", "mlle", "mlles", "mgr", "ste", "hr", "fr", "hrn", "bzw", "vgl", "geb", "str", "sra", "srta",
    "dña", "ud", "uds", "vd", "sig", "sigg", "dott", "avv", "ing", "dhr", "mevr", "bijv"};

// Words that are abbreviations only before a number ("No. 5", "p. 12").
const char *const NumberAbbreviations[]
    = {"no", "nos", "vol", "vols", "ch", "chap", "fig", "figs", "p", "pp", "art", "nr", "n"};

bool InList(const QString &word, const char *const *list, size_t count)
{
    return std::any_of(list, list + count, [&word](const char *entry) { return word == QLatin1String(entry); });
}

bool IsSeparator(QChar c)
{
    return c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == QLatin1Char('\n')
        || c == QLatin1Char('\r');
}

bool IsBlank(QChar c) { return c.isSpace() || IsSeparator(c); }

bool IsDash(QChar c) { return c == QChar(0x2014) || c == QChar(0x2013) || c == QLatin1Char('-'); }

// Quotes and brackets that close a sentence after its stop.
bool IsClosing(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char(')') || c == QLatin1Char(']')
        || c == QChar(0x201D) || c == QChar(0x2019) || c == QChar(0x00BB) || c == QChar(0x00AB) || c == QChar(0x201C)
        || c == QChar(0x2018) || c == QLatin1Char('`') || c == QLatin1Char('_') || c == QLatin1Char('*');
}

bool IsOpening(QChar c) { return IsClosing(c) || c == QLatin1Char('(') || c == QLatin1Char('['); }

bool IsStop(QChar c)
{
    return c == QLatin1Char('.') || c == QLatin1Char('!') || c == QLatin1Char('?') || c == QChar(0x2026);
}

// Single letters with stops between them: "e.g", "i.e", "u.s".
bool IsDottedAbbreviation(const QString &word)
{
    if (word.size() < 3 || word.size() % 2 == 0)
        return false;
    for (int i = 0; i < word.size(); ++i)
        if (i % 2 == 0 ? !word[i].isLetter() : word[i] != QLatin1Char('.'))
            return false;
    return true;
}

int Window(int maxLength) { return std::max(8 * maxLength, 4096); }

} // namespace

TSentenceSplitter::TSentenceSplitter(QStringView paragraph, int maxLength)
    : Text(paragraph), Max(std::max(maxLength, 20))
{}

int TSentenceSplitter::SkipSpaces(int from) const
{
    const int n = int(Text.size());
    while (from < n && IsBlank(Text[from]))
        ++from;
    return from;
}

bool TSentenceSplitter::Next(int from, TSentenceSpan &sentence) const
{
    const int start = SkipSpaces(std::max(0, from));
    if (start >= Text.size())
        return false;
    int end = SentenceEnd(start);
    while (end > start && IsBlank(Text[end - 1]))
        --end;
    sentence.Start = start;
    sentence.Length = end - start;
    return true;
}

int TSentenceSplitter::SentenceEnd(int from) const
{
    const int n = int(Text.size());
    const int windowEnd = std::min(n, from + Window(Max));
    QTextBoundaryFinder finder(QTextBoundaryFinder::Sentence, Text.mid(from, windowEnd - from));
    auto nextBoundary = [&finder, from, windowEnd]() {
        const qsizetype b = finder.toNextBoundary();
        return b < 0 ? windowEnd : from + int(b);
    };

    int end = nextBoundary();
    while (end < windowEnd) {
        // A dialogue dash after the stop opens the next sentence.
        int dash = end;
        while (dash > from && IsBlank(Text[dash - 1]))
            --dash;
        if (dash - 1 > from && IsDash(Text[dash - 1]) && IsBlank(Text[dash - 2])) {
            end = dash - 1;
            break;
        }

        // The stop at the end, before closing quotes and spaces; a sentence
        // that ends in a line break (a verse line) is never joined.
        int stop = end;
        bool lineBreak = false;
        while (stop > from && (IsBlank(Text[stop - 1]) || IsClosing(Text[stop - 1]))) {
            lineBreak = lineBreak || IsSeparator(Text[stop - 1]);
            --stop;
        }
        if (lineBreak || stop == from)
            break;

        // What follows: its first letter, past spaces, quotes and brackets.
        int next = end;
        while (next < n && (IsBlank(Text[next]) || IsOpening(Text[next])))
            ++next;
        const bool nextLower = next < n && Text[next].isLower();
        const bool nextDigit = next < n && Text[next].isDigit();

        bool join = nextLower;
        const bool ellipsis = stop - 2 >= from && Text[stop - 2] == QLatin1Char('.');
        if (!join && Text[stop - 1] == QLatin1Char('.') && !ellipsis) {
            // The word before the stop.
            int word = stop - 1;
            while (word > from && (Text[word - 1].isLetter() || Text[word - 1] == QLatin1Char('.')))
                --word;
            const QString w = Text.mid(word, stop - 1 - word).toString().toLower();
            const bool initial = w.size() == 1 && Text[word].isUpper();
            join = initial || IsDottedAbbreviation(w) || InList(w, Abbreviations, std::size(Abbreviations))
                || (nextDigit && InList(w, NumberAbbreviations, std::size(NumberAbbreviations)));
        }
        if (!join)
            break;
        end = nextBoundary();
    }
    if (end - from > Max)
        end = CutPoint(from, end);
    return end;
}

int TSentenceSplitter::CutPoint(int from, int end) const
{
    const int limit = std::min(end, from + Max);
    for (int p = limit; p > from + Max / 2; --p) {
        const QChar before = Text[p - 1];
        if ((before == QLatin1Char(',') || before == QLatin1Char(';') || before == QLatin1Char(':')) && p < Text.size()
            && IsBlank(Text[p]))
            return p;
    }
    for (int p = limit; p > from + Max / 4; --p)
        if (IsBlank(Text[p]))
            return p;
    // No space at all: cut anywhere, but not inside a surrogate pair.
    return Text[limit - 1].isHighSurrogate() ? limit - 1 : limit;
}

bool TSentenceSplitter::SentenceAt(int offset, TSentenceSpan &sentence) const
{
    const int n = int(Text.size());
    offset = std::clamp(offset, 0, n);
    // Start from a sentence boundary a little before the offset, so a long
    // paragraph is not walked from its beginning.
    int from = 0;
    const int back = 4 * Max;
    if (offset > back) {
        const int windowStart = offset - back;
        QTextBoundaryFinder finder(QTextBoundaryFinder::Sentence, Text.mid(windowStart, offset - windowStart));
        const qsizetype b = finder.toNextBoundary();
        from = b > 0 && b < offset - windowStart ? windowStart + int(b) : windowStart;
    }
    while (Next(from, sentence)) {
        if (sentence.End() > offset)
            return true;
        from = sentence.End();
    }
    return false;
}

QString SpokenText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    bool space = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('_') || c == QLatin1Char('*'))
            continue;
        if (IsBlank(c) || c == QChar::Nbsp) {
            space = !out.isEmpty();
            continue;
        }
        if (space)
            out += QLatin1Char(' ');
        space = false;
        out += c;
    }
    // A leading dialogue dash, "#" or "§" is not said.
    int lead = 0;
    while (lead < out.size()) {
        const QChar c = out[lead];
        const bool spaceAfter = lead + 1 >= out.size() || out[lead + 1] == QLatin1Char(' ');
        if (c == QChar(0x2014) || c == QChar(0x2013) || c == QLatin1Char('#') || c == QChar(0x00A7)
            || (c == QLatin1Char('-') && spaceAfter) || c == QLatin1Char(' '))
            ++lead;
        else
            break;
    }
    out.remove(0, lead);
    return HasWords(out) ? out : QString();
}

bool HasWords(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

bool EndsSentence(QStringView text)
{
    int end = int(text.size());
    while (end > 0 && (IsBlank(text[end - 1]) || IsClosing(text[end - 1])))
        --end;
    return end > 0 && (IsStop(text[end - 1]) || text[end - 1] == QLatin1Char(';') || text[end - 1] == QLatin1Char(':'));
}
