#include "Installer.h"

#include "Dialogs.h"
#include "FileLinks.h"
#include "FileOperations.h"
#include "FilePaths.h"
#include "FunStatContext.h"
#include "Program.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString MimeCacheName = QStringLiteral("mimeinfo.cache");
// The question lists at most this many of the reader's files by name.
constexpr int MaxNamedFiles = 12;

QString CleanDir(const QString &path) { return WithDelimiter(QDir::cleanPath(path)); }

QByteArray Native(const QString &path) { return QFile::encodeName(WithoutDelimiter(path)); }

// Whether anything (a broken link too) is at path.
bool Exists(const QString &path)
{
    struct stat st {};
    return !path.isEmpty() && ::lstat(Native(path).constData(), &st) == 0;
}

bool IsRealDirectory(const QString &path)
{
    struct stat st {};
    return ::lstat(Native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Adds to installation what copying source into destination creates: every
// file and link that is not hidden (the copy leaves hidden entries, pipes and
// devices alone), and the directories that do not exist yet. The installer
// itself (renameFrom) arrives under the program's name (renameTo).
void PlanCopy(const QString &source, const QString &destination, const QString &renameFrom, const QString &renameTo,
              TInstallation &installation, int depth)
{
    const QStringList names
        = QDir(source).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        if (name.startsWith(u'.'))
            continue;
        struct stat st {};
        if (::lstat(QFile::encodeName(source + name).constData(), &st) != 0)
            continue;
        const QString target = destination + (depth == 0 && name == renameFrom ? renameTo : name);
        if (S_ISDIR(st.st_mode)) {
            if (!Exists(target))
                installation.Directories << target + u'/';
            if (depth < 256)
                PlanCopy(source + name + u'/', target + u'/', renameFrom, renameTo, installation, depth + 1);
        } else if (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) {
            if (!installation.Files.contains(target))
                installation.Files << target;
        }
    }
}

// A value of a desktop entry: backslashes doubled, no line breaks.
QString EntryValue(QString value)
{
    value.replace(u'\\', QStringLiteral("\\\\"));
    value.replace(u'\n', u' ');
    value.replace(u'\r', u' ');
    return value;
}

// True when the desktop database lists no type any more.
bool MimeCacheIsEmpty(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.read(1 << 20).split('\n');
    return std::all_of(lines.begin(), lines.end(), [](const QByteArray &line) {
        const QByteArray text = line.trimmed();
        return text.isEmpty() || text.startsWith('[') || text.startsWith('#');
    });
}

QString ReaderFilesQuestion(const QString &directory, const QStringList &names)
{
    QString text = QStringLiteral("Directory \"") + directory
        + QStringLiteral("\" also holds files that were not installed with the program, such as your settings, "
                         "profiles, pictures or sounds:\n\n");
    for (int i = 0; i < names.size() && i < MaxNamedFiles; ++i)
        text += QStringLiteral("    ") + names.at(i) + u'\n';
    if (names.size() > MaxNamedFiles)
        text += QStringLiteral("    and %1 more\n").arg(names.size() - MaxNamedFiles);
    return text + QStringLiteral("\nDelete them too? Answer No to keep them.");
}

} // namespace

TInstallPlaces TInstallPlaces::For(bool systemWide)
{
    TInstallPlaces places;
    const QString home = QDir::homePath();
    const QString data = systemWide ? QStringLiteral("/usr/local/share")
                                    : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString config = systemWide ? QStringLiteral("/etc/xdg")
                                      : QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty())
        desktop = home + QStringLiteral("/Desktop");
    places.DesktopDirectory = CleanDir(desktop);
    places.ApplicationsDirectory = CleanDir(data + QStringLiteral("/applications"));
    places.IconsDirectory = CleanDir(data + QStringLiteral("/icons/hicolor/scalable/apps"));
    places.MenusDirectory = CleanDir(config + QStringLiteral("/menus/applications-merged"));
    places.DirectoriesDirectory = CleanDir(data + QStringLiteral("/desktop-directories"));
    places.RecordDirectory = CleanDir(data + u'/' + ProgramName);
    places.ProgramFilesDirectory = CleanDir(systemWide ? QStringLiteral("/opt") : home + QStringLiteral("/.local/opt"));
    places.GioProgram = QStandardPaths::findExecutable(QStringLiteral("gio"));
    places.UpdateDesktopDatabaseProgram = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    places.OpenProgram = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    return places;
}

TInstallPlaces TInstallPlaces::ForThisUser() { return For(::geteuid() == 0); }

bool RunTool(const QString &program, const QStringList &arguments)
{
    if (program.isEmpty())
        return false;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(5000))
        return false;
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

TInstaller::TInstaller(const TInstallPlaces &places, const QString &programName)
    : Places(places), ProgramName(programName)
{}

