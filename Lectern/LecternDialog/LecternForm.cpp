#include "LecternForm.h"

#include "ConvertOptions.h"
#include "EnhancedRichEdit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDateTime>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "AboutForm.h"
#include "BackImages.h"
#include "BackSounds.h"
#include "BookGroupBox.h"
#include "Bookshelf.h"
#include "BrowserGroupBox.h"
#include "ChaptersPopupMenu.h"
#include "ConvertMeasureTabSheet.h"
#include "DictionaryLookUp.h"
#include "EffectSoundPlayer.h"
#include "FileBrowser.h"
#include "FunStatContext.h"
#include "HelpWindow.h"
#include "HistoryDialog.h"
#include "Hyphenation.h"
#include "InfoTexts.h"
#include "OpenBook.h"
#include "ProfileColorsTabSheet.h"
#include "ProfileFormatTabSheet.h"
#include "ProfileGeneralTabSheet.h"
#include "ProfileMiscTabSheet.h"
#include "Program.h"
#include "ProgramGeneralTabSheet.h"
#include "ProgramMiscTabSheet.h"
#include "ProgramOpenTabSheet.h"
#include "RichBox.h"
#include "SizesGroupBox.h"
#include "SpeechEngine.h"
#include "SpeechReader.h"
#include "SpokenSentenceView.h"
#include "StepTimes.h"
#include "StoredTextList.h"
#include "TimeStamp.h"

TLecternForm *LecternForm = nullptr;
bool TLecternForm::FirstActivation = true;

const QString TLecternForm::RichBoxHint = QStringLiteral(
    "Rich-box. Double-click [LMB] on a word to look it up in dictionary. Press [F5] to open a book. Drag and drop a "
    "file from another program, to open it. Press [Ctrl + F5] to open the \"Welcome\" book. Click [RMB] on a number "
    "to view the measurement units convertor dialog. Move the mouse cursor over a number to set it as the value to "
    "be converted. Press [Space] to view the next page. Press [Esc] to hide the program.");

namespace {

const int HelpContextMain = 100;

QFont ArialFont(int points, bool bold = false)
{
    QFont font(QStringLiteral("Arial"), points);
    font.setBold(bold);
    return font;
}

} // namespace

TLecternForm::TLecternForm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("LecternForm"));
    setWindowTitle(ProgramName);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFont(ArialFont(9));
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
    IsApplicationActive = [] { return QGuiApplication::applicationState() == Qt::ApplicationActive; };

    CreateLabels();
    CreateSidebar();

    InfoTimer = new QTimer(this);
    InfoTimer->setObjectName(QStringLiteral("InfoTimer"));
    InfoTimer->setInterval(1000);
    connect(InfoTimer, &QTimer::timeout, this, &TLecternForm::InfoTimerTimer);
    InfoTimer->start();

    // Hints of every control go to HintLabel; keys and pointer moves are
    // looked at before the control under them gets them.
    qApp->installEventFilter(this);

    // The first sidebar request after start-up is ignored.
    SidebarSuppress = false;
    ShowSidebar(true);
    SidebarSuppress = true;

    SetHints();
    SetUpEditing();
    SetUpBookLoading();
    SetUpEnhanceOptions();
    SetUpLinks();
    SetUpFormatting();
    SetUpNavigation();
    SetUpAppearance();
    SetUpColors();
    SetUpBackSounds();
    SetUpSettings();
    SetUpSpeech();
    SetUpProfiles();
    SetUpBookshelf();
    SetUpBrowser();
    SetUpTools();
    CurrentFileInfoLabel->clear();
    HintLabel->setText(RichBoxHint);
    ApplicationHint = RichBoxHint;
    InfoTimerTimer();
    SetRichEditModified(false); // setting up the box is no edit

    // Fill the screen even without a window manager to maximise it.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    FormResize();
}

TBookFormatOptions TLecternForm::CurrentFormatOptions() const
{
    TBookFormatOptions options;
    ProfileFormatTabSheet->ReadFormatOptions(options);
    ProfileGeneralTabSheet->ReadEnhanceOptions(options);
    ProfileColorsTabSheet->ReadFormatColors(options);
    return options;
}

TLecternForm::~TLecternForm()
{
    BrowserGroupBox->Bind(nullptr, nullptr); // the group outlives the browser's state
    qApp->removeEventFilter(this);
    StopReading();
    FinishBackSounds();
    if (LecternForm == this)
        LecternForm = nullptr;
}

