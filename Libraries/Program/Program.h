// Process-wide services of the program: its name and version, the paths of
// the running executable, the reader/installer role, the single running
// reader, the abnormal-termination handler and the keyboard-modifier tests.
#pragma once

#include <QString>
#include <QStringList>
#include <Qt>

#include <functional>

extern const QString ProgramName; // "Lectern"
// "Version 2.5.4, released on 06.01.2006": the project's version and the day
// it was built.
extern const QString ProgramVersionText;

// The longest path the settings and profiles keep, in characters (Linux
// paths are at most 4095 bytes).
constexpr int MaxPathLength = 4095;

// Keeps argc/argv for the path and parameter queries until an application
// object exists (the single-instance test runs before it is created).
void InitProgramArguments(int argc, char **argv);

// Full path of the running executable.
QString GetProgramPath();
// Directory of the running executable, with a trailing "/".
QString GetProgramDirectory();
// Directory of the files the program writes for itself (SettingsFileNames),
// with a trailing "/": SettingsDirectoryFor with the program's directory,
// ConfigDirectoryFor and the real file system. When that is the
// configuration directory, it is created, and a settings file found only in
// the program's directory is copied into it first, so the settings are read
// from where they were last written. Decided once per process; everything
// else asks this function.
QString GetSettingsDirectory();
// "Lectern.ini", "LecternProfile.lcp" (the default profile) and "Errors.log".
QStringList SettingsFileNames();
// $XDG_CONFIG_HOME/Lectern/, or ~/.config/Lectern/ when XDG_CONFIG_HOME is
// empty or not absolute (as the XDG rules say), with a trailing "/".
QString ConfigDirectoryFor(const QString &xdgConfigHome, const QString &homeDirectory);
// The rule behind GetSettingsDirectory, for directories with trailing "/":
// 1. a settings file (Lectern.ini or the default profile) in the
//    configuration directory was written there after the program's
//    directory could not take it, so it is the newer one: that directory;
// 2. the program's directory (a portable install) when each of the
//    SettingsFileNames can be written there;
// 3. the configuration directory when each of them can be written there;
// 4. nothing can be written anywhere: where the settings are, the program's
//    directory when it holds a settings file, else the configuration one.
using TPathTest = std::function<bool(const QString &path)>;
QString SettingsDirectoryFor(const QString &programDirectory, const QString &configDirectory, const TPathTest &exists,
                             const TPathTest &canWrite);
// Whether a settings file can be saved under `path` the way the program
// saves it (a new file written beside it and renamed over it): its directory
// (or the nearest existing one above it, to be created) is writable, and the
// file is missing, writable, or this user's (a read-only file of the user is
// made writable first). A directory or another non-file under the name
// cannot be written.
bool CanWriteSettingsFile(const QString &path);
// File name of the running executable, without directory.
QString GetProgramFileName();
// Number of command-line arguments after the program.
int GetParamCount();
// Argument at index (0 is the program itself); empty when absent.
QString GetParam(int index);
// Every argument after the program.
QStringList GetParams();

// The installer role: the executable is named "Install" or "Install.exe"
// (any case), or the first argument is "/Uninstall" (any case).
bool IsInstallerMode(const QString &programFileName, const QStringList &arguments);
// Same, for this process: the real executable name and the name it was
// started under (a link named "Install" counts) both qualify.
bool IsInstallerMode();

// Takes the instance lock "Mutex_ProgramInstance_" + name. True when another
// process holds it already (this process then holds nothing); false when
// this process now holds it or when no lock could be made at all. The lock is
// an advisory file lock, so the system frees it when the process dies.
bool IsProgramInstanceRunning(const QString &name);
// Frees the lock taken by IsProgramInstanceRunning, if any.
void ReleaseProgramInstance();
// The lock file used for a name (for diagnostics and tests).
QString ProgramInstanceLockPath(const QString &name);

// Makes TerminateProgramFun the handler of std::terminate.
void InstallTerminateHandler();
// Reports "Abort intercepted." in the error dialog, then ends the process.
[[noreturn]] void TerminateProgramFun();
// Ends the process at once with exit code 1: no clean-up, no exit handlers.
[[noreturn]] void TerminateProgramNow();

// Shift state of a keyboard or mouse event: keyboard modifiers, mouse
// buttons and the double-click flag.
enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using TShiftState = unsigned;

TShiftState ShiftStateFrom(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton,
                           bool doubleClick = false);
// The tests below look only at Shift, Alt, Ctrl and the double-click flag;
// held mouse buttons never disturb them.
// True when modifier (one of the seven flags) is in the state.
bool HasModifier(TShiftState state, unsigned modifier);
// True when the state holds exactly that one modifier.
bool HasOnlyModifier(TShiftState state, unsigned modifier);
// True when the state holds no modifier.
bool HasNoModifier(TShiftState state);
