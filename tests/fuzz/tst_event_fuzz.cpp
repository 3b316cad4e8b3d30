// A long deterministic stream of what users, touch screens and the window system send, played
// on the real window; after every single window-system event the figure, the marks, the
// buttons and the grid must still keep their promises.
#include "window_driver.h"

#include <QStyleFactory>

class tst_EventFuzz : public QObject
{
    Q_OBJECT

private slots:
    void randomEventsKeepEveryInvariant()
    {
        // The look the program starts with, so the controls have their real sizes.
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        // Overridable without rebuilding: BRINMOOR_FUZZ_EVENTS and BRINMOOR_FUZZ_SEED.
        const long long target =
            qEnvironmentVariable("BRINMOOR_FUZZ_EVENTS", QString::number(BRINMOOR_FUZZ_EVENTS))
                .toLongLong();
        const quint64 seed =
            qEnvironmentVariable("BRINMOOR_FUZZ_SEED", "0x5eed0b1e55ed").toULongLong(nullptr, 0);
        Form1 form;
        support::showExposed(form);

        fuzz::WindowDriver driver(form);
        fuzz::Entropy entropy(seed);
        QStringList trail; // the latest model events, for the failure report
        long long played = 0;
        while (driver.eventCount() < target && !driver.failed()) {
            const fuzz::Event event = fuzz::nextEvent(entropy);
            trail << QString::fromStdString(fuzz::describe(event));
            if (trail.size() > 12)
                trail.removeFirst();
            driver.play(event);
            if (++played % 40 == 0)
                driver.paint(played % 1000 == 0);
        }
        if (driver.failed()) { // QFAIL, unlike QVERIFY2, reports the whole trail
            const QString where = QString::asprintf("BRINMOOR_FUZZ_SEED=0x%llx, window event %lld, "
                                                    "model event %lld: ",
                seed, driver.eventCount(), played);
            QFAIL(qPrintable(where + QString::fromStdString(driver.failureText())
                + "\nlatest model events, oldest first:\n  " + trail.join("\n  ")));
        }
        qInfo("seed 0x%llx: %lld window events from %lld model events, every invariant held", seed,
            driver.eventCount(), played);
    }
};

QTEST_MAIN(tst_EventFuzz)
#include "tst_event_fuzz.moc"
