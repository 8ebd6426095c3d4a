// Settings files in memory and on disk: what the parser accepts from files
// written by people and other programs, what the writer gives back, the
// typed reads with their defaults and limits, and loading and saving whole
// or not at all.
#include <QtTest>

#include <QFile>
#include <QTemporaryDir>

#include "Dialogs.h"
#include "ReportRecorder.h"
#include "StoredTextList.h"

#include <unistd.h>

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString Value(const TStoredTextList &list, const QString &section, const QString &key)
{
    const QString *value = list.Text().Find(section, key);
    return value ? *value : QStringLiteral("<none>");
}

} // namespace

class TestStoredTextList : public QObject {
    Q_OBJECT
private slots:
    void parsesFilesOfPeopleAndPrograms_data();
    void parsesFilesOfPeopleAndPrograms();
    void writesUtf8WithCrLfThatReadsBack();
    void refusesWhatCannotBeStoredOnOneLine();
    void typedReads_data();
    void typedReads();
    void typedWritesSetModified();
    void missingFileLoadsEmptyAndRunsHandler();
    void loadFailureKeepsValuesAndSays();
    void saveWritesWholeFileOrNothing();
    void overwriteQuestion();
    void readOnlyFileIsMadeWritable();
    void hugeAndBinaryFilesAreHarmless();
    void readWhole_data();
    void readWhole();
    void fileReadInPartIsKeptBesideAtTheNextSave();
    void fileReadInPartUnderAnotherNameIsLeftAlone();
    void unreadableFileMovesAside();
    void copyThatCannotBeKeptWritesNothing();
    void saveFailureHandlerTakesTheReport();
};

void TestStoredTextList::parsesFilesOfPeopleAndPrograms_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("CR LF") << QByteArray("[S]\r\nA=1\r\nB=2\r\n") << "S"
                           << "B"
                           << "2";
    QTest::newRow("LF") << QByteArray("[S]\nA=1\nB=2") << "S"
                        << "B"
                        << "2";
    QTest::newRow("CR") << QByteArray("[S]\rA=1\rB=2\r") << "S"
                        << "B"
                        << "2";
    QTest::newRow("blank lines") << QByteArray("\n\n[S]\n\n\nA=1\n\n") << "S"
                                 << "A"
                                 << "1";
    QTest::newRow("UTF-8 byte order mark") << QByteArray("\xEF\xBB\xBF[S]\nA=\xC3\xA9t\xC3\xA9") << "S"
                                           << "A" << QStringLiteral("\u00E9t\u00E9");
    QTest::newRow("Windows-1252") << QByteArray("[S]\nA=\x93\xE9t\xE9\x94") << "S"
                                  << "A" << QStringLiteral("\u201C\u00E9t\u00E9\u201D");
    QTest::newRow("semicolon comment") << QByteArray("[S]\n;A=1\nA=2") << "S"
                                       << "A"
                                       << "2";
    QTest::newRow("hash comment") << QByteArray("[S]\n  # A=1\nA=2") << "S"
                                  << "A"
                                  << "2";
    QTest::newRow("blanks around") << QByteArray("  [ S ]  \n\t A  =  two words \t\n") << "S"
                                   << "A"
                                   << "two words";
    QTest::newRow("first of duplicates") << QByteArray("[S]\nA=1\na=2\n") << "S"
                                         << "A"
                                         << "1";
    QTest::newRow("letter case") << QByteArray("[Lectern_Main]\nautobookmark=FALSE") << "LECTERN_MAIN"
                                 << "AutoBookmark"
                                 << "FALSE";
    QTest::newRow("line without equals") << QByteArray("[S]\nnonsense\nA=1") << "S"
                                         << "A"
                                         << "1";
    QTest::newRow("key before any section") << QByteArray("A=1\n[S]\nB=2") << "S"
                                            << "A"
                                            << "<none>";
    QTest::newRow("section given twice") << QByteArray("[S]\nA=1\n[T]\nX=0\n[s]\nA=3\nB=2") << "S"
                                         << "B"
                                         << "2";
    QTest::newRow("equals inside value") << QByteArray("[S]\nA=b=c") << "S"
                                         << "A"
                                         << "b=c";
    QTest::newRow("quoted value") << QByteArray("[S]\nA=\"- \"") << "S"
                                  << "A"
                                  << "- ";
    QTest::newRow("empty value") << QByteArray("[S]\nA=") << "S"
                                 << "A"
                                 << "";
    QTest::newRow("empty key") << QByteArray("[S]\n=1") << "S"
                               << ""
                               << "<none>";
    QTest::newRow("unclosed header") << QByteArray("[S]\n[T\nA=1") << "S"
                                     << "A"
                                     << "1";
    QTest::newRow("truncated UTF-8 reads as 1252") << QByteArray("[S]\nA=\xC3") << "S"
                                                   << "A" << QStringLiteral("\u00C3");
    QTest::newRow("UTF-8 cut inside its last character") << QByteArray("[S]\nA=\xC3\xA9t\xC3\xA9\nB=\xE2\x82") << "S"
                                                         << "A" << QStringLiteral("\u00E9t\u00E9");
}

