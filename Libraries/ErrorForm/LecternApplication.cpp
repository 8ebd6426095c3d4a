#include "LecternApplication.h"

#include "FunStatContext.h"
#include "Program.h"

#include <exception>

namespace {
TLecternApplication::TExceptionHandler g_exceptionHandler = nullptr;
}

TLecternApplication::TLecternApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    InitProgramArguments(argc, argv);
    setApplicationName(ProgramName);
}

bool TLecternApplication::notify(QObject *receiver, QEvent *event)
{
    // Letting an exception unwind through Qt's event dispatching is undefined
    // behaviour; it stops here and is reported instead.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        RouteApplicationException(QString::fromUtf8(e.what()));
    } catch (...) {
        RouteApplicationException(QStringLiteral("Unhandled generic exception."));
    }
    return false;
}

void TLecternApplication::SetExceptionHandler(TExceptionHandler handler) { g_exceptionHandler = handler; }

TLecternApplication::TExceptionHandler TLecternApplication::ExceptionHandler() { return g_exceptionHandler; }

void ReportApplicationException(const QString &message) { FunStatContext.OnApplicationException(message); }

void RouteApplicationException(const QString &message)
{
    try {
        if (g_exceptionHandler)
            g_exceptionHandler(message);
        else
            ReportApplicationException(message);
    } catch (...) {
        // The report itself failed; nothing more can be done for this event.
    }
}
