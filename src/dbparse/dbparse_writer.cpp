#include "dbparse_writer.h"

#include "data0_reader.h"
#include "global.h"
#include "poly_fit.h"
#include "return_codes.h"
#include "sqlite_writer.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

// Columns of each table: name and SQL type, in the order they are written.
struct column
{
    const char *name;
    const char *type;
};

struct table
{
    const char *name;
    std::initializer_list<column> columns;
};

const table tInfo {"INFO",
                   {{"id", "int"},
                    {"source", "varchar(20)"},
                    {"version", "varchar(20)"},
                    {"format", "varchar(20)"},
                    {"time", "varchar(30)"},
                    {"comment", "text"}}};
const table tBdot {"bdot",
                   {{"id", "int"},
                    {"tag", "int"},
                    {"TC", "double"},
                    {"DHa", "double"},
                    {"adh", "double"},
                    {"DHb", "double"},
                    {"bdh", "double"},
                    {"DHbdot", "double"},
                    {"bdot", "double"},
                    {"ehLogK", "double"}}};
const table tElements {"elements",
                       {{"id", "int"},
                        {"tag", "int"},
                        {"name", "varchar(5)"},
                        {"mol_wt", "double"},
                        {"basis_id", "int"},
                        {"basis_name", "varchar(30)"}}};
const table tSolutes {"solutes",
                      {{"id", "int"},
                       {"tag", "int"},
                       {"type", "varchar(10)"},
                       {"name", "varchar(30)"},
                       {"formula", "varchar(30)"},
                       {"mol_wt", "double"},
                       {"DHazero", "double"},
                       {"charge", "int"},
                       {"date", "varchar(40)"},
                       {"date_revised", "varchar(40)"},
                       {"comment", "text"}}};
#define VEK7_PHASE_COLUMNS \
    { \
        {"id", "int"}, {"tag", "int"}, {"name", "varchar(30)"}, {"formula", "varchar(30)"}, \
            {"mol_wt", "double"}, {"molar_volume", "double"}, {"date", "varchar(40)"}, \
            {"date_revised", "varchar(40)"}, \
        { \
            "comment", "text" \
        } \
    }
const table tSolids {"solids", VEK7_PHASE_COLUMNS};
const table tLiquids {"liquids", VEK7_PHASE_COLUMNS};
const table tGases {"gases", VEK7_PHASE_COLUMNS};
#undef VEK7_PHASE_COLUMNS
const table tReaction {"reaction",
                       {{"id", "int"},
                        {"name", "varchar(30)"},
                        {"tag", "int"},
                        {"type", "varchar(10)"},
                        {"id_species", "int"},
                        {"date", "varchar(40)"},
                        {"date_revised", "varchar(40)"},
                        {"comment", "text"}}};
const table tCompElements {"comp_elements",
                           {{"id", "int"},
                            {"name", "varchar(30)"},
                            {"type", "varchar(10)"},
                            {"solute_id", "int"},
                            {"element", "varchar(5)"},
                            {"element_id", "int"},
                            {"stoich", "double"},
                            {"date", "varchar(40)"}}};
const table tRxnStoich {"rxn_stoich",
                        {{"id", "int"},
                         {"name", "varchar(30)"},
                         {"type", "varchar(10)"},
                         {"rxn_id", "int"},
                         {"solute", "varchar(30)"},
                         {"solute_id", "int"},
                         {"stoich", "double"},
                         {"date", "varchar(40)"}}};
const table tEqk {"eqk",
                  {{"id", "int"},
                   {"tag", "int"},
                   {"name", "varchar(30)"},
                   {"type", "varchar(10)"},
                   {"type_eqn", "varchar(20)"},
                   {"id_reaction", "int"},
                   {"order_idx", "int"},
                   {"coeff", "double"},
                   {"quotient", "double"},
                   {"eqkLog10", "double"},
                   {"temperature", "double"},
                   {"date", "varchar(40)"}}};
const table tThermodata {"thermodata",
                         {{"id", "int"},
                          {"tag", "int"},
                          {"type", "varchar(20)"},
                          {"name", "varchar(30)"},
                          {"id_species", "int"},
                          {"gibbsFm", "double"},
                          {"unitGFm", "varchar(15)"},
                          {"enthalpyFm", "double"},
                          {"unitHFm", "varchar(15)"},
                          {"entropyFm", "double"},
                          {"unitSFm", "varchar(15)"},
                          {"date", "varchar(40)"},
                          {"date_revised", "varchar(40)"},
                          {"comment", "text"}}};

