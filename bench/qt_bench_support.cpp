#include "qt_bench_support.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QPainter>
#include <QStyleFactory>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

void prepareQtPlatform(int &argc, char **argv)
{
    QByteArray ratio = "1";
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--dpr=", 6) == 0)
            ratio = argv[i] + 6;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", ratio);
}

void setProgramStyle(QApplication &app)
{
    // The same style as the program's main(): the controls' painting cost depends on it.
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

PaintCounter::PaintCounter(QWidget *widget) : QObject(widget)
{
    widget->installEventFilter(this);
}

bool PaintCounter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched == parent())
        ++paints;
    return false;
}

void waitForPaint(const PaintCounter &counter, int before)
{
    for (int round = 0; counter.count() == before; ++round) {
        if (round == 100000) {
            std::fprintf(stderr, "no paint arrived: the benchmark no longer measures a frame\n");
            std::exit(1);
        }
        QCoreApplication::processEvents();
    }
}

double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

BlankWindow::BlankWindow()
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BlankWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
}

void MedianReporter::ReportRuns(const std::vector<Run> &runs)
{
    for (const Run &run : runs) {
        if (run.aggregate_name != "median")
            continue;
        Median &m = medians[run.run_name.str()];
        m.realNs = run.GetAdjustedRealTime()
            * benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond)
            / benchmark::GetTimeUnitMultiplier(run.time_unit);
        m.cpuNs = run.GetAdjustedCPUTime()
            * benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond)
            / benchmark::GetTimeUnitMultiplier(run.time_unit);
        for (const auto &[name, counter] : run.counters)
            m.counters[name] = counter.value;
    }
    ConsoleReporter::ReportRuns(runs);
}

const MedianReporter::Median &MedianReporter::median(const std::string &benchmark) const
{
    static const Median none;
    const auto it = medians.find(benchmark);
    return it == medians.end() ? none : it->second;
}

} // namespace bench
