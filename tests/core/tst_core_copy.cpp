// Deep copies: every copy is independent of its source; links stay links.
#include "copy_struct.h"
#include "records.h"

#include <QDateTime>
#include <QtTest>

namespace {

one_comp_elements *compOf(const QString &element, double stoich)
{
    auto *c = new one_comp_elements;
    c->ncomp = 1;
    c->element = {element};
    c->stoich = {stoich};
    c->element_id = {3};
    return c;
}

one_rxn *sampleRxn()
{
    auto *r = new one_rxn;
    r->id = 4;
    r->tag = 9;
    r->name = "Calcite";
    r->infoAux1 = "Calcite";
    r->type = 4;
    r->typeRequested = 4;
    r->expression = "Calcite = Ca++ + CO3--";
    r->elements = {"Ca", "C", "O"};
    r->flagAux = true;
    r->thermo = reinterpret_cast<one_thermodata *>(0x10); // never followed
    r->compSpecies = compOf("Ca", 1);
    r->composition = new one_comp_solutes;
    r->composition->ncomp = 2;
    r->composition->solute = {"Calcite", "Ca++"};
    r->composition->stoich = {-1, 1};
    r->composition->solute_id = {0, 1};
    r->eqk = new one_rxn_eqk;
    r->eqk->nterms = 2;
    r->eqk->coeff = {1.8, -0.01};
    r->eqk->order_idx = {0, 1};
    return r;
}

/// A water with every owned part filled, and one swap reaction.
one_water *sampleWater(one_rxn *swap)
{
    auto *w = new one_water;
    w->id = 7;
    w->name = "Seawater";
    w->description = "line one\nline two";
    w->date_str = "Mon Jan 1 00:00:00 2024";
    w->date_utc = 1704067200;
    w->date_updated = "later";
    w->date_utcUpdated = 4102444800LL; // past 2038: needs 64 bits
    w->densitymass = 1.025;
    w->TC = 18.5;
    w->activitymethod = 2;
    w->activitywater = 0;
    w->chargebalance = true;
    w->chargebalanceSolute = "Cl-";
    w->chargebalanceElem = "Cl";
    w->alkSet = true;
    w->alkAux = 3;
    w->alkElem = "C";
    w->alkmolal = 2.3e-3;
    w->alkMolar = 2.4e-3;
    w->alkUnit = 1;
    w->alkSolutes = {"HCO3-", "CO3--"};
    w->alkCoeffs = {1, 2};
    w->typeH = 0;
    w->concnunitElem = 2;
    w->concnunit = 1;
    w->concnunitGas = 0;
    w->typeHIndex = 5;
    w->unitIndex2 = 6;
    w->unitIndex3 = 7;
    w->unitIndex4 = 8;
    w->unitAux1 = 1.5;
    w->unitAux2 = 2.5;
    w->unitAux3 = 3.5;
    w->pHcomp = 8.1;
    w->pHspcn = 8.05;
    w->phAux = 4;
    auto *ca = new one_elementComp;
    ca->id = 2;
    ca->element = "Ca";
    ca->solute = "Ca++";
    ca->molal = 0.01;
    ca->Molar = 0.0102;
    ca->ppm = 400;
    ca->swaprxn = "Calcite";
    ca->species = {"Ca++", "CaCO3"};
    ca->stoich = {1, 1};
    ca->namesAux = {"aux"};
    ca->redoxsolute = true;
    w->composition = {ca};
    w->ncomposition = 1;
    w->stag_O2g = true;
    w->redoxO2g = new one_elementComp;
    w->redoxO2g->element = "O2(g)";
    w->redoxO2g->molal = 1e-8;
    w->redoxO2gSwaprxn = "O2(g)";
    auto *co2 = new one_gasComp;
    co2->id = 5;
    co2->name = "CO2(g)";
    co2->amount = 1.0;
    co2->fugacity = 3.5e-4;
    co2->infoAux = "x";
    w->gasComp = {co2};
    w->ngasComp = 1;
    w->rxnsConstraint = {swap};
    w->nrxnsConstraint = 1;
    w->statmixing = true;
    w->stattitrate = true;
    w->mixdata = new one_water_mixModel;
    w->mixdata->namewaterone = "A";
    w->mixdata->volumeone = 40;
    w->mixdata->targetcunit = 2;
    w->results = new one_water_result;
    one_water_result *r = w->results;
    r->date_str = "run date";
    r->date_utc = 1704067300;
    r->TC = 18.5;
    r->resultpH = 8.05;
    r->densitymass = 1.025;
    r->ionicstrength = 0.7;
    r->chargebalance = 1e-12;
    r->alkCarb = 2.3e-3;
    r->conduct = 5.3;
    r->tds = 35000;
    r->dielectConst = 78.4;
    r->loops = 12;
    r->cvgValue = 1e-9;
    r->converged = true;
    auto *e = new one_waterResult_element;
    e->element = "Ca";
    e->cmolal = 0.01;
    r->soln_elem = {e};
    auto *s = new one_waterResult_solute;
    s->solute = "Ca++";
    s->cmolal = 0.009;
    s->gamma = 0.25;
    s->flagsAux = {true};
    s->listAux = {1.5};
    r->soln_aq = {s, new one_waterResult_solute};
    auto *g = new one_waterResult_solute;
    g->solute = "CO2(g)";
    r->soln_gas = {g};
    auto *x = new one_waterResult_rxn;
    x->name = "OH-";
    x->eqkL10 = -14;
    x->ratioQK = 1.0;
    r->rxns = {x};
    auto *sol = new one_waterResult_rxn;
    sol->name = "Calcite";
    r->solids = {sol};
    w->resAux[0] = 1;
    w->resAux[1] = 1;
    return w;
}

} // namespace

