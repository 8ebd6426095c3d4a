#include "Random.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <random>

TRandom Random;

uint32_t TickCount()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void RandomInitialize(int32_t mouseX, int32_t mouseY)
{
    Random.LastX = mouseX;
    Random.LastY = mouseY;
    RandomMix(static_cast<uint32_t>(mouseX), static_cast<uint32_t>(mouseY));
    std::srand(static_cast<unsigned>(std::time(nullptr)));
}

uint32_t RandomMix(uint32_t a, uint32_t b)
{
    uint32_t v = a + Random.Mix + b;
    v = (v >> 24) | ((v >> 8) & 0x0000FF00u) | ((v << 8) & 0x00FF0000u) | (v << 24);
    v += TickCount();
    v = (v >> 5) | (v << 27);
    Random.Mix = v;
    return v;
}

void RandomMouseMove(int32_t x, int32_t y)
{
    const int64_t dx = int64_t(x) - Random.LastX;
    const int64_t dy = int64_t(y) - Random.LastY;
    if (dx > -3 && dx < 3 && dy > -3 && dy < 3)
        return;
    Random.LastX = x;
    Random.LastY = y;
    RandomMix(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
}

int32_t RandomInt32()
{
    uint32_t r = RandomMix(0, 0);
    try {
        static std::random_device device;
        r = static_cast<uint32_t>(device());
    } catch (...) {
        // No system generator: the mixed value stands.
    }
    return static_cast<int32_t>(r);
}
