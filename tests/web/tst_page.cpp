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

Q_DECLARE_METATYPE(const session::Row *)

namespace {

const QStringList kEngines {"chromium", "firefox", "webkit"}; // as session::Player's bits
QString engine;
int played = 0; // sessions the engine played to the end

// A step as page_session.js takes it: every field it reads, under the page's own names; a click
// in the middle of its control, where the desktop user clicks too.
QJsonObject toJson(const session::Step &step)
{
    const char *kinds[] = {"down", "move", "up", "click", "key", "resize", "shot", "commands"};
    const char *pointers[] = {"mouse", "pen", "touch"};
    const char *arrows[] = {"ArrowLeft", "ArrowRight", "ArrowUp", "ArrowDown"};
    const QPointF at = step.kind == session::Step::Click ? support::box(step.control).center()
                                                         : QPointF(step.x, step.y);
    return {{"kind", kinds[step.kind]}, {"pointer", pointers[int(step.pointer)]},
        {"button", int(step.button)}, {"x", at.x()}, {"y", at.y()}, {"scale", step.scale},
        {"key", arrows[int(step.key)]}, {"Shift", step.shift}, {"Control", step.ctrl},
        {"Alt", step.alt}, {"Meta", step.meta}, {"name", QString::fromStdString(step.name)}};
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
    for (const session::Row &row : session::rows()) // those this engine plays
        if (row.players & (session::Chromium << kEngines.indexOf(engine)))
            QTest::newRow(row.name.c_str()) << &row;
}

void tst_Page::rowShowsWhatTheCoreSays()
{
    QFETCH(const session::Row *, row);
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
    const QString output = QString::fromUtf8(node.readAllStandardOutput()); // a skip or nothing
    if (output.startsWith("SKIP "))
        QSKIP(qPrintable(output.trimmed()));
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
        QFile commands(dir + "/commands.json");
        QVERIFY2(commands.open(QIODevice::ReadOnly), "the page wrote no painted commands");
        problems << support::commandsDiffer(*painted,
            QJsonDocument::fromJson(commands.readAll()).array(),
            {0, 0, painted->core().width(), painted->core().height()});
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2 || !kEngines.contains(engine = argv[1])) {
        qWarning("usage: tst_page chromium|firefox|webkit [test function...]");
        return 2;
    }
    argv[1] = argv[0]; // QTest takes the rest
    tst_Page test;
    const int status = QTest::qExec(&test, argc - 1, argv + 1);
    return status == 0 && played == 0 ? 77 : status; // 77: CTest's "skipped", when nothing played
}

#include "tst_page.moc"
