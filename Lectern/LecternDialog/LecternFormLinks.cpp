// Links in the book: a left press on a web address opens it in the system's
// browser (or mail program for mailto: addresses); on a link of an RTF
// document, goes to its bookmark or opens its target.
#include "LecternForm.h"

#include <QDesktopServices>
#include <QUrl>

#include "Dialogs.h"
#include "FunStatContext.h"
#include "RichBox.h"
#include "RichDocument.h"
#include "RichEditOps.h"

void TLecternForm::SetUpLinks()
{
    OpenUrlHandler = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    connect(RichEdit, &TRichBox::LinkClicked, this, &TLecternForm::RichEditLinkClick);
    connect(RichEdit, &TRichBox::AnchorClicked, this, &TLecternForm::RichEditAnchorClick);
}

void TLecternForm::RichEditAnchorClick(const QString &href)
{
    if (href.startsWith(QLatin1Char('#'))) {
        const int position = RichEdit->RichDocument()->FindBookmark(href.mid(1));
        if (position >= 0)
            GoToPosition(RichEdit, position);
        else
            BeepDefault(); // a bookmark the document does not have
        return;
    }
    FUN_BEGIN("TLecternForm::NewWindowProc");
    try {
        // A target without a scheme is a file beside the book.
        const QUrl url = QUrl::fromLocalFile(CurrentBookPath).resolved(QUrl(href));
        if (!url.isValid() || !OpenUrlHandler || !OpenUrlHandler(url))
            FUN_RAISE(QStringLiteral("Failed to open site."), href);
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to open site."));
}

void TLecternForm::RichEditLinkClick(int start, int end, const QString &text)
{
    FUN_BEGIN("TLecternForm::NewWindowProc");
    try {
        // The link's range is selected to take its text, then the selection
        // is collapsed again.
        TRichDocument *document = RichEdit->RichDocument();
        document->SetSelection(start, end - start);
        QString address = document->SelectedText().trimmed();
        if (address.isEmpty())
            address = text.trimmed();
        document->CollapseSelection();
        // "www.example.org" has no scheme; fromUserInput gives it http.
        const QUrl url = QUrl::fromUserInput(address);
        if (!url.isValid() || !OpenUrlHandler || !OpenUrlHandler(url))
            FUN_RAISE(QStringLiteral("Failed to open site."), address);
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to open site."));
}
