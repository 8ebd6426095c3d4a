#include "RichDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <cmath>

#include "RichDocumentPrivate.h"

namespace {

// Normalises CR LF, CR and LF to Qt's paragraph separator.
QString ToQtParagraphs(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            result.append(ParagraphSeparator);
        } else if (c == QLatin1Char('\n')) {
            result.append(ParagraphSeparator);
        } else {
            result.append(c);
        }
    }
    return result;
}

QString FromQtParagraphs(QString text) { return text.replace(ParagraphSeparator, QStringLiteral("\r\n")); }

// The Qt positions of the characters `c` in [from, to).
std::vector<int> CharactersIn(const QTextDocument *doc, QChar c, int from, int to)
{
    std::vector<int> found;
    to = std::min(to, doc->characterCount() - 1);
    for (QTextBlock block = doc->findBlock(std::max(0, from)); block.isValid() && block.position() < to;
         block = block.next()) {
        const QString text = block.text();
        const int start = std::max(0, from - block.position());
        const int end = std::min(int(text.size()), to - block.position());
        for (int i = start; i < end; ++i)
            if (text.at(i) == c)
                found.push_back(block.position() + i);
    }
    return found;
}

// A search for a text in which soft hyphens may stand between any two
// characters and a space may be held as a no-break space.
QRegularExpression AcrossSoftHyphens(const QString &text)
{
    QString pattern;
    for (int i = 0; i < text.size(); ++i) {
        if (i > 0 && !text.at(i).isLowSurrogate())
            pattern += QStringLiteral("\\x{AD}*");
        if (text.at(i) == QLatin1Char(' '))
            pattern += QStringLiteral("[ \\x{A0}]");
        else
            pattern += QRegularExpression::escape(text.mid(i, text.at(i).isHighSurrogate() ? 2 : 1));
        if (text.at(i).isHighSurrogate())
            ++i;
    }
    return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption);
}
// Puts `by` in place of the character at a Qt position, in its format.
void ReplaceCharacter(QTextCursor &cursor, int position, QChar by)
{
    if (cursor.document()->characterAt(position) == by)
        return;
    cursor.setPosition(position + 1);
    const QTextCharFormat format = cursor.charFormat();
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    cursor.insertText(QString(by), format);
}
} // namespace

void TakeOutLineBreaking(QTextDocument &copy, const TSoftHyphens &marks)
{
    if (marks.IsEmpty() && marks.Held().empty())
        return;
    QTextCursor cursor(&copy);
    cursor.beginEditBlock();
    for (int position : marks.Held())
        ReplaceCharacter(cursor, position, QLatin1Char(' '));
    const std::vector<int> &hyphens = marks.All();
    for (auto it = hyphens.rbegin(); it != hyphens.rend(); ++it) {
        cursor.setPosition(*it);
        cursor.deleteChar();
    }
    cursor.endEditBlock();
}

// ---------------------------------------------------------------- document

TProgramEdit::TProgramEdit(TRichDocument &document)
    : Cursor(document.Document()), WasModified(document.Document()->isModified())
{
    Cursor.beginEditBlock();
}

TProgramEdit::~TProgramEdit()
{
    Cursor.endEditBlock();
    QTextDocument *doc = Cursor.document();
    if (doc && doc->isModified() != WasModified)
        doc->setModified(WasModified);
}

TRichDocument::TRichDocument(QObject *parent) : QObject(parent), d(new TPrivate)
{
    d->doc = d->NewDocument(this);
    d->cursor = QTextCursor(d->doc);
    Attach(d->doc);
}

void TRichDocument::Attach(QTextDocument *document)
{
    // Before any other listener, so none of them sees positions the
    // change has not moved yet.
    connect(document, &QTextDocument::contentsChange, this, &TRichDocument::OnContentsChange);
    // A document given its layout tells of all its text as inserted.
    connect(document, &QTextDocument::documentLayoutChanged, this, [this] { d->layoutNotice = true; });
}

void TRichDocument::OnContentsChange(int from, int removed, int added)
{
    if (sender() != d->doc)
        return;
    if (d->layoutNotice) {
        d->layoutNotice = false;
        if (from == 0 && removed == 0)
            return;
    }
    if (!d->hyphenated || d->ownEdit)
        return;
    d->softHyphens.Changed(from, removed, added, CharactersIn(d->doc, SoftHyphen, from, from + added),
                           removed == added && !d->softHyphens.Held().empty()
                               ? CharactersIn(d->doc, QChar::Nbsp, from, from + added)
                               : std::vector<int>());
}

