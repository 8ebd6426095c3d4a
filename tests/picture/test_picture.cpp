#include "Picture.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "FunStatContext.h"

namespace {

QByteArray Encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Two pixels side by side: a bright orange and a middle grey.
QImage TwoPixels()
{
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(200, 100, 0));
    image.setPixel(1, 0, qRgb(128, 128, 128));
    return image;
}

uint32_t Crc32(const QByteArray &bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= uint8_t(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray PngChunk(const char *type, const QByteArray &data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), chunk.data());
    const QByteArray body = QByteArray(type) + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(Crc32(body), crc.data());
    return chunk + body + crc;
}

// A well-formed header of a 30000 x 30000 RGBA picture (3.6 GB decoded)
// with a few bytes of compressed zeros.
QByteArray PngBomb()
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(30000, header.data());
    qToBigEndian<quint32>(30000, header.data() + 4);
    header[8] = 8; // bits per channel
    header[9] = 6; // RGBA
    const QByteArray zeros = qCompress(QByteArray(100000, '\0')).mid(4); // zlib stream without Qt's length
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) + PngChunk("IDAT", zeros)
        + PngChunk("IEND", QByteArray());
}

bool Load(const QByteArray &bytes, QImage &first, QImage &second, int width, int height, int fade1 = 0, int fade2 = 0,
          bool stretch = false, int gamma = 100)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return LoadPictureToBitmap(&buffer, QStringLiteral("picture"), first, second, width, height, gamma, fade1, fade2,
                               stretch, false);
}

bool Near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) <= 1 && qAbs(qGreen(a) - qGreen(b)) <= 1 && qAbs(qBlue(a) - qBlue(b)) <= 1;
}

} // namespace

class TestPicture : public QObject {
    Q_OBJECT
private slots:
    void FitSizeKeepingAspect_data();
    void FitSizeKeepingAspect();
    void PatternListIsLowerCaseAndComplete();
    void PathMatchesPatterns_data();
    void PathMatchesPatterns();
    void FadeAndGammaOnKnownPixels_data();
    void FadeAndGammaOnKnownPixels();
    void TwoBitmapsDifferOnlyInFade();
    void FittedStretchedAndSmallPictures();
    void UndecodablePicturesGiveNoImage_data();
    void UndecodablePicturesGiveNoImage();
    void MissingFileIsRecorded();
};

void TestPicture::FitSizeKeepingAspect_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("target");
    QTest::addColumn<bool>("enlarge");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("smaller stays") << QSize(200, 100) << QSize(1000, 800) << false << QSize(200, 100);
    QTest::newRow("too wide") << QSize(200, 100) << QSize(150, 800) << false << QSize(150, 75);
    QTest::newRow("too tall") << QSize(200, 100) << QSize(1000, 50) << false << QSize(100, 50);
    QTest::newRow("truncated height") << QSize(3, 7) << QSize(2, 100) << false << QSize(2, 4);
    QTest::newRow("no width") << QSize(0, 7) << QSize(100, 100) << false << QSize(0, 0);
    QTest::newRow("no height") << QSize(7, 0) << QSize(100, 100) << false << QSize(0, 0);
    QTest::newRow("enlarged to width") << QSize(200, 100) << QSize(1000, 800) << true << QSize(1000, 500);
    QTest::newRow("enlarged to height") << QSize(200, 100) << QSize(1000, 300) << true << QSize(600, 300);
    QTest::newRow("photo on a screen") << QSize(4000, 3000) << QSize(1920, 1080) << false << QSize(1440, 1080);
    // Products beyond 32 bits do not wrap.
    QTest::newRow("huge") << QSize(100000, 100000) << QSize(50000, 40000) << false << QSize(40000, 40000);
}

void TestPicture::FitSizeKeepingAspect()
{
    QFETCH(QSize, source);
    QFETCH(QSize, target);
    QFETCH(bool, enlarge);
    QFETCH(QSize, expected);
    QCOMPARE(::FitSizeKeepingAspect(source.width(), source.height(), target.width(), target.height(), enlarge),
             expected);
}

