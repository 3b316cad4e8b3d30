// Drives a real Form1 the way a user does, and reads back what the user would see.
#ifndef BRINMOOR_TESTS_SUPPORT_FORM1_DRIVER_H
#define BRINMOOR_TESTS_SUPPORT_FORM1_DRIVER_H

#include "form1.h"
#include "window_events.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

// The window comes first, so that the mouse it is driven with can refer to it.
struct Form1Holder
{
    std::unique_ptr<Form1> form = std::make_unique<Form1>();
};

// Presses, moves, releases and drags go through the window system (support::Pointer), as a
// user's mouse reaches the window.
class Form1Driver : private Form1Holder, public support::Pointer
{
public:
    Form1Driver() : Pointer(*form) { support::showExposed(*form); }

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
        const QPointF p = logical * image.devicePixelRatio();
        return image.pixelColor(int(std::floor(p.x())), int(std::floor(p.y())));
    }
    QColor pixelAt(QPointF logical) const { return pixel(screen(), logical); }
};

#endif
