#include "wheel_guard.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QWheelEvent>

void wheel_guard::install(QWidget *box)
{
    if (!box || box->findChild<wheel_guard *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    // The wheel no longer gives focus: only a click or Tab does.
    box->setFocusPolicy(Qt::StrongFocus);
    box->installEventFilter(new wheel_guard(box));
}

void wheel_guard::installAll(QWidget *root)
{
    const auto inScrollArea = [root](QWidget *w) {
        for (QWidget *p = w->parentWidget(); p && p != root->parentWidget(); p = p->parentWidget())
            if (qobject_cast<QAbstractScrollArea *>(p))
                return true;
        return false;
    };
    for (QWidget *w : root->findChildren<QWidget *>())
        if ((qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w))
            && inScrollArea(w))
            install(w);
}

bool wheel_guard::eventFilter(QObject *object, QEvent *event)
{
    auto *box = qobject_cast<QWidget *>(object);
    if (event->type() != QEvent::Wheel || !box || box->hasFocus())
        return QObject::eventFilter(object, event);
    // Not picked: the wheel goes to the nearest scroll area, or nowhere.
    auto *wheel = static_cast<QWheelEvent *>(event);
    for (QWidget *p = box->parentWidget(); p; p = p->parentWidget()) {
        auto *area = qobject_cast<QAbstractScrollArea *>(p);
        if (!area)
            continue;
        QWidget *port = area->viewport();
        QWheelEvent passed(port->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
                           wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(),
                           wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source());
        QCoreApplication::sendEvent(port, &passed);
        break;
    }
    event->accept();
    return true;
}
