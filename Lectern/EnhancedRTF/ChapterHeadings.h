// Chapter headings as books write them, for the chapters menu that reaches
// every chapter: "CHAPTER IV", "Book the First--Recalled to Life",
// "PART ONE", "ACT II.", "SECOND EPILOGUE", "VII. THE BLUE CARBUNCLE", a
// lone "12" or "XII.". A division word must be followed by a number, so a
// line of prose that begins "Part of the..." is no heading.
#pragma once

#include <QStringView>

struct THeadingInfo {
    // 0: not a heading; 1: a volume; 2: a book, part or act; 3: a chapter,
    // scene, section and the like; 4: a bare number.
    int Level = 0;
    // Words follow the number ("CHAPTER 1. Loomings."); a heading without
    // them may take its title from the next paragraph.
    bool HasTitle = false;
};

namespace ChapterHeadings {

constexpr int MaxHeadingLength = 100;
constexpr int MaxTitleLength = 60;

THeadingInfo Parse(QStringView text);
inline bool IsHeading(QStringView text) { return Parse(text).Level > 0; }
// A short line that names the chapter whose heading came just before it:
// it begins with a capital, a digit or a quote and does not end like a
// sentence or a clause.
bool IsTitle(QStringView text);

} // namespace ChapterHeadings