void TestStoredTextList::parsesFilesOfPeopleAndPrograms()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    TStoredTextList list;
    list.LoadFromBytes(file);
    QCOMPARE(Value(list, section, key), expected);
}

void TestStoredTextList::writesUtf8WithCrLfThatReadsBack()
{
    TStoredTextList list;
    list.WriteText(QStringLiteral("Profile_Main"), QStringLiteral("FontName"), QStringLiteral("Times New Roman"));
    list.WriteText(QStringLiteral("Profile_Main"), QStringLiteral("ParagraphPrefix"), QStringLiteral("\u00B7 "));
    list.WriteText(QStringLiteral("Other"), QStringLiteral("Quoted"), QStringLiteral("\"x\""));
    list.WriteInt(QStringLiteral("Profile_Main"), QStringLiteral("FontSize"), 16);
    const QByteArray bytes = list.SaveToBytes();
    QCOMPARE(bytes,
             QByteArray("[Profile_Main]\r\nFontName=Times New Roman\r\nParagraphPrefix=\"\xC2\xB7 \"\r\n"
                        "FontSize=16\r\n\r\n[Other]\r\nQuoted=\"\"x\"\"\r\n"));

    TStoredTextList again;
    again.LoadFromBytes(bytes);
    QCOMPARE(Value(again, QStringLiteral("profile_main"), QStringLiteral("paragraphprefix")),
             QStringLiteral("\u00B7 "));
    QCOMPARE(Value(again, QStringLiteral("Other"), QStringLiteral("Quoted")), QStringLiteral("\"x\""));
    QCOMPARE(again.Text().Keys(QStringLiteral("Profile_Main")),
             QStringList({"FontName", "ParagraphPrefix", "FontSize"}));
    QCOMPARE(again.SaveToBytes(), bytes);
}

void TestStoredTextList::refusesWhatCannotBeStoredOnOneLine()
{
    TStoredTextList list;
    list.WriteText(QStringLiteral("S"), QStringLiteral("0"), QStringLiteral("/books/old.txt"));
    // A file name may hold a line break; written as it is it would add lines
    // (and keys) to the file.
    list.WriteText(QStringLiteral("S"), QStringLiteral("0"), QStringLiteral("/books/a\n[S]\nAutoLoadLast=TRUE"));
    list.WriteText(QStringLiteral("S"), QStringLiteral("[K]"), QStringLiteral("1"));
    list.WriteText(QStringLiteral("S"), QStringLiteral("a=b"), QStringLiteral("1"));
    list.WriteText(QStringLiteral("S]"), QStringLiteral("A"), QStringLiteral("1"));
    QCOMPARE(list.SaveToBytes(), QByteArray("[S]\r\n"));
}

