// A long deterministic stream of what users, touch screens and the window system send, played
// on the real window; after every single window-system event the figure, the marks, the
// buttons and the grid must still keep their promises.
#include "event_model.h"
#include "form1.h"
#include "window_driver.h"

#include <QStyleFactory>
#include <QtTest>

#include <deque>

class tst_EventFuzz : public QObject
{
    Q_OBJECT

private slots:
    void randomEventsKeepEveryInvariant();
};

void tst_EventFuzz::randomEventsKeepEveryInvariant()
{
    // The look the program starts with, so the controls have their real sizes.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // Overridable without rebuilding: BRINMOOR_FUZZ_EVENTS and BRINMOOR_FUZZ_SEED.
    bool ok = false;
    long long target = qEnvironmentVariable("BRINMOOR_FUZZ_EVENTS").toLongLong(&ok);
    target = ok ? target : BRINMOOR_FUZZ_EVENTS;
    quint64 seed = qEnvironmentVariable("BRINMOOR_FUZZ_SEED").toULongLong(&ok, 0);
    seed = ok ? seed : 0x5eed0b1e55edULL;
    Form1 form;
    support::showExposed(form);

    fuzz::WindowDriver driver(form);
    fuzz::Entropy entropy(seed);
    std::deque<std::string> trail; // the latest model events, for the failure report
    long long played = 0;
    while (driver.eventCount() < target && !driver.failed()) {
        const fuzz::Event event = fuzz::nextEvent(entropy);
        trail.push_back(fuzz::describe(event));
        if (trail.size() > 12)
            trail.pop_front();
        driver.play(event);
        if (++played % 40 == 0)
            driver.paint(played % 1000 == 0);
    }

    if (driver.failed()) {
        QString report =
            QString::asprintf("BRINMOOR_FUZZ_SEED=0x%llx, window event %lld, model event %lld: ",
                seed, driver.eventCount(), played)
            + QString::fromStdString(driver.failureText()) + "\nlatest model events, oldest first:";
        for (const std::string &line : trail)
            report += QStringLiteral("\n  ") + QString::fromStdString(line);
        QFAIL(qPrintable(report));
    }
    qInfo("seed 0x%llx: %lld window events from %lld model events, every invariant held", seed,
        driver.eventCount(), played);
}

QTEST_MAIN(tst_EventFuzz)
#include "tst_event_fuzz.moc"
