#include "BackImages.h"
#include "ColorSchemes.h"
#include "Picture.h"
#include "StockColors.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "FunStatContext.h"

namespace {

// A picture whose every pixel tells where it is: red = x, green = y.
QImage Gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, 77));
    return image;
}

bool TiledFrom(const QImage &result, const QImage &tile)
{
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x)
            if (result.pixel(x, y) != tile.pixel(x % tile.width(), y % tile.height()))
                return false;
    return true;
}

QImage Painted(const TBackImages &images, TRichBackground background, const QSize &client, const QPoint &pos)
{
    QImage target(client, QImage::Format_RGB32);
    target.fill(Qt::magenta);
    QPainter painter(&target);
    images.PaintRichBox(painter, background, client, pos, Qt::cyan);
    return target;
}

} // namespace

class TestBackImages : public QObject {
    Q_OBJECT
private slots:
    void init();
    void TilingCoversWithoutGaps();
    void ScreenPictureTiledFittedOrStretched();
    void PicturesThatAreNotUsed_data();
    void PicturesThatAreNotUsed();
    void UndecodablePictureIsAFailure();
    void SameRequestKeepsTheImages();
    void RichBackgroundChoice_data();
    void RichBackgroundChoice();
    void TransparentBoxShowsTheCentrePieceUnderIt();
    void RichPictureTiledOverTheBox();
    void TitlesAndPaths_data();
    void TitlesAndPaths();
    void SchemesHoldStockColoursAndTheDefaults();

private:
    QTemporaryDir Dir;
    QString Patterns;
    QString PicturePath(const QString &name, const QImage &image, const char *format = "PNG");
};

void TestBackImages::init()
{
    QVERIFY(Dir.isValid());
    Patterns = GetPictureExtensionsAsFilter();
    FunStatContext.Reset();
}

QString TestBackImages::PicturePath(const QString &name, const QImage &image, const char *format)
{
    const QString path = Dir.filePath(name);
    image.save(path, format);
    return path;
}

void TestBackImages::TilingCoversWithoutGaps()
{
    const QImage tile = Gradient(3, 2);
    const QImage tiled = TiledImage(tile, QSize(7, 5));
    QCOMPARE(tiled.size(), QSize(7, 5));
    QVERIFY(TiledFrom(tiled, tile));
    // A tile larger than the area is cut at the area's edge.
    const QImage cut = TiledImage(Gradient(10, 10), QSize(4, 3));
    QCOMPARE(cut.size(), QSize(4, 3));
    QVERIFY(TiledFrom(cut, Gradient(10, 10)));
    QVERIFY(TiledImage(QImage(), QSize(4, 3)).isNull());
    QVERIFY(TiledImage(tile, QSize(0, 3)).isNull());
}

void TestBackImages::ScreenPictureTiledFittedOrStretched()
{
    TBackImages images(Patterns);
    TScreenBackOptions options;
    options.FadeCenter = 100;
    // Smaller than the screen: repeated from the top-left corner.
    const QImage small = Gradient(30, 20);
    QVERIFY(images.BuildScreen(PicturePath(QStringLiteral("small.png"), small), QSize(100, 70), options));
    QCOMPARE(images.Screen().size(), QSize(100, 70));
    QVERIFY(TiledFrom(images.Screen(), small));
    QCOMPARE(images.Centre().size(), QSize(100, 70));
    QCOMPARE(images.Centre().pixel(50, 50), qRgb(0, 0, 0)); // "Fade center" 100

    // Larger: shrunk to fit keeping its aspect ratio, then repeated.
    QImage wide(400, 100, QImage::Format_RGB32);
    wide.fill(qRgb(10, 200, 30));
    QVERIFY(images.BuildScreen(PicturePath(QStringLiteral("wide.png"), wide), QSize(200, 120), options));
    QCOMPARE(images.Screen().size(), QSize(200, 120));
    QCOMPARE(images.Screen().pixel(199, 119), qRgb(10, 200, 30)); // the second row of tiles

    // Stretched: one picture over the whole screen.
    options.Stretch = true;
    QVERIFY(images.BuildScreen(PicturePath(QStringLiteral("small2.png"), small), QSize(90, 40), options));
    QCOMPARE(images.Screen().size(), QSize(90, 40));
    QVERIFY(qRed(images.Screen().pixel(80, 5)) > 20); // not a repetition of the 30-pixel tile
}

void TestBackImages::PicturesThatAreNotUsed_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("use");
    QTest::addColumn<QSize>("client");
    QTest::newRow("option off") << "small.png" << false << QSize(50, 50);
    QTest::newRow("no such file") << "none.png" << true << QSize(50, 50);
    QTest::newRow("background-images directory only") << "*" << true << QSize(50, 50);
    QTest::newRow("not a picture pattern") << "small.txt" << true << QSize(50, 50);
    QTest::newRow("empty path") << "" << true << QSize(50, 50);
    QTest::newRow("no client area") << "small.png" << true << QSize(0, 0);
}

