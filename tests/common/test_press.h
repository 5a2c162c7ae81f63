#pragma once

#include <QModelIndex>

class QAbstractButton;
class QAbstractItemView;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

/// Clicks a check box or radio button on its indicator, where a user aims, so the
/// click lands on the control whatever the font makes of the text beside it.
void pressIndicator(QAbstractButton *button);

/// Clicks the check mark of the item at `index` in `view`, scrolling it into
/// sight first.
void pressItemCheck(QAbstractItemView *view, const QModelIndex &index);

/// Clicks the check mark in `column` of a tree widget's `item`.
void pressItemCheck(QTreeWidget *tree, QTreeWidgetItem *item, int column);

/// Turns the wheel by three notches over the middle of `box`: a combo towards the
/// end of its list farther from its current item, anything else up. The wheel comes
/// as from the windowing system, where QApplication first gives focus to a widget
/// that takes focus from the wheel: to `box` or, given `under`, to that widget at
/// the same point, as to what lies under the box.
void turnWheel(QWidget *box, QWidget *under = nullptr);