void TestStoredTextList::typedReads_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("stored"); // "<none>": no key
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("expected");

    QTest::newRow("bool TRUE") << "bool"
                               << "TRUE"
                               << "false"
                               << "true";
    QTest::newRow("bool lower-case true") << "bool"
                                          << "true"
                                          << "true"
                                          << "false";
    QTest::newRow("bool anything else") << "bool"
                                        << "1"
                                        << "true"
                                        << "false";
    QTest::newRow("bool missing") << "bool"
                                  << "<none>"
                                  << "true"
                                  << "true";
    QTest::newRow("int in range") << "int"
                                  << "7"
                                  << "3"
                                  << "7";
    QTest::newRow("int 0 below 1..20") << "int"
                                       << "0"
                                       << "3"
                                       << "3";
    QTest::newRow("int 21 above 1..20") << "int"
                                        << "21"
                                        << "3"
                                        << "3";
    QTest::newRow("int bounds") << "int"
                                << "20"
                                << "3"
                                << "20";
    QTest::newRow("int hexadecimal") << "int"
                                     << "$10"
                                     << "3"
                                     << "16";
    QTest::newRow("int unreadable") << "int"
                                    << "12abc"
                                    << "3"
                                    << "3";
    QTest::newRow("int empty") << "int"
                               << ""
                               << "3"
                               << "3";
    QTest::newRow("int too big") << "int"
                                 << "99999999999"
                                 << "3"
                                 << "3";
    QTest::newRow("text") << "text"
                          << "/books/a.txt"
                          << "x"
                          << "/books/a.txt";
    QTest::newRow("text empty refused") << "text"
                                        << ""
                                        << "x"
                                        << "x";
    QTest::newRow("text empty allowed") << "text-empty"
                                        << ""
                                        << "x"
                                        << "";
    QTest::newRow("text at the limit") << "text" << QString(259, QLatin1Char('a')) << "x" << QString(259, 'a');
    QTest::newRow("text over the limit") << "text" << QString(300, QLatin1Char('a')) << "x"
                                         << "x";
    QTest::newRow("colour number") << "color"
                                   << "255"
                                   << "0"
                                   << "255";
    QTest::newRow("colour hexadecimal") << "color"
                                        << "$00FF00"
                                        << "0"
                                        << "65280";
    QTest::newRow("colour cl name") << "color"
                                    << "clRed"
                                    << "0"
                                    << "255";
    QTest::newRow("colour stock name") << "color"
                                       << "white"
                                       << "0"
                                       << "16777215";
    QTest::newRow("colour unreadable") << "color"
                                       << "greenish"
                                       << "7"
                                       << "7";
    QTest::newRow("colour empty") << "color"
                                  << ""
                                  << "7"
                                  << "7";
}

void TestStoredTextList::typedReads()
{
    QFETCH(QString, kind);
    QFETCH(QString, stored);
    QFETCH(QString, current);
    QFETCH(QString, expected);
    const QString s = QStringLiteral("S");
    const QString k = QStringLiteral("K");
    TStoredTextList list;
    if (stored != QLatin1String("<none>"))
        list.LoadFromBytes("[S]\nK=" + stored.toUtf8());

    QString result;
    if (kind == QLatin1String("bool")) {
        bool value = current == QLatin1String("true");
        list.ReadBool(s, k, value);
        result = value ? QStringLiteral("true") : QStringLiteral("false");
    } else if (kind == QLatin1String("int")) {
        int value = current.toInt();
        list.ReadInt(s, k, value, 20, 1); // the maximum comes first
        result = QString::number(value);
    } else if (kind.startsWith(QLatin1String("text"))) {
        QString value = current;
        list.ReadText(s, k, kind == QLatin1String("text-empty"), value, 259);
        result = value;
    } else {
        TColor value = current.toUInt();
        list.ReadColor(s, k, value);
        result = QString::number(value);
    }
    QCOMPARE(result, expected);
}