QString TInstaller::MenuId(const QString &packageName)
{
    QString id;
    for (QChar c : packageName)
        id += (c.isLetterOrNumber() && c.unicode() < 0x80) || c == u'-' || c == u'_' || c == u'.' ? c : QChar(u'-');
    return id.isEmpty() || id.startsWith(u'.') ? ::ProgramName + id : id;
}

QStringList TInstaller::ReaderFiles(const TInstallation &installation)
{
    const QSet<QString> files(installation.Files.begin(), installation.Files.end());
    const QSet<QString> dirs(installation.Directories.begin(), installation.Directories.end());
    const QString root = installation.Location;
    const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    QStringList names;
    QDirIterator it(root, all, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir() && !info.isSymLink()) {
            if (!dirs.contains(path + u'/') && QDir(path).isEmpty(all))
                names << path.mid(root.size()) + u'/';
        } else if (!files.contains(path)) {
            names << path.mid(root.size());
        }
    }
    names.sort();
    return names;
}

void TInstaller::MakePath(const QString &dir, TInstallation &installation)
{
    QStringList missing;
    for (QString at = CleanDir(dir); at.size() > 1 && !Exists(at); at = CleanDir(at + QStringLiteral("..")))
        missing.prepend(at);
    if (!QDir().mkpath(dir))
        return; // the writes into it report the failure
    for (const QString &made : std::as_const(missing))
        if (IsRealDirectory(made) && !installation.Directories.contains(made))
            installation.Directories << made;
}

bool TInstaller::SaveEntry(const TLinkFile &link, const QString &path, TInstallation &installation)
{
    if (!TLinkFile::Save(link, path, true))
        return false;
    if (!installation.Files.contains(path))
        installation.Files << path;
    return true;
}

void TInstaller::WriteFile(const QString &path, const QByteArray &bytes, TInstallation &installation)
{
    FUN_BEGIN("TInstaller::WriteFile");
    try {
        QSaveFile file(path);
        file.setDirectWriteFallback(false);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            FUN_RAISE(QStringLiteral("Failed to write file."), path, file.errorString(), errno);
        else if (!installation.Files.contains(path))
            installation.Files << path;
    }
    FUN_CATCH
    FUN_END;
}

void TInstaller::UpdateDesktopDatabase(TInstallation *installation)
{
    if (Places.UpdateDesktopDatabaseProgram.isEmpty() || !IsRealDirectory(Places.ApplicationsDirectory))
        return;
    const QString cache = Places.ApplicationsDirectory + MimeCacheName;
    const bool existed = Exists(cache);
    RunTool(Places.UpdateDesktopDatabaseProgram, {WithoutDelimiter(Places.ApplicationsDirectory)});
    if (installation && !existed && Exists(cache) && !installation->Files.contains(cache))
        installation->Files << cache;
}

