#include "app_folder.h"

#include "dbmanager.h"

#include <QCoreApplication>

namespace {

QString &folderSet()
{
    static QString folder;
    return folder;
}

} // namespace

QString app_folder::path()
{
    return folderSet().isEmpty() ? QCoreApplication::applicationDirPath() : folderSet();
}

void app_folder::set_path(const QString &folder)
{
    folderSet() = folder;
}

void app_folder::apply(dbmanager *manager)
{
    if (manager)
        manager->set_appFolder(path());
}
