#include "HyphenWords.h"

#include "LineRules.h"

using namespace LineRules;

namespace {

inline bool IsWordHyphen(QStringView text, qsizetype i)
{
    return text[i] == QLatin1Char('-') && i > 0 && i + 1 < text.size() && text[i - 1].isLetter()
        && text[i + 1].isLetter();
}

// QChar::isLetter with the ASCII case first, for the pass over every word.
inline bool IsLetterChar(char16_t c)
{
    return c < 128 ? ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') : QChar::isLetter(char32_t(c));
}

// Five bits of a letter, the same for both cases (ASCII letters of either
// case agree in their low five bits already).
inline unsigned Low5(char16_t c) { return (c < 128 ? c : QChar::toLower(char32_t(c))) & 31u; }

void AppendLower(QString &out, QStringView text)
{
    for (QChar c : text)
        out.append(c.toLower());
}

} // namespace

QStringView THyphenWords::WordBeforeHyphen(QStringView paragraph)
{
    // paragraph ends in "-"
    const qsizetype end = paragraph.size() - 1;
    qsizetype begin = end;
    while (begin > 0 && (paragraph[begin - 1].isLetter() || IsWordHyphen(paragraph, begin - 1)))
        --begin;
    return paragraph.mid(begin, end - begin);
}

QStringView THyphenWords::WordAtStart(QStringView line)
{
    qsizetype end = 0;
    while (end < line.size() && line[end].isLetter())
        ++end;
    return line.left(end);
}

void THyphenWords::Clear()
{
    Forms.clear();
    Filter.clear();
}

uint16_t THyphenWords::FilterKey(QStringView word)
{
    // word has two characters at least
    return uint16_t(Low5(word[0].unicode()) | Low5(word[1].unicode()) << 5 | (unsigned(word.size()) & 63u) << 10);
}

void THyphenWords::AddToFilter(const QString &form)
{
    if (Filter.empty())
        Filter.assign(65536 / 64, 0);
    const uint16_t key = FilterKey(form);
    Filter[key >> 6] |= uint64_t(1) << (key & 63);
}

void THyphenWords::AddForms(QStringView left, QStringView right)
{
    QString form;
    form.reserve(left.size() + right.size() + 1);
    AppendLower(form, left);
    AppendLower(form, right);
    Forms[form] |= JoinedForm;
    AddToFilter(form);
    form.insert(left.size(), QLatin1Char('-'));
    Forms[form] |= HyphenatedForm;
    AddToFilter(form);
}

// Marks the forms that occur among the words of the line: runs of letters
// with hyphens between letters.
void THyphenWords::MarkWordsOf(QStringView line, QString &buffer)
{
    const char16_t *text = line.utf16();
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (i < n) {
        if (!IsLetterChar(text[i])) {
            ++i;
            continue;
        }
        // A hyphen inside the word always follows a letter.
        const qsizetype begin = i++;
        while (i < n && (IsLetterChar(text[i]) || (text[i] == '-' && i + 1 < n && IsLetterChar(text[i + 1]))))
            ++i;
        const qsizetype length = i - begin;
        if (length < 2)
            continue;
        const QStringView word(text + begin, length);
        const uint16_t key = FilterKey(word);
        if (!(Filter[key >> 6] & (uint64_t(1) << (key & 63))))
            continue;
        buffer.resize(0);
        AppendLower(buffer, word);
        auto it = Forms.find(buffer);
        if (it != Forms.end())
            it.value() |= Seen;
    }
}

void THyphenWords::Build(const QStringList &lines)
{
    Clear();
    CollectBrokenWords(lines);
    MarkBookWords(lines);
}

void THyphenWords::CollectBrokenWords(const QStringList &lines)
{
    const qsizetype count = lines.size();
    for (qsizetype i = 0; i + 1 < count; ++i) {
        const QStringView line = Trimmed(lines.at(i));
        const qsizetype n = line.size();
        if (n < 2 || line[n - 1] != QLatin1Char('-') || !IsLowerLetter(line[n - 2].unicode()))
            continue;
        const QStringView next = Trimmed(lines.at(i + 1));
        if (next.isEmpty() || !IsLowerLetter(next.front().unicode()))
            continue;
        AddForms(WordBeforeHyphen(line), WordAtStart(next));
    }
}

void THyphenWords::MarkBookWords(const QStringList &lines)
{
    if (Forms.isEmpty())
        return;
    QString buffer;
    buffer.reserve(64);
    for (const QString &line : lines)
        MarkWordsOf(line, buffer);
}

uint8_t THyphenWords::Flags(const QString &form) const { return Forms.value(form, 0); }

bool THyphenWords::KeepsHyphen(QStringView paragraph, QStringView line) const
{
    if (Forms.isEmpty())
        return false;
    const QStringView left = WordBeforeHyphen(paragraph);
    const QStringView right = WordAtStart(line);
    QString form;
    form.reserve(left.size() + right.size() + 1);
    AppendLower(form, left);
    AppendLower(form, right);
    if (Flags(form) & Seen)
        return false; // the book writes the word joined
    form.insert(left.size(), QLatin1Char('-'));
    return (Flags(form) & Seen) != 0;
}
