#include "WidgetUtilities.h"

#include <QComboBox>

#include "Dialogs.h"
#include "FunStatContext.h"
#include "TextParsers.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyleOptionFocusRect>

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

int SelectItemAtPoint(QListWidget *list, int x, int y)
{
    if (!list)
        return -1;
    QListWidgetItem *item = list->itemAt(x, y);
    if (!item) {
        RefreshListBoxSelection(list);
        return -1;
    }
    const int index = list->row(item);
    list->setCurrentRow(index);
    return index;
}

void RefreshListBoxSelection(QListWidget *list)
{
    if (!list)
        return;
    const int index = list->currentRow();
    list->setCurrentRow(-1);
    list->setCurrentRow(index);
}

void DrawListBoxFocus(QWidget *list, QPainter *painter, QStyle::State state, const QRect &rect)
{
    if (!list || !painter || !(state & QStyle::State_Selected) || !(state & QStyle::State_HasFocus))
        return;
    QStyleOptionFocusRect option;
    option.initFrom(list);
    option.rect = rect;
    option.state |= QStyle::State_KeyboardFocusChange;
    option.backgroundColor = list->palette().color(QPalette::Highlight);
    list->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, painter, list);
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
