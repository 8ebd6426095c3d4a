// The reading window: a borderless, maximised window with the rich-box in
// its middle, a sidebar of option pages at its left that shows while the
// pointer is left of the rich-box, the book information above the rich-box,
// the hint of the control under the pointer below it and a clock in the
// bottom-right corner.
#pragma once

#include <QElapsedTimer>
#include <QEvent>
#include <QList>
#include <QLocale>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>

#include "BookSession.h"
#include "ColorSchemes.h"
#include "Profile.h"
#include "ProgramSettings.h"
#include "Shortcuts.h"
#include "WindowLayout.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTimer;
class TFunStatContext;
class TRichBox;
class TEnhancedRichEdit;
class TRichBoxView;
class QKeyEvent;
class QMarginsF;
class QPrinter;
struct TBookFormatOptions;
struct TBookOpenCheck;
class TBookGroupBox;
class TBrowserGroupBox;
class TFileBrowser;
class THistoryDialog;
class TSizesGroupBox;
class TProgramOpenTabSheet;
class TProgramGeneralTabSheet;
class TProgramMiscTabSheet;
class TProfileGeneralTabSheet;
class TProfileColorsTabSheet;
class TProfileFormatTabSheet;
class TProfileMiscTabSheet;
class TConvertMeasureTabSheet;
class TBackSoundGroupBox;
class TBackSounds;
class TSoundPlayer;
class TDictionaryLookUp;
class TStoredTextList;
class TBookshelf;
class TBookshelfGroupBox;
class TBookmarkButtons;
class TProfileWorkGroupBox;
class TBackImages;
class TScreenBackImageGroupBox;
class TRichBackImageGroupBox;
class TChaptersPopupMenu;
class TOpenBook;
class THyphenators;
class TSpeechEngine;
class TSpeechReader;
class TSpokenSentenceView;
class TVoiceGroupBox;
class TStepTimes;

class TLecternForm : public QWidget {
    Q_OBJECT
public:
    explicit TLecternForm(QWidget *parent = nullptr);
    ~TLecternForm() override;

    // Width of the sidebar's options page control.
    static constexpr int SidebarWidth = 290;

    // ---- Controls ------------------------------------------------------
    QLabel *CurrentFileInfoLabel = nullptr;
    QLabel *HintLabel = nullptr;
    QLabel *ClockLabel = nullptr;
    TRichBox *RichEdit = nullptr;

    QWidget *Container_MainPanel = nullptr; // the sidebar
    QWidget *MainButtonsPanel = nullptr;
    QPushButton *HelpButton = nullptr;
    QPushButton *AboutButton = nullptr;
    QPushButton *CloseProgramButton = nullptr;
    QPushButton *HideProgramButton = nullptr;

    QTabWidget *Container_OptionsPageControl = nullptr;
    QWidget *ProgramOptionsTabSheet = nullptr;
    QTabWidget *ProgramPageControl = nullptr;
    TProgramOpenTabSheet *ProgramOpenTabSheet = nullptr;
    TProgramGeneralTabSheet *ProgramGeneralTabSheet = nullptr;
    TProgramMiscTabSheet *ProgramMiscTabSheet = nullptr;
    QWidget *ProfileOptionsTabSheet = nullptr;
    QTabWidget *ProfilePageControl = nullptr;
    TProfileGeneralTabSheet *ProfileGeneralTabSheet = nullptr;
    TProfileColorsTabSheet *ProfileColorsTabSheet = nullptr;
    TProfileFormatTabSheet *ProfileFormatTabSheet = nullptr;
    TProfileMiscTabSheet *ProfileMiscTabSheet = nullptr;
    TConvertMeasureTabSheet *ConvertMeasureTabSheet = nullptr;

    // Controls inside the pages that the window itself uses.
    TBookGroupBox *BookGroupBox = nullptr;
    QLabel *ModifiedLabel = nullptr;
    QLabel *LineNumberLabel = nullptr;
    TSizesGroupBox *SizesGroupBox = nullptr;

    QTimer *InfoTimer = nullptr;

    // The enhancement engine bound to the rich-box's document; it owns the
    // chapters menu of the open book.
    std::unique_ptr<TEnhancedRichEdit> Engine;

    // ---- Window state --------------------------------------------------
    QString CurrentBookPath;
    bool Closing = false;
    bool SidebarSuppress = false;
    static bool FirstActivation;
    double SavedWaveVolume = -1.0;
    QString LoadTimeText;
    bool ProfileListLoading = false;

