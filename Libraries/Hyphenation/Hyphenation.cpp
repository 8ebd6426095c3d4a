#include "Hyphenation.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <hyphen.h>
#include <iconv.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

constexpr int MaxWordLength = 100;

// The characters beyond ASCII of a single-byte code page, through iconv.
QHash<char16_t, char> CodePageTable(const QByteArray &name)
{
    QHash<char16_t, char> table;
    iconv_t cd = iconv_open("UTF-16LE", name.constData());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return table;
    for (int b = 0x80; b < 0x100; ++b) {
        char in = char(b);
        char16_t out[2] = {};
        char *inp = &in;
        char *outp = reinterpret_cast<char *>(out);
        size_t inLeft = 1, outLeft = sizeof(out);
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != size_t(-1) && outLeft == sizeof(out) - 2)
            table.insert(out[0], in);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return table;
}

bool IsWordCharacter(QChar c) { return c.isLetter() || c.isMark(); }

// A token no word of which is hyphenated: a number or a word with digits,
// an address, a name with underscores, a word holding its own soft hyphen.
bool IsUnbreakableToken(QStringView token)
{
    for (const QChar c : token) {
        if (c.isDigit() || c == QLatin1Char('@') || c == QLatin1Char('/') || c == QLatin1Char('\\')
            || c == QLatin1Char('_') || c == QChar(0x00AD))
            return true;
    }
    return token.startsWith(QLatin1String("www."), Qt::CaseInsensitive);
}

bool HasLowerCase(QStringView word)
{
    for (const QChar c : word)
        if (c.isLower())
            return true;
    return false;
}

} // namespace

THyphenator::~THyphenator()
{
    if (Dict)
        hnj_hyphen_free(Dict);
}

std::unique_ptr<THyphenator> THyphenator::Load(const QString &patternFile)
{
    if (patternFile.isEmpty() || !QFileInfo(patternFile).isFile())
        return nullptr;
    HyphenDict *dict = hnj_hyphen_load(QFile::encodeName(patternFile).constData());
    if (!dict)
        return nullptr;
    std::unique_ptr<THyphenator> result(new THyphenator);
    result->Dict = dict;
    result->File = patternFile;
    result->Utf8 = dict->utf8 != 0;
    if (!result->Utf8) {
        const QByteArray codePage = QByteArray(dict->cset).trimmed();
        result->SingleByte = CodePageTable(codePage.isEmpty() ? QByteArrayLiteral("ISO-8859-1") : codePage);
    }
    return result;
}

bool THyphenator::Encode(const QString &lower, QByteArray &bytes, QVector<int> &charOfByte) const
{
    bytes.clear();
    charOfByte.clear();
    for (int i = 0; i < lower.size(); ++i) {
        const QChar c = lower.at(i);
        if (c.isSurrogate())
            return false;
        if (Utf8) {
            const QByteArray encoded = QString(c).toUtf8();
            bytes += encoded;
            for (int k = 0; k < encoded.size(); ++k)
                charOfByte.append(i);
        } else if (c.unicode() < 0x80) {
            bytes += char(c.unicode());
            charOfByte.append(i);
        } else {
            const auto found = SingleByte.constFind(c.unicode());
            if (found == SingleByte.constEnd())
                return false;
            bytes += *found;
            charOfByte.append(i);
        }
    }
    return true;
}

QVector<int8_t> THyphenator::PatternBreaks(const QString &lower) const
{
    QVector<int8_t> breaks;
    QByteArray bytes;
    QVector<int> charOfByte;
    if (!Encode(lower, bytes, charOfByte))
        return breaks;
    const int size = int(bytes.size());
    QByteArray hyphens(size + 5, '\0');
    char **rep = nullptr;
    int *pos = nullptr;
    int *cut = nullptr;
    if (hnj_hyphen_hyphenate2(Dict, bytes.constData(), size, hyphens.data(), nullptr, &rep, &pos, &cut) == 0) {
        for (int j = 0; j + 1 < size; ++j) {
            // A break after byte j; one that changes the spelling (rep) has
            // no place in the text.
            if (!(hyphens.at(j) & 1) || (rep && rep[j]) || charOfByte.at(j + 1) == charOfByte.at(j))
                continue;
            const int at = charOfByte.at(j + 1);
            if (at >= MinBefore && lower.size() - at >= MinAfter)
                breaks.append(int8_t(at));
        }
    }
    if (rep) {
        for (int j = 0; j < size; ++j)
            free(rep[j]);
        free(rep);
    }
    free(pos);
    free(cut);
    return breaks;
}

