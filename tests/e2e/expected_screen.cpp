#include "expected_screen.h"

#include <QLineF>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kGridGrey = 0xffc0c0c0;
constexpr QRgb kMarkGreen = 0xff00c000;
constexpr QRgb kMemoBlue = 0xff0000c0;

// Half the width of a figure segment and its antialiased fringe, with room to spare.
constexpr double kSegmentReach = 5;
constexpr double kGridReach = 3;
constexpr double kMarkReach = 8;
constexpr double kStrokeReach = 5;

struct NamedSegment
{
    const char *name;
    const scene::LineItem *line;
};

std::array<NamedSegment, 11> figureSegments(const scene::Scene &s)
{
    return {{{"BC", &s.Line1[0]}, {"BE", &s.Line1[1]}, {"CE", &s.Line1[2]}, {"AB", &s.Line2[0]},
        {"FB", &s.Line2[1]}, {"FA", &s.Line2[2]}, {"AC", &s.Line3[0]}, {"DC", &s.Line3[1]},
        {"DA", &s.Line3[2]}, {"FE", &s.Line4[0]}, {"DE", &s.Line4[1]}}};
}

QPointF start(const scene::LineItem &line)
{
    return QPointF(line.X1, line.Y1);
}

QPointF end(const scene::LineItem &line)
{
    return QPointF(line.X2, line.Y2);
}

double distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double lengthSquared = QPointF::dotProduct(ab, ab);
    double t = lengthSquared > 0 ? QPointF::dotProduct(p - a, ab) / lengthSquared : 0;
    t = std::clamp(t, 0.0, 1.0);
    return QLineF(p, a + t * ab).length();
}

QRgb rgbOf(scene::Rgb c)
{
    return qRgb(c.r, c.g, c.b);
}

QRgb pixelAt(const QImage &shot, QPoint p)
{
    if (!shot.rect().contains(p))
        return 0;
    return shot.pixel(p) | 0xff000000;
}

QString where(QPointF p)
{
    return QStringLiteral("(%1, %2)").arg(p.x(), 0, 'f', 1).arg(p.y(), 0, 'f', 1);
}

// A label's box as painted: a 27-pixel letter at (Left, Top). The estimate is generous, so
// that nothing that looks past labels ever lands on one.
QRectF labelArea(const scene::LabelItem &label)
{
    return QRectF(label.Left - 2, label.Top - 2, 26, 36);
}

} // namespace

QPoint devicePixel(QPointF logical, int scale)
{
    return QPoint(static_cast<int>(std::floor(logical.x() * scale)),
        static_cast<int>(std::floor(logical.y() * scale)));
}

QString rgbText(QRgb colour)
{
    return QStringLiteral("(%1,%2,%3)").arg(qRed(colour)).arg(qGreen(colour)).arg(qBlue(colour));
}

ExpectedScreen::ExpectedScreen(QSizeF size)
    : clientSize(size), board(static_cast<float>(size.width()), static_cast<float>(size.height()))
{
}

void ExpectedScreen::reset()
{
    rememberVacatedPlaces();
    board.clickReset();
}

void ExpectedScreen::resize(QSizeF newSize)
{
    clearStrokes();
    clientSize = newSize;
    rememberVacatedPlaces();
    board.resize(static_cast<float>(newSize.width()), static_cast<float>(newSize.height()));
}

void ExpectedScreen::moveA(double dx, double dy)
{
    rememberVacatedPlaces();
    // Pressed in the bottom-right corner, where no control or name lies.
    const float x = static_cast<float>(clientSize.width() - 1);
    const float y = static_cast<float>(clientSize.height() - 1);
    board.press(x, y);
    board.move(x + static_cast<float>(dx), y + static_cast<float>(dy));
    board.release();
}

void ExpectedScreen::toggleGrid()
{
    board.clickGrid();
}

// The mark buttons are disabled where the board says so: a click on one does nothing.
void ExpectedScreen::placeMark()
{
    if (!board.canPlaceMark()) {
        unmarked.append(QPointF(state().xA, state().yA));
        return;
    }
    board.clickMark(0);
}

