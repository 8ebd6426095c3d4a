// How well text reads on the pictures: the contrast measure, legible label
// colours, the mean tones of a picture after fade and gamma, and the fade
// and gamma chosen so that a colour scheme's text reads.
#include <QtTest>

#include <QTemporaryDir>

#include "BackImages.h"
#include "Contrast.h"
#include "FunStatContext.h"
#include "Picture.h"
#include "ReadablePictures.h"
#include "TempTree.h"

namespace {

const QColor White(255, 255, 255), Black(0, 0, 0);

// A picture of light paper with darker specks, so its tones spread.
QImage Paper(QSize size = QSize(64, 48))
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, (x * 7 + y * 3) % 11 == 0 ? qRgb(150, 140, 120) : qRgb(242, 236, 222));
    return image;
}

TPictureTones TonesOf(const QImage &image)
{
    TPictureTones tones;
    tones.Add(image, image.rect());
    return tones;
}

const QList<int> Fades = {0, 5, 10, 15, 20, 25, 30, 40, 50, 60, 70, 80, 90, 100};

} // namespace

class TestContrast : public QObject {
    Q_OBJECT
private slots:
    void ContrastRatio_data();
    void ContrastRatio();
    void LegibleColorReachesTheMinimumByTheLeastChange_data();
    void LegibleColorReachesTheMinimumByTheLeastChange();
    void OutlineOfTheOppositeTone();
    void DimmedTextStillReads_data();
    void DimmedTextStillReads();
    void MeanOfAnAreaClippedToTheImage();
    void TonesMeanAsThePictureIsPainted_data();
    void TonesMeanAsThePictureIsPainted();
    void AdjustmentNearestToTheReadersOwn_data();
    void AdjustmentNearestToTheReadersOwn();
    void LayoutTonesOfTheTiledPicture();
    void LayoutTonesOfAnUndecodablePicture();
};

void TestContrast::ContrastRatio_data()
{
    QTest::addColumn<QColor>("a");
    QTest::addColumn<QColor>("b");
    QTest::addColumn<double>("ratio");
    QTest::newRow("black on white") << Black << White << 21.0;
    QTest::newRow("white on black, the same") << White << Black << 21.0;
    QTest::newRow("one colour") << QColor(75, 120, 120) << QColor(75, 120, 120) << 1.0;
    // The grey that just passes on white, and the one that just fails.
    QTest::newRow("#767676 on white") << QColor(0x76, 0x76, 0x76) << White << 4.54;
    QTest::newRow("#777777 on white") << QColor(0x77, 0x77, 0x77) << White << 4.48;
    QTest::newRow("pure red on white") << QColor(255, 0, 0) << White << 4.0;
    QTest::newRow("gray white on blue gray") << QColor(230, 230, 230) << QColor(75, 120, 120) << 3.95;
}

void TestContrast::ContrastRatio()
{
    QFETCH(QColor, a);
    QFETCH(QColor, b);
    QFETCH(double, ratio);
    QVERIFY2(qAbs(::ContrastRatio(a, b) - ratio) < 0.01, qPrintable(QString::number(::ContrastRatio(a, b))));
}

void TestContrast::LegibleColorReachesTheMinimumByTheLeastChange_data()
{
    QTest::addColumn<QColor>("preferred");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<bool>("lighter"); // the result lies above the background
    QTest::newRow("black on dark grey turns light") << Black << QColor(48, 47, 44) << true;
    QTest::newRow("cream gray on parchment darkens") << QColor(185, 170, 135) << QColor(242, 236, 222) << false;
    QTest::newRow("grey on black lightens") << QColor(90, 90, 90) << Black << true;
    QTest::newRow("mid grey on mid grey: the side that can reach it")
        << QColor(130, 130, 130) << QColor(120, 120, 120) << false;
}

