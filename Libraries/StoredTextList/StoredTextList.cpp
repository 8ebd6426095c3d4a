#include "StoredTextList.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopedValueRollback>

#include <cerrno>
#include <cstdio>

#include "Dialogs.h"
#include "FunStatContext.h"
#include "TextParsers.h"

namespace {

// Settings files are a few kilobytes; a larger file is read up to here.
constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

// The file's bytes; a missing file gives none. A directory, a device or a
// pipe under the name is a failure (a pipe would block the reader forever).
// `whole` tells whether every byte was read.
bool ReadFileBytes(const QString &name, QByteArray &bytes, int &error, bool &whole)
{
    bytes.clear();
    whole = true;
    const QFileInfo info(name);
    if (!info.exists())
        return true;
    if (!info.isFile()) {
        error = info.isDir() ? EISDIR : EINVAL;
        return false;
    }
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        error = errno;
        return false;
    }
    bytes = file.read(MaxFileBytes);
    if (file.error() != QFileDevice::NoError) {
        error = errno;
        return false;
    }
    whole = file.atEnd();
    return true;
}

// What went wrong, for the reader: the system's words when there are any.
QString ReasonOf(int error, const QString &fallback) { return error != 0 ? SystemErrorDescription(error) : fallback; }

// Copies the file `from` to `to` whole or not at all.
bool CopyWhole(const QString &from, const QString &to, QString &reason)
{
    QFile source(from);
    QSaveFile copy(to);
    errno = 0;
    if (!source.open(QIODevice::ReadOnly)) {
        reason = ReasonOf(errno, source.errorString());
        return false;
    }
    if (!copy.open(QIODevice::WriteOnly)) {
        reason = ReasonOf(errno, copy.errorString());
        return false;
    }
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 20);
        if (source.error() != QFileDevice::NoError || copy.write(chunk) != chunk.size()) {
            reason
                = ReasonOf(errno, source.error() != QFileDevice::NoError ? source.errorString() : copy.errorString());
            copy.cancelWriting();
            return false;
        }
    }
    if (!copy.commit()) {
        reason = ReasonOf(errno, copy.errorString());
        return false;
    }
    return true;
}

} // namespace

TStoredTextList::TStoredTextList(const QString &fileName) : Name(fileName) {}

bool TStoredTextList::Load(const QString &fileName, bool argument)
{
    Name = fileName;
    return Load(argument);
}

bool TStoredTextList::Load(bool argument)
{
    FUN_BEGIN("TStoredTextList::Load");
    const QScopedValueRollback<bool> loading(Loading, true);
    DamagedName.clear();
    try {
        QByteArray bytes;
        int error = 0;
        bool whole = true;
        if (!ReadFileBytes(Name, bytes, error, whole)) {
            if (QFileInfo(Name).isFile())
                DamagedName = Name;
            FUN_RAISE(QStringLiteral("Failed to load file."), Name, QString(), error);
        } else {
            TIniText fresh;
            fresh.Parse(bytes);
            if (!whole || !fresh.IsWhole())
                DamagedName = Name;
            Ini = std::move(fresh);
            if (OnLoad)
                OnLoad(*this, argument);
        }
    }
    FUN_CATCH
    const bool loaded = !FUN_FAILED();
    if (loaded)
        Modified = false;
    FUN_END_SHOW(QStringLiteral("Failed to load file."));
    return loaded;
}

bool TStoredTextList::Save(const QString &fileName, bool askOverwrite, bool argument)
{
    Name = fileName;
    return Save(askOverwrite, argument);
}