void ExpectedScreen::removeMark()
{
    if (!board.canRemoveMark())
        return;
    const scene::ShapeItem &mark = scene().Shape2[static_cast<std::size_t>(state().markCount - 1)];
    unmarked.append(QPointF(mark.Left + mark.Width / 2, mark.Top + mark.Height / 2));
    board.clickMark(1);
}

void ExpectedScreen::addStroke(const QPolygonF &points)
{
    strokes.append(points);
}

void ExpectedScreen::clearStrokes()
{
    for (const QPolygonF &stroke : std::as_const(strokes))
        for (int i = 1; i < stroke.size(); ++i)
            vacated.append((stroke[i - 1] + stroke[i]) / 2);
    strokes.clear();
}

// Before the figure changes, the middle of every segment and every visible mark is noted:
// unless something else is painted there afterwards, those places must turn blank.
void ExpectedScreen::rememberVacatedPlaces()
{
    for (const NamedSegment &segment : figureSegments(scene())) {
        const QPointF a = start(*segment.line), b = end(*segment.line);
        vacated.append(a + 0.5 * (b - a));
        vacated.append(a + 0.3 * (b - a));
        vacated.append(a + 0.7 * (b - a));
    }
    for (const scene::ShapeItem &mark : scene().Shape2)
        if (mark.Visible)
            unmarked.append(QPointF(mark.Left + mark.Width / 2, mark.Top + mark.Height / 2));
}

// The scene's drawing order decides which item covers which; the memo strokes (no item)
// lie under them all.
bool ExpectedScreen::paintedAbove(const void *item, const scene::LineItem *self) const
{
    if (!self)
        return true;
    int index = 0, itemIndex = -1, selfIndex = -1;
    scene::visitInDrawingOrder(scene(), [&](const auto &visited) {
        if (static_cast<const void *>(&visited) == item)
            itemIndex = index;
        if (static_cast<const void *>(&visited) == self)
            selfIndex = index;
        ++index;
    });
    return itemIndex > selfIndex;
}

bool ExpectedScreen::isClear(QPointF p, const Clearance &clearance) const
{
    if (p.x() < 4 || p.y() < 4 || p.x() > clientSize.width() - 5 || p.y() > clientSize.height() - 5)
        return false;
    if (controlArea().contains(p))
        return false;
    for (const NamedSegment &segment : figureSegments(scene())) {
        const scene::LineItem &line = *segment.line;
        if (&line == clearance.self) {
            if (QLineF(p, start(line)).length() < 2 * kSegmentReach
                || QLineF(p, end(line)).length() < 2 * kSegmentReach)
                return false;
        } else if (line.Visible && distanceToSegment(p, start(line), end(line)) < kSegmentReach) {
            return false;
        }
    }
    // Grid places are avoided whether the grid shows or not, so that a check looks at the
    // same pixels before and after the grid is switched; a segment need only avoid the grid
    // lines painted over it.
    for (const scene::LineItem &line : scene().Line5)
        if (std::abs(p.y() - line.Y1) < kGridReach && paintedAbove(&line, clearance.self))
            return false;
    for (const scene::LineItem &line : scene().Line6)
        if (std::abs(p.x() - line.X1) < kGridReach && paintedAbove(&line, clearance.self))
            return false;
    for (const scene::ShapeItem &mark : scene().Shape2)
        if (mark.Visible
            && QLineF(p, QPointF(mark.Left + mark.Width / 2, mark.Top + mark.Height / 2)).length()
                < kMarkReach)
            return false;
    for (const scene::LabelItem &label : scene().Label1)
        if (label.Visible && labelArea(label).contains(p) && paintedAbove(&label, clearance.self))
            return false;
    if (clearance.strokes)
        for (const QPolygonF &stroke : strokes)
            for (int i = 1; i < stroke.size(); ++i)
                if (distanceToSegment(p, stroke[i - 1], stroke[i]) < kStrokeReach)
                    return false;
    return true;
}

// Looks along from->to, middle first, for a place that isClear().
bool ExpectedScreen::clearPointOn(
    QPointF from, QPointF to, const Clearance &clearance, QPointF *found) const
{
    for (int step = 0; step <= 45; ++step) {
        for (int sign : {1, -1}) {
            const double t = 0.5 + sign * step * 0.01;
            const QPointF p = from + t * (to - from);
            if (isClear(p, clearance)) {
                *found = p;
                return true;
            }
        }
    }
    return false;
}

