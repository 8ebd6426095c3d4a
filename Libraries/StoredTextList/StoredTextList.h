// A settings file held completely in memory, loaded and saved as a whole,
// with typed reads that keep the caller's current value whenever the stored
// one is missing, unreadable, out of range or too long. The owner reads all
// its keys in the on-load handler (called after the file has been read) and
// writes them in the on-save handler (called before the file is written).
//
// A file that could not be read whole (a read error, a file larger than the
// reader takes, or content that is not read whole as TIniText says: bytes
// that are not text, lines the reader cannot take, a file cut short) is
// kept beside as its name + ".bad" (replacing an earlier one) when the next
// save replaces it, so what the reader could not take is never lost.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

#include "IniText.h"

using TColor = uint32_t; // 0x00BBGGRR

class TStoredTextList {
public:
    using THandler = std::function<void(TStoredTextList &list, bool argument)>;
    // Told of a failed save with its reason; returns true when it has dealt
    // with telling the reader, false to have the failure shown as usual.
    using TSaveFailedHandler = std::function<bool(const TStoredTextList &list, const QString &reason)>;

    // Nothing is read yet.
    explicit TStoredTextList(const QString &fileName = QString());
    TStoredTextList(const TStoredTextList &) = delete;
    TStoredTextList &operator=(const TStoredTextList &) = delete;

    const QString &FileName() const { return Name; }
    // Names another file without reading it.
    void SetFileName(const QString &fileName) { Name = fileName; }
    bool IsModified() const { return Modified; }
    // True while a load runs (also inside the on-load handler).
    bool IsLoading() const { return Loading; }

    THandler OnLoad;
    THandler OnSave;
    TSaveFailedHandler OnSaveFailed;

    // Reads the file (a missing one reads as empty, so every key keeps its
    // default), then runs the on-load handler. A failure is shown as "Failed
    // to load file." and leaves the keys in memory as they were.
    bool Load(bool argument = false);
    bool Load(const QString &fileName, bool argument);
    // Whether the last load read the file whole (a missing file is read
    // whole); see above.
    bool LoadedWhole() const { return DamagedName.isEmpty(); }
    // The name a file that could not be read whole is kept under.
    static QString DamagedCopyName(const QString &fileName) { return fileName + QStringLiteral(".bad"); }

    // Runs the on-save handler, then writes the whole file: completely or
    // not at all (a temporary file renamed over the old one). With
    // askOverwrite, an existing file is overwritten only when the reader
    // says so. A read-only file is made writable for its owner first. A file
    // the last load could not read whole is kept as DamagedCopyName first;
    // when it cannot be kept, nothing is written. A failure is shown as
    // "Failed to save file." unless OnSaveFailed deals with it.
    bool Save(bool askOverwrite, bool argument = false);
    bool Save(const QString &fileName, bool askOverwrite, bool argument);
    // Empties the file in memory (every section).
    void Clear();

    // The same in memory, without a file and without the handlers.
    void LoadFromBytes(const QByteArray &bytes);
    QByteArray SaveToBytes() const { return Ini.Format(); }
    const TIniText &Text() const { return Ini; }

    // Typed access. A read leaves `value` as it was unless the key holds a
    // valid value.
    // Text: accepted when not empty (or empty is allowed) and at most
    // maxLength characters long.
    void ReadText(const QString &section, const QString &key, bool allowEmpty, QString &value, int maxLength) const;
    void WriteText(const QString &section, const QString &key, const QString &value);
    // True exactly for the text "TRUE" (letter case counts).
    void ReadBool(const QString &section, const QString &key, bool &value) const;
    void WriteBool(const QString &section, const QString &key, bool value);
    // Accepted when minimum <= number <= maximum (note the order).
    void ReadInt(const QString &section, const QString &key, int &value, int maximum, int minimum) const;
    void WriteInt(const QString &section, const QString &key, int value);
    // A stock colour name, or a colour constant ("$00FF00", 255, "clRed").
    void ReadColor(const QString &section, const QString &key, TColor &value) const;
    void WriteColor(const QString &section, const QString &key, TColor value);

private:
    bool KeepDamagedCopy(QString &reason) const;

    QString Name;
    QString DamagedName; // the file the last load could not read whole
    bool Modified = false;
    bool Loading = false;
    TIniText Ini;
};
