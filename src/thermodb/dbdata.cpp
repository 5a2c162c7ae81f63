// Opening a reference database file, checking it, and loading it as a whole.
#include "dbdata.h"

#include "dbdata_load.h"
#include "return_codes.h"

#include <QAtomicInt>
#include <QDebug>
#include <QFileInfo>

#include <algorithm>

namespace {

/// Tables without which a file is not a reference database.
const QStringList requiredTables = {"elements", "solutes",       "solids",     "liquids", "gases",
                                    "reaction", "comp_elements", "rxn_stoich", "eqk"};

QString uniqueConnectionName(const char *stem)
{
    static QAtomicInt counter;
    return QStringLiteral("%1_%2").arg(QLatin1String(stem)).arg(counter.fetchAndAddRelaxed(1));
}

/// The lists that reading fills, kept so that a failed load can put them back.
struct loaded_lists
{
    QList<one_element *> elements;
    QList<one_solute *> solutes, solutesDB;
    QList<one_solid *> solids;
    QList<one_liquid *> liquids;
    QList<one_gas *> gases;
    QList<one_rxn *> rxnsAqueous, rxnsNonOrganic, rxnsSolid, rxnsLiquid, rxnsGas;
    QList<one_rxn *> rxnsAqueousDB, rxnsAuxDB, rxnsSolidDB, rxnsLiquidDB, rxnsGasDB;

    void take(const sim_data *sd)
    {
        elements = sd->elements;
        solutes = sd->solutes;
        solutesDB = sd->solutesDB;
        solids = sd->solids;
        liquids = sd->liquids;
        gases = sd->gases;
        rxnsAqueous = sd->rxnsAqueous;
        rxnsNonOrganic = sd->rxnsNonOrganic;
        rxnsSolid = sd->rxnsSolid;
        rxnsLiquid = sd->rxnsLiquid;
        rxnsGas = sd->rxnsGas;
        rxnsAqueousDB = sd->rxnsAqueousDB;
        rxnsAuxDB = sd->rxnsAuxDB;
        rxnsSolidDB = sd->rxnsSolidDB;
        rxnsLiquidDB = sd->rxnsLiquidDB;
        rxnsGasDB = sd->rxnsGasDB;
    }
    void restore(sim_data *sd) const
    {
        sd->elements = elements;
        sd->solutes = solutes;
        sd->solutesDB = solutesDB;
        sd->solids = solids;
        sd->liquids = liquids;
        sd->gases = gases;
        sd->rxnsAqueous = rxnsAqueous;
        sd->rxnsNonOrganic = rxnsNonOrganic;
        sd->rxnsSolid = rxnsSolid;
        sd->rxnsLiquid = rxnsLiquid;
        sd->rxnsGas = rxnsGas;
        sd->rxnsAqueousDB = rxnsAqueousDB;
        sd->rxnsAuxDB = rxnsAuxDB;
        sd->rxnsSolidDB = rxnsSolidDB;
        sd->rxnsLiquidDB = rxnsLiquidDB;
        sd->rxnsGasDB = rxnsGasDB;
    }
};

} // namespace

dbdata::dbdata()
    : sdata(new sim_data)
    , dbLoadName(uniqueConnectionName("vek7_dbdata"))
{
    sdata->initCode = 2;
}

dbdata::~dbdata()
{
    // The control set belongs to the batch the image was loaded for.
    sdata->ctrlset = nullptr;
    delete sdata;
}

void dbdata::add_message(const QString &text)
{
    msgs.append(text);
}

int dbdata::db_retrieve_data(sim_data *batch)
{
    msgs.clear();
    versionMismatch.clear();
    if (!batch) {
        add_message(QStringLiteral("DD : #### no configuration given to load the database for."));
        return return_codes::failed;
    }
    sdata->ctrlset = batch->ctrlset;
    db_essential_prePatch(batch->dbtype);

    if (batch->dbtype != global::eq36_96) {
        qDebug() << "DB : #### error, retrieving dataype other than 0.";
        add_message(QStringLiteral("DD : #### database type [ %1 ] cannot be loaded; only type 0 "
                                   "(%2) is supported.")
                        .arg(batch->dbtype)
                        .arg(gl.dbtype_toString(global::eq36_96)));
        db_essential_post_patch();
        return return_codes::dbTypeUnsupported;
    }

    const QString path = batch->dbref;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isFile()) {
        qDebug() << "DD : #### cannot open reference database file [ " << path << " ]";
        add_message(
            QStringLiteral("DD : #### reference database file [ %1 ] does not exist.").arg(path));
        return return_codes::dbNotOpened;
    }

    int rc = return_codes::success;
    load = std::make_unique<load_tables>(path);
    bool readable = false;
    const QStringList tables = load->file.tableNames(&readable);
    if (!readable) {
        qDebug() << "DD : #### cannot open reference database file [ " << path << " ]";
        add_message(QStringLiteral("DD : #### [ %1 ] cannot be read as an SQLite database: %2")
                        .arg(path, load->file.errorText()));
        rc = return_codes::dbNotOpened;
    } else {
        QStringList missing;
        for (const QString &t : requiredTables)
            if (!tables.contains(t))
                missing << t;
        if (!missing.isEmpty()) {
            add_message(QStringLiteral("DD : #### [ %1 ] is not a reference database: table(s) "
                                       "%2 missing.")
                            .arg(path, missing.join(QStringLiteral(", "))));
            rc = return_codes::failed;
        }
    }
    if (rc == return_codes::success) {
        qDebug() << "DD : dbref [ " << path << " ] successfully opened";
        // Every table is read once from start to end: a small page cache will do.
        load->file.exec("PRAGMA cache_size = -256");
        dbrefPath = path;
        loaded_lists before;
        before.take(sdata);
        set_activityCoefficient_EQ3v1996();
        rc = db_retrieve_fmEQ3v1996();
        if (rc == return_codes::success)
            db_organize_fmEQ3v1996();
        else
            before.restore(sdata);
        drop_name_indexes();
    }
    load.reset();
    if (rc != return_codes::success)
        return rc;

    db_essential_post_patch();
    return return_codes::success;
}

