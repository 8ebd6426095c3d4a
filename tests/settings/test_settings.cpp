// The profile and program-settings records in their files, picture and sound
// names (normalised, short, resolved), the profiles that belong to a book,
// and where the program keeps the files it writes.
#include <QtTest>

#include <QFile>
#include <QTemporaryDir>

#include "Profile.h"
#include "Program.h"
#include "ProgramSettings.h"
#include "StockColors.h"
#include "StoredTextList.h"

namespace {

const QString Main = QStringLiteral("Profile_Main");

QString Stored(const TStoredTextList &list, const QString &section, const QString &key)
{
    const QString *value = list.Text().Find(section, key);
    return value ? *value : QStringLiteral("<none>");
}

bool Touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly);
}

QByteArray ProfileBytes(const TProfile &profile)
{
    TStoredTextList list;
    WriteProfile(profile, list, TProfilePlaces());
    return list.SaveToBytes();
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void profileKeysWithRangesAndDefaults_data();
    void profileKeysWithRangesAndDefaults();
    void profileWritesEveryKeyInOrder();
    void profileReadsFromFixedDefaults();
    void profileWithoutBackSounds();
    void soundsAboveTheCountKeepTheirValues();
    void profileRoundTrip();
    void normalisedNames_data();
    void normalisedNames();
    void shortNames_data();
    void shortNames();
    void resolvedNames();
    void profileCandidatesOfABook();
    void programSettingsKeepCurrentValues();
    void programSettingsInTableOrder();
    void converterUnits();
    void settingsDirectory_data();
    void settingsDirectory();
};

void TestSettings::profileKeysWithRangesAndDefaults_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected"); // as written back

    QTest::newRow("FontSize 60 is out of range") << "FontSize"
                                                 << "60"
                                                 << "16";
    QTest::newRow("FontSize 8") << "FontSize"
                                << "8"
                                << "8";
    QTest::newRow("FontZoom 500") << "FontZoom"
                                  << "500"
                                  << "500";
    QTest::newRow("FontZoom 9") << "FontZoom"
                                << "9"
                                << "100";
    QTest::newRow("CharSpacing -10") << "CharSpacing"
                                     << "-10"
                                     << "-10";
    QTest::newRow("CharSpacing -11") << "CharSpacing"
                                     << "-11"
                                     << "0";
    QTest::newRow("LineSpacing 99") << "LineSpacing"
                                    << "99"
                                    << "120";
    QTest::newRow("SpaceAfter 31") << "SpaceAfter"
                                   << "31"
                                   << "5";
    QTest::newRow("GammaRichBackImage 0") << "GammaRichBackImage"
                                          << "0"
                                          << "100";
    QTest::newRow("FadeScreenBackImage 100") << "FadeScreenBackImage"
                                             << "100"
                                             << "100";
    QTest::newRow("LeftMargin text") << "LeftMargin"
                                     << "wide"
                                     << "15";
    QTest::newRow("bool lower case") << "JustifiedText"
                                     << "true"
                                     << "FALSE";
    QTest::newRow("Hyphenate off") << "Hyphenate"
                                   << "FALSE"
                                   << "FALSE";
    QTest::newRow("MarkupEmphasis off") << "MarkupEmphasis"
                                        << "FALSE"
                                        << "FALSE";
    QTest::newRow("HyphenationLanguage") << "HyphenationLanguage"
                                         << "German"
                                         << "German";
    QTest::newRow("FontName 31") << "FontName" << QString(31, 'F') << QString(31, 'F');
    QTest::newRow("FontName 32") << "FontName" << QString(32, 'F') << "Times New Roman";
    QTest::newRow("FontName empty") << "FontName"
                                    << ""
                                    << "Times New Roman";
    QTest::newRow("prefix with a blank") << "ParagraphPrefix"
                                         << "\"- \""
                                         << "- ";
    TColor red = 0;
    QVERIFY(StockColorFromName(QStringLiteral("Red"), red));
    QTest::newRow("colour by stock name") << "EmphaColor"
                                          << "red" << QString::number(red);
    QTest::newRow("colour constant") << "EmphaColor"
                                     << "clRed"
                                     << "255";
    QTest::newRow("colour unreadable") << "SecondEmphaColor"
                                       << "?" << QString::number(0x5A00B4);
    QTest::newRow("deep picture path") << "TitleScreenBackImage"
                                       << "/" + QString(4000, 'd') + "/p.jpg"
                                       << "/" + QString(4000, 'd') + "/p.jpg";
    QTest::newRow("picture path too long") << "TitleScreenBackImage"
                                           << "/" + QString(4095, 'd') << "DefaultScreen.bmp";
}

