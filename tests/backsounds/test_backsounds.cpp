// The background-sound scheduler with a silent player and a clock of its
// own, and the real player on a machine that may have no audio device.
#include "BackSounds.h"
#include "EffectSoundPlayer.h"
#include "FunStatContext.h"
#include "SoundPlayer.h"

#ifdef LECTERN_HAS_MULTIMEDIA
#include <QAudioDevice>
#include <QMediaDevices>
#endif
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

namespace {

double g_now = 0.0;
double FakeClock() { return g_now; }

// A table of sounds "s0.wav", "s1.wav", ... with the given durations and
// weights, "Use sound" on.
struct TSoundsFixture {
    TSoundsFixture(const QList<int> &durations, const QList<int> &weights = {}, bool random = false)
        : Sounds(Player, &FakeClock)
    {
        g_now = 1000.0;
        Player.CurrentVolume = 0.8; // the system's volume
        Sounds.SaveSystemVolume();
        TProfile profile;
        profile.UseBackSound = true;
        profile.RandomBackSound = random;
        profile.BackSoundCount = int(durations.size());
        for (int n = 0; n < durations.size(); ++n) {
            profile.BackSounds[n].File = QStringLiteral("s%1.wav").arg(n);
            profile.BackSounds[n].Dur = durations[n];
            profile.BackSounds[n].Prob = n < weights.size() ? weights[n] : 100;
        }
        Sounds.TakeProfile(profile);
        Sounds.TitleToPath = [](const QString &title) { return QStringLiteral("/sounds/") + title; };
    }
    // One timer tick a second later.
    void Tick()
    {
        g_now += 1.0;
        Sounds.AdvanceBackSound();
    }
    TSilentSoundPlayer Player;
    TBackSounds Sounds;
};

std::array<TBackSound, TProfile::MaxBackSounds> Weights(const QList<int> &weights)
{
    std::array<TBackSound, TProfile::MaxBackSounds> sounds;
    for (int n = 0; n < weights.size(); ++n)
        sounds[n].Prob = weights[n];
    return sounds;
}

} // namespace

class TestBackSounds : public QObject {
    Q_OBJECT
private slots:
    void init() { FunStatContext.Reset(); }
    void weightedIndexOfOneDraw_data();
    void weightedIndexOfOneDraw();
    void weightedDrawsFollowTheWeights();
    void inOrderEachSoundForItsDuration();
    void randomDrawOfTheSameSoundKeepsItLooping();
    void oneSoundNeverSwitches();
    void volumeOfASound();
    void useSoundOffStopsAndRestoresVolume();
    void changingTheTitleStartsOverWithSoundZero();
    void nothingPlaysWithoutATableOrWhileLoading();
    void minimiseAndRestore();
    void profileRoundTripKeepsUnusedSounds();
    void realPlayerIsQuietWithoutDevice();
};

void TestBackSounds::weightedIndexOfOneDraw_data()
{
    QTest::addColumn<QList<int>>("weights");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("r");
    QTest::addColumn<int>("index");
    const QList<int> w{100, 300};
    QTest::newRow("zero") << w << 2 << 0 << 0;
    QTest::newRow("last of first") << w << 2 << 99 << 0;
    QTest::newRow("first of second") << w << 2 << 100 << 1;
    QTest::newRow("last of second") << w << 2 << 399 << 1;
    QTest::newRow("wraps at the sum") << w << 2 << 400 << 0;
    QTest::newRow("negative uses magnitude") << w << 2 << -100 << 1;
    QTest::newRow("negative small") << w << 2 << -401 << 0;
    QTest::newRow("most negative") << w << 2 << int(INT32_MIN) << 0; // |-2147483648 mod 400| = 48
    QTest::newRow("count limits the sum") << QList<int>{100, 300, 5000} << 2 << 350 << 1;
    QTest::newRow("no sounds") << w << 0 << 5 << -1;
}

void TestBackSounds::weightedIndexOfOneDraw()
{
    QFETCH(QList<int>, weights);
    QFETCH(int, count);
    QFETCH(int, r);
    QFETCH(int, index);
    QCOMPARE(PickWeightedIndex(count, Weights(weights), r), index);
}

void TestBackSounds::weightedDrawsFollowTheWeights()
{
    std::mt19937 rng(1234);
    const auto sounds = Weights({100, 300});
    int hits[2] = {0, 0};
    for (int i = 0; i < 40000; ++i)
        ++hits[PickWeightedIndex(2, sounds, int32_t(rng()))];
    const double ratio = double(hits[1]) / hits[0];
    QVERIFY2(ratio > 2.8 && ratio < 3.2, qPrintable(QString::number(ratio)));
}

