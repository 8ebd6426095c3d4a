// The files that ship beside the executable: present, readable and holding
// what the program looks for in them.
#include <QtTest>

#include <QImage>
#include <QStringDecoder>

class TestWindowPackage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void welcomeBook();
    void helpDocument();
    void rtfFixUpDocument();
    void backgroundPictures();

private:
    QByteArray Read(const QString &name);
    QString Package;
};

void TestWindowPackage::initTestCase()
{
    Package = qEnvironmentVariable("LECTERN_PACKAGE");
    if (Package.isEmpty() || !QFileInfo::exists(Package + QStringLiteral("/Welcome.txt")))
        QSKIP("the package directory is not built");
}

QByteArray TestWindowPackage::Read(const QString &name)
{
    QFile f(Package + QLatin1Char('/') + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestWindowPackage::welcomeBook()
{
    const QByteArray bytes = Read(QStringLiteral("Welcome.txt"));
    QVERIFY(!bytes.isEmpty());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    QVERIFY(!utf8.hasError());
    const QStringList lines = text.split(QLatin1Char('\n'));
    int chapters = 0, commands = 0;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("Chapter ")))
            ++chapters;
        if (line.startsWith(QLatin1Char('^'))) {
            ++commands;
            // Every command line ends with its mode character.
            QVERIFY2(QStringLiteral("+*/~").contains(line.back()), qPrintable(line));
        }
    }
    QVERIFY(chapters >= 3);
    QVERIFY(commands >= 4);
    // A word hyphenated at a line end, curly and straight quotes.
    QVERIFY(QRegularExpression(QStringLiteral("[a-z]-\\n[a-z]")).match(text).hasMatch());
    QVERIFY(text.contains(QChar(0x201C)) && text.contains(QChar(0x201D)));
    QVERIFY(text.contains(QLatin1Char('"')));
}

void TestWindowPackage::helpDocument()
{
    const QString html = QString::fromUtf8(Read(QStringLiteral("Help.html")));
    QVERIFY(html.contains(QLatin1String("name=\"100\"")));
    QVERIFY(html.contains(QLatin1String("name=\"10000\"")));
    QVERIFY(html.contains(QLatin1String("Dealing with slow opening")));
    QVERIFY(!Read(QStringLiteral("Readme.txt")).isEmpty());
}

void TestWindowPackage::rtfFixUpDocument()
{
    const QByteArray rtf = Read(QStringLiteral("ErrorFix.rtf")).trimmed();
    QVERIFY(rtf.startsWith("{\\rtf1"));
    QVERIFY(rtf.endsWith('}'));
    int depth = 0;
    for (int i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i; // an escaped brace is text
            continue;
        }
        depth += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
        QVERIFY(depth >= 0);
        if (depth == 0)
            QCOMPARE(i, rtf.size() - 1);
    }
    QCOMPARE(depth, 0);
}

void TestWindowPackage::backgroundPictures()
{
    for (const char *name : {"DefaultScreen.bmp", "DefaultRich.bmp"}) {
        const QImage image(Package + QStringLiteral("/BackImages/") + QLatin1String(name));
        QVERIFY2(!image.isNull(), name);
        QVERIFY(image.width() >= 64 && image.height() >= 64);
        // The pictures are tiled: opposite edges must meet without a seam.
        int worst = 0;
        for (int y = 0; y < image.height(); ++y) {
            const QRgb a = image.pixel(0, y), b = image.pixel(image.width() - 1, y);
            worst = std::max(worst, std::abs(qGray(a) - qGray(b)));
        }
        for (int x = 0; x < image.width(); ++x) {
            const QRgb a = image.pixel(x, 0), b = image.pixel(x, image.height() - 1);
            worst = std::max(worst, std::abs(qGray(a) - qGray(b)));
        }
        QVERIFY2(worst <= 12, qPrintable(QStringLiteral("%1: edge difference %2").arg(name).arg(worst)));
        // Calm: light pictures without strong contrast.
        int lo = 255, hi = 0;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3) {
                lo = std::min(lo, qGray(image.pixel(x, y)));
                hi = std::max(hi, qGray(image.pixel(x, y)));
            }
        QVERIFY(lo >= 180);
        QVERIFY(hi - lo <= 60);
    }
}

QTEST_GUILESS_MAIN(TestWindowPackage)
#include "test_window_package.moc"
