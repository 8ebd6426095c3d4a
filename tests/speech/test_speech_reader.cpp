// Reading aloud without a window: the text of an enhanced document as the
// voice reads it, the reader's queue and marks, the crossing into the next
// piece, and the engine's failures (each one message, never a hang), with
// the recording stand-in for the voice.
#include <QtTest>

#include "EnhancedDocument.h"
#include "Profile.h"
#include "SpeechReader.h"
#include "SpeechText.h"
#include "StoredTextList.h"

namespace {

QStringList Texts(const QVector<TRecordingSpeechEngine::TSpoken> &spoken)
{
    QStringList texts;
    for (const auto &s : spoken)
        texts << s.Text;
    return texts;
}

struct TReaderFixture {
    TReaderFixture()
    {
        Engine.VoiceList = {{"English (America)", QLocale(QLocale::English, QLocale::UnitedStates)},
                            {"French (France)", QLocale(QLocale::French, QLocale::France)}};
        Reader.SetEngine(&Engine);
        Reader.OnSentence = [this](int start, int length) { Marked << Document.GetTextRange(start, start + length); };
        Reader.OnFinished = [this] { ++Finished; };
        Reader.OnMessage = [this](const QString &message) { Messages << message; };
    }

    void Start(int position = 0)
    {
        TReadingRequest request;
        request.Document = &Document;
        request.Position = position;
        Reader.Start(request);
    }

    TRichDocument Document;
    TRecordingSpeechEngine Engine;
    TSpeechReader Reader;
    QStringList Marked;
    QStringList Messages;
    int Finished = 0;
};

const QStringList Story = {
    "Mr. Darcy came in. He sat down by the fire.", "", "It was late. The rain fell. Nobody spoke.", "",
    "\"Stop!\" he cried. She left the room.",
};

} // namespace

class TestSpeechReader : public QObject {
    Q_OBJECT
private slots:
    void TextOfTheDocument();
    void PrefixHeadingsAndHiddenText();
    void SeekStartsAtTheSentenceHoldingThePosition();
    void QueueStaysAheadAndMarksFollowTheVoice();
    void StopSilencesWithoutMessage();
    void FailuresGiveOneMessage_data();
    void FailuresGiveOneMessage();
    void EngineThatNeverAnswersIsGivenUp();
    void BrokenEngineIsGivenUp_data();
    void BrokenEngineIsGivenUp();
    void BreakdownBetweenReadingsIsSilent();
    void LateVoiceIsAskedWhetherItIsThere();
    void LateReportsOfAnEarlierReading();
    void FirstSentenceAfterAPieceIsWatched();
    void CrossingIntoTheNextPiece_data();
    void CrossingIntoTheNextPiece();
    void EndOfTheBookFinishes();
    void VoiceOptionsInTheProfile_data();
    void VoiceOptionsInTheProfile();
};

void TestSpeechReader::TextOfTheDocument()
{
    TRichDocument document;
    Enhance(document, Story);
    QCOMPARE(SpokenSentences(document, QString()),
             (QStringList{"Mr. Darcy came in.", "He sat down by the fire.", "It was late.", "The rain fell.",
                          "Nobody spoke.", "\"Stop!\" he cried.", "She left the room."}));
    // Every sentence knows its place in the rich-box.
    TSpeechText text(&document, QString(), 0xFFFFFF);
    text.Seek(0);
    TSpokenSentence sentence;
    while (text.Next(sentence))
        QCOMPARE(document.GetTextRange(sentence.Start, sentence.Start + sentence.Length), sentence.Text);
    QVERIFY(!text.AtEndMarker());
}