const QVector<int8_t> *THyphenator::CachedBreaks(QStringView word) const
{
    if (!Dict || word.size() < MinBefore + MinAfter || word.size() > MaxWordLength || !HasLowerCase(word))
        return nullptr;
    // The lower-case word in a buffer kept between calls: a word met before
    // costs no allocation.
    Lower.resize(word.size());
    for (qsizetype i = 0; i < word.size(); ++i)
        Lower[i] = word.at(i).toLower();
    auto found = Cache.constFind(Lower);
    if (found == Cache.constEnd())
        found = Cache.insert(Lower, PatternBreaks(Lower));
    return &*found;
}

QVector<int> THyphenator::WordBreaks(QStringView word) const
{
    QVector<int> result;
    if (const QVector<int8_t> *breaks = CachedBreaks(word)) {
        result.reserve(breaks->size());
        for (const int8_t at : *breaks)
            result.append(at);
    }
    return result;
}

void THyphenator::ParagraphBreaks(QStringView text, QVector<int> &breaks) const
{
    if (!Dict)
        return;
    const int n = int(text.size());
    // The last token with letters or digits holds the paragraph's last word.
    int lastWordToken = -1;
    for (int i = 0; i < n;) {
        while (i < n && text.at(i).isSpace())
            ++i;
        const int start = i;
        bool wordLike = false;
        while (i < n && !text.at(i).isSpace()) {
            wordLike = wordLike || text.at(i).isLetterOrNumber();
            ++i;
        }
        if (wordLike)
            lastWordToken = start;
    }
    for (int i = 0; i < n;) {
        while (i < n && text.at(i).isSpace())
            ++i;
        const int start = i;
        while (i < n && !text.at(i).isSpace())
            ++i;
        if (start == lastWordToken)
            break;
        const QStringView token = text.mid(start, i - start);
        if (token.isEmpty() || IsUnbreakableToken(token))
            continue;
        for (int w = 0; w < token.size();) {
            while (w < token.size() && !IsWordCharacter(token.at(w)))
                ++w;
            const int wordStart = w;
            while (w < token.size() && IsWordCharacter(token.at(w)))
                ++w;
            if (w - wordStart < MinBefore + MinAfter)
                continue;
            if (const QVector<int8_t> *found = CachedBreaks(token.mid(wordStart, w - wordStart)))
                for (const int8_t at : *found)
                    breaks.append(start + wordStart + at);
        }
    }
}

QString DefaultHyphenationDirectory() { return QStringLiteral("/usr/share/hyphen"); }

