#include "ColorPanel.h"

#include <QMouseEvent>

#include "RichDocument.h"

TColorPanel::TColorPanel(QWidget *parent) : QLabel(parent)
{
    setAutoFillBackground(true);
    setFrameShape(QFrame::Box);
    setAlignment(Qt::AlignCenter);
    setMinimumHeight(24);
    SetColor(0);
}

void TColorPanel::SetColor(TColor color)
{
    PanelColor = color;
    const QColor qColor = ToQColor(color);
    QPalette p = palette();
    p.setColor(QPalette::Window, qColor);
    const bool light = 299 * qColor.red() + 587 * qColor.green() + 114 * qColor.blue() > 140000;
    p.setColor(QPalette::WindowText, light ? Qt::black : Qt::white);
    setPalette(p);
}

void TColorPanel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (rect().contains(event->position().toPoint()))
        emit MouseUp(event->button());
}