    // Whether this application is the active one; replaceable for tests.
    std::function<bool()> IsApplicationActive;

    // The rich-box hint, also shown in HintLabel at start.
    static const QString RichBoxHint;

    // ---- Services for the rest of the program -------------------------
    // Runs once before the event loop: about texts, the settings and the
    // default profile read from `settingsDirectory` (with a trailing "/";
    // GetSettingsDirectory() in the program), background images. A window
    // that never started up reads and writes no settings.
    void StartUp(const QString &settingsDirectory);
    // Where the steps of the start are marked (not owned; may be null).
    void SetStepTimes(TStepTimes *steps);
    // Shows (hide = false) or hides the sidebar; a pending suppress request
    // or an inactive application makes the call do nothing.
    void ShowSidebar(bool hide);
    // Opens the sidebar on the "Open" page.
    void ShowOpenTab();
    void FocusRichBox();
    // Hides the rich-box and locks drawing; returns the rich-box's previous
    // visibility, which EndUpdate restores.
    bool BeginUpdate();
    void EndUpdate(bool visible);
    // Offers to save an edited text before it is left. False when the text
    // must stay: the reader wanted it saved and it was not.
    bool AskSaveIfModified();
    void UpdateLineNumberLabel();
    // The rich-box's modified flag: set by the reader's edits only.
    bool IsRichEditModified() const;
    void SetRichEditModified(bool modified);

    // Opens a book: the start-up book, dropped files, Ctrl+F5. Returns
    // whether it was loaded.
    bool OpenBook(const QString &fileName, bool recordAutoBookmark);
    void LoadOnStart();
    // A second start of the program handed its books over ("Open with" in
    // a file manager while the reader runs): the first is opened as any
    // book is, and the window comes to the front. `activationToken` is the
    // desktop's token of that start, when it gave one.
    void OpenFromAnotherStart(const QStringList &books, const QString &activationToken);
    void ComeToFront(const QString &activationToken);

    // ---- Book loading (LecternFormLoad.cpp) ----------------------------
    // Loads a book, or with an empty name another piece of the current one.
    // piece -1: the auto-bookmark's piece; position -1: show the end.
    bool LoadFromFile(const QString &fileName, int piece, bool profileChosen, int position);
    // The enhancement's progress callback: true stops it (the window closes).
    bool LoadProgress(int characters);
    // A big book opened is shown from its first screen on while the rest is
    // read into the box in steps from a zero timer, outside every event
    // handler (the reader's input first has the rest read at once).
    bool IsLoadingInSteps() const;
    // The book's lines are still being read: nothing of it is shown yet.
    bool IsReadingLines() const;
    void CompleteLoad();
    void UpdatePiecesControls();
    void UpdateCurrentFileInfo(const QString &text, bool setTitle, bool loadTime);
    bool HasBookFile() const;
    int CurrentPiece() const;
    // The pattern file the piece shown was hyphenated with; empty: none.
    QString ShownHyphenation() const;
    // "&Chapters (N)", enabled only with a chapters menu.
    void UpdateChaptersButton();
    void PiecesComboBoxChange();
    void OpenInPiecesCheckBoxClick();
    bool IsLoading() const { return Loading; }
    // Pieces and open-in-pieces controls, reached from the window.
    QComboBox *PiecesComboBox = nullptr;
    QPushButton *NextPieceButton = nullptr;
    QPushButton *PreviousPieceButton = nullptr;
    QLabel *PiecesLabel = nullptr;
    QLabel *BookLoadedInLabel = nullptr;
    QPushButton *ChaptersButton = nullptr;
    QCheckBox *OpenInPiecesCheckBox = nullptr;
    QComboBox *PieceSizeComboBox = nullptr;
    QCheckBox *EnhanceTextCheckBox = nullptr;

    // The reading options of the profile pages (format, enhancement,
    // colours) as one record, for loading and re-formatting.
    TBookFormatOptions CurrentFormatOptions() const;

    // The layout for the current window size and options.
    TWindowLayout CurrentLayout() const;