QStringList ExpectedScreen::problems(const QImage &shot, int scale) const
{
    QStringList out;
    const QSize want = (clientSize * scale).toSize();
    if (shot.size() != want) {
        out << QStringLiteral("screenshot is %1 x %2, want %3 x %4")
                   .arg(shot.width())
                   .arg(shot.height())
                   .arg(want.width())
                   .arg(want.height());
        return out;
    }
    checkSegments(shot, scale, &out);
    checkGrid(shot, scale, &out);
    checkMarks(shot, scale, &out);
    checkStrokes(shot, scale, &out);
    checkVacated(shot, scale, &out);
    return out;
}

void ExpectedScreen::checkSegments(const QImage &shot, int scale, QStringList *out) const
{
    for (const NamedSegment &segment : figureSegments(scene())) {
        Clearance clearance;
        clearance.strokes = false; // segments are painted over the memo strokes
        clearance.self = segment.line;
        QPointF p;
        if (!clearPointOn(start(*segment.line), end(*segment.line), clearance, &p)) {
            *out << QStringLiteral("segment %1 has no place clear of other items to look at")
                        .arg(segment.name);
            continue;
        }
        const QRgb got = pixelAt(shot, devicePixel(p, scale));
        const QRgb want = rgbOf(segment.line->BorderColor);
        if (got != want)
            *out << QStringLiteral("segment %1 at %2: %3, want %4")
                        .arg(segment.name, where(p), rgbText(got), rgbText(want));
    }
}

// A grid line is one logical pixel wide: at a clear place across it, some pixel of the few
// rows (or columns) around its formula place is exactly grey, at most `scale` of them are,
// and three pixels either side is blank. A hidden line leaves only white there.
void ExpectedScreen::checkGrid(const QImage &shot, int scale, QStringList *out) const
{
    auto checkAcross = [&](const scene::LineItem &line, bool horizontal, QPointF p, int index) {
        const QPoint centre = devicePixel(p, scale);
        int grey = 0;
        QStringList seen;
        for (int d = -1; d <= scale; ++d) {
            const QPoint q = horizontal ? QPoint(centre.x(), centre.y() + d)
                                        : QPoint(centre.x() + d, centre.y());
            const QRgb c = pixelAt(shot, q);
            seen << rgbText(c);
            if (c == kGridGrey)
                ++grey;
            else if (c != kWhite)
                *out << QStringLiteral("grid line %1 %2 near %3: %4 is neither grid grey nor white")
                            .arg(horizontal ? "Line5" : "Line6")
                            .arg(index)
                            .arg(where(p), rgbText(c));
        }
        const QString name = QStringLiteral("%1(%2) at %3")
                                 .arg(horizontal ? "Line5" : "Line6")
                                 .arg(index)
                                 .arg(where(p));
        if (line.Visible && (grey < 1 || grey > scale))
            *out << QStringLiteral("grid line %1: %2 grey pixels across it (%3)")
                        .arg(name)
                        .arg(grey)
                        .arg(seen.join(' '));
        if (!line.Visible && grey > 0)
            *out << QStringLiteral("hidden grid line %1 still shows").arg(name);
        for (double side : {-3.0, 3.0}) {
            const QPointF q = horizontal ? p + QPointF(0, side) : p + QPointF(side, 0);
            const QRgb c = pixelAt(shot, devicePixel(q, scale));
            if (c != kWhite)
                *out << QStringLiteral("beside grid line %1 at %2: %3, want white")
                            .arg(name, where(q), rgbText(c));
        }
    };

    const double w = clientSize.width(), h = clientSize.height();
    for (std::size_t k = 0; k < scene().Line5.size(); ++k) {
        const scene::LineItem &line = scene().Line5[k];
        if (line.Y1 < 4 || line.Y1 > h - 5)
            continue;
        bool found = false;
        // From the right edge inwards: the figure stays near the middle.
        for (double x = std::floor(w) - 6.5; x > 4 && !found; x -= 1) {
            const QPointF above(x, line.Y1 - 3), below(x, line.Y1 + 3);
            Clearance clearance;
            if (isClear(above, clearance) && isClear(below, clearance)) {
                checkAcross(line, true, QPointF(x, line.Y1), static_cast<int>(k));
                found = true;
            }
        }
        if (!found)
            *out << QStringLiteral("no clear place across grid line Line5(%1)").arg(k);
    }
    for (std::size_t k = 0; k < scene().Line6.size(); ++k) {
        const scene::LineItem &line = scene().Line6[k];
        if (line.X1 < 4 || line.X1 > w - 5)
            continue;
        bool found = false;
        for (double y = std::floor(h) - 6.5; y > 4 && !found; y -= 1) {
            const QPointF left(line.X1 - 3, y), right(line.X1 + 3, y);
            Clearance clearance;
            if (isClear(left, clearance) && isClear(right, clearance)) {
                checkAcross(line, false, QPointF(line.X1, y), static_cast<int>(k));
                found = true;
            }
        }
        if (!found)
            *out << QStringLiteral("no clear place across grid line Line6(%1)").arg(k);
    }
}