void TInstaller::CreateEntries(const QString &packageName, TInstallation &installation)
{
    FUN_BEGIN("TInstaller::CreateEntries");
    try {
        // Each entry is tried even when an earlier one failed; the first
        // failure is the one reported.
        auto adopt = [&](bool ok) {
            if (!ok && !FUN_FAILED())
                FUN_ADOPT();
        };
        auto write = [&](const QString &path, const QByteArray &bytes) {
            WriteFile(path, bytes, installation);
            adopt(FunStatContext.Status <= Warning);
        };
        const QString program = installation.Location + ProgramName;
        const QString id = MenuId(packageName);

        QString icon;
        const QString iconName = ProgramName.toLower();
        QFile iconSource(installation.Location + iconName + QStringLiteral(".svg"));
        if (iconSource.open(QIODevice::ReadOnly)) {
            MakePath(Places.IconsDirectory, installation);
            write(Places.IconsDirectory + iconName + QStringLiteral(".svg"), iconSource.read(1 << 20));
            icon = iconName;
        }

        TLinkFile reader;
        reader.Name = ProgramName;
        reader.ReferencePath = program;
        reader.WorkingPath = installation.Location;
        reader.Description = QStringLiteral("Read books stored as plain text or RTF");
        reader.IconPath = icon;
        reader.Categories = {QStringLiteral("Office"), QStringLiteral("Viewer")};
        reader.MimeTypes
            = {QStringLiteral("text/plain"), QStringLiteral("text/rtf"), QStringLiteral("application/rtf")};

        MakePath(Places.DesktopDirectory, installation);
        const QString desktopEntry = Places.DesktopDirectory + ProgramName + QStringLiteral(".desktop");
        const bool onDesktop = SaveEntry(reader, desktopEntry, installation);
        adopt(onDesktop);
        // GNOME starts a desktop file only when it is marked as trusted.
        if (onDesktop && !Places.GioProgram.isEmpty())
            RunTool(Places.GioProgram,
                    {QStringLiteral("set"), desktopEntry, QStringLiteral("metadata::trusted"), QStringLiteral("true")});

        MakePath(Places.ApplicationsDirectory, installation);
        const QStringList entryNames{id + QStringLiteral(".desktop"), id + QStringLiteral("-uninstall.desktop"),
                                     id + QStringLiteral("-readme.desktop")};
        adopt(SaveEntry(reader, Places.ApplicationsDirectory + entryNames.at(0), installation));

        TLinkFile uninstall = reader;
        uninstall.Name = QStringLiteral("Uninstall ") + ProgramName;
        uninstall.Description = QStringLiteral("Remove ") + ProgramName + QStringLiteral(" from this computer");
        uninstall.Arguments = QStringLiteral("/Uninstall");
        uninstall.MimeTypes.clear();
        adopt(SaveEntry(uninstall, Places.ApplicationsDirectory + entryNames.at(1), installation));

        const QString readmeFile = installation.Location + QStringLiteral("Readme.txt");
        QStringList included = entryNames.mid(0, 2);
        if (QFileInfo(readmeFile).isFile()) {
            TLinkFile readme;
            readme.Name = ProgramName + QStringLiteral(" Readme");
            readme.Description = QStringLiteral("What ") + ProgramName + QStringLiteral(" is and how to start it");
            if (Places.OpenProgram.isEmpty()) {
                readme.ReferencePath = readmeFile; // a link to the document
            } else {
                readme.ReferencePath = Places.OpenProgram;
                readme.Arguments = JoinArguments({readmeFile});
                readme.IconPath = QStringLiteral("text-x-generic");
                readme.Categories = reader.Categories;
            }
            adopt(SaveEntry(readme, Places.ApplicationsDirectory + entryNames.at(2), installation));
            included << entryNames.at(2);
        }

        // The menu that groups the entries under the package's name, for the
        // desktops that read merged menus.
        MakePath(Places.DirectoriesDirectory, installation);
        QString directory
            = QStringLiteral("[Desktop Entry]\nVersion=1.0\nType=Directory\nName=") + EntryValue(packageName) + u'\n';
        if (!icon.isEmpty())
            directory += QStringLiteral("Icon=") + icon + u'\n';
        write(Places.DirectoriesDirectory + id + QStringLiteral(".directory"), directory.toUtf8());

        MakePath(Places.MenusDirectory, installation);
        QString menu = QStringLiteral("<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                                      " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">\n"
                                      "<Menu>\n  <Name>Applications</Name>\n  <Menu>\n    <Name>%1</Name>\n"
                                      "    <Directory>%2.directory</Directory>\n    <Include>\n")
                           .arg(packageName.toHtmlEscaped(), id);
        for (const QString &entry : std::as_const(included))
            menu += QStringLiteral("      <Filename>") + entry + QStringLiteral("</Filename>\n");
        menu += QStringLiteral("    </Include>\n  </Menu>\n</Menu>\n");
        write(Places.MenusDirectory + id + QStringLiteral(".menu"), menu.toUtf8());

        UpdateDesktopDatabase(&installation);
    }
    FUN_CATCH
    FUN_END;
}

TInstallResult TInstaller::Install(const QString &packageDirectory, const QString &parentDirectory,
                                   const QString &programFileName, QString &program)
{
    FUN_BEGIN("TInstaller::Install");
    TInstallResult result = TInstallResult::Failed;
    try {
        const QString package = CleanDir(ExpandPath(packageDirectory));
        const QString packageName = NamePart(WithoutDelimiter(package));
        const QString target = WithDelimiter(parentDirectory) + packageName;
        TInstallRecord record;
        if (parentDirectory.isEmpty()) {
            FUN_RAISE(QStringLiteral("Installation directory is empty."));
        } else if (packageName.isEmpty()) {
            FUN_RAISE(QStringLiteral("The package directory has no name."), package);
        } else if (!QueryDialog(QStringLiteral("Install the program in directory \"") + target
                                + QStringLiteral("\"?"))) {
            result = TInstallResult::Declined;
        } else if (!record.Load(Places.RecordPath())) {
            FUN_ADOPT();
        } else {
            TInstallation installation;
            installation.DisplayName = ProgramName;
            installation.Location = CleanDir(ExpandPath(target));
            program = installation.Location + ProgramName;
            installation.UninstallString = JoinArguments({program, QStringLiteral("/Uninstall")});

            MakePath(CleanDir(ExpandPath(parentDirectory)), installation);
            if (!Exists(installation.Location))
                installation.Directories << installation.Location;
            TInstallation copied;
            PlanCopy(package, installation.Location, programFileName, ProgramName, copied, 0);
            QStringList replaced; // files of the package that were already there
            for (const QString &file : std::as_const(copied.Files))
                if (Exists(file))
                    replaced << file;
            installation.Directories << copied.Directories;

            if (!CopyDeleteDirectory(package, installation.Location, true))
                FUN_ADOPT();
            installation.Files << copied.Files;
            if (FUN_FAILED()) {
                // A failed copy may not have reached the files that were
                // there before: they stay the owner's.
                for (const QString &file : std::as_const(replaced))
                    installation.Files.removeAll(file);
            }
            const QString installer = installation.Location + programFileName;
            if (!FUN_FAILED() && programFileName != ProgramName && !MyRenameFile(installer, program, true))
                FUN_ADOPT();
            if (programFileName != ProgramName && Exists(installer))
                installation.Files << installer; // the rename failed: it stays under its own name
            if (!FUN_FAILED()) {
                CreateEntries(packageName, installation);
                FUN_ADOPT();
            }

            // Whatever exists now is recorded, even after a failure, so that
            // uninstalling can remove it.
            installation.Files.removeIf([](const QString &path) { return !Exists(path); });
            installation.Directories.removeIf([](const QString &path) { return !IsRealDirectory(path); });
            if (!installation.Files.isEmpty() || !installation.Directories.isEmpty()) {
                MakePath(Places.RecordDirectory, installation);
                record.Merge(installation);
                if (!record.Save(Places.RecordPath()) && !FUN_FAILED())
                    FUN_ADOPT();
            }
            result = FUN_FAILED() ? TInstallResult::Failed : TInstallResult::Done;
        }
    }
    FUN_CATCH
    if (FUN_FAILED())
        result = TInstallResult::Failed;
    FUN_END;
    return result;
}