void TestSpeechReader::PrefixHeadingsAndHiddenText()
{
    TRichDocument document;
    Enhance(document,
            {"CHAPTER I", "", "The first day began.", "", "^FC=White+", "A line nobody sees.", "", "Then the second.",
             "", "Chapter II", "", "More days."},
            QString::fromUtf8("· "));
    TSpeechText text(&document, QString::fromUtf8("· "), 0xFFFFFF);
    text.Seek(0);
    QStringList spoken;
    QList<int> pauses;
    QList<bool> headings;
    TSpokenSentence sentence;
    while (text.Next(sentence)) {
        spoken << sentence.Text;
        pauses << sentence.PauseBefore;
        headings << sentence.Heading;
    }
    QCOMPARE(spoken,
             (QStringList{"CHAPTER I", "The first day began.", "Then the second.", "Chapter II", "More days."}));
    const int pause = TSpeechText::HeadingPause;
    QCOMPARE(pauses, (QList<int>{0, pause, 0, pause, pause}));
    QCOMPARE(headings, (QList<bool>{true, false, false, true, false}));
}

void TestSpeechReader::SeekStartsAtTheSentenceHoldingThePosition()
{
    TRichDocument document;
    Enhance(document, Story);
    const QString all = document.GetText();
    TSpeechText text(&document, QString(), 0xFFFFFF);
    TSpokenSentence sentence;
    // Inside a sentence, in the spaces after one, inside the empty line.
    const QList<QPair<QString, QString>> cases = {
        {"down by", "He sat down by the fire."},
        {" He sat", "He sat down by the fire."},
        {"\r\n\r\nIt was", "It was late."},
        {"left the", "She left the room."},
    };
    for (const auto &c : cases) {
        text.Seek(int(all.indexOf(c.first)) + 1);
        QVERIFY(text.Next(sentence));
        QCOMPARE(sentence.Text, c.second);
    }
}

void TestSpeechReader::QueueStaysAheadAndMarksFollowTheVoice()
{
    TReaderFixture f;
    Enhance(f.Document, Story);
    f.Reader.Ahead = 2;
    f.Start();
    QVERIFY(f.Reader.IsReading());
    QCOMPARE(f.Engine.Starts, 1);
    QCOMPARE(f.Engine.Settings.Voice, QStringLiteral("English (America)"));
    // The first sentence and two more, before the voice has begun.
    QCOMPARE(Texts(f.Engine.Queue), (QStringList{"Mr. Darcy came in.", "He sat down by the fire.", "It was late."}));
    QVERIFY(f.Marked.isEmpty());

    QVERIFY(f.Engine.BeginNext());
    QCOMPARE(f.Marked, QStringList{"Mr. Darcy came in."});
    QVERIFY(f.Engine.FinishCurrent());
    QCOMPARE(f.Engine.Queue.size(), 3); // one more handed as one was done
    QCOMPARE(f.Engine.Queue.last().Text, QStringLiteral("The rain fell."));

    f.Engine.SpeakAll();
    QCOMPARE(f.Marked.size(), 7);
    QCOMPARE(f.Marked.last(), QStringLiteral("She left the room."));
    QCOMPARE(f.Finished, 1);
    QVERIFY(!f.Reader.IsReading());
    QVERIFY(f.Messages.isEmpty());
    // Ids grow in the order of the text.
    for (int i = 1; i < f.Engine.Spoken.size(); ++i)
        QVERIFY(f.Engine.Spoken[i].Id > f.Engine.Spoken[i - 1].Id);
}

void TestSpeechReader::StopSilencesWithoutMessage()
{
    TReaderFixture f;
    Enhance(f.Document, Story);
    f.Start();
    f.Engine.BeginNext();
    f.Reader.Stop();
    QVERIFY(!f.Reader.IsReading());
    QCOMPARE(f.Engine.Stops, 1);
    QVERIFY(f.Engine.Queue.isEmpty());
    QCOMPARE(f.Finished, 1);
    QVERIFY(f.Messages.isEmpty());
    // Late reports of the engine change nothing.
    QVERIFY(!f.Engine.FinishCurrent());
    f.Engine.OnDone(1);
    QCOMPARE(f.Finished, 1);
}

