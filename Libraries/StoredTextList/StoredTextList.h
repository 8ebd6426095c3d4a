// A settings file held completely in memory, loaded and saved as a whole,
// with typed reads that keep the caller's current value whenever the stored
// one is missing, unreadable, out of range or too long. The owner reads all
// its keys in the on-load handler (called after the file has been read) and
// writes them in the on-save handler (called before the file is written).
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

    // Reads the file (a missing one reads as empty, so every key keeps its
    // default), then runs the on-load handler. A failure is shown as "Failed
    // to load file." and leaves the keys in memory as they were.
    bool Load(bool argument = false);
    bool Load(const QString &fileName, bool argument);
    // Runs the on-save handler, then writes the whole file: completely or
    // not at all. With askOverwrite, an existing file is overwritten only
    // when the reader says so. A read-only file is made writable for its
    // owner first. A failure is shown as "Failed to save file.".
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
    QString Name;
    bool Modified = false;
    bool Loading = false;
    TIniText Ini;
};
