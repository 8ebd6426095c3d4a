// The help window: the help document Help.html beside the executable, shown
// at the anchor of a help context ("100" for the main window, "10000" for the
// tips; 0 opens the document at its top).
#pragma once

#include <QString>

class QTextBrowser;

void ShowHelp(int context);
// Shows the help document at path; false (after a warning) when it is missing.
bool ShowHelpFile(const QString &path, int context);
// The help document of the program: GetProgramDirectory() + "Help.html".
QString HelpFilePath();
// The help window's browser, nullptr until help was first shown.
QTextBrowser *HelpBrowser();
