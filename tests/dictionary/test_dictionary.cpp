// Looking up a double-clicked word: what is started with which arguments,
// how failures are told, and that a word never reaches a shell.
#include "DictionaryLookUp.h"
#include "FunStatContext.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// An executable script in the directory; `body` follows the "#!/bin/sh" line.
QString WriteProgram(const QTemporaryDir &dir, const QString &name, const QByteArray &body)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write("#!/bin/sh\n" + body);
    file.close();
    file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeUser);
    return path;
}

// A look-up whose starts are recorded instead of made.
struct TRecordingLookUp {
    TRecordingLookUp()
    {
        LookUp.Starter = [this](const QString &program, const QStringList &arguments, QString *) {
            Programs << program;
            Arguments << arguments;
            return Result;
        };
        LookUp.CopySelection = [this] { ++Copies; };
    }
    TDictionaryLookUp LookUp;
    QStringList Programs;
    QList<QStringList> Arguments;
    int Copies = 0;
    bool Result = true;
};

} // namespace

class TestDictionary : public QObject {
    Q_OBJECT
private slots:
    void init() { FunStatContext.Reset(); }
    void request_data();
    void request();
    void programGetsTheWordAsOneArgument();
    void nameWithoutSlashIsFoundOnPath();
    void missingProgramIsReportedOnce();
    void clipboardModeCopiesThenPassesTheWord();
    void clipboardModeCopiesEvenWhenTheStartFails();
    void realStartPassesTheWordUntouched();
};

void TestDictionary::request_data()
{
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("dictionary");
    QTest::addColumn<bool>("clipboard");
    QTest::addColumn<bool>("run");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("word and its space") << "river "
                                        << "dict" << false << true << QStringList{"river"};
    QTest::newRow("clipboard mode") << "river "
                                    << "dict" << true << true << QStringList{"river"};
    QTest::newRow("white space only") << " \t\r\n"
                                      << "dict" << false << false << QStringList{};
    QTest::newRow("no dictionary") << "river"
                                   << "" << false << false << QStringList{};
    QTest::newRow("twenty characters") << QString(20, 'a') << "dict" << false << true << QStringList{QString(20, 'a')};
    QTest::newRow("twenty-one characters") << QString(21, 'a') << "dict" << false << false << QStringList{};
    QTest::newRow("twenty and a space") << QString(20, 'a') + ' ' << "dict" << false << false << QStringList{};
    QTest::newRow("shell words stay one argument") << "rm -rf;"
                                                   << "dict" << false << true << QStringList{"rm -rf;"};
    QTest::newRow("command substitution") << "$(reboot)"
                                          << "dict" << false << true << QStringList{"$(reboot)"};
    QTest::newRow("quotes and backslash") << " it's \"x\"\\ "
                                          << "dict" << true << true << QStringList{"it's \"x\"\\"};
    QTest::newRow("inner white space stays inside") << "a b\tc\n"
                                                    << "dict" << true << true << QStringList{"a b\tc"};
    QTest::newRow("glob and redirection") << "*.txt>x|y"
                                          << "dict" << true << true << QStringList{"*.txt>x|y"};
    QTest::newRow("letters beyond ASCII")
        << QString::fromUtf8("Ärger—ß ") << "dict" << true << true << QStringList{QString::fromUtf8("Ärger—ß")};
}

void TestDictionary::request()
{
    QFETCH(QString, selection);
    QFETCH(QString, dictionary);
    QFETCH(bool, clipboard);
    QFETCH(bool, run);
    QFETCH(QStringList, arguments);
    const TDictionaryRequest r = DictionaryRequest(selection, dictionary, clipboard);
    QCOMPARE(r.Run, run);
    QCOMPARE(r.CopySelection, run && clipboard);
    QCOMPARE(r.Arguments, arguments);
}

void TestDictionary::programGetsTheWordAsOneArgument()
{
    QTemporaryDir dir;
    const QString program = WriteProgram(dir, QStringLiteral("dict"), "exit 0\n");
    TRecordingLookUp r;
    QCOMPARE(r.LookUp.LookUp(QStringLiteral("  $HOME; "), program, false), TDictionaryLookUp::TResult::Started);
    QCOMPARE(r.Programs, QStringList{program});
    QCOMPARE(r.Arguments, QList<QStringList>{QStringList{"$HOME;"}});
    QCOMPARE(r.Copies, 0);
    QCOMPARE(r.LookUp.LookUp(QString(21, 'x'), program, false), TDictionaryLookUp::TResult::Ignored);
    QCOMPARE(r.Programs.size(), 1);
}

