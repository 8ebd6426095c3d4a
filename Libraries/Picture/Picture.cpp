#include "Picture.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "FunStatContext.h"

namespace {

// Wildcard match of the whole text: "*" any run, "?" one character.
bool WildcardMatch(const QString &text, const QString &pattern)
{
    qsizetype t = 0, p = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern.at(p) == QLatin1Char('?') || pattern.at(p) == text.at(t))) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern.at(p) == QLatin1Char('*')) {
            starP = p++;
            starT = t;
        } else if (starP >= 0) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern.at(p) == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

// value x numerator / denominator in 64 bits, truncating, kept in int range.
int Scaled(int value, int numerator, int denominator)
{
    const int64_t result = int64_t(value) * numerator / denominator;
    return int(std::clamp<int64_t>(result, INT32_MIN, INT32_MAX));
}

// Whether decoding a picture of this size would take more pixels than
// allowed. JPEG pictures are decoded at down to an eighth of their width
// and height; vector pictures are drawn at the size asked for.
bool IsTooLarge(const QByteArray &format, const QSize &size)
{
    const QByteArray f = format.toLower();
    if (f == "svg" || f == "svgz")
        return false;
    const int64_t pixels = int64_t(size.width()) * size.height();
    return pixels > (f == "jpeg" || f == "jpg" ? 64 : 1) * MaxPicturePixels;
}

} // namespace

QString GetPictureExtensionsAsFilter()
{
    FUN_BEGIN("GetPictureExtensionsAsFilter");
    QString list;
    try {
        // One pattern per format the image readers know, in their order.
        const QList<QByteArray> formats = QImageReader::supportedImageFormats();
        for (qsizetype i = 0; i < formats.size(); ++i) {
            list += QStringLiteral("*.") + QString::fromLatin1(formats.at(i));
            if (i + 1 < formats.size())
                list += QLatin1Char(';');
        }
    }
    FUN_CATCH
    FUN_END;
    return list.toLower();
}

bool PathMatchesPatterns(const QString &path, const QString &patterns)
{
    if (patterns.isEmpty())
        return true;
    const QString lowerPath = path.toLower();
    for (const QString &pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (WildcardMatch(lowerPath, pattern.trimmed().toLower()))
            return true;
    return false;
}

QSize FitSizeKeepingAspect(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight, bool enlarge)
{
    if (sourceWidth < 1 || sourceHeight < 1)
        return QSize(0, 0);
    int w = enlarge ? targetWidth : std::min(targetWidth, sourceWidth);
    int h = w == sourceWidth ? sourceHeight : Scaled(sourceHeight, w, sourceWidth);
    if (h <= targetHeight)
        return QSize(w, h);
    h = enlarge ? targetHeight : std::min(targetHeight, sourceHeight);
    w = h == sourceHeight ? sourceWidth : Scaled(sourceWidth, h, sourceHeight);
    return QSize(w, h);
}

bool IsFadeActive(int fade) { return fade >= 1 && fade <= 100; }

bool IsGammaActive(int gamma) { return gamma >= 1 && gamma <= 1000 && gamma != 100; }

QImage GammaCorrected(const QImage &image, int gamma)
{
    if (!IsGammaActive(gamma) || image.isNull())
        return image;
    const float exponent = gamma * 0.01f;
    std::array<QRgb, 256> table; // the channel value, unshifted
    for (int v = 0; v < 256; ++v)
        table[v] = QRgb(std::lround(255.0 * std::pow(v / 255.0, double(exponent))));
    // Colours without premultiplied alpha, so the curve sees the real values.
    QImage result = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb p = line[x];
            line[x] = (p & 0xFF000000u) | (table[qRed(p)] << 16) | (table[qGreen(p)] << 8) | table[qBlue(p)];
        }
    }
    return result;
}

void DrawPictureAdjusted(QPainter &painter, const QImage &image, int width, int height, int gamma, int fade)
{
    if (image.isNull() || width < 1 || height < 1)
        return;
    const QSize size(width, height);
    const QImage scaled
        = image.size() == size ? image : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (IsFadeActive(fade))
        painter.setOpacity(1.0f - fade * 0.01f);
    painter.drawImage(QPoint(0, 0), GammaCorrected(scaled, gamma));
    painter.restore();
}

bool LoadPictureToBitmap(const QString &fileName, QImage &first, QImage &second, int width, int height, int gamma,
                         int firstFade, int secondFade, bool stretch, bool enlarge)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        first = second = QImage();
        FUN_BEGIN("LoadPictureToBitmap");
        FUN_RAISE(QStringLiteral("Failed to open picture."), fileName, file.errorString());
        FUN_END;
        return false;
    }
    return LoadPictureToBitmap(&file, fileName, first, second, width, height, gamma, firstFade, secondFade, stretch,
                               enlarge);
}

bool LoadPictureToBitmap(QIODevice *device, const QString &name, QImage &first, QImage &second, int width, int height,
                         int gamma, int firstFade, int secondFade, bool stretch, bool enlarge)
{
    FUN_BEGIN("LoadPictureToBitmap");
    first = second = QImage();
    bool loaded = false;
    try {
        QImageReader::setAllocationLimit(PictureAllocationLimitMb);
        QImageReader reader(device);
        reader.setAutoTransform(false);
        QSize size = reader.size();
        QImage picture;
        if (!size.isValid()) {
            // The format tells its size only by decoding.
            picture = reader.read();
            size = picture.size();
        }
        const QSize target = stretch ? QSize(width, height)
                                     : FitSizeKeepingAspect(size.width(), size.height(), width, height, enlarge);
        if (size.isEmpty() && picture.isNull()) {
            FUN_RAISE(QStringLiteral("Failed to decode picture."), name, reader.errorString());
        } else if (IsTooLarge(reader.format(), size)) {
            FUN_RAISE(QStringLiteral("The picture is too large."), name,
                      QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()));
        } else if (!target.isEmpty()) {
            if (picture.isNull()) {
                // Formats that can decode straight to a smaller size do so;
                // the others are decoded whole and scaled smoothly.
                reader.setScaledSize(target);
                picture = reader.read();
            }
            if (picture.isNull() || picture.size().isEmpty()) {
                FUN_RAISE(QStringLiteral("Failed to decode picture."), name, reader.errorString());
            } else {
                auto paint = [&](QImage &bitmap, int fade) {
                    bitmap = QImage(target, QImage::Format_RGB32);
                    bitmap.fill(Qt::black);
                    QPainter painter(&bitmap);
                    DrawPictureAdjusted(painter, picture, target.width(), target.height(), gamma, fade);
                };
                paint(first, firstFade);
                if (secondFade == firstFade)
                    second = first;
                else
                    paint(second, secondFade);
                loaded = true;
            }
        }
    }
    FUN_CATCH
    if (!loaded)
        first = second = QImage();
    FUN_END;
    return loaded;
}
