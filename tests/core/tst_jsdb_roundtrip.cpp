// Writing a configuration and reading it back: every stored field survives, the
// second write reproduces the first byte for byte, and log K is unchanged.

#include "jsdbfile_mgr.h"
#include "sbatch.h"
#include "support_files.h"
#include "test_env.h"
#include "thermo.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

namespace {

using support_files::slurp;
using support_files::withoutDate;

QString scratch(const QString &name)
{
    return support_files::scratch(QStringLiteral("roundtrip"), name);
}

// Line lists, so that a mismatch names the first differing line.
QList<QByteArray> lines(const QByteArray &bytes)
{
    return bytes.split('\n');
}

QJsonObject parse(const QString &path)
{
    return QJsonDocument::fromJson(slurp(path)).object();
}

one_comp_elements *elementsOf(const QStringList &names, const QList<double> &stoich)
{
    auto *c = new one_comp_elements;
    c->element = names;
    c->stoich = stoich;
    for (int i = 0; i < names.size(); ++i)
        c->element_id << i + 1;
    c->ncomp = int(names.size());
    return c;
}

one_element *element(sim_data *sd, const QString &name, double molwt, const QString &basis)
{
    auto *el = sd->own(new one_element);
    el->name = name;
    el->mol_wt = molwt;
    el->cvtmtoppm = molwt * 1000.0;
    el->basis_name = basis;
    el->basis_id = int(sd->elements.size()) + 10;
    el->tag = 7;
    sd->elements << el;
    return el;
}

one_solute *solute(sim_data *sd, const QString &name, double charge, const QStringList &els,
                   const QList<double> &st)
{
    auto *s = sd->own(new one_solute);
    s->name = name;
    s->formula = name;
    s->charge = charge;
    s->mol_wt = 10.5 + sd->solutes.size();
    s->DHazero = 4.5;
    s->tag = 3;
    s->type = global::aqueous;
    s->composition = elementsOf(els, st);
    sd->solutes << s;
    return s;
}

one_gas *gas(sim_data *sd, const QString &name, const QStringList &els, const QList<double> &st)
{
    auto *g = sd->own(new one_gas);
    g->name = name;
    g->formula = name.left(name.indexOf('('));
    g->mol_wt = 31.9988;
    g->fcoeff = 1;
    g->tag = 5;
    g->type = global::gas;
    g->composition = elementsOf(els, st);
    sd->gases << g;
    return g;
}

// Coefficients of the size a degree-7 fit through the 0.01-300 C grid gives: the
// high-order terms carry every digit, and T^7 at 300 C is 2.2e17.
one_rxn *reaction(sim_data *sd, QList<one_rxn *> &list, const QString &name, int type,
                  const QStringList &species, const QList<double> &stoich, double shift)
{
    auto *r = sd->own(new one_rxn);
    r->name = name;
    r->formula = name;
    r->expression = species.join(" = ");
    r->type = type;
    r->tag = 11;
    r->composition = new one_comp_solutes;
    r->composition->solute = species;
    r->composition->stoich = stoich;
    for (int i = 0; i < species.size(); ++i)
        r->composition->solute_id << 100 + i;
    r->composition->ncomp = int(species.size());

    r->eqk = new one_rxn_eqk;
    r->eqk->tag = 2;
    r->eqk->type_eqn = global::eqkLog10_polynom;
    const QList<double> coeff
        = {14.938612345678901 + shift, -0.042185476138210747,  2.3517942617034061e-4,
           -1.1293084714401637e-6,     3.8127663409518820e-9,  -7.9917319230871447e-12,
           9.1285533719473321e-15,     -4.3201987612398765e-18};
    const double grid[] = {0.01, 25, 60, 100, 150, 200, 250, 300};
    for (int i = 0; i < coeff.size(); ++i) {
        r->eqk->order_idx << i;
        r->eqk->coeff << coeff[i];
        r->eqk->quotient << i;
        r->eqk->eqkLog10 << -14.9 + i * 0.25;
        r->eqk->temperature << grid[i];
    }
    r->eqk->nterms = int(coeff.size());
    list << r;
    return r;
}

one_elementComp *entry(const QString &el, const QString &sol, double molal, const QString &swap)
{
    auto *c = new one_elementComp;
    c->element = el;
    c->solute = sol;
    c->molal = molal;
    c->Molar = molal * 0.99;
    c->ppm = molal * 1000;
    c->swaprxn = swap;
    return c;
}

/// A configuration using every part of the file: elements, gases, solutes,
/// aqueous and gas reactions, linked redox records, and three waters (one with an
/// O2(g) and a charge-balance condition and a result, one made by mixing).
void populate(sbatch &b)
{
    sim_data *sd = b.sdata;
    b.simData_init(sd);
    sd->file = scratch("populated.jsdb");
    sd->description = "test system: Na-Cl-C-O-H";
    sd->dbref = "/db/ref.db";
    sd->dbuser = "/db/user.db";
    sd->dbtype = global::eq36_96;
    sd->nameO2g = "O2(g)";
    sd->ctrlset->redox = true;
    sd->ctrlset->csolvcvg = 1e-9;
    sd->ctrlset->csolvitmax = 80;

    // List order differs from name order on purpose.
    one_element *O = element(sd, "O", 15.9994, "H2O");
    element(sd, "H", 1.0079, "H+");
    one_element *Na = element(sd, "Na", 22.98977, "Na+"); // 7 digits: read back with 6
    element(sd, "Cl", 35.453, "Cl-");
    element(sd, "C", 12.011, "HCO3-");
    Na->redoxelement = true;
    O->redoxsolutes = true;

    solute(sd, "H2O", 0, {"H", "O"}, {2, 1});
    one_solute *hplus = solute(sd, "H+", 1, {"H"}, {1});
    solute(sd, "OH-", -1, {"O", "H"}, {1, 1});
    one_solute *na = solute(sd, "Na+", 1, {"Na"}, {1});
    solute(sd, "Cl-", -1, {"Cl"}, {1});
    one_solute *hco3 = solute(sd, "HCO3-", -1, {"H", "C", "O"}, {1, 1, 3});
    solute(sd, "CO2(aq)", 0, {"C", "O"}, {1, 2});
    solute(sd, "O2(aq)", 0, {"O"}, {2});

    one_gas *o2g = gas(sd, "O2(g)", {"O"}, {2});
    gas(sd, "CO2(g)", {"C", "O"}, {1, 2});

    reaction(sd, sd->rxnsAqueous, "OH-", global::aqueous, {"OH-", "H+", "H2O"}, {-1, -1, 1}, 0);
    one_rxn *co2 = reaction(sd, sd->rxnsAqueous, "CO2(aq)", global::aux,
                            {"CO2(aq)", "H2O", "H+", "HCO3-"}, {-1, -1, 1, 1}, -8.2);
    one_rxn *o2
        = reaction(sd, sd->rxnsGas, "O2(g)", global::gas, {"O2(g)", "O2(aq)"}, {-1, 1}, -2.9);
    reaction(sd, sd->rxnsGas, "CO2(g)", global::gas, {"CO2(g)", "H2O", "H+", "HCO3-"},
             {-1, -1, 1, 1}, -7.8);

    auto *pair = sd->own(new one_redoxRxn);
    pair->elementRec = Na;
    pair->rxn = co2;
    pair->soluteRecs = {hco3, hplus};
    sd->redoxpairs << pair;
    auto *rgas = sd->own(new one_redoxRxn);
    rgas->gasRec = o2g;
    rgas->rxn = o2;
    rgas->soluteRecs = {na};
    sd->redoxgases << rgas;

    one_water *w = sd->waters.first();
    w->name = "seawater";
    w->TC = 18.5;
    w->densitymass = 1.025;
    w->activitymethod = global::ac_dh_davies;
    w->activitywater = global::acw_ideal;
    w->chargebalance = true;
    w->chargebalanceSolute = "Cl-";
    w->chargebalanceElem = "Cl";
    w->alkSet = true;
    w->alkElem = "C";
    w->alkmolal = 0.00234;
    w->alkMolar = 0.00231;
    w->alkUnit = global::Molar;
    w->pHcomp = 8.1;
    w->pHspcn = 8.0936;
    w->typeH = global::pH;
    w->concnunitElem = global::ppm;
    w->concnunitGas = global::atm;
    w->date_updated = "Tue Mar 4 10:00:00 2025";
    w->date_utcUpdated = 1741082400;
    w->composition << entry("Na", "Na+", 0.4690, QString()) << entry("Cl", "Cl-", 0.5460, QString())
                   << entry("C", "HCO3-", 0.00206, "CO2(g)");
    w->composition.last()->redoxsolute = true;
    w->stag_O2g = true;
    w->redoxO2g->molal = 2.5e-4;
    w->redoxO2g->Molar = 2.4e-4;
    w->redoxO2g->ppm = 8.0;
    w->redoxO2gSwaprxn = "O2(g)";

    auto *res = new one_water_result;
    res->date_str = "Tue Mar 4 10:05:00 2025";
    res->date_utc = 1741082700;
    res->TC = 18.5;
    res->densitymass = 1.025;
    res->ionicstrength = 0.7213;
    res->chargebalance = -1.2e-12;
    res->tds = 35012.4;
    res->alkCarb = 0.00228;
    res->conduct = 53.1;
    res->dielectConst = 80.9;
    res->resultpH = 8.0936;
    res->loops = 12;
    res->converged = true;
    for (const char *e : {"Na", "Cl", "C"}) {
        auto *re = new one_waterResult_element;
        re->element = e;
        re->cmolal = 0.1;
        re->cMolar = 0.098;
        re->cppm = 2300;
        res->soln_elem << re;
    }
    for (const char *s : {"Na+", "Cl-", "HCO3-", "H+"}) {
        auto *rs = new one_waterResult_solute;
        rs->solute = s;
        rs->cmolal = 0.01;
        rs->cMolar = 0.0099;
        rs->gamma = 0.68;
        res->soln_aq << rs;
    }
    auto *rg = new one_waterResult_solute;
    rg->solute = "CO2(g)";
    rg->cmolal = 3.5e-4;
    rg->gamma = 1;
    res->soln_gas << rg;
    w->results = res;

    one_water *mixed = sd->own(b.simData_init_water());
    mixed->name = "mixed 50-50";
    mixed->statmixing = true;
    mixed->mixdata = new one_water_mixModel;
    mixed->mixdata->idwaterone = 0;
    mixed->mixdata->idwatertwo = 2;
    mixed->mixdata->namewaterone = "seawater";
    mixed->mixdata->namewatertwo = "brine";
    mixed->mixdata->volumeone = 50;
    mixed->mixdata->volumetwo = 50;
    mixed->mixdata->targetTC = 40;
    mixed->mixdata->titrationph = true;
    mixed->mixdata->idelement = 3;
    mixed->mixdata->nameelement = "C";
    mixed->mixdata->targetph = 7.5;
    mixed->mixdata->targetconcn = 0.002;
    mixed->mixdata->targetcunit = global::ppm;
    sd->waters << mixed;

    one_water *brine = sd->own(b.simData_init_water());
    brine->name = "brine";
    brine->TC = 95;
    brine->composition << entry("Na", "Na", 5.1, QString()) << entry("Cl", "Cl", 5.1, QString());
    sd->waters << brine;
    sd->nwaters = int(sd->waters.size());
}

void compareComp(const one_comp_elements *a, const one_comp_elements *b)
{
    QVERIFY(a && b);
    QCOMPARE(b->ncomp, int(a->element.size()));
    QCOMPARE(b->element, a->element);
    QCOMPARE(b->stoich, a->stoich);
    QCOMPARE(b->element_id, a->element_id);
}

template<class T>
T *byName(const QList<T *> &list, const QString &name)
{
    for (T *rec : list)
        if (rec->name == name)
            return rec;
    return nullptr;
}

template<class T>
void sortByName(QList<T *> &list)
{
    std::sort(list.begin(), list.end(), [](T *a, T *b) { return a->name < b->name; });
}

double sig6(double v)
{
    return QString::number(v, 'g', 6).toDouble();
}

} // namespace

