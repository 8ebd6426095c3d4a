#include "Shell.h"

#include "Dialogs.h"
#include "FileLinks.h"
#include "FilePaths.h"
#include "FunStatContext.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cerrno>

namespace {

class TDesktopShellService : public TShellService {
public:
    bool OpenUrl(const QUrl &url) override { return QDesktopServices::openUrl(url); }
    bool StartProgram(const QString &program, const QStringList &arguments, const QString &workingDirectory) override
    {
        return QProcess::startDetached(program, arguments, workingDirectory);
    }
};

TDesktopShellService g_desktopShell;
TShellService *g_shell = &g_desktopShell;

// "https://...", "mailto:..." and the like; not "C:" nor a path.
bool IsAddress(const QString &text)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(text).hasMatch() && QUrl(text).isValid();
}

} // namespace

TShellService *SetShellService(TShellService *service)
{
    TShellService *previous = g_shell;
    g_shell = service ? service : &g_desktopShell;
    return previous;
}

TShellService *ShellService() { return g_shell; }

bool TRecordingShellService::OpenUrl(const QUrl &url)
{
    Urls << url;
    return Result;
}

bool TRecordingShellService::StartProgram(const QString &program, const QStringList &arguments,
                                          const QString &workingDirectory)
{
    Programs << TStart{program, arguments, workingDirectory};
    return Result;
}

TScopedRecordingShell::TScopedRecordingShell() : Previous(SetShellService(this)) {}
TScopedRecordingShell::~TScopedRecordingShell() { SetShellService(Previous); }

bool IsProgramFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable())
        return false;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    return type.isDefault() || type.inherits(QStringLiteral("application/x-executable"))
        || type.inherits(QStringLiteral("application/x-sharedlib"));
}

bool RunFile(const QString &file, const QString &parameters, const QString &directory, bool quote, bool minimized)
{
    Q_UNUSED(minimized);
    if (file.isEmpty()) {
        ErrorDialog(QStringLiteral("The name of the file is empty."));
        return false;
    }
    FUN_BEGIN("RunFile");
    try {
        int code = 0;
        bool started = false;
        QString program = file;
        if (!file.contains(u'/') && !QFileInfo::exists(file) && !IsAddress(file))
            program = QStandardPaths::findExecutable(file);
        if (IsAddress(file)) {
            started = g_shell->OpenUrl(QUrl(file));
        } else if (!program.isEmpty() && IsProgramFile(program)) {
            QStringList arguments;
            if (!parameters.isEmpty())
                arguments = quote ? QStringList{parameters} : SplitArguments(parameters);
            started = g_shell->StartProgram(program, arguments, directory);
        } else if (QFileInfo::exists(file)) {
            started = g_shell->OpenUrl(QUrl::fromLocalFile(ExpandPath(file)));
        } else {
            code = ENOENT;
        }
        if (!started)
            FUN_RAISE(QStringLiteral("Failed to run file."), file, QString(), code);
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    FUN_END;
    return ok;
}

bool RunVerb(const QString &path, const QString &verb, const QString &parameters)
{
    Q_UNUSED(parameters);
    if (path.isEmpty())
        return true;
    FUN_BEGIN("RunVerb");
    try {
        const QString target = IsDrive(path) ? DriveDirectory(path) : ExpandPath(path);
        int code = 0;
        bool done = false;
        if (!PathExists(target)) {
            code = ENOENT;
        } else if (verb.compare(QLatin1String("Explore"), Qt::CaseInsensitive) == 0) {
            const QString directory = IsDirectoryPath(target) ? target : DirectoryPart(target);
            done = g_shell->OpenUrl(QUrl::fromLocalFile(WithDelimiter(directory)));
        } else if (verb.isEmpty() || verb.compare(QLatin1String("Open"), Qt::CaseInsensitive) == 0) {
            done = g_shell->OpenUrl(QUrl::fromLocalFile(target));
        } else {
            code = ENOTSUP;
        }
        if (!done)
            FUN_RAISE(QStringLiteral("Failed to run verb."), path, verb, code);
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    FUN_END;
    return ok;
}

bool OpenSite(const QString &address, const QString &message)
{
    FUN_BEGIN("OpenSite");
    try {
        if (!RunFile(address, QString(), QString(), true, false))
            FUN_ADOPT();
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    FUN_END_SHOW(message);
    return ok;
}

bool BrowseForDirectory(QString &directory, const QString &root, const QString &caption)
{
    const QString chosen = DirectoryDialog(root, caption);
    if (chosen.isEmpty())
        return false;
    directory = chosen;
    return true;
}
