#pragma once

// Combo boxes and spin boxes as every window uses them: they leave the mouse wheel
// to the table or page around them until the user picks them.

#include <QObject>

class QWheelEvent;
class QWidget;

/// Keeps the mouse wheel from changing a combo box or spin box the user has not
/// picked: over such a box the wheel does what it does over what lies under the
/// box, scrolling the table or page around it or nothing. The user picks a box by
/// clicking it, opening its list, reaching it with Tab or Backtab, or typing in it.
/// Focus the window gives it on opening, or the program gives it, does not pick it;
/// a box that loses focus (other than to its own list) must be picked again. A box
/// in a table cell (on the viewport of an item view) never takes the wheel.
///
/// One guard watches the whole application, so every window, including one made
/// later, follows the rule without doing anything of its own.
class wheel_guard : public QObject
{
    Q_OBJECT

public:
    /// Puts every combo box and spin box of the application, present and future,
    /// under the rule; a second call does nothing. Needs the QApplication.
    static void guardApplication();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    explicit wheel_guard(QObject *app);
};