void TestSpeechReader::FailuresGiveOneMessage_data()
{
    QTest::addColumn<QString>("startFailure");
    QTest::addColumn<bool>("voices");
    QTest::addColumn<bool>("failWhileReading");
    QTest::addColumn<QString>("message");
    QTest::newRow("no engine") << NoVoiceMessage << true << false << NoVoiceMessage;
    QTest::newRow("the engine's own reason")
        << "Connection to speech-dispatcher failed" << true << false << "Connection to speech-dispatcher failed";
    QTest::newRow("no voice") << QString() << false << false << NoVoiceMessage;
    QTest::newRow("the voice breaks down") << QString() << true << true << "No audio device available";
}

void TestSpeechReader::FailuresGiveOneMessage()
{
    QFETCH(QString, startFailure);
    QFETCH(bool, voices);
    QFETCH(bool, failWhileReading);
    QFETCH(QString, message);
    TReaderFixture f;
    Enhance(f.Document, Story);
    f.Engine.StartFailure = startFailure;
    if (!voices)
        f.Engine.VoiceList.clear();
    f.Start();
    if (failWhileReading) {
        QVERIFY(f.Engine.BeginNext());
        // An engine in trouble reports it for every sentence it was given.
        for (int i = 0; i < 3; ++i)
            f.Engine.OnFailed(message);
    }
    QCOMPARE(f.Messages, QStringList{message});
    QVERIFY(!f.Reader.IsReading());
    QCOMPARE(f.Finished, 1);
    QVERIFY(f.Engine.Queue.isEmpty());
}

void TestSpeechReader::EngineThatNeverAnswersIsGivenUp()
{
    TReaderFixture f;
    Enhance(f.Document, Story);
    // It never answers the start.
    f.Engine.AnswerStartAtOnce = false;
    f.Reader.StartTimeout = 50;
    f.Start();
    QVERIFY(f.Reader.IsReading());
    QTRY_COMPARE(f.Messages.size(), 1);
    QVERIFY(!f.Reader.IsReading());
    f.Engine.AnswerStart(); // too late: nothing more happens
    QCOMPARE(f.Messages.size(), 1);
    QCOMPARE(f.Engine.State(), TSpeechEngineState::Failed); // given up

    // It takes the sentences and never says them (no sound device).
    f.Engine.AnswerStartAtOnce = true; // the engine started anew answers
    f.Reader.BaseTime = 30;
    f.Reader.TimePerCharacter = 1;
    f.Start();
    QVERIFY(f.Engine.BeginNext());
    QTRY_COMPARE(f.Messages.size(), 2);
    QVERIFY(!f.Reader.IsReading());
    QTest::qWait(100);
    QCOMPARE(f.Messages.size(), 2);
}

namespace {

// The ways an engine breaks down.
enum class TBreakdown {
    AtStart, // Failed as soon as it is started
    NeverStarts, // never answers the start
    AsConfigured, // breaks down as the voice is set up
    AtFirstSentence, // as the first sentence is handed
    AtLaterSentence, // as a sentence is handed after the first was said
    MidSentence, // while it says a sentence
    NeverFinishes, // begins a sentence and never ends it
    NeverBegins, // takes the sentences and says nothing
};

} // namespace

void TestSpeechReader::BrokenEngineIsGivenUp_data()
{
    QTest::addColumn<TBreakdown>("breakdown");
    QTest::addColumn<QString>("message"); // how it begins
    QTest::addColumn<int>("marked");
    const QString engine = QStringLiteral("Text synthesizing failure.");
    QTest::newRow("failed at start") << TBreakdown::AtStart << "Connection to speech-dispatcher failed" << 0;
    QTest::newRow("never starts") << TBreakdown::NeverStarts << "The speech engine does not start" << 0;
    QTest::newRow("dies as it is configured") << TBreakdown::AsConfigured << engine << 0;
    QTest::newRow("error at the first sentence") << TBreakdown::AtFirstSentence << engine << 0;
    QTest::newRow("error at a later sentence") << TBreakdown::AtLaterSentence << engine << 1;
    QTest::newRow("error mid-sentence") << TBreakdown::MidSentence << engine << 1;
    QTest::newRow("never finishes") << TBreakdown::NeverFinishes << NoAnswerMessage << 1;
    QTest::newRow("never begins") << TBreakdown::NeverBegins << NoAnswerMessage << 0;
}

