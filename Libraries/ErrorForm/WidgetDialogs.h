// The message-box service of the window program: task-modal QMessageBoxes,
// QFileDialog for opening, saving and choosing directories, the stock-colour
// dialog and QColorDialog, and the system beep.
#pragma once

#include "Dialogs.h"

class TWidgetDialogService : public TDialogService {
public:
    int ShowBox(const QString &caption, const QString &text, TDialogKind kind) override;
    void Beep(bool warning) override;
    QString AskFileName(TFileDialogKind kind, const QString &fileName, const QString &filter,
                        const QString &title) override;
    bool AskColor(TColorDialogKind kind, uint32_t &color) override;
    QString AskDirectory(const QString &root, const QString &caption) override;
};

// A filter of the service ("Text files (*.txt; *.rtf)|*.txt; *.rtf", pairs
// separated by "|") as QFileDialog's name filters ("Text files (*.txt *.rtf)").
QStringList QtNameFilters(const QString &filter);

// Makes the message boxes real windows (call once a QApplication exists).
void InstallWidgetDialogService();
