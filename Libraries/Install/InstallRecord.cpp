#include "InstallRecord.h"

#include "FilePaths.h"
#include "FunStatContext.h"
#include "IniText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

const QString TInstallRecord::FileName = QStringLiteral("lectern-uninstall.ini");

namespace {

const QString SectionPrefix = QStringLiteral("Installation");
const QString DisplayNameKey = QStringLiteral("DisplayName");
const QString UninstallStringKey = QStringLiteral("UninstallString");
const QString LocationKey = QStringLiteral("InstallLocation");
const QString FileKey = QStringLiteral("File");
const QString DirectoryKey = QStringLiteral("Directory");

// The record is read only up to this size: a real one holds a few hundred
// paths.
constexpr qint64 MaxRecordBytes = 16 << 20;

void AppendNew(QStringList &list, const QStringList &items)
{
    for (const QString &item : items)
        if (!list.contains(item))
            list << item;
}

// "File12" is a numbered key of kind "File".
bool IsNumberedKey(const QString &key, const QString &kind)
{
    if (!key.startsWith(kind, Qt::CaseInsensitive) || key.size() == kind.size())
        return false;
    bool number = false;
    key.mid(kind.size()).toUInt(&number);
    return number;
}

bool Exists(const QString &path) { return QFileInfo(WithoutDelimiter(path)).exists(); }

} // namespace

void TInstallRecord::Parse(const QByteArray &bytes)
{
    Installations.clear();
    TIniText ini;
    ini.Parse(bytes);
    for (const QString &section : ini.Sections()) {
        const QString *location = ini.Find(section, LocationKey);
        if (!location || location->isEmpty())
            continue;
        TInstallation installation;
        installation.Location = WithDelimiter(*location);
        if (const QString *name = ini.Find(section, DisplayNameKey))
            installation.DisplayName = *name;
        if (const QString *command = ini.Find(section, UninstallStringKey))
            installation.UninstallString = *command;
        for (const QString &key : ini.Keys(section)) {
            const QString value = *ini.Find(section, key);
            if (value.isEmpty())
                continue;
            if (IsNumberedKey(key, FileKey))
                AppendNew(installation.Files, {value});
            else if (IsNumberedKey(key, DirectoryKey))
                AppendNew(installation.Directories, {WithDelimiter(value)});
        }
        Merge(installation);
    }
}

QByteArray TInstallRecord::Format() const
{
    TIniText ini;
    bool ok = true;
    for (int i = 0; i < Installations.size(); ++i) {
        const TInstallation &installation = Installations.at(i);
        const QString section = SectionPrefix + QString::number(i + 1);
        ok = ok && ini.Set(section, DisplayNameKey, installation.DisplayName);
        ok = ok && ini.Set(section, UninstallStringKey, installation.UninstallString);
        ok = ok && ini.Set(section, LocationKey, installation.Location);
        for (int n = 0; n < installation.Files.size(); ++n)
            ok = ok && ini.Set(section, FileKey + QString::number(n + 1), installation.Files.at(n));
        for (int n = 0; n < installation.Directories.size(); ++n)
            ok = ok && ini.Set(section, DirectoryKey + QString::number(n + 1), installation.Directories.at(n));
    }
    return ok ? ini.Format() : QByteArray();
}

bool TInstallRecord::Load(const QString &path)
{
    FUN_BEGIN("TInstallRecord::Load");
    try {
        Installations.clear();
        QFile file(path);
        if (QFileInfo::exists(path)) {
            if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
                FUN_RAISE(QStringLiteral("Failed to read uninstall record."), path, file.errorString(),
                          errno ? errno : EINVAL);
            else
                Parse(file.read(MaxRecordBytes));
        }
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    FUN_END;
    return ok;
}

bool TInstallRecord::Save(const QString &path) const
{
    FUN_BEGIN("TInstallRecord::Save");
    try {
        if (Installations.isEmpty()) {
            if (QFileInfo::exists(path) && !QFile::remove(path))
                FUN_RAISE(QStringLiteral("Failed to write uninstall record."), path, QString(), errno);
        } else {
            const QByteArray bytes = Format();
            QSaveFile file(path);
            file.setDirectWriteFallback(false);
            if (bytes.isEmpty())
                FUN_RAISE(QStringLiteral("Failed to write uninstall record."), path,
                          QStringLiteral("A path holds a line break."), EINVAL);
            else if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
                FUN_RAISE(QStringLiteral("Failed to write uninstall record."), path, file.errorString(), errno);
        }
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    FUN_END;
    return ok;
}

int TInstallRecord::Find(const QString &location) const
{
    const QString wanted = WithDelimiter(location);
    for (int i = 0; i < Installations.size(); ++i)
        if (Installations.at(i).Location == wanted)
            return i;
    return -1;
}

void TInstallRecord::Merge(const TInstallation &installation)
{
    for (TInstallation &other : Installations)
        if (other.Location != installation.Location)
            for (const QString &file : installation.Files)
                other.Files.removeAll(file);
    const int at = Find(installation.Location);
    if (at < 0) {
        Installations << installation;
        return;
    }
    TInstallation &kept = Installations[at];
    kept.DisplayName = installation.DisplayName;
    kept.UninstallString = installation.UninstallString;
    AppendNew(kept.Files, installation.Files);
    AppendNew(kept.Directories, installation.Directories);
}

void TInstallRecord::Remove(int index, const QStringList &sharedFiles)
{
    if (index < 0 || index >= Installations.size())
        return;
    const TInstallation gone = Installations.takeAt(index);
    QStringList dirs, files;
    for (const QString &dir : gone.Directories)
        if (Exists(dir))
            dirs << dir;
    for (const QString &file : sharedFiles)
        if (gone.Files.contains(file) && Exists(file))
            files << file;
    for (TInstallation &other : Installations) {
        AppendNew(other.Directories, dirs);
        AppendNew(other.Files, files);
    }
}
