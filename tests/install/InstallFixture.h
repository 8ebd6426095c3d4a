// A home directory and a package directory to install from, in a temporary
// tree, with the desktop's places inside the home and a stand-in for gio that
// logs how it was called.
#pragma once

#include "Installer.h"
#include "TempTree.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QStandardPaths>

class TInstallFixture {
public:
    TTempTree Tree;
    TInstallPlaces Places;
    QString Home;

    TInstallFixture()
    {
        Home = Tree.Directory("home");
        Tree.File("home/.profile", "# the user's own\n");
        Tree.File("home/Desktop/notes.txt", "on the desktop before");
        Places.DesktopDirectory = Home + "Desktop/";
        Places.ApplicationsDirectory = Home + ".local/share/applications/";
        Places.IconsDirectory = Home + ".local/share/icons/hicolor/scalable/apps/";
        Places.MenusDirectory = Home + ".config/menus/applications-merged/";
        Places.DirectoriesDirectory = Home + ".local/share/desktop-directories/";
        Places.RecordDirectory = Home + ".local/share/Lectern/";
        Places.ProgramFilesDirectory = Home + ".local/opt/";
        Places.GioProgram = Executable("tools/gio", "#!/bin/sh\necho \"$@\" >> \"$(dirname \"$0\")/gio.log\"\n");
        Places.UpdateDesktopDatabaseProgram = QStandardPaths::findExecutable("update-desktop-database");
    }

    // A package directory named name: the installer, the shipped files, the
    // icon and a hidden file that is not copied. Returns it with a "/".
    QString Package(const QString &name = QStringLiteral("Lectern"))
    {
        const QString dir = "dist/" + name + "/";
        Executable(dir + "Install", "#!/bin/sh\nexit 0\n");
        Tree.File(dir + "Readme.txt", "Lectern\n=======\nA reader.\n");
        Tree.File(dir + "Welcome.txt", "Welcome, reader.\n");
        Tree.File(dir + "BackImages/DefaultScreen.bmp", "BM");
        Tree.File(dir + "BackSounds/README.txt", "sounds");
        Tree.File(dir + ".packed", "not shipped");
        QFile icon(QString::fromLocal8Bit(qgetenv("LECTERN_SOURCE")) + "/package/lectern.svg");
        Tree.File(dir + "lectern.svg", icon.open(QIODevice::ReadOnly) ? icon.readAll() : QByteArray("<svg/>"));
        return Tree.Path(dir);
    }

    QString Executable(const QString &relative, const QByteArray &content)
    {
        const QString path = Tree.File(relative, content);
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
        return path;
    }

    QString GioLog() const
    {
        QFile file(Tree.Path("tools/gio.log"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // Every entry of the home: files with their content, links with their
    // targets, directories as "<dir>".
    QMap<QString, QByteArray> Snapshot() const
    {
        QMap<QString, QByteArray> entries;
        QDirIterator it(Home, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QFileInfo info = it.fileInfo();
            if (info.isSymLink()) {
                entries.insert(path, "-> " + QFile::encodeName(info.symLinkTarget()));
            } else if (info.isDir()) {
                entries.insert(path + '/', "<dir>");
            } else {
                QFile file(path);
                entries.insert(path, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>"));
            }
        }
        return entries;
    }

    // The paths of `after` that `before` lacks.
    static QStringList Added(const QMap<QString, QByteArray> &before, const QMap<QString, QByteArray> &after)
    {
        QStringList added;
        for (auto it = after.begin(); it != after.end(); ++it)
            if (!before.contains(it.key()))
                added << it.key();
        return added;
    }

    static QByteArray Read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
};