class tst_jsdb_roundtrip : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void newConfiguration();
    void populatedFieldByField();
    void populatedBytesStable();
    void anyOrderIsStableAfterOneRead();
    void sectionReadersOnQtObjectsReadLikeTheFile();
    void logKSurvivesSave_data();
    void logKSurvivesSave();
    void collectionsComeBackSortedByName();
    void repeatedNamesAreAllKept();
    void manyRepeatsKeepTheirOrder();
    void chargeBalanceElementOfOlderFiles_data();
    void chargeBalanceElementOfOlderFiles();
    void missingLinksAndUnevenListsAreWrittenSafely();
};

void tst_jsdb_roundtrip::init()
{
    QSettings().setValue("LOGIN/username", "geochem1");
}

void tst_jsdb_roundtrip::newConfiguration()
{
    sbatch b;
    b.simData_init(b.sdata);
    b.sdata->file = scratch("new.jsdb");
    jsdbfile_mgr writer;
    QCOMPARE(writer.jsdbfile_json_new(&b), 0);

    const QJsonObject top = parse(b.sdata->file);
    QCOMPARE(top.keys(),
             QStringList({"control parameters", "elements", "gases", "header", "reactions", "redox",
                          "solutes", "waters"}));
    const QJsonObject expectedCtrl {
        {"csolvcmax", "35"}, {"csolvcmin", "1e-36"}, {"csolvcvg", "1e-06"}, {"csolvitmax", "31"},
        {"dbaccess", "1"},   {"orgcmpd", "0"},       {"redox", "0"}};
    QCOMPARE(top.value("control parameters").toObject(), expectedCtrl);
    const QJsonObject header = top.value("header").toObject();
    QCOMPARE(header.value("compTag").toInt(), 20250901);
    QCOMPARE(header.value("format").toString(), QString("jsdb.240101"));
    QCOMPARE(header.value("username").toString(), QString("geochem1"));
    QCOMPARE(header.value("file").toString(), b.sdata->file);

    jsdbfile_mgr reader;
    b.simData_init(reader.sdata);
    QCOMPARE(reader.jsdbfile_json_read(b.sdata->file), 0);
    QVERIFY(reader.read_codes().isEmpty());
    const sim_data *sd = reader.sdata;
    QCOMPARE(sd->ctrlset->csolvcmax, 35.0);
    QCOMPARE(sd->ctrlset->csolvcvg, 1e-6);
    QCOMPARE(sd->ctrlset->TCmax, 350.0);
    QCOMPARE(sd->nwaters, 1);
    QCOMPARE(sd->waters.size(), 1);
    const one_water *w = sd->waters.first();
    const one_water *orig = b.sdata->waters.first();
    QCOMPARE(w->name, QString("water-default"));
    QCOMPARE(w->description, orig->description);
    QCOMPARE(w->date_str, orig->date_str);
    QCOMPARE(w->date_utc, orig->date_utc);
    QCOMPARE(w->TC, 25.0);
    QCOMPARE(w->densitymass, 1.0);
    QCOMPARE(w->activitymethod, 4);
    QCOMPARE(w->activitywater, 1);
    QCOMPARE(w->typeH, 1);
    QCOMPARE(w->concnunitGas, 1);
    QCOMPARE(w->alkElem, QString("H"));
    QVERIFY(!w->stag_O2g);
    QVERIFY(w->redoxO2g);
    QVERIFY(!w->mixdata);
    QVERIFY(!w->results);

    // A second manager writes the configuration it read: same bytes.
    sbatch again;
    again.simData_init(again.sdata);
    std::swap(again.sdata, reader.sdata);
    again.sdata->file = scratch("new2.jsdb");
    jsdbfile_mgr().jsdbfile_json_save(&again);
    QByteArray first = withoutDate(slurp(b.sdata->file));
    first.replace(b.sdata->file.toUtf8(), again.sdata->file.toUtf8());
    QCOMPARE(lines(withoutDate(slurp(again.sdata->file))), lines(first));
}