void TLecternForm::CreateLabels()
{
    auto makeLabel = [this](const char *name, const QFont &font) {
        auto *label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setFont(font);
        label->setAttribute(Qt::WA_TranslucentBackground);
        return label;
    };
    CurrentFileInfoLabel = makeLabel("CurrentFileInfoLabel", ArialFont(8));
    CurrentFileInfoLabel->setWordWrap(true);
    CurrentFileInfoLabel->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    CurrentFileInfoLabel->setMouseTracking(true);
    HintLabel = makeLabel("HintLabel", ArialFont(8));
    HintLabel->setWordWrap(true);
    HintLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    HintLabel->setMouseTracking(true);
    ClockLabel = makeLabel("ClockLabel", ArialFont(14, true));
    ClockLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QFontMetrics fm(ClockLabel->font());
    ClockLabel->resize(fm.horizontalAdvance(QStringLiteral("00:00:00 AM")) + 8, fm.height() + 4);

    RichEdit = new TRichBox(this);
    RichEdit->setObjectName(QStringLiteral("RichEdit"));
    Engine = std::make_unique<TEnhancedRichEdit>();
    Engine->RichBox = RichEdit->RichDocument();
    Engine->MenuOwner = this;
    Engine->MaxChapters = 30;
    Engine->HelpContext = 100;
    RichEdit->setReadOnly(true);
    RichEdit->setTabChangesFocus(false); // tab characters go into the text
    // The selection stays visible when the focus moves elsewhere.
    QPalette richPalette = RichEdit->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        richPalette.setColor(QPalette::Inactive, role, richPalette.color(QPalette::Active, role));
    RichEdit->setPalette(richPalette);
    RichEdit->setFont(QFont(QStringLiteral("Tahoma"), 8));
    RichEdit->viewport()->setMouseTracking(true);
    RichEdit->setAttribute(Qt::WA_NoMousePropagation);
    RichEdit->hide(); // shown with the first book
}

void TLecternForm::CreateSidebar()
{
    Container_MainPanel = new QWidget(this);
    Container_MainPanel->setObjectName(QStringLiteral("Container_MainPanel"));
    Container_MainPanel->setAutoFillBackground(true);
    // Pointer moves inside the sidebar belong to it, never to the window's
    // background (which would hide the sidebar where it covers the rich-box).
    Container_MainPanel->setAttribute(Qt::WA_NoMousePropagation);
    auto *sideLayout = new QVBoxLayout(Container_MainPanel);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->setSpacing(4);

    Container_OptionsPageControl = new QTabWidget(Container_MainPanel);
    Container_OptionsPageControl->setObjectName(QStringLiteral("Container_OptionsPageControl"));
    Container_OptionsPageControl->setFixedWidth(SidebarWidth);
    sideLayout->addWidget(Container_OptionsPageControl, 1);

    auto makePageHolder = [](const char *name, QTabWidget **pages, const char *pagesName) {
        auto *holder = new QWidget;
        holder->setObjectName(QLatin1String(name));
        auto *layout = new QVBoxLayout(holder);
        layout->setContentsMargins(0, 0, 0, 5);
        *pages = new QTabWidget(holder);
        (*pages)->setObjectName(QLatin1String(pagesName));
        layout->addWidget(*pages);
        return holder;
    };

    ProgramOptionsTabSheet = makePageHolder("ProgramOptionsTabSheet", &ProgramPageControl, "ProgramPageControl");
    ProgramOpenTabSheet = new TProgramOpenTabSheet;
    ProgramGeneralTabSheet = new TProgramGeneralTabSheet;
    ProgramMiscTabSheet = new TProgramMiscTabSheet;
    ProgramPageControl->addTab(ProgramOpenTabSheet, QStringLiteral("Open"));
    ProgramPageControl->addTab(ProgramGeneralTabSheet, QStringLiteral("General"));
    ProgramPageControl->addTab(ProgramMiscTabSheet, QStringLiteral("Misc"));

    ProfileOptionsTabSheet = makePageHolder("ProfileOptionsTabSheet", &ProfilePageControl, "ProfilePageControl");
    ProfileGeneralTabSheet = new TProfileGeneralTabSheet;
    ProfileColorsTabSheet = new TProfileColorsTabSheet;
    ProfileFormatTabSheet = new TProfileFormatTabSheet;
    ProfileMiscTabSheet = new TProfileMiscTabSheet;
    ProfilePageControl->addTab(ProfileGeneralTabSheet, QStringLiteral("General"));
    ProfilePageControl->addTab(ProfileColorsTabSheet, QStringLiteral("Colors"));
    ProfilePageControl->addTab(ProfileFormatTabSheet, QStringLiteral("Format"));
    ProfilePageControl->addTab(ProfileMiscTabSheet, QStringLiteral("Misc"));

    ConvertMeasureTabSheet = new TConvertMeasureTabSheet;
    Container_OptionsPageControl->addTab(ProgramOptionsTabSheet, QStringLiteral("Program"));
    Container_OptionsPageControl->addTab(ProfileOptionsTabSheet, QStringLiteral("Profile"));
    Container_OptionsPageControl->addTab(ConvertMeasureTabSheet, QStringLiteral("Convert"));

    BookGroupBox = ProgramOpenTabSheet->Form.BookGroupBox;
    ModifiedLabel = BookGroupBox->Form.ModifiedLabel;
    LineNumberLabel = BookGroupBox->Form.LineNumberLabel;
    SizesGroupBox = ProgramGeneralTabSheet->Form.SizesGroupBox;
    connect(SizesGroupBox, &TSizesGroupBox::SizesChanged, this, &TLecternForm::SizesComboBoxChange);

    MainButtonsPanel = new QWidget(Container_MainPanel);
    MainButtonsPanel->setObjectName(QStringLiteral("MainButtonsPanel"));
    auto *buttons = new QHBoxLayout(MainButtonsPanel);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(4);
    auto makeButton = [this, buttons](const char *name, const QString &caption, void (TLecternForm::*click)()) {
        auto *button = new QPushButton(caption, MainButtonsPanel);
        button->setObjectName(QLatin1String(name));
        button->setFocusPolicy(Qt::NoFocus);
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, click);
        return button;
    };
    HelpButton = makeButton("HelpButton", QStringLiteral("Help"), &TLecternForm::HelpButtonClick);
    AboutButton = makeButton("AboutButton", QStringLiteral("About"), &TLecternForm::AboutButtonClick);
    CloseProgramButton
        = makeButton("CloseProgramButton", QStringLiteral("Close"), &TLecternForm::CloseProgramButtonClick);
    HideProgramButton = makeButton("HideProgramButton", QStringLiteral("Hide"), &TLecternForm::HideProgramButtonClick);
    sideLayout->addWidget(MainButtonsPanel);

    Container_MainPanel->hide();
}