void TestSpeechReader::BrokenEngineIsGivenUp()
{
    QFETCH(TBreakdown, breakdown);
    QFETCH(QString, message);
    QFETCH(int, marked);
    TReaderFixture f;
    Enhance(f.Document, Story);
    f.Reader.StartTimeout = 40;
    f.Reader.BaseTime = 30;
    f.Reader.TimePerCharacter = 1;
    switch (breakdown) {
    case TBreakdown::AtStart: f.Engine.StartFailure = message; break;
    case TBreakdown::NeverStarts: f.Engine.AnswerStartAtOnce = false; break;
    case TBreakdown::AsConfigured: f.Engine.ConfigureFailure = message; break;
    case TBreakdown::AtFirstSentence: f.Engine.SpeakFailsAt = 1; break;
    case TBreakdown::AtLaterSentence: f.Engine.SpeakFailsAt = 4; break;
    default: break;
    }
    f.Start();
    switch (breakdown) {
    case TBreakdown::AtLaterSentence:
        QVERIFY(f.Engine.BeginNext());
        QVERIFY(f.Engine.FinishCurrent()); // the one handed next breaks it
        break;
    case TBreakdown::MidSentence:
        QVERIFY(f.Engine.BeginNext());
        f.Engine.BreakDown(message);
        break;
    case TBreakdown::NeverFinishes: QVERIFY(f.Engine.BeginNext()); break;
    default: break;
    }
    QTRY_COMPARE(f.Messages.size(), 1);
    QVERIFY2(f.Messages.first().startsWith(message), qPrintable(f.Messages.first()));
    QVERIFY(!f.Reader.IsReading());
    QCOMPARE(f.Finished, 1);
    QCOMPARE(f.Marked.size(), marked);
    // Given up: asked nothing more, and nothing it does later counts.
    QCOMPARE(f.Engine.State(), TSpeechEngineState::Failed);
    QCOMPARE(f.Engine.CallsWhenBroken, 0);
    QVERIFY(f.Engine.Queue.isEmpty());
    if (f.Engine.OnFailed)
        f.Engine.OnFailed(message);
    if (f.Engine.OnDone)
        f.Engine.OnDone(1);
    QTest::qWait(80); // past every watch
    QCOMPARE(f.Messages.size(), 1);
    QCOMPARE(f.Finished, 1);
    QCOMPARE(f.Engine.CallsWhenBroken, 0);

    // The next reading starts the engine anew (in the window: a new engine)
    // and reads the whole story.
    const int starts = f.Engine.Starts;
    f.Engine.StartFailure.clear();
    f.Engine.AnswerStartAtOnce = true;
    f.Engine.ConfigureFailure.clear();
    f.Engine.SpeakFailsAt = 0;
    f.Marked.clear();
    f.Start();
    QCOMPARE(f.Engine.Starts, starts + 1);
    QVERIFY(f.Reader.IsReading());
    f.Engine.SpeakAll();
    QCOMPARE(f.Marked.size(), 7);
    QCOMPARE(f.Finished, 2);
    QCOMPARE(f.Messages.size(), 1);
}

void TestSpeechReader::BreakdownBetweenReadingsIsSilent()
{
    TReaderFixture f;
    Enhance(f.Document, Story);
    f.Start();
    f.Engine.SpeakAll();
    QCOMPARE(f.Finished, 1);
    // speech-dispatcher goes while nothing is read: no message, but the
    // engine is given up, so the next reading does not use it as it was.
    f.Engine.BreakDown(QStringLiteral("Connection lost"));
    QVERIFY(f.Messages.isEmpty());
    QCOMPARE(f.Engine.Abandons, 1);
    QCOMPARE(f.Engine.State(), TSpeechEngineState::Failed);
    f.Start();
    QCOMPARE(f.Engine.Starts, 2);
    QCOMPARE(f.Engine.CallsWhenBroken, 0);
    QCOMPARE(f.Engine.SpeakAll(), 7);
    QVERIFY(f.Messages.isEmpty());
}

