// The converter in the window: numbers under the pointer, the right click,
// the value edit, the unit lists and their tool tips.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolTip>

#include "BookFormFixture.h"
#include "ConvertMeasureTabSheet.h"

namespace {

struct TConverterFixture : TBookFormFixture {
    TConverterFixture()
    {
        Sheet = Form.ConvertMeasureTabSheet;
        Load({QStringLiteral("They walked 20 miles, then 2.5 leagues and 1,000 yards more on the road."), QString(),
              QStringLiteral("Nothing here counts.")});
    }
    // A point on the left half of the character at a position of the text.
    QPoint PointOf(int position)
    {
        TRichBox *box = Form.RichEdit;
        box->PlaceCaret(position);
        QPoint p;
        if (!box->CaretPosition(&p))
            return QPoint();
        return p + QPoint(2, box->fontMetrics().height() / 2);
    }
    QPoint PointOf(const QString &text, int offset = 0)
    {
        return PointOf(Form.RichEdit->RichDocument()->GetText().indexOf(text) + offset);
    }
    void MoveTo(const QPoint &p) { QTest::mouseMove(Form.RichEdit->viewport(), p); }
    void RightClick(const QPoint &p) { QTest::mouseClick(Form.RichEdit->viewport(), Qt::RightButton, {}, p); }
    QString Hint() const { return Form.HintLabel->text(); }
    // Points at a unit of a list on the shown page, as the pointer does.
    QPoint PointAtUnit(TMeasure measure, const QString &unit)
    {
        QListWidget *list = Sheet->ListOf(measure);
        QListWidgetItem *item = list->item(FindMeasureUnit(measure, unit));
        list->scrollToItem(item);
        const QPoint at = list->visualItemRect(item).center();
        QTest::mouseMove(list->viewport(), at);
        return at;
    }
    QString Result() const { return Sheet->ResultText(); }
    // The memo as the reader sees it on the sidebar's "Misc" page.
    QString Memo()
    {
        Form.Container_OptionsPageControl->setCurrentWidget(Sheet);
        Sheet->Form.ConvertMeasurePageControl->setCurrentWidget(Sheet->Form.MiscTabSheet);
        Form.ShowSidebar(false);
        return Sheet->Form.MiscMemo->toPlainText();
    }
    QString Edit() const { return Sheet->ConvertMeasureEdit->text(); }

    TConvertMeasureTabSheet *Sheet = nullptr;
};

} // namespace

class TestConverterWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup() { QLocale::setDefault(QLocale::system()); }
    void numberUnderPointerBecomesTheValue_data();
    void numberUnderPointerBecomesTheValue();
    void pointerOffNumbersShowsTheRichBoxHint();
    void rightClickOpensTheConverter();
    void rightClickWithSidebarShownDoesNothing();
    void valueEditAcceptsNumbersOnly();
    void unitToolTipConvertsToTheSelectedUnit();
    void storedUnitsAreSelected();
    void pageShowsTheResultOfTheRightClickedNumber();
    void pageShowsTheResultOfPointedAndClickedUnits();
    void unitsStayUnderThePointerWhileTheResultChanges();
};

void TestConverterWindow::numberUnderPointerBecomesTheValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("digest");
    QTest::newRow("whole number") << "20 miles" << 1 << "20"
                                  << "Convert 20.00";
    QTest::newRow("decimal") << "2.5 leagues" << 2 << "2.5"
                             << "Convert 2.50";
    QTest::newRow("thousands") << "1,000 yards" << 3 << "1000"
                               << "Convert 1,000.00";
}

void TestConverterWindow::numberUnderPointerBecomesTheValue()
{
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(QString, edit);
    QFETCH(QString, digest);
    TConverterFixture f;
    QVERIFY(f.Exposed);
    f.MoveTo(f.PointOf(text, offset));
    QCOMPARE(f.Edit(), edit);
    QVERIFY2(f.Hint().startsWith(digest + QStringLiteral(" ")), qPrintable(f.Hint()));
    QVERIFY(f.Hint().contains(QStringLiteral("Miles -> Kilometers = ")));
    QVERIFY(!f.Hint().contains(QChar(ConvertSeparator))); // shown as a small box
    QVERIFY(f.Memo().contains(digest.mid(8) + QStringLiteral(" Horse-power = ")));
    QVERIFY(f.Dialogs.Boxes.isEmpty());
}

void TestConverterWindow::pointerOffNumbersShowsTheRichBoxHint()
{
    TConverterFixture f;
    f.MoveTo(f.PointOf(QStringLiteral("20"), 1));
    f.MoveTo(f.PointOf(QStringLiteral("walked"), 2));
    QCOMPARE(f.Hint(), TLecternForm::RichBoxHint);
    QCOMPARE(f.Edit(), QStringLiteral("20")); // the value stays
}

