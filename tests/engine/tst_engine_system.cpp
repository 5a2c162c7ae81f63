// The chemical system prepared once and reused: a run on a kept system gives, to
// the last bit, what a run that prepares it gives; every edit of the batch reaches
// the next run; what a system lacks is reported on every run of it; and only a few
// systems are kept.

#include "records.h"
#include "sim0D.h"
#include "sim_system.h"
#include "sim_system_cache.h"
#include "support_chemsys.h"
#include "support_toy.h"

#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>

class tst_engine_system : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void keptSystemGivesSameResults_data();
    void keptSystemGivesSameResults();
    void editsReachTheNextRun_data();
    void editsReachTheNextRun();
    void missingDataReportedOnEveryRun();
    void emptySystemRefusedEveryTime();
    void equalBatchesShareOneSystem();
    void textOverForeignMemoryChanged_data();
    void textOverForeignMemoryChanged();
    void fewSystemsKept();
    void reactionsOutsideTheirDataLeftOut_data();
    void reactionsOutsideTheirDataLeftOut();
};

namespace {

// log K falls by 0.01 per degree, so a change of temperature reaches the result.
one_rxn *reaction(sim_data *sd, const QString &name, int type, const toy_parts &species,
                  double log10K)
{
    return toy_reaction(sd, name, type, species, {log10K, -0.01}, {0.0, 1.0});
}

one_elementComp *amount(const QString &element, double molal, const QStringList &species = {},
                        const QList<double> &stoich = {})
{
    auto *c = new one_elementComp;
    c->element = element;
    c->solute = element;
    c->molal = c->Molar = molal;
    c->species = species;
    c->stoich = stoich;
    return c;
}

// Sodium chloride and carbonate in water at pH 7.5 and 40 C, with CO2(g).
struct carbonateWater
{
    std::unique_ptr<sim_data> sd {new sim_data};
    one_water *w = nullptr;

    carbonateWater()
    {
        toy_begin(sd.get(),
                  {{"O", 15.9994}, {"H", 1.0079}, {"Na", 22.9898}, {"Cl", 35.453}, {"C", 12.011}});
        sd->nameOH = "OH-";
        toy_solute(sd.get(), "H2O", 0, 3.0, 18.0153, {{"H", 2}, {"O", 1}});
        toy_solute(sd.get(), "H+", 1, 9.0, 1.0079, {{"H", 1}});
        toy_solute(sd.get(), "Na+", 1, 4.0, 22.9898, {{"Na", 1}});
        toy_solute(sd.get(), "Cl-", -1, 3.0, 35.453, {{"Cl", 1}});
        toy_solute(sd.get(), "HCO3-", -1, 4.0, 61.0171, {{"H", 1}, {"C", 1}, {"O", 3}});
        toy_solute(sd.get(), "OH-", -1, 3.5, 17.0073, {{"O", 1}, {"H", 1}});
        toy_solute(sd.get(), "CO3--", -2, 4.5, 60.0092, {{"C", 1}, {"O", 3}});
        toy_solute(sd.get(), "CO2(aq)", 0, 3.0, 44.0098, {{"C", 1}, {"O", 2}});
        toy_solute(sd.get(), "NaCl(aq)", 0, 3.0, 58.4428, {{"Na", 1}, {"Cl", 1}});
        sd->rxnsAqueous << reaction(sd.get(), "OH-", 3, {{"OH-", -1}, {"H+", -1}, {"H2O", 1}}, 14.2)
                        << reaction(sd.get(), "CO3--", 3, {{"CO3--", -1}, {"H+", -1}, {"HCO3-", 1}},
                                    10.7)
                        << reaction(sd.get(), "CO2(aq)", 3,
                                    {{"CO2(aq)", -1}, {"H2O", -1}, {"H+", 1}, {"HCO3-", 1}}, -6.0)
                        << reaction(sd.get(), "NaCl(aq)", 3,
                                    {{"NaCl(aq)", -1}, {"Na+", 1}, {"Cl-", 1}}, 0.9);
        auto *gas = sd->own(new one_gas);
        gas->name = "CO2(g)";
        gas->mol_wt = 44.0098;
        gas->composition = new one_comp_elements;
        gas->composition->element << "C"
                                  << "O";
        gas->composition->stoich << 1.0 << 2.0;
        sd->gases << gas;
        sd->rxnsGas << reaction(sd.get(), "CO2(g)", 6,
                                {{"CO2(g)", -1}, {"H2O", -1}, {"H+", 1}, {"HCO3-", 1}}, -7.5);
        w = sd->own(new one_water);
        w->TC = 40.0;
        w->densitymass = 1.0;
        w->activitymethod = 4;
        w->activitywater = 2;
        w->typeH = 1;
        w->composition << amount("O", 1.0, {"H2O"}, {1.0}) << amount("H", std::pow(10.0, -7.5))
                       << amount("Na", 0.05, {"Na+", "NaCl(aq)"}, {1.0, 1.0})
                       << amount("Cl", 0.04, {"Cl-", "NaCl(aq)"}, {1.0, 1.0})
                       << amount("C", 2e-3, {"HCO3-", "CO3--", "CO2(aq)"}, {1.0, 1.0, 1.0});
        w->redoxO2g = amount("O2(g)", 0.0);
        sd->waters << w;
    }
};

// Everything a run hands back, every number to the last bit.
QString runText(sim_data *sd, one_water *w)
{
    sim0D model;
    const int rc = model.driver(sd, w);
    std::unique_ptr<one_water_result> r(model.results());
    QStringList out;
    out << QString::asprintf("rc %d loops %d converged %d sum %a I %a pH %a", rc, r->loops,
                             int(r->converged), r->cvgValue, r->ionicstrength, r->resultpH);
    for (const QList<one_waterResult_solute *> *list : {&r->soln_aq, &r->soln_gas})
        for (const one_waterResult_solute *s : *list)
            out << s->solute + QString::asprintf(" %a %a", s->cmolal, s->gamma);
    for (const one_waterResult_rxn *x : r->rxns)
        out << QString::asprintf("log K %a Q/K %a", x->eqkL10, x->ratioQK);
    for (const one_waterResult_element *e : r->soln_elem)
        out << e->element + QString::asprintf(" %a", e->cmolal);
    out << *model.listErrorMsgs();
    return out.join('\n');
}

// The first line that differs, for a readable failure.
QString firstDifference(const QString &a, const QString &b)
{
    const QStringList la = a.split('\n'), lb = b.split('\n');
    for (int i = 0; i < std::max(la.size(), lb.size()); ++i) {
        const QString x = i < la.size() ? la[i] : QString(), y = i < lb.size() ? lb[i] : QString();
        if (x != y)
            return QStringLiteral("line %1: [%2] vs [%3]").arg(i).arg(x, y);
    }
    return QString();
}

using batchEdit = std::function<void(carbonateWater &)>;

} // namespace

