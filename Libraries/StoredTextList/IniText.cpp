#include "IniText.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

// Windows-1252 characters of the bytes 0x80..0x9F; the five bytes the code
// page leaves undefined keep their own code.
const char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// The range of `line` without blanks at its ends.
QStringView Trimmed(QStringView line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && IsBlank(line.at(begin)))
        ++begin;
    while (end > begin && IsBlank(line.at(end - 1)))
        --end;
    return line.mid(begin, end - begin);
}

bool HasLineBreak(const QString &text) { return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')); }

bool HasBlankEnds(const QString &text) { return !text.isEmpty() && (IsBlank(text.front()) || IsBlank(text.back())); }

bool IsQuoted(QStringView value)
{
    return value.size() >= 2 && value.front() == QLatin1Char('"') && value.back() == QLatin1Char('"');
}

bool IsStorableKey(const QString &key)
{
    if (key.isEmpty() || HasLineBreak(key) || HasBlankEnds(key) || key.contains(QLatin1Char('=')))
        return false;
    const QChar first = key.front();
    return first != QLatin1Char('[') && first != QLatin1Char(';') && first != QLatin1Char('#');
}

bool IsStorableSection(const QString &name)
{
    return !HasLineBreak(name) && !HasBlankEnds(name) && !name.contains(QLatin1Char(']'));
}

QString Folded(QStringView name) { return name.toString().toCaseFolded(); }

// The length of the UTF-8 sequence that `lead` begins, 0 for a byte that
// begins none.
int Utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The size of an incomplete UTF-8 sequence at the end of `data` (a file cut
// inside a character), 0 when the data does not end inside one.
qsizetype CutUtf8Tail(QByteArrayView data)
{
    for (qsizetype back = 1; back <= 3 && back <= data.size(); ++back) {
        const unsigned char b = static_cast<unsigned char>(data[data.size() - back]);
        if ((b & 0xC0) == 0x80)
            continue; // a continuation byte: the lead is further back
        return Utf8SequenceLength(b) > back ? back : 0;
    }
    return 0;
}

bool IsTextControl(QChar c)
{
    return c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\v') || c == QLatin1Char('\f')
        || c == QLatin1Char('\r');
}

bool HasBinaryControl(QStringView text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20 && !IsTextControl(c))
            return true;
    return false;
}

} // namespace

