#include "EffectSoundPlayer.h"

#include <QFileInfo>

#ifdef LECTERN_HAS_MULTIMEDIA
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <map>

struct TEffectSoundPlayer::TPrivate {
    // The sounds of a profile take turns; each keeps its decoded samples.
    static constexpr size_t MaxKept = 20;
    std::map<QString, std::unique_ptr<QSoundEffect>> Effects;
    QSoundEffect *Current = nullptr;
    double Volume = 1.0;

    QSoundEffect *EffectFor(const QString &path)
    {
        auto found = Effects.find(path);
        if (found != Effects.end())
            return found->second.get();
        if (Effects.size() >= MaxKept) {
            for (auto it = Effects.begin(); it != Effects.end(); ++it)
                if (it->second.get() != Current) {
                    Effects.erase(it);
                    break;
                }
        }
        auto effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(path));
        effect->setLoopCount(QSoundEffect::Infinite);
        QSoundEffect *result = effect.get();
        Effects[path] = std::move(effect);
        return result;
    }
};

TEffectSoundPlayer::TEffectSoundPlayer() : d(std::make_unique<TPrivate>()) {}

TEffectSoundPlayer::~TEffectSoundPlayer() { Stop(); }

bool TEffectSoundPlayer::PlayLoop(const QString &path)
{
    Stop();
    if (!QFileInfo(path).isFile() || QMediaDevices::defaultAudioOutput().isNull())
        return false;
    QSoundEffect *effect = d->EffectFor(path);
    if (effect->status() == QSoundEffect::Error)
        return false;
    effect->setVolume(float(d->Volume));
    // A sound still loading starts as soon as it is ready.
    effect->play();
    d->Current = effect;
    return true;
}

void TEffectSoundPlayer::Stop()
{
    if (d->Current)
        d->Current->stop();
    d->Current = nullptr;
}

void TEffectSoundPlayer::SetVolume(double volume)
{
    d->Volume = volume;
    if (d->Current)
        d->Current->setVolume(float(volume));
}

double TEffectSoundPlayer::Volume() const { return d->Volume; }

std::unique_ptr<TSoundPlayer> CreateSoundPlayer() { return std::make_unique<TEffectSoundPlayer>(); }

#else

std::unique_ptr<TSoundPlayer> CreateSoundPlayer() { return std::make_unique<TSilentSoundPlayer>(); }

#endif