class tst_core_copy : public QObject
{
    Q_OBJECT

private slots:
    void ctrlset();
    void waterFields();
    void waterDescriptionLine();
    void waterIndependent();
    void waterWithoutMixOrResult();
    void waterCopiedTwice();
    void reaction();
    void redoxRecord();
    void species();
    void nullSources();
};

void tst_core_copy::ctrlset()
{
    copy_struct cp;
    one_ctrlset src {true, true, false, 40, 1e-7, 30.0, 1e-30, 300.0, 0.5};
    one_ctrlset *c = cp.copy_ctrlset(&src);
    QVERIFY(c != &src);
    QCOMPARE(c->dbaccess, true);
    QCOMPARE(c->redox, true);
    QCOMPARE(c->orgcmpd, false);
    QCOMPARE(c->csolvitmax, 40);
    QCOMPARE(c->csolvcvg, 1e-7);
    QCOMPARE(c->csolvcmax, 30.0);
    QCOMPARE(c->csolvcmin, 1e-30);
    QCOMPARE(c->TCmax, 300.0);
    QCOMPARE(c->TCmin, 0.5);
    src.csolvitmax = 1;
    QCOMPARE(c->csolvitmax, 40);
    delete c;
}

void tst_core_copy::waterFields()
{
    copy_struct cp;
    one_rxn *swap = sampleRxn();
    one_water *src = sampleWater(swap);
    one_water *w = cp.copy_water(src);

    QCOMPARE(w->id, 7);
    QCOMPARE(w->name, QString("Seawater"));
    QCOMPARE(w->date_updated, QString("later"));
    QCOMPARE(w->date_utcUpdated, 4102444800LL);
    QCOMPARE(w->densitymass, 1.025);
    QCOMPARE(w->TC, 18.5);
    QCOMPARE(w->activitymethod, 2);
    QCOMPARE(w->activitywater, 0);
    QVERIFY(w->chargebalance && w->alkSet && w->stag_O2g && w->statmixing && w->stattitrate);
    QCOMPARE(w->chargebalanceSolute, QString("Cl-"));
    QCOMPARE(w->chargebalanceElem, QString("Cl"));
    QCOMPARE(w->alkAux, 3);
    QCOMPARE(w->alkElem, QString("C"));
    QCOMPARE(w->alkmolal, 2.3e-3);
    QCOMPARE(w->alkMolar, 2.4e-3);
    QCOMPARE(w->alkUnit, 1);
    QCOMPARE(w->alkSolutes, src->alkSolutes);
    QCOMPARE(w->alkCoeffs, src->alkCoeffs);
    QCOMPARE(w->typeH, 0);
    QCOMPARE(w->concnunitElem, 2);
    QCOMPARE(w->concnunit, 1);
    QCOMPARE(w->concnunitGas, 0);
    QCOMPARE(w->typeHIndex, 5);
    QCOMPARE(w->unitIndex2, 6);
    QCOMPARE(w->unitIndex3, 7);
    QCOMPARE(w->unitIndex4, 8);
    QCOMPARE(w->unitAux1, 1.5);
    QCOMPARE(w->unitAux2, 2.5);
    QCOMPARE(w->unitAux3, 3.5);
    QCOMPARE(w->pHcomp, 8.1);
    QCOMPARE(w->pHspcn, 8.05);
    QCOMPARE(w->phAux, 4);
    QCOMPARE(w->resAux[0], 1);
    QCOMPARE(w->resAux[1], 1);

    QCOMPARE(w->composition.size(), 1);
    QCOMPARE(w->ncomposition, 1);
    const one_elementComp *ca = w->composition.first();
    QCOMPARE(ca->id, 2);
    QCOMPARE(ca->element, QString("Ca"));
    QCOMPARE(ca->solute, QString("Ca++"));
    QCOMPARE(ca->molal, 0.01);
    QCOMPARE(ca->Molar, 0.0102);
    QCOMPARE(ca->ppm, 400.0);
    QCOMPARE(ca->swaprxn, QString("Calcite"));
    QCOMPARE(ca->species, (QStringList {"Ca++", "CaCO3"}));
    QCOMPARE(ca->stoich, (QList<double> {1, 1}));
    QCOMPARE(ca->namesAux, QStringList {"aux"});
    QVERIFY(ca->redoxsolute);
    QCOMPARE(w->redoxO2g->element, QString("O2(g)"));
    QCOMPARE(w->redoxO2gSwaprxn, QString("O2(g)"));
    QCOMPARE(w->gasComp.size(), 1);
    QCOMPARE(w->ngasComp, 1);
    QCOMPARE(w->gasComp.first()->name, QString("CO2(g)"));
    QCOMPARE(w->gasComp.first()->fugacity, 3.5e-4);
    QCOMPARE(w->gasComp.first()->infoAux, QString("x"));
    QCOMPARE(w->gasComp.first()->id, 0);
    // Swap reactions are links to the database's records.
    QCOMPARE(w->rxnsConstraint, QList<one_rxn *> {swap});
    QCOMPARE(w->nrxnsConstraint, 1);

    QCOMPARE(w->mixdata->namewaterone, QString("A"));
    QCOMPARE(w->mixdata->volumeone, 40.0);
    QCOMPARE(w->mixdata->targetcunit, 2);

    const one_water_result *r = w->results;
    QCOMPARE(r->date_str, QString("run date"));
    QCOMPARE(r->date_utc, qint64(1704067300));
    QCOMPARE(r->TC, 18.5);
    QCOMPARE(r->resultpH, 8.05);
    QCOMPARE(r->densitymass, 1.025);
    QCOMPARE(r->ionicstrength, 0.7);
    QCOMPARE(r->chargebalance, 1e-12);
    QCOMPARE(r->alkCarb, 2.3e-3);
    QCOMPARE(r->conduct, 5.3);
    QCOMPARE(r->tds, 35000.0);
    QCOMPARE(r->dielectConst, 78.4);
    QCOMPARE(r->loops, 12);
    QCOMPARE(r->cvgValue, 1e-9);
    QVERIFY(r->converged);
    QCOMPARE(r->soln_elem.size(), 1);
    QCOMPARE(r->soln_aq.size(), 2);
    QCOMPARE(r->soln_gas.size(), 1);
    QCOMPARE(r->rxns.size(), 1);
    QCOMPARE(r->solids.size(), 1);
    QCOMPARE(r->soln_elem.first()->cmolal, 0.01);
    QCOMPARE(r->soln_aq.first()->solute, QString("Ca++"));
    QCOMPARE(r->soln_aq.first()->gamma, 0.25);
    QCOMPARE(r->soln_aq.first()->flagsAux, QList<bool> {true});
    QCOMPARE(r->soln_aq.first()->listAux, QList<double> {1.5});
    QCOMPARE(r->soln_gas.first()->solute, QString("CO2(g)"));
    QCOMPARE(r->rxns.first()->eqkL10, -14.0);
    QCOMPARE(r->rxns.first()->ratioQK, 1.0);
    QCOMPARE(r->solids.first()->name, QString("Calcite"));

    delete w;
    delete src;
    delete swap;
}

