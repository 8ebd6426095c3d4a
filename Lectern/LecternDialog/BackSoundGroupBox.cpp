#include "BackSoundGroupBox.h"

#include <array>

#include "ButtonClicks.h"
#include "TextParsers.h"

namespace {

// first..last by step, for each of the ranges.
void FillCombo(QComboBox *combo, std::initializer_list<std::array<int, 3>> ranges)
{
    for (const auto &r : ranges)
        for (int v = r[0]; v <= r[1]; v += r[2])
            combo->addItem(QString::number(v));
}

} // namespace

TBackSoundGroupBox::TBackSoundGroupBox(QWidget *parent) : QGroupBox(parent)
{
    Form.setupUi(this);
    FillCombo(Form.VolumeBackSoundComboBox, {{0, 50, 5}, {60, 100, 10}, {150, 1000, 50}});
    FillCombo(Form.DurationBackSoundComboBox, {{1, 10, 1}, {15, 100, 5}, {150, 300, 50}});
    FillCombo(Form.ProbabilityBackSoundComboBox, {{1, 10, 1}, {15, 100, 5}, {150, 300, 50}, {400, 1000, 100}});
    ShowNumbers(50, 5, 100);

    connect(Form.UseBackSoundCheckBox, &QCheckBox::clicked, this, &TBackSoundGroupBox::UseClicked);
    Form.TitleBackSoundEdit->installEventFilter(this);
    auto changed = [this](QComboBox *combo, void (TBackSoundGroupBox::*signal)()) {
        connect(combo, &QComboBox::currentTextChanged, this, [this, signal] {
            if (!Showing)
                emit(this->*signal)();
        });
    };
    changed(Form.VolumeBackSoundComboBox, &TBackSoundGroupBox::VolumeChanged);
    changed(Form.DurationBackSoundComboBox, &TBackSoundGroupBox::DurationChanged);
    changed(Form.ProbabilityBackSoundComboBox, &TBackSoundGroupBox::ProbabilityChanged);
    // The modifiers count as they were when the button went down.
    auto *clicks = new TButtonClicks(this);
    clicks->Watch(Form.ChangeBackSoundButton, 0);
    connect(clicks, &TButtonClicks::LeftClicked, this, [this](int, TShiftState shift) { emit LoadClicked(shift); });
    connect(Form.RunBackSoundButton, &QPushButton::clicked, this, &TBackSoundGroupBox::RunClicked);
}

int TBackSoundGroupBox::Volume() const
{
    return GetIntFromText(Form.VolumeBackSoundComboBox->currentText(), 0, 1000, 50);
}

int TBackSoundGroupBox::Duration() const
{
    return GetIntFromText(Form.DurationBackSoundComboBox->currentText(), 1, 500, 5);
}

int TBackSoundGroupBox::Probability() const
{
    return GetIntFromText(Form.ProbabilityBackSoundComboBox->currentText(), 1, 1000, 100);
}

void TBackSoundGroupBox::ShowNumbers(int volume, int duration, int probability)
{
    Showing = true;
    Form.VolumeBackSoundComboBox->setCurrentText(QString::number(volume));
    Form.DurationBackSoundComboBox->setCurrentText(QString::number(duration));
    Form.ProbabilityBackSoundComboBox->setCurrentText(QString::number(probability));
    Showing = false;
}

bool TBackSoundGroupBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Form.TitleBackSoundEdit && event->type() == QEvent::FocusOut)
        emit TitleEditExit();
    return QGroupBox::eventFilter(watched, event);
}