bool TStoredTextList::Save(bool askOverwrite, bool argument)
{
    FUN_BEGIN("TStoredTextList::Save");
    bool saved = false;
    QString reason;
    try {
        if (askOverwrite && QFileInfo::exists(Name)
            && !QueryDialog(QStringLiteral("File \"") + Name + QStringLiteral("\"already exists.\nOverwrite it?"))) {
            FUN_END;
            return false;
        }
        if (OnSave)
            OnSave(*this, argument);
        if (DamagedName == Name && !KeepDamagedCopy(reason)) {
            reason = QStringLiteral("the file read in part cannot be kept as \"") + DamagedCopyName(Name)
                + QStringLiteral("\" (") + reason + QLatin1Char(')');
            FUN_RAISE(QStringLiteral("Failed to save file."), Name, reason);
        } else {
            DamagedName.clear();
            const QFileInfo info(Name);
            if (info.exists() && !(info.permissions() & QFileDevice::WriteOwner))
                QFile::setPermissions(Name, info.permissions() | QFileDevice::WriteOwner);
            const QByteArray bytes = Ini.Format();
            QSaveFile file(Name);
            errno = 0;
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
                const int error = errno;
                reason = ReasonOf(error, file.errorString());
                file.cancelWriting();
                FUN_RAISE(QStringLiteral("Failed to save file."), Name, file.errorString(), error);
            } else {
                Modified = false;
                saved = true;
            }
        }
    }
    FUN_CATCH
    if (FUN_FAILED() && OnSaveFailed && OnSaveFailed(*this, reason.isEmpty() ? Fsc_.Description : reason))
        Fsc_.Reset(Perfect);
    FUN_END_SHOW(QStringLiteral("Failed to save file."));
    return saved;
}

// Copies the file aside; a file that cannot be read moves aside instead (its
// bytes are kept, and the save writes a new file under the name).
bool TStoredTextList::KeepDamagedCopy(QString &reason) const
{
    if (!QFileInfo(Name).isFile())
        return true; // nothing there any more
    const QString copyName = DamagedCopyName(Name);
    if (CopyWhole(Name, copyName, reason))
        return true;
    // rename() replaces an earlier copy in one step.
    if (::rename(QFile::encodeName(Name).constData(), QFile::encodeName(copyName).constData()) == 0)
        return true;
    reason = SystemErrorDescription(errno);
    return false;
}

void TStoredTextList::Clear() { Ini.Clear(); }

void TStoredTextList::LoadFromBytes(const QByteArray &bytes)
{
    Ini.Parse(bytes);
    Modified = false;
}

void TStoredTextList::ReadText(const QString &section, const QString &key, bool allowEmpty, QString &value,
                               int maxLength) const
{
    const QString *text = Ini.Find(section, key);
    if (!text || (text->isEmpty() && !allowEmpty) || text->size() > maxLength)
        return;
    value = *text;
}

void TStoredTextList::WriteText(const QString &section, const QString &key, const QString &value)
{
    Ini.Set(section, key, value);
    Modified = true;
}

void TStoredTextList::ReadBool(const QString &section, const QString &key, bool &value) const
{
    if (const QString *text = Ini.Find(section, key))
        value = TextToBool(*text);
}

void TStoredTextList::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteText(section, key, BoolToText(value));
}

void TStoredTextList::ReadInt(const QString &section, const QString &key, int &value, int maximum, int minimum) const
{
    const QString *text = Ini.Find(section, key);
    int32_t number = 0;
    if (text && TryTextToInt(*text, number) && number >= minimum && number <= maximum)
        value = number;
}

void TStoredTextList::WriteInt(const QString &section, const QString &key, int value)
{
    WriteText(section, key, QString::number(value));
}

void TStoredTextList::ReadColor(const QString &section, const QString &key, TColor &value) const
{
    const QString *text = Ini.Find(section, key);
    if (!text || text->isEmpty())
        return;
    try {
        value = TextToColor(*text);
    } catch (const std::exception &) {
        // Not a colour: the current one stays.
    }
}

void TStoredTextList::WriteColor(const QString &section, const QString &key, TColor value)
{
    WriteText(section, key, QString::number(static_cast<int32_t>(value)));
}
