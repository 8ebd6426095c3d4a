#include "RtfReaderImpl.h"

#include <QObject>

#include <algorithm>
#include <utility>

using namespace RtfInternal;

TRtfReader::TRtfReader(TRtfSink &sink) : d(new TImpl(sink)) {}

TRtfReader::~TRtfReader() { delete d; }

qsizetype TRtfReader::FindStart(const QByteArray &bytes)
{
    // Some files carry a byte order mark or a few stray bytes before the
    // document; anything further in means this is not an RTF file.
    const qsizetype at = bytes.left(1024).indexOf("{\\rtf");
    return at;
}

bool TRtfReader::Read(const QByteArray &bytes, QString *error)
{
    const qsizetype start = FindStart(bytes);
    if (start < 0) {
        if (error)
            *error = QObject::tr("The file is not an RTF document.");
        return false;
    }
    d->Run(bytes, start);
    return true;
}

TRtfReader::TImpl::TImpl(TRtfSink &sink) : MainSink(sink)
{
    Main.Sink = &sink;
    Notes.Sink = &Footnotes;
    Out = &Main;
}

void TRtfReader::TImpl::Run(const QByteArray &bytes, qsizetype start)
{
    TRtfTokenizer tokenizer(bytes.constData() + start, bytes.size() - start);
    Tokens = &tokenizer;
    TGroupState root;
    root.CodePage = &TRtfCodePage::Get(DocCodePage);
    Stack.push_back(root); // the state outside every group
    bool done = false;
    while (!done) {
        const TRtfToken token = tokenizer.Next();
        switch (token.Kind) {
        case TRtfTokenKind::End: done = true; break;
        case TRtfTokenKind::GroupOpen: GroupOpen(); break;
        case TRtfTokenKind::GroupClose: done = !GroupClose(); break;
        case TRtfTokenKind::Word:
            if (OverflowSkip == 0)
                ControlWord(token);
            else if (token.Name == "bin" && token.HasParam)
                tokenizer.TakeBytes(token.Param); // skipped data may hold braces
            break;
        case TRtfTokenKind::Symbol:
            if (OverflowSkip == 0)
                ControlSymbol(token.Symbol);
            break;
        case TRtfTokenKind::Hex:
            if (OverflowSkip == 0)
                HexByte(token.Byte);
            break;
        case TRtfTokenKind::Text:
            if (OverflowSkip == 0)
                TextBytes(token.Text);
            break;
        }
    }
    // A truncated document: close what is open so fields, pictures and
    // footnotes end properly.
    while (Overflow > 0)
        GroupClose();
    while (Stack.size() > 1)
        GroupClose();
    Out = &Main;
    Flush();
    if (Main.HasContent)
        ParagraphEnd();
    if (!Footnotes.IsEmpty())
        Footnotes.Replay(MainSink);
    MainSink.DocumentEnd();
    Tokens = nullptr;
}

void TRtfReader::TImpl::GroupOpen()
{
    SequenceLength = 0;
    SkipChars = 0;
    Ignorable = false;
    if (Overflow > 0 || int(Stack.size()) > MaxDepth) {
        // Past the limit the text is still read, in the deepest group's
        // state; only the body's text: a group inside anything else there
        // is skipped whole.
        if (Overflow == 0)
            OverflowSaved = Stack.back();
        ++Overflow;
        if (OverflowSkip == 0 && State().Dest != TDest::Body)
            OverflowSkip = Overflow;
        return;
    }
    TGroupState child = Stack.back();
    child.OwnsField = child.OwnsPicture = child.OwnsFootnote = child.OwnsFontEntry = false;
    child.OwnsStyle = -1;
    child.OwnsBookmark = 0;
    child.UprChild = child.Upr;
    child.Upr = false;
    if (child.UprChild) {
        // In {\upr{ansi text}{\*\ud{unicode text}}} only the \ud part counts.
        child.UprDest = child.Dest;
        child.Dest = TDest::Skip;
    }
    Stack.push_back(child);
}

