#include "BrowserGroupBox.h"

#include "BrowserListBox.h"
#include "Dialogs.h"
#include "FileBrowser.h"
#include "FunStatContext.h"
#include "HistoryDialog.h"
#include "Profile.h"
#include "Program.h"
#include "RichDocument.h"
#include "Shell.h"
#include "WidgetUtilities.h"

#include <QEvent>
#include <QPainter>
#include <QScrollBar>

const QString DownloadBooksAddress = QStringLiteral("https://standardebooks.org/ebooks");
const QString GutenbergBooksAddress = QStringLiteral("https://www.gutenberg.org/ebooks/");

namespace {

const QString SiteFailure = QStringLiteral("Failed to open site.");

// The open dialog's one filter: the book patterns, shown and matched.
QString BookDialogFilter()
{
    return QStringLiteral("Text files (") + TFileBrowser::BookFilter + QStringLiteral(")|") + TFileBrowser::BookFilter;
}

} // namespace

TBrowserColors BrowserColorsFromProfile(const TProfile &profile)
{
    TBrowserColors colors;
    colors.ScreenBack = ToQColor(profile.ScreenBackColor);
    colors.ScreenFore = ToQColor(profile.ScreenForeColor);
    colors.FocusBack = ToQColor(profile.BrowserFocusBackColor);
    colors.FocusFore = ToQColor(profile.BrowserFocusForeColor);
    colors.DirTypeBack = ToQColor(profile.DirTypeBackColor);
    colors.DirTypeFore = ToQColor(profile.DirTypeForeColor);
    return colors;
}

TBrowserGroupBox::TBrowserGroupBox(QWidget *parent) : QGroupBox(parent)
{
    Form.setupUi(this);
    BrowserListBox = Form.BrowserListBox;
    Model = new TBrowserListModel(this);
    Delegate = new TBrowserItemDelegate([this](QPainter *painter, const QStyleOptionViewItem &option,
                                               int row) { BrowserListBoxDrawItem(painter, option, row); },
                                        this);
    Delegate->ItemHeight = ItemHeight();
    BrowserListBox->setItemDelegate(Delegate);
    BrowserListBox->setModel(Model);
    Form.BrowserListArea->installEventFilter(this);
    SetColors(ColorSet);

    connect(Form.OpenBookButton, &QPushButton::clicked, this, &TBrowserGroupBox::OpenBookButtonClick);
    connect(Form.DownloadBooksButton, &QPushButton::clicked, this, &TBrowserGroupBox::DownloadBooksButtonClick);
    connect(Form.GutenbergBooksButton, &QPushButton::clicked, this, &TBrowserGroupBox::GutenbergBooksButtonClick);
    connect(Form.UpBrowserButton, &QPushButton::clicked, this, &TBrowserGroupBox::UpBrowserButtonClick);
    connect(Form.ReloadBrowserButton, &QPushButton::clicked, this, &TBrowserGroupBox::ReloadBrowserButtonClick);
    connect(Form.FromBookBrowserButton, &QPushButton::clicked, this, &TBrowserGroupBox::FromBookBrowserButtonClick);
    connect(Form.BrowserHistoryButton, &QPushButton::clicked, this, &TBrowserGroupBox::BrowserHistoryButtonClick);
    connect(BrowserListBox, &TBrowserListBox::CharacterKey, this, &TBrowserGroupBox::BrowserListBoxKeyPress);
    connect(BrowserListBox, &TBrowserListBox::MouseDown, this, &TBrowserGroupBox::BrowserListBoxMouseDown);
    connect(BrowserListBox, &TBrowserListBox::PointerMoved, this, &TBrowserGroupBox::BrowserListBoxMouseMove);
    connect(BrowserListBox->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TBrowserGroupBox::NoteSelection);
    connect(BrowserListBox->verticalScrollBar(), &QScrollBar::valueChanged, this, &TBrowserGroupBox::NoteSelection);

    BrowserListBox->setStatusTip(TFileBrowser::ListHint);
    ShownHint = TFileBrowser::ListHint;
}

TBrowserGroupBox::~TBrowserGroupBox() = default;

