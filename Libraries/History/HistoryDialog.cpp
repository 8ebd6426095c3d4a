#include "HistoryDialog.h"

#include "FunStatContext.h"

#include <QCursor>
#include <QMenu>
#include <QWidget>

namespace {

// A menu caption that shows the text as it is: "&" would mark an access key
// and line breaks or tabs would split the line.
QString MenuCaption(const QString &text)
{
    QString caption = text;
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    for (QChar &c : caption)
        if (c.unicode() < 0x20)
            c = u' ';
    return caption;
}

} // namespace

THistoryDialog::~THistoryDialog() { delete LastMenu.data(); }

QMenu *THistoryDialog::Menu() const { return LastMenu.data(); }

QMenu *THistoryDialog::BuildMenu(QWidget *button, const QString &title)
{
    delete LastMenu.data();
    auto *menu = new QMenu(button);
    LastMenu = menu;
    QAction *titleAction = menu->addAction(MenuCaption(MenuTitle(title)));
    menu->setDefaultAction(titleAction); // shown in bold; it does nothing
    for (int index : MenuEntries()) {
        const THistoryEntry entry = Entry(index);
        QAction *action = menu->addAction(MenuCaption(DirectoryOf(entry.Path)));
        action->setData(index);
        QObject::connect(action, &QAction::triggered, menu, [this, entry] {
            if (OnSelect)
                OnSelect(entry);
        });
    }
    return menu;
}

void THistoryDialog::DialogButton(QWidget *button, const QString &title)
{
    FUN_BEGIN("THistoryDialog::DialogButton");
    try {
        if (!button)
            LECTERN_THROW(QStringLiteral("No button to show the history under."));
        QMenu *menu = BuildMenu(button, title);
        const int x = QCursor::pos().x() - menu->sizeHint().width() / 2;
        const int y = button->mapToGlobal(QPoint(0, button->height())).y();
        menu->popup(QPoint(x, y));
    } catch (...) {
        delete LastMenu.data();
        FUN_RAISE(QStringLiteral("Failed to show history."));
    }
    FUN_END;
}

THistoryDialog &PathsHistory()
{
    static THistoryDialog history;
    return history;
}

THistoryDialog &FilesHistory()
{
    static THistoryDialog history;
    return history;
}