TRichDocument::~TRichDocument() { delete d; }

QTextDocument *TRichDocument::Document() const { return d->doc; }

// ---------------------------------------------------------------- text

int TRichDocument::GetTextLength() const
{
    // characterCount() includes the final paragraph separator; every other
    // separator counts twice.
    return d->doc->characterCount() - 1 + d->doc->blockCount() - 1 - d->softHyphens.Count();
}

QString TRichDocument::GetText() const { return FromQtParagraphs(d->softHyphens.Strip(d->doc->toRawText(), 0)); }

QString TRichDocument::GetTextRange(int start, int end) const
{
    int length = GetTextLength();
    start = std::clamp(start, 0, length);
    end = std::clamp(end, 0, length);
    if (end <= start)
        return QString();
    QTextCursor c(d->doc);
    c.setPosition(ToQtPosition(start));
    c.setPosition(ToQtPosition(end), QTextCursor::KeepAnchor);
    QString text = FromQtParagraphs(d->softHyphens.Strip(c.selectedText(), c.selectionStart()));
    // A boundary on the LF half of a break maps to the end of its block.
    if (FromQtPosition(ToQtPosition(start)) != start && text.startsWith(QLatin1Char('\r')))
        text.remove(0, 1);
    if (FromQtPosition(ToQtPosition(end)) != end)
        text.append(QLatin1Char('\r'));
    return text;
}

int TRichDocument::ParagraphCount() const { return d->doc->blockCount(); }

void TRichDocument::Clear()
{
    d->ResetSoftHyphens();
    TKeepModified keep(d->doc);
    d->doc->clear();
    QTextCursor c(d->doc);
    c.setBlockFormat(d->defaultBlock);
    c.setBlockCharFormat(d->defaultChar);
    // The fresh block is not laid out when its formats did not change.
    d->doc->markContentsDirty(0, d->doc->characterCount());
    d->cursor = QTextCursor(d->doc);
    d->appendedSinceClear = false;
    d->endMarker = false;
    emit SelectionChangedByProgram();
}

void TRichDocument::SetPlainText(const QString &text)
{
    bool undo = d->doc->isUndoRedoEnabled();
    d->doc->setUndoRedoEnabled(false);
    Clear();
    {
        TKeepModified keep(d->doc);
        QTextCursor c(d->doc);
        const QScopedValueRollback<bool> own(d->ownEdit, true);
        c.insertText(ToQtParagraphs(text), d->defaultChar);
        d->appendedSinceClear = true;
    }
    d->doc->setUndoRedoEnabled(undo);
    d->cursor = QTextCursor(d->doc);
    d->doc->setModified(false);
    emit SelectionChangedByProgram();
}

void TRichDocument::AppendText(const QString &text)
{
    if (d->bulkDoc) {
        const QStringList paragraphs = ToQtParagraphs(text).split(ParagraphSeparator);
        for (const QString &p : paragraphs)
            AppendParagraph(p);
        return;
    }
    TKeepModified keep(d->doc);
    QTextCursor c(d->doc);
    const QScopedValueRollback<bool> own(d->ownEdit, true);
    c.movePosition(QTextCursor::End);
    c.beginEditBlock();
    if (!d->appendedSinceClear && IsFreshDocument(d->doc)) {
        c.setBlockFormat(d->defaultBlock);
        c.setBlockCharFormat(d->defaultChar);
    } else {
        c.insertBlock(d->defaultBlock, d->defaultChar);
    }
    c.insertText(ToQtParagraphs(text), d->defaultChar);
    c.endEditBlock();
    d->appendedSinceClear = true;
}

QString TRichDocument::ToPlainTextCrLf() const
{
    QString text = GetText();
    if (text.isEmpty() && d->doc->blockCount() == 1)
        return text;
    // A line break inside a paragraph has no character of its own in a
    // text file.
    if (text.contains(QChar::LineSeparator))
        text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    if (!text.endsWith(QLatin1String("\r\n")))
        text += QLatin1String("\r\n");
    return text;
}

bool TRichDocument::IsModified() const { return d->doc->isModified(); }

void TRichDocument::SetModified(bool modified) { d->doc->setModified(modified); }

void TRichDocument::SetEndMarker(bool present) { d->endMarker = present && d->doc->blockCount() > 1; }

bool TRichDocument::HasEndMarker() const { return d->endMarker && d->doc->blockCount() > 1; }

