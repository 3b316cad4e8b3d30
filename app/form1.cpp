#include "form1.h"

#include "face_button.h"
#include "figure/construction.h"
#include "figure/marks.h"
#include "scene/grid.h"
#include "scene/qt/fonts.h"
#include "scene/qt/scene_painter.h"

#include <QCheckBox>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>

namespace {

// Option and check boxes fill their background from the Button role, not Window.
void setBackground(QWidget *widget, QColor background, QColor text)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Button, background);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("△ＡＢＣの各辺をそれぞれ１辺とする正三角形   by Tolvane"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(kDesignWidth, kDesignHeight);
    createControls();
    load();
}

void Form1::createControls()
{
    const QFont font = scene_qt::japaneseFont(scene_qt::kControlFontPixels);

    Command1 = new FaceButton(QStringLiteral("初期画面"), QColor(255, 255, 192), this);
    Command1->setGeometry(8, 8, 89, 57);

    const QColor teal(0, 192, 192);
    Option1[0] = new QRadioButton(QStringLiteral("Ａ移動・メモクリア"), this);
    Option1[0]->setGeometry(112, 16, 145, 17);
    Option1[0]->setChecked(true);
    Option1[1] = new QRadioButton(QStringLiteral("メモ書き"), this);
    Option1[1]->setGeometry(112, 40, 81, 17);

    Check1 = new QCheckBox(QStringLiteral("方眼表示"), this);
    Check1->setGeometry(128, 72, 97, 17);
    Check1->setChecked(true);
    setBackground(Check1, Qt::white, palette().color(QPalette::ButtonText));

    const QColor markGreen(192, 255, 192);
    Command2[0] = new FaceButton(QStringLiteral("点をうつ"), markGreen, this);
    Command2[0]->setGeometry(10, 80, 85, 30);
    Command2[1] = new FaceButton(QStringLiteral("点をけす"), markGreen, this);
    Command2[1]->setGeometry(10, 128, 85, 30);

    const std::array<QWidget *, 6> tabOrder {
        Command1, Option1[0], Option1[1], Check1, Command2[0], Command2[1]};
    const std::array<const char *, 6> names {
        "Command1", "Option1_0", "Option1_1", "Check1", "Command2_0", "Command2_1"};
    for (std::size_t i = 0; i < tabOrder.size(); ++i) {
        tabOrder[i]->setFont(font);
        tabOrder[i]->setObjectName(QLatin1String(names[i]));
        if (i > 0)
            setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    for (QRadioButton *option : Option1)
        setBackground(option, teal, Qt::white);

    connect(Command1, &QPushButton::clicked, this, &Form1::ResetScreen);
    for (int i = 0; i < 2; ++i) {
        connect(Option1[i], &QRadioButton::clicked, this, &Form1::clearMemo);
        connect(Command2[i], &QPushButton::clicked, this, [this, i] { markClicked(i); });
    }
    connect(Check1, &QCheckBox::clicked, this, &Form1::toggleGrid);
}

void Form1::load()
{
    LayoutGrid();
    state.gridShown = 1;
    ResetScreen();
}

void Form1::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, Qt::white);
    memoLayer.paint(painter, area);
    scene_qt::paintScene(painter, scene, area);
}

void Form1::resizeEvent(QResizeEvent *)
{
    // Minimising may report an empty client area; the last screen then stays as it was.
    if (width() <= 0 || height() <= 0)
        return;
    memoLayer.resize(size(), devicePixelRatio());
    ResetScreen();
}

void Form1::mousePressEvent(QMouseEvent *event)
{
    // A press on a point's name belongs to the label, which does nothing with it. It still ends
    // a drag whose release went to another window's pointer grab: moves of this press reach
    // the window and must not carry A from where that lost drag stopped.
    if (scene_qt::isOnLabel(scene, event->position())) {
        state.dragging = 0;
        return;
    }
    state.dragging = 1;
    state.lastX = static_cast<float>(event->position().x());
    state.lastY = static_cast<float>(event->position().y());
}

void Form1::mouseMoveEvent(QMouseEvent *event)
{
    if (state.dragging != 1)
        return;
    const float x = static_cast<float>(event->position().x());
    const float y = static_cast<float>(event->position().y());
    if (Option1[0]->isChecked()) {
        state.xA += x - state.lastX;
        state.yA += y - state.lastY;
        const QRect before = scene_qt::figureBounds(scene);
        RebuildFigure();
        update(before | scene_qt::figureBounds(scene));
    } else {
        update(memoLayer.drawSegment(QPointF(state.lastX, state.lastY), QPointF(x, y)));
    }
    state.lastX = x;
    state.lastY = y;
}

void Form1::mouseReleaseEvent(QMouseEvent *)
{
    state.dragging = 0;
}

void Form1::changeEvent(QEvent *event)
{
    // A window that loses activation mid-drag may never see the release.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        state.dragging = 0;
    QWidget::changeEvent(event);
}

void Form1::hideEvent(QHideEvent *event)
{
    state.dragging = 0;
    QWidget::hideEvent(event);
}

void Form1::markClicked(int index)
{
    if (index == 0)
        figure::placeMark(state, scene);
    else
        figure::removeMark(state, scene);
    syncMarkButtons();
    update();
}

void Form1::clearMemo()
{
    memoLayer.clear();
    update();
}

void Form1::toggleGrid()
{
    if (state.gridShown == 0) {
        scene::setGridVisible(scene, true);
        state.gridShown = 1;
        repaint();
    } else {
        scene::setGridVisible(scene, false);
        state.gridShown = 0;
        update();
    }
}

void Form1::syncMarkButtons()
{
    Command2[0]->setEnabled(figure::canPlaceMark(state));
    Command2[1]->setEnabled(figure::canRemoveMark(state));
}

void Form1::ResetScreen()
{
    if (!figure::resetScreen(
            state, scene, static_cast<float>(width()), static_cast<float>(height())))
        return;
    Check1->setChecked(state.gridShown == 1);
    syncMarkButtons();
    update();
}

void Form1::RebuildFigure()
{
    figure::RebuildFigure(state, scene);
}

void Form1::LayoutGrid()
{
    scene::layoutGrid(scene, static_cast<float>(width()), static_cast<float>(height()));
}
