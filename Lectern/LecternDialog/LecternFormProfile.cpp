// Profiles in the main window: the profile that belongs to each book opened,
// the record shown in the option controls and read back from them, and the
// Load, Save and Delete buttons of the "Work" group.
#include "LecternForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QScopedValueRollback>
#include <QTabWidget>

#include <cerrno>

#include "BackImages.h"
#include "BackSounds.h"
#include "Dialogs.h"
#include "FunStatContext.h"
#include "ProfileColorsTabSheet.h"
#include "ProfileFormatTabSheet.h"
#include "ProfileGeneralTabSheet.h"
#include "ProfileWorkGroupBox.h"
#include "ProgramGeneralTabSheet.h"
#include "RichBackImageGroupBox.h"
#include "RichEditOps.h"
#include "ScreenBackImageGroupBox.h"
#include "StoredTextList.h"
#include "VoiceGroupBox.h"
#include "WidgetUtilities.h"

namespace {

const QString ProfileFilter = QStringLiteral("Profiles (*.lcp)|*.lcp");

const QString ProfilePagesHint = QStringLiteral(
    "All options from these tabs are saved into a profile, so that they can be reloaded the next time you open the "
    "same book. Profiles are automatically saved, so be careful when you load a different profile (because that will "
    "be saved).");

} // namespace

void TLecternForm::SetUpProfiles()
{
    ProfileList = std::make_unique<TStoredTextList>();
    ProfileList->OnLoad = [this](TStoredTextList &list, bool) { ProfileListLoad(list); };
    ProfileList->OnSave = [this](TStoredTextList &list, bool) { ProfileListSave(list); };
    ReadProfileControls(Profile);

    ProfilePageControl->setStatusTip(ProfilePagesHint);
    ProfileWorkGroupBox = ProfileGeneralTabSheet->Form.ProfileWorkGroupBox;
    connect(ProfileWorkGroupBox->Clicks(), &TButtonClicks::LeftClicked, this, [this](int button, TShiftState shift) {
        switch (button) {
        case TProfileWorkGroupBox::LoadButton: LoadProfileButtonMouseDown(shift); break;
        case TProfileWorkGroupBox::SaveButton: SaveProfileButtonMouseDown(shift); break;
        default: DeleteProfileButtonMouseDown(shift); break;
        }
    });
}

QString TLecternForm::DefaultProfilePath() const
{
    return SettingsDirectory.isEmpty() ? QString() : SettingsDirectory + DefaultProfileFileName;
}

TProfilePlaces TLecternForm::ProfilePlaces() const
{
    TProfilePlaces places;
    places.ProfileDirectory = DirectoryOfFile(ProfileList->FileName());
    places.IsDefaultProfile = ProfileList->FileName() == DefaultProfilePath();
    places.ImageDirectory = GetProgramDirectory() + QStringLiteral("BackImages/");
    places.SoundDirectory = GetProgramDirectory() + QStringLiteral("BackSounds/");
    return places;
}

void TLecternForm::ReadProfileControls(TProfile &p) const
{
    ProfileGeneralTabSheet->ReadEnhanceProfile(p);
    ProfileFormatTabSheet->ReadProfile(p);
    ScreenBackImageGroupBox->ReadProfile(p);
    RichBackImageGroupBox->ReadProfile(p);
    ProfileColorsTabSheet->ReadProfile(p);
    BackSounds->GiveProfile(p);
    p.Voice = VoiceGroupBox->Options();
}

// The controls' change handlers re-format the rich-box as each value
// arrives, so the book looks as the profile says.
void TLecternForm::ApplyProfile(const TProfile &p)
{
    ProfileGeneralTabSheet->ShowEnhanceProfile(p);
    ProfileFormatTabSheet->ShowProfile(p);
    // The pictures are rebuilt once the whole profile is in the controls.
    ScreenBackImageGroupBox->ShowProfile(p);
    RichBackImageGroupBox->ShowProfile(p);
    ProfileColorsTabSheet->ShowProfile(p);
    ApplyProfileColors(); // the browser's and the converter's too
    BackSounds->TakeProfile(p);
    ShowBackSounds();
    VoiceGroupBox->ShowOptions(p.Voice);
}

void TLecternForm::ProfileListLoad(TStoredTextList &list)
{
    {
        const QScopedValueRollback<bool> loading(ProfileListLoading, true);
        ReadProfile(list, Profile);
        ApplyProfile(Profile);
    }
    RebuildBackImages(); // one rebuild with all of the profile's values
}

void TLecternForm::ProfileListSave(TStoredTextList &list)
{
    ReadProfileControls(Profile);
    WriteProfile(Profile, list, ProfilePlaces());
}

bool TLecternForm::SaveProfile()
{
    if (ProfileList->FileName().isEmpty())
        return false;
    // A save the reader did not ask for fails like the settings: told once.
    const bool was = SavingProfileByItself;
    SavingProfileByItself = true;
    const bool saved = ProfileList->Save(false);
    SavingProfileByItself = was;
    return saved;
}

