// Internal state of TRtfReader, shared by its two source files.
#pragma once

#include "RtfCodePage.h"
#include "RtfReader.h"
#include "RtfTokenizer.h"

#include <QHash>
#include <QVector>

#include <string_view>
#include <vector>

namespace RtfInternal {

// Where the text of a group goes.
enum class TDest : unsigned char {
    Body, // the document (or the footnote being read)
    Skip, // nowhere; only \bin and \ud are still obeyed
    FontTable,
    ColorTable,
    FieldInst,
    Picture,
    ShapeInst, // a shape's properties: only pictures and text boxes inside count
    StyleSheet, // style definitions: their properties are kept, their names not
    Bookmark, // the name of a bookmark's start or end
};

struct TCharProps {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strike = false;
    bool Caps = false;
    bool Hidden = false;
    int Font = -1; // -1: the default font
    int HalfPoints = 24;
    int Color = 0; // colour table index, 0 = automatic
    int BackColor = 0; // colour table index, 0 = none
    int SpacingTwips = 0;
    TRtfVerticalAlign VerticalAlign = TRtfVerticalAlign::Normal;
};

struct TParaProps {
    int Alignment = PFA_LEFT;
    int LeftIndent = 0;
    int RightIndent = 0;
    int FirstIndent = 0;
    int SpaceBefore = 0;
    int SpaceAfter = 0;
    int LineSpacing = 0; // \sl
    bool LineMultiple = false;
    bool InTable = false;
    QVector<int> Tabs;
};

struct TGroupState {
    TCharProps Char;
    TParaProps Para;
    TDest Dest = TDest::Body;
    int UcSkip = 1;
    const TRtfCodePage *CodePage = nullptr;
    bool SymbolFont = false;
    // What this group started, finished when it closes.
    bool OwnsField = false;
    bool OwnsPicture = false;
    bool OwnsFootnote = false;
    bool OwnsFontEntry = false;
    int OwnsStyle = -1; // a style definition: its number
    int OwnsBookmark = 0; // a bookmark's name: 1 its start, 2 its end
    bool Upr = false; // a \upr group: its subgroups are skipped unless \ud
    bool UprChild = false; // a subgroup of \upr
    TDest UprDest = TDest::Body;
};

struct TFont {
    QString Name;
    int CodePage = 0; // 0: the document's
    const TRtfCodePage *Page = nullptr; // of CodePage, once looked up
    bool Symbol = false;
};

struct TStyle {
    TCharProps Char;
    TParaProps Para;
};

struct TField {
    QString Instruction;
    bool LinkOpen = false;
};

struct TPicture {
    QByteArray Data;
    int Nibble = -1;
    const char *Format = nullptr; // "png", "jpeg" or null for kinds not shown
    bool Kept = false; // a kind not shown, kept with its control words
    bool Metafile = false; // \picw and \pich in hundredths of a millimetre
    QByteArray Controls; // the control words of the \pict group
    int Width = 0, Height = 0; // \picw, \pich
    int WidthGoal = 0, HeightGoal = 0;
    int ScaleX = 100, ScaleY = 100;
};

// One place text goes: the document or the footnotes kept for the end.
struct TOutput {
    TRtfSink *Sink = nullptr;
    QString Pending;
    TRtfTextFormat PendingFormat;
    bool HasContent = false; // something since the last paragraph end
    bool Compose = false; // Pending has combining marks of a code page: composed when flushed
};

} // namespace RtfInternal

struct TRtfReader::TImpl {
    explicit TImpl(TRtfSink &sink);

    void Run(const QByteArray &bytes, qsizetype start);

    // Tokens
    void GroupOpen();
    bool GroupClose(); // false when the outermost group closed
    void ControlWord(const TRtfToken &token);
    void ControlSymbol(char symbol);
    void TextBytes(std::string_view bytes);
    void HexByte(unsigned char byte);
    void Binary(int count);

    // Text
    void Deliver(QStringView chars);
    void DeliverChar(QChar c) { Deliver(QStringView(&c, 1)); }
    void DecodeByte(unsigned char byte, QString &out);
    void DecodeSequenceByte(const TRtfCodePage &page, unsigned char byte, QString &out);
    void Flush();
    void ParagraphEnd();
    // Readies the pending run for text in the current format (a format
    // change flushes what is pending first).
    void BeginPendingText();
    void EmitText(QStringView chars);
    void EmitLatin1(std::string_view bytes); // plain ASCII body text
    void ResolveFormat();
    void FinishFontEntry();
    void FinishPicture();
    void FinishBookmark(bool start);
    void BeginFieldResult();

    // State helpers
    RtfInternal::TGroupState &State() { return Stack.back(); }
    void SetFont(int font);
    void ResetChar();
    TParaFormat CurrentParaFormat() const;
    QString HyperlinkTarget(const QString &instruction) const;

    TRtfSink &MainSink;
    TRtfRecordingSink Footnotes;
    RtfInternal::TOutput Main, Notes;
    RtfInternal::TOutput *Out = nullptr;

    TRtfTokenizer *Tokens = nullptr;
    std::vector<RtfInternal::TGroupState> Stack;
    // Groups opened past MaxDepth share the deepest group's state, which
    // is put back when the last of them closes.
    int Overflow = 0; // groups open past MaxDepth
    int OverflowSkip = 0; // the level past MaxDepth from which everything is skipped, 0 for none
    RtfInternal::TGroupState OverflowSaved;
    int SkipChars = 0; // fallback characters after \uN still to skip
    char Sequence[TRtfCodePage::MaxSequence] = {}; // bytes of a multi-byte character so far
    int SequenceLength = 0;
    bool Ignorable = false; // \* seen: an unknown destination that follows is skipped
    bool FormatDirty = true;
    TRtfTextFormat Format;

    int DocCodePage = 1252;
    const TRtfCodePage *DocPage = nullptr;
    int DefaultFont = 0;
    QHash<int, RtfInternal::TFont> Fonts;
    int FontEntry = -1; // font being defined in the font table
    QString FontName;
    QVector<qint64> Colors; // -1: automatic
    int Red = -1, Green = -1, Blue = -1;
    std::vector<RtfInternal::TField> Fields;
    RtfInternal::TPicture Picture;
    QString BookmarkName;
    bool InPicture = false;
    bool InFootnote = false;
    int FootnoteCount = 0;
    QVector<int> RowCells;
    QHash<int, RtfInternal::TStyle> Styles; // paragraph styles; character styles at 0x10000 + N
};
