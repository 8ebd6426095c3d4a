// The chronometer: how long a book took to open, how long a background
// sound has played, and the pacing of progress reports.
#pragma once

// Seconds of a monotonic clock (never goes back, unrelated to the wall clock).
using TCronoClock = double (*)();
double MonotonicSeconds();

class TCrono {
public:
    // A stopped chronometer with start and stop at 0. Tests pass their own
    // clock; everybody else uses the monotonic one.
    explicit TCrono(TCronoClock clock = &MonotonicSeconds);

    // Start = now, stop = start, running.
    void Restart();
    // Stop = now (never earlier than the start); no effect when stopped.
    void Stop();
    // Seconds from the start to the stop, or to now while running; never
    // negative, even when the clock is found behind the start time.
    double Passed() const;
    // True, restarting the chronometer, when at least `period` seconds have
    // passed since the start (running or not). A period of 0 or less records
    // "Invalid period." under "TCrono::IsPeriod" and gives false.
    bool IsPeriod(double period);

    bool IsStopped() const { return Stopped; }
    double StartTime() const { return Start; }
    double StopTime() const { return StopAt; }

private:
    TCronoClock Clock;
    bool Stopped = true;
    double Start = 0.0;
    double StopAt = 0.0;
};
