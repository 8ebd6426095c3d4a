#include "WrapLayout.h"

#include "EnhancedRichEdit.h"
#include "LineRules.h"
#include "TextLayout.h"

#include <algorithm>
#include <array>

using namespace LineRules;

namespace {

// Fewer lines than this in a stretch say nothing about a width.
constexpr int MinimumLines = 40;

// The third-longest of the lengths in [from, to): the width most lines
// reach, whatever a line or two that stick out.
int ThirdLongest(const std::vector<uint16_t> &lengths, qsizetype from, qsizetype to)
{
    std::array<int, 3> top = {0, 0, 0};
    for (qsizetype i = std::max<qsizetype>(from, 0); i < to && i < qsizetype(lengths.size()); ++i) {
        const int length = lengths[size_t(i)];
        if (length <= top[2])
            continue;
        if (length > top[0]) {
            top = {length, top[0], top[1]};
        } else if (length > top[1]) {
            top[2] = top[1];
            top[1] = length;
        } else {
            top[2] = length;
        }
    }
    return top[2];
}

qsizetype SpeakerNames(const QStringList &lines, qsizetype from, qsizetype to)
{
    qsizetype names = 0;
    for (qsizetype i = from; i < to; ++i)
        names += WrapRules::IsSpeakerName(Trimmed(lines.at(i))) ? 1 : 0;
    return names;
}

bool IsSentenceEndMark(char16_t c) { return c == '.' || c == '?' || c == '!'; }

// The marks that close a double quotation, in English, French and German.
bool IsClosingDoubleQuote(char16_t c)
{
    return c == '"' || c == 0x201D || c == 0x201C || c == 0x00BB || c == 0x00AB;
}

// Letters, and no lower-case ones: "GABRIEL'S RESOLVE -- THE VISIT".
bool IsTitleInCapitals(QStringView text)
{
    bool letters = false;
    for (const QChar c : text) {
        if (c.isLower())
            return false;
        letters = letters || c.isLetter();
    }
    return letters;
}

bool IsDash(QStringView text) { return text.startsWith(QLatin1String("--")) || text.front() == QChar(0x2014); }

} // namespace

namespace WrapRules {

int VisibleLength(QStringView rawLine)
{
    qsizetype end = rawLine.size();
    while (end > 0 && IsBlank(rawLine[end - 1].unicode()))
        --end;
    return int(end);
}

int FirstWordLength(QStringView text)
{
    qsizetype n = 0;
    while (n < text.size() && !IsBlank(text[n].unicode()))
        ++n;
    return int(n);
}

bool IsSpeakerLine(QStringView text)
{
    // One or two words of capitals, then a full stop: "ROMEO." "LADY CAPULET."
    qsizetype i = 0;
    int words = 0;
    while (words < 3) {
        const qsizetype begin = i;
        while (i < text.size() && (IsUpperLetter(text[i].unicode()) || text[i] == QLatin1Char('\'')))
            ++i;
        if (i - begin < 2)
            return false;
        ++words;
        if (i < text.size() && text[i] == QLatin1Char('.'))
            return true;
        if (i >= text.size() || text[i] != QLatin1Char(' '))
            return false;
        ++i;
    }
    return false;
}

bool IsSpeakerName(QStringView text)
{
    if (text.size() < 3 || text.size() > 24 || text.back() != QLatin1Char('.'))
        return false;
    const QStringView name = text.chopped(1);
    if (name.contains(QLatin1Char('.')) || name.contains(QLatin1Char(',')))
        return false;
    int words = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (i > 0 && name[i - 1] != QLatin1Char(' '))
            continue;
        if (!name[i].isUpper() && !name[i].isDigit())
            return false;
        ++words;
    }
    return words <= 3;
}

bool EndsWithSpeechEnd(QStringView text)
{
    return text.size() >= 2 && IsClosingDoubleQuote(text.back().unicode())
        && IsSentenceEndMark(text[text.size() - 2].unicode());
}

