#include "BrowserListBox.h"

#include "FileBrowser.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

TBrowserListModel::TBrowserListModel(QObject *parent) : QAbstractListModel(parent) {}

void TBrowserListModel::SetBrowser(const TFileBrowser *browser)
{
    Browser = browser;
    Reload();
}

void TBrowserListModel::Reload()
{
    beginResetModel();
    Rows = Browser ? Browser->Count() : 0;
    endResetModel();
}

int TBrowserListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Rows; }

QVariant TBrowserListModel::data(const QModelIndex &index, int role) const
{
    if (!Browser || !index.isValid() || index.row() >= Browser->Count())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return Browser->DisplayName(index.row());
    return QVariant();
}

TBrowserItemDelegate::TBrowserItemDelegate(TPaint paint, QObject *parent)
    : QStyledItemDelegate(parent), Paint(std::move(paint))
{}

void TBrowserItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (Paint)
        Paint(painter, option, index.row());
}

QSize TBrowserItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return QSize(option.rect.width(), ItemHeight);
}

TBrowserListBox::TBrowserListBox(QWidget *parent) : QListView(parent)
{
    setUniformItemSizes(true); // only the visible rows are laid out and painted
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setFocusPolicy(Qt::ClickFocus); // no tab stop
    setMouseTracking(true);
    setDragEnabled(false);
    setFrameShape(QFrame::StyledPanel);
}

int TBrowserListBox::TopIndex() const { return verticalScrollBar()->value(); }

void TBrowserListBox::SetTopIndex(int top)
{
    doItemsLayout(); // the scroll range must know the rows
    verticalScrollBar()->setValue(top);
}

int TBrowserListBox::VisibleRows() const
{
    const int height = sizeHintForRow(0) > 0 ? sizeHintForRow(0) : 1;
    return std::max(viewport()->height() / height, 1);
}

int TBrowserListBox::CurrentRow() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() && selectionModel()->isSelected(index) ? index.row() : -1;
}

void TBrowserListBox::SetCurrentRow(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount()) {
        setCurrentIndex(QModelIndex());
        return;
    }
    setCurrentIndex(model()->index(row, 0));
}

void TBrowserListBox::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Backspace: emit CharacterKey(u'\b'); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: emit CharacterKey(u'\r'); return;
    default: break;
    }
    // Every other character goes to the owner too: the list has no
    // type-to-find. Arrows, pages, Home and End move as usual.
    const QString text = event->text();
    if (!text.isEmpty()) {
        emit CharacterKey(text.at(0));
        return;
    }
    QListView::keyPressEvent(event);
}

void TBrowserListBox::mousePressEvent(QMouseEvent *event)
{
    emit MouseDown(event->button(), event->modifiers(), event->position().toPoint(), false);
}

void TBrowserListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit MouseDown(event->button(), event->modifiers(), event->position().toPoint(), true);
}

void TBrowserListBox::mouseMoveEvent(QMouseEvent *event)
{
    // Held buttons do not drag the selection along.
    emit PointerMoved(event->position().toPoint());
}

void TBrowserListBox::mouseReleaseEvent(QMouseEvent *) {}

void TBrowserListBox::resizeEvent(QResizeEvent *event)
{
    QListView::resizeEvent(event);
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}
