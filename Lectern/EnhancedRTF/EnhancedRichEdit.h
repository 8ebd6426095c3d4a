// The enhancement engine: turns the lines of a plain-text book into
// formatted paragraphs of the rich-box, rejoining wrapped lines and
// hyphenated words, finding chapter headings for the chapters menu, obeying
// the manual formatting commands (lines beginning with "^") and colouring
// quoted speech. Widget-free: the rich-box is a TRichDocument, the chapters
// menu and the view are interfaces the window layer implements.
#pragma once

#include "ChapterCollector.h"
#include "FunStatContext.h"
#include "ChaptersMenu.h"
#include "HyphenWords.h"
#include "ParagraphSink.h"
#include "RichDocument.h"
#include "WrapLayout.h"

#include <QChar>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// The attribute stacks, in their fixed order.
enum TAttribute : int {
    atUnderline,
    atItalic,
    atBold,
    atFontName,
    atSize, // points
    atCharSpacing, // 5.76 twips per unit
    atBackColor, // ColorNone: no back colour
    atForeColor,
    atEmphasisColor, // text in double quotes
    atSecondEmphasisColor, // text in single quotes
    atAlignment, // 0 left, 1 right, 2 centre, 3 justified
    atLeftIndent, // 57.6 twips per unit
    atRightIndent,
    atFirstLineIndent,
    atSpaceAfter,
    atLineSpacing, // percent of single spacing
    AttributeCount
};

constexpr int StackLevels = 100;

// What EmphasizeText needs of the widget that shows the document (the
// engine itself knows no widgets). Optional.
class TRichBoxView {
public:
    virtual ~TRichBoxView() = default;
    virtual int FirstVisibleCharIndex() const = 0;
    virtual bool IsVisible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void GoToPosition(int position) = 0;
};

// What the engine may do beyond its classic rules; all off (the default)
// gives exactly the classic rules.
struct TEnhanceChoices {
    // Decide from the lines whether the text is poorly written, instead of
    // taking the caller's flag.
    bool DetectTextLayout = false;
    // Keep a line-end hyphen when the book writes the word with it elsewhere
    // and never without it.
    bool CheckHyphens = false;
    // Chapter headings as books write them; the menu leaves out tables of
    // contents and lists every chapter, in submenus when there are many.
    bool SmartChapters = false;
    // _text_ in italics and *text* in bold, without the markers (which then
    // take no positions).
    bool MarkupEmphasis = false;
    // With DetectTextLayout: never read a stretch by its wrap width or as
    // verse line by line, only by the rule set decided (for measurements).
    bool NoWrapReading = false;
};

class TEnhancedRichEdit {
public:
    TEnhancedRichEdit();
    ~TEnhancedRichEdit();
    TEnhancedRichEdit(const TEnhancedRichEdit &) = delete;
    TEnhancedRichEdit &operator=(const TEnhancedRichEdit &) = delete;

