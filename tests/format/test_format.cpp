// The "Format" page and its handlers: items, ranges and defaults, the
// twips the options become, the reading position kept across changes and
// the modified flag left alone.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>

#include "BookFormFixture.h"
#include "BookGroupBox.h"
#include "FormatPageControls.h"
#include "ProfileColorsTabSheet.h"
#include "ProfileFormatTabSheet.h"
#include "ProgramMiscTabSheet.h"

class TestFormat : public QObject {
    Q_OBJECT
private slots:
    void pageItemsRangesAndDefaults();
    void defaultFaceResolves();
    void optionsBecomeTwips();
    void richEdit3Controls();
    void readingPositionKept();
    void positionAtTheEndStaysAtTheEnd();
    void editsSurviveEveryOption_data();
    void editsSurviveEveryOption();
};

void TestFormat::pageItemsRangesAndDefaults()
{
    TProfileFormatTabSheet page;
    TFormatPageControls f(&page);
    auto items = [](QComboBox *c) {
        QStringList list;
        for (int i = 0; i < c->count(); ++i)
            list << c->itemText(i);
        return list;
    };
    QCOMPARE(f.FormatTextGroupBox->title(), QStringLiteral("Format text"));
    QCOMPARE(f.FormatParaGroupBox->title(), QStringLiteral("Format paragraph"));
    QCOMPARE(f.CharSpacingLabel->text(), QStringLiteral("Char spacing (mm/10)"));
    QCOMPARE(items(f.LeftMarginComboBox).size(), 11);
    QCOMPARE(items(f.FontSizeComboBox).mid(21), QStringList({"29", "30", "32", "35", "40", "45", "50"}));
    QCOMPARE(items(f.FontZoomComboBox).size(), 39 + 8);
    QCOMPARE(items(f.CharSpacingComboBox).first(), QStringLiteral("-10"));
    QCOMPARE(items(f.CharSpacingComboBox).size(), 31 + 6 + 5 + 8);
    QCOMPARE(items(f.LineSpacingComboBox).mid(10, 2), QStringList({"200", "225"}));
    QCOMPARE(items(f.SpaceAfterComboBox).last(), QStringLiteral("30"));
    QCOMPARE(items(f.ParagraphPrefixComboBox),
             QStringList({"None", "Tab", "Blanks", "- ", "* ", QStringLiteral("\u00B7 ")}));
    // Every control explains itself in the hint label.
    for (QWidget *w : page.findChildren<QWidget *>())
        if (qobject_cast<QComboBox *>(w) || qobject_cast<QCheckBox *>(w))
            QVERIFY2(!w->statusTip().isEmpty(), qPrintable(w->objectName()));

    // Defaults, as the loader reads them.
    TBookFormatOptions o;
    o.FontSize = 0;
    o.LineSpacing = 0;
    page.ReadFormatOptions(o);
    QCOMPARE(o.FontName, QStringLiteral("Times New Roman"));
    QCOMPARE(o.FontSize, 16);
    QCOMPARE(o.LineSpacing, 120);
    QCOMPARE(o.SpaceAfter, 5);
    QCOMPARE(o.CharSpacing, 0);
    QVERIFY(o.JustifiedText);
    QVERIFY(!o.BoldFont);
    QCOMPARE(page.LeftMargin(), 15);
    QCOMPARE(page.FontZoom(), 100);

    // Out of range, not a number or empty: the default, never a clamp.
    f.LeftMarginComboBox->setCurrentText(QStringLiteral("51"));
    QCOMPARE(page.LeftMargin(), 15);
    f.LeftMarginComboBox->setCurrentText(QStringLiteral("0"));
    QCOMPARE(page.LeftMargin(), 0);
    f.FontSizeComboBox->setCurrentText(QStringLiteral("7"));
    QCOMPARE(page.FontSize(), 16);
    f.CharSpacingComboBox->setCurrentText(QStringLiteral("-11"));
    QCOMPARE(page.CharSpacing(), 0);
    f.FontZoomComboBox->setCurrentText(QStringLiteral("big"));
    QCOMPARE(page.FontZoom(), 100);
    f.SpaceAfterComboBox->setCurrentText(QString());
    QCOMPARE(page.SpaceAfter(), 5);
    f.FontNameComboBox->setCurrentText(QString());
    QCOMPARE(page.FontName(), QStringLiteral("Times New Roman"));
    QVERIFY(f.FontNameComboBox->currentText().isEmpty());
}

void TestFormat::defaultFaceResolves()
{
    const QStringList offered = TProfileFormatTabSheet::FontNameItems();
    QVERIFY(offered.contains(QStringLiteral("Times New Roman")));
    for (int i = 1; i < offered.size(); ++i)
        QVERIFY(QString::compare(offered.at(i - 1), offered.at(i), Qt::CaseInsensitive) <= 0);
    // Where the system has a metric-compatible serif, the default lands on it.
    if (!QFontDatabase::families().contains(QStringLiteral("Liberation Serif")))
        QSKIP("Liberation Serif is not installed");
    const QString resolved = QFontInfo(QFont(QStringLiteral("Times New Roman"), 16)).family();
    QVERIFY2(resolved == QStringLiteral("Liberation Serif") || resolved == QStringLiteral("Times New Roman"),
             qPrintable(resolved));
}

