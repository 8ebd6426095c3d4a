// Looking up a double-clicked word in the reader's dictionary program: the
// program is started detached with the word as its one argument, and in
// clipboard mode the selection is put on the clipboard as well (for the
// programs that read it from there). Nothing goes through a shell, so no
// text of a book is ever run as a command.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The text without the characters of codes up to 32 at either end.
QString TrimControls(const QString &text);

// What a double click asks for: nothing at all (Run false), or the program
// started with the trimmed word as its one argument, after the selection is
// copied to the clipboard when CopySelection is set (clipboard mode). Only
// a selection of at most 20 characters whose trimmed text is not empty,
// with a dictionary program chosen, is looked up.
struct TDictionaryRequest {
    bool Run = false;
    bool CopySelection = false;
    QStringList Arguments;
};
TDictionaryRequest DictionaryRequest(const QString &selection, const QString &dictionary, bool useClipboard);

// The program to start: a name without "/" is looked for on PATH; empty
// when it is not found there.
QString ResolveDictionaryProgram(const QString &dictionary);

class TDictionaryLookUp {
public:
    enum class TResult { Ignored, Started, Failed, FailedAgain };

    // Starts a program detached; false with a reason when it cannot. Tests
    // put in their own, which records what it is asked.
    using TStarter = std::function<bool(const QString &program, const QStringList &arguments, QString *reason)>;
    TStarter Starter;
    // Copies the rich-box's selection to the clipboard (clipboard mode),
    // before the program starts.
    std::function<void()> CopySelection;

    TDictionaryLookUp();

    // A double click on `selection`. A program that cannot be started is
    // recorded under "RunFile" as "Failed to run file." with its path:
    // Failed the first time, FailedAgain while the same program keeps
    // failing (so the reader who keeps clicking is told once).
    TResult LookUp(const QString &selection, const QString &dictionary, bool useClipboard);

private:
    QString FailedProgram; // the dictionary that failed last, until one starts
};

// Starts the program detached from this one with its arguments as they are.
bool StartDetachedProgram(const QString &program, const QStringList &arguments, QString *reason);