void TestSpeechReader::LateVoiceIsAskedWhetherItIsThere()
{
    TReaderFixture f;
    Enhance(f.Document, Story);
    // On time: never asked.
    f.Start();
    f.Engine.SpeakAll();
    QCOMPARE(f.Engine.Checks, 0);

    // Late with a sentence, long before the watch gives it up: asked again
    // and again, and reading on while it answers.
    f.Reader.BaseTime = 60000;
    f.Reader.CheckTime = 10;
    f.Reader.CheckPerCharacter = 0;
    f.Reader.CheckInterval = 10;
    f.Start();
    QVERIFY(f.Engine.BeginNext());
    QTRY_VERIFY(f.Engine.Checks >= 3);
    QVERIFY(f.Reader.IsReading());
    QVERIFY(f.Messages.isEmpty());
    // speech-dispatcher goes: the next question finds it out.
    f.Engine.Gone = true;
    QTRY_COMPARE_WITH_TIMEOUT(f.Messages, QStringList{NoAnswerMessage}, 2000);
    QVERIFY(!f.Reader.IsReading());
    const int checks = f.Engine.Checks;
    QTest::qWait(60);
    QCOMPARE(f.Engine.Checks, checks);
    QCOMPARE(f.Engine.CallsWhenBroken, 0);
}

void TestSpeechReader::LateReportsOfAnEarlierReading()
{
    TReaderFixture f;
    Enhance(f.Document, Story);
    f.Start();
    QVERIFY(f.Engine.BeginNext());
    f.Reader.Stop();
    f.Start();
    // The voice reports the sentence of the reading that was stopped.
    f.Engine.OnBegun(1);
    f.Engine.OnDone(1);
    QCOMPARE(f.Engine.SpeakAll(), 7);
    QCOMPARE(f.Marked.size(), 8); // one from the first reading, then all
    QCOMPARE(f.Marked.last(), QStringLiteral("She left the room."));
    QCOMPARE(f.Finished, 2);
    QVERIFY(f.Messages.isEmpty());
}

void TestSpeechReader::FirstSentenceAfterAPieceIsWatched()
{
    // The reading starts on a sentence the piece's end cuts: it is said
    // from the next piece, and a voice that never begins it is noticed.
    TReaderFixture f;
    Enhance(f.Document, {"He walked into the ro", "", "***** End of Piece 1 / 2 *****"});
    f.Reader.OnEndOfText = [&] {
        f.Document.Clear();
        Enhance(f.Document, {"o the room. She sat down.", "", "***** End of Book *****"});
        return true;
    };
    f.Reader.BaseTime = 30;
    f.Reader.TimePerCharacter = 1;
    f.Start();
    QCOMPARE(Texts(f.Engine.Queue), (QStringList{"He walked into the room.", "She sat down."}));
    QTRY_COMPARE(f.Messages, QStringList{NoAnswerMessage});
    QVERIFY(!f.Reader.IsReading());
}

