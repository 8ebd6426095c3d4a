// The browser's list: one row per item, drawn by its owner (a type cell and
// a name cell), with fixed row heights so only the visible rows are laid out
// and painted. The list does no tracking of its own: a press selects the item
// under the pointer and the selection stays there while the button is held;
// character keys never search, they go to the owner.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>

#include <functional>

class TFileBrowser;

// The items of a TFileBrowser, as rows.
class TBrowserListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit TBrowserListModel(QObject *parent = nullptr);
    void SetBrowser(const TFileBrowser *browser);
    // The items changed: every row is read again.
    void Reload();
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    const TFileBrowser *Browser = nullptr;
    int Rows = 0;
};

// Hands the painting of a row to its owner.
class TBrowserItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using TPaint = std::function<void(QPainter *, const QStyleOptionViewItem &, int row)>;
    TBrowserItemDelegate(TPaint paint, QObject *parent = nullptr);
    int ItemHeight = 20;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    TPaint Paint;
};

class TBrowserListBox : public QListView {
    Q_OBJECT
public:
    explicit TBrowserListBox(QWidget *parent = nullptr);
    // The row at the top of the list.
    int TopIndex() const;
    void SetTopIndex(int top);
    // How many whole rows the list shows.
    int VisibleRows() const;
    int CurrentRow() const;
    void SetCurrentRow(int row);

signals:
    // A character key: Backspace is "\b", Enter "\r".
    void CharacterKey(QChar key);
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position, bool doubleClick);
    void PointerMoved(QPoint position);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
};
