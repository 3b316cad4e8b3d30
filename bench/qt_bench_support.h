#ifndef BRINMOOR_BENCH_QT_BENCH_SUPPORT_H
#define BRINMOOR_BENCH_QT_BENCH_SUPPORT_H

#include <benchmark/benchmark.h>

#include <QObject>
#include <QString>
#include <QWidget>

#include <map>
#include <string>

class QApplication;

// What the window benchmarks share: an application on the offscreen platform with the
// program's own style, a way to wait until a widget's frame is painted, the process's
// resident memory, and the medians of every benchmark once they have all run.
namespace bench {

// Takes "--dpr=N" out of the arguments (the device pixel ratio of the offscreen screen) and
// sets up the platform before the application exists; Google Benchmark's own flags stay.
void prepareQtPlatform(int &argc, char **argv);
void setProgramStyle(QApplication &app);

// Counts the paint events a widget receives itself (not those of its children).
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget);
    int count() const { return paints; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int paints = 0;
};

// Runs the event loop until the counter has seen one more paint than `before`; the update
// requests that update() posts are delivered there, as in the running program.
void waitForPaint(const PaintCounter &counter, int before);

// The process's resident memory (VmRSS) in MiB.
double residentMiB();

// A top-level widget that paints nothing but white, as the window does under its items.
class BlankWindow : public QWidget
{
public:
    BlankWindow();

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Prints every run as the console does and keeps each benchmark's median times.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    struct Median
    {
        double realNs = 0;
        double cpuNs = 0;
        std::map<std::string, double> counters;
    };

    void ReportRuns(const std::vector<Run> &runs) override;
    const Median &median(const std::string &benchmark) const;

private:
    std::map<std::string, Median> medians;
};

} // namespace bench

#endif
