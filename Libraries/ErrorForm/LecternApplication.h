// The application object. Exceptions that escape an event handler end in
// notify(); they are reported through the exception handler instead of
// tearing down the event loop.
#pragma once

#include <QApplication>

class TLecternApplication : public QApplication {
    Q_OBJECT
public:
    TLecternApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // The handler receives the exception's message. The error dialog installs
    // one that calls FunStatContext.OnApplicationException; without one the
    // same happens, which shows the plain "not created" box.
    using TExceptionHandler = void (*)(const QString &message);
    static void SetExceptionHandler(TExceptionHandler handler);
    static TExceptionHandler ExceptionHandler();
};

// Hands an exception message to the installed handler.
void RouteApplicationException(const QString &message);
// The default handler: FunStatContext.OnApplicationException(message).
void ReportApplicationException(const QString &message);