void TestConverterWindow::rightClickOpensTheConverter()
{
    TConverterFixture f;
    QVERIFY(!f.Form.Container_MainPanel->isVisible());
    f.RightClick(f.PointOf(QStringLiteral("20"), 1));
    QCOMPARE(f.Form.Container_OptionsPageControl->currentWidget(), f.Form.ConvertMeasureTabSheet);
    QVERIFY(f.Form.Container_MainPanel->isVisible());
    QCOMPARE(f.Edit(), QStringLiteral("20"));
    QVERIFY(f.Hint().startsWith(QStringLiteral("Convert 20.00 ")));

    // On text without a number: still the converter, with the general hint.
    f.Form.ShowSidebar(true);
    f.Form.Container_OptionsPageControl->setCurrentIndex(0);
    const QPoint nothing = f.PointOf(QStringLiteral("Nothing"), 2);
    QCursor::setPos(f.Form.RichEdit->viewport()->mapToGlobal(nothing));
    f.RightClick(nothing);
    QCOMPARE(f.Form.Container_OptionsPageControl->currentWidget(), f.Form.ConvertMeasureTabSheet);
    QVERIFY(f.Form.Container_MainPanel->isVisible());
    QCOMPARE(f.Hint(), TLecternForm::RichBoxHint);
}

void TestConverterWindow::rightClickWithSidebarShownDoesNothing()
{
    TConverterFixture f;
    f.Form.ShowSidebar(false);
    f.Form.Container_OptionsPageControl->setCurrentIndex(0);
    const QString hint = f.Hint();
    f.RightClick(f.PointOf(QStringLiteral("20"), 1));
    QCOMPARE(f.Form.Container_OptionsPageControl->currentIndex(), 0);
    QCOMPARE(f.Edit(), QString());
    QCOMPARE(f.Hint(), hint);
}

void TestConverterWindow::valueEditAcceptsNumbersOnly()
{
    TConverterFixture f;
    QLineEdit *edit = f.Sheet->ConvertMeasureEdit;
    QTest::keyClicks(edit, QStringLiteral("-1.5"));
    QVERIFY(f.Dialogs.Boxes.isEmpty()); // "-" and "-1." on the way are no mistakes
    QCOMPARE(f.Sheet->ConvertMeasureValue(), -1.5);
    QVERIFY(f.Memo().contains(QStringLiteral("-1.50 Horse-power = -112.50 Kilograms-force")));
    edit->setText(QStringLiteral("12 miles"));
    QCOMPARE(f.Dialogs.Texts(), QStringList{QStringLiteral("Invalid number.")});
    QCOMPARE(edit->text(), QStringLiteral("0"));
    QVERIFY(f.Memo().contains(QStringLiteral(" 0 Horse-power = 0 ")));
}

void TestConverterWindow::unitToolTipConvertsToTheSelectedUnit()
{
    TConverterFixture f;
    f.Form.Container_OptionsPageControl->setCurrentWidget(f.Sheet);
    f.Form.ShowSidebar(false);
    f.Sheet->Form.ConvertMeasurePageControl->setCurrentWidget(f.Sheet->Form.VolumeTabSheet);
    f.Sheet->ConvertMeasureEdit->setText(QStringLiteral("1"));
    QListWidget *list = f.Sheet->ListOf(TMeasure::Volume);
    f.Sheet->SelectUnit(TMeasure::Volume, QStringLiteral("Barrels (159)"));
    const int liters = FindMeasureUnit(TMeasure::Volume, QStringLiteral("Liters"));
    list->scrollToItem(list->item(liters));
    const QPoint at = list->visualItemRect(list->item(liters)).center();
    QTest::mouseMove(list->viewport(), at);
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("1.00 Liters = 0.01 Barrels (159)"));
    QCOMPARE(f.Sheet->FullConvertMeasure(list, liters), QStringLiteral("1.00 Liters = 0.01 Barrels (159)"));

    // A press selects the pressed unit and gives the value edit the focus.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(f.Sheet->SelectedUnit(TMeasure::Volume), QStringLiteral("Liters"));
    QCOMPARE(QApplication::focusWidget(), f.Sheet->ConvertMeasureEdit);
}

void TestConverterWindow::storedUnitsAreSelected()
{
    TConverterFixture f;
    f.Sheet->SelectUnit(TMeasure::Speed, QStringLiteral("knots"));
    QCOMPARE(f.Sheet->SelectedUnit(TMeasure::Speed), QStringLiteral("Knots"));
    f.Sheet->SelectUnit(TMeasure::Speed, QStringLiteral("Warp factor"));
    QCOMPARE(f.Sheet->SelectedUnit(TMeasure::Speed), QStringLiteral("Meters / Second"));
    QCOMPARE(f.Sheet->SelectedUnit(TMeasure::Temperature), QStringLiteral("Celsius"));
}