    // ---- Handlers --------------------------------------------------------
    void FormResize();
    void FormMouseMove(int x, int y);
    // Runs the window's shortcut for a key; true when the key was used.
    bool FormKeyDown(int key, TShiftState state);
    void RunShortcut(const TShortcut &shortcut);
    void InfoTimerTimer();
    void ApplicationEventsActivate();
    void ApplicationEventsMinimize();
    void ApplicationEventsRestore();
    bool FormCloseQuery();
    void HelpButtonClick();
    void AboutButtonClick();
    void CloseProgramButtonClick();
    void HideProgramButtonClick();
    void SizesComboBoxChange();
    // Files dropped from other programs: the first one is opened, the
    // others are ignored.
    void ProcessDroppedFiles(const QList<QUrl> &urls);
    // A left press on a web address of the text opens it with the system's
    // default handler (replaceable for tests).
    void RichEditLinkClick(int start, int end, const QString &text);
    std::function<bool(const QUrl &url)> OpenUrlHandler;

    // ---- Operations reached by keys, start-up and closing ---------------
    void GoToBookmark(int index); // Alt+1 .. Alt+5
    void GoToAutoBookmark(); // Alt+A
    void ChaptersButtonClick(); // Alt+C
    void FocusFindTextEdit(); // Alt+F, after ShowOpenTab
    void FocusGotoLineEdit(); // Alt+G, after ShowOpenTab
    void OpenBookshelfButtonClick(); // Alt+O
    void PutBookshelfButtonClick(); // Alt+P
    void FindNext(); // F3
    void NextPieceButtonClick(); // F6
    void PreviousPieceButtonClick(); // F7
    bool LoadLastBookOnStart(); // "Auto load last book": the book read last, shelved or not
    void UpdateCurrentFileInfo(); // label above the rich-box, without the load time
    void RebuildBackImages(); // after a layout change
    void SaveSettingsOnClose(); // Lectern.ini (and the profile) at close
    void StopBackSound(); // minimise
    void RestartBackSound(); // restore
    void BackSoundTick(); // each tick of the information timer
    void FeedRandomFromPointer(int x, int y);

    // ---- File browser (LecternFormBrowser.cpp) --------------------------
    void OpenBookButtonClick(); // F5: the open dialog
    // At start: the partitions list with the current book's drive selected.
    void LoadBrowserOnStart();

    // ---- Editing, saving and printing (LecternFormSave.cpp) ------------
    void SaveBookButtonClick(); // Alt+S
    // Saves the book as RTF or plain text under a name the reader chooses;
    // true when it was written.
    bool SaveFile();
    // The printer a book goes to: the default printer, else the one the
    // reader chooses in the print dialog; null when there is none or the
    // dialog was cancelled (replaceable for tests).
    std::function<std::unique_ptr<QPrinter>()> PrinterForBook;

    // ---- Reading aloud (LecternFormSpeech.cpp) --------------------------
    void ReadAloudButtonClick(); // F9: reads from the first line shown, or stops
    void StopReading();
    bool IsReadingAloud() const;
    // Makes the speech engine of a name (empty: the everyday one);
    // replaceable for tests.
    std::function<std::unique_ptr<TSpeechEngine>(const QString &name)> SpeechEngineFactory;
    // How long the page takes to slide after the voice, in milliseconds;
    // 0 jumps.
    void SetReadingSlideMs(int ms);

    // ---- Format options (LecternFormFormat.cpp) ------------------------
    // Each re-formats the rich-box at once; all but the font size and the
    // zoom keep the reading position.
    void LeftMarginComboBoxChange();
    void RightMarginComboBoxChange();
    void FontNameComboBoxChange();
    void FontSizeComboBoxChange();
    void FontZoomComboBoxChange(); // also after every plain-text load
    void CharSpacingComboBoxChange();
    void BoldFontCheckBoxClick();
    void JustifiedTextCheckBoxClick();
    void LineSpacingComboBoxChange();
    void FirstLineIndentComboBoxChange();
    void SpaceAfterComboBoxChange();
    // The paragraph format of the current options on every paragraph.
    void SetAllParaFormatRichEdit();
    void ForceRichEdit3CheckBoxClick();

