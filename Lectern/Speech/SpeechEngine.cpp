#include "SpeechEngine.h"

#include <algorithm>

const QString NoVoiceMessage = QStringLiteral("No voice is installed: install speech-dispatcher and espeak-ng");
const QString NoAnswerMessage
    = QStringLiteral("The voice does not answer: the speech engine may have no sound device to play on, or may hang.");

void TRecordingSpeechEngine::Start()
{
    ++Starts;
    Broken = false;
    Abandoned = false;
    Queue.clear();
    Speaking = false;
    CurrentState = TSpeechEngineState::Starting;
    if (AnswerStartAtOnce)
        AnswerStart();
}

void TRecordingSpeechEngine::AnswerStart()
{
    if (Abandoned)
        return;
    CurrentState = StartFailure.isEmpty() ? TSpeechEngineState::Ready : TSpeechEngineState::Failed;
    if (OnStarted)
        OnStarted();
}

void TRecordingSpeechEngine::Configure(const TVoiceSettings &settings)
{
    if (Broken) {
        ++CallsWhenBroken;
        return;
    }
    Settings = settings;
    if (!ConfigureFailure.isEmpty())
        BreakDown(ConfigureFailure);
}

void TRecordingSpeechEngine::Speak(int id, const QString &text, int pauseBefore)
{
    if (Broken) {
        ++CallsWhenBroken;
        return;
    }
    Queue.append({id, text, pauseBefore});
    Spoken.append({id, text, pauseBefore});
    if (SpeakFailsAt > 0 && Spoken.size() == SpeakFailsAt)
        BreakDown(QStringLiteral("Text synthesizing failure."));
}

void TRecordingSpeechEngine::Stop()
{
    if (Broken)
        ++CallsWhenBroken;
    ++Stops;
    Queue.clear();
    Speaking = false;
}

void TRecordingSpeechEngine::CheckAnswers()
{
    if (Broken) {
        ++CallsWhenBroken;
        return;
    }
    ++Checks;
    if (Gone)
        BreakDown(NoAnswerMessage);
}

void TRecordingSpeechEngine::Abandon()
{
    ++Abandons;
    Broken = true;
    Abandoned = true;
    Queue.clear();
    Speaking = false;
    CurrentState = TSpeechEngineState::Failed;
}

void TRecordingSpeechEngine::BreakDown(const QString &message)
{
    if (Abandoned)
        return;
    Broken = true;
    Queue.clear();
    Speaking = false;
    CurrentState = TSpeechEngineState::Failed;
    if (OnFailed)
        OnFailed(message);
}

bool TRecordingSpeechEngine::BeginNext()
{
    if (Abandoned || Queue.isEmpty() || Speaking)
        return false;
    Speaking = true;
    if (OnBegun)
        OnBegun(Queue.first().Id);
    return true;
}

bool TRecordingSpeechEngine::FinishCurrent()
{
    if (Abandoned || Queue.isEmpty() || !Speaking)
        return false;
    Speaking = false;
    const int id = Queue.takeFirst().Id;
    if (OnDone)
        OnDone(id);
    return true;
}

int TRecordingSpeechEngine::SpeakAll(int limit)
{
    int count = 0;
    while (count < limit && (Speaking || BeginNext()) && FinishCurrent())
        ++count;
    return count;
}

TVoiceSettings VoiceSettingsFromPercent(const QString &voice, int ratePercent, int pitchPercent, int volumePercent)
{
    TVoiceSettings settings;
    settings.Voice = voice;
    settings.Rate = std::clamp(ratePercent, -100, 100) / 100.0;
    settings.Pitch = std::clamp(pitchPercent, -100, 100) / 100.0;
    settings.Volume = std::clamp(volumePercent, 0, 100) / 100.0;
    return settings;
}

int ChooseVoice(const QVector<TSpeechVoice> &voices, const QString &named, QLocale::Language bookLanguage,
                const QLocale &fallback)
{
    if (voices.isEmpty())
        return -1;
    const bool languageKnown = bookLanguage != QLocale::AnyLanguage && bookLanguage != QLocale::C;
    int namedVoice = -1;
    for (int i = 0; i < voices.size() && !named.isEmpty(); ++i)
        if (voices[i].Name == named)
            namedVoice = i;
    if (namedVoice >= 0 && (!languageKnown || voices[namedVoice].Locale.language() == bookLanguage))
        return namedVoice;

    // The best voice of a language: the language's main country, then a
    // plain voice rather than a variant.
    auto bestOf = [&voices](QLocale::Language language, QLocale::Territory preferred) {
        int best = -1;
        int bestScore = -1;
        for (int i = 0; i < voices.size(); ++i) {
            const TSpeechVoice &v = voices[i];
            if (v.Locale.language() != language)
                continue;
            const int score = (v.Locale.territory() == preferred ? 2 : 0) + (v.Name.contains(QLatin1Char('+')) ? 0 : 1);
            if (score > bestScore) {
                best = i;
                bestScore = score;
            }
        }
        return best;
    };
    if (languageKnown) {
        // The reader's own country when it speaks the language, else the
        // language's main one.
        const QLocale::Territory territory
            = fallback.language() == bookLanguage ? fallback.territory() : QLocale(bookLanguage).territory();
        const int best = bestOf(bookLanguage, territory);
        if (best >= 0)
            return best;
    }
    if (namedVoice >= 0)
        return namedVoice;
    const int own = bestOf(fallback.language(), fallback.territory());
    return own >= 0 ? own : 0;
}
