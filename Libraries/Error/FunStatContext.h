// The function status context: how every operation records, hands up and
// shows its failures. No exception crosses an operation boundary; each
// operation catches everything and leaves its outcome in FunStatContext.
#pragma once

#include <QString>
#include <cstdint>
#include <exception>
#include <stdexcept>

enum TFunStatus : int32_t {
    Perfect = 0,
    Warning = 1,
    Error = 2,
    BeginFunctionError = 3,
    Panic = 4,
    Catastrophe = 5,
};

class TFunStatContext {
public:
    int32_t Status = Perfect;
    QString RaiseFile;
    QString RaiseFunction;
    int32_t RaiseLine = 0;
    QString Description;
    QString Parameter1;
    QString Parameter2;
    int32_t SystemErrorCode = 0;
    QString ShowFile;
    QString ShowFunction;
    int32_t ShowLine = 0;
    int32_t UserCode = 0;
    QString UserText;
    int32_t UserInt = 0;
    double UserReal = 0.0;

    TFunStatContext();

    void Reset(int32_t status = Perfect);
    void ResetUser();
    void Begin(const char *file, const QString &function, int line);
    void Raise(const char *file, const QString &function, int line, int32_t status, const QString &description,
               const QString &parameter1 = QString(), const QString &parameter2 = QString(),
               int32_t systemErrorCode = 0);
    // Records a caught exception: Parameter1/2 name the throw site when the
    // exception carries one (TLecternException), else empty and "0".
    void RaiseException(const char *file, const QString &function, int line, const std::exception *e);
    void SetShow(const char *file, const QString &function, int line);
    // Copies every field except the three show fields.
    void Assign(const TFunStatContext &other);

    bool Failed() const { return Status > Warning; }

    static QString StatusText(int32_t status);
    QString ReportText() const;
    // Shows the report in the error dialog; true when closed with one of the
    // two okay buttons.
    bool Show(const QString &message, bool *noErrors = nullptr);

    // Handler for exceptions that escape an event handler.
    void OnApplicationException(const QString &message);
};

// The context of the running thread: each thread reports its own failures.
extern thread_local TFunStatContext FunStatContext;

// An exception that knows where it was thrown.
class TLecternException : public std::runtime_error {
public:
    TLecternException(const QString &message, const char *file, int line)
        : std::runtime_error(message.toStdString()), ThrowFile(file), ThrowLine(line)
    {}
    const char *ThrowFile;
    int ThrowLine;
};
#define LECTERN_THROW(message) throw TLecternException((message), __FILE__, __LINE__)

// The view that shows reports (the error dialog). Absent until the window
// layer creates it; Show() then falls back to a plain box.
class TErrorReportView {
public:
    virtual ~TErrorReportView() = default;
    virtual bool ShowReport(const QString &statusText, const QString &message, bool *noErrors,
                            const QString &reportText)
        = 0;
    virtual int RecursionCount() const = 0;
};
void SetErrorReportView(TErrorReportView *view);
TErrorReportView *ErrorReportView();

// The plain "Error" box used while no error dialog exists (the message-box
// service installs it; without one the text goes to stderr).
using TPlainErrorBox = void (*)(const QString &text);
void SetPlainErrorBox(TPlainErrorBox box);
void ShowPlainErrorBox(const QString &text);

// The operating system's message for an errno value, as the report shows it.
QString SystemErrorDescription(int32_t code);

// Appends one framed entry to the log at path; the file is emptied first when
// it is larger than 10000 bytes. Returns success.
bool AppendReportToLog(const QString &path, const QString &memoText);

// Last-error helpers: errno stands for the system's last-error code.
void ClearLastError();
int32_t LastError();
bool IsSystemError(int32_t code);
bool IsSystemErrorExceptExisting(int32_t code);
bool IsFindResultOk(int32_t code);

// The operation protocol. Inside an operation:
//   FUN_BEGIN("TLecternForm::SaveFile");
//   try { ... FUN_RAISE("Failed to save.", name, QString(), errno); ... FUN_ADOPT(); }
//   FUN_CATCH
//   FUN_END_SHOW("Failed to save.");   // user-started operations
//   FUN_END;                           // library routines
#define FUN_BEGIN(name)                                                                                                \
    const QString FunName_ = QStringLiteral(name);                                                                     \
    FunStatContext.Begin(__FILE__, FunName_, __LINE__);                                                                \
    TFunStatContext Fsc_

#define FUN_RAISE_STATUS(status, description, ...)                                                                     \
    Fsc_.Raise(__FILE__, FunName_, __LINE__, (status), (description), ##__VA_ARGS__)
#define FUN_RAISE(description, ...) FUN_RAISE_STATUS(Error, (description), ##__VA_ARGS__)

// Adopts the failure a callee left in FunStatContext.
#define FUN_ADOPT()                                                                                                    \
    do {                                                                                                               \
        if (FunStatContext.Status > Warning)                                                                           \
            Fsc_.Assign(FunStatContext);                                                                               \
    } while (0)
#define FUN_FAILED() (Fsc_.Status > Warning)

#define FUN_CATCH                                                                                                      \
    catch (const std::exception &e_) { Fsc_.RaiseException(__FILE__, FunName_, __LINE__, &e_); }                       \
    catch (...) { Fsc_.RaiseException(__FILE__, FunName_, __LINE__, nullptr); }

#define FUN_END FunStatContext.Assign(Fsc_)

#define FUN_END_SHOW(message)                                                                                          \
    do {                                                                                                               \
        if (Fsc_.Status > Warning) {                                                                                   \
            Fsc_.SetShow(__FILE__, QString(), __LINE__);                                                               \
            Fsc_.Show(message);                                                                                        \
        }                                                                                                              \
        Fsc_.Reset(Perfect);                                                                                           \
        FunStatContext.Assign(Fsc_);                                                                                   \
    } while (0)
