// A settings file in the INI layout, held in memory: sections of keys with
// text values, names compared without regard to letter case, the order of
// sections and keys kept as read or written.
//
// Reading accepts what people and other programs write: UTF-8 (a byte order
// mark is dropped) or Windows-1252 when the bytes are not valid UTF-8; CR LF,
// LF or CR line ends; blank lines; comment lines starting with ";" or "#";
// blanks around names, "=" and values; lines without "=" (ignored); keys
// before the first section (ignored); a key given twice (the first counts);
// a section given twice (its keys join the first one); a value between
// double quotes loses them, as in the files of other programs. Writing gives
// UTF-8 with CR LF line ends, and quotes a value that would otherwise not
// read back the same (blanks at its ends, or quotes around it).
//
// A file is "read whole" when every line of it was taken: it fails to be
// when it holds bytes that are not text (a NUL or another control character
// than tab, line feed, vertical tab, form feed and carriage return), a line
// that is neither blank, a comment, a section header nor a key of a section
// (a line without "=", a key before the first section, a header without
// "]"), more keys than the reader takes, or when its last line has no line
// end or it ends inside a UTF-8 character (a file cut short; the program
// writes a line end after every line). What can be read is still read.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class TIniText {
public:
    // Reading stops taking keys after this many, so a huge or hostile file
    // cannot take the memory of the machine; real settings hold a few
    // hundred.
    static constexpr int MaxKeys = 100000;

    // Replaces the content with the file's bytes.
    void Parse(const QByteArray &bytes);
    // Whether the last Parse took every line (see above); true after Clear
    // and for content built with Set.
    bool IsWhole() const { return Whole; }
    QByteArray Format() const;
    void Clear();

    // The value of a key, or null when the key does not exist.
    const QString *Find(const QString &section, const QString &key) const;
    // Sets a key, creating the section and the key at their ends when they
    // are new. A name or value that cannot be stored on one line and read
    // back as the same name or value (a line break anywhere; a key that is
    // empty, begins with "[", ";" or "#", holds "=" or has blanks at its
    // ends; a section name holding "]" or with blanks at its ends) is not stored;
    // the function then returns false and an existing key of that name is
    // removed so no stale value survives.
    bool Set(const QString &section, const QString &key, const QString &value);
    bool Remove(const QString &section, const QString &key);

    QStringList Sections() const;
    // The key names of a section in their order (empty for a missing one).
    QStringList Keys(const QString &section) const;
    int KeyCount() const { return TotalKeys; }

    // Text of a settings file: UTF-8 when valid (byte order mark dropped),
    // also when only the last character is cut short and other non-ASCII
    // characters are UTF-8 (the cut one is then dropped and `cutShort` set),
    // Windows-1252 otherwise.
    static QString Decode(const QByteArray &bytes, bool *cutShort = nullptr);

private:
    struct TEntry {
        QString Key;
        QString Value;
    };
    struct TSection {
        QString Name;
        QList<TEntry> Entries;
        QHash<QString, int> Index; // case-folded key -> entry
    };
    TSection *FindSection(const QString &name);
    const TSection *FindSection(const QString &name) const;
    TSection &AddSection(const QString &name);
    void RebuildIndex(TSection &section);

    QList<TSection> SectionList;
    QHash<QString, int> SectionIndex; // case-folded name -> section
    int TotalKeys = 0;
    bool Whole = true;
};