void TestConverterWindow::pageShowsTheResultOfTheRightClickedNumber()
{
    TConverterFixture f;
    QCOMPARE(f.Sheet->DigestText(), QString()); // nothing to convert yet
    f.RightClick(f.PointOf(QStringLiteral("20"), 1));
    QVERIFY(f.Sheet->Form.ConvertMeasureResultLabel->isVisible());
    QVERIFY(f.Sheet->Form.ConvertMeasureDigestLabel->isVisible());
    QCOMPARE(f.Result(), QStringLiteral("Point at the unit of 20.00 to see it in Meters."));
    // The page shows what the hint label showed for the number.
    const QString digest = f.Sheet->DigestText();
    QVERIFY2(digest.startsWith(QStringLiteral("Convert 20.00 ")), qPrintable(digest));
    QVERIFY(digest.contains(QStringLiteral("Miles -> Kilometers = 32.18")));
    QVERIFY(!digest.contains(QChar(ConvertSeparator)));
}

void TestConverterWindow::pageShowsTheResultOfPointedAndClickedUnits()
{
    TConverterFixture f;
    f.RightClick(f.PointOf(QStringLiteral("20"), 1));
    QCOMPARE(f.Sheet->Form.ConvertMeasurePageControl->currentWidget(), f.Sheet->Form.LengthTabSheet);

    f.PointAtUnit(TMeasure::Length, QStringLiteral("Miles (land)"));
    QCOMPARE(f.Result(), QStringLiteral("20.00 Miles (land) = 32,180.00 Meters"));
    // The selected unit and the value edit under the pointer leave it shown.
    f.PointAtUnit(TMeasure::Length, QStringLiteral("Meters"));
    QTest::mouseMove(f.Sheet->ConvertMeasureEdit);
    QCOMPARE(f.Result(), QStringLiteral("20.00 Miles (land) = 32,180.00 Meters"));

    // A click makes the pointed unit the one converted to; the unit selected
    // before is the one converted from.
    const QPoint kilometers = f.PointAtUnit(TMeasure::Length, QStringLiteral("Kilometers"));
    QCOMPARE(f.Result(), QStringLiteral("20.00 Kilometers = 20,000.00 Meters"));
    QTest::mouseClick(f.Sheet->ListOf(TMeasure::Length)->viewport(), Qt::LeftButton, {}, kilometers);
    QCOMPARE(f.Sheet->SelectedUnit(TMeasure::Length), QStringLiteral("Kilometers"));
    QCOMPARE(f.Result(), QStringLiteral("20.00 Meters = 0.02 Kilometers"));
    f.PointAtUnit(TMeasure::Length, QStringLiteral("Miles (land)"));
    QCOMPARE(f.Result(), QStringLiteral("20.00 Miles (land) = 32.18 Kilometers"));

    // A new value, typed or pointed at in the text, is converted at once.
    f.Sheet->ConvertMeasureEdit->setText(QStringLiteral("3"));
    QCOMPARE(f.Result(), QStringLiteral("3.00 Miles (land) = 4.83 Kilometers"));
    QVERIFY(f.Sheet->DigestText().startsWith(QStringLiteral("Convert 3.00 ")));

    // Each list keeps its own; the memo is the "Misc" page's result.
    f.Sheet->Form.ConvertMeasurePageControl->setCurrentWidget(f.Sheet->Form.WeightTabSheet);
    QCOMPARE(f.Result(), QStringLiteral("Point at the unit of 3.00 to see it in Kilograms."));
    f.Sheet->Form.ConvertMeasurePageControl->setCurrentWidget(f.Sheet->Form.MiscTabSheet);
    QCOMPARE(f.Result(), QString());
    f.Sheet->Form.ConvertMeasurePageControl->setCurrentWidget(f.Sheet->Form.LengthTabSheet);
    QCOMPARE(f.Result(), QStringLiteral("3.00 Miles (land) = 4.83 Kilometers"));
    QVERIFY(f.Dialogs.Boxes.isEmpty());
}

void TestConverterWindow::unitsStayUnderThePointerWhileTheResultChanges()
{
    TConverterFixture f;
    f.RightClick(f.PointOf(QStringLiteral("20"), 1));
    QListWidget *list = f.Sheet->ListOf(TMeasure::Length);
    const QPoint before = list->viewport()->mapToGlobal(QPoint(0, 0));
    f.PointAtUnit(TMeasure::Length, QStringLiteral("Longitude degrees (Earth, equator)"));
    QCoreApplication::processEvents();
    QVERIFY(f.Result().startsWith(QStringLiteral("20.00 Longitude degrees (Earth, equator) = ")));
    QCOMPARE(list->viewport()->mapToGlobal(QPoint(0, 0)), before);
}

QTEST_MAIN(TestConverterWindow)
#include "test_converter_window.moc"
