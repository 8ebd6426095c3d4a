#include "ProfileWorkGroupBox.h"

TProfileWorkGroupBox::TProfileWorkGroupBox(QWidget *parent) : QGroupBox(parent), ClickWatcher(new TButtonClicks(this))
{
    Form.setupUi(this);
    Form.LoadProfileButton->setStatusTip(QStringLiteral(
        "Load a profile. Click [Ctrl + LMB] to load a profile from the default directory for profiles. Click [Shift + "
        "LMB] to load a profile from the parent directory of the currently opened book. The currently opened book is "
        "reopened every time you load a profile."));
    Form.SaveProfileButton->setStatusTip(QStringLiteral(
        "Save the current profile with the desired name. Click [Ctrl + LMB] to save the current profile in the default "
        "directory for profiles. Click [Shift + LMB] to save the current profile as profile for the whole explored "
        "directory (to be automatically opened when you open any book from it and from its immediate children "
        "directories). Click [Alt + LMB] to save the current profile as profile for the currently opened book (to be "
        "automatically opened when you open the book)."));
    Form.DeleteProfileButton->setStatusTip(QStringLiteral(
        "Delete a profile. Click [Ctrl + LMB] to delete a profile from the default directory for profiles. Click "
        "[Shift + LMB] to delete a profile from the parent directory of the currently opened book. Deleting the "
        "current "
        "profile has no effect because it will be automatically saved."));
    ClickWatcher->Watch(Form.LoadProfileButton, LoadButton);
    ClickWatcher->Watch(Form.SaveProfileButton, SaveButton);
    ClickWatcher->Watch(Form.DeleteProfileButton, DeleteButton);
}
