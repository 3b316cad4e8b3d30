#ifndef BRINMOOR_APP_FACE_BUTTON_H
#define BRINMOOR_APP_FACE_BUTTON_H

#include <QColor>
#include <QPushButton>

// A push button whose face shows an exact colour. Styles such as Fusion turn a palette colour
// into a gradient; here the style still draws the frame, the focus and the caption (greyed
// when disabled), and only the face inside the frame is filled, with the pressed face while
// the button is held down.
class FaceButton : public QPushButton
{
    Q_OBJECT

public:
    FaceButton(QColor face, QColor pressedFace, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor face;
    QColor pressedFace;
};

#endif
