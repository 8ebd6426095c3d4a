// The chapters of a book as the enhancement meets them, and the menu made
// from them afterwards: headings that stand in a table of contents (a run
// of headings with hardly any text between them) are left out, every other
// heading is an entry, and more than 30 entries are grouped in submenus by
// the book's higher headings ("BOOK", "PART", "VOLUME", "ACT") or in runs
// of 30 ("Chapters 31–60"), runs of runs for very many.
#pragma once

#include <QString>
#include <QVector>

class TChaptersMenu;

class TChapterCollector {
public:
    // Headings with less text than this before the next heading stand in a
    // table of contents when enough of them follow one another.
    static constexpr int SmallGap = 400;
    static constexpr int MinContentsRun = 3;
    static constexpr int MenuSize = 30;

    struct THeading {
        int Position = 0;
        QString Text;
        QString Title; // the short line after a heading without its own title
        int Level = 0; // as ChapterHeadings::Parse gives it
        qint64 TextBefore = 0; // characters of text before the heading
        bool Contents = false; // stands in a table of contents
    };

    void Clear();
    // A heading paragraph, a paragraph of text (a short one right after a
    // heading without title may be its title) and an empty one.
    void AddHeading(int position, const QString &text, int level, bool hasTitle);
    void AddText(const QString &text);

    // Marks the headings of tables of contents; the entries left.
    int MarkContents();
    // Fills an empty menu with the entries (MarkContents first).
    void FillMenu(TChaptersMenu &menu, int helpContext) const;

    const QVector<THeading> &Headings() const { return HeadingList; }
    static QString Caption(const THeading &heading);

private:
    QVector<THeading> HeadingList;
    qint64 TextChars = 0;
    bool TitleOpen = false;

    qint64 GapAfter(int index) const;
};
