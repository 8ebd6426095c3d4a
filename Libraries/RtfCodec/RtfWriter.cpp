// The RTF writer: one pass over the Qt document's blocks and fragments with
// the control words of every format worked out once per format.
#include "Rtf.h"

#include "RichDocument.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <cstring>
#include <vector>

namespace {

// Windows-1252 bytes 0x80..0x9F and the characters they stand for.
constexpr char16_t Cp1252High[32]
    = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
       0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
       0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Windows-1252 byte of a character, or 0 when it has none.
unsigned char Cp1252Byte(char16_t c)
{
    if (c >= 0xA0 && c <= 0xFF)
        return static_cast<unsigned char>(c);
    for (int i = 0; i < 32; ++i)
        if (Cp1252High[i] == c && c != 0)
            return static_cast<unsigned char>(0x80 + i);
    return 0;
}

const char HexDigits[] = "0123456789abcdef";

// Appends text to an RTF byte buffer, escaping as needed. The buffer is
// written through a raw pointer for speed: each call makes room for the
// longest escape of every character first.
void AppendEscaped(QByteArray &out, QStringView text)
{
    const qsizetype old = out.size();
    const qsizetype need = old + text.size() * 14;
    if (out.capacity() < need)
        out.reserve(std::max(need, out.capacity() * 2));
    out.resize(need);
    char *p = out.data() + old;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= 0x20 && c < 0x80) {
            if (c == '\\' || c == '{' || c == '}')
                *p++ = '\\';
            *p++ = char(c);
            continue;
        }
        auto put = [&p](const char *s) {
            const size_t n = std::strlen(s);
            std::memcpy(p, s, n);
            p += n;
        };
        switch (c) {
        case '\t': put("\\tab "); continue;
        case 0x2028: put("\\line "); continue;
        case 0x00A0: put("\\~"); continue;
        case 0x00AD: put("\\-"); continue;
        case 0x2011: put("\\_"); continue;
        case 0xFFFC: continue; // an object without a picture behind it
        default: break;
        }
        if (c < 0x20)
            continue;
        // \uN with the Windows-1252 byte (or "?") for readers without Unicode,
        // the way word processors write it.
        *p++ = '\\';
        *p++ = 'u';
        int value = int(int16_t(c));
        if (value < 0) {
            *p++ = '-';
            value = -value;
        }
        char digits[8];
        int count = 0;
        do {
            digits[count++] = char('0' + value % 10);
            value /= 10;
        } while (value > 0);
        while (count > 0)
            *p++ = digits[--count];
        if (const unsigned char b = Cp1252Byte(c)) {
            *p++ = '\\';
            *p++ = '\'';
            *p++ = HexDigits[b >> 4];
            *p++ = HexDigits[b & 15];
        } else {
            *p++ = '?';
        }
    }
    out.resize(p - out.constData());
}

// What a character format writes.
struct TCharControls {
    QByteArray Controls; // starts with \plain
    QString Href;
    QStringList Marks; // bookmarks before the first character
    bool Image = false;
    bool Ready = false;
};

class TWriter {
public:
    TWriter(const QTextDocument &document, const TSoftHyphens *marks) : Doc(document), Marks(marks) {}
    QByteArray Write();

private:
    int FontIndex(const QString &face);
    int ColorIndex(TColor color);
    void PrepareFormats();
    const TCharControls &Controls(int index);
    QByteArray ParaControls(const QTextBlockFormat &format) const;
    void WritePicture(const QTextImageFormat &format);
    void WriteMarks(const QStringList &marks);
    void CloseLink();
    void WriteBlock(const QTextBlock &block);
    void WriteText(const QString &text, int position);

