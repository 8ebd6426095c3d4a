#include "FileLinks.h"

#include "FilePaths.h"
#include "FunStatContext.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QUrl>

#include <cerrno>

namespace {

const QString Group = QStringLiteral("[Desktop Entry]");

// Characters that make an argument of Exec need double quotes.
const QString ReservedInExec = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");

bool HasControlCharacters(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    return false;
}

// A value of the "string" kind: backslashes doubled.
QString EscapeValue(const QString &value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return escaped;
}

QString UnescapeValue(const QString &value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            text += c;
            continue;
        }
        switch (value.at(++i).unicode()) {
        case 's': text += u' '; break;
        case 'n': text += u'\n'; break;
        case 't': text += u'\t'; break;
        case 'r': text += u'\r'; break;
        default: text += value.at(i); break;
        }
    }
    return text;
}

QString QuoteExecArgument(const QString &argument)
{
    QString text = argument;
    text.replace(QLatin1Char('%'), QLatin1String("%%"));
    bool quote = text.isEmpty();
    for (QChar c : text)
        quote = quote || ReservedInExec.contains(c);
    if (!quote)
        return text;
    QString quoted = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

// The words of an Exec value (already unescaped as a string); field codes
// such as %f are dropped.
QStringList SplitExec(const QString &exec)
{
    QStringList words;
    QString word;
    bool inWord = false, quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == u'\\' && i + 1 < exec.size()) {
                word += exec.at(++i);
            } else if (c == u'"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == u' ' || c == u'\t') {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else if (c == u'"') {
            quoted = inWord = true;
        } else if (c == u'%' && i + 1 < exec.size()) {
            // A field code alone ("%f") makes no word of its own.
            if (exec.at(++i) == u'%') {
                word += u'%';
                inWord = true;
            }
        } else {
            inWord = true;
            word += c;
        }
    }
    if (inWord)
        words << word;
    return words;
}

// Items of a list value ("Office;Viewer;"): words without separators,
// blanks or characters that need escaping.
bool IsListOfWords(const QStringList &items)
{
    for (const QString &item : items) {
        if (item.isEmpty())
            return false;
        for (QChar c : item)
            if (c.unicode() <= 0x20 || c.unicode() == 0x7f || c == u';' || c == u'\\' || c == u'=')
                return false;
    }
    return true;
}

