#include "FunStatContext.h"

#include "TimeStamp.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

thread_local TFunStatContext FunStatContext;

namespace {
TErrorReportView *g_reportView = nullptr;
TPlainErrorBox g_plainBox = nullptr;

QString Quoted(const QString &text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

// The running executable; reports can be built before an application exists.
QString ExecutablePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}
QString FileNamePart(const QString &path) { return QFileInfo(path).fileName(); }

// Shortest text that reads back as the same double, at most 15 digits.
QString GeneralReal(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    return QString::number(value, 'g', 15);
}
} // namespace

void SetErrorReportView(TErrorReportView *view) { g_reportView = view; }
void SetPlainErrorBox(TPlainErrorBox box) { g_plainBox = box; }

void ShowPlainErrorBox(const QString &text)
{
    if (g_plainBox)
        g_plainBox(text);
    else
        fprintf(stderr, "Error: %s\n", qPrintable(text));
}
TErrorReportView *ErrorReportView() { return g_reportView; }

TFunStatContext::TFunStatContext()
{
    Reset(Perfect);
    ResetUser();
    ShowLine = 0;
}

void TFunStatContext::Reset(int32_t status)
{
    Status = status;
    RaiseFile.clear();
    RaiseFunction.clear();
    Description.clear();
    Parameter1.clear();
    Parameter2.clear();
    RaiseLine = 0;
    SystemErrorCode = 0;
}

void TFunStatContext::ResetUser()
{
    UserCode = 0;
    UserText.clear();
    UserInt = 0;
    UserReal = 0.0;
}

void TFunStatContext::Begin(const char *file, const QString &function, int line)
{
    Status = BeginFunctionError;
    RaiseFile = QString::fromUtf8(file);
    RaiseFunction = function;
    RaiseLine = line;
    Description.clear();
    Parameter1.clear();
    Parameter2.clear();
    SystemErrorCode = 0;
}

void TFunStatContext::Raise(const char *file, const QString &function, int line, int32_t status,
                            const QString &description, const QString &parameter1, const QString &parameter2,
                            int32_t systemErrorCode)
{
    Status = status;
    RaiseFile = QString::fromUtf8(file);
    RaiseFunction = function;
    RaiseLine = line;
    Description = description;
    Parameter1 = parameter1;
    Parameter2 = parameter2;
    SystemErrorCode = systemErrorCode;
}

void TFunStatContext::RaiseException(const char *file, const QString &function, int line, const std::exception *e)
{
    QString description = QStringLiteral("Unhandled generic exception.");
    QString throwFile;
    QString throwLine = QStringLiteral("0");
    if (e) {
        description = QStringLiteral("Unhandled exception: ") + QString::fromUtf8(e->what());
        if (auto le = dynamic_cast<const TLecternException *>(e)) {
            throwFile = FileNamePart(QString::fromUtf8(le->ThrowFile));
            throwLine = QString::number(le->ThrowLine);
        }
    }
    Raise(file, function, line, Error, description, throwFile, throwLine, 0);
}

void TFunStatContext::SetShow(const char *file, const QString &function, int line)
{
    ShowFile = QString::fromUtf8(file);
    ShowFunction = function;
    ShowLine = line;
}

void TFunStatContext::Assign(const TFunStatContext &other)
{
    if (this == &other)
        return;
    Status = other.Status;
    RaiseFile = other.RaiseFile;
    RaiseFunction = other.RaiseFunction;
    RaiseLine = other.RaiseLine;
    Description = other.Description;
    Parameter1 = other.Parameter1;
    Parameter2 = other.Parameter2;
    SystemErrorCode = other.SystemErrorCode;
    UserCode = other.UserCode;
    UserText = other.UserText;
    UserInt = other.UserInt;
    UserReal = other.UserReal;
}

QString TFunStatContext::StatusText(int32_t status)
{
    switch (status) {
    case Perfect: return QStringLiteral("Perfect");
    case Warning: return QStringLiteral("Warning");
    case Error: return QStringLiteral("Error");
    case BeginFunctionError: return QStringLiteral("Begin function error");
    case Panic: return QStringLiteral("Panic");
    case Catastrophe: return QStringLiteral("Catastrophe");
    default: return QStringLiteral("Unknown function status");
    }
}

