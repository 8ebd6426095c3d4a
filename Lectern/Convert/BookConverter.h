// Converting a book the way the reader shows it: a plain-text book read
// (whole or one piece), ended with its marker and enhanced; an RTF book
// read as it is. Then written as RTF or plain text.
#pragma once

#include "ConvertOptions.h"

#include <QString>
#include <QStringList>

class TChaptersMenu;
class TEnhancedRichEdit;
class TRichDocument;

// Gives the engine its base format from the options and applies it to the
// whole document, as the window does before enhancing a book.
void ApplyBookFormat(TEnhancedRichEdit &engine, const TBookFormatOptions &format);

// Fills the document with the book. False with a message in `error`. The
// chapters menu of a plain-text book goes to `chapters` when asked for.
bool LoadBookIntoDocument(const TConvertOptions &options, TRichDocument &document, QString &error,
                          QString *chapters = nullptr);

// The menu as "position<TAB>caption" lines in menu order; a submenu is a
// line with its first position and caption, followed by its entries
// indented by two more spaces. Empty without menu.
QString ChaptersMenuText(const TChaptersMenu *menu);

// Writes the document whole or not at all: RTF for a .rtf name, else plain
// text (each paragraph a line ended by CR LF, UTF-8).
bool WriteConvertedBook(const TRichDocument &document, const QString &out, QString &error);

// The sentences of the document as the reader reads them aloud, from its
// start to its end or its end marker. `prefix`: the paragraph prefix in use.
QStringList SpokenSentences(const TRichDocument &document, const QString &prefix);

// The whole command: 0 on success, 1 when the book or the output failed,
// 2 for a command line it does not understand or an output that is the book
// itself (nothing is read or written then). Messages go to stderr.
int RunConvert(const QStringList &arguments);