    const QTextDocument &Doc;
    const TSoftHyphens *Marks; // the line breaking's changes to the text
    QByteArray Out;
    QStringList Fonts;
    QHash<QString, int> FontIndexes;
    QVector<TColor> Colors;
    QVector<QTextFormat> Formats;
    std::vector<TCharControls> CharControls; // by format index
    QHash<int, QByteArray> ParaCache;
    QByteArray CurrentPara;
    const QByteArray *Current = nullptr; // character controls in force
    const QByteArray *Outer = nullptr; // those outside the open link
    QString Link;
    QSet<QString> Started, Ended; // bookmarks written
    QString DefaultFace;
    int DefaultHeight = 240;
};

int TWriter::FontIndex(const QString &face)
{
    const auto found = FontIndexes.constFind(face);
    if (found != FontIndexes.constEnd())
        return *found;
    const int index = int(Fonts.size());
    Fonts.append(face);
    FontIndexes.insert(face, index);
    return index;
}

int TWriter::ColorIndex(TColor color)
{
    const int at = int(Colors.indexOf(color));
    if (at >= 0)
        return at + 1; // entry 0 is "automatic"
    Colors.append(color);
    return int(Colors.size());
}

void TWriter::PrepareFormats()
{
    const QFont font = Doc.defaultFont();
    DefaultFace = font.family();
    if (font.pointSizeF() > 0)
        DefaultHeight = int(font.pointSizeF() * 20 + 0.5);
    FontIndex(DefaultFace);
    Formats = Doc.allFormats();
    CharControls.resize(size_t(Formats.size()));
}

