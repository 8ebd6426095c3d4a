// A temporary directory to build small trees of files, directories, links
// and pipes in, removed with the object.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

class TTempTree {
public:
    bool IsValid() const { return Dir.isValid(); }
    // The root with a trailing "/".
    QString Root() const { return Dir.path() + QLatin1Char('/'); }
    QString Path(const QString &relative) const { return Root() + relative; }

    QString File(const QString &relative, const QByteArray &content = QByteArray())
    {
        const QString path = Path(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return path;
    }
    QString Directory(const QString &relative)
    {
        QDir().mkpath(Path(relative));
        return Path(relative) + QLatin1Char('/');
    }
    QString Link(const QString &relative, const QString &target)
    {
        ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(Path(relative)).constData());
        return Path(relative);
    }
    QString Fifo(const QString &relative)
    {
        ::mkfifo(QFile::encodeName(Path(relative)).constData(), 0600);
        return Path(relative);
    }
    // A file whose name is given as raw bytes (not necessarily UTF-8).
    QByteArray NativeFile(const QByteArray &name, const QByteArray &content)
    {
        const QByteArray path = QFile::encodeName(Root()) + name;
        if (FILE *f = ::fopen(path.constData(), "wb")) {
            ::fwrite(content.constData(), 1, content.size(), f);
            ::fclose(f);
        }
        return path;
    }

private:
    QTemporaryDir Dir;
};
