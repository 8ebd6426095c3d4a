// The sidebar's "Misc" page of program options: printing, and the hidden
// system integration group that keeps the "ForceRichEdit3" setting.
#pragma once

#include <QWidget>

#include "ui_ProgramMiscTabSheet.h"

class TProgramMiscTabSheet : public QWidget {
    Q_OBJECT
public:
    explicit TProgramMiscTabSheet(QWidget *parent = nullptr);
    Ui::ProgramMiscTabSheet Form;

    // Shows whether the extended formats (character spacing, paragraph
    // spacing, line spacing, tab stops) are available. The page keeps these
    // controls hidden: the reading box always has the extended formats.
    void ShowRichEdit3Detected(bool detected);
    bool ForceRichEdit3() const;

    // The print margins in millimetres, 0..50; a box that shows nothing
    // gives the default (30 left, 20 for the others).
    int PrintLeftMargin() const;
    int PrintRightMargin() const;
    int PrintTopMargin() const;
    int PrintBottomMargin() const;

    static const QString DetectRichEdit3Hint;
};
