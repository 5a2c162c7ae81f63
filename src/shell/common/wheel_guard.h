#pragma once

// Combo boxes and spin boxes as every window uses them: they leave the mouse wheel
// to the table or page around them until the user picks them.

#include <QObject>

class QWidget;

/// Keeps the mouse wheel from changing combo boxes and spin boxes the user has
/// not picked: over such a widget without focus the wheel scrolls the table or
/// page around it. A click or Tab gives the widget focus, and the wheel then works
/// on it as usual.
class wheel_guard : public QObject
{
    Q_OBJECT

public:
    /// Guards `box` (a combo box or spin box).
    static void install(QWidget *box);
    /// Guards every combo box and spin box under `root` that lies in a scroll area.
    static void installAll(QWidget *root);

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    using QObject::QObject;
};