void TestPicture::PatternListIsLowerCaseAndComplete()
{
    const QString list = GetPictureExtensionsAsFilter();
    QCOMPARE(list, list.toLower());
    QVERIFY(!list.endsWith(QLatin1Char(';')));
    const QStringList patterns = list.split(QLatin1Char(';'));
    for (const QString &pattern : patterns)
        QVERIFY2(pattern.startsWith(QLatin1String("*.")) && !pattern.contains(QLatin1Char(' ')), qPrintable(pattern));
    // Every format the readers know, each with its own pattern.
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    QCOMPARE(patterns.size(), formats.size());
    for (const char *format : {"bmp", "png", "jpg", "jpeg", "gif"})
        QVERIFY2(patterns.contains(QStringLiteral("*.") + QLatin1String(format)), format);
}

void TestPicture::PathMatchesPatterns_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("patterns");
    QTest::addColumn<bool>("matches");
    const QString list = QStringLiteral("*.bmp;*.png;*.jp?g");
    QTest::newRow("listed") << "/home/me/a.png" << list << true;
    QTest::newRow("case ignored") << "/home/me/A.PNG" << list << true;
    QTest::newRow("question mark") << "/p/x.jpeg" << list << true;
    QTest::newRow("question mark needs a character") << "/p/x.jpg" << list << false;
    QTest::newRow("whole path") << "/p/x.png.txt" << list << false;
    QTest::newRow("directory with dots") << "/p.png/x" << list << false;
    QTest::newRow("empty list matches all") << "/p/x.txt" << QString() << true;
}

void TestPicture::PathMatchesPatterns()
{
    QFETCH(QString, path);
    QFETCH(QString, patterns);
    QFETCH(bool, matches);
    QCOMPARE(::PathMatchesPatterns(path, patterns), matches);
}

void TestPicture::FadeAndGammaOnKnownPixels_data()
{
    QTest::addColumn<int>("fade");
    QTest::addColumn<int>("gamma");
    QTest::addColumn<QRgb>("orange");
    QTest::addColumn<QRgb>("grey");
    QTest::newRow("plain") << 0 << 100 << qRgb(200, 100, 0) << qRgb(128, 128, 128);
    QTest::newRow("fade 50 halves") << 50 << 100 << qRgb(100, 50, 0) << qRgb(64, 64, 64);
    QTest::newRow("fade 100 is black") << 100 << 100 << qRgb(0, 0, 0) << qRgb(0, 0, 0);
    QTest::newRow("fade out of range ignored") << 101 << 100 << qRgb(200, 100, 0) << qRgb(128, 128, 128);
    QTest::newRow("gamma 200 darkens") << 0 << 200 << qRgb(157, 39, 0) << qRgb(64, 64, 64);
    QTest::newRow("gamma 50 brightens") << 0 << 50 << qRgb(226, 160, 0) << qRgb(181, 181, 181);
    QTest::newRow("gamma 1000 still applied") << 0 << 1000 << qRgb(22, 0, 0) << qRgb(0, 0, 0);
    QTest::newRow("gamma 1001 ignored") << 0 << 1001 << qRgb(200, 100, 0) << qRgb(128, 128, 128);
    QTest::newRow("gamma 0 ignored") << 0 << 0 << qRgb(200, 100, 0) << qRgb(128, 128, 128);
    QTest::newRow("both") << 50 << 200 << qRgb(78, 20, 0) << qRgb(32, 32, 32);
}