    // --- State, in the order the engine keeps it ---
    bool RichEdit3 = true; // the extended format records are available
    bool CommandsUsed = false; // a formatting command line was met
    bool Cancelled = false; // last answer of the progress callback
    int ChapterCount = 0; // chapters entered in the menu this run
    int Position = 0; // rich-box position of the next paragraph
    QString ParagraphPrefix; // prefix in use this run
    bool PoorlyWritten = false;
    bool IgnoreEmptyLines = false;
    bool Heading = false; // the paragraph being emitted is a heading
    QChar CommandMode; // of the last command line (null: none)
    QString CommandName;
    QString CommandValue;
    TRichDocument *RichBox = nullptr; // not owned
    QObject *MenuOwner = nullptr;
    int MaxChapters = 30;
    int HelpContext = 0;
    std::function<void(int position)> ItemClick;
    // Called after every emitted non-empty paragraph with its start; true stops the run.
    std::function<bool(int position)> Progress;
    bool ForceRichEdit3 = false;
    // Creates the chapters menu of each run (default: the in-memory menu).
    TChaptersMenuFactory MenuFactory;
    TRichBoxView *View = nullptr; // optional, not owned
    TEnhanceChoices Choices;
    // Of the last run: the rule set was decided from the lines (PoorlyWritten
    // then holds the decision), and the line-end hyphens dropped and kept.
    bool LayoutDetected = false;
    // Of the last run with DetectTextLayout: the width most of the lines
    // read by their wrap width were wrapped at (0: none were).
    int WrapWidth = 0;
    int HyphensDropped = 0;
    int HyphensKept = 0;
    // What the whole book decided, for a run over one piece of it: the
    // layout (with DetectTextLayout) and the hyphenated words (with
    // CheckHyphens) are taken from here instead of from the run's own lines.
    // Not owned; they must outlive the run.
    const bool *SharedPoorlyWritten = nullptr;
    const THyphenWords *SharedHyphenWords = nullptr;
    // With RecordLinePositions, LinePositions gets one entry per line of the
    // run: the rich-box position where the line's text begins (inside its
    // paragraph for a joined line); a line without text of its own (a
    // command, a line left out) takes the position of what follows it.
    bool RecordLinePositions = false;
    std::vector<int> LinePositions;
    // A run over one piece of a longer text read piece by piece: with
    // SmartChapters its headings go to this collector, shared by the runs of
    // all pieces, their positions counted on from SharedChaptersBase; the
    // run makes no menu of its own then.
    TChapterCollector *SharedChapters = nullptr;
    int SharedChaptersBase = 0;

    // The chapters menu of the last run; null when it found no chapter.
    TChaptersMenu *ChaptersMenu() const { return Menu.get(); }
    int ChapterItemCount() const { return Menu ? Menu->Count() : 0; }
    void DestroyChaptersMenu();

    // --- Base format ---
    void SetBaseFormat(bool underline, bool italic, int lineSpacing, int spaceAfter, int firstLineIndent, int alignment,
                       TColor secondEmphasisColor, TColor emphasisColor, TColor foreColor, int charSpacing, int size,
                       const QString &fontName, bool bold);
    // Send the current attributes as the rich-box's format: to the whole
    // text (and the default for text added later; the mask is then the full
    // one) or to the selection. A zero mask sends nothing.
    void ApplyCharFormat(bool wholeText, uint32_t mask);
    void ApplyParaFormat(bool wholeText, uint32_t mask);
    // The records ApplyCharFormat/ApplyParaFormat send (Mask 0: nothing).
    TCharFormat MakeCharFormat(bool wholeText, uint32_t mask) const;
    TParaFormat MakeParaFormat(bool wholeText, uint32_t mask) const;
    bool ExtendedRecords() const { return RichEdit3 || ForceRichEdit3; }

    // --- Enhancement ---
    // Builds the rich-box from the lines (one per line of the book, without
    // line ends). Failures are left in FunStatContext.
    void EnhanceText(const QStringList &lines, const QString &prefixOption, bool ignoreEmptyLines, bool poorlyWritten);
    // The same run into any sink (tests, measurements).
    void EnhanceText(const QStringList &lines, const QString &prefixOption, bool ignoreEmptyLines, bool poorlyWritten,
                     TParagraphSink &sink);
    // The same run into the rich-box by steps, so that the first paragraphs
    // can be shown before the rest is read: BeginEnhance prepares the run
    // (the lines must stay as they are until EndEnhance); EnhanceSome walks
    // on until the lines are done or `enough` (asked between paragraphs)
    // says so, and is true when the walk is over; ShowSoFar puts the
    // paragraphs emitted so far on show; EndEnhance ends the run as
    // EnhanceText does. Failures are left in FunStatContext.
    void BeginEnhance(const QStringList &lines, const QString &prefixOption, bool ignoreEmptyLines,
                      bool poorlyWritten);
    bool EnhanceSome(const std::function<bool()> &enough);
    void ShowSoFar();
    void EndEnhance();
    bool IsEnhancing() const { return ActiveSink != nullptr; }
    // The lines before this one are done with (between steps of a run).
    int LinesWalked() const { return WalkAt; }
    // Colours quoted speech over the whole rich-box.
    void EmphasizeText(TColor emphasisColor, TColor secondEmphasisColor);

