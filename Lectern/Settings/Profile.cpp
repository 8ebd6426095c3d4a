#include "Profile.h"

#include <QDir>
#include <QFileInfo>

#include "Program.h"
#include "StoredTextList.h"

const QString DefaultProfileFileName = QStringLiteral("LecternProfile.lcp");

namespace {

const QString MainSection = QStringLiteral("Profile_Main");
const QString SoundSection = QStringLiteral("Profile_BackSounds");
const QString VoiceSection = QStringLiteral("Profile_Voice");

// One key of "Profile_Main": its field and what it accepts.
struct TProfileKey {
    enum TKind { Bool, Int, Text, Image, Color };
    const char *Key;
    TKind Kind;
    bool TProfile::*BoolField = nullptr;
    int TProfile::*IntField = nullptr;
    QString TProfile::*TextField = nullptr;
    TColor TProfile::*ColorField = nullptr;
    int Minimum = 0; // numbers
    int Maximum = 0; // numbers; the longest text
};

TProfileKey BoolKey(const char *key, bool TProfile::*field) { return {key, TProfileKey::Bool, field}; }

TProfileKey IntKey(const char *key, int TProfile::*field, int minimum, int maximum)
{
    return {key, TProfileKey::Int, nullptr, field, nullptr, nullptr, minimum, maximum};
}

TProfileKey TextKey(const char *key, QString TProfile::*field, int maxLength)
{
    return {key, TProfileKey::Text, nullptr, nullptr, field, nullptr, 0, maxLength};
}

// A picture name: normalised when read, in short form when written.
TProfileKey ImageKey(const char *key, QString TProfile::*field)
{
    return {key, TProfileKey::Image, nullptr, nullptr, field, nullptr, 0, MaxPathLength};
}

TProfileKey ColorKey(const char *key, TColor TProfile::*field)
{
    return {key, TProfileKey::Color, nullptr, nullptr, nullptr, field};
}

// "Profile_Main" in file order.
const TProfileKey MainKeys[] = {
    BoolKey("EnhanceText", &TProfile::EnhanceText),
    BoolKey("PoorlyWritten", &TProfile::PoorlyWritten),
    BoolKey("IgnoreEmptyLines", &TProfile::IgnoreEmptyLines),
    BoolKey("UseScreenBackImage", &TProfile::UseScreenBackImage),
    BoolKey("StretchScreenBackImage", &TProfile::StretchScreenBackImage),
    IntKey("FadeScreenBackImage", &TProfile::FadeScreenBackImage, 0, 100),
    IntKey("GammaScreenBackImage", &TProfile::GammaScreenBackImage, 1, 1000),
    ImageKey("TitleScreenBackImage", &TProfile::TitleScreenBackImage),
    IntKey("FadeCenterScreenBackImage", &TProfile::FadeCenterScreenBackImage, 0, 100),
    BoolKey("UseRichBackImage", &TProfile::UseRichBackImage),
    BoolKey("StretchRichBackImage", &TProfile::StretchRichBackImage),
    IntKey("FadeRichBackImage", &TProfile::FadeRichBackImage, 0, 100),
    IntKey("GammaRichBackImage", &TProfile::GammaRichBackImage, 1, 1000),
    ImageKey("TitleRichBackImage", &TProfile::TitleRichBackImage),
    BoolKey("TransparentRichBack", &TProfile::TransparentRichBack),
    BoolKey("ShowRichBoxFrame", &TProfile::ShowRichBoxFrame),
    ColorKey("ScreenBackColor", &TProfile::ScreenBackColor),
    ColorKey("ScreenForeColor", &TProfile::ScreenForeColor),
    ColorKey("RichBoxBackColor", &TProfile::RichBoxBackColor),
    ColorKey("RichBoxForeColor", &TProfile::RichBoxForeColor),
    ColorKey("EmphaColor", &TProfile::EmphaColor),
    ColorKey("SecondEmphaColor", &TProfile::SecondEmphaColor),
    ColorKey("BrowserFocusBackColor", &TProfile::BrowserFocusBackColor),
    ColorKey("BrowserFocusForeColor", &TProfile::BrowserFocusForeColor),
    ColorKey("DirTypeBackColor", &TProfile::DirTypeBackColor),
    ColorKey("DirTypeForeColor", &TProfile::DirTypeForeColor),
    IntKey("LeftMargin", &TProfile::LeftMargin, 0, 50),
    IntKey("RightMargin", &TProfile::RightMargin, 0, 50),
    BoolKey("BoldFont", &TProfile::BoldFont),
    BoolKey("JustifiedText", &TProfile::JustifiedText),
    TextKey("FontName", &TProfile::FontName, 31),
    IntKey("FontSize", &TProfile::FontSize, 8, 50),
    IntKey("FontZoom", &TProfile::FontZoom, 10, 500),
    IntKey("CharSpacing", &TProfile::CharSpacing, -10, 500),
    IntKey("LineSpacing", &TProfile::LineSpacing, 100, 500),
    IntKey("FirstLineIndent", &TProfile::FirstLineIndent, 0, 50),
    IntKey("SpaceAfter", &TProfile::SpaceAfter, 0, 30),
    TextKey("ParagraphPrefix", &TProfile::ParagraphPrefix, 31),
    // The further enhancement choices.
    BoolKey("DetectTextLayout", &TProfile::DetectTextLayout),
    BoolKey("CheckHyphens", &TProfile::CheckHyphens),
    BoolKey("SmartChapters", &TProfile::SmartChapters),
    BoolKey("WholeBookPieces", &TProfile::WholeBookPieces),
    TextKey("Encoding", &TProfile::Encoding, 31),
    // The page like a printed book.
    BoolKey("Hyphenate", &TProfile::Hyphenate),
    TextKey("HyphenationLanguage", &TProfile::HyphenationLanguage, 31),
    BoolKey("MarkupEmphasis", &TProfile::MarkupEmphasis),
};

QString Key(const char *key) { return QLatin1String(key); }

QString SoundKey(const char *name, int n) { return QLatin1String(name) + QString::number(n); }

// The name without its extension, which starts at the last "." after the
// last "/".
QString WithoutExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < name.lastIndexOf(QLatin1Char('/')))
        return name;
    return name.left(dot);
}