int TRichDocument::BookTextEnd() const
{
    if (!HasEndMarker())
        return GetTextLength();
    QTextBlock block = d->doc->lastBlock().previous();
    while (block.isValid() && block.text().trimmed().isEmpty())
        block = block.previous();
    return block.isValid() ? FromQtPosition(block.position() + block.length() - 1) : 0;
}

int TRichDocument::EditableEnd() const
{
    if (!HasEndMarker())
        return GetTextLength();
    const QTextBlock before = d->doc->lastBlock().previous();
    return FromQtPosition(before.position() + before.length() - 1);
}

void TRichDocument::SetTextLimit(int limit) { d->textLimit = limit <= 0 ? NoLimit : limit; }

int TRichDocument::TextLimit() const { return d->textLimit; }

int TRichDocument::FindBookmark(const QString &name) const
{
    if (name.isEmpty())
        return -1;
    const QString start = QLatin1Char('+') + name;
    for (QTextBlock block = d->doc->begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && fragment.charFormat().property(PropBookmarks).toStringList().contains(start))
                return FromQtPosition(fragment.position());
        }
        if (block.blockFormat().property(PropBookmarksAtEnd).toStringList().contains(start))
            return FromQtPosition(block.position() + block.length() - 1);
    }
    return -1;
}

// ---------------------------------------------------------------- positions

int TRichDocument::ToQtPosition(int position) const
{
    if (position <= 0)
        return 0;
    const QTextDocument *doc = d->doc;
    const TSoftHyphens &hyphens = d->softHyphens;
    // The position of block b's first character: its Qt position, plus one
    // for each break before it, less the soft hyphens before it.
    auto blockStart = [&](int b) {
        const int qt = doc->findBlockByNumber(b).position();
        return qt + b - (hyphens.IsEmpty() ? 0 : hyphens.CountBefore(qt));
    };
    // Largest block number whose first character is at or before position;
    // findBlockByNumber is logarithmic.
    int low = 0, high = doc->blockCount() - 1;
    while (low < high) {
        int mid = low + (high - low + 1) / 2;
        if (blockStart(mid) <= position)
            low = mid;
        else
            high = mid - 1;
    }
    QTextBlock block = doc->findBlockByNumber(low);
    const int textEnd = block.position() + block.length() - 1;
    const int visible = block.length() - 1 - (hyphens.IsEmpty() ? 0 : hyphens.CountIn(block.position(), textEnd));
    const int inBlock = std::min(position - blockStart(low), visible);
    if (hyphens.IsEmpty())
        return block.position() + inBlock;
    return std::min(hyphens.QtPositionInBlock(block.position(), inBlock), textEnd);
}

int TRichDocument::FromQtPosition(int qtPosition) const
{
    qtPosition = std::clamp(qtPosition, 0, d->doc->characterCount() - 1);
    QTextBlock block = d->doc->findBlock(qtPosition);
    const int hidden = d->softHyphens.IsEmpty() ? 0 : d->softHyphens.CountBefore(qtPosition);
    return qtPosition + (block.isValid() ? block.blockNumber() : 0) - hidden;
}

int TRichDocument::ParagraphStart(int paragraph) const
{
    if (paragraph <= 0)
        return 0;
    if (paragraph >= d->doc->blockCount())
        return GetTextLength();
    return FromQtPosition(d->doc->findBlockByNumber(paragraph).position());
}

// ---------------------------------------------------------------- hyphenation

void TRichDocument::SetHyphenation(THyphenBreaks breaks) { d->hyphenate = std::move(breaks); }

bool TRichDocument::HasSoftHyphens() const { return !d->softHyphens.IsEmpty(); }

const TSoftHyphens &TRichDocument::SoftHyphens() const { return d->softHyphens; }

QString TRichDocument::BookText(const QString &qtText, int qtStart) const
{
    return d->softHyphens.Strip(qtText, qtStart);
}

bool TRichDocument::DropSoftHyphens(int qtFrom, int qtTo)
{
    const std::vector<int> &all = d->softHyphens.All();
    const auto first = std::lower_bound(all.begin(), all.end(), qtFrom);
    const auto last = std::lower_bound(first, all.end(), qtTo);
    return DropSoftHyphensAt(std::vector<int>(first, last));
}

bool TRichDocument::DropSoftHyphensAt(const std::vector<int> &qtPositions)
{
    return ChangeLineBreaks(0, 0, {}, qtPositions);
}

