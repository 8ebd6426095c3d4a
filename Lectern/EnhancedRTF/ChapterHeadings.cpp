#include "ChapterHeadings.h"

#include "LineRules.h"

#include <QLatin1String>
#include <QList>
#include <QPair>
#include <QString>

#include <iterator>

using namespace LineRules;

namespace {

// A lone "EPILOGUE" or "THE PROLOGUE" is one chapter of its own; numbered
// ones ("SECOND EPILOGUE") hold chapters, as a part does.
constexpr int LoneFramingLevel = 3;

struct TDivision {
    const char *Word; // upper case
    int Level;
};

const TDivision Divisions[] = {
    {"VOLUME", 1},   {"VOL", 1},      {"TOME", 1},     {"BOOK", 2},     {"PART", 2},      {"ACT", 2},
    {"LIVRE", 2},    {"PARTIE", 2},   {"TEIL", 2},     {"BUCH", 2},     {"PARTE", 2},     {"LIBRO", 2},
    {"CHAPTER", 3},  {"CHAP", 3},     {"SECTION", 3},  {"ADVENTURE", 3}, {"SCENE", 3},    {"STAVE", 3},
    {"LETTER", 3},   {"CANTO", 3},    {"CHAPITRE", 3}, {"KAPITEL", 3},  {"EPISODE", 3},   {"EPILOGUE", 2},
    {"PROLOGUE", 2}, {"CAPITULO", 3}, {"CAPÍTULO", 3},
};

const char *const NumberWords[] = {
    "ONE",       "TWO",        "THREE",      "FOUR",      "FIVE",      "SIX",        "SEVEN",      "EIGHT",
    "NINE",      "TEN",        "ELEVEN",     "TWELVE",    "THIRTEEN",  "FOURTEEN",   "FIFTEEN",    "SIXTEEN",
    "SEVENTEEN", "EIGHTEEN",   "NINETEEN",   "TWENTY",    "THIRTY",    "FORTY",      "FIFTY",      "SIXTY",
    "SEVENTY",   "EIGHTY",     "NINETY",     "HUNDRED",   "FIRST",     "SECOND",     "THIRD",      "FOURTH",
    "FIFTH",     "SIXTH",      "SEVENTH",    "EIGHTH",    "NINTH",     "TENTH",      "ELEVENTH",   "TWELFTH",
    "THIRTEENTH", "FOURTEENTH", "FIFTEENTH", "SIXTEENTH", "SEVENTEENTH", "EIGHTEENTH", "NINETEENTH", "TWENTIETH",
    "THIRTIETH", "FORTIETH",   "FIFTIETH",   "LAST",      "FINAL",     "PREMIER",    "PREMIÈRE",   "SECONDE",
    "ERSTER",    "ERSTES",     "ERSTE",
};

const char *const Ordinals[] = {
    "FIRST", "SECOND", "THIRD", "FOURTH", "FIFTH", "SIXTH", "SEVENTH", "EIGHTH", "NINTH", "TENTH", "LAST", "FINAL",
    "PREMIER", "PREMIÈRE", "SECONDE",
};

// The word lists as strings, made once.
struct TWordLists {
    QList<QString> NumberWords;
    QList<QString> Ordinals;
    QList<QPair<QString, int>> Divisions;