Q_DECLARE_METATYPE(batchEdit)

void tst_engine_system::init()
{
    sim_system_cache::clear(); // every case starts with nothing kept
}

void tst_engine_system::keptSystemGivesSameResults_data()
{
    QTest::addColumn<double>("TC");
    QTest::addColumn<double>("pH");
    QTest::addColumn<int>("activity");
    QTest::addColumn<int>("waterActivity");
    QTest::newRow("J-13 like, B-dot, 25 C") << 25.0 << 7.4 << 4 << 2;
    QTest::newRow("charge balance, Davies, 90 C") << 90.0 << -1.0 << 3 << 1;
    QTest::newRow("alkaline, extended DH, 250 C") << 250.0 << 9.5 << 2 << 0;
    QTest::newRow("acid, ideal, 5 C") << 5.0 << 3.0 << 0 << 2;
}

// Waters of one chemical system one after another, as the mixing window's trials
// and a titration's steps run them: each result equals that of a run preparing the
// system afresh, to the last bit.
void tst_engine_system::keptSystemGivesSameResults()
{
    QFETCH(double, TC);
    QFETCH(double, pH);
    QFETCH(int, activity);
    QFETCH(int, waterActivity);
    QString msg;
    QVERIFY2(chemsys_loadDatabase(&msg), qPrintable(msg));
    chemsys_request req;
    req.elements = {"Al", "C", "Ca", "Cl", "F", "K", "Mg", "Na", "S", "Si"};
    req.gases = {"CO2(g)"};
    req.TC = TC;
    std::unique_ptr<sim_data> sd(chemsys_build(req));
    const QMap<QString, double> totals {{"Al", 1e-7}, {"C", 2e-3}, {"Ca", 3e-4}, {"Cl", 2e-4},
                                        {"F", 1e-4},  {"K", 5e-5}, {"Mg", 8e-5}, {"Na", 2e-3},
                                        {"S", 2e-4},  {"Si", 1e-3}};
    one_water *w = chemsys_water(sd.get(), totals, TC, pH, 0.0);
    w->activitymethod = activity;
    w->activitywater = waterActivity;

    QStringList fresh, kept;
    for (double scale : {1.0, 0.5, 2.0}) {
        for (one_elementComp *c : std::as_const(w->composition))
            if (totals.contains(c->element))
                c->molal = c->Molar = totals.value(c->element) * scale;
        sim_system_cache::clear();
        fresh << runText(sd.get(), w);
    }
    for (double scale : {1.0, 0.5, 2.0}) {
        for (one_elementComp *c : std::as_const(w->composition))
            if (totals.contains(c->element))
                c->molal = c->Molar = totals.value(c->element) * scale;
        kept << runText(sd.get(), w);
    }
    // The batch's system (which keeps its view without the reactions left out at TC).
    QCOMPARE(sim_system_cache::size(), 1);
    for (int i = 0; i < fresh.size(); ++i) {
        QVERIFY2(fresh[i].startsWith("rc 0 "), qPrintable(fresh[i].left(300)));
        QVERIFY2(kept[i] == fresh[i], qPrintable(firstDifference(kept[i], fresh[i])));
    }
}

