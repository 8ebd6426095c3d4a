// Small helpers shared by the benchmark executables.
#pragma once

#include <QByteArray>
#include <QFile>

// A "Key:" line of /proc/self/status in kB (VmHWM: peak resident memory,
// VmRSS: current), or -1 when it cannot be read.
inline long StatusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toLong();
    return -1;
}

inline long PeakMemoryKb() { return StatusKb("VmHWM:"); }
