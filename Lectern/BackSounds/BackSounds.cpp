#include "BackSounds.h"

#include "MyMath.h"
#include "SoundPlayer.h"

#include <cmath>
#include <cstdlib>

int PickWeightedIndex(int count, const std::array<TBackSound, TProfile::MaxBackSounds> &sounds, int32_t r)
{
    count = std::min(count, TProfile::MaxBackSounds);
    int64_t sum = 0;
    for (int j = 0; j < count; ++j)
        sum += sounds[j].Prob;
    if (count <= 0 || sum <= 0)
        return -1;
    const int64_t point = std::llabs(int64_t(r) % sum);
    int64_t total = 0;
    for (int j = 0; j < count; ++j) {
        total += sounds[j].Prob;
        if (point < total)
            return j;
    }
    return -1;
}

TBackSounds::TBackSounds(TSoundPlayer &player, TCronoClock clock)
    : RandomSource(&RandomInt32), Player(player), Crono(clock)
{}

bool TBackSounds::PlayBackSound(const QString &path, double volume)
{
    if (volume > 0.0) {
        StopBackSound();
        SetWaveVolume(volume);
    }
    return Player.PlayLoop(path);
}

void TBackSounds::StopBackSound() { Player.Stop(); }

void TBackSounds::SetWaveVolume(double volume)
{
    if (!(volume >= 0.0 && volume <= 1.0))
        volume = 0.0;
    Player.SetVolume(std::trunc(volume * 65535.0) / 65535.0);
}

double TBackSounds::GetWaveVolume() const { return Player.Volume(); }

void TBackSounds::TakeProfile(const TProfile &profile)
{
    Use = profile.UseBackSound;
    Random = profile.RandomBackSound;
    SoundCount = qBound(1, profile.BackSoundCount, MaxSounds);
    Sounds = profile.BackSounds;
}

void TBackSounds::GiveProfile(TProfile &profile) const
{
    profile.UseBackSound = Use;
    profile.RandomBackSound = Random;
    if (SoundCount > 0) {
        profile.BackSoundCount = SoundCount;
        profile.BackSounds = Sounds;
    }
}

void TBackSounds::SaveSystemVolume()
{
    SavedSystemVolume = GetWaveVolume();
    Current = -1;
    SoundCount = 0;
}

void TBackSounds::Finish()
{
    StopBackSound();
    if (SavedSystemVolume >= 0.0)
        SetWaveVolume(SavedSystemVolume);
}

void TBackSounds::PlayBackSoundIndex(int index)
{
    if (IsLoading && IsLoading())
        return;
    if (SoundCount > 0) {
        Crono.Restart();
        Current = index;
        const QString title = index >= 0 && index < SoundCount ? Sounds[index].File : QString();
        if (Use && !title.isEmpty())
            PlayBackSound(TitleToPath ? TitleToPath(title) : title, Sounds[index].Vol * 0.001);
        else
            StopBackSound();
    }
    if (!Use && SavedSystemVolume >= 0.0)
        SetWaveVolume(SavedSystemVolume);
}

bool TBackSounds::ChangeBackSoundTitle(const QString &title)
{
    if (SoundCount <= 0) {
        PlayBackSoundIndex(-1);
        return false;
    }
    Sounds[0].File = title;
    PlayBackSoundIndex(0);
    return true;
}

void TBackSounds::AdvanceBackSound()
{
    if (!Use || SoundCount < 2 || Current < 0 || Current >= MaxSounds)
        return;
    if (!Crono.IsPeriod(Sounds[Current].Dur))
        return;
    const int next = Random ? PickWeightedIndex(SoundCount, Sounds, RandomSource ? RandomSource() : RandomInt32())
                            : IncrementWrapped(Current, 0, SoundCount - 1);
    if (next >= 0 && next != Current)
        PlayBackSoundIndex(next);
}
