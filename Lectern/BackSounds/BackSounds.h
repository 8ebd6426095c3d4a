// The background sounds of the current profile: up to twenty wave files that
// loop one at a time, each for its duration in turn or drawn at random by
// weight, switched on the window's one-second timer. The window shows sound 0
// and the two flags in its "Background sound" group and hands every change
// and every tick to this class.
#pragma once

#include "Crono.h"
#include "Profile.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class TSoundPlayer;

// The first j whose running total of weights passes |r mod sum| (the
// remainder takes the sign of r), so sound j comes with probability
// weight j / sum. -1 when count or the sum is not positive.
int PickWeightedIndex(int count, const std::array<TBackSound, TProfile::MaxBackSounds> &sounds, int32_t r);

class TBackSounds {
public:
    static constexpr int MaxSounds = TProfile::MaxBackSounds;

    // The player is not owned and outlives this object.
    explicit TBackSounds(TSoundPlayer &player, TCronoClock clock = &MonotonicSeconds);
    TBackSounds(const TBackSounds &) = delete;
    TBackSounds &operator=(const TBackSounds &) = delete;

    // ---- The sound library --------------------------------------------
    // With a volume above 0: stops any sound and sets the device volume
    // first; with 0 the device volume stays as it is. Then plays the file
    // looping. Returns whether it started.
    bool PlayBackSound(const QString &path, double volume);
    void StopBackSound();
    // A volume outside 0..1 counts as 0; kept in 65535 steps.
    void SetWaveVolume(double volume);
    double GetWaveVolume() const;

    // ---- The table of the current profile ------------------------------
    // Count 0 (no profile yet) until a profile is taken; then 1..20.
    int Count() const { return SoundCount; }
    const TBackSound &Sound(int index) const { return Sounds[index]; }
    TBackSound &Sound(int index) { return Sounds[index]; }
    // Takes the flags and the sounds of a profile (sounds at and above its
    // count are taken too, so they are written back unchanged).
    void TakeProfile(const TProfile &profile);
    // Puts the flags and the table back into a profile.
    void GiveProfile(TProfile &profile) const;

    // "Use sound" and "Random" as the window's check boxes show them.
    bool Use = false;
    bool Random = true;
    // True while a profile is being loaded: starting sounds waits for it.
    std::function<bool()> IsLoading;
    // The file a sound's title names (profile directory, then BackSounds/).
    std::function<QString(const QString &title)> TitleToPath;
    // The 32-bit random numbers of the weighted draw.
    std::function<int32_t()> RandomSource;

    // ---- The window's events --------------------------------------------
    // When the window is made: the device volume to give back at the end.
    void SaveSystemVolume();
    double SavedVolume() const { return SavedSystemVolume; }
    // When the window goes: silence and the saved volume back.
    void Finish();
    // Starts sound `index` (an index outside the table plays nothing) and
    // measures its time from now; without "Use sound" the saved volume is
    // given back.
    void PlayBackSoundIndex(int index);
    // Sound 0 becomes `title` and the sounds start over with it; with no
    // table yet nothing plays. False when there is no table.
    bool ChangeBackSoundTitle(const QString &title);
    // Each second: with "Use sound" and two sounds or more, once the
    // current sound has had its duration, the next one in turn or a random
    // one by weight (a draw of the same sound keeps it looping).
    void AdvanceBackSound();
    int CurrentIndex() const { return Current; }

private:
    TSoundPlayer &Player;
    TCrono Crono;
    int SoundCount = 0;
    std::array<TBackSound, MaxSounds> Sounds = TProfile::DefaultBackSounds();
    int Current = -1;
    double SavedSystemVolume = -1.0;
};