void TBrowserGroupBox::Bind(TFileBrowser *browser, THistoryDialog *history)
{
    Browser = browser;
    History = history;
    Model->SetBrowser(browser);
    if (History)
        History->OnSelect = [this](const THistoryEntry &entry) {
            LoadBrowserContent(entry.Path);
            FocusControl(BrowserListBox);
        };
}

int TBrowserGroupBox::ItemHeight() const { return GetFontHeight(BrowserListBox->font(), BrowserListBox) + 5; }

void TBrowserGroupBox::SetColors(const TBrowserColors &colors)
{
    ColorSet = colors;
    QPalette palette = BrowserListBox->palette();
    palette.setColor(QPalette::Base, colors.ScreenBack);
    palette.setColor(QPalette::Text, colors.ScreenFore);
    BrowserListBox->setPalette(palette);
    BrowserListBox->viewport()->update();
}

bool TBrowserGroupBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Form.BrowserListArea && event->type() == QEvent::Resize)
        FitListToArea();
    return QGroupBox::eventFilter(watched, event);
}

void TBrowserGroupBox::changeEvent(QEvent *event)
{
    QGroupBox::changeEvent(event);
    // The rows follow the font the list inherits from the window.
    if (event->type() == QEvent::FontChange && Delegate) {
        Delegate->ItemHeight = ItemHeight();
        BrowserListBox->doItemsLayout();
        FitListToArea();
    }
}

void TBrowserGroupBox::FitListToArea()
{
    const QWidget *area = Form.BrowserListArea;
    const int frame = 2 * BrowserListBox->frameWidth();
    const int rows = std::max((area->height() - frame) / Delegate->ItemHeight, 1);
    BrowserListBox->setGeometry(0, 0, area->width(), rows * Delegate->ItemHeight + frame);
}

void TBrowserGroupBox::NoteSelection()
{
    if (Browser && !Listing)
        Browser->NoteSelection(BrowserListBox->CurrentRow(), BrowserListBox->TopIndex());
}

void TBrowserGroupBox::LoadBrowserContent(const QString &path)
{
    if (!Browser)
        return;
    FUN_BEGIN("TBrowserGroupBox::LoadBrowserContent");
    Listing = true;
    TBrowserListing found;
    try {
        const int row = BrowserListBox->CurrentRow();
        const QString selected = row >= 0 && row < Browser->Count() ? Browser->Items().at(row).Text : QString();
        found = Browser->LoadContent(path, selected, BrowserListBox->TopIndex());
    }
    FUN_CATCH
    try {
        Model->Reload();
        const TBrowserSelection selection = Browser->SelectionFor(found, BrowserListBox->VisibleRows());
        BrowserListBox->SetCurrentRow(selection.Index);
        if (selection.TopIndex >= 0)
            BrowserListBox->SetTopIndex(selection.TopIndex);
        else if (selection.Index >= 0)
            BrowserListBox->scrollTo(BrowserListBox->currentIndex());
    }
    FUN_CATCH
    Listing = false;
    NoteSelection();
    FUN_END;
}

void TBrowserGroupBox::OpenBrowserItem()
{
    if (!Browser || Browser->Count() == 0)
        return;
    const TBrowserAction action = Browser->OpenItem(BrowserListBox->CurrentRow());
    if (action.Kind == TBrowserAction::OpenBook) {
        if (OpenBookHandler)
            OpenBookHandler(action.Path, true);
    } else if (action.Kind == TBrowserAction::Enter) {
        LoadBrowserContent(action.Path);
    }
}

