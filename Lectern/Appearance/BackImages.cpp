#include "BackImages.h"

#include <QColor>
#include <QFileInfo>
#include <QPainter>

#include "FunStatContext.h"
#include "Picture.h"

TBackImages::TBackImages(const QString &patterns) : PatternList(patterns) {}

bool TBackImages::IsPicturePath(const QString &path) const
{
    return !path.isEmpty() && PathMatchesPatterns(path, PatternList) && QFileInfo(path).isFile();
}

bool TBackImages::BuildScreen(const QString &path, const QSize &client, const TScreenBackOptions &options)
{
    ClearScreen();
    if (!options.Use || client.isEmpty() || !IsPicturePath(path))
        return true;
    QImage tile, fadedTile;
    if (!LoadPictureToBitmap(path, tile, fadedTile, client.width(), client.height(), options.Gamma, options.Fade,
                             options.FadeCenter, options.Stretch, false))
        return false;
    ScreenImage = TiledImage(tile, client);
    CentreImage = TiledImage(fadedTile, client);
    return true;
}

bool TBackImages::BuildRich(const QString &path, const QSize &client, const TRichBackOptions &options)
{
    ClearRich();
    if (client.isEmpty() || !IsPicturePath(path))
        return true;
    QImage tile, unused;
    if (!LoadPictureToBitmap(path, tile, unused, client.width(), client.height(), options.Gamma, options.Fade,
                             options.Fade, options.Stretch, false))
        return false;
    RichImage = TiledImage(tile, client);
    return true;
}

void TBackImages::ClearScreen()
{
    ScreenImage = QImage();
    CentreImage = QImage();
}

void TBackImages::ClearRich() { RichImage = QImage(); }

TRichBackground TBackImages::RichBackground(bool transparent, bool useRichPicture) const
{
    if (transparent)
        return HasScreen() ? TRichBackground::Centre : TRichBackground::Color;
    return useRichPicture && HasRichPicture() ? TRichBackground::Picture : TRichBackground::Color;
}

void TBackImages::PaintScreen(QPainter &painter, const QRect &area) const
{
    if (HasScreen())
        painter.drawImage(area.topLeft(), ScreenImage, area);
}

void TBackImages::PaintRichBox(QPainter &painter, TRichBackground background, const QSize &client,
                               const QPoint &clientPos, const QColor &color) const
{
    const QRect box(QPoint(0, 0), client);
    switch (background) {
    case TRichBackground::Color: break;
    case TRichBackground::Centre: {
        const QRect source(clientPos, client);
        if (!CentreImage.rect().contains(source))
            painter.fillRect(box, color);
        painter.drawImage(QPoint(0, 0), CentreImage, source);
        break;
    }
    case TRichBackground::Picture:
        if (RichImage.size() == client)
            painter.drawImage(QPoint(0, 0), RichImage);
        else
            painter.fillRect(box, QBrush(RichImage));
        break;
    }
}

QImage TiledImage(const QImage &tile, const QSize &size)
{
    if (tile.isNull() || size.isEmpty())
        return QImage();
    if (tile.size() == size)
        return tile;
    const int w = std::min(tile.width(), size.width());
    const int h = std::min(tile.height(), size.height());
    QImage result(size, QImage::Format_RGB32);
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int y = 0; y < size.height(); y += h)
        for (int x = 0; x < size.width(); x += w)
            painter.drawImage(QPoint(x, y), tile, QRect(0, 0, w, h));
    return result;
}

QString ImagePathToTitle(const QString &path, const TProfilePlaces &places)
{
    return ShortProfileFileName(path, places.ProfileDirectory, places.IsDefaultProfile, places.ImageDirectory);
}

QString ImageTitleToPath(const QString &title, const TProfilePlaces &places)
{
    return ResolveProfileFileName(title, places.ProfileDirectory, places.ImageDirectory);
}
