#pragma once

#include <QString>

class QWidget;

/// Keeps the geometry of a document window in its own settings group, so the
/// viewers open where the user last left them.
class doc_geometry
{
public:
    /// Restores the geometry of `window` saved in `group` (none saved: the form's
    /// size), then centres the window on its screen.
    static void restore(QWidget *window, const QString &group);
    /// Saves the geometry of `window` in `group`.
    static void save(const QWidget *window, const QString &group);
};