    // ---- Navigation (LecternFormNavigation.cpp) ------------------------
    void GotoLineEditKeyDown(int key);
    void FindTextEditKeyDown(int key);
    bool ShowChaptersMenu();
    // Keys that reach the rich-box after the window's shortcuts; true
    // swallows the key.
    bool RichEditKeyDown(QKeyEvent *event);
    void RichEditMouseWheelDown();
    void RichEditMouseWheelUp();
    // Lines per wheel step ("Wheel scroll lines"; 0 when not a number).
    int WheelScrollLines() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Connects the book controls and installs the RTF reader and writer.
    void SetUpBookLoading();
    // The encoding option (LecternFormEnhance.cpp): the encoding a new book
    // is read in (undecided for "Automatic"), and a change that reopens the
    // open book in it at the same place.
    void SetUpEnhanceOptions();
    TBookEncoding ChosenEncoding() const;
    void EncodingComboBoxChange();
    void SetUpLinks();
    // A left press on a link of an RTF document: its bookmark, or its target
    // opened like a web address.
    void RichEditAnchorClick(const QString &href);
    // Steps of a load that other features fill in; they do nothing yet.
    void RefreshRichBackground(); // background images
    void StartBackSound(); // background sound of the new book
    bool AcceptBookForOpening(TBookOpenCheck &check, const QString &path, bool inPieces, int pieceSize);
    bool ShowCheckedBook(const TBookOpenCheck &check, bool newBook, int piece, bool profileChosen, int position);
    // What a load reads and where it shows it.
    struct TBookRead {
        bool Rtf = false;
        bool NewBook = false;
        int Piece = 1;
        int Place = 0; // -1: the end
        int ShownReach = -1; // the first screen is shown once the text reaches it
    };
    bool PrepareBookRead(int piece, bool profileChosen, int position, TBookRead &read);
    bool ReadCheckedBook(const TBookRead &read, bool prepared);
    TBookRead PendingRead; // of the lines being read on their thread
    bool ReadingLines = false;
    void ReadPlainBook(int piece, int shownReach);
    void ReadRtfBook();
    void FinishLoad(int position);
    void ShowFirstScreen(int position);
    void FinishLoadControls();
    void LoadStep();
    void ContinueLoad(bool oneStep);
    void EndLoadInSteps(const TFunStatContext &run);
    // The loads of OpenBook show their first screen before the rest is read.
    bool FirstScreenFirst = false;
    std::unique_ptr<QTimer> LoadStepTimer;
    int LoadStepChars = 20000; // read per step, fitted to the step's time
    bool LoadStartsSound = false; // the load in steps is a new book's
    bool ShelfAfterLoad = false; // its place goes to the shelf at its end
    std::unique_ptr<TOpenBook> Book; // the open book: its pieces and its scan
    // The hyphenation patterns read so far, kept for the next book.
    std::unique_ptr<THyphenators> Hyphenators;
    // The reader chose to hyphenate otherwise or to show the book's emphasis
    // otherwise: the open book reads again at the same place.
    void ReadingChoiceChange();
    // Patterns read on their own thread are there: a book shown without
    // them, untouched since, reads again with them at the same place.
    void HyphenationReady(const QString &localeName);
    TLoadTiming LoadTiming;
    bool Loading = false;

    // ---- The book in pieces read as one book (LecternFormBook.cpp) ------
    // The scan starts once the first screen is up, and its end brings the
    // chapters of the whole book and its line numbers.
    void StartBookScan();
    void BookScanFinished();
    // The book line (from 0) at the top of the view, -1 without the scan.
    int TopBookLine() const;
    // Shows a book line of any piece at the top; false without the scan.
    bool GoToBookLine(int line);
    // At the end or the top of a piece, the reading goes on into the next
    // or the previous one; false when it stays.
    bool ReadOnIntoNextPiece();
    bool ReadBackIntoPreviousPiece();
    bool AtEndOfPiece() const;
    bool AtTopOfPiece() const;
    std::unique_ptr<TChaptersPopupMenu> BookChapters; // of the whole book, after its scan
    void PieceSizeComboBoxChange();

    // ---- Find (LecternFormFind.cpp) -------------------------------------
    // The next match of the find box's text from the current place, on
    // into the other pieces and round from the book's start; the hint line
    // says when it went round and when there is none.
    bool FindInBook(const QString &text);
    // A match in the rich-box: selected, with lines around it in view.
    void ShowMatch(int start, int length);
    // The first match in the text of a piece (0: the one shown) from
    // `from`; -1 when none.
    int FindInPieceShown(const QString &text, int from, int to, int *length);
    bool PieceHasText(int piece, const QString &text);
    // The pieces are shown without the markers of the book's emphasis.
    bool ShownEmphasis() const;
    // Shift+Enter in the find box: every match of the book in a menu.
    void ShowMatchesMenu();
    void GoToMatch(int piece, int occurrence);
    bool CloseAfterLoad = false; // a close asked for during a load

