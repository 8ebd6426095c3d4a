// Draws the two default background pictures of the package: a calm paper
// texture for the screen and a plain light pattern for the rich-box. Both
// tile without seams, because the reader tiles pictures smaller than the
// area they cover.
// Usage: makeimages OUTPUT_DIR
#include <QDir>
#include <QImage>
#include <QString>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

// Value noise on a periodic lattice: cells x cells random values, smoothly
// interpolated, wrapping at the edges so the picture tiles.
class TPeriodicNoise {
public:
    TPeriodicNoise(int cells, std::mt19937 &rng) : Cells(cells), Values(size_t(cells) * cells)
    {
        std::uniform_real_distribution<double> d(-1.0, 1.0);
        for (double &v : Values)
            v = d(rng);
    }
    // u, v in [0, 1).
    double At(double u, double v) const
    {
        const double x = u * Cells, y = v * Cells;
        const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
        const double fx = Smooth(x - x0), fy = Smooth(y - y0);
        const double a = Value(x0, y0), b = Value(x0 + 1, y0);
        const double c = Value(x0, y0 + 1), d = Value(x0 + 1, y0 + 1);
        return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
    }

private:
    static double Smooth(double t) { return t * t * (3 - 2 * t); }
    double Value(int x, int y) const
    {
        x = ((x % Cells) + Cells) % Cells;
        y = ((y % Cells) + Cells) % Cells;
        return Values[size_t(y) * Cells + x];
    }
    int Cells;
    std::vector<double> Values;
};

int Clamp(double v) { return v < 0 ? 0 : v > 255 ? 255 : int(std::lround(v)); }

// Warm off-white paper: soft cloudy variation plus fine grain and a few
// faint fibres.
QImage PaperTexture(int size)
{
    std::mt19937 rng(20061);
    const TPeriodicNoise clouds(6, rng), mottle(24, rng), grain(256, rng);
    const TPeriodicNoise fibresA(96, rng), fibresB(72, rng);
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = double(x) / size, v = double(y) / size;
            double shade = 7.0 * clouds.At(u, v) + 4.0 * mottle.At(u, v) + 3.0 * grain.At(u, v);
            // Fibres: thin ridges where a stretched noise crosses zero.
            const double f = fibresA.At(u, std::fmod(v * 0.25 + u * 0.1, 1.0)) + 0.5 * fibresB.At(v, u);
            shade -= 6.0 * std::exp(-f * f * 400.0);
            image.setPixel(x, y, qRgb(Clamp(242 + shade), Clamp(236 + shade), Clamp(222 + shade * 1.1)));
        }
    }
    return image;
}

// A plain, very light pattern: a faint diagonal weave on near-white.
QImage PlainPattern(int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    const int period = size / 8;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int a = (x + y) % period, b = (x - y + size) % period;
            const bool lineA = a == 0, lineB = b == 0;
            const int shade = (lineA && lineB) ? 10 : (lineA || lineB) ? 5 : 0;
            image.setPixel(x, y, qRgb(252 - shade, 251 - shade, 246 - shade));
        }
    }
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeimages OUTPUT_DIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "makeimages: cannot create %s\n", argv[1]);
        return 1;
    }
    const struct {
        const char *name;
        QImage image;
    } pictures[] = {{"DefaultScreen.bmp", PaperTexture(512)}, {"DefaultRich.bmp", PlainPattern(128)}};
    for (const auto &p : pictures) {
        const QString path = dir + QLatin1Char('/') + QLatin1String(p.name);
        if (!p.image.save(path, "BMP")) {
            std::fprintf(stderr, "makeimages: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
