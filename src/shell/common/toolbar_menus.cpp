#include "toolbar_menus.h"

#include <QToolBar>
#include <QToolButton>

QMenu *toolbar_menus::add_menu(QToolBar *bar, const QString &text, QWidget *owner)
{
    auto *menu = new QMenu(text, owner);
    auto *button = new QToolButton(bar);
    button->setText(text);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(button);
    return menu;
}

void toolbar_menus::add_divider(QMenu *menu)
{
    menu->addAction(QStringLiteral("-----------------"))->setEnabled(false);
}