    // --- Attribute stacks ---
    int Level(TAttribute attribute) const { return Levels[attribute]; }
    int32_t Current(TAttribute attribute) const { return Values[attribute][Levels[attribute]]; }
    int32_t Base(TAttribute attribute) const { return Values[attribute][0]; }
    QChar Mode(TAttribute attribute, int level) const { return QChar(Modes[attribute][level]); }
    QString CurrentFontName() const { return FontNames[Levels[atFontName]]; }
    QString BaseFontName() const { return FontNames[0]; }

    // --- The rules of the line walk (public for tests) ---
    static QString TranslatePrefix(const QString &prefixOption);
    // True when a line-end hyphen was dropped.
    static bool JoinLine(QString &paragraph, QStringView line);
    static bool IsIndentedLine(QStringView rawLine);
    static bool IsChapterHeading(QStringView text);
    static bool IsSeparatorLine(QStringView text);
    // Decides whether `next` continues `paragraph`; sets the skip flag.
    bool ContinuesParagraph(QStringView paragraph, QStringView next, bool indented);
    bool SkipFlag() const { return Skip; }

    // Runs one command line (the trimmed paragraph beginning with "^").
    void ExecuteCommandLine(const QString &line);

private:
    int Levels[AttributeCount];
    char Modes[AttributeCount][StackLevels];
    int32_t Values[AttributeCount][StackLevels]; // atFontName: unused
    QString FontNames[StackLevels];
    std::unique_ptr<TChaptersMenu> Menu;
    TParagraphSink *ActiveSink = nullptr; // during a run
    bool Skip = false;
    TWrapLayout Wrap; // DetectTextLayout
    TQuoteTally Quotes; // of the paragraph being built, when Wrap reads widths
    const QStringList *WalkedLines = nullptr; // during the line walk
    int WalkAt = 0; // the next line of the walk
    QString WalkParagraph; // the paragraph the walk is building
    std::unique_ptr<TParagraphSink> OwnSink; // of a run by steps
    TFunStatContext RunStatus; // the failure that broke the run
    int BoundaryLine = -1; // the last line of the paragraph ContinuesParagraph looks at
    bool Quote(char16_t c) const;
    bool SentenceEnd(char16_t c) const;
    bool WrapEndsParagraph(QStringView paragraph, char16_t start, bool indented) const;
    THyphenWords HyphenWords; // CheckHyphens
    TChapterCollector Chapters; // SmartChapters
    // Reused buffers of the run.
    QString OutText;
    QVector<TFormatRun> RunBuffer;
    TCharFormat CharRecord;
    TParaFormat ParaRecord;

    void StartRun(const QStringList &lines, const QString &prefixOption, bool ignoreEmptyLines, bool poorlyWritten,
                  TParagraphSink &sink);
    bool WalkLines(const std::function<bool()> &enough);
    void Join(QString &paragraph, QStringView line);
    // The lines of the paragraph being built, with where each begins in it.
    void NoteLine(int line, const QString &paragraph);
    void PlaceNotedLines(int start, int prefixLength, int length);
    std::vector<std::pair<int, int>> NotedLines;
    QVector<int> MarkersTaken; // indexes in the paragraph's text of the emphasis markers taken out
    bool IsHeadingText(QStringView text) const;
    void FillSmartChaptersMenu();
    void EmitParagraph(const QString &paragraph);
    void TakeEmphasisMarkup();
    void AddQuoteRuns(QStringView text);
    void ExecuteCommand(const QString &name, const QString &value, QChar mode);
    bool ExecuteSetCommand(const QString &upperName, const QString &value, char mode);
    bool ExecuteBaseOrUndoCommand(const QString &upperName, char mode);
    void EndOneParagraphLevels();
    void Push(TAttribute attribute, int32_t value, char mode);
    void PushFontName(const QString &name, char mode);
    void PushBase(TAttribute attribute, char mode);
    void Drop(TAttribute attribute);
    void CurrentBecomesBase();
};

// The paragraphs a plain text of hard-wrapped lines is read as, by the
// classic rules for a well written text (empty lines kept, no prefix), each
// without its line end: for texts of the program itself, such as its readme.
QStringList RebuildParagraphs(const QStringList &lines);
