#include "support_models.h"

#include "dbdata.h"
#include "mix_calc.h"
#include "records.h"
#include "sbatch.h"
#include "sim0D.h"
#include "support_chemsys.h"
#include "support_setup.h"

#include <QFile>
#include <QJsonDocument>
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

QJsonObject mixingReference()
{
    QFile f(QStringLiteral(VEK7_REFERENCE_DIR "/phreeqc/mixing.json"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

std::unique_ptr<sbatch> referenceSourcesBatch(QString *message)
{
    const QJsonObject sources = mixingReference().value("sources").toObject();
    const QList<one_rxn *> *solids = solidRxns(message);
    if (sources.isEmpty() || !solids || !chemsys_loadDatabase(message)) {
        if (message->isEmpty())
            *message = QStringLiteral("reference mixing case not found");
        return nullptr;
    }
    chemsys_request req;
    req.elements = sources.value("J13-lite").toObject().value("totals").toObject().keys();
    req.gases << "CO2(g)";
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

    for (const QString &name : {QStringLiteral("seawater-lite"), QStringLiteral("J13-lite")}) {
        const QJsonObject src = sources.value(name).toObject();
        QMap<QString, double> totals;
        const QJsonObject t = src.value("totals").toObject();
        for (auto it = t.begin(); it != t.end(); ++it)
            totals.insert(it.key(), it.value().toDouble());
        one_water *w = chemsys_water(sd, totals, src.value("TC").toDouble(),
                                     src.value("pH").toDouble(), 0.0);
        w->name = name;
        sim0D model;
        if (model.driver(sd, w) != 0) {
            *message = name + ": " + model.listErrorMsgs()->join('\n');
            return nullptr;
        }
        w->results = model.results();
        mix_calc::complete_result(batch.get(), w, w->results);
    }
    return batch;
}