void TestBackSounds::inOrderEachSoundForItsDuration()
{
    TSoundsFixture f({5, 10, 5});
    f.Sounds.PlayBackSoundIndex(0);
    QMap<int, QString> starts; // tick -> sound started
    for (int tick = 1; tick <= 25; ++tick) {
        const int before = int(f.Player.Played.size());
        f.Tick();
        if (f.Player.Played.size() > before)
            starts[tick] = f.Player.Played.last();
    }
    QCOMPARE(starts.keys(), (QList<int>{5, 15, 20, 25}));
    QCOMPARE(starts.values(), (QStringList{"/sounds/s1.wav", "/sounds/s2.wav", "/sounds/s0.wav", "/sounds/s1.wav"}));
    QCOMPARE(f.Sounds.CurrentIndex(), 1);
}

void TestBackSounds::randomDrawOfTheSameSoundKeepsItLooping()
{
    TSoundsFixture f({2, 2}, {100, 300}, true);
    int draw = 0; // picks sound 0
    f.Sounds.RandomSource = [&draw] { return draw; };
    f.Sounds.PlayBackSoundIndex(0);
    for (int tick = 0; tick < 6; ++tick)
        f.Tick();
    QCOMPARE(f.Player.Played.size(), 1); // never restarted
    draw = 150; // picks sound 1
    f.Tick();
    f.Tick();
    QCOMPARE(f.Player.Played.size(), 2);
    QCOMPARE(f.Player.Playing, QStringLiteral("/sounds/s1.wav"));

    // "Random" read at the next switch: off, the turn goes on in order.
    f.Sounds.Random = false;
    f.Tick();
    f.Tick();
    QCOMPARE(f.Player.Playing, QStringLiteral("/sounds/s0.wav"));
}

void TestBackSounds::oneSoundNeverSwitches()
{
    TSoundsFixture f({1});
    f.Sounds.PlayBackSoundIndex(0);
    for (int tick = 0; tick < 10; ++tick)
        f.Tick();
    QCOMPARE(f.Player.Played, QStringList{"/sounds/s0.wav"});
    QCOMPARE(f.Player.Stops, 1); // the stop before the start
}

void TestBackSounds::volumeOfASound()
{
    TSoundsFixture f({5, 5});
    f.Sounds.Sound(0).Vol = 0;
    f.Sounds.Sound(1).Vol = 50;
    f.Sounds.PlayBackSoundIndex(0);
    QCOMPARE(f.Player.Playing, QStringLiteral("/sounds/s0.wav"));
    QCOMPARE(f.Player.CurrentVolume, 0.8); // volume 0 leaves the device alone
    f.Sounds.PlayBackSoundIndex(1);
    QVERIFY(qAbs(f.Player.CurrentVolume - 0.05) < 1.0 / 65535);
    QVERIFY(f.Player.CurrentVolume <= 0.05);

    // The volume list acts at once; nonsense counts as silence.
    f.Sounds.SetWaveVolume(0.0);
    QCOMPARE(f.Sounds.GetWaveVolume(), 0.0);
    f.Sounds.SetWaveVolume(1.0);
    QCOMPARE(f.Sounds.GetWaveVolume(), 1.0);
    f.Sounds.SetWaveVolume(1.5);
    QCOMPARE(f.Sounds.GetWaveVolume(), 0.0);
    f.Sounds.SetWaveVolume(std::nan(""));
    QCOMPARE(f.Sounds.GetWaveVolume(), 0.0);
}

void TestBackSounds::useSoundOffStopsAndRestoresVolume()
{
    TSoundsFixture f({5, 5});
    f.Sounds.ChangeBackSoundTitle(QStringLiteral("rain.wav"));
    QCOMPARE(f.Player.Playing, QStringLiteral("/sounds/rain.wav"));
    QVERIFY(f.Player.CurrentVolume < 0.1);
    f.Sounds.Use = false;
    f.Sounds.ChangeBackSoundTitle(QStringLiteral("rain.wav"));
    QVERIFY(f.Player.Playing.isEmpty());
    QCOMPARE(f.Player.CurrentVolume, 0.8);
    for (int tick = 0; tick < 12; ++tick)
        f.Tick();
    QVERIFY(f.Player.Playing.isEmpty()); // no switching while off

    // The end of the window gives the volume back too.
    f.Sounds.Use = true;
    f.Sounds.PlayBackSoundIndex(1);
    f.Sounds.Finish();
    QVERIFY(f.Player.Playing.isEmpty());
    QCOMPARE(f.Player.CurrentVolume, 0.8);
}

