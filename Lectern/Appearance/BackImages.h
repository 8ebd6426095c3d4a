// The background images of the screen and of the rich-box. They are
// prepared whenever an option, the picture or a size changes: decoded,
// scaled, faded, gamma-corrected and tiled to the size they cover, so that
// painting only copies them.
//
// The screen image covers the window's client area: the screen picture
// tiled from the top-left corner (one tile when stretched). The centre image
// is the same with the "Fade center" fade; a transparent rich-box shows the
// piece of it that lies under the box. The rich-box picture covers the
// rich-box's client area, tiled likewise.
#pragma once

#include <QImage>
#include <QPoint>
#include <QSet>
#include <QSize>
#include <QString>

#include <initializer_list>

#include "Profile.h"

class QPainter;
class QRect;
class QColor;

struct TScreenBackOptions {
    bool Use = true; // "Use background image"
    bool Stretch = false;
    int Fade = 0; // 0..100
    int Gamma = 100; // 1..1000
    int FadeCenter = 0; // 0..100, the transparent rich-box
};

struct TRichBackOptions {
    bool Stretch = false;
    int Fade = 0;
    int Gamma = 100;
};

// What the rich-box shows under its text.
enum class TRichBackground {
    Color, // its back colour
    Centre, // the centre image's piece under it (transparent look)
    Picture, // the rich-box picture
};

class TBackImages {
public:
    // `patterns`: the picture pattern list (GetPictureExtensionsAsFilter).
    explicit TBackImages(const QString &patterns);
    const QString &Patterns() const { return PatternList; }

    // A path names a picture to load when it is not empty, matches the
    // pattern list and is an existing file.
    bool IsPicturePath(const QString &path) const;

    // Rebuild the screen and centre images for a client size. No images
    // when the option is off, the path names no picture, the size is empty
    // or the picture cannot be decoded; only the last is a failure (false,
    // recorded in FunStatContext). Asked again with the same file (same
    // modification time and size), client size and options, nothing is
    // done: the images stay. A file that failed once gives no picture and
    // no further failure, whatever the size and options.
    bool BuildScreen(const QString &path, const QSize &client, const TScreenBackOptions &options);
    // Rebuild the rich-box picture for the box's client size, likewise.
    bool BuildRich(const QString &path, const QSize &client, const TRichBackOptions &options);
    void ClearScreen();
    void ClearRich();

    bool HasScreen() const { return !ScreenImage.isNull(); }
    bool HasRichPicture() const { return !RichImage.isNull(); }
    const QImage &Screen() const { return ScreenImage; }
    const QImage &Centre() const { return CentreImage; }
    const QImage &RichPicture() const { return RichImage; }

    // The transparent look needs a screen image; the picture needs a loaded
    // rich-box picture that is in use.
    TRichBackground RichBackground(bool transparent, bool useRichPicture) const;

    // Paints the area of the screen image (window coordinates).
    void PaintScreen(QPainter &painter, const QRect &area) const;
    // Paints the rich-box's background: `clientPos` is the position of the
    // box's client area in the window. Where a prepared image does not
    // cover the box (between a resize and its rebuild) `color` fills.
    void PaintRichBox(QPainter &painter, TRichBackground background, const QSize &client, const QPoint &clientPos,
                      const QColor &color) const;

private:
    QString PatternList;
    QImage ScreenImage;
    QImage CentreImage;
    QImage RichImage;
    QString ScreenKey; // what the screen images were last built from
    QString RichKey;
    QSet<QString> FailedFiles; // reported as undecodable
    static QString FileKey(const QString &path);
    static QString BuildKey(const QString &path, const QSize &client, std::initializer_list<int> options);
    // Loads the tiles of a picture that has not failed before; false for a
    // new failure.
    bool LoadTiles(const QString &path, const QSize &client, int gamma, int fade, int secondFade, bool stretch,
                   QImage &tile, QImage &secondTile);
};

// The tile repeated from the top-left corner over `size`; a tile larger
// than the size is cut. A null tile or an empty size gives a null image.
QImage TiledImage(const QImage &tile, const QSize &size);

// A picture's title as the profile keeps it: relative to the profile's
// directory (a profile other than the default one), else relative to the
// background-images directory, else the full path. Empty stays empty.
QString ImagePathToTitle(const QString &path, const TProfilePlaces &places);
// The full path a title stands for: a path beginning with "/" as it is;
// otherwise the profile's directory + title when that file exists, the
// background-images directory + title when that one exists, else the
// background-images directory followed by "*", which names no picture.
QString ImageTitleToPath(const QString &title, const TProfilePlaces &places);