const table *const allTables[]
    = {&tInfo,  &tBdot,     &tElements,     &tSolutes,   &tSolids, &tLiquids,
       &tGases, &tReaction, &tCompElements, &tRxnStoich, &tEqk,    &tThermodata};

// Tables searched by name, row by row, when the database is loaded.
const char *const indexedTables[] = {"comp_elements", "rxn_stoich", "eqk"};

QString createStatement(const table &t)
{
    QStringList cols;
    for (const column &c : t.columns)
        cols.append(QStringLiteral("%1 %2").arg(QLatin1String(c.name), QLatin1String(c.type)));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(QLatin1String(t.name), cols.join(", "));
}

int tableKind(int kind)
{
    return kind <= d0_aqueous ? d0_aqueous : kind;
}

// Inserts the rows of one table in runs of `rowsPerRun`: while several tables are
// filled side by side, each table's pages then follow each other in the file in
// runs rather than alternating row by row. Row order is kept.
class table_insert
{
public:
    table_insert(sqlite_writer &db, const table &t)
        : db(db)
        , t(t)
    { }

    bool prepare(QString *error)
    {
        QStringList cols, marks;
        for (const column &c : t.columns) {
            cols.append(QLatin1String(c.name));
            marks.append(QStringLiteral("?"));
        }
        q = std::make_unique<sqlite_writer::statement>(
            db,
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(QLatin1String(t.name), cols.join(", "), marks.join(", ")));
        width = t.columns.size();
        if (q->isValid())
            return true;
        *error = q->errorText();
        return false;
    }

    bool add(std::initializer_list<sqlite_writer::value> values, QString *error)
    {
        pending.insert(pending.end(), values.begin(), values.end());
        return ++rows < rowsPerRun || flush(error);
    }

    bool flush(QString *error)
    {
        bool ok = true;
        for (size_t r = 0; ok && r < size_t(rows); ++r)
            ok = q->run(pending.data() + r * width, width);
        if (!ok)
            *error = q->errorText();
        pending.clear();
        rows = 0;
        return ok;
    }

private:
    static constexpr int rowsPerRun = 32;
    sqlite_writer &db;
    const table &t;
    std::unique_ptr<sqlite_writer::statement> q;
    size_t width = 0;
    std::vector<sqlite_writer::value> pending; ///< values of the rows not yet written
    int rows = 0;
};

// Fills an open, empty SQLite database in one transaction.
class table_writer
{
public:
    table_writer(sqlite_writer &db, const data0_file &data, dbparse_counts *counts,
                 QStringList *messages, const dbparse_writer::progress_fn &progress)
        : db(db)
        , data(data)
        , counts(counts)
        , messages(messages)
        , progress(progress)
    {
        stamp = QDateTime::currentDateTime().toString(Qt::TextDate);
    }

    bool run()
    {
        report(0);
        // The file is built beside the target and renamed only when complete, so the
        // rollback journal would protect nothing; the file is synced before the rename.
        // Pages of 16 KiB: the loader reads every table from start to end, and fewer,
        // larger pages cost it less per row.
        if (!exec(QStringLiteral("PRAGMA page_size = 16384"))
            || !exec(QStringLiteral("PRAGMA journal_mode = OFF"))
            || !exec(QStringLiteral("PRAGMA synchronous = OFF")))
            return false;
        for (const table *t : allTables)
            if (!exec(createStatement(*t)))
                return false;
        if (!exec(QStringLiteral("BEGIN")))
            return false;
        const bool ok = writeInfo() && writeBdot() && writeElements() && writeSpecies()
            && writeReactions() && writeIndexes();
        if (!ok) {
            db.exec(QStringLiteral("ROLLBACK"));
            return false;
        }
        if (!exec(QStringLiteral("COMMIT")))
            return false;
        report(100);
        return true;
    }

private:
    sqlite_writer &db;
    const data0_file &data;
    dbparse_counts *counts;
    QStringList *messages;
    const dbparse_writer::progress_fn &progress;
    QString stamp;
    global gl;
    QHash<QString, int> elementIds;
    QHash<QString, int> ids[d0_gas + 1]; // species id by name, per table kind
    QList<int> speciesIds; // table id of each species of `data.species`

    void report(int percent)
    {
        if (progress)
            progress(percent);
    }

    bool failed(const QString &what)
    {
        messages->append(QStringLiteral("cannot write the database: %1").arg(what));
        return false;
    }

    bool exec(const QString &sql)
    {
        if (db.exec(sql))
            return true;
        return failed(QStringLiteral("%1 (%2)").arg(db.errorText(), sql));
    }

