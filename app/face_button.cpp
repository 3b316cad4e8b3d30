#include "face_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

FaceButton::FaceButton(QColor face, QColor pressedFace, QWidget *parent)
    : QPushButton(parent), face(face), pressedFace(pressedFace)
{
}

void FaceButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this) + 1;
    const bool pressed = option.state & (QStyle::State_Sunken | QStyle::State_On);
    painter.fillRect(
        option.rect.adjusted(frame, frame, -frame, -frame), pressed ? pressedFace : face);

    painter.drawControl(QStyle::CE_PushButtonLabel, option);
}
