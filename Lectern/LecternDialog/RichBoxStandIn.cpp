#include "RichBoxStandIn.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

TRichBoxStandIn::TRichBoxStandIn(QWidget *parent) : QTextEdit(parent)
{
    setReadOnly(true);
    setAcceptRichText(false);
    setTabChangesFocus(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::WidgetWidth);
    // Keep the selection visible when the focus leaves.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
}

void TRichBoxStandIn::SetPlainLines(const QStringList &lines)
{
    setPlainText(lines.join(QLatin1Char('\n')));
    moveCursor(QTextCursor::Start);
    verticalScrollBar()->setValue(0);
    SetModified(false);
}

bool TRichBoxStandIn::IsModified() const
{
    return document()->isModified();
}

void TRichBoxStandIn::SetModified(bool modified)
{
    document()->setModified(modified);
}

int TRichBoxStandIn::FirstVisibleLine() const
{
    // The line at the top edge of the viewport: the lines of the blocks
    // above it plus the lines of its own block above the edge.
    const QTextCursor top = cursorForPosition(QPoint(0, 0));
    const QTextBlock block = top.block();
    if (!block.isValid())
        return 0;
    int line = 0;
    for (QTextBlock b = document()->begin(); b.isValid() && b != block; b = b.next())
        line += b.layout() ? b.layout()->lineCount() : 1;
    if (const QTextLayout *layout = block.layout()) {
        const QTextLine l = layout->lineForTextPosition(top.positionInBlock());
        if (l.isValid())
            line += l.lineNumber();
    }
    return line;
}

int TRichBoxStandIn::LineCount() const
{
    int count = 0;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        count += (b.layout() && b.layout()->lineCount() > 0) ? b.layout()->lineCount() : 1;
    return count;
}