int SpeechEndsWithin(QStringView text)
{
    int found = 0;
    for (qsizetype i = 1; i + 2 < text.size(); ++i) {
        if (!IsClosingDoubleQuote(text[i].unicode()) || !IsSentenceEndMark(text[i - 1].unicode())
            || text[i + 1] != QLatin1Char(' '))
            continue;
        qsizetype j = i + 1;
        while (j < text.size() && text[j] == QLatin1Char(' '))
            ++j;
        found += j < text.size() && text[j].isUpper() ? 1 : 0;
    }
    return found;
}

bool IsDashedGoOn(QStringView text)
{
    return text.size() > 2 && text.startsWith(QLatin1String("--")) && text[2] != QLatin1Char('-');
}

bool OpensSpeech(QStringView text)
{
    if (text.isEmpty())
        return false;
    return IsAnyQuotation(text.front().unicode()) || IsDash(text);
}

} // namespace WrapRules

void TQuoteTally::Add(QStringView line)
{
    for (const QChar c : line) {
        switch (c.unicode()) {
        case 0x22: ++Counts[0]; break;
        case 0x201C: ++Counts[1]; break;
        case 0x201D: ++Counts[2]; break;
        case 0x201E: ++Counts[3]; break;
        case 0x00AB: ++Counts[4]; break;
        case 0x00BB: ++Counts[5]; break;
        default: break;
        }
    }
}

TQuoteTally::TSpeech TQuoteTally::Speech(QStringView paragraph) const
{
    if (paragraph.isEmpty())
        return NoSpeech;
    bool closed = false;
    switch (paragraph.front().unicode()) {
    case 0x22: closed = Counts[0] % 2 == 0; break;
    case 0x201C: closed = Counts[1] <= Counts[2]; break;
    case 0x201E: closed = Counts[3] <= Counts[1]; break; // German: low mark, closed by U+201C
    case 0x00AB: closed = Counts[4] <= Counts[5]; break;
    case 0x00BB: closed = Counts[5] <= Counts[4]; break; // German: closed by U+00AB
    default: return NoSpeech;
    }
    return closed ? ClosedSpeech : OpenSpeech;
}

void TWrapLayout::Clear()
{
    Widths.clear();
    Readings.clear();
    Verse.clear();
    Tolerances.clear();
    OpenTolerances.clear();
    Dominant = 0;
    SpeechesEndParagraphs = false;
}

void TWrapLayout::Build(const QStringList &lines, bool poorlyWritten)
{
    Clear();
    const qsizetype count = lines.size();
    if (count < MinimumLines)
        return;
    std::vector<uint16_t> lengths(static_cast<size_t>(count));
    for (qsizetype i = 0; i < count; ++i)
        lengths[size_t(i)] = uint16_t(std::min(WrapRules::VisibleLength(lines.at(i)), 0xFFFF));
    Widths.assign(size_t(count), 0);
    // The last stretch takes the lines that would make a short one.
    const int stretches = std::max<int>(1, int(count / StretchLines));
    Readings.assign(size_t(count / StretchLines + 1), ByRules);
    Verse.assign(Readings.size(), 0);
    Tolerances.assign(Readings.size(), 0);
    OpenTolerances.assign(Readings.size(), 0);
    for (int s = 0; s < stretches; ++s)
        DecideStretch(s, lines, lengths, poorlyWritten);
    for (size_t s = size_t(stretches); s < Readings.size(); ++s) {
        Readings[s] = Readings[size_t(stretches - 1)];
        Verse[s] = Verse[size_t(stretches - 1)];
        Tolerances[s] = Tolerances[size_t(stretches - 1)];
        OpenTolerances[s] = OpenTolerances[size_t(stretches - 1)];
    }
    // The width most of the lines read by it were wrapped at.
    std::vector<int> histogram;
    for (qsizetype i = 0; i < count; ++i) {
        if (Reading(int(i)) != ByWidth)
            continue;
        const size_t width = Widths[size_t(i)];
        if (width >= histogram.size())
            histogram.resize(width + 1, 0);
        ++histogram[width];
    }
    for (size_t w = 1; w < histogram.size(); ++w)
        if (histogram[w] > 0 && (Dominant == 0 || histogram[w] > histogram[size_t(Dominant)]))
            Dominant = int(w);
    if (Dominant > 0)
        CountSpeechEnds(lines, lengths);
}

