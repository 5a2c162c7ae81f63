#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

/// A read-only SQLite file on a connection of its own, removed again on destruction.
class sql_file
{
public:
    explicit sql_file(const QString &path);
    ~sql_file();
    sql_file(const sql_file &) = delete;
    sql_file &operator=(const sql_file &) = delete;

    /// True when the file was opened.
    bool isOpen() const { return opened; }
    /// First column of the first row of `sql` with `binds` bound; invalid when no row.
    QVariant value(const QString &sql, const QVariantList &binds = {}) const;
    /// Every row of `sql`, each as the list of its columns.
    QList<QVariantList> rows(const QString &sql, const QVariantList &binds = {}) const;
    /// Number of rows of a table.
    int count(const QString &table) const;

private:
    QString name;
    bool opened = false;
};
