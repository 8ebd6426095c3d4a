// Pictures turned into ready-to-paint images: the formats the image readers
// decode as a pattern list, one picture decoded and scaled (stretched, or
// fitted keeping its aspect ratio) and painted onto black with a fade and a
// gamma correction, and the fit rule.
//
// A picture that cannot be decoded (not a picture, truncated, no pixels, or
// larger than the decoder may allocate) gives no image at all, so callers
// never tile or divide by an empty size.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>

class QIODevice;
class QPainter;

// The decoders' file-name patterns in lower case, joined by ";" with none
// after the last: "*.bmp;*.gif;*.jpeg;...". Empty when nothing decodes.
// Operation name: GetPictureExtensionsAsFilter.
QString GetPictureExtensionsAsFilter();

// Whether the whole path matches one of the ";"-separated wildcard patterns
// ("*" any run of characters, "?" one character), ignoring letter case. An
// empty pattern list matches every path.
bool PathMatchesPatterns(const QString &path, const QString &patterns);

// The size a source picture is scaled to for a target area. Below 1 pixel
// in either source dimension: 0 x 0. The width is the target's (enlarge) or
// the smaller of target and source; the height follows the aspect ratio
// (product first, truncating). A height taller than the target is cut to the
// target's (enlarge) or the smaller of target and source, and the width
// follows it instead.
QSize FitSizeKeepingAspect(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight, bool enlarge);

// Fade: percent 0..100 towards black, active from 1 to 100. Gamma: percent
// 1..1000, each channel v in 0..1 becomes v^(gamma/100); 100 and values out
// of range leave the colours alone.
bool IsFadeActive(int fade);
bool IsGammaActive(int gamma);

// The picture with each colour channel through the gamma curve (a 256-entry
// table); the alpha channel is kept. Inactive gamma: the picture itself.
QImage GammaCorrected(const QImage &image, int gamma);

// Paints the whole image smoothly scaled into (0, 0, width, height) of the
// painter, gamma-corrected and with the opacity 1 - fade / 100, so that over
// black each channel ends up as c x (1 - fade / 100).
void DrawPictureAdjusted(QPainter &painter, const QImage &image, int width, int height, int gamma, int fade);

// Decodes one picture and makes two opaque images of the same size that
// differ only in their fade: the picture painted with DrawPictureAdjusted
// onto black. Size: exactly width x height with `stretch`, else
// FitSizeKeepingAspect of the picture's size. Large pictures are decoded
// straight to the smaller size where the format allows it.
//
// Returns false and leaves both images null when the target is empty or the
// picture cannot be decoded; a picture that cannot be decoded is also
// recorded in FunStatContext (operation LoadPictureToBitmap).
bool LoadPictureToBitmap(const QString &fileName, QImage &first, QImage &second, int width, int height, int gamma,
                         int firstFade, int secondFade, bool stretch, bool enlarge);
// The same from an open device; `name` only names it in a failure report.
bool LoadPictureToBitmap(QIODevice *device, const QString &name, QImage &first, QImage &second, int width, int height,
                         int gamma, int firstFade, int secondFade, bool stretch, bool enlarge);

// The most memory one decoded picture may take, in megabytes, and the most
// pixels a picture may have (a JPEG picture 64 times as many, since it is
// decoded straight to a smaller size). Larger pictures count as undecodable:
// a small file can hold a huge picture that would take minutes to decode.
constexpr int PictureAllocationLimitMb = 256;
constexpr int64_t MaxPicturePixels = 64 * 1024 * 1024;