    bool prepare(table_insert &b)
    {
        QString error;
        return b.prepare(&error) || failed(error);
    }

    bool insert(table_insert &b, std::initializer_list<sqlite_writer::value> values)
    {
        QString error;
        return b.add(values, &error) || failed(error);
    }

    bool flush(std::initializer_list<table_insert *> inserts)
    {
        QString error;
        for (table_insert *b : inserts)
            if (!b->flush(&error))
                return failed(error);
        return true;
    }

    bool writeInfo()
    {
        table_insert q(db, tInfo);
        QString comment = data.header;
        if (!data.description.isEmpty())
            comment += QStringLiteral(": ") + data.description.join(QStringLiteral("; "));
        if (!prepare(q)
            || !insert(q,
                       {1, data.source, global().version_database(), data.format, stamp, comment})
            || !flush({&q}))
            return false;
        counts->info = 1;
        return true;
    }

    bool writeBdot()
    {
        const QList<double> adh = poly_fit::interpolate(data.temperatures, data.adh);
        const QList<double> bdh = poly_fit::interpolate(data.temperatures, data.bdh);
        const QList<double> bdot = poly_fit::interpolate(data.temperatures, data.bdot);
        table_insert q(db, tBdot);
        if (!prepare(q))
            return false;
        for (int i = 0; i < data.temperatures.size(); ++i) {
            if (!insert(q,
                        {i + 1, 0, data.temperatures[i], data.adh[i], adh[i], data.bdh[i], bdh[i],
                         data.bdot[i], bdot[i], data.ehLogK[i]}))
                return false;
            ++counts->bdot;
        }
        return flush({&q});
    }

    // The basis species of an element: data0 lists the basis species in the order of the
    // elements (H2O for O, H+ for H, ...), so the species at the element's position is
    // taken when it contains the element, else the first basis species that does.
    static bool contains(const data0_species &sp, const QString &element)
    {
        for (const data0_entry &e : sp.elements)
            if (e.name == element)
                return true;
        return false;
    }

    bool writeElements()
    {
        QList<int> basis;
        for (int i = 0; i < data.species.size(); ++i)
            if (data.species[i].kind == d0_basis)
                basis.append(i);
        table_insert q(db, tElements);
        if (!prepare(q))
            return false;
        for (int i = 0; i < data.elements.size(); ++i) {
            const data0_element &e = data.elements[i];
            int b = -1;
            if (i < basis.size() && contains(data.species[basis[i]], e.name))
                b = i;
            for (int k = 0; b < 0 && k < basis.size(); ++k)
                if (contains(data.species[basis[k]], e.name))
                    b = k;
            const int basisId = b < 0 ? 0 : b + 1; // basis species are the first solutes
            const QString basisName = b < 0 ? QString() : data.species[basis[b]].name;
            if (!insert(q, {i + 1, d0_element, e.name, e.mol_wt, basisId, basisName}))
                return false;
            elementIds.insert(e.name, i + 1);
            ++counts->elements;
        }
        return flush({&q});
    }

    bool writeSpecies()
    {
        table_insert qSolute(db, tSolutes), qSolid(db, tSolids), qLiquid(db, tLiquids),
            qGas(db, tGases), qComp(db, tCompElements);
        if (!prepare(qSolute) || !prepare(qSolid) || !prepare(qLiquid) || !prepare(qGas)
            || !prepare(qComp))
            return false;
        int next[d0_gas + 1] = {};
        speciesIds.reserve(data.species.size());
        for (const data0_species &sp : data.species) {
            const int tk = tableKind(sp.kind);
            const int id = ++next[tk];
            speciesIds.append(id);
            if (!ids[tk].contains(sp.name))
                ids[tk].insert(sp.name, id);
            const QString type = gl.speciesType_toString(sp.kind);
            bool ok = false;
            switch (sp.kind) {
            case d0_basis:
            case d0_aux:
            case d0_aqueous:
                ok = insert(qSolute,
                            {id, sp.kind, type, sp.name, sp.formula, sp.mol_wt, sp.DHazero,
                             sp.charge, stamp, sp.revised, QString()});
                ++(sp.kind == d0_basis     ? counts->basis
                       : sp.kind == d0_aux ? counts->aux
                                           : counts->aqueous);
                ++counts->solutes;
                break;
            default: {
                table_insert &q = sp.kind == d0_solid ? qSolid
                    : sp.kind == d0_liquid            ? qLiquid
                                                      : qGas;
                ok = insert(q,
                            {id, sp.kind, sp.name, sp.formula, sp.mol_wt, sp.molar_volume, stamp,
                             sp.revised, QString()});
                ++(sp.kind == d0_solid        ? counts->solids
                       : sp.kind == d0_liquid ? counts->liquids
                                              : counts->gases);
            }
            }
            if (!ok)
                return false;
            for (const data0_entry &e : sp.elements) {
                if (!insert(qComp,
                            {counts->comp_elements + 1, sp.name, type, id, e.name,
                             elementIds.value(e.name), e.stoich, stamp}))
                    return false;
                ++counts->comp_elements;
            }
        }
        report(15);
        return flush({&qSolute, &qSolid, &qLiquid, &qGas, &qComp});
    }