void tst_core_copy::waterDescriptionLine()
{
    copy_struct cp;
    one_water src;
    src.name = "Seawater";
    src.description = "line one\nline two";
    src.date_str = "old";
    src.date_utc = 1;
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    one_water *w = cp.copy_water(&src);
    const qint64 after = QDateTime::currentSecsSinceEpoch();

    QVERIFY(w->date_utc >= before && w->date_utc <= after);
    QVERIFY(w->date_str != "old");
    QCOMPARE(w->description,
             "-----  " + w->date_str + ": duplicated from Seawater\nline one\nline two");
    delete w;
}

void tst_core_copy::waterIndependent()
{
    copy_struct cp;
    one_rxn *swap = sampleRxn();
    one_water *src = sampleWater(swap);
    one_water *w = cp.copy_water(src);

    QVERIFY(w->composition.first() != src->composition.first());
    QVERIFY(w->redoxO2g != src->redoxO2g);
    QVERIFY(w->gasComp.first() != src->gasComp.first());
    QVERIFY(w->mixdata != src->mixdata);
    QVERIFY(w->results != src->results);
    QVERIFY(w->results->soln_aq.first() != src->results->soln_aq.first());

    // Changing or freeing the source does not reach the copy.
    src->composition.first()->molal = 99;
    src->composition.first()->species.append("Extra");
    src->redoxO2g->molal = 99;
    src->gasComp.first()->fugacity = 99;
    src->mixdata->volumeone = 99;
    src->results->soln_aq.first()->cmolal = 99;
    src->results->loops = 99;
    src->alkSolutes.append("Extra");
    delete src;

    QCOMPARE(w->composition.first()->molal, 0.01);
    QCOMPARE(w->composition.first()->species.size(), 2);
    QCOMPARE(w->redoxO2g->molal, 1e-8);
    QCOMPARE(w->gasComp.first()->fugacity, 3.5e-4);
    QCOMPARE(w->mixdata->volumeone, 40.0);
    QCOMPARE(w->results->soln_aq.first()->cmolal, 0.009);
    QCOMPARE(w->results->loops, 12);
    QCOMPARE(w->alkSolutes.size(), 2);
    QCOMPARE(w->rxnsConstraint.first()->name, QString("Calcite"));
    delete w;
    delete swap;
}