    TWordLists()
    {
        for (const char *word : ::NumberWords)
            NumberWords << QString::fromUtf8(word);
        for (const char *word : ::Ordinals)
            Ordinals << QString::fromUtf8(word);
        for (const TDivision &d : ::Divisions)
            Divisions << qMakePair(QString::fromUtf8(d.Word), d.Level);
    }
};

const TWordLists &Words()
{
    static const TWordLists lists;
    return lists;
}

bool Equals(QStringView word, const QString &upper)
{
    return word.size() == upper.size() && word.compare(upper, Qt::CaseInsensitive) == 0;
}

bool InList(QStringView word, const QList<QString> &list)
{
    for (const QString &entry : list)
        if (Equals(word, entry))
            return true;
    return false;
}

// French ordinals end in "ième" ("DEUXIÈME").
bool IsOrdinal(QStringView word)
{
    if (InList(word, Words().Ordinals))
        return true;
    return word.size() > 4 && word.endsWith(QStringView(u"ième"), Qt::CaseInsensitive);
}

bool IsNumberWord(QStringView word)
{
    if (IsOrdinal(word))
        return true;
    // "twenty-one", "Twenty-First"
    qsizetype start = 0;
    while (start <= word.size()) {
        qsizetype dash = word.indexOf(QLatin1Char('-'), start);
        if (dash < 0)
            dash = word.size();
        if (!InList(word.mid(start, dash - start), Words().NumberWords))
            return false;
        start = dash + 1;
    }
    return true;
}

int DivisionLevel(QStringView word)
{
    for (const auto &d : Words().Divisions)
        if (Equals(word, d.first))
            return d.second;
    return 0;
}

bool IsFraming(QStringView word)
{
    static const QString epilogue = QStringLiteral("EPILOGUE");
    static const QString prologue = QStringLiteral("PROLOGUE");
    return Equals(word, epilogue) || Equals(word, prologue);
}

int RomanValue(char16_t c)
{
    switch (c) {
    case 'I': return 1;
    case 'V': return 5;
    case 'X': return 10;
    case 'L': return 50;
    case 'C': return 100;
    case 'D': return 500;
    case 'M': return 1000;
    default: return 0;
    }
}

// A roman numeral written the usual way (so "CIVIL" and "DID" are none).
bool IsRoman(QStringView word, bool allowLowerCase)
{
    if (word.isEmpty() || word.size() > 9)
        return false;
    int value = 0;
    for (qsizetype i = 0; i < word.size(); ++i) {
        char16_t c = word[i].unicode();
        if (allowLowerCase && c >= 'a' && c <= 'z')
            c = char16_t(c - 'a' + 'A');
        const int v = RomanValue(c);
        if (v == 0)
            return false;
        char16_t d = i + 1 < word.size() ? word[i + 1].unicode() : 0;
        if (allowLowerCase && d >= 'a' && d <= 'z')
            d = char16_t(d - 'a' + 'A');
        value += (d && RomanValue(d) > v) ? -v : v;
    }
    if (value <= 0 || value >= 4000)
        return false;
    static const struct {
        int Value;
        const char *Text;
    } parts[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
                 {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},  {1, "I"}};
    QString canonical;
    for (const auto &p : parts)
        for (; value >= p.Value; value -= p.Value)
            canonical += QLatin1String(p.Text);
    return word.compare(canonical, Qt::CaseInsensitive) == 0;
}

bool IsDigits(QStringView word, int maxDigits)
{
    if (word.isEmpty() || word.size() > maxDigits)
        return false;
    for (QChar c : word)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// Splits off the next word (letters, digits, hyphens between them).
QStringView NextWord(QStringView text, qsizetype &at)
{
    const qsizetype begin = at;
    while (at < text.size()
           && (text[at].isLetterOrNumber()
               || (text[at] == QLatin1Char('-') && at > begin && at + 1 < text.size() && text[at + 1].isLetter())))
        ++at;
    return text.mid(begin, at - begin);
}

void SkipSpaces(QStringView text, qsizetype &at)
{
    while (at < text.size() && IsBlank(text[at].unicode()))
        ++at;
}

// Whether letters or digits follow `at` (a title, or a year as in "BOOK
// ONE: 1805" counts only when it has letters).
bool HasWordsAfter(QStringView text, qsizetype at)
{
    for (; at < text.size(); ++at)
        if (text[at].isLetter())
            return true;
    return false;
}

// What may follow a number: the end, blanks, or punctuation.
bool EndsNumber(QStringView text, qsizetype at)
{
    if (at >= text.size())
        return true;
    const QChar c = text[at];
    return IsBlank(c.unicode()) || c == QLatin1Char('.') || c == QLatin1Char(':') || c == QLatin1Char(',')
        || c == QLatin1Char(';') || c == QLatin1Char('-') || c == QChar(0x2014) || c == QChar(0x2013);
}

} // namespace

namespace ChapterHeadings {

THeadingInfo Parse(QStringView text)
{
    THeadingInfo info;
    if (text.isEmpty())
        return info;
    const QChar first = text.front();
    if (first == QLatin1Char('#') || first == QChar(SectionSign)) {
        info.Level = 3;
        info.HasTitle = true;
        return info;
    }
    if (text.size() > MaxHeadingLength || !(first.isUpper() || first.isDigit()))
        return info;

    qsizetype at = 0;
    const QStringView word = NextWord(text, at);
    if (word.isEmpty())
        return info;

    // A bare number: "12", "XII.", "VII. THE BLUE CARBUNCLE".
    const bool roman = IsRoman(word, false);
    if (roman || IsDigits(word, 3)) {
        if (at == text.size() || (text[at] == QLatin1Char('.') && at + 1 == text.size())) {
            info.Level = 4;
            return info;
        }
        if (text[at] != QLatin1Char('.') || text.size() > MaxTitleLength)
            return info;
        qsizetype title = at + 1;
        SkipSpaces(text, title);
        if (title == at + 1 || title >= text.size() || !text[title].isUpper())
            return info;
        // One short title, not a sentence that happens to start a line.
        const QStringView rest = text.mid(title);
        if (rest.contains(QLatin1String(". ")) || rest.endsWith(QLatin1Char(',')))
            return info;
        // "M. Verdurin ...", "C. Dupin said": an initial, not a number.
        if (roman && word.size() == 1 && word != QLatin1String("I") && word != QLatin1String("V")
            && word != QLatin1String("X"))
            return info;
        info.Level = 4;
        info.HasTitle = true;
        return info;
    }

    // "THE PROLOGUE"
    static const QString the = QStringLiteral("THE");
    if (Equals(word, the)) {
        SkipSpaces(text, at);
        const QStringView framing = NextWord(text, at);
        if (IsFraming(framing) && (at == text.size() || (text[at] == QLatin1Char('.') && at + 1 == text.size())))
            info.Level = LoneFramingLevel;
        return info;
    }

    // "SECOND EPILOGUE", "PREMIÈRE PARTIE"
    if (IsOrdinal(word)) {
        SkipSpaces(text, at);
        const QStringView division = NextWord(text, at);
        const int level = DivisionLevel(division);
        if (level == 0 || !EndsNumber(text, at))
            return info;
        info.Level = level;
        info.HasTitle = HasWordsAfter(text, at);
        return info;
    }

    const int level = DivisionLevel(word);
    if (level == 0)
        return info;
    // "EPILOGUE", "Prologue."
    if (IsFraming(word) && (at == text.size() || (text[at] == QLatin1Char('.') && at + 1 == text.size()))) {
        info.Level = LoneFramingLevel;
        return info;
    }
    if (at < text.size() && text[at] == QLatin1Char('.'))
        ++at;
    const qsizetype beforeSpace = at;
    SkipSpaces(text, at);
    if (at == beforeSpace)
        return info;
    QStringView number = NextWord(text, at);
    if (Equals(number, the)) { // "Book the First"
        SkipSpaces(text, at);
        number = NextWord(text, at);
        if (!IsOrdinal(number))
            return info;
    } else if (!IsDigits(number, 4) && !IsRoman(number, true) && !IsNumberWord(number)) {
        return info;
    }
    if (!EndsNumber(text, at))
        return info;
    info.Level = level;
    info.HasTitle = HasWordsAfter(text, at);
    return info;
}

bool IsTitle(QStringView text)
{
    if (text.isEmpty() || text.size() > MaxTitleLength)
        return false;
    const QChar first = text.front();
    if (!(first.isUpper() || first.isDigit() || IsQuotation(first.unicode())))
        return false;
    const QChar last = text.back();
    if (last == QLatin1Char('.') || last == QLatin1Char(',') || last == QLatin1Char(';') || last == QLatin1Char(':'))
        return false;
    return !IsHeading(text);
}

} // namespace ChapterHeadings
