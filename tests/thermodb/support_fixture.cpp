#include "support_fixture.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>
#include <QtDebug>

namespace {

const char *schema[] = {
    "CREATE TABLE INFO (id int, source varchar(20), version varchar(20), format varchar(20), "
    "time varchar(30), comment text)",
    "CREATE TABLE bdot (id int, tag int, TC double, DHa double, adh double, DHb double, bdh "
    "double, DHbdot double, bdot double, ehLogK double)",
    "CREATE TABLE elements (id int, tag int, name varchar(5), mol_wt double, basis_id int, "
    "basis_name varchar(30))",
    "CREATE TABLE solutes (id int, tag int, type varchar(10), name varchar(30), formula "
    "varchar(30), mol_wt double, DHazero double, charge int, date varchar(40), date_revised "
    "varchar(40), comment text)",
    "CREATE TABLE solids (id int, tag int, name varchar(30), formula varchar(30), mol_wt double, "
    "molar_volume double, date varchar(40), date_revised varchar(40), comment text)",
    "CREATE TABLE liquids (id int, tag int, name varchar(30), formula varchar(30), mol_wt "
    "double, molar_volume double, date varchar(40), date_revised varchar(40), comment text)",
    "CREATE TABLE gases (id int, tag int, name varchar(30), formula varchar(30), mol_wt double, "
    "molar_volume double, date varchar(40), date_revised varchar(40), comment text)",
    "CREATE TABLE reaction (id int, name varchar(30), tag int, type varchar(10), id_species int, "
    "date varchar(40), date_revised varchar(40), comment text)",
    "CREATE TABLE comp_elements (id int, name varchar(30), type varchar(10), solute_id int, "
    "element varchar(5), element_id int, stoich double, date varchar(40))",
    "CREATE TABLE rxn_stoich (id int, name varchar(30), type varchar(10), rxn_id int, solute "
    "varchar(30), solute_id int, stoich double, date varchar(40))",
    "CREATE TABLE eqk (id int, tag int, name varchar(30), type varchar(10), type_eqn "
    "varchar(20), id_reaction int, order_idx int, coeff double, quotient double, eqkLog10 "
    "double, temperature double, date varchar(40))",
    "CREATE TABLE thermodata (id int, tag int, type varchar(20), name varchar(30), id_species "
    "int, gibbsFm double, unitGFm varchar(15), enthalpyFm double, unitHFm varchar(15), "
    "entropyFm double, unitSFm varchar(15), date varchar(40), date_revised varchar(40), comment "
    "text)",
};

struct species
{
    const char *type;
    const char *name;
    QList<QPair<QString, double>> comp;
};

struct reaction
{
    const char *type;
    const char *name;
    QList<QPair<QString, double>> stoich;
};

bool insert(QSqlDatabase &db, const QString &table, const QStringList &cols,
            const QVariantList &values)
{
    QSqlQuery q(db);
    QStringList marks;
    for (int i = 0; i < cols.size(); ++i)
        marks << QStringLiteral("?");
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(table, cols.join(','), marks.join(',')));
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        qWarning() << "fixture insert failed:" << table << q.lastError().text();
        return false;
    }
    return true;
}

