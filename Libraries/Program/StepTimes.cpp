#include "StepTimes.h"

#include <QFile>
#include <QStringList>

#include <ctime>
#include <unistd.h>

namespace {

qint64 ClockNs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The monotonic clock's reading at this process's start, from the start
// the kernel keeps (in clock ticks since boot) in /proc/self/stat.
qint64 ProcessStartNs()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return ClockNs(CLOCK_MONOTONIC);
    const QByteArray line = stat.readAll();
    // The fields after the command's name in parentheses; start time is the
    // 22nd field of the line, the 20th after the name.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20)
        return ClockNs(CLOCK_MONOTONIC);
    const qint64 ticks = fields.at(19).toLongLong();
    const qint64 sinceBootNs = ticks * (1000000000 / sysconf(_SC_CLK_TCK));
    const qint64 bootToMonotonic = ClockNs(CLOCK_BOOTTIME) - ClockNs(CLOCK_MONOTONIC);
    return sinceBootNs - bootToMonotonic;
}

} // namespace

TStepTimes::TStepTimes(const QString &file, qint64 originNs) : File(file)
{
    if (File.isEmpty())
        return;
    OriginNs = originNs > 0 ? originNs : ProcessStartNs();
    QFile out(File);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.close();
}

TStepTimes TStepTimes::FromEnvironment()
{
    return TStepTimes(qEnvironmentVariable("LECTERN_STEP_TIMES"),
                      qEnvironmentVariable("LECTERN_STEP_ORIGIN").toLongLong());
}

double TStepTimes::Elapsed() const { return double(ClockNs(CLOCK_MONOTONIC) - OriginNs) / 1e6; }

void TStepTimes::Mark(const QString &key)
{
    if (File.isEmpty() || Marked.contains(key))
        return;
    Marked << key;
    const QByteArray line = key.toUtf8() + ": " + QByteArray::number(Elapsed(), 'f', 1) + " ms\n";
    QFile out(File);
    if (out.open(QIODevice::WriteOnly | QIODevice::Append))
        out.write(line);
}
