// The times of the steps of a start, for finding where a slow start goes.
// With a file named, each step is written to it as it is reached, as
// "key: milliseconds" since the process started; without one, nothing is
// measured or written.
#pragma once

#include <QString>
#include <QStringList>

class TStepTimes {
public:
    // `file` empty: marks do nothing. `originNs`, when above zero, is the
    // monotonic clock's reading (nanoseconds) at which the process was
    // started; otherwise the start the kernel recorded for this process.
    explicit TStepTimes(const QString &file, qint64 originNs = 0);

    // The step times from the environment: LECTERN_STEP_TIMES names the
    // file, LECTERN_STEP_ORIGIN the monotonic start in nanoseconds.
    static TStepTimes FromEnvironment();

    bool Enabled() const { return !File.isEmpty(); }
    // Writes `key` with the time since the start, once per key.
    void Mark(const QString &key);
    // Milliseconds since the start.
    double Elapsed() const;

private:
    QString File;
    qint64 OriginNs = 0;
    QStringList Marked;
};
