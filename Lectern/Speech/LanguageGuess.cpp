#include "LanguageGuess.h"

#include "RichDocument.h"

#include <QHash>
#include <QString>
#include <QTextDocument>

#include <algorithm>
#include <array>

namespace {

struct TLanguageWords {
    QLocale::Language Language;
    const char *Words; // the most common words, lower case, separated by spaces (UTF-8)
    const char *Letters; // letters that only a few languages use (UTF-8)
};

// Languages written in the Latin script.
const TLanguageWords LatinLanguages[] = {
    {QLocale::English,
     "the and of to in that is was he it with his for as had you not her she be at on but have "
     "they which were this from would there been",
     ""},
    {QLocale::French,
     "le la les de des et est un une du que qui il elle ne pas dans au pour sur avec se je vous son sa "
     "mais était cette aux",
     "çêâôîûœèàù"},
    {QLocale::German,
     "der die das und ist nicht ein eine zu den sich mit von es auf dem des auch ich sie er wie war "
     "aber wenn noch nach",
     "ßäöü"},
    {QLocale::Spanish, "el la de los las que y en un una por con no se del al lo su para como más pero le era muy sus",
     "ñáíóú¿¡"},
    {QLocale::Italian,
     "il di che e non un una per del della con si è ma lo gli da come più era sono questo anche "
     "nel alla",
     "àèìòù"},
    {QLocale::Portuguese,
     "o os de que e do da em um uma não com para se no na por mais mas ao dos ele ela foi "
     "seu sua",
     "ãõçâêô"},
    {QLocale::Dutch,
     "de het een en van ik te dat die in is niet zijn op hij met voor maar er aan ze als zo was "
     "naar",
     "ĳ"},
    {QLocale::Swedish, "och att det som en på är av för med till den har de inte om ett jag han hon var så men sig",
     "åäö"},
    {QLocale::Danish, "og at det er en til på som de med han af for ikke der var mig sig men et har om vi hun", "æøå"},
    {QLocale::NorwegianBokmal, "og det er en til på som ikke av med han for var jeg seg men et har hun meg deg", "æøå"},
    {QLocale::Finnish, "ja on ei se että hän oli ole mutta kun niin jo kuin tai sen minä nyt hänen", "äö"},
    {QLocale::Polish, "i w nie na się z że do to jest jak o co ale po tak jego od za był", "łąęśźżńć"},
    {QLocale::Czech, "a se na je že v to s z do jsem ale jako by o tak jeho byl co už", "řěůčšžý"},
    {QLocale::Hungarian, "a az és hogy nem is egy meg van de már csak mint volt ki el", "őű"},
    {QLocale::Latin, "et in est non ad cum quod ut sed qui quae esse sunt enim ab per nec atque", ""},
    {QLocale::Esperanto, "la kaj de en estas al ne kiu mi li ŝi ke estis por sed pri sur tiu", "ĉĝĥĵŝŭ"},
};
constexpr int LatinCount = int(std::size(LatinLanguages));

struct TTables {
    QHash<QString, quint32> Words; // word -> languages it is common in (bits)
    QHash<QChar, quint32> Letters; // letter -> languages that use it (bits)
};

const TTables &Tables()
{
    static const TTables tables = [] {
        TTables t;
        for (int i = 0; i < LatinCount; ++i) {
            const QString words = QString::fromUtf8(LatinLanguages[i].Words);
            for (const QString &word : words.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                t.Words[word] |= 1u << i;
            for (const QChar c : QString::fromUtf8(LatinLanguages[i].Letters))
                t.Letters[c] |= 1u << i;
        }
        return t;
    }();
    return tables;
}

// The language of a script that is (nearly) one language's own.
QLocale::Language ScriptLanguage(QChar::Script script, int ukrainianLetters)
{
    switch (script) {
    case QChar::Script_Cyrillic: return ukrainianLetters > 0 ? QLocale::Ukrainian : QLocale::Russian;
    case QChar::Script_Greek: return QLocale::Greek;
    case QChar::Script_Hebrew: return QLocale::Hebrew;
    case QChar::Script_Arabic: return QLocale::Arabic;
    case QChar::Script_Hangul: return QLocale::Korean;
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana: return QLocale::Japanese;
    case QChar::Script_Han: return QLocale::Chinese;
    case QChar::Script_Thai: return QLocale::Thai;
    case QChar::Script_Devanagari: return QLocale::Hindi;
    case QChar::Script_Armenian: return QLocale::Armenian;
    case QChar::Script_Georgian: return QLocale::Georgian;
    default: return QLocale::AnyLanguage;
    }
}

} // namespace

QLocale::Language GuessLanguage(QStringView text)
{
    const TTables &tables = Tables();
    std::array<double, LatinCount> score{};
    QHash<int, int> scripts; // letters of each script other than Latin
    int latinLetters = 0;
    int kana = 0;
    int ukrainian = 0;
    int words = 0;
    QString word;

    auto endWord = [&] {
        if (word.isEmpty())
            return;
        ++words;
        const auto found = tables.Words.constFind(word);
        if (found != tables.Words.constEnd())
            for (int i = 0; i < LatinCount; ++i)
                if (*found & (1u << i))
                    score[i] += 1.0;
        word.clear();
    };

    for (const QChar c : text) {
        if (!c.isLetter()) {
            endWord();
            continue;
        }
        const QChar lower = c.toLower();
        word += lower;
        const QChar::Script script = c.script();
        if (script == QChar::Script_Latin) {
            ++latinLetters;
            const auto letter = tables.Letters.constFind(lower);
            if (letter != tables.Letters.constEnd())
                for (int i = 0; i < LatinCount; ++i)
                    if (*letter & (1u << i))
                        score[i] += 0.25;
        } else {
            ++scripts[int(script)];
            if (script == QChar::Script_Hiragana || script == QChar::Script_Katakana)
                ++kana;
            if (lower == QChar(0x0456) || lower == QChar(0x0457) || lower == QChar(0x0454) || lower == QChar(0x0491))
                ++ukrainian;
        }
    }
    endWord();

    // Another script than the Latin one holds most letters.
    int otherLetters = 0;
    int mostScript = -1;
    for (auto it = scripts.constBegin(); it != scripts.constEnd(); ++it) {
        otherLetters += it.value();
        if (mostScript < 0 || it.value() > scripts.value(mostScript))
            mostScript = it.key();
    }
    if (otherLetters > latinLetters && otherLetters >= 20) {
        // Japanese writes with Chinese characters and its own kana.
        if (mostScript == QChar::Script_Han && kana * 10 >= otherLetters)
            return QLocale::Japanese;
        return ScriptLanguage(QChar::Script(mostScript), ukrainian * 50 >= otherLetters ? ukrainian : 0);
    }

    const auto best = std::max_element(score.begin(), score.end());
    // A handful of common words, at least one in fifty words of the text.
    if (*best < 5.0 || *best * 50 < words)
        return QLocale::AnyLanguage;
    return LatinLanguages[best - score.begin()].Language;
}

QString LanguageSample(const TRichDocument &document, int sampleCount, int sampleLength)
{
    const int length = document.GetTextLength();
    if (length <= sampleCount * sampleLength)
        return document.GetText();
    QString sample;
    sample.reserve(sampleCount * (sampleLength + 1));
    const qint64 step = length / sampleCount;
    for (int i = 0; i < sampleCount; ++i) {
        const int start = int(i * step + (step - sampleLength) / 2);
        sample += document.GetTextRange(start, start + sampleLength);
        sample += QLatin1Char('\n');
    }
    return sample;
}
