#include "RichDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace {

constexpr QChar ParagraphSeparator(0x2029);
constexpr int MaxFaceName = 31;
constexpr int NoLimit = 0x7FFFFFFF;

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

bool IsFreshDocument(const QTextDocument *doc) { return doc->blockCount() == 1 && doc->characterCount() == 1; }

} // namespace

// ---------------------------------------------------------------- document

struct TRichDocument::TPrivate {
    QTextDocument *doc = nullptr;
    QTextCursor cursor;
    QTextCharFormat defaultChar;
    QTextBlockFormat defaultBlock;
    int textLimit = NoLimit;
    bool appendedSinceClear = false;
    bool endMarker = false;

    // Bulk building: a detached document, the text not yet inserted and its format.
    QTextDocument *bulkDoc = nullptr;
    QTextCursor bulkCursor;
    QString pending;
    QTextCharFormat pendingFormat;
    QTextBlockFormat bulkBlockFormat;
    bool bulkFirst = true;

    QTextDocument *NewDocument(QObject *owner) const
    {
        auto *result = new QTextDocument(owner);
        if (doc) {
            result->setDefaultFont(doc->defaultFont());
            result->setDocumentMargin(doc->documentMargin());
            result->setDefaultTextOption(doc->defaultTextOption());
            result->setIndentWidth(doc->indentWidth());
            result->setUseDesignMetrics(doc->useDesignMetrics());
            // The page size of the shown document: the new one is first laid
            // out when the box takes it, and without its width a paragraph
            // would be laid out as one unwrapped line.
            result->setPageSize(doc->pageSize());
        }
        return result;
    }

    // The document whole-text operations and appends go to.
    QTextDocument *Target() const { return bulkDoc ? bulkDoc : doc; }

    void FlushPending()
    {
        if (!pending.isEmpty()) {
            bulkCursor.insertText(pending, pendingFormat);
            pending.clear();
        }
    }

    void AddPending(QStringView text, const QTextCharFormat &format)
    {
        if (text.isEmpty())
            return;
        if (pending.isEmpty()) {
            pendingFormat = format;
        } else if (!(format == pendingFormat)) {
            FlushPending();
            pendingFormat = format;
        }
        pending += text;
    }
};

namespace {

// Keeps the modified flag as it was: only the user's edits set it.
class TKeepModified {
public:
    explicit TKeepModified(QTextDocument *doc) : Doc(doc), Was(doc->isModified()) {}
    ~TKeepModified()
    {
        if (Doc->isModified() != Was)
            Doc->setModified(Was);
    }

private:
    QTextDocument *Doc;
    bool Was;
};

} // namespace

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
}

TRichDocument::~TRichDocument() { delete d; }

QTextDocument *TRichDocument::Document() const { return d->doc; }

// ---------------------------------------------------------------- text

int TRichDocument::GetTextLength() const
{
    // characterCount() includes the final paragraph separator; every other
    // separator counts twice.
    return d->doc->characterCount() - 1 + d->doc->blockCount() - 1;
}

QString TRichDocument::GetText() const { return FromQtParagraphs(d->doc->toRawText()); }

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
    QString text = FromQtParagraphs(c.selectedText());
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
    // Largest block number b whose first character (b's Qt position + b) is
    // at or before position; findBlockByNumber is logarithmic.
    int low = 0, high = doc->blockCount() - 1;
    while (low < high) {
        int mid = low + (high - low + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= position)
            low = mid;
        else
            high = mid - 1;
    }
    QTextBlock block = doc->findBlockByNumber(low);
    int inBlock = position - (block.position() + low);
    return block.position() + std::min(inBlock, block.length() - 1);
}

int TRichDocument::FromQtPosition(int qtPosition) const
{
    qtPosition = std::clamp(qtPosition, 0, d->doc->characterCount() - 1);
    QTextBlock block = d->doc->findBlock(qtPosition);
    return qtPosition + (block.isValid() ? block.blockNumber() : 0);
}

