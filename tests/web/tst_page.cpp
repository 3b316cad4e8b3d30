// Brinmoor.html in Debian's headless Chromium. Each case plays a scripted session through
// page_session.js (mouse, finger and pen through DevTools input events, clicks on the HTML
// controls, keys, viewport changes) and checks every screenshot with the desktop end-to-end
// tests' ExpectedScreen, replayed on the core's own constructions alongside the script.

#include "../e2e/expected_screen.h"
#include "../form1_driver.h"
#include "figure/construction.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

namespace {

QJsonArray path(std::initializer_list<QPointF> points)
{
    QJsonArray out;
    for (QPointF p : points)
        out.append(QJsonArray {p.x(), p.y()});
    return out;
}

// The steps for the page and, beside them, the screen each shot must show.
struct Script
{
    explicit Script(QSize size = {}, double scale = 1)
        : startSize(size), size(size), startScale(scale), scale(scale), expected(size)
    {
    }

    void step(const QJsonArray &s) { steps.append(s); }
    void pointer(const char *kind, std::initializer_list<QPointF> points)
    {
        step({kind, path(points)});
    }
    void click(const char *control) { step({"click", control}); }
    void viewport(QSize newSize, double newScale)
    {
        step({"resize", newSize.width(), newSize.height(), newScale});
        if (newSize != size)
            expected.resize(newSize);
        size = newSize;
        scale = newScale;
    }
    void shot(const QString &name)
    {
        step({"shot", name});
        shots.append({name, expected, scale});
    }

