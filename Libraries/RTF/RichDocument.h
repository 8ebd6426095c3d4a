// The rich-box's document: a QTextDocument seen the way the reader's code
// sees a rich-edit control. Positions count a paragraph break as two
// characters (CR LF); formats are the rich-edit records in twips; colours
// are 0x00BBGGRR values. Lives in Qt Gui only, so the enhancement engine,
// the RTF codec and the tests use it without widgets.
#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QVector>

#include <cstdint>
#include <functional>

#include "SoftHyphens.h"

class QTextDocument;

using TColor = uint32_t; // 0x00BBGGRR
constexpr TColor ColorNone = 0x1FFFFFFF; // "no back colour"
constexpr TColor ColorDefault = 0x20000000; // the control's default colour

QColor ToQColor(TColor color);
TColor FromQColor(const QColor &color);

// Character format mask bits and effects (the rich-edit values).
constexpr uint32_t CFM_BOLD = 0x00000001;
constexpr uint32_t CFM_ITALIC = 0x00000002;
constexpr uint32_t CFM_UNDERLINE = 0x00000004;
constexpr uint32_t CFM_STRIKEOUT = 0x00000008;
constexpr uint32_t CFM_SPACING = 0x00200000;
constexpr uint32_t CFM_BACKCOLOR = 0x04000000;
constexpr uint32_t CFM_FACE = 0x20000000;
constexpr uint32_t CFM_COLOR = 0x40000000;
constexpr uint32_t CFM_SIZE = 0x80000000;
constexpr uint32_t CFM_ALL_TEXT = 0xE0200007; // size, colour, face, spacing, bold, italic, underline
constexpr uint32_t CFE_BOLD = 0x1;
constexpr uint32_t CFE_ITALIC = 0x2;
constexpr uint32_t CFE_UNDERLINE = 0x4;
constexpr uint32_t CFE_STRIKEOUT = 0x8;

struct TCharFormat {
    uint32_t Mask = 0; // which members below apply
    uint32_t Effects = 0; // CFE_* bits
    QString FaceName; // at most 31 characters reach the document
    int HeightTwips = 0; // points x 20
    int SpacingTwips = 0; // extra space between characters
    TColor TextColor = 0;
    TColor BackColor = ColorNone;
};

// Paragraph format mask bits and alignments (the rich-edit values).
constexpr uint32_t PFM_STARTINDENT = 0x001;
constexpr uint32_t PFM_RIGHTINDENT = 0x002;
constexpr uint32_t PFM_OFFSET = 0x004;
constexpr uint32_t PFM_ALIGNMENT = 0x008;
constexpr uint32_t PFM_TABSTOPS = 0x010;
constexpr uint32_t PFM_SPACEBEFORE = 0x040;
constexpr uint32_t PFM_SPACEAFTER = 0x080;
constexpr uint32_t PFM_LINESPACING = 0x100;
constexpr int PFA_LEFT = 1;
constexpr int PFA_RIGHT = 2;
constexpr int PFA_CENTER = 3;
constexpr int PFA_JUSTIFY = 4;

struct TParaFormat {
    uint32_t Mask = 0;
    int Alignment = PFA_LEFT;
    // The first line starts at StartIndent, the following lines at
    // StartIndent + Offset (twips).
    int StartIndent = 0;
    int RightIndent = 0;
    int Offset = 0;
    int SpaceBefore = 0;
    int SpaceAfter = 0;
    int LineSpacing = 0; // with rule 5: twentieths of a line (24 = 1.2 lines)
    int LineSpacingRule = 0; // 0 single, 5 twentieths of a line
    QVector<int> TabStops; // twips
};

// Conversions between the records and Qt formats. Lengths: 15 twips per
// pixel at 100 % zoom (96 pixels per inch). The exact twips are kept as
// user properties so reading a format back gives what was set.
QTextCharFormat ToQtCharFormat(const TCharFormat &format); // only the masked members are set
TCharFormat FromQtCharFormat(const QTextCharFormat &format); // all members, Mask = everything known
QTextBlockFormat ToQtBlockFormat(const TParaFormat &format); // only the masked members are set
TParaFormat FromQtBlockFormat(const QTextBlockFormat &format);
void MergeQtBlockFormat(QTextBlockFormat &target, const TParaFormat &format);
double TwipsToPixels(int twips);
int PixelsToTwips(double pixels);

