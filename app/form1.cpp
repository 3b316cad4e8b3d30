#include "form1.h"

#include "accessible_board.h"
#include "board/description.h"
#include "board_picture.h"
#include "face_button.h"
#include "scene/qt/fonts.h"
#include "scene/qt/scene_painter.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QStyle>

#include <optional>

namespace {

using scene_qt::toQColor;

// An option or check box that takes a click anywhere in its box, not only on its mark and
// text: the box is what the user sees as the control.
template <typename Button> class WholeBoxButton : public Button
{
public:
    using Button::Button;

protected:
    bool hitButton(const QPoint &pos) const override { return this->rect().contains(pos); }
};

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

std::optional<board::Arrow> arrowOf(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return board::Arrow::Left;
    case Qt::Key_Right:
        return board::Arrow::Right;
    case Qt::Key_Up:
        return board::Arrow::Up;
    case Qt::Key_Down:
        return board::Arrow::Down;
    default:
        return std::nullopt;
    }
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QString::fromUtf8(board::kWindowCaption));
    // The design colours hold under any desktop theme: a dark one would put light captions
    // on the light faces.
    QPalette palette = style()->standardPalette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus); // the drawing surface, last in the tab order
    for (int i = 0; i < scene::kLabelCount; ++i)
        board.setLabelWidth(i, scene_qt::captionWidth(scene::labelAt(board.scene(), i)));
    resize(kDesignWidth, kDesignHeight);
    createControls();
    accessible = new AccessibleBoard(this);
    describeBoard();
}

void Form1::createControls()
{
    using board::Control;
    auto place = [this](QAbstractButton *button, Control control) {
        const board::ControlDesign &d = board::design(control);
        button->setText(QString::fromUtf8(d.caption));
        button->setObjectName(QLatin1String(d.name));
        button->setGeometry(QRectF(d.left, d.top, d.width, d.height).toRect());
        button->setFont(scene_qt::fontFor(scene::FontRole::Control));
        if (d.kind != board::ControlKind::PushButton)
            setBackground(button, toQColor(d.background),
                d.whiteText ? QColor(Qt::white) : palette().color(QPalette::ButtonText));
    };
    auto faceButton = [this, &place](Control control) {
        auto *button = new FaceButton(QString(), toQColor(board::design(control).background), this);
        place(button, control);
        return button;
    };
    // Created in tab order, which is the order of the focus chain.
    Command1 = faceButton(Control::Command1);
    for (int i = 0; i < 2; ++i) {
        Option1[i] = new WholeBoxButton<QRadioButton>(this);
        place(Option1[i], i == 0 ? Control::Option1_0 : Control::Option1_1);
    }
    Option1[0]->setChecked(board.mode() == board::Mode::MoveA);
    Check1 = new WholeBoxButton<QCheckBox>(this);
    place(Check1, Control::Check1);
    Check1->setChecked(board.gridChecked());
    Command2[0] = faceButton(Control::Command2_0);
    Command2[1] = faceButton(Control::Command2_1);
    Command2[1]->setEnabled(board.canRemoveMark());

    connect(Command1, &QPushButton::clicked, this, [this] { apply(board.clickReset()); });
    connect(Option1[0], &QRadioButton::toggled, this,
        [this](bool on) { apply(board.selectMode(on ? board::Mode::MoveA : board::Mode::Memo)); });
    for (int i = 0; i < 2; ++i) {
        connect(Option1[i], &QRadioButton::clicked, this, [this] { apply(board.clickOption()); });
        connect(Command2[i], &QPushButton::clicked, this, [this, i] { apply(board.clickMark(i)); });
    }
    connect(Check1, &QCheckBox::clicked, this, [this] { apply(board.clickGrid()); });
}

void Form1::apply(const board::Changes &changes)
{
    if (changes.clearMemo)
        memoLayer.clear(size(), devicePixelRatio());
    if (changes.drawMemo)
        memoLayer.drawSegment(QPointF(changes.memoFrom.x, changes.memoFrom.y),
            QPointF(changes.memoTo.x, changes.memoTo.y));
    if (changes.controls) {
        AccessibleBoard::setEnabled(Command2[0], board.canPlaceMark());
        AccessibleBoard::setEnabled(Command2[1], board.canRemoveMark());
        Check1->setChecked(board.gridChecked());
    }
    if (changes.described)
        describeBoard();
    if (changes.announce)
        accessible->speak(board::describe(board, board::Detail::Brief).c_str(), 300);
    if (changes.repaint.isEmpty())
        return;
    const QRect area = scene_qt::toQRectF(changes.repaint).toAlignedRect();
    if (changes.repaintNow)
        repaint(area);
    else
        update(area);
}

void Form1::describeBoard()
{
    accessible->describe(board::describe(board).c_str());
}

void Form1::copyBoard()
{
    QGuiApplication::clipboard()->setImage(
        boardPicture(board, scenePainter, memoLayer, devicePixelRatio()));
}

void Form1::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, Qt::white);
    memoLayer.paint(painter, area);
    scene::buildDrawList(drawList, board.scene(),
        {qreal(area.left()), qreal(area.top()), qreal(area.right() + 1), qreal(area.bottom() + 1)},
        devicePixelRatio());
    scenePainter.paint(painter, drawList);
    if (tabFocusFrame) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void Form1::resizeEvent(QResizeEvent *)
{
    apply(board.resize(static_cast<float>(width()), static_cast<float>(height())));
}

void Form1::mousePressEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    const bool furtherButton = event->buttons() & ~event->button();
    apply(board.press(static_cast<float>(at.x()), static_cast<float>(at.y()), furtherButton));
}

void Form1::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    apply(board.move(static_cast<float>(at.x()), static_cast<float>(at.y())));
}

void Form1::mouseReleaseEvent(QMouseEvent *)
{
    apply(board.release());
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    // Keys that a control left unused come up to the window too; only the surface's own count.
    const bool fromControl = focusWidget() && focusWidget() != focusProxy();
    const bool chord =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const std::optional<board::Arrow> arrow = arrowOf(event->key());
    if (!fromControl && event->matches(QKeySequence::Copy))
        copyBoard();
    else if (arrow && !fromControl && !chord)
        apply(board.arrowKey(*arrow, event->modifiers() & Qt::ShiftModifier));
    else
        QWidget::keyPressEvent(event);
}

void Form1::focusInEvent(QFocusEvent *event)
{
    tabFocusFrame =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    update();
    QWidget::focusInEvent(event);
}

void Form1::focusOutEvent(QFocusEvent *event)
{
    tabFocusFrame = false;
    update();
    QWidget::focusOutEvent(event);
}

void Form1::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        apply(board.release());
    QWidget::changeEvent(event);
}

void Form1::hideEvent(QHideEvent *event)
{
    apply(board.release());
    QWidget::hideEvent(event);
}