    void CreateLabels();
    void CreateSidebar();
    void SetHints();
    // The hint of a widget of this window, or of its nearest parent that
    // has one.
    QString HintOf(QWidget *widget) const;
    bool IsOwnWidget(QObject *object) const;
    // Input by which the reader acts on the book (not a mere look or move).
    static bool IsReaderAction(QEvent::Type type);
    void SetApplicationHint(const QString &hint);
    // Whether the program may move the pointer (not under Wayland). Without
    // it, a sidebar the keyboard opened is held open (see ShowSidebar).
    static bool PointerCanBeMoved();
    bool SidebarHeldByKeyboard = false;
    bool PointerWasInSidebar = false;
    // A message in the hint line ("Not found: ...") that the hints of the
    // controls under the pointer leave alone for a few seconds.
    void ShowHintMessage(const QString &text);
    static constexpr int HintMessageMs = 4000;
    QElapsedTimer HintMessageShown;
    QString ApplicationHint; // the hint of the control under the pointer
    bool Minimized = false;
    // Format options and navigation: connections and rich-box hooks.
    void SetUpFormatting();
    void SetUpNavigation();
    // Runs a change of the rich-box and shows the text that was at the top
    // before it again.
    void KeepReadingPosition(const std::function<void()> &change);
    std::unique_ptr<TRichBoxView> RichBoxView; // the engine's view of the rich-box

    // The file browser: its history, its state and its group on the "Open"
    // page (LecternFormBrowser.cpp).
    void SetUpBrowser();
    // A book opened while the browser shows no directory lists the book's.
    void LoadBrowserAtBook();
    std::unique_ptr<THistoryDialog> BrowserHistory;
    std::unique_ptr<TFileBrowser> Browser;
    TBrowserGroupBox *BrowserGroupBox = nullptr;
    int WheelRemainder = 0; // wheel rotation not yet turned into steps

    // Editing, saving and printing (LecternFormSave.cpp).
    void SetUpEditing();
    void AllowEditingCheckBoxClick();
    // Switches editing on or off, with the check box to match.
    void SetEditing(bool on);
    // Whether the book can be saved or printed: some text, in one piece.
    // Tells the reader why not.
    bool CanProcessBook();
    void RunBookButtonClick();
    void PrintBookButtonClick();
    // The print margins in millimetres.
    QMarginsF PrintMargins() const;
    QCheckBox *AllowEditingCheckBox = nullptr;
    QPushButton *SaveBookButton = nullptr;
    QPushButton *RunBookButton = nullptr;
    QPushButton *PrintBookButton = nullptr;

    // ---- Program settings (LecternFormSettings.cpp) -------------------
    void SetUpSettings();
    // The list handlers of Lectern.ini.
    void SettingsListLoad(TStoredTextList &list);
    void SettingsListSave(TStoredTextList &list);
    // The program options: the controls as a record, and a record shown in
    // the controls. Values without a control stay in ProgramSettings.
    TProgramSettings ReadProgramSettingsControls() const;
    void ApplyProgramSettings(const TProgramSettings &settings);
    // Writes Lectern.ini now (and the profile with "Auto save profile").
    bool SaveSettings();
    std::unique_ptr<TStoredTextList> SettingsList;
    TProgramSettings ProgramSettings;
    QString SettingsDirectory; // empty until StartUp
    TStepTimes *StepTimes = nullptr;
    bool StartBookLoaded = false;
    // The start's book (LoadOnStart), once: at show or at the first activation.
    void LoadStartBook();
    void MarkStep(const QString &key);

    // ---- Profiles (LecternFormProfile.cpp) ------------------------------
    void SetUpProfiles();
    // Chooses and loads the profile of the book being opened; with
    // profileChosen the profile the reader has just named.
    void LoadProfileForBook(bool profileChosen);
    void ProfileListLoad(TStoredTextList &list);
    void ProfileListSave(TStoredTextList &list);
    // The profile shown in the controls, and the controls read back into
    // the record (fields without a control keep their value).
    void ApplyProfile(const TProfile &profile);
    void ReadProfileControls(TProfile &profile) const;
    QString DefaultProfilePath() const;
    TProfilePlaces ProfilePlaces() const;
    bool SaveProfile(); // the current profile, without a question ("Auto save profile")
    bool SavingProfileByItself = false;
    // The Work group's buttons: the left button with the modifiers held.
    void LoadProfileButtonMouseDown(TShiftState shift);
    void SaveProfileButtonMouseDown(TShiftState shift);
    void DeleteProfileButtonMouseDown(TShiftState shift);
    // The file the Load and Delete dialogs propose for the modifiers, or
    // empty for a combination that does nothing.
    QString ProposedProfile(TShiftState shift) const;
    std::unique_ptr<TStoredTextList> ProfileList;
    TProfile Profile;
    TProfileWorkGroupBox *ProfileWorkGroupBox = nullptr;

