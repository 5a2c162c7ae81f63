#pragma once

// State of one load of a database image (private to the loader): the open
// file, the texts shared among the records, and the compositions,
// stoichiometries and log K terms read ahead table by table, grouped by name,
// until the species and reactions of those names take them.

#include "dbdata.h"
#include "list_pool.h"
#include "sqlite_reader.h"
#include "text_pool.h"

#include <QHash>
#include <QString>

#include <deque>
#include <string>
#include <vector>

struct dbdata::load_tables
{
    explicit load_tables(const QString &path)
        : file(path)
    { }
    ~load_tables()
    {
        drop(comps);
        drop(stoich);
        drop(eqks);
    }
    load_tables(const load_tables &) = delete;
    load_tables &operator=(const load_tables &) = delete;

    /// A record read ahead for the name: the first species or reaction of that
    /// name takes it, every later one a copy (each gets all rows of the name).
    template<class T>
    struct pending
    {
        T *rec = nullptr;
        bool taken = false;
    };
    /// Compositions are keyed by species name and the type text of their rows.
    struct comp_key
    {
        QString name;
        QString type;
        bool operator==(const comp_key &o) const { return name == o.name && type == o.type; }
    };
    friend size_t qHash(const comp_key &k, size_t seed = 0)
    {
        return qHashMulti(seed, k.name, k.type);
    }

    /// Frees the records of `map` that nobody took and empties it: once every
    /// species or reaction is read, the rest has no taker.
    template<class M>
    static void drop(M &map)
    {
        for (const auto &p : std::as_const(map))
            if (!p.taken)
                delete p.rec;
        M().swap(map);
    }
    /// Frees what only the species readers needed.
    void speciesRead() { drop(comps); }
    /// Frees what only the reaction readers needed; the few formation-data
    /// rows that follow share their texts among themselves only.
    void reactionsRead()
    {
        texts.clear();
        drop(stoich);
        drop(eqks);
        std::vector<rxn_type>().swap(rxnRows);
        rxnElements.clear();
        QHash<double, QString>().swap(coefficients);
    }

    /// The record of `key`: the one read ahead, a copy of it once taken, or a new empty one.
    template<class T, class K>
    static T *take(QHash<K, pending<T>> &map, const K &key)
    {
        const auto it = map.find(key);
        if (it == map.end())
            return new T;
        if (it->taken)
            return new T(*it->rec);
        it->taken = true;
        return it->rec;
    }

    sqlite_reader file;
    text_pool texts;
    list_pool<QString> rxnElements; ///< element lists of the reactions
    QHash<comp_key, pending<one_comp_elements>> comps;
    bool compByType = true; ///< comp_elements has a type column to tell species apart
    QHash<QString, pending<one_comp_solutes>> stoich;
    QHash<QString, pending<one_rxn_eqk>> eqks;
    /// One row of table reaction.
    struct rxn_row
    {
        int id;
        int tag;
        QString name, date, date_revised, comment;
    };
    /// The rows of table reaction of one type, in table order.
    struct rxn_type
    {
        std::string bytes; ///< the type text as stored, compared byte by byte as SQL does
        QString text; ///< the same as text
        std::deque<rxn_row> rows;
    };
    std::vector<rxn_type> rxnRows; ///< rows whose type is not text belong to no type
    bool rxnRowsRead = false; ///< table reaction was read
    QString rxnError; ///< why it could not be, when it could not
    QHash<double, QString> coefficients; ///< reaction coefficients as written in expressions
};
