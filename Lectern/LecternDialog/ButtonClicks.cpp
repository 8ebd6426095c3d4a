#include "ButtonClicks.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

void TButtonClicks::Watch(QPushButton *button, int index)
{
    button->installEventFilter(this);
    connect(button, &QPushButton::clicked, this, [this, button, index] {
        const TShiftState shift = Pressed == button ? PressShift : 0;
        Pressed = nullptr;
        emit LeftClicked(index, shift);
    });
    connect(button, &QObject::destroyed, this, [this, button] {
        if (Pressed == button)
            Pressed = nullptr;
    });
    button->setProperty("ButtonClicksIndex", index);
}

bool TButtonClicks::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        auto *button = qobject_cast<QPushButton *>(watched);
        const TShiftState shift = ShiftStateFrom(mouse->modifiers());
        if (button && mouse->button() == Qt::LeftButton) {
            Pressed = button;
            PressShift = shift;
        } else if (button && mouse->button() == Qt::RightButton && button->isEnabled()) {
            emit RightPressed(button->property("ButtonClicksIndex").toInt(), shift);
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        // The click, if any, comes while the release is handled; a press
        // that ended elsewhere is forgotten after it.
        QTimer::singleShot(0, this, [this] { Pressed = nullptr; });
    }
    return QObject::eventFilter(watched, event);
}
