// File and directory operations: sizes, the read-only state, deleting,
// renaming and copying whole trees, and the special folders. Each records its
// failures in the function status context under its own name.
#pragma once

#include <QString>

#include <cstdint>

// The size of an open file; on failure a Warning "Failed to get file size."
// under "GetFileSize" and 0.
int64_t GetFileSize(int fileDescriptor);
// The size of the file at path, asked of the file system without opening the
// file (so a pipe or a device never blocks); a file that cannot be reached
// gives a Warning "Failed to access file." with the path under "GetFileSize"
// and 0.
int64_t GetFileSize(const QString &path);

// Gives the owner the right to write to a file or directory that lacks it
// (links are left alone). Returns 1 when it changed something, else 0.
int ClearReadOnly(const QString &path);

// Deletes a file (after ClearReadOnly); "Failed to delete file." on failure.
bool MyDeleteFile(const QString &path);
// Renames oldName to newName. With replace, an existing newName is replaced in
// one step, so it is never lost when the rename fails; without it an existing
// newName is a failure. Across file systems the file is copied whole, then the
// old one deleted. "Failed to rename." with both names on failure.
bool MyRenameFile(const QString &oldName, const QString &newName, bool replace);
// Deletes a whole tree, hidden entries included, ignoring the entries that
// cannot be deleted. Links are deleted, never followed. The empty path, "/",
// and the places of the partitions list are refused ("Can not find
// directory."); a tree that cannot be read reports "Failed to delete
// directory content.".
void DeleteDirectoryNoErrors(const QString &dir);
// Copies the tree source into destination (created like source when
// missing), overwriting files of the same names and leaving the other files
// of destination alone. Hidden entries, pipes and devices are not copied;
// links are copied as links. Each file is written whole or not at all and
// keeps its permissions. Without copy, source is deleted afterwards (a move).
// Any failure ends with the box "Failed to process directory.".
bool CopyDeleteDirectory(const QString &source, const QString &destination, bool copy);

// The directory for temporary files, with a trailing delimiter; "Failed to
// get path." under "GetTempPathA" and empty on failure.
QString GetTempPathA();

// Special folders, by the numbers the program has always used for them.
enum TSpecialFolder : int {
    FolderPrograms = 2, // the applications menu's entries
    FolderPersonal = 5, // the user's documents
    FolderDesktopDirectory = 16,
    FolderCommonDocuments = 46, // documents shared with others
    FolderProgramFiles = 38, // where programs are installed
};
// The special folder with a trailing delimiter, made when missing and
// `create` is set; "Failed to get path." under "GetSystemDirectoryPath" and
// empty on failure. Programs install into /opt when running as root, else
// into ~/.local/opt; menu entries go to /usr/local/share/applications for
// root, else to the user's own applications directory.
QString GetSystemDirectoryPath(int folder, bool create = false);
