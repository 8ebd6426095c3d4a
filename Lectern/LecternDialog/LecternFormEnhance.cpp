// The enhancement options that act on the open book at once: the encoding
// it is read in.
#include "LecternForm.h"

#include <QComboBox>

#include <algorithm>

#include "BookFile.h"
#include "ChaptersPopupMenu.h"
#include "OpenBook.h"
#include "ProfileGeneralTabSheet.h"
#include "RichBox.h"
#include "RichEditOps.h"

void TLecternForm::SetUpEnhanceOptions()
{
    // Only the reader's own choice reopens the book, never a profile being shown.
    connect(ProfileGeneralTabSheet->Form.EncodingComboBox, &QComboBox::activated, this,
            [this] { EncodingComboBoxChange(); });
}

TBookEncoding TLecternForm::ChosenEncoding() const
{
    TBookEncoding encoding; // "Automatic": undecided, recognised when read
    EncodingFromName(ProfileGeneralTabSheet->Encoding(), encoding);
    return encoding;
}

void TLecternForm::EncodingComboBoxChange()
{
    if (Loading || CurrentBookPath.isEmpty() || IsRtfBookName(CurrentBookPath) || !HasBookFile()) {
        FocusRichBox();
        return;
    }
    // Edits the reader wants saved, and that were not, keep the book as it is.
    if (!AskSaveIfModified()) {
        ProfileGeneralTabSheet->RestoreEncoding();
        FocusRichBox();
        return;
    }
    ProfileGeneralTabSheet->RememberEncoding();
    // The same place: the same share of the text, since another encoding
    // may read the bytes as more or fewer characters.
    const qint64 position = FirstVisibleCharIndex(RichEdit);
    const qint64 length = std::max(1, GetTextLength(RichEdit));
    Book->SetEncoding(ChosenEncoding());
    BookChapters.reset();
    if (LoadFromFile(QString(), CurrentPiece(), false, 0) && position > 0)
        GoToPosition(RichEdit, int(position * GetTextLength(RichEdit) / length));
    FocusRichBox();
}
