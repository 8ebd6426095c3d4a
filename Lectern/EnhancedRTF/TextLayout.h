// How a plain-text book marks its paragraphs, decided from its lines before
// they are enhanced: by empty lines or indentation ("well written"), or not
// at all, so that a sentence end before a capital has to start a paragraph
// ("poorly written").
#pragma once

#include <QStringList>

struct TTextLayoutCounts {
    // Paragraph starts the book marks: a line after one or more empty lines
    // (not the first line of the book), and an indented line after a line
    // that ends a sentence.
    int EmptyLineStarts = 0;
    int IndentedStarts = 0;
    // Unindented lines that begin with a capital or a quotation mark after a
    // line that ends a sentence: the paragraph starts only the poorly written
    // rules see.
    int SentenceStarts = 0;
    // Lines after a line that does not end a sentence, and how many of them
    // begin with a capital letter anyway, as verse lines do.
    int ContinuedLines = 0;
    int CapitalContinuedLines = 0;

    // The counts of another part of the book added.
    void Add(const TTextLayoutCounts &other);
    bool IsVerse() const;
    // The marks are too few for the sentence starts: in prose as many marks
    // as sentence starts are needed, in verse (whose sentence ends say little)
    // a quarter as many.
    bool IsPoorlyWritten() const;
};

TTextLayoutCounts CountTextLayout(const QStringList &lines);
