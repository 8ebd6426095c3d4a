#include "EffectSoundPlayer.h"

#include <QFileInfo>

#ifdef LECTERN_HAS_MULTIMEDIA
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <map>
#endif

namespace {

TSoundPlayer *g_replacement = nullptr;

// Hands every call to the player a test put in place.
class TForwardingSoundPlayer : public TSoundPlayer {
public:
    explicit TForwardingSoundPlayer(TSoundPlayer *target) : Target(target) {}
    bool PlayLoop(const QString &path) override { return Target->PlayLoop(path); }
    void Stop() override { Target->Stop(); }
    void SetVolume(double volume) override { Target->SetVolume(volume); }
    double Volume() const override { return Target->Volume(); }

private:
    TSoundPlayer *Target;
};

std::unique_ptr<TSoundPlayer> CreateSystemSoundPlayer();

} // namespace

TScopedSoundPlayer::TScopedSoundPlayer(TSoundPlayer *player) : Previous(g_replacement) { g_replacement = player; }

TScopedSoundPlayer::~TScopedSoundPlayer() { g_replacement = Previous; }

std::unique_ptr<TSoundPlayer> CreateSoundPlayer()
{
    if (g_replacement)
        return std::make_unique<TForwardingSoundPlayer>(g_replacement);
    return CreateSystemSoundPlayer();
}

#ifdef LECTERN_HAS_MULTIMEDIA

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

namespace {
std::unique_ptr<TSoundPlayer> CreateSystemSoundPlayer() { return std::make_unique<TEffectSoundPlayer>(); }
} // namespace

#else

namespace {
std::unique_ptr<TSoundPlayer> CreateSystemSoundPlayer() { return std::make_unique<TSilentSoundPlayer>(); }
} // namespace

#endif