void TWrapLayout::CountSpeechEnds(const QStringList &lines, const std::vector<uint16_t> &lengths)
{
    // A speech closed before narrative that goes on in the same line, and
    // one closed at a line that clearly ends its paragraph: the book's habit.
    int within = 0;
    int ending = 0;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (Reading(int(i)) != ByWidth)
            continue;
        const QStringView text = Trimmed(lines.at(i));
        within += WrapRules::SpeechEndsWithin(text);
        const QStringView next = Trimmed(lines.at(i + 1));
        if (next.isEmpty() || !next.front().isUpper() || !WrapRules::EndsWithSpeechEnd(text))
            continue;
        const int room = Widths[size_t(i)] - lengths[size_t(i)] - 1 - WrapRules::FirstWordLength(next);
        ending += room > Tolerances[size_t(i) / StretchLines] ? 1 : 0;
    }
    SpeechesEndParagraphs = ending > within;
}

void TWrapLayout::DecideStretch(int stretch, const QStringList &lines, const std::vector<uint16_t> &lengths,
                                bool poorlyWritten)
{
    const qsizetype from = qsizetype(stretch) * StretchLines;
    const qsizetype stretches = std::max<qsizetype>(1, lines.size() / StretchLines);
    const qsizetype to = stretch + 1 == stretches ? lines.size() : from + StretchLines;
    std::vector<uint16_t> shown;
    for (qsizetype i = from; i < to; ++i)
        if (lengths[size_t(i)] > 0)
            shown.push_back(lengths[size_t(i)]);
    if (int(shown.size()) < MinimumLines)
        return;
    const TTextLayoutCounts counts = CountTextLayout(lines.mid(from, to - from));
    Verse[size_t(stretch)] = counts.IsVerse() ? 1 : 0;
    // Marked paragraphs and verse are never read by the width.
    if (counts.IsVerse() || !counts.IsPoorlyWritten()) {
        if (counts.IsVerse() && poorlyWritten && counts.IsPoorlyWritten())
            Readings[size_t(stretch)] = SpeakerNames(lines, from, to) * 40 >= qsizetype(shown.size()) ? BySpeakers
                                                                                                      : ByVerseLines;
        return;
    }
    // Lines that mostly fall well short of the width were not filled up to it.
    const int width = ThirdLongest(shown, 0, qsizetype(shown.size()));
    std::nth_element(shown.begin(), shown.begin() + qsizetype(shown.size() / 2), shown.end());
    if ((width - shown[shown.size() / 2]) * 6 > width)
        return;
    MeasureWidths(lengths, from, to);
    // The room left on lines that certainly go on (the next begins in lower
    // case): a line that ends a sentence with more room than most of them
    // ends its paragraph; one that ends no sentence, and so rarely ends a
    // paragraph, needs more room than nearly all of them.
    std::vector<int> rooms;
    for (qsizetype i = from; i + 1 < to; ++i) {
        if (lengths[size_t(i)] == 0 || lengths[size_t(i + 1)] == 0)
            continue;
        const QStringView next = Trimmed(lines.at(i + 1));
        if (next.front().isLower())
            rooms.push_back(Widths[size_t(i)] - lengths[size_t(i)] - 1 - WrapRules::FirstWordLength(next));
    }
    int tolerance = width / 6;
    int openTolerance = width / 6;
    if (rooms.size() >= 20) {
        auto percentile = [&rooms, width](size_t percent) {
            const size_t at = rooms.size() * percent / 100;
            std::nth_element(rooms.begin(), rooms.begin() + qsizetype(at), rooms.end());
            return std::clamp(rooms[at], 0, width / 6);
        };
        tolerance = percentile(90);
        openTolerance = percentile(99);
    }
    Tolerances[size_t(stretch)] = uint8_t(tolerance);
    OpenTolerances[size_t(stretch)] = uint8_t(openTolerance);
    int shortEnds = 0;
    for (qsizetype i = from; i + 1 < to; ++i) {
        if (lengths[size_t(i)] == 0 || lengths[size_t(i + 1)] == 0)
            continue;
        const int word = WrapRules::FirstWordLength(Trimmed(lines.at(i + 1)));
        if (lengths[size_t(i)] + 1 + word + tolerance < Widths[size_t(i)])
            ++shortEnds;
    }
    const int marks = counts.EmptyLineStarts + counts.IndentedStarts;
    if (shortEnds > marks)
        Readings[size_t(stretch)] = ByWidth;
}