void TLecternForm::SetHints()
{
    RichEdit->setStatusTip(RichBoxHint);
    HelpButton->setStatusTip(QStringLiteral("Show the program's help. Press [Ctrl + T] for tips. [F1]"));
    AboutButton->setStatusTip(QStringLiteral("Display information about the program"));
    CloseProgramButton->setStatusTip(QStringLiteral("Close the program. [Alt + F4]"));
    HideProgramButton->setStatusTip(QStringLiteral("Hide the program. [Esc]"));
    const QString tabsHint = QStringLiteral("Use these tabs to change various options, and access various functions");
    Container_OptionsPageControl->setStatusTip(tabsHint);
    ProgramPageControl->setStatusTip(tabsHint);
    CurrentFileInfoLabel->setStatusTip(QStringLiteral("Information about the currently opened book"));
    ClockLabel->setStatusTip(QStringLiteral("Current clock"));
}

QString TLecternForm::HintOf(QWidget *widget) const
{
    for (QWidget *w = widget; w && w != this; w = w->parentWidget()) {
        if (!w->statusTip().isEmpty())
            return w->statusTip();
        if (w->isWindow())
            break;
    }
    return QString();
}

void TLecternForm::SetApplicationHint(const QString &hint)
{
    // Like a hint-change event: the label changes only when the hint does, so
    // texts written into it directly stay until the pointer reaches a control
    // with another hint.
    if (hint == ApplicationHint)
        return;
    ApplicationHint = hint;
    // A message of the program's stays a while before the hints come back.
    if (HintMessageShown.isValid() && HintMessageShown.elapsed() < HintMessageMs)
        return;
    HintLabel->setText(hint);
}

void TLecternForm::ShowHintMessage(const QString &text)
{
    HintLabel->setText(text);
    HintLabel->repaint();
    HintMessageShown.start();
    QTimer::singleShot(HintMessageMs, this, [this, text] {
        if (HintLabel->text() == text && HintMessageShown.elapsed() >= HintMessageMs)
            HintLabel->setText(ApplicationHint);
    });
}