// The control words of a format, worked out when it is first used so the
// font and colour tables list things in the order the text uses them.
const TCharControls &TWriter::Controls(int index)
{
    TCharControls &entry = CharControls[size_t(index)];
    if (entry.Ready)
        return entry;
    entry.Ready = true;
    const QTextFormat &format = Formats.at(index);
    if (!format.isCharFormat())
        return entry;
    const QTextCharFormat charFormat = format.toCharFormat();
    const TCharFormat c = FromQtCharFormat(charFormat);
    const QString face = c.FaceName.isEmpty() ? DefaultFace : c.FaceName;
    const int height = c.HeightTwips > 0 ? c.HeightTwips : DefaultHeight;
    QByteArray controls = "\\plain\\f" + QByteArray::number(FontIndex(face)) + "\\fs"
        + QByteArray::number(std::max(1, (height + 5) / 10));
    if (c.Effects & CFE_BOLD)
        controls += "\\b";
    if (c.Effects & CFE_ITALIC)
        controls += "\\i";
    if (c.Effects & CFE_UNDERLINE)
        controls += "\\ul";
    if (c.Effects & CFE_STRIKEOUT)
        controls += "\\strike";
    if (c.SpacingTwips != 0)
        controls += "\\expndtw" + QByteArray::number(c.SpacingTwips);
    if (c.TextColor != ColorDefault && c.TextColor != ColorNone)
        controls += "\\cf" + QByteArray::number(ColorIndex(c.TextColor));
    if (c.BackColor != ColorDefault && c.BackColor != ColorNone)
        controls += "\\highlight" + QByteArray::number(ColorIndex(c.BackColor));
    if (charFormat.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        controls += "\\super";
    else if (charFormat.verticalAlignment() == QTextCharFormat::AlignSubScript)
        controls += "\\sub";
    controls += ' ';
    entry.Controls = controls;
    if (charFormat.isAnchor())
        entry.Href = charFormat.anchorHref();
    entry.Marks = charFormat.property(PropBookmarks).toStringList();
    entry.Image = charFormat.isImageFormat();
    return entry;
}

QByteArray TWriter::ParaControls(const QTextBlockFormat &format) const
{
    const TParaFormat p = FromQtBlockFormat(format);
    QByteArray controls = "\\pard";
    switch (p.Alignment) {
    case PFA_RIGHT: controls += "\\qr"; break;
    case PFA_CENTER: controls += "\\qc"; break;
    case PFA_JUSTIFY: controls += "\\qj"; break;
    default: controls += "\\ql"; break;
    }
    // The first line starts at StartIndent, the others at StartIndent + Offset.
    const int left = p.StartIndent + p.Offset;
    if (left != 0)
        controls += "\\li" + QByteArray::number(left);
    if (p.Offset != 0)
        controls += "\\fi" + QByteArray::number(-p.Offset);
    if (p.RightIndent != 0)
        controls += "\\ri" + QByteArray::number(p.RightIndent);
    if (p.SpaceBefore != 0)
        controls += "\\sb" + QByteArray::number(p.SpaceBefore);
    if (p.SpaceAfter != 0)
        controls += "\\sa" + QByteArray::number(p.SpaceAfter);
    switch (p.LineSpacingRule) {
    case 1: controls += "\\sl360\\slmult1"; break;
    case 2: controls += "\\sl480\\slmult1"; break;
    case 3:
        if (p.LineSpacing > 0)
            controls += "\\sl" + QByteArray::number(p.LineSpacing) + "\\slmult0";
        break;
    case 4:
        if (p.LineSpacing > 0)
            controls += "\\sl-" + QByteArray::number(p.LineSpacing) + "\\slmult0";
        break;
    case 5:
        if (p.LineSpacing > 0 && p.LineSpacing != 20)
            controls += "\\sl" + QByteArray::number(p.LineSpacing * 12) + "\\slmult1";
        break;
    default: break;
    }
    for (int tab : p.TabStops)
        if (tab > 0)
            controls += "\\tx" + QByteArray::number(tab);
    controls += ' ';
    return controls;
}

void TWriter::WritePicture(const QTextImageFormat &format)
{
    if (format.hasProperty(PropKeptPictureData)) {
        // A picture shown as a placeholder goes back as it came.
        Out += "{\\pict" + format.property(PropKeptPictureControls).toByteArray() + "\n";
        const QByteArray hex = format.property(PropKeptPictureData).toByteArray().toHex();
        for (qsizetype at = 0; at < hex.size(); at += 128) {
            Out.append(hex.constData() + at, std::min<qsizetype>(128, hex.size() - at));
            Out += '\n';
        }
        Out += "}";
        return;
    }
    const QVariant resource = Doc.resource(QTextDocument::ImageResource, QUrl(format.name()));
    QImage image;
    if (resource.canConvert<QImage>())
        image = resource.value<QImage>();
    if (image.isNull() && resource.canConvert<QPixmap>())
        image = resource.value<QPixmap>().toImage();
    if (image.isNull() && resource.typeId() == QMetaType::QByteArray)
        image = QImage::fromData(resource.toByteArray());
    if (image.isNull())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return;
    const double width = format.width() > 0 ? format.width() : image.width();
    const double height = format.height() > 0 ? format.height() : image.height();
    Out += "{\\pict\\pngblip\\picw" + QByteArray::number(image.width()) + "\\pich" + QByteArray::number(image.height())
        + "\\picwgoal" + QByteArray::number(PixelsToTwips(width)) + "\\pichgoal"
        + QByteArray::number(PixelsToTwips(height)) + "\n";
    const QByteArray hex = png.toHex();
    for (qsizetype at = 0; at < hex.size(); at += 128) {
        Out.append(hex.constData() + at, std::min<qsizetype>(128, hex.size() - at));
        Out += '\n';
    }
    Out += "}";
}

// Bookmark starts and ends; a name already started (or ended) is not
// written again, as typing next to a bookmark copies its character format.
void TWriter::WriteMarks(const QStringList &marks)
{
    for (const QString &mark : marks) {
        if (mark.size() < 2)
            continue;
        const bool start = mark.at(0) == QLatin1Char('+');
        const QString name = mark.mid(1);
        QSet<QString> &written = start ? Started : Ended;
        if (written.contains(name) || (!start && !Started.contains(name)))
            continue;
        written.insert(name);
        Out += start ? "{\\*\\bkmkstart " : "{\\*\\bkmkend ";
        AppendEscaped(Out, name);
        Out += '}';
    }
}

void TWriter::CloseLink()
{
    if (Link.isEmpty())
        return;
    Out += "}}}";
    Current = Outer;
    Link.clear();
}

void TWriter::WriteBlock(const QTextBlock &block)
{
    const int paraIndex = block.blockFormatIndex();
    auto cached = ParaCache.constFind(paraIndex);
    if (cached == ParaCache.constEnd())
        cached = ParaCache.insert(paraIndex, ParaControls(block.blockFormat()));
    if (*cached != CurrentPara) {
        Out += *cached;
        CurrentPara = *cached;
    }
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const int index = fragment.charFormatIndex();
        if (index < 0 || size_t(index) >= CharControls.size())
            continue;
        const TCharControls &controls = Controls(index);
        if (controls.Href != Link) {
            CloseLink();
            Link = controls.Href;
            if (!Link.isEmpty()) {
                Out += "{\\field{\\*\\fldinst{HYPERLINK \"";
                QString target = Link;
                target.replace(QLatin1Char('"'), QLatin1String("%22"));
                AppendEscaped(Out, target);
                Out += "\"}}{\\fldrslt{";
                Outer = Current;
            }
        }
        if (!controls.Marks.isEmpty())
            WriteMarks(controls.Marks);
        if (Current != &controls.Controls && (!Current || *Current != controls.Controls)) {
            Out += controls.Controls;
            Current = &controls.Controls;
        }
        if (controls.Image) {
            const QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QString text = fragment.text();
            for (const QChar c : text)
                if (c == QChar(QChar::ObjectReplacementCharacter))
                    WritePicture(image);
            continue;
        }
        WriteText(fragment.text(), fragment.position());
    }
    // A link ends with its paragraph: a paragraph mark inside the field's
    // result would carry the link on into the next paragraph.
    CloseLink();
    const QVariant marks = block.blockFormat().property(PropBookmarksAtEnd);
    if (marks.isValid())
        WriteMarks(marks.toStringList());
    Out += "\\par\n";
}

