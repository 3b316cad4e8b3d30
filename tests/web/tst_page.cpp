// Brinmoor.html in headless Chromium: each row plays a session through page_session.js and
// checks its screenshots with the desktop end-to-end tests' ExpectedScreen, which replays
// the same actions on the core's constructions.

#include "../e2e/expected_screen.h"
#include "form1_driver.h"
#include "figure/construction.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

namespace {

constexpr QPointF kFarAway(820, 480);

// The steps for the page and, beside them, the screen each shot must show.
struct Script
{
    explicit Script(QSize size = {900, 541}, double scale = 1)
        : start {{"width", size.width()}, {"height", size.height()}, {"scale", scale}},
          scale(scale), expected(size)
    {
    }
    Script &step(const QJsonArray &s) { return steps.append(s), *this; }
    Script &drag(const char *kind, std::initializer_list<QPointF> points)
    {
        QJsonArray path;
        for (QPointF p : points)
            path.append(QJsonArray {p.x(), p.y()});
        return step({"pointer", kind, path});
    }
    Script &moveA(const char *kind, QPointF from, QPointF by)
    {
        expected.moveA(by.x(), by.y());
        return drag(kind, {from, from + by / 2, from + by});
    }
    Script &click(const char *control, void (ExpectedScreen::*effect)() = nullptr)
    {
        if (effect)
            (expected.*effect)();
        return step({"click", control});
    }
    Script &viewport(int width, int height, double newScale)
    {
        if (QSizeF(width, height) != expected.size())
            expected.resize(QSizeF(width, height));
        scale = newScale;
        return step({"resize", width, height, newScale});
    }
    Script &shot(const QString &name)
    {
        shots.append({name, expected, scale});
        return step({"shot", name});
    }

    QJsonObject start;
    double scale;
    ExpectedScreen expected;
    QJsonArray steps;
    QList<std::tuple<QString, ExpectedScreen, double>> shots;
};

// Plays the script in a fresh browser; the page's printed lines go to output.
QStringList play(const Script &script, const QString &name, QStringList *output = nullptr)
{
    const QString dir = QStringLiteral(BRINMOOR_WEB_SHOTS "/") + name;
    QProcess node;
    node.start("node", {BRINMOOR_PAGE_SESSION, "chromium", BRINMOOR_WEB_PAGE, dir});
    QJsonObject session = script.start;
    session.insert("steps", script.steps);
    node.write(QJsonDocument(session).toJson());
    node.closeWriteChannel();
    if (!node.waitForFinished(90000) || node.exitCode() != 0)
        return {"the session failed: " + QString::fromUtf8(node.readAllStandardError())};
    if (output)
        *output = QString::fromUtf8(node.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QStringList problems;
    for (const auto &[shotName, expected, scale] : script.shots) {
        // At a fractional ratio every device pixel becomes a block of 4 x 4, so that a
        // logical place still reads the device pixel under it.
        const int blocks = scale == std::floor(scale) ? 1 : 4;
        QImage shot(dir + '/' + shotName + ".png");
        shot = shot.convertToFormat(QImage::Format_RGB32).scaled(shot.size() * blocks);
        for (const QString &problem : expected.problems(shot, int(scale * blocks)))
            problems << shotName + ": " + problem;
    }
    return problems;
}

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
    QTest::newRow("opening screen at 900x541") << Script().shot("opening");
    for (const char *kind : {"mouse", "touch", "pen"})
        QTest::newRow(qPrintable(QStringLiteral("%1 drag moves A").arg(kind)))
            << Script().moveA(kind, kFarAway, {10, -5}).shot("dragged");
    Script lit; // one move that makes AFED a rectangle
    const scene::Rgb fe =
        lit.moveA("mouse", {800, 100}, {38, 54}).expected.scene().Line4[0].BorderColor;
    QVERIFY(fe == scene::paletteColor(figure::colour::kLightBlue));
    QTest::newRow("rectangle lit in one move") << lit.shot("lit");
    QTest::newRow("marks") << Script()
                                  .click("Command2_0", &ExpectedScreen::placeMark)
                                  .moveA("mouse", kFarAway, {60, -40})
                                  .click("Command2_0", &ExpectedScreen::placeMark)
                                  .click("Command2_0", &ExpectedScreen::placeMark)
                                  .click("Command2_1", &ExpectedScreen::removeMark)
                                  .shot("marks");
    const QPolygonF stroke({QPointF(700, 120), QPointF(760, 150), QPointF(800, 240)});
    Script memo;
    memo.click("Option1_1").drag("mouse", {stroke[0], stroke[1], stroke[2]});
    memo.expected.addStroke(stroke);
    memo.click("Command1", &ExpectedScreen::reset).shot("kept-through-reset");
    // The option already selected clears too.
    memo.click("Option1_1", &ExpectedScreen::clearStrokes).shot("cleared-by-option");
    memo.drag("mouse", {stroke[0], stroke[1], stroke[2]});
    memo.expected.addStroke(stroke);
    memo.viewport(900, 541, 2).shot("kept-at-ratio-2"); // a new ratio alone changes nothing
    QTest::newRow("memo strokes, viewport resize")
        << memo.viewport(800, 500, 2).shot("cleared-by-resize");
    Script keys;
    keys.click("Check1", &ExpectedScreen::toggleGrid).step({"key", "ArrowRight", true});
    keys.step({"key", "ArrowUp", false}).expected.moveA(10, -1);
    QTest::newRow("grid box and arrow keys")
        << keys.shot("keys").click("Check1", &ExpectedScreen::toggleGrid).shot("grid");
    for (double scale : {1.25, 2.0})
        QTest::newRow(qPrintable(QStringLiteral("scale %1").arg(scale)))
            << Script({900, 540}, scale)
                   .shot("opening")
                   .moveA("mouse", kFarAway, {-30, 20})
                   .shot("dragged");
    QTest::newRow("press on a control starts no drag")
        << Script().drag("mouse", {{180, 24}, {300, 200}, {400, 300}}).shot("unmoved");
}

void tst_Page::sessionShowsWhatTheCoreSays()
{
    QFETCH(Script, script);
    const QStringList problems =
        play(script, QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-'));
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void tst_Page::desktopAndPageLeaveTheSegmentsAlike()
{
    Script page;
    Form1Driver desktop;
    desktop.resizeTo(900, 541);
    for (auto [from, to] : {std::pair {kFarAway, QPointF(760, 430)}, {{600, 500}, {640, 470}},
             {{300, 100}, {250, 60}}}) {
        desktop.drag(from, to, 2);
        page.drag("mouse", {from, (from + to) / 2, to});
    }
    QStringList output;
    const QStringList problems = play(page.step({"segments"}), "parity", &output);
    QVERIFY2(problems.isEmpty() && !output.isEmpty(), qPrintable(problems.join('\n')));
    const QJsonArray ends = QJsonDocument::fromJson(output.last().toUtf8()).array();
    QCOMPARE(ends.size(), 55);
    const scene::Scene &d = desktop.items();
    int i = 0;
    auto compare = [&](const auto &lines) {
        for (const scene::LineItem &l : lines) {
            const scene::Rgb c = l.BorderColor;
            for (double value : {l.X1, l.Y1, l.X2, l.Y2, float(c.r << 16 | c.g << 8 | c.b)})
                QVERIFY2(
                    std::abs(ends[i++].toDouble() - value) < 1e-3, qPrintable(QString::number(i)));
        }
    };
    compare(d.Line1), compare(d.Line2), compare(d.Line3), compare(d.Line4);
}

QTEST_MAIN(tst_Page)
#include "tst_page.moc"