void TestSettings::profileKeysWithRangesAndDefaults()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    TStoredTextList file;
    file.LoadFromBytes("[Profile_Main]\n" + key.toUtf8() + "=" + stored.toUtf8());
    TProfile profile;
    ReadProfile(file, profile);
    TStoredTextList written;
    WriteProfile(profile, written, TProfilePlaces());
    QCOMPARE(Stored(written, Main, key), expected);
}

void TestSettings::profileWritesEveryKeyInOrder()
{
    TStoredTextList list;
    list.WriteText(QStringLiteral("Stale"), QStringLiteral("Key"), QStringLiteral("1"));
    WriteProfile(TProfile(), list, TProfilePlaces());
    QCOMPARE(list.Text().Sections(), QStringList({"Profile_Main", "Profile_BackSounds", "Profile_Voice"}));
    const QStringList keys = list.Text().Keys(Main);
    QCOMPARE(keys.size(), 46);
    QCOMPARE(keys.first(), QStringLiteral("EnhanceText"));
    QCOMPARE(keys.indexOf(QStringLiteral("TitleScreenBackImage")), 7);
    QCOMPARE(keys.indexOf(QStringLiteral("ScreenBackColor")), 16);
    QCOMPARE(keys.indexOf(QStringLiteral("LeftMargin")), 26);
    QCOMPARE(keys.indexOf(QStringLiteral("ParagraphPrefix")), 37);
    QCOMPARE(keys.mid(38, 5),
             QStringList({"DetectTextLayout", "CheckHyphens", "SmartChapters", "WholeBookPieces", "Encoding"}));
    QCOMPARE(keys.mid(43), QStringList({"Hyphenate", "HyphenationLanguage", "MarkupEmphasis"}));
    QCOMPARE(Stored(list, Main, QStringLiteral("Hyphenate")), QStringLiteral("TRUE"));
    QCOMPARE(Stored(list, Main, QStringLiteral("HyphenationLanguage")), QStringLiteral("Book's language"));
    QCOMPARE(Stored(list, Main, QStringLiteral("MarkupEmphasis")), QStringLiteral("TRUE"));
    QCOMPARE(Stored(list, Main, QStringLiteral("WholeBookPieces")), QStringLiteral("TRUE"));
    QCOMPARE(Stored(list, Main, QStringLiteral("DetectTextLayout")), QStringLiteral("TRUE"));
    QCOMPARE(Stored(list, Main, QStringLiteral("Encoding")), QStringLiteral("Automatic"));
    QCOMPARE(list.Text().Keys(QStringLiteral("Profile_BackSounds")),
             QStringList({"Use", "Random", "Count", "File0", "Vol0", "Dur0", "Prob0"}));
    QCOMPARE(list.Text().Keys(QStringLiteral("Profile_Voice")),
             QStringList({"Engine", "Voice", "Rate", "Pitch", "Volume"}));
    QCOMPARE(Stored(list, Main, QStringLiteral("EmphaColor")), QString::number(0x820000));
}

void TestSettings::profileReadsFromFixedDefaults()
{
    // A key that is missing goes back to its default, whatever the record
    // held before: the profile replaces the previous one completely.
    TProfile profile;
    profile.FontSize = 30;
    profile.EnhanceText = false;
    profile.ScreenBackColor = 0x123456;
    profile.TitleRichBackImage = QStringLiteral("mine.png");
    TStoredTextList file;
    file.LoadFromBytes("[Profile_Main]\nBoldFont=TRUE\n");
    ReadProfile(file, profile);
    QCOMPARE(profile.FontSize, 16);
    QVERIFY(profile.EnhanceText);
    QCOMPARE(profile.ScreenBackColor, TColor(0xFFFFFF));
    QCOMPARE(profile.TitleRichBackImage, QStringLiteral("DefaultRich.bmp"));
    QVERIFY(profile.BoldFont);
}

void TestSettings::profileWithoutBackSounds()
{
    TProfile profile;
    profile.UseBackSound = true;
    profile.BackSounds[0] = {QStringLiteral("Rain.wav"), 300, 20, 7};
    TStoredTextList file;
    file.LoadFromBytes("[Profile_Main]\nFontSize=20\n");
    ReadProfile(file, profile);
    QVERIFY(!profile.UseBackSound);
    QVERIFY(profile.RandomBackSound);
    QCOMPARE(profile.BackSoundCount, 1);
    QCOMPARE(profile.BackSounds[0].File, QStringLiteral("Default.wav"));
    QCOMPARE(profile.BackSounds[0].Vol, 50);
    QCOMPARE(profile.BackSounds[0].Dur, 5);
    QCOMPARE(profile.BackSounds[0].Prob, 100);
}

