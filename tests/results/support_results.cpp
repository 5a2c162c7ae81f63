#include "support_results.h"

#include "dbdata.h"
#include "records.h"
#include "sbatch.h"
#include "sim0D.h"
#include "support_chemsys.h"
#include "support_setup.h"

#include <QSet>

namespace {

/// The database's working solid reactions (no redox, no organics), loaded once.
const QList<one_rxn *> *solidRxns(QString *message)
{
    static one_ctrlset ctrl; // outlives the image, which links it
    static std::unique_ptr<dbdata> db;
    if (!db) {
        auto image = std::make_unique<dbdata>();
        sim_data batch;
        batch.dbref = setupTestDb();
        ctrl.dbaccess = true;
        batch.ctrlset = &ctrl;
        const bool ok = image->db_retrieve_data(&batch) == 0 && image->db_manage_data(&batch) == 0;
        batch.ctrlset = nullptr;
        if (!ok) {
            *message = image->messages().join('\n');
            return nullptr;
        }
        db = std::move(image);
    }
    return &db->sdata->rxnsSolid;
}

} // namespace

std::unique_ptr<sbatch> seawaterBatch(double TC, QString *message)
{
    const QList<one_rxn *> *solids = solidRxns(message);
    if (!solids || !chemsys_loadDatabase(message))
        return nullptr;
    const QMap<QString, double> totals {{"Ca", 0.0102874}, {"Cl", 0.545882},  {"C", 0.002022},
                                        {"K", 0.0102076},  {"Mg", 0.0531496}, {"Na", 0.468382},
                                        {"S", 0.0282313}};
    chemsys_request req;
    req.elements = totals.keys();
    req.gases << "CO2(g)";
    req.TC = TC;
    auto batch = std::make_unique<sbatch>();
    delete batch->sdata;
    batch->sdata = chemsys_build(req);
    sim_data *sd = batch->sdata;

    QSet<QString> species {sd->nameH2O};
    for (const one_solute *s : std::as_const(sd->solutes))
        species.insert(s->name);
    for (one_rxn *r : *solids) {
        bool covered = r->composition != nullptr;
        for (int k = 0; covered && k < r->composition->solute.size(); ++k)
            covered = r->composition->solute.at(k) == r->name
                || species.contains(r->composition->solute.at(k));
        if (covered)
            sd->rxnsSolid << r;
    }
    sd->nrxnsSolid = int(sd->rxnsSolid.size());

    one_water *w = chemsys_water(sd, totals, TC, 8.22, 0.0);
    w->name = QStringLiteral("seawater");
    w->densitymass = 1.02336; // the reference's, g/cm3
    sim0D model;
    if (model.driver(sd, w) != 0) {
        *message = model.listErrorMsgs()->join('\n');
        return nullptr;
    }
    w->results = model.results();
    for (const one_rxn *r : std::as_const(sd->rxnsSolid)) {
        auto *entry = new one_waterResult_rxn;
        entry->name = r->name;
        w->results->solids << entry;
    }
    return batch;
}
