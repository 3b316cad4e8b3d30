#include "expected_screen.h"

#include "figure/construction.h"
#include "figure_invariants.h"
#include "scene/qt/scene_painter.h"

#include <QGuiApplication>
#include <QHash>
#include <QLineF>

#include <algorithm>
#include <cmath>
#include <optional>

namespace support {

namespace {

    // The design's colours, from the program's own headers.
    const scene::Scene kDesign;
    const QRgb kWhite = rgb(scene::paletteColor(15));
    const QRgb kGridGrey = rgb(kDesign.Line5[0].BorderColor);
    const QRgb kMarkGreen = rgb(kDesign.Shape2[0].BackColor);
    const QRgb kMemoInk = rgb(board::kMemoColor);

    // The controls and their panels, with room for the focus and hover frames a style draws:
    // the checks never look there.
    const QRectF kControlArea = [] {
        scene::Rect area = scene::boundsOf(kDesign.Shape1).united(scene::boundsOf(kDesign.Shape3));
        for (const board::ControlDesign &control : board::kControls)
            area = area.united(control.box());
        return scene_qt::toQRectF(area.adjusted(-8, -8, 8, 8));
    }();

    // Half the width of a figure segment and its antialiased fringe, with room to spare.
    constexpr double kSegmentReach = 5;
    constexpr double kGridReach = 3;
    constexpr double kMarkReach = 8;
    constexpr double kStrokeReach = 5;
    constexpr double kLabelMargin = 4;

    // The figure's segments, named in the same order by kSegmentNames.
    std::array<const scene::LineItem *, 11> figureSegments(const scene::Scene &s)
    {
        return {&s.Line1[0], &s.Line1[1], &s.Line1[2], &s.Line2[0], &s.Line2[1], &s.Line2[2],
            &s.Line3[0], &s.Line3[1], &s.Line3[2], &s.Line4[0], &s.Line4[1]};
    }
    const char *const kSegmentNames[] = {
        "BC", "BE", "CE", "AB", "FB", "FA", "AC", "DC", "DA", "FE", "DE"};

    QLineF lineOf(const scene::LineItem &line)
    {
        return QLineF(line.X1, line.Y1, line.X2, line.Y2);
    }

    QPointF centreOf(const scene::ShapeItem &mark)
    {
        return QPointF(mark.Left + mark.Width / 2, mark.Top + mark.Height / 2);
    }

    // A label's box, grown by margin on every side.
    QRectF boxOf(const scene::LabelItem &label, double margin)
    {
        return scene_qt::toQRectF(scene::boundsOf(label))
            .adjusted(-margin, -margin, margin, margin);
    }

    double distanceToSegment(QPointF p, QLineF segment)
    {
        const QPointF ab = segment.p2() - segment.p1();
        const double lengthSquared = QPointF::dotProduct(ab, ab);
        const double t =
            lengthSquared > 0 ? QPointF::dotProduct(p - segment.p1(), ab) / lengthSquared : 0;
        return QLineF(p, segment.pointAt(std::clamp(t, 0.0, 1.0))).length();
    }

    QString where(QPointF p)
    {
        return QStringLiteral("(%1, %2)").arg(p.x(), 0, 'f', 1).arg(p.y(), 0, 'f', 1);
    }