void TestSpeechReader::CrossingIntoTheNextPiece_data()
{
    QTest::addColumn<QStringList>("piece1");
    QTest::addColumn<QStringList>("piece2");
    QTest::addColumn<QStringList>("spoken");
    QTest::addColumn<QStringList>("marked");
    const QString end1 = QStringLiteral("***** End of Piece 1 / 2 *****");
    const QString end2 = QStringLiteral("***** End of Book *****");
    // The pieces repeat the bytes about the cut.
    QTest::newRow("cut inside a word") << QStringList{"The sky was grey. He walked into the ro", "", end1}
                                       << QStringList{"o the room. She sat down.", "", end2}
                                       << QStringList{"The sky was grey.", "He walked into the room.", "She sat down."}
                                       << QStringList{"The sky was grey.", "o the room.", "She sat down."};
    QTest::newRow("cut after a sentence")
        << QStringList{"The sky was grey. He walked in.", "", end1} << QStringList{"walked in. She sat down.", "", end2}
        << QStringList{"The sky was grey.", "He walked in.", "She sat down."}
        << QStringList{"The sky was grey.", "He walked in.", "She sat down."};
    QTest::newRow("repeat longer than the cut sentence")
        << QStringList{"He walked into the room. He sa", "", end1}
        << QStringList{"nto the room. He said nothing. Night came.", "", end2}
        << QStringList{"He walked into the room.", "He said nothing.", "Night came."}
        << QStringList{"He walked into the room.", "He said nothing.", "Night came."};
    QTest::newRow("pieces that do not meet")
        << QStringList{"It ended in the mid", "", end1} << QStringList{"A new start. Here.", "", end2}
        << QStringList{"It ended in the mid", "A new start.", "Here."} << QStringList{"A new start.", "Here."};
}

void TestSpeechReader::CrossingIntoTheNextPiece()
{
    QFETCH(QStringList, piece1);
    QFETCH(QStringList, piece2);
    QFETCH(QStringList, spoken);
    QFETCH(QStringList, marked);
    TReaderFixture f;
    Enhance(f.Document, piece1);
    int loads = 0;
    f.Reader.OnEndOfText = [&] {
        if (loads++ > 0)
            return false;
        f.Document.Clear();
        Enhance(f.Document, piece2);
        return true;
    };
    f.Start();
    f.Engine.SpeakAll();
    QCOMPARE(Texts(f.Engine.Spoken), spoken);
    QCOMPARE(f.Marked, marked);
    QCOMPARE(loads, 1);
    QCOMPARE(f.Finished, 1);
}

void TestSpeechReader::EndOfTheBookFinishes()
{
    TReaderFixture f;
    Enhance(f.Document, {"He walked into the ro", "", "***** End of Book *****"});
    bool asked = false;
    f.Reader.OnEndOfText = [&] { return asked = true; };
    f.Start();
    f.Engine.SpeakAll();
    // The book's last words are said even without a stop after them.
    QCOMPARE(Texts(f.Engine.Spoken), QStringList{"He walked into the ro"});
    QVERIFY(!asked);
    QCOMPARE(f.Finished, 1);
}

void TestSpeechReader::VoiceOptionsInTheProfile_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("voice");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("volume");
    QTest::newRow("none") << QByteArray("[Profile_Main]\nFontSize=20\n") << QString() << 0 << 100;
    QTest::newRow("all") << QByteArray("[Profile_Voice]\nEngine=flite\nVoice=French (France)+Adam\nRate=-40\n"
                                       "Pitch=20\nVolume=70\n")
                         << "French (France)+Adam" << -40 << 70;
    QTest::newRow("out of range") << QByteArray("[Profile_Voice]\nVoice=\nRate=150\nVolume=-1\n") << QString() << 0
                                  << 100;
}

void TestSpeechReader::VoiceOptionsInTheProfile()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, voice);
    QFETCH(int, rate);
    QFETCH(int, volume);
    TStoredTextList list;
    list.LoadFromBytes(stored);
    TProfile profile;
    profile.Voice.Voice = QStringLiteral("left over from another profile");
    ReadProfile(list, profile);
    QCOMPARE(profile.Voice.Voice, voice);
    QCOMPARE(profile.Voice.Rate, rate);
    QCOMPARE(profile.Voice.Volume, volume);
    // Written and read again, nothing is lost.
    TStoredTextList again;
    WriteProfile(profile, again, TProfilePlaces());
    TProfile back;
    ReadProfile(again, back);
    QVERIFY(back.Voice == profile.Voice);
    QCOMPARE(back.FontSize, profile.FontSize);
}

QTEST_GUILESS_MAIN(TestSpeechReader)
#include "test_speech_reader.moc"