bool IsProgram(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

QStringList SplitArguments(const QString &commandLine) { return QProcess::splitCommand(commandLine); }

QString JoinArguments(const QStringList &arguments)
{
    QStringList words;
    for (QString word : arguments) {
        if (word.isEmpty() || word.contains(u' ') || word.contains(u'\t') || word.contains(u'"')) {
            word.replace(QLatin1String("\""), QLatin1String("\"\"\""));
            word = u'"' + word + u'"';
        }
        words << word;
    }
    return words.join(u' ');
}

bool TLinkFile::Save(const TLinkFile &link, const QString &linkPath, bool replace)
{
    FUN_BEGIN("TLinkFile::Save");
    try {
        const QString target = ExpandPath(link.ReferencePath);
        const QStringList arguments = SplitArguments(link.Arguments);
        if (IsLinkFile(target)) {
            FUN_RAISE(QStringLiteral("This operating system does not support chained links."), target);
        } else if (!QFileInfo::exists(linkPath) || replace) {
            const bool program = IsProgram(target);
            auto refuse = [&](const QString &text) { return HasControlCharacters(text); };
            if (target.isEmpty() || refuse(target))
                FUN_RAISE(QStringLiteral("Failed to set reference path."), target);
            else if (refuse(link.WorkingPath))
                FUN_RAISE(QStringLiteral("Failed to set working path."), link.WorkingPath);
            else if (refuse(link.Arguments) || (!program && !arguments.isEmpty()))
                FUN_RAISE(QStringLiteral("Failed to set arguments."), link.Arguments);
            else if (refuse(link.Description))
                FUN_RAISE(QStringLiteral("Failed to set description."), link.Description);
            else if (refuse(link.IconPath) || link.IconIndex < 0)
                FUN_RAISE(QStringLiteral("Failed to set icon path."), link.IconPath);
            else if (link.HotKey < 0)
                FUN_RAISE(QStringLiteral("Failed to set hot key."), QString::number(link.HotKey));
            else if (link.ShowCommand < 0)
                FUN_RAISE(QStringLiteral("Failed to set show command."), QString::number(link.ShowCommand));
            else if (refuse(link.Name))
                FUN_RAISE(QStringLiteral("Failed to set name."), link.Name);
            else if (!IsListOfWords(link.Categories))
                FUN_RAISE(QStringLiteral("Failed to set categories."), link.Categories.join(u';'));
            else if (!IsListOfWords(link.MimeTypes))
                FUN_RAISE(QStringLiteral("Failed to set types."), link.MimeTypes.join(u';'));

            if (!FUN_FAILED()) {
                QString name = link.Name.isEmpty() ? QFileInfo(linkPath).completeBaseName() : link.Name;
                if (name.isEmpty())
                    name = QFileInfo(target).fileName();
                QStringList lines{Group, QStringLiteral("Version=1.0")};
                if (program) {
                    QStringList exec{QuoteExecArgument(target)};
                    for (const QString &argument : arguments)
                        exec << QuoteExecArgument(argument);
                    if (!link.MimeTypes.isEmpty())
                        exec << QStringLiteral("%f"); // the file to open
                    lines << QStringLiteral("Type=Application") << QStringLiteral("Name=") + EscapeValue(name)
                          << QStringLiteral("Exec=") + EscapeValue(exec.join(u' '));
                    if (!link.WorkingPath.isEmpty())
                        lines << QStringLiteral("Path=") + EscapeValue(link.WorkingPath);
                    lines << QStringLiteral("Terminal=false");
                    if (!link.Categories.isEmpty())
                        lines << QStringLiteral("Categories=") + link.Categories.join(u';') + u';';
                    if (!link.MimeTypes.isEmpty())
                        lines << QStringLiteral("MimeType=") + link.MimeTypes.join(u';') + u';';
                } else {
                    lines << QStringLiteral("Type=Link") << QStringLiteral("Name=") + EscapeValue(name)
                          << QStringLiteral("URL=") + QString::fromLatin1(QUrl::fromLocalFile(target).toEncoded());
                }
                if (!link.Description.isEmpty())
                    lines << QStringLiteral("Comment=") + EscapeValue(link.Description);
                if (!link.IconPath.isEmpty())
                    lines << QStringLiteral("Icon=") + EscapeValue(link.IconPath);
                if (link.IconIndex != 0)
                    lines << QStringLiteral("X-Lectern-IconIndex=") + QString::number(link.IconIndex);
                if (link.HotKey != 0)
                    lines << QStringLiteral("X-Lectern-HotKey=") + QString::number(link.HotKey);
                if (link.ShowCommand != 0)
                    lines << QStringLiteral("X-Lectern-ShowCommand=") + QString::number(link.ShowCommand);

                QSaveFile file(linkPath);
                file.setDirectWriteFallback(false);
                const QByteArray bytes = (lines.join(u'\n') + u'\n').toUtf8();
                if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
                    FUN_RAISE(QStringLiteral("Failed to save link file."), linkPath, file.errorString(), errno);
                } else {
                    // Desktops start only entries whose files may be run.
                    QFile::setPermissions(
                        linkPath, QFile::permissions(linkPath) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
                }
            }
        }
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    FUN_END;
    return ok;
}

bool TLinkFile::Load(TLinkFile &link, const QString &linkPath)
{
    FUN_BEGIN("TLinkFile::Load");
    try {
        link = TLinkFile();
        QFile file(linkPath);
        const bool opened = QFileInfo(linkPath).isFile() && file.open(QIODevice::ReadOnly);
        const QStringList lines
            = opened ? QString::fromUtf8(file.read(1 << 20)).split(u'\n', Qt::SkipEmptyParts) : QStringList();
        qsizetype at = lines.indexOf(Group);
        if (at < 0) {
            FUN_RAISE(QStringLiteral("Failed to load link file."), linkPath, QString(), opened ? EINVAL : errno);
        } else {
            QString type, exec, url;
            for (++at; at < lines.size() && !lines.at(at).startsWith(u'['); ++at) {
                const QString &line = lines.at(at);
                const qsizetype equals = line.indexOf(u'=');
                if (line.startsWith(u'#') || equals < 0)
                    continue;
                const QString key = line.left(equals).trimmed();
                const QString value = UnescapeValue(line.mid(equals + 1).trimmed());
                if (key == QLatin1String("Type"))
                    type = value;
                else if (key == QLatin1String("Exec"))
                    exec = value;
                else if (key == QLatin1String("URL"))
                    url = value;
                else if (key == QLatin1String("Name"))
                    link.Name = value;
                else if (key == QLatin1String("Categories"))
                    link.Categories = value.split(u';', Qt::SkipEmptyParts);
                else if (key == QLatin1String("MimeType"))
                    link.MimeTypes = value.split(u';', Qt::SkipEmptyParts);
                else if (key == QLatin1String("Path"))
                    link.WorkingPath = value;
                else if (key == QLatin1String("Comment"))
                    link.Description = value;
                else if (key == QLatin1String("Icon"))
                    link.IconPath = value;
                else if (key == QLatin1String("X-Lectern-IconIndex"))
                    link.IconIndex = value.toInt();
                else if (key == QLatin1String("X-Lectern-HotKey"))
                    link.HotKey = value.toInt();
                else if (key == QLatin1String("X-Lectern-ShowCommand"))
                    link.ShowCommand = value.toInt();
            }
            if (type == QLatin1String("Application")) {
                QStringList words = SplitExec(exec);
                if (!words.isEmpty())
                    link.ReferencePath = words.takeFirst();
                link.Arguments = JoinArguments(words);
            } else {
                const QUrl address(url);
                link.ReferencePath = address.isLocalFile() ? address.toLocalFile() : url;
            }
            const QFileInfo target(link.ReferencePath);
            if (!link.ReferencePath.isEmpty() && target.exists()) {
                link.Loaded = true;
                link.Attributes = static_cast<uint32_t>(target.permissions());
                link.CreationTime = target.birthTime();
                link.LastAccessTime = target.lastRead();
                link.LastWriteTime = target.lastModified();
                link.Size = target.size();
            }
        }
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    FUN_END;
    return ok;
}

namespace {

// A link with only a target, its working directory and arguments set.
TLinkFile LinkTo(const QString &target, bool workingFromTarget, const QString &arguments, int showCommand)
{
    TLinkFile link;
    link.ReferencePath = target;
    if (workingFromTarget)
        link.WorkingPath = DirectoryPart(ExpandPath(target));
    link.Arguments = arguments;
    link.ShowCommand = showCommand;
    return link;
}

} // namespace

bool CopyFileAsLink(const QString &target, const QString &linkPath, bool replace, bool minimized,
                    bool workingFromTarget, const QString &arguments)
{
    FUN_BEGIN("CopyFileAsLink");
    try {
        if (!TLinkFile::Save(LinkTo(target, workingFromTarget, arguments, minimized ? 7 : 0), linkPath, replace))
            FUN_ADOPT();
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    FUN_END;
    return ok;
}

bool CopyFileAsLinkWithParam(const QString &target, const QString &linkPath, const QString &arguments, bool replace)
{
    FUN_BEGIN("CopyFileAsLinkWithParam");
    try {
        if (!TLinkFile::Save(LinkTo(target, true, arguments, 0), linkPath, replace))
            FUN_ADOPT();
    }
    FUN_CATCH
    const bool ok = !FUN_FAILED();
    FUN_END;
    return ok;
}

QString GetWhenReference(const QString &path)
{
    if (IsLinkFile(path)) {
        TLinkFile link;
        if (TLinkFile::Load(link, path) && !link.ReferencePath.isEmpty())
            return link.ReferencePath;
        return path;
    }
    const QString target = QFileInfo(path).symLinkTarget();
    return target.isEmpty() ? path : target;
}
