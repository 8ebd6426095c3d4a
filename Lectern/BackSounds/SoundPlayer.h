// The sound device as the background sounds see it: one wave file looping at
// a time, and a volume standing for the device's wave volume.
#pragma once

#include <QString>
#include <QStringList>

class TSoundPlayer {
public:
    TSoundPlayer() = default;
    TSoundPlayer(const TSoundPlayer &) = delete;
    TSoundPlayer &operator=(const TSoundPlayer &) = delete;
    virtual ~TSoundPlayer() = default;

    // Starts the wave file looping from its beginning, in place of any sound
    // playing. False when it cannot start (no such file, no audio device).
    // Never blocks and never shows anything.
    virtual bool PlayLoop(const QString &path) = 0;
    virtual void Stop() = 0;
    // 0..1; applies to the sound playing and to those started later.
    virtual void SetVolume(double volume) = 0;
    virtual double Volume() const = 0;
};

// A player that plays nothing: for tests, which read what it was asked, and
// for systems without sound.
class TSilentSoundPlayer : public TSoundPlayer {
public:
    bool PlayLoop(const QString &path) override;
    void Stop() override;
    void SetVolume(double volume) override;
    double Volume() const override { return CurrentVolume; }

    // The answer PlayLoop gives.
    bool PlayResult = true;
    // Every path asked for, in order, and every stop.
    QStringList Played;
    int Stops = 0;
    // The sound looping now: empty after a stop or a refused start.
    QString Playing;
    double CurrentVolume = 1.0;
};
