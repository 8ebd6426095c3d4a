// The controls of the profile's "Format" page, found by their names, for
// tests that set them the way the reader does.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

struct TFormatPageControls {
    explicit TFormatPageControls(QWidget *page) : Page(page) {}

    QWidget *Page;
    QGroupBox *FormatTextGroupBox = Find<QGroupBox>("FormatTextGroupBox");
    QGroupBox *FormatParaGroupBox = Find<QGroupBox>("FormatParaGroupBox");
    QLabel *CharSpacingLabel = Find<QLabel>("CharSpacingLabel");
    QComboBox *LeftMarginComboBox = Find<QComboBox>("LeftMarginComboBox");
    QComboBox *RightMarginComboBox = Find<QComboBox>("RightMarginComboBox");
    QComboBox *FontNameComboBox = Find<QComboBox>("FontNameComboBox");
    QComboBox *FontSizeComboBox = Find<QComboBox>("FontSizeComboBox");
    QComboBox *FontZoomComboBox = Find<QComboBox>("FontZoomComboBox");
    QComboBox *CharSpacingComboBox = Find<QComboBox>("CharSpacingComboBox");
    QCheckBox *BoldFontCheckBox = Find<QCheckBox>("BoldFontCheckBox");
    QCheckBox *MarkupEmphasisCheckBox = Find<QCheckBox>("MarkupEmphasisCheckBox");
    QComboBox *LineSpacingComboBox = Find<QComboBox>("LineSpacingComboBox");
    QComboBox *FirstLineIndentComboBox = Find<QComboBox>("FirstLineIndentComboBox");
    QComboBox *SpaceAfterComboBox = Find<QComboBox>("SpaceAfterComboBox");
    QComboBox *ParagraphPrefixComboBox = Find<QComboBox>("ParagraphPrefixComboBox");
    QCheckBox *JustifiedTextCheckBox = Find<QCheckBox>("JustifiedTextCheckBox");
    QCheckBox *HyphenateCheckBox = Find<QCheckBox>("HyphenateCheckBox");
    QComboBox *HyphenationLanguageComboBox = Find<QComboBox>("HyphenationLanguageComboBox");

private:
    template<class T> T *Find(const char *name) const
    {
        T *control = Page->findChild<T *>(QLatin1String(name));
        if (!control) {
            fprintf(stderr, "The Format page has no control named %s.\n", name);
            std::abort();
        }
        return control;
    }
};