int TRichDocument::ParagraphStart(int paragraph) const
{
    if (paragraph <= 0)
        return 0;
    if (paragraph >= d->doc->blockCount())
        return GetTextLength();
    return d->doc->findBlockByNumber(paragraph).position() + paragraph;
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

QString TRichDocument::SelectedText() const { return FromQtParagraphs(d->cursor.selectedText()); }

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

// ---------------------------------------------------------------- bulk

void TRichDocument::BeginBulk()
{
    if (d->bulkDoc)
        return;
    d->bulkDoc = d->NewDocument(this);
    d->bulkDoc->setUndoRedoEnabled(false);
    d->bulkCursor = QTextCursor(d->bulkDoc);
    d->bulkBlockFormat = d->defaultBlock;
    d->bulkCursor.setBlockFormat(d->defaultBlock);
    d->bulkCursor.setBlockCharFormat(d->defaultChar);
    // The whole build is one edit block: inside it a cursor does not lay out
    // the block it writes into after each insertion (to find its x position),
    // which would make every insertion into a long paragraph cost as much as
    // the paragraph so far.
    d->bulkCursor.beginEditBlock();
    d->pending.clear();
    d->pendingFormat = d->defaultChar;
    d->bulkFirst = true;
}

void TRichDocument::EndBulk()
{
    if (!d->bulkDoc)
        return;
    d->FlushPending();
    d->bulkCursor.endEditBlock();
    QTextDocument *old = d->doc;
    d->doc = d->bulkDoc;
    d->bulkDoc = nullptr;
    d->bulkCursor = QTextCursor();
    d->doc->setUndoRedoEnabled(true);
    d->doc->setModified(false);
    d->cursor = QTextCursor(d->doc);
    d->appendedSinceClear = !d->bulkFirst;
    emit DocumentReplaced(d->doc);
    emit SelectionChangedByProgram();
    old->deleteLater();
}

bool TRichDocument::InBulk() const { return d->bulkDoc != nullptr; }

QTextCursor TRichDocument::BulkCursor()
{
    if (!d->bulkDoc)
        return QTextCursor();
    d->FlushPending();
    d->bulkFirst = false;
    QTextCursor cursor(d->bulkDoc);
    cursor.movePosition(QTextCursor::End);
    return cursor;
}

namespace {

// Paragraph text without breaks of its own: a break inside would shift every
// later position.
QString SingleParagraph(const QString &text)
{
    QString clean = text;
    if (clean.contains(QLatin1Char('\r')) || clean.contains(QLatin1Char('\n')) || clean.contains(ParagraphSeparator)) {
        clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        clean.replace(ParagraphSeparator, QLatin1Char(' '));
    }
    return clean;
}

// Cuts a paragraph at the run boundaries and hands each piece with its
// format (base, then every run covering it merged in the runs' order) to
// sink. One sweep over the sorted boundaries, keeping the runs that cover
// the current piece: the cost grows with the text and the number of runs,
// not with their product, however many quotes a long paragraph holds.
template<typename Sink>
void ForEachRunPiece(const QString &text, const QTextCharFormat &base, const QVector<TFormatRun> &runs, Sink sink)
{
    if (runs.isEmpty()) {
        sink(QStringView(text), base);
        return;
    }
    const int n = text.size();
    struct TBoundary {
        int At;
        int Run; // index into runs
        bool Starts;
    };
    std::vector<TBoundary> boundaries;
    boundaries.reserve(runs.size() * 2);
    std::vector<QTextCharFormat> formats(runs.size());
    for (int i = 0; i < runs.size(); ++i) {
        const TFormatRun &run = runs.at(i);
        const int start = std::clamp(run.Start, 0, n);
        const int end = std::clamp(run.Start + std::max(0, run.Length), 0, n);
        // Every boundary cuts, even that of a run without a format.
        boundaries.push_back(TBoundary{start, i, end > start && run.Format.Mask != 0});
        boundaries.push_back(TBoundary{end, i, false});
        if (run.Format.Mask)
            formats[i] = ToQtCharFormat(run.Format);
    }
    std::sort(boundaries.begin(), boundaries.end(), [](const TBoundary &a, const TBoundary &b) { return a.At < b.At; });
    std::vector<int> covering; // indexes of the runs over the current piece, in order
    int from = 0;
    size_t next = 0;
    while (from < n) {
        // The runs that end here stop covering, those that start here begin.
        for (; next < boundaries.size() && boundaries[next].At <= from; ++next) {
            const TBoundary &boundary = boundaries[next];
            const auto at = std::lower_bound(covering.begin(), covering.end(), boundary.Run);
            if (boundary.Starts)
                covering.insert(at, boundary.Run);
            else if (at != covering.end() && *at == boundary.Run)
                covering.erase(at);
        }
        const int to = next < boundaries.size() ? boundaries[next].At : n;
        QTextCharFormat format = base;
        for (int run : covering)
            format.merge(formats[run]);
        sink(QStringView(text).mid(from, to - from), format);
        from = to;
    }
}

} // namespace

void TRichDocument::AppendParagraph(const QString &text, const TCharFormat *charFormat, const TParaFormat *paraFormat,
                                    const QVector<TFormatRun> &runs)
{
    QTextBlockFormat block = d->defaultBlock;
    if (paraFormat && paraFormat->Mask)
        MergeQtBlockFormat(block, *paraFormat);
    QTextCharFormat base = d->defaultChar;
    if (charFormat && charFormat->Mask)
        base.merge(ToQtCharFormat(*charFormat));
    const QString clean = SingleParagraph(text);

    if (!d->bulkDoc) {
        // Outside a bulk build the paragraph goes to the shown document as one edit.
        TKeepModified keep(d->doc);
        QTextCursor c(d->doc);
        c.movePosition(QTextCursor::End);
        c.beginEditBlock();
        if (!d->appendedSinceClear && IsFreshDocument(d->doc)) {
            c.setBlockFormat(block);
            c.setBlockCharFormat(base);
        } else {
            c.insertBlock(block, base);
        }
        ForEachRunPiece(clean, base, runs, [&c](QStringView piece, const QTextCharFormat &format) {
            c.insertText(piece.toString(), format);
        });
        c.endEditBlock();
        d->appendedSinceClear = true;
        return;
    }

    // Bulk: consecutive text of one format is inserted by a single
    // insertText, paragraph separators included; a block format is set only
    // where it differs from the previous paragraph's.
    // The separator that starts the new block carries the block's own
    // character format (it sets the height of an empty paragraph).
    if (!d->bulkFirst)
        d->AddPending(QStringView(&ParagraphSeparator, 1), base);
    if (d->bulkFirst || !(block == d->bulkBlockFormat)) {
        d->FlushPending();
        d->bulkCursor.setBlockFormat(block);
        d->bulkBlockFormat = block;
    }
    if (d->bulkFirst)
        d->bulkCursor.setBlockCharFormat(base);
    d->bulkFirst = false;
    ForEachRunPiece(clean, base, runs,
                    [this](QStringView piece, const QTextCharFormat &format) { d->AddPending(piece, format); });
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
    // accented letters stay distinct from plain ones.
    QTextCursor found;
    if (forward) {
        found = d->doc->find(text, qtFrom);
        if (found.isNull() || found.selectionEnd() > qtTo)
            return -1;
    } else {
        // A backward match starts before qtTo but may end past it: look
        // further back until one fits.
        int at = qtTo;
        for (;;) {
            found = d->doc->find(text, at, QTextDocument::FindBackward);
            if (found.isNull() || found.selectionStart() < qtFrom)
                return -1;
            if (found.selectionEnd() <= qtTo)
                break;
            at = found.selectionStart();
        }
    }
    return FromQtPosition(found.selectionStart());
}