void tst_engine_system::editsReachTheNextRun_data()
{
    QTest::addColumn<batchEdit>("edit");
    QTest::addColumn<bool>("resultsChange");
    auto row = [](const char *name, batchEdit e, bool changes = true) {
        QTest::newRow(name) << e << changes;
    };
    row("log K constant", [](carbonateWater &s) { s.sd->rxnsAqueous[1]->eqk->coeff[0] = 10.2; });
    row("log K temperature term",
        [](carbonateWater &s) { s.sd->rxnsAqueous[2]->eqk->coeff[1] = -0.02; });
    row("log K exponent", [](carbonateWater &s) { s.sd->rxnsAqueous[2]->eqk->quotient[1] = 0.5; });
    row("reaction coefficient",
        [](carbonateWater &s) { s.sd->rxnsAqueous[3]->composition->stoich[1] = 2.0; });
    row("reaction species renamed",
        [](carbonateWater &s) { s.sd->rxnsAqueous[3]->composition->solute[2] = "Cl"; });
    row("reaction removed", [](carbonateWater &s) { s.sd->rxnsAqueous.removeLast(); });
    row("gas reaction log K", [](carbonateWater &s) { s.sd->rxnsGas[0]->eqk->coeff[0] = -7.0; });
    row("charge", [](carbonateWater &s) { s.sd->solutes[6]->charge = -1.0; });
    row("ion size", [](carbonateWater &s) { s.sd->solutes[2]->DHazero = 9.0; });
    row("solute renamed in place", [](carbonateWater &s) { s.sd->solutes[8]->name[0] = 'X'; });
    row("element of a solute",
        [](carbonateWater &s) { s.sd->solutes[4]->composition->element[1] = "Cx"; });
    row("element amount of a solute", [](carbonateWater &s) {
        s.sd->solutes[8]->composition->stoich[0] = 2.0;
    }); // results' element totals count it
    row(
        "gas composition", [](carbonateWater &s) { s.sd->gases[0]->composition->stoich[0] = 2.0; },
        false); // gases enter no balance; only their record changes
    row("solutes reordered", [](carbonateWater &s) { s.sd->solutes.swapItemsAt(2, 3); });
    row("fixed name of water", [](carbonateWater &s) { s.sd->nameH2O = "H2O(l)"; });
    row(
        "activity-coefficient data",
        [](carbonateWater &s) {
            s.sd->bdot = new one_bdot_properties; // the batch frees it
            s.sd->bdot->DHbdot = {0.04};
            s.sd->bdot->adh = {0.5};
        },
        false);
}

// Each edit of the batch that a run reads: the run after it gives what a run that
// prepares the edited system afresh gives, and not what the system kept from before.
void tst_engine_system::editsReachTheNextRun()
{
    QFETCH(batchEdit, edit);
    QFETCH(bool, resultsChange);
    carbonateWater sys;
    const QString before = runText(sys.sd.get(), sys.w);
    QVERIFY2(before.startsWith("rc 0 "), qPrintable(before));
    QCOMPARE(runText(sys.sd.get(), sys.w), before); // kept and reused

    edit(sys);
    const QString afterEdit = runText(sys.sd.get(), sys.w);
    QCOMPARE(sim_system_cache::size(), 2);
    sim_system_cache::clear();
    const QString afresh = runText(sys.sd.get(), sys.w);
    QVERIFY2(afterEdit == afresh, qPrintable(firstDifference(afterEdit, afresh)));
    if (resultsChange)
        QVERIFY(afterEdit != before);
}