void tst_jsdb_roundtrip::populatedFieldByField()
{
    sbatch b;
    populate(b);
    QCOMPARE(jsdbfile_mgr().jsdbfile_json_save(&b), 0);
    jsdbfile_mgr m;
    b.simData_init(m.sdata);
    QCOMPARE(m.jsdbfile_json_read(b.sdata->file), 0);
    const sim_data *a = b.sdata;
    const sim_data *r = m.sdata;

    QCOMPARE(r->description, a->description);
    QCOMPARE(r->dbref, a->dbref);
    QCOMPARE(r->dbuser, a->dbuser);
    QCOMPARE(r->dbtype, a->dbtype);
    QCOMPARE(r->file, a->file);
    QCOMPARE(m.simtype, b.simtype);
    QVERIFY(r->ctrlset->redox);
    QCOMPARE(r->ctrlset->csolvcvg, 1e-9);
    QCOMPARE(r->ctrlset->csolvitmax, 80);

    QCOMPARE(r->nelements, 5);
    for (const one_element *x : a->elements) {
        const one_element *y = byName(r->elements, x->name);
        QVERIFY2(y, qPrintable(x->name));
        QCOMPARE(y->mol_wt, sig6(x->mol_wt));
        QCOMPARE(y->cvtmtoppm, sig6(x->cvtmtoppm));
        QCOMPARE(y->basis_name, x->basis_name);
        QCOMPARE(y->basis_id, x->basis_id);
        QCOMPARE(y->tag, x->tag);
        QCOMPARE(y->redoxelement, x->redoxelement);
        QCOMPARE(y->redoxsolutes, x->redoxsolutes);
    }
    QCOMPARE(byName(r->elements, QString("Na"))->mol_wt, 22.9898);

    QCOMPARE(r->nsolutes, int(a->solutes.size()));
    for (const one_solute *x : a->solutes) {
        const one_solute *y = byName(r->solutes, x->name);
        QVERIFY2(y, qPrintable(x->name));
        QCOMPARE(y->charge, x->charge);
        QCOMPARE(y->mol_wt, x->mol_wt);
        QCOMPARE(y->DHazero, x->DHazero);
        QCOMPARE(y->formula, x->formula);
        QCOMPARE(y->type, x->type);
        QCOMPARE(y->tag, x->tag);
        compareComp(x->composition, y->composition);
    }
    QCOMPARE(r->ngases, 2);
    for (const one_gas *x : a->gases) {
        const one_gas *y = byName(r->gases, x->name);
        QVERIFY2(y, qPrintable(x->name));
        QCOMPARE(y->formula, x->formula);
        QCOMPARE(y->fcoeff, x->fcoeff);
        QCOMPARE(y->mol_wt, x->mol_wt);
        QCOMPARE(y->type, x->type);
        compareComp(x->composition, y->composition);
    }

    QCOMPARE(r->nrxnsAqueous, 2);
    QCOMPARE(r->nrxnsGas, 2);
    for (const auto &[from, to] :
         {std::pair {a->rxnsAqueous, r->rxnsAqueous}, std::pair {a->rxnsGas, r->rxnsGas}}) {
        for (const one_rxn *x : from) {
            const one_rxn *y = byName(to, x->name);
            QVERIFY2(y, qPrintable(x->name));
            QCOMPARE(y->formula, x->formula);
            QCOMPARE(y->expression, x->expression);
            QCOMPARE(y->type, x->type);
            QCOMPARE(y->tag, x->tag);
            QCOMPARE(y->composition->solute, x->composition->solute);
            QCOMPARE(y->composition->stoich, x->composition->stoich);
            QCOMPARE(y->composition->solute_id, x->composition->solute_id);
            QCOMPARE(y->composition->ncomp, x->composition->ncomp);
            QCOMPARE(y->eqk->tag, x->eqk->tag);
            QCOMPARE(y->eqk->type_eqn, x->eqk->type_eqn);
            QCOMPARE(y->eqk->nterms, 8);
            QCOMPARE(y->eqk->order_idx, x->eqk->order_idx);
            QCOMPARE(y->eqk->coeff, x->eqk->coeff); // exact: stored with 17 digits
            QCOMPARE(y->eqk->quotient, x->eqk->quotient);
            QCOMPARE(y->eqk->eqkLog10, x->eqk->eqkLog10);
            QCOMPARE(y->eqk->temperature, x->eqk->temperature);
        }
    }
    // Element lists are rebuilt from the species of the file.
    QCOMPARE(byName(r->rxnsGas, QString("CO2(g)"))->elements, QStringList({"C", "O", "H"}));

    QCOMPARE(r->redoxpairs.size(), 1);
    QCOMPARE(r->redoxpairs[0]->element, QString("Na"));
    QCOMPARE(r->redoxpairs[0]->redoxpair, QString("CO2(aq)"));
    QCOMPARE(r->redoxpairs[0]->solutes, QStringList({"HCO3-", "H+"}));
    QCOMPARE(r->redoxgases.size(), 1);
    QCOMPARE(r->redoxgases[0]->element, QString("O2(g)"));
    QCOMPARE(r->redoxgases[0]->redoxpair, QString("O2(g)"));
    QCOMPARE(r->redoxgases[0]->solutes, QStringList({"Na+"}));

    QCOMPARE(r->nwaters, 3);
    const one_water *x = a->waters[0];
    const one_water *y = byName(r->waters, QString("seawater"));
    QVERIFY(y);
    QCOMPARE(y->TC, x->TC);
    QCOMPARE(y->densitymass, x->densitymass);
    QCOMPARE(y->activitymethod, x->activitymethod);
    QCOMPARE(y->activitywater, x->activitywater);
    QCOMPARE(y->chargebalance, true);
    QCOMPARE(y->chargebalanceSolute, QString("Cl-"));
    QCOMPARE(y->chargebalanceElem, QString("Cl"));
    QCOMPARE(y->alkSet, true);
    QCOMPARE(y->alkElem, QString("C"));
    QCOMPARE(y->alkmolal, x->alkmolal);
    QCOMPARE(y->alkMolar, x->alkMolar);
    QCOMPARE(y->alkUnit, x->alkUnit);
    QCOMPARE(y->pHcomp, x->pHcomp);
    QCOMPARE(y->pHspcn, x->pHspcn);
    QCOMPARE(y->typeH, x->typeH);
    QCOMPARE(y->concnunitElem, x->concnunitElem);
    QCOMPARE(y->concnunit, x->concnunit);
    QCOMPARE(y->concnunitGas, x->concnunitGas);
    QCOMPARE(y->description, x->description);
    QCOMPARE(y->date_str, x->date_str);
    QCOMPARE(y->date_utc, x->date_utc);
    QCOMPARE(y->date_updated, x->date_updated);
    QCOMPARE(y->date_utcUpdated, x->date_utcUpdated);
    QCOMPARE(y->composition.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(y->composition[i]->element, x->composition[i]->element);
        QCOMPARE(y->composition[i]->solute, x->composition[i]->solute);
        QCOMPARE(y->composition[i]->redoxsolute, x->composition[i]->redoxsolute);
        QCOMPARE(y->composition[i]->molal, x->composition[i]->molal);
        QCOMPARE(y->composition[i]->Molar, sig6(x->composition[i]->Molar));
        QCOMPARE(y->composition[i]->ppm, sig6(x->composition[i]->ppm));
        QCOMPARE(y->composition[i]->swaprxn, x->composition[i]->swaprxn);
    }
    QVERIFY(y->stag_O2g);
    QCOMPARE(y->redoxO2g->molal, 2.5e-4);
    QCOMPARE(y->redoxO2g->Molar, 2.4e-4);
    QCOMPARE(y->redoxO2g->ppm, 8.0);
    QCOMPARE(y->redoxO2gSwaprxn, QString("O2(g)"));
    QVERIFY(!y->mixdata);

    const one_water_result *xr = x->results;
    const one_water_result *yr = y->results;
    QVERIFY(yr);
    QCOMPARE(yr->date_str, xr->date_str);
    QCOMPARE(yr->date_utc, xr->date_utc);
    QCOMPARE(yr->TC, xr->TC);
    QCOMPARE(yr->densitymass, xr->densitymass);
    QCOMPARE(yr->ionicstrength, xr->ionicstrength);
    QCOMPARE(yr->chargebalance, xr->chargebalance);
    QCOMPARE(yr->tds, xr->tds);
    QCOMPARE(yr->alkCarb, xr->alkCarb);
    QCOMPARE(yr->conduct, xr->conduct);
    QCOMPARE(yr->dielectConst, xr->dielectConst);
    QCOMPARE(yr->resultpH, xr->resultpH);
    QCOMPARE(yr->loops, xr->loops);
    QCOMPARE(yr->converged, true);
    QCOMPARE(yr->soln_elem.size(), 3);
    QCOMPARE(yr->soln_elem[1]->element, QString("Cl"));
    QCOMPARE(yr->soln_elem[1]->cppm, 2300.0);
    QCOMPARE(yr->soln_aq.size(), 4);
    QCOMPARE(yr->soln_aq[2]->solute, QString("HCO3-"));
    QCOMPARE(yr->soln_aq[2]->gamma, 0.68);
    QCOMPARE(yr->soln_aq[2]->cMolar, 0.0099);
    QCOMPARE(yr->soln_gas.size(), 1);
    QCOMPARE(yr->soln_gas[0]->cmolal, 3.5e-4);

    const one_water *mx = byName(r->waters, QString("mixed 50-50"));
    QVERIFY(mx && mx->mixdata);
    QVERIFY(mx->statmixing);
    QVERIFY(!mx->stattitrate);
    const one_water_mixModel *xm = a->waters[1]->mixdata;
    const one_water_mixModel *ym = mx->mixdata;
    QCOMPARE(ym->idwaterone, xm->idwaterone);
    QCOMPARE(ym->idwatertwo, xm->idwatertwo);
    QCOMPARE(ym->namewaterone, xm->namewaterone);
    QCOMPARE(ym->namewatertwo, xm->namewatertwo);
    QCOMPARE(ym->volumeone, xm->volumeone);
    QCOMPARE(ym->volumetwo, xm->volumetwo);
    QCOMPARE(ym->targetTC, xm->targetTC);
    QCOMPARE(ym->titrationph, true);
    QCOMPARE(ym->idelement, xm->idelement);
    QCOMPARE(ym->nameelement, xm->nameelement);
    QCOMPARE(ym->targetph, xm->targetph);
    QCOMPARE(ym->targetconcn, xm->targetconcn);
    QCOMPARE(ym->targetcunit, xm->targetcunit);
    QVERIFY(!mx->results);
}

