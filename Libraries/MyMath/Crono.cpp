#include "Crono.h"

#include "FunStatContext.h"

#include <algorithm>
#include <chrono>

double MonotonicSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

TCrono::TCrono(TCronoClock clock) : Clock(clock ? clock : &MonotonicSeconds) {}

void TCrono::Restart()
{
    Start = Clock();
    StopAt = Start;
    Stopped = false;
}

void TCrono::Stop()
{
    if (Stopped)
        return;
    StopAt = std::max(Clock(), Start);
    Stopped = true;
}

double TCrono::Passed() const
{
    if (Stopped)
        return StopAt - Start;
    return std::max(Clock(), Start) - Start;
}

bool TCrono::IsPeriod(double period)
{
    FUN_BEGIN("TCrono::IsPeriod");
    bool result = false;
    try {
        if (!(period > 0.0)) {
            FUN_RAISE("Invalid period.", QString::number(period, 'g', 15));
        } else if (std::max(Clock(), Start) - Start >= period) {
            Restart();
            result = true;
        }
    }
    FUN_CATCH
    FUN_END;
    return result;
}
