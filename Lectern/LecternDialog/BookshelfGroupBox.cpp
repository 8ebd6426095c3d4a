#include "BookshelfGroupBox.h"

#include <QAction>
#include <QMenu>

TBookshelfGroupBox::TBookshelfGroupBox(QWidget *parent) : QGroupBox(parent) { Form.setupUi(this); }

void TBookshelfGroupBox::ShowCount(int count)
{
    Form.OpenBookshelfButton->setText(QStringLiteral("&Open (") + QString::number(count) + QLatin1Char(')'));
    Form.OpenBookshelfButton->setEnabled(count > 0);
    Form.RemoveBookshelfButton->setEnabled(count > 0);
}

TBookshelfPopupMenu::TBookshelfPopupMenu(QWidget *owner)
{
    PopupMenu = new QMenu(owner);
    PopupMenu->setObjectName(QStringLiteral("BookshelfMenu"));
}

// The menu may be replaced while one of its items is being handled.
TBookshelfPopupMenu::~TBookshelfPopupMenu()
{
    if (PopupMenu)
        PopupMenu->deleteLater();
}

void TBookshelfPopupMenu::AddItem(const QString &caption, int tag, int helpContext, std::function<void()> click)
{
    Q_UNUSED(helpContext);
    // An ampersand in a file name is text, not a mnemonic mark.
    QString text = caption;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction *action = PopupMenu->addAction(text);
    action->setData(tag);
    QObject::connect(action, &QAction::triggered, PopupMenu, std::move(click), Qt::QueuedConnection);
}

void TBookshelfPopupMenu::Popup(int x, int y) { PopupMenu->popup(QPoint(x, y)); }
