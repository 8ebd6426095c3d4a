// Reading aloud in the real main window, with the recording stand-in for
// the voice: F9 and the Voice group, the mark that leaves the book as it
// is, the page that follows, what stops the reading, the crossing into the
// next piece, the voice a book's profile keeps, and a machine without any
// engine.
#include <QtTest>

#include <QCheckBox>
#include <QRegularExpression>

#include "ProgramGeneralTabSheet.h"
#include "RememberFixture.h"
#include "SpeechEngine.h"
#include "SpokenSentenceView.h"
#include "VoiceGroupBox.h"

namespace {

struct TSpeechFixture : TRememberFixture {
    std::unique_ptr<TLecternForm> StartWithVoice()
    {
        auto form = Start();
        form->SpeechEngineFactory = [this](const QString &) {
            auto engine = std::make_unique<TRecordingSpeechEngine>();
            engine->VoiceList = {{"English (America)", QLocale(QLocale::English, QLocale::UnitedStates)},
                                 {"French (France)", QLocale(QLocale::French, QLocale::France)}};
            engine->StartFailure = StartFailure;
            engine->ConfigureFailure = ConfigureFailure;
            Engine = engine.get();
            ++Made;
            return engine;
        };
        return form;
    }

    static QString Marked(TLecternForm &form)
    {
        const QList<QTextEdit::ExtraSelection> marks = form.RichEdit->extraSelections();
        // The mark covers the page's text, which may hold soft hyphens the voice never hears.
        return marks.size() == 1 ? marks.first().cursor.selectedText().remove(QChar(0x00AD)) : QString();
    }

    static bool ShowsMark(TLecternForm &form)
    {
        const QList<QTextEdit::ExtraSelection> marks = form.RichEdit->extraSelections();
        if (marks.size() != 1)
            return false;
        const QRect caret = form.RichEdit->cursorRect(marks.first().cursor);
        return form.RichEdit->viewport()->rect().contains(caret);
    }

    TRecordingSpeechEngine *Engine = nullptr; // the last one made
    int Made = 0;
    QString StartFailure;
    QString ConfigureFailure;
};

QString FrenchBook()
{
    QString text;
    for (int i = 0; i < 30; ++i)
        text += QStringLiteral("Il était une fois une petite fille qui vivait dans la forêt avec sa mère. ");
    return text;
}

} // namespace

class TestSpeechWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TLecternForm::FirstActivation = false; }
    void readsFromTheTopLineAndStopsOnF9();
    void markLeavesTheBookAsItIs();
    void pageFollowsTheVoice();
    void escapeAndAnotherBookStop();
    void readingCrossesIntoTheNextPiece();
    void voiceOfTheBooksProfile();
    void noEngineGivesOneMessage();
    void brokenVoiceEndsReadingAndGetsANewEngine_data();
    void brokenVoiceEndsReadingAndGetsANewEngine();
    void followSentence_data();
    void followSentence();
};

void TestSpeechWindow::readsFromTheTopLineAndStopsOnF9()
{
    TSpeechFixture f;
    auto form = f.StartWithVoice();
    QVERIFY(form->OpenBook(f.WriteBook(QStringLiteral("Mill.txt"), 200), true));
    SetTopLine(form->RichEdit, 30);
    const int top = FirstVisibleCharIndex(form->RichEdit);
    QTest::keyClick(form->RichEdit, Qt::Key_F9);
    QVERIFY(form->IsReadingAloud());
    QVERIFY(f.Engine);
    QVERIFY(f.Engine->VoiceList.size() == 2 && f.Engine->Starts == 1);
    QVERIFY(form->findChild<TVoiceGroupBox *>()->Form.ReadAloudButton->isChecked());
    // The first sentence is the one at the top of the page.
    QVERIFY(!f.Engine->Queue.isEmpty());
    QCOMPARE(f.Engine->Queue.first().Text,
             form->RichEdit->RichDocument()->GetTextRange(top, top + int(f.Engine->Queue.first().Text.size())));
    QTest::keyClick(form->RichEdit, Qt::Key_F9);
    QVERIFY(!form->IsReadingAloud());
    QVERIFY(f.Engine->Queue.isEmpty());
    QVERIFY(!form->findChild<TVoiceGroupBox *>()->Form.ReadAloudButton->isChecked());
    QVERIFY(form->RichEdit->extraSelections().isEmpty());
    // The button does the same as the key.
    form->findChild<TVoiceGroupBox *>()->Form.ReadAloudButton->click();
    QVERIFY(form->IsReadingAloud());
    QCOMPARE(f.Engine->Starts, 1); // the engine stays started
    QCOMPARE(f.Dialogs.Boxes.size(), 0);
}

