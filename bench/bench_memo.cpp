// Memo strokes through the real window on the offscreen platform: the time of one stroke
// segment (a move in memo mode until its frame is painted) and the process's resident
// memory with 10, 1 000 and 100 000 segments already drawn.
#include "form1.h"
#include "qt_bench_support.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRadioButton>

#include <cstdio>

namespace {

void sendMouse(QWidget &widget, QEvent::Type type, QPointF position, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(
        type, position, widget.mapToGlobal(position), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

// A scribble that wanders over the whole window in steps of 2 to 9 px, the same every run.
class Scribble
{
public:
    QPointF next()
    {
        seed = seed * 1664525u + 1013904223u;
        const double dx = static_cast<int>(seed >> 24 & 15) - 7.5;
        seed = seed * 1664525u + 1013904223u;
        const double dy = static_cast<int>(seed >> 24 & 15) - 7.5;
        point += QPointF(dx, dy);
        point.setX(qBound(20.0, point.x(), 880.0));
        point.setY(qBound(20.0, point.y(), 520.0));
        return point;
    }

private:
    unsigned seed = 12345;
    QPointF point {450, 270};
};

struct MemoWindow
{
    Form1 form;
    bench::PaintCounter &paints = *new bench::PaintCounter(&form); // owned by the window
    Scribble scribble;
    long drawn = 0;
};

// Clears the memo (choosing the memo option again clears it, as in the program), then draws
// `count` segments without waiting for paints, as a fast hand outruns the screen.
void drawFresh(MemoWindow &w, long count)
{
    w.form.findChild<QRadioButton *>(QStringLiteral("Option1_1"))->click();
    sendMouse(w.form, QEvent::MouseButtonRelease, QPointF(), Qt::NoButton);
    // Every stroke starts at the same place, away from the point names, which take presses.
    w.scribble = Scribble();
    sendMouse(w.form, QEvent::MouseButtonPress, w.scribble.next(), Qt::LeftButton);
    for (long i = 0; i < count; ++i)
        sendMouse(w.form, QEvent::MouseMove, w.scribble.next(), Qt::LeftButton);
    w.drawn = count;
    QCoreApplication::processEvents();
}

void BM_MemoSegment(benchmark::State &state, MemoWindow *w)
{
    const long count = state.range(0);
    drawFresh(*w, count);
    if (w->form.core().state().dragging != 1 || w->form.memo().isEmpty()) {
        state.SkipWithError("the moves drew no memo");
        return;
    }
    state.counters["resident_MiB"] = bench::residentMiB();
    for (auto _ : state) {
        const int before = w->paints.count();
        sendMouse(w->form, QEvent::MouseMove, w->scribble.next(), Qt::LeftButton);
        bench::waitForPaint(w->paints, before);
        // Keeps the count near its level: the timed segments add at most a tenth to it.
        if (++w->drawn > count + count / 10 + 10) {
            state.PauseTiming();
            drawFresh(*w, count);
            if (w->form.core().state().dragging != 1)
                state.SkipWithError("a new stroke did not start");
            state.ResumeTiming();
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    bench::prepareQtPlatform(argc, argv);
    QApplication app(argc, argv);
    bench::setProgramStyle(app);
    benchmark::Initialize(&argc, argv);

    MemoWindow window;
    window.form.show();
    QCoreApplication::processEvents();
    std::printf("window %dx%d logical pixels at device pixel ratio %.1f\n", window.form.width(),
        window.form.height(), window.form.devicePixelRatioF());

    benchmark::RegisterBenchmark("BM_MemoSegment", BM_MemoSegment, &window)
        ->Arg(10)
        ->Arg(1000)
        ->Arg(100000);

    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto &few = reporter.median("BM_MemoSegment/10");
    const auto &many = reporter.median("BM_MemoSegment/100000");
    if (few.cpuNs > 0 && many.cpuNs > 0) {
        std::printf("memo segment %.1f us at 10, %.1f us at 100000 segments: ratio %.2f\n",
            few.cpuNs / 1000, many.cpuNs / 1000, many.cpuNs / few.cpuNs);
        const double fewMiB = few.counters.at("resident_MiB");
        const double manyMiB = many.counters.at("resident_MiB");
        std::printf("resident memory %.1f MiB at 10, %.1f MiB at 100000 segments: ratio %.2f\n",
            fewMiB, manyMiB, manyMiB / fewMiB);
    }
    return 0;
}
