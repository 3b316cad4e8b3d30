// The session table played by Brinmoor.html in one browser engine (tst_page ENGINE, with
// chromium, firefox or webkit) through page_session.js: every shot must show what the core
// predicts, and what the page paints must be the core's own draw list. That list, and the
// desktop window's shots against the same core in tst_e2e, also keep the page's segments where
// the desktop leaves them after the same drags.
#include "expected_screen.h"

#include "scene/draw_list.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

#include <cstring>

Q_DECLARE_METATYPE(const session::Row *)

namespace {

const char *const kEngines[] = {"chromium", "firefox", "webkit"};
const char *engine = "chromium";
int played = 0; // sessions the engine played to the end

unsigned engineBit()
{
    for (int i = 0; i < 3; ++i)
        if (std::strcmp(engine, kEngines[i]) == 0)
            return session::Chromium << i;
    return 0;
}

QJsonArray toJson(const session::Step &step)
{
    using session::Step;
    const char *pointers[] = {"mouse", "pen", "touch"};
    const char *arrows[] = {"ArrowLeft", "ArrowRight", "ArrowUp", "ArrowDown"};
    const QString pointer = pointers[int(step.pointer)];
    switch (step.kind) {
    case Step::Down:
    case Step::Up:
        return {step.kind == Step::Down ? "down" : "up", pointer, step.x, step.y, int(step.button)};
    case Step::Move:
        return {"move", pointer, step.x, step.y};
    case Step::Click:
        return {"click", board::design(step.control).name};
    case Step::Key:
        return {"key", arrows[int(step.arrow)],
            QJsonObject {{"shift", step.shift}, {"ctrl", step.ctrl}, {"alt", step.alt},
                {"meta", step.meta}}};
    case Step::Resize:
        return {"resize", step.x, step.y, step.scale};
    case Step::Shot:
        return {"shot", QString::fromStdString(step.name)};
    case Step::Commands:
        return {"commands"};
    }
    return {};
}

// Where the commands the page painted differ from the core's draw list for the same screen.
// The captions' widths are the page's own (a Text box's x2 - x1), and a Text box's right edge
// is left out, since the page measured the caption and snapped the box from its own width.
QStringList commandsDiffer(support::ExpectedScreen core, const QJsonArray &painted)
{
    for (const QJsonValue &c : painted)
        if (c[0].toInt() == int(scene::DrawKind::Text))
            core.core().setLabelWidth(c[8].toInt(), float(c[3].toDouble() - c[1].toDouble()));
    std::vector<scene::DrawCommand> list;
    const board::Board &b = core.core();
    scene::buildDrawList(list, b.scene(), {0, 0, b.width(), b.height()}, core.scale());
    QStringList out;
    if (int(list.size()) != painted.size())
        out << QStringLiteral("%1 commands painted, the core lists %2")
                   .arg(painted.size())
                   .arg(list.size());
    for (int i = 0; i < std::min(int(list.size()), int(painted.size())); ++i) {
        const float *want = &list[std::size_t(i)].kind;
        for (int k = 0; k < 10; ++k) {
            const bool rightEdge = k == 3 && want[0] == float(scene::DrawKind::Text);
            if (!rightEdge && std::abs(painted[i][k].toDouble() - want[k]) > 1e-3)
                out << QStringLiteral("command %1, field %2: painted %3, the core lists %4")
                           .arg(i)
                           .arg(k)
                           .arg(painted[i][k].toDouble())
                           .arg(want[k]);
        }
    }
    return out;
}

} // namespace

class tst_Page : public QObject
{
    Q_OBJECT

private slots:
    void rowShowsWhatTheCoreSays_data();
    void rowShowsWhatTheCoreSays();
};

void tst_Page::rowShowsWhatTheCoreSays_data()
{
    QTest::addColumn<const session::Row *>("row");
    for (const session::Row &row : session::rows())
        QTest::newRow(row.name.c_str()) << &row;
}

void tst_Page::rowShowsWhatTheCoreSays()
{
    QFETCH(const session::Row *, row);
    if (!(row->players & engineBit()))
        QSKIP(qPrintable(QStringLiteral("not a row for %1").arg(engine)));
    support::ExpectedScreen expected(row->width, row->height, row->scale);
    QJsonArray steps;
    QList<std::pair<QString, support::ExpectedScreen>> shots;
    std::optional<support::ExpectedScreen> painted;
    for (const session::Step &step : row->steps) {
        expected.play(step);
        steps.append(toJson(step));
        if (step.kind == session::Step::Shot)
            shots.append({QString::fromStdString(step.name), expected});
        if (step.kind == session::Step::Commands)
            painted = expected;
    }
    const QString dir = QStringLiteral(BRINMOOR_WEB_SHOTS "/%1/%2")
                            .arg(engine, QString::fromStdString(row->name).replace(' ', '-'));
    QProcess node; // the steps in a fresh browser
    node.start("node", {BRINMOOR_PAGE_SESSION, engine, BRINMOOR_WEB_PAGE, dir});
    node.write(QJsonDocument(QJsonObject {{"width", row->width}, {"height", row->height},
                                 {"scale", row->scale}, {"steps", steps}})
                   .toJson());
    node.closeWriteChannel();
    QVERIFY2(node.waitForFinished(180000) && node.exitCode() == 0,
        qPrintable("the session failed: " + QString::fromUtf8(node.readAllStandardError())));
    const QStringList output =
        QString::fromUtf8(node.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    for (const QString &line : output)
        if (line.startsWith("SKIP "))
            QSKIP(qPrintable(line));
    ++played;
    QStringList problems;
    for (const auto &[name, screen] : shots) {
        // At a fractional ratio every device pixel becomes a block of 4 x 4, so that a
        // logical place still reads the device pixel under it.
        const int blocks = screen.scale() == std::floor(screen.scale()) ? 1 : 4;
        QImage shot(dir + '/' + name + ".png");
        shot = shot.convertToFormat(QImage::Format_RGB32).scaled(shot.size() * blocks);
        for (const QString &problem : screen.problems(shot, int(screen.scale() * blocks)))
            problems << name + ": " + problem;
    }
    if (painted) {
        QJsonArray commands;
        for (const QString &line : output)
            if (line.startsWith("{\"commands\""))
                commands = QJsonDocument::fromJson(line.toUtf8())["commands"].toArray();
        QVERIFY2(!commands.isEmpty(), "the page printed no painted commands");
        problems << commandsDiffer(*painted, commands);
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2 || (engine = argv[1], !engineBit())) {
        qWarning("usage: tst_page chromium|firefox|webkit [test function...]");
        return 2;
    }
    std::vector<char *> rest {argv[0]};
    rest.insert(rest.end(), argv + 2, argv + argc);
    tst_Page test;
    const int status = QTest::qExec(&test, int(rest.size()), rest.data());
    return status == 0 && played == 0 ? 77 : status; // 77: CTest's "skipped", when nothing played
}

#include "tst_page.moc"