void tst_core_copy::waterWithoutMixOrResult()
{
    copy_struct cp;
    one_water src;
    src.name = "plain";
    one_water *w = cp.copy_water(&src);
    QVERIFY(!w->mixdata);
    QVERIFY(!w->results);
    QVERIFY(!w->redoxO2g);
    QVERIFY(w->composition.isEmpty() && w->gasComp.isEmpty() && w->rxnsConstraint.isEmpty());
    delete w;
}

void tst_core_copy::waterCopiedTwice()
{
    copy_struct cp;
    one_water src;
    src.name = "A";
    src.description = "----- water data started on today";
    one_water *once = cp.copy_water(&src);
    one_water *twice = cp.copy_water(once);
    QCOMPARE(once->description.count('\n'), 1);
    QCOMPARE(twice->description.count('\n'), 2);
    QVERIFY(twice->description.endsWith("\n" + once->description));
    QVERIFY(twice->description.section('\n', 0, 0).endsWith(": duplicated from A"));
    delete twice;
    delete once;
}

void tst_core_copy::reaction()
{
    copy_struct cp;
    one_rxn *src = sampleRxn();
    one_rxn *r = cp.copy_rxn(src);
    QCOMPARE(r->id, 4);
    QCOMPARE(r->tag, 9);
    QCOMPARE(r->name, QString("Calcite"));
    QCOMPARE(r->infoAux1, QString("Calcite"));
    QCOMPARE(r->type, 4);
    QCOMPARE(r->typeRequested, 4);
    QCOMPARE(r->expression, src->expression);
    QCOMPARE(r->elements, src->elements);
    QVERIFY(r->flagAux);
    QVERIFY(!r->thermo);
    QVERIFY(r->composition && r->composition != src->composition);
    QVERIFY(r->compSpecies && r->compSpecies != src->compSpecies);
    QVERIFY(r->eqk && r->eqk != src->eqk);
    QCOMPARE(r->composition->solute, src->composition->solute);
    QCOMPARE(r->composition->stoich, src->composition->stoich);
    QCOMPARE(r->composition->solute_id, src->composition->solute_id);
    QCOMPARE(r->composition->ncomp, 2);
    QCOMPARE(r->eqk->coeff, src->eqk->coeff);
    QCOMPARE(r->eqk->nterms, 2);
    QCOMPARE(r->compSpecies->element_id, QList<int> {3});
    delete src;
    QCOMPARE(r->eqk->coeff.size(), 2);
    delete r;

    one_rxn bare;
    one_rxn *b = cp.copy_rxn(&bare);
    QVERIFY(!b->composition && !b->compSpecies && !b->eqk);
    delete b;
}

