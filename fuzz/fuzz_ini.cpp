// libFuzzer target for the settings files: every input is read as a
// settings file, written back and read again, which must give the same file;
// the program settings, a profile and the bookshelf are read from it and
// written back twice, which must give the same keys both times.
#include "Bookshelf.h"
#include "Profile.h"
#include "ProgramSettings.h"
#include "StoredTextList.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Reads the records from `list` and writes them into a new list.
QByteArray RecordsWrittenBack(const TStoredTextList &list)
{
    TProgramSettings settings;
    ReadProgramSettings(list, settings);
    ReadConvertMeasureUnits(list, settings);
    TBookshelf shelf;
    shelf.LoadFromList(list);
    TProfile profile;
    ReadProfile(list, profile);

    TStoredTextList out;
    WriteProgramSettings(settings, out);
    shelf.SaveToList(out);
    WriteConvertMeasureUnits(settings, out);
    TStoredTextList profileOut;
    WriteProfile(profile, profileOut, TProfilePlaces());
    return out.SaveToBytes() + profileOut.SaveToBytes();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TStoredTextList list;
    list.LoadFromBytes(bytes);
    if (list.Text().KeyCount() > TIniText::MaxKeys)
        std::abort();

    // What was read is written so that it reads back the same.
    const QByteArray written = list.SaveToBytes();
    TStoredTextList again;
    again.LoadFromBytes(written);
    if (again.SaveToBytes() != written)
        std::abort();
    if (again.Text().Sections() != list.Text().Sections())
        std::abort();

    // The records keep what they read: a second round gives the same file.
    const QByteArray first = RecordsWrittenBack(list);
    TStoredTextList records;
    records.LoadFromBytes(first);
    if (RecordsWrittenBack(records) != first)
        std::abort();
    return 0;
}