bool TInstaller::MayDelete(const QString &path, const TInstallation &installation) const
{
    // A hand-edited record must not reach out of the places ("a/../b").
    if (path != QDir::cleanPath(path) || IsRealDirectory(path))
        return false;
    for (const QString &place : {installation.Location, Places.DesktopDirectory, Places.ApplicationsDirectory,
                                 Places.IconsDirectory, Places.MenusDirectory, Places.DirectoriesDirectory})
        if (IsInsideDirectory(place, path) && path.size() > place.size())
            return true;
    return false;
}

TInstallResult TInstaller::Uninstall(const QString &directory)
{
    FUN_BEGIN("TInstaller::Uninstall");
    TInstallResult result = TInstallResult::Failed;
    try {
        const QString location = directory.isEmpty() ? QString() : CleanDir(ExpandPath(directory));
        TInstallRecord record;
        int at = -1;
        if (location.isEmpty()) {
            FUN_RAISE(QStringLiteral("Uninstallation directory is empty."));
        } else if (!record.Load(Places.RecordPath())) {
            FUN_ADOPT();
        } else if ((at = record.Find(location)) < 0) {
            WarningDialog(QStringLiteral("There is no uninstall record of ") + ProgramName
                          + QStringLiteral(" for directory \"") + directory
                          + QStringLiteral("\": only a directory that Install filled can be uninstalled. "
                                           "Nothing was deleted."));
            result = TInstallResult::Refused;
        } else if (!QueryDialog(QStringLiteral("Delete directory \"") + directory
                                + QStringLiteral("\" (and all contained files)?"))) {
            result = TInstallResult::Declined;
        } else {
            const TInstallation installation = record.Installations.at(at);
            const QStringList readerFiles = ReaderFiles(installation);
            const bool deleteReaderFiles
                = !readerFiles.isEmpty() && QueryDialog(ReaderFilesQuestion(directory, readerFiles));

            // Only what the installation created goes, as far as possible;
            // a file that cannot be deleted is left.
            const QString cache = Places.ApplicationsDirectory + MimeCacheName;
            for (const QString &file : installation.Files) {
                if (file != cache && MayDelete(file, installation)) {
                    ClearReadOnly(file);
                    ::unlink(QFile::encodeName(file).constData());
                }
            }
            if (deleteReaderFiles)
                DeleteDirectoryNoErrors(installation.Location);
            UpdateDesktopDatabase(nullptr);
            if (installation.Files.contains(cache) && MimeCacheIsEmpty(cache))
                QFile::remove(cache);

            // Deepest directories first; only empty ones go. The record's own
            // directory can go once the record is gone.
            QStringList dirs = installation.Directories;
            std::sort(dirs.begin(), dirs.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
            auto removeEmptyDirectories = [&dirs] {
                for (const QString &dir : std::as_const(dirs))
                    ::rmdir(Native(dir).constData());
            };
            removeEmptyDirectories();
            record.Remove(at, {cache});
            if (!record.Save(Places.RecordPath()))
                FUN_ADOPT();
            removeEmptyDirectories();
            result = FUN_FAILED() ? TInstallResult::Failed : TInstallResult::Done;
        }
    }
    FUN_CATCH
    if (FUN_FAILED())
        result = TInstallResult::Failed;
    FUN_END;
    return result;
}
