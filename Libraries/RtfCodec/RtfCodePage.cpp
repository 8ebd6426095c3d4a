#include "RtfCodePage.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <mutex>

namespace {

// Windows code page numbers go no further.
constexpr int MaxCodePage = 65535;

// glibc's name of a Windows code page: its own for the pages that glibc
// names otherwise, else "CP" and the number.
QByteArray IconvName(int codePage)
{
    if (codePage >= 28591 && codePage <= 28606)
        return "ISO-8859-" + QByteArray::number(codePage - 28590);
    switch (codePage) {
    case 1361: return "JOHAB";
    case 10000: return "MACINTOSH";
    case 10007: return "MAC-CYRILLIC";
    case 10017: return "MACUKRAINIAN";
    case 10029: return "MAC-CENTRALEUROPE";
    case 10079: return "MAC-IS";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 20932:
    case 51932: return "EUC-JP";
    case 20936:
    case 51936: return "EUC-CN";
    case 51949: return "EUC-KR";
    case 51950: return "EUC-TW";
    case 54936: return "GB18030";
    case 38598: return "ISO-8859-8";
    case 65001: return "UTF-8";
    default: return "CP" + QByteArray::number(codePage);
    }
}

// Converts `length` bytes to UTF-16. Converters that hold a letter back
// until they know whether a combining mark follows (1255, 1258) are made
// to give it.
TRtfCodePage::TSequence Convert(iconv_t cd, const char *bytes, size_t length, QString &out)
{
    char16_t buffer[16];
    char *in = const_cast<char *>(bytes);
    size_t inLeft = length;
    char *outPtr = reinterpret_cast<char *>(buffer);
    size_t outLeft = sizeof(buffer);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == size_t(-1)) {
        const bool nothingYet = outLeft == sizeof(buffer) && inLeft == length;
        return errno == EINVAL && nothingYet ? TRtfCodePage::TSequence::Incomplete : TRtfCodePage::TSequence::Invalid;
    }
    if (inLeft != 0 || iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == size_t(-1))
        return TRtfCodePage::TSequence::Invalid;
    out = QString::fromUtf16(buffer, qsizetype((sizeof(buffer) - outLeft) / sizeof(char16_t)));
    return out.isEmpty() ? TRtfCodePage::TSequence::Invalid : TRtfCodePage::TSequence::Complete;
}

// RTF is written in ASCII: a code page whose letters and digits are other
// bytes (EBCDIC, UTF-16, UTF-7's shifts aside) cannot be a document's.
bool HasAsciiLetters(iconv_t cd)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (const char *c = letters; *c; ++c) {
        QString out;
        if (Convert(cd, c, 1, out) != TRtfCodePage::TSequence::Complete || out != QLatin1Char(*c))
            return false;
    }
    return true;
}

std::mutex &ConverterMutex()
{
    static std::mutex mutex;
    return mutex;
}

} // namespace

TRtfCodePage::TRtfCodePage(int codePage, void *converter) : CodePage(codePage)
{
    if (!converter) {
        // No converter: Latin-1 is the least wrong guess.
        for (int b = 0; b < 256; ++b)
            Table[b] = QChar(b);
        return;
    }
    const iconv_t cd = iconv_t(converter);
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        QString out;
        const TSequence result = Convert(cd, &byte, 1, out);
        if (result == TSequence::Complete && out.size() == 1) {
            Table[b] = out.at(0);
            CombiningMarks = CombiningMarks || (Table[b].unicode() >= 0x0300 && Table[b].unicode() <= 0x036F);
        } else {
            Table[b] = QChar(QChar::ReplacementCharacter);
            Lead[b] = result == TSequence::Incomplete;
            MultiByte = MultiByte || Lead[b];
        }
    }
    if (MultiByte) {
        Converter = converter;
        return;
    }
    for (int b = 0; b < 0x80; ++b)
        Table[b] = QChar(b);
    iconv_close(cd);
}

TRtfCodePage::~TRtfCodePage()
{
    if (Converter)
        iconv_close(iconv_t(Converter));
}

TRtfCodePage::TSequence TRtfCodePage::Decode(const char *bytes, int length, QString &out) const
{
    if (!Converter || length <= 0)
        return TSequence::Invalid;
    std::lock_guard<std::mutex> lock(ConverterMutex());
    return Convert(iconv_t(Converter), bytes, size_t(length), out);
}

const TRtfCodePage &TRtfCodePage::Get(int codePage)
{
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<TRtfCodePage>> pages; // those made, by the number they read
    static std::map<int, const TRtfCodePage *> asked; // every number asked for
    std::lock_guard<std::mutex> lock(mutex);
    const auto found = asked.find(codePage);
    if (found != asked.end())
        return *found->second;
    auto make = [](int number) -> std::unique_ptr<TRtfCodePage> {
        const iconv_t cd = iconv_open("UTF-16LE", IconvName(number).constData());
        if (cd == iconv_t(-1))
            return nullptr;
        if (!HasAsciiLetters(cd)) {
            iconv_close(cd);
            return nullptr;
        }
        return std::unique_ptr<TRtfCodePage>(new TRtfCodePage(number, cd));
    };
    const TRtfCodePage *page = nullptr;
    if (codePage > 0 && codePage <= MaxCodePage && codePage != 1252) {
        if (auto made = make(codePage)) {
            page = made.get();
            pages[codePage] = std::move(made);
        }
    }
    if (!page) {
        auto &western = pages[1252];
        if (!western) {
            western = make(1252);
            if (!western)
                western.reset(new TRtfCodePage(1252, nullptr));
        }
        page = western.get();
    }
    // Numbers past the range are never a code page; they are not kept, so
    // what a document can make this remember stays bounded.
    if (codePage > 0 && codePage <= MaxCodePage)
        asked[codePage] = page;
    return *page;
}

int TRtfCodePage::FromCharset(int charset)
{
    switch (charset) {
    case 0: return 1252; // ANSI means Western even in a document of another code page
    case 77: return 10000;
    // The Mac's East Asian character sets are read with their Windows
    // relatives; the other Mac ones with the Mac code pages.
    case 78: return 932;
    case 79: return 949;
    case 80: return 936;
    case 81: return 950;
    case 82: return 1361;
    case 83: return 10005;
    case 84: return 10004;
    case 85: return 10006;
    case 86: return 10081;
    case 87: return 10021;
    case 88: return 10029;
    case 89: return 10007;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 179: return 1256; // Arabic traditional
    case 180: return 1256; // Arabic user
    case 181: return 1255; // Hebrew user
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0; // 1 default, 2 symbol and the rest: the document's code page
    }
}