void TLecternForm::LoadProfileForBook(bool profileChosen)
{
    if (ProgramGeneralTabSheet->Form.AutoSaveProfileCheckBox->isChecked() && !profileChosen)
        SaveProfile();
    const QString chosen = profileChosen ? ProfileList->FileName() : QString();
    const QString profile = ChooseProfileForBook(CurrentBookPath, chosen, DefaultProfilePath());
    // A window without settings has no default profile: it keeps its options
    // unless the book has a profile of its own.
    if (!profile.isEmpty())
        ProfileList->Load(profile, false);
}

QString TLecternForm::ProposedProfile(TShiftState shift) const
{
    if (HasNoModifier(shift))
        return ProfileList->FileName();
    if (HasOnlyModifier(shift, ssCtrl))
        return DefaultProfilePath();
    if (HasOnlyModifier(shift, ssShift))
        return CurrentBookPath.isEmpty() ? QString() : DirectoryOfFile(CurrentBookPath) + DefaultProfileFileName;
    return QString();
}

void TLecternForm::LoadProfileButtonMouseDown(TShiftState shift)
{
    if (!HasNoModifier(shift) && !HasOnlyModifier(shift, ssCtrl) && !HasOnlyModifier(shift, ssShift))
        return;
    FUN_BEGIN("TLecternForm::LoadProfileButtonMouseDown");
    try {
        const QString name = OpenFileDialog(ProposedProfile(shift), ProfileFilter, QStringLiteral("Load profile"));
        if (!name.isEmpty()) {
            if (ProgramGeneralTabSheet->Form.AutoSaveProfileCheckBox->isChecked())
                SaveProfile();
            if (!HasProfileExtension(name)) {
                WarningDialog(QStringLiteral("Invalid file extensions."));
            } else if (CurrentBookPath.isEmpty()) {
                ProfileList->Load(name, false);
                FUN_ADOPT();
            } else {
                // The book opens again in the chosen style, at the same place.
                ProfileList->SetFileName(name);
                LoadFromFile(CurrentBookPath, CurrentPiece(), true, FirstVisibleCharIndex(RichEdit));
            }
        }
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to load profile."));
    FocusRichBox();
}

void TLecternForm::SaveProfileButtonMouseDown(TShiftState shift)
{
    FUN_BEGIN("TLecternForm::SaveProfileButtonMouseDown");
    // Picture names relative to the profile become full paths while the
    // profile may move, and short again relative to where it is after.
    const TProfilePlaces before = ProfilePlaces();
    ConvertBackImageTitles([&before](const QString &title) {
        const QString full = ImageTitleToPath(title, before);
        return full.endsWith(QLatin1Char('*')) ? title : full; // a missing picture keeps its name
    });
    try {
        QString proposed;
        if (HasNoModifier(shift) || HasOnlyModifier(shift, ssCtrl) || HasOnlyModifier(shift, ssShift))
            proposed = ProposedProfile(shift);
        else if (!CurrentBookPath.isEmpty())
            proposed = ProfileCandidatesForBook(CurrentBookPath, QString(), QString()).first();
        const QString name = SaveFileDialog(proposed, ProfileFilter, QStringLiteral("Save profile"));
        if (!name.isEmpty()) {
            if (!HasProfileExtension(name)) {
                WarningDialog(QStringLiteral("Invalid file extensions."));
            } else {
                const QString previous = ProfileList->FileName();
                if (ProfileList->Save(name, true, false)) {
                    MessageDialog(QStringLiteral("Profile was saved."));
                } else {
                    // Refused or failed: the current profile stays the one it
                    // was, so no later automatic save writes over that file.
                    ProfileList->SetFileName(previous);
                    FUN_ADOPT();
                }
            }
        }
    }
    FUN_CATCH
    const TProfilePlaces after = ProfilePlaces();
    ConvertBackImageTitles([&after](const QString &title) { return ImagePathToTitle(title, after); });
    FUN_END_SHOW(QStringLiteral("Failed to save profile."));
    FocusRichBox();
}

void TLecternForm::DeleteProfileButtonMouseDown(TShiftState shift)
{
    if (!HasNoModifier(shift) && !HasOnlyModifier(shift, ssCtrl) && !HasOnlyModifier(shift, ssShift))
        return;
    FUN_BEGIN("TLecternForm::DeleteProfileButtonMouseDown");
    try {
        const QString name = OpenFileDialog(ProposedProfile(shift), ProfileFilter, QStringLiteral("Delete profile"));
        if (!name.isEmpty()) {
            if (!HasProfileExtension(name)) {
                WarningDialog(QStringLiteral("Invalid file extensions."));
            } else {
                // The current profile stays current; its next save writes it again.
                QFile::setPermissions(name, QFile::permissions(name) | QFileDevice::WriteOwner);
                QFile file(name);
                if (!file.remove())
                    FUN_RAISE(QStringLiteral("Failed to delete file."), name, file.errorString(), errno);
            }
        }
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to delete profile."));
    FocusRichBox();
}