void TestContrast::LegibleColorReachesTheMinimumByTheLeastChange()
{
    QFETCH(QColor, preferred);
    QFETCH(QColor, background);
    QFETCH(bool, lighter);
    const QColor legible = LegibleColor(preferred, background);
    QVERIFY(::ContrastRatio(legible, background) >= ReadableContrast);
    QCOMPARE(RelativeLuminance(legible) > RelativeLuminance(background), lighter);
    // A colour a little nearer to the preferred one falls short.
    const QColor extreme = lighter ? White : Black;
    const double share = (double(legible.red()) - preferred.red()) / (extreme.red() - preferred.red());
    QVERIFY(::ContrastRatio(MixedColor(preferred, extreme, share - 0.03), background) < ReadableContrast);
    // A colour that reads already is kept.
    QCOMPARE(LegibleColor(legible, background), legible);
    QCOMPARE(LegibleColor(Black, White), Black);
    // A minimum nothing reaches: the better of white and black.
    QCOMPARE(LegibleColor(QColor(100, 100, 100), QColor(110, 110, 110), 30.0), White);
}

void TestContrast::OutlineOfTheOppositeTone()
{
    QCOMPARE(OutlineColor(White), Black);
    QCOMPARE(OutlineColor(QColor(185, 170, 135)), Black);
    QCOMPARE(OutlineColor(Black), White);
    QCOMPARE(OutlineColor(QColor(0, 0, 130)), White);
}

void TestContrast::DimmedTextStillReads_data()
{
    QTest::addColumn<QColor>("fore");
    QTest::addColumn<QColor>("back");
    QTest::newRow("High light") << Black << White;
    QTest::newRow("Low strain") << QColor(230, 230, 230) << QColor(75, 120, 120);
    QTest::newRow("Low light") << QColor(185, 170, 135) << Black;
}

void TestContrast::DimmedTextStillReads()
{
    QFETCH(QColor, fore);
    QFETCH(QColor, back);
    const QColor dimmed = DimmedColor(fore, back);
    const double contrast = ::ContrastRatio(dimmed, back);
    QVERIFY2(contrast >= DimmedContrast, qPrintable(QString::number(contrast)));
    QVERIFY(contrast < ::ContrastRatio(fore, back)); // set apart from the enabled text
}

void TestContrast::MeanOfAnAreaClippedToTheImage()
{
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 5; x < 10; ++x)
            image.setPixel(x, y, qRgb(200, 100, 50));
    QCOMPARE(MeanColor(image, QRect(0, 0, 10, 10)), QColor(100, 50, 25));
    QCOMPARE(MeanColor(image, QRect(5, 0, 50, 50)), QColor(200, 100, 50)); // only the part inside counts
    QCOMPARE(MeanColor(image, QRect(20, 20, 5, 5)).alpha(), 0);
}

void TestContrast::TonesMeanAsThePictureIsPainted_data()
{
    QTest::addColumn<int>("fade");
    QTest::addColumn<int>("gamma");
    QTest::newRow("as it is") << 0 << 100;
    QTest::newRow("fade 80") << 80 << 100;
    QTest::newRow("fade 100: black") << 100 << 100;
    QTest::newRow("gamma 250 darkens") << 0 << 250;
    QTest::newRow("gamma 40 lightens, fade 30") << 30 << 40;
    QTest::newRow("gamma out of range is ignored") << 0 << 1001;
}

void TestContrast::TonesMeanAsThePictureIsPainted()
{
    QFETCH(int, fade);
    QFETCH(int, gamma);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("paper.png"));
    QVERIFY(Paper().save(path));
    QImage painted, unused;
    QVERIFY(LoadPictureToBitmap(path, painted, unused, 64, 48, gamma, fade, fade, true, false));
    const QColor expected = MeanColor(painted, painted.rect());
    const QColor mean = TonesOf(Paper()).Mean(fade, gamma);
    for (int c = 0; c < 3; ++c) {
        const int e = QList<int>{expected.red(), expected.green(), expected.blue()}.at(c);
        const int m = QList<int>{mean.red(), mean.green(), mean.blue()}.at(c);
        QVERIFY2(qAbs(e - m) <= 1,
                 qPrintable(QStringLiteral("channel %1: %2 painted, %3 from the tones").arg(c).arg(e).arg(m)));
    }
}

