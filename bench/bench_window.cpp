// One drag step through the real window on the offscreen platform: a mouse move sent to Form1
// until its frame is painted, against the floor of painting a blank white widget of the
// same size in the same run. Run with --dpr=2 for a screen at 200 %.
#include "alloc_counter.h"
#include "form1.h"
#include "qt_bench_support.h"
#include "scene/grid.h"
#include "scene/qt/scene_painter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <array>
#include <cmath>
#include <cstdio>

namespace {

void sendMouse(QWidget &widget, QEvent::Type type, QPointF position, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(
        type, position, widget.mapToGlobal(position), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

// The pointer walks a circle in steps of about 3 px, as a steady hand on a fast mouse does.
std::array<QPointF, 128> circlePath(QPointF centre, double radius)
{
    std::array<QPointF, 128> path;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const double t = static_cast<double>(i) * (2 * 3.14159265 / path.size());
        path[i] = centre + QPointF(radius * std::cos(t), radius * std::sin(t));
    }
    return path;
}

void BM_DragStep(benchmark::State &state, Form1 *form, const bench::PaintCounter *paints)
{
    const auto path = circlePath(QPointF(600, 330), 60);
    sendMouse(*form, QEvent::MouseButtonPress, path[0], Qt::LeftButton);
    if (form->core().state().dragging != 1) {
        state.SkipWithError("the press did not start a drag");
        return;
    }
    const double xStart = form->core().state().xA;
    std::size_t step = 1;
    const std::size_t allocationsBefore = bench::allocationCount();
    for (auto _ : state) {
        const int before = paints->count();
        sendMouse(*form, QEvent::MouseMove, path[step++ & 127], Qt::LeftButton);
        bench::waitForPaint(*paints, before);
    }
    const std::size_t allocations = bench::allocationCount() - allocationsBefore;
    if (form->core().state().xA == xStart && step > 2)
        state.SkipWithError("the moves did not move A");
    sendMouse(*form, QEvent::MouseButtonRelease, path[step & 127], Qt::NoButton);
    state.counters["allocs_per_step"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

void BM_BlankPaint(benchmark::State &state, QWidget *blank, const bench::PaintCounter *paints)
{
    for (auto _ : state) {
        const int before = paints->count();
        blank->update();
        bench::waitForPaint(*paints, before);
    }
}

// The least any drag frame must paint: the figure's eleven antialiased 3-px segments, alone,
// into an image of the window's size at its pixel ratio. Against the blank floor this shows
// what part of the drag step no repaint strategy can remove.
void BM_SegmentsAlone(benchmark::State &state, const Form1 *form)
{
    scene::Scene segments = form->core().scene();
    scene::setGridVisible(segments, false);
    for (auto &label : segments.Label1)
        label.Visible = false;
    for (auto &mark : segments.Shape2)
        mark.Visible = false;
    segments.Label2.Visible = false;
    segments.Shape1.Visible = false;
    segments.Shape3.Visible = false;

    const qreal ratio = form->devicePixelRatio();
    QImage image(form->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    const scene_qt::ScenePainter painter(segments);
    std::vector<scene::DrawCommand> list;
    const scene::Rect area {0, 0, qreal(form->width()), qreal(form->height())};
    for (auto _ : state) {
        QPainter onImage(&image);
        list.clear();
        scene::buildDrawList(list, segments, area, ratio);
        painter.paint(onImage, list, QImage());
    }
}

} // namespace

int main(int argc, char **argv)
{
    bench::prepareQtPlatform(argc, argv);
    QApplication app(argc, argv);
    bench::setProgramStyle(app);
    benchmark::Initialize(&argc, argv);

    Form1 form;
    form.show();
    bench::BlankWindow blank;
    blank.resize(form.size());
    blank.show();
    // Owned by the widgets they watch.
    const auto &formPaints = *new bench::PaintCounter(&form);
    const auto &blankPaints = *new bench::PaintCounter(&blank);
    QCoreApplication::processEvents();
    std::printf("window %dx%d logical pixels at device pixel ratio %.1f\n", form.width(),
        form.height(), form.devicePixelRatioF());

    benchmark::RegisterBenchmark("BM_DragStep", BM_DragStep, &form, &formPaints);
    benchmark::RegisterBenchmark("BM_BlankPaint", BM_BlankPaint, &blank, &blankPaints);
    benchmark::RegisterBenchmark("BM_SegmentsAlone", BM_SegmentsAlone, &form);

    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto &drag = reporter.median("BM_DragStep");
    const auto &floor = reporter.median("BM_BlankPaint");
    if (drag.cpuNs > 0 && floor.cpuNs > 0) {
        std::printf("drag step %.0f us, blank floor %.0f us, ratio %.2f (CPU time medians; "
                    "wall %.0f / %.0f us)\n",
            drag.cpuNs / 1000, floor.cpuNs / 1000, drag.cpuNs / floor.cpuNs, drag.realNs / 1000,
            floor.realNs / 1000);
    }
    const auto &segments = reporter.median("BM_SegmentsAlone");
    if (segments.cpuNs > 0 && floor.cpuNs > 0) {
        std::printf("the figure's 11 segments alone %.0f us, %.2f x the blank floor\n",
            segments.cpuNs / 1000, segments.cpuNs / floor.cpuNs);
    }
    return 0;
}