bool TLecternForm::IsReaderAction(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::ContextMenu:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool TLecternForm::IsOwnWidget(QObject *object) const
{
    if (!object || !object->isWidgetType())
        return false;
    return static_cast<QWidget *>(object)->window() == this;
}

bool TLecternForm::eventFilter(QObject *watched, QEvent *event)
{
    // What the reader does with the window acts on the whole book: the rest
    // of a book still being read in steps comes in first.
    if (IsLoadingInSteps() && IsReaderAction(event->type()) && IsOwnWidget(watched))
        CompleteLoad();
    switch (event->type()) {
    case QEvent::Enter:
        if (watched == Container_MainPanel)
            PointerWasInSidebar = true;
        if (IsOwnWidget(watched) && watched != this)
            SetApplicationHint(HintOf(static_cast<QWidget *>(watched)));
        break;
    case QEvent::Leave:
        // A held sidebar closes when the pointer has been in it and leaves.
        if (watched == Container_MainPanel && SidebarHeldByKeyboard && PointerWasInSidebar) {
            SidebarHeldByKeyboard = false;
            QTimer::singleShot(0, this, [this] {
                if (!Container_MainPanel->underMouse())
                    ShowSidebar(true);
            });
        }
        // The hint of what the pointer is over now: the widget under it when
        // the system knows, else the parent of the widget left (entering a
        // sibling sends its own Enter right after this).
        if (IsOwnWidget(watched) && watched != this) {
            QWidget *under = QApplication::widgetAt(QCursor::pos());
            if (!IsOwnWidget(under))
                under = static_cast<QWidget *>(watched)->parentWidget();
            SetApplicationHint(HintOf(under));
        }
        break;
    case QEvent::Resize:
        if (watched == RichEdit->viewport())
            IniRichBackImage();
        break;
    case QEvent::MouseMove:
        if (watched == RichEdit->viewport() || watched == CurrentFileInfoLabel || watched == HintLabel)
            ShowSidebar(true);
        break;
    case QEvent::Paint:
        // The first page of text is on the screen once this paint is done.
        if (StepTimes && watched == RichEdit->viewport() && !RichEdit->document()->isEmpty())
            QTimer::singleShot(0, this, [this] { MarkStep(QStringLiteral("first paint")); });
        break;
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
        if (IsOwnWidget(watched))
            ReaderActed = true;
        break;
    case QEvent::KeyPress:
        if (IsOwnWidget(watched)) {
            ReaderActed = true;
            auto *key = static_cast<QKeyEvent *>(event);
            const int k = NormalizedShortcutKey(key->key(), key->nativeScanCode());
            if (FormKeyDown(k, ShiftStateFrom(key->modifiers())))
                return true;
        }
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void TLecternForm::StartUp(const QString &settingsDirectory)
{
    SetAboutTexts(ProgramName, ProgramVersionText);
    SettingsDirectory = settingsDirectory;
    MarkStep(QStringLiteral("window"));
    SettingsList->Load(SettingsDirectory + QStringLiteral("Lectern.ini"), false);
    MarkStep(QStringLiteral("settings"));
    ProfileList->Load(DefaultProfilePath(), false);
    MarkStep(QStringLiteral("default profile"));
    RebuildBackImages();
    MarkStep(QStringLiteral("background pictures"));
    SetRichEditModified(false);
    setAcceptDrops(true);
}

void TLecternForm::SetStepTimes(TStepTimes *steps) { StepTimes = steps; }

void TLecternForm::MarkStep(const QString &key)
{
    if (StepTimes)
        StepTimes->Mark(key);
}

void TLecternForm::ApplicationEventsActivate()
{
    if (!FirstActivation)
        return;
    FUN_BEGIN("TLecternForm::ApplicationEventsActivate");
    try {
        FirstActivation = false;
        QCursor::setPos(HintLabel->mapToGlobal(HintLabel->rect().center()));
        // The move above uses up the sidebar's first request; where the
        // pointer stays put, nothing else would.
        if (!PointerCanBeMoved())
            SidebarSuppress = false;
        ApplicationHint = HintOf(HintLabel); // the hint where the pointer now is
        FocusRichBox();
        LoadStartBook();
        HintLabel->setText(
            QStringLiteral("Move the mouse cursor to the left side of the rich-box to view the sidebar"));
    }
    FUN_CATCH
    FUN_END;
}

void TLecternForm::LoadStartBook()
{
    if (StartBookLoaded)
        return;
    StartBookLoaded = true;
    LoadOnStart();
}

void TLecternForm::LoadOnStart()
{
    FUN_BEGIN("TLecternForm::LoadOnStart");
    try {
        SetRichEditModified(false);
        bool opened = false;
        if (GetParamCount() == 1)
            opened = OpenBook(GetParam(1), false);
        else
            opened = LoadLastBookOnStart();
        if (!opened) {
            opened = OpenBook(GetProgramDirectory() + QStringLiteral("Welcome.txt"), false);
            if (!opened)
                FocusRichBox();
        }
        MarkStep(QStringLiteral("first layout"));
        LoadBrowserOnStart();
    }
    FUN_CATCH
    FUN_END;
}

void TLecternForm::OpenFromAnotherStart(const QStringList &books, const QString &activationToken)
{
    ComeToFront(activationToken);
    if (books.isEmpty())
        return;
    // Not inside a load or a box of the reader's: once they are done.
    if (Loading || QApplication::activeModalWidget() || FirstActivation) {
        QTimer::singleShot(200, this, [this, books] { OpenFromAnotherStart(books, QString()); });
        return;
    }
    OpenBook(books.first(), true);
}

void TLecternForm::ComeToFront(const QString &activationToken)
{
    // Wayland hands the right to take the focus over with the token of the
    // start that asked for it.
    if (!activationToken.isEmpty()) {
        qputenv(QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ? "XDG_ACTIVATION_TOKEN"
                                                                                     : "DESKTOP_STARTUP_ID",
                activationToken.toUtf8());
    }
    if (isMinimized())
        showMaximized();
    raise();
    activateWindow();
    if (QWindow *window = windowHandle())
        window->requestActivate();
}

void TLecternForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    MarkStep(QStringLiteral("shown"));
    // The start's book opens as soon as the window is up, without waiting
    // for the window manager to activate it. Without a window manager the
    // window may never be activated; start up anyway shortly after it is
    // shown.
    if (FirstActivation) {
        QTimer::singleShot(0, this, [this] {
            if (FirstActivation && isVisible())
                LoadStartBook();
        });
        QTimer::singleShot(500, this, [this] {
            if (FirstActivation && isVisible())
                ApplicationEventsActivate();
        });
    }
}

void TLecternForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        ApplicationEventsActivate();
    } else if (event->type() == QEvent::WindowStateChange) {
        const bool minimized = windowState() & Qt::WindowMinimized;
        if (minimized && !Minimized) {
            Minimized = true;
            ApplicationEventsMinimize();
        } else if (!minimized && Minimized) {
            Minimized = false;
            ApplicationEventsRestore();
        }
    }
    QWidget::changeEvent(event);
}