// What a system lacks belongs to the system: every run of it says so and fails,
// not only the run that prepared it.
void tst_engine_system::missingDataReportedOnEveryRun()
{
    carbonateWater sys;
    sys.sd->solutes[4]->composition->element[1] = "Cx";
    sys.sd->rxnsAqueous[3]->composition->solute[2] = "Clx-";
    sys.sd->gases[0]->composition->element[0] = "Cy"; // a gas's line has no "#### "
    for (int run = 0; run < 3; ++run) {
        sim0D model;
        QCOMPARE(model.driver(sys.sd.get(), sys.w), 1);
        const QStringList msgs = *model.listErrorMsgs();
        QVERIFY2(msgs.size() >= 3, qPrintable(msgs.join('\n')));
        QCOMPARE(msgs[0], QStringLiteral("#### idx of element [ Cx ] not found"));
        QCOMPARE(msgs[1], QStringLiteral("idx of element [ Cy ] not found"));
        QCOMPARE(msgs[2], QStringLiteral("#### idx of solute [ Clx- ] not found"));
    }
    QCOMPARE(sim_system_cache::size(), 1);
}

// A configuration without elements, species or names (a new file) is refused with
// the same message on the run that prepares it and on the runs that reuse it.
void tst_engine_system::emptySystemRefusedEveryTime()
{
    sim_data sd;
    sd.ctrlset = new one_ctrlset;
    sd.ctrlset->csolvitmax = 31;
    sd.ctrlset->csolvcvg = 1e-6;
    one_water *w = sd.own(new one_water);
    w->TC = 25.0;
    for (int run = 0; run < 2; ++run) {
        sim0D model;
        QCOMPARE(model.driver(&sd, w), 1);
        QCOMPARE(*model.listErrorMsgs(),
                 QStringList {"#### error : the chemical system has no species"});
    }
}

// Two batches of equal content (as the mixing window's copy of a batch, or a file
// opened again) share one prepared system; the engine keeps nothing of the batch
// object itself.
void tst_engine_system::equalBatchesShareOneSystem()
{
    QString first;
    {
        carbonateWater a;
        first = runText(a.sd.get(), a.w);
    }
    carbonateWater b;
    QCOMPARE(sim_system_cache::find(b.sd.get()) != nullptr, true);
    QCOMPARE(runText(b.sd.get(), b.w), first);
    QCOMPARE(sim_system_cache::size(), 1);
    b.sd->elements[2]->mol_wt = 23.0; // read by the results, so part of the system
    QVERIFY(sim_system_cache::find(b.sd.get()) == nullptr);
}

void tst_engine_system::textOverForeignMemoryChanged_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("solute name") << 0;
    QTest::newRow("element of a solute's composition") << 1;
}

// A text of the batch over memory it does not own (raw text) may change with no
// change of its own: the kept system is not taken for the changed batch.
void tst_engine_system::textOverForeignMemoryChanged()
{
    QFETCH(int, which);
    char16_t text[] = u"NaCl(aq)";
    const qsizetype length = which == 0 ? 8 : 2;
    if (which == 1)
        std::copy_n(u"Cl", 2, text);
    carbonateWater sys;
    QString &target
        = which == 0 ? sys.sd->solutes[8]->name : sys.sd->solutes[8]->composition->element[1];
    QCOMPARE(target, QString::fromUtf16(text, length));
    target = QString::fromRawData(reinterpret_cast<const QChar *>(text), length);
    QVERIFY(runText(sys.sd.get(), sys.w).startsWith("rc 0 "));
    QVERIFY(sim_system_cache::find(sys.sd.get()) != nullptr);
    text[0] = u'X';
    QVERIFY(sim_system_cache::find(sys.sd.get()) == nullptr);
}

