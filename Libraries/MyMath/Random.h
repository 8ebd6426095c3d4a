// The process-wide random source: mouse movements and the tick counter are
// mixed into a 32-bit value, and the system's generator supplies the bytes
// when it can.
#pragma once

#include <cstdint>

class TRandom {
public:
    int32_t LastX = 0;
    int32_t LastY = 0;
    uint32_t Mix = 0;
};
extern TRandom Random;

// Prepares the source at program start with the mouse position.
void RandomInitialize(int32_t mouseX, int32_t mouseY);
// Mixes a and b into the process-wide value and returns the new value.
uint32_t RandomMix(uint32_t a, uint32_t b);
// Counts a mouse move only when it went at least 3 pixels in some direction.
void RandomMouseMove(int32_t x, int32_t y);
// Four bytes of the system's generator; the mixed value when it fails.
int32_t RandomInt32();

// The millisecond tick counter (wraps every 49.7 days like any 32-bit tick).
uint32_t TickCount();