void TLecternForm::ApplicationEventsMinimize()
{
    StopReading();
    InfoTimer->stop();
    StopBackSound();
}

void TLecternForm::ApplicationEventsRestore()
{
    InfoTimer->start();
    InfoTimerTimer(); // the labels catch up at once
    RestartBackSound();
}

bool TLecternForm::FormCloseQuery()
{
    Closing = true;
    if (!AskSaveIfModified()) {
        // The edits the reader wanted saved were not: the window stays.
        Closing = false;
        return false;
    }
    SaveSettingsOnClose();
    return true;
}

void TLecternForm::closeEvent(QCloseEvent *event)
{
    if (Loading) {
        // The load stops at its next progress report; the window closes
        // once it has returned.
        Closing = true;
        CloseAfterLoad = true;
        event->ignore();
        return;
    }
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TLecternForm::HelpButtonClick() { ShowHelp(HelpContextMain); }

void TLecternForm::AboutButtonClick()
{
    if (AboutForm)
        AboutForm->exec();
    FocusRichBox();
}

void TLecternForm::CloseProgramButtonClick() { close(); }

void TLecternForm::HideProgramButtonClick()
{
    showMinimized();
    FocusRichBox();
}

void TLecternForm::InfoTimerTimer()
{
    FUN_BEGIN("TLecternForm::InfoTimerTimer");
    try {
        UpdateLineNumberLabel();
        UpdateCurrentFileInfo();
        ModifiedLabel->setText(ModifiedText(IsRichEditModified()));
    }
    FUN_CATCH
    try {
        ClockLabel->setText(ClockText(QDateTime::currentDateTime()));
        BackSoundTick();
    }
    FUN_CATCH
    FUN_END;
}

bool TLecternForm::IsRichEditModified() const { return RichEdit->RichDocument()->IsModified(); }

void TLecternForm::SetRichEditModified(bool modified) { RichEdit->RichDocument()->SetModified(modified); }

void TLecternForm::UpdateLineNumberLabel()
{
    // The book's own lines once the scan of a book in pieces knows them.
    const int bookLine = TopBookLine();
    if (bookLine >= 0)
        LineNumberLabel->setText(LineNumberText(bookLine, Book->LineCount()));
    else
        LineNumberLabel->setText(LineNumberText(RichEdit->FirstVisibleLine(), RichEdit->LineCount()));
}
