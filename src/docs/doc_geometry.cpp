#include "doc_geometry.h"

#include "screen_info.h"

#include <QSettings>
#include <QWidget>

void doc_geometry::restore(QWidget *window, const QString &group)
{
    QSettings settings;
    settings.beginGroup(group);
    window->restoreGeometry(settings.value("geometry").toByteArray());
    settings.endGroup();
    screen_info scr;
    scr.scrPosition_center(window);
}

void doc_geometry::save(const QWidget *window, const QString &group)
{
    QSettings settings;
    settings.beginGroup(group);
    settings.setValue("geometry", window->saveGeometry());
    settings.endGroup();
}
