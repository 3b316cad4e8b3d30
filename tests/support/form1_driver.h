// Drives a real Form1 the way a user does, and reads back what the user would see.
#ifndef BRINMOOR_TESTS_SUPPORT_FORM1_DRIVER_H
#define BRINMOOR_TESTS_SUPPORT_FORM1_DRIVER_H

#include "form1.h"
#include "window_events.h"

#include "scene/qt/scene_painter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

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

inline QColor rgb(scene::Rgb c)
{
    return QColor(c.r, c.g, c.b);
}

inline qreal distanceToSegment(QPointF p, const scene::LineItem &line)
{
    const QPointF a(line.X1, line.Y1);
    const QPointF d = QPointF(line.X2, line.Y2) - a;
    const qreal lengthSquared = QPointF::dotProduct(d, d);
    const qreal u =
        lengthSquared > 0 ? std::clamp(QPointF::dotProduct(p - a, d) / lengthSquared, 0.0, 1.0) : 0;
    return QLineF(p, a + u * d).length();
}

// A point on the segment's centre line clear of the grid lines above it, the labels, the marks, the
// other segments and the controls, where the segment's own colour must show exactly. Searched from
// the middle outwards; a null point when there is none.
inline QPointF clearPointOn(const scene::Scene &s, const scene::LineItem &line, qreal margin = 4)
{
    std::vector<const scene::LineItem *> segments;
    for (const auto *group : {&s.Line1, &s.Line2, &s.Line3})
        for (const auto &other : *group)
            segments.push_back(&other);
    for (const auto &other : s.Line4)
        segments.push_back(&other);

    for (int k = 0; k <= 70; ++k) {
        const qreal t = 0.5 + (k % 2 ? -1 : 1) * (k / 2) * 0.01;
        const QPointF p(line.X1 + t * (line.X2 - line.X1), line.Y1 + t * (line.Y2 - line.Y1));
        bool clear = p.x() > 270 || p.y() > 175; // controls and panels
        // Only the first line of each grid array lies over the figure.
        clear = clear && (!s.Line5[0].Visible || std::abs(p.y() - s.Line5[0].Y1) > margin);
        clear = clear && (!s.Line6[0].Visible || std::abs(p.x() - s.Line6[0].X1) > margin);
        for (const auto &label : s.Label1)
            clear = clear
                && !scene_qt::toQRectF(scene::boundsOf(label))
                        .adjusted(-margin, -margin, margin, margin)
                        .contains(p);
        for (const auto &mark : s.Shape2)
            clear = clear
                && (!mark.Visible
                    || QLineF(p, QPointF(mark.Left + 4, mark.Top + 4)).length() > 4 + margin);
        for (const auto *other : segments)
            clear = clear && (other == &line || distanceToSegment(p, *other) > margin);
        if (clear)
            return p;
    }
    return {};
}

#endif
