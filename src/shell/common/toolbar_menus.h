#pragma once

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QObject>
#include <QString>

class QToolBar;
class QWidget;

/// Builds the drop-down menus of a window's tool bar: each menu opens at once
/// from a tool button of the bar.
class toolbar_menus
{
public:
    /// A new menu titled `text`, owned by `owner`, behind a tool button added to `bar`.
    static QMenu *add_menu(QToolBar *bar, const QString &text, QWidget *owner);
    /// A disabled dashed line that parts the entries of `menu`.
    static void add_divider(QMenu *menu);
    /// An entry `text` of `menu` with the shortcut `keys` (none when empty) that
    /// calls `slot` of `receiver`.
    template<typename Receiver, typename Slot>
    static QAction *add_entry(QMenu *menu, const QString &text, Receiver *receiver, Slot slot,
                              const QKeySequence &keys = QKeySequence())
    {
        QAction *act = menu->addAction(text);
        act->setShortcut(keys);
        QObject::connect(act, &QAction::triggered, receiver, slot);
        return act;
    }
};
