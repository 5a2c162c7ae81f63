#pragma once

#include <QStringList>

#include <functional>

class QWidget;

/// Labels, buttons, check boxes and radio buttons under the shown window `root`
/// whose laid-out size is smaller than their text needs, as "name (needed > given)",
/// tables whose row numbers are wider than their row header, column titles
/// wider than their sections, table columns narrower than their cell texts, and list
/// items that open a bracket they never close.
/// Every page of every tab widget is brought up in turn, so texts on pages not on
/// top are checked too; the current pages are restored.
QStringList cutOffTexts(QWidget *root);

/// Controls under the shown window `root` that a user cannot bring into sight: each
/// is scrolled to within its scroll areas and must then show at least part of itself
/// inside the window. Every page of every tab widget is visited, as above.
QStringList unreachableControls(QWidget *root);

/// Calls `visit` with `root` as it is and then once with each other page of each
/// tab widget under it brought to the top and laid out; the pages on top before
/// are restored.
void forEachTabPage(QWidget *root, const std::function<void()> &visit);