void tst_jsdb_roundtrip::populatedBytesStable()
{
    sbatch b;
    populate(b);
    b.sdata->file = scratch("stable1.jsdb");
    // Records come back in name order; in that order the bytes must be stable from
    // the first write on (other orders are covered by the fixed point below).
    sortByName(b.sdata->elements);
    sortByName(b.sdata->gases);
    sortByName(b.sdata->solutes);
    sortByName(b.sdata->rxnsAqueous);
    sortByName(b.sdata->rxnsGas);
    sortByName(b.sdata->waters);
    QCOMPARE(jsdbfile_mgr().jsdbfile_json_save(&b), 0);

    jsdbfile_mgr m;
    b.simData_init(m.sdata);
    QCOMPARE(m.jsdbfile_json_read(b.sdata->file), 0);
    QCOMPARE(m.read_notes(), QStringList()); // nothing of another kind in a file it wrote
    sbatch again;
    std::swap(again.sdata, m.sdata);
    QCOMPARE(again.sdata->file, b.sdata->file);
    again.sdata->file = scratch("stable2.jsdb");
    QCOMPARE(jsdbfile_mgr().jsdbfile_json_save(&again), 0);

    QByteArray first = withoutDate(slurp(b.sdata->file));
    first.replace(b.sdata->file.toUtf8(), again.sdata->file.toUtf8());
    const QByteArray second = withoutDate(slurp(again.sdata->file));
    QVERIFY(second.size() > 1000);
    QCOMPARE(lines(second), lines(first));
}