QString Normalised(const QString &name, std::initializer_list<const char *> defaults)
{
    const QString base = WithoutExtension(name);
    for (const char *canonical : defaults) {
        const QString full = QLatin1String(canonical);
        if (base.compare(WithoutExtension(full), Qt::CaseInsensitive) == 0)
            return full;
    }
    return name;
}

bool IsFile(const QString &path) { return QFileInfo(path).isFile(); }

} // namespace

std::array<TBackSound, TProfile::MaxBackSounds> TProfile::DefaultBackSounds()
{
    std::array<TBackSound, MaxBackSounds> sounds;
    sounds[0].File = QStringLiteral("Default.wav");
    return sounds;
}

void ReadProfile(const TStoredTextList &list, TProfile &profile)
{
    const TProfile defaults;
    for (const TProfileKey &k : MainKeys) {
        const QString key = Key(k.Key);
        switch (k.Kind) {
        case TProfileKey::Bool:
            profile.*k.BoolField = defaults.*k.BoolField;
            list.ReadBool(MainSection, key, profile.*k.BoolField);
            break;
        case TProfileKey::Int:
            profile.*k.IntField = defaults.*k.IntField;
            list.ReadInt(MainSection, key, profile.*k.IntField, k.Maximum, k.Minimum);
            break;
        case TProfileKey::Text:
        case TProfileKey::Image:
            profile.*k.TextField = defaults.*k.TextField;
            list.ReadText(MainSection, key, false, profile.*k.TextField, k.Maximum);
            if (k.Kind == TProfileKey::Image)
                profile.*k.TextField = NormaliseImageName(profile.*k.TextField);
            break;
        case TProfileKey::Color:
            profile.*k.ColorField = defaults.*k.ColorField;
            list.ReadColor(MainSection, key, profile.*k.ColorField);
            break;
        }
    }

    profile.UseBackSound = defaults.UseBackSound;
    profile.RandomBackSound = defaults.RandomBackSound;
    profile.BackSoundCount = defaults.BackSoundCount;
    list.ReadBool(SoundSection, QStringLiteral("Use"), profile.UseBackSound);
    list.ReadBool(SoundSection, QStringLiteral("Random"), profile.RandomBackSound);
    list.ReadInt(SoundSection, QStringLiteral("Count"), profile.BackSoundCount, TProfile::MaxBackSounds, 1);
    for (int n = 0; n < profile.BackSoundCount; ++n) {
        TBackSound &sound = profile.BackSounds[n];
        sound = defaults.BackSounds[n];
        list.ReadText(SoundSection, SoundKey("File", n), true, sound.File, MaxPathLength);
        sound.File = NormaliseSoundName(sound.File);
        list.ReadInt(SoundSection, SoundKey("Vol", n), sound.Vol, 1000, 0);
        list.ReadInt(SoundSection, SoundKey("Dur", n), sound.Dur, 500, 1);
        list.ReadInt(SoundSection, SoundKey("Prob", n), sound.Prob, 1000, 1);
    }

    TProfileVoice &voice = profile.Voice;
    voice = defaults.Voice;
    list.ReadText(VoiceSection, QStringLiteral("Engine"), true, voice.Engine, 63);
    list.ReadText(VoiceSection, QStringLiteral("Voice"), true, voice.Voice, MaxPathLength);
    list.ReadInt(VoiceSection, QStringLiteral("Rate"), voice.Rate, 100, -100);
    list.ReadInt(VoiceSection, QStringLiteral("Pitch"), voice.Pitch, 100, -100);
    list.ReadInt(VoiceSection, QStringLiteral("Volume"), voice.Volume, 100, 0);
}