void TWrapLayout::MeasureWidths(const std::vector<uint16_t> &lengths, qsizetype from, qsizetype to)
{
    // The width at a line is the smaller of the widths before and after it,
    // so that the lines next to a change of width are read by their own.
    const qsizetype count = qsizetype(lengths.size());
    for (qsizetype i = from; i < to; ++i) {
        // Near the start or the end of the text only the longer side counts.
        const int before = i >= 16 ? ThirdLongest(lengths, i - WidthReach, i + 1) : 0;
        const int after = count - i > 16 ? ThirdLongest(lengths, i, i + WidthReach + 1) : 0;
        Widths[size_t(i)] = uint16_t(before == 0 || after == 0 ? std::max(before, after) : std::min(before, after));
    }
}

bool TWrapLayout::EndsParagraph(int line, QStringView rawLine, QStringView rawNext, TQuoteTally::TSpeech speech) const
{
    if (line < 0 || size_t(line) >= Widths.size())
        return false;
    const int width = Widths[size_t(line)];
    const QStringView text = Trimmed(rawLine);
    const QStringView next = Trimmed(rawNext);
    if (width == 0 || text.isEmpty() || next.isEmpty())
        return false;
    const char16_t last = text.back().unicode();
    const bool sentenceEnd = IsAnySentenceEnd(last);
    if (sentenceEnd && WrapRules::OpensSpeech(next))
        return true;
    if (WrapRules::IsSpeakerLine(next) || next.front() == QLatin1Char('['))
        return true;
    if (text.front() == QLatin1Char('[') && last == ']')
        return true;
    // A paragraph never begins in lower case: the line was only ended early.
    if (next.front().isLower())
        return false;
    const int length = WrapRules::VisibleLength(rawLine);
    const int room = width - length - 1 - WrapRules::FirstWordLength(next);
    // A speech the paragraph opened goes on until its quotation is closed,
    // past lines ended a little early (a clearly short line still ends it:
    // a quotation mark may be missing); narrative after a speech closed at
    // the end of a line starts anew.
    if (speech == TQuoteTally::OpenSpeech && next.front().isLetter() && room * 6 <= width)
        return false;
    if (speech == TQuoteTally::ClosedSpeech && SpeechesEndParagraphs && WrapRules::EndsWithSpeechEnd(text)
        && next.front().isUpper())
        return true;
    // A sentence end, a title in capitals or a colon before a speech often
    // ends a paragraph: the line needs less room to end it.
    const bool closes = sentenceEnd || IsTitleInCapitals(text) || (last == ':' && WrapRules::OpensSpeech(next));
    const int tolerance = (closes ? Tolerances : OpenTolerances)[size_t(line) / StretchLines];
    // The next word would have fitted: the line was ended on purpose. A
    // line that had no room for it says nothing, whatever its last word.
    return room > tolerance;
}