bool TRtfReader::TImpl::GroupClose()
{
    SequenceLength = 0;
    SkipChars = 0;
    Ignorable = false;
    if (Overflow > 0) {
        if (OverflowSkip == Overflow)
            OverflowSkip = 0;
        if (--Overflow == 0) {
            Stack.back() = OverflowSaved; // what the groups past the limit set ends with them
            FormatDirty = true;
        }
        return true;
    }
    if (Stack.size() <= 1)
        return false; // a closing brace too many: the document is over
    const TGroupState &closing = Stack.back();
    if (closing.OwnsFontEntry)
        FinishFontEntry();
    if (closing.OwnsPicture)
        FinishPicture();
    if (closing.OwnsBookmark)
        FinishBookmark(closing.OwnsBookmark == 1);
    if (closing.OwnsStyle >= 0 && Styles.size() < 4096)
        Styles.insert(closing.OwnsStyle, TStyle{closing.Char, closing.Para});
    if (closing.OwnsField && !Fields.empty()) {
        if (Fields.back().LinkOpen) {
            Flush();
            Out->Sink->LinkEnd();
        }
        Fields.pop_back();
    }
    if (closing.OwnsFootnote) {
        Flush();
        if (Out->HasContent)
            ParagraphEnd();
        Out = &Main;
        InFootnote = false;
    }
    const TCharProps before = closing.Char;
    Stack.pop_back();
    if (Stack.size() <= 1)
        return false; // the document's own group closed
    const TCharProps &after = Stack.back().Char;
    if (before.Bold != after.Bold || before.Italic != after.Italic || before.Underline != after.Underline
        || before.Strike != after.Strike || before.Font != after.Font || before.HalfPoints != after.HalfPoints
        || before.Color != after.Color || before.BackColor != after.BackColor
        || before.SpacingTwips != after.SpacingTwips || before.VerticalAlign != after.VerticalAlign)
        FormatDirty = true;
    return true;
}

void TRtfReader::TImpl::Binary(int count)
{
    const std::string_view bytes = Tokens->TakeBytes(count);
    if (SkipChars > 0) {
        --SkipChars; // binary data as a \u fallback counts as one character
        return;
    }
    if (State().Dest == TDest::Picture && InPicture) {
        if (Picture.Data.size() + qsizetype(bytes.size()) <= 64 * 1024 * 1024)
            Picture.Data.append(bytes.data(), qsizetype(bytes.size()));
    }
}

void TRtfReader::TImpl::HexByte(unsigned char byte)
{
    if (SkipChars > 0) {
        --SkipChars;
        return;
    }
    const TDest dest = State().Dest;
    if (dest == TDest::Skip || dest == TDest::ShapeInst)
        return;
    if (dest == TDest::Picture)
        return; // pictures are hex text, not escapes
    QString chars;
    DecodeByte(byte, chars);
    if (!chars.isEmpty())
        Deliver(chars);
}

// Symbol fonts put their bullets where Windows-1252 has other characters.
static QChar SymbolChar(unsigned char byte)
{
    switch (byte) {
    case 0xB7: return QChar(0x2022); // bullet
    case 0xA7: return QChar(0x25AA); // small square
    case 0xD8: return QChar(0x27A2); // arrowhead
    case 0xFC: return QChar(0x2713); // check mark
    default: return QChar();
    }
}

void TRtfReader::TImpl::DecodeByte(unsigned char byte, QString &out)
{
    const TGroupState &state = State();
    const TRtfCodePage *page = state.CodePage;
    if (page->IsMultiByte() && (SequenceLength > 0 || page->IsLeadByte(byte))) {
        DecodeSequenceByte(*page, byte, out);
        return;
    }
    if (state.SymbolFont) {
        const QChar symbol = SymbolChar(byte);
        if (!symbol.isNull()) {
            out += symbol;
            return;
        }
    }
    const QChar c = page->Single(byte);
    if (c.unicode() >= 0x20 || c == QLatin1Char('\t')) {
        out += c;
        if (page->HasCombiningMarks() && c.combiningClass() != 0)
            Out->Compose = true;
    }
}

