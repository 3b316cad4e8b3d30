#ifndef BRINMOOR_APP_ACCESSIBLE_BOARD_H
#define BRINMOOR_APP_ACCESSIBLE_BOARD_H

#include <QObject>
#include <QTimer>

class QWidget;

// The board as a screen reader meets it in the desktop window. The drawing surface is an object
// of its own, named 図 and described by the board in words, that takes the window's focus (the
// window keeps its caption, said once when it opens). Words to speak go out wherever the focus
// is: Qt 6.4 has no announcement, and sends name and description changes with the wrong value
// (Orca 43 drops them), but Orca speaks an object of the notification role when it appears, so
// a hidden one appears with the words as its name.
class AccessibleBoard : public QObject
{
public:
    // Made after the window's controls, so that the surface comes last in the tab order.
    explicit AccessibleBoard(QWidget *window);

    // The surface's description, read out when it takes the focus; no event, since Qt 6.4's
    // description event carries no text.
    void describe(const char *text);
    // Words spoken after delayMs in which no other words came; newer words replace older ones.
    void speak(const char *words, int delayMs);

    // Enables or disables a control. A focused control that goes grey hands the focus on to
    // the next control, or back to the one before where Qt would hand it to the surface (after
    // the second mark button) and a screen reader would read the whole board out unasked.
    static void setEnabled(QWidget *control, bool enabled);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window;
    QWidget *surface;
    QWidget *notice;
    QTimer pending;
    QString words;
};

#endif