// The text of a fragment at a Qt position, as the book has it.
void TWriter::WriteText(const QString &text, int position)
{
    AppendEscaped(Out, Marks ? Marks->Strip(text, position) : text);
}

QByteArray TWriter::Write()
{
    PrepareFormats();
    QByteArray body;
    Out.reserve(Doc.characterCount() + Doc.characterCount() / 8 + 1024);
    const bool empty = Doc.blockCount() == 1 && Doc.firstBlock().length() <= 1;
    if (!empty) {
        for (QTextBlock block = Doc.begin(); block.isValid(); block = block.next())
            WriteBlock(block);
    }
    CloseLink();
    // Bookmarks whose end was lost (its character deleted) end here.
    QStringList open;
    for (const QString &name : std::as_const(Started))
        if (!Ended.contains(name))
            open << QLatin1Char('-') + name;
    open.sort();
    WriteMarks(open);
    body.swap(Out);

    Out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (int i = 0; i < Fonts.size(); ++i) {
        Out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
        AppendEscaped(Out, Fonts.at(i));
        Out += ";}";
    }
    Out += "}\n{\\colortbl;";
    for (TColor color : Colors)
        Out += "\\red" + QByteArray::number(color & 0xFF) + "\\green" + QByteArray::number((color >> 8) & 0xFF)
            + "\\blue" + QByteArray::number((color >> 16) & 0xFF) + ";";
    Out += "}\n\\viewkind4\n";
    Out += body;
    Out += "}\n";
    return Out;
}

} // namespace

QByteArray WriteRtf(const QTextDocument &document, const TSoftHyphens *marks)
{
    TWriter writer(document, marks && !(marks->IsEmpty() && marks->Held().empty()) ? marks : nullptr);
    return writer.Write();
}
