#pragma once

// Combo boxes and spin boxes as every window uses them: they leave the mouse wheel
// to the table or page around them until the user picks them.

#include <QObject>

class QWheelEvent;
class QWidget;

/// Keeps the mouse wheel from changing a combo box or spin box the user has not
/// picked: over such a box the wheel scrolls the table or page around it, or does
/// nothing. The user picks a box by clicking it, opening its list, reaching it with
/// Tab or Backtab, or typing in it. Focus the window gives it on opening, or the
/// program gives it, does not pick it; a box that loses focus (other than to its
/// own list) must be picked again.
class wheel_guard : public QObject
{
    Q_OBJECT

public:
    /// Where a guarded box sits.
    enum place {
        field, ///< in a form: it takes the wheel once the user picks it
        cell, ///< a table's cell widget: the wheel always scrolls the table
    };

    /// Guards `box` (a combo box or spin box) as a box of `where`; a box already
    /// guarded keeps its guard.
    static void install(QWidget *box, place where = field);
    /// Guards every combo box and spin box under `root` as a field; a table's cell
    /// widgets, made later, are installed as cells where they are made.
    static void installAll(QWidget *root);

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    wheel_guard(QWidget *box, place where);
    /// Hands `wheel` to the viewport of the nearest scroll area around the box.
    void passOn(const QWheelEvent *wheel) const;

    QWidget *box; ///< the guarded box (also the guard's parent)
    place where; ///< where the box sits
    bool picked = false; ///< the user picked the box since it last lost focus
};