// Reads `from` as the configuration-file window does and saves it to `to`.
static void reread(const QString &from, const QString &to)
{
    jsdbfile_mgr m;
    sbatch b;
    b.simData_init(m.sdata);
    QCOMPARE(m.jsdbfile_json_read(from), 0);
    std::swap(b.sdata, m.sdata);
    b.sdata->file = to;
    QCOMPARE(jsdbfile_mgr().jsdbfile_json_save(&b), 0);
}

void tst_jsdb_roundtrip::anyOrderIsStableAfterOneRead()
{
    sbatch b;
    populate(b); // lists not in name order
    b.sdata->file = scratch("order1.jsdb");
    QCOMPARE(jsdbfile_mgr().jsdbfile_json_save(&b), 0);
    reread(scratch("order1.jsdb"), scratch("order2.jsdb"));
    reread(scratch("order2.jsdb"), scratch("order3.jsdb"));
    QByteArray second = withoutDate(slurp(scratch("order2.jsdb")));
    second.replace("order2.jsdb", "order3.jsdb");
    QCOMPARE(lines(withoutDate(slurp(scratch("order3.jsdb")))), lines(second));
}

// The section readers that take Qt's JSON objects give the configuration that
// reading the file gives: saved again, both write the same text.
void tst_jsdb_roundtrip::sectionReadersOnQtObjectsReadLikeTheFile()
{
    sbatch b;
    populate(b);
    QCOMPARE(jsdbfile_mgr().jsdbfile_json_save(&b), 0);

    jsdbfile_mgr fromFile;
    b.simData_init(fromFile.sdata);
    QCOMPARE(fromFile.jsdbfile_json_read(b.sdata->file), 0);

    const QJsonObject top = parse(b.sdata->file);
    jsdbfile_mgr fromQt;
    b.simData_init(fromQt.sdata);
    QCOMPARE(fromQt.json_read_header(top), 0);
    QCOMPARE(fromQt.json_read_ctrlparameters(top), 0);
    QCOMPARE(fromQt.json_read_elements(top), 0);
    QCOMPARE(fromQt.json_read_gases(top), 0);
    QCOMPARE(fromQt.json_read_solutes(top), 0);
    QCOMPARE(fromQt.json_read_rxns(top), 0);
    QCOMPARE(fromQt.json_read_redox(top), 0);
    QCOMPARE(fromQt.json_read_waters(top), 0);
    QCOMPARE(fromQt.json_read_patch(), 0);
    QCOMPARE(fromQt.simtype, fromFile.simtype);

    // One kind of reactions on its own builds new records.
    const QList<one_rxn *> gasRxns = fromQt.json_read_rxnstype(top["reactions"]["gas"].toObject());
    QCOMPARE(gasRxns.size(), fromFile.sdata->rxnsGas.size());
    QVERIFY(!gasRxns.isEmpty());
    QCOMPARE(gasRxns[0]->name, fromFile.sdata->rxnsGas[0]->name);
    QCOMPARE(gasRxns[0]->eqk->coeff, fromFile.sdata->rxnsGas[0]->eqk->coeff);
    QVERIFY(!fromQt.sdata->rxnsGas.contains(gasRxns[0]));

    // Missing sections give their codes here too.
    jsdbfile_mgr empty;
    b.simData_init(empty.sdata);
    QCOMPARE(empty.json_read_elements(QJsonObject()), 1301);
    QCOMPARE(empty.json_read_waters(QJsonObject {{"waters", QJsonObject()}}), 1801);
    QVERIFY(empty.json_read_rxnstype(QJsonObject()).isEmpty());

    sbatch x, y;
    std::swap(x.sdata, fromFile.sdata);
    std::swap(y.sdata, fromQt.sdata);
    x.sdata->file = scratch("sections-file.jsdb");
    y.sdata->file = scratch("sections-qt.jsdb");
    QCOMPARE(jsdbfile_mgr().jsdbfile_json_save(&x), 0);
    QCOMPARE(jsdbfile_mgr().jsdbfile_json_save(&y), 0);
    QByteArray first = withoutDate(slurp(x.sdata->file));
    first.replace("sections-file.jsdb", "sections-qt.jsdb");
    QCOMPARE(lines(withoutDate(slurp(y.sdata->file))), lines(first));
}

