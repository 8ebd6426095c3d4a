// Cold start of the real reader: the release executable, started from a
// private copy of the package directory with no settings, in a virtual X
// display (Xvfb with openbox), from the process's start to the first page
// of text painted. The reader writes the times of its steps to the file
// LECTERN_STEP_TIMES names; each is printed as the median of five starts,
// for the Welcome book and for War and Peace in pieces.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

const int Runs = 5;
const double GoalMs = 300;

qint64 MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool WaitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(2);
    }
    return true;
}

// Xvfb with openbox on a display of their own, ended with the object.
class TDesktop {
public:
    bool Start()
    {
        int number = 140;
        while (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            ++number;
        Display = QStringLiteral(":%1").arg(number);
        Xvfb.start(QStringLiteral("Xvfb"),
                   {Display, QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x800x24"),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
        if (!Xvfb.waitForStarted(5000))
            return false;
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        if (!WaitFor([&] { return QFile::exists(socket); }, 10000))
            return false;
        QProcessEnvironment env = Environment();
        Wm.setProcessEnvironment(env);
        Wm.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        if (Wm.waitForStarted(5000))
            WaitFor([&] { return WmRunning(); }, 10000);
        return true;
    }

    QProcessEnvironment Environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), Display);
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("SESSION_MANAGER"));
        return env;
    }

    ~TDesktop()
    {
        for (QProcess *p : {&Wm, &Xvfb}) {
            if (p->state() == QProcess::NotRunning)
                continue;
            p->terminate();
            if (!p->waitForFinished(5000))
                p->kill(), p->waitForFinished(2000);
        }
    }

private:
    bool WmRunning() const
    {
        QProcess xprop;
        xprop.setProcessEnvironment(Environment());
        xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
        xprop.waitForFinished(2000);
        return xprop.readAllStandardOutput().contains("window id");
    }

    QString Display;
    QProcess Xvfb;
    QProcess Wm;
};

using TSteps = QMap<QString, double>;

TSteps ReadSteps(const QString &file)
{
    TSteps steps;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return steps;
    for (const QByteArray &line : in.readAll().split('\n')) {
        const int colon = line.indexOf(':');
        if (colon > 0)
            steps.insert(QString::fromUtf8(line.left(colon)),
                         line.mid(colon + 1).trimmed().split(' ').first().toDouble());
    }
    return steps;
}

// One start of the reader from `program` with fresh settings; the steps it
// wrote, empty when it showed no page within the deadline.
// `ini`, when not empty, is written as the settings before the start.
TSteps StartOnce(const TDesktop &desktop, const QString &program, const QStringList &args, const QByteArray &ini)
{
    for (const char *name : {"Lectern.ini", "LecternProfile.lcp", "Errors.log", "Lectern.ini.bad"})
        QFile::remove(program + QLatin1Char('/') + QLatin1String(name));
    if (!ini.isEmpty()) {
        QFile settings(program + QStringLiteral("/Lectern.ini"));
        if (settings.open(QIODevice::WriteOnly))
            settings.write(ini);
    }
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("config"));
    QDir(home.path()).mkpath(QStringLiteral("run"));
    QFile::setPermissions(home.path() + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString stepsFile = home.path() + QStringLiteral("/steps.txt");
    QProcessEnvironment env = desktop.Environment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path() + QStringLiteral("/run"));
    env.insert(QStringLiteral("LECTERN_STEP_TIMES"), stepsFile);
    QProcess reader;
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    reader.setStandardOutputFile(QProcess::nullDevice());
    env.insert(QStringLiteral("LECTERN_STEP_ORIGIN"), QString::number(MonotonicNs()));
    reader.setProcessEnvironment(env);
    reader.start(program + QStringLiteral("/Lectern"), args);
    const bool painted = WaitFor(
        [&] {
            QFile in(stepsFile);
            return in.open(QIODevice::ReadOnly) && in.readAll().contains("first paint:");
        },
        30000);
    TSteps steps = painted ? ReadSteps(stepsFile) : TSteps();
    reader.terminate();
    if (!reader.waitForFinished(10000)) {
        reader.kill();
        reader.waitForFinished(2000);
    }
    return steps;
}

double Median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

void Measure(const TDesktop &desktop, const QString &package, const QString &name, const QStringList &args,
             const QByteArray &ini = QByteArray())
{
    QTemporaryDir work;
    const QString program = work.path() + QStringLiteral("/program");
    QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), package, program});
    QMap<QString, QList<double>> times;
    QStringList order;
    int failed = 0;
    for (int run = 0; run < Runs; ++run) {
        const TSteps steps = StartOnce(desktop, program, args, ini);
        if (steps.isEmpty())
            ++failed;
        QList<std::pair<double, QString>> sorted;
        for (auto it = steps.begin(); it != steps.end(); ++it) {
            times[it.key()] << it.value();
            sorted << std::make_pair(it.value(), it.key());
        }
        std::sort(sorted.begin(), sorted.end());
        for (const auto &step : sorted)
            if (!order.contains(step.second))
                order << step.second;
    }
    std::printf("%s starts: %d (%d without a page in 30 s)\n", qPrintable(name), Runs, failed);
    for (const QString &key : order)
        std::printf("%s %s: %.1f ms\n", qPrintable(name), qPrintable(key), Median(times.value(key)));
    if (times.contains(QStringLiteral("first paint")))
        std::printf("%s ratio: %.2f (first paint / %.0f ms)\n", qPrintable(name),
                    Median(times.value(QStringLiteral("first paint"))) / GoalMs, GoalMs);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString package = qEnvironmentVariable("LECTERN_PACKAGE");
    if (!QFile::exists(package + QStringLiteral("/Lectern"))) {
        std::printf("skipped: no reader in LECTERN_PACKAGE\n");
        return 0;
    }
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        std::printf("skipped: no Xvfb\n");
        return 0;
    }
    TDesktop desktop;
    if (!desktop.Start()) {
        std::printf("skipped: Xvfb did not start\n");
        return 0;
    }
    Measure(desktop, package, QStringLiteral("welcome"), {});
    const QString book = qEnvironmentVariable("LECTERN_CORPUS") + QStringLiteral("/books/war-and-peace.txt");
    if (QFile::exists(book))
        Measure(desktop, package, QStringLiteral("war-and-peace pieces"), {book});
    else
        std::printf("war-and-peace pieces: skipped, no corpus\n");
    // The last book read is gone (an unmounted disk): the Welcome book.
    Measure(desktop, package, QStringLiteral("last book gone"), {},
            "[Lectern_Main]\nAutoLoadLast=TRUE\n\n[Lectern_Places]\nCount=1\n"
            "0=/media/lectern-unmounted/book.txt\n0_Piece=1\n0_CaretPos=0\n");
    return 0;
}