bool TRichDocument::ChangeLineBreaks(int qtFrom, int qtTo, const std::vector<int> &hold, const std::vector<int> &drop)
{
    std::vector<int> gone;
    gone.reserve(drop.size());
    for (int position : drop)
        if (d->softHyphens.Contains(position) && (gone.empty() || gone.back() < position))
            gone.push_back(position);
    // Spaces to hold and held ones to set free.
    const std::vector<int> &held = d->softHyphens.Held();
    const auto heldFirst = std::lower_bound(held.begin(), held.end(), qtFrom);
    const auto heldLast = std::lower_bound(heldFirst, held.end(), qtTo);
    std::vector<int> freed, holds;
    std::set_difference(heldFirst, heldLast, hold.begin(), hold.end(), std::back_inserter(freed));
    for (int position : hold)
        if (position >= qtFrom && position < qtTo && (holds.empty() || holds.back() < position)
            && (d->doc->characterAt(position) == QLatin1Char(' ') || d->softHyphens.IsHeld(position)))
            holds.push_back(position);
    const bool sameHeld = holds.size() == size_t(heldLast - heldFirst) && std::equal(holds.begin(), holds.end(), heldFirst);
    if (gone.empty() && sameHeld)
        return false;
    {
        TKeepModified keep(d->doc);
        const QScopedValueRollback<bool> own(d->ownEdit, true);
        QTextCursor c(d->doc);
        c.beginEditBlock();
        for (int position : freed)
            ReplaceCharacter(c, position, QLatin1Char(' '));
        for (int position : holds)
            ReplaceCharacter(c, position, QChar::Nbsp);
        for (auto it = gone.rbegin(); it != gone.rend(); ++it) {
            c.setPosition(*it);
            c.deleteChar();
        }
        c.endEditBlock();
    }
    if (!sameHeld)
        d->softHyphens.SetHeld(qtFrom, qtTo, holds);
    d->softHyphens.RemovedAt(gone);
    return true;
}

// ---------------------------------------------------------------- selection

void TRichDocument::SetSelection(int start, int length)
{
    int total = GetTextLength();
    start = std::clamp(start, 0, total);
    int end = (length < 0 || length > total - start) ? total : start + length;
    d->cursor.setPosition(ToQtPosition(start));
    d->cursor.setPosition(ToQtPosition(end), QTextCursor::KeepAnchor);
    emit SelectionChangedByProgram();
}

void TRichDocument::SelectAll()
{
    d->cursor.select(QTextCursor::Document);
    emit SelectionChangedByProgram();
}

void TRichDocument::CollapseSelection()
{
    d->cursor.setPosition(d->cursor.selectionStart());
    emit SelectionChangedByProgram();
}

int TRichDocument::SelectionStart() const { return FromQtPosition(d->cursor.selectionStart()); }

int TRichDocument::SelectionLength() const
{
    return FromQtPosition(d->cursor.selectionEnd()) - FromQtPosition(d->cursor.selectionStart());
}

QString TRichDocument::SelectedText() const
{
    return FromQtParagraphs(d->softHyphens.Strip(d->cursor.selectedText(), d->cursor.selectionStart()));
}

QTextCursor TRichDocument::Cursor() const { return d->cursor; }

void TRichDocument::SetCursor(const QTextCursor &cursor)
{
    if (cursor.document() == d->doc)
        d->cursor = cursor;
}

// ---------------------------------------------------------------- formats

void TRichDocument::SetCharFormat(const TCharFormat &format, bool wholeText)
{
    if (format.Mask == 0)
        return;
    QTextCharFormat qt = ToQtCharFormat(format);
    if (wholeText) {
        d->defaultChar.merge(qt);
        if (d->bulkDoc) {
            d->FlushPending();
            d->pendingFormat.merge(qt);
        }
        QTextDocument *doc = d->Target();
        TKeepModified keep(doc);
        QTextCursor c(doc);
        c.beginEditBlock();
        c.select(QTextCursor::Document);
        c.mergeCharFormat(qt);
        // An empty document has no characters: its first block carries the format.
        c.movePosition(QTextCursor::Start);
        if (IsFreshDocument(doc))
            c.mergeBlockCharFormat(qt);
        c.endEditBlock();
        if (doc == d->doc && !d->cursor.hasSelection())
            d->cursor.mergeCharFormat(qt);
    } else {
        TKeepModified keep(d->doc);
        d->cursor.mergeCharFormat(qt);
    }
}

