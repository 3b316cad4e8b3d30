// The session table played by the core alone: each step handed to board::Board as a front-end
// hands it, the figure's promises checked after every step, and at every checkpoint what the
// row expects.
#include "expected_screen.h"
#include "figure_invariants.h"

#include <QtTest>

Q_DECLARE_METATYPE(const session::Row *)

class tst_Sessions : public QObject
{
    Q_OBJECT

private slots:
    void rowHoldsOnTheCore_data();
    void rowHoldsOnTheCore();
};

void tst_Sessions::rowHoldsOnTheCore_data()
{
    QTest::addColumn<const session::Row *>("row");
    for (const session::Row &row : session::rows())
        QTest::newRow(row.name.c_str()) << &row;
}

void tst_Sessions::rowHoldsOnTheCore()
{
    using session::Step;
    QFETCH(const session::Row *, row);
    if (!(row->players & session::Core))
        QSKIP("a front-end's own rule: nothing of it reaches the core");
    support::ExpectedScreen screen(row->width, row->height, row->scale);
    for (const Step &step : row->steps) {
        const figure::FigureState before = screen.core().state();
        const int pieces = screen.memoPieces();
        screen.play(step);
        const figure::FigureState &f = screen.core().state();
        const std::string broken = fuzz::checkFigure(f, screen.core().scene());
        QVERIFY2(broken.empty(), broken.c_str());
        if (step.kind == Step::Down) // a press draws nothing and moves nothing
            QVERIFY(screen.memoPieces() == pieces && f.xA == before.xA && f.yA == before.yA);
        // Only a press or a move sets the pointer's place: not a move without a press, and not a
        // key, a control or a resize, which ends a drag and leaves the place for the next press.
        if (step.kind != Step::Down && (step.kind != Step::Move || !before.dragging))
            QVERIFY(f.lastX == before.lastX && f.lastY == before.lastY);
        if (step.kind == Step::Move && !before.dragging)
            QCOMPARE(f.xA, before.xA);
        if (step.kind == Step::Move && screen.core().mode() == board::Mode::MoveA)
            QCOMPARE(screen.memoPieces(), pieces);
        if (step.kind == Step::Shot) {
            const QStringList unmet = screen.unmet(step.expect);
            QVERIFY2(unmet.isEmpty(),
                qPrintable(QString::fromStdString(step.name) + ": " + unmet.join("; ")));
        }
    }
}

QTEST_APPLESS_MAIN(tst_Sessions)
#include "tst_sessions.moc"
