// The program settings of Lectern.ini that belong to the installation rather
// than to a reading style: the section "Lectern_Main" and the units last
// chosen in the measure converter ("Lectern_ConvertMeasure"). The bookshelf
// shares the file (TBookshelf).
//
// The window copies its option controls into this record, reads the file
// over it (a key that is missing or not valid keeps the control's state) and
// puts the record back into the controls, in TLecternForm::ApplyProgramSettings
// and TLecternForm::ReadProgramSettingsControls (LecternFormSettings.cpp).
#pragma once

#include <QString>

class TStoredTextList;

struct TProgramSettings {
    // ---- Lectern_Main, in file order --------------------------------------
    bool AutoSaveProfile = true;
    bool AutoBookmark = true;
    bool AutoLoadLast = true;
    int WheelScrollLines = 3; // 1..20; the window starts from the system's count
    QString DictionaryTitle = QStringLiteral("goldendict");
    bool ClipboardForDic = true;
    bool ForceRichEdit3 = false;
    bool OpenInPieces = true;
    int PieceSize = 50000; // 10000..500000
    int RichBoxWidthPercent = 45; // 20..100
    int RichBoxTopPercent = 10; // 5..15
    int RichBoxBottomPercent = 15; // 10..25
    int PrintLeftMargin = 30; // millimetres, 0..50
    int PrintRightMargin = 20;
    int PrintTopMargin = 20;
    int PrintBottomMargin = 20;

    // ---- Lectern_ConvertMeasure: the name of the unit chosen in each list
    QString Length = QStringLiteral("Meters");
    QString Speed = QStringLiteral("Meters / Second");
    QString Area = QStringLiteral("Meters^2");
    QString Volume = QStringLiteral("Meters^3");
    QString Weight = QStringLiteral("Kilograms");
    QString Temperature = QStringLiteral("Celsius");
};

// Reads "Lectern_Main" over the record: each key keeps the record's value
// when it is missing, unreadable or out of range.
void ReadProgramSettings(const TStoredTextList &list, TProgramSettings &settings);
// Writes "Lectern_Main" in file order (the list is not emptied).
void WriteProgramSettings(const TProgramSettings &settings, TStoredTextList &list);
// The same for "Lectern_ConvertMeasure". A unit name that is missing, empty
// or too long keeps the record's value; whether it names a unit of its list
// is the converter's to decide.
void ReadConvertMeasureUnits(const TStoredTextList &list, TProgramSettings &settings);
void WriteConvertMeasureUnits(const TProgramSettings &settings, TStoredTextList &list);
