// Starting programs and opening documents, directories and web addresses with
// the desktop's own handlers. Nothing goes through a shell: a program gets its
// arguments as a list, so no text (a word from a book, a file name) is ever
// interpreted by one.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// How files and addresses are started; tests install their own.
class TShellService {
public:
    virtual ~TShellService() = default;
    // Opens a document, a directory or an address with its handler.
    virtual bool OpenUrl(const QUrl &url) = 0;
    // Starts a program detached from this one.
    virtual bool StartProgram(const QString &program, const QStringList &arguments, const QString &workingDirectory)
        = 0;
};

// Installs a service; nullptr restores the desktop's. Returns the previous one.
TShellService *SetShellService(TShellService *service);
TShellService *ShellService();

// Records what would have been started, for tests; answers with Result.
class TRecordingShellService : public TShellService {
public:
    struct TStart {
        QString Program;
        QStringList Arguments;
        QString WorkingDirectory;
    };
    QList<QUrl> Urls;
    QList<TStart> Programs;
    bool Result = true;
    bool OpenUrl(const QUrl &url) override;
    bool StartProgram(const QString &program, const QStringList &arguments, const QString &workingDirectory) override;
};
// Installs a recording service for the lifetime of the object.
class TScopedRecordingShell : public TRecordingShellService {
public:
    TScopedRecordingShell();
    ~TScopedRecordingShell() override;

private:
    TShellService *Previous;
};

// Whether the file is a program to start rather than a document to open: an
// executable regular file whose name does not say it is a document (a text
// or a picture on a disk that marks every file executable is opened).
bool IsProgramFile(const QString &path);

// Starts a program with the parameters (split into words, or one word when
// `quote`) in `directory`, or opens a document, directory or web address with
// its handler (the parameters are then not used). A program named without a
// directory is looked for on the search path. An empty name shows the error
// box "The name of the file is empty."; other failures are recorded under
// "RunFile" as "Failed to run file." with the file. `minimized` cannot be
// asked of the desktop and is not used.
bool RunFile(const QString &file, const QString &parameters, const QString &directory, bool quote, bool minimized);
// Applies a verb to a path: "Explore" opens the file manager on the
// directory (a file's own directory for a file), "Open" opens the path with
// its handler. Nothing happens for an empty path. Failures, unknown verbs
// among them, are recorded under "RunVerb" as "Failed to run verb." with the
// path and the verb.
bool RunVerb(const QString &path, const QString &verb, const QString &parameters);
// Opens a web address in the default browser; a failure is shown at once
// with `message` (the program passes "Failed to open site.").
bool OpenSite(const QString &address, const QString &message);

// The desktop's folder chooser, starting at root; true with the chosen
// directory when the reader confirms.
bool BrowseForDirectory(QString &directory, const QString &root, const QString &caption);