void tst_jsdb_roundtrip::logKSurvivesSave_data()
{
    QTest::addColumn<double>("T");
    QTest::newRow("0.01 C") << 0.01;
    QTest::newRow("25 C") << 25.0;
    QTest::newRow("150 C") << 150.0;
    QTest::newRow("300 C") << 300.0;
}

void tst_jsdb_roundtrip::logKSurvivesSave()
{
    QFETCH(double, T);
    sbatch b;
    populate(b);
    b.sdata->file = scratch("logk.jsdb");
    QCOMPARE(jsdbfile_mgr().jsdbfile_json_save(&b), 0);
    jsdbfile_mgr m;
    b.simData_init(m.sdata);
    QCOMPARE(m.jsdbfile_json_read(b.sdata->file), 0);

    thermo th;
    QList<one_rxn *> before = b.sdata->rxnsAqueous + b.sdata->rxnsGas;
    QList<one_rxn *> after = m.sdata->rxnsAqueous + m.sdata->rxnsGas;
    QCOMPARE(after.size(), before.size());
    for (const one_rxn *x : before) {
        const one_rxn *y = byName(after, x->name);
        QVERIFY(y);
        const double k0 = th.eqklog10(x->eqk, T);
        const double k1 = th.eqklog10(y->eqk, T);
        QVERIFY2(std::abs(k1 - k0) <= 1e-9,
                 qPrintable(QString("%1 at %2 C: %3 vs %4")
                                .arg(x->name)
                                .arg(T)
                                .arg(k0, 0, 'g', 17)
                                .arg(k1, 0, 'g', 17)));
    }
}

