// Opening a book (for now as plain lines, without enhancement), dropped
// files, and the operations that later features fill in.
#include "LecternForm.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeData>
#include <QStringDecoder>

#include "Dialogs.h"
#include "FunStatContext.h"
#include "RichBox.h"

namespace {

constexpr qint64 MaxBookSize = 20000000;

// UTF-8 when the bytes are valid UTF-8, else Windows-1252 (Latin-1 when the
// system has no converter for it).
QString DecodeBookText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp1252("windows-1252");
    if (cp1252.isValid())
        return cp1252.decode(bytes);
    return QString::fromLatin1(bytes);
}

} // namespace

bool TLecternForm::OpenBook(const QString &fileName, bool recordAutoBookmark)
{
    AskSaveIfModified();
    return LoadPlainBook(fileName);
}

bool TLecternForm::LoadPlainBook(const QString &fileName)
{
    FUN_BEGIN("TLecternForm::LoadFromFile");
    bool loaded = false;
    try {
        const QFileInfo info(fileName);
        const QString suffix = info.suffix().toLower();
        QString refusal;
        if (!info.isFile() || (suffix != QLatin1String("txt") && suffix != QLatin1String("rtf")))
            refusal = QStringLiteral("The book is not a valid text file, or it doesn't exist.");
        else if (suffix == QLatin1String("rtf"))
            refusal = QStringLiteral("Opening RTF books is not available yet.");
        else if (info.size() > MaxBookSize)
            refusal = QStringLiteral("You can't open books bigger than ") + QLocale().toString(MaxBookSize)
                + QStringLiteral(" characters.");
        QFile file(fileName);
        if (!refusal.isEmpty()) {
            WarningDialog(refusal);
            FocusRichBox();
        } else if (!file.open(QIODevice::ReadOnly)) {
            FUN_RAISE(QStringLiteral("Failed to load."), fileName, QString(), errno);
        } else {
            const QByteArray bytes = file.readAll();
            if (file.error() != QFileDevice::NoError) {
                FUN_RAISE(QStringLiteral("Failed to load."), fileName, QString(), errno);
            } else {
                QString text = DecodeBookText(bytes);
                text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
                text += QStringLiteral("\n***** End of Book *****");
                RichEdit->LoadPlainText(text);
                RichEdit->PlaceCaret(0);
                RichEdit->SetScrollY(0);
                SetRichEditModified(false);
                RichEdit->show();
                CurrentBookPath = info.absoluteFilePath();
                FocusRichBox();
                InfoTimerTimer();
                loaded = true;
            }
        }
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to load book."));
    return loaded;
}

void TLecternForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TLecternForm::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls())
        return;
    event->acceptProposedAction();
    ProcessDroppedFiles(event->mimeData()->urls());
}

void TLecternForm::ProcessDroppedFiles(const QList<QUrl> &urls)
{
    for (const QUrl &url : urls) {
        if (url.isLocalFile()) {
            OpenBook(url.toLocalFile(), true);
            return;
        }
    }
}

// ---- Operations that later features fill in ------------------------------
// Each is wired to its key or button already and does nothing until then.

void TLecternForm::GoToBookmark(int index) {}
void TLecternForm::GoToAutoBookmark() {}
void TLecternForm::OpenBookshelfButtonClick() {}
void TLecternForm::PutBookshelfButtonClick() {}
void TLecternForm::SaveBookButtonClick() {}
void TLecternForm::OpenBookButtonClick() {}
void TLecternForm::NextPieceButtonClick() {}
void TLecternForm::PreviousPieceButtonClick() {}
bool TLecternForm::SaveFile() { return false; }
bool TLecternForm::LoadLastBookOnStart() { return false; }
void TLecternForm::LoadBrowserOnStart() {}
void TLecternForm::UpdateCurrentFileInfo() {}
void TLecternForm::RebuildBackImages() {}
void TLecternForm::SaveSettingsOnClose() {}
void TLecternForm::StopBackSound() {}
void TLecternForm::RestartBackSound() {}
void TLecternForm::BackSoundTick() {}
void TLecternForm::FeedRandomFromPointer(int x, int y) {}
