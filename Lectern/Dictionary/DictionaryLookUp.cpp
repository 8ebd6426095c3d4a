#include "DictionaryLookUp.h"

#include "FunStatContext.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>

namespace {

const int MaxLookUpLength = 20;

} // namespace

QString TrimControls(const QString &text)
{
    int first = 0;
    int last = int(text.size());
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}

TDictionaryRequest DictionaryRequest(const QString &selection, const QString &dictionary, bool useClipboard)
{
    TDictionaryRequest request;
    const QString word = TrimControls(selection);
    if (word.isEmpty() || dictionary.isEmpty() || selection.size() > MaxLookUpLength)
        return request;
    request.Run = true;
    request.CopySelection = useClipboard;
    request.Arguments << word;
    return request;
}

QString ResolveDictionaryProgram(const QString &dictionary)
{
    if (dictionary.contains(QLatin1Char('/')))
        return dictionary;
    return QStandardPaths::findExecutable(dictionary);
}

bool StartDetachedProgram(const QString &program, const QStringList &arguments, QString *reason)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    if (process.startDetached())
        return true;
    if (reason)
        *reason = process.errorString();
    return false;
}

TDictionaryLookUp::TDictionaryLookUp() : Starter(&StartDetachedProgram) {}

TDictionaryLookUp::TResult TDictionaryLookUp::LookUp(const QString &selection, const QString &dictionary,
                                                     bool useClipboard)
{
    const TDictionaryRequest request = DictionaryRequest(selection, dictionary, useClipboard);
    if (!request.Run)
        return TResult::Ignored;
    if (request.CopySelection && CopySelection)
        CopySelection();

    FUN_BEGIN("RunFile");
    bool started = false;
    try {
        const QString program = ResolveDictionaryProgram(dictionary);
        const QFileInfo info(program);
        QString reason;
        int code = 0;
        if (program.isEmpty() || !info.exists())
            code = ENOENT;
        else if (!info.isFile() || !info.isExecutable())
            code = EACCES;
        else
            started = Starter && Starter(program, request.Arguments, &reason);
        if (!started)
            FUN_RAISE(QStringLiteral("Failed to run file."), dictionary, reason, code);
    }
    FUN_CATCH
    FUN_END;

    if (started) {
        FailedProgram.clear();
        return TResult::Started;
    }
    const bool again = FailedProgram == dictionary;
    FailedProgram = dictionary;
    return again ? TResult::FailedAgain : TResult::Failed;
}