void TestDictionary::nameWithoutSlashIsFoundOnPath()
{
    QTemporaryDir dir;
    const QString program = WriteProgram(dir, QStringLiteral("lectern-test-dictionary"), "exit 0\n");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit() + ':' + path);
    TRecordingLookUp r;
    const auto result = r.LookUp.LookUp(QStringLiteral("word"), QStringLiteral("lectern-test-dictionary"), false);
    qputenv("PATH", path);
    QCOMPARE(result, TDictionaryLookUp::TResult::Started);
    QCOMPARE(r.Programs, QStringList{program});
}

void TestDictionary::missingProgramIsReportedOnce()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("no-such-dictionary"));
    TRecordingLookUp r;
    QCOMPARE(r.LookUp.LookUp(QStringLiteral("word"), missing, false), TDictionaryLookUp::TResult::Failed);
    QCOMPARE(FunStatContext.Description, QStringLiteral("Failed to run file."));
    QCOMPARE(FunStatContext.Parameter1, missing);
    QCOMPARE(FunStatContext.SystemErrorCode, ENOENT);
    QVERIFY(r.Programs.isEmpty());
    for (int click = 0; click < 3; ++click)
        QCOMPARE(r.LookUp.LookUp(QStringLiteral("word"), missing, false), TDictionaryLookUp::TResult::FailedAgain);
    QVERIFY(FunStatContext.Failed()); // still recorded, only not shown again

    // Another program is told about; one that starts clears the memory.
    const QString notExecutable = dir.filePath(QStringLiteral("readme.txt"));
    QFile(notExecutable).open(QIODevice::WriteOnly);
    QCOMPARE(r.LookUp.LookUp(QStringLiteral("word"), notExecutable, false), TDictionaryLookUp::TResult::Failed);
    QCOMPARE(FunStatContext.SystemErrorCode, EACCES);
    const QString good = WriteProgram(dir, QStringLiteral("dict"), "exit 0\n");
    QCOMPARE(r.LookUp.LookUp(QStringLiteral("word"), good, false), TDictionaryLookUp::TResult::Started);
    QCOMPARE(r.LookUp.LookUp(QStringLiteral("word"), notExecutable, false), TDictionaryLookUp::TResult::Failed);

    // A starter that refuses counts as a failure too.
    r.Result = false;
    QCOMPARE(r.LookUp.LookUp(QStringLiteral("word"), good, false), TDictionaryLookUp::TResult::Failed);
    QCOMPARE(r.LookUp.LookUp(QStringLiteral("word"), good, false), TDictionaryLookUp::TResult::FailedAgain);
}

void TestDictionary::clipboardModeCopiesThenPassesTheWord()
{
    QTemporaryDir dir;
    const QString program = WriteProgram(dir, QStringLiteral("dict"), "exit 0\n");
    TRecordingLookUp r;
    int copiesAtStart = -1;
    r.LookUp.Starter = [&](const QString &, const QStringList &arguments, QString *) {
        copiesAtStart = r.Copies;
        r.Arguments << arguments;
        return true;
    };
    QCOMPARE(r.LookUp.LookUp(QStringLiteral("river "), program, true), TDictionaryLookUp::TResult::Started);
    QCOMPARE(copiesAtStart, 1); // on the clipboard before the program looks
    QCOMPARE(r.Arguments, QList<QStringList>{QStringList{"river"}});
}

void TestDictionary::clipboardModeCopiesEvenWhenTheStartFails()
{
    TRecordingLookUp r;
    QCOMPARE(r.LookUp.LookUp(QStringLiteral("word "), QStringLiteral("/no/such/dictionary"), true),
             TDictionaryLookUp::TResult::Failed);
    QCOMPARE(r.Copies, 1);
}

void TestDictionary::realStartPassesTheWordUntouched()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("args.txt"));
    const QString program = WriteProgram(dir, QStringLiteral("dict"),
                                         "printf '%s\\n' \"$#\" \"$@\" > \"" + out.toLocal8Bit() + ".tmp\"\n" + "mv \""
                                             + out.toLocal8Bit() + ".tmp\" \"" + out.toLocal8Bit() + "\"\n");
    TDictionaryLookUp lookUp;
    QCOMPARE(lookUp.LookUp(QStringLiteral("$(touch x);"), program, true), TDictionaryLookUp::TResult::Started);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 10000);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("1\n$(touch x);\n"));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x"))));
    QVERIFY(!QFile::exists(QStringLiteral("x")));
}

QTEST_GUILESS_MAIN(TestDictionary)
#include "test_dictionary.moc"
