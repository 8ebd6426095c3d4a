#include "WidgetDialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

int TWidgetDialogService::ShowBox(const QString &caption, const QString &text, TDialogKind kind)
{
    // Boxes need a widget application and its thread; otherwise the box
    // counts as not shown.
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread())
        return 0;

    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (kind) {
    case TDialogKind::Plain: break;
    case TDialogKind::Message: icon = QMessageBox::Information; break;
    case TDialogKind::Warning: icon = QMessageBox::Warning; break;
    case TDialogKind::Error: icon = QMessageBox::Critical; break;
    case TDialogKind::Query:
        icon = QMessageBox::Question;
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    }
    QWidget *owner = QApplication::activeWindow();
    QMessageBox box(icon, caption, text, buttons, owner);
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(kind == TDialogKind::Query ? QMessageBox::Yes : QMessageBox::Ok);
    switch (box.exec()) {
    case QMessageBox::Ok:
    case QMessageBox::Yes: return DialogResultOk;
    case QMessageBox::No: return DialogResultNo;
    default: return DialogResultOther;
    }
}

void TWidgetDialogService::Beep(bool)
{
    // The toolkit knows one system beep; both kinds use it. Without a window
    // application there is nothing to beep with.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        QApplication::beep();
}

void InstallWidgetDialogService()
{
    static TWidgetDialogService service;
    SetDialogService(&service);
}
