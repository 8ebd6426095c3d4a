// Links to files as freedesktop desktop entries (".desktop" files): a link
// to a program is an Application entry that runs it with its arguments in its
// working directory; a link to a document or a directory is a Link entry with
// its file address.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>

struct TLinkFile {
    // What the link points to, as found when it was loaded.
    bool Loaded = false;
    uint32_t Attributes = 0; // permission bits of the target
    QDateTime CreationTime;
    QDateTime LastAccessTime;
    QDateTime LastWriteTime;
    int64_t Size = 0;

    QString Name; // the name the desktop shows; empty: the link file's name
    QString ReferencePath; // the target
    QString WorkingPath;
    QString Arguments; // a command line: words split at spaces, "double quotes" group them
    QString Description;
    QString IconPath;
    int IconIndex = 0;
    int HotKey = 0;
    int ShowCommand = 0; // 7: start minimised
    // For a link to a program: the menu categories it belongs to ("Office")
    // and the types of files it opens ("text/plain"). A program that opens
    // types gets the file to open as its last argument.
    QStringList Categories;
    QStringList MimeTypes;

    // Writes the link to linkPath when no file is there or `replace` is set,
    // whole or not at all. Failures under "TLinkFile::Save": "This operating
    // system does not support chained links." for a target that is itself a
    // link; "Failed to set reference path." (and the same for the working
    // path, arguments, description, icon path, name, categories and types)
    // for a text that a desktop entry cannot hold; "Failed to set hot key." and "Failed to set show
    // command." for negative numbers; "Failed to save link file." when
    // writing fails.
    static bool Save(const TLinkFile &link, const QString &linkPath, bool replace);
    // Reads a desktop entry back; "Failed to load link file." under
    // "TLinkFile::Load" when it cannot be read or is not one.
    static bool Load(TLinkFile &link, const QString &linkPath);
};

// A link to target: its working directory is the target's directory when
// workingFromTarget; `minimized` asks to start it minimised. Under
// "CopyFileAsLink".
bool CopyFileAsLink(const QString &target, const QString &linkPath, bool replace, bool minimized,
                    bool workingFromTarget, const QString &arguments);
// A link to target that runs it with arguments in the target's directory.
// Under "CopyFileAsLinkWithParam".
bool CopyFileAsLinkWithParam(const QString &target, const QString &linkPath, const QString &arguments, bool replace);

// The target of a link file, or the path itself when it is not one.
QString GetWhenReference(const QString &path);

// The words of a command line ("a \"b c\"" gives a and b c) and back.
QStringList SplitArguments(const QString &commandLine);
QString JoinArguments(const QStringList &arguments);
