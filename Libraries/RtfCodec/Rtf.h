// Reading and writing RTF documents for the rich-box.
#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;
class QTextDocument;
class TRichDocument;
class TRtfSink;
class TSoftHyphens;

// Replaces the document's content with the RTF document in `bytes`. Bytes
// that are not RTF at all (no "{\rtf" at the start) fail with a message in
// `error` and leave the document as it was; damaged RTF is read as far as it
// makes sense and succeeds.
bool ReadRtf(const QByteArray &bytes, TRichDocument &document, QString *error = nullptr);
// The same for everything a device still has to give.
bool ReadRtf(QIODevice &device, TRichDocument &document, QString *error = nullptr);
// Reads into any sink (tests, converters).
bool ReadRtf(const QByteArray &bytes, TRtfSink &sink, QString *error = nullptr);

// True when the bytes look like an RTF document.
bool IsRtf(const QByteArray &bytes);

// An RTF 1.x document (Windows-1252 with \uN for other characters) of the
// document's text, character and paragraph formats, links and pictures.
// What a rich-box document changed for its line breaking is not written:
// the soft hyphens it added are left out, the spaces it holds are spaces.
QByteArray WriteRtf(const TRichDocument &document);
QByteArray WriteRtf(const QTextDocument &document, const TSoftHyphens *marks = nullptr);
