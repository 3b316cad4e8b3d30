// What only the Qt window adds to the rules the session table checks on the core: partial
// repaints, touch turned into mouse events, focus and activation, a release taken by another
// window, painting a figure a million pixels wide, and client areas of no size at all. Storms
// of resizes, one-pixel and empty client areas with the figure's promises after every event are
// tst_event_fuzz's; the initial screen after a resize is the session rows'.
#include "expected_screen.h"
#include "form1_driver.h"

#include <QPainter>
#include <QPointingDevice>
#include <QScreen>
#include <QtTest>

class tst_Interaction : public QObject
{
    Q_OBJECT

private slots:
    void strokesSurviveARepaintAndAModeChangeByKeyboardClearsThem()
    {
        Form1Driver d;
        const QPointF onStroke(745, 80);
        d.click(d.memoOption());
        d.drag(QPointF(730, 80), QPointF(820, 80));
        d.window().repaint();
        QCOMPARE(d.pixelAt(onStroke), support::rgb(board::kMemoColor));
        // An arrow key on the focused option selects the other one, and that is its click.
        d.memoOption()->setFocus(Qt::TabFocusReason);
        support::sendKey(*d.memoOption(), QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QVERIFY(d.moveOption()->isChecked() && d.window().core().mode() == board::Mode::MoveA);
        QVERIFY(d.window().memo().isEmpty());
        QCOMPARE(d.pixelAt(onStroke), QColor(Qt::white));
    }

    // Whatever part of the window a change repaints shows what a whole repaint shows there:
    // segments cut with room for their width and round ends, captions and bands on the same
    // device pixels. Painted over another colour, so that nothing left out passes.
    void partOfAFrameIsThatPartOfTheWholeFrame_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<bool>("memo"); // a memo segment across the figure, else a mark at A
        for (const double ratio : {1.0, 1.25, 2.0})
            for (const bool memo : {false, true})
                QTest::addRow("%s, ratio %g", memo ? "memo" : "mark", ratio) << ratio << memo;
    }

