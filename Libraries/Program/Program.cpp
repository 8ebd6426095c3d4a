#include "Program.h"

#include "FunStatContext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <exception>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

const QString ProgramName = QStringLiteral("Lectern");
const QString ProgramVersionText = QStringLiteral("Version " LECTERN_VERSION ", released on " LECTERN_BUILD_DATE);

namespace {

QStringList g_arguments;
int g_instanceLockFd = -1;

QStringList CurrentArguments()
{
    if (QCoreApplication::instance())
        return QCoreApplication::arguments();
    return g_arguments;
}

QString BaseName(const QString &path) { return QFileInfo(path).fileName(); }

bool IsInstallerName(const QString &fileName)
{
    return fileName.compare(QLatin1String("Install"), Qt::CaseInsensitive) == 0
        || fileName.compare(QLatin1String("Install.exe"), Qt::CaseInsensitive) == 0;
}

} // namespace

void InitProgramArguments(int argc, char **argv)
{
    g_arguments.clear();
    for (int i = 0; i < argc && argv && argv[i]; ++i)
        g_arguments << QString::fromLocal8Bit(argv[i]);
}

QString GetProgramPath()
{
    if (QCoreApplication::instance()) {
        const QString path = QCoreApplication::applicationFilePath();
        if (!path.isEmpty())
            return path;
    }
    // No application yet: the kernel knows the executable.
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    if (!exe.isEmpty())
        return exe;
    if (!g_arguments.isEmpty())
        return QFileInfo(g_arguments.first()).absoluteFilePath();
    return QString();
}