void tst_core_copy::redoxRecord()
{
    copy_struct cp;
    one_element fe;
    fe.name = "Fe";
    fe.mol_wt = 55.845;
    fe.basis_name = "Fe++";
    fe.redoxelement = true;
    one_solute fe2;
    fe2.name = "Fe++";
    one_solute fe3;
    fe3.name = "Fe+++";
    one_rxn *rxn = sampleRxn();
    one_redoxRxn src;
    src.id = 3;
    src.element = "Fe";
    src.redoxpair = "Fe+++";
    src.solutes = {"Fe+++", "Fe++"};
    src.elementRec = &fe;
    src.rxn = rxn;
    src.soluteRecs = {&fe3, &fe2};

    one_redoxRxn *r = cp.copy_redoxRxn(&src);
    QCOMPARE(r->id, 3);
    QCOMPARE(r->element, QString("Fe"));
    QCOMPARE(r->redoxpair, QString("Fe+++"));
    QCOMPARE(r->solutes, src.solutes);
    // The element keeps its data, so the copy can be written and looked up.
    QVERIFY(r->elementRec && r->elementRec != &fe);
    QCOMPARE(r->elementRec->name, QString("Fe"));
    QCOMPARE(r->elementRec->mol_wt, 55.845);
    QCOMPARE(r->recName(), QString("Fe"));
    QVERIFY(!r->gasRec);
    QVERIFY(r->rxn && r->rxn != rxn);
    QCOMPARE(r->rxn->name, rxn->name);
    QCOMPARE(r->soluteRecs, src.soluteRecs);
    QVERIFY(r->ownsLinks);
    QVERIFY(!src.ownsLinks);
    delete r; // frees its own element and reaction, not the solutes
    QCOMPARE(fe3.name, QString("Fe+++"));
    delete rxn;

    one_gas o2;
    o2.name = "O2(g)";
    o2.composition = compOf("O", 2);
    one_redoxRxn gasSrc;
    gasSrc.gasRec = &o2;
    one_redoxRxn *g = cp.copy_redoxRxn(&gasSrc);
    QVERIFY(!g->elementRec && !g->rxn);
    QCOMPARE(g->recName(), QString("O2(g)"));
    QVERIFY(g->gasRec->composition != o2.composition);
    delete g;
}