// User properties of the document's formats that hold what an RTF document
// brought and the rich-box keeps without showing it as such.
enum TRichProperty : int {
    // On a picture's image format: the control words of a picture that is
    // shown as a placeholder (a metafile), and its data, written back as
    // they came (QByteArray each).
    PropKeptPictureControls = QTextFormat::UserProperty + 100,
    PropKeptPictureData,
    // On a character: the bookmarks that start ("+name") or end ("-name")
    // just before it, in order (QStringList).
    PropBookmarks,
    // On a paragraph: the same at its end, before its paragraph mark.
    PropBookmarksAtEnd,
};

// A run of one paragraph of AppendParagraph: characters [Start, Start+Length)
// of the paragraph's text get Format merged over the paragraph's format.
struct TFormatRun {
    int Start = 0;
    int Length = 0;
    TCharFormat Format;
};

class TRichDocument;

// A change of the program's made of many steps: one edit block, so the
// layout follows once at its end, and the modified flag as it was before,
// since only the reader's edits count as modifications.
class TProgramEdit {
public:
    explicit TProgramEdit(TRichDocument &document);
    ~TProgramEdit();
    TProgramEdit(const TProgramEdit &) = delete;
    TProgramEdit &operator=(const TProgramEdit &) = delete;

private:
    QTextCursor Cursor;
    bool WasModified;
};

class TRichDocument : public QObject {
    Q_OBJECT
public:
    explicit TRichDocument(QObject *parent = nullptr);
    ~TRichDocument() override;

    // The Qt document shown by the rich-box. Replaced (and the old one
    // deleted) by EndBulk; listen to DocumentReplaced.
    QTextDocument *Document() const;

    // --- Text (positions count CR LF per paragraph break) ---
    int GetTextLength() const;
    QString GetText() const; // paragraphs separated by CR LF
    QString GetTextRange(int start, int end) const; // [start, end)
    int ParagraphCount() const;
    void Clear();
    void SetPlainText(const QString &text); // lines split at CR LF, CR or LF
    void AppendText(const QString &text); // appends one paragraph (plain, current defaults)
    // Plain text with each paragraph ended by CR LF (what "save as text"
    // writes); line breaks inside a paragraph become CR LF as well.
    QString ToPlainTextCrLf() const;

    // The modified flag: set by the user's edits (the widget marks them),
    // cleared by the program.
    bool IsModified() const;
    void SetModified(bool modified);

    // The end marker: a last paragraph the program adds after the book's
    // text. It is shown, but it is not the book's: it is not saved and the
    // reader's edits cannot reach it. Cleared with the text.
    void SetEndMarker(bool present);
    bool HasEndMarker() const;
    // The end of the book's own text: before the marker and the empty
    // paragraphs before it; the text length when there is no marker.
    int BookTextEnd() const;
    // The furthest position the reader's edits reach: the end of the
    // paragraph before the marker; the text length when there is none.
    int EditableEnd() const;

    // Largest text length the user may type; <= 0 lifts it (0x7FFFFFFF).
    void SetTextLimit(int limit);
    int TextLimit() const;

    // --- Positions ---
    // The soft hyphens the document adds for hyphenation are no part of the
    // text: positions, the text, search and saving pass over them.
    int ToQtPosition(int position) const; // O(log n) searches
    int FromQtPosition(int qtPosition) const; // O(log n)
    int ParagraphStart(int paragraph) const; // position of a paragraph's first character

