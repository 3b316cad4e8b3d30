#ifndef BRINMOOR_TESTS_E2E_EXPECTED_SCREEN_H
#define BRINMOOR_TESTS_E2E_EXPECTED_SCREEN_H

#include "board/board.h"

#include <QImage>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QStringList>

// What the window must show after the user's actions so far. Each action is replayed on a
// board::Board of its own, so every place the checks look at comes from the program's core;
// the window, its painting and its event handling are what is tested.
//
// The checks look only where one thing alone decides the colour: on a segment's centre line
// away from other segments, the grid and the marks; on a grid line away from the figure;
// on a memo stroke away from every painted item. The control panel in the top-left corner
// is never sampled, since the style draws it.
class ExpectedScreen
{
public:
    // The initial screen for a client area of the given logical size.
    explicit ExpectedScreen(QSizeF clientSize);

    QSizeF size() const { return clientSize; }
    const figure::FigureState &state() const { return board.state(); }
    const scene::Scene &scene() const { return board.scene(); }

    void reset(); // the reset button
    void resize(QSizeF newSize); // a new client size: strokes cleared, then the initial screen
    void moveA(double dx, double dy); // a drag in move-A mode, pointer moved by (dx, dy)
    void toggleGrid(); // a click on the grid check box
    void placeMark();
    void removeMark();
    void addStroke(const QPolygonF &points); // a drag in memo mode along these pointer places
    void clearStrokes(); // a click on either option button

    // Everything that does not match, one line each; empty when the screenshot shows this
    // screen. scale is the device pixel ratio the screenshot was taken at.
    QStringList problems(const QImage &shot, int scale) const;

    // The logical rectangle of the controls and their panels, which the checks leave alone.
    static QRectF controlArea() { return QRectF(0, 0, 266, 170); }

private:
    struct Clearance
    {
        bool strokes = true; // stay off memo strokes
        const scene::LineItem *self = nullptr; // the segment being sampled, if any
    };
    // True when item is painted over self, or when there is no self (a look at the
    // background or a memo stroke, which everything covers).
    bool paintedAbove(const void *item, const scene::LineItem *self) const;
    bool isClear(QPointF p, const Clearance &clearance) const;
    bool clearPointOn(QPointF from, QPointF to, const Clearance &clearance, QPointF *found) const;
    void rememberVacatedPlaces();

    void checkSegments(const QImage &shot, int scale, QStringList *out) const;
    void checkGrid(const QImage &shot, int scale, QStringList *out) const;
    void checkMarks(const QImage &shot, int scale, QStringList *out) const;
    void checkStrokes(const QImage &shot, int scale, QStringList *out) const;
    void checkVacated(const QImage &shot, int scale, QStringList *out) const;

    QSizeF clientSize;
    board::Board board;
    QList<QPolygonF> strokes; // memo strokes on the screen
    QList<QPointF> vacated; // places that earlier screens coloured and that must now be blank
    QList<QPointF> unmarked; // places where a mark was removed or refused
};

// Device pixel under a logical point at the given scale.
QPoint devicePixel(QPointF logical, int scale);

// "(r,g,b)" for messages.
QString rgbText(QRgb colour);

#endif
