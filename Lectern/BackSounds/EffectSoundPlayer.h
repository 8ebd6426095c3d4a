// The player that sounds: each wave file a looping QSoundEffect, kept while
// it may be played again. Without an audio device (a server, a test run) it
// stays silent: PlayLoop gives false, nothing is reported.
#pragma once

#include "SoundPlayer.h"

#include <memory>

class TEffectSoundPlayer : public TSoundPlayer {
public:
    TEffectSoundPlayer();
    ~TEffectSoundPlayer() override;

    bool PlayLoop(const QString &path) override;
    void Stop() override;
    void SetVolume(double volume) override;
    double Volume() const override;

private:
    struct TPrivate;
    std::unique_ptr<TPrivate> d;
};

// The player of the program: TEffectSoundPlayer where Qt Multimedia was
// built in, else a silent one; while a TScopedSoundPlayer lives, one that
// hands everything to the player it names.
std::unique_ptr<TSoundPlayer> CreateSoundPlayer();

// For tests: the players made while it lives play through `player`.
class TScopedSoundPlayer {
public:
    explicit TScopedSoundPlayer(TSoundPlayer *player);
    ~TScopedSoundPlayer();
    TScopedSoundPlayer(const TScopedSoundPlayer &) = delete;
    TScopedSoundPlayer &operator=(const TScopedSoundPlayer &) = delete;

private:
    TSoundPlayer *Previous;
};
