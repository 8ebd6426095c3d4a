// The uninstall record: what each installation of the program created, so
// that uninstalling deletes exactly that and nothing else. It is a small INI
// file ("lectern-uninstall.ini") with one section per installation directory:
//
//   [Installation1]
//   DisplayName=Lectern
//   UninstallString=/home/ann/.local/opt/Lectern/Lectern /Uninstall
//   InstallLocation=/home/ann/.local/opt/Lectern/
//   File1=/home/ann/.local/opt/Lectern/Lectern
//   Directory1=/home/ann/.local/opt/Lectern/
//
// A file belongs to the installation that wrote it last; a directory is
// removed only when it is empty.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct TInstallation {
    QString DisplayName;
    QString UninstallString;
    QString Location; // the installation directory, with a trailing "/"
    QStringList Files; // every file and entry the installation created
    QStringList Directories; // the directories it created
};

class TInstallRecord {
public:
    static const QString FileName; // "lectern-uninstall.ini"

    QList<TInstallation> Installations;

    // Reads the record; a missing file is an empty record. "Failed to read
    // uninstall record." under "TInstallRecord::Load" when it cannot be read.
    bool Load(const QString &path);
    // Writes the record whole or not at all; an empty record deletes the
    // file. "Failed to write uninstall record." under "TInstallRecord::Save".
    bool Save(const QString &path) const;

    void Parse(const QByteArray &bytes);
    // Empty when a path cannot be stored (a line break in it).
    QByteArray Format() const;

    // The installation in that directory (compared with a trailing "/"), or
    // -1.
    int Find(const QString &location) const;
    // Adds an installation or joins it to the one in the same directory. The
    // files it lists leave the lists of the other installations: they are
    // its own now.
    void Merge(const TInstallation &installation);
    // Forgets an installation. Directories of it that still exist (other
    // installations keep files in them) pass to the others, so that the last
    // one to go removes them; so do the shared files it created that are
    // still in use (the desktop database's cache).
    void Remove(int index, const QStringList &sharedFiles = {});
};