void tst_core_copy::species()
{
    copy_struct cp;
    auto *thermo = new one_thermodata;

    one_solute s;
    s.id = 1;
    s.tag = 2;
    s.name = "HCO3-";
    s.formula = "HCO3-";
    s.date = "d";
    s.date_revised = "r";
    s.comment = "c";
    s.charge = -1;
    s.mol_wt = 61.017;
    s.DHazero = 4.5;
    s.type = 3;
    s.thermo = thermo;
    s.composition = compOf("C", 1);
    one_solute *sc = cp.copy_solute(&s);
    QCOMPARE(sc->name, QString("HCO3-"));
    QCOMPARE(sc->formula, QString("HCO3-"));
    QCOMPARE(sc->comment, QString("c"));
    QCOMPARE(sc->date_revised, QString("r"));
    QCOMPARE(sc->charge, -1.0);
    QCOMPARE(sc->mol_wt, 61.017);
    QCOMPARE(sc->DHazero, 4.5);
    QCOMPARE(sc->type, 3);
    QCOMPARE(sc->thermo, thermo);
    QVERIFY(sc->composition != s.composition);
    QCOMPARE(sc->composition->element, QStringList {"C"});
    delete sc;

    one_gas g;
    g.name = "CO2(g)";
    g.mol_wt = 44.01;
    g.fcoeff = 0.9;
    g.molar_volume = 22.4;
    g.fixed = true;
    g.type = 6;
    g.composition = compOf("C", 1);
    one_gas *gc = cp.copy_gas(&g);
    QCOMPARE(gc->name, QString("CO2(g)"));
    QCOMPARE(gc->fcoeff, 0.9);
    QCOMPARE(gc->molar_volume, 22.4);
    QVERIFY(gc->fixed);
    QCOMPARE(gc->type, 6);
    QVERIFY(gc->composition != g.composition);
    delete gc;

    one_solid m;
    m.name = "Calcite";
    m.nrxns = 2;
    m.rxns = {4, 9};
    m.molar_volume = 36.9;
    m.composition = compOf("Ca", 1);
    one_solid *mc = cp.copy_solid(&m);
    QCOMPARE(mc->name, QString("Calcite"));
    QCOMPARE(mc->rxns, (QList<int> {4, 9}));
    QCOMPARE(mc->nrxns, 2);
    QCOMPARE(mc->molar_volume, 36.9);
    QVERIFY(mc->composition != m.composition);
    delete mc;

    one_liquid l;
    l.name = "Hg";
    l.molar_volume = 14.8;
    one_liquid *lc = cp.copy_liquid(&l);
    QCOMPARE(lc->name, QString("Hg"));
    QCOMPARE(lc->molar_volume, 14.8);
    QVERIFY(!lc->composition);
    delete lc;

    one_element e;
    e.name = "Ca";
    e.cvtmtoppm = 40078;
    e.fixed = true;
    one_element *ec = cp.copy_element(&e);
    QCOMPARE(ec->name, QString("Ca"));
    QCOMPARE(ec->cvtmtoppm, 40078.0);
    QVERIFY(ec->fixed);
    delete ec;
    delete thermo;
}

void tst_core_copy::nullSources()
{
    copy_struct cp;
    QVERIFY(!cp.copy_water(nullptr));
    QVERIFY(!cp.copy_water_result(nullptr));
    QVERIFY(!cp.copy_rxn(nullptr));
    QVERIFY(!cp.copy_redoxRxn(nullptr));
    QVERIFY(!cp.copy_ctrlset(nullptr));
    QVERIFY(!cp.copy_solute(nullptr));
    QVERIFY(!cp.copy_gas(nullptr));
}

QTEST_GUILESS_MAIN(tst_core_copy)
#include "tst_core_copy.moc"