// The bytes of a multi-byte character may come as raw bytes and \'hh
// escapes in any mix; they are gathered until they make a character.
void TRtfReader::TImpl::DecodeSequenceByte(const TRtfCodePage &page, unsigned char byte, QString &out)
{
    Sequence[SequenceLength++] = char(byte);
    QString chars;
    const TRtfCodePage::TSequence result = page.Decode(Sequence, SequenceLength, chars);
    if (result == TRtfCodePage::TSequence::Complete) {
        SequenceLength = 0;
        for (const QChar c : std::as_const(chars))
            if (c.unicode() >= 0x20 || c == QLatin1Char('\t'))
                out += c;
        return;
    }
    if (result == TRtfCodePage::TSequence::Incomplete && SequenceLength < TRtfCodePage::MaxSequence)
        return;
    // The first byte starts no character; the bytes after it are read again
    // on their own (an ASCII byte after a broken lead byte is itself).
    out += QChar(QChar::ReplacementCharacter);
    char rest[TRtfCodePage::MaxSequence];
    const int restLength = SequenceLength - 1;
    std::copy(Sequence + 1, Sequence + SequenceLength, rest);
    SequenceLength = 0;
    for (int i = 0; i < restLength; ++i)
        DecodeByte(static_cast<unsigned char>(rest[i]), out);
}

void TRtfReader::TImpl::TextBytes(std::string_view bytes)
{
    if (SkipChars > 0) {
        const size_t skip = std::min(size_t(SkipChars), bytes.size());
        SkipChars -= int(skip);
        bytes.remove_prefix(skip);
        if (bytes.empty())
            return;
    }
    const TGroupState &state = State();
    if (state.Dest == TDest::Skip || state.Dest == TDest::ShapeInst)
        return;
    if (state.Dest == TDest::Picture) {
        if (!InPicture)
            return;
        for (const char ch : bytes) {
            int value;
            if (ch >= '0' && ch <= '9')
                value = ch - '0';
            else if (ch >= 'a' && ch <= 'f')
                value = ch - 'a' + 10;
            else if (ch >= 'A' && ch <= 'F')
                value = ch - 'A' + 10;
            else
                continue;
            if (Picture.Nibble < 0) {
                Picture.Nibble = value;
            } else {
                if (Picture.Data.size() < 64 * 1024 * 1024)
                    Picture.Data.append(char(Picture.Nibble * 16 + value));
                Picture.Nibble = -1;
            }
        }
        return;
    }
    // Plain ASCII (the usual case) goes through without decoding.
    bool plain = SequenceLength == 0 && !state.SymbolFont;
    if (plain) {
        for (const char ch : bytes) {
            const unsigned char b = static_cast<unsigned char>(ch);
            if (b >= 0x80 || (b < 0x20 && b != '\t')) {
                plain = false;
                break;
            }
        }
    }
    if (plain && state.Dest == TDest::Body && !state.Char.Caps) {
        if (!state.Char.Hidden)
            EmitLatin1(bytes);
        return;
    }
    if (plain) {
        const QString chars = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
        Deliver(chars);
        return;
    }
    QString chars;
    chars.reserve(qsizetype(bytes.size()));
    for (const char ch : bytes)
        DecodeByte(static_cast<unsigned char>(ch), chars);
    if (!chars.isEmpty())
        Deliver(chars);
}

void TRtfReader::TImpl::Deliver(QStringView chars)
{
    TGroupState &state = State();
    switch (state.Dest) {
    case TDest::Body:
        if (!state.Char.Hidden)
            EmitText(chars);
        break;
    case TDest::FontTable:
        for (const QChar c : chars) {
            if (c == QLatin1Char(';'))
                FinishFontEntry();
            else if (FontName.size() < 256)
                FontName += c;
        }
        break;
    case TDest::ColorTable:
        for (const QChar c : chars) {
            if (c != QLatin1Char(';'))
                continue;
            if (Colors.size() < 4096) {
                if (Red < 0 && Green < 0 && Blue < 0)
                    Colors.append(-1);
                else
                    Colors.append(qint64(std::max(Red, 0)) | qint64(std::max(Green, 0)) << 8
                                  | qint64(std::max(Blue, 0)) << 16);
            }
            Red = Green = Blue = -1;
        }
        break;
    case TDest::FieldInst:
        if (!Fields.empty() && Fields.back().Instruction.size() < 4096)
            Fields.back().Instruction += chars;
        break;
    case TDest::Bookmark:
        if (BookmarkName.size() < 256)
            BookmarkName += chars;
        break;
    default: break;
    }
}

void TRtfReader::TImpl::BeginPendingText()
{
    if (FormatDirty)
        ResolveFormat();
    if (!Out->Pending.isEmpty() && Out->PendingFormat != Format)
        Flush();
    if (Out->Pending.isEmpty())
        Out->PendingFormat = Format;
}