QString GetProgramDirectory()
{
    const QString path = GetProgramPath();
    QString dir = path.isEmpty() ? QDir::currentPath() : QFileInfo(path).absolutePath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QStringList SettingsFileNames()
{
    return {QStringLiteral("Lectern.ini"), QStringLiteral("LecternProfile.lcp"), QStringLiteral("Errors.log")};
}

namespace {

QString WithSlash(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

// The files that hold settings, as against the log.
QStringList SettingsFiles() { return SettingsFileNames().mid(0, 2); }

bool AllWritable(const QString &dir, const TPathTest &canWrite)
{
    const QStringList names = SettingsFileNames();
    return std::all_of(names.begin(), names.end(), [&](const QString &name) { return canWrite(dir + name); });
}

bool AnyExists(const QString &dir, const TPathTest &exists)
{
    const QStringList names = SettingsFiles();
    return std::any_of(names.begin(), names.end(), [&](const QString &name) { return exists(dir + name); });
}

bool IsWritableDirectory(const QString &path)
{
    return ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0 && QFileInfo(path).isDir();
}

// Copies each settings file that the configuration directory lacks from the
// program's directory, whole or not at all. False when one could not be.
bool CopyMissingSettings(const QString &programDirectory, const QString &configDirectory)
{
    for (const QString &name : SettingsFiles()) {
        const QString from = programDirectory + name;
        const QString to = configDirectory + name;
        if (QFileInfo::exists(to) || !QFileInfo(from).isFile())
            continue;
        QFile source(from);
        QSaveFile copy(to);
        if (!source.open(QIODevice::ReadOnly) || !copy.open(QIODevice::WriteOnly))
            return false;
        const QByteArray bytes = source.readAll();
        if (source.error() != QFileDevice::NoError || copy.write(bytes) != bytes.size() || !copy.commit())
            return false;
    }
    return true;
}

} // namespace

QString ConfigDirectoryFor(const QString &xdgConfigHome, const QString &homeDirectory)
{
    QString config = xdgConfigHome;
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = homeDirectory + QStringLiteral("/.config");
    return WithSlash(QDir::cleanPath(config) + QLatin1Char('/') + ProgramName);
}

QString SettingsDirectoryFor(const QString &programDirectory, const QString &configDirectory, const TPathTest &exists,
                             const TPathTest &canWrite)
{
    const QString program = WithSlash(programDirectory);
    const QString config = WithSlash(configDirectory);
    if (AnyExists(config, exists))
        return config;
    if (AllWritable(program, canWrite))
        return program;
    if (AllWritable(config, canWrite))
        return config;
    return AnyExists(program, exists) ? program : config;
}

bool CanWriteSettingsFile(const QString &path)
{
    const QFileInfo info(path); // follows links: the file a save replaces
    if (info.exists() && !info.isFile())
        return false;
    const QString target = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    QString dir = QFileInfo(target).absolutePath();
    while (!QFileInfo::exists(dir) && dir != QDir::rootPath())
        dir = QFileInfo(dir).absolutePath();
    if (!IsWritableDirectory(dir))
        return false;
    if (!info.exists())
        return true;
    return ::access(QFile::encodeName(target).constData(), W_OK) == 0 || info.ownerId() == ::geteuid();
}

QString GetSettingsDirectory()
{
    static const QString directory = [] {
        const QString program = GetProgramDirectory();
        const QString config = ConfigDirectoryFor(qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
        const auto exists = [](const QString &path) { return QFileInfo::exists(path); };
        const QString dir = SettingsDirectoryFor(program, config, exists, &CanWriteSettingsFile);
        if (dir == program)
            return dir;
        const bool moving = !AnyExists(dir, exists);
        // Settings that cannot be copied over would start the reader without
        // them: it then reads them where they are.
        if (!QDir().mkpath(dir) || !CopyMissingSettings(program, dir))
            return moving && AnyExists(program, exists) ? program : dir;
        return dir;
    }();
    return directory;
}

QString GetProgramFileName() { return BaseName(GetProgramPath()); }

int GetParamCount()
{
    const QStringList args = CurrentArguments();
    return args.isEmpty() ? 0 : int(args.size()) - 1;
}

QString GetParam(int index)
{
    if (index == 0)
        return GetProgramPath();
    const QStringList args = CurrentArguments();
    if (index < 0 || index >= args.size())
        return QString();
    return args.at(index);
}

QStringList GetParams()
{
    QStringList args = CurrentArguments();
    if (!args.isEmpty())
        args.removeFirst();
    return args;
}

bool IsInstallerMode(const QString &programFileName, const QStringList &arguments)
{
    if (IsInstallerName(BaseName(programFileName)))
        return true;
    return !arguments.isEmpty() && arguments.first().compare(QLatin1String("/Uninstall"), Qt::CaseInsensitive) == 0;
}

bool IsInstallerMode()
{
    const QStringList args = CurrentArguments();
    // The kernel resolves links for the real executable; the name the
    // program was started under (argument 0) may be a link named "Install".
    if (!args.isEmpty() && IsInstallerName(BaseName(args.first())))
        return true;
    return IsInstallerMode(GetProgramFileName(), GetParams());
}

namespace {

// A private directory for the lock: the session's runtime directory, or a
// directory of this user in the temporary directory (checked for owner and
// permissions, so another user cannot plant the lock file).
QString RuntimeDirectory()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString dir = QDir::tempPath() + QStringLiteral("/runtime-lectern-") + QString::number(::geteuid());
    const QByteArray native = QFile::encodeName(dir);
    ::mkdir(native.constData(), 0700);
    struct stat info;
    if (::lstat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
        && (info.st_mode & 077) == 0)
        return dir;
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

} // namespace

QString ProgramInstanceLockPath(const QString &name)
{
    QString dir = RuntimeDirectory();
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QString safeName = name;
    safeName.replace(QLatin1Char('/'), QLatin1Char('_'));
    return dir + QStringLiteral("/Mutex_ProgramInstance_") + safeName + QStringLiteral(".lock");
}

bool IsProgramInstanceRunning(const QString &name)
{
    ClearLastError();
    if (g_instanceLockFd >= 0)
        return false; // this process holds the lock already
    const QString path = ProgramInstanceLockPath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Close-on-exec: programs started from the reader must not inherit the
    // lock and keep it alive after the reader ends.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false; // no lock at all: run as if alone
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        g_instanceLockFd = fd;
        return false;
    }
    const int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK;
}

void ReleaseProgramInstance()
{
    if (g_instanceLockFd < 0)
        return;
    // The file stays: removing it could let two readers lock two different
    // files of the same name.
    ::flock(g_instanceLockFd, LOCK_UN);
    ::close(g_instanceLockFd);
    g_instanceLockFd = -1;
}

void InstallTerminateHandler() { std::set_terminate(&TerminateProgramFun); }

void TerminateProgramFun()
{
    // A second terminate while the report is on screen ends the process.
    static std::atomic<bool> entered{false};
    if (entered.exchange(true))
        TerminateProgramNow();
    const QString text = QStringLiteral("Abort intercepted.\r\nProgram must be terminated.");
    std::fprintf(stderr, "%s: Abort intercepted. Program must be terminated.\n", qPrintable(ProgramName));
    try {
        const QString name = QStringLiteral("TerminateProgramFun");
        FunStatContext.Raise(__FILE__, name, __LINE__, Error, text, QString(), QString(), 0);
        FunStatContext.SetShow(__FILE__, name, __LINE__);
        // Windows can only be shown from the thread that owns them.
        QCoreApplication *app = QCoreApplication::instance();
        if (!app || QThread::currentThread() == app->thread())
            FunStatContext.Show(text);
        FunStatContext.Reset(Perfect);
    } catch (...) {
    }
    TerminateProgramNow();
}

void TerminateProgramNow() { ::_exit(1); }

TShiftState ShiftStateFrom(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick)
{
    TShiftState state = 0;
    if (modifiers & Qt::ShiftModifier)
        state |= ssShift;
    if (modifiers & Qt::AltModifier)
        state |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        state |= ssCtrl;
    if (buttons & Qt::LeftButton)
        state |= ssLeft;
    if (buttons & Qt::RightButton)
        state |= ssRight;
    if (buttons & Qt::MiddleButton)
        state |= ssMiddle;
    if (doubleClick)
        state |= ssDouble;
    return state;
}

namespace {

constexpr unsigned KnownFlags = ssShift | ssAlt | ssCtrl | ssLeft | ssRight | ssMiddle | ssDouble;
constexpr unsigned KeyboardFlags = ssShift | ssAlt | ssCtrl | ssDouble;

bool IsKnownFlag(unsigned modifier)
{
    return modifier != 0 && (modifier & KnownFlags) == modifier && (modifier & (modifier - 1)) == 0;
}

TShiftState Reduced(TShiftState state) { return state & KeyboardFlags; }

} // namespace

bool HasModifier(TShiftState state, unsigned modifier)
{
    return IsKnownFlag(modifier) && (Reduced(state) & modifier) != 0;
}

bool HasOnlyModifier(TShiftState state, unsigned modifier)
{
    return IsKnownFlag(modifier) && Reduced(state) == modifier;
}

bool HasNoModifier(TShiftState state) { return Reduced(state) == 0; }
