#include "WidgetDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QThread>

#include "ColorForm.h"
#include "RichDocument.h"

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
    if (kind == TDialogKind::Query) {
        // Esc and the box's close button answer neither Yes nor No: the
        // question is put aside and nothing it was about happens.
        QAbstractButton *putAside = box.addButton(QMessageBox::Cancel);
        putAside->hide();
        box.setEscapeButton(putAside);
    }
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

QStringList QtNameFilters(const QString &filter)
{
    QStringList filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts.at(i).trimmed();
        const qsizetype open = name.indexOf(QLatin1Char('('));
        if (open > 0)
            name = name.left(open).trimmed();
        QStringList patterns;
        for (const QString &pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!pattern.trimmed().isEmpty())
                patterns << pattern.trimmed();
        filters << name + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

QString TWidgetDialogService::AskFileName(TFileDialogKind kind, const QString &fileName, const QString &filter,
                                          const QString &title)
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread())
        return QString();
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(kind == TFileDialogKind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(kind == TFileDialogKind::Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The caller asks its own questions about files that exist.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(QtNameFilters(filter));
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
    if (!fileName.isEmpty()) {
        const QFileInfo info(fileName);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

bool TWidgetDialogService::AskColor(TColorDialogKind kind, uint32_t &color)
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread())
        return false;
    if (kind == TColorDialogKind::Stock)
        return ColorFormDialog(color);
    const QColor chosen = QColorDialog::getColor(ToQColor(color), QApplication::activeWindow());
    if (!chosen.isValid())
        return false;
    color = FromQColor(chosen);
    return true;
}

QString TWidgetDialogService::AskDirectory(const QString &root, const QString &caption)
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread())
        return QString();
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption, root);
}

void InstallWidgetDialogService()
{
    static TWidgetDialogService service;
    SetDialogService(&service);
}
