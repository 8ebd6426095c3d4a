// TRichDocument: building a document in bulk, paragraph by paragraph.
#include "RichDocumentPrivate.h"

#include <QScopedValueRollback>

#include <algorithm>

namespace {

// A text with a soft hyphen before each break that falls in (offset,
// offset + length]; `hyphens` gets where they are in the result.
QString WithSoftHyphens(QStringView piece, int offset, const QVector<int> &breaks, int &nextBreak,
                        QVector<int> &hyphens)
{
    hyphens.resize(0);
    const int end = offset + int(piece.size());
    while (nextBreak < breaks.size() && breaks.at(nextBreak) <= offset)
        ++nextBreak;
    if (nextBreak >= breaks.size() || breaks.at(nextBreak) > end)
        return piece.toString();
    QString result;
    result.reserve(piece.size() + 8);
    int from = 0;
    for (; nextBreak < breaks.size() && breaks.at(nextBreak) <= end; ++nextBreak) {
        const int at = breaks.at(nextBreak) - offset;
        result.append(piece.mid(from, at - from));
        hyphens.append(int(result.size()));
        result.append(SoftHyphen);
        from = at;
    }
    result.append(piece.mid(from));
    return result;
}

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
    d->bulkHyphens.clear();
    d->pendingHyphens.resize(0);
}

void TRichDocument::EndBulk()
{
    if (!d->bulkDoc)
        return;
    if (d->bulkShown) {
        EndShownBulk();
        return;
    }
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
    d->softHyphens.Assign(std::move(d->bulkHyphens));
    d->bulkHyphens.clear();
    d->hyphenated = !d->softHyphens.IsEmpty();
    Attach(d->doc);
    emit DocumentReplaced(d->doc);
    emit SelectionChangedByProgram();
    old->deleteLater();
}

bool TRichDocument::InBulk() const { return d->bulkDoc != nullptr; }

void TRichDocument::ShowBulk()
{
    if (!d->bulkDoc)
        return;
    if (d->bulkShown) {
        EndShownBulk();
    } else {
        EndBulk();
    }
    BeginShownBulk();
}

// The build goes on at the end of the shown document, as one edit block:
// the box sees the paragraphs added when the block ends.
void TRichDocument::BeginShownBulk()
{
    d->bulkDoc = d->doc;
    d->bulkShown = true;
    d->bulkUndo = d->doc->isUndoRedoEnabled();
    d->doc->setUndoRedoEnabled(false);
    d->bulkCursor = QTextCursor(d->doc);
    d->bulkCursor.movePosition(QTextCursor::End);
    d->bulkBlockFormat = d->bulkCursor.blockFormat();
    d->bulkCursor.beginEditBlock();
    d->pending.clear();
    d->bulkFirst = !d->appendedSinceClear && IsFreshDocument(d->doc);
    d->bulkHyphens.clear();
    d->pendingHyphens.resize(0);
}

void TRichDocument::EndShownBulk()
{
    {
        TKeepModified keep(d->doc);
        // The document's change notice comes now; the soft hyphens it
        // brings are those recorded here.
        const QScopedValueRollback<bool> own(d->ownEdit, true);
        d->FlushPending();
        d->bulkCursor.endEditBlock();
    }
    for (int at : d->bulkHyphens)
        d->softHyphens.Append(at);
    d->hyphenated = d->hyphenated || !d->bulkHyphens.empty();
    d->bulkHyphens.clear();
    d->appendedSinceClear = d->appendedSinceClear || !d->bulkFirst;
    d->doc->setUndoRedoEnabled(d->bulkUndo);
    d->bulkDoc = nullptr;
    d->bulkShown = false;
    d->bulkCursor = QTextCursor();
}

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
    // Qt copies a block's tab stops into the layout of the block; a
    // paragraph without tabs keeps them only as its format's record, so that
    // a long book does not hold them once per paragraph.
    if (!clean.contains(QLatin1Char('\t')))
        block.clearProperty(QTextFormat::TabPositions);
    d->breaks.resize(0);
    if (d->hyphenate)
        d->hyphenate(clean, d->breaks);
    // Each piece of the paragraph with its soft hyphens.
    int offset = 0;
    int nextBreak = 0;
    auto hyphenated = [&](QStringView piece) {
        const QString result = WithSoftHyphens(piece, offset, d->breaks, nextBreak, d->pieceHyphens);
        offset += int(piece.size());
        return result;
    };

    if (!d->bulkDoc) {
        // Outside a bulk build the paragraph goes to the shown document as one edit.
        TKeepModified keep(d->doc);
        const QScopedValueRollback<bool> own(d->ownEdit, true);
        QTextCursor c(d->doc);
        c.movePosition(QTextCursor::End);
        c.beginEditBlock();
        if (!d->appendedSinceClear && IsFreshDocument(d->doc)) {
            c.setBlockFormat(block);
            c.setBlockCharFormat(base);
        } else {
            c.insertBlock(block, base);
        }
        ForEachRunPiece(clean, base, runs, [&](QStringView piece, const QTextCharFormat &format) {
            const QString withHyphens = hyphenated(piece);
            const int at = c.position();
            for (int hyphen : std::as_const(d->pieceHyphens))
                d->softHyphens.Append(at + hyphen);
            c.insertText(withHyphens, format);
        });
        c.endEditBlock();
        d->hyphenated = d->hyphenated || !d->softHyphens.IsEmpty();
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
    ForEachRunPiece(clean, base, runs, [&](QStringView piece, const QTextCharFormat &format) {
        if (d->breaks.isEmpty()) {
            d->AddPending(piece, format);
            return;
        }
        const QString withHyphens = hyphenated(piece);
        d->AddPending(withHyphens, format, &d->pieceHyphens);
    });
}