void TestSettings::soundsAboveTheCountKeepTheirValues()
{
    TProfile profile;
    profile.BackSounds[1] = {QStringLiteral("Old1.wav"), 1, 2, 3};
    profile.BackSounds[2] = {QStringLiteral("Old2.wav"), 4, 5, 6};
    TStoredTextList file;
    file.LoadFromBytes("[Profile_BackSounds]\nUse=TRUE\nCount=2\nFile0=\nFile1=Fire.wav\nVol1=2000\nDur1=9\n"
                       "Prob1=0\nFile2=Never.wav\n");
    ReadProfile(file, profile);
    QVERIFY(profile.UseBackSound);
    QCOMPARE(profile.BackSoundCount, 2);
    QCOMPARE(profile.BackSounds[0].File, QString()); // empty is allowed for sounds
    QCOMPARE(profile.BackSounds[1].File, QStringLiteral("Fire.wav"));
    QCOMPARE(profile.BackSounds[1].Vol, 50); // out of range: the default
    QCOMPARE(profile.BackSounds[1].Dur, 9);
    QCOMPARE(profile.BackSounds[1].Prob, 100);
    QCOMPARE(profile.BackSounds[2].File, QStringLiteral("Old2.wav"));
    QCOMPARE(profile.BackSounds[2].Vol, 4);

    // Count 25 is out of range: one sound.
    file.LoadFromBytes("[Profile_BackSounds]\nCount=25\n");
    ReadProfile(file, profile);
    QCOMPARE(profile.BackSoundCount, 1);
}

void TestSettings::profileRoundTrip()
{
    TProfile profile;
    profile.EnhanceText = false;
    profile.IgnoreEmptyLines = true;
    profile.FadeScreenBackImage = 40;
    profile.GammaRichBackImage = 1000;
    profile.TitleScreenBackImage = QStringLiteral("/home/reader/Pictures/paper.jpg");
    profile.TitleRichBackImage = QStringLiteral("linen.png");
    profile.TransparentRichBack = true;
    profile.ScreenBackColor = 0x000000;
    profile.RichBoxForeColor = 0xC0C0C0;
    profile.DirTypeForeColor = 0x20000000;
    profile.LeftMargin = 0;
    profile.RightMargin = 50;
    profile.BoldFont = true;
    profile.FontName = QStringLiteral("DejaVu Sans");
    profile.FontSize = 22;
    profile.CharSpacing = -5;
    profile.ParagraphPrefix = QStringLiteral("\u00B7 ");
    profile.UseBackSound = true;
    profile.BackSoundCount = 3;
    profile.BackSounds[1] = {QStringLiteral("Fire.wav"), 0, 500, 1000};
    profile.BackSounds[2] = {QString(), 1000, 1, 1};
    const QByteArray bytes = ProfileBytes(profile);

    TStoredTextList file;
    file.LoadFromBytes(bytes);
    TProfile again;
    ReadProfile(file, again);
    QCOMPARE(ProfileBytes(again), bytes);
    QCOMPARE(again.ParagraphPrefix, profile.ParagraphPrefix);
    QCOMPARE(again.BackSounds[1].Dur, 500);
}

void TestSettings::normalisedNames_data()
{
    QTest::addColumn<bool>("sound");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected");
    QTest::newRow("other extension") << false << "defaultrich.jpg"
                                     << "DefaultRich.bmp";
    QTest::newRow("no extension") << false << "DEFAULTSCREEN"
                                  << "DefaultScreen.bmp";
    QTest::newRow("already right") << false << "DefaultScreen.bmp"
                                   << "DefaultScreen.bmp";
    QTest::newRow("in a directory") << false << "/pictures/DefaultRich.jpg"
                                    << "/pictures/DefaultRich.jpg";
    QTest::newRow("longer name") << false << "MyDefaultRich.jpg"
                                 << "MyDefaultRich.jpg";
    QTest::newRow("a sound's name for a picture") << false << "Default.png"
                                                  << "Default.png";
    QTest::newRow("sound") << true << "default.WAVE"
                           << "Default.wav";
    QTest::newRow("a picture's name for a sound") << true << "DefaultRich.wav"
                                                  << "DefaultRich.wav";
    QTest::newRow("empty sound") << true << ""
                                 << "";
}

void TestSettings::normalisedNames()
{
    QFETCH(bool, sound);
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    QCOMPARE(sound ? NormaliseSoundName(stored) : NormaliseImageName(stored), expected);
}

