// A profile: the reading style of a book, a directory of books or the whole
// program, kept in a ".lcp" settings file with the sections "Profile_Main",
// "Profile_BackSounds" and "Profile_Voice".
//
// TProfile holds every key of both sections, whether or not a control of the
// window shows it yet, so loading a profile and saving it again never loses
// a value. The window shows a profile in its controls in one place,
// TLecternForm::ApplyProfile, and reads the controls back in one place,
// TLecternForm::ReadProfileControls (LecternFormProfile.cpp); a control binds
// to its field there. A new key is a field here plus one row in the key
// table of Profile.cpp, which reads and writes it in file order.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

class TStoredTextList;

using TColor = uint32_t; // 0x00BBGGRR

// One background sound.
struct TBackSound {
    QString File; // short form: see ShortProfileFileName
    int Vol = 50; // 0..1000
    int Dur = 5; // 1..500
    int Prob = 100; // 1..1000
};

// The voice that reads the book aloud.
struct TProfileVoice {
    QString Engine; // empty: the everyday engine
    QString Voice; // empty: a voice for the book's language
    int Rate = 0; // -100..100 (percent)
    int Pitch = 0; // -100..100
    int Volume = 100; // 0..100

    bool operator==(const TProfileVoice &other) const
    {
        return Engine == other.Engine && Voice == other.Voice && Rate == other.Rate && Pitch == other.Pitch
            && Volume == other.Volume;
    }
};

struct TProfile {
    static constexpr int MaxBackSounds = 20;

    // ---- Profile_Main, in file order -------------------------------------
    bool EnhanceText = true;
    bool PoorlyWritten = true;
    bool IgnoreEmptyLines = false;
    bool DetectTextLayout = true; // PoorlyWritten decided from each book's lines
    bool CheckHyphens = true;
    bool SmartChapters = true;
    bool WholeBookPieces = true; // the pieces of a book read as one book
    QString Encoding = QStringLiteral("Automatic"); // a name of EncodingChoices(), at most 31 characters
    bool UseScreenBackImage = true;
    bool StretchScreenBackImage = false;
    int FadeScreenBackImage = 0; // 0..100
    int GammaScreenBackImage = 100; // 1..1000
    QString TitleScreenBackImage = QStringLiteral("DefaultScreen.bmp");
    int FadeCenterScreenBackImage = 0; // 0..100
    bool UseRichBackImage = true;
    bool StretchRichBackImage = false;
    int FadeRichBackImage = 0; // 0..100
    int GammaRichBackImage = 100; // 1..1000
    QString TitleRichBackImage = QStringLiteral("DefaultRich.bmp");
    bool TransparentRichBack = false;
    bool ShowRichBoxFrame = false;
    TColor ScreenBackColor = 0xFFFFFF;
    TColor ScreenForeColor = 0x000000;
    TColor RichBoxBackColor = 0xFFFFFF;
    TColor RichBoxForeColor = 0x000000;
    TColor EmphaColor = 0x820000;
    TColor SecondEmphaColor = 0x5A00B4;
    TColor BrowserFocusBackColor = 0x196EB9;
    TColor BrowserFocusForeColor = 0xFFFFFF;
    TColor DirTypeBackColor = 0x4B96AA;
    TColor DirTypeForeColor = 0xFFFFFF;
    int LeftMargin = 15; // 0..50
    int RightMargin = 15; // 0..50
    bool BoldFont = false;
    bool JustifiedText = true;
    QString FontName = QStringLiteral("Times New Roman"); // at most 31 characters
    int FontSize = 16; // 8..50
    int FontZoom = 100; // 10..500
    int CharSpacing = 0; // -10..500
    int LineSpacing = 120; // 100..500
    int FirstLineIndent = 0; // 0..50
    int SpaceAfter = 5; // 0..30
    QString ParagraphPrefix = QStringLiteral("None"); // at most 31 characters
    bool Hyphenate = true; // soft hyphens where the book's language allows them
    QString HyphenationLanguage = QStringLiteral("Book's language"); // a choice of HyphenationLanguageChoices()
    bool MarkupEmphasis = true; // _italic_ and *bold* shown so, without the markers

    // ---- Profile_BackSounds -------------------------------------------
    bool UseBackSound = false; // "Use"
    bool RandomBackSound = true; // "Random"
    int BackSoundCount = 1; // "Count", 1..20
    // "File" n, "Vol" n, "Dur" n, "Prob" n; only sounds below the count are
    // read and written, the others keep what they hold.
    std::array<TBackSound, MaxBackSounds> BackSounds = DefaultBackSounds();

    // ---- Profile_Voice: "Engine", "Voice", "Rate", "Pitch", "Volume" ------
    TProfileVoice Voice;

    static std::array<TBackSound, MaxBackSounds> DefaultBackSounds();
};

// Where short picture and sound names are relative to.
struct TProfilePlaces {
    QString ProfileDirectory; // of the current profile, with a trailing "/"
    bool IsDefaultProfile = false;
    QString ImageDirectory; // the program's "BackImages/"
    QString SoundDirectory; // the program's "BackSounds/"
};

// Reads every section. Every key starts from its fixed default (not from the
// value in the record) and keeps it when the stored value is missing,
// unreadable or out of range; picture and sound names are normalised. Sounds
// at or above the stored count keep what they held.
void ReadProfile(const TStoredTextList &list, TProfile &profile);
// Empties the list and writes every key of every section in file order,
// picture and sound names in their short form.
void WriteProfile(const TProfile &profile, TStoredTextList &list, const TProfilePlaces &places);

// A stored picture name whose name without extension is "DefaultScreen" or
// "DefaultRich" (any letter case) becomes "DefaultScreen.bmp" or
// "DefaultRich.bmp"; a sound name "Default" becomes "Default.wav". Other
// names stay as they are.
QString NormaliseImageName(const QString &name);
QString NormaliseSoundName(const QString &name);

// The short form of a picture or sound path: relative to the profile's
// directory (for a profile other than the default one), else relative to
// the program's picture or sound directory, else the full path. Directories
// are compared exactly: file names differ by letter case here.
QString ShortProfileFileName(const QString &path, const QString &profileDirectory, bool isDefaultProfile,
                             const QString &baseDirectory);
// The file a short name stands for: a name beginning with "/" as it is; an
// empty one stays empty; else the profile's directory + name when that file
// exists, the base directory + name when that one exists, and otherwise the
// base directory followed by "*" (no such file).
QString ResolveProfileFileName(const QString &name, const QString &profileDirectory, const QString &baseDirectory);

// Directory of a file with a trailing "/".
QString DirectoryOfFile(const QString &path);

// The profiles that may belong to a book, most particular first: the profile
// the reader has just chosen (when given) or the book's own (the book's path
// with the extension ".lcp"), "LecternProfile.lcp" in the book's directory,
// the same in its parent directory, and last the default profile.
QStringList ProfileCandidatesForBook(const QString &bookPath, const QString &chosenProfile,
                                     const QString &defaultProfile);
// The first candidate that exists as a file, else the default profile.
QString ChooseProfileForBook(const QString &bookPath, const QString &chosenProfile, const QString &defaultProfile);

// True when the name ends in ".lcp" (any letter case).
bool HasProfileExtension(const QString &fileName);

extern const QString DefaultProfileFileName; // "LecternProfile.lcp"
