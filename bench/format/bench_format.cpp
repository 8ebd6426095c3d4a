// Re-formatting a 3 MB book in the shown reading window: the paragraph
// format of the whole text (SetAllParaFormatRichEdit and its core, the
// engine's whole-text paragraph format), a font-name change and a zoom
// change, each with the first repaint after it, and whether the reading
// position survived.
#include "BenchCommon.h"
#include "BookConverter.h"
#include "ConvertOptions.h"
#include "Dialogs.h"
#include "EnhancedRichEdit.h"
#include "LecternForm.h"
#include "ProfileFormatTabSheet.h"
#include "RichBox.h"
#include "RichEditOps.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>

namespace {

// Milliseconds of a change followed by the repaint of the box.
template<class F> double Timed(TRichBox *box, F change)
{
    QElapsedTimer timer;
    timer.start();
    change();
    box->viewport()->repaint();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TScopedRecordingDialogs dialogs;
    TLecternForm::FirstActivation = false;
    TLecternForm form;
    form.IsApplicationActive = [] { return true; };
    form.resize(1280, 960);
    form.show();
    form.RichEdit->show();
    QApplication::processEvents();
    TRichBox *box = form.RichEdit;
    auto combo
        = [&form](const char *name) { return form.ProfileFormatTabSheet->findChild<QComboBox *>(QLatin1String(name)); };

    QString source;
    const QStringList lines = WarAndPeaceLines(&source);
    QElapsedTimer timer;
    timer.start();
    ApplyBookFormat(*form.Engine, form.CurrentFormatOptions());
    form.Engine->EnhanceText(lines, QStringLiteral("None"), false, true);
    const double enhanceMs = timer.nsecsElapsed() / 1e6;
    timer.restart();
    const int lineCount = box->LineCountExact();
    const double layoutMs = timer.nsecsElapsed() / 1e6;
    std::printf("book: %s\n", qPrintable(source));
    std::printf("characters: %d\n", GetTextLength(box));
    std::printf("display_lines: %d\n", lineCount);
    std::printf("load_enhance: %.0f ms\n", enhanceMs);
    std::printf("load_layout: %.0f ms\n", layoutMs);

    // Reading in the middle of the book.
    SetTopLine(box, lineCount / 2);
    const int position = FirstVisibleCharIndex(box);
    // Whether the text at the top before the last change is at the top after it.
    int lastTop = position;
    auto kept = [&] { return LineFromChar(box, lastTop) == GetFirstVisibleLine(box) ? "yes" : "no"; };

    // Each change is made three times, between two values; the best time
    // counts (the machine is shared).
    auto best = [&](QComboBox *combo, const QString &a, const QString &b) {
        double ms = 1e9;
        for (const QString &value : {a, b, a}) {
            lastTop = FirstVisibleCharIndex(box);
            ms = std::min(ms, Timed(box, [&] { combo->setCurrentText(value); }));
        }
        return ms;
    };

    double coreMs = 1e9;
    for (int i = 0; i < 3; ++i) {
        coreMs = std::min(coreMs, Timed(box, [&] {
                              box->RichDocument()->SelectAll();
                              form.Engine->ApplyParaFormat(true, 0);
                              box->RichDocument()->CollapseSelection();
                          }));
        GoToPosition(box, position);
    }
    std::printf("para_format_core: %.0f ms\n", coreMs);

    const double paraMs = best(combo("LineSpacingComboBox"), QStringLiteral("150"), QStringLiteral("130"));
    std::printf("set_all_para_format: %.0f ms\n", paraMs);
    std::printf("set_all_para_format_position_kept: %s\n", kept());

    const double fontMs
        = best(combo("FontNameComboBox"), QStringLiteral("DejaVu Sans"), QStringLiteral("Times New Roman"));
    std::printf("font_name_change: %.0f ms\n", fontMs);
    // The face alone, without showing the kept position again.
    double faceMs = 1e9;
    for (const char *face : {"DejaVu Sans", "Times New Roman", "DejaVu Sans"})
        faceMs = std::min(faceMs, Timed(box, [&] { SetFontNameAll(box, QString::fromLatin1(face)); }));
    std::printf("font_name_core: %.0f ms\n", faceMs);
    lastTop = FirstVisibleCharIndex(box);
    combo("FontNameComboBox")->setCurrentText(QStringLiteral("Times New Roman"));
    std::printf("font_name_position_kept: %s\n", kept());

    const double marginMs = best(combo("LeftMarginComboBox"), QStringLiteral("40"), QStringLiteral("10"));
    std::printf("left_margin_change: %.0f ms\n", marginMs);
    std::printf("left_margin_position_kept: %s\n", kept());

    lastTop = FirstVisibleCharIndex(box);
    const double zoomMs = Timed(box, [&] { combo("FontZoomComboBox")->setCurrentText(QStringLiteral("150")); });
    // Keeping the place is not promised for the zoom; the box happens to
    // keep the text at its top while the wrapping changes.
    std::printf("zoom_position_kept: %s\n", kept());
    const double zoomBest
        = std::min(zoomMs, best(combo("FontZoomComboBox"), QStringLiteral("100"), QStringLiteral("150")));
    std::printf("zoom_change: %.0f ms\n", zoomBest);

    std::printf("modified: %s\n", form.IsRichEditModified() ? "yes" : "no");
    const double worst = std::max({paraMs, fontMs, zoomBest});
    std::printf("ratio: %.2f (goal ≤ 1.0)\n", worst / 1000.0);
    return 0;
}