    QString rgbText(QRgb colour)
    {
        return QString::asprintf("(%d,%d,%d)", qRed(colour), qGreen(colour), qBlue(colour));
    }

} // namespace

QPoint devicePixel(QPointF logical, int scale)
{
    return QPoint(int(std::floor(logical.x() * scale)), int(std::floor(logical.y() * scale)));
}

QRgb rgb(scene::Rgb c)
{
    return qRgb(c.r, c.g, c.b);
}

QRectF box(board::Control control)
{
    return scene_qt::toQRectF(board::design(control).box());
}

Figure initialScreen(float width, float height)
{
    Figure f;
    f.state.gridShown = 1;
    if (!figure::resetScreen(f.state, f.scene, width, height))
        qFatal("no initial screen for %g x %g", double(width), double(height));
    return f;
}

Figure rebuiltAt(float width, float height, double xA, double yA)
{
    Figure f = initialScreen(width, height);
    f.state.xA = xA;
    f.state.yA = yA;
    figure::RebuildFigure(f.state, f.scene);
    return f;
}

void measureLabels(board::Board &board)
{
    const bool gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    for (int i = 0; i < scene::kLabelCount; ++i)
        board.setLabelWidth(i, gui ? scene_qt::captionWidth(scene::labelAt(board.scene(), i)) : 20);
}

ExpectedScreen::ExpectedScreen(double width, double height, double scale)
    : Replay(width, height, scale), ratio(scale)
{
    measureLabels(board);
}

void ExpectedScreen::play(const session::Step &step)
{
    // Before the figure changes, the middle of every segment and every visible mark is noted:
    // unless something else is painted there afterwards, those places must turn blank.
    for (const scene::LineItem *segment : figureSegments(board.scene()))
        for (double t : {0.3, 0.5, 0.7})
            vacated.append(lineOf(*segment).pointAt(t));
    for (const scene::ShapeItem &mark : board.scene().Shape2)
        if (mark.Visible)
            unmarked.append(centreOf(mark));
    if (step.kind == session::Step::Down && board.mode() == board::Mode::Memo
        && !holds(step.pointer))
        strokes.append(QPolygonF {QPointF(step.x, step.y)});
    if (step.kind == session::Step::Resize)
        ratio = step.scale;
    const Outcome outcome = Replay::play(step);
    if (outcome.refusedMark)
        unmarked.append(QPointF(board.state().xA, board.state().yA));
    for (const board::Changes &changes : outcome.changes) {
        if (changes.clearMemo) {
            for (const QPolygonF &stroke : std::as_const(strokes))
                for (int i = 1; i < stroke.size(); ++i)
                    vacated.append((stroke[i - 1] + stroke[i]) / 2);
            strokes.clear();
            pieces = 0;
        }
        if (changes.drawMemo && !strokes.isEmpty())
            strokes.last().append(QPointF(changes.memoTo.x, changes.memoTo.y));
        pieces += changes.drawMemo;
    }
}

QStringList ExpectedScreen::unmet(const session::Expect &expect) const
{
    QStringList out;
    const board::Board initial(board.width(), board.height());
    const figure::FigureState &f = board.state(), &i = initial.state();
    if (std::abs(f.xA - i.xA - expect.dx) > 1e-6 || std::abs(f.yA - i.yA - expect.dy) > 1e-6)
        out << QString::asprintf("A is off its initial place by (%g, %g), want (%g, %g)",
            f.xA - i.xA, f.yA - i.yA, expect.dx, expect.dy);
    // Only the initial screen places B, C and E, their segments and their names.
    const scene::Scene &s = board.scene(), &is = initial.scene();
    bool base = fuzz::checkBase(f, i).empty();
    for (std::size_t k : {0, 1, 2})
        base = base && s.Line1[k].X1 == is.Line1[k].X1 && s.Line1[k].Y1 == is.Line1[k].Y1
            && s.Line1[k].X2 == is.Line1[k].X2 && s.Line1[k].Y2 == is.Line1[k].Y2;
    for (std::size_t k : {1, 2, 4})
        base = base && s.Label1[k].Left == is.Label1[k].Left && s.Label1[k].Top == is.Label1[k].Top;
    if (!base)
        out << "triangle BCE or the names of its points left their initial places";
    // Per segment, in the order of kSegmentNames.
    using namespace figure::colour;
    const int side = expect.colours == session::Colours::Rectangle ? kLightBlue : kLightRed;
    const std::array<int, 11> want = expect.colours == session::Colours::Initial
        ? std::array<int, 11> {kLightBlue, kLightBlue, kLightBlue, kLightMagenta, kLightMagenta,
            kLightMagenta, kLightGreen, kLightGreen, kLightGreen, kGrey, kGrey}
        : std::array<int, 11> {
            kBlack, kBlack, kBlack, kBlack, kBlack, side, kBlack, kBlack, side, side, side};
    const auto segments = figureSegments(s);
    for (std::size_t k = 0; k < segments.size(); ++k)
        if (segments[k]->BorderColor != scene::paletteColor(want[k]))
            out << QString::asprintf("segment %s is %s, want palette colour %d", kSegmentNames[k],
                qPrintable(rgbText(rgb(segments[k]->BorderColor))), want[k]);
    if (f.markCount != expect.marks || board.gridChecked() != expect.grid
        || s.Line5[0].Visible != expect.grid || pieces != expect.memo
        || board.mode() != expect.mode)
        out << QString::asprintf(
            "%d marks, grid %d, %d memo segments, mode %d; want %d, %d, %d, %d", f.markCount,
            s.Line5[0].Visible, pieces, int(board.mode()), expect.marks, expect.grid, expect.memo,
            int(expect.mode));
    return out;
}

// One screenshot, scale pixels per logical pixel, against the expected screen: every mismatch
// is a line of out.
struct ShotCheck
{
    const ExpectedScreen &expected;
    const QImage &shot;
    int scale;
    QStringList out = {};