void tst_jsdb_roundtrip::collectionsComeBackSortedByName()
{
    sbatch b;
    populate(b);
    b.sdata->file = scratch("order.jsdb");
    jsdbfile_mgr().jsdbfile_json_save(&b);
    const QJsonObject top = parse(b.sdata->file);
    QCOMPARE(top["elements"]["list"].toArray().toVariantList().value(0).toString(), QString("O"));
    QCOMPARE(top["waters"]["list"].toArray().last().toString(), QString("brine"));

    jsdbfile_mgr m;
    b.simData_init(m.sdata);
    m.jsdbfile_json_read(b.sdata->file);
    QStringList elements, waters;
    for (const one_element *e : m.sdata->elements)
        elements << e->name;
    for (const one_water *w : m.sdata->waters)
        waters << w->name;
    QCOMPARE(elements, QStringList({"C", "Cl", "H", "Na", "O"}));
    QCOMPARE(waters, QStringList({"brine", "mixed 50-50", "seawater"}));
}

void tst_jsdb_roundtrip::repeatedNamesAreAllKept()
{
    sbatch b;
    b.simData_init(b.sdata);
    b.sdata->file = scratch("repeats.jsdb");
    element(b.sdata, "Na", 22.99, "Na+")->tag = 1;
    element(b.sdata, "Na", 22.99, "Na+")->tag = 2;
    element(b.sdata, "Na (2)", 1.0, "X")->tag = 3; // a real name that a naive suffix would take
    one_water *copy = b.sdata->own(b.simData_init_water());
    copy->TC = 60;
    b.sdata->waters << copy;

    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("JW ##### repeated name in elements"));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("JW ##### repeated name in waters"));
    QCOMPARE(jsdbfile_mgr().jsdbfile_json_save(&b), 0);

    jsdbfile_mgr m;
    b.simData_init(m.sdata);
    QCOMPARE(m.jsdbfile_json_read(b.sdata->file), 0);
    QCOMPARE(m.sdata->nelements, 3);
    QList<int> tags;
    for (const one_element *e : m.sdata->elements)
        tags << e->tag;
    // Keys "Na", "Na (2)" (the real one), "Na (3)" (the repeat), read in key order.
    QCOMPARE(tags, QList<int>({1, 3, 2}));
    QCOMPARE(m.sdata->elements[2]->name, QString("Na"));
    QCOMPARE(m.sdata->nwaters, 2);
    QCOMPARE(m.sdata->waters[0]->name, m.sdata->waters[1]->name);
    QCOMPARE(m.sdata->waters[0]->TC + m.sdata->waters[1]->TC, 85.0);
}

// Twelve waters of one name: the records come back in the order they were saved
// in, so saving again writes each under the same key.
void tst_jsdb_roundtrip::manyRepeatsKeepTheirOrder()
{
    sbatch b;
    b.simData_init(b.sdata);
    b.sdata->file = scratch("many1.jsdb");
    b.sdata->waters.first()->name = "well";
    for (int i = 1; i < 12; ++i) {
        one_water *w = b.sdata->own(b.simData_init_water());
        w->name = "well";
        w->TC = 10 + i;
        b.sdata->waters << w;
    }
    QCOMPARE(jsdbfile_mgr().jsdbfile_json_save(&b), 0);
    reread(scratch("many1.jsdb"), scratch("many2.jsdb"));

    jsdbfile_mgr m;
    b.simData_init(m.sdata);
    QCOMPARE(m.jsdbfile_json_read(scratch("many2.jsdb")), 0);
    QList<double> order;
    for (const one_water *w : std::as_const(m.sdata->waters))
        order << w->TC;
    QCOMPARE(order, QList<double>({25, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}));
    QByteArray first = withoutDate(slurp(scratch("many1.jsdb")));
    first.replace("many1.jsdb", "many2.jsdb");
    QCOMPARE(lines(withoutDate(slurp(scratch("many2.jsdb")))), lines(first));
}

void tst_jsdb_roundtrip::chargeBalanceElementOfOlderFiles_data()
{
    QTest::addColumn<QString>("solute");
    QTest::addColumn<QString>("expected");
    QTest::newRow("basis species of an element") << "Cl-"
                                                 << "Cl";
    QTest::newRow("basis species, other case") << "na+"
                                               << "Na";
    QTest::newRow("carried by a composition entry") << "HCO3-"
                                                    << "C";
    QTest::newRow("no charge balance") << ""
                                       << "";
    QTest::newRow("unknown ion") << "Zz+"
                                 << "";
}