void TestBackImages::PicturesThatAreNotUsed()
{
    QFETCH(QString, name);
    QFETCH(bool, use);
    QFETCH(QSize, client);
    PicturePath(QStringLiteral("small.png"), Gradient(5, 5));
    PicturePath(QStringLiteral("small.txt"), Gradient(5, 5), "PNG");
    TBackImages images(Patterns);
    TScreenBackOptions options;
    options.Use = use;
    const QString path = name.isEmpty() ? QString() : Dir.filePath(name);
    QVERIFY(images.BuildScreen(path, client, options)); // no failure
    QVERIFY(!images.HasScreen());
    QVERIFY(images.Centre().isNull());
    QVERIFY(images.BuildRich(use ? path : QString(), client, TRichBackOptions()));
    QVERIFY(!images.HasRichPicture());
    QVERIFY(!FunStatContext.Failed());
}

void TestBackImages::UndecodablePictureIsAFailure()
{
    const QString path = Dir.filePath(QStringLiteral("words.jpg"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Once upon a time there was no picture here.\n");
    file.close();
    TBackImages images(Patterns);
    QVERIFY(images.BuildScreen(PicturePath(QStringLiteral("good.png"), Gradient(8, 8)), QSize(40, 40),
                               TScreenBackOptions()));
    QVERIFY(images.HasScreen());
    QVERIFY(!images.BuildScreen(path, QSize(40, 40), TScreenBackOptions()));
    QVERIFY(FunStatContext.Failed());
    QVERIFY(!images.HasScreen()); // the old picture is gone too: the back colour shows
    QCOMPARE(images.RichBackground(true, true), TRichBackground::Color);
    // Reported once: other sizes and uses of the same file fail quietly.
    FunStatContext.Reset();
    QVERIFY(images.BuildScreen(path, QSize(60, 50), TScreenBackOptions()));
    QVERIFY(images.BuildRich(path, QSize(40, 40), TRichBackOptions()));
    QVERIFY(!images.HasScreen());
    QVERIFY(!images.HasRichPicture());
    QVERIFY(!FunStatContext.Failed());
    // Once the file changes it is tried again.
    QVERIFY(Gradient(4, 4).save(path, "JPEG"));
    QVERIFY(images.BuildRich(path, QSize(40, 40), TRichBackOptions()));
    QVERIFY(images.HasRichPicture());
}

void TestBackImages::SameRequestKeepsTheImages()
{
    const QString path = PicturePath(QStringLiteral("same.png"), Gradient(8, 8));
    TBackImages images(Patterns);
    QVERIFY(images.BuildScreen(path, QSize(40, 40), TScreenBackOptions()));
    const qint64 built = images.Screen().cacheKey();
    QVERIFY(images.BuildScreen(path, QSize(40, 40), TScreenBackOptions()));
    QCOMPARE(images.Screen().cacheKey(), built); // not decoded again
    TScreenBackOptions faded;
    faded.Fade = 50;
    QVERIFY(images.BuildScreen(path, QSize(40, 40), faded));
    QVERIFY(images.Screen().cacheKey() != built);
    QVERIFY(qAbs(qGreen(images.Screen().pixel(0, 3)) - 1) <= 1);
}

void TestBackImages::RichBackgroundChoice_data()
{
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<bool>("screen");
    QTest::addColumn<bool>("richLoaded");
    QTest::addColumn<bool>("richUsed");
    QTest::addColumn<TRichBackground>("expected");
    QTest::newRow("transparent over the screen picture") << true << true << true << true << TRichBackground::Centre;
    QTest::newRow("transparent without screen picture") << true << false << true << true << TRichBackground::Color;
    QTest::newRow("picture") << false << true << true << true << TRichBackground::Picture;
    QTest::newRow("picture not used") << false << true << true << false << TRichBackground::Color;
    QTest::newRow("picture not loaded") << false << false << false << true << TRichBackground::Color;
}

void TestBackImages::RichBackgroundChoice()
{
    QFETCH(bool, transparent);
    QFETCH(bool, screen);
    QFETCH(bool, richLoaded);
    QFETCH(bool, richUsed);
    QFETCH(TRichBackground, expected);
    const QString picture = PicturePath(QStringLiteral("p.png"), Gradient(6, 6));
    TBackImages images(Patterns);
    QVERIFY(images.BuildScreen(screen ? picture : QString(), QSize(30, 30), TScreenBackOptions()));
    QVERIFY(images.BuildRich(richLoaded ? picture : QString(), QSize(20, 20), TRichBackOptions()));
    QCOMPARE(images.RichBackground(transparent, richUsed), expected);
}

void TestBackImages::TransparentBoxShowsTheCentrePieceUnderIt()
{
    TBackImages images(Patterns);
    QVERIFY(images.BuildScreen(PicturePath(QStringLiteral("g.png"), Gradient(200, 150)), QSize(200, 150),
                               TScreenBackOptions()));
    // With "Fade center" 0 the box looks exactly like the screen behind it,
    // wherever it is moved.
    for (const QPoint &pos : {QPoint(10, 20), QPoint(120, 90)}) {
        const QImage box = Painted(images, TRichBackground::Centre, QSize(60, 40), pos);
        QCOMPARE(box, images.Screen().copy(QRect(pos, QSize(60, 40))));
    }
    // A box reaching past the prepared screen (a resize not rebuilt yet)
    // shows the colour where the image ends.
    const QImage past = Painted(images, TRichBackground::Centre, QSize(60, 40), QPoint(180, 0));
    QCOMPARE(past.pixel(59, 0), QColor(Qt::cyan).rgb());
    QCOMPARE(past.pixel(0, 0), images.Screen().pixel(180, 0));
    // The colour choice paints nothing: the box fills its own colour.
    QCOMPARE(Painted(images, TRichBackground::Color, QSize(5, 5), QPoint()).pixel(2, 2), QColor(Qt::magenta).rgb());
}

void TestBackImages::RichPictureTiledOverTheBox()
{
    TBackImages images(Patterns);
    TRichBackOptions options;
    options.Fade = 50;
    const QImage tile = Gradient(16, 12);
    QVERIFY(images.BuildRich(PicturePath(QStringLiteral("r.png"), tile), QSize(50, 40), options));
    QCOMPARE(images.RichPicture().size(), QSize(50, 40));
    const QImage box = Painted(images, TRichBackground::Picture, QSize(50, 40), QPoint(300, 300));
    QCOMPARE(box, images.RichPicture());
    QCOMPARE(box.pixel(17, 13), box.pixel(1, 1)); // repeated
    QVERIFY(qAbs(qRed(box.pixel(10, 0)) - 5) <= 1); // faded by half
}

void TestBackImages::TitlesAndPaths_data()
{
    QTest::addColumn<QString>("file"); // relative to the temporary directory
    QTest::addColumn<bool>("defaultProfile");
    QTest::addColumn<QString>("title");
    QTest::newRow("in the profile's directory") << "books/poe/raven.png" << false << "raven.png";
    QTest::newRow("below the profile's directory") << "books/poe/art/raven.png" << false << "art/raven.png";
    QTest::newRow("default profile: no profile directory") << "books/poe/raven.png" << true << "@/books/poe/raven.png";
    QTest::newRow("in the images directory") << "program/BackImages/sea.png" << false << "sea.png";
    QTest::newRow("elsewhere") << "pictures/sky.png" << false << "@/pictures/sky.png";
}

void TestBackImages::TitlesAndPaths()
{
    QFETCH(QString, file);
    QFETCH(bool, defaultProfile);
    QFETCH(QString, title);
    const QString root = Dir.path();
    title.replace(QLatin1Char('@'), root);
    const QString path = root + QLatin1Char('/') + file;
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QVERIFY(Gradient(2, 2).save(path, "PNG"));
    TProfilePlaces places;
    places.ProfileDirectory = root + QStringLiteral("/books/poe/");
    places.IsDefaultProfile = defaultProfile;
    places.ImageDirectory = root + QStringLiteral("/program/BackImages/");
    QCOMPARE(ImagePathToTitle(path, places), title);
    QCOMPARE(ImageTitleToPath(title, places), path);
    QCOMPARE(ImagePathToTitle(QString(), places), QString());
    QCOMPARE(ImageTitleToPath(QString(), places), QString());
    // A title found in neither directory names no picture.
    QCOMPARE(ImageTitleToPath(QStringLiteral("gone.png"), places), places.ImageDirectory + QLatin1Char('*'));
    QVERIFY(!TBackImages(Patterns).IsPicturePath(places.ImageDirectory + QLatin1Char('*')));
}

void TestBackImages::SchemesHoldStockColoursAndTheDefaults()
{
    const TProfile defaults;
    for (int role = 0; role < ColorRoleCount; ++role) {
        const TColorRole r = TColorRole(role);
        QCOMPARE(DefaultColor(r), defaults.*ColorRoleField(r));
        for (TColorSchemeKind kind :
             {TColorSchemeKind::HighLight, TColorSchemeKind::LowStrain, TColorSchemeKind::LowLight})
            QVERIFY2(!StockColorName(ColorScheme(kind).at(role)).isEmpty(), qPrintable(QString::number(role)));
    }
    // Each role has a field of its own.
    TProfile profile;
    const TColorScheme &lowLight = ColorScheme(TColorSchemeKind::LowLight);
    for (int role = 0; role < ColorRoleCount; ++role)
        profile.*ColorRoleField(TColorRole(role)) = TColor(role + 1);
    for (int role = 0; role < ColorRoleCount; ++role)
        QCOMPARE(profile.*ColorRoleField(TColorRole(role)), TColor(role + 1));
    QCOMPARE(lowLight.at(crScreenBack), TColor(0)); // evening reading: black screen
}

QTEST_MAIN(TestBackImages)
#include "test_backimages.moc"
