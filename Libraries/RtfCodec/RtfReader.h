// Reads RTF bytes and tells a sink what the document holds. Word, WordPad,
// LibreOffice, TextEdit, pandoc and other writers' documents are read with
// their text, character and paragraph formats, links, pictures, tables as
// rows of cells, list numbers and footnotes (shown after the text). Bad input
// is read as far as it makes sense; nothing in it can crash or hang the
// reader (nesting is limited, numbers are clamped, every loop consumes input).
#pragma once

#include "RtfSink.h"

#include <QByteArray>
#include <QString>

class TRtfReader {
public:
    // Groups nested deeper than this keep their text but get no state of
    // their own: they share the deepest group's (what they set ends when
    // the last of them closes), and a destination opened among them is
    // skipped whole.
    static constexpr int MaxDepth = 512;

    explicit TRtfReader(TRtfSink &sink);
    ~TRtfReader();

    // Offset of "{\rtf" near the start of `bytes` (leading junk and a byte
    // order mark are tolerated), or -1 when the bytes are not RTF.
    static qsizetype FindStart(const QByteArray &bytes);

    // Reads the document into the sink. Returns false, with a message in
    // `error`, only when the bytes are not RTF at all; the sink then has
    // seen nothing.
    bool Read(const QByteArray &bytes, QString *error = nullptr);

private:
    struct TImpl;
    TImpl *d;
};