void tst_jsdb_roundtrip::chargeBalanceElementOfOlderFiles()
{
    QFETCH(QString, solute);
    QFETCH(QString, expected);
    sbatch b;
    b.simData_init(b.sdata);
    b.sdata->file = scratch("older.jsdb");
    element(b.sdata, "Na", 22.99, "Na+");
    element(b.sdata, "Cl", 35.453, "Cl-");
    element(b.sdata, "C", 12.011, "CO3--");
    one_water *w = b.sdata->waters.first();
    w->chargebalance = !solute.isEmpty();
    w->chargebalanceSolute = solute;
    w->composition << entry("C", "HCO3-", 0.002, QString());
    jsdbfile_mgr().jsdbfile_json_save(&b);

    // The same file as an older program wrote it: without "chargebalanceElem".
    QJsonObject top = parse(b.sdata->file);
    QJsonObject waters = top["waters"].toObject();
    QJsonObject all = waters["allwaters"].toObject();
    QJsonObject water = all["water-default"].toObject();
    QVERIFY(water.contains("chargebalanceElem"));
    water.remove("chargebalanceElem");
    all["water-default"] = water;
    waters["allwaters"] = all;
    top["waters"] = waters;
    QFile f(b.sdata->file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QJsonDocument(top).toJson());
    f.close();

    jsdbfile_mgr m;
    b.simData_init(m.sdata);
    QCOMPARE(m.jsdbfile_json_read(b.sdata->file), 0);
    QCOMPARE(m.sdata->waters.first()->chargebalanceElem, expected);
}

void tst_jsdb_roundtrip::missingLinksAndUnevenListsAreWrittenSafely()
{
    sbatch b;
    b.simData_init(b.sdata);
    sim_data *sd = b.sdata;
    sd->file = scratch("unlinked.jsdb");
    one_solute *s = solute(sd, "Fe++", 2, {"Fe", "O"}, {1}); // two names, one coefficient
    s->composition->element_id = {26, 8};
    one_rxn *r
        = reaction(sd, sd->rxnsAqueous, "Fe+++", global::aqueous, {"Fe+++", "Fe++"}, {-1, 1}, 0);
    r->eqk->temperature.removeLast(); // seven temperatures for eight coefficients
    auto *noEqk = sd->own(new one_rxn);
    noEqk->name = "bare";
    sd->rxnsAqueous << noEqk;

    auto *pair = sd->own(new one_redoxRxn); // names only, as a file just read leaves it
    pair->element = "Fe";
    pair->redoxpair = "Fe+++";
    pair->solutes = {"Fe++", "Fe+++"};
    sd->redoxpairs << pair;
    auto *gasPair = sd->own(new one_redoxRxn);
    gasPair->element = "O2(g)";
    gasPair->redoxpair = "O2(g)";
    gasPair->soluteRecs = {s, nullptr};
    gasPair->solutes = {"Fe++", "O2(aq)"};
    sd->redoxgases << gasPair;

    one_water *w = sd->waters.first();
    w->stag_O2g = true;
    delete w->redoxO2g;
    w->redoxO2g = nullptr;
    w->stattitrate = true; // but no mixing record

    QCOMPARE(jsdbfile_mgr().jsdbfile_json_save(&b), 0);
    const QJsonObject top = parse(sd->file);
    const QJsonObject fe = top["solutes"]["allsolutes"]["Fe++"].toObject();
    QCOMPARE(fe["composition"].toArray().size(), 1);
    const QJsonObject eqk = top["reactions"]["aqueous"]["allrxns"]["Fe+++"]["eqk"].toObject();
    QCOMPARE(eqk["equation"].toArray().size(), 7);
    QCOMPARE(eqk["nterms"].toString(), QString("7"));
    QCOMPARE(top["reactions"]["aqueous"]["allrxns"]["bare"]["eqk"]["nterms"].toString(),
             QString("0"));
    const QJsonObject p = top["redox"]["redoxpairs"][0].toObject();
    QCOMPARE(p["element"].toString(), QString("Fe"));
    QCOMPARE(p["redoxpair"].toString(), QString("Fe+++"));
    QCOMPARE(p["solutes"].toArray().size(), 2);
    const QJsonObject g = top["redox"]["redoxgases"][0].toObject();
    QCOMPARE(g["gas"].toString(), QString("O2(g)"));
    QCOMPARE(g["solutes"].toArray(), QJsonArray({"Fe++", "O2(aq)"}));
    const QJsonObject water = top["waters"]["allwaters"]["water-default"].toObject();
    QCOMPARE(water["redoxO2g"]["molal"].toString(), QString("0"));
    QVERIFY(!water["mix"].toObject().contains("mixdata"));

    // What was written reads back and writes again unchanged.
    jsdbfile_mgr m;
    b.simData_init(m.sdata);
    QCOMPARE(m.jsdbfile_json_read(sd->file), 0);
    QCOMPARE(m.sdata->redoxpairs.size(), 1);
    QCOMPARE(m.sdata->waters.first()->stattitrate, true);
    QVERIFY(!m.sdata->waters.first()->mixdata);
    sbatch again;
    std::swap(again.sdata, m.sdata);
    again.sdata->file = scratch("unlinked2.jsdb");
    QCOMPARE(jsdbfile_mgr().jsdbfile_json_save(&again), 0);
    QByteArray first = withoutDate(slurp(sd->file));
    first.replace(sd->file.toUtf8(), again.sdata->file.toUtf8());
    QCOMPARE(lines(withoutDate(slurp(again.sdata->file))), lines(first));
}

QTEST_GUILESS_MAIN(tst_jsdb_roundtrip)
#include "tst_jsdb_roundtrip.moc"
