// A pointer moving over a 3 MB book: the character under it (CharFromPos),
// then the number there into the converter with its digest in the hint
// label, as each move over the rich-box does. Timed per move at points all
// over the book and at numbers, against CharFromPos alone at the same points
// in the same run.
#include "BenchCommon.h"
#include "ConvertMeasureTabSheet.h"
#include "RichBox.h"
#include "RichEditOps.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Paragraphs of the book: lines joined up to each empty line. Without the
// corpus, 3 MB of generated prose with distances, weights and years in it.
QStringList LoadBook()
{
    QString text;
    QFile file(qEnvironmentVariable("LECTERN_CORPUS") + QStringLiteral("/books/war-and-peace.txt"));
    if (file.open(QIODevice::ReadOnly)) {
        text = QString::fromUtf8(file.readAll());
    } else {
        text = GeneratedProse({"the", "prince", "rode", "miles", "and", "it", "was", "evening", "at", "1,500", "yards",
                               "20", "versts", "in", "1812", "2.5", "pounds", "of", "bread", "said"},
                              false);
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList paragraphs;
    QString current;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty()) {
            if (!current.isEmpty())
                paragraphs << current;
            current.clear();
        } else {
            current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + line.trimmed();
        }
    }
    if (!current.isEmpty())
        paragraphs << current;
    return paragraphs;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Worst(const std::vector<double> &v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

// The value below which 99 in 100 of the times fall.
double Percentile99(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, v.size() * 99 / 100)];
}

struct TMoves {
    std::vector<double> Floor; // CharFromPos alone, microseconds
    std::vector<double> Ours; // CharFromPos, the number, the converter and the hint
    int Numbers = 0;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList book = LoadBook();
    TRichBox box;
    box.resize(900, 1000);
    box.show();
    TRichDocument *doc = box.RichDocument();
    doc->BeginBulk();
    for (const QString &p : book)
        doc->AppendParagraph(p, nullptr, nullptr, {});
    doc->EndBulk();
    QCoreApplication::processEvents();
    const QString text = doc->GetText();
    std::printf("book: %lld characters, %d paragraphs\n", qlonglong(text.size()), int(book.size()));

    // The hint label is shown under the box; the sidebar with the converter
    // is hidden while the pointer is over the book.
    QLabel hint;
    hint.setWordWrap(true);
    hint.resize(900, 60);
    hint.show();
    TConvertMeasureTabSheet sheet;
    sheet.SetItemHeight(18);

    auto move = [&](const QPoint &p, TMoves &moves, bool oursFirst) {
        QElapsedTimer timer;
        auto floor = [&] {
            timer.start();
            volatile int index = box.CharFromPos(p);
            (void)index;
            moves.Floor.push_back(timer.nsecsElapsed() / 1000.0);
        };
        auto ours = [&] {
            timer.start();
            const int index = box.CharFromPos(p);
            QString token, digest;
            switch (sheet.ShowNumberAt(*doc, index, &token, &digest)) {
            case TConvertMeasureTabSheet::TShowResult::Shown:
                hint.setText(digest);
                sheet.MiscConvertMeasure(sheet.ConvertMeasureValue());
                ++moves.Numbers;
                break;
            case TConvertMeasureTabSheet::TShowResult::InvalidNumber:
                hint.setText(QStringLiteral("Failed to convert measure."));
                break;
            case TConvertMeasureTabSheet::TShowResult::NoNumber: hint.setText(QStringLiteral("Rich-box.")); break;
            }
            moves.Ours.push_back(timer.nsecsElapsed() / 1000.0);
        };
        if (oursFirst) {
            ours();
            floor();
        } else {
            floor();
            ours();
        }
    };

    // Anywhere: 200 places spread over the book, a grid of points on each.
    TMoves anywhere;
    const int length = int(text.size());
    for (int place = 0; place < 200; ++place) {
        GoToPosition(&box, int(qint64(length) * place / 200));
        QCoreApplication::processEvents();
        for (int y = 20; y < box.viewport()->height(); y += 95)
            for (int x = 15; x < box.viewport()->width(); x += 85)
                move(QPoint(x, y), anywhere, (x + y) % 2);
    }

    // On numbers: the digits of 400 numbers spread over the book.
    TMoves numbers;
    static const QRegularExpression number(QStringLiteral("\\d[\\d.,']*\\d|\\d"));
    std::vector<int> found;
    for (auto it = number.globalMatch(text); it.hasNext();)
        found.push_back(int(it.next().capturedStart()));
    const size_t step = std::max<size_t>(1, found.size() / 400);
    for (size_t i = 0; i < found.size(); i += step) {
        GoToPosition(&box, found[i]);
        QCoreApplication::processEvents();
        box.PlaceCaret(found[i]);
        QPoint at;
        if (box.CaretPosition(&at))
            move(at + QPoint(2, 6), numbers, i % 2);
    }

    const double floorMedian = Median(anywhere.Floor);
    std::printf("moves: %d anywhere (%d over numbers), %d at numbers (%d converted)\n", int(anywhere.Ours.size()),
                anywhere.Numbers, int(numbers.Ours.size()), numbers.Numbers);
    std::printf("charfrompos median: %.1f us\n", floorMedian);
    // CharFromPos alone has outliers of nearly the same size (Qt laying out
    // lines it had not laid out yet), so the worst move is read against it.
    std::printf("charfrompos worst: %.1f us\n", Worst(anywhere.Floor));
    std::printf("move 99th percentile: %.1f us\n", Percentile99(anywhere.Ours));
    std::printf("move median: %.1f us\n", Median(anywhere.Ours));
    std::printf("move worst: %.1f us (goal < 1000)\n", Worst(anywhere.Ours));
    std::printf("number move median: %.1f us\n", Median(numbers.Ours));
    std::printf("number move worst: %.1f us (goal < 1000)\n", Worst(numbers.Ours));
    std::printf("ratio: %.2f (goal ≤ 3)\n", Median(anywhere.Ours) / std::max(floorMedian, 0.001));
    std::printf("number ratio: %.2f\n", Median(numbers.Ours) / std::max(Median(numbers.Floor), 0.001));
    return 0;
}