    void partOfAFrameIsThatPartOfTheWholeFrame()
    {
        QFETCH(double, ratio);
        QFETCH(bool, memo);
        board::Board b;
        support::measureLabels(b);
        MemoLayer layer;
        const board::Changes fitted = b.setClientSize(900, 541, float(ratio));
        layer.fit(QSize(fitted.memoWidth, fitted.memoHeight), ratio);
        b.press(700, 450, board::LeftButton, board::LeftButton);
        b.move(652.5, 431.25); // A off the grid, where the thick segments meet at an angle
        board::Changes changes = b.clickControl(board::Control::Command2_0);
        if (memo) {
            b.clickControl(board::Control::Option1_1);
            b.press(300, 300, board::LeftButton, board::LeftButton);
            changes = b.move(float(b.state().xA) + 7, float(b.state().yA) - 3);
            layer.drawSegment(
                {changes.memoFrom.x, changes.memoFrom.y}, {changes.memoTo.x, changes.memoTo.y});
        }
        const scene_qt::ScenePainter painter(b.scene());
        std::vector<scene::DrawCommand> list;
        const auto paint = [&](QRgb under, const scene::Rect &area) {
            QImage image(b.pictureWidth(), b.pictureHeight(), QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(under);
            QPainter onImage(&image);
            b.frame(list, area);
            painter.paint(onImage, list, layer.image());
            return image;
        };
        const QImage whole = paint(qRgb(255, 255, 255), {0, 0, 900, 541});
        const QImage part = paint(qRgb(255, 0, 255), changes.repaint);
        const QRect area = QTransform::fromScale(ratio, ratio)
                               .mapRect(scene_qt::toQRectF(changes.repaint))
                               .toAlignedRect();
        int worst = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb p = whole.pixel(x, y), q = part.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(p) - qRed(q)),
                    std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
            }
        QVERIFY2(worst <= 4, qPrintable(QStringLiteral("%1 levels off").arg(worst)));
    }

    void dragLeavesNoTraceOfEarlierFrames()
    {
        // Moves repaint only what changed; what the screen shows must still equal a full repaint.
        Form1Driver d;
        d.click(d.placeButton());
        d.press(QPointF(700, 450));
        const QPointF path[] = {
            {600, 300}, {300, 200}, {320, 341}, {800, 100}, {150, 500}, {450, 300}};
        for (const QPointF &p : path) {
            d.move(p);
            QCoreApplication::processEvents();
        }
        d.release(path[5]);
        QCoreApplication::processEvents();
        QCOMPARE(d.window().screen()->grabWindow(d.window().winId()).toImage(), d.screen());
    }

    void oneFingerDragMovesA()
    {
        Form1Driver d;
        QPointingDevice *screen = QTest::createTouchDevice();
        const figure::FigureState start = d.state();
        QTest::touchEvent(&d.window(), screen).press(0, QPoint(700, 450));
        QTest::touchEvent(&d.window(), screen).move(0, QPoint(720, 440));
        QTest::touchEvent(&d.window(), screen).move(0, QPoint(730, 430));
        QTest::touchEvent(&d.window(), screen).release(0, QPoint(730, 430));
        QCoreApplication::processEvents();
        QCOMPARE(d.state().xA, start.xA + 30);
        QCOMPARE(d.state().yA, start.yA - 20);
        QCOMPARE(d.state().dragging, std::int16_t(0));
    }

    void leavingTheWindowEndsTheDrag_data()
    {
        QTest::addColumn<bool>("hide");
        QTest::newRow("another window takes the activation") << false;
        QTest::newRow("the window is hidden and shown again") << true;
    }

    void leavingTheWindowEndsTheDrag()
    {
        QFETCH(bool, hide);
        Form1Driver d;
        d.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d.window()));
        d.press(QPointF(700, 450));
        QCOMPARE(d.state().dragging, std::int16_t(1));
        QWidget other;
        if (hide) {
            d.window().hide();
            QCOMPARE(d.state().dragging, std::int16_t(0));
            support::showExposed(d.window());
        } else {
            other.resize(100, 100);
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
        }
        QCOMPARE(d.state().dragging, std::int16_t(0));
        const double xA = d.state().xA;
        d.move(QPointF(760, 450));
        QCOMPARE(d.state().xA, xA);
    }

    void releaseLostToAPopupThenPressOnANameMovesNothing()
    {
        Form1Driver d;
        d.press(QPointF(700, 450));
        d.move(QPointF(710, 450));
        {
            // A popup takes the pointer grab mid-drag, and the release with it.
            QWidget popup(nullptr, Qt::Popup);
            popup.resize(50, 50);
            popup.show();
            QCoreApplication::processEvents();
            d.release(QPointF(720, 450));
        }
        QCoreApplication::processEvents();
        const figure::FigureState before = d.state();
        // A press on A's name belongs to the name; moving it must not carry A anywhere.
        const QPointF onName = scene_qt::toQRectF(scene::boundsOf(d.items().Label1[0])).center();
        d.drag(onName, onName + QPointF(5, 0));
        QCOMPARE(d.state().xA, before.xA);
        QCOMPARE(d.state().yA, before.yA);
        QCOMPARE(d.state().dragging, std::int16_t(0));
    }

    void keysStepAOnlyOnTheSurfaceInMoveMode()
    {
        Form1Driver d;
        d.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d.window()));
        const auto frame = [&d] { // pixels of the left edge in the focus frame's colour
            const QImage image = d.screen();
            int count = 0;
            for (int y = 200; y < 400; ++y)
                count += Form1Driver::pixel(image, QPointF(0, y)).rgb()
                    == support::rgb(board::kFocusFrameColor);
            return count;
        };
        // Tab goes from the last control that takes the focus (点をけす is disabled) to the
        // surface.
        d.placeButton()->setFocus(Qt::TabFocusReason);
        QCOMPARE(frame(), 0);
        d.typeKey(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), &d.window());
        QVERIFY(frame() > 20);
        // What a key does to A there is the session row "arrow keys step A one pixel, or ten with
        // Shift", played on the core, the desktop and the page. A key moves A only there, and:
        const figure::FigureState start = d.state();
        d.typeKey(Qt::Key_Right);
        QCOMPARE(d.state().xA, start.xA + 1);

        // A click gives the surface the focus without the frame; no key moves A on a focused
        // option button, not even one the button leaves unused.
        d.click(d.moveOption());
        d.press(QPointF(800, 500));
        d.release(QPointF(800, 500));
        QCOMPARE(QApplication::focusWidget(), &d.window());
        QCOMPARE(frame(), 0);
        d.click(d.moveOption());
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down})
            d.typeKey(key);
        QVERIFY(d.state().xA == start.xA + 1 && d.state().yA == start.yA);
    }

    // That A then stands exactly where the pointer took it, and the figure keeps its promises, is
    // tst_event_fuzz's far drags on this window and the session row "A follows the pointer a
    // million pixels away and back".
    void farAStillShowsTheNearPart()
    {
        Form1Driver d;
        d.press(QPointF(700, 300));
        d.move(QPointF(1000700, -999700));
        // BC stays where it was; AB leaves B towards the far A and still shows, in black.
        const scene::LineItem &ab = d.items().Line2[0];
        const QPointF b(ab.X2, ab.Y2);
        const QPointF towardsA =
            QPointF(ab.X1 - ab.X2, ab.Y1 - ab.Y2) / std::hypot(ab.X1 - ab.X2, ab.Y1 - ab.Y2);
        QCOMPARE(d.pixelAt(b + towardsA * 60), support::rgb(scene::paletteColor(0)));
    }

    void emptyClientAreaKeepsTheWork_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("0 x 0") << QSize(0, 0);
        QTest::newRow("no width") << QSize(0, 541);
        QTest::newRow("no height") << QSize(900, 0);
    }

    // A minimised window may report an empty client area, and then its old size again.
    void emptyClientAreaKeepsTheWork()
    {
        QFETCH(QSize, size);
        Form1Driver d;
        d.drag(QPointF(700, 300), QPointF(720, 310));
        d.click(d.placeButton());
        d.click(d.memoOption());
        d.drag(QPointF(600, 480), QPointF(700, 470));
        const board::Board before = d.window().core();

        d.resizeTo(size.width(), size.height());
        QCOMPARE(d.window().size(), size);
        QVERIFY(d.window().grab().isNull() || d.window().grab().size().isEmpty());
        d.resizeTo(900, 541);
        // The figure and every item the painter reads, exactly as they were, and the strokes.
        QVERIFY(std::memcmp(&d.state(), &before.state(), sizeof(figure::FigureState)) == 0);
        QVERIFY(std::memcmp(&d.items(), &before.scene(), sizeof(scene::Scene)) == 0);
        QVERIFY(d.removeButton()->isEnabled());
        QVERIFY(!d.window().memo().isEmpty());
    }
};

QTEST_MAIN(tst_Interaction)
#include "tst_interaction.moc"