    // --- Hyphenation ---
    // Where hyphens may go in a paragraph's text (sorted positions before
    // which one may go); paragraphs appended from now on get a soft hyphen
    // at each. Empty: none.
    using THyphenBreaks = std::function<void(QStringView text, QVector<int> &breaks)>;
    void SetHyphenation(THyphenBreaks breaks);
    bool HasSoftHyphens() const;
    const TSoftHyphens &SoftHyphens() const;
    // A text of the document that begins at a Qt position, without the soft
    // hyphens the document added.
    QString BookText(const QString &qtText, int qtStart) const;
    // Takes the added soft hyphens in [qtFrom, qtTo) out of the document
    // (line breaking no longer uses them); false when there were none.
    bool DropSoftHyphens(int qtFrom, int qtTo);
    // Takes out the added soft hyphens at the given Qt positions (sorted);
    // the others, and positions without one, are left. False when none went.
    bool DropSoftHyphensAt(const std::vector<int> &qtPositions);
    // In one edit: the spaces held as no-break spaces in [qtFrom, qtTo),
    // where a line may not break, become those at the sorted Qt positions
    // `hold` (the others are spaces again), and the added soft hyphens at
    // the sorted Qt positions `drop` go. Positions are those before the
    // change. False when nothing changed.
    bool ChangeLineBreaks(int qtFrom, int qtTo, const std::vector<int> &hold, const std::vector<int> &drop);

    // --- Selection (shared with the rich-box's caret) ---
    void SetSelection(int start, int length); // length < 0 or past the end: to the end
    void SelectAll();
    void CollapseSelection(); // caret at the selection start
    int SelectionStart() const;
    int SelectionLength() const;
    QString SelectedText() const;
    QTextCursor Cursor() const; // Qt cursor of the selection
    void SetCursor(const QTextCursor &cursor); // the widget reports the user's selection

    // --- Formats ---
    // wholeText: every character and the default for text added later;
    // otherwise the selection. A zero mask does nothing.
    void SetCharFormat(const TCharFormat &format, bool wholeText);
    TCharFormat GetCharFormat() const; // at the selection start
    // Paragraphs touched by the selection, or all paragraphs and the default.
    void SetParaFormat(const TParaFormat &format, bool wholeText);
    TParaFormat GetParaFormat() const; // of the paragraph at the selection start
    void SetSelectionColor(TColor color);
    void SetTextColorAll(TColor color);
    // The control's own default font (used for text without its own format).
    void SetDefaultFont(const QString &faceName, int points);

    // --- Bulk building ---
    // Between BeginBulk and EndBulk paragraphs are built into a detached
    // document without undo or selection round trips; EndBulk hands it over.
    void BeginBulk();
    void EndBulk();
    bool InBulk() const;
    // Shows what the bulk build has so far: the first time the detached
    // document is handed over, and the build goes on at the shown
    // document's end; later each call puts the paragraphs added since into
    // the shown document as one change, laid out at once. Nothing outside a
    // bulk build.
    void ShowBulk();
    // The bulk document's cursor at its end, for builders that make their
    // own Qt formats (the RTF reader); null outside a bulk build. Text added
    // through it counts like appended paragraphs.
    QTextCursor BulkCursor();
    // Appends one paragraph: the default formats, then charFormat/paraFormat
    // when given (non-null, non-zero mask), then the runs.
    void AppendParagraph(const QString &text, const TCharFormat *charFormat = nullptr,
                         const TParaFormat *paraFormat = nullptr, const QVector<TFormatRun> &runs = {});

    // --- Bookmarks (kept from RTF documents) ---
    // The position where the bookmark starts, or -1 when there is none.
    int FindBookmark(const QString &name) const;

    // --- Search: case ignored, diacritics significant, not whole words ---
    // Searches [from, to) (to < 0: the end); forward, or backward from `to`.
    // Returns the match position or -1; does not move the selection.
    int FindText(const QString &text, int from, int to, bool forward) const;

signals:
    void DocumentReplaced(QTextDocument *document);
    void SelectionChangedByProgram();

private:
    struct TPrivate;
    TPrivate *d;
    void Attach(QTextDocument *document);
    void BeginShownBulk();
    void EndShownBulk();
    void OnContentsChange(int from, int removed, int added);
};

// Takes what a rich-box document changed for its line breaking out of a
// copy of its Qt document: the added soft hyphens go, held spaces are spaces
// again.
void TakeOutLineBreaking(QTextDocument &copy, const TSoftHyphens &marks);
