// The stock-colour dialog: a 12 x 12 grid of the named stock colours, the
// current colour drawn as a smaller square. A left click chooses a colour
// and closes the dialog; a right click (only with a preview callback)
// chooses it, marks it and keeps the dialog open; a middle click copies the
// cell's hint to the clipboard.
#pragma once

#include <QDialog>
#include <QList>

#include <functional>

#include "StockColors.h"
#include "ui_ColorForm.h"

class QFrame;

class TColorForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int GridSize = 12; // rows and columns

    explicit TColorForm(QWidget *parent = nullptr);

    // The colour marked in the grid; a chosen colour ends up here.
    TColor CurrentColor = 0;
    // Called with each colour chosen by a right click.
    std::function<void(TColor color)> Preview;

    // Lays the 144 cells out in the grid: stock entries 0 to 132, then
    // Black; cells of the current colour are drawn smaller.
    void BuildColorsPanel();
    const QList<QFrame *> &Cells() const { return ColorCells; }
    // What a press of `button` on cell `index` does.
    void CellMouseDown(int index, Qt::MouseButton button);

    // The colour of cell `index`.
    static TColor CellColor(int index);

    Ui::ColorForm Form;

private:
    QList<QFrame *> ColorCells;
};

// Shows the dialog modally over the active window with `color` marked and
// puts the current colour back into `color`, whatever the outcome. True
// when a colour was chosen with a left click. A failure is shown with
// "Failed to show color dialog." (operation ColorFormDialog) and counts as
// no choice.
bool ColorFormDialog(TColor &color, const std::function<void(TColor color)> &preview = {});
