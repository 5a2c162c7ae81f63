#pragma once

#include <QString>

class dbmanager;

/// The folder under which the default database files are installed ("DBSET"):
/// the program's own folder unless set otherwise. Every database manager the
/// shell makes (main window, configuration-file window, first-run dialog and
/// the temporary ones of the database checks) takes it from here, so one
/// setting moves all of them (tests point it at a scratch folder).
class app_folder
{
public:
    /// The folder in use: the one set, or the program's folder when none is set.
    static QString path();
    /// Sets the folder; an empty text returns to the program's folder.
    static void set_path(const QString &folder);
    /// Points `manager` at path(); does nothing for a null manager.
    static void apply(dbmanager *manager);
};
