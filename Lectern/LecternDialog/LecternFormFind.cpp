// Find: the next match from the reader's place to the end of the book and
// round from its start, through every piece of a book in pieces, and the
// list of every match of the book.
#include "LecternForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include "BookGroupBox.h"
#include "BookSearch.h"
#include "ConvertOptions.h"
#include "OpenBook.h"
#include "RichBox.h"
#include "RichEditOps.h"

namespace {

// The matches listed at the most; the menu says how many more there are.
constexpr int MaxListedMatches = 200;

const QString SearchingFromStartText = QStringLiteral("Searching from the beginning");

QString NotFoundText(const QString &text) { return QStringLiteral("Not found: ") + text; }

} // namespace

void TLecternForm::FindNext()
{
    QLineEdit *edit = BookGroupBox->Form.FindTextEdit;
    if (edit->text().isEmpty()) {
        ShowOpenTab();
        edit->setFocus();
        return;
    }
    FindInBook(edit->text());
    FocusRichBox();
}

int TLecternForm::FindInPieceShown(const QString &text, int from, int to, int *length)
{
    TRichDocument *doc = RichEdit->RichDocument();
    // The book's own text: the end marker is never a match.
    const QString shown = doc->GetTextRange(0, doc->BookTextEnd());
    const TTextMatch match = FindAcrossLines(shown, text, from, to);
    *length = match.Length;
    return match.Start;
}

bool TLecternForm::ShownEmphasis() const
{
    return EnhanceTextCheckBox->isChecked() && CurrentFormatOptions().MarkupEmphasis;
}

bool TLecternForm::PieceHasText(int piece, const QString &text)
{
    return FindAcrossLines(Book->PieceText(piece, ShownEmphasis()), text).Found();
}

bool TLecternForm::FindInBook(const QString &text)
{
    if (Loading || IsRichEditEmpty(RichEdit))
        return false;
    TRichDocument *doc = RichEdit->RichDocument();
    const int from = doc->SelectionStart() + doc->SelectionLength();
    int length = 0;
    int at = FindInPieceShown(text, from, -1, &length);
    if (at >= 0) {
        ShowMatch(at, length);
        return true;
    }
    const int start = CurrentPiece();
    const int startTop = FirstVisibleCharIndex(RichEdit);
    bool wrapped = false;
    // The first match in a piece other than the one shown: that piece is read.
    auto inPiece = [&](int piece) {
        if (!PieceHasText(piece, text) || !LoadFromFile(QString(), piece, false, 0))
            return false;
        ReaderActed = true;
        at = FindInPieceShown(text, 0, -1, &length);
        return at >= 0;
    };
    bool found = false;
    if (Book->WholeBook()) {
        for (int piece = start + 1; piece <= Book->PieceCount() && !found; ++piece)
            found = inPiece(piece);
    }
    // Round from the beginning: a book read as one book (or in one piece).
    if (!found && CurrentFormatOptions().WholeBookPieces) {
        wrapped = true;
        ShowHintMessage(SearchingFromStartText);
        if (Book->WholeBook()) {
            for (int piece = 1; piece < start && !found; ++piece)
                found = inPiece(piece);
        }
        if (!found) {
            if (CurrentPiece() != start && LoadFromFile(QString(), start, false, 0))
                GoToPosition(RichEdit, startTop);
            at = FindInPieceShown(text, 0, from, &length);
            found = at >= 0;
        }
    }
    if (!found) {
        ShowHintMessage(NotFoundText(text));
        return false;
    }
    ShowMatch(at, length);
    if (wrapped)
        ShowHintMessage(SearchingFromStartText); // a load in between cleared it
    return true;
}

// The match selected, its line neither at the very top nor at the bottom of
// the page: a few lines before it show where it stands.
void TLecternForm::ShowMatch(int start, int length)
{
    const int line = LineFromChar(RichEdit, start);
    const int top = GetFirstVisibleLine(RichEdit);
    const QPoint bottomLeft(0, RichEdit->viewport()->height() - 1);
    const int bottom = LineFromChar(RichEdit, RichEdit->CharFromPos(bottomLeft));
    if (line < top + 1 || line > bottom - 2)
        SetTopLine(RichEdit, std::max(0, line - 3));
    RichEdit->RichDocument()->SetSelection(start, length);
}

void TLecternForm::ShowMatchesMenu()
{
    const QString text = BookGroupBox->Form.FindTextEdit->text();
    if (Loading || text.trimmed().isEmpty() || IsRichEditEmpty(RichEdit))
        return;
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("MatchesMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    int listed = 0;
    int total = 0;
    const bool pieces = Book->WholeBook();
    const int count = pieces ? Book->PieceCount() : 1;
    for (int piece = 1; piece <= count; ++piece) {
        QString searched;
        if (pieces) {
            searched = Book->PieceText(piece, ShownEmphasis());
        } else {
            TRichDocument *doc = RichEdit->RichDocument();
            searched = doc->GetTextRange(0, doc->BookTextEnd());
        }
        int inPiece = 0;
        const QVector<TTextMatch> matches
            = FindAllAcrossLines(searched, text, std::max(0, MaxListedMatches - listed), &inPiece);
        for (int i = 0; i < matches.size(); ++i) {
            const QString caption = (pieces ? QStringLiteral("%1: ").arg(piece) : QString())
                + MatchContext(searched, matches.at(i)).replace(QLatin1Char('&'), QStringLiteral("&&"));
            QAction *action = menu->addAction(caption);
            connect(action, &QAction::triggered, this, [this, piece, i] { GoToMatch(piece, i); });
        }
        listed += int(matches.size());
        total += inPiece;
    }
    if (total == 0) {
        delete menu;
        ShowHintMessage(NotFoundText(text));
        return;
    }
    if (total > listed)
        menu->addAction(QStringLiteral("and %1 more").arg(total - listed))->setEnabled(false);
    QLineEdit *edit = BookGroupBox->Form.FindTextEdit;
    menu->popup(edit->mapToGlobal(edit->rect().bottomLeft()));
}

void TLecternForm::GoToMatch(int piece, int occurrence)
{
    const QString text = BookGroupBox->Form.FindTextEdit->text();
    if (Loading || (Book->WholeBook() && piece != CurrentPiece() && !LoadFromFile(QString(), piece, false, 0)))
        return;
    ReaderActed = true;
    TRichDocument *doc = RichEdit->RichDocument();
    const QString shown = doc->GetTextRange(0, doc->BookTextEnd());
    const QVector<TTextMatch> matches = FindAllAcrossLines(shown, text, occurrence + 1);
    if (!matches.isEmpty())
        ShowMatch(matches.last().Start, matches.last().Length);
    FocusRichBox();
}