    // ---- Bookshelf and bookmarks (LecternFormBookshelf.cpp) ---------------
    void SetUpBookshelf();
    // The auto-bookmark's piece and position of a book; false when it has none.
    bool GetAutoBookmark(const QString &path, int &piece, int &position);
    // Remembers the open book's place on the shelf (with "Auto bookmark").
    void UpdateAutoBookmark();
    void RefreshBookshelfCaptions(); // "&Open (n)" and the bookmark buttons' "*"
    void BookshelfSelect(const QString &book, int mode);
    void ShowBookshelfMenu(QPushButton *button, int mode);
    // Where a menu of a sidebar button opens (global): beside the button,
    // at its top right corner, or at the page's top left corner when the
    // sidebar is hidden (a shortcut opened it).
    QPoint MenuPlace(const QWidget *button) const;
    void RemoveBookshelfButtonClick();
    void BookmarkButtonClick(int k, TShiftState shift); // left button
    void BookmarkButtonRightPress(int k, TShiftState shift);
    void SetBookmarkOfOpenBook(int k);
    std::unique_ptr<TBookshelf> Bookshelf;
    // The place the open book was shown at by its load, and whether the
    // reader has pressed a key or a button or turned the wheel since.
    struct TOpenedPlace {
        int Piece = 1;
        int Position = -1; // -1: no place of its own (shown at its end)
    };
    TOpenedPlace OpenedPlace;
    bool ReaderActed = false;
    TBookshelfGroupBox *BookshelfGroupBox = nullptr;
    TBookmarkButtons *BookmarkButtons = nullptr;

    // Reading aloud (LecternFormSpeech.cpp).
    void SetUpSpeech();
    // The engine the Voice options name, made when it changes.
    TSpeechEngine *SpeechEngineForOptions();
    QLocale::Language BookLanguage() const; // guessed from the text shown
    // The reading reached the end of a piece: the next one, if any, loaded.
    bool ReadNextPiece();
    std::unique_ptr<TSpeechEngine> SpeechEngine;
    std::unique_ptr<TSpeechReader> SpeechReader; // after the engine: it stops it when it goes
    std::unique_ptr<TSpokenSentenceView> SpeechView;
    TVoiceGroupBox *VoiceGroupBox = nullptr;
    bool SpeechLoadingPiece = false; // the reading, not the reader, loads a piece

    // Measure converter and dictionary (LecternFormTools.cpp).
    void SetUpTools();
    // A pointer move over the rich-box: a number under it becomes the
    // converter's value.
    void RichEditMouseMove(int x, int y);
    // A press on the rich-box: a double click looks the word up in the
    // dictionary, a right click opens the converter while the sidebar is
    // hidden.
    void RichEditMouseDown(Qt::MouseButton button, TShiftState shift, int x, int y);
    // The number under a character of the rich-box into the converter and
    // its digest into the hint label; false without a number.
    bool ShowConvertMeasure(int index);
    // Opens the sidebar on the "Convert" page.
    void OpenConverterPage();
    // The units selected in the converter's lists, into the settings and
    // back (a name that is no unit of its list selects the list's default).
    void ReadConverterUnits(TProgramSettings &settings) const;
    void ApplyConverterUnits(const TProgramSettings &settings);

