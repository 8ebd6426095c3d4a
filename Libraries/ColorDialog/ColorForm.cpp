#include "ColorForm.h"

#include <QApplication>
#include <QFrame>
#include <QMouseEvent>

#include "ColorText.h"
#include "FunStatContext.h"
#include "RichDocument.h"
#include "WidgetUtilities.h"

namespace {

// One cell of the grid: a framed square of one colour that reports presses.
class TColorCell : public QFrame {
public:
    TColorCell(int index, TColorForm *form, QWidget *parent) : QFrame(parent), Index(index), Form(form)
    {
        setFrameShape(QFrame::Box);
        setLineWidth(1);
        setAutoFillBackground(true);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        event->accept();
        // The form may rebuild the grid, so nothing of this cell is used after.
        Form->CellMouseDown(Index, event->button());
    }

private:
    int Index;
    TColorForm *Form;
};

} // namespace

TColorForm::TColorForm(QWidget *parent) : QDialog(parent)
{
    Form.setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(420, 490);
    connect(Form.CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    for (int i = 0; i < GridSize * GridSize; ++i) {
        auto *cell = new TColorCell(i, this, Form.ColorsPanel);
        cell->setObjectName(QStringLiteral("ColorCell%1").arg(i));
        const TColor color = CellColor(i);
        QPalette palette = cell->palette();
        palette.setColor(QPalette::Window, ToQColor(color));
        palette.setColor(QPalette::WindowText, Qt::black);
        cell->setPalette(palette);
        cell->setToolTip(QString::fromLatin1(CStockColors[i < StockColorCount ? i : 0].Name) + ColorToText(color));
        ColorCells << cell;
    }
}

TColor TColorForm::CellColor(int index)
{
    return CStockColors[index >= 0 && index < StockColorCount ? index : 0].Color;
}

void TColorForm::BuildColorsPanel()
{
    const QRect client = Form.ColorsPanel->contentsRect();
    const int cw = (client.width() - 10) / GridSize;
    const int ch = (client.height() - 10) / GridSize;
    for (int i = 0; i < GridSize; ++i) {
        for (int j = 0; j < GridSize; ++j) {
            const int c = GridSize * i + j;
            QFrame *cell = ColorCells.at(c);
            const bool current = CellColor(c) == CurrentColor;
            const int w = current ? int(0.75 * cw - 2) : cw - 2;
            const int h = current ? int(0.75 * ch - 2) : ch - 2;
            cell->setGeometry(j * cw + 5, i * ch + 5, std::max(0, w), std::max(0, h));
        }
    }
}

void TColorForm::CellMouseDown(int index, Qt::MouseButton button)
{
    if (index < 0 || index >= ColorCells.size())
        return;
    switch (button) {
    case Qt::LeftButton:
        CurrentColor = CellColor(index);
        accept();
        break;
    case Qt::RightButton:
        if (Preview) {
            CurrentColor = CellColor(index);
            Form.ColorsPanel->hide();
            BuildColorsPanel();
            Form.ColorsPanel->show();
            Preview(CurrentColor);
        }
        break;
    case Qt::MiddleButton:
        CopyTextToClipboard(ColorCells.at(index)->toolTip(), QStringLiteral("Failed to copy hint to clipboard."));
        break;
    default: break;
    }
}

bool ColorFormDialog(TColor &color, const std::function<void(TColor color)> &preview)
{
    FUN_BEGIN("ColorFormDialog");
    bool chosen = false;
    try {
        TColorForm form(QApplication::activeWindow());
        form.setWindowModality(Qt::ApplicationModal);
        form.Preview = preview;
        form.CurrentColor = color;
        form.BuildColorsPanel();
        chosen = form.exec() == QDialog::Accepted;
        color = form.CurrentColor;
    }
    FUN_CATCH
    if (FUN_FAILED())
        chosen = false;
    FUN_END_SHOW(QStringLiteral("Failed to show color dialog."));
    return chosen;
}