QString TIniText::Decode(const QByteArray &bytes, bool *cutShort)
{
    if (cutShort)
        *cutShort = false;
    QByteArrayView data(bytes);
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    // Cut inside its last character, a UTF-8 file that holds other non-ASCII
    // characters is still UTF-8; plain ASCII with one high byte at its end
    // may as well be Windows-1252.
    const qsizetype tail = CutUtf8Tail(data);
    const QByteArrayView head = data.first(data.size() - tail);
    if (tail > 0 && std::any_of(head.begin(), head.end(), [](char c) { return (c & 0x80) != 0; })) {
        QStringDecoder whole(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = whole.decode(head);
        if (!whole.hasError()) {
            if (cutShort)
                *cutShort = true;
            return text;
        }
    }
    text.resize(data.size());
    QChar *out = text.data();
    for (qsizetype i = 0; i < data.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(data[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(Windows1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

void TIniText::Clear()
{
    SectionList.clear();
    SectionIndex.clear();
    TotalKeys = 0;
    Whole = true;
}

void TIniText::Parse(const QByteArray &bytes)
{
    Clear();
    bool cutShort = false;
    const QString text = Decode(bytes, &cutShort);
    const QStringView all(text);
    const bool endsWithLineEnd = all.isEmpty() || all.back() == QLatin1Char('\r') || all.back() == QLatin1Char('\n');
    Whole = !cutShort && endsWithLineEnd && !HasBinaryControl(all);
    TSection *current = nullptr;
    qsizetype pos = 0;
    while (pos < all.size()) {
        qsizetype end = pos;
        while (end < all.size() && all.at(end) != QLatin1Char('\r') && all.at(end) != QLatin1Char('\n'))
            ++end;
        const QStringView line = Trimmed(all.mid(pos, end - pos));
        // CR LF is one line end; a lone CR or LF is one too.
        pos = end + 1;
        if (end + 1 < all.size() && all.at(end) == QLatin1Char('\r') && all.at(end + 1) == QLatin1Char('\n'))
            ++pos;

        if (line.isEmpty() || line.front() == QLatin1Char(';') || line.front() == QLatin1Char('#'))
            continue;
        if (line.front() == QLatin1Char('[')) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            if (close < 0) {
                Whole = false; // not a header, and without "=" not a key either
                continue;
            }
            const QString name = Trimmed(line.mid(1, close - 1)).toString();
            current = FindSection(name);
            if (!current)
                current = &AddSection(name);
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QStringView key = Trimmed(line.left(qMax<qsizetype>(equals, 0)));
        if (key.isEmpty() || !current || TotalKeys >= MaxKeys) {
            Whole = false;
            continue;
        }
        QStringView value = Trimmed(line.mid(equals + 1));
        if (IsQuoted(value))
            value = value.mid(1, value.size() - 2);
        const QString folded = Folded(key);
        if (current->Index.contains(folded))
            continue; // the first one counts
        current->Index.insert(folded, int(current->Entries.size()));
        current->Entries.append({key.toString(), value.toString()});
        ++TotalKeys;
    }
}

QByteArray TIniText::Format() const
{
    QString out;
    bool first = true;
    for (const TSection &section : SectionList) {
        if (!first)
            out += QLatin1String("\r\n");
        first = false;
        out += QLatin1Char('[') + section.Name + QLatin1String("]\r\n");
        for (const TEntry &entry : section.Entries) {
            out += entry.Key;
            out += QLatin1Char('=');
            const bool quote = HasBlankEnds(entry.Value) || IsQuoted(entry.Value);
            if (quote)
                out += QLatin1Char('"') + entry.Value + QLatin1Char('"');
            else
                out += entry.Value;
            out += QLatin1String("\r\n");
        }
    }
    return out.toUtf8();
}

TIniText::TSection *TIniText::FindSection(const QString &name)
{
    const auto it = SectionIndex.constFind(Folded(name));
    return it == SectionIndex.cend() ? nullptr : &SectionList[it.value()];
}

const TIniText::TSection *TIniText::FindSection(const QString &name) const
{
    const auto it = SectionIndex.constFind(Folded(name));
    return it == SectionIndex.cend() ? nullptr : &SectionList[it.value()];
}

TIniText::TSection &TIniText::AddSection(const QString &name)
{
    SectionIndex.insert(Folded(name), int(SectionList.size()));
    SectionList.append(TSection{name, {}, {}});
    return SectionList.last();
}

void TIniText::RebuildIndex(TSection &section)
{
    section.Index.clear();
    for (int i = 0; i < section.Entries.size(); ++i)
        section.Index.insert(Folded(section.Entries.at(i).Key), i);
}

const QString *TIniText::Find(const QString &section, const QString &key) const
{
    const TSection *s = FindSection(section);
    if (!s)
        return nullptr;
    const auto it = s->Index.constFind(Folded(key));
    return it == s->Index.cend() ? nullptr : &s->Entries.at(it.value()).Value;
}

bool TIniText::Set(const QString &section, const QString &key, const QString &value)
{
    if (!IsStorableSection(section) || !IsStorableKey(key) || HasLineBreak(value)) {
        Remove(section, key);
        return false;
    }
    TSection *s = FindSection(section);
    if (!s)
        s = &AddSection(section);
    const QString folded = Folded(key);
    const auto it = s->Index.constFind(folded);
    if (it != s->Index.cend()) {
        s->Entries[it.value()].Value = value;
        return true;
    }
    s->Index.insert(folded, int(s->Entries.size()));
    s->Entries.append({key, value});
    ++TotalKeys;
    return true;
}

bool TIniText::Remove(const QString &section, const QString &key)
{
    TSection *s = FindSection(section);
    if (!s)
        return false;
    const auto it = s->Index.constFind(Folded(key));
    if (it == s->Index.cend())
        return false;
    s->Entries.removeAt(it.value());
    --TotalKeys;
    RebuildIndex(*s);
    return true;
}

QStringList TIniText::Sections() const
{
    QStringList names;
    for (const TSection &section : SectionList)
        names.append(section.Name);
    return names;
}

QStringList TIniText::Keys(const QString &section) const
{
    QStringList keys;
    if (const TSection *s = FindSection(section))
        for (const TEntry &entry : s->Entries)
            keys.append(entry.Key);
    return keys;
}