    // ---- Background images (LecternFormAppearance.cpp) ----------------
    void SetUpAppearance();
    // Both picture titles through `convert` (full paths while a profile
    // moves, titles again after).
    void ConvertBackImageTitles(const std::function<QString(const QString &title)> &convert);
    // Rebuild the screen and centre images, or the rich-box picture, from
    // the options; nothing while a profile is being loaded, and nothing
    // when the picture, the size and the options are those of the images.
    void IniScreenBackImage();
    void IniRichBackImage();
    void SetScreenBackImageFile(const QString &path);
    void SetRichBackImageFile(const QString &path);
    // Both repaint, and first give the links of the text a colour that
    // reads on the rich-box's background as it is now.
    void RefreshScreen();
    void RefreshRichBox();
    void ApplyLinkColor();
    void PaintRichBoxBackground(QPainter &painter, const QRect &client);
    QRect RichBoxFrameRect() const;
    void DrawRichBoxFrame(QPainter &painter);
    void UseScreenBackImageCheckBoxClick();
    void ScreenBackImageComboBoxChange();
    void UseRichBackImageCheckBoxClick();
    void RichBackImageComboBoxChange();
    void TransparentRichBackCheckBoxClick();
    void ShowFrameCheckBoxClick();
    void ChangeScreenBackImageButtonMouseDown(TShiftState shift);
    void ChangeRichBackImageButtonMouseDown(TShiftState shift);
    // The file a "Load" button's dialog starts with.
    QString BackImageDialogStart(const QString &title, TShiftState shift) const;
    void RunScreenBackImageButtonClick();
    void RunRichBackImageButtonClick();
    std::unique_ptr<TBackImages> BackImages;
    TScreenBackImageGroupBox *ScreenBackImageGroupBox = nullptr;
    TRichBackImageGroupBox *RichBackImageGroupBox = nullptr;

    // ---- Colours (LecternFormColors.cpp) -------------------------------
    void SetUpColors();
    // The screen back colour on the window and the side panels; the screen
    // fore colour on the window's and the clock's text; each with the
    // browser's and the converter's lists. The rich-box fore colour on the
    // rich-box.
    void ApplyScreenBackColor();
    void ApplyScreenForeColor();
    // The browser's list and the converter's lists and memo: screen back
    // and fore, the browser's focus and directory colours.
    void ApplyListColors();
    void ApplyRichBoxColors();
    // All of them after a profile has set the panels.
    void ApplyProfileColors();
    void ColorPanelMouseUp(TColorRole role, Qt::MouseButton button);
    void SetColorSchemeButtonClick(TColorSchemeKind kind);
    void ApplyAllColors();
    // Keeps the colours readable on the pictures (ReadableAdjustment): the
    // screen picture's fade and gamma so that the screen fore colour reads
    // on it under the labels; the "Fade center" of a transparent rich-box
    // (else no transparency) and the rich-box picture's fade and gamma
    // (else no rich-box picture) so that the rich-box fore colour reads on
    // them. Rebuilds the images.
    void FitPicturesToColors();
    // The labels over the screen in the screen fore colour; over a picture,
    // that colour made legible on the picture under each label and set off
    // by a soft outline.
    void ApplyLabelColors();
    QList<QRect> LabelAreas() const;
    static constexpr int LabelOutlineBlur = 6; // pixels
    // The rich-box fore colour on all text (with `recolour`) and the quotes
    // in the emphasis colours, keeping the reading position and whether the
    // book was edited.
    void RecolourRichBoxText(bool recolour);
    // "Load" of the "Dictionary" group: chooses the dictionary program.
    void ChangeDictionaryButtonClick();
    std::unique_ptr<TDictionaryLookUp> DictionaryLookUp;

    // Background sounds (LecternFormSounds.cpp).
    void SetUpBackSounds();
    // Sounds of a profile are named by titles: relative to the profile's
    // directory or to the program's "BackSounds/", else full paths.
    QString SoundDirectory() const;
    QString SoundTitleToPath(const QString &title) const;
    QString SoundPathToTitle(const QString &path) const;
    // Sound 0 and the flags of the profile's sounds into the group.
    void ShowBackSounds();
    // Sound 0 becomes the file (or title) and the sounds start over with it.
    void ChangeBackSoundTitle(const QString &text);
    // Silence and the volume found at start, when the window goes.
    void FinishBackSounds();
    void UseBackSoundCheckBoxClick();
    void TitleBackSoundEditExit();
    void VolumeBackSoundComboBoxChange();
    void DurationBackSoundComboBoxChange();
    void ProbabilityBackSoundComboBoxChange();
    void ChangeBackSoundButtonMouseDown(TShiftState shift);
    void RunBackSoundButtonClick();
    std::unique_ptr<TSoundPlayer> SoundPlayer;
    std::unique_ptr<TBackSounds> BackSounds; // plays through SoundPlayer
    TBackSoundGroupBox *BackSoundGroupBox = nullptr;
};

extern TLecternForm *LecternForm;
