// The private state of TRichDocument, shared by its source files.
#pragma once

#include "RichDocument.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <vector>

constexpr QChar ParagraphSeparator(0x2029);
constexpr int MaxFaceName = 31;
constexpr int NoLimit = 0x7FFFFFFF;

inline bool IsFreshDocument(const QTextDocument *doc) { return doc->blockCount() == 1 && doc->characterCount() == 1; }

struct TRichDocument::TPrivate {
    QTextDocument *doc = nullptr;
    QTextCursor cursor;
    QTextCharFormat defaultChar;
    QTextBlockFormat defaultBlock;
    int textLimit = NoLimit;
    bool appendedSinceClear = false;
    bool endMarker = false;

    // The soft hyphens added for hyphenation: while `hyphenated`, the
    // document's changes move them; the document's own insertions
    // (`ownEdit`) record theirs as they go.
    TSoftHyphens softHyphens;
    bool hyphenated = false;
    bool ownEdit = false;
    bool layoutNotice = false; // the next change is the new layout's notice of the whole text
    TRichDocument::THyphenBreaks hyphenate;
    QVector<int> breaks;
    QVector<int> pieceHyphens;

    // Bulk building: a detached document (or, with bulkShown, the shown one
    // that the build goes on into), the text not yet inserted and its format.
    QTextDocument *bulkDoc = nullptr;
    bool bulkShown = false;
    bool bulkUndo = false; // the shown document's undo, off while the build goes on in it
    QTextCursor bulkCursor;
    QString pending;
    QTextCharFormat pendingFormat;
    QTextBlockFormat bulkBlockFormat;
    bool bulkFirst = true;
    std::vector<int> bulkHyphens; // Qt positions in the bulk document
    QVector<int> pendingHyphens; // offsets into pending

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
            const int at = bulkCursor.position();
            for (int offset : std::as_const(pendingHyphens))
                bulkHyphens.push_back(at + offset);
            pendingHyphens.resize(0);
            bulkCursor.insertText(pending, pendingFormat);
            pending.clear();
        }
    }

    // `hyphens`: where the text holds soft hyphens of its own making.
    void AddPending(QStringView text, const QTextCharFormat &format, const QVector<int> *hyphens = nullptr)
    {
        if (text.isEmpty())
            return;
        if (pending.isEmpty()) {
            pendingFormat = format;
        } else if (!(format == pendingFormat)) {
            FlushPending();
            pendingFormat = format;
        }
        if (hyphens)
            for (int offset : *hyphens)
                pendingHyphens.append(int(pending.size()) + offset);
        pending += text;
    }

    void ResetSoftHyphens()
    {
        softHyphens.Clear();
        hyphenated = false;
    }
};

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