    const scene::Scene &items() const { return expected.board.scene(); }

    QRgb pixel(QPointF logical, QPoint offset = {}) const
    {
        const QPoint p = devicePixel(logical, scale) + offset;
        return shot.rect().contains(p) ? shot.pixel(p) | 0xff000000 : 0;
    }

    // Notes a mismatch unless the pixel under p is (or, with is false, is not) the colour.
    void expect(const QString &what, QPointF p, QRgb colour, bool is = true)
    {
        if (const QRgb got = pixel(p); (got == colour) != is)
            out << QStringLiteral("%1 at %2: %3, want %4%5")
                       .arg(what, where(p), rgbText(got), is ? "" : "no ", rgbText(colour));
    }

    // What a place is looked at for: the background, which stays off everything painted; a
    // segment's colour, painted over the memo strokes and the names, so that it stays off only
    // the other segments, the marks and the grid lines over the figure; a memo stroke's ink;
    // or a stroke under the box of a name.
    enum class For { Background, Segment, Stroke, UnderName };

    bool isClear(QPointF p, For sample = For::Background, const void *self = nullptr) const
    {
        const board::Board &board = expected.core();
        const scene::Scene &s = board.scene();
        if (!QRectF(4, 4, board.width() - 9, board.height() - 9).contains(p)
            || kControlArea.contains(p))
            return false;
        for (const scene::LineItem *segment : figureSegments(s)) {
            // The segment looked at is avoided only near its ends, where others meet it.
            const QLineF line = lineOf(*segment);
            const double end =
                std::min(QLineF(p, line.p1()).length(), QLineF(p, line.p2()).length());
            if (segment == self ? end < 2 * kSegmentReach
                                : segment->Visible && distanceToSegment(p, line) < kSegmentReach)
                return false;
        }
        // Grid places are avoided whether the grid shows or not, so that a check looks at the
        // same pixels before and after the grid is switched; a segment need only avoid the
        // grid lines painted over the figure, the first of each array.
        const bool forSegment = sample == For::Segment;
        for (const scene::LineItem &line : s.Line5)
            if (std::abs(p.y() - line.Y1) < kGridReach && (!forSegment || &line == &s.Line5[0]))
                return false;
        for (const scene::LineItem &line : s.Line6)
            if (std::abs(p.x() - line.X1) < kGridReach && (!forSegment || &line == &s.Line6[0]))
                return false;
        for (const scene::ShapeItem &mark : s.Shape2)
            if (mark.Visible && QLineF(p, centreOf(mark)).length() < kMarkReach)
                return false;
        // The names of the points lie under the figure.
        for (const scene::LabelItem &label : s.Label1)
            if (!forSegment && sample != For::UnderName && label.Visible
                && boxOf(label, kLabelMargin).contains(p))
                return false;
        if (sample == For::Background)
            for (const QPolygonF &stroke : expected.strokes)
                for (int i = 1; i < stroke.size(); ++i)
                    if (distanceToSegment(p, QLineF(stroke[i - 1], stroke[i])) < kStrokeReach)
                        return false;
        return true;
    }

