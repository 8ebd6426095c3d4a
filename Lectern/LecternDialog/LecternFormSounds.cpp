// Background sounds in the main window: the "Background sound" group shows
// sound 0 of the profile's sounds; the sounds start with each book, switch on
// the information timer, stop while the window is minimised.
#include "LecternForm.h"

#include <QCheckBox>
#include <QLineEdit>

#include "BackSoundGroupBox.h"
#include "BackSounds.h"
#include "Dialogs.h"
#include "EffectSoundPlayer.h"
#include "FunStatContext.h"
#include "ProfileMiscTabSheet.h"
#include "Program.h"
#include "Shell.h"

namespace {

const QString SoundFilter = QStringLiteral("Sound (*.wav; *.wave)|*.wav; *.wave");

} // namespace

void TLecternForm::SetUpBackSounds()
{
    SoundPlayer = CreateSoundPlayer();
    BackSounds = std::make_unique<TBackSounds>(*SoundPlayer);
    BackSounds->IsLoading = [this] { return ProfileListLoading; };
    BackSounds->TitleToPath = [this](const QString &title) { return SoundTitleToPath(title); };
    BackSounds->SaveSystemVolume();

    BackSoundGroupBox = ProfileMiscTabSheet->Form.ProfileBackSoundGroupBox;
    TBackSoundGroupBox *g = BackSoundGroupBox;
    connect(g, &TBackSoundGroupBox::UseClicked, this, &TLecternForm::UseBackSoundCheckBoxClick);
    connect(g, &TBackSoundGroupBox::TitleEditExit, this, &TLecternForm::TitleBackSoundEditExit);
    connect(g, &TBackSoundGroupBox::VolumeChanged, this, &TLecternForm::VolumeBackSoundComboBoxChange);
    connect(g, &TBackSoundGroupBox::DurationChanged, this, &TLecternForm::DurationBackSoundComboBoxChange);
    connect(g, &TBackSoundGroupBox::ProbabilityChanged, this, &TLecternForm::ProbabilityBackSoundComboBoxChange);
    connect(g, &TBackSoundGroupBox::LoadClicked, this, &TLecternForm::ChangeBackSoundButtonMouseDown);
    connect(g, &TBackSoundGroupBox::RunClicked, this, &TLecternForm::RunBackSoundButtonClick);
    // "Random" is read when the next sound is chosen.
    connect(g->Form.RandomBackSoundCheckBox, &QCheckBox::toggled, this, [this](bool on) { BackSounds->Random = on; });
}

QString TLecternForm::SoundDirectory() const { return GetProgramDirectory() + QStringLiteral("BackSounds/"); }

QString TLecternForm::SoundTitleToPath(const QString &title) const
{
    const TProfilePlaces places = ProfilePlaces();
    return ResolveProfileFileName(title, places.IsDefaultProfile ? QString() : places.ProfileDirectory,
                                  places.SoundDirectory);
}

QString TLecternForm::SoundPathToTitle(const QString &path) const
{
    const TProfilePlaces places = ProfilePlaces();
    return ShortProfileFileName(path, places.ProfileDirectory, places.IsDefaultProfile, places.SoundDirectory);
}

void TLecternForm::ShowBackSounds()
{
    const TBackSound &sound = BackSounds->Sound(0);
    TBackSoundGroupBox *g = BackSoundGroupBox;
    g->Form.UseBackSoundCheckBox->setChecked(BackSounds->Use);
    g->Form.RandomBackSoundCheckBox->setChecked(BackSounds->Random);
    g->Form.TitleBackSoundEdit->setText(sound.File);
    g->ShowNumbers(sound.Vol, sound.Dur, sound.Prob);
}

void TLecternForm::ChangeBackSoundTitle(const QString &text)
{
    QLineEdit *edit = BackSoundGroupBox->Form.TitleBackSoundEdit;
    if (BackSounds->Count() > 0) {
        edit->setText(SoundPathToTitle(text));
        edit->setCursorPosition(0);
    }
    BackSounds->ChangeBackSoundTitle(edit->text());
}

void TLecternForm::StartBackSound() { ChangeBackSoundTitle(BackSoundGroupBox->Form.TitleBackSoundEdit->text()); }

void TLecternForm::StopBackSound()
{
    if (BackSounds)
        BackSounds->StopBackSound();
}

void TLecternForm::RestartBackSound() { BackSounds->PlayBackSoundIndex(BackSounds->CurrentIndex()); }

void TLecternForm::BackSoundTick() { BackSounds->AdvanceBackSound(); }

void TLecternForm::FinishBackSounds()
{
    if (BackSounds)
        BackSounds->Finish();
}

void TLecternForm::UseBackSoundCheckBoxClick()
{
    BackSounds->Use = BackSoundGroupBox->Form.UseBackSoundCheckBox->isChecked();
    StartBackSound();
}

void TLecternForm::TitleBackSoundEditExit() { StartBackSound(); }

void TLecternForm::VolumeBackSoundComboBoxChange()
{
    const int volume = BackSoundGroupBox->Volume();
    BackSounds->Sound(0).Vol = volume;
    BackSounds->SetWaveVolume(volume * 0.001);
}

void TLecternForm::DurationBackSoundComboBoxChange() { BackSounds->Sound(0).Dur = BackSoundGroupBox->Duration(); }

void TLecternForm::ProbabilityBackSoundComboBoxChange()
{
    BackSounds->Sound(0).Prob = BackSoundGroupBox->Probability();
}

void TLecternForm::ChangeBackSoundButtonMouseDown(TShiftState shift)
{
    FUN_BEGIN("TLecternForm::ChangeBackSoundButtonMouseDown");
    try {
        QString start;
        if (HasOnlyModifier(shift, ssCtrl))
            start = SoundDirectory() + QLatin1Char('*');
        else if (HasOnlyModifier(shift, ssShift))
            start = (CurrentBookPath.isEmpty() ? QString() : DirectoryOfFile(CurrentBookPath)) + QLatin1Char('*');
        else
            start = SoundTitleToPath(BackSoundGroupBox->Form.TitleBackSoundEdit->text());
        const QString chosen = OpenFileDialog(start, SoundFilter, QStringLiteral("Load sound"));
        if (!chosen.isEmpty())
            ChangeBackSoundTitle(chosen);
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to change sound."));
    FocusRichBox();
}

void TLecternForm::RunBackSoundButtonClick()
{
    FUN_BEGIN("TLecternForm::RunBackSoundButtonClick");
    try {
        if (!RunFile(SoundTitleToPath(BackSoundGroupBox->Form.TitleBackSoundEdit->text()), QString(), QString(), false,
                     false))
            FUN_ADOPT();
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to run sound."));
    FocusRichBox();
}