TCharFormat TRichDocument::GetCharFormat() const
{
    QTextCursor c(d->doc);
    c.setPosition(d->cursor.selectionStart());
    if (d->cursor.hasSelection() && !c.atBlockEnd())
        c.movePosition(QTextCursor::NextCharacter);
    QTextCharFormat format = c.charFormat();
    QFont font = d->doc->defaultFont();
    if (!format.hasProperty(QTextFormat::FontFamilies) && !format.hasProperty(QTextFormat::FontFamily))
        format.setFontFamilies(QStringList{font.family()});
    if (!format.hasProperty(QTextFormat::FontPointSize))
        format.setFontPointSize(font.pointSizeF() > 0 ? font.pointSizeF() : 9);
    return FromQtCharFormat(format);
}

void TRichDocument::SetParaFormat(const TParaFormat &format, bool wholeText)
{
    if (format.Mask == 0)
        return;
    QTextDocument *doc = wholeText ? d->Target() : d->doc;
    if (wholeText) {
        MergeQtBlockFormat(d->defaultBlock, format);
        if (d->bulkDoc) {
            d->FlushPending();
            MergeQtBlockFormat(d->bulkBlockFormat, format);
        }
    }
    TKeepModified keep(doc);
    QTextCursor c(doc);
    if (wholeText) {
        c.select(QTextCursor::Document);
    } else {
        c.setPosition(d->cursor.selectionStart());
        c.setPosition(d->cursor.selectionEnd(), QTextCursor::KeepAnchor);
    }
    c.beginEditBlock();
    uint32_t indent = format.Mask & (PFM_STARTINDENT | PFM_OFFSET);
    if (indent && indent != (PFM_STARTINDENT | PFM_OFFSET)) {
        // Start indent and offset share Qt's margin and indent: each block
        // keeps its own value of the member that is not given.
        QTextBlock block = doc->findBlock(c.selectionStart());
        QTextBlock last = doc->findBlock(c.selectionEnd());
        for (;; block = block.next()) {
            QTextBlockFormat merged = block.blockFormat();
            MergeQtBlockFormat(merged, format);
            QTextCursor bc(block);
            bc.setBlockFormat(merged);
            if (block == last || !block.isValid())
                break;
        }
    } else {
        c.mergeBlockFormat(ToQtBlockFormat(format));
    }
    c.endEditBlock();
}

TParaFormat TRichDocument::GetParaFormat() const
{
    return FromQtBlockFormat(d->doc->findBlock(d->cursor.selectionStart()).blockFormat());
}

void TRichDocument::SetSelectionColor(TColor color)
{
    TCharFormat format;
    format.Mask = CFM_COLOR;
    format.TextColor = color;
    SetCharFormat(format, false);
}

void TRichDocument::SetTextColorAll(TColor color)
{
    TCharFormat format;
    format.Mask = CFM_COLOR;
    format.TextColor = color;
    SetCharFormat(format, true);
}

void TRichDocument::SetDefaultFont(const QString &faceName, int points)
{
    QFont font = d->doc->defaultFont();
    if (!faceName.isEmpty())
        font.setFamilies(QStringList{faceName.left(MaxFaceName)});
    if (points > 0)
        font.setPointSize(points);
    d->doc->setDefaultFont(font);
    if (d->bulkDoc)
        d->bulkDoc->setDefaultFont(font);
}
// ---------------------------------------------------------------- search

int TRichDocument::FindText(const QString &text, int from, int to, bool forward) const
{
    if (text.isEmpty())
        return -1;
    int length = GetTextLength();
    from = std::clamp(from, 0, length);
    to = (to < 0 || to > length) ? length : to;
    if (to <= from)
        return -1;
    int qtFrom = ToQtPosition(from);
    int qtTo = ToQtPosition(to);
    // QTextDocument::find compares case-folded characters: case is ignored,
    // accented letters stay distinct from plain ones. Soft hyphens of the
    // document's own may stand inside a word that is looked for.
    const bool across = !d->softHyphens.IsEmpty();
    const QRegularExpression pattern = across ? AcrossSoftHyphens(text) : QRegularExpression();
    auto find = [&](int at, QTextDocument::FindFlags flags) {
        return across ? d->doc->find(pattern, at, flags) : d->doc->find(text, at, flags);
    };
    QTextCursor found;
    if (forward) {
        found = find(qtFrom, {});
        if (found.isNull() || found.selectionEnd() > qtTo)
            return -1;
    } else {
        // A backward match starts before qtTo but may end past it: look
        // further back until one fits.
        int at = qtTo;
        for (;;) {
            found = find(at, QTextDocument::FindBackward);
            if (found.isNull() || found.selectionStart() < qtFrom)
                return -1;
            if (found.selectionEnd() <= qtTo)
                break;
            at = found.selectionStart();
        }
    }
    return FromQtPosition(found.selectionStart());
}