void TRtfReader::TImpl::EmitText(QStringView chars)
{
    BeginPendingText();
    if (State().Char.Caps)
        Out->Pending += chars.toString().toUpper();
    else
        Out->Pending += chars;
    Out->HasContent = true;
}

void TRtfReader::TImpl::EmitLatin1(std::string_view bytes)
{
    BeginPendingText();
    Out->Pending.append(QLatin1String(bytes.data(), qsizetype(bytes.size())));
    Out->HasContent = true;
}

void TRtfReader::TImpl::Flush()
{
    if (Out->Pending.isEmpty())
        return;
    if (Out->Compose) {
        Out->Pending = Out->Pending.normalized(QString::NormalizationForm_C);
        Out->Compose = false;
    }
    Out->Sink->Text(Out->Pending, Out->PendingFormat);
    Out->Pending.clear();
}

TParaFormat TRtfReader::TImpl::CurrentParaFormat() const
{
    const TParaProps &para = Stack.back().Para;
    TParaFormat format;
    format.Mask = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT | PFM_TABSTOPS | PFM_SPACEBEFORE
        | PFM_SPACEAFTER | PFM_LINESPACING;
    format.Alignment = para.Alignment;
    // The first line starts at \li + \fi; the others at \li.
    format.StartIndent = para.LeftIndent + para.FirstIndent;
    format.Offset = -para.FirstIndent;
    format.RightIndent = para.RightIndent;
    format.SpaceBefore = para.SpaceBefore;
    format.SpaceAfter = para.SpaceAfter;
    format.TabStops = para.Tabs;
    if (para.LineSpacing != 0 && para.LineMultiple) {
        // \sl in 240ths of a line; the record counts twentieths of a line.
        const int twentieths = (std::abs(para.LineSpacing) + 6) / 12;
        if (twentieths != 20) {
            format.LineSpacingRule = 5;
            format.LineSpacing = std::max(twentieths, 1);
        }
    } else if (para.LineSpacing > 0) {
        format.LineSpacingRule = 3; // at least this many twips
        format.LineSpacing = para.LineSpacing;
    } else if (para.LineSpacing < 0) {
        format.LineSpacingRule = 4; // exactly this many twips
        format.LineSpacing = -para.LineSpacing;
    }
    return format;
}

void TRtfReader::TImpl::ParagraphEnd()
{
    Flush();
    SequenceLength = 0;
    Out->Sink->ParagraphEnd(CurrentParaFormat(), State().Para.InTable);
    Out->HasContent = false;
}

void TRtfReader::TImpl::ResolveFormat()
{
    FormatDirty = false;
    const TCharProps &c = State().Char;
    TCharFormat &f = Format.Format;
    f = TCharFormat();
    f.Mask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_SPACING;
    f.Effects = (c.Bold ? CFE_BOLD : 0) | (c.Italic ? CFE_ITALIC : 0) | (c.Underline ? CFE_UNDERLINE : 0)
        | (c.Strike ? CFE_STRIKEOUT : 0);
    f.HeightTwips = c.HalfPoints * 10;
    f.SpacingTwips = c.SpacingTwips;
    auto font = Fonts.constFind(c.Font < 0 ? DefaultFont : c.Font);
    if (font == Fonts.constEnd())
        font = Fonts.constFind(DefaultFont);
    if (font != Fonts.constEnd() && !font->Name.isEmpty()) {
        f.Mask |= CFM_FACE;
        f.FaceName = font->Name;
    }
    if (c.Color > 0 && c.Color < Colors.size() && Colors.at(c.Color) >= 0) {
        f.Mask |= CFM_COLOR;
        f.TextColor = TColor(Colors.at(c.Color));
    }
    if (c.BackColor > 0 && c.BackColor < Colors.size() && Colors.at(c.BackColor) >= 0) {
        f.Mask |= CFM_BACKCOLOR;
        f.BackColor = TColor(Colors.at(c.BackColor));
    }
    Format.VerticalAlign = c.VerticalAlign;
}

void TRtfReader::TImpl::FinishFontEntry()
{
    if (FontEntry >= 0) {
        TFont &font = Fonts[FontEntry];
        font.Name = FontName.trimmed();
        // Symbol fonts are not always marked with \fcharset2.
        if (font.Name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0)
            font.Symbol = true;
        FormatDirty = true;
    }
    FontEntry = -1;
    FontName.clear();
}

