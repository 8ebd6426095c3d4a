// Saving the book the reader shows: the file a chosen name becomes, the
// questions asked before it is written, the bytes of each format, and the
// writing itself, whole or not at all. No widgets: the window asks the
// questions and shows the outcome.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class TRichDocument;

enum class TBookSaveFormat { Rtf, PlainText };

struct TBookSaveTarget {
    QString FileName;
    TBookSaveFormat Format = TBookSaveFormat::PlainText;
};

// A name ending in ".rtf" (any case) is saved as RTF under that name. Any
// other name is saved as plain text under the name with ".txt": appended
// when it has no extension, in place of the extension it has otherwise.
TBookSaveTarget BookSaveTarget(const QString &chosenName);

// The chosen name proposed by the save dialog: the book's path without its
// extension.
QString ProposedSaveName(const QString &bookPath);

// What the questions before a save depend on.
struct TBookSaveSituation {
    QString ParagraphPrefix; // of the last enhancement; empty for "None"
    bool CommandsUsed = false; // the book has manual formatting commands
    QString OpenBookPath;
};

// The questions to ask before writing, in order; the save goes on only
// when each is answered Yes. Plain text without a paragraph prefix, plain
// text of a book with formatting commands, a file that exists, the open
// book itself.
QStringList BookSaveQuestions(const TBookSaveTarget &target, const TBookSaveSituation &situation);

QString NoPrefixQuestionText();
QString CommandsQuestionText();
QString BookExistsQuestionText();
QString OverwriteOpenBookQuestionText();

// Whether two names are the same file: when both exist, the same device and
// inode (through symbolic and hard links and any spelling of the path);
// otherwise the same absolute path once cleaned.
bool IsSameFile(const QString &a, const QString &b);

// Marks the document's last paragraph as the end marker (see
// TRichDocument::SetEndMarker) when it is one, after a plain-text book was
// read into it.
void MarkEndMarker(TRichDocument &document);

// The document as saved, without an end marker. RTF: the RTF writer's document. Plain text: UTF-8
// without a byte order mark, each paragraph (and each line break inside
// one) ended by CR LF, pictures kept as their object character.
QByteArray BookSaveBytes(const TRichDocument &document, TBookSaveFormat format);

// Writes the bytes to a temporary file beside the target and renames it
// over the target, so a failure leaves an existing file as it was. False
// with the reason in `error` and the system error (errno) in `systemError`.
bool WriteBookFile(const QString &fileName, const QByteArray &bytes, QString *error = nullptr,
                   int *systemError = nullptr);
