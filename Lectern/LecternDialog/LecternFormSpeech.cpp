// Reading aloud in the main window: F9 and the "Voice" group start and stop
// the reading at the first line shown; the sentence being spoken is marked
// and kept in view; the reading goes on into the next piece; Esc, another
// book and closing the window stop it.
#include "LecternForm.h"

#include <QComboBox>
#include <QPushButton>
#include <QScopedValueRollback>

#include "BookFile.h"
#include "BookSession.h"
#include "Dialogs.h"
#include "EnhancedRichEdit.h"
#include "LanguageGuess.h"
#include "ProgramOpenTabSheet.h"
#include "RichBox.h"
#include "RichEditOps.h"
#include "SpeechEngines.h"
#include "SpeechReader.h"
#include "SpokenSentenceView.h"
#include "VoiceGroupBox.h"

void TLecternForm::SetUpSpeech()
{
    VoiceGroupBox = ProgramOpenTabSheet->Form.VoiceGroupBox;
    VoiceGroupBox->SetEngines(SpeechEngineNames());
    SpeechEngineFactory = [](const QString &name) { return CreateSpeechEngine(name); };
    SpeechView = std::make_unique<TSpokenSentenceView>(RichEdit);
    SpeechReader = std::make_unique<TSpeechReader>();
    SpeechReader->OnSentence = [this](int start, int length) { SpeechView->Show(start, length); };
    SpeechReader->OnEndOfText = [this] { return ReadNextPiece(); };
    SpeechReader->OnFinished = [this] {
        SpeechView->Clear();
        VoiceGroupBox->SetReading(false);
        VoiceGroupBox->HideEngineStarting();
    };
    SpeechReader->OnMessage = [](const QString &message) { WarningDialog(message); };
    SpeechReader->OnEngineStarted = [this] {
        VoiceGroupBox->HideEngineStarting();
        if (SpeechEngine && SpeechEngine->State() == TSpeechEngineState::Ready)
            VoiceGroupBox->SetVoices(SpeechEngine->Voices(), BookLanguage());
    };
    SpeechReader->OnVoiceChosen
        = [this](const QString &voice, QLocale::Language language) { VoiceGroupBox->ShowVoiceInUse(voice, language); };

    connect(VoiceGroupBox, &TVoiceGroupBox::ReadAloudClicked, this, &TLecternForm::ReadAloudButtonClick);
    connect(VoiceGroupBox, &TVoiceGroupBox::EngineChanged, this, [this] {
        StopReading();
        SpeechEngineForOptions();
    });
    connect(VoiceGroupBox, &TVoiceGroupBox::VoicesWanted, this, [this] {
        TSpeechEngine *engine = SpeechEngineForOptions();
        if (engine->State() == TSpeechEngineState::Ready)
            VoiceGroupBox->SetVoices(engine->Voices(), BookLanguage());
        else if (engine->State() != TSpeechEngineState::Starting) {
            VoiceGroupBox->ShowEngineStarting();
            engine->Start();
        }
    });
}

TSpeechEngine *TLecternForm::SpeechEngineForOptions()
{
    const QString wanted = VoiceGroupBox->Options().Engine;
    // A failed engine is never used again (its connection may have died):
    // each try gets a new one.
    if (!SpeechEngine || SpeechEngine->State() == TSpeechEngineState::Failed
        || (!wanted.isEmpty() && SpeechEngine->Name() != wanted)) {
        SpeechReader->SetEngine(nullptr);
        SpeechEngine = SpeechEngineFactory(wanted);
        SpeechReader->SetEngine(SpeechEngine.get());
    }
    return SpeechEngine.get();
}

QLocale::Language TLecternForm::BookLanguage() const
{
    return GuessLanguage(LanguageSample(*RichEdit->RichDocument()));
}

void TLecternForm::SetReadingSlideMs(int ms) { SpeechView->SlideMs = ms; }

bool TLecternForm::IsReadingAloud() const { return SpeechReader->IsReading(); }

void TLecternForm::ReadAloudButtonClick()
{
    if (SpeechReader->IsReading()) {
        StopReading();
        FocusRichBox();
        return;
    }
    if (Loading || IsRichEditEmpty(RichEdit)) {
        FocusRichBox();
        return;
    }
    TReadingRequest request;
    request.Document = RichEdit->RichDocument();
    request.Position = FirstVisibleCharIndex(RichEdit);
    // Plain text carries the paragraph prefix of its enhancement.
    if (!IsRtfBookName(CurrentBookPath))
        request.Prefix = Engine->ParagraphPrefix;
    const QColor back = RichEdit->BackgroundColor();
    request.Background = back.isValid() ? FromQColor(back) : Profile.RichBoxBackColor;
    const TProfileVoice voice = VoiceGroupBox->Options();
    request.Voice = voice.Voice;
    request.RatePercent = voice.Rate;
    request.PitchPercent = voice.Pitch;
    request.VolumePercent = voice.Volume;
    TSpeechEngine *engine = SpeechEngineForOptions();
    VoiceGroupBox->SetReading(true);
    if (engine->State() != TSpeechEngineState::Ready)
        VoiceGroupBox->ShowEngineStarting();
    SpeechReader->Start(request);
    FocusRichBox();
}

void TLecternForm::StopReading()
{
    if (SpeechReader)
        SpeechReader->Stop();
}

bool TLecternForm::ReadNextPiece()
{
    const TPieceStep step = NextPieceStep(CurrentPiece(), PiecesComboBox->count());
    if (!step.Go)
        return false;
    SpeechView->Clear();
    const QScopedValueRollback<bool> reading(SpeechLoadingPiece, true);
    return LoadFromFile(QString(), step.Piece, false, 0);
}
