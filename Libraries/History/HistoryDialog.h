// The history with its pop-up menu: the title line in bold, then the 20
// newest directories; picking one hands its entry to the select handler.
#pragma once

#include "History.h"

#include <QPointer>

#include <functional>

class QMenu;
class QWidget;

class THistoryDialog : public THistoryList {
public:
    THistoryDialog() = default;
    ~THistoryDialog();
    THistoryDialog(const THistoryDialog &) = delete;
    THistoryDialog &operator=(const THistoryDialog &) = delete;

    // Called with the entry the reader picks from the menu.
    std::function<void(const THistoryEntry &entry)> OnSelect;

    // Pops the menu up under the button, centred on the pointer: the title
    // line in bold, then the newest directories. Failures are recorded under
    // "THistoryDialog::DialogButton" as "Failed to show history.".
    void DialogButton(QWidget *button, const QString &title);
    // Builds the menu of DialogButton (owned by the button) without showing it.
    QMenu *BuildMenu(QWidget *button, const QString &title);
    // The menu shown last, while it exists.
    QMenu *Menu() const;

private:
    QPointer<QMenu> LastMenu;
};

// The histories of paths and of files that the program keeps for its whole
// run (created on first use).
THistoryDialog &PathsHistory();
THistoryDialog &FilesHistory();
