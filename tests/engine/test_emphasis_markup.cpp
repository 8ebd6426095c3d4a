// The book's own emphasis: _italic_ and *bold* markers found, taken out of
// the text and turned into runs, positions counting what is shown.
#include <QtTest>

#include "EmphasisMarkup.h"
#include "EngineTestHelpers.h"

namespace {

// The spans written back into the shown text: [italic] and {bold}.
QString Shown(const QString &text)
{
    QVector<EmphasisMarkup::TSpan> spans;
    QString shown = EmphasisMarkup::TakeMarkers(text, spans);
    QVector<QPair<int, QChar>> marks;
    for (const EmphasisMarkup::TSpan &span : std::as_const(spans)) {
        marks.append({span.Start, span.Bold ? QLatin1Char('{') : QLatin1Char('[')});
        marks.append({span.Start + span.Length, span.Bold ? QLatin1Char('}') : QLatin1Char(']')});
    }
    std::stable_sort(marks.begin(), marks.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    for (const auto &mark : std::as_const(marks))
        shown.insert(mark.first, mark.second);
    return shown;
}

TEnhancedRichEdit &EmphasisEngine(TEnhancedRichEdit &engine, bool on)
{
    SetTestBase(engine);
    engine.Choices.MarkupEmphasis = on;
    return engine;
}

} // namespace

class TestEmphasisMarkup : public QObject {
    Q_OBJECT
private slots:
    void Markers_data();
    void Markers();
    void MarkersTakenOutAreNamed();
    void ParagraphsGetRuns();
    void PositionsCountWhatIsShown();
    void OffKeepsTheMarkers();
};

void TestEmphasisMarkup::Markers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("italic word") << "the _Pequod_ sailed"
                                 << "the [Pequod] sailed";
    QTest::newRow("italic words") << "_Call me Ishmael._ Some"
                                  << "[Call me Ishmael.] Some";
    QTest::newRow("before punctuation") << "the _Pequod_, then"
                                        << "the [Pequod], then";
    QTest::newRow("in brackets") << "(_sic_)"
                                 << "([sic])";
    QTest::newRow("after a quote") << "\"_No_,\" he said"
                                   << "\"[No],\" he said";
    QTest::newRow("bold") << "a *very* big whale"
                          << "a {very} big whale";
    QTest::newRow("both") << "_one_ and *two*"
                          << "[one] and {two}";
    QTest::newRow("bold inside italic") << "_a *b* c_"
                                        << "[a {b} c]";
    QTest::newRow("crossing") << "_a *b_ c*"
                              << "[a *b] c*";
    QTest::newRow("snake_case") << "call snake_case now"
                                << "call snake_case now";
    QTest::newRow("dunder") << "the __init__ method"
                            << "the __init__ method";
    QTest::newRow("unmatched") << "a _lone marker"
                               << "a _lone marker";
    QTest::newRow("lone underscore") << "a _ b"
                                     << "a _ b";
    QTest::newRow("spaced asterisks") << "*  *  *"
                                      << "*  *  *";
    QTest::newRow("footnote star") << "the word* and more"
                                   << "the word* and more";
    QTest::newRow("arithmetic") << "5 * 3 * 2"
                                << "5 * 3 * 2";
    QTest::newRow("underline rule") << "____"
                                    << "____";
    QTest::newRow("second opener wins") << "_a _b_"
                                        << "_a [b]";
    QTest::newRow("accented") << QStringLiteral("_Über_ alles") << QStringLiteral("[Über] alles");
}

void TestEmphasisMarkup::Markers()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(Shown(text), shown);
}

void TestEmphasisMarkup::MarkersTakenOutAreNamed()
{
    QVector<EmphasisMarkup::TSpan> spans;
    QVector<int> removed;
    QCOMPARE(EmphasisMarkup::TakeMarkers(u"x _ab_ *c* y_z", spans, &removed), QStringLiteral("x ab c y_z"));
    QCOMPARE(removed, QVector<int>({2, 5, 7, 9}));
    QCOMPARE(spans.size(), 2);
    QCOMPARE(spans.at(0).Start, 2);
    QCOMPARE(spans.at(0).Length, 2);
    QVERIFY(!spans.at(0).Bold);
    QCOMPARE(spans.at(1).Start, 5);
    QCOMPARE(spans.at(1).Length, 1);
    QVERIFY(spans.at(1).Bold);
}

void TestEmphasisMarkup::ParagraphsGetRuns()
{
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    EmphasisEngine(engine, true);
    const QStringList texts = Enhance(engine, sink, L("The _Pequod_ was a *ship*|of \"_Nantucket_\"."));
    QCOMPARE(texts, QStringList({"The Pequod was a ship of \"Nantucket\"."}));
    const QVector<TFormatRun> &runs = sink.Paragraphs.at(0).Runs;
    // The emphasis first, then the quote colour over the text between the quotes.
    QCOMPARE(runs.size(), 4);
    QCOMPARE(runs.at(0).Start, 4);
    QCOMPARE(runs.at(0).Length, 6);
    QCOMPARE(runs.at(0).Format.Mask, CFM_ITALIC);
    QCOMPARE(runs.at(0).Format.Effects, CFE_ITALIC);
    QCOMPARE(runs.at(1).Start, 17);
    QCOMPARE(runs.at(1).Length, 4);
    QCOMPARE(runs.at(1).Format.Mask, CFM_BOLD);
    QCOMPARE(runs.at(2).Start, 26);
    QCOMPARE(runs.at(2).Length, 9);
    QCOMPARE(runs.at(3).Format.Mask, CFM_COLOR);
    QCOMPARE(runs.at(3).Start, 26);
    QCOMPARE(runs.at(3).Length, 9);
}

void TestEmphasisMarkup::PositionsCountWhatIsShown()
{
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    EmphasisEngine(engine, true);
    engine.RecordLinePositions = true;
    engine.SharedChapters = nullptr;
    Enhance(engine, sink, L("_Call_ me|_Ishmael_.||Chapter 2|next"));
    QCOMPARE(sink.Texts(), QStringList({"Call me Ishmael.", "", "Chapter 2", "next"}));
    // "Call me Ishmael." (16) + CR LF, the empty one + CR LF, then the heading.
    QCOMPARE(engine.LinePositions, std::vector<int>({0, 8, 18, 20, 31}));
    QCOMPARE(engine.Position, 20 + 9 + 2 + 4 + 2);
    QVERIFY(engine.ChaptersMenu());
    QCOMPARE(engine.ChaptersMenu()->Items().first().Tag, 20);
}

void TestEmphasisMarkup::OffKeepsTheMarkers()
{
    TEnhancedRichEdit engine;
    TRecordingParagraphSink sink;
    EmphasisEngine(engine, false);
    QCOMPARE(Enhance(engine, sink, L("The _Pequod_ *sailed*")), QStringList({"The _Pequod_ *sailed*"}));
    QVERIFY(sink.Paragraphs.at(0).Runs.isEmpty());
}

QTEST_GUILESS_MAIN(TestEmphasisMarkup)
#include "test_emphasis_markup.moc"