bool fill(QSqlDatabase &db, const fixture_options &opt)
{
    bool ok = true;
    auto skip = [&opt](const char *t) { return opt.dropTables.contains(QLatin1String(t)); };
    for (const char *create : schema) {
        const QString s = QLatin1String(create);
        const QString table = s.section(' ', 2, 2);
        if (skip(table.toLatin1().constData()) || (table == "INFO" && !opt.withInfo))
            continue;
        QString statement = s;
        if (table == "comp_elements" && !opt.compTypeColumn)
            statement.replace("type varchar(10), ", "");
        ok = ok && QSqlQuery(db).exec(statement);
    }
    if (opt.withInfo && !skip("INFO")) {
        ok = ok
            && insert(db, "INFO", {"id", "source", "version", "format", "time", "comment"},
                      {1, "fixture", "vdb.0.0.0", "DATA.COM.V8.R6", "now", "first row"});
        ok = ok
            && insert(db, "INFO", {"id", "source", "version", "format", "time", "comment"},
                      {2, "fixture", opt.version, "DATA.COM.V8.R6", "now", "last row"});
    }
    if (opt.withBdot && !skip("bdot")) {
        for (int i = 0; i < 3; ++i)
            ok = ok
                && insert(
                     db, "bdot",
                     {"id", "tag", "TC", "DHa", "adh", "DHb", "bdh", "DHbdot", "bdot", "ehLogK"},
                     {i + 1, 0, 25.0 * i, 0.5 + i, 0.1 * i, 0.3, 0.2, 0.04, 0.01, -80.0});
    }
    if (!skip("elements")) {
        const QStringList names = {"O", "H", "Fe", "C", "Co", "CO", "b", "Ca"};
        for (int i = 0; i < names.size(); ++i)
            ok = ok
                && insert(db, "elements", {"id", "tag", "name", "mol_wt", "basis_id", "basis_name"},
                          {i + 1, 0, names[i], 10.0 + i, i + 1, names[i] + "+"});
    }
    const QList<species> solutes = {
        {"basis", "H2O", {{"H", 2}, {"O", 1}}},
        {"basis", "H+", {{"H", 1}}},
        {"basis", "Fe++", {{"Fe", 1}}},
        {"basis", "HCO3-", {{"H", 1}, {"C", 1}, {"O", 3}}},
        {"basis", "O2(g)", {{"O", 2}}},
        {"aux", "Fe+++", {{"Fe", 1}}},
        {"aux", "CH3COOH", {{"C", 2}, {"H", 4}, {"O", 2}}},
        {"aqueous", "OH-", {{"O", 1}, {"H", 1}}},
        {"aqueous", "CO3--", {{"C", 1}, {"O", 3}}},
        {"aqueous", "CH4(aq)", {{"C", 1}, {"H", 4}}},
        {"aqueous", "FeOH++", {{"Fe", 1}, {"O", 1}, {"H", 1}}},
        {"aqueous", "HCN(aq)", {{"H", 1}, {"C", 1}, {"N", 1}}},
        {"aqueous", "CH3Cl(aq)", {{"C", 1}, {"H", 3}, {"Cl", 1}}},
    };
    const QList<species> solids = {
        {"solid", "Siderite", {{"Fe", 1}, {"C", 1}, {"O", 3}}},
        {"solid", "Hematite", {{"Fe", 2}, {"O", 3}}},
        {"solid", "Lone", {{"Fe", 1}}},
    };
    const QList<species> gases = {
        {"gas", "O2(g)", {{"O", 2}}},
        {"gas", "CO2(g)", {{"C", 1}, {"O", 2}}},
    };
    int id = 1, compId = 1;
    auto addSpecies = [&](const char *table, const species &s) {
        QStringList cols
            = {"id", "tag", "name", "formula", "mol_wt", "date", "date_revised", "comment"};
        QVariantList vals = {id, 0, s.name, s.name, 1.5 * id, "d", "r", "c"};
        if (QLatin1String(table) == "solutes") {
            cols << "type"
                 << "DHazero"
                 << "charge";
            vals << s.type << 4.0 << -1;
        } else {
            cols << "molar_volume";
            vals << 3.25;
        }
        ok = ok && insert(db, table, cols, vals);
        if (!skip("comp_elements"))
            for (const auto &c : s.comp) {
                QStringList cols = {"id", "name", "solute_id", "element", "element_id", "stoich"};
                QVariantList vals = {compId++, s.name, id, c.first, 0, c.second};
                if (opt.compTypeColumn) {
                    cols << "type";
                    vals << s.type;
                }
                ok = ok && insert(db, "comp_elements", cols, vals);
            }
        ++id;
    };
    if (!skip("solutes"))
        for (const species &s : solutes)
            addSpecies("solutes", s);
    if (!skip("solids"))
        for (const species &s : solids)
            addSpecies("solids", s);
    if (!skip("gases"))
        for (const species &s : gases)
            addSpecies("gases", s);

    const QList<reaction> rxns = {
        {"aqueous", "OH-", {{"OH-", -1}, {"H+", -1}, {"H2O", 1}}},
        {"aqueous", "CO3--", {{"CO3--", -1}, {"H+", -1}, {"HCO3-", 1}}},
        {"aqueous", "CH4(aq)", {{"CH4(aq)", -1}, {"O2(g)", -2}, {"HCO3-", 1}, {"H+", 1}}},
        {"aqueous", "FeOH++", {{"FeOH++", -1}, {"H+", -1}, {"Fe+++", 1}, {"H2O", 1}}},
        {"aqueous", "HCN(aq)", {{"Ghost", -1}, {"HCN(aq)", -1}, {"H+", 1}}},
        {"aqueous", "CH3Cl(aq)", {{"CH3Cl(aq)", -1}, {"O2(g)", -1}, {"HCO3-", 1}, {"H+", 1}}},
        {"aux", "Fe+++", {{"Fe+++", -1}, {"H2O", -0.5}, {"O2(g)", 0.25}, {"Fe++", 1}, {"H+", 1}}},
        {"aux", "CH3COOH", {{"CH3COOH", -1}, {"O2(g)", -2}, {"HCO3-", 2}, {"H+", 2}}},
        {"aqueous", "NoK", {{"OH-", -1}, {"H+", 1}}},
        {"solid", "Siderite", {{"Siderite", -1}, {"H+", -1}, {"Fe++", 1}, {"HCO3-", 1}}},
        {"solid", "Hematite", {{"Hematite", -1}, {"H+", -4}, {"Fe+++", 2}, {"H2O", 2}}},
        {"solid", "Siderite", {}},
        {"gas", "O2(g)", {{"O2(g)", -1}, {"O2(g)", 1}}},
        {"gas", "CO2(g)", {{"CO2(g)", -1}, {"H2O", -1}, {"H+", 1}, {"HCO3-", 1}}},
    };
    int rid = 1, sid = 1, eid = 1;
    for (const reaction &r : rxns) {
        if (!skip("reaction"))
            ok = ok
                && insert(db, "reaction", {"id", "name", "tag", "type", "id_species"},
                          {rid, r.name, 0, r.type, 0});
        if (!r.stoich.isEmpty() && !skip("rxn_stoich"))
            for (const auto &s : r.stoich)
                ok = ok
                    && insert(db, "rxn_stoich",
                              {"id", "name", "type", "rxn_id", "solute", "solute_id", "stoich"},
                              {sid++, r.name, r.type, rid, s.first, 0, s.second});
        // NoK never gets log K terms.
        if (!r.stoich.isEmpty() && opt.withEqkRows && !skip("eqk")
            && QLatin1String(r.name) != "NoK") {
            // The terms of Fe+++ are stored out of order on purpose.
            const QList<int> order
                = QLatin1String(r.name) == "Fe+++" ? QList<int> {1, 0} : QList<int> {0, 1};
            for (int k : order)
                ok = ok
                    && insert(db, "eqk",
                              {"id", "tag", "name", "type", "type_eqn", "id_reaction", "order_idx",
                               "coeff", "quotient", "eqkLog10", "temperature"},
                              {eid++, 7, r.name, r.type, "eqkLog10_polynom", rid, k,
                               k == 0 ? -1.0 * rid : 0.01 * rid, double(k), 0.0, 0.0});
        }
        ++rid;
    }
    if (!skip("thermodata")) {
        struct td
        {
            int id;
            const char *type;
            const char *name;
            double g;
        };
        const QList<td> rows = {{1, "basis", "Fe++", -1.0},     {2, "solid", "Siderite", -2.0},
                                {3, "solid", "Siderite", -3.0}, {4, "element", "H", -4.0},
                                {5, "gas", "CO2(g)", -5.0},     {6, "solid", "Nobody", -6.0}};
        for (const td &t : rows)
            ok = ok
                && insert(db, "thermodata",
                          {"id", "tag", "type", "name", "id_species", "gibbsFm", "unitGFm"},
                          {t.id, 0, t.type, t.name, t.id, t.g, "cal/mol"});
    }
    return ok;
}

} // namespace

bool writeFixtureDb(const QString &path, const fixture_options &opt)
{
    QFile::remove(path);
    const QString conn = QStringLiteral("fixture_writer");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(path);
        if (db.open()) {
            db.transaction();
            ok = fill(db, opt);
            ok = db.commit() && ok;
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(conn);
    return ok;
}