void TestPicture::FadeAndGammaOnKnownPixels()
{
    QFETCH(int, fade);
    QFETCH(int, gamma);
    QFETCH(QRgb, orange);
    QFETCH(QRgb, grey);
    // Painted onto black, as the bitmaps are.
    QImage drawn(2, 1, QImage::Format_RGB32);
    drawn.fill(Qt::black);
    {
        QPainter painter(&drawn);
        DrawPictureAdjusted(painter, TwoPixels(), 2, 1, gamma, fade);
    }
    QVERIFY2(Near(drawn.pixel(0, 0), orange), qPrintable(QString::number(drawn.pixel(0, 0), 16)));
    QVERIFY2(Near(drawn.pixel(1, 0), grey), qPrintable(QString::number(drawn.pixel(1, 0), 16)));
    // The loader gives the same.
    QImage first, second;
    QVERIFY(Load(Encoded(TwoPixels(), "PNG"), first, second, 2, 1, fade, fade, false, gamma));
    QVERIFY(Near(first.pixel(0, 0), orange));
    QVERIFY(Near(first.pixel(1, 0), grey));
}

void TestPicture::TwoBitmapsDifferOnlyInFade()
{
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(qRgb(200, 180, 160));
    QImage first, second;
    QVERIFY(Load(Encoded(picture, "PNG"), first, second, 400, 400, 0, 100));
    QCOMPARE(first.size(), QSize(40, 20));
    QCOMPARE(second.size(), first.size());
    QCOMPARE(first.pixel(5, 5), qRgb(200, 180, 160));
    QCOMPARE(second.pixel(5, 5), qRgb(0, 0, 0));
    QVERIFY(!first.hasAlphaChannel());
}

void TestPicture::FittedStretchedAndSmallPictures()
{
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (const char *format : {"PNG", "JPEG", "BMP"}) {
        const QByteArray bytes = Encoded(picture, format);
        QImage first, second;
        QVERIFY(Load(bytes, first, second, 150, 800));
        QCOMPARE(first.size(), QSize(150, 75));
        QVERIFY(Load(bytes, first, second, 30, 70, 0, 0, true));
        QCOMPARE(first.size(), QSize(30, 70)); // stretched whatever the aspect
        QVERIFY(Load(bytes, first, second, 1000, 1000));
        QCOMPARE(first.size(), QSize(200, 100)); // never enlarged
        QVERIFY(!Load(bytes, first, second, 0, 1000)); // nothing to cover
        QVERIFY(first.isNull() && second.isNull());
    }
}

void TestPicture::UndecodablePicturesGiveNoImage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("stretch");
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QByteArray png = Encoded(picture, "PNG");
    QTest::newRow("text named .jpg") << QByteArray("These are words, not a picture.\n") << false;
    QTest::newRow("text, stretched") << QByteArray("These are words, not a picture.\n") << true;
    QTest::newRow("truncated png") << png.left(png.size() / 2) << true;
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("no pixels") << QByteArray("P1\n0 0\n") << true;
    QTest::newRow("30000 x 30000 bomb") << PngBomb() << false;
}

void TestPicture::UndecodablePicturesGiveNoImage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, stretch);
    QImage first(5, 5, QImage::Format_RGB32), second(5, 5, QImage::Format_RGB32);
    FunStatContext.Reset();
    QVERIFY(!Load(bytes, first, second, 800, 600, 0, 50, stretch));
    QVERIFY(first.isNull());
    QVERIFY(second.isNull());
    QVERIFY(FunStatContext.Failed());
    QCOMPARE(FunStatContext.RaiseFunction, QStringLiteral("LoadPictureToBitmap"));
    FunStatContext.Reset();
}

void TestPicture::MissingFileIsRecorded()
{
    QTemporaryDir dir;
    QImage first, second;
    FunStatContext.Reset();
    QVERIFY(
        !LoadPictureToBitmap(dir.filePath(QStringLiteral("none.png")), first, second, 10, 10, 100, 0, 0, false, false));
    QVERIFY(FunStatContext.Failed());
    QVERIFY(FunStatContext.Parameter1.endsWith(QLatin1String("none.png")));
    FunStatContext.Reset();
}

QTEST_GUILESS_MAIN(TestPicture)
#include "test_picture.moc"
