// The paragraphs of a text without empty lines or indents, read from the
// shape of its lines: an editor that wrapped the text at a width filled
// every line of a paragraph up to that width, so a line clearly shorter,
// whose next line's first word would have fitted on it, ended a paragraph.
// Decided per stretch of the book, since its parts may have been wrapped
// at different widths, or not at all (verse, plays, tables).
#pragma once

#include <QStringList>
#include <QStringView>

#include <array>
#include <cstdint>
#include <vector>

// The double quotation marks of a paragraph as its lines are joined: whether
// a paragraph that opens with a speech has closed it.
class TQuoteTally {
public:
    enum TSpeech : uint8_t {
        NoSpeech, // the paragraph does not open with a double quotation mark
        OpenSpeech, // it does, and that quotation is not closed yet
        ClosedSpeech, // it does, and every quotation it opened is closed
    };

    void Clear() { Counts.fill(0); }
    void Add(QStringView line);
    // `paragraph` is the text whose lines were added.
    TSpeech Speech(QStringView paragraph) const;

private:
    // '"', U+201C, U+201D, U+201E, U+00AB, U+00BB
    std::array<int, 6> Counts = {};
};

class TWrapLayout {
public:
    // How a line boundary is read.
    enum TReading : uint8_t {
        ByRules, // the stretch is read by the rules alone
        ByWidth, // by the wrap width
        ByVerseLines, // verse without stanza marks: a line that begins with a capital starts a paragraph
        BySpeakers, // a play in verse: a speech, its speaker's name first, is a paragraph
    };

    // Looks at the lines; `poorlyWritten` is the rule set the book is read
    // with (verse is read line by line only in a poorly written book).
    void Build(const QStringList &lines, bool poorlyWritten);
    void Clear();

    // The reading of the boundary after line `line`.
    TReading Reading(int line) const
    {
        return line >= 0 && size_t(line) < Widths.size() ? TReading(Readings[size_t(line) / StretchLines]) : ByRules;
    }
    // True when the stretch of line `line` is verse, whatever it is read
    // by: its lines begin with capitals, so a capital after a colon says
    // nothing about a paragraph.
    bool IsVerse(int line) const
    {
        return line >= 0 && size_t(line) < Widths.size() && Verse[size_t(line) / StretchLines] != 0;
    }
    // With ByWidth: true when a paragraph ends after line `line` (the raw
    // lines given to Build; `next` is line + 1); `speech` tells the
    // quotation marks of the paragraph up to that line.
    bool EndsParagraph(int line, QStringView rawLine, QStringView rawNext,
                       TQuoteTally::TSpeech speech = TQuoteTally::NoSpeech) const;
    // The wrap width the most lines read by it were wrapped at; 0 when no
    // stretch is read by the width.
    int DominantWidth() const { return Dominant; }
    bool UsesWidth() const { return Dominant > 0; }

    static constexpr int StretchLines = 256;
    static constexpr int WidthReach = 96;

private:
    std::vector<uint16_t> Widths; // per line: the wrap width around it
    std::vector<uint8_t> Readings; // per stretch
    std::vector<uint8_t> Verse; // per stretch: 1 for verse
    // Per stretch: how far short of the width a line inside a paragraph
    // may end (hand-wrapped texts leave room now and then), after a line
    // that ends a sentence and after one that does not.
    std::vector<uint8_t> Tolerances;
    std::vector<uint8_t> OpenTolerances;
    int Dominant = 0;
    // The book's speeches end their paragraphs more often than narrative
    // follows them: then one closed at the end of a full line ends it too.
    bool SpeechesEndParagraphs = false;

    void CountSpeechEnds(const QStringList &lines, const std::vector<uint16_t> &lengths);
    void MeasureWidths(const std::vector<uint16_t> &lengths, qsizetype from, qsizetype to);
    void DecideStretch(int stretch, const QStringList &lines, const std::vector<uint16_t> &lengths,
                       bool poorlyWritten);
};

namespace WrapRules {

// The length of a line without the blanks at its end.
int VisibleLength(QStringView rawLine);
// The length of the first word of a trimmed line.
int FirstWordLength(QStringView text);
// "NAME." or "FIRST NAME." (capitals) at the start: a speaker of a play.
bool IsSpeakerLine(QStringView text);
// A speaker's name alone on its line, as plays in verse print it:
// "Romeo." "Lady Capulet." "1 Watch."
bool IsSpeakerName(QStringView text);
// The line ends a sentence inside a double quotation and closes it: `."` `?»`
bool EndsWithSpeechEnd(QStringView text);
// How often the line closes a quoted sentence and goes on with a capital.
int SpeechEndsWithin(QStringView text);
// A line that begins with a double hyphen and goes on: "-- and then".
bool IsDashedGoOn(QStringView text);
// A line that opens a speech: a quotation mark or a dash.
bool OpensSpeech(QStringView text);

} // namespace WrapRules
