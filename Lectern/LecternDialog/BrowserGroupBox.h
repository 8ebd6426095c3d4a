// The "Browser" group of the sidebar's "Open" page: the list of volumes,
// directories and books, the buttons that move it (Up, Reload, From book,
// History), the open dialog and the two pages where books can be found.
// The state and rules live in TFileBrowser; this group shows them and turns
// the reader's keys, presses and clicks into its operations.
#pragma once

#include <QColor>
#include <QGroupBox>

#include <functional>

#include "ui_BrowserGroupBox.h"

class QPainter;
class QStyleOptionViewItem;
class TBrowserItemDelegate;
class TBrowserListModel;
class TFileBrowser;
class THistoryDialog;
struct TProfile;

// The colours of the list: the screen colours of the profile for the list
// and the book types, and the browser's own for the selected name and the
// directory type cells.
struct TBrowserColors {
    QColor ScreenBack{255, 255, 255};
    QColor ScreenFore{0, 0, 0};
    QColor FocusBack{185, 110, 25};
    QColor FocusFore{255, 255, 255};
    QColor DirTypeBack{170, 150, 75};
    QColor DirTypeFore{255, 255, 255};
};
TBrowserColors BrowserColorsFromProfile(const TProfile &profile);

// The pages the "Books" and "Gutenberg books" buttons open.
extern const QString DownloadBooksAddress;
extern const QString GutenbergBooksAddress;

class TBrowserGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TBrowserGroupBox(QWidget *parent = nullptr);
    ~TBrowserGroupBox() override;
    Ui::BrowserGroupBox Form;
    TBrowserListBox *BrowserListBox = nullptr;

    // The browser and its history, owned by the window; the group does
    // nothing until they are given.
    void Bind(TFileBrowser *browser, THistoryDialog *history);
    // Opens a book for the group (the window's OpenBook).
    std::function<bool(const QString &path, bool recordAutoBookmark)> OpenBookHandler;
    // The full path of the open book, empty when none.
    std::function<QString()> CurrentBookPath;

    void SetColors(const TBrowserColors &colors);
    const TBrowserColors &Colors() const { return ColorSet; }
    // Height of a row: the list font's height + 5.
    int ItemHeight() const;

    // Lists the directory of path and selects the item remembered for it (a
    // path with a name selects that name). Under
    // "TBrowserGroupBox::LoadBrowserContent".
    void LoadBrowserContent(const QString &path);
    // Opens the selected book, or enters the selected directory or drive.
    void OpenBrowserItem();

    void OpenBookButtonClick(); // F5 too
    void DownloadBooksButtonClick();
    void GutenbergBooksButtonClick();
    void UpBrowserButtonClick();
    void ReloadBrowserButtonClick();
    void FromBookBrowserButtonClick();
    void BrowserHistoryButtonClick();
    void BrowserListBoxKeyPress(QChar key);
    void BrowserListBoxMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position,
                                 bool doubleClick);
    void BrowserListBoxMouseMove(QPoint position);
    void BrowserListBoxDrawItem(QPainter *painter, const QStyleOptionViewItem &option, int row);

signals:
    // The list's hint changed under the pointer.
    void HintChanged(const QString &hint);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The list shows whole rows only.
    void FitListToArea();
    // Remembers the selected item and the scrolling in the history.
    void NoteSelection();
    TFileBrowser *Browser = nullptr;
    THistoryDialog *History = nullptr;
    TBrowserListModel *Model = nullptr;
    TBrowserItemDelegate *Delegate = nullptr;
    TBrowserColors ColorSet;
    bool Listing = false; // the list is being refilled
    QString ShownHint;
};