    // Id of a species named in a reaction: the reaction's own species first, then the
    // solutes, then the other tables.
    int speciesIdOf(const QString &name) const
    {
        for (int tk : {int(d0_aqueous), int(d0_solid), int(d0_liquid), int(d0_gas)}) {
            const auto it = ids[tk].constFind(name);
            if (it != ids[tk].constEnd())
                return it.value();
        }
        return 0;
    }

    // True when the polynomial gives back every fitted point.
    // Real grids are reproduced to ~1e-10; values near the limits of a double are not, and
    // would otherwise reach the engine as infinite or wrong constants. Each point is judged
    // by its own size, so that huge values elsewhere in a grid cannot hide a wrong one.
    static bool reproduces(const QList<double> &c, const QList<double> &T, const QList<double> &y)
    {
        for (int k = 0; k < T.size(); ++k) {
            double v = c[0];
            double p = 1.0;
            for (int i = 1; i < c.size(); ++i) {
                p *= T[k];
                v = std::fma(c[i], p, v);
            }
            if (!std::isfinite(v) || std::fabs(v - y[k]) > 1e-6 * std::max(1.0, std::fabs(y[k])))
                return false;
        }
        return true;
    }

    bool writeReactions()
    {
        table_insert qRxn(db, tReaction), qStoich(db, tRxnStoich), qEqk(db, tEqk);
        if (!prepare(qRxn) || !prepare(qStoich) || !prepare(qEqk))
            return false;
        const QString eqnType = global().eqkType_toString(global::eqkLog10_polynom);
        const int total = int(data.species.size());
        for (int s = 0; s < total; ++s) {
            const data0_species &sp = data.species[s];
            if (sp.reaction.isEmpty())
                continue;
            const int rxnId = ++counts->reactions;
            const QString type = gl.speciesType_toString(sp.kind);
            if (!insert(
                    qRxn,
                    {rxnId, sp.name, sp.kind, type, speciesIds[s], stamp, sp.revised, QString()}))
                return false;
            for (int k = 0; k < sp.reaction.size(); ++k) {
                const data0_entry &e = sp.reaction[k];
                const int soluteId
                    = k == 0 && e.name == sp.name ? speciesIds[s] : speciesIdOf(e.name);
                if (!insert(qStoich,
                            {counts->rxn_stoich + 1, sp.name, type, rxnId, e.name, soluteId,
                             e.stoich, stamp}))
                    return false;
                ++counts->rxn_stoich;
            }
            QList<double> T, logK;
            for (int g = 0; g < data0_gridSize; ++g) {
                if (sp.valid[g]) {
                    T.append(data.temperatures[g]);
                    logK.append(sp.logK[g]);
                }
            }
            const QList<double> c = poly_fit::interpolate(T, logK);
            if (!reproduces(c, T, logK))
                return failed(QStringLiteral("%1, line %2: no polynomial reproduces the log K "
                                             "grid of \"%3\"")
                                  .arg(data.source, QString::number(sp.line), sp.name));
            for (int k = 0; k < c.size(); ++k) {
                if (!insert(qEqk,
                            {counts->eqk + 1, sp.kind, sp.name, type, eqnType, rxnId, k, c[k],
                             double(k), logK[k], T[k], stamp}))
                    return false;
                ++counts->eqk;
            }
            if (rxnId % 256 == 0)
                report(15 + 75 * s / total);
        }
        return flush({&qRxn, &qStoich, &qEqk});
    }

    bool writeIndexes()
    {
        for (const char *t : indexedTables)
            if (!exec(QStringLiteral("CREATE INDEX idx_%1_name ON %1 (name)").arg(t)))
                return false;
        report(95);
        return true;
    }
};

