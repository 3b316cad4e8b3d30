// The session table played by the built Brinmoor as a person meets it: its own X server with
// no window manager, the xcb platform plugin, the installed fonts, and pointer and key events
// that travel through the server (XTEST). Every row starts a fresh program; every shot must
// show what the core predicts, and goes to BRINMOOR_E2E_SHOTS for review.
#include "desktop_user.h"
#include "expected_screen.h"

#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <X11/keysym.h>

Q_DECLARE_METATYPE(const session::Row *)

namespace {

// Why the desktop cannot play a row, or nothing when it can.
const char *cannotPlay(const session::Row &row)
{
    for (const session::Step &step : row.steps) {
        if (step.pointer != session::Pointer::Mouse)
            return "XTEST has no touch or pen";
        if (step.kind == session::Step::Resize && step.scale != row.scale)
            return "the desktop's pixel ratio is set only at launch (QT_SCALE_FACTOR)";
        if (step.kind == session::Step::Commands)
            return "painted commands are the page's to report";
    }
    return row.scale != int(row.scale) ? "the e2e checks read whole device pixels" : nullptr;
}

} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(user.startServer(QStringLiteral(BRINMOOR_E2E_SHOTS), &error), qPrintable(error));
    }
    void cleanupTestCase() { user.stopServer(); }
    void cleanup() { user.quit(); }

    void rowShowsWhatTheCoreSays_data();
    void rowShowsWhatTheCoreSays();
    void openingScreenLooksLikeTheReadmePicture();
    void eventStormLeavesTheInitialScreenAfterReset();

private:
    DesktopUser user;
    QString error;
};

void tst_EndToEnd::rowShowsWhatTheCoreSays_data()
{
    // BRINMOOR_E2E_PART=k/n plays every n-th row from the k-th, so that CTest can run parts
    // side by side, each with its own X server.
    const QStringList part = qEnvironmentVariable("BRINMOOR_E2E_PART", "0/1").split('/');
    QTest::addColumn<const session::Row *>("row");
    for (std::size_t i = 0; i < session::rows().size(); ++i)
        if (int(i) % part.value(1).toInt() == part.value(0).toInt())
            QTest::newRow(session::rows()[i].name.c_str()) << &session::rows()[i];
}

void tst_EndToEnd::rowShowsWhatTheCoreSays()
{
    QFETCH(const session::Row *, row);
    if (!(row->players & session::Desktop))
        QSKIP(cannotPlay(*row) ? cannotPlay(*row) : "a row for the other players");
    QVERIFY2(!cannotPlay(*row), "a desktop row the desktop cannot play");
    QVERIFY2(user.launch(int(row->scale), &error), qPrintable(error));
    const QSize size(int(row->width), int(row->height));
    if (size != DesktopUser::kOpeningSize)
        user.resizeTo(size);
    // The check box's square, left of its caption, as the style draws it checked.
    QRectF indicator = support::box(board::Control::Check1);
    indicator.setWidth(16);
    const QImage checked = region(user.settledShot(), indicator, user.scale());

    support::ExpectedScreen expected(row->width, row->height, row->scale);
    const unsigned long arrows[] = {XK_Left, XK_Right, XK_Up, XK_Down};
    QPointF at;
    for (const session::Step &step : row->steps) {
        expected.play(step);
        const QPointF place(step.x, step.y);
        const int button = int(step.button) + 1; // X's left, middle and right
        switch (step.kind) {
        case session::Step::Down:
        case session::Step::Move:
        case session::Step::Up:
            if (step.kind != session::Step::Up || place != at)
                user.moveTo(at = place);
            if (step.kind == session::Step::Down)
                user.press(button);
            if (step.kind == session::Step::Up)
                user.release(button);
            break;
        case session::Step::Click:
            user.clickControl(support::box(step.control),
                QPointF(expected.core().width() - 5, expected.core().height() - 5));
            break;
        case session::Step::Key:
            user.typeKey(arrows[int(step.arrow)], step.shift, step.ctrl, step.alt, step.meta);
            break;
        case session::Step::Resize:
            user.resizeTo(QSize(int(step.x), int(step.y)));
            break;
        case session::Step::Shot: {
            QImage shot;
            const QString name = QString::fromLatin1(QTest::currentDataTag()) + " - "
                + QString::fromStdString(step.name);
            QVERIFY2(user.showsScreen(expected, QString(name).replace(' ', '-'), &error, &shot),
                qPrintable(error));
            QVERIFY2(
                (region(shot, indicator, user.scale()) == checked) == expected.core().gridChecked(),
                "the check box does not show the grid's state");
            break;
        }
        case session::Step::Commands:
            break;
        }
    }
}

