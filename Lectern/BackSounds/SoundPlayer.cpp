#include "SoundPlayer.h"

bool TSilentSoundPlayer::PlayLoop(const QString &path)
{
    Played << path;
    Playing = PlayResult ? path : QString();
    return PlayResult;
}

void TSilentSoundPlayer::Stop()
{
    ++Stops;
    Playing.clear();
}

void TSilentSoundPlayer::SetVolume(double volume) { CurrentVolume = volume; }