int dbdata::db_retrieve_fmEQ3v1996()
{
    verify_versionDatabase();

    // Taken over only when the whole load succeeds; otherwise the built-in record stays.
    one_bdot_properties *bdotRead = db_retrieve_bdot_EQ3v1996();

    sdata->elements = db_retrieve_elements_fmEQ3v1996();
    qDebug() << "DD : db set [ " << sdata->elements.size() << " ] number of elements.";
    read_composition_tables();
    sdata->solutes = db_retrieve_solutes_fmEQ3v1996();
    qDebug() << "DD : db set [ " << sdata->solutes.size() << " ] number of solutes.";
    sdata->solids = db_retrieve_solids_fmEQ3v1996();
    qDebug() << "DD : db set [ " << sdata->solids.size() << " ] number of solids.";
    sdata->liquids = db_retrieve_liquids_fmEQ3v1996();
    qDebug() << "DD : db set [ " << sdata->liquids.size() << " ] number of liquids";
    sdata->gases = db_retrieve_gases_fmEQ3v1996();
    qDebug() << "DD : db set [ " << sdata->gases.size() << " ] number of gases";
    build_name_indexes();
    load->speciesRead();

    sdata->rxnsAqueous = db_retrieve_rxns_fmEQ3v1996(global::aqueous);
    qDebug() << "DD : db set [ " << sdata->rxnsAqueous.size() << " ] number of aqueous reactions.";
    sdata->rxnsNonOrganic = db_retrieve_rxns_fmEQ3v1996(global::aux);
    qDebug() << "DD : db set [ " << sdata->rxnsNonOrganic.size()
             << " ] number of aqueous reactions.";
    sdata->rxnsSolid = db_retrieve_rxns_fmEQ3v1996(global::solid);
    qDebug() << "DD : db set [ " << sdata->rxnsSolid.size() << " ] number of solid reactions.";
    sdata->rxnsLiquid = db_retrieve_rxns_fmEQ3v1996(global::liquid);
    qDebug() << "DD : db set [ " << sdata->rxnsLiquid.size() << " ] number of liquid reactions.";
    sdata->rxnsGas = db_retrieve_rxns_fmEQ3v1996(global::gas);
    qDebug() << "DD : db set [ " << sdata->rxnsGas.size() << " ] number of gas reactions.";
    load->reactionsRead();
    db_retrieva_thermodata_fmEQ3v1996();
    qDebug() << "DD : db set thermodata retrieved.";

    // Stable sort of the elements by name ignoring case: names equal apart
    // from case keep their database order.
    std::stable_sort(sdata->elements.begin(), sdata->elements.end(),
                     [](const one_element *a, const one_element *b) {
                         return QString::compare(a->name, b->name, Qt::CaseInsensitive) < 0;
                     });

    sdata->solutesDB = sdata->solutes;
    sdata->rxnsAqueousDB = sdata->rxnsAqueous;
    sdata->rxnsAuxDB = sdata->rxnsNonOrganic;
    sdata->rxnsSolidDB = sdata->rxnsSolid;
    sdata->rxnsLiquidDB = sdata->rxnsLiquid;
    sdata->rxnsGasDB = sdata->rxnsGas;

    QStringList empty;
    if (sdata->elements.isEmpty())
        empty << QStringLiteral("elements");
    if (sdata->solutes.isEmpty())
        empty << QStringLiteral("solutes");
    if (sdata->rxnsAqueous.isEmpty() && sdata->rxnsNonOrganic.isEmpty()
        && sdata->rxnsSolid.isEmpty() && sdata->rxnsLiquid.isEmpty() && sdata->rxnsGas.isEmpty())
        empty << QStringLiteral("reactions");
    if (!empty.isEmpty()) {
        add_message(QStringLiteral("DD : #### the reference database holds no %1; nothing loaded.")
                        .arg(empty.join(QStringLiteral(", "))));
        delete bdotRead;
        return return_codes::failed;
    }
    if (bdotRead) {
        delete sdata->bdot;
        sdata->bdot = bdotRead;
    }
    return return_codes::success;
}

int dbdata::verify_versionDatabase()
{
    QString version;
    if (load) {
        sqlite_reader::rows q(load->file, QStringLiteral("SELECT * FROM INFO"));
        if (q.exec()) {
            const int iVersion = q.column("version");
            while (q.next())
                version = q.toText(iVersion);
        } else {
            qDebug() << "DD : #### query of INFO data returned error.";
            qDebug() << "     error message : " << q.errorText();
        }
    } else {
        qDebug() << "DD : #### query of INFO data returned error.";
        qDebug() << "     error message : "
                 << "no reference database is open";
    }
    const QString expected = gl.version_database();
    if (version != expected) {
        qDebug() << "DM:  #####  database file versions mismatch;";
        qDebug() << "     found in INFO : " << version
                 << ", current simulator version : " << expected;
        versionMismatch = QStringLiteral("Database version code %1 found in INFO table\ndoes not "
                                         "match current system version code %2.\n")
                              .arg(version, expected);
        add_message(versionMismatch);
    }
    return return_codes::success;
}