    // Looks along a line, middle first, for a place that isClear().
    std::optional<QPointF> clearPointOn(QLineF along, For sample, const void *self = nullptr) const
    {
        for (int step = 0; step <= 45; ++step)
            for (int sign : {1, -1})
                if (const QPointF p = along.pointAt(0.5 + sign * step * 0.01);
                    isClear(p, sample, self))
                    return p;
        return {};
    }

    void segments()
    {
        const auto segments = figureSegments(items());
        for (std::size_t k = 0; k < segments.size(); ++k) {
            const QString name = QStringLiteral("segment ") + kSegmentNames[k];
            if (const auto p = clearPointOn(lineOf(*segments[k]), For::Segment, segments[k]))
                expect(name, *p, rgb(segments[k]->BorderColor));
            else
                out << name + " has nowhere clear to look";
        }
    }

    // A grid line is one logical pixel wide: at a clear place across it, found from the far
    // edge inwards since the figure stays near the middle, some pixel of the few rows (or
    // columns) around its place is exactly grey, at most `scale` of them are, and three
    // pixels either side is blank. A hidden line leaves only white there.
    void gridLine(const scene::LineItem &line, QPointF across)
    {
        const bool horizontal = across.y() != 0;
        const double at = horizontal ? line.Y1 : line.X1;
        const QSizeF size(expected.core().width(), expected.core().height());
        if (at < 4 || at > (horizontal ? size.height() : size.width()) - 5)
            return;
        QPointF p;
        for (double d = std::floor(horizontal ? size.width() : size.height()) - 6.5;
             d > 4 && p.isNull(); d -= 1) {
            const QPointF q = horizontal ? QPointF(d, at) : QPointF(at, d);
            if (isClear(q - 3 * across) && isClear(q + 3 * across))
                p = q;
        }
        if (p.isNull()) {
            out << QStringLiteral("no clear place across the grid line at %1").arg(at);
            return;
        }
        int grey = 0;
        QStringList seen;
        for (int d = -1; d <= scale; ++d) {
            const QRgb c = pixel(p, d * across.toPoint());
            seen << rgbText(c);
            grey += c == kGridGrey;
            if (c != kGridGrey && c != kWhite)
                out << QStringLiteral("grid line near %1: %2 is neither grey nor white")
                           .arg(where(p), rgbText(c));
        }
        if (grey < int(line.Visible) || grey > (line.Visible ? scale : 0))
            out << QStringLiteral("%1 grid line at %2: %3 grey pixels across it (%4)")
                       .arg(line.Visible ? "shown" : "hidden", where(p), QString::number(grey),
                           seen.join(' '));
        for (QPointF q : {p - 3 * across, p + 3 * across})
            expect("beside the grid line", q, kWhite);
    }

    void marks()
    {
        QList<QPointF> shown;
        for (const scene::ShapeItem &mark : items().Shape2) {
            if (!mark.Visible)
                continue;
            const QPointF centre = centreOf(mark);
            shown.append(centre);
            // The disc is 8 pixels across: its middle and a pixel either way are solid;
            // outside it the mark paints nothing.
            for (QPointF d : {QPointF(0, 0), QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1),
                     QPointF(0, 1), QPointF(-6, -6), QPointF(6, -6), QPointF(-6, 6), QPointF(6, 6)})
                expect("mark", centre + d, kMarkGreen, d.manhattanLength() <= 1);
        }
        for (QPointF place : expected.unmarked)
            if (std::none_of(shown.begin(), shown.end(),
                    [&](QPointF c) { return QLineF(c, place).length() < kMarkReach; })
                && !kControlArea.contains(place))
                expect("a removed mark", place, kMarkGreen, false);
    }

