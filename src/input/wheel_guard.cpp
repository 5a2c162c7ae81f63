#include "wheel_guard.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

namespace {

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

} // namespace

wheel_guard::wheel_guard(QWidget *box, place where)
    : QObject(box)
    , box(box)
    , where(where)
{ }

void wheel_guard::install(QWidget *box, place where)
{
    if (!box || box->findChild<wheel_guard *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    // The wheel no longer gives focus: only a click or Tab does.
    box->setFocusPolicy(Qt::StrongFocus);
    auto *guard = new wheel_guard(box, where);
    box->installEventFilter(guard);
    // A click into the text of a spin box or editable combo lands on its line edit.
    for (QLineEdit *edit : box->findChildren<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly))
        edit->installEventFilter(guard);
}

void wheel_guard::installAll(QWidget *root)
{
    for (QWidget *w : root->findChildren<QWidget *>())
        if (qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w))
            install(w);
}

bool wheel_guard::eventFilter(QObject *object, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Also a click on a box that has focus already, which brings no FocusIn.
        picked = true;
        break;
    case QEvent::KeyPress:
        picked = picked || !modifierOnly(static_cast<QKeyEvent *>(event)->key());
        break;
    case QEvent::FocusIn: {
        // Back from its own list the box is as it was before the list opened; any
        // other focus is picked anew.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason)
            picked = givenByUser(reason);
        break;
    }
    case QEvent::Wheel:
        if (where == field && picked && box->hasFocus())
            break;
        passOn(static_cast<QWheelEvent *>(event));
        event->accept();
        return true;
    default:
        break;
    }
    return QObject::eventFilter(object, event);
}

void wheel_guard::passOn(const QWheelEvent *wheel) const
{
    for (QWidget *p = box->parentWidget(); p; p = p->parentWidget()) {
        auto *area = qobject_cast<QAbstractScrollArea *>(p);
        if (!area)
            continue;
        QWidget *port = area->viewport();
        QWheelEvent passed(port->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
                           wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(),
                           wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source());
        QCoreApplication::sendEvent(port, &passed);
        return;
    }
}