// At most a handful of systems stay in memory; the one used least recently goes.
void tst_engine_system::fewSystemsKept()
{
    const int n = sim_system_cache::capacity + 3;
    std::vector<std::unique_ptr<carbonateWater>> batches;
    for (int i = 0; i < n; ++i) {
        batches.push_back(std::make_unique<carbonateWater>());
        batches.back()->sd->rxnsAqueous[0]->eqk->coeff[0] = 14.0 + 0.01 * i;
    }
    QString firstResult = runText(batches[0]->sd.get(), batches[0]->w);
    for (int i = 1; i < n; ++i) {
        runText(batches[i]->sd.get(), batches[i]->w);
        if (i < sim_system_cache::capacity)
            QVERIFY(sim_system_cache::find(batches[0]->sd.get()) != nullptr); // used again
        QVERIFY(sim_system_cache::size() <= sim_system_cache::capacity);
    }
    QCOMPARE(sim_system_cache::size(), sim_system_cache::capacity);
    QVERIFY(sim_system_cache::find(batches[1]->sd.get()) == nullptr);
    QVERIFY(sim_system_cache::find(batches[0]->sd.get()) != nullptr); // the oldest, used often
    QVERIFY(sim_system_cache::find(batches[n - 1]->sd.get()) != nullptr);
    QCOMPARE(runText(batches[0]->sd.get(), batches[0]->w), firstResult);
}

QTEST_GUILESS_MAIN(tst_engine_system)
#include "tst_engine_system.moc"

void tst_engine_system::reactionsOutsideTheirDataLeftOut_data()
{
    QTest::addColumn<double>("TC");
    QTest::addColumn<bool>("someLeftOut");
    QTest::newRow("25 C") << 25.0 << false;
    QTest::newRow("60 C: 25 C-only constants still serve") << 60.0 << false;
    QTest::newRow("150 C") << 150.0 << true;
    QTest::newRow("300 C") << 300.0 << true;
}

// A system holding every collected reaction gives, at any temperature, the result of
// one built with only the reactions whose data reach that temperature, and names
// what it left out.
void tst_engine_system::reactionsOutsideTheirDataLeftOut()
{
    QFETCH(double, TC);
    QFETCH(bool, someLeftOut);
    QString msg;
    QVERIFY2(chemsys_loadDatabase(&msg), qPrintable(msg));
    chemsys_request req;
    req.elements = {"Al", "B",  "C", "Ca", "Cl", "F", "Fe", "K", "Li",
                    "Mg", "Mn", "N", "Na", "P",  "S", "Si", "Sr"};
    req.gases = {"CO2(g)", "HF(g)"}; // HF(g): data to 200 C only
    req.TC = TC;
    std::unique_ptr<sim_data> all(chemsys_build(req));
    req.onlyTabulated = true;
    std::unique_ptr<sim_data> kept(chemsys_build(req));
    const QMap<QString, double> totals {
        {"Al", 1e-7}, {"B", 1e-5}, {"C", 2e-3},  {"Ca", 3e-4}, {"Cl", 2e-4}, {"F", 1e-4},
        {"Fe", 1e-6}, {"K", 5e-5}, {"Li", 1e-6}, {"Mg", 8e-5}, {"Mn", 1e-7}, {"N", 1e-4},
        {"Na", 2e-3}, {"P", 1e-6}, {"S", 2e-4},  {"Si", 1e-3}, {"Sr", 1e-6}};
    one_water *wAll = chemsys_water(all.get(), totals, TC, 7.0, 0.0);
    one_water *wKept = chemsys_water(kept.get(), totals, TC, 7.0, 0.0);

    const QString fromAll = runText(all.get(), wAll);
    QVERIFY2(fromAll.startsWith("rc 0 "), qPrintable(fromAll.right(300)));
    QVERIFY2(fromAll == runText(kept.get(), wKept),
             qPrintable(firstDifference(fromAll, runText(kept.get(), wKept))));

    const int leftOut = int(all->rxnsAqueous.size() + all->rxnsGas.size() - kept->rxnsAqueous.size()
                            - kept->rxnsGas.size());
    QCOMPARE(leftOut > 0, someLeftOut);
    QCOMPARE(sim0D::reactionsLeftOut(all.get(), TC).size(), leftOut);
    sim0D model;
    QCOMPARE(model.driver(all.get(), wAll), 0);
    if (someLeftOut) {
        QCOMPARE(model.notes().size(), 1);
        const QString note = model.notes().first();
        QVERIFY2(note.contains(QString("%1 reactions left out at %2 C").arg(leftOut).arg(TC)),
                 qPrintable(note));
        QVERIFY(note.contains(sim0D::reactionsLeftOut(all.get(), TC).last()));
    } else {
        QVERIFY(model.notes().isEmpty());
    }
}
