// Decoding of the 8-bit text of an RTF document: single-byte Windows code
// pages through a 256-entry table, double-byte ones (932, 936, 949, 950,
// 1361) through lead-byte detection and glibc's iconv for the pairs.
#pragma once

#include <QChar>
#include <QString>

#include <memory>

class TRtfCodePage {
public:
    // The decoder of a Windows code page number; unknown numbers fall back
    // to 1252. Decoders are made once and shared (not thread-safe to create
    // concurrently from several threads).
    static const TRtfCodePage &Get(int codePage);

    // The code page of an RTF \fcharset value, or 0 for "the document's".
    static int FromCharset(int charset);

    int Number() const { return CodePage; }
    bool IsDoubleByte() const { return DoubleByte; }
    bool IsLeadByte(unsigned char byte) const { return Lead[byte]; }
    // The character of a single byte (U+FFFD for a lead byte or a byte the
    // code page does not define).
    QChar Single(unsigned char byte) const { return Table[byte]; }
    // The characters of a lead byte and a trail byte (U+FFFD when invalid).
    QString Pair(unsigned char lead, unsigned char trail) const;

    ~TRtfCodePage();

private:
    explicit TRtfCodePage(int codePage);

    int CodePage = 1252;
    bool DoubleByte = false;
    QChar Table[256];
    bool Lead[256] = {};
    void *Converter = nullptr; // iconv_t for pairs
};
