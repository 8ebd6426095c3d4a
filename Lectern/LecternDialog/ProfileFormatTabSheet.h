// The profile's "Format" page: text and paragraph format, hyphenation and
// the book's own emphasis.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include "ui_ProfileFormatTabSheet.h"

struct TBookFormatOptions;
struct TProfile;

class TProfileFormatTabSheet : public QWidget {
    Q_OBJECT
public:
    // The options of the page, as its change signal names them.
    enum class TOption {
        LeftMargin,
        RightMargin,
        FontName,
        FontSize,
        FontZoom,
        CharSpacing,
        BoldFont,
        LineSpacing,
        FirstLineIndent,
        SpaceAfter,
        JustifiedText,
    };
    Q_ENUM(TOption)

    explicit TProfileFormatTabSheet(QWidget *parent = nullptr);

    // The page's keys of a profile, shown and read back. A font this system
    // lacks keeps its name (the nearest face shows it).
    void ShowProfile(const TProfile &profile);
    void ReadProfile(TProfile &profile) const;
    // Writes the page's format options into the record; members the page
    // does not hold are left as they are.
    void ReadFormatOptions(TBookFormatOptions &options) const;

    // The options as numbers: a text that is empty, not a number or out of
    // range gives the default.
    int LeftMargin() const; // pixels 0..50, default 15
    int RightMargin() const; // pixels 0..50, default 15
    QString FontName() const; // "Times New Roman" when the box is empty
    int FontSize() const; // points 8..50, default 16
    int FontZoom() const; // percent 10..500, default 100
    int CharSpacing() const; // mm/10 -10..500, default 0
    bool BoldFont() const;
    bool JustifiedText() const;
    int LineSpacing() const; // percent 100..500, default 120
    int FirstLineIndent() const; // mm 0..50, default 0
    int SpaceAfter() const; // mm 0..30, default 5
    QString ParagraphPrefix() const;
    bool Hyphenate() const;
    QString HyphenationLanguage() const; // a choice of HyphenationLanguageChoices()
    bool MarkupEmphasis() const;

    static const QString DefaultFontName; // "Times New Roman"
    // The font families offered: the installed ones, sorted, with the
    // default among them even when the system only has a substitute for it.
    static QStringList FontNameItems();

signals:
    // A format option changed, typed, chosen or set by a profile.
    void FormatChanged(TProfileFormatTabSheet::TOption option);
    // The reader changed how the book is read (hyphenation, its language,
    // the book's emphasis): the open book reads again.
    void ReadingChosen();

private:
    Ui::ProfileFormatTabSheet Form;
    void UpdateHyphenationLanguage();
};