void TestFormat::optionsBecomeTwips()
{
    TBookFormFixture fx;
    fx.Load(TBookFormFixture::Paragraphs(20));
    TLecternForm &form = fx.Form;
    TFormatPageControls f(form.ProfileFormatTabSheet);
    TRichDocument *doc = form.RichEdit->RichDocument();

    f.FirstLineIndentComboBox->setCurrentText(QStringLiteral("10"));
    f.SpaceAfterComboBox->setCurrentText(QStringLiteral("5"));
    f.LineSpacingComboBox->setCurrentText(QStringLiteral("225"));
    f.JustifiedTextCheckBox->setChecked(false);
    for (int paragraph : {0, 7, doc->ParagraphCount() - 1}) {
        doc->SetSelection(doc->ParagraphStart(paragraph), 0);
        const TParaFormat p = doc->GetParaFormat();
        QCOMPARE(p.StartIndent, 576);
        QCOMPARE(p.Offset, -576);
        QCOMPARE(p.SpaceAfter, 288);
        QCOMPARE(p.LineSpacing, 45);
        QCOMPARE(p.LineSpacingRule, 5);
        QCOMPARE(p.Alignment, PFA_LEFT);
        QCOMPARE(p.TabStops.size(), 32);
        QCOMPARE(p.TabStops.at(1), 576 + 864);
    }
    // The whole-text change leaves no selection and counts as no edit.
    QCOMPARE(doc->SelectionLength(), 0);
    QVERIFY(!form.IsRichEditModified());
    QVERIFY(!form.RichEdit->isHidden());

    f.CharSpacingComboBox->setCurrentText(QStringLiteral("-10"));
    doc->SetSelection(doc->ParagraphStart(3) + 5, 0);
    QCOMPARE(doc->GetCharFormat().SpacingTwips, -57); // -57.6 truncated toward zero
    f.FontSizeComboBox->setCurrentText(QStringLiteral("20"));
    QCOMPARE(doc->GetCharFormat().HeightTwips, 400);
    f.BoldFontCheckBox->setChecked(true);
    QVERIFY(doc->GetCharFormat().Effects & CFE_BOLD);
    QVERIFY(!form.IsRichEditModified());

    f.FontZoomComboBox->setCurrentText(QStringLiteral("150"));
    QCOMPARE(form.RichEdit->ZoomPercent(), 150);
    f.LeftMarginComboBox->setCurrentText(QStringLiteral("40"));
    QCOMPARE(form.RichEdit->LeftMarginPixels(), 40);
}

void TestFormat::richEdit3Controls()
{
    TBookFormFixture fx;
    TLecternForm &form = fx.Form;
    Ui::ProgramMiscTabSheet &m = form.ProgramMiscTabSheet->Form;
    QCOMPARE(m.SystemOptionsGroupBox->title(), QStringLiteral("System integration"));
    QCOMPARE(m.DetectRichEdit3Label->text(), QStringLiteral("Rich-edit 3 is installed."));
    QVERIFY(m.DetectRichEdit3Label->statusTip().startsWith(QStringLiteral("Indicates if Rich-edit 3 is installed")));
    QCOMPARE(m.ForceRichEdit3CheckBox->text(), QStringLiteral("Force Rich-edit 3"));
    // Nothing a reader of this platform can act on: the group is not shown,
    // while the check box still drives the engine (and its setting).
    QVERIFY(m.SystemOptionsGroupBox->isHidden());
    QVERIFY(m.DetectRichEdit3Label->isHidden());
    QVERIFY(m.ForceRichEdit3CheckBox->isHidden());
    QVERIFY(!form.Engine->ForceRichEdit3);
    m.ForceRichEdit3CheckBox->setChecked(true);
    QVERIFY(form.Engine->ForceRichEdit3);

    // Without the extended records only indents and alignment reach the
    // paragraphs; forcing them brings spacing back.
    fx.Load(TBookFormFixture::Paragraphs(5));
    form.Engine->RichEdit3 = false;
    m.ForceRichEdit3CheckBox->setChecked(false);
    TRichDocument *doc = form.RichEdit->RichDocument();
    TFormatPageControls(form.ProfileFormatTabSheet).SpaceAfterComboBox->setCurrentText(QStringLiteral("10"));
    doc->SetSelection(doc->ParagraphStart(2), 0);
    QVERIFY(doc->GetParaFormat().SpaceAfter != 576);
    m.ForceRichEdit3CheckBox->setChecked(true);
    form.SetAllParaFormatRichEdit();
    doc->SetSelection(doc->ParagraphStart(2), 0);
    QCOMPARE(doc->GetParaFormat().SpaceAfter, 576);
}