    // A memo stroke shows on every piece with a clear place, but not inside the opaque boxes
    // of the names of the points.
    void strokes()
    {
        const auto inName = [&](QPointF p) {
            for (const scene::LabelItem &label : items().Label1)
                if (label.Visible && boxOf(label, -1).contains(p))
                    return true;
            return false;
        };
        for (int s = 0; s < expected.strokes.size(); ++s) {
            const QPolygonF &stroke = expected.strokes[s];
            int looked = 0;
            for (int i = 1; i < stroke.size(); ++i) {
                const QLineF piece(stroke[i - 1], stroke[i]);
                for (double t = 0; t <= 1; t += 0.02) {
                    const QPointF p = piece.pointAt(t);
                    const QRgb c = pixel(p);
                    if (inName(p) && isClear(p, For::UnderName)
                        && qBlue(c) > std::max(qRed(c), qGreen(c)) + 40)
                        out << QStringLiteral("memo stroke %1 shows through a name's box at %2")
                                   .arg(QString::number(s), where(p));
                }
                const auto p = clearPointOn(piece, For::Stroke); // strokes may cross
                looked += p.has_value();
                if (p)
                    expect(QString("memo stroke %1, piece %2").arg(s).arg(i), *p, kMemoInk);
            }
            if (looked == 0)
                out << QStringLiteral("memo stroke %1 has nowhere clear to look").arg(s);
        }
    }

    void vacated()
    {
        QHash<QPoint, bool> seen;
        for (QPointF p : expected.vacated)
            if (isClear(p) && !std::exchange(seen[devicePixel(p, scale)], true))
                expect("a vacated place", p, kWhite);
    }
};

QStringList ExpectedScreen::problems(const QImage &shot, int scale) const
{
    const QSize want = (QSizeF(board.width(), board.height()) * scale).toSize();
    if (shot.size() != want)
        return {QString::asprintf("screenshot is %d x %d, want %d x %d", shot.width(),
            shot.height(), want.width(), want.height())};
    ShotCheck check {*this, shot, scale};
    check.segments();
    for (const scene::LineItem &line : board.scene().Line5)
        check.gridLine(line, {0, 1});
    for (const scene::LineItem &line : board.scene().Line6)
        check.gridLine(line, {1, 0});
    check.marks();
    check.strokes();
    check.vacated();
    return check.out;
}

QStringList commandsDiffer(ExpectedScreen core, const QJsonArray &painted, const scene::Rect &area)
{
    for (const QJsonValue &c : painted)
        if (c[0].toInt() == int(scene::DrawKind::Text))
            core.core().setLabelWidth(c[8].toInt(), float(c[3].toDouble() - c[1].toDouble()));
    std::vector<scene::DrawCommand> list;
    core.core().frame(list, area);
    QStringList out;
    if (int(list.size()) != painted.size())
        out << QString::asprintf(
            "%d commands painted, the core lists %d", int(painted.size()), int(list.size()));
    for (int i = 0; i < std::min(int(list.size()), int(painted.size())); ++i) {
        const float *want = &list[std::size_t(i)].kind;
        for (int k = 0; k < 10; ++k)
            if (std::abs(painted[i][k].toDouble() - want[k]) > 1e-3
                && !(k == 3 && want[0] == float(scene::DrawKind::Text))) // a caption's right edge
                out << QString::asprintf("command %d, field %d: painted %g, the core lists %g", i,
                    k, painted[i][k].toDouble(), double(want[k]));
    }
    return out;
}

} // namespace support
