#include "form1.h"

#include "face_button.h"
#include "scene/qt/scene_painter.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QStyle>

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

board::Key keyOf(int key)
{
    static const std::pair<int, board::Key> keys[] = {{Qt::Key_Left, board::Key::Left},
        {Qt::Key_Right, board::Key::Right}, {Qt::Key_Up, board::Key::Up},
        {Qt::Key_Down, board::Key::Down}, {Qt::Key_C, board::Key::C},
        {Qt::Key_Insert, board::Key::Insert}};
    for (const auto &[qt, known] : keys)
        if (key == qt)
            return known;
    return board::Key::Other;
}

unsigned modifiersOf(Qt::KeyboardModifiers held)
{
    static const std::pair<Qt::KeyboardModifier, unsigned> modifiers[] = {
        {Qt::ShiftModifier, board::Shift}, {Qt::ControlModifier, board::Ctrl},
        {Qt::AltModifier, board::Alt}, {Qt::MetaModifier, board::Meta}};
    unsigned bits = 0;
    for (const auto &[qt, bit] : modifiers)
        bits |= held & qt ? bit : 0;
    return bits;
}

// Qt numbers its mouse buttons as the board does.
unsigned buttonsOf(Qt::MouseButtons buttons)
{
    return static_cast<unsigned>(buttons.toInt());
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
    apply(board.setClientSize(float(width()), float(height()), float(devicePixelRatio())));
}

// Created in tab order, which is the order of the focus chain; the board says what each shows.
void Form1::createControls()
{
    for (int i = 0; i < board::kControlCount; ++i) {
        const board::ControlDesign &d = board::kControls[std::size_t(i)];
        QAbstractButton *button = nullptr;
        if (d.kind == board::ControlKind::PushButton)
            button = new FaceButton(
                toQColor(d.background), toQColor(board::pressedFace(d.background)), this);
        else if (d.kind == board::ControlKind::OptionButton)
            button = new WholeBoxButton<QRadioButton>(this);
        else
            button = new WholeBoxButton<QCheckBox>(this);
        button->setText(QString::fromUtf8(d.caption));
        button->setObjectName(QLatin1String(d.name));
        button->setGeometry(QRectF(d.left, d.top, d.width, d.height).toRect());
        button->setFont(scene_qt::fontFor(scene::FontRole::Control));
        if (d.kind != board::ControlKind::PushButton)
            setBackground(button, toQColor(d.background),
                d.whiteText ? QColor(Qt::white) : palette().color(QPalette::ButtonText));
        connect(button, &QAbstractButton::clicked, this,
            [this, i] { apply(board.clickControl(board::Control(i))); });
        controls[std::size_t(i)] = button;
    }
}

void Form1::apply(const board::Changes &changes)
{
    if (changes.fitMemo)
        memoLayer.fit(QSize(changes.memoWidth, changes.memoHeight), changes.memoRatio);
    if (changes.clearMemo)
        memoLayer.clear();
    if (changes.drawMemo)
        memoLayer.drawSegment(QPointF(changes.memoFrom.x, changes.memoFrom.y),
            QPointF(changes.memoTo.x, changes.memoTo.y));
    for (std::size_t i = 0; changes.controls && i < controls.size(); ++i) {
        controls[i]->setEnabled(changes.controlViews[i].enabled);
        if (controls[i]->isCheckable())
            controls[i]->setChecked(changes.controlViews[i].checked);
    }
    // Qt 6.4 cannot ask a screen reader to speak: a new description, which Qt reports, is what
    // one can follow. The window's accessible name is its caption.
    if (changes.described)
        setAccessibleDescription(QString::fromUtf8(changes.description.c_str()));
    if (changes.copyPicture)
        copyPicture();
    const QRect area = scene_qt::toQRectF(changes.repaint).toAlignedRect();
    if (changes.repaintNow)
        repaint(area);
    else if (!area.isEmpty())
        update(area);
}

// The board as a picture for a worksheet, at the screen's full resolution.
void Form1::copyPicture()
{
    QImage picture(board.pictureWidth(), board.pictureHeight(), QImage::Format_RGB32);
    picture.setDevicePixelRatio(board.ratio());
    QPainter painter(&picture);
    board.picture(drawList);
    scenePainter.paint(painter, drawList, memoLayer.image());
    painter.end();
    QGuiApplication::clipboard()->setImage(picture);
}

void Form1::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    board.frame(drawList, scene_qt::toRect(QRectF(event->rect())));
    scenePainter.paint(painter, drawList, memoLayer.image());
}

void Form1::resizeEvent(QResizeEvent *)
{
    apply(board.setClientSize(float(width()), float(height()), float(devicePixelRatio())));
}

void Form1::mousePressEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    apply(board.press(
        float(at.x()), float(at.y()), buttonsOf(event->button()), buttonsOf(event->buttons())));
}

void Form1::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    apply(board.move(float(at.x()), float(at.y())));
}

void Form1::mouseReleaseEvent(QMouseEvent *event)
{
    apply(board.release(buttonsOf(event->button()), buttonsOf(event->buttons())));
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    // Keys that a control left unused come up to the window too; only the surface's own count.
    const bool onSurface = !focusWidget() || focusWidget() == this;
    const board::Changes changes = onSurface
        ? board.key(keyOf(event->key()), modifiersOf(event->modifiers()))
        : board::Changes {};
    if (!changes.keyTaken)
        QWidget::keyPressEvent(event);
    apply(changes);
}

void Form1::focusInEvent(QFocusEvent *event)
{
    const bool byKeyboard =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    apply(board.setSurfaceFocus(true, byKeyboard));
    QWidget::focusInEvent(event);
}

void Form1::focusOutEvent(QFocusEvent *event)
{
    apply(board.setSurfaceFocus(false, false));
    QWidget::focusOutEvent(event);
}

// The release may never come when another window takes the activation or this one hides.
void Form1::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        apply(board.pointerLost());
    QWidget::changeEvent(event);
}

void Form1::hideEvent(QHideEvent *event)
{
    apply(board.pointerLost());
    QWidget::hideEvent(event);
}