void TestBackSounds::changingTheTitleStartsOverWithSoundZero()
{
    TSoundsFixture f({5, 5, 5});
    f.Sounds.PlayBackSoundIndex(2);
    QVERIFY(f.Sounds.ChangeBackSoundTitle(QStringLiteral("fire.wav")));
    QCOMPARE(f.Sounds.CurrentIndex(), 0);
    QCOMPARE(f.Sounds.Sound(0).File, QStringLiteral("fire.wav"));
    QCOMPARE(f.Player.Playing, QStringLiteral("/sounds/fire.wav"));
    // An empty title plays nothing but keeps the turn going.
    f.Sounds.ChangeBackSoundTitle(QString());
    QVERIFY(f.Player.Playing.isEmpty());
    for (int tick = 0; tick < 5; ++tick)
        f.Tick();
    QCOMPARE(f.Player.Playing, QStringLiteral("/sounds/s1.wav"));
}

void TestBackSounds::nothingPlaysWithoutATableOrWhileLoading()
{
    TSilentSoundPlayer player;
    player.CurrentVolume = 0.5;
    TBackSounds sounds(player, &FakeClock);
    sounds.SaveSystemVolume();
    sounds.Use = true;
    QVERIFY(!sounds.ChangeBackSoundTitle(QStringLiteral("Default.wav")));
    QVERIFY(player.Played.isEmpty());
    QCOMPARE(sounds.CurrentIndex(), -1);

    TProfile profile;
    profile.UseBackSound = true;
    sounds.TakeProfile(profile);
    bool loading = true;
    sounds.IsLoading = [&loading] { return loading; };
    sounds.ChangeBackSoundTitle(QStringLiteral("Default.wav"));
    QVERIFY(player.Played.isEmpty());
    loading = false;
    sounds.ChangeBackSoundTitle(QStringLiteral("Default.wav"));
    QCOMPARE(player.Played, QStringList{"Default.wav"});
}

void TestBackSounds::minimiseAndRestore()
{
    TSoundsFixture f({5, 5});
    f.Sounds.PlayBackSoundIndex(0);
    f.Tick();
    f.Tick();
    f.Sounds.StopBackSound(); // minimised
    QVERIFY(f.Player.Playing.isEmpty());
    g_now += 60.0; // a minute away
    f.Sounds.PlayBackSoundIndex(f.Sounds.CurrentIndex()); // restored
    QCOMPARE(f.Player.Played, (QStringList{"/sounds/s0.wav", "/sounds/s0.wav"}));
    // Its time starts over with the restore.
    for (int tick = 0; tick < 4; ++tick)
        f.Tick();
    QCOMPARE(f.Player.Playing, QStringLiteral("/sounds/s0.wav"));
    f.Tick();
    QCOMPARE(f.Player.Playing, QStringLiteral("/sounds/s1.wav"));
}

void TestBackSounds::profileRoundTripKeepsUnusedSounds()
{
    TProfile profile;
    profile.BackSoundCount = 2;
    profile.BackSounds[5].File = QStringLiteral("kept.wav");
    TSilentSoundPlayer player;
    TBackSounds sounds(player);
    sounds.TakeProfile(profile);
    sounds.Sound(0).Vol = 300;
    TProfile back;
    sounds.GiveProfile(back);
    QCOMPARE(back.BackSoundCount, 2);
    QCOMPARE(back.BackSounds[0].Vol, 300);
    QCOMPARE(back.BackSounds[5].File, QStringLiteral("kept.wav"));
}

void TestBackSounds::realPlayerIsQuietWithoutDevice()
{
    // Nothing here may block or show anything, with or without sound.
    QTemporaryDir dir;
    const QString wav = QFINDTESTDATA("../../package/BackSounds/Default.wav");
    std::unique_ptr<TSoundPlayer> player = CreateSoundPlayer();
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!player->PlayLoop(dir.filePath(QStringLiteral("missing.wav"))));
    player->SetVolume(0.25);
    QCOMPARE(player->Volume(), 0.25);
    if (!wav.isEmpty()) {
        const bool started = player->PlayLoop(wav);
#ifdef LECTERN_HAS_MULTIMEDIA
        if (QMediaDevices::defaultAudioOutput().isNull())
            QVERIFY(!started);
#else
        QVERIFY(!started);
#endif
        QTest::qWait(200);
    }
    player->Stop();
    QVERIFY(timer.elapsed() < 10000);
    QCOMPARE(FunStatContext.Status, int32_t(Perfect));
}

QTEST_GUILESS_MAIN(TestBackSounds)
#include "test_backsounds.moc"