QString HyphenationPatternFile(const QLocale &locale, const QString &directory)
{
    if (locale.language() == QLocale::AnyLanguage || locale.language() == QLocale::C)
        return QString();
    const QString name = locale.name(); // "de_DE"
    const QString language = name.section(QLatin1Char('_'), 0, 0);
    for (const QString &candidate : {name, language}) {
        const QString path = directory + QStringLiteral("/hyph_") + candidate + QStringLiteral(".dic");
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

namespace {

struct TLanguageChoice {
    const char *Name;
    QLocale::Language Language;
    QLocale::Territory Territory;
};

const TLanguageChoice LanguageChoices[] = {
    {"English (US)", QLocale::English, QLocale::UnitedStates},
    {"English (UK)", QLocale::English, QLocale::UnitedKingdom},
    {"German", QLocale::German, QLocale::Germany},
    {"French", QLocale::French, QLocale::France},
    {"Italian", QLocale::Italian, QLocale::Italy},
    {"Spanish", QLocale::Spanish, QLocale::Spain},
    {"Portuguese", QLocale::Portuguese, QLocale::Portugal},
    {"Dutch", QLocale::Dutch, QLocale::Netherlands},
    {"Russian", QLocale::Russian, QLocale::Russia},
    {"Polish", QLocale::Polish, QLocale::Poland},
    {"Czech", QLocale::Czech, QLocale::CzechRepublic},
    {"Hungarian", QLocale::Hungarian, QLocale::Hungary},
};

} // namespace

QString BookLanguageChoice() { return QStringLiteral("Book's language"); }

QStringList HyphenationLanguageChoices()
{
    QStringList choices{BookLanguageChoice()};
    for (const TLanguageChoice &c : LanguageChoices)
        choices << QLatin1String(c.Name);
    return choices;
}

QLocale HyphenationLocale(const QString &choice, QLocale::Language bookLanguage)
{
    for (const TLanguageChoice &c : LanguageChoices)
        if (choice == QLatin1String(c.Name))
            return QLocale(c.Language, c.Territory);
    if (bookLanguage == QLocale::AnyLanguage)
        return QLocale(QLocale::AnyLanguage, QLocale::AnyTerritory);
    return QLocale(bookLanguage);
}

// One pattern file being read, or read: shared with the thread that reads
// it, which may outlive the hyphenators.
struct THyphenators::TEntry {
    std::mutex Mutex;
    std::condition_variable Done;
    bool Finished = false;
    bool Told = false; // Ready was emitted (main thread only)
    std::unique_ptr<THyphenator> Result;
};

THyphenators::THyphenators(const QString &directory, QObject *parent)
    : QObject(parent), Directory(directory), Poll(new QTimer(this))
{
    Poll->setInterval(50);
    connect(Poll, &QTimer::timeout, this, &THyphenators::PollReading);
}

THyphenators::~THyphenators() = default;

const THyphenator *THyphenators::ForLocale(const QLocale &locale, int waitMs)
{
    if (locale.language() == QLocale::AnyLanguage || locale.language() == QLocale::C)
        return nullptr;
    const QString key = locale.name();
    auto found = Entries.find(key);
    if (found == Entries.end()) {
        auto entry = std::make_shared<TEntry>();
        found = Entries.emplace(key, entry).first;
        const QString file = HyphenationPatternFile(locale, Directory);
        if (file.isEmpty()) {
            entry->Finished = entry->Told = true;
            return nullptr;
        }
        std::thread([entry, file] {
            std::unique_ptr<THyphenator> result = THyphenator::Load(file);
            const std::lock_guard<std::mutex> lock(entry->Mutex);
            entry->Result = std::move(result);
            entry->Finished = true;
            entry->Done.notify_all();
        }).detach();
    }
    TEntry &entry = *found->second;
    std::unique_lock<std::mutex> lock(entry.Mutex);
    if (!entry.Finished && waitMs > 0)
        entry.Done.wait_for(lock, std::chrono::milliseconds(waitMs), [&entry] { return entry.Finished; });
    if (!entry.Finished) {
        Poll->start();
        return nullptr;
    }
    entry.Told = true; // the caller has it
    return entry.Result.get();
}

bool THyphenators::IsReading(const QLocale &locale) const
{
    const auto found = Entries.find(locale.name());
    if (found == Entries.end())
        return false;
    const std::lock_guard<std::mutex> lock(found->second->Mutex);
    return !found->second->Finished;
}

void THyphenators::PollReading()
{
    QStringList ready;
    bool reading = false;
    for (auto &[key, entry] : Entries) {
        const std::lock_guard<std::mutex> lock(entry->Mutex);
        if (!entry->Finished) {
            reading = true;
        } else if (!entry->Told) {
            entry->Told = true;
            ready << key;
        }
    }
    if (!reading)
        Poll->stop();
    for (const QString &key : std::as_const(ready))
        emit Ready(key);
}