void TestSpeechWindow::markLeavesTheBookAsItIs()
{
    TSpeechFixture f;
    auto form = f.StartWithVoice();
    QVERIFY(form->OpenBook(f.WriteBook(QStringLiteral("Mill.txt"), 50), true));
    TRichDocument *document = form->RichEdit->RichDocument();
    const QString text = document->GetText();
    QByteArray rtf;
    QVERIFY(form->RichEdit->SaveRtf(&rtf));
    const int caret = document->SelectionStart();
    form->ReadAloudButtonClick();
    for (int i = 0; i < 3; ++i) {
        QVERIFY(f.Engine->BeginNext());
        QCOMPARE(f.Marked(*form), f.Engine->Queue.first().Text);
        QVERIFY(f.Engine->FinishCurrent());
    }
    QVERIFY(f.Engine->BeginNext());
    QVERIFY(!form->IsRichEditModified());
    QCOMPARE(document->GetText(), text);
    QCOMPARE(document->SelectionStart(), caret);
    QCOMPARE(document->SelectionLength(), 0);
    QByteArray marked;
    QVERIFY(form->RichEdit->SaveRtf(&marked));
    QCOMPARE(marked, rtf); // no format changed either
}

void TestSpeechWindow::pageFollowsTheVoice()
{
    TSpeechFixture f;
    auto form = f.StartWithVoice();
    QVERIFY(form->OpenBook(f.WriteBook(QStringLiteral("Mill.txt"), 200), true));
    SetTopLine(form->RichEdit, 0);
    form->ReadAloudButtonClick();
    // Far beyond the first page.
    for (int i = 0; i < 60; ++i) {
        QVERIFY(f.Engine->BeginNext());
        QVERIFY(f.Engine->FinishCurrent());
    }
    QVERIFY(f.Engine->BeginNext());
    QTRY_VERIFY(f.ShowsMark(*form));
    QVERIFY(GetFirstVisibleLine(form->RichEdit) > 20);
}

void TestSpeechWindow::escapeAndAnotherBookStop()
{
    TSpeechFixture f;
    auto form = f.StartWithVoice();
    QVERIFY(form->OpenBook(f.WriteBook(QStringLiteral("Mill.txt"), 20), true));
    form->ReadAloudButtonClick();
    QVERIFY(form->IsReadingAloud());
    QTest::keyClick(form->RichEdit, Qt::Key_Escape);
    QTRY_VERIFY(form->isMinimized());
    QVERIFY(!form->IsReadingAloud());
    form->showNormal();
    QTRY_VERIFY(!form->isMinimized());

    form->ReadAloudButtonClick();
    QVERIFY(form->IsReadingAloud());
    QVERIFY(f.Engine->BeginNext());
    QVERIFY(form->OpenBook(f.WriteBook(QStringLiteral("Other.txt"), 20), true));
    QVERIFY(!form->IsReadingAloud());
    QVERIFY(form->RichEdit->extraSelections().isEmpty());
    QCOMPARE(f.Dialogs.Boxes.size(), 0);
}

