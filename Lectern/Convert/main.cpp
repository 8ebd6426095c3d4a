// lectern-convert: converts books from the command line without a display.
#include "BookConverter.h"

#include <QGuiApplication>

#include <cstdio>

namespace {
// Only real problems reach the user; Qt's notes about the environment
// (a missing runtime directory and the like) would drown the tool's own
// messages in batch runs.
void QuietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        fprintf(stderr, "lectern-convert: %s\n", qPrintable(message));
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("LECTERN_CONVERT_VERBOSE"))
        qInstallMessageHandler(QuietMessages);
    // Fonts need a GUI application; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("lectern-convert"));
    return RunConvert(QGuiApplication::arguments().mid(1));
}
