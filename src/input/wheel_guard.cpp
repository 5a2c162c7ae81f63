#include "wheel_guard.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

namespace {

/// Set on a box the user picked since it last lost focus. Kept on the box itself,
/// so that it goes with the box.
const char pickedProperty[] = "vek7_wheelPicked";

/// True for a key that only modifies others (Shift, Ctrl, Alt, ...): pressing it
/// is not typing in the box.
bool modifierOnly(int key)
{
    return (key >= Qt::Key_Shift && key <= Qt::Key_ScrollLock) || key == Qt::Key_AltGr
        || key == Qt::Key_Super_L || key == Qt::Key_Super_R;
}

/// True for focus the user gave: a click, Tab, Backtab or a buddy's shortcut.
bool givenByUser(Qt::FocusReason reason)
{
    return reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason
        || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

bool isBox(const QObject *object)
{
    return qobject_cast<const QComboBox *>(object)
        || qobject_cast<const QAbstractSpinBox *>(object);
}

/// The box `object` belongs to: the box itself, or the line edit inside a spin box
/// or editable combo, where clicks and keys land; null for anything else.
QWidget *boxOf(QObject *object)
{
    if (!object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (isBox(widget))
        return widget;
    QWidget *parent = widget->parentWidget();
    return qobject_cast<QLineEdit *>(widget) && isBox(parent) ? parent : nullptr;
}

/// True for a table's cell widget: a box on the viewport of an item view.
bool inCell(const QWidget *box)
{
    const QWidget *port = box->parentWidget();
    const auto *view
        = port ? qobject_cast<const QAbstractItemView *>(port->parentWidget()) : nullptr;
    return view && view->viewport() == port;
}

/// QApplication gives focus to a WheelFocus widget under the wheel before any event
/// filter sees the wheel; without it, only a click or Tab gives the box focus.
void dropWheelFocus(QWidget *box)
{
    if (box->focusPolicy() == Qt::WheelFocus)
        box->setFocusPolicy(Qt::StrongFocus);
}

/// Delivers `wheel` as QApplication delivers a wheel to the widget under `box`: to
/// the box's parent, then up through the parents until one takes it, but never past
/// a window or a widget that keeps the mouse to itself. Over the box the wheel then
/// does what it does over what lies under it: a table at its end leaves it to the
/// page around the table.
void passOn(const QWidget *box, const QWheelEvent *wheel)
{
    for (QWidget *w = box->parentWidget(); w; w = w->parentWidget()) {
        // Made accepted, as every delivery is: a widget that does not want it ignores it.
        QWheelEvent passed(w->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
                           wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(),
                           wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source(),
                           wheel->pointingDevice());
        passed.setTimestamp(wheel->timestamp());
        if (QCoreApplication::sendEvent(w, &passed) && passed.isAccepted())
            return;
        if (w->isWindow() || w->testAttribute(Qt::WA_NoMousePropagation))
            return;
    }
}

} // namespace

wheel_guard::wheel_guard(QObject *app)
    : QObject(app)
{ }

void wheel_guard::guardApplication()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || app->findChild<wheel_guard *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    app->installEventFilter(new wheel_guard(app));
    // Boxes polished before the guard came never show it their Polish.
    for (QWidget *w : QApplication::allWidgets())
        if (isBox(w))
            dropWheelFocus(w);
}

bool wheel_guard::eventFilter(QObject *object, QEvent *event)
{
    // Every event of the application passes here: leave the others at once.
    switch (event->type()) {
    case QEvent::Polish:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::FocusIn:
    case QEvent::Wheel:
        break;
    default:
        return false;
    }
    QWidget *box = boxOf(object);
    if (!box)
        return false;
    switch (event->type()) {
    case QEvent::Polish:
        // A box is polished once it is made, before it is first shown.
        if (box == object)
            dropWheelFocus(box);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Also a click on a box that has focus already, which brings no FocusIn.
        box->setProperty(pickedProperty, true);
        break;
    case QEvent::KeyPress:
        if (!modifierOnly(static_cast<QKeyEvent *>(event)->key()))
            box->setProperty(pickedProperty, true);
        break;
    case QEvent::FocusIn: {
        // Back from its own list the box is as it was before the list opened; any
        // other focus is picked anew.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason)
            box->setProperty(pickedProperty, givenByUser(reason));
        break;
    }
    case QEvent::Wheel:
        if (!inCell(box) && box->property(pickedProperty).toBool() && box->hasFocus())
            break;
        passOn(box, static_cast<QWheelEvent *>(event));
        event->accept();
        return true;
    default:
        break;
    }
    return false;
}
