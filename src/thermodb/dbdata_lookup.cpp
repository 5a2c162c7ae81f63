// Exact-name look-ups in the database image and the direct index query.
#include "dbdata.h"

#include "return_codes.h"

#include <QDebug>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace {

template<class T>
int firstExact(const QList<T *> &list, const QString &name)
{
    for (int i = 0; i < list.size(); ++i)
        if (list[i]->name == name)
            return i;
    return return_codes::lookup_absent;
}

template<class T>
void sortByName(QList<T *> &list)
{
    std::stable_sort(list.begin(), list.end(),
                     [](const T *a, const T *b) { return a->name < b->name; });
}

template<class T>
QHash<QString, int> firstIndexByName(const QList<T *> &list)
{
    QHash<QString, int> idx;
    idx.reserve(list.size());
    for (int i = 0; i < list.size(); ++i)
        if (!idx.contains(list[i]->name))
            idx.insert(list[i]->name, i);
    return idx;
}

/// Tables and integer columns that db_query_idxDB may read; names never come
/// from the caller's text directly.
const QHash<QString, QStringList> &queryableColumns()
{
    static const QHash<QString, QStringList> cols = {
        {"elements", {"id", "tag", "basis_id"}},
        {"solutes", {"id", "tag", "charge"}},
        {"solids", {"id", "tag"}},
        {"liquids", {"id", "tag"}},
        {"gases", {"id", "tag"}},
        {"reaction", {"id", "tag", "id_species"}},
        {"comp_elements", {"id", "element_id", "solute_id"}},
        {"rxn_stoich", {"id", "solute_id", "rxn_id"}},
        {"eqk", {"id", "tag", "order_idx", "id_reaction"}},
        {"thermodata", {"id", "tag", "id_species"}},
    };
    return cols;
}

} // namespace

int dbdata::find_idxDB_element(const QString &name) const
{
    return firstExact(sdata->elements, name);
}

int dbdata::find_idxDB_solute(const QString &name) const
{
    return firstExact(sdata->solutes, name);
}

int dbdata::find_idxSD_solute(const QString &name) const
{
    return firstExact(sdata->solutes, name);
}

int dbdata::find_idxDB_solute_orgCmpd(const QString &name) const
{
    return firstExact(sdata->solutesOrganic, name);
}

int dbdata::find_idxDB_solid(const QString &name) const
{
    return firstExact(sdata->solids, name);
}

int dbdata::find_idxDB_liquid(const QString &name) const
{
    return firstExact(sdata->liquids, name);
}

int dbdata::find_idxSD_liquid(const QString &name) const
{
    return firstExact(sdata->liquids, name);
}

int dbdata::find_idxDB_gas(const QString &name) const
{
    return firstExact(sdata->gases, name);
}

int dbdata::find_idxSD_gas(const QString &name) const
{
    return firstExact(sdata->gases, name);
}

int dbdata::find_idxDB_rxn(const QString &name, int type) const
{
    switch (type) {
    case global::aux:
        return firstExact(sdata->rxnsNonOrganic, name);
    case global::aqueous:
        return firstExact(sdata->rxnsAqueous, name);
    case global::solid:
        return firstExact(sdata->rxnsSolid, name);
    case global::liquid:
        return firstExact(sdata->rxnsLiquid, name);
    case global::gas:
        return firstExact(sdata->rxnsGas, name);
    default:
        qDebug() << "DD : ##### cannot find reaction [ " << name << " ], unknown type [ " << type
                 << " ]";
        return return_codes::lookup_absent;
    }
}

int dbdata::db_query_idxDB(const QString &table, const QString &column, const QString &name)
{
    const auto allowed = queryableColumns().constFind(table);
    if (allowed == queryableColumns().constEnd() || !allowed->contains(column)) {
        qDebug() << "DD : #### db_query_idxDB: column [ " << column << " ] of table [ " << table
                 << " ] cannot be queried";
        return return_codes::lookup_absent;
    }
    if (!QFileInfo(dbrefPath).isFile())
        return return_codes::lookup_absent;

    int result = return_codes::lookup_absent;
    const QString conn = dbLoadName + QStringLiteral("_query");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(dbrefPath);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            // Table and column come from the fixed list above; the name is bound.
            q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE name = ?").arg(column, table));
            q.addBindValue(name);
            if (q.exec()) {
                const int i = q.record().indexOf(column);
                while (q.next())
                    result = q.value(i).toInt();
            } else {
                qDebug() << "DD : #### db_query_idxDB result [ " << q.record() << " ]";
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
    return result;
}

void dbdata::db_sortOrder()
{
    sortByName(sdata->elements);
    sortByName(sdata->solutes);
    sortByName(sdata->solids);
    sortByName(sdata->gases);
    sortByName(sdata->rxnsAqueous);
    sortByName(sdata->rxnsNonOrganic);
    sortByName(sdata->rxnsSolid);
    sortByName(sdata->rxnsGas);
}

void dbdata::build_name_indexes()
{
    soluteIdx = firstIndexByName(sdata->solutes);
    solidIdx = firstIndexByName(sdata->solids);
    liquidIdx = firstIndexByName(sdata->liquids);
    gasIdx = firstIndexByName(sdata->gases);
    indexesBuilt = true;
}

void dbdata::drop_name_indexes()
{
    indexesBuilt = false;
    soluteIdx.clear();
    solidIdx.clear();
    liquidIdx.clear();
    gasIdx.clear();
}

int dbdata::solute_index(const QString &name) const
{
    return indexesBuilt ? soluteIdx.value(name, return_codes::lookup_absent)
                        : find_idxDB_solute(name);
}

int dbdata::solid_index(const QString &name) const
{
    return indexesBuilt ? solidIdx.value(name, return_codes::lookup_absent)
                        : find_idxDB_solid(name);
}

int dbdata::liquid_index(const QString &name) const
{
    return indexesBuilt ? liquidIdx.value(name, return_codes::lookup_absent)
                        : find_idxDB_liquid(name);
}

int dbdata::gas_index(const QString &name) const
{
    return indexesBuilt ? gasIdx.value(name, return_codes::lookup_absent) : find_idxDB_gas(name);
}
