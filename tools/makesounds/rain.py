#!/usr/bin/env python3
"""Synthesises the default background sound: soft rain that loops.

Usage: rain.py OUTPUT.wav

Filtered noise for the steady hiss of rain, a slow swell of that hiss, and
single drops (short ringing clicks, a few of them nearer and lower). The
whole sound is made on a circle of samples: the noise filters run twice
round it and only the second lap is kept, the swell has a whole number of
periods in the loop and drops near its end ring on into its beginning, so
the last sample leads into the first without a click however often the
player repeats it. Only the standard library is used; the output is the
same on every run (fixed seed).
"""
import array
import math
import random
import struct
import sys
import wave

RATE = 22050  # samples per second, mono, 16 bits
SECONDS = 8
N = RATE * SECONDS


def one_pole_lowpass(signal, cutoff, laps=2):
    """Low-pass filter run `laps` times round the circular signal; the last
    lap is returned, so the output is periodic like its input."""
    a = math.exp(-2.0 * math.pi * cutoff / RATE)
    b = 1.0 - a
    y = 0.0
    out = array.array("d", bytes(8 * len(signal)))
    for _ in range(laps):
        for i, x in enumerate(signal):
            y = b * x + a * y
            out[i] = y
    return out


def highpass(signal, cutoff):
    low = one_pole_lowpass(signal, cutoff)
    return array.array("d", (x - l for x, l in zip(signal, low)))


def band(signal, low_cut, high_cut, order=2):
    out = signal
    for _ in range(order):
        out = one_pole_lowpass(out, high_cut)
    for _ in range(order):
        out = highpass(out, low_cut)
    return out


def rms(signal):
    return math.sqrt(sum(x * x for x in signal) / len(signal))


def add_drop(buffer, start, freq, tau, amp, chirp):
    """A drop: a decaying sine that may rise in pitch, wrapped round the loop."""
    length = int(tau * 6 * RATE)
    phase = 0.0
    for k in range(length):
        t = k / RATE
        f = freq * (1.0 + chirp * (1.0 - math.exp(-t / tau)))
        phase += 2.0 * math.pi * f / RATE
        # A soft attack of half a millisecond keeps the drop from clicking.
        attack = min(1.0, t / 0.0005)
        buffer[(start + k) % N] += amp * attack * math.exp(-t / tau) * math.sin(phase)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    rng = random.Random(20240607)

    white = array.array("d", (rng.gauss(0.0, 1.0) for _ in range(N)))
    # The hiss of rain on leaves and roofs, and a darker rumble under it.
    hiss = band(white, 400.0, 3500.0)
    rumble = band(array.array("d", (rng.gauss(0.0, 1.0) for _ in range(N))), 60.0, 350.0)
    hiss_level, rumble_level = rms(hiss), rms(rumble)

    # The rain swells and eases: whole periods within the loop.
    def swell(i):
        t = i / N
        return 1.0 + 0.18 * math.sin(2 * math.pi * 1 * t + 0.7) + 0.08 * math.sin(2 * math.pi * 3 * t + 2.1)

    sound = array.array(
        "d", (swell(i) * (hiss[i] / hiss_level + 0.35 * rumble[i] / rumble_level) for i in range(N))
    )

    drops = array.array("d", bytes(8 * N))
    # Many small, high drops; now and then a nearer, lower one.
    for _ in range(SECONDS * 45):
        add_drop(drops, rng.randrange(N), rng.uniform(2000, 5000), rng.uniform(0.002, 0.006),
                 rng.uniform(0.5, 1.6), rng.uniform(0.0, 0.3))
    for _ in range(SECONDS * 3):
        add_drop(drops, rng.randrange(N), rng.uniform(900, 1800), rng.uniform(0.008, 0.02),
                 rng.uniform(1.5, 3.0), rng.uniform(0.2, 0.6))
    # Soften the drops' edges the way distance does.
    drops = one_pole_lowpass(drops, 7000.0)
    drops_level = rms(drops)

    mix = array.array("d", (s + 0.45 * d / drops_level for s, d in zip(sound, drops)))
    # Loud enough to be heard at the reader's usual volumes (a twentieth of
    # full by default); peaks are rounded off, never clipped.
    level = 0.2 / rms(mix)
    samples = array.array("h", (int(round(32767 * math.tanh(x * level))) for x in mix))

    with wave.open(sys.argv[1], "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(samples.tobytes() if sys.byteorder == "little" else
                        b"".join(struct.pack("<h", s) for s in samples))


if __name__ == "__main__":
    main()
