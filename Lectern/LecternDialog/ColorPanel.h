// A colour panel of the "Colors" page: a framed area of one colour with its
// caption, the role's default colour, and mouse-up reports.
#pragma once

#include <QLabel>

#include "StockColors.h"

class TColorPanel : public QLabel {
    Q_OBJECT
public:
    explicit TColorPanel(QWidget *parent = nullptr);

    TColor Color() const { return PanelColor; }
    // The panel's colour; the caption is drawn in black or white, whichever
    // reads better on it.
    void SetColor(TColor color);
    TColor DefaultColor = 0;

signals:
    // A mouse button was released over the panel.
    void MouseUp(Qt::MouseButton button);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    TColor PanelColor = 0;
};
