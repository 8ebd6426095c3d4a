#include "WidgetUtilities.h"

#include <QComboBox>

#include "Dialogs.h"
#include "FunStatContext.h"
#include "TextParsers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>

#include <limits>

QString IntegerOutsideLimitsText(int32_t min, int32_t max, int32_t def)
{
    return QStringLiteral("Integer value outside limits.\nIt will be set to default.\n    * Minimum = ")
        + QString::number(min) + QStringLiteral("\n    * Maximum = ") + QString::number(max)
        + QStringLiteral("\n    * Default = ") + QString::number(def);
}

int32_t GetIntFromEdit(QLineEdit *edit, int32_t min, int32_t max, int32_t def)
{
    if (!edit)
        return def;
    FUN_BEGIN("GetIntFromEdit");
    int32_t value = def;
    bool outside = false;
    try {
        const QString text = edit->text();
        if (!text.isEmpty() && !TryTextToInt(text, value)) {
            outside = true;
            LECTERN_THROW(QStringLiteral("'") + text + QStringLiteral("' is not a valid integer value"));
        }
    }
    FUN_CATCH
    FUN_END;
    if (value < min || value > max)
        outside = true;
    if (!outside)
        return value;
    WarningDialog(IntegerOutsideLimitsText(min, max, def));
    edit->setFocus();
    edit->setText(QString::number(def));
    return def;
}

int32_t GetIntFromEdit(QLineEdit *edit)
{
    return GetIntFromEdit(edit, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), 0);
}

void FocusControl(QWidget *control)
{
    if (control && control->isEnabled() && control->focusPolicy() != Qt::NoFocus)
        control->setFocus(Qt::OtherFocusReason);
}

int GetFontHeight(const QFont &font, QWidget *control)
{
    if (!control)
        return 0;
    return QFontMetrics(font, control).height();
}

int SelectItemAtPoint(QAbstractItemView *list, int x, int y)
{
    if (!list)
        return -1;
    const QModelIndex index = list->indexAt(QPoint(x, y));
    if (!index.isValid()) {
        RefreshListBoxSelection(list);
        return -1;
    }
    list->setCurrentIndex(index);
    return index.row();
}

void RefreshListBoxSelection(QAbstractItemView *list)
{
    if (!list)
        return;
    const QModelIndex index = list->currentIndex();
    list->setCurrentIndex(QModelIndex());
    list->setCurrentIndex(index);
}

void DrawListBoxFocus(QWidget *list, QPainter *painter, QStyle::State state, const QRect &rect)
{
    if (!list || !painter || !(state & QStyle::State_Selected) || !(state & QStyle::State_HasFocus))
        return;
    // A thin dotted frame in the list's text colour: it shows on the item's
    // own colours without covering them.
    painter->save();
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(list->palette().color(QPalette::Text), 1, Qt::DotLine));
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

bool CopyTextToClipboard(const QString &text, const QString &failureMessage, bool beep, bool append)
{
    const QString message
        = failureMessage.isEmpty() ? QStringLiteral("Failed to copy text to clipboard.") : failureMessage;
    if (text.isEmpty()) {
        WarningDialog(QStringLiteral("There is no text to copy to clipboard."));
        return false;
    }
    FUN_BEGIN("CopyTextToClipboard");
    try {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (!clipboard) {
            FUN_RAISE(QStringLiteral("The clipboard is not available."));
        } else {
            clipboard->setText(append ? clipboard->text() + text : text);
            if (beep)
                BeepDefault();
        }
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    FUN_END_SHOW(message);
    return ok;
}

void ProcessDroppedFiles(const QList<QUrl> &urls, bool onlyFirst, const std::function<void(const QString &)> &callback)
{
    FUN_BEGIN("ProcessDroppedFiles");
    try {
        for (const QUrl &url : urls) {
            if (!url.isLocalFile())
                continue;
            const QString name = QFileInfo(url.toLocalFile()).absoluteFilePath();
            if (callback)
                callback(name);
            if (onlyFirst)
                break;
        }
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to drop files."));
}

int SelectComboBoxItem(QComboBox *combo, const QString &text)
{
    const int index = combo->findText(text, Qt::MatchFixedString);
    combo->setCurrentIndex(index);
    if (index < 0 && combo->isEditable())
        combo->setEditText(QString());
    return index;
}
