#include "ProfileFormatTabSheet.h"

#include "ConvertOptions.h"
#include "Hyphenation.h"
#include "Profile.h"
#include "TextParsers.h"
#include "WidgetUtilities.h"

#include <QFontDatabase>

#include <algorithm>
#include <initializer_list>

const QString TProfileFormatTabSheet::DefaultFontName = QStringLiteral("Times New Roman");

namespace {

void AddRange(QStringList &items, int first, int last, int step)
{
    for (int v = first; v <= last; v += step)
        items.append(QString::number(v));
}

void AddValues(QStringList &items, std::initializer_list<int> values)
{
    for (int v : values)
        items.append(QString::number(v));
}

void Fill(QComboBox *combo, const QStringList &items, const QString &current)
{
    combo->addItems(items);
    combo->setCurrentText(current);
}

void SelectNumber(QComboBox *combo, int value) { SelectComboBoxItem(combo, QString::number(value)); }

} // namespace

QStringList TProfileFormatTabSheet::FontNameItems()
{
    QStringList families = QFontDatabase::families();
    // fontconfig maps the default to a metric-compatible face (Liberation
    // Serif) when the system lacks it, so it is offered in any case.
    if (!families.contains(DefaultFontName, Qt::CaseInsensitive))
        families.append(DefaultFontName);
    families.removeDuplicates();
    std::sort(families.begin(), families.end(),
              [](const QString &a, const QString &b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    return families;
}

TProfileFormatTabSheet::TProfileFormatTabSheet(QWidget *parent) : QWidget(parent)
{
    Form.setupUi(this);

    QStringList margins;
    AddRange(margins, 0, 50, 5);
    Fill(Form.LeftMarginComboBox, margins, QStringLiteral("15"));
    Fill(Form.RightMarginComboBox, margins, QStringLiteral("15"));

    Fill(Form.FontNameComboBox, FontNameItems(), DefaultFontName);

    QStringList sizes;
    AddRange(sizes, 8, 30, 1);
    AddValues(sizes, {32, 35, 40, 45, 50});
    Fill(Form.FontSizeComboBox, sizes, QStringLiteral("16"));

    QStringList zooms;
    AddRange(zooms, 10, 200, 5);
    AddValues(zooms, {225, 250, 275, 300, 350, 400, 450, 500});
    Fill(Form.FontZoomComboBox, zooms, QStringLiteral("100"));

    QStringList spacings;
    AddRange(spacings, -10, 20, 1);
    AddRange(spacings, 25, 50, 5);
    AddRange(spacings, 60, 100, 10);
    AddRange(spacings, 150, 500, 50);
    Fill(Form.CharSpacingComboBox, spacings, QStringLiteral("0"));

    QStringList lineSpacings;
    AddRange(lineSpacings, 100, 200, 10);
    AddValues(lineSpacings, {225, 250, 275, 300, 350, 400, 450, 500});
    Fill(Form.LineSpacingComboBox, lineSpacings, QStringLiteral("120"));

    QStringList indents;
    AddRange(indents, 0, 50, 5);
    Fill(Form.FirstLineIndentComboBox, indents, QStringLiteral("0"));

    QStringList spaces;
    AddRange(spaces, 0, 10, 1);
    AddValues(spaces, {12, 15, 18, 20, 25, 30});
    Fill(Form.SpaceAfterComboBox, spaces, QStringLiteral("5"));

    Fill(Form.ParagraphPrefixComboBox,
         {QStringLiteral("None"), QStringLiteral("Tab"), QStringLiteral("Blanks"), QStringLiteral("- "),
          QStringLiteral("* "), QStringLiteral("\u00B7 ")},
         QStringLiteral("None"));

    // The combos stay narrow whatever their items (long font names), so the
    // labels with their units fit in the sidebar.
    for (QComboBox *combo : findChildren<QComboBox *>()) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(5);
    }

    Form.HyphenationLanguageComboBox->addItems(HyphenationLanguageChoices());

    Form.BoldFontCheckBox->setChecked(false);
    Form.JustifiedTextCheckBox->setChecked(true);

    using O = TOption;
    const QList<QPair<QComboBox *, O>> combos = {
        {Form.LeftMarginComboBox, O::LeftMargin},   {Form.RightMarginComboBox, O::RightMargin},
        {Form.FontNameComboBox, O::FontName},       {Form.FontSizeComboBox, O::FontSize},
        {Form.FontZoomComboBox, O::FontZoom},       {Form.CharSpacingComboBox, O::CharSpacing},
        {Form.LineSpacingComboBox, O::LineSpacing}, {Form.FirstLineIndentComboBox, O::FirstLineIndent},
        {Form.SpaceAfterComboBox, O::SpaceAfter},
    };
    // Typed, chosen or set by a profile: every change of the text counts.
    for (const auto &combo : combos)
        connect(combo.first, &QComboBox::currentTextChanged, this,
                [this, option = combo.second] { emit FormatChanged(option); });
    connect(Form.BoldFontCheckBox, &QCheckBox::toggled, this, [this] { emit FormatChanged(O::BoldFont); });
    connect(Form.JustifiedTextCheckBox, &QCheckBox::toggled, this, [this] { emit FormatChanged(O::JustifiedText); });
    // Only the reader's own choices read the book again, never a profile
    // being shown.
    connect(Form.HyphenateCheckBox, &QCheckBox::clicked, this, [this] {
        UpdateHyphenationLanguage();
        emit ReadingChosen();
    });
    connect(Form.HyphenationLanguageComboBox, &QComboBox::activated, this, [this] { emit ReadingChosen(); });
    connect(Form.MarkupEmphasisCheckBox, &QCheckBox::clicked, this, [this] { emit ReadingChosen(); });
    UpdateHyphenationLanguage();
}

void TProfileFormatTabSheet::UpdateHyphenationLanguage()
{
    Form.HyphenationLanguageComboBox->setEnabled(Form.HyphenateCheckBox->isChecked());
}

void TProfileFormatTabSheet::ShowProfile(const TProfile &p)
{
    SelectNumber(Form.LeftMarginComboBox, p.LeftMargin);
    SelectNumber(Form.RightMarginComboBox, p.RightMargin);
    Form.BoldFontCheckBox->setChecked(p.BoldFont);
    Form.JustifiedTextCheckBox->setChecked(p.JustifiedText);
    if (SelectComboBoxItem(Form.FontNameComboBox, p.FontName) < 0)
        Form.FontNameComboBox->setEditText(p.FontName);
    SelectNumber(Form.FontSizeComboBox, p.FontSize);
    SelectNumber(Form.FontZoomComboBox, p.FontZoom);
    SelectNumber(Form.CharSpacingComboBox, p.CharSpacing);
    SelectNumber(Form.LineSpacingComboBox, p.LineSpacing);
    SelectNumber(Form.FirstLineIndentComboBox, p.FirstLineIndent);
    SelectNumber(Form.SpaceAfterComboBox, p.SpaceAfter);
    SelectComboBoxItem(Form.ParagraphPrefixComboBox, p.ParagraphPrefix);
    Form.HyphenateCheckBox->setChecked(p.Hyphenate);
    if (SelectComboBoxItem(Form.HyphenationLanguageComboBox, p.HyphenationLanguage) < 0)
        Form.HyphenationLanguageComboBox->setCurrentIndex(0);
    Form.MarkupEmphasisCheckBox->setChecked(p.MarkupEmphasis);
    UpdateHyphenationLanguage();
}

void TProfileFormatTabSheet::ReadProfile(TProfile &p) const
{
    p.LeftMargin = LeftMargin();
    p.RightMargin = RightMargin();
    p.BoldFont = BoldFont();
    p.JustifiedText = JustifiedText();
    p.FontName = FontName();
    p.FontSize = FontSize();
    p.FontZoom = FontZoom();
    p.CharSpacing = CharSpacing();
    p.LineSpacing = LineSpacing();
    p.FirstLineIndent = FirstLineIndent();
    p.SpaceAfter = SpaceAfter();
    p.ParagraphPrefix = ParagraphPrefix();
    p.Hyphenate = Hyphenate();
    p.HyphenationLanguage = HyphenationLanguage();
    p.MarkupEmphasis = MarkupEmphasis();
}

int TProfileFormatTabSheet::LeftMargin() const
{
    return GetIntFromText(Form.LeftMarginComboBox->currentText(), 0, 50, 15);
}

int TProfileFormatTabSheet::RightMargin() const
{
    return GetIntFromText(Form.RightMarginComboBox->currentText(), 0, 50, 15);
}

QString TProfileFormatTabSheet::FontName() const
{
    const QString name = Form.FontNameComboBox->currentText();
    return name.isEmpty() ? DefaultFontName : name;
}

int TProfileFormatTabSheet::FontSize() const { return GetIntFromText(Form.FontSizeComboBox->currentText(), 8, 50, 16); }

int TProfileFormatTabSheet::FontZoom() const
{
    return GetIntFromText(Form.FontZoomComboBox->currentText(), 10, 500, 100);
}

int TProfileFormatTabSheet::CharSpacing() const
{
    return GetIntFromText(Form.CharSpacingComboBox->currentText(), -10, 500, 0);
}

bool TProfileFormatTabSheet::BoldFont() const { return Form.BoldFontCheckBox->isChecked(); }

bool TProfileFormatTabSheet::JustifiedText() const { return Form.JustifiedTextCheckBox->isChecked(); }

int TProfileFormatTabSheet::LineSpacing() const
{
    return GetIntFromText(Form.LineSpacingComboBox->currentText(), 100, 500, 120);
}

int TProfileFormatTabSheet::FirstLineIndent() const
{
    return GetIntFromText(Form.FirstLineIndentComboBox->currentText(), 0, 50, 0);
}

int TProfileFormatTabSheet::SpaceAfter() const
{
    return GetIntFromText(Form.SpaceAfterComboBox->currentText(), 0, 30, 5);
}

QString TProfileFormatTabSheet::ParagraphPrefix() const { return Form.ParagraphPrefixComboBox->currentText(); }

bool TProfileFormatTabSheet::Hyphenate() const { return Form.HyphenateCheckBox->isChecked(); }

QString TProfileFormatTabSheet::HyphenationLanguage() const { return Form.HyphenationLanguageComboBox->currentText(); }

bool TProfileFormatTabSheet::MarkupEmphasis() const { return Form.MarkupEmphasisCheckBox->isChecked(); }

void TProfileFormatTabSheet::ReadFormatOptions(TBookFormatOptions &options) const
{
    options.ParagraphPrefix = ParagraphPrefix();
    options.FontName = FontName();
    options.FontSize = FontSize();
    options.BoldFont = BoldFont();
    options.CharSpacing = CharSpacing();
    options.JustifiedText = JustifiedText();
    options.LineSpacing = LineSpacing();
    options.FirstLineIndent = FirstLineIndent();
    options.SpaceAfter = SpaceAfter();
    options.Hyphenate = Hyphenate();
    options.HyphenationLanguage = HyphenationLanguage();
    options.MarkupEmphasis = MarkupEmphasis();
}
