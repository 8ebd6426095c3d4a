// Words broken by a hyphen at a line end, checked against the rest of the
// book: "hand-" / "kerchief" is joined when the book writes "handkerchief"
// elsewhere, "to-" / "day" keeps its hyphen when the book writes "to-day"
// and never "today". One pass finds the broken words, one pass over the
// book's words looks for their two forms; no dictionary is needed.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <vector>

class THyphenWords {
public:
    // Collects the broken words of the lines (a line that ends in a..z and
    // "-", and a next line that begins with a..z), then finds which of their
    // joined and hyphenated forms occur as words of the book, case ignored.
    void Build(const QStringList &lines);
    void Clear();
    // Build in parts, for a book read piece by piece: the broken words of
    // every piece first, then the words of every piece.
    void CollectBrokenWords(const QStringList &lines);
    void MarkBookWords(const QStringList &lines);

    // For a paragraph that ends in a broken word and the line that goes on
    // with it: true when the hyphen stays, because the book has the
    // hyphenated word and not the joined one.
    bool KeepsHyphen(QStringView paragraph, QStringView line) const;

    int BrokenWordCount() const { return int(Forms.size() / 2); }

    // The word before a line-end hyphen: letters, with hyphens between letters
    // ("good-for" of "good-for-"); and the letters that begin the next line.
    static QStringView WordBeforeHyphen(QStringView paragraph);
    static QStringView WordAtStart(QStringView line);

private:
    enum : uint8_t { JoinedForm = 1, HyphenatedForm = 2, Seen = 4 };
    // Lower-case joined and hyphenated forms with what they are and whether
    // the book has them.
    QHash<QString, uint8_t> Forms;
    // A bit per (first letter, second letter, length) key of the forms, so
    // that most words of the book are passed over without a hash look-up.
    std::vector<uint64_t> Filter;

    static uint16_t FilterKey(QStringView word);
    void AddToFilter(const QString &form);

    void AddForms(QStringView left, QStringView right);
    void MarkWordsOf(QStringView line, QString &buffer);
    uint8_t Flags(const QString &form) const;
};
