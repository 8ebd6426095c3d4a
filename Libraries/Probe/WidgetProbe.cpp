#include "WidgetProbe.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSaveFile>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace {

// What one widget shows: its text when it has one of its own, whether it
// is visible and enabled, and where it is on the screen.
bool WidgetState(QWidget *widget, QJsonObject *state)
{
    if (widget->isWindow() && !qobject_cast<QDialog *>(widget))
        return false;
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        (*state)[QStringLiteral("text")] = label->text();
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        (*state)[QStringLiteral("text")] = button->text();
        if (button->isCheckable())
            (*state)[QStringLiteral("checked")] = button->isChecked();
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        (*state)[QStringLiteral("text")] = combo->currentText();
        (*state)[QStringLiteral("count")] = combo->count();
    } else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        (*state)[QStringLiteral("text")] = edit->text();
    } else if (auto *tabs = qobject_cast<QTabWidget *>(widget)) {
        (*state)[QStringLiteral("text")] = tabs->tabText(tabs->currentIndex());
        QJsonObject tabRects;
        QTabBar *bar = tabs->tabBar();
        for (int i = 0; i < bar->count(); ++i) {
            const QRect r(bar->mapToGlobal(bar->tabRect(i).topLeft()), bar->tabRect(i).size());
            tabRects[bar->tabText(i).remove(QLatin1Char('&'))] = QJsonArray{r.x(), r.y(), r.width(), r.height()};
        }
        (*state)[QStringLiteral("tabs")] = tabRects;
    }
    (*state)[QStringLiteral("visible")] = widget->isVisible();
    (*state)[QStringLiteral("enabled")] = widget->isEnabled();
    if (widget->isVisible()) {
        const QPoint topLeft = widget->mapToGlobal(QPoint(0, 0));
        (*state)[QStringLiteral("rect")] = QJsonArray{topLeft.x(), topLeft.y(), widget->width(), widget->height()};
    }
    return true;
}

} // namespace

TWidgetProbe::TWidgetProbe(const QString &fileName, int intervalMs, QObject *parent)
    : QObject(parent), FileName(fileName), Timer(new QTimer(this))
{
    connect(Timer, &QTimer::timeout, this, &TWidgetProbe::WriteNow);
    Timer->start(intervalMs);
}

TWidgetProbe::~TWidgetProbe() = default;

void TWidgetProbe::AddValue(const QString &name, std::function<QString()> value)
{
    Values.emplace_back(name, std::move(value));
}

QJsonObject TWidgetProbe::WindowState(QWidget *window)
{
    QJsonObject state;
    state[QStringLiteral("class")] = QString::fromLatin1(window->metaObject()->className());
    state[QStringLiteral("name")] = window->objectName();
    state[QStringLiteral("title")] = window->windowTitle();
    state[QStringLiteral("active")] = window->isActiveWindow();
    state[QStringLiteral("modal")] = window->isModal();
    state[QStringLiteral("minimized")] = window->isMinimized();
    const QRect g = window->geometry();
    state[QStringLiteral("geometry")] = QJsonArray{g.x(), g.y(), g.width(), g.height()};
    if (auto *box = qobject_cast<QMessageBox *>(window)) {
        state[QStringLiteral("text")] = box->text();
        QJsonArray buttons;
        for (QAbstractButton *button : box->buttons())
            if (button->isVisible())
                buttons.append(button->text());
        state[QStringLiteral("buttons")] = buttons;
    }
    if (auto *menu = qobject_cast<QMenu *>(window)) {
        QJsonArray items;
        for (QAction *action : menu->actions())
            if (!action->isSeparator())
                items.append(action->text());
        state[QStringLiteral("items")] = items;
    }
    QJsonObject widgets;
    const QList<QWidget *> children = window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        const QString name = child->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || child->window() != window)
            continue;
        QJsonObject widget;
        if (WidgetState(child, &widget))
            widgets[name] = widget;
    }
    state[QStringLiteral("widgets")] = widgets;
    return state;
}

QJsonObject TWidgetProbe::Snapshot() const
{
    QJsonObject snapshot;
    QJsonArray windows;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible())
            windows.append(WindowState(window));
    snapshot[QStringLiteral("windows")] = windows;
    QWidget *focus = QApplication::focusWidget();
    snapshot[QStringLiteral("focus")] = focus ? focus->objectName() : QString();
    QWidget *modal = QApplication::activeModalWidget();
    snapshot[QStringLiteral("modal")] = modal ? modal->objectName() : QString();
    QJsonObject values;
    for (const auto &[name, value] : Values)
        values[name] = value();
    snapshot[QStringLiteral("values")] = values;
    return snapshot;
}

void TWidgetProbe::WriteNow()
{
    const QByteArray state = QJsonDocument(Snapshot()).toJson(QJsonDocument::Compact);
    if (state == Written)
        return;
    Written = state;
    // The serial tells a reader that a newer state has been written.
    QJsonObject withSerial = QJsonDocument::fromJson(state).object();
    withSerial[QStringLiteral("serial")] = ++Serial;
    QSaveFile file(FileName);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(withSerial).toJson(QJsonDocument::Indented));
        file.commit();
    }
}
