#include "accessible_board.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <utility>

namespace {

const char *const kText = "brinmoorAccessibleText"; // the name or description an object reads

// The surface and the notice are plain widgets with no look of their own, known to the
// accessibility factory by the text they carry.
class BoardObject : public QAccessibleWidget
{
public:
    BoardObject(QWidget *widget, QAccessible::Role role, QString name)
        : QAccessibleWidget(widget, role), name(std::move(name))
    {
    }
    QString text(QAccessible::Text t) const override
    {
        const QString text = widget()->property(kText).toString();
        if (t == QAccessible::Name)
            return name.isEmpty() ? text : name;
        if (t == QAccessible::Description)
            return name.isEmpty() ? QString() : text;
        return QAccessibleWidget::text(t);
    }

private:
    QString name;
};

QAccessibleInterface *boardObject(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !widget->property(kText).isValid())
        return nullptr;
    if (widget->objectName() == QLatin1String("surface"))
        return new BoardObject(widget, QAccessible::Canvas, QStringLiteral("図"));
    return new BoardObject(widget, QAccessible::Notification, QString());
}

} // namespace

AccessibleBoard::AccessibleBoard(QWidget *window)
    : QObject(window), window(window), surface(new QWidget(window)), notice(new QWidget(window))
{
    QAccessible::installFactory(boardObject);
    for (QWidget *w : {surface, notice}) {
        w->setProperty(kText, QString());
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        w->lower(); // under the controls
    }
    surface->setObjectName(QStringLiteral("surface"));
    notice->setObjectName(QStringLiteral("notice"));
    notice->setGeometry(0, 0, 0, 0);
    notice->hide();
    // The surface takes the focus for the window: a click on the board or Tab after the last
    // control. It leaves every key to the window, as a control does with keys it has no use for.
    surface->setFocusPolicy(Qt::StrongFocus);
    surface->setGeometry(window->rect());
    window->setFocusProxy(surface);
    surface->installEventFilter(this);
    window->installEventFilter(this);
    pending.setSingleShot(true);
    connect(&pending, &QTimer::timeout, this, [this] {
        notice->hide();
        notice->setProperty(kText, words);
        notice->show();
    });
}

void AccessibleBoard::describe(const char *text)
{
    surface->setProperty(kText, QString::fromUtf8(text));
}

void AccessibleBoard::speak(const char *text, int delayMs)
{
    words = QString::fromUtf8(text);
    pending.start(delayMs);
}

void AccessibleBoard::setEnabled(QWidget *control, bool enabled)
{
    if (!enabled && control->hasFocus()) {
        // As Qt would, the next control that takes the focus; but not past the last control
        // to the surface: then the one before.
        const QWidget *surface = control->window()->focusProxy();
        auto takes = [surface](QWidget *w) {
            return w != surface && w->isEnabled() && w->isVisible()
                && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
        };
        QWidget *to = nullptr;
        for (QWidget *w = control->nextInFocusChain(); !to && w != control && w != surface;
             w = w->nextInFocusChain())
            to = takes(w) ? w : nullptr;
        for (QWidget *w = control->previousInFocusChain(); !to && w != control;
             w = w->previousInFocusChain())
            to = takes(w) ? w : nullptr;
        if (to)
            to->setFocus(Qt::OtherFocusReason);
    }
    control->setEnabled(enabled);
}

bool AccessibleBoard::eventFilter(QObject *watched, QEvent *event)
{
    // The window draws the focus frame: it hears of the surface's focus as its own.
    if (watched == surface
        && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        QCoreApplication::sendEvent(window, event);
    else if (watched == window && event->type() == QEvent::Resize)
        surface->setGeometry(window->rect());
    return false;
}