void TestSettings::shortNames_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("defaultProfile");
    QTest::addColumn<QString>("expected");
    const QString images = QStringLiteral("/opt/lectern/BackImages/");
    QTest::newRow("beside the profile") << "/books/Poe/pics/raven.jpg" << false << "pics/raven.jpg";
    QTest::newRow("default profile") << "/books/Poe/pics/raven.jpg" << true << "/books/Poe/pics/raven.jpg";
    QTest::newRow("program pictures") << images + "Paper.jpg" << false << "Paper.jpg";
    QTest::newRow("program pictures, default") << images + "Paper.jpg" << true << "Paper.jpg";
    QTest::newRow("elsewhere") << "/home/r/x.png" << false << "/home/r/x.png";
    QTest::newRow("letter case differs") << "/Books/Poe/raven.jpg" << false << "/Books/Poe/raven.jpg";
    QTest::newRow("already short") << "raven.jpg" << false << "raven.jpg";
}

void TestSettings::shortNames()
{
    QFETCH(QString, path);
    QFETCH(bool, defaultProfile);
    QFETCH(QString, expected);
    QCOMPARE(ShortProfileFileName(path, QStringLiteral("/books/Poe/"), defaultProfile,
                                  QStringLiteral("/opt/lectern/BackImages/")),
             expected);
}

void TestSettings::resolvedNames()
{
    QTemporaryDir dir;
    const QString profileDir = dir.filePath(QStringLiteral("Poe/"));
    const QString images = dir.filePath(QStringLiteral("BackImages/"));
    QVERIFY(Touch(profileDir + "pics/raven.jpg"));
    QVERIFY(Touch(images + "Paper.jpg"));
    QVERIFY(Touch(images + "both.jpg"));
    QVERIFY(Touch(profileDir + "both.jpg"));
    QCOMPARE(ResolveProfileFileName(QStringLiteral("pics/raven.jpg"), profileDir, images),
             profileDir + "pics/raven.jpg");
    QCOMPARE(ResolveProfileFileName(QStringLiteral("../Poe/pics/raven.jpg"), profileDir, images),
             profileDir + "pics/raven.jpg");
    QCOMPARE(ResolveProfileFileName(QStringLiteral("Paper.jpg"), profileDir, images), images + "Paper.jpg");
    QCOMPARE(ResolveProfileFileName(QStringLiteral("both.jpg"), profileDir, images), profileDir + "both.jpg");
    QCOMPARE(ResolveProfileFileName(QStringLiteral("gone.jpg"), profileDir, images), images + "*");
    QCOMPARE(ResolveProfileFileName(QStringLiteral("/any/where.jpg"), profileDir, images),
             QStringLiteral("/any/where.jpg"));
    QCOMPARE(ResolveProfileFileName(QString(), profileDir, images), QString());
}

void TestSettings::profileCandidatesOfABook()
{
    QTemporaryDir dir;
    const QString books = dir.filePath(QStringLiteral("Books/"));
    const QString raven = books + "Poe/Raven.txt";
    const QString fallback = dir.filePath(QStringLiteral("LecternProfile.lcp"));
    QVERIFY(Touch(raven));
    QCOMPARE(ProfileCandidatesForBook(raven, QString(), fallback),
             QStringList(
                 {books + "Poe/Raven.lcp", books + "Poe/LecternProfile.lcp", books + "LecternProfile.lcp", fallback}));

    // Nothing beside the book: the default profile, whether it exists or not.
    QCOMPARE(ChooseProfileForBook(raven, QString(), fallback), fallback);
    // The profile of the whole directory of books, one level up.
    QVERIFY(Touch(books + "LecternProfile.lcp"));
    QCOMPARE(ChooseProfileForBook(raven, QString(), fallback), books + "LecternProfile.lcp");
    QVERIFY(Touch(books + "Poe/LecternProfile.lcp"));
    QCOMPARE(ChooseProfileForBook(raven, QString(), fallback), books + "Poe/LecternProfile.lcp");
    QVERIFY(Touch(books + "Poe/Raven.lcp"));
    QCOMPARE(ChooseProfileForBook(raven, QString(), fallback), books + "Poe/Raven.lcp");
    // Names are exact: RAVEN.TXT's own profile is RAVEN.lcp.
    QCOMPARE(ProfileCandidatesForBook(books + "Poe/RAVEN.TXT", QString(), fallback).first(), books + "Poe/RAVEN.lcp");
    // The profile the reader has just chosen comes first.
    const QString chosen = dir.filePath(QStringLiteral("Night.lcp"));
    QVERIFY(Touch(chosen));
    QCOMPARE(ChooseProfileForBook(raven, chosen, fallback), chosen);
    // A book at the root has no parent directory to look in.
    QCOMPARE(ProfileCandidatesForBook(QStringLiteral("/a.txt"), QString(), fallback),
             QStringList({"/a.lcp", "/LecternProfile.lcp", fallback}));
    QVERIFY(HasProfileExtension(QStringLiteral("x.LCP")));
    QVERIFY(!HasProfileExtension(QStringLiteral("x.txt")));
}

