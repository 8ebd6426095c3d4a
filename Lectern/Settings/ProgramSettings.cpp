#include "ProgramSettings.h"

#include "Program.h"
#include "StoredTextList.h"

namespace {

const QString MainSection = QStringLiteral("Lectern_Main");
const QString ConvertSection = QStringLiteral("Lectern_ConvertMeasure");

// The converter's unit keys with their fields, in file order.
struct TUnitKey {
    const char *Key;
    QString TProgramSettings::*Field;
};
const TUnitKey UnitKeys[] = {
    {"Length", &TProgramSettings::Length}, {"Speed", &TProgramSettings::Speed},
    {"Area", &TProgramSettings::Area},     {"Volume", &TProgramSettings::Volume},
    {"Weight", &TProgramSettings::Weight}, {"Temperature", &TProgramSettings::Temperature},
};

QString Key(const char *key) { return QLatin1String(key); }

} // namespace

void ReadProgramSettings(const TStoredTextList &list, TProgramSettings &s)
{
    list.ReadBool(MainSection, Key("AutoSaveProfile"), s.AutoSaveProfile);
    list.ReadBool(MainSection, Key("AutoBookmark"), s.AutoBookmark);
    list.ReadBool(MainSection, Key("AutoLoadLast"), s.AutoLoadLast);
    list.ReadInt(MainSection, Key("WheelScrollLines"), s.WheelScrollLines, 20, 1);
    list.ReadText(MainSection, Key("DictionaryTitle"), false, s.DictionaryTitle, MaxPathLength);
    list.ReadBool(MainSection, Key("ClipboardForDic"), s.ClipboardForDic);
    list.ReadBool(MainSection, Key("ForceRichEdit3"), s.ForceRichEdit3);
    list.ReadBool(MainSection, Key("OpenInPieces"), s.OpenInPieces);
    list.ReadInt(MainSection, Key("PieceSize"), s.PieceSize, 500000, 10000);
    list.ReadInt(MainSection, Key("RichBoxWidthPercent"), s.RichBoxWidthPercent, 100, 20);
    list.ReadInt(MainSection, Key("RichBoxTopPercent"), s.RichBoxTopPercent, 15, 5);
    list.ReadInt(MainSection, Key("RichBoxBottomPercent"), s.RichBoxBottomPercent, 25, 10);
    list.ReadInt(MainSection, Key("PrintLeftMargin"), s.PrintLeftMargin, 50, 0);
    list.ReadInt(MainSection, Key("PrintRightMargin"), s.PrintRightMargin, 50, 0);
    list.ReadInt(MainSection, Key("PrintTopMargin"), s.PrintTopMargin, 50, 0);
    list.ReadInt(MainSection, Key("PrintBottomMargin"), s.PrintBottomMargin, 50, 0);
}

void WriteProgramSettings(const TProgramSettings &s, TStoredTextList &list)
{
    list.WriteBool(MainSection, Key("AutoSaveProfile"), s.AutoSaveProfile);
    list.WriteBool(MainSection, Key("AutoBookmark"), s.AutoBookmark);
    list.WriteBool(MainSection, Key("AutoLoadLast"), s.AutoLoadLast);
    list.WriteInt(MainSection, Key("WheelScrollLines"), s.WheelScrollLines);
    list.WriteText(MainSection, Key("DictionaryTitle"), s.DictionaryTitle);
    list.WriteBool(MainSection, Key("ClipboardForDic"), s.ClipboardForDic);
    list.WriteBool(MainSection, Key("ForceRichEdit3"), s.ForceRichEdit3);
    list.WriteBool(MainSection, Key("OpenInPieces"), s.OpenInPieces);
    list.WriteInt(MainSection, Key("PieceSize"), s.PieceSize);
    list.WriteInt(MainSection, Key("RichBoxWidthPercent"), s.RichBoxWidthPercent);
    list.WriteInt(MainSection, Key("RichBoxTopPercent"), s.RichBoxTopPercent);
    list.WriteInt(MainSection, Key("RichBoxBottomPercent"), s.RichBoxBottomPercent);
    list.WriteInt(MainSection, Key("PrintLeftMargin"), s.PrintLeftMargin);
    list.WriteInt(MainSection, Key("PrintRightMargin"), s.PrintRightMargin);
    list.WriteInt(MainSection, Key("PrintTopMargin"), s.PrintTopMargin);
    list.WriteInt(MainSection, Key("PrintBottomMargin"), s.PrintBottomMargin);
}

void ReadConvertMeasureUnits(const TStoredTextList &list, TProgramSettings &settings)
{
    for (const TUnitKey &k : UnitKeys)
        list.ReadText(ConvertSection, Key(k.Key), false, settings.*k.Field, 259);
}

void WriteConvertMeasureUnits(const TProgramSettings &settings, TStoredTextList &list)
{
    for (const TUnitKey &k : UnitKeys)
        list.WriteText(ConvertSection, Key(k.Key), settings.*k.Field);
}
