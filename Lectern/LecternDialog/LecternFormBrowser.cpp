// The window's side of the file browser: it owns the browser's history and
// state, gives the "Browser" group its colours and the way to open books, and
// makes the first listings at start-up and when the first book opens.
#include "LecternForm.h"

#include "BrowserGroupBox.h"
#include "FileBrowser.h"
#include "FileOperations.h"
#include "HistoryDialog.h"
#include "Partitions.h"
#include "ProgramOpenTabSheet.h"

void TLecternForm::SetUpBrowser()
{
    BrowserHistory = std::make_unique<THistoryDialog>();
    Browser = std::make_unique<TFileBrowser>(*BrowserHistory);
    BrowserGroupBox = ProgramOpenTabSheet->Form.BrowserGroupBox;
    BrowserGroupBox->Bind(Browser.get(), BrowserHistory.get());
    BrowserGroupBox->OpenBookHandler
        = [this](const QString &path, bool recordAutoBookmark) { return OpenBook(path, recordAutoBookmark); };
    BrowserGroupBox->CurrentBookPath = [this] { return CurrentBookPath; };
    BrowserGroupBox->SetColors(BrowserColorsFromProfile(Profile));
    connect(BrowserGroupBox, &TBrowserGroupBox::HintChanged, this, &TLecternForm::SetApplicationHint);
    // Three places to start from; the user's documents come first in the
    // history's menu.
    BrowserHistory->Add(GetTempPathA());
    BrowserHistory->Add(GetSystemDirectoryPath(FolderCommonDocuments));
    BrowserHistory->Add(GetSystemDirectoryPath(FolderPersonal));
}

void TLecternForm::OpenBookButtonClick() { BrowserGroupBox->OpenBookButtonClick(); }

void TLecternForm::LoadBrowserOnStart() { BrowserGroupBox->LoadBrowserContent(BareDriveOf(CurrentBookPath)); }

void TLecternForm::LoadBrowserAtBook()
{
    if (Browser->Dir().isEmpty())
        BrowserGroupBox->LoadBrowserContent(CurrentBookPath);
}