void TestStoredTextList::typedWritesSetModified()
{
    TStoredTextList list;
    QVERIFY(!list.IsModified());
    list.WriteBool(QStringLiteral("S"), QStringLiteral("B"), false);
    QVERIFY(list.IsModified());
    list.WriteColor(QStringLiteral("S"), QStringLiteral("C"), 0x820000);
    list.WriteInt(QStringLiteral("S"), QStringLiteral("I"), -10);
    QCOMPARE(list.SaveToBytes(), QByteArray("[S]\r\nB=FALSE\r\nC=8519680\r\nI=-10\r\n"));
}

void TestStoredTextList::missingFileLoadsEmptyAndRunsHandler()
{
    QTemporaryDir dir;
    TStoredTextList list(dir.filePath(QStringLiteral("Lectern.ini")));
    list.LoadFromBytes("[S]\nA=1");
    int calls = 0;
    bool loadingInside = false;
    bool argument = false;
    list.OnLoad = [&](TStoredTextList &l, bool arg) {
        ++calls;
        loadingInside = l.IsLoading();
        argument = arg;
    };
    QVERIFY(list.Load(true));
    QCOMPARE(calls, 1);
    QVERIFY(loadingInside);
    QVERIFY(argument);
    QVERIFY(!list.IsLoading());
    QCOMPARE(list.Text().Sections(), QStringList());
}

void TestStoredTextList::loadFailureKeepsValuesAndSays()
{
    TReportRecorder reports;
    QTemporaryDir dir;
    // A directory (or a pipe) under the settings name is no settings file.
    const QString name = dir.filePath(QStringLiteral("Lectern.ini"));
    QVERIFY(QDir().mkdir(name));
    TStoredTextList list(name);
    list.LoadFromBytes("[S]\nA=1");
    bool called = false;
    list.OnLoad = [&](TStoredTextList &, bool) { called = true; };
    QVERIFY(!list.Load(false));
    QVERIFY(!called);
    QCOMPARE(reports.Messages, QStringList({"Failed to load file."}));
    QCOMPARE(Value(list, QStringLiteral("S"), QStringLiteral("A")), QStringLiteral("1"));

    // A failure inside the handler is a failed load too.
    const QString good = dir.filePath(QStringLiteral("good.ini"));
    QVERIFY(WriteAll(good, "[S]\nA=2"));
    list.OnLoad = [](TStoredTextList &, bool) { throw std::runtime_error("bad value"); };
    QVERIFY(!list.Load(good, false));
    QCOMPARE(reports.Messages.size(), 2);
    QVERIFY(reports.Reports.last().contains(QStringLiteral("bad value")));
}

void TestStoredTextList::saveWritesWholeFileOrNothing()
{
    TReportRecorder reports;
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("Lectern.ini"));
    QVERIFY(WriteAll(name, "[Old]\nKept=1\n"));
    TStoredTextList list(name);
    list.OnSave = [](TStoredTextList &l, bool) {
        l.Clear();
        l.WriteBool(QStringLiteral("Lectern_Main"), QStringLiteral("AutoBookmark"), true);
    };
    QVERIFY(list.Save(false, false));
    QVERIFY(!list.IsModified());
    QCOMPARE(ReadAll(name), QByteArray("[Lectern_Main]\r\nAutoBookmark=TRUE\r\n"));

    // A save that fails half-way leaves the old file exactly as it was.
    const QByteArray before = ReadAll(name);
    list.OnSave = [](TStoredTextList &l, bool) {
        l.WriteInt(QStringLiteral("Lectern_Main"), QStringLiteral("PieceSize"), 1);
        throw std::runtime_error("disk gone");
    };
    QVERIFY(!list.Save(false, false));
    QCOMPARE(ReadAll(name), before);
    QCOMPARE(reports.Messages, QStringList({"Failed to save file."}));

    // So does a directory that is gone.
    list.OnSave = nullptr;
    QVERIFY(!list.Save(dir.filePath(QStringLiteral("gone/Lectern.ini")), false, false));
    QCOMPARE(reports.Messages.size(), 2);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("gone"))));
}

