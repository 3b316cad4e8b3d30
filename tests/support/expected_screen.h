#ifndef BRINMOOR_TESTS_SUPPORT_EXPECTED_SCREEN_H
#define BRINMOOR_TESTS_SUPPORT_EXPECTED_SCREEN_H

#include "session.h"

#include <QImage>
#include <QJsonArray>
#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QStringList>

// The test-support library: the design as the tests see it, taken from the program's own
// headers, and the one oracle of what the screen must show.
namespace support {

QRgb rgb(scene::Rgb c);
QRectF box(board::Control control);
// The figure and its scene as the initial screen leaves them for a client area, and the same
// with A then moved to (xA, yA) and the figure rebuilt once.
struct Figure
{
    figure::FigureState state;
    scene::Scene scene;
};
Figure initialScreen(float width, float height);
Figure rebuiltAt(float width, float height, double xA, double yA);

// Sets every caption's width as the desktop measures it, or without a GUI a 27-pixel
// letter's width.
void measureLabels(board::Board &board);

// What the window must show after the steps played so far. Each step is replayed on a
// board::Board of its own (session::Replay), so every place the checks look at comes from the
// program's core.
//
// The checks look only where one thing alone decides the colour: on a segment's centre line
// away from other segments, the grid and the marks; on a grid line away from the figure; on a
// memo stroke away from every painted item. The controls' corner is never sampled.
class ExpectedScreen : private session::Replay
{
public:
    ExpectedScreen(double width, double height, double scale = 1);

    void play(const session::Step &step);

    const board::Board &core() const { return board; }
    board::Board &core() { return board; }
    double scale() const { return ratio; }
    int memoPieces() const { return pieces; }

    // What of the expectation the core does not hold, one line each.
    QStringList unmet(const session::Expect &expect) const;
    // Everything in the screenshot that does not match, one line each; scale is its number
    // of pixels per logical pixel.
    QStringList problems(const QImage &shot, int scale) const;

private:
    friend struct ShotCheck;

    double ratio;
    int pieces = 0; // memo segments since the last clear
    QList<QPolygonF> strokes; // memo strokes on the screen
    QList<QPointF> vacated; // places that earlier screens coloured and that must now be blank
    QList<QPointF> unmarked; // places where a mark was removed or refused
};

// Device pixel under a logical point at the given scale.
QPoint devicePixel(QPointF logical, int scale);

// Where a frame a front-end painted (each command as its ten numbers) differs from the frame the
// core composes for the same area. The captions' widths are the front-end's own (a Text box's
// x2 - x1), and a Text box's right edge is left out, since the front-end measured the caption
// and snapped the box from its own width.
QStringList commandsDiffer(ExpectedScreen core, const QJsonArray &painted, const scene::Rect &area);

} // namespace support

#endif
