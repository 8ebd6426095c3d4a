#include "RtfSink.h"

#include <algorithm>

bool SameCharFormat(const TCharFormat &a, const TCharFormat &b)
{
    return a.Mask == b.Mask && a.Effects == b.Effects && a.HeightTwips == b.HeightTwips
        && a.SpacingTwips == b.SpacingTwips && a.TextColor == b.TextColor && a.BackColor == b.BackColor
        && a.FaceName == b.FaceName;
}

// Tab stops compared by hand: QList's own comparison hands memcmp a null
// pointer for two empty lists (undefined behaviour in Qt 6.4).
static bool SameTabs(const QVector<int> &a, const QVector<int> &b)
{
    return a.size() == b.size() && (a.isEmpty() || std::equal(a.cbegin(), a.cend(), b.cbegin()));
}

bool SameParaFormat(const TParaFormat &a, const TParaFormat &b)
{
    return a.Mask == b.Mask && a.Alignment == b.Alignment && a.StartIndent == b.StartIndent
        && a.RightIndent == b.RightIndent && a.Offset == b.Offset && a.SpaceBefore == b.SpaceBefore
        && a.SpaceAfter == b.SpaceAfter && a.LineSpacing == b.LineSpacing && a.LineSpacingRule == b.LineSpacingRule
        && SameTabs(a.TabStops, b.TabStops);
}

bool TRtfTextFormat::operator==(const TRtfTextFormat &other) const
{
    return VerticalAlign == other.VerticalAlign && SameCharFormat(Format, other.Format);
}

void TRtfRecordingSink::Text(const QString &text, const TRtfTextFormat &format)
{
    if (!Events.isEmpty() && Events.last().Kind == TKind::Text && Events.last().Format == format) {
        Events.last().Text += text;
        return;
    }
    TEvent event(TKind::Text);
    event.Text = text;
    event.Format = format;
    Events.append(event);
}

void TRtfRecordingSink::ParagraphEnd(const TParaFormat &format, bool inTable)
{
    TEvent event(TKind::Paragraph);
    event.Para = format;
    event.InTable = inTable;
    Events.append(event);
}

void TRtfRecordingSink::CellEnd() { Events.append(TEvent(TKind::Cell)); }

void TRtfRecordingSink::RowEnd(const TParaFormat &format, const QVector<int> &cellRight)
{
    TEvent event(TKind::Row);
    event.Para = format;
    event.CellRight = cellRight;
    Events.append(event);
}

void TRtfRecordingSink::Image(const QByteArray &data, const char *format, int widthTwips, int heightTwips,
                              const TRtfTextFormat &textFormat)
{
    TEvent event(TKind::Image);
    event.Data = data;
    event.ImageFormat = format;
    event.Width = widthTwips;
    event.Height = heightTwips;
    event.Format = textFormat;
    Events.append(event);
}

void TRtfRecordingSink::KeptPicture(const QByteArray &controls, const QByteArray &data, int widthTwips, int heightTwips,
                                    const TRtfTextFormat &textFormat)
{
    TEvent event(TKind::KeptPicture);
    event.Data = data;
    event.ImageFormat = controls;
    event.Width = widthTwips;
    event.Height = heightTwips;
    event.Format = textFormat;
    Events.append(event);
}

void TRtfRecordingSink::Bookmark(const QString &name, bool start)
{
    TEvent event(TKind::Bookmark);
    event.Text = name;
    event.Start = start;
    Events.append(event);
}

void TRtfRecordingSink::LinkBegin(const QString &target)
{
    TEvent event(TKind::LinkBegin);
    event.Text = target;
    Events.append(event);
}

void TRtfRecordingSink::LinkEnd() { Events.append(TEvent(TKind::LinkEnd)); }

void TRtfRecordingSink::DocumentEnd() { Events.append(TEvent(TKind::End)); }

void TRtfRecordingSink::Replay(TRtfSink &sink) const
{
    for (const TEvent &event : Events) {
        switch (event.Kind) {
        case TKind::Text: sink.Text(event.Text, event.Format); break;
        case TKind::Paragraph: sink.ParagraphEnd(event.Para, event.InTable); break;
        case TKind::Cell: sink.CellEnd(); break;
        case TKind::Row: sink.RowEnd(event.Para, event.CellRight); break;
        case TKind::Image:
            sink.Image(event.Data, event.ImageFormat.constData(), event.Width, event.Height, event.Format);
            break;
        case TKind::KeptPicture:
            sink.KeptPicture(event.ImageFormat, event.Data, event.Width, event.Height, event.Format);
            break;
        case TKind::Bookmark: sink.Bookmark(event.Text, event.Start); break;
        case TKind::LinkBegin: sink.LinkBegin(event.Text); break;
        case TKind::LinkEnd: sink.LinkEnd(); break;
        case TKind::End: break;
        }
    }
}

QString TRtfRecordingSink::PlainText() const
{
    QString text;
    for (const TEvent &event : Events) {
        switch (event.Kind) {
        case TKind::Text: text += event.Text; break;
        case TKind::Paragraph:
        case TKind::Row: text += QLatin1Char('\n'); break;
        case TKind::Cell: text += QLatin1Char('\t'); break;
        case TKind::Image:
        case TKind::KeptPicture: text += QChar(QChar::ObjectReplacementCharacter); break;
        default: break;
        }
    }
    return text;
}