void TestStoredTextList::overwriteQuestion()
{
    TScopedRecordingDialogs dialogs;
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("Raven.lcp"));
    QVERIFY(WriteAll(name, "old"));
    TStoredTextList list;
    list.WriteInt(QStringLiteral("S"), QStringLiteral("A"), 1);
    bool saved = false;
    list.OnSave = [&](TStoredTextList &, bool) { saved = true; };

    dialogs.Answers = {DialogResultNo};
    QVERIFY(!list.Save(name, true, false));
    QVERIFY(!saved);
    QCOMPARE(ReadAll(name), QByteArray("old"));
    QCOMPARE(dialogs.Boxes.size(), 1);
    QCOMPARE(dialogs.Boxes.first().Kind, TDialogKind::Query);
    QCOMPARE(dialogs.Boxes.first().Text, "File \"" + name + "\"already exists.\nOverwrite it?");

    dialogs.Answers = {DialogResultOk};
    QVERIFY(list.Save(name, true, false));
    QVERIFY(saved);
    QCOMPARE(ReadAll(name), QByteArray("[S]\r\nA=1\r\n"));

    // No question for a new file, nor without the flag.
    QVERIFY(list.Save(dir.filePath(QStringLiteral("New.lcp")), true, false));
    QVERIFY(list.Save(name, false, false));
    QCOMPARE(dialogs.Boxes.size(), 2);
}

void TestStoredTextList::readOnlyFileIsMadeWritable()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("Lectern.ini"));
    QVERIFY(WriteAll(name, "[S]\nA=1\n"));
    QVERIFY(QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    TStoredTextList list(name);
    QVERIFY(list.Load());
    list.WriteInt(QStringLiteral("S"), QStringLiteral("A"), 2);
    QVERIFY(list.Save(false));
    QVERIFY(QFileInfo(name).permissions() & QFileDevice::WriteOwner);
    QCOMPARE(ReadAll(name), QByteArray("[S]\r\nA=2\r\n"));
}

void TestStoredTextList::hugeAndBinaryFilesAreHarmless()
{
    // Good values at the top, then megabytes of binary noise with stray
    // brackets, equals signs and line ends: the good values still count.
    QByteArray file("[Lectern_Main]\r\nPieceSize=20000\r\n");
    QRandomGenerator random(42);
    QByteArray noise(4 * 1024 * 1024, '\0');
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    file += noise;
    TStoredTextList list;
    list.LoadFromBytes(file);
    int pieceSize = 50000;
    list.ReadInt(QStringLiteral("Lectern_Main"), QStringLiteral("PieceSize"), pieceSize, 500000, 10000);
    QCOMPARE(pieceSize, 20000);

    // A file of nothing but keys stops taking them at the limit.
    QByteArray keys("[S]\n");
    for (int i = 0; i < TIniText::MaxKeys + 10; ++i)
        keys += "k" + QByteArray::number(i) + "=1\n";
    list.LoadFromBytes(keys);
    QCOMPARE(list.Text().KeyCount(), TIniText::MaxKeys);
    QCOMPARE(Value(list, QStringLiteral("S"), QStringLiteral("k0")), QStringLiteral("1"));
    QVERIFY(!list.Text().IsWhole());
}