void TestFormat::readingPositionKept()
{
    TBookFormFixture fx;
    fx.Load(TBookFormFixture::Paragraphs(400));
    TLecternForm &form = fx.Form;
    TRichBox *box = form.RichEdit;
    TFormatPageControls f(form.ProfileFormatTabSheet);

    SetTopLine(box, 300);
    const int position = FirstVisibleCharIndex(box);
    auto showsPosition = [&] { return LineFromChar(box, position) == GetFirstVisibleLine(box); };

    f.LeftMarginComboBox->setCurrentText(QStringLiteral("50"));
    QVERIFY(showsPosition());
    f.RightMarginComboBox->setCurrentText(QStringLiteral("0"));
    QVERIFY(showsPosition());
    f.FontNameComboBox->setCurrentText(QStringLiteral("DejaVu Sans"));
    QVERIFY(showsPosition());
    QCOMPARE(box->RichDocument()->GetCharFormat().FaceName, QStringLiteral("DejaVu Sans"));
    // An emptied box formats in the default face and stays empty.
    f.FontNameComboBox->setCurrentText(QString());
    QVERIFY(showsPosition());
    box->RichDocument()->SetSelection(position, 0);
    QCOMPARE(box->RichDocument()->GetCharFormat().FaceName, QStringLiteral("Times New Roman"));
    QVERIFY(f.FontNameComboBox->currentText().isEmpty());
    f.CharSpacingComboBox->setCurrentText(QStringLiteral("5"));
    QVERIFY(showsPosition());
    f.LineSpacingComboBox->setCurrentText(QStringLiteral("200"));
    QVERIFY(showsPosition());
    f.BoldFontCheckBox->setChecked(true);
    QVERIFY(showsPosition());
    QVERIFY(!form.IsRichEditModified());
    // The paragraph format runs hidden and shows the box again.
    QVERIFY(!box->isHidden());
}

void TestFormat::positionAtTheEndStaysAtTheEnd()
{
    TBookFormFixture fx;
    fx.Load(TBookFormFixture::Paragraphs(200));
    TLecternForm &form = fx.Form;
    TFormatPageControls f(form.ProfileFormatTabSheet);

    ScrollToEnd(form.RichEdit);
    QVERIFY(fx.AtEnd());
    f.LeftMarginComboBox->setCurrentText(QStringLiteral("5"));
    QVERIFY(fx.AtEnd());
    f.RightMarginComboBox->setCurrentText(QStringLiteral("45"));
    QVERIFY(fx.AtEnd());
    f.FirstLineIndentComboBox->setCurrentText(QStringLiteral("20"));
    QVERIFY(fx.AtEnd());
}

void TestFormat::editsSurviveEveryOption_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("value");
    for (const char *option : {"FontSizeComboBox", "FontNameComboBox", "CharSpacingComboBox", "LineSpacingComboBox",
                               "FirstLineIndentComboBox", "SpaceAfterComboBox", "FontZoomComboBox",
                               "LeftMarginComboBox", "RightMarginComboBox"})
        QTest::newRow(option) << QString::fromLatin1(option) << QString();
    QTest::newRow("BoldFontCheckBox") << QStringLiteral("BoldFontCheckBox") << QString();
    QTest::newRow("JustifiedTextCheckBox") << QStringLiteral("JustifiedTextCheckBox") << QString();
}

// A word the reader typed stays, and so does the mark that the text was
// edited, whatever option of the page changes the look afterwards.
void TestFormat::editsSurviveEveryOption()
{
    QFETCH(QString, option);
    TBookFormFixture fx;
    fx.Load(TBookFormFixture::Paragraphs(20));
    TLecternForm &form = fx.Form;
    form.BookGroupBox->Form.AllowEditingCheckBox->click();
    form.RichEdit->setFocus();
    form.RichEdit->RichDocument()->SetSelection(0, 0);
    QCoreApplication::processEvents();
    QTest::keyClicks(form.RichEdit, QStringLiteral("WORD "));
    QVERIFY(form.IsRichEditModified());

    QWidget *control = form.ProfileFormatTabSheet->findChild<QWidget *>(option);
    QVERIFY(control);
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        const int next = (combo->currentIndex() + 3) % combo->count();
        combo->setCurrentIndex(next);
        if (combo->currentText().isEmpty())
            combo->setCurrentIndex(1);
    } else {
        qobject_cast<QCheckBox *>(control)->click();
    }
    QVERIFY(form.IsRichEditModified());
    QVERIFY(form.RichEdit->RichDocument()->GetText().startsWith(QStringLiteral("WORD ")));
    form.InfoTimerTimer();
    QCOMPARE(form.ModifiedLabel->text(), QStringLiteral("Text is MODIFIED"));
}

QTEST_MAIN(TestFormat)
#include "test_format.moc"
