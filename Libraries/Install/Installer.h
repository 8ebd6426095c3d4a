// Installing the program from its package directory into a directory of the
// reader's choice, with its desktop entry, menu entries, icon and uninstall
// record, and uninstalling it again. No widgets: the install window asks for
// the directory and calls these; the questions go through the dialog service.
#pragma once

#include "InstallRecord.h"

#include <QString>
#include <QStringList>

// Where an installation puts its entries, each with a trailing "/", and the
// desktop's tools it calls (empty when missing).
struct TInstallPlaces {
    QString DesktopDirectory; // the desktop entry
    QString ApplicationsDirectory; // menu entries
    QString IconsDirectory; // the icon, in the hicolor theme
    QString MenusDirectory; // the menu that groups the entries
    QString DirectoriesDirectory; // the menu's name and icon
    QString RecordDirectory; // the uninstall record
    QString ProgramFilesDirectory; // the parent proposed for installations

    QString GioProgram; // marks the desktop entry as trusted
    QString UpdateDesktopDatabaseProgram; // tells the desktop which types the entries open
    QString OpenProgram; // opens a document with its handler (xdg-open)

    // For the system (as root): /opt, /usr/local/share and /etc/xdg; for a
    // user: ~/.local/opt and the XDG directories of the home. The desktop
    // directory is the one the user's desktop names (xdg-user-dirs), else
    // ~/Desktop. The tools are looked for on the search path.
    static TInstallPlaces For(bool systemWide);
    static TInstallPlaces ForThisUser();

    QString RecordPath() const { return RecordDirectory + TInstallRecord::FileName; }
};

enum class TInstallResult {
    Done,
    Declined, // the reader answered No
    Refused, // nothing to uninstall there
    Failed, // the failure is in FunStatContext
};

class TInstaller {
public:
    TInstaller(const TInstallPlaces &places, const QString &programName);

    // Asks "Install the program in directory "T"?" with T = parent + the
    // package directory's name, then copies the package directory into T
    // (keeping files of T the package lacks), renames the installer
    // (programFileName) to the program's name, creates the desktop and menu
    // entries and the icon, and records all it created. `program` receives
    // the installed executable. Status name "TInstaller::Install".
    TInstallResult Install(const QString &packageDirectory, const QString &parentDirectory,
                           const QString &programFileName, QString &program);

    // Uninstalls the installation in directory: refuses (with a warning)
    // when the record knows no installation there; asks "Delete directory
    // "D" (and all contained files)?"; names the files the installation did
    // not create and deletes them only when the reader agrees; deletes what
    // the record lists and forgets the installation. Status name
    // "TInstaller::Uninstall".
    TInstallResult Uninstall(const QString &directory);

    // The first part of the menu entries' file names, made of the package
    // directory's name ("Lectern-2.6").
    static QString MenuId(const QString &packageName);
    // The files in the installation directory the installation did not
    // create, relative to it; directories end in "/" (only empty ones are
    // named: the files name the others).
    static QStringList ReaderFiles(const TInstallation &installation);

private:
    void CreateEntries(const QString &packageName, TInstallation &installation);
    bool SaveEntry(const struct TLinkFile &link, const QString &path, TInstallation &installation);
    void WriteFile(const QString &path, const QByteArray &bytes, TInstallation &installation);
    void MakePath(const QString &dir, TInstallation &installation);
    void UpdateDesktopDatabase(TInstallation *installation);
    bool MayDelete(const QString &path, const TInstallation &installation) const;

    TInstallPlaces Places;
    QString ProgramName;
};

// Runs a tool and waits for it (at most 20 s); true when it ended with 0.
bool RunTool(const QString &program, const QStringList &arguments);