void TestStoredTextList::readWhole_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("whole");
    QTest::newRow("as written") << QByteArray("[S]\r\nA=1\r\n\r\n[T]\r\nB=\r\n") << true;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("LF, CR, comments, blanks, tabs")
        << QByteArray("; note\n\n# more\r[S]\n\tA = 1 \n\nB=\"x\f\"\n") << true;
    QTest::newRow("key given twice") << QByteArray("[S]\nA=1\nA=2\n") << true;
    QTest::newRow("Windows-1252") << QByteArray("[S]\nA=\x93\xE9t\xE9\x94\r\n") << true;
    QTest::newRow("last line without its end") << QByteArray("[S]\r\nA=1\r\nB=2") << false;
    QTest::newRow("cut inside a header") << QByteArray("[S]\r\nA=1\r\n[Lectern_Book") << false;
    QTest::newRow("cut inside a UTF-8 character") << QByteArray("[S]\nA=\xC3\xA9\nB=\xC3") << false;
    QTest::newRow("NUL byte") << QByteArray("[S]\nA=1\n\0\0\0\n", 12) << false;
    QTest::newRow("other control byte") << QByteArray("[S]\nA=\x01\x02\n") << false;
    QTest::newRow("line without equals") << QByteArray("[S]\nnonsense\nA=1\n") << false;
    QTest::newRow("key before any section") << QByteArray("A=1\n[S]\nB=2\n") << false;
    QTest::newRow("header without bracket") << QByteArray("[S\nA=1\n") << false;
    QTest::newRow("empty key") << QByteArray("[S]\n=1\n") << false;
}

void TestStoredTextList::readWhole()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, whole);
    TIniText ini;
    ini.Parse(file);
    QCOMPARE(ini.IsWhole(), whole);
    ini.Clear();
    QVERIFY(ini.IsWhole());
}

void TestStoredTextList::fileReadInPartIsKeptBesideAtTheNextSave()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("Lectern.ini"));
    const QString bad = TStoredTextList::DamagedCopyName(name);
    QCOMPARE(bad, name + QStringLiteral(".bad"));
    const QByteArray damaged("[Lectern_Main]\r\nPieceSize=20000\r\n\0\x01garbage\r\n[Lectern_Book", 56);
    QVERIFY(WriteAll(name, damaged));
    QVERIFY(WriteAll(bad, "an earlier copy"));
    TStoredTextList list(name);
    QVERIFY(list.Load());
    QVERIFY(!list.LoadedWhole());
    // What could be read counts.
    QCOMPARE(Value(list, QStringLiteral("Lectern_Main"), QStringLiteral("PieceSize")), QStringLiteral("20000"));
    QCOMPARE(ReadAll(name), damaged); // loading changes nothing on disk

    list.WriteInt(QStringLiteral("Lectern_Main"), QStringLiteral("PieceSize"), 30000);
    QVERIFY(list.Save(false));
    QCOMPARE(ReadAll(bad), damaged);
    QCOMPARE(ReadAll(name), QByteArray("[Lectern_Main]\r\nPieceSize=30000\r\n"));
    QVERIFY(list.LoadedWhole());

    // Once replaced, the file is sound: later saves leave the copy alone.
    list.WriteInt(QStringLiteral("Lectern_Main"), QStringLiteral("PieceSize"), 40000);
    QVERIFY(list.Save(false));
    QCOMPARE(ReadAll(bad), damaged);

    // A file read whole is never copied.
    QVERIFY(QFile::remove(bad));
    QVERIFY(list.Load());
    QVERIFY(list.LoadedWhole());
    QVERIFY(list.Save(false));
    QVERIFY(!QFile::exists(bad));
}

void TestStoredTextList::fileReadInPartUnderAnotherNameIsLeftAlone()
{
    // A profile read in part and saved under another name: the first file
    // is not replaced, so nothing is copied.
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("Raven.lcp"));
    const QString second = dir.filePath(QStringLiteral("Crow.lcp"));
    QVERIFY(WriteAll(first, "[Profile_Main]\nFontSize=12\nnonsense\n"));
    TStoredTextList list(first);
    QVERIFY(list.Load());
    QVERIFY(!list.LoadedWhole());
    QVERIFY(list.Save(second, false, false));
    QCOMPARE(ReadAll(first), QByteArray("[Profile_Main]\nFontSize=12\nnonsense\n"));
    QVERIFY(!QFile::exists(TStoredTextList::DamagedCopyName(first)));
    QVERIFY(!QFile::exists(TStoredTextList::DamagedCopyName(second)));
}