void TBrowserGroupBox::OpenBookButtonClick()
{
    FUN_BEGIN("TBrowserGroupBox::OpenBookButtonClick");
    try {
        const QString book = OpenFileDialog(CurrentBookPath ? CurrentBookPath() : QString(), BookDialogFilter());
        if (!book.isEmpty() && OpenBookHandler)
            OpenBookHandler(book, true);
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to open book."));
}

void TBrowserGroupBox::DownloadBooksButtonClick() { OpenSite(DownloadBooksAddress, SiteFailure); }

void TBrowserGroupBox::GutenbergBooksButtonClick() { OpenSite(GutenbergBooksAddress, SiteFailure); }

void TBrowserGroupBox::UpBrowserButtonClick()
{
    if (Browser)
        LoadBrowserContent(Browser->UpPath());
    FocusControl(BrowserListBox);
}

void TBrowserGroupBox::ReloadBrowserButtonClick()
{
    if (Browser)
        LoadBrowserContent(Browser->Dir());
    FocusControl(BrowserListBox);
}

void TBrowserGroupBox::FromBookBrowserButtonClick()
{
    LoadBrowserContent(CurrentBookPath ? CurrentBookPath() : QString());
    FocusControl(BrowserListBox);
}

void TBrowserGroupBox::BrowserHistoryButtonClick()
{
    if (History)
        History->DialogButton(Form.BrowserHistoryButton, QStringLiteral("Browser history"));
    FocusControl(BrowserListBox);
}

void TBrowserGroupBox::BrowserListBoxKeyPress(QChar key)
{
    if (!Browser)
        return;
    if (key == u'\b')
        UpBrowserButtonClick();
    else if (key == u'\r')
        OpenBrowserItem();
    else if (key == u'/' || key == u'\\')
        LoadBrowserContent(Browser->PartitionsPath());
}

void TBrowserGroupBox::BrowserListBoxMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position,
                                               bool doubleClick)
{
    const int row = SelectItemAtPoint(BrowserListBox, position.x(), position.y());
    if (row < 0 || button != Qt::LeftButton || !Browser)
        return;
    if (HasModifier(ShiftStateFrom(modifiers), ssCtrl))
        RunVerb(Browser->Dir(), QStringLiteral("Explore"), QString());
    if (doubleClick)
        OpenBrowserItem();
}

void TBrowserGroupBox::BrowserListBoxMouseMove(QPoint position)
{
    if (!Browser)
        return;
    const QModelIndex index = BrowserListBox->indexAt(position);
    const QString hint = Browser->ItemHint(index.isValid() ? index.row() : -1);
    if (hint == ShownHint)
        return;
    ShownHint = hint;
    BrowserListBox->setStatusTip(hint);
    BrowserListBox->setToolTip(hint);
    emit HintChanged(hint);
}

void TBrowserGroupBox::BrowserListBoxDrawItem(QPainter *painter, const QStyleOptionViewItem &option, int row)
{
    if (!Browser || row < 0 || row >= Browser->Count())
        return;
    FUN_BEGIN("TBrowserGroupBox::BrowserListBoxDrawItem");
    const QRect rect = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    try {
        const TBrowserItem &item = Browser->Items().at(row);
        // The type column: 1.7 rows wide, and never narrower than its widest
        // label.
        int width = static_cast<int>(rect.height() * 1.7);
        for (const char *type : {"Dir", "Plain", "Form"})
            width = std::max(width, option.fontMetrics.horizontalAdvance(QLatin1String(type)) + 6);
        const QString label = TFileBrowser::TypeLabel(item);
        const QRect typeCell(rect.left(), rect.top(), width, rect.height());
        painter->fillRect(typeCell, item.File ? ColorSet.ScreenBack : ColorSet.DirTypeBack);
        painter->setPen(item.File ? ColorSet.ScreenFore : ColorSet.DirTypeFore);
        const QRect typeText = typeCell.adjusted(3, 2, -3, -2);
        painter->setClipRect(typeText);
        painter->drawText(typeText, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, label);
        painter->setClipping(false);

        const QRect nameCell(rect.left() + width, rect.top(), rect.width() - width, rect.height());
        painter->fillRect(nameCell, selected ? ColorSet.FocusBack : ColorSet.ScreenBack);
        painter->setPen(selected ? ColorSet.FocusFore : ColorSet.ScreenFore);
        const QRect nameText = nameCell.adjusted(3, 2, -3, -2);
        const QString name = option.fontMetrics.elidedText(Browser->DisplayName(row), Qt::ElideRight, nameText.width(),
                                                           Qt::TextSingleLine);
        painter->setClipRect(nameText);
        painter->drawText(nameText, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, name);
        painter->setClipping(false);

        painter->setPen(ColorSet.ScreenFore);
        painter->drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
        painter->drawLine(rect.left() + width, rect.top(), rect.left() + width, rect.bottom());
    }
    FUN_CATCH
    painter->restore();
    DrawListBoxFocus(BrowserListBox, painter, option.state, rect);
    FUN_END;
}
