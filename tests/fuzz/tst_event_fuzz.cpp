// A long deterministic stream of what users, touch screens and the window system send, played
// on the real window; after every single window-system event the figure, the marks, the
// buttons and the grid must still keep their promises.
#include "event_model.h"
#include "form1.h"
#include "window_driver.h"

#include <QStyleFactory>
#include <QtTest>

#include <deque>

namespace {

// Overridable without rebuilding: BRINMOOR_FUZZ_EVENTS and BRINMOOR_FUZZ_SEED.
long long eventTarget()
{
    bool ok = false;
    const long long fromEnvironment = qEnvironmentVariable("BRINMOOR_FUZZ_EVENTS").toLongLong(&ok);
    return ok ? fromEnvironment : BRINMOOR_FUZZ_EVENTS;
}

quint64 seed()
{
    bool ok = false;
    const quint64 fromEnvironment = qEnvironmentVariable("BRINMOOR_FUZZ_SEED").toULongLong(&ok, 0);
    return ok ? fromEnvironment : 0x5eed0b1e55edULL;
}

} // namespace

class tst_EventFuzz : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void randomEventsKeepEveryInvariant();
};

void tst_EventFuzz::initTestCase()
{
    // The look the program starts with, so the controls have their real sizes.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

void tst_EventFuzz::randomEventsKeepEveryInvariant()
{
    const quint64 startSeed = seed();
    const long long target = eventTarget();
    Form1 form;
    support::showExposed(form);

    fuzz::WindowDriver driver(form);
    fuzz::SeededEntropy entropy(startSeed);
    std::deque<std::string> trail; // the latest model events, for the failure report
    long long played = 0;
    while (driver.eventCount() < target && !driver.failed()) {
        const fuzz::Event event = fuzz::nextEvent(entropy);
        trail.push_back(fuzz::describe(event));
        if (trail.size() > 12)
            trail.pop_front();
        driver.play(event);
        ++played;
        if (played % 40 == 0)
            driver.paint(played % 1000 == 0);
    }

    if (driver.failed()) {
        QString report = QStringLiteral(
            "seed %1 (BRINMOOR_FUZZ_SEED=0x%2), window event %3, model event %4: %5\n"
            "latest model events, oldest first:")
                             .arg(startSeed)
                             .arg(startSeed, 0, 16)
                             .arg(driver.eventCount())
                             .arg(played)
                             .arg(QString::fromStdString(driver.failureText()));
        for (const std::string &line : trail)
            report += QStringLiteral("\n  ") + QString::fromStdString(line);
        QFAIL(qPrintable(report));
    }
    qInfo("seed 0x%llx: %lld window events from %lld model events, every invariant held", startSeed,
        driver.eventCount(), played);
}

QTEST_MAIN(tst_EventFuzz)
#include "tst_event_fuzz.moc"