QString TFunStatContext::ReportText() const
{
    QString text;
    try {
        const QString crlf = QStringLiteral("\r\n");
        text += crlf + QStringLiteral("RAISE CONTEXT");
        QString status = StatusText(Status);
        if (Status == Catastrophe)
            status += QStringLiteral(
                ": CATASTROPHIC FAILURE!!! It is highly recommended to terminate the program immediately!");
        text += crlf + QStringLiteral("* Status: ") + status;
        text += crlf + QStringLiteral("* File: ") + Quoted(FileNamePart(RaiseFile));
        text += crlf + QStringLiteral("* Function: ") + Quoted(RaiseFunction);
        text += crlf + QStringLiteral("* Line: ") + QString::number(RaiseLine);
        text += crlf + QStringLiteral("* Description: ") + Quoted(Description);
        if (!Parameter1.isEmpty())
            text += crlf + QStringLiteral("* Parameter 1: ") + Quoted(Parameter1);
        if (!Parameter2.isEmpty())
            text += crlf + QStringLiteral("* Parameter 2: ") + Quoted(Parameter2);
        if (SystemErrorCode != 0) {
            text += crlf + QStringLiteral("* System error code: ") + QString::number(SystemErrorCode);
            text += crlf + QStringLiteral("* System error description: ")
                + Quoted(SystemErrorDescription(SystemErrorCode));
        }
        text += crlf;
        text += crlf + QStringLiteral("SHOW CONTEXT");
        text += crlf + QStringLiteral("* File: ") + Quoted(FileNamePart(ShowFile));
        text += crlf + QStringLiteral("* Function: ") + Quoted(ShowFunction);
        text += crlf + QStringLiteral("* Line: ") + QString::number(ShowLine);
        text += crlf;
        text += crlf + QStringLiteral("INFO");
        text += crlf + QStringLiteral("* Time: ") + TimeStampText(QStringLiteral(" | "), QDateTime::currentDateTime());
        text += crlf + QStringLiteral("* Program: ") + ExecutablePath();
        text += crlf + QStringLiteral("* Recursive attempts: ")
            + QString::number(g_reportView ? g_reportView->RecursionCount() : 0);
        text += crlf;
        text += crlf + QStringLiteral("USER INFO");
        text += crlf + QStringLiteral("* UserCode: ") + QString::number(UserCode);
        text += crlf + QStringLiteral("* UserText: ") + UserText;
        text += crlf + QStringLiteral("* UserInt: ") + QString::number(UserInt);
        text += crlf + QStringLiteral("* UserReal: ") + GeneralReal(UserReal);
    } catch (...) {
        // A failure while building leaves what was built.
    }
    return text;
}

QString SystemErrorDescription(int32_t code)
{
    QString text = QString::fromLocal8Bit(std::strerror(code));
    while (!text.isEmpty()
           && (text.back().isSpace() || text.back() == QLatin1Char('.') || text.back() == QLatin1Char('\r')
               || text.back() == QLatin1Char('\n')))
        text.chop(1);
    return text;
}

void ClearLastError() { errno = 0; }
int32_t LastError() { return errno; }
bool IsSystemError(int32_t code) { return code != 0 && code != ENOMEM && code != ECANCELED; }
bool IsSystemErrorExceptExisting(int32_t code) { return IsSystemError(code) && code != EEXIST; }
bool IsFindResultOk(int32_t code) { return code == 0 || code == ENOENT; }

bool AppendReportToLog(const QString &path, const QString &memoText)
{
    try {
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite))
            return false;
        if (file.size() > 10000 && !file.resize(0))
            return false;
        if (!file.seek(file.size()))
            return false;
        const QString entry = QStringLiteral("**********") + memoText + QStringLiteral("\r\n**********\r\n");
        const QByteArray bytes = entry.toUtf8();
        if (file.write(bytes) != bytes.size())
            return false;
        return file.flush();
    } catch (...) {
        return false;
    }
}

bool TFunStatContext::Show(const QString &message, bool *noErrors)
{
    try {
        if (!g_reportView) {
            ShowPlainErrorBox(QStringLiteral("The error-dialog form is not created. You must create it."));
            if (noErrors)
                *noErrors = false;
            return false;
        }
        return g_reportView->ShowReport(StatusText(Status), message, noErrors, ReportText());
    } catch (...) {
        return false;
    }
}

void TFunStatContext::OnApplicationException(const QString &message)
{
    const QString text = QStringLiteral("Unhandled error.\r\n") + message;
    const QString name = QStringLiteral("TFunStatContext::OnApplicationException");
    Raise(__FILE__, name, __LINE__, Error, text, QString(), QString(), LastError());
    SetShow(__FILE__, name, __LINE__);
    Show(text);
    Reset(Perfect);
}