void TestContrast::AdjustmentNearestToTheReadersOwn_data()
{
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("picture");
    QTest::addColumn<int>("fade");
    QTest::addColumn<int>("gamma");
    QTest::addColumn<bool>("use");
    QTest::addColumn<int>("fittedFade");
    QTest::addColumn<int>("fittedGamma");
    const QColor paper(242, 236, 222), grayWhite(230, 230, 230), dusk(60, 60, 60);
    QTest::newRow("black on paper holds: kept") << Black << paper << 20 << 100 << true << 20 << 100;
    QTest::newRow("black on paper faded 80: the weakest fade, unfaded")
        << Black << paper << 80 << 100 << true << 0 << 100;
    QTest::newRow("pale text on paper: the weakest fade that reads comfortably")
        << grayWhite << paper << 0 << 100 << true << 70 << 100;
    QTest::newRow("pale text on paper faded 60 reads: kept") << grayWhite << paper << 60 << 100 << true << 60 << 100;
    QTest::newRow("grey text never comfortable: the weakest fade that reads")
        << QColor(140, 140, 140) << paper << 0 << 100 << true << 90 << 100;
    QTest::newRow("pale text keeps the reader's gamma") << grayWhite << paper << 0 << 200 << true << 70 << 200;
    QTest::newRow("black on paper at gamma 1000: readable at that gamma")
        << Black << paper << 20 << 1000 << true << 0 << 1000;
    QTest::newRow("black on grey darkened by gamma 1000: gamma back to 100")
        << Black << QColor(150, 150, 150) << 30 << 1000 << true << 0 << 100;
    QTest::newRow("black on a dark picture: no fade can, not used") << Black << dusk << 0 << 100 << false << 0 << 100;
}

void TestContrast::AdjustmentNearestToTheReadersOwn()
{
    QFETCH(QColor, text);
    QFETCH(QColor, picture);
    QFETCH(int, fade);
    QFETCH(int, gamma);
    QFETCH(bool, use);
    QFETCH(int, fittedFade);
    QFETCH(int, fittedGamma);
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(picture);
    const TPictureTones tones = TonesOf(image);
    const TPictureAdjustment fitted = ReadableAdjustment(tones, text, {true, fade, gamma}, Fades, {gamma, 100});
    QCOMPARE(fitted.Use, use);
    QCOMPARE(fitted.Fade, fittedFade);
    QCOMPARE(fitted.Gamma, fittedGamma);
    if (use)
        QVERIFY(::ContrastRatio(text, tones.Mean(fitted.Fade, fitted.Gamma)) >= ReadableContrast);
    // Without tones there is nothing to fit.
    QCOMPARE(ReadableAdjustment(TPictureTones(), text, {true, fade, gamma}, Fades, {100}),
             (TPictureAdjustment{true, fade, gamma}));
}

void TestContrast::LayoutTonesOfTheTiledPicture()
{
    QTemporaryDir dir;
    // Left half black, right half white: a 10 x 10 tile over 25 x 10 shows
    // black at 0..4, 10..14, 20..24.
    QImage tile(10, 10, QImage::Format_RGB32);
    tile.fill(qRgb(0, 0, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 5; x < 10; ++x)
            tile.setPixel(x, y, qRgb(255, 255, 255));
    const QString path = dir.filePath(QStringLiteral("halves.png"));
    QVERIFY(tile.save(path));
    TPictureTones tones;
    QVERIFY(LayoutTones(path, QSize(25, 10), false, {QRect(20, 0, 5, 10)}, tones));
    QCOMPARE(tones.Pixels(), 50);
    QCOMPARE(tones.Mean(), Black); // the third tile's black half
    QVERIFY(LayoutTones(path, QSize(25, 10), false, {QRect(15, 0, 5, 10), QRect(20, 0, 5, 10)}, tones));
    QCOMPARE(tones.Mean(), QColor(128, 128, 128));
    QCOMPARE(tones.Mean(100, 100), Black);
}

void TestContrast::LayoutTonesOfAnUndecodablePicture()
{
    TTempTree tree;
    QVERIFY(tree.IsValid());
    const QString path = tree.File(QStringLiteral("words.png"), "only words");
    TPictureTones tones;
    QVERIFY(!LayoutTones(path, QSize(20, 20), false, {QRect(0, 0, 20, 20)}, tones));
    QVERIFY(tones.IsEmpty());
    FunStatContext.Reset();
}

QTEST_MAIN(TestContrast)
#include "test_contrast.moc"