bool fillDatabase(const QString &path, const data0_file &data, dbparse_counts *counts,
                  QStringList *messages, const dbparse_writer::progress_fn &progress)
{
    sqlite_writer db(path);
    if (!db.isOpen()) {
        messages->append(
            QStringLiteral("cannot open the new database \"%1\": %2").arg(path, db.errorText()));
        return false;
    }
    return table_writer(db, data, counts, messages, progress).run();
}

// Flushes the file to the disk so that the rename never exposes an incomplete file.
bool syncFile(const QString &path, QStringList *messages)
{
    QFile f(path);
    if (f.open(QIODevice::ReadWrite) && ::fsync(f.handle()) == 0)
        return true;
    messages->append(QStringLiteral("cannot flush \"%1\" to disk: %2").arg(path, f.errorString()));
    return false;
}

} // namespace

QStringList dbparse_counts::summary() const
{
    return {
        QStringLiteral("INFO           %1").arg(info),
        QStringLiteral("bdot           %1").arg(bdot),
        QStringLiteral("elements       %1").arg(elements),
        QStringLiteral("solutes        %1 (basis %2, aux %3, aqueous %4)")
            .arg(solutes)
            .arg(basis)
            .arg(aux)
            .arg(aqueous),
        QStringLiteral("solids         %1").arg(solids),
        QStringLiteral("liquids        %1").arg(liquids),
        QStringLiteral("gases          %1").arg(gases),
        QStringLiteral("reaction       %1").arg(reactions),
        QStringLiteral("comp_elements  %1").arg(comp_elements),
        QStringLiteral("rxn_stoich     %1").arg(rxn_stoich),
        QStringLiteral("eqk            %1").arg(eqk),
        QStringLiteral("thermodata     %1").arg(thermodata),
        QStringLiteral("solid solutions skipped  %1").arg(solidSolutions),
    };
}

int dbparse_writer::write(const data0_file &data, const QString &target, dbparse_counts *counts,
                          QStringList *messages, const progress_fn &progress)
{
    QStringList scratch;
    if (!messages)
        messages = &scratch;
    const QFileInfo info(target);
    if (target.isEmpty() || info.isDir()) {
        messages->append(QStringLiteral("\"%1\" is not a file name").arg(target));
        return return_codes::failed;
    }
    if (!info.absoluteDir().exists()) {
        messages->append(
            QStringLiteral("the folder \"%1\" does not exist").arg(info.absolutePath()));
        return return_codes::failed;
    }
    QTemporaryFile tmp(info.absoluteFilePath() + QStringLiteral(".XXXXXX"));
    tmp.setAutoRemove(false);
    if (!tmp.open()) {
        messages->append(QStringLiteral("cannot create a file beside \"%1\": %2")
                             .arg(target, tmp.errorString()));
        return return_codes::failed;
    }
    const QString tmpPath = tmp.fileName();
    tmp.close();

    dbparse_counts written;
    written.solidSolutions = data.nSolidSolutions;
    bool ok
        = fillDatabase(tmpPath, data, &written, messages, progress) && syncFile(tmpPath, messages);
    if (ok) {
        // Keep the permissions of the file being replaced; a new file is readable by all.
        QFile::setPermissions(tmpPath,
                              info.exists() ? QFile::permissions(target)
                                            : QFile::ReadOwner | QFile::WriteOwner
                                      | QFile::ReadGroup | QFile::ReadOther);
        if (std::rename(QFile::encodeName(tmpPath).constData(),
                        QFile::encodeName(info.absoluteFilePath()).constData())
            != 0) {
            messages->append(QStringLiteral("cannot replace \"%1\": %2")
                                 .arg(target, QString::fromLocal8Bit(std::strerror(errno))));
            ok = false;
        }
    }
    if (!ok) {
        QFile::remove(tmpPath);
        return return_codes::failed;
    }
    if (counts)
        *counts = written;
    return return_codes::success;
}

int dbparse_convert(const QString &source, const QString &target, dbparse_counts *counts,
                    QStringList *messages, const dbparse_writer::progress_fn &progress)
{
    QStringList scratch;
    if (!messages)
        messages = &scratch;
    const QFileInfo src(source), dst(target);
    if (dst.exists() && src.exists() && src.canonicalFilePath() == dst.canonicalFilePath()) {
        messages->append(
            QStringLiteral("the target \"%1\" is the data0 source itself").arg(target));
        return return_codes::failed;
    }
    data0_file data;
    if (data0_reader().read_file(source, &data, messages) != 0)
        return return_codes::failed;
    return dbparse_writer().write(data, target, counts, messages, progress);
}