void TestSettings::programSettingsKeepCurrentValues()
{
    TProgramSettings settings;
    settings.WheelScrollLines = 5;
    settings.DictionaryTitle = QStringLiteral("/usr/bin/sdcv");
    TStoredTextList file;
    file.LoadFromBytes("[Lectern_Main]\nWheelScrollLines=25\nAutoLoadLast=FALSE\nPieceSize=55000\n"
                       "RichBoxTopPercent=4\nPrintLeftMargin=50\nDictionaryTitle=\n");
    ReadProgramSettings(file, settings);
    QCOMPARE(settings.WheelScrollLines, 5);
    QVERIFY(!settings.AutoLoadLast);
    QCOMPARE(settings.PieceSize, 55000); // in range, though not a choice of its list
    QCOMPARE(settings.RichBoxTopPercent, 10);
    QCOMPARE(settings.PrintLeftMargin, 50);
    QCOMPARE(settings.DictionaryTitle, QStringLiteral("/usr/bin/sdcv"));
}

void TestSettings::programSettingsInTableOrder()
{
    TStoredTextList list;
    WriteProgramSettings(TProgramSettings(), list);
    QCOMPARE(list.SaveToBytes(),
             QByteArray("[Lectern_Main]\r\nAutoSaveProfile=TRUE\r\nAutoBookmark=TRUE\r\nAutoLoadLast=TRUE\r\n"
                        "WheelScrollLines=3\r\nDictionaryTitle=goldendict\r\nClipboardForDic=TRUE\r\n"
                        "ForceRichEdit3=FALSE\r\nOpenInPieces=TRUE\r\nPieceSize=50000\r\nRichBoxWidthPercent=45\r\n"
                        "RichBoxTopPercent=10\r\nRichBoxBottomPercent=15\r\nPrintLeftMargin=30\r\n"
                        "PrintRightMargin=20\r\nPrintTopMargin=20\r\nPrintBottomMargin=20\r\n"));
}

void TestSettings::converterUnits()
{
    TProgramSettings settings;
    TStoredTextList file;
    file.LoadFromBytes("[Lectern_ConvertMeasure]\nSpeed=Knots\nArea=\nWeight=" + QByteArray(260, 'k') + "\n");
    ReadConvertMeasureUnits(file, settings);
    QCOMPARE(settings.Speed, QStringLiteral("Knots"));
    QCOMPARE(settings.Area, QStringLiteral("Meters^2"));
    QCOMPARE(settings.Weight, QStringLiteral("Kilograms"));
    TStoredTextList written;
    WriteConvertMeasureUnits(settings, written);
    QCOMPARE(written.Text().Keys(QStringLiteral("Lectern_ConvertMeasure")),
             QStringList({"Length", "Speed", "Area", "Volume", "Weight", "Temperature"}));
}

void TestSettings::settingsDirectory_data()
{
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("xdg");
    QTest::addColumn<QString>("expected");
    QTest::newRow("portable") << true << "/home/r/.cfg"
                              << "/opt/Lectern/";
    QTest::newRow("installed") << false << "/home/r/.cfg"
                               << "/home/r/.cfg/Lectern/";
    QTest::newRow("trailing slash") << false << "/home/r/.cfg/"
                                    << "/home/r/.cfg/Lectern/";
    QTest::newRow("no XDG_CONFIG_HOME") << false << ""
                                        << "/home/r/.config/Lectern/";
    QTest::newRow("relative XDG_CONFIG_HOME") << false << "cfg"
                                              << "/home/r/.config/Lectern/";
}

void TestSettings::settingsDirectory()
{
    QFETCH(bool, writable);
    QFETCH(QString, xdg);
    QFETCH(QString, expected);
    const QString program = QStringLiteral("/opt/Lectern/");
    const auto nothing = [](const QString &) { return false; };
    const auto canWrite = [&](const QString &path) { return writable || !path.startsWith(program); };
    QCOMPARE(SettingsDirectoryFor(program, ConfigDirectoryFor(xdg, QStringLiteral("/home/r")), nothing, canWrite),
             expected);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
