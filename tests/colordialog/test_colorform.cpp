#include "ColorForm.h"
#include "ColorText.h"

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

constexpr TColor PastelRed = 0x0032FF; // 255, 50, 0
constexpr int PastelRedIndex = 76;

bool IsSmall(const QFrame *cell) { return cell->width() < 25; }

// Runs `action` on the stock-colour dialog once it is open.
void WhenDialogOpens(const std::function<void(TColorForm *)> &action)
{
    QTimer::singleShot(0, [action] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *form = qobject_cast<TColorForm *>(w); form && form->isVisible())
                return action(form);
        QFAIL("no stock-colour dialog");
    });
}

} // namespace

class TestColorForm : public QObject {
    Q_OBJECT
private slots:
    void ColorTexts_data();
    void ColorTexts();
    void GridMarksTheCurrentColour_data();
    void GridMarksTheCurrentColour();
    void CellHintsAndColours();
    void LeftClickChoosesAndCloses();
    void RightClickPreviewsOnlyWithACallback();
    void MiddleClickCopiesTheHint();
    void DialogReturnsTheChoice();
    void CancelledDialogKeepsTheColour();
};

void TestColorForm::ColorTexts_data()
{
    QTest::addColumn<TColor>("color");
    QTest::addColumn<QString>("hint");
    QTest::newRow("stock colour, red-green-blue order")
        << PastelRed << "Pastel Red (RGB 255-50-0; Decimal = 16724480; Hexadecimal = 0xFF3200)";
    QTest::newRow("leading zeros") << TColor(0x820000) << "Navy (RGB 0-0-130; Decimal = 130; Hexadecimal = 0x000082)";
    QTest::newRow("not a stock colour") << TColor(0x010203) << " (RGB 3-2-1; Decimal = 197121; Hexadecimal = 0x030201)";
}

void TestColorForm::ColorTexts()
{
    QFETCH(TColor, color);
    QFETCH(QString, hint);
    QCOMPARE(ColorHintText(color), hint);
    QCOMPARE(ColorToText(color), hint.mid(hint.indexOf(QLatin1String(" (RGB "))));
}

void TestColorForm::GridMarksTheCurrentColour_data()
{
    QTest::addColumn<TColor>("current");
    QTest::addColumn<QList<int>>("small");
    QTest::newRow("black: its entry and the eleven fillers")
        << TColor(0) << QList<int>{0, 133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 143};
    QTest::newRow("pastel red") << PastelRed << QList<int>{PastelRedIndex};
    QTest::newRow("not in the grid") << TColor(0x010203) << QList<int>{};
}

void TestColorForm::GridMarksTheCurrentColour()
{
    QFETCH(TColor, current);
    QFETCH(QList<int>, small);
    TColorForm form;
    form.CurrentColor = current;
    form.BuildColorsPanel();
    QCOMPARE(form.Cells().size(), 144);
    QList<int> found;
    for (int c = 0; c < form.Cells().size(); ++c) {
        const QFrame *cell = form.Cells().at(c);
        const int i = c / 12, j = c % 12;
        // 400 x 350 panel: cells of 32 x 28 starting 5 pixels in.
        QCOMPARE(cell->pos(), QPoint(j * 32 + 5, i * 28 + 5));
        if (IsSmall(cell)) {
            found << c;
            QCOMPARE(cell->size(), QSize(22, 19));
        } else {
            QCOMPARE(cell->size(), QSize(30, 26));
        }
    }
    QCOMPARE(found, small);
}

void TestColorForm::CellHintsAndColours()
{
    TColorForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Stock colors"));
    QCOMPARE(form.size(), QSize(420, 490));
    QCOMPARE(form.Cells().at(PastelRedIndex)->toolTip(),
             QStringLiteral("Pastel Red (RGB 255-50-0; Decimal = 16724480; Hexadecimal = 0xFF3200)"));
    QCOMPARE(form.Cells().at(PastelRedIndex)->palette().color(QPalette::Window), QColor(255, 50, 0));
    QVERIFY(form.Cells().at(143)->toolTip().startsWith(QLatin1String("Black (RGB 0-0-0;")));
    QCOMPARE(TColorForm::CellColor(132), TColor(0xC8FFC8));
    QCOMPARE(TColorForm::CellColor(133), TColor(0));
}

void TestColorForm::LeftClickChoosesAndCloses()
{
    TColorForm form;
    form.CurrentColor = 0;
    form.BuildColorsPanel();
    form.show();
    QTest::mouseClick(form.Cells().at(PastelRedIndex), Qt::LeftButton);
    QCOMPARE(form.CurrentColor, PastelRed);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QVERIFY(!form.isVisible());
}

void TestColorForm::RightClickPreviewsOnlyWithACallback()
{
    TColorForm form;
    form.CurrentColor = 0;
    form.BuildColorsPanel();
    form.show();
    QTest::mouseClick(form.Cells().at(PastelRedIndex), Qt::RightButton);
    QCOMPARE(form.CurrentColor, TColor(0)); // no callback: nothing happens
    QList<TColor> previewed;
    form.Preview = [&previewed](TColor color) { previewed << color; };
    QTest::mouseClick(form.Cells().at(PastelRedIndex), Qt::RightButton);
    QCOMPARE(form.CurrentColor, PastelRed);
    QCOMPARE(previewed, QList<TColor>{PastelRed});
    QVERIFY(form.isVisible());
    QVERIFY(IsSmall(form.Cells().at(PastelRedIndex))); // the grid shows the new current colour
    QVERIFY(!IsSmall(form.Cells().at(0)));
}

void TestColorForm::MiddleClickCopiesTheHint()
{
    TColorForm form;
    form.BuildColorsPanel();
    form.show();
    QApplication::clipboard()->clear();
    QTest::mouseClick(form.Cells().at(PastelRedIndex), Qt::MiddleButton);
    QCOMPARE(QApplication::clipboard()->text(), form.Cells().at(PastelRedIndex)->toolTip());
    QVERIFY(form.isVisible());
    QCOMPARE(form.CurrentColor, TColor(0));
}

void TestColorForm::DialogReturnsTheChoice()
{
    TColor color = 0xFFFFFF;
    WhenDialogOpens([](TColorForm *form) {
        QVERIFY(IsSmall(form->Cells().at(16))); // White, the colour passed in
        QTest::mouseClick(form->Cells().at(PastelRedIndex), Qt::LeftButton);
    });
    QVERIFY(ColorFormDialog(color));
    QCOMPARE(color, PastelRed);
}

void TestColorForm::CancelledDialogKeepsTheColour()
{
    TColor color = 0xFFFFFF;
    WhenDialogOpens([](TColorForm *form) { form->Form.CancelButton->click(); });
    QVERIFY(!ColorFormDialog(color));
    QCOMPARE(color, TColor(0xFFFFFF));
    // Esc cancels too.
    WhenDialogOpens([](TColorForm *form) { QTest::keyClick(form, Qt::Key_Escape); });
    QVERIFY(!ColorFormDialog(color));
    QCOMPARE(color, TColor(0xFFFFFF));
}

QTEST_MAIN(TestColorForm)
#include "test_colorform.moc"
