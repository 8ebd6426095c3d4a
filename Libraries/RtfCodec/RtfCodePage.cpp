#include "RtfCodePage.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

namespace {

// glibc's name of a Windows code page.
QByteArray IconvName(int codePage)
{
    switch (codePage) {
    case 437: return "CP437";
    case 850: return "CP850";
    case 866: return "CP866";
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1361: return "JOHAB";
    case 10000: return "MACINTOSH";
    case 10007: return "MAC-CYRILLIC";
    case 10029: return "MAC-CENTRALEUROPE";
    default:
        if (codePage >= 1250 && codePage <= 1258)
            return "CP" + QByteArray::number(codePage);
        return QByteArray();
    }
}

bool IsDoubleBytePage(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361;
}

// Converts `length` bytes to UTF-16; returns false with errno set (EINVAL
// for an incomplete sequence, EILSEQ for an invalid one).
bool Convert(iconv_t cd, const char *bytes, size_t length, QString &out)
{
    char16_t buffer[8];
    char *in = const_cast<char *>(bytes);
    size_t inLeft = length;
    char *outPtr = reinterpret_cast<char *>(buffer);
    size_t outLeft = sizeof(buffer);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    if (result == size_t(-1))
        return false;
    if (inLeft != 0) {
        errno = EINVAL;
        return false;
    }
    out = QString::fromUtf16(buffer, qsizetype((sizeof(buffer) - outLeft) / sizeof(char16_t)));
    return true;
}

} // namespace

TRtfCodePage::TRtfCodePage(int codePage)
{
    QByteArray name = IconvName(codePage);
    if (name.isEmpty()) {
        codePage = 1252;
        name = "CP1252";
    }
    CodePage = codePage;
    DoubleByte = IsDoubleBytePage(codePage);
    iconv_t cd = iconv_open("UTF-16LE", name.constData());
    if (cd == iconv_t(-1)) {
        // No converter: Latin-1 is the least wrong guess.
        for (int b = 0; b < 256; ++b)
            Table[b] = QChar(b);
        DoubleByte = false;
        return;
    }
    for (int b = 0; b < 256; ++b) {
        if (b < 0x80 && !DoubleByte) {
            Table[b] = QChar(b);
            continue;
        }
        const char byte = char(b);
        QString out;
        if (Convert(cd, &byte, 1, out) && out.size() == 1) {
            Table[b] = out.at(0);
        } else {
            Table[b] = QChar(QChar::ReplacementCharacter);
            if (DoubleByte && errno == EINVAL)
                Lead[b] = true;
        }
    }
    if (DoubleByte)
        Converter = cd;
    else
        iconv_close(cd);
}

TRtfCodePage::~TRtfCodePage()
{
    if (Converter)
        iconv_close(iconv_t(Converter));
}

QString TRtfCodePage::Pair(unsigned char lead, unsigned char trail) const
{
    if (!Converter)
        return QString(Table[lead]) + Table[trail];
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    const char bytes[2] = {char(lead), char(trail)};
    QString out;
    if (Convert(iconv_t(Converter), bytes, 2, out) && !out.isEmpty())
        return out;
    return QString(QChar(QChar::ReplacementCharacter));
}

const TRtfCodePage &TRtfCodePage::Get(int codePage)
{
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<TRtfCodePage>> pages;
    std::lock_guard<std::mutex> lock(mutex);
    auto found = pages.find(codePage);
    if (found != pages.end())
        return *found->second;
    const int known = IconvName(codePage).isEmpty() ? 1252 : codePage;
    auto &page = pages[known];
    if (!page)
        page.reset(new TRtfCodePage(known));
    if (known != codePage)
        pages[codePage].reset(new TRtfCodePage(known));
    return *pages[codePage];
}

int TRtfCodePage::FromCharset(int charset)
{
    switch (charset) {
    case 0: return 1252; // ANSI means Western even in a document of another code page
    case 77: return 10000;
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
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0; // 1 default, 2 symbol and the rest: the document's code page
    }
}