void TestSpeechWindow::readingCrossesIntoTheNextPiece()
{
    TSpeechFixture f;
    // Numbered sentences, one a line, over three pieces of 10000 bytes.
    QByteArray text;
    for (int i = 0; text.size() < 26000; ++i)
        text += "Sentence " + QByteArray::number(i).rightJustified(4, '0') + " runs on for a little while here.\n";
    const QString book = f.WriteFile(f.BooksDir + "Long.txt", text);
    auto form = f.StartWithVoice();
    form->OpenInPiecesCheckBox->setChecked(true);
    form->ProgramGeneralTabSheet->Form.PieceSizeComboBox->setCurrentText(QStringLiteral("10000"));
    QVERIFY(form->OpenBook(book, true));
    QCOMPARE(form->PiecesComboBox->count(), 3);
    ScrollToEnd(form->RichEdit);
    form->ReadAloudButtonClick();
    QStringList spoken;
    for (int i = 0; i < 400 && form->IsReadingAloud() && form->CurrentPiece() < 3; ++i) {
        QVERIFY(f.Engine->BeginNext());
        spoken << f.Engine->Queue.first().Text;
        QVERIFY(f.Engine->FinishCurrent());
    }
    QCOMPARE(form->CurrentPiece(), 3);
    QVERIFY(form->IsReadingAloud());
    // Each sentence once, none lost, none cut, across both joints.
    const QRegularExpression sentence(QStringLiteral("^Sentence (\\d{4}) runs on for a little while here\\.$"));
    int previous = -1;
    for (const QString &s : spoken) {
        const QRegularExpressionMatch m = sentence.match(s);
        QVERIFY2(m.hasMatch(), qPrintable(spoken.join(QLatin1Char('\n'))));
        const int n = m.captured(1).toInt();
        QVERIFY2(previous < 0 || n == previous + 1, qPrintable(s));
        previous = n;
    }
    QVERIFY(spoken.size() > 200);
    QCOMPARE(f.Dialogs.Boxes.size(), 0);
}

void TestSpeechWindow::voiceOfTheBooksProfile()
{
    TSpeechFixture f;
    const QString french = f.WriteFile(f.BooksDir + "Conte.txt", FrenchBook().toUtf8());
    f.WriteFile(f.BooksDir + "Conte.lcp", "[Profile_Voice]\nVoice=French (France)\nRate=30\nVolume=250\n");
    const QString english = f.WriteBook(QStringLiteral("Mill.txt"), 20);
    auto form = f.StartWithVoice();
    auto *voice = form->findChild<TVoiceGroupBox *>();
    QVERIFY(form->OpenBook(french, true));
    QCOMPARE(voice->Options().Voice, QStringLiteral("French (France)"));
    QCOMPARE(voice->Options().Rate, 30);
    QCOMPARE(voice->Options().Volume, 100); // out of range: the default
    form->ReadAloudButtonClick();
    QCOMPARE(f.Engine->Settings.Voice, QStringLiteral("French (France)"));
    QCOMPARE(f.Engine->Settings.Rate, 0.3);

    // Another book, with the default profile: a voice for its own language.
    QVERIFY(form->OpenBook(english, true));
    QCOMPARE(voice->Options().Voice, QString());
    form->ReadAloudButtonClick();
    QCOMPARE(f.Engine->Settings.Voice, QStringLiteral("English (America)"));
    QCOMPARE(f.Engine->Settings.Rate, 0.0);

    QVERIFY(form->OpenBook(french, true));
    QCOMPARE(voice->Options().Voice, QStringLiteral("French (France)"));
}

void TestSpeechWindow::noEngineGivesOneMessage()
{
    TSpeechFixture f;
    f.StartFailure = NoVoiceMessage;
    auto form = f.StartWithVoice();
    QVERIFY(form->OpenBook(f.WriteBook(QStringLiteral("Mill.txt"), 20), true));
    QTest::keyClick(form->RichEdit, Qt::Key_F9);
    QVERIFY(!form->IsReadingAloud());
    QCOMPARE(f.Dialogs.Boxes.size(), 1);
    QCOMPARE(f.Dialogs.Boxes.first().Text, NoVoiceMessage);
    QVERIFY(!form->findChild<TVoiceGroupBox *>()->Form.ReadAloudButton->isChecked());
    QVERIFY(f.Engine->Spoken.isEmpty());
}

