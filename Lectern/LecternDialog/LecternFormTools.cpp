// The measure converter and the dictionary in the main window: a number under
// the pointer becomes the converter's value, a right click on the rich-box
// opens the converter, a double click looks the word up in the dictionary.
#include "LecternForm.h"

#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "BrowserGroupBox.h"
#include "ConvertMeasureTabSheet.h"
#include "Dialogs.h"
#include "DictionaryLookUp.h"
#include "FunStatContext.h"
#include "MyMath.h"
#include "ProgramGeneralTabSheet.h"
#include "RichBox.h"
#include "Shell.h"

void TLecternForm::SetUpTools()
{
    ConvertMeasureTabSheet->SetItemHeight(BrowserGroupBox->ItemHeight());
    RichEdit->OnMouseMove = [this](QMouseEvent *event) {
        const QPoint p = event->position().toPoint();
        RichEditMouseMove(p.x(), p.y());
        return false;
    };
    RichEdit->OnMousePress = [this](QMouseEvent *event, bool doubleClick) {
        const QPoint p = event->position().toPoint();
        const TShiftState shift = ShiftStateFrom(event->modifiers(), event->buttons(), doubleClick);
        const Qt::MouseButton button = event->button();
        if (doubleClick) {
            // The rich-box selects the word under the pointer first.
            QTimer::singleShot(0, this, [this, button, shift, p] { RichEditMouseDown(button, shift, p.x(), p.y()); });
        } else {
            RichEditMouseDown(button, shift, p.x(), p.y());
        }
        return false;
    };

    DictionaryLookUp = std::make_unique<TDictionaryLookUp>();
    DictionaryLookUp->Starter = [](const QString &program, const QStringList &arguments, QString *) {
        return ShellService()->StartProgram(program, arguments, QString());
    };
    DictionaryLookUp->CopySelection = [this] { RichEdit->copy(); };
    Ui::ProgramGeneralTabSheet &g = ProgramGeneralTabSheet->Form;
    // The edit changes through "Load" only and looks like it.
    QPalette palette = g.DictionaryTitleEdit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    g.DictionaryTitleEdit->setPalette(palette);
    connect(g.ChangeDictionaryButton, &QPushButton::clicked, this, &TLecternForm::ChangeDictionaryButtonClick);
}

void TLecternForm::RichEditMouseMove(int x, int y)
{
    if (ShowConvertMeasure(RichEdit->CharFromPos(QPoint(x, y))))
        ConvertMeasureTabSheet->MiscConvertMeasure(ConvertMeasureTabSheet->ConvertMeasureValue());
    FeedRandomFromPointer(x, y);
}

bool TLecternForm::ShowConvertMeasure(int index)
{
    FUN_BEGIN("TLecternForm::ShowConvertMeasure");
    bool shown = false;
    try {
        QString token;
        QString digest;
        switch (ConvertMeasureTabSheet->ShowNumberAt(*RichEdit->RichDocument(), index, &token, &digest)) {
        case TConvertMeasureTabSheet::TShowResult::NoNumber: HintLabel->setText(RichBoxHint); break;
        case TConvertMeasureTabSheet::TShowResult::InvalidNumber:
            FUN_RAISE(QStringLiteral("Invalid number."), token);
            break;
        case TConvertMeasureTabSheet::TShowResult::Shown:
            HintLabel->setText(digest);
            shown = true;
            break;
        }
    }
    FUN_CATCH
    if (FUN_FAILED())
        HintLabel->setText(QStringLiteral("Failed to convert measure."));
    FUN_END;
    return shown;
}

void TLecternForm::OpenConverterPage()
{
    Container_OptionsPageControl->setCurrentWidget(ConvertMeasureTabSheet);
    ShowSidebar(false);
    // The pointer goes onto the unit lists, so the next move does not hide
    // the sidebar again.
    QWidget *length = ConvertMeasureTabSheet->Form.LengthTabSheet;
    QCursor::setPos(length->mapToGlobal(QPoint(length->width() / 2, 0)));
}

void TLecternForm::RichEditMouseDown(Qt::MouseButton button, TShiftState shift, int x, int y)
{
    FUN_BEGIN("TLecternForm::RichEditMouseDown");
    try {
        if (button == Qt::LeftButton && HasModifier(shift, ssDouble)) {
            const Ui::ProgramGeneralTabSheet &g = ProgramGeneralTabSheet->Form;
            const auto result
                = DictionaryLookUp->LookUp(RichEdit->RichDocument()->SelectedText(), g.DictionaryTitleEdit->text(),
                                           g.ClipboardForDicCheckBox->isChecked());
            // A program that keeps failing is reported at its first failure.
            if (result == TDictionaryLookUp::TResult::Failed)
                FUN_ADOPT();
        } else if (button == Qt::RightButton && !Container_MainPanel->isVisible()) {
            ShowConvertMeasure(RichEdit->CharFromPos(QPoint(x, y)));
            OpenConverterPage();
        }
    }
    FUN_CATCH
    FUN_END_SHOW(QString());
}

void TLecternForm::ChangeDictionaryButtonClick()
{
    FUN_BEGIN("TLecternForm::ChangeDictionaryButtonClick");
    try {
        QLineEdit *edit = ProgramGeneralTabSheet->Form.DictionaryTitleEdit;
        const QString chosen = OpenFileDialog(ResolveDictionaryProgram(edit->text()), QStringLiteral("Programs (*)|*"),
                                              QStringLiteral("Dictionary program"));
        if (!chosen.isEmpty()) {
            edit->setText(chosen);
            edit->setCursorPosition(0);
        }
    }
    FUN_CATCH
    FUN_END_SHOW(QStringLiteral("Failed to change dictionary."));
    FocusRichBox();
}

namespace {

QString TProgramSettings::*const UnitFields[MeasureCount] = {
    &TProgramSettings::Length, &TProgramSettings::Speed,  &TProgramSettings::Area,
    &TProgramSettings::Volume, &TProgramSettings::Weight, &TProgramSettings::Temperature,
};

} // namespace

void TLecternForm::ReadConverterUnits(TProgramSettings &settings) const
{
    for (int m = 0; m < MeasureCount; ++m)
        settings.*UnitFields[m] = ConvertMeasureTabSheet->SelectedUnit(TMeasure(m));
}

void TLecternForm::ApplyConverterUnits(const TProgramSettings &settings)
{
    for (int m = 0; m < MeasureCount; ++m)
        ConvertMeasureTabSheet->SelectUnit(TMeasure(m), settings.*UnitFields[m]);
}

void TLecternForm::FeedRandomFromPointer(int x, int y) { RandomMouseMove(x, y); }
