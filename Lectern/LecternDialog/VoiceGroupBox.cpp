#include "VoiceGroupBox.h"

#include "TextParsers.h"

#include <QSignalBlocker>

#include <algorithm>

const QString TVoiceGroupBox::BookLanguageItem = QStringLiteral("Book's language");

namespace {

void FillNumbers(QComboBox *combo, int first, int last, int step, int current)
{
    for (int v = first; v <= last; v += step)
        combo->addItem(QString::number(v));
    combo->setCurrentText(QString::number(current));
}

} // namespace

TVoiceGroupBox::TVoiceGroupBox(QWidget *parent) : QGroupBox(parent)
{
    Form.setupUi(this);
    FillNumbers(Form.SpeechRateComboBox, -100, 100, 10, 0);
    FillNumbers(Form.SpeechPitchComboBox, -100, 100, 10, 0);
    FillNumbers(Form.SpeechVolumeComboBox, 0, 100, 10, 100);
    for (QComboBox *combo : {Form.SpeechRateComboBox, Form.SpeechPitchComboBox, Form.SpeechVolumeComboBox})
        combo->setMinimumContentsLength(4);
    Form.VoiceComboBox->addItem(BookLanguageItem, QString());
    Form.VoiceComboBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Form.VoiceComboBox->setMinimumContentsLength(10);
    Form.SpeechEngineComboBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Form.SpeechEngineComboBox->setMinimumContentsLength(6);
    Form.ReadAloudButton->setFocusPolicy(Qt::NoFocus);
    Form.VoiceInUseLabel->hide(); // until a reading has chosen its voice
    // The button's pressed look follows the reading, not the click.
    connect(Form.ReadAloudButton, &QPushButton::clicked, this, [this](bool) {
        Form.ReadAloudButton->setChecked(!Form.ReadAloudButton->isChecked());
        emit ReadAloudClicked();
    });
    connect(Form.SpeechEngineComboBox, &QComboBox::activated, this, [this] {
        VoicesListed = false;
        EverydayEngine = false;
        emit EngineChanged();
    });
    connect(Form.VoiceComboBox, &TVoiceComboBox::PopupAboutToShow, this, [this] {
        if (!VoicesListed)
            emit VoicesWanted();
    });
}

TProfileVoice TVoiceGroupBox::Options() const
{
    TProfileVoice options;
    // The everyday engine stays unnamed until the reader names one.
    if (!EverydayEngine || Form.SpeechEngineComboBox->currentIndex() != 0)
        options.Engine = Form.SpeechEngineComboBox->currentText();
    options.Voice = Form.VoiceComboBox->currentData().toString();
    options.Rate = GetIntFromText(Form.SpeechRateComboBox->currentText(), -100, 100, 0);
    options.Pitch = GetIntFromText(Form.SpeechPitchComboBox->currentText(), -100, 100, 0);
    options.Volume = GetIntFromText(Form.SpeechVolumeComboBox->currentText(), 0, 100, 100);
    return options;
}

void TVoiceGroupBox::ShowOptions(const TProfileVoice &options)
{
    QComboBox *engines = Form.SpeechEngineComboBox;
    EverydayEngine = options.Engine.isEmpty();
    const QString engine = EverydayEngine ? engines->itemText(0) : options.Engine;
    if (engines->currentText() != engine) {
        if (engines->findText(engine) < 0)
            engines->addItem(engine);
        engines->setCurrentText(engine);
        VoicesListed = false;
    }
    SelectVoice(options.Voice);
    Form.SpeechRateComboBox->setCurrentText(QString::number(options.Rate));
    Form.SpeechPitchComboBox->setCurrentText(QString::number(options.Pitch));
    Form.SpeechVolumeComboBox->setCurrentText(QString::number(options.Volume));
}

void TVoiceGroupBox::SetEngines(const QStringList &names)
{
    const QString current = Form.SpeechEngineComboBox->currentText();
    Form.SpeechEngineComboBox->clear();
    Form.SpeechEngineComboBox->addItems(names);
    if (!current.isEmpty()) {
        if (Form.SpeechEngineComboBox->findText(current) < 0)
            Form.SpeechEngineComboBox->addItem(current);
        Form.SpeechEngineComboBox->setCurrentText(current);
    }
}

void TVoiceGroupBox::SetVoices(const QVector<TSpeechVoice> &voices, QLocale::Language bookLanguage)
{
    const QString current = Form.VoiceComboBox->currentData().toString();
    QVector<TSpeechVoice> own;
    QVector<TSpeechVoice> others;
    for (const TSpeechVoice &voice : voices) {
        if (voice.Locale.language() == bookLanguage)
            own.append(voice);
        else if (!voice.Name.contains(QLatin1Char('+'))) // espeak's variants of a voice
            others.append(voice);
    }
    auto byName
        = [](const TSpeechVoice &a, const TSpeechVoice &b) { return QString::localeAwareCompare(a.Name, b.Name) < 0; };
    std::sort(own.begin(), own.end(), byName);
    std::sort(others.begin(), others.end(), byName);

    const QSignalBlocker blocker(Form.VoiceComboBox);
    Form.VoiceComboBox->clear();
    Form.VoiceComboBox->addItem(BookLanguageItem, QString());
    for (const QVector<TSpeechVoice> *list : {&own, &others})
        for (const TSpeechVoice &voice : *list)
            Form.VoiceComboBox->addItem(voice.Name, voice.Name);
    VoicesListed = true;
    SelectVoice(current);
}

void TVoiceGroupBox::SelectVoice(const QString &name)
{
    QComboBox *combo = Form.VoiceComboBox;
    int index = combo->findData(name);
    if (index < 0) {
        combo->addItem(name, name);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
}

void TVoiceGroupBox::SetReading(bool reading) { Form.ReadAloudButton->setChecked(reading); }

void TVoiceGroupBox::ShowVoiceInUse(const QString &voice, QLocale::Language language)
{
    QString text = QStringLiteral("Read by ") + voice;
    if (language != QLocale::AnyLanguage)
        text += QStringLiteral("; the book seems written in ") + QLocale::languageToString(language);
    Starting = false;
    Form.VoiceInUseLabel->setText(text);
    Form.VoiceInUseLabel->show();
}

void TVoiceGroupBox::ShowEngineStarting()
{
    Starting = true;
    Form.VoiceInUseLabel->setText(
        QStringLiteral("Starting the speech engine. The first time, listing its voices can take a while."));
    Form.VoiceInUseLabel->show();
}

void TVoiceGroupBox::HideEngineStarting()
{
    if (!Starting)
        return;
    Starting = false;
    Form.VoiceInUseLabel->clear();
    Form.VoiceInUseLabel->hide();
}
