#include "Rtf.h"

#include "RtfDocumentSink.h"
#include "RtfReader.h"

#include <QIODevice>
#include <QObject>

bool IsRtf(const QByteArray &bytes) { return TRtfReader::FindStart(bytes) >= 0; }

bool ReadRtf(const QByteArray &bytes, TRtfSink &sink, QString *error)
{
    TRtfReader reader(sink);
    return reader.Read(bytes, error);
}

bool ReadRtf(const QByteArray &bytes, TRichDocument &document, QString *error)
{
    if (!IsRtf(bytes)) {
        if (error)
            *error = QObject::tr("The file is not an RTF document.");
        return false;
    }
    TRtfDocumentSink sink(document);
    return ReadRtf(bytes, sink, error);
}

bool ReadRtf(QIODevice &device, TRichDocument &document, QString *error)
{
    if (!device.isOpen() && !device.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QObject::tr("The RTF document cannot be read: %1").arg(device.errorString());
        return false;
    }
    const QByteArray bytes = device.readAll();
    return ReadRtf(bytes, document, error);
}

QByteArray WriteRtf(const TRichDocument &document)
{
    return WriteRtf(*document.Document(), &document.SoftHyphens());
}