void TRtfReader::TImpl::FinishPicture()
{
    if (!InPicture)
        return;
    InPicture = false;
    TPicture picture = std::move(Picture);
    Picture = TPicture();
    if ((!picture.Format && !picture.Kept) || picture.Data.isEmpty() || State().Char.Hidden)
        return;
    // Only show pictures that reach the body (not those in skipped parts).
    const TDest outer = Stack.size() >= 2 ? Stack[Stack.size() - 2].Dest : TDest::Body;
    if (outer != TDest::Body && outer != TDest::ShapeInst)
        return;
    Flush();
    if (FormatDirty)
        ResolveFormat();
    // Without goals, the picture's own size: hundredths of a millimetre for
    // metafiles, pixels for the others.
    auto twips = [&picture](int goal, int size) -> qint64 {
        if (goal > 0)
            return goal;
        if (!picture.Kept)
            return 0;
        return picture.Metafile ? qint64(size) * 1440 / 2540 : qint64(size) * 15;
    };
    const int width = int(std::clamp<qint64>(
        twips(picture.WidthGoal, picture.Width) * std::clamp(picture.ScaleX, 1, 1000) / 100, 0, 1 << 24));
    const int height = int(std::clamp<qint64>(
        twips(picture.HeightGoal, picture.Height) * std::clamp(picture.ScaleY, 1, 1000) / 100, 0, 1 << 24));
    if (picture.Format)
        Out->Sink->Image(picture.Data, picture.Format, width, height, Format);
    else
        Out->Sink->KeptPicture(picture.Controls, picture.Data, width, height, Format);
    Out->HasContent = true;
}

void TRtfReader::TImpl::FinishBookmark(bool start)
{
    const QString name = BookmarkName.trimmed();
    BookmarkName.clear();
    if (name.isEmpty())
        return;
    Flush();
    Out->Sink->Bookmark(name, start);
}

void TRtfReader::TImpl::BeginFieldResult()
{
    if (Fields.empty())
        return;
    TField &field = Fields.back();
    if (field.LinkOpen)
        return;
    const QString target = HyperlinkTarget(field.Instruction);
    if (target.isEmpty())
        return;
    Flush();
    Out->Sink->LinkBegin(target);
    field.LinkOpen = true;
}

QString TRtfReader::TImpl::HyperlinkTarget(const QString &instruction) const
{
    QStringView rest = QStringView(instruction).trimmed();
    if (!rest.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return QString();
    rest = rest.mid(9);
    QString target;
    bool local = false;
    while (!rest.isEmpty()) {
        rest = rest.trimmed();
        if (rest.isEmpty())
            break;
        QString argument;
        if (rest.startsWith(QLatin1Char('\\'))) {
            // A switch: \l names a place in the document; the others take
            // an argument we do not need.
            const QChar name = rest.size() > 1 ? rest.at(1) : QChar();
            rest = rest.mid(2);
            if (name == QLatin1Char('l'))
                local = true;
            else if (name != QLatin1Char('m') && name != QLatin1Char('n') && name != QLatin1Char('h')) {
                rest = rest.trimmed();
                if (rest.startsWith(QLatin1Char('"'))) {
                    const qsizetype end = rest.indexOf(QLatin1Char('"'), 1);
                    rest = end < 0 ? QStringView() : rest.mid(end + 1);
                } else {
                    const qsizetype end = rest.indexOf(QLatin1Char(' '));
                    rest = end < 0 ? QStringView() : rest.mid(end);
                }
            }
            continue;
        }
        if (rest.startsWith(QLatin1Char('"'))) {
            const qsizetype end = rest.indexOf(QLatin1Char('"'), 1);
            argument = (end < 0 ? rest.mid(1) : rest.mid(1, end - 1)).toString();
            rest = end < 0 ? QStringView() : rest.mid(end + 1);
        } else {
            const qsizetype end = rest.indexOf(QLatin1Char(' '));
            argument = (end < 0 ? rest : rest.left(end)).toString();
            rest = end < 0 ? QStringView() : rest.mid(end);
        }
        argument.replace(QLatin1String("\\\\"), QLatin1String("\\"));
        if (local) {
            target += QLatin1Char('#') + argument;
            local = false;
        } else if (target.isEmpty()) {
            target = argument;
        }
    }
    return target;
}