void WriteProfile(const TProfile &profile, TStoredTextList &list, const TProfilePlaces &places)
{
    auto shortImage = [&places](const QString &path) {
        return ShortProfileFileName(path, places.ProfileDirectory, places.IsDefaultProfile, places.ImageDirectory);
    };
    list.Clear();
    for (const TProfileKey &k : MainKeys) {
        const QString key = Key(k.Key);
        switch (k.Kind) {
        case TProfileKey::Bool: list.WriteBool(MainSection, key, profile.*k.BoolField); break;
        case TProfileKey::Int: list.WriteInt(MainSection, key, profile.*k.IntField); break;
        case TProfileKey::Text: list.WriteText(MainSection, key, profile.*k.TextField); break;
        case TProfileKey::Image: list.WriteText(MainSection, key, shortImage(profile.*k.TextField)); break;
        case TProfileKey::Color: list.WriteColor(MainSection, key, profile.*k.ColorField); break;
        }
    }
    list.WriteBool(SoundSection, QStringLiteral("Use"), profile.UseBackSound);
    list.WriteBool(SoundSection, QStringLiteral("Random"), profile.RandomBackSound);
    const int count = qBound(1, profile.BackSoundCount, TProfile::MaxBackSounds);
    list.WriteInt(SoundSection, QStringLiteral("Count"), count);
    for (int n = 0; n < count; ++n) {
        const TBackSound &sound = profile.BackSounds[n];
        list.WriteText(
            SoundSection, SoundKey("File", n),
            ShortProfileFileName(sound.File, places.ProfileDirectory, places.IsDefaultProfile, places.SoundDirectory));
        list.WriteInt(SoundSection, SoundKey("Vol", n), sound.Vol);
        list.WriteInt(SoundSection, SoundKey("Dur", n), sound.Dur);
        list.WriteInt(SoundSection, SoundKey("Prob", n), sound.Prob);
    }
    list.WriteText(VoiceSection, QStringLiteral("Engine"), profile.Voice.Engine);
    list.WriteText(VoiceSection, QStringLiteral("Voice"), profile.Voice.Voice);
    list.WriteInt(VoiceSection, QStringLiteral("Rate"), profile.Voice.Rate);
    list.WriteInt(VoiceSection, QStringLiteral("Pitch"), profile.Voice.Pitch);
    list.WriteInt(VoiceSection, QStringLiteral("Volume"), profile.Voice.Volume);
}

QString NormaliseImageName(const QString &name) { return Normalised(name, {"DefaultScreen.bmp", "DefaultRich.bmp"}); }

QString NormaliseSoundName(const QString &name) { return Normalised(name, {"Default.wav"}); }

QString ShortProfileFileName(const QString &path, const QString &profileDirectory, bool isDefaultProfile,
                             const QString &baseDirectory)
{
    if (!isDefaultProfile && !profileDirectory.isEmpty() && path.startsWith(profileDirectory))
        return path.mid(profileDirectory.size());
    if (!baseDirectory.isEmpty() && path.startsWith(baseDirectory))
        return path.mid(baseDirectory.size());
    return path;
}

QString ResolveProfileFileName(const QString &name, const QString &profileDirectory, const QString &baseDirectory)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')))
        return name;
    if (!profileDirectory.isEmpty()) {
        const QString inProfile = QDir::cleanPath(profileDirectory + name);
        if (IsFile(inProfile))
            return inProfile;
    }
    const QString inBase = baseDirectory + name;
    if (IsFile(inBase))
        return inBase;
    return baseDirectory + QLatin1Char('*');
}

QString DirectoryOfFile(const QString &path)
{
    QString dir = QFileInfo(path).absolutePath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QStringList ProfileCandidatesForBook(const QString &bookPath, const QString &chosenProfile,
                                     const QString &defaultProfile)
{
    QStringList candidates;
    if (!chosenProfile.isEmpty()) {
        candidates << chosenProfile;
    } else {
        const QFileInfo book(bookPath);
        const QString suffix = book.suffix();
        const QString stem = suffix.isEmpty() ? bookPath : bookPath.left(bookPath.size() - suffix.size() - 1);
        candidates << stem + QStringLiteral(".lcp");
    }
    const QString bookDir = DirectoryOfFile(bookPath);
    candidates << bookDir + DefaultProfileFileName;
    if (bookDir != QLatin1String("/"))
        candidates << DirectoryOfFile(bookDir.chopped(1)) + DefaultProfileFileName;
    candidates << defaultProfile;
    return candidates;
}

QString ChooseProfileForBook(const QString &bookPath, const QString &chosenProfile, const QString &defaultProfile)
{
    const QStringList candidates = ProfileCandidatesForBook(bookPath, chosenProfile, defaultProfile);
    for (int i = 0; i + 1 < candidates.size(); ++i)
        if (IsFile(candidates.at(i)))
            return candidates.at(i);
    return defaultProfile;
}

bool HasProfileExtension(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".lcp"), Qt::CaseInsensitive);
}
