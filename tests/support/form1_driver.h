// Drives a real Form1 the way a user does, and reads back what the user would see.
#ifndef BRINMOOR_TESTS_SUPPORT_FORM1_DRIVER_H
#define BRINMOOR_TESTS_SUPPORT_FORM1_DRIVER_H

#include "form1.h"
#include "window_events.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

class Form1Driver
{
public:
    Form1Driver() : form(std::make_unique<Form1>()), mouse(*form) { support::showExposed(*form); }

    Form1 &window() { return *form; }
    const figure::FigureState &state() const { return form->core().state(); }
    const scene::Scene &items() const { return form->core().scene(); }

    template <typename Control = QAbstractButton> Control *control(const char *name) const
    {
        auto *found = form->findChild<Control *>(QLatin1String(name));
        if (!found)
            qFatal("the window has no control named %s", name);
        return found;
    }
    QPushButton *resetButton() const { return control<QPushButton>("Command1"); }
    QRadioButton *moveOption() const { return control<QRadioButton>("Option1_0"); }
    QRadioButton *memoOption() const { return control<QRadioButton>("Option1_1"); }
    QCheckBox *gridBox() const { return control<QCheckBox>("Check1"); }
    QPushButton *placeButton() const { return control<QPushButton>("Command2_0"); }
    QPushButton *removeButton() const { return control<QPushButton>("Command2_1"); }

    void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Through the window system, as a user's mouse and keyboard reach the window.
    void press(QPointF at, Qt::MouseButton button = Qt::LeftButton) { mouse.press(at, button); }
    void move(QPointF to) { mouse.move(to); }
    void release(QPointF at, Qt::MouseButton button = Qt::LeftButton) { mouse.release(at, button); }
    void drag(QPointF from, QPointF to, int steps = 4, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse.drag(from, to, steps, button);
    }
    void typeKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        support::sendKey(*form, QEvent::KeyPress, key, modifiers);
        support::sendKey(*form, QEvent::KeyRelease, key, modifiers);
    }

    void resizeTo(int width, int height)
    {
        form->resize(width, height);
        QCoreApplication::processEvents();
    }

    // What the window shows now, at its device pixel ratio; pixels are read at logical places.
    QImage screen() const { return form->grab().toImage(); }
    static QColor pixel(const QImage &image, QPointF logical)
    {
        const qreal ratio = image.devicePixelRatio();
        return image.pixelColor(
            int(std::floor(logical.x() * ratio)), int(std::floor(logical.y() * ratio)));
    }
    QColor pixelAt(QPointF logical) const { return pixel(screen(), logical); }

private:
    std::unique_ptr<Form1> form;
    support::Pointer mouse;
};

#endif