void TestStoredTextList::unreadableFileMovesAside()
{
    if (::geteuid() == 0)
        QSKIP("root reads every file");
    TReportRecorder reports;
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("Lectern.ini"));
    QVERIFY(WriteAll(name, "[S]\nA=1\n"));
    QVERIFY(QFile::setPermissions(name, QFileDevice::Permissions()));
    TStoredTextList list(name);
    QVERIFY(!list.Load());
    QVERIFY(!list.LoadedWhole());
    list.WriteInt(QStringLiteral("S"), QStringLiteral("A"), 2);
    QVERIFY(list.Save(false));
    const QString bad = TStoredTextList::DamagedCopyName(name);
    QVERIFY(QFile::setPermissions(bad, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(ReadAll(bad), QByteArray("[S]\nA=1\n"));
    QCOMPARE(ReadAll(name), QByteArray("[S]\r\nA=2\r\n"));
}

void TestStoredTextList::copyThatCannotBeKeptWritesNothing()
{
    TReportRecorder reports;
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("Lectern.ini"));
    QVERIFY(WriteAll(name, "[S]\nA=1"));
    QVERIFY(QDir().mkdir(TStoredTextList::DamagedCopyName(name)));
    TStoredTextList list(name);
    QVERIFY(list.Load());
    list.WriteInt(QStringLiteral("S"), QStringLiteral("A"), 2);
    QVERIFY(!list.Save(false));
    QCOMPARE(ReadAll(name), QByteArray("[S]\nA=1"));
    QCOMPARE(reports.Messages, QStringList({"Failed to save file."}));
    QVERIFY(reports.Reports.last().contains(QStringLiteral("Lectern.ini.bad")));

    // With the way free, the next save keeps the copy and writes.
    QVERIFY(QDir().rmdir(TStoredTextList::DamagedCopyName(name)));
    QVERIFY(list.Save(false));
    QCOMPARE(ReadAll(TStoredTextList::DamagedCopyName(name)), QByteArray("[S]\nA=1"));
    QCOMPARE(ReadAll(name), QByteArray("[S]\r\nA=2\r\n"));
}

void TestStoredTextList::saveFailureHandlerTakesTheReport()
{
    TReportRecorder reports;
    QTemporaryDir dir;
    TStoredTextList list(dir.filePath(QStringLiteral("gone/Lectern.ini")));
    list.WriteInt(QStringLiteral("S"), QStringLiteral("A"), 1);
    QStringList reasons;
    bool takes = true;
    list.OnSaveFailed = [&](const TStoredTextList &l, const QString &reason) {
        reasons << l.FileName() + QStringLiteral(": ") + reason;
        return takes;
    };
    QVERIFY(!list.Save(false));
    QCOMPARE(reports.Messages, QStringList());
    QCOMPARE(reasons, QStringList({dir.filePath(QStringLiteral("gone/Lectern.ini: No such file or directory"))}));
    QVERIFY(list.IsModified()); // the values stay in memory

    // A failure of the save handler is told too.
    list.OnSave = [](TStoredTextList &, bool) { throw std::runtime_error("disk gone"); };
    QVERIFY(!list.Save(false));
    QVERIFY(reasons.last().contains(QStringLiteral("disk gone")));
    QCOMPARE(reports.Messages, QStringList());

    // A handler that leaves the report has it shown as usual.
    takes = false;
    QVERIFY(!list.Save(false));
    QCOMPARE(reasons.size(), 3);
    QCOMPARE(reports.Messages, QStringList({"Failed to save file."}));
}

QTEST_GUILESS_MAIN(TestStoredTextList)
#include "test_storedtextlist.moc"
