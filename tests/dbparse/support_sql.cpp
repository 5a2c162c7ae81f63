#include "support_sql.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {
int serial = 0;
}

sql_file::sql_file(const QString &path)
    : name(QStringLiteral("tst_dbparse_%1").arg(++serial))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    opened = db.open();
}

sql_file::~sql_file()
{
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QList<QVariantList> sql_file::rows(const QString &sql, const QVariantList &binds) const
{
    QList<QVariantList> result;
    QSqlQuery q(QSqlDatabase::database(name, false));
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        return result;
    for (int i = 0; i < binds.size(); ++i)
        q.bindValue(i, binds[i]);
    if (!q.exec())
        return result;
    while (q.next()) {
        QVariantList row;
        for (int c = 0; c < q.record().count(); ++c)
            row.append(q.value(c));
        result.append(row);
    }
    return result;
}

QVariant sql_file::value(const QString &sql, const QVariantList &binds) const
{
    const QList<QVariantList> r = rows(sql, binds);
    return r.isEmpty() || r.first().isEmpty() ? QVariant() : r.first().first();
}

int sql_file::count(const QString &table) const
{
    const QVariant v = value(QStringLiteral("SELECT count(*) FROM %1").arg(table));
    return v.isValid() ? v.toInt() : -1;
}