void tst_EndToEnd::openingScreenLooksLikeTheReadmePicture()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
    QImage shot;
    QVERIFY2(user.showsScreen(
                 support::ExpectedScreen(900, 541), QStringLiteral("opening"), &error, &shot),
        qPrintable(error));
    // Fonts and antialiasing may differ a little from where the picture was made, nothing else.
    const QImage doc =
        QImage(BRINMOOR_SOURCE_DIR "/docs/screenshot.png").convertToFormat(QImage::Format_RGB32);
    QVERIFY2(!doc.isNull(), "docs/screenshot.png is missing or unreadable");
    QCOMPARE(doc.size(), shot.size());
    const int differing = differingPixels(shot, doc, 48);
    const double share = double(differing) / (shot.width() * shot.height());
    qInfo("docs/screenshot.png: %d pixels (%.3f %%) differ by more than 48 levels", differing,
        100 * share);
    QVERIFY2(share < 0.005, "the start-up screen no longer looks like docs/screenshot.png");
}

void tst_EndToEnd::eventStormLeavesTheInitialScreenAfterReset()
{
    QVERIFY2(user.launch(1, &error), qPrintable(error));
    const QSize opening = DesktopUser::kOpeningSize;
    const support::ExpectedScreen initial(opening.width(), opening.height());
    QImage start;
    QVERIFY2(user.showsScreen(initial, QStringLiteral("storm-start"), &error, &start),
        qPrintable(error));

    const quint32 seed = qEnvironmentVariableIsSet("BRINMOOR_E2E_SEED")
        ? quint32(qEnvironmentVariableIntValue("BRINMOOR_E2E_SEED"))
        : QRandomGenerator::global()->generate();
    qInfo("storm seed %u (set BRINMOOR_E2E_SEED to repeat it)", seed);
    QRandomGenerator random(seed);

    const QList<QSize> sizes {QSize(1, 1), QSize(1, 541), QSize(900, 1), QSize(30, 30),
        QSize(120, 90), QSize(300, 200), QSize(640, 480), opening, QSize(1280, 720),
        QSize(1900, 1180)};
    QSize current = opening;
    const auto anywhere = [&] {
        return QPoint(random.bounded(DesktopUser::kScreenSize.width()),
            random.bounded(DesktopUser::kScreenSize.height()));
    };
    const auto inWindow = [&] {
        return user.windowOrigin()
            + QPoint(random.bounded(std::max(1, current.width())),
                random.bounded(std::max(1, current.height())));
    };
    QList<QRectF> controls;
    for (int i = 0; i < board::kControlCount; ++i)
        controls << support::box(board::Control(i));

    for (int actions = 1; actions <= 5000; ++actions) {
        const int kind = random.bounded(100);
        if (kind < 30) {
            user.movePointer(random.bounded(2) ? anywhere() : inWindow());
        } else if (kind < 42) {
            user.setButton(1 + random.bounded(3), true);
        } else if (kind < 54) {
            user.setButton(1 + random.bounded(3), false); // often one that is not down
        } else if (kind < 72) {
            user.movePointer(
                user.toScreen(controls[random.bounded(int(controls.size()))].center()));
            user.setButton(1, true);
            user.setButton(1, false);
        } else if (kind < 80) {
            current = random.bounded(3) ? sizes[random.bounded(int(sizes.size()))]
                                        : QSize(1 + random.bounded(1900), 1 + random.bounded(1180));
            user.resizeWindow(current);
        } else {
            // A burst: a press and a run of moves with no pause, reaching in and out.
            user.movePointer(inWindow());
            user.setButton(1 + random.bounded(3), true);
            for (int i = random.bounded(2, 12); i > 0; --i)
                user.movePointer(random.bounded(4) ? inWindow() : anywhere());
        }
        if (random.bounded(3) == 0)
            QThread::msleep(random.bounded(1, 15));
        if (actions % 100 == 0)
            QVERIFY2(user.isAlive(),
                qPrintable(QString::asprintf("the program ended after %d actions: ", actions)
                    + user.exitDescription()));
    }
    user.save(user.settledShot(), QStringLiteral("storm-last"));
    for (int button = 1; button <= 3; ++button)
        user.setButton(button, false);
    QVERIFY2(user.isAlive(), qPrintable(user.exitDescription()));
    QCOMPARE(user.findWindow(), user.window());

    // A different size first, so that the opening size is a real resize that clears strokes.
    user.resizeTo(QSize(640, 480));
    user.resizeTo(opening);
    QCOMPARE(user.windowSize(), opening);
    user.clickControl(support::box(board::Control::Option1_0), QPointF(820, 480));
    user.clickControl(support::box(board::Control::Command1), QPointF(820, 480));
    QVERIFY2(user.showsScreen(initial, QStringLiteral("storm-end"), &error), qPrintable(error));

    // Exactly the opening screen, pixel for pixel, but for the focus and hover frames that
    // the style draws on the controls.
    QPoint first;
    const int changed =
        differingPixels(start, user.settledShot(), 0, controls, user.scale(), &first);
    QVERIFY2(changed == 0,
        qPrintable(QString::asprintf("%d pixels differ from the opening screen, first at (%d, %d)",
            changed, first.x(), first.y())));
}

QTEST_MAIN(tst_EndToEnd)
#include "tst_e2e.moc"
