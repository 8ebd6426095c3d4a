#include "BackImages.h"

#include <QColor>
#include <QDateTime>
#include <QFileInfo>
#include <QPainter>

#include "FunStatContext.h"
#include "Picture.h"

TBackImages::TBackImages(const QString &patterns) : PatternList(patterns) {}

bool TBackImages::IsPicturePath(const QString &path) const
{
    return !path.isEmpty() && PathMatchesPatterns(path, PatternList) && QFileInfo(path).isFile();
}

// The file as it is now: its path, modification time and size.
QString TBackImages::FileKey(const QString &path)
{
    const QFileInfo file(path);
    return path + QLatin1Char('|') + QString::number(file.lastModified().toMSecsSinceEpoch()) + QLatin1Char('|')
        + QString::number(file.size());
}

QString TBackImages::BuildKey(const QString &path, const QSize &client, std::initializer_list<int> options)
{
    QString key = FileKey(path);
    for (int value : {client.width(), client.height()})
        key += QLatin1Char('|') + QString::number(value);
    for (int value : options)
        key += QLatin1Char('|') + QString::number(value);
    return key;
}

bool TBackImages::LoadTiles(const QString &path, const QSize &client, int gamma, int fade, int secondFade, bool stretch,
                            QImage &tile, QImage &secondTile)
{
    const QString file = FileKey(path);
    if (FailedFiles.contains(file))
        return true; // reported when it failed; still no picture
    if (LoadPictureToBitmap(path, tile, secondTile, client.width(), client.height(), gamma, fade, secondFade, stretch,
                            false))
        return true;
    FailedFiles.insert(file);
    return false;
}

bool TBackImages::BuildScreen(const QString &path, const QSize &client, const TScreenBackOptions &options)
{
    const QString key
        = BuildKey(path, client, {options.Use, options.Stretch, options.Fade, options.Gamma, options.FadeCenter});
    if (key == ScreenKey)
        return true;
    ClearScreen();
    ScreenKey = key;
    if (!options.Use || client.isEmpty() || !IsPicturePath(path))
        return true;
    QImage tile, fadedTile;
    if (!LoadTiles(path, client, options.Gamma, options.Fade, options.FadeCenter, options.Stretch, tile, fadedTile))
        return false;
    ScreenImage = TiledImage(tile, client);
    CentreImage = TiledImage(fadedTile, client);
    return true;
}

bool TBackImages::BuildRich(const QString &path, const QSize &client, const TRichBackOptions &options)
{
    const QString key = BuildKey(path, client, {options.Stretch, options.Fade, options.Gamma});
    if (key == RichKey)
        return true;
    ClearRich();
    RichKey = key;
    if (client.isEmpty() || !IsPicturePath(path))
        return true;
    QImage tile, unused;
    if (!LoadTiles(path, client, options.Gamma, options.Fade, options.Fade, options.Stretch, tile, unused))
        return false;
    RichImage = TiledImage(tile, client);
    return true;
}

void TBackImages::ClearScreen()
{
    ScreenImage = QImage();
    CentreImage = QImage();
    ScreenKey.clear();
}

void TBackImages::ClearRich()
{
    RichImage = QImage();
    RichKey.clear();
}

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
