// The program settings in Lectern.ini: the options of the "Program" pages
// read at start and written at close and after each book that opens, with
// the bookshelf, the converter's units and (with "Auto save profile") the
// current profile.
#include "LecternForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include <memory>

#include "Bookshelf.h"
#include "Dialogs.h"
#include "EnhancedRichEdit.h"
#include "ProgramGeneralTabSheet.h"
#include "ProgramMiscTabSheet.h"
#include "SizesGroupBox.h"
#include "StoredTextList.h"
#include "TextParsers.h"
#include "WidgetUtilities.h"

void TLecternForm::SetUpSettings()
{
    SettingsList = std::make_unique<TStoredTextList>();
    SettingsList->OnLoad = [this](TStoredTextList &list, bool) { SettingsListLoad(list); };
    SettingsList->OnSave = [this](TStoredTextList &list, bool) { SettingsListSave(list); };
    // Settings that cannot be written (a read-only installation and
    // configuration directory, a full disk) are told once per run: they stay
    // in memory, and every later save and the close go on without a word.
    auto told = std::make_shared<bool>(false);
    SettingsList->OnSaveFailed = [this, told](const TStoredTextList &list, const QString &reason) {
        const QString &name = list.FileName();
        const bool ours = name == SettingsList->FileName() || name == DefaultProfilePath() || SavingProfileByItself;
        if (name.isEmpty() || !ours)
            return false; // a profile the reader saves is reported as usual
        if (*told)
            return true;
        *told = true;
        const QString text = QStringLiteral("The settings cannot be saved to \"") + name + QStringLiteral("\": ")
            + reason + QStringLiteral(".\n\nThey are kept in memory for this session.");
        // A save during a load or a book's opening tells once that work is
        // done, so the message neither holds up the load nor a close asked
        // for meanwhile; at the close itself there is no later.
        if (Closing)
            WarningDialog(text);
        else
            QTimer::singleShot(0, this, [text] { WarningDialog(text); });
        return true;
    };
    ProgramSettings = ReadProgramSettingsControls();
}

TProgramSettings TLecternForm::ReadProgramSettingsControls() const
{
    const Ui::ProgramGeneralTabSheet &g = ProgramGeneralTabSheet->Form;
    TProgramSettings s = ProgramSettings; // the values without a control
    s.AutoSaveProfile = g.AutoSaveProfileCheckBox->isChecked();
    s.AutoBookmark = g.AutoBookmarkCheckBox->isChecked();
    s.AutoLoadLast = g.AutoLoadLastCheckBox->isChecked();
    s.WheelScrollLines = WheelScrollLines();
    s.DictionaryTitle = g.DictionaryTitleEdit->text();
    s.ClipboardForDic = g.ClipboardForDicCheckBox->isChecked();
    s.ForceRichEdit3 = ProgramMiscTabSheet->ForceRichEdit3();
    s.OpenInPieces = OpenInPiecesCheckBox->isChecked();
    s.PieceSize = GetIntFromText(PieceSizeComboBox->currentText(), 10000, 500000, 50000);
    s.RichBoxWidthPercent = SizesGroupBox->RichBoxWidthPercent();
    s.RichBoxTopPercent = SizesGroupBox->RichBoxTopPercent();
    s.RichBoxBottomPercent = SizesGroupBox->RichBoxBottomPercent();
    s.PrintLeftMargin = ProgramMiscTabSheet->PrintLeftMargin();
    s.PrintRightMargin = ProgramMiscTabSheet->PrintRightMargin();
    s.PrintTopMargin = ProgramMiscTabSheet->PrintTopMargin();
    s.PrintBottomMargin = ProgramMiscTabSheet->PrintBottomMargin();
    ReadConverterUnits(s);
    return s;
}

// A number is shown by choosing the item that reads the same; a number in
// range that is not among the items leaves the box showing nothing, and its
// users then take their default.
void TLecternForm::ApplyProgramSettings(const TProgramSettings &s)
{
    Ui::ProgramGeneralTabSheet &g = ProgramGeneralTabSheet->Form;
    g.AutoSaveProfileCheckBox->setChecked(s.AutoSaveProfile);
    g.AutoBookmarkCheckBox->setChecked(s.AutoBookmark);
    g.AutoLoadLastCheckBox->setChecked(s.AutoLoadLast);
    SelectComboBoxItem(g.WheelScrollLinesComboBox, QString::number(s.WheelScrollLines));
    g.DictionaryTitleEdit->setText(s.DictionaryTitle);
    g.DictionaryTitleEdit->setCursorPosition(0);
    g.ClipboardForDicCheckBox->setChecked(s.ClipboardForDic);
    ProgramMiscTabSheet->Form.ForceRichEdit3CheckBox->setChecked(s.ForceRichEdit3);
    Engine->ForceRichEdit3 = s.ForceRichEdit3;
    OpenInPiecesCheckBox->setChecked(s.OpenInPieces);
    OpenInPiecesCheckBoxClick();
    SelectComboBoxItem(PieceSizeComboBox, QString::number(s.PieceSize));
    SelectComboBoxItem(SizesGroupBox->Form.RichBoxWidthPercentComboBox, QString::number(s.RichBoxWidthPercent));
    SelectComboBoxItem(SizesGroupBox->Form.RichBoxTopPercentComboBox, QString::number(s.RichBoxTopPercent));
    SelectComboBoxItem(SizesGroupBox->Form.RichBoxBottomPercentComboBox, QString::number(s.RichBoxBottomPercent));
    Ui::ProgramMiscTabSheet &m = ProgramMiscTabSheet->Form;
    SelectComboBoxItem(m.PrintLeftMarginComboBox, QString::number(s.PrintLeftMargin));
    SelectComboBoxItem(m.PrintRightMarginComboBox, QString::number(s.PrintRightMargin));
    SelectComboBoxItem(m.PrintTopMarginComboBox, QString::number(s.PrintTopMargin));
    SelectComboBoxItem(m.PrintBottomMarginComboBox, QString::number(s.PrintBottomMargin));
    ApplyConverterUnits(s);
    ProgramSettings = s;
}

void TLecternForm::SettingsListLoad(TStoredTextList &list)
{
    // The default profile is saved with the settings, beside them: a failure
    // to write it is told the same way, in the same one message.
    if (ProfileList && !ProfileList->OnSaveFailed)
        ProfileList->OnSaveFailed = list.OnSaveFailed;
    TProgramSettings settings = ReadProgramSettingsControls();
    ReadProgramSettings(list, settings);
    ReadConvertMeasureUnits(list, settings);
    ApplyProgramSettings(settings);
    Bookshelf->LoadFromList(list);
    RefreshBookshelfCaptions();
}

// The file is written from scratch: sections and keys the program does not
// know are dropped.
void TLecternForm::SettingsListSave(TStoredTextList &list)
{
    list.Clear();
    ProgramSettings = ReadProgramSettingsControls();
    WriteProgramSettings(ProgramSettings, list);
    UpdateAutoBookmark();
    Bookshelf->SaveToList(list);
    if (ProgramSettings.AutoSaveProfile)
        SaveProfile();
    WriteConvertMeasureUnits(ProgramSettings, list);
}

bool TLecternForm::SaveSettings()
{
    if (SettingsDirectory.isEmpty())
        return false;
    return SettingsList->Save(false);
}

void TLecternForm::SaveSettingsOnClose() { SaveSettings(); }
