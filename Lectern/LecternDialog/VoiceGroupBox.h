// The "Voice" group of the "Open" page: the button that reads the book
// aloud and the voice it reads with (engine, voice, rate, pitch, volume),
// which the profile keeps.
#pragma once

#include <QGroupBox>
#include <QLocale>

#include "Profile.h"
#include "SpeechEngine.h"
#include "VoiceComboBox.h"
#include "ui_VoiceGroupBox.h"

class TVoiceGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TVoiceGroupBox(QWidget *parent = nullptr);
    Ui::VoiceGroupBox Form;

    // The caption of the voice item that stands for "a voice for the book's
    // language" (an empty voice name in the profile).
    static const QString BookLanguageItem;

    // The options as the profile keeps them, and shown from it. A voice or
    // engine this machine lacks keeps its name, so the profile does not
    // lose it.
    TProfileVoice Options() const;
    void ShowOptions(const TProfileVoice &options);

    // The engines offered (the first is the everyday one).
    void SetEngines(const QStringList &names);
    // The voices of the chosen engine: those of the book's language first,
    // all of them; of the other languages, their plain voices.
    void SetVoices(const QVector<TSpeechVoice> &voices, QLocale::Language bookLanguage);
    bool HasVoices() const { return VoicesListed; }
    // The button stays pressed while the book is read.
    void SetReading(bool reading);
    // The voice of the reading and the book's language, below the options.
    void ShowVoiceInUse(const QString &voice, QLocale::Language language);
    // While the speech engine starts.
    void ShowEngineStarting();
    void HideEngineStarting();

signals:
    void ReadAloudClicked();
    // The reader chose another engine.
    void EngineChanged();
    // The voice list is about to open without the engine's voices in it.
    void VoicesWanted();

private:
    bool VoicesListed = false;
    bool EverydayEngine = true; // the profile names no engine
    bool Starting = false; // the label says the engine is starting
    // Selects the voice, adding it when the list lacks it.
    void SelectVoice(const QString &name);
};
