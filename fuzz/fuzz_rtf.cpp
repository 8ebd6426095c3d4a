// libFuzzer target for the RTF reader: every input is read into a recording
// sink and into a rich document; the document is written back as RTF and
// read again, so the writer and the reader of our own output are exercised
// with whatever the first read produced.
#include "Rtf.h"
#include "RtfSink.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

namespace {

QGuiApplication *Application = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int qtArgc = 1;
    static char name[] = "fuzz_rtf";
    static char *qtArgv[] = {name, nullptr};
    Application = new QGuiApplication(qtArgc, qtArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TRtfRecordingSink recording;
    QString error;
    const bool isRtf = ReadRtf(bytes, recording, &error);
    if (!isRtf && error.isEmpty())
        std::abort(); // a failure must say why

    TRichDocument document;
    if (ReadRtf(bytes, document, &error)) {
        const QByteArray written = WriteRtf(document);
        TRichDocument again;
        if (!ReadRtf(written, again, &error))
            std::abort(); // our own output must always read
        if (again.GetText() != document.GetText())
            std::abort(); // and give back the same text
    }
    // Documents replaced by a bulk build are deleted later; without an event
    // loop that has to be asked for.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