    struct Shot
    {
        QString name;
        ExpectedScreen expected;
        double scale;
    };
    QSize startSize;
    QSize size;
    double startScale;
    double scale;
    ExpectedScreen expected;
    QJsonArray steps;
    QList<Shot> shots;
};

// Plays the script in a fresh browser; the page's printed lines go to output.
QStringList play(const Script &script, const QString &name, QStringList *output = nullptr)
{
    const QString dir = QStringLiteral(BRINMOOR_WEB_SHOTS "/") + name;
    QProcess node;
    node.start(QStringLiteral("node"),
        {QStringLiteral(BRINMOOR_PAGE_SESSION), QStringLiteral(BRINMOOR_WEB_PAGE), dir});
    const QJsonObject session {{"width", script.startSize.width()},
        {"height", script.startSize.height()}, {"scale", script.startScale},
        {"steps", script.steps}};
    node.write(QJsonDocument(session).toJson());
    node.closeWriteChannel();
    if (!node.waitForFinished(90000) || node.exitStatus() != QProcess::NormalExit
        || node.exitCode() != 0)
        return {QStringLiteral("the session failed: ") + node.readAllStandardError()};
    if (output)
        *output = QString::fromUtf8(node.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    // A fractional scale is checked at a whole one: each device pixel becomes a block, so a
    // logical place still reads the device pixel under it.
    QStringList problems;
    for (const Script::Shot &s : script.shots) {
        const int blocks = s.scale == std::floor(s.scale) ? 1 : 4;
        QImage shot(dir + '/' + s.name + QStringLiteral(".png"));
        shot = shot.convertToFormat(QImage::Format_RGB32).scaled(shot.size() * blocks);
        for (const QString &problem : s.expected.problems(shot, int(s.scale * blocks)))
            problems << s.name + QStringLiteral(": ") + problem;
    }
    return problems;
}

constexpr QPointF kFarAway(820, 480);

} // namespace

Q_DECLARE_METATYPE(Script)

class tst_Page : public QObject
{
    Q_OBJECT

private slots:
    void sessionShowsWhatTheCoreSays_data();
    void sessionShowsWhatTheCoreSays();
    void desktopAndPageLeaveTheSegmentsAlike();
};

void tst_Page::sessionShowsWhatTheCoreSays_data()
{
    QTest::addColumn<Script>("script");
    const QSize opening(900, 541);
    {
        Script s(opening);
        s.shot("opening");
        QTest::newRow("opening screen at 900x541") << s;
    }
    for (const char *kind : {"mouse", "touch", "pen"}) {
        Script s(opening);
        s.pointer(kind, {kFarAway, kFarAway + QPointF(5, -2), kFarAway + QPointF(10, -5)});
        s.expected.moveA(10, -5);
        s.shot("dragged");
        QTest::newRow(qPrintable(QStringLiteral("%1 drag moves A by its displacement").arg(kind)))
            << s;
    }
    {
        // One move that makes AFED a rectangle, where the starting apexes would not.
        Script s(opening);
        const figure::FigureState start = s.expected.state();
        QPoint lit;
        for (int dy = 0; dy <= 100 && lit.isNull(); ++dy)
            for (int dx = -60; dx <= 100 && lit.isNull(); ++dx) {
                ExpectedScreen trial = s.expected;
                trial.moveA(dx, dy);
                const figure::FigureState &f = trial.state();
                if (trial.scene().Line4[0].BorderColor
                        == scene::paletteColor(figure::colour::kLightBlue)
                    && !figure::isRectangleAt(f.xA, f.yA, start.xF, start.yF, start.xD, start.yD))
                    lit = QPoint(dx, dy);
            }
        s.pointer("mouse", {QPointF(800, 100), QPointF(800, 100) + lit});
        s.expected.moveA(lit.x(), lit.y());
        s.shot("lit");
        QTest::newRow("rectangle lit in one move") << s;
    }
    {
        Script s(opening);
        s.click("Command2_0");
        s.expected.placeMark();
        s.pointer("mouse", {kFarAway, kFarAway + QPointF(60, -40)});
        s.expected.moveA(60, -40);
        s.click("Command2_0");
        s.expected.placeMark();
        s.click("Command2_0");
        s.expected.placeMark();
        s.click("Command2_1");
        s.expected.removeMark();
        s.shot("marks");
        QTest::newRow("marks placed and removed") << s;
    }
    {
        Script s(opening);
        const QPolygonF stroke({QPointF(700, 120), QPointF(760, 150), QPointF(800, 240)});
        s.click("Option1_1");
        s.pointer("mouse", {stroke[0], stroke[1], stroke[2]});
        s.expected.addStroke(stroke);
        s.click("Command1");
        s.expected.reset();
        s.shot("kept-through-reset");
        s.click("Option1_1"); // the option already selected clears too
        s.expected.clearStrokes();
        s.shot("cleared-by-option");
        s.pointer("mouse", {stroke[0], stroke[1], stroke[2]});
        s.expected.addStroke(stroke);
        s.viewport(QSize(900, 541), 2); // a new ratio alone keeps the screen and its strokes
        s.shot("kept-at-ratio-2");
        s.viewport(QSize(800, 500), 2);
        s.shot("cleared-by-resize");
        QTest::newRow("memo strokes") << s;
    }
    {
        Script s(opening);
        s.click("Check1");
        s.expected.toggleGrid();
        s.step({"key", "ArrowRight", true});
        s.step({"key", "ArrowUp", false});
        s.expected.moveA(10, -1);
        s.shot("grid-hidden-keys");
        s.click("Check1");
        s.expected.toggleGrid();
        s.shot("grid-shown");
        QTest::newRow("grid toggle and arrow keys") << s;
    }
    {
        Script s(opening);
        s.viewport(QSize(700, 450), 1);
        s.shot("resized");
        QTest::newRow("viewport resize") << s;
    }
    for (double scale : {1.25, 2.0}) {
        Script s(QSize(900, 540), scale);
        s.shot("opening");
        s.pointer("mouse", {kFarAway, kFarAway + QPointF(-30, 20)});
        s.expected.moveA(-30, 20);
        s.shot("dragged");
        QTest::newRow(qPrintable(QStringLiteral("scale %1").arg(scale))) << s;
    }
    {
        Script s(opening);
        s.pointer("mouse", {QPointF(180, 24), QPointF(300, 200), QPointF(400, 300)});
        s.shot("unmoved");
        QTest::newRow("press on a control starts no drag") << s;
    }
}

void tst_Page::sessionShowsWhatTheCoreSays()
{
    QFETCH(Script, script);
    const QString name = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-');
    const QStringList problems = play(script, name);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void tst_Page::desktopAndPageLeaveTheSegmentsAlike()
{
    Script s(QSize(900, 541));
    const QList<QList<QPointF>> drags {{kFarAway, QPointF(790, 460), QPointF(760, 430)},
        {QPointF(600, 500), QPointF(640, 470)}, {QPointF(300, 100), QPointF(250, 60)}};
    Form1Driver desktop;
    desktop.resizeTo(900, 541);
    for (const QList<QPointF> &drag : drags) {
        QJsonArray points;
        desktop.press(drag.first());
        for (QPointF p : drag) {
            points.append(QJsonArray {p.x(), p.y()});
            desktop.move(p);
        }
        desktop.release(drag.last());
        s.step({"mouse", points});
    }
    s.step({"segments"});
    QStringList output;
    const QStringList problems = play(s, QStringLiteral("parity"), &output);
    QVERIFY2(problems.isEmpty() && !output.isEmpty(), qPrintable(problems.join('\n')));
    const QJsonArray page = QJsonDocument::fromJson(output.last().toUtf8()).array();
    QCOMPARE(page.size(), 55);
    const scene::Scene &d = desktop.items();
    const scene::LineItem *lines[] = {&d.Line1[0], &d.Line1[1], &d.Line1[2], &d.Line2[0],
        &d.Line2[1], &d.Line2[2], &d.Line3[0], &d.Line3[1], &d.Line3[2], &d.Line4[0], &d.Line4[1]};
    for (int i = 0; i < 11; ++i) {
        const scene::LineItem &l = *lines[i];
        const float ends[] = {l.X1, l.Y1, l.X2, l.Y2};
        for (int k = 0; k < 4; ++k)
            QVERIFY2(std::abs(page[i * 5 + k].toDouble() - ends[k]) < 1e-3,
                qPrintable(QStringLiteral("segment %1 end %2").arg(i).arg(k)));
        QCOMPARE(page[i * 5 + 4].toInt(),
            l.BorderColor.r << 16 | l.BorderColor.g << 8 | l.BorderColor.b);
    }
}

QTEST_MAIN(tst_Page)
#include "tst_page.moc"
