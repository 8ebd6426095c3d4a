// Conversions between the rich-edit format records (twips, 0x00BBGGRR
// colours) and Qt's character and block formats.
#include "RichDocument.h"

#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace {

// User properties holding the exact twips of a format, so a record read
// back equals the record that was set.
enum : int {
    PropHeightTwips = QTextFormat::UserProperty + 1,
    PropSpacingTwips,
    PropStartIndent = QTextFormat::UserProperty + 10,
    PropRightIndent,
    PropOffset,
    PropSpaceBefore,
    PropSpaceAfter,
    PropLineSpacing,
    PropLineSpacingRule,
    PropTabStops,
};

constexpr int MaxFaceName = 31;

// A length stored both in pixels (for Qt) and in twips (for reading back).
int StoredTwips(const QTextFormat &format, int property, double pixels)
{
    int fromPixels = PixelsToTwips(pixels);
    if (format.hasProperty(property)) {
        int stored = format.intProperty(property);
        // Trust the stored value only while the Qt value still matches it.
        if (std::abs(TwipsToPixels(stored) - pixels) < 0.5)
            return stored;
    }
    return fromPixels;
}

} // namespace

// ---------------------------------------------------------------- colours

QColor ToQColor(TColor color)
{
    if (color == ColorNone || color == ColorDefault)
        return QColor();
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TColor FromQColor(const QColor &color)
{
    if (!color.isValid())
        return ColorDefault;
    return TColor(color.red()) | (TColor(color.green()) << 8) | (TColor(color.blue()) << 16);
}

double TwipsToPixels(int twips) { return twips / 15.0; }

int PixelsToTwips(double pixels) { return int(std::lround(pixels * 15.0)); }

// ---------------------------------------------------------------- formats

QTextCharFormat ToQtCharFormat(const TCharFormat &format)
{
    QTextCharFormat result;
    const uint32_t mask = format.Mask;
    if (mask & CFM_BOLD)
        result.setFontWeight((format.Effects & CFE_BOLD) ? QFont::Bold : QFont::Normal);
    if (mask & CFM_ITALIC)
        result.setFontItalic(format.Effects & CFE_ITALIC);
    if (mask & CFM_UNDERLINE)
        result.setFontUnderline(format.Effects & CFE_UNDERLINE);
    if (mask & CFM_STRIKEOUT)
        result.setFontStrikeOut(format.Effects & CFE_STRIKEOUT);
    if (mask & CFM_FACE)
        result.setFontFamilies(QStringList{format.FaceName.left(MaxFaceName)});
    if (mask & CFM_SIZE) {
        if (format.HeightTwips > 0) {
            result.setFontPointSize(format.HeightTwips / 20.0);
            result.setProperty(PropHeightTwips, format.HeightTwips);
        }
    }
    if (mask & CFM_SPACING) {
        result.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        result.setFontLetterSpacing(TwipsToPixels(format.SpacingTwips));
        result.setProperty(PropSpacingTwips, format.SpacingTwips);
    }
    if (mask & CFM_COLOR) {
        QColor color = ToQColor(format.TextColor);
        if (color.isValid())
            result.setForeground(color);
        else
            result.setForeground(QBrush()); // the control's default colour
    }
    if (mask & CFM_BACKCOLOR) {
        QColor color = ToQColor(format.BackColor);
        if (color.isValid())
            result.setBackground(color);
        else
            result.setBackground(QBrush()); // an explicit "no background" that merges over a colour
    }
    return result;
}

TCharFormat FromQtCharFormat(const QTextCharFormat &format)
{
    TCharFormat result;
    result.Mask = CFM_ALL_TEXT | CFM_STRIKEOUT | CFM_BACKCOLOR;
    if (format.fontWeight() >= QFont::DemiBold)
        result.Effects |= CFE_BOLD;
    if (format.fontItalic())
        result.Effects |= CFE_ITALIC;
    if (format.fontUnderline())
        result.Effects |= CFE_UNDERLINE;
    if (format.fontStrikeOut())
        result.Effects |= CFE_STRIKEOUT;
    QStringList families = format.fontFamilies().toStringList();
    if (families.isEmpty())
        families = QStringList{format.stringProperty(QTextFormat::FontFamily)};
    result.FaceName = families.first();
    double points = format.fontPointSize();
    result.HeightTwips = int(std::lround(points * 20));
    if (format.hasProperty(PropHeightTwips) && std::abs(format.intProperty(PropHeightTwips) / 20.0 - points) < 0.05)
        result.HeightTwips = format.intProperty(PropHeightTwips);
    if (format.hasProperty(QTextFormat::FontLetterSpacing))
        result.SpacingTwips = StoredTwips(format, PropSpacingTwips, format.fontLetterSpacing());
    QBrush fore = format.foreground();
    result.TextColor = fore.style() == Qt::NoBrush ? ColorDefault : FromQColor(fore.color());
    QBrush back = format.background();
    result.BackColor = back.style() == Qt::NoBrush ? ColorNone : FromQColor(back.color());
    return result;
}

void MergeQtBlockFormat(QTextBlockFormat &target, const TParaFormat &format)
{
    const uint32_t mask = format.Mask;
    if (mask & (PFM_STARTINDENT | PFM_OFFSET)) {
        TParaFormat current = FromQtBlockFormat(target);
        int start = (mask & PFM_STARTINDENT) ? format.StartIndent : current.StartIndent;
        int offset = (mask & PFM_OFFSET) ? format.Offset : current.Offset;
        // The first line starts at start, the others at start + offset.
        target.setLeftMargin(TwipsToPixels(start + offset));
        target.setTextIndent(TwipsToPixels(-offset));
        target.setProperty(PropStartIndent, start);
        target.setProperty(PropOffset, offset);
    }
    if (mask & PFM_RIGHTINDENT) {
        target.setRightMargin(TwipsToPixels(format.RightIndent));
        target.setProperty(PropRightIndent, format.RightIndent);
    }
    if (mask & PFM_ALIGNMENT) {
        Qt::Alignment alignment = Qt::AlignLeft;
        switch (format.Alignment) {
        case PFA_RIGHT: alignment = Qt::AlignRight; break;
        case PFA_CENTER: alignment = Qt::AlignHCenter; break;
        case PFA_JUSTIFY: alignment = Qt::AlignJustify; break;
        default: break;
        }
        target.setAlignment(alignment);
    }
    if (mask & PFM_SPACEBEFORE) {
        target.setTopMargin(TwipsToPixels(format.SpaceBefore));
        target.setProperty(PropSpaceBefore, format.SpaceBefore);
    }
    if (mask & PFM_SPACEAFTER) {
        target.setBottomMargin(TwipsToPixels(format.SpaceAfter));
        target.setProperty(PropSpaceAfter, format.SpaceAfter);
    }
    if (mask & PFM_LINESPACING) {
        switch (format.LineSpacingRule) {
        case 1: target.setLineHeight(150, QTextBlockFormat::ProportionalHeight); break;
        case 2: target.setLineHeight(200, QTextBlockFormat::ProportionalHeight); break;
        case 3: target.setLineHeight(TwipsToPixels(format.LineSpacing), QTextBlockFormat::MinimumHeight); break;
        case 4: target.setLineHeight(TwipsToPixels(format.LineSpacing), QTextBlockFormat::FixedHeight); break;
        case 5: target.setLineHeight(std::max(1, format.LineSpacing) * 5, QTextBlockFormat::ProportionalHeight); break;
        default: target.setLineHeight(100, QTextBlockFormat::SingleHeight); break;
        }
        target.setProperty(PropLineSpacing, format.LineSpacing);
        target.setProperty(PropLineSpacingRule, format.LineSpacingRule);
    }
    if (mask & PFM_TABSTOPS) {
        QList<QTextOption::Tab> tabs;
        QVariantList stored;
        for (int twips : format.TabStops) {
            tabs.append(QTextOption::Tab(TwipsToPixels(twips), QTextOption::LeftTab));
            stored.append(twips);
        }
        target.setTabPositions(tabs);
        target.setProperty(PropTabStops, stored);
    }
}

QTextBlockFormat ToQtBlockFormat(const TParaFormat &format)
{
    QTextBlockFormat result;
    MergeQtBlockFormat(result, format);
    return result;
}

TParaFormat FromQtBlockFormat(const QTextBlockFormat &format)
{
    TParaFormat result;
    result.Mask = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT | PFM_TABSTOPS | PFM_SPACEBEFORE
        | PFM_SPACEAFTER | PFM_LINESPACING;
    Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignJustify)
        result.Alignment = PFA_JUSTIFY;
    else if (alignment & Qt::AlignHCenter)
        result.Alignment = PFA_CENTER;
    else if (alignment & Qt::AlignRight)
        result.Alignment = PFA_RIGHT;
    else
        result.Alignment = PFA_LEFT;
    result.Offset = StoredTwips(format, PropOffset, -format.textIndent());
    int left = StoredTwips(format, PropStartIndent, format.leftMargin() + format.textIndent());
    result.StartIndent = left;
    result.RightIndent = StoredTwips(format, PropRightIndent, format.rightMargin());
    result.SpaceBefore = StoredTwips(format, PropSpaceBefore, format.topMargin());
    result.SpaceAfter = StoredTwips(format, PropSpaceAfter, format.bottomMargin());
    int rule = format.intProperty(PropLineSpacingRule);
    int spacing = format.intProperty(PropLineSpacing);
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (rule == 5 && std::lround(format.lineHeight()) == std::max(1, spacing) * 5) {
            result.LineSpacingRule = 5;
            result.LineSpacing = spacing;
        } else {
            result.LineSpacingRule = 5;
            result.LineSpacing = int(std::lround(format.lineHeight() / 5.0));
            if (result.LineSpacing == 30 || result.LineSpacing == 40) {
                result.LineSpacingRule = result.LineSpacing == 30 ? 1 : 2;
                result.LineSpacing = 0;
            }
        }
        break;
    case QTextBlockFormat::MinimumHeight:
    case QTextBlockFormat::FixedHeight:
        result.LineSpacingRule = format.lineHeightType() == QTextBlockFormat::MinimumHeight ? 3 : 4;
        result.LineSpacing = StoredTwips(format, PropLineSpacing, format.lineHeight());
        break;
    default:
        result.LineSpacingRule = 0;
        result.LineSpacing = 0;
        break;
    }
    QVariantList stored = format.property(PropTabStops).toList();
    QList<QTextOption::Tab> tabs = format.tabPositions();
    // A paragraph without tabs has its stops only in the record.
    if (stored.size() == tabs.size() || tabs.isEmpty()) {
        for (const QVariant &v : stored)
            result.TabStops.append(v.toInt());
    } else {
        for (const QTextOption::Tab &tab : tabs)
            result.TabStops.append(PixelsToTwips(tab.position));
    }
    return result;
}
