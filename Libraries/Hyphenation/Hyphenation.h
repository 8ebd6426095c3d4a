// Hyphenation of words and paragraphs with the TeX patterns that libhyphen
// reads (the "hyph_LANG.dic" files under /usr/share/hyphen). Patterns in,
// break positions out; no widgets, Qt Core only.
//
// A break position i of a word or a paragraph means a hyphen may go between
// its characters i - 1 and i. Words get no break within their first two and
// last three letters; words with digits, words of capitals only, web and
// mail addresses and the last word of a paragraph get none at all.
#pragma once

#include <QHash>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

#include <cstdint>
#include <map>
#include <memory>

struct _HyphenDict;
class QTimer;

class THyphenator {
public:
    ~THyphenator();
    THyphenator(const THyphenator &) = delete;
    THyphenator &operator=(const THyphenator &) = delete;

    // The patterns of one file; null when it is missing or unreadable.
    static std::unique_ptr<THyphenator> Load(const QString &patternFile);

    QString PatternFile() const { return File; }

    // The breaks inside one word (letters only), sorted.
    QVector<int> WordBreaks(QStringView word) const;
    // The breaks of a paragraph's text, sorted, appended to `breaks`.
    void ParagraphBreaks(QStringView text, QVector<int> &breaks) const;

    static constexpr int MinBefore = 2; // letters before the first break
    static constexpr int MinAfter = 3; // letters after the last break

private:
    THyphenator() = default;
    // The patterns' breaks of a lower-case word, before the rules.
    QVector<int8_t> PatternBreaks(const QString &lower) const;
    bool Encode(const QString &lower, QByteArray &bytes, QVector<int> &charOfByte) const;
    // The breaks of a word from the cache (read from the patterns the first
    // time); null for a word that gets none by the rules.
    const QVector<int8_t> *CachedBreaks(QStringView word) const;

    _HyphenDict *Dict = nullptr;
    QString File;
    bool Utf8 = false;
    QHash<char16_t, char> SingleByte; // the dictionary's code page, for the characters beyond ASCII
    // Words met before, lower case, with their breaks.
    mutable QHash<QString, QVector<int8_t>> Cache;
    mutable QString Lower;
};

// The directory the systems's pattern files are in.
QString DefaultHyphenationDirectory();

// The pattern file of a locale in a directory: "hyph_ll_CC.dic", else
// "hyph_ll.dic"; empty when there is neither.
QString HyphenationPatternFile(const QLocale &locale, const QString &directory);

// The "Hyphenation language" choices: "Book's language" first, then the
// languages by name.
QStringList HyphenationLanguageChoices();
QString BookLanguageChoice(); // "Book's language"
// The locale a choice stands for; the book's language for the first choice
// and for a name that is no choice. AnyLanguage: no patterns to look for.
QLocale HyphenationLocale(const QString &choice, QLocale::Language bookLanguage);

// The hyphenators of one run of the program: each pattern file is read the
// first time a language asks for it, on a thread of its own (some take
// seconds), and kept.
class THyphenators : public QObject {
    Q_OBJECT
public:
    explicit THyphenators(const QString &directory = DefaultHyphenationDirectory(), QObject *parent = nullptr);
    ~THyphenators() override;
    THyphenators(const THyphenators &) = delete;
    THyphenators &operator=(const THyphenators &) = delete;

    // The hyphenator of a locale, waiting up to `waitMs` for its patterns
    // to be read. Null when the locale has no patterns here, and while they
    // are still being read (Ready tells when they are).
    const THyphenator *ForLocale(const QLocale &locale, int waitMs = 100);
    bool IsReading(const QLocale &locale) const;

signals:
    // The patterns of a locale (its name) asked for earlier are read.
    void Ready(const QString &localeName);

private:
    struct TEntry;
    QString Directory;
    std::map<QString, std::shared_ptr<TEntry>> Entries; // by locale name
    QTimer *Poll;
    void PollReading();
};
