#pragma once

#include "test_ui.h"

#include <QMessageBox>
#include <QString>
#include <QWidget>

/// What a message box showed.
struct ShownBox
{
    QString title; ///< window title
    QString text; ///< main text
    int icon = 0; ///< QMessageBox::Icon
};

/// Answers the next modal message box with its default button and records it.
inline void acceptNextMessageBox(ShownBox *shown)
{
    onNextModal([shown](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box) {
            w->close();
            return;
        }
        shown->title = box->windowTitle();
        shown->text = box->text();
        shown->icon = int(box->icon());
        box->accept();
    });
}
