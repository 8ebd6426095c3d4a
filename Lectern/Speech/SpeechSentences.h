// The sentences of one paragraph, as a voice reads them: the text's
// sentence boundaries (QTextBoundaryFinder) with the usual mistakes mended
// ("Mr. Darcy", initials, "\"Stop!\" he cried.", a dialogue dash that
// belongs to the next sentence), and sentences too long for a speech engine
// cut at a word boundary. Works on a window of the paragraph at a time, so
// a paragraph of megabytes costs no more than its first sentences.
#pragma once

#include <QString>
#include <QStringView>

// A stretch [Start, Start + Length) of the paragraph's text.
struct TSentenceSpan {
    int Start = 0;
    int Length = 0;
    int End() const { return Start + Length; }
};

class TSentenceSplitter {
public:
    // Longest sentence handed to an engine, in characters.
    static constexpr int DefaultMaxLength = 400;

    // The paragraph's text must outlive the splitter.
    explicit TSentenceSplitter(QStringView paragraph, int maxLength = DefaultMaxLength);

    // The sentence that starts at `from` (a sentence start: 0, or the end of
    // the previous sentence); leading spaces are left out. False when only
    // spaces remain.
    bool Next(int from, TSentenceSpan &sentence) const;
    // The sentence that holds the character at `offset` (the one after it
    // when `offset` is in the spaces between two); false past the last one.
    bool SentenceAt(int offset, TSentenceSpan &sentence) const;

    int MaxLength() const { return Max; }

private:
    QStringView Text;
    int Max;

    // The end of the sentence that starts at `from` (no leading spaces).
    int SentenceEnd(int from) const;
    // Where an over-long stretch [from, end) is cut: after a clause's
    // punctuation, else after a space, else at the longest length.
    int CutPoint(int from, int end) const;
    int SkipSpaces(int from) const;
};

// What the voice is given for a stretch of text: tabs and line breaks as
// spaces, spaces collapsed, emphasis marks ("_", "*") and a leading
// dialogue dash, "#" or "§" left out. Empty when nothing is left to say.
QString SpokenText(QStringView text);
// Whether a stretch holds a letter or a digit (a line of "* * *" has none).
bool HasWords(QStringView text);
// Whether a sentence ends as sentences do: with a stop, perhaps followed by
// closing quotes or brackets (a heading or a line cut short does not).
bool EndsSentence(QStringView text);
