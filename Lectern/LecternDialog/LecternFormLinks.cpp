// Web addresses in the book: a left press on one opens it in the system's
// browser (or mail program for mailto: addresses).
#include "LecternForm.h"

#include <QDesktopServices>
#include <QUrl>

#include "FunStatContext.h"
#include "RichBox.h"
#include "RichDocument.h"

void TLecternForm::SetUpLinks()
{
    OpenUrlHandler = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    connect(RichEdit, &TRichBox::LinkClicked, this, &TLecternForm::RichEditLinkClick);
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