void ExpectedScreen::checkMarks(const QImage &shot, int scale, QStringList *out) const
{
    QList<QPointF> shown;
    for (std::size_t i = 0; i < scene().Shape2.size(); ++i) {
        const scene::ShapeItem &mark = scene().Shape2[i];
        if (!mark.Visible)
            continue;
        const QPointF centre(mark.Left + mark.Width / 2, mark.Top + mark.Height / 2);
        shown.append(centre);
        // The disc is 8 pixels across: its middle and a pixel either way are solid.
        for (QPointF d :
            {QPointF(0, 0), QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)}) {
            const QRgb got = pixelAt(shot, devicePixel(centre + d, scale));
            if (got != kMarkGreen)
                *out << QStringLiteral("mark %1 at %2: %3, want %4")
                            .arg(i)
                            .arg(where(centre + d), rgbText(got), rgbText(kMarkGreen));
        }
        // Outside the disc the mark paints nothing.
        for (QPointF d : {QPointF(-6, -6), QPointF(6, -6), QPointF(-6, 6), QPointF(6, 6)}) {
            const QRgb got = pixelAt(shot, devicePixel(centre + d, scale));
            if (got == kMarkGreen)
                *out << QStringLiteral("mark %1 reaches %2").arg(i).arg(where(centre + d));
        }
    }
    for (QPointF place : unmarked) {
        const bool covered = std::any_of(shown.begin(), shown.end(),
            [&](QPointF c) { return QLineF(c, place).length() < kMarkReach; });
        if (covered || controlArea().contains(place))
            continue;
        const QRgb got = pixelAt(shot, devicePixel(place, scale));
        if (got == kMarkGreen)
            *out << QStringLiteral("a mark still shows at %1").arg(where(place));
    }
}

void ExpectedScreen::checkStrokes(const QImage &shot, int scale, QStringList *out) const
{
    for (int s = 0; s < strokes.size(); ++s) {
        const QPolygonF &stroke = strokes[s];
        int looked = 0;
        for (int i = 1; i < stroke.size(); ++i) {
            Clearance clearance;
            clearance.strokes = false; // a stroke may cross itself or another
            QPointF p;
            if (!clearPointOn(stroke[i - 1], stroke[i], clearance, &p))
                continue;
            ++looked;
            const QRgb got = pixelAt(shot, devicePixel(p, scale));
            if (got != kMemoBlue)
                *out << QStringLiteral("memo stroke %1, piece %2 at %3: %4, want %5")
                            .arg(s)
                            .arg(i)
                            .arg(where(p), rgbText(got), rgbText(kMemoBlue));
        }
        if (looked == 0)
            *out << QStringLiteral("memo stroke %1 has no place clear of other items to look at")
                        .arg(s);
    }
}

void ExpectedScreen::checkVacated(const QImage &shot, int scale, QStringList *out) const
{
    QSet<QPoint> seen;
    for (QPointF p : vacated) {
        if (!isClear(p, Clearance {}))
            continue;
        const QPoint pixel = devicePixel(p, scale);
        if (seen.contains(pixel))
            continue;
        seen.insert(pixel);
        const QRgb got = pixelAt(shot, pixel);
        if (got != kWhite)
            *out << QStringLiteral("%1 should be blank now: %2").arg(where(p), rgbText(got));
    }
}
