// The message-box service of the window program: task-modal QMessageBoxes
// and the system beep.
#pragma once

#include "Dialogs.h"

class TWidgetDialogService : public TDialogService {
public:
    int ShowBox(const QString &caption, const QString &text, TDialogKind kind) override;
    void Beep(bool warning) override;
};

// Makes the message boxes real windows (call once a QApplication exists).
void InstallWidgetDialogService();