void TestSpeechWindow::brokenVoiceEndsReadingAndGetsANewEngine_data()
{
    QTest::addColumn<QString>("startFailure");
    QTest::addColumn<QString>("configureFailure");
    QTest::addColumn<bool>("midSentence");
    const QString lost = QStringLiteral("Text synthesizing failure.");
    QTest::newRow("does not start") << "Connection to speech-dispatcher failed" << QString() << false;
    QTest::newRow("dies as it is set up") << QString() << lost << false;
    QTest::newRow("breaks down mid-sentence") << QString() << QString() << true;
}

void TestSpeechWindow::brokenVoiceEndsReadingAndGetsANewEngine()
{
    QFETCH(QString, startFailure);
    QFETCH(QString, configureFailure);
    QFETCH(bool, midSentence);
    TSpeechFixture f;
    f.StartFailure = startFailure;
    f.ConfigureFailure = configureFailure;
    auto form = f.StartWithVoice();
    auto *button = form->findChild<TVoiceGroupBox *>()->Form.ReadAloudButton;
    QVERIFY(form->OpenBook(f.WriteBook(QStringLiteral("Mill.txt"), 50), true));
    QTest::keyClick(form->RichEdit, Qt::Key_F9);
    const QString message
        = midSentence ? QStringLiteral("Text synthesizing failure.") : startFailure + configureFailure;
    if (midSentence) {
        QVERIFY(f.Engine->BeginNext());
        QVERIFY(!f.Marked(*form).isEmpty());
        f.Engine->BreakDown(message);
    }
    QVERIFY(!form->IsReadingAloud());
    QCOMPARE(f.Dialogs.Boxes.size(), 1);
    QCOMPARE(f.Dialogs.Boxes.first().Text, message);
    QVERIFY(!button->isChecked());
    QVERIFY(form->RichEdit->extraSelections().isEmpty());
    QCOMPARE(f.Engine->CallsWhenBroken, 0);
    QCOMPARE(f.Made, 1);

    // The next F9 reads with a new engine.
    f.StartFailure.clear();
    f.ConfigureFailure.clear();
    QTest::keyClick(form->RichEdit, Qt::Key_F9);
    QCOMPARE(f.Made, 2);
    QVERIFY(form->IsReadingAloud());
    QCOMPARE(f.Engine->Starts, 1);
    QVERIFY(f.Engine->BeginNext());
    QCOMPARE(f.Marked(*form), f.Engine->Queue.first().Text);
    QVERIFY(button->isChecked());
    QCOMPARE(f.Dialogs.Boxes.size(), 1);
}

void TestSpeechWindow::followSentence_data()
{
    QTest::addColumn<double>("sentenceTop");
    QTest::addColumn<double>("sentenceBottom");
    QTest::addColumn<double>("pageTop");
    // A page from 1000 to 1500 with lines every 20.
    QTest::newRow("in view") << 1100.0 << 1160.0 << 1000.0;
    QTest::newRow("runs past the bottom from high up") << 1200.0 << 1530.0 << 1040.0;
    QTest::newRow("runs past the bottom from low down") << 1400.0 << 1530.0 << 1400.0;
    QTest::newRow("below the page") << 1600.0 << 1640.0 << 1600.0;
    QTest::newRow("above the page") << 300.0 << 340.0 << 300.0;
    QTest::newRow("taller than the page") << 1100.0 << 1900.0 << 1100.0;
    QTest::newRow("past the end") << 9990.0 << 10000.0 << 5000.0;
}

void TestSpeechWindow::followSentence()
{
    QFETCH(double, sentenceTop);
    QFETCH(double, sentenceBottom);
    QFETCH(double, pageTop);
    auto lineTop = [](qreal y) { return std::ceil(y / 20) * 20; };
    QCOMPARE(FollowSentenceTop(1000, 500, 5000, sentenceTop, sentenceBottom, lineTop), pageTop);
}

QTEST_MAIN(TestSpeechWindow)
#include "test_speech_window.moc"
