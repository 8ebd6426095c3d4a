#include "HelpWindow.h"

#include "Dialogs.h"
#include "Program.h"

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace {

QPointer<QWidget> g_helpWindow;
QPointer<QTextBrowser> g_helpBrowser;

QTextBrowser *EnsureHelpWindow()
{
    if (g_helpWindow && g_helpBrowser)
        return g_helpBrowser;
    auto *window = new QWidget(nullptr, Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setObjectName(QStringLiteral("HelpWindow"));
    window->setWindowTitle(ProgramName + QStringLiteral(" Help"));
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("HelpBrowser"));
    // Web addresses go to the system's browser; links inside the document
    // stay in the help window.
    browser->setOpenExternalLinks(true);
    layout->addWidget(browser);
    QSize size(720, 640);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    window->resize(size);
    // Leaving the help window open must not keep the program running.
    window->setAttribute(Qt::WA_QuitOnClose, false);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, &QObject::deleteLater);
    g_helpWindow = window;
    g_helpBrowser = browser;
    return browser;
}

} // namespace

QString HelpFilePath() { return GetProgramDirectory() + QStringLiteral("Help.html"); }

bool ShowHelpFile(const QString &path, int context)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        WarningDialog(QStringLiteral("The help file \"") + path + QStringLiteral("\" is missing or cannot be read."));
        return false;
    }
    QTextBrowser *browser = EnsureHelpWindow();
    QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    if (context != 0)
        url.setFragment(QString::number(context));
    // Reload when the same document is asked for again, so that edits show.
    if (browser->source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment))
        browser->reload();
    browser->setSource(url);
    if (context == 0)
        browser->scrollToAnchor(QString());
    g_helpWindow->show();
    g_helpWindow->raise();
    g_helpWindow->activateWindow();
    return true;
}

void ShowHelp(int context) { ShowHelpFile(HelpFilePath(), context); }

QTextBrowser *HelpBrowser() { return g_helpBrowser; }
